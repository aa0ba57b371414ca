#pragma once
// The skin manager component that each program's main window carries. This
// version holds its settings only; loading skins and skinning windows come
// with the skin engine.

#include "framework/Component.h"

class TqSkinManager : public TComponent {
public:
    explicit TqSkinManager(TComponent* AOwner) : TComponent(AOwner) {}

    bool Active = true;
    bool IsDefault = true;
    String SkinDirectory = "c:\\Skins";
    String SkinName;
    bool SkinnedPopups = true;
};

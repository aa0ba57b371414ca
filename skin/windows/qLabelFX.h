#pragma once
// The skinned label with shadow effects. This version is the framework's
// label with its skin section; the shadow and the skin's colours come with
// the skin engine.

#include "framework/Label.h"

class TqLabelFX : public TCustomLabel {
public:
    explicit TqLabelFX(TComponent* AOwner) : TCustomLabel(AOwner) {}

    String SkinSection = "LABEL";
};

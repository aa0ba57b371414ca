#pragma once
// Skinned tool bars of the system class: the bar's section as background,
// every button drawn from the TOOLBUTTON section with its image, its
// drop-down arrow and a caption of up to two lines.

#include "skin/engine/qCommonData.h"
#include "skin/engine/qMaskData.h"
#include "skin/windows/zqMainWnd.h"

class TzqToolBarWnd : public TzqMainWnd {
public:
    void SubclassWndProc(TMessage& Message) override;

    TRect ClientArea{};
    int EdgeWidth = 0;

private:
    void Inherited(TMessage& Message) { TzqMainWnd::SubclassWndProc(Message); }
    bool ParentUpdating();
    void BuildCache();
    void Paint(TMessage& Message);
    void PaintNonClient(TMessage& Message);
    // Button Index into Target (a copy of the cache, edges included).
    void PaintButton(TBitmap* Target, int Index);
    void PaintCaption(TBitmap* Button, const String& Text, TRect R, bool SkinColors, int State);
};

#pragma once
// Skinned group boxes: the parent's background above the frame, the
// section as the frame from half the caption height down, the caption on
// the parent's background; the children keep their own painting.

#include "skin/engine/qCommonData.h"
#include "skin/engine/qMaskData.h"
#include "skin/windows/zqMainWnd.h"

class TzqGroupBoxWnd : public TzqMainWnd {
public:
    void SubclassWndProc(TMessage& Message) override;

    // The caption's box in the window.
    TRect CaptionRect();

private:
    void Inherited(TMessage& Message) { TzqMainWnd::SubclassWndProc(Message); }
    void BuildCache();
    // The parent's background under R of the cache: its cache, else its colour.
    void FillParentBackground(const TCacheInfo& Parent, TRect R);
    void Paint(TMessage& Message);
};

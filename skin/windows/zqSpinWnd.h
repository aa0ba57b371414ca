#pragma once
// Skinned up-down controls: two halves, each the section over the parent's
// background with the scroll-arrow glyph, hot under the cursor and pressed
// while the left button is down.

#include "skin/engine/qCommonData.h"
#include "skin/engine/qMaskData.h"
#include "skin/windows/zqMainWnd.h"

class TzqSpinWnd : public TzqMainWnd {
public:
    void SubclassWndProc(TMessage& Message) override;

    // Where the halves start; the dialog skinning moves them right by 2.
    int PaintOffsetX = 0;
    bool ButtonDown = false;
    int UpState = 0;
    int DownState = 0;

private:
    void Inherited(TMessage& Message) { TzqMainWnd::SubclassWndProc(Message); }
    void BuildCache();
    void PaintHalf(const TCacheInfo& Parent, TRect R, int State, const char* ArrowSection);
    void Repaint();
};

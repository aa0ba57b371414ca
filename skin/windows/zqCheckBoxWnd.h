#pragma once
// Skinned check boxes and radio buttons: the section over the parent's
// background, the caption beside the check mark, the check mark from the
// skin's GLOBALINFO images (a 16 x 16 box where the skin has none).

#include "skin/engine/qCommonData.h"
#include "skin/engine/qMaskData.h"
#include "skin/windows/zqMainWnd.h"

class TzqCheckBoxWnd : public TzqMainWnd {
public:
    void SubclassWndProc(TMessage& Message) override;

    // The check-mark image the window shows now, nullptr when the skin lacks it.
    const TqMaskData* CheckGlyph();
    // Where the check mark goes in the cache.
    TRect GlyphRect();

private:
    void Inherited(TMessage& Message) { TzqMainWnd::SubclassWndProc(Message); }
    void Paint(TMessage& Message);
    void BuildCache();
    void Repaint();
};

#pragma once
// Skinned size grips (the size-box scroll bars of dialogs) and skinned
// panes (dialogs nested in dialogs, the panes of the folder dialog): both
// show only their section over the parent's background.

#include "skin/engine/qCommonData.h"
#include "skin/engine/qMaskData.h"
#include "skin/windows/zqMainWnd.h"

class TzqSizerWnd : public TzqMainWnd {
public:
    void SubclassWndProc(TMessage& Message) override;
};

class TzqTransPanelWnd : public TzqMainWnd {
public:
    void SubclassWndProc(TMessage& Message) override;

private:
    // WM_ERASEBKGND: the cache around the child windows, on the window DC.
    void PaintBackground(TMessage& Message);

    bool FPainting = false;
};

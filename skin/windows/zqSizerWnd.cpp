#include "skin/windows/zqSizerWnd.h"

#include "skin/engine/qCommonData.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/zqSimplePaint.h"

void TzqSizerWnd::SubclassWndProc(TMessage& Message)
{
    if (!SkinActive(*this)) {
        TzqMainWnd::SubclassWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        PaintWindowFromCache(*this, Message, true, [this] { SendSkinCommand(WndHandle, scmRebuildCache, 0); });
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT: Message.Result = 1; return;
    default: break;
    }
    TzqMainWnd::SubclassWndProc(Message);
    if (Message.Msg == WM_NCHITTEST) {
        // The whole grip sizes the window from its bottom-right corner.
        Message.Result = HTBOTTOMRIGHT;
        if (IsWindowEnabled(WndHandle))
            if (TqSkinManager* manager = HoverManager(*this); manager != nullptr && manager->ActiveControl() != nullptr)
                manager->SetActiveControl(nullptr);
    }
}

void TzqTransPanelWnd::PaintBackground(TMessage& Message)
{
    // BeginPaint may erase once more: that nested erase is answered as done.
    if (FPainting) {
        Message.Result = 1;
        return;
    }
    FPainting = true;
    ReadWindowGeometry(WndHandle, this);
    PAINTSTRUCT ps{};
    BeginPaint(WndHandle, &ps);
    // The window DC whatever wParam holds: the pane's children are left out.
    HDC dc = GetWindowDC(WndHandle);
    SkinData->BGChanged = true;
    SendSkinCommand(WndHandle, scmRebuildCache, 0);
    const TRect all{0, 0, WindowSize.x, WindowSize.y};
    CopyCacheExceptChildWindows(WndHandle, SkinData, all, 0, 0, false, dc, all);
    ReleaseDC(WndHandle, dc);
    EndPaint(WndHandle, &ps);
    FPainting = false;
    Message.Result = 1;
}

void TzqTransPanelWnd::SubclassWndProc(TMessage& Message)
{
    if (!SkinActive(*this)) {
        TzqMainWnd::SubclassWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND: PaintBackground(Message); return;
    case WM_NCPAINT: Message.Result = 0; return;
    default: TzqMainWnd::SubclassWndProc(Message); return;
    }
}

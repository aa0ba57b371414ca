// TCustomGrid: its window. Message routing, window styles, focus and size.
#include "framework/Grids.h"

#include <algorithm>

#include <windowsx.h>

void TCustomGrid::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (Message.LParam != 0) {
            TCustomControl::WndProc(Message);
            break;
        }
        ScrollMessage(Message.Msg == WM_HSCROLL, LOWORD(Message.WParam), static_cast<short>(HIWORD(Message.WParam)));
        Message.Result = 0;
        break;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | ((FOptions & goTabs) != 0 ? DLGC_WANTTAB : 0) |
                         ((FOptions & goEditing) != 0 ? DLGC_WANTCHARS : 0);
        break;
    case WM_TIMER:
        if (Message.WParam == GridScrollTimerId)
            TimerScroll();
        else
            TCustomControl::WndProc(Message);
        break;
    case WM_CHAR:
        FLastCharUnit = static_cast<wchar_t>(Message.WParam);
        TCustomControl::WndProc(Message);
        FLastCharUnit = 0;
        break;
    case WM_SETCURSOR: WMSetCursor(Message); break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        if (Message.Msg == WM_CANCELMODE || reinterpret_cast<HWND>(Message.LParam) != Handle())
            StopDrag();
        TCustomControl::WndProc(Message);
        break;
    case WM_SIZE:
        TCustomControl::WndProc(Message);
        UpdateScrollRange();
        UpdateEditorPlace();
        break;
    // The grid and its editor count as one control: the focus moving from
    // one to the other neither leaves nor enters the grid.
    case CM_ENTER:
        if (!FFocusInside) {
            FFocusInside = true;
            TCustomControl::WndProc(Message);
        }
        break;
    case CM_EXIT:
        // The editor that loses the focus tells the grid, and the form tells
        // the containers the focus left: the grid is left once.
        if (FFocusInside && !FocusInChild()) {
            FFocusInside = false;
            TCustomControl::WndProc(Message);
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::WndProc(Message);
        InvalidateCell(FCurrent.X, FCurrent.Y);
        break;
    case CM_MOUSEWHEEL: {
        const TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        const TShiftState shift = MouseShiftState(GET_KEYSTATE_WPARAM(Message.WParam));
        Message.Result = DoMouseWheel(shift, GET_WHEEL_DELTA_WPARAM(Message.WParam), p) ? 1 : 0;
        break;
    }
    default: TCustomControl::WndProc(Message); break;
    }
}

// The focus is in a window inside the grid (its editor), not the grid itself.
bool TCustomGrid::FocusInChild()
{
    const HWND focus = GetFocus();
    return HandleAllocated() && focus != nullptr && focus != Handle() && IsChild(Handle(), focus);
}

TRect TCustomGrid::ClientRect() const
{
    if (HandleAllocated())
        return TCustomControl::ClientRect();
    // WS_EX_CLIENTEDGE: a sunken edge on every side.
    const int edge = FBorderStyle == bsNone ? 0 : GetSystemMetrics(SM_CXEDGE);
    return Rect(0, 0, std::max(0, Width() - 2 * edge), std::max(0, Height() - 2 * edge));
}

void TCustomGrid::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (FBorderStyle != bsNone)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    if (UseRightToLeftAlignment())
        Params.ExStyle |= WS_EX_LEFTSCROLLBAR;
}

void TCustomGrid::BiDiModeChanged()
{
    if (HandleAllocated()) {
        const LONG_PTR exStyle = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
        const LONG_PTR wanted = UseRightToLeftAlignment() ? exStyle | WS_EX_LEFTSCROLLBAR
                                                          : exStyle & ~static_cast<LONG_PTR>(WS_EX_LEFTSCROLLBAR);
        if (wanted != exStyle) {
            SetWindowLongPtrW(Handle(), GWL_EXSTYLE, wanted);
            SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        UpdateEditorPlace();
    }
    TCustomControl::BiDiModeChanged();
}

void TCustomGrid::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollRange();
}

void TCustomGrid::BoundsChanged()
{
    TCustomControl::BoundsChanged();
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollRange();
    UpdateEditorPlace();
}

void TCustomGrid::CellAreaChanged()
{
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollRange();
    UpdateEditorPlace();
    Invalidate();
}

void TCustomGrid::DoEnter()
{
    TCustomControl::DoEnter();
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

// The grid was left (the focus moving into its own editor is no exit, see
// CM_EXIT), or a descendant runs its exit step: an open editor closes
// (written back) unless goAlwaysShowEditor keeps it.
void TCustomGrid::DoExit()
{
    TCustomControl::DoExit();
    if ((FOptions & goAlwaysShowEditor) == 0)
        HideEditor();
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::EditorFocusLeft()
{
    if (!FEditorMode || (FOptions & goAlwaysShowEditor) != 0 || ContainsFocus())
        return;
    HideEditor();
}

// TWinControl: the mouse. Messages over a window-less child are routed to
// it; the control and its window-less children get CM_MOUSEENTER and
// CM_MOUSELEAVE; the cursor, the context menu and the wheel.
#include "framework/WinControl.h"

#include <windowsx.h>

#include "framework/Menus.h"
#include "framework/Screen.h"

namespace {

bool IsMouseButtonDown(UINT Msg)
{
    return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN || Msg == WM_LBUTTONDBLCLK ||
           Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDBLCLK;
}

bool IsMouseButtonUp(UINT Msg)
{
    return Msg == WM_LBUTTONUP || Msg == WM_RBUTTONUP || Msg == WM_MBUTTONUP;
}

} // namespace

void TWinControl::WMSetCursor(TMessage& Message)
{
    if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(Message.LParam) == HTCLIENT) {
        TCursor cursor = Screen->Cursor();
        if (cursor == crDefault) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(FHandle, &p);
            TControl* child = ControlAtPos(p, false);
            cursor = child != nullptr && child->Cursor() != crDefault ? child->Cursor() : Cursor();
        }
        if (cursor != crDefault) {
            ::SetCursor(Screen->CursorHandle(cursor));
            Message.Result = TRUE;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMContextMenu(TMessage& Message)
{
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    TControl* target = this;
    // From the keyboard the point is (-1, -1). The coordinates are compared,
    // not LParam: on 64-bit Windows LParam may hold 0xFFFFFFFF zero-extended.
    if (p.x == -1 && p.y == -1) {
        // The middle of the control.
        p = ClientToScreen(Point(Width() / 2, Height() / 2));
    } else if (reinterpret_cast<HWND>(Message.WParam) == FHandle) {
        if (TControl* child = ControlAtPos(ScreenToClient(p), false))
            target = child;
    }
    TPopupMenu* menu = target->PopupMenu() != nullptr ? target->PopupMenu() : PopupMenu();
    if (menu == nullptr || !menu->AutoPopup) {
        DefaultHandler(Message);
        return;
    }
    menu->SetPopupComponent(target);
    menu->Popup(p.x, p.y);
    Message.Result = 0;
}

// Mouse messages over a window-less child go to that child, in its own
// coordinates; a child that got a button press keeps the mouse until the
// button is released. (WM_MOUSEWHEEL is not among the messages routed.)
bool TWinControl::RouteMouse(TMessage& Message)
{
    if (FOwnsChildPainting)
        return false;
    const TPoint p = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    TControl* target = FMouseCapture != nullptr ? FMouseCapture : ControlAtPos(p, false);
    if (Message.Msg == WM_MOUSEMOVE) {
        // The control is entered before the child under the mouse.
        TrackMouseLeave();
        SetHoverControl(FMouseCapture != nullptr ? FMouseCapture : target);
    }
    if (target == nullptr)
        return false;
    if (IsMouseButtonDown(Message.Msg)) {
        FMouseCapture = target;
        SetCapture(FHandle);
    } else if (IsMouseButtonUp(Message.Msg) && (Message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
        FMouseCapture = nullptr;
        if (GetCapture() == FHandle)
            ReleaseCapture();
    }
    Message.Result = target->Perform(Message.Msg, Message.WParam,
                                     MAKELPARAM(p.x - target->Left(), p.y - target->Top()));
    // The window's own handling still makes the context menu request of a
    // right click (WM_CONTEXTMENU), which finds the child's pop-up menu.
    if (Message.Msg == WM_RBUTTONUP) {
        TMessage up = Message;
        DefaultHandler(up);
    }
    return true;
}

// The mouse moved over the window: asks for WM_MOUSELEAVE, and tells the
// control once that the mouse entered it, whether it came in over the
// control itself or over one of its window-less children.
void TWinControl::TrackMouseLeave()
{
    if (FHandle == nullptr)
        return;
    if (!FMouseTracked) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
        FMouseTracked = TrackMouseEvent(&track) != FALSE;
    }
    if (!FMouseInControl) {
        FMouseInControl = true;
        Perform(CM_MOUSEENTER);
    }
}

void TWinControl::SetHoverControl(TControl* Control)
{
    if (Control == FHoverControl)
        return;
    TControl* old = FHoverControl;
    FHoverControl = Control;
    if (old != nullptr) {
        old->FMouseInControl = false;
        old->Perform(CM_MOUSELEAVE);
    }
    if (Control != nullptr) {
        Control->FMouseInControl = true;
        Control->Perform(CM_MOUSEENTER);
    }
}

void TWinControl::WMMouseMove(TMessage& Message)
{
    TrackMouseLeave();
    TControl::WndProc(Message);
}

void TWinControl::WMMouseLeave(TMessage& Message)
{
    FMouseTracked = false;
    SetHoverControl(nullptr);
    if (FMouseInControl) {
        FMouseInControl = false;
        Perform(CM_MOUSELEAVE);
    }
    DefaultHandler(Message);
}

void TWinControl::WMMouseWheel(TMessage& Message)
{
    // Offered to the control first; a non-zero answer means it took it.
    if (Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam) != 0) {
        Message.Result = 0;
        return;
    }
    DefaultHandler(Message);
}

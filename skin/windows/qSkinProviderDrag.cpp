// The form skin provider's frame dragging (ResizeMode rmBorder), screen
// snapping and WM_GETMINMAXINFO answers. See qSkinProviderDrag.h.
#include "skin/windows/qSkinProviderDrag.h"

#include <algorithm>
#include <cstdlib>

#include <windowsx.h>

#include "framework/Application.h"
#include "skin/windows/qSkinProvider.h"

namespace {

// The one drag of the program. Owner is the provider whose form announced
// the drag (and holds the mouse capture); Active: the outline is on the
// desktop. The outline's rectangle and the start point are in screen
// coordinates; FL, FT, FWidth, FHeight are the form's bounds when the drag
// began, which do not change while it runs.
struct TDragState {
    TqSkinProvider* Owner = nullptr;
    bool Active = false;
    bool Moving = false;
    bool NotMoved = false;
    // A button press is announcing its drag: the command it sends must not
    // start one at the cursor.
    bool Starting = false;
    int HitCode = 0;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int StartX = 0, StartY = 0;
    int FL = 0, FT = 0, FWidth = 0, FHeight = 0;
    int MinWidth = 0, MinHeight = 0;
    HWND Desktop = nullptr;
    HDC DC = nullptr;
    int SavedDC = 0;
    HHOOK KeyHook = nullptr;
};

TDragState Drag;

bool IsSizingCode(int Code)
{
    return Code >= HTLEFT && Code <= HTBOTTOMRIGHT;
}

// Draws the closed outline of the rectangle (X, Y, X2, Y2) on the desktop
// in the R2_NOT mode: drawing it twice leaves the screen as it was. Each
// pixel of the path is drawn once (a polyline leaves out its last point).
void PolyOutline(int X, int Y, int X2, int Y2)
{
    if (Drag.DC == nullptr)
        return;
    const POINT points[5] = {{X, Y}, {X, Y2}, {X2, Y2}, {X2, Y}, {X, Y}};
    Polyline(Drag.DC, points, 5);
}

// The outline as the drag state stands. The framework has no MDI child
// forms: a drag's rectangle is always in screen coordinates.
void DrawOutline()
{
    if (Drag.Moving)
        PolyOutline(Drag.Left, Drag.Top, Drag.Left + Drag.FWidth, Drag.Top + Drag.FHeight);
    else
        PolyOutline(Drag.Left, Drag.Top, Drag.Right, Drag.Bottom);
}

LRESULT CALLBACK EscapeHook(int Code, WPARAM WParam, LPARAM LParam);

// Ends the drag of the program: the outline is erased, the desktop's DC, the
// keyboard hook and the mouse capture are given back; Apply: the window is
// then moved or sized to the outline. The state is cleared first, so that
// the capture change that ReleaseCapture causes finds no drag to cancel.
void FinishDrag(bool Apply)
{
    TqSkinProvider* owner = Drag.Owner;
    const bool active = Drag.Active;
    Drag.Owner = nullptr;
    Drag.Active = false;
    if (active) {
        DrawOutline();
        if (Drag.DC != nullptr) {
            RestoreDC(Drag.DC, Drag.SavedDC);
            ReleaseDC(Drag.Desktop, Drag.DC);
        }
        Drag.DC = nullptr;
        Drag.Desktop = nullptr;
    }
    if (Drag.KeyHook != nullptr) {
        UnhookWindowsHookEx(Drag.KeyHook);
        Drag.KeyHook = nullptr;
    }
    TCustomForm* form = owner != nullptr ? owner->Form() : nullptr;
    const HWND wnd = form != nullptr && form->HandleAllocated() ? form->Handle() : nullptr;
    if (wnd != nullptr && GetCapture() == wnd)
        ReleaseCapture();
    if (!Apply || !active || wnd == nullptr)
        return;
    if (Drag.Moving)
        MoveWindow(wnd, Drag.Left, Drag.Top, Drag.FWidth, Drag.FHeight, TRUE);
    else if (!Drag.NotMoved)
        MoveWindow(wnd, Drag.Left, Drag.Top, Drag.Right - Drag.Left, Drag.Bottom - Drag.Top, TRUE);
    Drag.NotMoved = false;
}

// Escape cancels the drag, whichever window of the thread has the focus.
LRESULT CALLBACK EscapeHook(int Code, WPARAM WParam, LPARAM LParam)
{
    if (Code == HC_ACTION && WParam == VK_ESCAPE && Drag.Active) {
        if ((LParam & 0x80000000) == 0)
            GuardCallback([] { FinishDrag(false); });
        return 1;
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

// The smallest size the form may take, as the form reports it on
// WM_GETMINMAXINFO: the platform clamps the final MoveWindow to it, so the
// outline stops where the window will.
SIZE MinTrackSize(HWND Wnd)
{
    MINMAXINFO info{};
    info.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    info.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    info.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    SendMessageW(Wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return SIZE{std::max(0L, info.ptMinTrackSize.x), std::max(0L, info.ptMinTrackSize.y)};
}

RECT WorkArea()
{
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

// The edges of a sizing drag after a mouse delta (DX, DY) from the start
// point, by the recorded hit code; each edge stops where the form would
// become smaller than its minimum size.
void SizeEdges(int DX, int DY)
{
    const auto left = [&] {
        Drag.Left = Drag.FL + DX;
        if (Drag.Right - Drag.Left < Drag.MinWidth)
            Drag.Left = Drag.Right - Drag.MinWidth;
    };
    const auto right = [&] {
        Drag.Right = Drag.FL + Drag.FWidth + DX;
        if (Drag.Right - Drag.Left < Drag.MinWidth)
            Drag.Right = Drag.FL + Drag.MinWidth;
    };
    const auto top = [&] {
        Drag.Top = Drag.FT + DY;
        if (Drag.Bottom - Drag.Top < Drag.MinHeight)
            Drag.Top = Drag.Bottom - Drag.MinHeight;
    };
    const auto bottom = [&] {
        Drag.Bottom = Drag.FT + Drag.FHeight + DY;
        if (Drag.Bottom - Drag.Top < Drag.MinHeight)
            Drag.Bottom = Drag.FT + Drag.MinHeight;
    };
    switch (Drag.HitCode) {
    case HTLEFT: left(); break;
    case HTRIGHT: right(); break;
    case HTTOP: top(); break;
    case HTTOPLEFT:
        top();
        left();
        break;
    case HTTOPRIGHT:
        top();
        right();
        break;
    case HTBOTTOM: bottom(); break;
    case HTBOTTOMLEFT:
        bottom();
        left();
        break;
    default:   // HTBOTTOMRIGHT, and a drag with no edge (the menu's Size)
        bottom();
        right();
        break;
    }
}

}   // namespace

void SnapCoordinate(int& Coordinate, int Edge, int Extent, int SnapBuffer)
{
    if (std::abs(Coordinate + Extent - Edge) < SnapBuffer)
        Coordinate = Edge - Extent;
}

void TqSkinProvider::StartBorderDrag(int X, int Y)
{
    const HWND wnd = FormWnd();
    if (ResizeMode != rmBorder || wnd == nullptr || Drag.Active)
        return;
    // What waits to be painted is painted before the outline goes down: a
    // paint under the outline would be inverted by its erasing.
    UpdateWindow(wnd);
    Drag.Owner = this;
    Drag.Active = true;
    Drag.Desktop = GetDesktopWindow();
    Drag.DC = GetWindowDC(Drag.Desktop);
    if (Drag.DC != nullptr) {
        Drag.SavedDC = SaveDC(Drag.DC);
        SetROP2(Drag.DC, R2_NOT);
    }
    Drag.KeyHook = SetWindowsHookExW(WH_KEYBOARD, EscapeHook, nullptr, GetCurrentThreadId());
    Drag.FL = Drag.Left = FForm->Left();
    Drag.FT = Drag.Top = FForm->Top();
    Drag.FWidth = FForm->Width();
    Drag.FHeight = FForm->Height();
    // The mouse deltas of both kinds of drag are measured from the point
    // where it began.
    Drag.StartX = X;
    Drag.StartY = Y;
    if (Drag.Moving) {
        DrawDragFrame(Drag.Left, Drag.Top);
        return;
    }
    const SIZE minimum = MinTrackSize(wnd);
    Drag.MinWidth = minimum.cx;
    Drag.MinHeight = minimum.cy;
    Drag.Bottom = Drag.FT + Drag.FHeight;
    Drag.Right = Drag.FL + Drag.FWidth;
    DrawDragFrame(0, 0);
}

void TqSkinProvider::DrawDragFrame(int X, int Y)
{
    if (ResizeMode != rmBorder || Drag.Owner != this || !Drag.Active)
        return;
    if (Drag.Moving)
        PolyOutline(X, Y, X + Drag.FWidth, Y + Drag.FHeight);
    else
        DrawOutline();
}

void TqSkinProvider::EndBorderDrag()
{
    if (ResizeMode == rmBorder && Drag.Owner == this)
        FinishDrag(true);
}

void TqFrameDrag::Watch(TqSkinProvider& P, const TMessage& M)
{
    if (Drag.Owner != &P)
        return;
    switch (M.Msg) {
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(M.LParam) != P.FormWnd())
            FinishDrag(false);
        break;
    case WM_DESTROY:
    case WM_NCDESTROY: FinishDrag(false); break;
    default:
        if (P.FormGoing() || !P.Skinned())
            FinishDrag(false);
        break;
    }
}

void TqFrameDrag::Forget(const TqSkinProvider* P)
{
    if (Drag.Owner == P)
        FinishDrag(false);
}

void TqFrameDrag::RecordEdge(const TMessage& M)
{
    const int code = static_cast<int>(M.Result);
    if (Drag.HitCode == 0 && (code == HTCAPTION || IsSizingCode(code)))
        Drag.HitCode = code;
}

bool TqFrameDrag::ButtonDown(TqSkinProvider& P, TMessage& M)
{
    const int code = static_cast<int>(M.WParam);
    // The caption and the sizing edges start a drag, and so does the border
    // of a form that does not size (it moves the form); the menu line and
    // the scroll bars keep their own handling.
    if (P.ResizeMode != rmBorder || !(code == HTCAPTION || code == HTBORDER || IsSizingCode(code)))
        return false;
    if (P.Iconic() || P.Maximized() || Drag.Active)
        return false;
    const HWND wnd = P.FormWnd();
    const bool moving = !IsSizingCode(code);
    Drag.Starting = true;
    try {
        // The caption's press activates the form as the platform does it.
        if (code == HTCAPTION)
            P.CallPrevious(M);
        Drag.Moving = moving;
        SendMessageW(wnd, WM_SYSCOMMAND, moving ? SC_MOVE : SC_SIZE, 0);
    } catch (...) {
        Drag.Starting = false;
        throw;
    }
    Drag.Starting = false;
    // The size command forgets the recorded edge: the edge is the one pressed.
    if (!moving)
        Drag.HitCode = code;
    if (Drag.Owner == &P && GetCapture() == wnd)
        P.StartBorderDrag(GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
    else if (Drag.Owner == &P)
        FinishDrag(false);
    return true;
}

bool TqFrameDrag::Announce(TqSkinProvider& P, const TMessage& M)
{
    const WPARAM command = M.WParam & 0xFFF0;
    if (command != SC_MOVE && command != SC_SIZE)
        return false;
    if (P.ResizeMode != rmBorder || P.Iconic() || P.Maximized())
        return false;
    if (Drag.Active)
        return true;   // changes nothing of the running drag
    SetCapture(P.FormWnd());
    Drag.Owner = &P;
    Drag.NotMoved = true;
    Drag.Moving = command == SC_MOVE;
    if (!Drag.Moving)
        Drag.HitCode = 0;
    if (!Drag.Starting) {
        // The system menu's Move and Size, or a command sent by code: the
        // outline follows the mouse from where it is; a click ends the drag.
        POINT cursor{};
        GetCursorPos(&cursor);
        P.StartBorderDrag(cursor.x, cursor.y);
    }
    return true;
}

void TqFrameDrag::MouseMove(TqSkinProvider& P, const TMessage& M)
{
    if (Drag.Owner != &P || P.ResizeMode != rmBorder)
        return;
    POINT p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    ClientToScreen(P.FormWnd(), &p);
    Drag.NotMoved = false;
    if (!Drag.Active)
        return;
    DrawOutline();
    if (Drag.Moving) {
        Drag.Left += p.x - Drag.StartX;
        Drag.Top += p.y - Drag.StartY;
        Drag.StartX = p.x;
        Drag.StartY = p.y;
    } else {
        SizeEdges(p.x - Drag.StartX, p.y - Drag.StartY);
    }
    DrawOutline();
}

bool TqFrameDrag::ButtonUp(TqSkinProvider& P, TMessage& M)
{
    if (Drag.Owner != &P || !Drag.Active)
        return false;
    FinishDrag(true);
    M.WParam = 0;
    M.Result = 0;
    return true;
}

void TqFrameDrag::DoubleClick(TqSkinProvider& P)
{
    if (Drag.Owner == &P && Drag.Active)
        FinishDrag(true);
}

void TqFrameDrag::Snap(TqSkinProvider& P, TMessage& M)
{
    auto* pos = reinterpret_cast<WINDOWPOS*>(M.LParam);
    if (!P.ScreenSnap || P.Maximized() || pos == nullptr || (pos->x == 0 && pos->y == 0))
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(P.FormWnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = WorkArea();
    // Right and bottom first: a left or top snap that also applies wins.
    SnapCoordinate(pos->x, work.right, P.Form()->Width(), P.SnapBuffer);
    SnapCoordinate(pos->y, work.bottom, P.Form()->Height(), P.SnapBuffer);
    SnapCoordinate(pos->x, work.left, monitor.rcMonitor.left, P.SnapBuffer);
    SnapCoordinate(pos->y, work.top, monitor.rcMonitor.top, P.SnapBuffer);
}

void TqFrameDrag::MinMaxInfo(TqSkinProvider& P, TMessage& M)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(M.LParam);
    if (info == nullptr) {
        P.CallPrevious(M);
        return;
    }
    info->ptMaxTrackSize = {-1, -1};
    info->ptMaxPosition = {-1, -1};
    P.CallPrevious(M);
    const int k = P.Framed() ? 1 : 0;
    const int fw = P.FW();
    const RECT work = WorkArea();
    if (info->ptMaxTrackSize.x == -1)
        info->ptMaxTrackSize.x = work.right - work.left + 2 * k * fw;
    if (info->ptMaxTrackSize.y == -1)
        info->ptMaxTrackSize.y = work.bottom - work.top + 2 * k * fw;
    if (info->ptMaxPosition.x == -1)
        info->ptMaxPosition.x = -k * fw;
    if (info->ptMaxPosition.y == -1)
        info->ptMaxPosition.y = -k * fw;
}

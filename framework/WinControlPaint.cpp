// TWinControl: painting of the window and of its window-less children,
// straight or through an off-screen bitmap (DoubleBuffered).
#include "framework/WinControl.h"

#include <algorithm>

#include "framework/SavedDC.h"

namespace {

// BeginPaint/EndPaint, or the DC that came with WM_PAINT in WParam (which
// its sender releases). EndPaint runs on every way out.
class TPaintDC {
public:
    TPaintDC(HWND Wnd, HDC Given) : FWnd(Wnd), FDC(Given)
    {
        if (FDC == nullptr) {
            FDC = BeginPaint(FWnd, &FPaint);
            FBegun = true;
        }
    }
    ~TPaintDC()
    {
        if (FBegun)
            EndPaint(FWnd, &FPaint);
    }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;

    HDC DC() const { return FDC; }
    // Whether the painting is the window's own (not into a DC it was given).
    bool Begun() const { return FBegun; }

private:
    HWND FWnd;
    HDC FDC;
    PAINTSTRUCT FPaint{};
    bool FBegun = false;
};

// A memory DC compatible with Like, with a bitmap of Width x Height
// selected; the bitmap is deselected and both are deleted on every way out.
class TBufferDC {
public:
    TBufferDC(HDC Like, int Width, int Height)
        : FDC(CreateCompatibleDC(Like)), FBitmap(CreateCompatibleBitmap(Like, Width, Height))
    {
        if (FDC != nullptr && FBitmap != nullptr)
            FOld = SelectObject(FDC, FBitmap);
    }
    ~TBufferDC()
    {
        if (FOld != nullptr)
            SelectObject(FDC, FOld);
        if (FBitmap != nullptr)
            DeleteObject(FBitmap);
        if (FDC != nullptr)
            DeleteDC(FDC);
    }
    TBufferDC(const TBufferDC&) = delete;
    TBufferDC& operator=(const TBufferDC&) = delete;

    bool Valid() const { return FOld != nullptr; }
    HDC DC() const { return FDC; }

private:
    HDC FDC;
    HBITMAP FBitmap;
    HGDIOBJ FOld = nullptr;
};

} // namespace

void TWinControl::PaintWindow(HDC DC)
{
    if (FOwnClass)
        return;
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(paint);
}

void TWinControl::PaintControls(HDC DC)
{
    if (FOwnsChildPainting)
        return;
    RECT clip;
    GetClipBox(DC, &clip);
    for (TControl* c : FControls) {
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible())
            continue;
        const TRect r = c->BoundsRect();
        RECT overlap;
        if (!IntersectRect(&overlap, &r, &clip))
            continue;
        const TSavedDC saved(DC);
        POINT origin;
        GetViewportOrgEx(DC, &origin);
        SetViewportOrgEx(DC, origin.x + r.left, origin.y + r.top, nullptr);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

void TWinControl::WMPaint(TMessage& Message)
{
    bool windowless = false;
    for (TControl* c : FControls)
        windowless = windowless || dynamic_cast<TWinControl*>(c) == nullptr;
    if (!FOwnClass && (!windowless || FOwnsChildPainting)) {
        DefaultHandler(Message);
        return;
    }
    const TPaintDC paint(FHandle, reinterpret_cast<HDC>(Message.WParam));
    HDC dc = paint.DC();
    if (FDoubleBuffered && FOwnClass && paint.Begun()) {
        // Paint into a bitmap of the client size, then copy it in one go.
        RECT client;
        ::GetClientRect(FHandle, &client);
        const TBufferDC buffer(dc, std::max(1, RectWidth(client)), std::max(1, RectHeight(client)));
        if (buffer.Valid()) {
            FillRect(buffer.DC(), &client, FBrush->Handle());
            PaintWindow(buffer.DC());
            PaintControls(buffer.DC());
            BitBlt(dc, 0, 0, RectWidth(client), RectHeight(client), buffer.DC(), 0, 0, SRCCOPY);
            Message.Result = 0;
            return;
        }
        // No memory for the bitmap: paint straight onto the window.
        FillRect(dc, &client, FBrush->Handle());
    }
    PaintWindow(dc);
    PaintControls(dc);
    Message.Result = 0;
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
    if (!FOwnClass) {
        DefaultHandler(Message);
        return;
    }
    if (!FDoubleBuffered && (ControlStyle & csOpaque) == 0) {
        RECT client;
        ::GetClientRect(FHandle, &client);
        FillRect(reinterpret_cast<HDC>(Message.WParam), &client, FBrush->Handle());
    }
    Message.Result = 1;
}

namespace {

// Draws a scroll bar of Wnd (OBJID_VSCROLL or OBJID_HSCROLL) on DC, whose
// origin is the window's top-left.
void PrintScrollBar(HWND Wnd, HDC DC, LONG Object, const RECT& Window)
{
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    if (!GetScrollBarInfo(Wnd, Object, &info) || (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) != 0)
        return;
    RECT bar = info.rcScrollBar;
    OffsetRect(&bar, -Window.left, -Window.top);
    if (IsRectEmpty(&bar))
        return;
    const bool vertical = Object == OBJID_VSCROLL;
    const int arrow = vertical ? std::min<int>(info.dxyLineButton, RectHeight(bar) / 2)
                               : std::min<int>(info.dxyLineButton, RectWidth(bar) / 2);
    FillRect(DC, &bar, GetSysColorBrush(COLOR_SCROLLBAR));
    RECT first = bar;
    RECT last = bar;
    if (vertical) {
        first.bottom = first.top + arrow;
        last.top = last.bottom - arrow;
    } else {
        first.right = first.left + arrow;
        last.left = last.right - arrow;
    }
    const UINT disabled = (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) != 0 ? DFCS_INACTIVE : 0;
    DrawFrameControl(DC, &first, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | disabled);
    DrawFrameControl(DC, &last, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | disabled);
    if (disabled != 0 || info.xyThumbBottom <= info.xyThumbTop)
        return;
    RECT thumb = bar;
    if (vertical) {
        thumb.top = bar.top + info.xyThumbTop;
        thumb.bottom = bar.top + info.xyThumbBottom;
    } else {
        thumb.left = bar.left + info.xyThumbTop;
        thumb.right = bar.left + info.xyThumbBottom;
    }
    DrawFrameControl(DC, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
}

// Draws what lies around the client area of Wnd on DC (origin = the
// window's top-left): the frame in the face colour with its edges, the
// caption, and the scroll bars.
void PrintNonClient(HWND Wnd, HDC DC, const TRect& Client)
{
    RECT window;
    GetWindowRect(Wnd, &window);
    RECT all{0, 0, window.right - window.left, window.bottom - window.top};
    if (EqualRect(&all, &Client))
        return;
    const TSavedDC saved(DC);
    ExcludeClipRect(DC, Client.left, Client.top, Client.right, Client.bottom);
    FillRect(DC, &all, GetSysColorBrush(COLOR_BTNFACE));
    const LONG_PTR style = GetWindowLongPtrW(Wnd, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(Wnd, GWL_EXSTYLE);
    RECT inner = all;
    if ((style & (WS_THICKFRAME | WS_DLGFRAME)) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0)
        DrawEdge(DC, &inner, EDGE_RAISED, BF_RECT | BF_ADJUST);
    else if ((style & WS_BORDER) != 0)
        DrawEdge(DC, &inner, BDR_OUTER, BF_RECT | BF_FLAT | BF_MONO | BF_ADJUST);
    if ((style & WS_CAPTION) == WS_CAPTION) {
        RECT caption = inner;
        if ((style & (WS_THICKFRAME | WS_DLGFRAME)) != 0)
            InflateRect(&caption, -1, -1);
        caption.bottom = caption.top + GetSystemMetrics(SM_CYCAPTION) - 1;
        DrawCaption(Wnd, DC, &caption, DC_ACTIVE | DC_TEXT | DC_ICON | DC_GRADIENT);
    }
    if ((exStyle & WS_EX_CLIENTEDGE) != 0) {
        RECT edge{Client.left - 2, Client.top - 2, Client.right + 2, Client.bottom + 2};
        if ((style & WS_VSCROLL) != 0)
            edge.right += GetSystemMetrics(SM_CXVSCROLL);
        if ((style & WS_HSCROLL) != 0)
            edge.bottom += GetSystemMetrics(SM_CYHSCROLL);
        DrawEdge(DC, &edge, EDGE_SUNKEN, BF_RECT);
    }
    if ((style & WS_VSCROLL) != 0)
        PrintScrollBar(Wnd, DC, OBJID_VSCROLL, window);
    if ((style & WS_HSCROLL) != 0)
        PrintScrollBar(Wnd, DC, OBJID_HSCROLL, window);
}

// The client area of Wnd in window coordinates.
TRect ClientInWindow(HWND Wnd)
{
    RECT window;
    GetWindowRect(Wnd, &window);
    RECT client;
    GetClientRect(Wnd, &client);
    POINT origin{0, 0};
    ClientToScreen(Wnd, &origin);
    OffsetRect(&client, origin.x - window.left, origin.y - window.top);
    return client;
}

} // namespace

void TWinControl::PrintClient(HDC DC)
{
    RECT client;
    ::GetClientRect(FHandle, &client);
    if (!FOwnClass) {
        // System classes print their client area at the DC's origin.
        SendMessageW(FHandle, WM_PRINT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT | PRF_ERASEBKGND);
        PaintControls(DC);
        return;
    }
    FillRect(DC, &client, FBrush->Handle());
    PaintWindow(DC);
    PaintControls(DC);
}

void TWinControl::PaintWindowTo(HDC DC, int X, int Y)
{
    if (!HandleAllocated())
        return;
    const TSavedDC saved(DC);
    HdcMoveOrigin(DC, X, Y);
    const TRect client = ClientInWindow(FHandle);
    PrintNonClient(FHandle, DC, client);
    HdcMoveOrigin(DC, client.left, client.top);
    IntersectClipRect(DC, 0, 0, RectWidth(client), RectHeight(client));
    PrintClient(DC);
}

void TWinControl::PaintTo(HDC DC, int X, int Y)
{
    if (!HandleAllocated())
        return;
    PaintWindowTo(DC, X, Y);
    const TRect client = ClientInWindow(FHandle);
    const TSavedDC saved(DC);
    IntersectClipRect(DC, X + client.left, Y + client.top, X + client.right, Y + client.bottom);
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c); w != nullptr && w->Visible())
            w->PaintTo(DC, X + client.left + w->Left(), Y + client.top + w->Top());
}

// WM_PRINT of a window of our own class: what the flags ask for, the
// client area at its place inside the frame when the frame is printed.
void TWinControl::WMPrint(TMessage& Message)
{
    if (!FOwnClass) {
        DefaultHandler(Message);
        return;
    }
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const LPARAM flags = Message.LParam;
    Message.Result = 0;
    if (dc == nullptr || ((flags & PRF_CHECKVISIBLE) != 0 && !IsWindowVisible(FHandle)))
        return;
    const TSavedDC saved(dc);
    TRect client{0, 0, 0, 0};
    ::GetClientRect(FHandle, &client);
    if ((flags & PRF_NONCLIENT) != 0) {
        client = ClientInWindow(FHandle);
        PrintNonClient(FHandle, dc, client);
        HdcMoveOrigin(dc, client.left, client.top);
    }
    IntersectClipRect(dc, 0, 0, RectWidth(client), RectHeight(client));
    RECT area{0, 0, RectWidth(client), RectHeight(client)};
    if ((flags & PRF_ERASEBKGND) != 0)
        FillRect(dc, &area, FBrush->Handle());
    if ((flags & PRF_CLIENT) != 0) {
        PaintWindow(dc);
        PaintControls(dc);
    }
    if ((flags & PRF_CHILDREN) != 0)
        for (TControl* c : FControls)
            if (auto* w = dynamic_cast<TWinControl*>(c); w != nullptr && w->Visible())
                w->PaintTo(dc, w->Left(), w->Top());
}

void TWinControl::WMPrintClient(TMessage& Message)
{
    if (!FOwnClass) {
        DefaultHandler(Message);
        return;
    }
    if (HDC dc = reinterpret_cast<HDC>(Message.WParam)) {
        const TSavedDC saved(dc);
        PrintClient(dc);
    }
    Message.Result = 0;
}

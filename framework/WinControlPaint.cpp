// TWinControl: painting of the window and of its window-less children,
// straight or through an off-screen bitmap (DoubleBuffered).
#include "framework/WinControl.h"

#include <algorithm>

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

// SaveDC now, RestoreDC on every way out.
class TSavedDC {
public:
    explicit TSavedDC(HDC DC) : FDC(DC), FSaved(SaveDC(DC)) {}
    ~TSavedDC()
    {
        if (FSaved != 0)
            RestoreDC(FDC, FSaved);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC FDC;
    int FSaved;
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

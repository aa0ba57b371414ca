// Canvases over real windows: the WM_PAINT canvas, the GetDC canvas, and
// capturing what a window shows into a bitmap.
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::PixelAt;

TRect lastPaintRect{};

// Paints the client area in the colour kept in the window's user data.
LRESULT CALLBACK ColourWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg != WM_PAINT)
        return DefWindowProcW(Wnd, Msg, WParam, LParam);
    GuardCallback([&] {
        TPaintCanvas canvas(Wnd);
        lastPaintRect = canvas.PaintRect();
        RECT client;
        GetClientRect(Wnd, &client);
        canvas.Brush()->SetColor(static_cast<TColor>(GetWindowLongPtrW(Wnd, GWLP_USERDATA)));
        canvas.FillRect(client);
    });
    return 0;
}

class ColourWindow {
public:
    ColourWindow(HWND Parent, DWORD Style, TRect Bounds, TColor Color)
    {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ColourWndProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"GraphicsTestColourWindow";
            return RegisterClassW(&wc);
        }();
        Handle = CreateWindowExW(0, MAKEINTATOM(atom), L"", Style, Bounds.left, Bounds.top, RectWidth(Bounds),
                                 RectHeight(Bounds), Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(Handle, GWLP_USERDATA, Color);
        ShowWindow(Handle, SW_SHOWNOACTIVATE);
        UpdateWindow(Handle);
    }
    ~ColourWindow() { DestroyWindow(Handle); }
    ColourWindow(const ColourWindow&) = delete;
    ColourWindow& operator=(const ColourWindow&) = delete;

    HWND Handle;
};

TEST(CanvasWindow, CaptureWindowReadsTheClientAreaWithItsChildren)
{
    ColourWindow top(nullptr, WS_POPUP, Bounds(40, 40, 100, 80), clNavy);
    ColourWindow child(top.Handle, WS_CHILD, Bounds(10, 10, 30, 20), clYellow);
    ASSERT_NE(top.Handle, nullptr);
    ASSERT_NE(child.Handle, nullptr);

    TBitmap shot;
    shot.CaptureWindow(top.Handle);
    ASSERT_EQ(shot.Width(), 100);
    ASSERT_EQ(shot.Height(), 80);
    EXPECT_EQ(PixelAt(shot, 0, 0), clNavy);
    EXPECT_EQ(PixelAt(shot, 99, 79), clNavy);
    EXPECT_EQ(PixelAt(shot, 10, 10), clYellow);
    EXPECT_EQ(PixelAt(shot, 39, 29), clYellow);
    EXPECT_EQ(PixelAt(shot, 40, 30), clNavy);
}

TEST(CanvasWindow, AWindowCanvasDrawsOnTheWindowAndAPaintCanvasSeesTheUpdateRect)
{
    ColourWindow top(nullptr, WS_POPUP, Bounds(60, 60, 80, 60), clTeal);
    {
        TWindowCanvas canvas(top.Handle);
        EXPECT_FALSE(canvas.HandleAllocated());
        canvas.Brush()->SetColor(clRed);
        canvas.FillRect(Rect(50, 30, 60, 40));
        EXPECT_TRUE(canvas.HandleAllocated());
    }
    TBitmap shot;
    shot.CaptureWindow(top.Handle);
    EXPECT_EQ(PixelAt(shot, 50, 30), clRed);
    EXPECT_EQ(PixelAt(shot, 59, 39), clRed);
    EXPECT_EQ(PixelAt(shot, 60, 40), clTeal);

    const RECT part = Rect(5, 6, 20, 21);
    InvalidateRect(top.Handle, &part, FALSE);
    UpdateWindow(top.Handle);
    EXPECT_EQ(lastPaintRect.left, 5);
    EXPECT_EQ(lastPaintRect.top, 6);
    EXPECT_EQ(lastPaintRect.right, 20);
    EXPECT_EQ(lastPaintRect.bottom, 21);
}

} // namespace

// Proves the GUI test harness: a real top-level window on the X display,
// painted through WM_PAINT, and the painted pixels read back from the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/Application.h"
#include "tests/support/GuiHarness.h"

namespace {

constexpr COLORREF Red = RGB(200, 16, 16);
constexpr COLORREF Blue = RGB(16, 32, 200);
int paintCount = 0;

LRESULT CALLBACK SmokeWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT)
        return DefWindowProcW(wnd, msg, wParam, lParam);
    return GuardCallback([&] {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        RECT client;
        GetClientRect(wnd, &client);
        HBRUSH red = CreateSolidBrush(Red);
        HBRUSH blue = CreateSolidBrush(Blue);
        FillRect(dc, &client, red);
        RECT square{20, 20, 60, 50};
        FillRect(dc, &square, blue);
        DeleteObject(red);
        DeleteObject(blue);
        EndPaint(wnd, &ps);
        ++paintCount;
        return LRESULT{0};
    }, LRESULT{0});
}

COLORREF ScreenPixel(HWND wnd, int x, int y)
{
    HDC dc = GetDC(wnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

} // namespace

TEST(GuiSmoke, PaintedPixelsAreReadBackFromTheWindow)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = SmokeWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"GuiSmokeWindow";
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    ASSERT_NE(RegisterClassW(&wc), 0);

    HWND wnd = CreateWindowExW(0, L"GuiSmokeWindow", L"smoke", WS_OVERLAPPEDWINDOW, 40, 40, 200, 150,
                               nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(wnd, nullptr);
    ShowWindow(wnd, SW_SHOW);
    UpdateWindow(wnd);
    ASSERT_TRUE(gui::PumpUntil([] { return paintCount > 0; }, 10000)) << "the window was never painted";

    // The X server may take a moment to show the drawing; poll with a bound.
    const bool shown = gui::PumpUntil([&] { return ScreenPixel(wnd, 40, 35) == Blue; }, 10000);
    EXPECT_TRUE(shown) << "pixel (40,35) is " << std::hex << ScreenPixel(wnd, 40, 35);
    EXPECT_EQ(ScreenPixel(wnd, 5, 5), Red);
    EXPECT_EQ(ScreenPixel(wnd, 100, 80), Red);
    EXPECT_EQ(ScreenPixel(wnd, 59, 49), Blue);
    EXPECT_EQ(ScreenPixel(wnd, 60, 50), Red);

    DestroyWindow(wnd);
    UnregisterClassW(L"GuiSmokeWindow", wc.hInstance);
}

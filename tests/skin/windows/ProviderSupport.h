#pragma once
// Forms of the framework skinned by a form provider with one of the shipped
// skins, and what the provider tests read back: the window as the screen
// shows it, the frame cache, the window region, pictures against goldens.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <windows.h>

#include "../../support/GuiHarness.h"
#include "../support/PngFile.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qSkinProvider.h"

namespace providertest {

// The kit's output folder of this build tree, as Wine reaches it (drive Z:).
inline String SkinsFolder()
{
    String path = "Z:" + String(SKIN_OUTPUT_DIR);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path + "\\";
}

// build/win/tests -> build/screenshots, as a Unix path and as Wine's path.
inline std::string ScreenshotFolder()
{
    const std::string out = std::string(SKIN_OUTPUT_DIR) + "/../../screenshots";
    CreateDirectoryW((L"Z:" + std::wstring(out.begin(), out.end())).c_str(), nullptr);
    return out;
}
inline std::string WinPath(const std::string& UnixPath)
{
    std::string path = "Z:" + UnixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline std::unique_ptr<TqSkinManager> ShippedManager(const String& Skin)
{
    auto manager = std::make_unique<TqSkinManager>(nullptr);
    manager->SetSkinDirectory(SkinsFolder());
    manager->SetSkinName(Skin);
    return manager;
}

// A form of the framework with a provider, shown at (X, Y) and active.
struct TSkinnedForm {
    explicit TSkinnedForm(TFormBorderStyle Style, TBorderIcons Icons = biSystemMenu | biMinimize | biMaximize,
                          int X = 120, int Y = 100)
        : Form(std::make_unique<TForm>(Application))
    {
        Form->SetBorderStyle(Style);
        Form->SetBorderIcons(Icons);
        Form->SetBounds(X, Y, 360, 240);
        Form->SetCaption("Skinned form");
        Provider = new TqSkinProvider(Form.get());
        Form->Show();
        SetForegroundWindow(Form->Handle());
        SetActiveWindow(Form->Handle());
        gui::PumpFor(60);
    }

    HWND Wnd() const { return Form->Handle(); }
    // The hit code of a window point.
    LRESULT HitAt(int X, int Y) const
    {
        RECT r{};
        GetWindowRect(Wnd(), &r);
        return SendMessageW(Wnd(), WM_NCHITTEST, 0, MAKELPARAM(r.left + X, r.top + Y));
    }
    // The window point in the middle of a title button.
    POINT ButtonCentre(int Code) const
    {
        const TRect& r = Provider->ButtonRecord(Code)->Rect;
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    std::unique_ptr<TForm> Form;
    TqSkinProvider* Provider;   // owned by the form
};

// The window as the screen shows it, frame included.
inline std::unique_ptr<TBitmap> ScreenOf(HWND Wnd)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    auto bitmap = std::make_unique<TBitmap>(r.right - r.left, r.bottom - r.top, TPixelFormat::pf24bit);
    const HDC screen = GetDC(nullptr);
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, bitmap->Width(), bitmap->Height(), screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

inline COLORREF Pixel(TBitmap* B, int X, int Y)
{
    return GetPixel(B->Canvas()->Handle(), X, Y);
}

// A left click (or only a press or a release) at a window point through the
// system's input queue, as from the mouse.
inline void MouseAt(HWND Wnd, POINT P)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    SetCursorPos(r.left + P.x, r.top + P.y);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = (r.left + P.x) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = (r.top + P.y) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof(move));
    gui::PumpFor(30);
}
inline void MouseButton(bool Down)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(input));
    gui::PumpFor(40);
}
inline void ClickAt(HWND Wnd, POINT P)
{
    MouseAt(Wnd, P);
    MouseButton(true);
    MouseButton(false);
}

// Pixels of R in B of exactly Color.
inline int CountColor(TBitmap* B, TRect R, COLORREF Color)
{
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            n += Pixel(B, x, y) == Color;
    return n;
}

// Compares Picture with the golden File; false with a message when it differs.
inline void ExpectGolden(TBitmap& Picture, const std::string& File)
{
    const std::string golden = std::string(SKIN_GOLDEN_DIR) + "/" + File;
    if (std::getenv("SKIN_GOLDENS") && std::string(std::getenv("SKIN_GOLDENS")) == "update") {
        CreateDirectoryW((L"Z:" + std::wstring(golden.begin(), golden.begin() + golden.rfind('/'))).c_str(), nullptr);
        skintest::SavePng(Picture, golden);
        return;
    }
    int w = 0;
    int h = 0;
    const std::string want = skintest::LoadPngRows(golden, w, h);
    ASSERT_FALSE(want.empty()) << "no golden " << golden;
    const std::string got = skintest::RawRows(Picture);
    std::size_t differ = 0;
    if (w == Picture.Width() && h == Picture.Height())
        for (std::size_t i = 0; i < got.size(); ++i)
            differ += got[i] != want[i];
    if (w != Picture.Width() || h != Picture.Height() || differ != 0)
        skintest::SavePng(Picture, ScreenshotFolder() + "/provider-" + File.substr(0, File.size() - 4) + "-actual.png");
    EXPECT_EQ(w, Picture.Width()) << File;
    EXPECT_EQ(h, Picture.Height()) << File;
    EXPECT_EQ(0u, differ) << File << ": bytes that differ from the golden";
}

// Pixels of the non-client area where the screen differs from the cache,
// leaving out the region's holes (which Wine shows black).
inline int ScreenDiffersFromCache(TqSkinProvider* P)
{
    const HWND wnd = P->Form()->Handle();
    auto screen = ScreenOf(wnd);
    TBitmap* cache = P->SkinData()->CacheBmp.get();
    RECT client{};
    GetClientRect(wnd, &client);
    OffsetRect(&client, P->ClientOffsetX(), P->ClientOffsetY());
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool hasRegion = GetWindowRgn(wnd, region) != ERROR;
    int differ = 0;
    for (int y = 0; y < screen->Height(); ++y)
        for (int x = 0; x < screen->Width(); ++x) {
            const POINT p{x, y};
            if (PtInRect(&client, p) || (hasRegion && !PtInRegion(region, x, y)))
                continue;
            differ += Pixel(screen.get(), x, y) != Pixel(cache, x, y);
        }
    DeleteObject(region);
    return differ;
}

}   // namespace providertest

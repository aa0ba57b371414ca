// Painting skins: the cache image of a 1280 x 1024 form section with a
// gradient, a texture and 50 % transparency over its parent, against GDI
// filling and copying the same area (FillRect plus BitBlt); and the pixel
// blend of two 1280 x 1024 bitmaps against a memcpy of the same bytes.
// Ratios: how many times the plain operation's time the skin's takes.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

namespace {

constexpr int Width = 1280;
constexpr int Height = 1024;

double Seconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class F>
double MsPerRound(int Rounds, F Body)
{
    Body();   // warm
    const double start = Seconds();
    for (int i = 0; i < Rounds; ++i)
        Body();
    return (Seconds() - start) * 1000.0 / Rounds;
}

// A folder skin with one form section: texture, gradient, 50 % transparency.
// Returns the skin directory.
std::string WriteSkin()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "skinpaint-bench";
    const std::string dir = root + "\\F";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(dir.c_str(), nullptr);
    std::ofstream(dir + "\\Options.dat")
        << "[GLOBALINFO]\nVERSION=5.3\n[FORM]\nCOLOR=12632256\nIMAGEPERCENT=40\nGRADIENTPERCENT=60\n"
           "GRADIENTDATA=16777215;8421504;50;0;0;8421504;4210752;50;0;0\nTRANSPARENCY=50\n"
           "PATTERN=!TEX.BMP!1!0!1\n";
    TBitmap tex(32, 32, TPixelFormat::pf24bit);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            Byte* p = tex.ScanLine(y) + 3 * x;
            p[0] = static_cast<Byte>(x * 8);
            p[1] = static_cast<Byte>(y * 8);
            p[2] = 128;
        }
    tex.SaveToFile(dir + "\\TEX.BMP");
    return root;
}

} // namespace

int wmain()
{
    TqSkinManager manager(nullptr);
    manager.SetSkinDirectory(WriteSkin());
    manager.SetSkinName("F");
    const int section = manager.FindSectionIndex("FORM");
    if (section < 0) {
        std::printf("the benchmark skin did not load\n");
        return 1;
    }
    auto parent = NewBitmap24(Width, Height);
    auto cache = NewBitmap24(Width, Height);
    const TRect all = Rect(0, 0, Width, Height);
    const double skin = MsPerRound(10, [&] {
        PaintSectionWithBorder(section, "FORM", MakeCacheInfo(parent.get(), 0, 0), -1, -1, &manager, cache.get(),
                               Point(0, 0), all, 0, true);
    });
    HDC cacheDC = cache->Canvas()->Handle();
    HDC parentDC = parent->Canvas()->Handle();
    HBRUSH brush = CreateSolidBrush(RGB(192, 192, 192));
    const double gdi = MsPerRound(10, [&] {
        FillRect(cacheDC, &all, brush);
        BitBlt(cacheDC, 0, 0, Width, Height, parentDC, 0, 0, SRCCOPY);
        GdiFlush();
    });
    DeleteObject(brush);
    std::printf("form section cache %dx%d  skin %8.2f ms  FillRect+BitBlt %8.2f ms  ratio %6.2f\n", Width, Height,
                skin, gdi, skin / gdi);

    auto a = NewBitmap24(Width, Height);
    auto b = NewBitmap24(Width, Height);
    const double blend = MsPerRound(20, [&] { BlendBitmaps(a.get(), b.get(), 128, Point(0, 0), all); });
    const std::size_t bytes = static_cast<std::size_t>(a->RowBytes()) * Height;
    std::vector<Byte> from(bytes, 1);
    std::vector<Byte> to(bytes, 2);
    const double copy = MsPerRound(20, [&] {
        std::memcpy(to.data(), from.data(), bytes);
        from[bytes / 2] = to[bytes / 3];   // keeps the copy from being dropped
    });
    std::printf("BlendRect %dx%d     blend %8.2f ms  memcpy %8.2f ms  ratio %6.2f\n", Width, Height, blend, copy,
                blend / copy);
    return 0;
}

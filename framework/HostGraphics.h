#pragma once
// The drawing types of the host tree, which has no GDI: rectangles, points
// and colours with the names and layouts that Graphics.h gives the Windows
// tree, so that code that only computes with them (skin formats, readers,
// lookups) builds in both trees. There is no canvas here.

#include <cstdint>

#include "framework/Exception.h"
#include "framework/Object.h"

FRAMEWORK_EXCEPTION(EInvalidGraphic, Exception);
FRAMEWORK_EXCEPTION(EOutOfResources, Exception);

using COLORREF = std::uint32_t;

struct TRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect{Left, Top, Right, Bottom}; }
constexpr TRect Bounds(int Left, int Top, int Width, int Height) { return TRect{Left, Top, Left + Width, Top + Height}; }
constexpr TPoint Point(int X, int Y) { return TPoint{X, Y}; }
constexpr int RectWidth(const TRect& R) { return R.right - R.left; }
constexpr int RectHeight(const TRect& R) { return R.bottom - R.top; }

using TColor = Integer;

constexpr TColor SystemColor(int Index) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(Index)); }
constexpr TColor RGBToColor(Byte R, Byte G, Byte B) { return static_cast<TColor>(R | (G << 8) | (B << 16)); }
constexpr bool IsSystemColor(TColor Color) { return (static_cast<unsigned>(Color) & 0xFF000000u) == 0xFF000000u; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
// The system colours by their Win32 index.
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnText = SystemColor(18);

// The COLORREF that Color stands for. The host has no system colours: they
// resolve to the values of the classic Windows scheme.
COLORREF ColorToRGB(TColor Color);

#pragma once
// Reading back what was painted: pixels straight from a bitmap's memory (not
// through GDI, which is under test), ink counts, whether text came out as
// glyphs, and the process's count of GDI objects.

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>

#include "framework/Bitmap.h"
// Only for its guard against message boxes that no test answers, which
// every test program that includes it installs (its functions are not
// linked into the graphics tests).
#include "tests/support/GuiHarness.h"

namespace paint_probe {

// The colour of pixel (X, Y) as a TColor, read through ScanLine.
inline TColor PixelAt(TBitmap& B, int X, int Y)
{
    const Byte* p = B.ScanLine(Y) + X * B.BytesPerPixel();
    return RGBToColor(p[2], p[1], p[0]);
}

// Fills the whole bitmap with one colour through its canvas.
inline void Clear(TBitmap& B, TColor Color)
{
    B.Canvas()->Brush()->SetStyle(TBrushStyle::bsSolid);
    B.Canvas()->Brush()->SetColor(Color);
    B.Canvas()->FillRect(Rect(0, 0, B.Width(), B.Height()));
}

// Pixels that differ from Background inside R (the whole bitmap by default).
inline int InkCount(TBitmap& B, TColor Background, TRect R = Rect(0, 0, -1, -1))
{
    if (R.right < 0)
        R = Rect(0, 0, B.Width(), B.Height());
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            n += PixelAt(B, x, y) != Background;
    return n;
}

// Whether two bitmaps of the same size and format hold the same pixels.
inline bool SamePixels(TBitmap& A, TBitmap& B)
{
    if (A.Width() != B.Width() || A.Height() != B.Height() || A.PixelFormat() != B.PixelFormat())
        return false;
    const std::size_t used = static_cast<std::size_t>(A.Width()) * A.BytesPerPixel();
    for (int y = 0; y < A.Height(); ++y)
        if (std::memcmp(A.ScanLine(y), B.ScanLine(y), used) != 0)
            return false;
    return true;
}

// Draws Text (as a string on a bitmap, as a control's caption, ...) and
// returns the pixels; every call gives a bitmap of the same size.
using TTextRender = std::function<std::unique_ptr<TBitmap>(const WideString& Text)>;

// Whether each character of Chars is drawn as a glyph of its own: drawn
// alone it differs from nothing drawn, no two of them look alike, and none
// looks like a character that no font has (U+E000, private use). A font
// without the glyphs draws the same box for all of them, which fails the
// second and third conditions.
inline ::testing::AssertionResult DrawnAsGlyphs(const TTextRender& Render, const WideString& Chars)
{
    const auto code = [](wchar_t Ch) {
        char text[16];
        std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(Ch));
        return std::string(text);
    };
    const auto blank = Render(WideString());
    const auto box = Render(WideString(1, L'\xE000'));
    std::vector<std::unique_ptr<TBitmap>> images;
    for (wchar_t ch : Chars) {
        images.push_back(Render(WideString(1, ch)));
        if (SamePixels(*images.back(), *blank))
            return ::testing::AssertionFailure() << code(ch) << " left no ink";
        if (SamePixels(*images.back(), *box))
            return ::testing::AssertionFailure() << code(ch) << " is drawn as the missing-glyph box";
    }
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j)
            if (SamePixels(*images[i], *images[j]))
                return ::testing::AssertionFailure() << "characters " << i << " and " << j << " look alike";
    return ::testing::AssertionSuccess();
}

inline bool RunningOnWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// GDI objects of this process. GetGuiResources answers 0 under Wine, so the
// GDI handle table that the system maps into every process (its address is
// in the process environment block) is counted instead: entries of a kernel
// pointer, the owning process id, a count, the handle's upper word, the
// object type and a user pointer. Stock objects (owner 0) count too; they do
// not change.
inline int GdiObjectCount()
{
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0)
        return static_cast<int>(reported);
#ifdef _WIN64
    constexpr std::size_t tableOffset = 0xF8, entrySize = 24, ownerOffset = 8, typeOffset = 14;
#else
    constexpr std::size_t tableOffset = 0x94, entrySize = 16, ownerOffset = 4, typeOffset = 10;
#endif
    using TQuery = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<TQuery>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (query == nullptr || query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return -1;
    const auto* peb = reinterpret_cast<const Byte*>(info.PebBaseAddress);
    const Byte* table = nullptr;
    std::memcpy(&table, peb + tableOffset, sizeof table);
    if (table == nullptr)
        return -1;
    const auto pid = static_cast<USHORT>(GetCurrentProcessId());
    int n = 0;
    for (std::size_t i = 0; i < 0x10000; ++i) {
        const Byte* e = table + i * entrySize;
        USHORT owner = 0;
        USHORT type = 0;
        std::memcpy(&owner, e + ownerOffset, sizeof owner);
        std::memcpy(&type, e + typeOffset, sizeof type);
        n += type != 0 && (owner == pid || owner == 0);
    }
    return n;
}

} // namespace paint_probe

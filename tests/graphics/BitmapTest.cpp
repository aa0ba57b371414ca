#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::Clear;
using paint_probe::PixelAt;
using paint_probe::SamePixels;

// A small picture with a different colour in each corner.
void PaintCorners(TBitmap& B)
{
    Clear(B, clGray);
    TCanvas* c = B.Canvas();
    c->SetPixels(0, 0, clRed);
    c->SetPixels(B.Width() - 1, 0, clLime);
    c->SetPixels(0, B.Height() - 1, clBlue);
    c->SetPixels(B.Width() - 1, B.Height() - 1, RGBToColor(10, 20, 30));
}

TEST(Bitmap, StartsEmptyAndTakesASize)
{
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Handle(), nullptr);
    EXPECT_THROW(b.ScanLine(0), EInvalidGraphic);
    b.Canvas()->FillRect(Rect(0, 0, 5, 5));   // drawing on an empty bitmap does nothing harmful

    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.SetSize(7, 5);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(b.Width(), 7);
    EXPECT_EQ(b.Height(), 5);
    EXPECT_NE(b.Handle(), nullptr);
    EXPECT_EQ(PixelAt(b, 6, 4), clBlack);   // new pixels are black
    b.SetSize(7, 5);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(b.SetSize(-1, 3), EInvalidGraphic);
}

TEST(Bitmap, ResizingKeepsThePixelsBothSizesCover)
{
    TBitmap b(4, 4, TPixelFormat::pf24bit);
    Clear(b, clRed);
    b.SetSize(6, 3);
    EXPECT_EQ(PixelAt(b, 0, 0), clRed);
    EXPECT_EQ(PixelAt(b, 3, 2), clRed);
    EXPECT_EQ(PixelAt(b, 4, 0), clBlack);
    b.SetHeight(5);
    EXPECT_EQ(PixelAt(b, 3, 2), clRed);
    EXPECT_EQ(PixelAt(b, 3, 3), clBlack);
    b.Canvas()->SetPixels(5, 4, clLime);   // the canvas draws into the new pixels
    EXPECT_EQ(PixelAt(b, 5, 4), clLime);
}

TEST(Bitmap, ScanLinesRunFromTheTopInBlueGreenRedOrder)
{
    for (TPixelFormat format : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
        const int bpp = format == TPixelFormat::pf24bit ? 3 : 4;
        TBitmap b(5, 3, format);
        EXPECT_EQ(b.BytesPerPixel(), bpp);
        EXPECT_EQ(b.RowBytes(), (5 * bpp + 3) / 4 * 4);
        b.Canvas()->SetPixels(1, 0, RGBToColor(10, 20, 30));
        const Byte* top = b.ScanLine(0);
        EXPECT_EQ(top[bpp + 0], 30);
        EXPECT_EQ(top[bpp + 1], 20);
        EXPECT_EQ(top[bpp + 2], 10);
        Byte* bottom = b.ScanLine(2);
        bottom[0] = 3;
        bottom[1] = 2;
        bottom[2] = 1;
        EXPECT_EQ(b.Canvas()->Pixels(0, 2), RGBToColor(1, 2, 3));
        EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), -b.RowBytes());   // bottom-up in memory
        EXPECT_THROW(b.ScanLine(3), EInvalidGraphic);
        EXPECT_THROW(b.ScanLine(-1), EInvalidGraphic);
    }
}

TEST(Bitmap, PixelFormatConversionKeepsTheColours)
{
    TBitmap b(5, 4, TPixelFormat::pf32bit);
    PaintCorners(b);
    TBitmap original;
    original.Assign(&b);
    b.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(PixelAt(b, x, y), PixelAt(original, x, y)) << x << ", " << y;
    b.SetPixelFormat(TPixelFormat::pf32bit);
    EXPECT_TRUE(SamePixels(b, original));
}

TEST(Bitmap, AssignMakesAnIndependentCopy)
{
    TBitmap a(6, 4, TPixelFormat::pf24bit);
    PaintCorners(a);
    a.SetTransparent(true);
    a.SetTransparentColor(clGray);
    TBitmap b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Assign(&a);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(SamePixels(a, b));
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), clGray);
    EXPECT_NE(b.Handle(), a.Handle());

    b.Canvas()->SetPixels(0, 0, clWhite);
    EXPECT_EQ(PixelAt(a, 0, 0), clRed);

    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    TFont font;
    EXPECT_THROW(b.Assign(&font), EConvertError);
}

TEST(Bitmap, TheTransparentColourIsTheBottomLeftPixelUntilSet)
{
    TBitmap b(3, 3);
    PaintCorners(b);
    EXPECT_EQ(b.TransparentColor(), clBlue);
    b.SetTransparentColor(clLime);
    EXPECT_EQ(b.TransparentColor(), clLime);
    EXPECT_EQ(TBitmap().TransparentColor(), clNone);
}

// The handle can be selected into another DC: the canvas lets its DC go,
// and takes the bitmap again when drawn on.
TEST(Bitmap, TheHandleCanBeSelectedElsewhere)
{
    TBitmap b(4, 4, TPixelFormat::pf24bit);
    Clear(b, clYellow);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b.Handle());
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(GetPixel(dc, 1, 1), ColorToRGB(clYellow));
    SelectObject(dc, old);
    DeleteDC(dc);
    b.Canvas()->SetPixels(1, 1, clNavy);
    EXPECT_EQ(PixelAt(b, 1, 1), clNavy);
}

TEST(Bitmap, CreateMaskMarksThePixelsOfOneColour)
{
    TBitmap b(4, 3, TPixelFormat::pf24bit);
    Clear(b, clFuchsia);
    b.Canvas()->SetPixels(2, 1, clNavy);
    TSharedGdiObject mask = b.CreateMask(clFuchsia);
    BITMAP info{};
    ASSERT_NE(GetObjectW(mask.get(), sizeof info, &info), 0);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidth, 4);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask.get());
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 3, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
}

// ---------------------------------------------------------------------------
// .bmp data

// A .bmp file with the given header fields, colour table and pixel rows.
String BmpFile(int Width, int Height, WORD BitCount, DWORD Compression, const std::vector<COLORREF>& Palette,
               const std::vector<Byte>& Bits, bool CoreHeader = false)
{
    String header;
    auto put = [&](const void* p, std::size_t n) { header.append(static_cast<const char*>(p), n); };
    if (CoreHeader) {
        BITMAPCOREHEADER core{sizeof core, static_cast<WORD>(Width), static_cast<WORD>(Height), 1, BitCount};
        put(&core, sizeof core);
    } else {
        BITMAPINFOHEADER info{};
        info.biSize = sizeof info;
        info.biWidth = Width;
        info.biHeight = Height;
        info.biPlanes = 1;
        info.biBitCount = BitCount;
        info.biCompression = Compression;
        info.biSizeImage = static_cast<DWORD>(Bits.size());
        info.biClrUsed = static_cast<DWORD>(Palette.size());
        put(&info, sizeof info);
    }
    std::vector<COLORREF> table = Palette;
    if (CoreHeader && BitCount <= 8)
        table.resize(std::size_t{1} << BitCount);   // a core header always has the full table
    for (COLORREF c : table) {
        const Byte bgr[4] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
        put(bgr, CoreHeader ? 3 : 4);
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = static_cast<DWORD>(sizeof file + header.size());
    file.bfSize = static_cast<DWORD>(file.bfOffBits + Bits.size());
    String data(reinterpret_cast<const char*>(&file), sizeof file);
    return data + header + String(Bits.begin(), Bits.end());
}

TEST(BitmapFile, ReadsTheDepthsAndLayoutsOfBmpFiles)
{
    const std::vector<COLORREF> palette = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    struct Case {
        const char* name;
        String data;
        TPixelFormat format;
        TColor topLeft, topRight, bottomLeft, bottomRight;
    };
    const Case cases[] = {
        {"8-bit palette, bottom-up", BmpFile(2, 2, 8, BI_RGB, palette, {2, 3, 0, 0, 0, 1, 0, 0}),
         TPixelFormat::pf24bit, clRed, clLime, clBlue, clWhite},
        {"8-bit palette, core header", BmpFile(2, 2, 8, BI_RGB, palette, {2, 3, 0, 0, 0, 1, 0, 0}, true),
         TPixelFormat::pf24bit, clRed, clLime, clBlue, clWhite},
        {"4-bit palette", BmpFile(2, 2, 4, BI_RGB, palette, {0x23, 0, 0, 0, 0x01, 0, 0, 0}),
         TPixelFormat::pf24bit, clRed, clLime, clBlue, clWhite},
        {"1-bit palette", BmpFile(2, 2, 1, BI_RGB, {RGB(0, 0, 0), RGB(255, 255, 255)}, {0x40, 0, 0, 0, 0x80, 0, 0, 0}),
         TPixelFormat::pf24bit, clWhite, clBlack, clBlack, clWhite},
        {"8-bit run-length", BmpFile(2, 2, 8, BI_RLE8, palette, {2, 2, 0, 0, 2, 1, 0, 1}),
         TPixelFormat::pf24bit, clLime, clLime, clBlue, clBlue},
        {"24-bit top-down", BmpFile(2, -2, 24, BI_RGB, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}),
         TPixelFormat::pf24bit, clRed, clLime, clBlue, clWhite},
        {"32-bit bottom-up", BmpFile(2, 2, 32, BI_RGB, {}, {255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0}),
         TPixelFormat::pf32bit, clRed, clLime, clBlue, clWhite},
    };
    for (const Case& c : cases) {
        TBitmap b;
        int changes = 0;
        b.OnChange = [&](TObject*) { ++changes; };
        ASSERT_NO_THROW(b.LoadFromBytes(c.data)) << c.name;
        EXPECT_EQ(changes, 1) << c.name;
        ASSERT_EQ(b.Width(), 2) << c.name;
        ASSERT_EQ(b.Height(), 2) << c.name;
        EXPECT_EQ(b.PixelFormat(), c.format) << c.name;
        EXPECT_EQ(PixelAt(b, 0, 0), c.topLeft) << c.name;
        EXPECT_EQ(PixelAt(b, 1, 0), c.topRight) << c.name;
        EXPECT_EQ(PixelAt(b, 0, 1), c.bottomLeft) << c.name;
        EXPECT_EQ(PixelAt(b, 1, 1), c.bottomRight) << c.name;
    }
}

TEST(BitmapFile, RejectsDataThatIsNotABitmap)
{
    String noTable = BmpFile(2, 2, 8, BI_RGB, {}, {});   // no colour count: 256 colours expected
    String badHeader = BmpFile(2, 2, 24, BI_RGB, {}, std::vector<Byte>(16));
    badHeader[14] = 20;   // no header has 20 bytes
    const struct {
        const char* name;
        String data;
        const char* reason;
    } cases[] = {
        {"empty", "", "Not a bitmap"},
        {"no signature", "XX" + String(60, '\0'), "Not a bitmap"},
        {"truncated pixels", BmpFile(4, 4, 24, BI_RGB, {}, std::vector<Byte>(10)), "bits truncated"},
        {"colour table past the end", noTable, "colour table truncated"},
        {"unknown header size", badHeader, "Unknown bitmap header"},
        {"only a file header", BmpFile(2, 2, 24, BI_RGB, {}, {}).substr(0, 16), "outside the data"},
    };
    for (const auto& c : cases) {
        TBitmap b(3, 3);
        try {
            b.LoadFromBytes(c.data);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(e.Message.find(c.reason), String::npos) << c.name << ": " << e.Message;
        }
    }
}

// Saved files come back identical, and the system's own loader reads them
// with the same pixels.
TEST(BitmapFile, SaveAndLoadRoundTripThroughAFileWithAChineseName)
{
    WCHAR temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    for (TPixelFormat format : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
        const String name = WideToStr(temp) + "位图测试" + (format == TPixelFormat::pf24bit ? "24" : "32") + ".bmp";
        TBitmap saved(5, 3, format);   // odd width: rows are padded
        PaintCorners(saved);
        saved.SaveToFile(name);

        TBitmap loaded;
        loaded.LoadFromFile(name);
        EXPECT_EQ(loaded.PixelFormat(), format);
        EXPECT_TRUE(SamePixels(saved, loaded));

        HBITMAP system = static_cast<HBITMAP>(
            LoadImageW(nullptr, StrToWide(name).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_NE(system, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, system);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(GetPixel(dc, x, y), static_cast<COLORREF>(PixelAt(saved, x, y))) << x << ", " << y;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(system);
        DeleteFileW(StrToWide(name).c_str());
    }
    TBitmap b;
    EXPECT_THROW(b.LoadFromFile(WideToStr(temp) + "没有这个文件.bmp"), EFOpenError);
    EXPECT_THROW(b.SaveToFile(WideToStr(temp) + "no-such-folder\\x.bmp"), EFCreateError);
}

TEST(BitmapFile, AnEmptyBitmapRoundTripsAsEmpty)
{
    TBitmap empty;
    TBitmap b(2, 2);
    b.LoadFromBytes(empty.SaveToBytes());
    EXPECT_TRUE(b.Empty());
}

// A bitmap resource of a system module, compared with the system's loader.
TEST(BitmapResource, LoadsRTBitmapResourcesByNumberAndRejectsMissingOnes)
{
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    constexpr int standardButtons = 120;   // the common controls' small standard tool bar pictures
    HBITMAP system = static_cast<HBITMAP>(
        LoadImageW(comctl, MAKEINTRESOURCEW(standardButtons), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(system, nullptr);
    BITMAP info{};
    GetObjectW(system, sizeof info, &info);

    TBitmap b;
    b.LoadFromResourceName(comctl, "#120");
    EXPECT_EQ(b.Width(), info.bmWidth);
    EXPECT_EQ(b.Height(), info.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, system);
    int differences = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            differences += GetPixel(dc, x, y) != static_cast<COLORREF>(PixelAt(b, x, y));
    EXPECT_EQ(differences, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(system);

    EXPECT_THROW(b.LoadFromResourceName(comctl, "NO_SUCH_BITMAP"), EInvalidGraphic);
    EXPECT_THROW(b.LoadFromResourceName(GetModuleHandleW(nullptr), "#9999"), EInvalidGraphic);
}

} // namespace

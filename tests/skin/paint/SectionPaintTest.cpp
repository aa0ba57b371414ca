// Section backgrounds painted from a skin the test writes into a folder:
// plain fills, textures with gradients and tints, transparency over a
// parent's cache, and no GDI object left behind by thousands of paints.
#include <gtest/gtest.h>

#include <memory>

#include "../../graphics/PaintProbe.h"
#include "../../support/TempDir.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

namespace {

TColor At(TBitmap& B, int X, int Y)
{
    const Byte* p = B.ScanLine(Y) + X * B.BytesPerPixel();
    return RGBToColor(p[2], p[1], p[0]);
}

std::unique_ptr<TBitmap> Filled(int W, int H, TColor C)
{
    auto b = NewBitmap24(W, H);
    TintRect(b.get(), Rect(0, 0, W - 1, H - 1), 0, C);
    return b;
}

// A black and white checkerboard of 4-pixel squares.
std::unique_ptr<TBitmap> Checkerboard(int W, int H)
{
    auto b = Filled(W, H, clBlack);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (((x / 4) + (y / 4)) % 2 == 0)
                TintRect(b.get(), Rect(x, y, x, y), 0, clWhite);
    return b;
}

const char* const Options =
    "[GLOBALINFO]\nVERSION=5.3\n"
    "[PLAIN]\nCOLOR=255\n"
    "[CLEAR]\nCOLOR=255\nTRANSPARENCY=100\n"
    "[HALF]\nCOLOR=16777215\nTRANSPARENCY=50\n"
    "[NOTEX]\nCOLOR=65280\nIMAGEPERCENT=30\n"
    "[MIX100]\nCOLOR=16777215\nIMAGEPERCENT=40\nGRADIENTPERCENT=60\nGRADIENTDATA=0;0;100;0;0\n"
    "PATTERN=!TEX.BMP!1!0!1\n"
    "[MIX70]\nCOLOR=16777215\nIMAGEPERCENT=40\nGRADIENTPERCENT=30\nGRADIENTDATA=0;0;100;0;0\n"
    "PATTERN=!TEX.BMP!1!0!1\n";

class SectionPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(Dir / "T");
        testfs::WriteBytes(Dir / "T" / "Options.dat", Options);
        Filled(4, 4, clRed)->SaveToFile(testfs::PathStr(Dir / "T" / "TEX.BMP"));
        Manager = std::make_unique<TqSkinManager>(nullptr);
        Manager->SetSkinDirectory(testfs::PathStr(Dir.Path()));
        Manager->SetSkinName("T");
        ASSERT_GE(Manager->FindSectionIndex("MIX70"), 0);
    }
    void TearDown() override { ExchangeColor = clSkinTransparent; }

    // The section painted normal into a 12 x 10 bitmap at (1, 1, 11, 9),
    // over Parent at offset (3, 2) when given.
    std::unique_ptr<TBitmap> Paint(const String& Section, TBitmap* Parent = nullptr)
    {
        auto b = Filled(12, 10, clBlue);
        const TCacheInfo ci = Parent ? MakeCacheInfo(Parent, 3, 2) : EmptyCacheInfo;
        PaintSectionBackground(Manager->FindSectionIndex(Section), Section, ci, 0, Rect(1, 1, 11, 9), Point(0, 0),
                               b.get(), Manager.get());
        return b;
    }

    testfs::TempDir Dir{"sectionpaint"};
    std::unique_ptr<TqSkinManager> Manager;
};

TEST_F(SectionPaint, ColoursTexturesGradientsAndTints)
{
    struct Case {
        const char* Section;
        TColor Inside;
    } cases[] = {
        {"PLAIN", clRed},                            // a plain fill of COLOR
        {"NOTEX", clLime},                           // no texture: COLOR, tinted toward itself
        {"MIX100", RGBToColor(102, 0, 0)},           // red texture keeps 40 % of a black gradient, untinted
        {"MIX70", RGBToColor(148, 76, 76)},          // the same tinted 30 % toward white
    };
    for (const Case& c : cases) {
        auto b = Paint(c.Section);
        EXPECT_EQ(c.Inside, At(*b, 1, 1)) << c.Section;
        EXPECT_EQ(c.Inside, At(*b, 10, 8)) << c.Section;
        EXPECT_EQ(clBlue, At(*b, 11, 9)) << c.Section;   // nothing outside R
        EXPECT_EQ(clBlue, At(*b, 0, 0)) << c.Section;
    }
}

TEST_F(SectionPaint, TransparencyShowsTheParent)
{
    auto parent = Checkerboard(30, 30);
    auto b = Paint("CLEAR", parent.get());
    for (int y = 1; y < 9; ++y)
        for (int x = 1; x < 11; ++x)
            ASSERT_EQ(At(*parent, x - 1 + 3, y - 1 + 2), At(*b, x, y)) << x << "," << y;
    ExchangeColor = RGBToColor(1, 2, 3);
    b = Paint("CLEAR", parent.get());
    EXPECT_EQ(RGBToColor(1, 2, 3), At(*b, 5, 5));
    ExchangeColor = clSkinTransparent;
    // Half: the parent keeps about half (level 127 over black).
    auto black = Filled(30, 30, clBlack);
    b = Paint("HALF", black.get());
    EXPECT_EQ(RGBToColor(127, 127, 127), At(*b, 4, 4));
    // Without a ready cache the section paints plainly.
    b = Paint("HALF");
    EXPECT_EQ(clWhite, At(*b, 4, 4));
}

TEST_F(SectionPaint, NoGdiObjectOutlivesAPaint)
{
    auto parent = Checkerboard(64, 64);
    auto target = NewBitmap24(40, 30);
    TBitmap screen(40, 30, TPixelFormat::pf24bit);
    HDC dc = screen.Canvas()->Handle();
    // One round first: the pictures and the target keep the memory DC of
    // their canvas for as long as they live.
    int before = 0;
    for (int i = -3; i < 10000; ++i) {
        if (i == 0)
            before = paint_probe::GdiObjectCount();
        const int kind = (i + 3) % 3;
        const String section = kind == 0 ? "HALF" : kind == 1 ? "MIX70" : "CLEAR";
        const int index = Manager->FindSectionIndex(section);
        PaintSectionWithBorder(index, section, MakeCacheInfo(parent.get(), 5, 5), -1, -1, Manager.get(), target.get(),
                               Point(0, 0), Rect(0, 0, 40, 30), (i + 4) % 2, true);
        if ((i + 3) % 10 == 0 || i < 0)
            PaintSectionToDC(index, section, MakeCacheInfo(parent.get(), 5, 5), Manager.get(), dc, Point(0, 0),
                             Rect(0, 0, 40, 30), 0, true);
    }
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
    EXPECT_NE(clBlue, At(*target, 3, 3));
}

} // namespace

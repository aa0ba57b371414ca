// The pixel primitives and the painting core's routines on memory bitmaps,
// with the exact numbers their formulas give.
#include <gtest/gtest.h>

#include "framework/Panel.h"
#include "skin/engine/qPixelOps.h"
#include "skin/engine/qSkinPaint.h"

namespace {

TColor At(TBitmap& B, int X, int Y)
{
    const Byte* p = B.ScanLine(Y) + X * B.BytesPerPixel();
    return RGBToColor(p[2], p[1], p[0]);
}

void Set(TBitmap& B, int X, int Y, TColor C)
{
    Byte* p = B.ScanLine(Y) + X * B.BytesPerPixel();
    p[0] = static_cast<Byte>(C >> 16);
    p[1] = static_cast<Byte>(C >> 8);
    p[2] = static_cast<Byte>(C);
}

std::unique_ptr<TBitmap> Filled(int W, int H, TColor C)
{
    auto b = NewBitmap24(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            Set(*b, x, y, C);
    return b;
}

// A mask entry holding its own picture (the manager is only looked at for
// being there: own pictures are read from the entry itself).
TqMaskData OwnEntry(std::unique_ptr<TBitmap> Picture, int ImageCount, int MaskType)
{
    static char manager;
    TqMaskData m;
    m.R = Rect(0, 0, Picture->Width(), Picture->Height());
    m.Bmp = std::move(Picture);
    m.ImageCount = static_cast<std::int16_t>(ImageCount);
    m.MaskType = static_cast<std::int16_t>(MaskType);
    m.Manager = reinterpret_cast<TqSkinManager*>(&manager);
    return m;
}

TEST(PixelOps, BlendRectRoundsAsItsFormula)
{
    auto dst = Filled(4, 4, RGBToColor(200, 200, 200));
    auto src = Filled(4, 4, RGBToColor(100, 100, 100));
    BlendBitmaps(dst.get(), src.get(), 128, Point(1, 1), Rect(0, 0, 2, 2));
    EXPECT_EQ(RGBToColor(150, 150, 150), At(*dst, 1, 1));
    EXPECT_EQ(RGBToColor(150, 150, 150), At(*dst, 2, 2));
    EXPECT_EQ(RGBToColor(200, 200, 200), At(*dst, 3, 3));   // exclusive right and bottom
    EXPECT_EQ(RGBToColor(200, 200, 200), At(*dst, 0, 0));
}

TEST(PixelOps, TintRectIncludesItsEdges)
{
    struct Case {
        int Percent;
        TColor Inside;
    } cases[] = {{100, RGBToColor(10, 20, 30)}, {0, RGBToColor(250, 0, 100)}, {50, RGBToColor(130, 10, 65)}};
    for (const Case& c : cases) {
        auto b = Filled(6, 6, RGBToColor(10, 20, 30));
        TintRect(b.get(), Rect(1, 1, 3, 3), c.Percent, RGBToColor(250, 0, 100));
        EXPECT_EQ(c.Inside, At(*b, 1, 1)) << c.Percent;
        EXPECT_EQ(c.Inside, At(*b, 3, 3)) << c.Percent;   // right and bottom edges included
        EXPECT_EQ(RGBToColor(10, 20, 30), At(*b, 4, 4)) << c.Percent;
        EXPECT_EQ(RGBToColor(10, 20, 30), At(*b, 0, 1)) << c.Percent;
    }
    // A rectangle past the bitmap is clipped to it.
    auto b = Filled(3, 3, clBlack);
    TintRect(b.get(), Rect(-5, -5, 50, 50), 0, clWhite);
    EXPECT_EQ(clWhite, At(*b, 0, 0));
    EXPECT_EQ(clWhite, At(*b, 2, 2));
}

TEST(PixelOps, DisabledLooks)
{
    TPanel control(nullptr);
    control.SetColor(RGBToColor(0, 0, 200));
    ExchangeColor = clSkinTransparent;
    // Blended without a parent cache: half way to the control's colour.
    auto b = Filled(4, 4, RGBToColor(100, 100, 100));
    ApplyDisabledKind(b.get(), 1u << dkBlended, &control, Point(0, 0), EmptyCacheInfo);
    EXPECT_EQ(RGBToColor(50, 50, 150), At(*b, 2, 2));
    // With ExchangeColor set, toward that colour.
    ExchangeColor = RGBToColor(200, 0, 0);
    b = Filled(4, 4, RGBToColor(100, 100, 100));
    ApplyDisabledKind(b.get(), 1u << dkBlended, &control, Point(0, 0), EmptyCacheInfo);
    EXPECT_EQ(RGBToColor(150, 50, 50), At(*b, 3, 3));
    ExchangeColor = clSkinTransparent;
    // Grey and blended over a ready cache: 40 % of the grey, 60 % parent.
    b = Filled(4, 4, RGBToColor(90, 30, 0));
    auto parent = Filled(10, 10, RGBToColor(200, 200, 200));
    ApplyDisabledKind(b.get(), (1u << dkBlended) | (1u << dkGrayed), &control, Point(1, 1),
                      MakeCacheInfo(parent.get(), 2, 2));
    EXPECT_EQ(RGBToColor(136, 136, 136), At(*b, 0, 0));   // 200 - 0.4 * (200 - 40)
}

TEST(PixelOps, TransparentMaskPixelsInCornersAndEdges)
{
    // A 3-frame-wide border image 9 x 9 over its mask: image magenta at the
    // top-left pixel (a corner) and at (4, 0) (the top edge), red elsewhere;
    // the mask black (the image shows).
    auto pic = Filled(9, 18, clRed);
    for (int y = 9; y < 18; ++y)
        for (int x = 0; x < 9; ++x)
            Set(*pic, x, y, clBlack);
    Set(*pic, 0, 0, clFuchsia);
    Set(*pic, 4, 0, clFuchsia);
    TqMaskData m = OwnEntry(std::move(pic), 1, 1);
    m.WL = m.WT = m.WR = m.WB = 3;
    auto parent = Filled(20, 20, clLime);
    auto target = Filled(9, 9, clBlue);
    PaintMaskedImage(target.get(), Rect(0, 0, 9, 9), true, nullptr, true, 0, m, MakeCacheInfo(parent.get(), 5, 5));
    EXPECT_EQ(clLime, At(*target, 0, 0));   // corner: the parent's pixel
    EXPECT_EQ(clBlue, At(*target, 4, 0));   // edge: the destination stays
    EXPECT_EQ(clRed, At(*target, 1, 0));
    EXPECT_EQ(clRed, At(*target, 4, 4));
}

TEST(PixelOps, NinePartCornersShrinkOnNarrowRectangles)
{
    // Frame 18 wide: 6 red columns, 6 green, 6 blue; no mask.
    auto pic = Filled(18, 4, clLime);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            Set(*pic, x, y, clRed);
            Set(*pic, 12 + x, y, clBlue);
        }
    TqMaskData m = OwnEntry(std::move(pic), 1, 0);
    m.WL = m.WR = 6;
    m.WT = m.WB = 1;
    auto target = Filled(9, 4, clBlack);
    PaintMaskedImage(target.get(), Rect(0, 0, 9, 4), true, nullptr, false, 0, m, EmptyCacheInfo);
    int red = 0;
    int blue = 0;
    for (int x = 0; x < 9; ++x) {
        red += At(*target, x, 0) == clRed;
        blue += At(*target, x, 0) == clBlue;
    }
    EXPECT_EQ(5, red);
    EXPECT_EQ(4, blue);
}

TEST(PixelOps, GlyphStatesBeyondTheCountDrawTheLast)
{
    auto target = Filled(4, 4, clBlack);
    // With a mask row (black: the image shows) the last frame is drawn.
    auto pic2 = Filled(6, 4, clBlack);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            Set(*pic2, x, y, x < 2 ? clRed : x < 4 ? clLime : clBlue);
    TqMaskData glyph = OwnEntry(std::move(pic2), 3, 1);
    DrawMaskGlyph(target.get(), Point(1, 1), 7, glyph, 1);
    EXPECT_EQ(clBlue, At(*target, 1, 1));
    EXPECT_EQ(clBlue, At(*target, 2, 2));
    // A negative position cuts the glyph.
    target = Filled(4, 4, clBlack);
    DrawMaskGlyph(target.get(), Point(-1, -1), 0, glyph, 1);
    EXPECT_EQ(clRed, At(*target, 0, 0));
    EXPECT_EQ(clBlack, At(*target, 1, 1));
}

TEST(PixelOps, AccessorRefusesThinBitmaps)
{
    TBitmap thin(1, 5, TPixelFormat::pf24bit);
    TzqFast24 a;
    EXPECT_FALSE(a.Attach(&thin));
    TBitmap b(3, 3, TPixelFormat::pf24bit);
    ASSERT_TRUE(a.Attach(&b));
    Set(b, 2, 1, RGBToColor(1, 2, 3));
    EXPECT_EQ(RGBToColor(1, 2, 3), a.GetPixel(2, 1));
}

TEST(PixelOps, ColorMaskAndFadeFrame)
{
    auto p = Filled(2, 2, RGBToColor(200, 100, 0));
    auto m = Filled(2, 2, clWhite);
    Set(*m, 1, 1, clBlack);
    ApplyColorMask(p.get(), m.get(), RGBToColor(0, 0, 255));
    EXPECT_EQ(RGBToColor(199, 99, 0), At(*p, 0, 0));   // white keeps (almost) the pixel
    EXPECT_EQ(RGBToColor(0, 0, 255), At(*p, 1, 1));    // black gives the colour
    auto a = Filled(2, 2, clWhite);
    auto b = Filled(2, 2, clBlack);
    auto out = NewBitmap32(2, 2);
    MixFadeFrame(out.get(), a.get(), b.get(), 255, nullptr);
    EXPECT_EQ(RGBToColor(254, 254, 254), At(*out, 0, 0));
    MixFadeFrame(out.get(), a.get(), b.get(), 0, nullptr);
    EXPECT_EQ(clBlack, At(*out, 1, 1));
}

TEST(SkinPaintRoutines, SaturationAndHue)
{
    struct Case {
        TColor (*Op)(TColor);
        TColor In;
        TColor Out;
    } cases[] = {
        {[](TColor C) { return ChangeSaturation(C, 100); }, 0x0000FF, 0x555555},
        {[](TColor C) { return ChangeSaturation(C, 0); }, 0x0000FF, 0x0000FF},
        {[](TColor C) { return ChangeSaturation(C, -100); }, 0x0000FF, 0x0000FF},   // clamped apart
        {[](TColor C) { return ChangeSaturation(C, 50); }, 0x000080, 0x151555},      // 128 - 42.67 = 85.3; 0 + 21.33
        {[](TColor C) { return ShiftHue(120, C); }, 0x0000FF, 0x00FF00},
        {[](TColor C) { return ShiftHue(240, C); }, 0x0000FF, 0xFF0000},
        {[](TColor C) { return ShiftHue(77, C); }, 0x808080, 0x808080},
        {[](TColor C) { return ShiftHue(-120, C); }, 0x0000FF, 0xFF0000},   // red turned back to blue
        {[](TColor C) { return ShiftHue(-240, C); }, 0x0000FF, 0x00FF00},
        {[](TColor C) { return ShiftHue(-480, C); }, 0x0000FF, 0xFF0000},
        {[](TColor C) { return ShiftHue(360, C); }, 0x0000FF, 0x0000FF},
        {[](TColor C) { return ShiftHue(30, C); }, 0x0000FF, 0x0080FF},    // orange
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Out, c.Op(c.In)) << std::hex << c.In;
}

TEST(SkinPaintRoutines, MixColorsAndLayout)
{
    EXPECT_EQ(RGBToColor(162, 40, 0), MixColors(RGBToColor(255, 100, 0), RGBToColor(100, 0, 0), 0.4) & 0xFFFFFF);
    TRect text;
    TPoint glyph;
    // Glyph left of the text, centred: margin (100 - 40 - 4 - 16) div 2 = 20.
    LayoutGlyphAndText(Rect(10, 10, 110, 40), Point(16, 16), Point(40, 12), 0, text, glyph, -1, 4, 2, 0);
    EXPECT_EQ(30, glyph.x);
    EXPECT_EQ(10 + 7, glyph.y);
    EXPECT_EQ(30 + 16 + 4, text.left);
    EXPECT_EQ(10 + 9, text.top);
    // Glyph on top: y = (30 - 16 - 4 - 12) div 2 = -1.
    LayoutGlyphAndText(Rect(0, 0, 100, 30), Point(16, 16), Point(40, 12), 0, text, glyph, -1, 4, 0, 2);
    EXPECT_EQ(-1, glyph.y);
    EXPECT_EQ(19, text.top);
    EXPECT_EQ((100 - 16 + 1) / 2, glyph.x);
}

TEST(SkinPaintRoutines, FitTextWithEllipsis)
{
    TBitmap b(10, 10, TPixelFormat::pf24bit);
    String out = "x";
    FitTextWithEllipsis(b.Canvas(), "Hello world", 0, out);
    EXPECT_EQ("", out);
    const int full = b.Canvas()->TextWidth("Hello world");
    FitTextWithEllipsis(b.Canvas(), "Hello world", full, out);
    EXPECT_EQ("Hello world", out);
    FitTextWithEllipsis(b.Canvas(), "Hello world", b.Canvas()->TextWidth("Hel..."), out);
    EXPECT_EQ("Hel...", out);
    FitTextWithEllipsis(b.Canvas(), "Hello world", 1, out);
    EXPECT_EQ("", out);
}

TEST(SkinPaintRoutines, MaskedTextureModeTenLeavesThePartRow)
{
    // A 4 x 4 texture tile over its black mask.
    auto pic = Filled(4, 8, clBlack);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            Set(*pic, x, y, clRed);
    TqMaskData m = OwnEntry(std::move(pic), 1, 1);
    auto target = Filled(10, 10, clBlue);
    TRect r = Rect(0, 0, 10, 10);
    PaintMaskedTexture(target.get(), r, EmptyCacheInfo, 10, m);
    EXPECT_TRUE(r.right <= r.left);   // reported covered
    EXPECT_EQ(clRed, At(*target, 7, 7));
    EXPECT_EQ(clBlue, At(*target, 8, 3));   // the right column: no parent, no colour
    EXPECT_EQ(clBlue, At(*target, 3, 9));   // the part row stays unpainted
    // Mode 0 tiles to the edges.
    target = Filled(10, 10, clBlue);
    r = Rect(0, 0, 10, 10);
    PaintMaskedTexture(target.get(), r, EmptyCacheInfo, 0, m);
    EXPECT_EQ(clRed, At(*target, 9, 9));
}

TEST(SkinPaintRoutines, TextureModes)
{
    // A 4 x 3 picture: a texture of the whole picture.
    auto pic = Filled(4, 3, clRed);
    Set(*pic, 0, 0, clLime);
    TqMaskData m = OwnEntry(std::move(pic), 1, 0);
    struct Case {
        int Mode;
        TRect Left;        // what is left for the colour
        TPoint Painted;    // a pixel the texture covers
        TPoint Unpainted;  // a pixel it leaves
    } cases[] = {
        {0, Rect(0, 0, 0, 0), Point(9, 9), Point(-1, -1)},
        {2, Rect(0, 3, 10, 10), Point(9, 2), Point(0, 3)},
        {3, Rect(4, 0, 10, 10), Point(3, 9), Point(4, 0)},
        {6, Rect(0, 0, 10, 7), Point(0, 9), Point(0, 6)},
        {7, Rect(0, 0, 6, 10), Point(9, 0), Point(5, 0)},
        {10, Rect(0, 0, 0, 0), Point(9, 8), Point(0, 9)},
        {12, Rect(0, 0, 0, 0), Point(9, 9), Point(-1, -1)},   // tiles like 0
    };
    for (const Case& c : cases) {
        auto target = Filled(10, 10, clBlue);
        TRect r = Rect(0, 0, 10, 10);
        m.StretchMode = static_cast<std::int16_t>(c.Mode);
        PaintTexture(target->Canvas(), r, nullptr, c.Mode, m);
        if (c.Left.right > c.Left.left) {
            EXPECT_EQ(c.Left.left, r.left) << c.Mode;
            EXPECT_EQ(c.Left.top, r.top) << c.Mode;
            EXPECT_EQ(c.Left.right, r.right) << c.Mode;
            EXPECT_EQ(c.Left.bottom, r.bottom) << c.Mode;
        } else {
            EXPECT_TRUE(r.right <= r.left || r.bottom <= r.top) << c.Mode;
        }
        EXPECT_NE(clBlue, At(*target, c.Painted.x, c.Painted.y)) << c.Mode;
        if (c.Unpainted.x >= 0) {
            EXPECT_EQ(clBlue, At(*target, c.Unpainted.x, c.Unpainted.y)) << c.Mode;
        }
    }
}

TEST(SkinPaintRoutines, MaskCornerRects)
{
    // One frame 8 x 4 over its mask; corners 2 wide and 2 high; transparent
    // runs at (0..1, 0) and (7, 0) and (0, 1).
    auto pic = Filled(8, 8, clRed);
    Set(*pic, 0, 0, clFuchsia);
    Set(*pic, 1, 0, clFuchsia);
    Set(*pic, 7, 0, clFuchsia);
    Set(*pic, 0, 1, clFuchsia);
    TqMaskData m = OwnEntry(std::move(pic), 1, 1);
    m.WL = m.WR = m.WT = m.WB = 2;
    TAOR rects;
    AddMaskCornerRects(rects, 100, m, false, 10);
    ASSERT_EQ(3u, rects.size());
    EXPECT_EQ(0, rects[0].left);
    EXPECT_EQ(2, rects[0].right);
    EXPECT_EQ(10, rects[0].top);
    EXPECT_EQ(99, rects[1].left);    // the right corner meets the window's right edge
    EXPECT_EQ(100, rects[1].right);
    EXPECT_EQ(11, rects[2].top);
}

} // namespace

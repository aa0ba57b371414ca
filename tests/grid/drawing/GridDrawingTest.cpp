// The grid's drawing routines, painted into memory bitmaps and read back
// pixel by pixel.
#include <gtest/gtest.h>

#include "framework/Panel.h"
#include "grid/core/GridDrawing.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::Clear;
using paint_probe::InkCount;
using paint_probe::PixelAt;

constexpr TColor Back = 0x00FEFEFE;

struct Surface {
    TBitmap B;
    explicit Surface(int W, int H, TColor Fill = Back) : B(W, H, TPixelFormat::pf24bit) { Clear(B, Fill); }
    TCanvas* C() { return B.Canvas(); }
    TColor At(int X, int Y) { return PixelAt(B, X, Y); }
};

TEST(GridDrawing, GradientRectBandsHorizontalAndVertical)
{
    // Black to red in 4 bands over 40 pixels: bands of 10, red channel
    // round(k * 255 / 4) = 0, 64, 128, 191.
    const int expected[] = {0, 64, 128, 191};
    for (bool horizontal : {true, false}) {
        Surface s(60, 60);
        const TRect r = horizontal ? Rect(5, 5, 45, 25) : Rect(5, 5, 25, 45);
        DrawGradientRect(s.C(), clBlack, clRed, horizontal, r, 4);
        for (int k = 0; k < 4; ++k) {
            for (int off : {0, 5, 9}) {
                const int along = 5 + 10 * k + off;
                const TColor c = horizontal ? s.At(along, 15) : s.At(15, along);
                EXPECT_EQ(c, RGBToColor(static_cast<Byte>(expected[k]), 0, 0))
                    << (horizontal ? "horizontal" : "vertical") << " band " << k << " offset " << off;
            }
        }
        // Across the band the colour does not change.
        EXPECT_EQ(horizontal ? s.At(25, 5) : s.At(5, 25), horizontal ? s.At(25, 24) : s.At(24, 25));
    }
}

TEST(GridDrawing, GradientRectSolidCases)
{
    struct Case {
        const char* Name;
        TColor To;
        int Steps;
    } cases[] = {{"end clNone", clNone, 16}, {"one band", clBlue, 1}, {"zero bands", clBlue, 0}};
    for (const Case& c : cases) {
        Surface s(30, 30);
        DrawGradientRect(s.C(), 0x00336699, c.To, true, Rect(2, 2, 22, 12), c.Steps);
        EXPECT_EQ(s.At(2, 2), 0x00336699) << c.Name;
        EXPECT_EQ(s.At(21, 11), 0x00336699) << c.Name;
        EXPECT_EQ(s.At(12, 7), 0x00336699) << c.Name;
        EXPECT_EQ(s.At(12, 14), Back) << c.Name;
    }
}

TEST(GridDrawing, GradientBackgroundSolidMirroredAndBorders)
{
    {   // Solid: the rectangle grows by one pixel at the bottom.
        Surface s(30, 30);
        DrawGradientBackground(s.C(), Rect(0, 0, 20, 10), clGreen, true, false, clNone, true, clNone, clNone, clNone);
        EXPECT_EQ(s.At(5, 10), clGreen);
        EXPECT_EQ(s.At(5, 11), Back);
        EXPECT_EQ(s.At(20, 5), Back);
    }
    {   // Mirrored top and bottom halves of 256 pixels (128 bands of 2), framed.
        Surface s(40, 520);
        DrawGradientBackground(s.C(), Rect(0, 0, 20, 512), clRed, true, false, clBlack, true, clWhite, clBlue, clYellow);
        EXPECT_EQ(s.At(10, 1), clRed);       // first band of the top half
        EXPECT_EQ(s.At(10, 256), clBlue);    // first band of the bottom half
        EXPECT_EQ(s.At(10, 254), BlendColorAt(clRed, clYellow, 0, 127, 128));
        EXPECT_EQ(s.At(0, 5), clBlack);      // frame
        EXPECT_EQ(s.At(19, 300), clBlack);
        EXPECT_EQ(s.At(10, 511), clBlack);
    }
    {   // Left and right halves when not vertical; vertical lines only.
        Surface s(520, 40);
        DrawGradientBackground(s.C(), Rect(0, 0, 512, 20), clRed, true, true, clBlack, false, clWhite, clBlue, clYellow);
        EXPECT_EQ(s.At(1, 5), clRed);
        EXPECT_EQ(s.At(256, 5), clBlue);
        EXPECT_EQ(s.At(0, 5), clBlack);
        EXPECT_EQ(s.At(511, 5), clBlack);
        EXPECT_NE(s.At(100, 0), clBlack);    // no top edge
    }
    {   // No fill: only the frame.
        Surface s(30, 30);
        DrawGradientBackground(s.C(), Rect(0, 0, 20, 20), clRed, false, false, clBlack, true, clNone, clNone, clNone);
        EXPECT_EQ(s.At(10, 10), Back);
        EXPECT_EQ(s.At(0, 10), clBlack);
    }
}

TEST(GridDrawing, ColourArithmetic)
{
    struct Case {
        const char* Name;
        TColor From, To;
        int Start, Pos, End;
        TColor Expected;
    } cases[] = {
        {"half way black to white", clBlack, clWhite, 0, 50, 100, 0x808080},
        {"start", clBlack, clWhite, 0, 0, 100, clBlack},
        {"end", 0x102030, 0x405060, 0, 10, 10, 0x405060},
        {"quarter per channel", 0x000000, 0x0004FF, 0, 1, 4, 0x000140},
        {"downward", clWhite, clBlack, 0, 1, 4, 0xBFBFBF},
        {"end clNone", 0x123456, clNone, 0, 5, 10, 0x123456},
        {"empty range draws the start", 0x123456, clWhite, 7, 7, 7, 0x123456},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BlendColorAt(c.From, c.To, c.Start, c.Pos, c.End), c.Expected) << c.Name;
    // System colours are resolved before the arithmetic.
    const COLORREF face = ColorToRGB(clBtnFace);
    EXPECT_EQ(static_cast<COLORREF>(BlendColorAt(clBtnFace, clBlack, 0, 0, 10)), face);
    EXPECT_EQ(static_cast<COLORREF>(BlendColorAt(clBtnFace, clBtnFace, 0, 5, 10)), face);

    EXPECT_EQ(HalveColor(clWhite), 0x7F7F7F);
    EXPECT_EQ(HalveColor(0x0180FF), 0x00407F);
    EXPECT_EQ(static_cast<COLORREF>(HalveColor(clBtnFace)),
              RGB(GetRValue(face) / 2, GetGValue(face) / 2, GetBValue(face) / 2));
}

TEST(GridDrawing, FillAndTriangle)
{
    Surface s(20, 20);
    FillRectColor(s.C(), Rect(1, 1, 4, 4), clTeal);
    EXPECT_EQ(s.At(3, 3), clTeal);
    EXPECT_EQ(s.At(4, 4), Back);
    DrawSmallDownTriangle(s.C(), 10, 10, clNavy);
    EXPECT_EQ(s.At(10, 10), clNavy);
    EXPECT_EQ(s.At(8, 10), clNavy);
    EXPECT_EQ(s.At(10, 12), clNavy);
    EXPECT_EQ(s.At(10, 9), Back);
    EXPECT_EQ(s.At(7, 12), Back);
}

TEST(GridDrawing, GlyphOnColourKeysTheTopLeftColour)
{
    TBitmap glyph(4, 3, TPixelFormat::pf24bit);
    Clear(glyph, clFuchsia);
    glyph.Canvas()->SetPixels(1, 1, clBlue);
    Surface s(10, 10);
    DrawGlyphOnColor(s.C(), &glyph, clYellow, Rect(2, 2, 9, 9));
    EXPECT_EQ(s.At(2, 2), clYellow);
    EXPECT_EQ(s.At(3, 3), clBlue);
    EXPECT_EQ(s.At(5, 4), clYellow);
    EXPECT_EQ(s.At(6, 2), Back);  // the glyph's size, not the rectangle's
    EXPECT_EQ(s.At(2, 5), Back);

    TBitmap empty;
    DrawGlyphOnColor(s.C(), &empty, clRed, Rect(0, 0, 5, 5));
    DrawGlyphOnColor(s.C(), nullptr, clRed, Rect(0, 0, 5, 5));
    EXPECT_EQ(s.At(0, 0), Back);
}

TEST(GridDrawing, MissingResourceGlyphDrawsNothing)
{
    Surface s(20, 20);
    EXPECT_NO_THROW(DrawResourceGlyph(s.C(), clRed, Rect(0, 0, 20, 20), "NOSUCHGLYPH"));
    EXPECT_EQ(InkCount(s.B, Back), 0);
}

TEST(GridDrawing, ComboAndSpinButtonsStayInTheirRectangles)
{
    struct Case {
        const char* Name;
        bool Spin;
        TRect Button;
    } cases[] = {
        {"combo", false, Rect(40 - 18, 11, 40 - 2, 29)},
        {"spin", true, Rect(40 - 16, 9, 40 - 1, 29)},
    };
    for (bool themed : {false, true}) {
        for (const Case& c : cases) {
            Surface s(50, 40);
            const TRect r = Rect(0, 10, 40, 30);
            const TRect b = c.Spin ? DrawSpinButtons(s.C(), nullptr, r, themed) : DrawComboButton(s.C(), nullptr, r, themed);
            EXPECT_TRUE(EqualRect(&b, &c.Button)) << c.Name;
            const int inside = InkCount(s.B, Back, c.Button);
            EXPECT_GT(inside, 20) << c.Name << (themed ? " themed" : " classic");
            EXPECT_EQ(InkCount(s.B, Back), inside) << c.Name << " painted outside its button";
        }
    }
}

TEST(GridDrawing, RangeIndicator)
{
    struct Case {
        const char* Name;
        int Value, Range;
        int FilledFrom, FilledTo;  // x range painted in the value's colour, empty when equal
        TColor Color;
    } cases[] = {
        // Rectangle 0..104 shrunk to 2..102: half 50, centre 52.
        {"clamped to the range", 250, 100, 52, 102, clGreen},
        {"half", 50, 100, 52, 77, clGreen},
        {"negative", -20, 100, 42, 52, clRed},
        {"zero range draws nothing", 5, 0, 0, 0, clGreen},
        {"negative range draws nothing", 5, -10, 0, 0, clGreen},
    };
    for (const Case& c : cases) {
        Surface s(110, 20);
        EXPECT_NO_THROW(DrawRangeIndicator(s.C(), Rect(0, 0, 104, 20), c.Value, clGreen, clRed, false, c.Range)) << c.Name;
        int first = -1, last = -1;
        for (int x = 0; x < 110; ++x)
            if (s.At(x, 10) == c.Color) {
                if (first < 0)
                    first = x;
                last = x;
            }
        if (c.FilledFrom == c.FilledTo) {
            EXPECT_EQ(first, -1) << c.Name;
        } else {
            EXPECT_EQ(first, c.FilledFrom) << c.Name;
            EXPECT_EQ(last + 1, c.FilledTo) << c.Name;
        }
    }
    // With text: the clamped value, drawn in the middle over the bar.
    Surface s(110, 20);
    s.C()->Font()->SetColor(clBlack);
    DrawRangeIndicator(s.C(), Rect(0, 0, 104, 20), 250, clGreen, clRed, true, 100);
    EXPECT_GT(InkCount(s.B, clGreen, Rect(40, 2, 64, 18)) - InkCount(s.B, Back, Rect(40, 2, 52, 18)), 0);
}

// The x of the first pixel of row Y (from X0) that is not Color.
int RunEnd(Surface& S, int X0, int Y, TColor Color)
{
    int x = X0;
    while (x < S.B.Width() && S.At(x, Y) == Color)
        ++x;
    return x;
}

TEST(GridDrawing, ProgressBarFillAndZeroRange)
{
    struct Case {
        const char* Name;
        String Format;
        int Max, Min;
        double Value;
        int CompleteTo;  // r.left + round(n * width / 100); r is 10..110
    } cases[] = {
        {"percentage", "", 100, 0, 40, 50},
        {"over 100 draws empty", "", 100, 0, 150, 10},
        {"negative draws empty", "", 100, 0, -5, 10},
        {"format, three quarters", "%d", 200, 0, 150, 85},
        {"format with a minimum", "%d of 300", 300, 100, 200, 60},
        {"equal limits draw 0 %", "%d", 50, 50, 50, 10},
        {"unsafe directives stay text", "%s%n%p", 100, 0, 30, 10 + 30},
    };
    for (const Case& c : cases) {
        Surface s(130, 40);
        s.C()->Brush()->SetColor(clWhite);
        EXPECT_NO_THROW(DrawProgressBar(s.C(), Rect(8, 4, 112, 36), clBlue, false, clBlack, c.Format, c.Max, c.Min, 0, 2,
                                        c.Value, clBlack, clYellow, clWhite))
            << c.Name;
        // Row 5 is above any label; r = (10, 4, 110, 36).
        EXPECT_EQ(RunEnd(s, 10, 5, clBlue), c.CompleteTo) << c.Name;
        EXPECT_EQ(s.At(109, 5), c.CompleteTo == 110 ? clBlue : clYellow) << c.Name;
        EXPECT_EQ(s.At(9, 20), clBlack) << c.Name << ": border";
        EXPECT_EQ(s.At(8, 20), clWhite) << c.Name << ": outer frame in the remembered brush";
    }
}

TEST(GridDrawing, ProgressPieFillsClockwiseFromTwelve)
{
    struct Case {
        const char* Name;
        double Percent;
        bool TopRight, BottomRight, BottomLeft, TopLeft;
    } cases[] = {
        {"0 % fills the whole circle", 0, true, true, true, true},
        {"25 %", 25, true, false, false, false},
        {"50 %", 50, true, true, false, false},
        {"75 %", 75, true, true, true, false},
        {"100 %", 100, true, true, true, true},
    };
    for (const Case& c : cases) {
        Surface s(30, 30, clWhite);
        DrawProgressPie(s.C(), Rect(0, 0, 21, 21), clRed, false, c.Percent);
        // Quadrant probes well inside the circle, away from the lines.
        EXPECT_EQ(s.At(14, 6) == clRed, c.TopRight) << c.Name << " top right";
        EXPECT_EQ(s.At(14, 14) == clRed, c.BottomRight) << c.Name << " bottom right";
        EXPECT_EQ(s.At(6, 14) == clRed, c.BottomLeft) << c.Name << " bottom left";
        EXPECT_EQ(s.At(6, 6) == clRed, c.TopLeft) << c.Name << " top left";
        EXPECT_EQ(s.At(0, 0), clWhite) << c.Name << " outside the circle";
        EXPECT_EQ(s.At(25, 25), clWhite) << c.Name << " outside the rectangle";
        EXPECT_EQ(s.At(10, 0), clGray) << c.Name << " outline";
    }
}

TLevelProgressAppearance PlainLevels()
{
    TLevelProgressAppearance a;
    a.Level0Color = clGreen;
    a.Level1Color = clYellow;
    a.Level2Color = clBlue;
    a.Level3Color = clRed;
    a.UnCompleteColor = clWhite;
    a.BorderColor = clBlack;
    a.ShowBorder = true;
    a.ShowPercentage = false;
    a.ShowGradient = false;
    return a;
}

// The colour runs along row Y from X0 to X1: (colour, start, length).
struct ColourRun {
    TColor Color;
    int Start;
    int Length;
    bool operator==(const ColourRun&) const = default;
};
std::vector<ColourRun> Runs(Surface& S, int X0, int X1, int Y)
{
    std::vector<ColourRun> runs;
    for (int x = X0; x < X1; ++x) {
        const TColor c = S.At(x, Y);
        if (runs.empty() || runs.back().Color != c)
            runs.push_back({c, x, 1});
        else
            ++runs.back().Length;
    }
    return runs;
}
std::ostream& operator<<(std::ostream& O, const ColourRun& R)
{
    return O << "{" << std::hex << R.Color << std::dec << " at " << R.Start << " x" << R.Length << "}";
}

TEST(GridDrawing, LevelBarBlocks)
{
    // Rectangle 0..102 wide: L = 100. p = 50: e = 50, five blocks of 7 at
    // 2, 11, 20, 29, 38 and a last one of 4 at 47.
    TLevelProgressAppearance a = PlainLevels();
    a.CompletionSmooth = false;
    Surface s(110, 20);
    DrawLevelProgressBar(s.C(), Rect(0, 0, 102, 12), 50, a);
    std::vector<ColourRun> expected = {{clBlack, 0, 1}, {clWhite, 1, 1}};
    for (int i = 0; i < 5; ++i) {
        expected.push_back({clGreen, 2 + 9 * i, 7});
        expected.push_back({clWhite, 9 + 9 * i, 2});
    }
    expected.back() = {clWhite, 45, 2};
    expected.push_back({clGreen, 47, 4});
    expected.push_back({clWhite, 51, 50});
    expected.push_back({clBlack, 101, 1});
    EXPECT_EQ(Runs(s, 0, 102, 6), expected);
    // Blocks are inset 2 pixels across: rows 1 and 10 stay uncompleted.
    EXPECT_EQ(s.At(3, 1), clWhite);
    EXPECT_EQ(s.At(3, 2), clGreen);
    EXPECT_EQ(s.At(3, 9), clGreen);
    EXPECT_EQ(s.At(3, 10), clWhite);
}

TEST(GridDrawing, LevelBarSmallAndColourBands)
{
    struct Case {
        const char* Name;
        int P;
        bool Smooth;
        std::vector<ColourRun> Expected;  // row 6 between x = 1 and 101
    } cases[] = {
        {"e = 5: one block of 4", 5, false, {{clWhite, 1, 1}, {clGreen, 2, 4}, {clWhite, 6, 95}}},
        {"e = 1: nothing", 1, false, {{clWhite, 1, 100}}},
        {"e = 20: two blocks, no tail of 1", 20, false,
         {{clWhite, 1, 1}, {clGreen, 2, 7}, {clWhite, 9, 2}, {clGreen, 11, 7}, {clWhite, 18, 83}}},
        {"smooth level 1", 75, true, {{clYellow, 1, 75}, {clWhite, 76, 25}}},
        {"smooth level 2", 95, true, {{clBlue, 1, 95}, {clWhite, 96, 5}}},
        {"smooth level 3", 100, true, {{clRed, 1, 100}}},
        {"zero", 0, true, {{clWhite, 1, 100}}},
    };
    for (const Case& c : cases) {
        TLevelProgressAppearance a = PlainLevels();
        a.CompletionSmooth = c.Smooth;
        a.Level1Perc = 70;
        a.Level2Perc = 90;
        Surface s(110, 20);
        DrawLevelProgressBar(s.C(), Rect(0, 0, 102, 12), c.P, a);
        EXPECT_EQ(Runs(s, 1, 101, 6), c.Expected) << c.Name;
    }
}

// A percentage above 100 fills the bar and paints nothing beyond it; the
// label still tells the value.
TEST(GridDrawing, LevelBarAboveOneHundredStaysInside)
{
    for (const bool smooth : {true, false}) {
        TLevelProgressAppearance a = PlainLevels();
        a.CompletionSmooth = smooth;
        Surface s(140, 20);
        DrawLevelProgressBar(s.C(), Rect(0, 0, 102, 12), 150, a);
        const std::vector<ColourRun> runs = Runs(s, 102, 140, 6);
        EXPECT_EQ(runs, (std::vector<ColourRun>{{Back, 102, 38}})) << (smooth ? "smooth" : "blocks");
        if (smooth)
            EXPECT_EQ(Runs(s, 1, 101, 6), (std::vector<ColourRun>{{clRed, 1, 100}}));
        else
            EXPECT_EQ(s.At(95, 6), clRed) << "the blocks reach the end of the bar";
    }
}

TEST(GridDrawing, LevelBarStacked)
{
    TLevelProgressAppearance a = PlainLevels();
    a.Stacked = true;
    a.Level1Perc = 50;
    a.Level2Perc = 80;
    struct Case {
        int P;
        std::vector<ColourRun> Expected;
    } cases[] = {
        {90, {{clGreen, 1, 50}, {clYellow, 51, 30}, {clRed, 81, 10}, {clWhite, 91, 10}}},
        {100, {{clGreen, 1, 50}, {clYellow, 51, 30}, {clRed, 81, 20}}},
        {30, {{clGreen, 1, 30}, {clWhite, 31, 70}}},
    };
    for (const Case& c : cases) {
        Surface s(110, 20);
        DrawLevelProgressBar(s.C(), Rect(0, 0, 102, 12), c.P, a);
        EXPECT_EQ(Runs(s, 1, 101, 6), c.Expected) << "p = " << c.P;
    }
}

TEST(GridDrawing, LevelBarVerticalGrowsFromTheBottom)
{
    TLevelProgressAppearance a = PlainLevels();
    a.Vertical = true;
    Surface s(20, 110);
    DrawLevelProgressBar(s.C(), Rect(0, 0, 12, 102), 25, a);
    // L = 100: 25 pixels up from one pixel inside the bottom edge (101).
    EXPECT_EQ(s.At(6, 100), clGreen);
    EXPECT_EQ(s.At(6, 76), clGreen);
    EXPECT_EQ(s.At(6, 75), clWhite);
    EXPECT_EQ(s.At(0, 50), clBlack);
}

TEST(GridDrawing, LevelBarGradientHalves)
{
    TLevelProgressAppearance a = PlainLevels();
    a.ShowGradient = true;
    a.Level0Color = clBlack;
    a.Level0ColorTo = clWhite;
    a.Steps = 4;
    Surface s(110, 20, clRed);
    DrawLevelProgressBar(s.C(), Rect(0, 0, 102, 18), 50, a);
    // Thickness 16 (rows 1..16): the first half runs white -> black, the
    // second black -> white.
    EXPECT_EQ(s.At(10, 1), clWhite);
    EXPECT_EQ(s.At(10, 9), clBlack);
    EXPECT_NE(s.At(10, 16), clBlack);
}

TEST(GridDrawing, LevelBarPercentageText)
{
    TLevelProgressAppearance a = PlainLevels();
    a.ShowPercentage = true;
    TFont font;
    font.SetColor(clBlack);
    a.Font = &font;
    Surface s(110, 30);
    DrawLevelProgressBar(s.C(), Rect(0, 0, 102, 24), 0, a);
    EXPECT_GT(InkCount(s.B, clWhite, Rect(40, 2, 62, 22)), 5);
}

TEST(GridDrawing, LayeredWindowFunctionsMissing)
{
    SetLayeredWindowModuleName(L"kernel32.dll");
    EXPECT_TRUE(SetLayeredWindowAttributesDyn(nullptr, 0, 128, LWA_ALPHA));
    EXPECT_TRUE(UpdateLayeredWindowDyn(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0));
    SetLayeredWindowModuleName(L"nosuchmodule.dll");
    EXPECT_TRUE(SetLayeredWindowAttributesDyn(nullptr, 0, 128, LWA_ALPHA));
    SetLayeredWindowModuleName(nullptr);
    // Present: a call on no window fails and says so.
    EXPECT_FALSE(SetLayeredWindowAttributesDyn(nullptr, 0, 128, LWA_ALPHA));
}

}  // namespace

namespace {

TEST(GridDrawing, SquiggleWithoutAWindowDrawsNothing)
{
    TPanel owner(nullptr);  // no parent, no window
    TBitmap b(40, 20, TPixelFormat::pf24bit);
    Clear(b, Back);
    EXPECT_NO_THROW(DrawTextRangeSquiggle(&owner, b.Canvas(), "abc", 2, 0, 0, Rect(0, 0, 40, 20)));
    EXPECT_NO_THROW(DrawTextRangeSquiggle(nullptr, b.Canvas(), "abc", 2, 0, 0, Rect(0, 0, 40, 20)));
    EXPECT_FALSE(owner.HandleAllocated());
    EXPECT_EQ(InkCount(b, Back), 0);
}

}  // namespace

// The flat gauge off-screen: its setters, its text, and the pixels of its
// frame and bar painted into a bitmap; the colour conversions of its
// drawing helpers as tables.

#include <gtest/gtest.h>

#include "framework/Bitmap.h"
#include "office/FlatGauge.h"
#include "office/FlatUtils.h"

namespace {

constexpr COLORREF Background = RGB(0xF0, 0xF0, 0xF0);

// A gauge without a parent, painted into a bitmap through its paint message.
struct PaintedGauge {
    TFlatGauge Gauge{nullptr};
    TBitmap Bitmap{145, 25, TPixelFormat::pf24bit};

    PaintedGauge()
    {
        Gauge.SetColor(RGBToColor(0xF0, 0xF0, 0xF0));
        Gauge.SetShowText(false);
    }
    void Paint()
    {
        Gauge.Perform(WM_PAINT, reinterpret_cast<WPARAM>(Bitmap.Canvas()->Handle()), 0);
    }
    COLORREF At(int X, int Y) { return static_cast<COLORREF>(Bitmap.Canvas()->Pixels(X, Y)); }
    // The bar's columns on the middle row.
    std::pair<int, int> BarSpan(COLORREF Bar)
    {
        int First = -1, Last = -1;
        for (int x = 0; x < Bitmap.Width(); ++x)
            if (At(x, 12) == Bar) {
                if (First < 0)
                    First = x;
                Last = x;
            }
        return {First, Last};
    }
};

COLORREF Rgb(TColor C)
{
    return ColorToRGB(C);
}

} // namespace

TEST(FlatGauge, Defaults)
{
    TFlatGauge G(nullptr);
    EXPECT_EQ(G.Width(), 145);
    EXPECT_EQ(G.Height(), 25);
    EXPECT_EQ(G.Min(), 0);
    EXPECT_EQ(G.Max(), 100);
    EXPECT_EQ(G.Progress(), 25);
    EXPECT_EQ(G.BarColor(), 0x996633);
    EXPECT_EQ(G.ColorBorder(), 0xFF8000);
    EXPECT_TRUE(G.ParentColor());
    EXPECT_TRUE(G.ShowText());
    EXPECT_EQ(G.Version(), "4.42.8.0");
    G.SetVersion("1.0");
    EXPECT_EQ(G.Version(), "4.42.8.0");
}

TEST(FlatGauge, TextTable)
{
    struct Case {
        Integer Min, Max, Progress;
        const char* Front;
        const char* After;
        const char* Text;
    } Cases[] = {
        {0, 100, 5, "", "", "  5%"},
        {0, 100, 5, "读取", "完成", "读取  5%完成"},
        {0, 100, 100, "", "", "100%"},
        {0, 100, 0, "", "", "  0%"},
        {50, 150, 100, "", "", " 50%"},
        {0, 8, 3, "", "", " 37%"},
        {0, 0, 0, "", "", "  0%"},   // no range: 0 %, no division
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Min << ".." << C.Max << " at " << C.Progress);
        TFlatGauge G(nullptr);
        G.SetMin(C.Min);
        G.SetMax(C.Max);
        G.SetProgress(C.Progress);
        G.SetTextFront(C.Front);
        G.SetTextAfter(C.After);
        EXPECT_EQ(G.ProgressText(), C.Text);
    }
}

TEST(FlatGauge, SettersClamp)
{
    TFlatGauge G(nullptr);
    G.SetProgress(-3);
    EXPECT_EQ(G.Progress(), 0);
    G.SetProgress(250);
    EXPECT_EQ(G.Progress(), 100);
    G.SetMin(200);
    EXPECT_EQ(G.Min(), 100);
    EXPECT_EQ(G.Progress(), 100);
    G.SetMin(0);
    G.SetMax(-5);
    EXPECT_EQ(G.Max(), 0);
    EXPECT_EQ(G.Progress(), 0);
}

TEST(FlatGauge, BarLengthAndFramePixels)
{
    // Inner width 139: bar = trunc(139 / range * (progress - min)).
    struct Case {
        Integer Min, Max, Progress;
        int Length;
    } Cases[] = {{0, 100, 0, 0},   {0, 100, 1, 1},     {0, 100, 25, 34}, {0, 100, 50, 69},
                 {0, 100, 100, 139}, {50, 150, 100, 69}, {7, 7, 7, 0}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Min << ".." << C.Max << " at " << C.Progress);
        PaintedGauge P;
        P.Gauge.SetMax(C.Max);
        P.Gauge.SetMin(C.Min);
        P.Gauge.SetProgress(C.Progress);
        ASSERT_EQ(P.Gauge.Progress(), C.Progress);
        P.Paint();
        // Frame on the outermost pixels, a 2-pixel gap inside it.
        for (auto [x, y] : {std::pair{0, 0}, {144, 0}, {0, 24}, {144, 24}, {70, 0}, {70, 24}, {0, 12}, {144, 12}})
            EXPECT_EQ(P.At(x, y), Rgb(0xFF8000)) << x << "," << y;
        for (auto [x, y] : {std::pair{1, 1}, {2, 12}, {142, 12}, {70, 2}, {70, 22}})
            EXPECT_EQ(P.At(x, y), Background) << x << "," << y;
        const auto [First, Last] = P.BarSpan(Rgb(0x996633));
        if (C.Length == 0) {
            EXPECT_EQ(First, -1);
        } else {
            EXPECT_EQ(First, 3);
            EXPECT_EQ(Last, 3 + C.Length - 1);
            EXPECT_EQ(P.At(3, 3), Rgb(0x996633));
            EXPECT_EQ(P.At(3, 21), Rgb(0x996633));
        }
    }
}

TEST(FlatGauge, RightToLeftGrowsFromTheRight)
{
    PaintedGauge P;
    P.Gauge.SetBiDiMode(bdRightToLeft);
    P.Gauge.SetProgress(50);
    P.Paint();
    const auto [First, Last] = P.BarSpan(Rgb(0x996633));
    EXPECT_EQ(Last, 141);
    EXPECT_EQ(First, 142 - 69);

    PaintedGauge Reading;
    Reading.Gauge.SetBiDiMode(bdRightToLeftReadingOnly);
    Reading.Gauge.SetProgress(50);
    Reading.Paint();
    EXPECT_EQ(Reading.BarSpan(Rgb(0x996633)).first, 3);
}

TEST(FlatGauge, TextInTwoColours)
{
    // Progress 0: the text shows in the font colour and nothing in the
    // background colour over the (absent) bar. Progress 100: all the text
    // lies over the bar and shows in the background colour.
    for (Integer Progress : {0, 100}) {
        SCOPED_TRACE(Progress);
        PaintedGauge P;
        P.Gauge.SetShowText(true);
        P.Gauge.Font()->SetColor(clBlack);
        P.Gauge.Font()->SetQuality(TFontQuality::fqNonAntialiased);
        P.Gauge.SetProgress(Progress);
        P.Paint();
        int Black = 0, OnBar = 0, Light = 0;
        for (int y = 3; y < 22; ++y)
            for (int x = 3; x < 142; ++x) {
                const COLORREF C = P.At(x, y);
                Black += C == RGB(0, 0, 0);
                OnBar += C == Rgb(0x996633);
                Light += C == Background;
            }
        if (Progress == 0) {
            EXPECT_GT(Black, 10);
            EXPECT_EQ(OnBar, 0);
        } else {
            EXPECT_EQ(Black, 0);
            EXPECT_GT(Light, 10);
            EXPECT_GT(OnBar, 139 * 19 - 400);
        }
    }
}

TEST(FlatGauge, CustomVerticalGradientSpansTheBar)
{
    PaintedGauge P;
    P.Gauge.SetStyleFace(fsCustom);
    P.Gauge.SetStyleOrien(bsVertical);
    P.Gauge.SetStyleColorStart(RGBToColor(0, 0, 0));
    P.Gauge.SetStyleColorStop(RGBToColor(0, 0, 248));
    P.Gauge.SetProgress(40);
    P.Paint();
    // The bar grows horizontally (55 columns), the colours run downwards;
    // 32 bands over 19 rows overlap, so the top row holds the second band.
    EXPECT_EQ(P.At(3, 3), RGB(0, 0, 8));
    EXPECT_EQ(P.At(57, 3), RGB(0, 0, 8));
    EXPECT_EQ(P.At(58, 3), Background);
    EXPECT_GT(GetBValue(P.At(3, 21)), 200);
    EXPECT_LT(GetBValue(P.At(3, 12)), GetBValue(P.At(3, 21)));
    EXPECT_EQ(P.At(3, 12), P.At(57, 12));
}

TEST(FlatUtils, HLSTable)
{
    struct Case {
        COLORREF Rgb;
        int H, L, S;
    } Cases[] = {
        {RGB(255, 0, 0), 0, 120, 240},  {RGB(0, 255, 0), 80, 120, 240}, {RGB(0, 0, 255), 159, 120, 240},
        {RGB(255, 255, 255), 0, 240, 0}, {RGB(0, 0, 0), 0, 0, 0},        {RGB(128, 128, 128), 0, 120, 0},
        {RGB(0x33, 0x66, 0x99), 139, 96, 120},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << std::hex << C.Rgb);
        const THLS V = RGBToHLS(C.Rgb);
        EXPECT_EQ(V.H, C.H);
        EXPECT_EQ(V.L, C.L);
        EXPECT_EQ(V.S, C.S);
        const COLORREF Back = HLSToRGB(V);
        EXPECT_NEAR(GetRValue(Back), GetRValue(C.Rgb), 2);
        EXPECT_NEAR(GetGValue(Back), GetGValue(C.Rgb), 2);
        EXPECT_NEAR(GetBValue(Back), GetBValue(C.Rgb), 2);
    }
}

TEST(FlatUtils, ShiftColorLightness)
{
    EXPECT_EQ(ShiftColorLightness(clRed, 0x123456, 0), 0x123456);
    // Red: lightness 120 + 10 - 30 = 100.
    EXPECT_EQ(ShiftColorLightness(clRed, 0, 30), static_cast<TColor>(HLSToRGB(THLS{0, 100, 240})));
    // Very light colours stay within the scale: white, never a wrapped channel.
    EXPECT_EQ(ShiftColorLightness(clWhite, 0, 5), clWhite);
    EXPECT_EQ(ShiftColorLightness(RGBToColor(250, 250, 250), 0, 1), clWhite);
    // Lightness never below 0.
    EXPECT_EQ(ShiftColorLightness(clBlack, 0x123456, 100), clBlack);
}

TEST(FlatGauge, UseProColorsDerivesTheBorder)
{
    TFlatGauge G(nullptr);
    G.SetColor(clRed);
    G.SetUseProColors(true);
    EXPECT_TRUE(G.ParentColor());
    EXPECT_EQ(G.ColorBorder(), 0xFF8000);   // amount 0 keeps it
    G.SetProColorBorder(30);
    EXPECT_EQ(G.ColorBorder(), ShiftColorLightness(clRed, 0, 30));
}

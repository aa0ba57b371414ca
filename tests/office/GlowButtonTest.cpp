// The glow button off-screen: colour functions, the appearance's defaults
// and presets (transcribed from the design once, below), the face drawn
// into a bitmap, captions and the auto-size measure.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "framework/Bitmap.h"
#include "framework/ImageList.h"
#include "office/GlowButtonAppearance.h"
#include "office/OfficeColors.h"
#include "office/ProGlowButton.h"

namespace {

using A = TGlowButtonAppearance;

COLORREF PixelOf(TBitmap& B, int X, int Y)
{
    return static_cast<COLORREF>(B.Canvas()->Pixels(X, Y));
}

} // namespace

TEST(OfficeColors, ScaleAndBlendTables)
{
    struct Scale {
        TColor In;
        int R, G, B;
        TColor Out;
    } Scales[] = {
        {0xF5F0E1, -10, -10, 0, 0xF5D8CA},   // 225 -> 202 (202.5 to even), 240 -> 216
        {0xFFFFFF, -5, -5, -5, 0xF2F2F2},    // 242.25 -> 242
        {0xC0C0C0, -5, -5, -5, 0xB6B6B6},    // 182.4 -> 182
        {0x000000, 20, 20, 20, 0x141414},    // zero channels lift to the percent
        {0x102030, 50, 50, 50, 0x102030},    // non-zero channels keep their value
        {0x000000, -10, -10, -10, 0x000000},
    };
    for (const Scale& S : Scales)
        EXPECT_EQ(ScaleColorChannels(S.In, S.R, S.G, S.B), S.Out) << std::hex << S.In;
    EXPECT_EQ(ScaleColor(0x646464, -10), 0x5A5A5A);

    struct Blend {
        TColor A, B;
        int Percent;
        TColor Out;
    } Blends[] = {
        {0xFFFFFF, 0x000000, 100, 0xFFFFFF}, {0xFFFFFF, 0x000000, 150, 0xFFFFFF},
        {0xFFFFFF, 0x000000, 0, 0x000000},   {0xFFFFFF, 0x000000, -5, 0x000000},
        {0x0000FF, 0x000000, 50, 0x000080},  // 127.5 -> 128 (even)
        {0x000005, 0x000000, 50, 0x000002},  // 2.5 -> 2 (even)
        {0xEBFDFF & 0xFF, 0xFF, 40, 0xFF},
    };
    for (const Blend& B : Blends)
        EXPECT_EQ(BlendColors(B.A, B.B, B.Percent), B.Out) << std::hex << B.A << " " << B.B << " " << B.Percent;
    // Hot fade at 40 on the default colours: 40 % hot, 60 % normal, per channel.
    const TColor Hot = 0xF5F0E1, Normal = 0xFFFFFF;
    const TColor Mixed = BlendColors(Hot, Normal, 40);
    EXPECT_EQ(Mixed & 0xFF, static_cast<TColor>(std::nearbyint(0.4 * 0xE1 + 0.6 * 0xFF)));
    EXPECT_EQ((Mixed >> 16) & 0xFF, static_cast<TColor>(std::nearbyint(0.4 * 0xF5 + 0.6 * 0xFF)));
}

TEST(OfficeColors, DrawGradientBands)
{
    TBitmap B(16, 16, TPixelFormat::pf24bit);
    DrawGradient(B.Canvas(), RGBToColor(0, 0, 0), RGBToColor(160, 0, 0), false, Rect(0, 0, 16, 16), 16);
    // 16 bands of one row: band i has red round(i * 160 / 16) = 10 i.
    for (int Row = 0; Row < 16; ++Row)
        EXPECT_EQ(GetRValue(PixelOf(B, 8, Row)), 10 * Row) << Row;
    EXPECT_EQ(GetRValue(PixelOf(B, 0, 5)), 50);
}

TEST(GlowButtonAppearance, ConstructionValues)
{
    // Transcribed from the design's table of construction values.
    const std::map<std::string, Integer> Expected = {
        {"BorderColor", 0xC0C0C0}, {"BorderColorHot", 0xFF0000}, {"BorderColorDown", 0x800000},
        {"BorderColorChecked", 0xFF0000}, {"BorderColorDisabled", 0x808080}, {"Color", 0xFFFFFF},
        {"ColorTo", 0xFFFFFF}, {"ColorChecked", 0xF5D8CA}, {"ColorCheckedTo", 0xF9BDA0},
        {"ColorDisabled", 0xF2F2F2}, {"ColorDisabledTo", 0xF2F2F2}, {"ColorDown", 0xF5D8CA},
        {"ColorDownTo", 0xF9BDA0}, {"ColorHot", 0xF5F0E1}, {"ColorHotTo", 0xF9D2B2},
        {"ColorMirror", 0xC0C0C0}, {"ColorMirrorTo", 0xFFFFFF}, {"ColorMirrorHot", 0xF5C8AD},
        {"ColorMirrorHotTo", 0xFFF8F4}, {"ColorMirrorDown", 0xF5B49C}, {"ColorMirrorDownTo", 0xFFDFDC},
        {"ColorMirrorChecked", 0xF5B49C}, {"ColorMirrorCheckedTo", 0xFFDFDC}, {"ColorMirrorDisabled", 0xB6B6B6},
        {"ColorMirrorDisabledTo", 0xF2F2F2}, {"Gradient", ggVertical}, {"GradientMirror", ggVertical},
        {"GradientHot", ggRadial}, {"GradientMirrorHot", ggRadial}, {"GradientDown", ggRadial},
        {"GradientMirrorDown", ggRadial}, {"GradientChecked", ggRadial}, {"GradientMirrorChecked", ggVertical},
        {"GradientDisabled", ggRadial}, {"GradientMirrorDisabled", ggRadial},
    };
    A Ap;
    ASSERT_EQ(Expected.size(), static_cast<std::size_t>(A::avCount));
    for (int i = 0; i < A::avCount; ++i) {
        const auto V = static_cast<A::TValue>(i);
        EXPECT_EQ(Ap.Value(V), Expected.at(A::ValueName(V))) << A::ValueName(V);
    }
    EXPECT_TRUE(Ap.SystemFont());
}

TEST(GlowButtonAppearance, StoredValuesOfANewAppearance)
{
    // Only the hot, down, checked and disabled colours (sixteen, the ones
    // without a stored default) are written.
    A Ap;
    std::vector<std::string> Stored;
    for (int i = 0; i < A::avCount; ++i)
        if (Ap.IsStored(static_cast<A::TValue>(i)))
            Stored.push_back(A::ValueName(static_cast<A::TValue>(i)));
    EXPECT_EQ(Stored.size(), 16u);
    for (const std::string& Name : Stored)
        EXPECT_TRUE(Name.find("Hot") != std::string::npos || Name.find("Down") != std::string::npos ||
                    Name.find("Checked") != std::string::npos || Name.find("Disabled") != std::string::npos)
            << Name;
    Ap.SetBorderColor(0x123456);
    EXPECT_TRUE(Ap.IsStored(A::avBorderColor));
}

TEST(GlowButtonAppearance, WritesNotifyOnceAndAssignCopies)
{
    A Ap;
    int Changes = 0;
    Ap.OnChange = [&](TObject*) { ++Changes; };
    Ap.SetColorHot(0x010203);
    Ap.SetColorHot(0x010203);
    EXPECT_EQ(Changes, 1);
    Ap.SetSystemFont(false);
    EXPECT_EQ(Changes, 2);

    A Copy;
    Copy.Assign(&Ap);
    for (int i = 0; i < A::avCount; ++i)
        EXPECT_EQ(Copy.Value(static_cast<A::TValue>(i)), Ap.Value(static_cast<A::TValue>(i)));
    EXPECT_FALSE(Copy.SystemFont());
    TStringList Other;
    EXPECT_THROW(Copy.Assign(&Other), EConvertError);
}

TEST(GlowButtonAppearance, PresetTables)
{
    // Transcribed from the design: normal sets by preset (Color, ColorTo,
    // ColorMirror, ColorMirrorTo, BorderColor).
    struct Normal {
        TComponentStylePreset Preset;
        TColor C, CT, M, MT, B;
    } Normals[] = {
        {tsOffice2003Blue, 0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B},
        {tsOffice2003Silver, 0xE6E9E2, 0xE6D8D8, 0xE6E9E2, 0xC8B2B3, 0x927476},
        {tsOffice2003Olive, 0xCFF0EA, 0xCFF0EA, 0xCFF0EA, 0x8CC0B1, 0x8CC0B1},
        {tsOffice2003Classic, 0xFFFFFF, 0xC9D1D5, 0xFFFFFF, 0xC9D1D5, 0x000000},
        {tsOffice2007Luna, 0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B},
        {tsOffice2007Obsidian, 0xDFDED6, 0xE4E2DB, 0xD7D5CE, 0xE7E5E0, 0xC0BCB2},
        {tsWindowsXP, 0xFFFFFF, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC},
        {tsWhidbey, 0xFFFFFF, 0xDFEDF0, 0xDFEDF0, 0xDFEDF0, 0x99A8AC},
        {tsOffice2007Silver, 0xF3F3F1, 0xF5F5F3, 0xEEEAE7, 0xF8F7F6, 0xCCCAC9},
    };
    for (const Normal& N : Normals) {
        SCOPED_TRACE(static_cast<int>(N.Preset));
        A Ap;
        Ap.ApplyPreset(N.Preset);
        const TGlowColorSet S = Ap.Look(glNormal);
        EXPECT_EQ(S.Color, N.C);
        EXPECT_EQ(S.ColorTo, N.CT);
        EXPECT_EQ(S.ColorMirror, N.M);
        EXPECT_EQ(S.ColorMirrorTo, N.MT);
        EXPECT_EQ(S.BorderColor, N.B);
        EXPECT_EQ(S.Gradient, ggVertical);
        EXPECT_EQ(S.GradientMirror, ggVertical);
        const bool XP = N.Preset == tsWindowsXP;
        const TGlowColorSet Hot = Ap.Look(glHot), Down = Ap.Look(glDown), Checked = Ap.Look(glChecked);
        EXPECT_EQ(Hot.Color, XP ? 0xEFD3C6 : 0xEBFDFF);
        EXPECT_EQ(Hot.ColorMirrorTo, XP ? 0xEFD3C6 : 0xA4E9FF);
        EXPECT_EQ(Hot.BorderColor, XP ? clHighlight : 0x99CEDB);
        EXPECT_EQ(Hot.Gradient, ggVertical);
        EXPECT_EQ(Down.ColorTo, XP ? 0xB59284 : 0x4190F3);
        EXPECT_EQ(Down.BorderColor, XP ? clHighlight : 0x45667B);
        EXPECT_EQ(Checked.ColorMirror, XP ? 0xB9D8DC : 0x9FEBFD);
        const bool CheckedBorder = N.Preset == tsOffice2007Luna || N.Preset == tsOffice2007Obsidian ||
                                   N.Preset == tsOffice2007Silver;
        EXPECT_EQ(Checked.BorderColor, XP ? 0x000000 : (CheckedBorder ? 0x45667B : 0xFF0000));
        // The disabled set is never touched.
        EXPECT_EQ(Ap.ColorDisabled(), 0xF2F2F2);
        EXPECT_EQ(Ap.GradientDisabled(), ggRadial);
    }
}

TEST(GlowButtonAppearance, CustomAndVistaChangeNothing)
{
    for (TComponentStylePreset P : {tsCustom, tsWindowsVista}) {
        TProGlowButton Button(nullptr);
        Button.Appearance()->SetColor(0x123456);
        Button.Appearance()->SetColorHot(0x654321);
        Button.SetComponentStyle(P);
        EXPECT_EQ(Button.Appearance()->Color(), 0x123456);
        EXPECT_EQ(Button.Appearance()->ColorHot(), 0x654321);
    }
    TProGlowButton Button(nullptr);
    IComponentStyle* Style = nullptr;
    ASSERT_EQ(Button.QueryInterface(IID_IComponentStyle, reinterpret_cast<void**>(&Style)), S_OK);
    Style->SetComponentStyle(tsOffice2003Olive);
    EXPECT_EQ(Button.Appearance()->Color(), 0xCFF0EA);
}

TEST(GlowButtonFace, DefaultFacePixels)
{
    TBitmap B(100, 41, TPixelFormat::pf24bit);
    B.Canvas()->Brush()->SetColor(clFuchsia);
    B.Canvas()->FillRect(Rect(0, 0, 100, 41));
    TGlowFaceParams P;
    P.Colors = A().Look(glNormal);
    TFont Font;
    P.Font = &Font;
    DrawGlowButtonFace(B.Canvas(), Rect(0, 0, 100, 41), P);
    B.Canvas()->Refresh();
    // Upper part plain white; lower part from white at row 19 towards
    // 0xC0C0C0 at its bottom.
    for (int Row : {2, 10, 20})
        EXPECT_EQ(PixelOf(B, 50, Row), RGB(255, 255, 255)) << Row;
    const int Low = GetRValue(PixelOf(B, 50, 38));
    EXPECT_LT(Low, 0xCC);
    EXPECT_GE(Low, 0xC0);
    EXPECT_GT(GetRValue(PixelOf(B, 50, 28)), Low);
    EXPECT_LT(GetRValue(PixelOf(B, 50, 28)), 0xFF);
    // The frame: a rounded rectangle from (0, 0) to (99, 40) in 0xC0C0C0.
    for (auto [X, Y] : {std::pair{50, 0}, {50, 40}, {0, 20}, {99, 20}}) {
        const COLORREF C = PixelOf(B, X, Y);
        EXPECT_LT(GetRValue(C), 0xF0) << X << "," << Y;
        EXPECT_EQ(GetRValue(C), GetBValue(C)) << X << "," << Y;
    }
    // Outside the rounded corner nothing of the face is drawn solidly.
    EXPECT_NE(PixelOf(B, 0, 0), RGB(192, 192, 192));
}

TEST(GlowButtonFace, SplitStripHoverDarkensTheOtherPart)
{
    for (int Hover : {1, 2}) {
        SCOPED_TRACE(Hover);
        TBitmap B(100, 41, TPixelFormat::pf24bit);
        TGlowFaceParams P;
        A Ap;
        P.Colors = Ap.Look(glNormal);
        P.Colors.Gradient = P.Colors.GradientMirror = ggVertical;
        TFont Font;
        P.Font = &Font;
        P.DropDownButton = true;
        P.HotColors = true;
        P.DropDownHover = Hover;
        P.Border = false;
        DrawGlowButtonFace(B.Canvas(), Rect(0, 0, 100, 41), P);
        B.Canvas()->Refresh();
        const COLORREF Main = PixelOf(B, 40, 8);
        const COLORREF Strip = PixelOf(B, 94, 30);
        if (Hover == 2) {
            EXPECT_EQ(Main, RGB(255, 255, 255));
            EXPECT_LT(GetRValue(PixelOf(B, 94, 36)), GetRValue(PixelOf(B, 40, 36)));
        } else {
            EXPECT_EQ(Main, ColorToRGB(ScaleColor(clWhite, -10)));
            EXPECT_GT(GetRValue(Strip), GetRValue(PixelOf(B, 40, 30)));
        }
    }
}

TEST(GlowButtonFace, CaptionLinesAndMeasure)
{
    EXPECT_EQ(GlowCaptionLines("a\\nb", false), "a\n\rb");
    EXPECT_EQ(GlowCaptionLines("a\\Nb\\nc", false), "a\n\rb\n\rc");
    EXPECT_EQ(GlowCaptionLines("a\\nb", true), "a b");

    // blGlyphLeft with a 16 x 16 image, spacing 2, GDI text: the content is
    // (tw + 18 + 2, max(th + 2, 18)).
    TImageList Images(nullptr);
    TBitmap Glyph(16, 16);
    Images.Add(&Glyph, nullptr);
    TBitmap B(200, 60, TPixelFormat::pf24bit);
    TFont Font;
    TGlowFaceParams P;
    P.Font = &Font;
    P.Caption = "Open file";
    P.Images = &Images;
    P.ImageIndex = 0;
    P.AntiAlias = aaNone;
    P.WordWrap = false;
    P.MeasureOnly = true;
    const TSize Size = DrawGlowButtonFace(B.Canvas(), Rect(0, 0, 200, 60), P);
    B.Canvas()->Font()->Assign(&Font);
    TRect Text = Rect(0, 0, 2, 0);
    B.Canvas()->DrawTextRect(String("Open file"), Text, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(Size.cx, RectWidth(Text) + 18 + 2);
    EXPECT_EQ(Size.cy, std::max(RectHeight(Text) + 2, 18));
    // Nothing is drawn while measuring.
    TBitmap Blank(200, 60, TPixelFormat::pf24bit);
    EXPECT_EQ(std::memcmp(B.ScanLine(30), Blank.ScanLine(30), static_cast<std::size_t>(B.RowBytes())), 0);
}

TEST(GlowButton, SizeStatesUnderAutoSize)
{
    TProGlowButton B(nullptr);
    B.SetAutoSize(true);
    B.SetLayout(blGlyphTop);
    B.SetDropDownPosition(dpBottom);
    B.SetButtonSizeState(bsLabel);
    EXPECT_EQ(B.SizeState(), bsLabel);
    EXPECT_EQ(B.Layout(), blGlyphLeft);
    EXPECT_EQ(B.DropDownPosition(), dpRight);
    B.SetButtonSizeState(bsLarge);
    EXPECT_EQ(B.Layout(), blGlyphTop);
    EXPECT_EQ(B.DropDownPosition(), dpBottom);
    // A minimum above the current state raises it.
    B.SetButtonSizeState(bsGlyph);
    B.SetMinButtonSizeState(bsLabel);
    EXPECT_EQ(B.SizeState(), bsLabel);
    B.SetMaxButtonSizeState(bsLarge);   // unchanged value: nothing
    EXPECT_EQ(B.SizeState(), bsLabel);
}

TEST(GlowButton, DownRules)
{
    TProGlowButton B(nullptr);
    B.SetDown(true);   // a plain button is never down
    EXPECT_FALSE(B.Down());
    B.SetGroupIndex(2);
    B.SetDown(true);
    EXPECT_TRUE(B.Down());
    EXPECT_EQ(B.DrawState(), 4);
    B.SetDown(false);  // not without AllowAllUp
    EXPECT_TRUE(B.Down());
    B.SetAllowAllUp(true);
    B.SetDown(false);
    EXPECT_FALSE(B.Down());
    EXPECT_EQ(B.DrawState(), 0);
    TProGlowButton Check(nullptr);
    Check.SetStyle(bsCheck);
    Check.SetDown(true);
    EXPECT_TRUE(Check.Down());
    EXPECT_EQ(Check.DrawState(), 2);
}

namespace {

// A 16 x 16 glyph of one blue, in a list.
struct BlueGlyph {
    TImageList Images{nullptr};
    static constexpr COLORREF Blue = RGB(20, 60, 230);
    BlueGlyph()
    {
        TBitmap Glyph(16, 16, TPixelFormat::pf24bit);
        Glyph.Canvas()->Brush()->SetColor(RGBToColor(20, 60, 230));
        Glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
        Images.Add(&Glyph, nullptr);
    }
};

// The first column and row holding Colour, or -1.
std::pair<int, int> FirstOf(TBitmap& B, COLORREF Colour)
{
    int X = -1, Y = -1;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            if (PixelOf(B, x, y) == Colour) {
                if (X < 0 || x < X)
                    X = x;
                if (Y < 0)
                    Y = y;
            }
    return {X, Y};
}

} // namespace

TEST(GlowButtonFace, DropDownArrowRoomOnlyWhenCentringWithoutCaption)
{
    // A 100 x 41 split button: the content area is 87 wide. A glyph without a
    // caption is centred in it less 8 pixels for the arrow: (79 - 16) / 2 =
    // 31; with a caption the layout centres in the whole content area
    // (blGlyphTop: (87 - 16) / 2 = 35).
    struct Case {
        const char* Caption;
        TButtonLayout Layout;
        TDropDownPosition Position;
        int X, Y;   // -1: not checked
    } Cases[] = {
        {"", blGlyphLeft, dpRight, 31, 12},        // (41 - 16) / 2 = 12
        {"", blGlyphLeft, dpBottom, 42, 2},        // height 41 - 13 = 28, less 8: (20 - 16) / 2
        {"Top", blGlyphTop, dpRight, 35, -1},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Caption << " " << C.Layout << " " << C.Position);
        BlueGlyph G;
        TBitmap B(100, 41, TPixelFormat::pf24bit);
        TFont Font;
        TGlowFaceParams P;
        P.Colors = A().Look(glNormal);
        P.Font = &Font;
        P.Caption = C.Caption;
        P.Images = &G.Images;
        P.ImageIndex = 0;
        P.Layout = C.Layout;
        P.AntiAlias = aaNone;
        P.DropDownButton = true;
        P.DropDownPosition = C.Position;
        DrawGlowButtonFace(B.Canvas(), Rect(0, 0, 100, 41), P);
        B.Canvas()->Refresh();
        const auto [X, Y] = FirstOf(B, BlueGlyph::Blue);
        EXPECT_EQ(X, C.X);
        if (C.Y >= 0) {
            EXPECT_EQ(Y, C.Y);
        }
    }
}

TEST(GlowButtonFace, WrappedGdiCaptionTopUnderGlyphBottom)
{
    // blGlyphBottom with GDI text and WordWrap: the text box is (0, 2, W,
    // H - 16), and the wrapped caption's top becomes (bottom - top - h) / 2.
    BlueGlyph G;
    TBitmap B(100, 60, TPixelFormat::pf24bit);
    TFont Font;
    Font.SetColor(clBlack);
    Font.SetQuality(TFontQuality::fqNonAntialiased);
    TGlowFaceParams P;
    P.Colors = A().Look(glNormal);
    P.Colors.ColorMirror = P.Colors.ColorMirrorTo = clWhite;
    P.Border = false;
    P.Font = &Font;
    P.Caption = "Wrap";
    P.Images = &G.Images;
    P.ImageIndex = 0;
    P.Layout = blGlyphBottom;
    P.AntiAlias = aaNone;
    P.WordWrap = true;
    DrawGlowButtonFace(B.Canvas(), Rect(0, 0, 100, 60), P);
    B.Canvas()->Refresh();

    // Where the ink of the text starts below its box's top, and its height.
    TBitmap Ref(100, 60, TPixelFormat::pf24bit);
    Ref.Canvas()->Brush()->SetColor(clWhite);
    Ref.Canvas()->FillRect(Rect(0, 0, 100, 60));
    Ref.Canvas()->Font()->Assign(&Font);
    Ref.Canvas()->Brush()->SetStyle(TBrushStyle::bsClear);
    TRect Calc = Rect(0, 0, 100, 0);
    const int H = Ref.Canvas()->DrawTextRect(String("Wrap"), Calc, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    TRect At = Rect(0, 0, 100, 60);
    Ref.Canvas()->DrawTextRect(String("Wrap"), At, DT_WORDBREAK | DT_CENTER);
    Ref.Canvas()->Refresh();
    const int Ink = FirstOf(Ref, RGB(0, 0, 0)).second;
    ASSERT_GE(Ink, 0);
    const int Bottom = 60 - 16;
    EXPECT_EQ(FirstOf(B, RGB(0, 0, 0)).second, (Bottom - 2 - H) / 2 + Ink);
}

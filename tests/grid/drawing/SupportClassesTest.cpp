// The grid's support classes that need no window: the embedded-control
// list, the line reader, file pictures on real files, the button gradient
// and the graphic button's model, group behaviour and painting into a
// memory bitmap.
#include <gtest/gtest.h>

#include <fstream>

#include "framework/Exception.h"
#include "framework/Panel.h"
#include "grid/core/ProObj.h"
#include "tests/graphics/PaintProbe.h"
#include "tests/support/TempDir.h"
#include "visuals/ProXPVS.h"

namespace {

using paint_probe::Clear;
using paint_probe::InkCount;
using paint_probe::PixelAt;
using testfs::PathStr;
using testfs::TempDir;
using testfs::WriteBytes;

TEST(ControlList, EntriesByIndex)
{
    TPanel a(nullptr);
    TPanel b(nullptr);
    TControlList list;
    list.Add(1, 2, &a);
    list.Add(3, 4, &b);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1)->Column, 3);
    EXPECT_EQ(list.Items(1)->Row, 4);
    EXPECT_EQ(list.Items(1)->Control, &b);
    list.Delete(0);
    EXPECT_EQ(list.Items(0)->Control, &b);
    EXPECT_THROW(list.Items(1), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
}

TEST(FileStringList, ReadsLinesInOrder)
{
    TempDir dir("griddraw");
    const String path = PathStr(dir / "lines.csv");
    WriteBytes(dir / "lines.csv", "a;b\r\n1;2\r\n\r\nlast");
    TFileStringList list;
    list.LoadFromFile(path);
    list.Reset();
    std::vector<String> lines;
    while (!list.AtEnd())
        lines.push_back(list.ReadLine());
    EXPECT_EQ(lines, (std::vector<String>{"a;b", "1;2", "", "last"}));
    EXPECT_EQ(list.Cache(), "last");
    EXPECT_EQ(list.ReadLine(), "");  // past the end: nothing more
    list.Reset();
    EXPECT_EQ(list.ReadPos(), 0);
    EXPECT_EQ(list.Cache(), "");
    EXPECT_EQ(list.ReadLine(), "a;b");
}

TEST(FilePicture, SizeAndStretchedDrawingFromARealFile)
{
    TempDir dir("griddraw");
    const String path = PathStr(dir / "cell.bmp");
    TBitmap source(8, 6, TPixelFormat::pf24bit);
    Clear(source, clRed);
    source.Canvas()->Brush()->SetColor(clBlue);
    source.Canvas()->FillRect(Rect(4, 0, 8, 6));
    source.SaveToFile(path);

    TFilePicture picture;
    picture.SetFilename(path);
    EXPECT_EQ(picture.Width(), 8);
    EXPECT_EQ(picture.Height(), 6);

    TBitmap target(40, 30, TPixelFormat::pf24bit);
    Clear(target, clWhite);
    picture.Draw(target.Canvas(), Rect(4, 3, 20, 15));  // twice the size
    EXPECT_EQ(PixelAt(target, 5, 4), clRed);
    EXPECT_EQ(PixelAt(target, 11, 14), clRed);
    EXPECT_EQ(PixelAt(target, 13, 4), clBlue);
    EXPECT_EQ(PixelAt(target, 19, 14), clBlue);
    EXPECT_EQ(PixelAt(target, 20, 10), clWhite);
    EXPECT_EQ(PixelAt(target, 10, 15), clWhite);

    TFilePicture copy;
    copy.Assign(&picture);
    EXPECT_EQ(copy.Filename(), path);
    EXPECT_EQ(copy.Width(), 8);
    EXPECT_EQ(copy.Height(), 6);
}

TEST(FilePicture, MissingBrokenOrEmptyFileDrawsNothing)
{
    TempDir dir("griddraw");
    WriteBytes(dir / "broken.bmp", "BM this is not a picture at all");
    WriteBytes(dir / "empty.jpg", "");
    const String broken = PathStr(dir / "broken.bmp");
    const String empty = PathStr(dir / "empty.jpg");
    for (const String& name : {PathStr(dir / "missing.bmp"), broken, empty, String()}) {
        TFilePicture picture;
        EXPECT_NO_THROW(picture.SetFilename(name)) << name;
        EXPECT_EQ(picture.Width(), 0) << name;
        EXPECT_EQ(picture.Height(), 0) << name;
        TBitmap target(20, 20, TPixelFormat::pf24bit);
        Clear(target, clWhite);
        EXPECT_NO_THROW(picture.Draw(target.Canvas(), Rect(0, 0, 20, 20))) << name;
        EXPECT_EQ(InkCount(target, clWhite), 0) << name;
    }
    // A picture whose file disappears after it was set draws nothing either.
    const String gone = PathStr(dir / "gone.bmp");
    TBitmap(4, 4).SaveToFile(gone);
    TFilePicture picture;
    picture.SetFilename(gone);
    EXPECT_EQ(picture.Width(), 4);
    DeleteFileA(gone.c_str());
    TBitmap target(20, 20, TPixelFormat::pf24bit);
    Clear(target, clWhite);
    EXPECT_NO_THROW(picture.Draw(target.Canvas(), Rect(0, 0, 20, 20)));
    EXPECT_EQ(InkCount(target, clWhite), 0);
}

TEST(ButtonGradient, SixteenBandsTopToBottomWithBorder)
{
    TBitmap b(20, 40, TPixelFormat::pf24bit);
    Clear(b, clWhite);
    // 32 pixels in 16 bands of 2: band i has 0 + round(i * 160 / 16) = 10 i in red.
    DrawButtonGradient(b.Canvas(), clBlack, RGBToColor(160, 0, 0), false, Rect(0, 0, 10, 32), 16, clBlue);
    for (int i = 1; i < 15; ++i)
        EXPECT_EQ(PixelAt(b, 5, 2 * i), RGBToColor(static_cast<Byte>(10 * i), 0, 0)) << "band " << i;
    EXPECT_EQ(PixelAt(b, 0, 10), clBlue);
    EXPECT_EQ(PixelAt(b, 9, 10), clBlue);
    EXPECT_EQ(PixelAt(b, 5, 31), clBlue);
    EXPECT_EQ(PixelAt(b, 12, 10), clWhite);
    // No border, at least one step.
    Clear(b, clWhite);
    DrawButtonGradient(b.Canvas(), clGreen, clRed, true, Rect(0, 0, 10, 10), 0, clNone);
    EXPECT_EQ(PixelAt(b, 0, 5), clGreen);
    EXPECT_EQ(PixelAt(b, 9, 5), clGreen);
}

TEST(GridButton, Defaults)
{
    TProGridButton b(nullptr);
    EXPECT_EQ(b.Width(), 22);
    EXPECT_EQ(b.Height(), 23);
    EXPECT_EQ(b.Style(), tasButton);
    EXPECT_FALSE(b.Down());
    EXPECT_TRUE(b.Flat());
    EXPECT_EQ(b.Layout(), TProGridButton::blGlyphLeft);
    EXPECT_EQ(b.Margin(), -1);
    EXPECT_EQ(b.Spacing(), 4);
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_EQ(b.ColorHot(), 0xCAC7C7);
    EXPECT_EQ(b.ColorDown(), 0xD8D3D2);
    EXPECT_EQ(b.ColorChecked(), clGray);
    EXPECT_EQ(b.ColorCheckedTo(), clNone);
    EXPECT_EQ(b.BorderColor(), clNone);
    EXPECT_TRUE(b.Shaded());
    EXPECT_TRUE(b.ShowCaption());
    EXPECT_TRUE(b.ParentFont());
    EXPECT_TRUE(b.Glyph()->Empty());
    b.SetMargin(-2);
    EXPECT_EQ(b.Margin(), -1);
    b.SetMargin(3);
    EXPECT_EQ(b.Margin(), 3);
}

TEST(GridButton, GlyphGetsAGreyDisabledCopy)
{
    TBitmap glyph(3, 1, TPixelFormat::pf24bit);
    glyph.Canvas()->SetPixels(0, 0, RGBToColor(200, 100, 30));  // (330 / 3) / 2 = 55 -> 151
    glyph.Canvas()->SetPixels(1, 0, clWhite);                    // 127 -> 223
    glyph.Canvas()->SetPixels(2, 0, clBlack);                    // 0 -> 96
    TProGridButton b(nullptr);
    b.SetGlyph(&glyph);
    ASSERT_EQ(b.GlyphDisabled()->Width(), 3);
    EXPECT_EQ(PixelAt(*b.GlyphDisabled(), 0, 0), RGBToColor(151, 151, 151));
    EXPECT_EQ(PixelAt(*b.GlyphDisabled(), 1, 0), RGBToColor(223, 223, 223));
    EXPECT_EQ(PixelAt(*b.GlyphDisabled(), 2, 0), RGBToColor(96, 96, 96));
    EXPECT_EQ(PixelAt(*b.Glyph(), 0, 0), RGBToColor(200, 100, 30));  // the glyph itself is a copy, untouched

    // A disabled glyph of one's own is kept.
    TBitmap own(2, 2, TPixelFormat::pf24bit);
    Clear(own, clRed);
    TProGridButton c(nullptr);
    c.SetGlyphDisabled(&own);
    c.SetGlyph(&glyph);
    EXPECT_EQ(c.GlyphDisabled()->Width(), 2);
    EXPECT_EQ(PixelAt(*c.GlyphDisabled(), 0, 0), clRed);
}

TEST(GridButton, ShadeIsAGreySilhouette)
{
    TBitmap glyph(4, 4, TPixelFormat::pf24bit);
    Clear(glyph, clFuchsia);                 // bottom-left: the transparent colour
    glyph.Canvas()->SetPixels(1, 1, clBlue);
    glyph.Canvas()->SetPixels(2, 2, clBlack);
    TProGridButton b(nullptr);
    b.SetGlyph(&glyph);
    b.BuildShade();
    ASSERT_EQ(b.ShadeGlyph()->Width(), 4);
    EXPECT_EQ(PixelAt(*b.ShadeGlyph(), 1, 1), clGray);
    EXPECT_EQ(PixelAt(*b.ShadeGlyph(), 2, 2), clGray);
    EXPECT_EQ(InkCount(*b.ShadeGlyph(), clGray), 14);
    EXPECT_EQ(b.ShadeGlyph()->TransparentColor(), PixelAt(*b.ShadeGlyph(), 0, 0));
}

TEST(GridButton, Presets)
{
    struct Case {
        int Preset;
        TColor Color, ColorTo, Hot, HotTo, Down, DownTo, Checked, CheckedTo, Border;
    } cases[] = {
        {1, clBtnFace, clNone, 0xEED2C1, clNone, 0xE2B598, clNone, 0xE8E6E1, clNone, 0xC56A31},
        {2, 0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0},
        {3, 0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0},
        {4, 0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0},
    };
    for (const Case& c : cases) {
        TProGridButton b(nullptr);
        b.SetBorderColor(clRed);
        b.SetRounded(true);
        b.SetFlat(false);
        b.ApplyPreset(c.Preset);
        const TColor got[] = {b.Color(), b.ColorTo(), b.ColorHot(), b.ColorHotTo(), b.ColorDown(), b.ColorDownTo(),
                              b.ColorChecked(), b.ColorCheckedTo(), b.BorderDownColor(), b.BorderHotColor()};
        const TColor want[] = {c.Color, c.ColorTo, c.Hot, c.HotTo, c.Down, c.DownTo, c.Checked, c.CheckedTo, c.Border, c.Border};
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(got[i], want[i]) << "preset " << c.Preset << " value " << i;
        EXPECT_EQ(b.BorderColor(), clNone);
        EXPECT_FALSE(b.Rounded());
        EXPECT_TRUE(b.Flat());
    }
    // Without visual styles the scheme is unknown and the classic preset applies.
    if (!ThemesAvailable()) {
        TProGridButton b(nullptr);
        b.ThemeAdapt();
        EXPECT_EQ(b.ColorHot(), 0xEED2C1);
    }
}

// Buttons on a panel that has no window: group behaviour is model only.
class GridButtonGroup : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto& b : Buttons) {
            b = std::make_unique<TProGridButton>(nullptr);
            b->SetParent(&Panel);
            b->OnClick = [this](TObject*) { ++Clicks; };
        }
    }
    void Press(TProGridButton& B, int X = 5, int Y = 5)
    {
        B.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        B.Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    }
    TPanel Panel{nullptr};
    std::unique_ptr<TProGridButton> Buttons[3];
    int Clicks = 0;
};

TEST_F(GridButtonGroup, OneDownAtATime)
{
    for (auto& b : Buttons)
        b->SetGroupIndex(1);
    Buttons[0]->SetDown(true);
    Buttons[1]->SetDown(true);
    EXPECT_FALSE(Buttons[0]->Down());
    EXPECT_TRUE(Buttons[1]->Down());
    EXPECT_EQ(Buttons[1]->State(), TProGridButton::TState::Exclusive);
    EXPECT_EQ(Buttons[0]->State(), TProGridButton::TState::Up);
    // Down without AllowAllUp: cannot be set up, and a click keeps it down.
    Buttons[1]->SetDown(false);
    EXPECT_TRUE(Buttons[1]->Down());
    Press(*Buttons[1]);
    EXPECT_TRUE(Buttons[1]->Down());
    EXPECT_EQ(Clicks, 1);
    // A click on another one moves the down state there.
    Press(*Buttons[2]);
    EXPECT_TRUE(Buttons[2]->Down());
    EXPECT_FALSE(Buttons[1]->Down());
    EXPECT_EQ(Clicks, 2);
    // A release outside the button neither flips nor clicks.
    Buttons[0]->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Buttons[0]->Perform(WM_LBUTTONUP, 0, MAKELPARAM(50, 5));
    EXPECT_FALSE(Buttons[0]->Down());
    EXPECT_TRUE(Buttons[2]->Down());
    EXPECT_EQ(Clicks, 2);
}

TEST_F(GridButtonGroup, AllowAllUpIsSharedAndLetsTheLastOneUp)
{
    for (auto& b : Buttons)
        b->SetGroupIndex(4);
    Buttons[0]->SetAllowAllUp(true);
    EXPECT_TRUE(Buttons[1]->AllowAllUp());
    EXPECT_TRUE(Buttons[2]->AllowAllUp());
    Press(*Buttons[1]);
    EXPECT_TRUE(Buttons[1]->Down());
    Press(*Buttons[1]);
    EXPECT_FALSE(Buttons[1]->Down());
    // Other groups are left alone.
    Buttons[2]->SetGroupIndex(5);
    Buttons[2]->SetDown(true);
    Buttons[0]->SetDown(true);
    EXPECT_TRUE(Buttons[2]->Down());
    EXPECT_TRUE(Buttons[0]->Down());
}

TEST_F(GridButtonGroup, UngroupedAndCheckButtons)
{
    Buttons[0]->SetDown(true);  // neither grouped nor a check button: stays up
    EXPECT_FALSE(Buttons[0]->Down());
    Buttons[1]->SetStyle(tasCheck);
    Press(*Buttons[1]);
    EXPECT_TRUE(Buttons[1]->Down());
    Press(*Buttons[1]);
    EXPECT_FALSE(Buttons[1]->Down());
    Buttons[1]->SetDown(true);
    EXPECT_TRUE(Buttons[1]->Down());
    EXPECT_EQ(Clicks, 2);
}

TEST_F(GridButtonGroup, DoubleClickOnlyWhileDown)
{
    int doubles = 0;
    Buttons[0]->OnDblClick = [&](TObject*) { ++doubles; };
    Buttons[0]->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    Buttons[0]->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(doubles, 0);
    Buttons[0]->SetStyle(tasCheck);
    Buttons[0]->SetDown(true);
    Buttons[0]->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(doubles, 1);
}

TEST_F(GridButtonGroup, DropDownPartFiresOnDropDownOnly)
{
    int drops = 0;
    Buttons[0]->SetDropDownButton(true);
    Buttons[0]->SetWidth(40);
    Buttons[0]->OnDropDown = [&](TObject*) { ++drops; };
    Press(*Buttons[0], 35, 5);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(Clicks, 0);
    Press(*Buttons[0], 10, 5);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(Clicks, 1);
}

// Paints a button into a bitmap as its parent would (WM_PAINT with a DC).
void PaintInto(TProGridButton& B, TBitmap& Target)
{
    B.Perform(WM_PAINT, reinterpret_cast<WPARAM>(Target.Canvas()->Handle()));
    Target.Canvas()->Refresh();
}

TEST(GridButtonPaint, FlatFacesByState)
{
    struct Case {
        const char* Name;
        TProGridButtonStyle Style;
        bool Down;
        TColor ColorTo;
        TColor Inside;
    } cases[] = {
        {"plain", tasButton, false, clNone, clYellow},
        {"checked", tasCheck, true, clNone, clGray},
        {"gradient starts at Color", tasButton, false, clBlue, clYellow},
    };
    for (const Case& c : cases) {
        TProGridButton b(nullptr);
        b.SetColor(clYellow);
        b.SetColorTo(c.ColorTo);
        b.SetStyle(c.Style);
        b.SetDown(c.Down);
        TBitmap target(22, 23, TPixelFormat::pf24bit);
        Clear(target, clWhite);
        PaintInto(b, target);
        EXPECT_EQ(PixelAt(target, 11, 1), c.Inside) << c.Name;
        EXPECT_EQ(PixelAt(target, 0, 0), clWhite) << c.Name << ": the face is inset by one pixel";
        if (c.ColorTo != clNone) {
            EXPECT_NE(PixelAt(target, 11, 20), clYellow) << c.Name;
        }
    }
}

TEST(GridButtonPaint, DisabledButtonDrawsTheGreyGlyph)
{
    TBitmap glyph(6, 6, TPixelFormat::pf24bit);
    Clear(glyph, clFuchsia);
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(Rect(1, 1, 5, 5));
    TProGridButton b(nullptr);
    b.SetColor(clWhite);
    b.SetGlyph(&glyph);
    b.SetEnabled(false);
    TBitmap target(22, 23, TPixelFormat::pf24bit);
    Clear(target, clWhite);
    PaintInto(b, target);
    EXPECT_EQ(b.State(), TProGridButton::TState::Disabled);
    // No caption: the glyph goes to (0, 0). Red (255, 0, 0) turns into
    // grey 42 + 96 = 138; its transparent fuchsia border shows the face.
    EXPECT_EQ(PixelAt(target, 2, 2), RGBToColor(138, 138, 138));
    EXPECT_EQ(InkCount(target, clWhite, Rect(0, 0, 6, 6)), 16);
    EXPECT_EQ(InkCount(target, RGBToColor(138, 138, 138), Rect(1, 1, 5, 5)), 0);
    b.SetEnabled(true);
    Clear(target, clWhite);
    PaintInto(b, target);
    EXPECT_EQ(PixelAt(target, 2, 2), clRed);
}

}  // namespace

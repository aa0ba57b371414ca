// The pager as it shows on the screen: the strip background, the active
// tab joined to its page, the page's border lines, a hover glow blended in,
// and a screenshot of the four tab positions.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "framework/ImageList.h"
#include "framework/Stream.h"
#include "office/OfficeColors.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"
#include "tests/support/GuiHarness.h"
#include "tests/visuals/TestImages.h"
#include "visuals/GdiPlusPicture.h"

namespace {

COLORREF Rgb(TColor C) { return ColorToRGB(C); }

class PagerPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(20, 20, 860, 560);
        Form->SetCaption("Office pager");
    }
    void TearDown() override { delete Form; }

    TProOfficePager* AddPager(TTabPosition Pos, int X, int Y)
    {
        auto* Pager = new TProOfficePager(Form);
        Pager->SetParent(Form);
        Pager->SetBounds(X, Y, 400, 240);
        Pager->SetTabPosition(Pos);
        const char* Captions[] = {"通道一", "通道二", "通道三", "通道四"};
        for (const char* C : Captions) {
            auto* P = new TProOfficePage(Form);
            P->SetCaption(C);
            P->SetPager(Pager);
        }
        Pager->SetActivePageIndex(1);
        return Pager;
    }

    TForm* Form = nullptr;
};

TEST_F(PagerPaint, StripTabAndPageColours)
{
    TProOfficePager* Pager = AddPager(tpTop, 10, 10);
    Form->Show();
    gui::Settle();
    const TCustomProOfficePagerStyler* S = Pager->CurrentStyler();
    const COLORREF Strip = Rgb(S->TabAppearance()->BackGround()->Color());
    const COLORREF PageColor = Rgb(S->PageAppearance()->Color());
    auto Shot = gui::CaptureControl(Pager);
    // The strip right of the last tab is the strip colour (Luna: one colour).
    const TRect Last = Pager->GetTabRect(3);
    EXPECT_EQ(gui::PixelAt(Shot.get(), Last.right + 20, 10), Strip);
    // Between two inactive tabs' captions: nothing but the strip.
    const TRect T0 = Pager->GetTabRect(0);
    EXPECT_EQ(gui::PixelAt(Shot.get(), T0.left + 1, T0.top + 1), Strip);
    // The active tab is filled, the inactive one is not.
    const TRect T1 = Pager->GetTabRect(1);
    EXPECT_NE(gui::PixelAt(Shot.get(), T1.left + 2, T1.top + 4), Strip);
    // The page's first row under the active tab is the page colour (the
    // join line); elsewhere the page's edge shows its border colour.
    const TRect Page = Pager->GetPageRect();
    EXPECT_EQ(gui::PixelAt(Shot.get(), (T1.left + T1.right) / 2, Page.top), PageColor);
    EXPECT_EQ(gui::PixelAt(Shot.get(), Page.left + 200, Page.top), Rgb(S->PageAppearance()->BorderColor()));
    // The inner light border on the page's left side.
    const COLORREF Light = Rgb(BlendColors(0xFFFFFF, S->PageAppearance()->BorderColor(), S->BorderBlend()));
    EXPECT_EQ(gui::PixelAt(Shot.get(), Page.left + 1, Page.top + 100), Light);
}

TEST_F(PagerPaint, HoverGlowFillsTheTab)
{
    TProOfficePager* Pager = AddPager(tpTop, 10, 10);
    Form->Show();
    gui::Settle();
    const COLORREF Strip = Rgb(Pager->CurrentStyler()->TabAppearance()->BackGround()->Color());
    const TRect T = Pager->GetTabRect(3);
    const TPoint P = Pager->ClientToScreen(Point(T.left + 5, T.top + 5));
    SetCursorPos(P.x, P.y);
    SendMessageW(Pager->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(T.left + 5, T.top + 5));
    TProOfficePage* Page = Pager->ProPages(3);
    ASSERT_TRUE(gui::PumpUntil([&] { return Page->HoverGlow() >= 100; }, 10000));
    gui::Settle();
    auto Shot = gui::CaptureControl(Pager);
    EXPECT_NE(gui::PixelAt(Shot.get(), T.left + 3, T.top + 4), Strip);
}

// With the inactive tabs shown, a tab the mouse has left fades from the hot
// look back to the normal one instead of dropping to it at once.
TEST_F(PagerPaint, ALeftTabFadesBackToTheNormalLook)
{
    TProOfficePager* Pager = AddPager(tpTop, 10, 10);
    Pager->SetShowNonSelectedTabs(true);
    Form->Show();
    gui::Settle();
    auto MoveTo = [&](int Tab) {
        const TRect T = Pager->GetTabRect(Tab);
        const TPoint P = Pager->ClientToScreen(Point(T.left + 5, T.top + 5));
        SetCursorPos(P.x, P.y);
        SendMessageW(Pager->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(T.left + 5, T.top + 5));
    };
    // The same spot in the left tab and in tab 0, which is neither hot nor
    // active and has a caption of the same width.
    auto Samples = [&] {
        UpdateWindow(Pager->Handle());
        auto Shot = gui::CaptureControl(Pager);
        const TRect Left = Pager->GetTabRect(3), Normal = Pager->GetTabRect(0);
        const int X = RectWidth(Left) / 2, Y = 6;
        return std::vector<COLORREF>{gui::PixelAt(Shot.get(), Left.left + X, Left.top + Y),
                                     gui::PixelAt(Shot.get(), Normal.left + X, Normal.top + Y)};
    };
    TProOfficePage* Page = Pager->ProPages(3);
    MoveTo(3);
    ASSERT_TRUE(gui::PumpUntil([&] { return Page->HoverGlow() == 120; }, 10000));
    MoveTo(2);
    ASSERT_EQ(Pager->HotTabIndex(), 2);
    ASSERT_TRUE(gui::PumpUntil([&] { return Page->HoverGlow() > 0 && Page->HoverGlow() <= 80; }, 10000))
        << "level " << Page->HoverGlow();
    const std::vector<COLORREF> Fading = Samples();
    EXPECT_NE(Fading[0], Fading[1]) << "level " << Page->HoverGlow();
    ASSERT_TRUE(gui::PumpUntil([&] { return Page->GlowMode() == 2; }, 10000));
    const std::vector<COLORREF> Done = Samples();
    EXPECT_EQ(Done[0], Done[1]);
}

// A plain active tab on every side sits where its rectangle says: the outer
// edge is the border line, beyond it the strip, just inside it the fill.
TEST_F(PagerPaint, PlainTabsFillTheirRectangleOnEverySide)
{
    struct Case {
        TTabPosition Pos;
        int X, Y;
    } Cases[] = {{tpTop, 10, 10}, {tpBottom, 430, 10}, {tpLeft, 10, 270}, {tpRight, 430, 270}};
    std::vector<TProOfficePager*> Pagers;
    for (const Case& C : Cases)
        Pagers.push_back(AddPager(C.Pos, C.X, C.Y));
    Form->Show();
    gui::Settle();
    for (TProOfficePager* Pager : Pagers) {
        const TTabPosition Pos = Pager->TabPosition();
        const TCustomTabAppearance* A = Pager->CurrentStyler()->TabAppearance();
        const COLORREF Strip = Rgb(A->BackGround()->Color());
        auto Shot = gui::CaptureControl(Pager);
        const TRect T = Pager->GetTabRect(1);
        const int Mx = (T.left + T.right) / 2, My = (T.top + T.bottom) / 2;
        // The middle of the outer edge and a pixel two inside it.
        TPoint Edge, In;
        switch (Pos) {
        case tpTop: Edge = Point(Mx, T.top); In = Point(Mx, T.top + 2); break;
        case tpBottom: Edge = Point(Mx, T.bottom - 1); In = Point(Mx, T.bottom - 3); break;
        case tpLeft: Edge = Point(T.left, My); In = Point(T.left + 2, My); break;
        case tpRight: Edge = Point(T.right - 1, My); In = Point(T.right - 3, My); break;
        }
        const std::string Where = "position " + std::to_string(Pos);
        EXPECT_EQ(gui::PixelAt(Shot.get(), Edge.x, Edge.y), Rgb(A->BorderColorSelected())) << Where << " edge";
        // Beyond the outer edge: the strip.
        const TPoint Out = Pos == tpTop ? Point(Mx, T.top - 1) : Pos == tpBottom ? Point(Mx, T.bottom)
                           : Pos == tpLeft ? Point(T.left - 1, My) : Point(T.right, My);
        EXPECT_EQ(gui::PixelAt(Shot.get(), Out.x, Out.y), Strip) << Where << " outside";
        EXPECT_NE(gui::PixelAt(Shot.get(), In.x, In.y), Strip) << Where << " inside";
    }
}

// The fill kinds of a plain tab's upper half, red to blue: vertical runs
// evenly across, a forward diagonal runs from the top left to the lower
// right, a radial one has its blue centre at the middle of the outer edge.
// The lower half with no second colour is its first colour only.
TEST_F(PagerPaint, PlainTabFillKinds)
{
    TProOfficePager* Pager = AddPager(tpTop, 10, 10);
    TProOfficePage* Page = Pager->ProPages(1);
    TTabAppearance* A = Page->TabAppearance();
    const TColor Red = 0x0000FF, Blue = 0xFF0000, Green = 0x00A000;
    A->SetColorSelected(Red);
    A->SetColorSelectedTo(Blue);
    A->SetColorMirrorSelected(Green);
    A->SetColorMirrorSelectedTo(clNoneColor);
    Page->SetUseTabAppearance(true);
    Form->Show();
    auto RedOf = [](COLORREF C) { return static_cast<int>(GetRValue(C)); };
    auto BlueOf = [](COLORREF C) { return static_cast<int>(GetBValue(C)); };
    for (TGdiPlusGradient Kind : {ggVertical, ggDiagonalForward, ggRadial}) {
        A->SetGradientSelected(Kind);
        Pager->Invalidate();
        gui::Settle();
        auto Shot = gui::CaptureControl(Pager);
        const TRect T = Pager->GetTabRect(1);
        const int Mx = (T.left + T.right) / 2;
        const COLORREF TopLeft = gui::PixelAt(Shot.get(), T.left + 2, T.top + 2);
        const COLORREF TopRight = gui::PixelAt(Shot.get(), T.right - 3, T.top + 2);
        const COLORREF TopMiddle = gui::PixelAt(Shot.get(), Mx, T.top + 2);
        const COLORREF LowRight = gui::PixelAt(Shot.get(), T.right - 3, T.top + 11);
        const std::string Where = "kind " + std::to_string(Kind);
        EXPECT_EQ(gui::PixelAt(Shot.get(), T.left + 2, T.top + 16), Rgb(Green)) << Where;
        switch (Kind) {
        case ggVertical:
            EXPECT_GT(RedOf(TopLeft), BlueOf(TopLeft)) << Where;
            EXPECT_NEAR(RedOf(TopLeft), RedOf(TopRight), 6) << Where;
            EXPECT_GT(BlueOf(LowRight), RedOf(LowRight)) << Where;
            break;
        case ggDiagonalForward:
            EXPECT_GT(RedOf(TopLeft), RedOf(TopRight) + 40) << Where;
            EXPECT_GT(BlueOf(LowRight), BlueOf(TopLeft) + 60) << Where;
            break;
        default:
            EXPECT_GT(BlueOf(TopMiddle), RedOf(TopMiddle) + 60) << Where;
            EXPECT_GT(RedOf(TopLeft), BlueOf(TopLeft) + 60) << Where;
            break;
        }
    }
}

// The finish of a plain active tab on top: the outer corners show the
// strip, a light line three pixels in, the shadow beside it and the inner
// lines along its edges.
TEST_F(PagerPaint, PlainTabFinish)
{
    TProOfficePager* Pager = AddPager(tpTop, 10, 10);
    Form->Show();
    gui::Settle();
    const TCustomTabAppearance* A = Pager->CurrentStyler()->TabAppearance();
    const COLORREF Strip = Rgb(A->BackGround()->Color());
    const bool Focused = Pager->Focused();
    const TColor Color = Focused ? A->ColorHot() : A->ColorSelected();
    const TColor Border = Focused ? A->BorderColorSelectedHot() : A->BorderColorSelected();
    const TColor Highlight = Focused ? A->HighLightColorSelected : A->HighLightColor;
    auto Shot = gui::CaptureControl(Pager);
    const TRect T = Pager->GetTabRect(1);
    const int L = T.left, Tp = T.top, R = T.right, B = T.bottom;
    struct Sample {
        const char* What;
        int X, Y;
        COLORREF Want;
    } Samples[] = {
        {"top left corner", L, Tp, Strip},
        {"second top left corner pixel", L + 1, Tp, Strip},
        {"top right corner", R - 1, Tp, Strip},
        {"below the top right corner", R - 1, Tp + 1, Strip},
        {"light line", L + 4, Tp + 3, Rgb(BlendColors(0xFFFFFF, Color, Focused ? 20 : 50))},
        {"light line end", R - 4, Tp + 3, Rgb(BlendColors(0xFFFFFF, Color, Focused ? 20 : 50))},
        {"shadow", R, Tp + 8, Rgb(A->ShadowColor)},
        {"shadow blend", R + 1, Tp + 8, Rgb(BlendColors(A->ShadowColor, A->BackGround()->Color(), 40))},
        {"inner top line", L + 4, Tp + 1, Rgb(BlendColors(Color, Border, 80))},
        {"left highlight", L + 1, Tp + 8, Rgb(Highlight)},
        {"right highlight", R - 2, B - 6, Rgb(Highlight)},
    };
    for (const Sample& S : Samples)
        EXPECT_EQ(gui::PixelAt(Shot.get(), S.X, S.Y), S.Want) << S.What;
}

// Captions of turned side tabs run along the strip: the dark caption pixels
// of the active tab span far more of its length than of its thickness.
TEST_F(PagerPaint, TurnedSideCaptionsRunAlongTheStrip)
{
    TProOfficePager* Pagers[] = {AddPager(tpLeft, 10, 270), AddPager(tpRight, 430, 270)};
    Form->Show();
    gui::Settle();
    for (TProOfficePager* Pager : Pagers) {
        ASSERT_TRUE(Pager->RotateTabLeftRight());
        auto Shot = gui::CaptureControl(Pager);
        const TRect T = Pager->GetTabRect(1);
        int X0 = INT_MAX, X1 = -1, Y0 = INT_MAX, Y1 = -1;
        for (int Y = T.top + 2; Y < T.bottom - 2; ++Y)
            for (int X = T.left + 2; X < T.right - 2; ++X) {
                const COLORREF P = gui::PixelAt(Shot.get(), X, Y);
                if (GetRValue(P) + GetGValue(P) + GetBValue(P) < 3 * 160) {
                    X0 = std::min(X0, X), X1 = std::max(X1, X);
                    Y0 = std::min(Y0, Y), Y1 = std::max(Y1, Y);
                }
            }
        const std::string Where = "position " + std::to_string(Pager->TabPosition());
        ASSERT_GE(X1, 0) << Where << ": no caption pixels";
        EXPECT_GT(Y1 - Y0, 2 * (X1 - X0)) << Where;
    }
}

TEST_F(PagerPaint, FourTabPositionsScreenshot)
{
    TProOfficePager* Pagers[] = {AddPager(tpTop, 10, 10), AddPager(tpBottom, 430, 10), AddPager(tpLeft, 10, 270),
                                 AddPager(tpRight, 430, 270)};
    Pagers[1]->ButtonSettings()->SetCloseButton(true);
    Pagers[1]->ButtonSettings()->SetPageListButton(true);
    // Scroll buttons on the bottom and right pagers: the previous and next
    // pictures, and the up and down ones for side tabs.
    Pagers[1]->ButtonSettings()->SetScrollButtonsAlways(true);
    Pagers[3]->ButtonSettings()->SetScrollButtonsAlways(true);
    Pagers[2]->SetRotateTabLeftRight(false);
    // Images in every pager: a drawn 16 x 16 image on the first two tabs, a
    // picture on the third, each pager with its own image position; the top
    // one with the close button on its tabs.
    auto* Images = new TImageList(Form);
    TBitmap Disc(16, 16);
    Disc.Canvas()->Brush()->SetColor(static_cast<TColor>(0xFF00FF));
    Disc.Canvas()->FillRect(Rect(0, 0, 16, 16));
    Disc.Canvas()->Brush()->SetColor(static_cast<TColor>(0x30A030));
    Disc.Canvas()->Pen()->SetColor(static_cast<TColor>(0x205020));
    Disc.Canvas()->Ellipse(1, 1, 15, 15);
    Images->AddMasked(&Disc, static_cast<TColor>(0xFF00FF));
    TGdiPlusPicture Png;
    TMemoryStream Stream;
    Stream.WriteBuffer(office_test::RedBluePng, sizeof office_test::RedBluePng);
    Stream.SetPosition(0);
    Png.LoadFromStream(&Stream);
    const TImagePosition Positions[] = {ipLeft, ipRight, ipLeft, ipTop};
    for (int I = 0; I < 4; ++I) {
        TProOfficePager* Pager = Pagers[I];
        Pager->SetImages(Images);
        Pager->TabSettings()->SetImagePosition(Positions[I]);
        Pager->ProPages(0)->SetImageIndex(0);
        Pager->ProPages(1)->SetImageIndex(0);
        Pager->ProPages(2)->SetPicture(&Png);
    }
    Pagers[2]->TabSettings()->SetHeight(80);
    Pagers[3]->TabSettings()->SetHeight(44);
    Pagers[0]->ButtonSettings()->SetCloseButton(true);
    Pagers[0]->SetCloseOnTab(true);
    Form->Show();
    gui::Settle();
    for (TProOfficePager* Pager : Pagers) {
        auto Shot = gui::CaptureControl(Pager);
        const COLORREF PageColor = Rgb(Pager->CurrentStyler()->PageAppearance()->Color());
        const TRect Page = Pager->GetPageRect();
        // Somewhere inside the page the panel's colours show.
        EXPECT_GT(gui::CountPixelsNot(Shot.get(), Page, PageColor), 0) << Pager->TabPosition();
        const TRect T = Pager->GetTabRect(1);
        EXPECT_GT(RectWidth(T), 0) << Pager->TabPosition();
    }
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Dir(Path);
    Dir = Dir.substr(0, Dir.find_last_of('\\') + 1);
    gui::SaveScreenshot(Form, Dir + "office-pager-positions.png");
}

} // namespace

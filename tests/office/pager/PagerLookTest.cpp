// The pages' own looks, the page's rounded corners and its join line beside
// shaped tabs, the focused active tab, and the tab hints.

#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/Application.h"
#include "framework/HintWindow.h"
#include "office/OfficeColors.h"
#include "office/PagerDrawing.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"
#include "tests/support/GuiHarness.h"

namespace {

COLORREF Rgb(TColor C) { return ColorToRGB(C); }

bool Near(COLORREF A, COLORREF B, int Tolerance)
{
    return std::abs(GetRValue(A) - GetRValue(B)) <= Tolerance && std::abs(GetGValue(A) - GetGValue(B)) <= Tolerance &&
           std::abs(GetBValue(A) - GetBValue(B)) <= Tolerance;
}

class PagerLook : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 520, 320);
        Pager = new TProOfficePager(Form);
        Pager->SetParent(Form);
        Pager->SetBounds(10, 10, 480, 260);
        const char* Captions[] = {"通道一", "通道二", "通道三"};
        for (const char* C : Captions) {
            auto* P = new TProOfficePage(Form);
            P->SetCaption(C);
            P->SetPager(Pager);
            Pages.push_back(P);
        }
        Pager->SetActivePageIndex(1);
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    std::unique_ptr<TBitmap> Shot()
    {
        Pager->Invalidate();
        for (TProOfficePage* P : Pages)
            P->Invalidate();
        gui::Settle();
        return gui::CaptureControl(Pager);
    }

    TForm* Form = nullptr;
    TProOfficePager* Pager = nullptr;
    std::vector<TProOfficePage*> Pages;
};

TEST_F(PagerLook, APageTakesItsOwnTabLookOnlyWhileItAsks)
{
    const TColor Own = static_cast<TColor>(0x2040C0);
    TTabAppearance* A = Pages[1]->TabAppearance();
    A->SetColorSelected(Own);
    A->SetColorSelectedTo(clNoneColor);
    A->SetColorMirrorSelected(Own);
    A->SetColorMirrorSelectedTo(clNoneColor);
    const TRect T = Pager->GetTabRect(1);
    // Left of the caption, in the upper and the lower half of the tab, clear
    // of the light line and the inner lines.
    const int X = T.left + 3;
    const int Ys[] = {T.top + 2, T.top + (T.bottom - T.top) / 2 + 2};
    auto S = Shot();
    for (int Y : Ys)
        EXPECT_NE(gui::PixelAt(S.get(), X, Y), Rgb(Own)) << "styler's look at row " << Y;
    Pages[1]->SetUseTabAppearance(true);
    S = Shot();
    for (int Y : Ys)
        EXPECT_EQ(gui::PixelAt(S.get(), X, Y), Rgb(Own)) << "own look at row " << Y;
    // The strip behind the tabs stays the styler's.
    const TRect Last = Pager->GetTabRect(2);
    EXPECT_EQ(gui::PixelAt(S.get(), Last.right + 20, 8),
              Rgb(Pager->CurrentStyler()->TabAppearance()->BackGround()->Color()));
    // A change of the page's look repaints the tab.
    A->SetColorSelected(static_cast<TColor>(0x10A010));
    A->SetColorMirrorSelected(static_cast<TColor>(0x10A010));
    gui::Settle();
    S = gui::CaptureControl(Pager);
    EXPECT_EQ(gui::PixelAt(S.get(), X, Ys[0]), Rgb(static_cast<TColor>(0x10A010)));
}

TEST_F(PagerLook, APageTakesItsOwnPageLookAndColour)
{
    const TColor Own = static_cast<TColor>(0x30A0E0);
    const TColor Edge = static_cast<TColor>(0x800000);
    TVistaBackground* A = Pages[1]->PageAppearance();
    A->SetColor(Own);
    A->SetColorTo(clNoneColor);
    A->SetColorMirror(Own);
    A->SetColorMirrorTo(clNoneColor);
    A->SetBorderColor(Edge);
    Pages[1]->SetUsePageAppearance(true);
    auto S = Shot();
    const TRect P = Pager->GetPageRect();
    const TRect T = Pager->GetTabRect(1);
    const int M = Pager->PageMargin();
    EXPECT_EQ(Pages[1]->Color(), Own) << "children taking the parent's colour match the page";
    EXPECT_EQ(gui::PixelAt(S.get(), P.left + 100, P.top + 60), Rgb(Own));
    EXPECT_EQ(gui::PixelAt(S.get(), P.left + 200, P.bottom - 1), Rgb(Edge)) << "border";
    EXPECT_EQ(gui::PixelAt(S.get(), P.left + 1, P.top + 60),
              Rgb(BlendColors(0xFFFFFF, Edge, Pager->CurrentStyler()->BorderBlend())))
        << "inner light border";
    // The join line runs from the tab's left less the margin.
    EXPECT_EQ(gui::PixelAt(S.get(), P.left + T.left - M, P.top), Rgb(Own));
    EXPECT_EQ(gui::PixelAt(S.get(), P.left + T.left - M - 1, P.top), Rgb(Edge));
}

TEST_F(PagerLook, TheJoinLineStaysInsideTheSlopesOfShapedTabs)
{
    Pager->TabSettings()->SetRounding(8);   // r = 4
    const TRect P = Pager->GetPageRect();
    const COLORREF PageColor = Rgb(Pager->CurrentStyler()->PageAppearance()->Color());
    const int M = Pager->PageMargin();
    const struct {
        TProTabShape Shape;
        int StartIn, EndIn;   // how far the line's ends move in (end exclusive)
    } Cases[] = {{tsRectangle, 1, 0}, {tsLeftRamp, 6, 0}, {tsRightRamp, 1, 5}, {tsLeftRightRamp, 6, 5}};
    for (const auto& C : Cases) {
        Pager->TabSettings()->SetShape(C.Shape);
        auto S = Shot();
        const TRect T = Pager->GetTabRect(1);
        const int Start = T.left - M + C.StartIn;
        const int End = std::min(static_cast<int>(T.right) - M, static_cast<int>(Pager->GetButtonsRect().left)) - C.EndIn;
        EXPECT_EQ(gui::PixelAt(S.get(), P.left + Start, P.top), PageColor) << "shape " << C.Shape;
        EXPECT_NE(gui::PixelAt(S.get(), P.left + Start - 1, P.top), PageColor) << "shape " << C.Shape;
        EXPECT_EQ(gui::PixelAt(S.get(), P.left + End - 1, P.top), PageColor) << "shape " << C.Shape;
        EXPECT_NE(gui::PixelAt(S.get(), P.left + End, P.top), PageColor) << "shape " << C.Shape;
    }
}

TEST_F(PagerLook, RoundedCornersShowThePagerThroughThePageCorners)
{
    const TRect P = Pager->GetPageRect();
    auto S = Shot();
    const COLORREF Border = Rgb(Pager->CurrentStyler()->PageAppearance()->BorderColor());
    ASSERT_TRUE(Pager->CurrentStyler()->RoundedCorners());
    const struct {
        int X, Y;         // page pixel
        int FromX, FromY; // pager pixel it copies
    } Cases[] = {{0, 0, -1, -1},
                 {1, 0, 1, -1},
                 {0, 1, -1, 0},
                 {0, P.bottom - P.top - 1, -1, P.bottom - P.top},
                 {P.right - P.left - 1, 0, P.right - P.left, 0},
                 {P.right - P.left - 1, P.bottom - P.top - 1, P.right - P.left, P.bottom - P.top}};
    for (const auto& C : Cases) {
        const COLORREF Outside = gui::PixelAt(S.get(), P.left + C.FromX, P.top + C.FromY);
        EXPECT_EQ(gui::PixelAt(S.get(), P.left + C.X, P.top + C.Y), Outside) << C.X << "," << C.Y;
        EXPECT_NE(Outside, Border) << C.X << "," << C.Y;
    }
    // Square corners keep the border there.
    Pager->CurrentStyler()->SetRoundedCorners(false);
    S = Shot();
    EXPECT_EQ(gui::PixelAt(S.get(), P.left, P.top + P.bottom - P.top - 1), Border);
}

TEST_F(PagerLook, TheFocusedPagersActiveTabTakesTheHotLook)
{
    const TRect T = Pager->GetTabRect(1);
    // Between the inner top line and the light line.
    const int X = (T.left + T.right) / 2, Y = T.top + 2;
    const TCustomTabAppearance* A = Pager->CurrentStyler()->TabAppearance();
    auto S = Shot();
    const COLORREF Plain = gui::PixelAt(S.get(), X, Y);
    Pager->SetFocus();
    S = Shot();
    const COLORREF Focused = gui::PixelAt(S.get(), X, Y);
    EXPECT_NE(Focused, Plain);
    // Inside the hot gradient: between ColorHot and ColorHotTo.
    const COLORREF From = Rgb(A->ColorHot()), To = Rgb(A->ColorHotTo());
    for (int Channel = 0; Channel < 3; ++Channel) {
        auto Get = [Channel](COLORREF C) { return static_cast<int>((C >> (8 * Channel)) & 0xFF); };
        EXPECT_GE(Get(Focused), std::min(Get(From), Get(To)) - 2) << "channel " << Channel;
        EXPECT_LE(Get(Focused), std::max(Get(From), Get(To)) + 2) << "channel " << Channel;
    }
    EXPECT_TRUE(Near(gui::PixelAt(S.get(), X, T.top), Rgb(A->BorderColorSelectedHot()), 40)) << "border";
}

TEST_F(PagerLook, TheHintOverATabIsItsPagesTabHint)
{
    Pages[0]->SetTabHint("第一个通道");
    Pages[2]->SetTabHint("第三个通道");
    const struct {
        bool ShowTabHint;
        int Tab;   // under the mouse, -1 for none
        const char* Expected;
    } Cases[] = {{true, 0, "第一个通道"}, {true, 2, "第三个通道"}, {true, -1, "framework's"}, {false, 2, ""}};
    for (const auto& C : Cases) {
        Pager->SetShowTabHint(C.ShowTabHint);
        // Without a tab: the strip right of the last tab.
        const TRect Last = Pager->GetTabRect(2);
        TPoint At = Point(Last.right + 20, Last.top + 5);
        if (C.Tab >= 0) {
            const TRect T = Pager->GetTabRect(C.Tab);
            At = Point((T.left + T.right) / 2, (T.top + T.bottom) / 2);
        }
        SendMessageW(Pager->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(At.x, At.y));
        THintInfo Info;
        Info.HintStr = "framework's";
        SendMessageW(Pager->Handle(), CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
        EXPECT_EQ(gui::Utf8(Info.HintStr), gui::Utf8(C.Expected)) << "tab " << C.Tab << " show " << C.ShowTabHint;
    }
}

// Resting on a tab shows its TabHint in a hint window; moving to another tab
// takes it away at once and shows that tab's hint after the pause.
TEST_F(PagerLook, ARestingMouseShowsTheTabHint)
{
    Pages[0]->SetTabHint("第一个通道");
    Pages[2]->SetTabHint("第三个通道");
    Pager->SetShowHint(true);
    Pager->SetShowTabHint(true);
    auto MoveTo = [&](int Tab) {
        const TRect T = Pager->GetTabRect(Tab);
        const TPoint C = Point((T.left + T.right) / 2, (T.top + T.bottom) / 2);
        const TPoint S = Pager->ClientToScreen(C);
        SetCursorPos(S.x, S.y);
        SendMessageW(Pager->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(C.x, C.y));
    };
    auto Shown = [] { return ActiveHintWindow() ? gui::Utf8(ActiveHintWindow()->Caption()) : std::string(); };
    MoveTo(0);
    ASSERT_TRUE(gui::PumpUntil([] { return ActiveHintWindow() != nullptr; }, 10000));
    EXPECT_EQ(Shown(), gui::Utf8("第一个通道"));
    MoveTo(2);
    EXPECT_EQ(ActiveHintWindow(), nullptr);
    ASSERT_TRUE(gui::PumpUntil([] { return ActiveHintWindow() != nullptr; }, 10000));
    EXPECT_EQ(Shown(), gui::Utf8("第三个通道"));
    HintCancel();
}

} // namespace

namespace {

TEST(FitCaption, ShortensWholeCharactersAndAddsTheSuffix)
{
    auto Bmp = std::make_unique<TBitmap>();
    Bmp->SetSize(200, 50);
    TCanvas* C = Bmp->Canvas();
    C->Font()->SetName("Tahoma");
    C->Font()->SetHeight(-11);
    const String Wide = "通道一通道二通道三";
    const int Full = C->TextWidth(Wide);
    const struct {
        String Caption;
        int Width;
        bool Ellipsis;
    } Cases[] = {{Wide, Full + 1, true}, {Wide, Full, true}, {Wide, Full / 2, true}, {Wide, Full / 2, false},
                 {"", 5, true}, {"ABCDEFGH", C->TextWidth("ABCD..."), true}, {Wide, 2, true}};
    for (const auto& K : Cases) {
        const String Got = FitCaption(C, K.Caption, Rect(0, 0, K.Width, 20), tpTop, K.Ellipsis);
        const std::string Where = gui::Utf8(K.Caption) + " in " + std::to_string(K.Width);
        if (K.Caption.empty() || C->TextWidth(K.Caption) < K.Width) {
            EXPECT_EQ(Got, K.Caption) << Where;
            continue;
        }
        const String Suffix = K.Ellipsis ? "..." : "";
        ASSERT_GE(Got.size(), Suffix.size()) << Where;
        ASSERT_EQ(Got.substr(Got.size() - Suffix.size()), Suffix) << Where;
        const String Prefix = Got.substr(0, Got.size() - Suffix.size());
        EXPECT_EQ(K.Caption.compare(0, Prefix.size(), Prefix), 0) << Where;
        // Whole double-byte characters only: the prefix is an even number
        // of bytes of the Chinese caption.
        if (K.Caption == Wide) {
            EXPECT_EQ(Prefix.size() % 2, 0u) << Where;
        }
        // It fits, or nothing is left of the caption; one character more would not fit.
        if (!Prefix.empty()) {
            EXPECT_LT(C->TextWidth(Got), K.Width) << Where;
        }
        if (Prefix.size() < K.Caption.size()) {
            const std::size_t Next = K.Caption == Wide ? Prefix.size() + 2 : Prefix.size() + 1;
            EXPECT_GE(C->TextWidth(K.Caption.substr(0, Next) + Suffix), K.Width) << Where;
        }
    }
    EXPECT_EQ(FitCaption(C, WideString(L"abcdefghijkl"), Rect(0, 0, 2, 20), tpTop, false), WideString());
}

} // namespace

namespace {

TEST(OfficeStyler, AutoThemeAdaptFollowsTheColourSchemeOnThemeChanges)
{
    auto* Form = new TForm(Application);
    auto* Styler = new TProOfficePagerOfficeStyler(Form);
    EXPECT_EQ(Styler->NotifierWindow()->Parent(), Form) << "the first windowed owner holds the notifier";
    const int Scheme = CurrentColorScheme();
    const TOfficePagerStyle Expected = Scheme == 1   ? psOffice2003Blue
                                       : Scheme == 2 ? psOffice2003Olive
                                       : Scheme == 3 ? psOffice2003Silver
                                                     : psWindowsXP;
    const TOfficePagerStyle Other = Expected == psOffice2007Luna ? psWhidbey : psOffice2007Luna;
    const HWND Notifier = Styler->NotifierWindow()->Handle();
    const struct {
        bool Adapt;
        TOfficePagerStyle After;
    } Cases[] = {{false, Other}, {true, Expected}};
    for (const auto& C : Cases) {
        Styler->SetStyle(Other);
        Styler->SetAutoThemeAdapt(C.Adapt);
        SendMessageW(Notifier, WM_THEMECHANGED, 0, 0);
        EXPECT_EQ(Styler->Style(), C.After) << "theme change, adapt " << C.Adapt;
        Styler->SetStyle(Other);
        Styler->Loaded();
        EXPECT_EQ(Styler->Style(), C.After) << "after loading, adapt " << C.Adapt;
    }
    delete Form;
}

} // namespace

namespace {

// Shaped tabs on every side: the outer corners of the tab's rectangle stay
// the strip, the inside near the outer edge is the selected fill.
TEST_F(PagerLook, ShapedTabsAreFilledInsideTheirOutlineOnEverySide)
{
    Pager->TabSettings()->SetRounding(8);
    const TCustomTabAppearance* A = Pager->CurrentStyler()->TabAppearance();
    const COLORREF Strip = Rgb(A->BackGround()->Color());
    const COLORREF From = Rgb(A->ColorSelected()), To = Rgb(A->ColorSelectedTo());
    for (TTabPosition Pos : {tpTop, tpBottom, tpLeft, tpRight}) {
        Pager->SetTabPosition(Pos);
        for (TProTabShape Shape : {tsRectangle, tsLeftRamp, tsRightRamp, tsLeftRightRamp}) {
            Pager->TabSettings()->SetShape(Shape);
            auto S = Shot();
            const TRect T = Pager->GetTabRect(1);
            const std::string Where = "position " + std::to_string(Pos) + " shape " + std::to_string(Shape);
            // The outer corners.
            const TPoint Corners[] = {
                Pos == tpBottom  ? Point(T.left + 1, T.bottom - 2)
                : Pos == tpRight ? Point(T.right - 2, T.top + 1)
                                 : Point(T.left + 1, T.top + 1),
                Pos == tpRight || Pos == tpBottom ? Point(T.right - 2, T.bottom - 2)
                : Pos == tpLeft                   ? Point(T.left + 1, T.bottom - 2)
                                                  : Point(T.right - 2, T.top + 1)};
            for (const TPoint& P : Corners)
                EXPECT_EQ(gui::PixelAt(S.get(), P.x, P.y), Strip) << Where << " corner " << P.x << "," << P.y;
            // Three pixels in from the outer edge, half way along.
            const TPoint In = Pos == tpTop      ? Point((T.left + T.right) / 2, T.top + 3)
                              : Pos == tpBottom ? Point((T.left + T.right) / 2, T.bottom - 4)
                              : Pos == tpLeft   ? Point(T.left + 3, (T.top + T.bottom) / 2)
                                                : Point(T.right - 4, (T.top + T.bottom) / 2);
            const COLORREF Got = gui::PixelAt(S.get(), In.x, In.y);
            for (int Ch = 0; Ch < 3; ++Ch) {
                auto Get = [Ch](COLORREF C) { return static_cast<int>((C >> (8 * Ch)) & 0xFF); };
                EXPECT_GE(Get(Got), std::min(Get(From), Get(To)) - 3) << Where << " channel " << Ch;
                EXPECT_LE(Get(Got), std::max(Get(From), Get(To)) + 3) << Where << " channel " << Ch;
            }
        }
    }
    gui::SaveScreenshot(Form, Application->ExePath() + "pager-shaped-tabs.png");
}

} // namespace

// Where the pager puts its tabs, pages and buttons: tab lengths from the
// measured captions, the page rectangle per tab position, overflow and the
// scroller with its buttons, the close button on the tab and in the buttons
// area, the page-list button, and the default button pictures.

#include <gtest/gtest.h>

#include <cstring>

#include "framework/Bitmap.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"
#include "tests/support/GuiHarness.h"

namespace {

constexpr int CharWidth = 7;
constexpr int TextHeight = 13;

class PagerLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 900, 600);
        Pager = new TProOfficePager(Form);
        Pager->TextMeasurer = [](const String& C, const WideString& W) {
            return TSize{static_cast<LONG>(CharWidth * (C.empty() ? W.size() : C.size())), TextHeight};
        };
        Pager->SetParent(Form);
        Pager->SetBounds(0, 0, 600, 200);
    }
    void TearDown() override { delete Form; }

    void AddPages(int N, const String& Caption = "Page")
    {
        for (int I = 0; I < N; ++I) {
            auto* P = new TProOfficePage(Form);
            P->SetCaption(Caption);
            P->SetPager(Pager);
            Pages.push_back(P);
        }
    }
    static std::string Str(const TRect& R)
    {
        return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) + "," +
               std::to_string(R.bottom);
    }

    TForm* Form = nullptr;
    TProOfficePager* Pager = nullptr;
    std::vector<TProOfficePage*> Pages;
};

TEST_F(PagerLayout, PageRectanglePerTabPosition)
{
    struct Case {
        TTabPosition Pos;
        const char* Expected;
    };
    // 600 x 200, strip 26, page margin 1.
    const Case Cases[] = {
        {tpTop, "1,26,599,198"},
        {tpBottom, "1,2,599,174"},
        {tpLeft, "26,2,599,198"},
        {tpRight, "1,2,574,198"},
    };
    AddPages(2);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Pos);
        Pager->SetTabPosition(C.Pos);
        EXPECT_EQ(Str(Pager->GetPageRect()), C.Expected);
        EXPECT_EQ(Str(Pages[1]->BoundsRect()), C.Expected);
    }
    // The manager's pager: every page at (1, 26), 775 x 468.
    Pager->SetTabPosition(tpTop);
    Pager->SetBounds(0, 0, 777, 496);
    EXPECT_EQ(Str(Pages[0]->BoundsRect()), "1,26,776,494");
}

TEST_F(PagerLayout, TabsFromTheirCaptions)
{
    AddPages(8, "Chan");
    const int L = 4 + 4 * CharWidth + 5 + 4;
    for (int I = 0; I < 8; ++I) {
        SCOPED_TRACE(I);
        const TRect R = Pager->GetTabRect(I);
        EXPECT_EQ(R.left, 5 + I * (L + 4));
        EXPECT_EQ(RectWidth(R), L);
        EXPECT_EQ(R.top, 4);
        EXPECT_EQ(R.bottom, 30);
        EXPECT_EQ(Pager->TabAtPos(R.left, R.top + 3), I);
        EXPECT_EQ(Pager->TabAtPos(R.right + 1, R.top + 3), -1);   // the gap
    }
    EXPECT_FALSE(Pager->TabScroller()->Visible());
    EXPECT_EQ(Pager->ScrollPrevButtonControl(), nullptr);
    EXPECT_EQ(Pager->CloseButtonControl(), nullptr);
    EXPECT_EQ(Pager->PageListButtonControl(), nullptr);

    Pager->TabSettings()->SetWidth(80);
    // Six tabs of 80 fit beside the scroller, the other two wait behind it.
    EXPECT_TRUE(Pager->TabScroller()->Visible());
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(RectWidth(Pager->GetTabRect(I)), 80) << I;
    EXPECT_EQ(Pager->GetTabRect(6).left, -1);
    Pager->TabSettings()->SetWidth(0);

    Pages[3]->SetTabVisible(false);
    EXPECT_EQ(Str(Pager->GetTabRect(3)), "-1,-1,-1,-1");
    EXPECT_EQ(Pager->GetTabRect(4).left, 5 + 3 * (L + 4));
    for (int X = 0; X < 600; X += 3)
        EXPECT_NE(Pager->TabAtPos(X, 10), 3) << X;
}

TEST_F(PagerLayout, TabLengthsPerPositionAndSettings)
{
    struct Case {
        const char* Name;
        TTabPosition Pos;
        bool Rotate;
        TProTabShape Shape;
        int Rounding;
        int Expected;   // length along the strip of a 4-character caption
    };
    const int Text = 4 * CharWidth;
    const Case Cases[] = {
        {"top plain", tpTop, true, tsRectangle, 1, 4 + Text + 5 + 4},
        {"top left ramp", tpTop, true, tsLeftRamp, 2, 9 + 4 + Text + 5 + 4},
        {"top both ramps", tpTop, true, tsLeftRightRamp, 3, 11 + 4 + Text + 5 + 4 + 11},
        {"left rotated", tpLeft, true, tsRectangle, 1, 4 + Text + 5 + 4},
        {"left rotated ramp", tpLeft, true, tsRightRamp, 2, 4 + Text + 5 + 4 + 9},
        {"left not rotated", tpLeft, false, tsRectangle, 1, TextHeight + 12},
        {"right not rotated ramp", tpRight, false, tsLeftRamp, 2, TextHeight + 12},
    };
    AddPages(2);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Pager->SetTabPosition(C.Pos);
        Pager->SetRotateTabLeftRight(C.Rotate);
        Pager->TabSettings()->SetShape(C.Shape);
        Pager->TabSettings()->SetRounding(C.Rounding);
        const TRect R = Pager->GetTabRect(1);
        const bool Horz = C.Pos == tpTop || C.Pos == tpBottom;
        EXPECT_EQ(Horz ? RectWidth(R) : RectHeight(R), C.Expected);
        EXPECT_EQ(Horz ? RectHeight(R) : RectWidth(R), 26);
        const TRect First = Pager->GetTabRect(0);
        EXPECT_EQ(Horz ? R.left - First.right : R.top - First.bottom, 4);
    }
}

TEST_F(PagerLayout, OverflowMakesTheScroller)
{
    Pager->SetBounds(0, 0, 300, 120);
    AddPages(10, "Channel");   // 62 long each: four fit in 300
    TPagerTabScroller* S = Pager->TabScroller();
    ASSERT_TRUE(S->Visible());
    EXPECT_GT(S->Max(), 0);
    EXPECT_EQ(S->Position(), 0);
    // The buttons area grows by 41 for the scroller.
    const TRect B = Pager->GetButtonsRect();
    EXPECT_EQ(B.right, 300 - 1 - 3);
    EXPECT_EQ(B.left, B.right - 3 - 41);
    TProGlowButton* Prev = Pager->ScrollPrevButtonControl();
    TProGlowButton* Next = Pager->ScrollNextButtonControl();
    ASSERT_NE(Prev, nullptr);
    ASSERT_NE(Next, nullptr);
    EXPECT_EQ(Str(Prev->BoundsRect()), Str(Rect(B.left + 3, B.bottom - 23, B.left + 21, B.bottom - 5)));
    EXPECT_EQ(Next->Left(), Prev->Left() + 20);
    EXPECT_FALSE(Prev->Enabled());
    EXPECT_TRUE(Next->Enabled());
    EXPECT_TRUE(Prev->RepeatClick());
    // No tab reaches into the buttons area.
    for (int I = 0; I < 10; ++I) {
        const TRect R = Pager->GetTabRect(I);
        if (R.left != -1) {
            EXPECT_LE(R.right, B.left) << I;
        }
    }

    const int Max = S->Max();
    for (int I = 0; I < Max; ++I)
        Pager->ScrollNext();
    EXPECT_EQ(S->Position(), Max);
    EXPECT_TRUE(Prev->Enabled());
    EXPECT_FALSE(Next->Enabled());
    EXPECT_EQ(Pager->GetTabRect(Max - 1).left, -1);   // scrolled out
    EXPECT_EQ(Pager->GetTabRect(Max).left, 5);        // the first one shown
    EXPECT_NE(Pager->GetTabRect(9).left, -1);         // the last one fits
    Pager->ScrollNext();
    EXPECT_EQ(S->Position(), Max);

    // Activating a tab scrolled out of view brings it into view.
    Pager->SetActivePageIndex(0);
    EXPECT_EQ(S->Position(), 0);
    EXPECT_EQ(Pager->GetTabRect(0).left, 5);
    // So does a move of other pages that leaves the active one where it is.
    for (int I = 0; I < Max; ++I)
        Pager->ScrollNext();
    ASSERT_EQ(Pager->GetTabRect(0).left, -1);
    Pager->MoveProPage(8, 9);
    EXPECT_EQ(S->Position(), 0);
    EXPECT_EQ(Pager->GetTabRect(0).left, 5);

    // Enough room again: the scroller and its buttons go.
    Pager->SetBounds(0, 0, 800, 120);
    EXPECT_FALSE(S->Visible());
    gui::PumpFor(50);   // the buttons are freed once the messages are done
    EXPECT_EQ(Pager->ScrollPrevButtonControl(), nullptr);
}

TEST_F(PagerLayout, ScrollButtonsAlwaysKeepsThem)
{
    AddPages(2);
    Pager->ButtonSettings()->SetScrollButtonsAlways(true);
    EXPECT_TRUE(Pager->TabScroller()->Visible());
    ASSERT_NE(Pager->ScrollPrevButtonControl(), nullptr);
    ASSERT_NE(Pager->ScrollNextButtonControl(), nullptr);
    EXPECT_EQ(Pager->GetTabRect(1).left, 5 + 4 + 28 + 5 + 4 + 4);
}

TEST_F(PagerLayout, CloseAndPageListButtons)
{
    AddPages(3);
    Pager->SetActivePageIndex(1);
    int Changes = 0;
    auto Inner = Pager->ButtonSettings()->OnChange;
    Pager->ButtonSettings()->OnChange = [&](TObject* S) {
        ++Changes;
        Inner(S);
    };
    Pager->ButtonSettings()->SetCloseButton(true);
    EXPECT_EQ(Changes, 1);
    TProGlowButton* Close = Pager->CloseButtonControl();
    ASSERT_NE(Close, nullptr);
    const TRect B = Pager->GetButtonsRect();
    EXPECT_EQ(B.left, B.right - 3 - 21);
    EXPECT_EQ(Str(Close->BoundsRect()), Str(Rect(B.left + 3, B.bottom - 23, B.left + 21, B.bottom - 5)));
    EXPECT_TRUE(Close->Enabled());
    EXPECT_EQ(Close->Hint(), "Close");
    // Not for a page that does not want it.
    Pages[1]->SetShowClose(false);
    EXPECT_FALSE(Close->Enabled());
    Pages[1]->SetShowClose(true);

    Pager->ButtonSettings()->SetPageListButton(true);
    TProGlowButton* List = Pager->PageListButtonControl();
    ASSERT_NE(List, nullptr);
    const TRect B2 = Pager->GetButtonsRect();
    EXPECT_EQ(B2.left, B2.right - 3 - 42);
    EXPECT_EQ(List->Left(), B2.left + 3);
    EXPECT_EQ(Close->Left(), List->Left() + 18 + 2);

    // On the tab: the tab grows by 22 and the button sits at its right end.
    const int Before = RectWidth(Pager->GetTabRect(1));
    Pager->SetCloseOnTab(true);
    const TRect T = Pager->GetTabRect(1);
    EXPECT_EQ(RectWidth(T), Before + 22);
    EXPECT_EQ(Str(Close->BoundsRect()), Str(Rect(T.right - 22, T.bottom - 23, T.right - 4, T.bottom - 5)));
    Pager->SetCloseOnTabPosition(cpLeft);
    EXPECT_EQ(Close->Left(), T.left + 4);
    // The buttons area holds only the page-list button now.
    EXPECT_EQ(Pager->GetButtonsRect().left, B2.right - 3 - 21);

    // A click on the close button closes the active page.
    Pager->SetFreeOnClose(true);
    Close->Click();
    EXPECT_EQ(Pager->ProPageCount(), 2);
    EXPECT_EQ(Pager->ActivePage(), Pages[2]);
}

TEST_F(PagerLayout, ScrollPicturesForSideTabs)
{
    TPageButtonSettings* S = Pager->ButtonSettings();
    Pager->SetTabPosition(tpLeft);
    AddPages(2);
    S->SetScrollButtonsAlways(true);
    TProGlowButton* Prev = Pager->ScrollPrevButtonControl();
    TProGlowButton* Next = Pager->ScrollNextButtonControl();
    ASSERT_NE(Prev, nullptr);
    ASSERT_NE(Next, nullptr);
    auto Bytes = [](TGdiPlusPicture* P) {
        return std::string(static_cast<const char*>(P->DataStream()->Memory()), static_cast<std::size_t>(P->DataStream()->Size()));
    };
    EXPECT_EQ(Bytes(Prev->Picture()), Bytes(S->ScrollButtonUpPicture()));
    EXPECT_EQ(Bytes(Next->Picture()), Bytes(S->ScrollButtonDownPicture()));
    EXPECT_FALSE(S->NextPictureChanged);

    TGdiPlusPicture Own;
    Own.LoadFromRCData(GetModuleHandleW(nullptr), "QJXAOCLOSE");
    const std::string Glyph = Bytes(&Own);
    ASSERT_FALSE(Glyph.empty());
    S->SetScrollButtonNextPicture(&Own);
    EXPECT_TRUE(S->NextPictureChanged);
    EXPECT_FALSE(S->PrevPictureChanged);
    EXPECT_EQ(Bytes(Next->Picture()), Glyph);
    EXPECT_EQ(Bytes(Prev->Picture()), Bytes(S->ScrollButtonUpPicture()));

    // Top tabs always show the previous and next pictures.
    Pager->SetTabPosition(tpTop);
    EXPECT_EQ(Bytes(Pager->ScrollPrevButtonControl()->Picture()), Bytes(S->ScrollButtonPrevPicture()));
}

TEST(PageButtonSettings, AssignKeepsHintsAndFlags)
{
    TPageButtonSettings A, B;
    A.SetCloseButton(true);
    A.SetPageListButton(true);
    A.CloseButtonHint = "Shut";
    B.NextPictureChanged = true;
    B.Assign(&A);
    EXPECT_TRUE(B.CloseButton());
    EXPECT_TRUE(B.PageListButton());
    EXPECT_EQ(B.CloseButtonHint, "Close");
    EXPECT_EQ(B.PageListButtonHint, "Page List");
    EXPECT_EQ(B.ScrollButtonPrevHint, "Previous");
    EXPECT_EQ(B.ScrollButtonNextHint, "Next");
}

TEST(PageButtonSettings, DefaultPicturesFromResources)
{
    // The figures of the six default pictures: '.' background, 'o' outline,
    // 'w' white fill.
    struct Case {
        const char* Name;
        TGdiPlusPicture* (TPageButtonSettings::*Picture)() const;
        std::vector<std::string> Rows;
    };
    const Case Cases[] = {
        {"QJXAONEXT", &TPageButtonSettings::ScrollButtonNextPicture,
         {".........", ".oo......", ".owo.....", "..owo....", "...owo...", "..owo....", ".owo.....", ".oo......", "........."}},
        {"QJXAOPREV", &TPageButtonSettings::ScrollButtonPrevPicture,
         {".........", "......oo.", ".....owo.", "....owo..", "...owo...", "....owo..", ".....owo.", "......oo.", "........."}},
        {"QJXAOLIST", &TPageButtonSettings::PageListButtonPicture,
         {".........", ".........", "oo.....oo", "owo...owo", "owwo.owwo", ".owwowwo.", "..owwwo..", "...owo...", "....o...."}},
        {"QJXAOCLOSE", &TPageButtonSettings::CloseButtonPicture,
         {".........", ".oo...oo.", ".owo.owo.", "..owowo..", "...owo...", "..owowo..", ".owo.owo.", ".oo...oo.", "........."}},
        {"QJXAODOWN", &TPageButtonSettings::ScrollButtonDownPicture,
         {".........", "oo.....oo", "owo...owo", "owwo.owwo", ".owwowwo.", "..owwwo..", "...owo...", "....o....", "........."}},
        {"QJXAOUP", &TPageButtonSettings::ScrollButtonUpPicture,
         {".........", "....o....", "...owo...", "..owwwo..", ".owwowwo.", "owwo.owwo", "owo...owo", "oo.....oo", "........."}},
    };
    TPageButtonSettings Settings;
    const HINSTANCE Module = GetModuleHandleW(nullptr);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        // The picture holds the resource's bytes: a 9 x 9 bitmap of 1186
        // bytes with an 8-bit palette whose first entry is the background.
        HRSRC Info = FindResourceExW(Module, MAKEINTRESOURCEW(10), StrToWide(C.Name).c_str(), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        ASSERT_NE(Info, nullptr);
        ASSERT_EQ(SizeofResource(Module, Info), 1186u);
        const auto* Raw = static_cast<const unsigned char*>(LockResource(LoadResource(Module, Info)));
        TGdiPlusPicture* P = (Settings.*C.Picture)();
        ASSERT_EQ(P->DataStream()->Size(), 1186);
        EXPECT_EQ(std::memcmp(P->DataStream()->Memory(), Raw, 1186), 0);
        EXPECT_EQ(Raw[28], 8); // bits per pixel
        EXPECT_EQ(Raw[54] | Raw[55] << 8 | Raw[56] << 16, 0xEFEFDE);
        EXPECT_EQ(P->Width(), 9);
        EXPECT_EQ(P->Height(), 9);
        // Drawn on magenta, the corner colour is transparent; read the rows
        // back from a 24-bit bitmap.
        TBitmap Bmp;
        Bmp.SetSize(9, 9);
        Bmp.Canvas()->Brush()->SetColor(RGBToColor(255, 0, 255));
        TRect All = Rect(0, 0, 9, 9);
        Bmp.Canvas()->FillRect(All);
        P->Draw(Bmp.Canvas(), All);
        for (int Y = 0; Y < 9; ++Y)
            for (int X = 0; X < 9; ++X) {
                const COLORREF Px = gui::PixelAt(&Bmp, X, Y);
                const char Want = C.Rows[Y][X];
                const COLORREF Expected = Want == 'o' ? RGB(0x84, 0x7B, 0x42) : Want == 'w' ? RGB(255, 255, 255) : RGB(255, 0, 255);
                EXPECT_EQ(Px, Expected) << X << "," << Y;
            }
    }

    // A name the program has no resource of leaves the picture empty.
    TGdiPlusPicture Missing;
    Missing.LoadFromRCData(Module, "QJXAONONE");
    EXPECT_TRUE(Missing.Empty());
    EXPECT_EQ(Missing.DataStream()->Size(), 0);
    EXPECT_EQ(Missing.Width(), 0);
}

TEST(PagerRealMeasure, CaptionsMeasuredInTheTabFont)
{
    auto* Form = new TForm(Application);
    auto* Pager = new TProOfficePager(Form);
    Pager->SetParent(Form);
    Pager->SetBounds(0, 0, 777, 496);
    const char* Captions[] = {"通道一", "通道二", "W"};
    for (const char* Caption : Captions) {
        auto* P = new TProOfficePage(Form);
        P->SetCaption(Caption);
        P->SetPager(Pager);
    }
    TBitmap Bmp;
    Bmp.SetSize(1, 1);
    Bmp.Canvas()->Font()->Assign(Pager->CurrentStyler()->TabFont());
    for (int I = 0; I < 3; ++I) {
        TRect R = Rect(0, 0, 1000, 100);
        Bmp.Canvas()->DrawTextRect(String(Captions[I]), R, DT_CALCRECT | DT_SINGLELINE);
        SCOPED_TRACE(Captions[I]);
        EXPECT_GT(R.right, 0);
        EXPECT_EQ(RectWidth(Pager->GetTabRect(I)), 4 + R.right + 5 + 4);
    }
    EXPECT_GT(RectWidth(Pager->GetTabRect(0)), RectWidth(Pager->GetTabRect(2)));
    delete Form;
}

} // namespace

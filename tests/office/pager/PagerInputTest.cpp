// The pager in a real window: clicks and keys through the tabs, the hover
// glow fading in and out on its timer, the click flash, the shortcut hints
// and their hook on the form, the close and page-list buttons.

#include <gtest/gtest.h>

#include <memory>

#include "framework/Menus.h"
#include "framework/WindowHooks.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"
#include "tests/support/GuiHarness.h"

namespace {

class PagerInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 640, 300);
        Pager = new TProOfficePager(Form);
        Pager->SetParent(Form);
        Pager->SetBounds(0, 0, 600, 240);
        const char* Captions[] = {"通道一", "通道二", "通道三", "通道四"};
        for (const char* C : Captions) {
            auto* P = new TProOfficePage(Form);
            P->SetCaption(C);
            P->SetPager(Pager);
            Pages.push_back(P);
        }
        Pager->SetActivePageIndex(0);
        Pager->OnTabClick = [this](TObject*, int I) { Log.push_back("click " + std::to_string(I)); };
        Pager->OnTabRightClick = [this](TObject*, int I) { Log.push_back("right " + std::to_string(I)); };
        Pager->OnTabDblClick = [this](TObject*, int I) { Log.push_back("dbl " + std::to_string(I)); };
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    TPoint TabCentre(int I)
    {
        const TRect R = Pager->GetTabRect(I);
        return Point((R.left + R.right) / 2, (R.top + R.bottom) / 2);
    }
    void MoveTo(int X, int Y)
    {
        const TPoint S = Pager->ClientToScreen(Point(X, Y));
        SetCursorPos(S.x, S.y);
        SendMessageW(Pager->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    }
    void Press(UINT Down, UINT Up, WPARAM Keys, int I)
    {
        const TPoint P = TabCentre(I);
        MoveTo(P.x, P.y);
        SendMessageW(Pager->Handle(), Down, Keys, MAKELPARAM(P.x, P.y));
        SendMessageW(Pager->Handle(), Up, 0, MAKELPARAM(P.x, P.y));
    }

    TForm* Form = nullptr;
    TProOfficePager* Pager = nullptr;
    std::vector<TProOfficePage*> Pages;
    std::vector<std::string> Log;
};

TEST_F(PagerInput, ClicksActivateTabs)
{
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 2);
    EXPECT_EQ(Pager->ActivePageIndex(), 2);
    EXPECT_TRUE(Pages[2]->Visible());
    EXPECT_FALSE(Pages[0]->Visible());
    // The right button activates too, after its event.
    Press(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 1);
    EXPECT_EQ(Pager->ActivePageIndex(), 1);
    // A disabled tab becomes the down tab and changes nothing.
    Pages[3]->SetTabEnabled(false);
    const TPoint P = TabCentre(3);
    MoveTo(P.x, P.y);
    SendMessageW(Pager->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.x, P.y));
    EXPECT_EQ(Pager->DownTabIndex(), 3);
    EXPECT_EQ(Pager->ActivePageIndex(), 1);
    SendMessageW(Pager->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(P.x, P.y));
    EXPECT_EQ(Pager->DownTabIndex(), -1);
    SendMessageW(Pager->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(P.x, P.y));
    EXPECT_EQ(Log, (std::vector<std::string>{"click 2", "right 1", "click 3", "click 3", "dbl 3"}));
    // Below the strip nothing happens.
    SendMessageW(Pager->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.x, 100));
    SendMessageW(Pager->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(P.x, 100));
    EXPECT_EQ(Pager->ActivePageIndex(), 1);
}

TEST_F(PagerInput, ArrowKeysWalkTheSelectableTabs)
{
    Pager->SetFocus();
    gui::Settle();
    ASSERT_TRUE(Pager->Focused());
    Pages[1]->SetTabEnabled(false);
    struct Step {
        Word Key;
        int Expected;
    };
    const Step Steps[] = {{VK_RIGHT, 2}, {VK_RIGHT, 3}, {VK_RIGHT, 0}, {VK_LEFT, 3}, {VK_UP, 2}, {VK_UP, 0}, {VK_DOWN, 2}};
    for (const Step& S : Steps) {
        gui::PressKey(S.Key);
        gui::Settle();
        EXPECT_EQ(Pager->ActivePageIndex(), S.Expected) << "key " << S.Key;
    }
}

TEST_F(PagerInput, AltAcceleratorsActivateTheFirstVisibleTab)
{
    Pages[0]->SetCaption("&Mail");
    Pages[1]->SetCaption("&Notes");
    Pages[1]->SetTabVisible(false);
    Pages[2]->SetCaption("&notes");
    Pages[2]->SetTabEnabled(false);
    Pages[3]->SetCaption("R&&D &Journal");
    Pager->SetFocus();
    gui::Settle();
    ASSERT_TRUE(Pager->Focused());
    struct Step {
        Word Key;
        int Expected;
    };
    // N: the hidden tab is skipped, the disabled one taken, case aside; D
    // follows a literal ampersand and Z is in no caption: nothing changes.
    const Step Steps[] = {{'N', 2}, {'M', 0}, {'D', 0}, {'Z', 0}, {'J', 3}};
    for (const Step& S : Steps) {
        gui::PressAltKey(S.Key);
        EXPECT_EQ(Pager->ActivePageIndex(), S.Expected) << "Alt+" << static_cast<char>(S.Key);
    }
    // A pager that cannot take the focus, disabled or hidden, takes no
    // accelerator.
    Pager->SetEnabled(false);
    gui::PressAltKey('M');
    EXPECT_EQ(Pager->ActivePageIndex(), 3) << "disabled";
    Pager->SetEnabled(true);
    Pager->SetVisible(false);
    gui::PressAltKey('M');
    EXPECT_EQ(Pager->ActivePageIndex(), 3) << "hidden";
    Pager->SetVisible(true);
    gui::PressAltKey('M');
    EXPECT_EQ(Pager->ActivePageIndex(), 0) << "shown again";
}

TEST_F(PagerInput, HoverGlowFadesInAndOut)
{
    const TPoint P = TabCentre(2);
    MoveTo(P.x, P.y);
    EXPECT_EQ(Pager->HotTabIndex(), 2);
    EXPECT_TRUE(Pages[2]->GlowRunning());
    // Rises to the held 120 on the 50 ms timer.
    ASSERT_TRUE(gui::PumpUntil([&] { return Pages[2]->HoverGlow() == 120; }, 10000))
        << "level " << Pages[2]->HoverGlow();
    EXPECT_TRUE(Pages[2]->GlowRunning());
    // Moving to the page area fades it out even though the strip is not left
    // by a move message: the held glow checks the cursor itself.
    const TPoint Out = Pager->ClientToScreen(Point(P.x, 150));
    SetCursorPos(Out.x, Out.y);
    ASSERT_TRUE(gui::PumpUntil([&] { return !Pages[2]->GlowRunning(); }, 10000))
        << "level " << Pages[2]->HoverGlow();
    EXPECT_EQ(Pages[2]->HoverGlow(), -20);
    EXPECT_EQ(Pages[2]->GlowMode(), 2);
    EXPECT_EQ(Pager->HotTabIndex(), -1);
}

TEST_F(PagerInput, MovingToAnotherTabFadesTheFirstOut)
{
    MoveTo(TabCentre(1).x, TabCentre(1).y);
    MoveTo(TabCentre(2).x, TabCentre(2).y);
    EXPECT_EQ(Pager->HotTabIndex(), 2);
    EXPECT_TRUE(Pages[1]->GlowRunning());
    ASSERT_TRUE(gui::PumpUntil([&] { return Pages[1]->GlowMode() == 2; }, 10000));
    // Without glow there is no fade at all.
    Pager->SetGlow(false);
    MoveTo(TabCentre(3).x, TabCentre(3).y);
    EXPECT_EQ(Pager->HotTabIndex(), 3);
    EXPECT_FALSE(Pages[3]->GlowRunning());
}

TEST_F(PagerInput, ClickFlashEnds)
{
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 3);
    EXPECT_EQ(Pages[3]->GlowMode(), 1);
    ASSERT_TRUE(gui::PumpUntil([&] { return Pages[3]->GlowMode() == 2; }, 10000));
    EXPECT_EQ(Pages[3]->FlashGlow(), 0);
}

TEST_F(PagerInput, DragReordersTabs)
{
    std::vector<std::pair<int, int>> Moves;
    Pager->OnTabMoved = [&](TObject*, int From, int To) { Moves.emplace_back(From, To); };
    auto Drag = [&](int From, int To) {
        const TPoint A = TabCentre(From), B = TabCentre(To);
        MoveTo(A.x, A.y);
        SendMessageW(Pager->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(A.x, A.y));
        const TPoint S = Pager->ClientToScreen(B);
        SetCursorPos(S.x, S.y);
        SendMessageW(Pager->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(B.x, B.y));
        SendMessageW(Pager->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(B.x, B.y));
    };
    // Off: a drag only activates the pressed tab.
    Drag(1, 3);
    EXPECT_TRUE(Moves.empty());
    EXPECT_EQ(Pager->ActivePage(), Pages[1]);
    Pager->SetTabReorder(true);
    Drag(2, 0);
    EXPECT_EQ(Moves, (std::vector<std::pair<int, int>>{{2, 0}}));
    EXPECT_EQ(Pager->ProPages(0), Pages[2]);
    EXPECT_EQ(Pager->ActivePage(), Pages[2]);
    EXPECT_EQ(Pager->ActivePageIndex(), 0);
    // A press without a move of more than 4 pixels moves nothing.
    const TPoint A = TabCentre(3);
    MoveTo(A.x, A.y);
    SendMessageW(Pager->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(A.x, A.y));
    SendMessageW(Pager->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(A.x + 3, A.y));
    SendMessageW(Pager->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(A.x + 3, A.y));
    EXPECT_EQ(Moves.size(), 1u);
}

TEST_F(PagerInput, ShortCutHintsTypedThrough)
{
    const char* Hints[] = {"A", "BC", "BD", ""};
    for (int I = 0; I < 4; ++I)
        Pages[I]->SetShortCutHint(Hints[I]);
    Pager->SetShowShortCutHints(true);
    Pager->SetFocus();
    gui::Settle();
    ASSERT_TRUE(Pager->ShortCutHintsShown());
    ASSERT_NE(Pager->PageShortCutHint(1), nullptr);
    EXPECT_TRUE(Pager->PageShortCutHint(1)->Visible());
    // "B" keeps the two hints starting with it; "D" picks the third page.
    Word Key = 'B';
    SendMessageW(Pager->Handle(), WM_KEYDOWN, Key, 0);
    EXPECT_TRUE(Pager->ShortCutHintsShown());
    EXPECT_FALSE(Pager->PageShortCutHint(0)->Visible());
    EXPECT_TRUE(Pager->PageShortCutHint(2)->Visible());
    SendMessageW(Pager->Handle(), WM_KEYDOWN, 'D', 0);
    EXPECT_FALSE(Pager->ShortCutHintsShown());
    EXPECT_EQ(Pager->ActivePageIndex(), 2);

    // The form's window procedure is hooked while they show; a hook put on
    // the form after it stays in place when the hints go.
    Pager->ShowShortCutHints();
    ASSERT_TRUE(Pager->ShortCutHintsShown());
    // The hook outlives this function (the form is freed after it), so its
    // count lives as long as the hook.
    auto Seen = std::make_shared<int>(0);
    TWndMethod Before = Form->WindowProc;
    Form->WindowProc = [Seen, Before](TMessage& M) {
        ++*Seen;
        Before(M);
    };
    Pager->HideShortCutHints();
    SendMessageW(Form->Handle(), WM_NULL, 0, 0);
    EXPECT_EQ(*Seen, 1);
    // Hints shown again, then a resize of the form hides them.
    Pager->ShowShortCutHints();
    ASSERT_TRUE(Pager->ShortCutHintsShown());
    Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 10, Form->Height());
    gui::Settle();
    EXPECT_FALSE(Pager->ShortCutHintsShown());
    // Escape hides them.
    Pager->ShowShortCutHints();
    SendMessageW(Pager->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Pager->ShortCutHintsShown());
    EXPECT_GE(*Seen, 2);
}

TEST_F(PagerInput, ShortCutHintsTakeOutOnlyTheirOwnHookOnTheForm)
{
    Pages[0]->SetShortCutHint("A");
    Pager->SetShowShortCutHints(true);
    int Seen = 0;
    const auto Counting = [&Seen](TMessage& M, const TCallPrevious& Previous) {
        if (M.Msg == WM_NULL)
            ++Seen;
        Previous(M);
    };
    struct Case {
        const char* Name;
        std::function<void()> Hide;
    };
    const Case Cases[] = {
        // The pager's hook takes itself out while it handles the form's message.
        {"by a resize of the form",
         [this] {
             Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 10, Form->Height());
             gui::Settle();
         }},
        {"by the pager", [this] { Pager->HideShortCutHints(); }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Pager->ShowShortCutHints();
        ASSERT_TRUE(Pager->ShortCutHintsShown());
        // Hooked on the form after the pager's hook.
        TWindowHook Test = HookWindowProc(Form, Counting);
        Seen = 0;
        C.Hide();
        EXPECT_FALSE(Pager->ShortCutHintsShown());
        SendMessageW(Form->Handle(), WM_NULL, 0, 0);
        EXPECT_EQ(Seen, 1);
        EXPECT_TRUE(Test.Installed());
    }
}

TEST_F(PagerInput, CloseAndPageListButtons)
{
    auto* Menu = new TPopupMenu(Form);
    Pager->SetPageListMenu(Menu);
    Pager->ButtonSettings()->SetPageListButton(true);
    Pager->ButtonSettings()->SetCloseButton(true);
    Pager->SetFreeOnClose(true);
    gui::Settle();
    ASSERT_NE(Pager->CloseButtonControl(), nullptr);
    ASSERT_NE(Pager->PageListButtonControl(), nullptr);

    // The page list offers the visible tabs and activates the chosen one.
    Pages[1]->SetTabVisible(false);
    std::vector<gui::MenuEntry> Seen;
    {
        gui::PopupMenuAnswers Answer([&](TPopupMenu*, HMENU M, int, int) {
            Seen = gui::MenuEntries(M);
            return Seen.size() == 3 ? Seen[2].Command : 0u;
        });
        gui::Click(Pager->PageListButtonControl());
        gui::Settle();
    }
    ASSERT_EQ(Seen.size(), 3u);
    EXPECT_TRUE(Seen[0].Checked);
    EXPECT_EQ(Seen[1].Caption, gui::Utf8("通道三"));
    EXPECT_EQ(Pager->ActivePageIndex(), 3);

    // Closing from the button frees the page; the close button closes the
    // next active page on the next click.
    gui::Click(Pager->CloseButtonControl());
    gui::Settle();
    EXPECT_EQ(Pager->ProPageCount(), 3);
    EXPECT_EQ(Pager->ActivePage(), Pages[0]);
    gui::Click(Pager->CloseButtonControl());
    gui::Settle();
    EXPECT_EQ(Pager->ProPageCount(), 2);
    EXPECT_EQ(Pager->ActivePage(), Pages[2]);

    // With OnPageListClick the place is handed over instead of a menu.
    int Calls = 0;
    Pager->OnPageListClick = [&](TObject*, int, int) { ++Calls; };
    gui::Click(Pager->PageListButtonControl());
    gui::Settle();
    EXPECT_EQ(Calls, 1);
}

} // namespace

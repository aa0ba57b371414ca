// The pager's page list, active page and page operations, the page's
// properties and parent rules, with captions measured by a fixed measurer.

#include <gtest/gtest.h>

#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"
#include "tests/support/GuiHarness.h"

namespace {

class PagerModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 700, 300);
        Pager = new TProOfficePager(Form);
        Pager->TextMeasurer = [this](const String& C, const WideString& W) {
            ++Measured;
            return TSize{static_cast<LONG>(7 * (C.empty() ? W.size() : C.size())), 13};
        };
        Pager->SetParent(Form);
        Pager->SetBounds(0, 0, 600, 200);
        Pager->OnChanging = [this](TObject*, int From, int To, bool& Allow) {
            Log.push_back("changing " + std::to_string(From) + ">" + std::to_string(To));
            Allow = !Veto;
        };
        Pager->OnChange = [this](TObject*) { Log.push_back("change " + std::to_string(Pager->ActivePageIndex())); };
    }
    void TearDown() override { delete Form; }

    TProOfficePage* AddPage(const String& Caption)
    {
        auto* P = new TProOfficePage(Form);
        P->SetCaption(Caption);
        P->SetPager(Pager);
        return P;
    }
    void AddPages(int N)
    {
        for (int I = 0; I < N; ++I)
            Pages.push_back(AddPage("P" + std::to_string(I)));
    }
    // The one page that is visible, -1 when none, -2 when several.
    int ShownPage() const
    {
        int Shown = -1;
        for (int I = 0; I < Pager->ProPageCount(); ++I)
            if (Pager->ProPages(I)->Visible())
                Shown = Shown == -1 ? I : -2;
        return Shown;
    }

    TForm* Form = nullptr;
    TProOfficePager* Pager = nullptr;
    std::vector<TProOfficePage*> Pages;
    std::vector<std::string> Log;
    bool Veto = false;
    int Measured = 0;
};

TEST_F(PagerModel, NewPagerAndPagesAddedInCodeHaveNoActivePage)
{
    EXPECT_EQ(Pager->ActivePageIndex(), -1);
    EXPECT_EQ(Pager->ActivePage(), nullptr);
    EXPECT_EQ(Pager->Version(), "1.5.3.0");
    EXPECT_EQ(Pager->Width(), 600);
    AddPages(3);
    EXPECT_EQ(Pager->ActivePageIndex(), -1);
    EXPECT_EQ(Pager->ActivePage(), nullptr);
    EXPECT_EQ(ShownPage(), -1);
    for (TProOfficePage* P : Pages) {
        EXPECT_EQ(P->Pager(), Pager);
        EXPECT_EQ(P->Parent(), Pager);
    }
    EXPECT_TRUE(Log.empty());
}

TEST_F(PagerModel, ActivatingShowsOnePageAndFiresEvents)
{
    AddPages(3);
    Form->Show();
    int Shown = 0, Hidden = 0;
    Pages[1]->OnShow = [&](TObject*) { ++Shown; };
    Pages[0]->OnHide = [&](TObject*) { ++Hidden; };
    Pager->SetActivePage(Pages[0]);
    Pager->SetActivePageIndex(1);
    EXPECT_EQ(Pager->ActivePageIndex(), 1);
    EXPECT_EQ(Pager->ActivePage(), Pages[1]);
    EXPECT_EQ(ShownPage(), 1);
    EXPECT_EQ(Shown, 1);
    EXPECT_EQ(Hidden, 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing -1>0", "change 0", "changing 0>1", "change 1"}));

    Log.clear();
    Pager->SetActivePageIndex(1);   // the same index with several pages
    Pager->SetActivePageIndex(3);   // out of range
    Pager->SetActivePageIndex(-1);
    auto* Stranger = new TProOfficePage(Form);
    Pager->SetActivePage(Stranger);  // not in the list
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(Pager->ActivePageIndex(), 1);
}

TEST_F(PagerModel, SinglePageIsActivatedAgain)
{
    AddPages(1);
    Pager->SetActivePageIndex(0);
    Pager->SetActivePageIndex(0);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing -1>0", "change 0", "changing 0>0", "change 0"}));
    EXPECT_EQ(ShownPage(), 0);
}

TEST_F(PagerModel, VetoedChangeKeepsThePage)
{
    AddPages(3);
    Pager->SetActivePageIndex(0);
    Veto = true;
    Pager->SetActivePageIndex(2);
    EXPECT_EQ(Pager->ActivePageIndex(), 0);
    EXPECT_EQ(ShownPage(), 0);
}

TEST_F(PagerModel, HiddenTabsKeepTheirIndexes)
{
    AddPages(8);
    Pages[2]->SetTabVisible(false);
    EXPECT_EQ(Pages[5]->PageIndex(), 5);
    EXPECT_EQ(Pager->VisibleTabCount(), 7);
    EXPECT_FALSE(Pager->IsTabVisibleAt(2));
    EXPECT_TRUE(Pager->IsTabVisibleAt(5));
    EXPECT_FALSE(Pager->IsTabVisibleAt(8));
    Pager->SetActivePageIndex(5);
    EXPECT_EQ(Pager->ActivePageIndex(), 5);
    // Code may activate a page whose tab is hidden.
    Pager->SetActivePageIndex(2);
    EXPECT_EQ(ShownPage(), 2);
}

TEST_F(PagerModel, SelectNextPageWrapsAndSkips)
{
    struct Case {
        const char* Name;
        int Active;
        bool Forward;
        std::vector<int> Hidden, Disabled;
        int Expected;
    };
    const Case Cases[] = {
        {"forward from last wraps", 4, true, {}, {}, 0},
        {"backward from first wraps", 0, false, {}, {}, 4},
        {"skips hidden", 1, true, {2}, {}, 3},
        {"skips disabled", 1, true, {}, {2, 3}, 4},
        {"wrap skips hidden first", 4, true, {0}, {1}, 2},
        {"nothing else selectable", 2, true, {0, 1}, {3, 4}, 2},
    };
    AddPages(5);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        for (int I = 0; I < 5; ++I) {
            Pages[I]->SetTabVisible(true);
            Pages[I]->SetTabEnabled(true);
        }
        for (int I : C.Hidden)
            Pages[I]->SetTabVisible(false);
        for (int I : C.Disabled)
            Pages[I]->SetTabEnabled(false);
        Pager->SetActivePageIndex(C.Active);
        Pager->SelectNextPage(C.Forward);
        EXPECT_EQ(Pager->ActivePageIndex(), C.Expected);
        EXPECT_EQ(ShownPage(), C.Expected);
    }
}

TEST_F(PagerModel, RemovingPagesKeepsAValidShownIndex)
{
    AddPages(4);
    Pager->SetActivePageIndex(2);
    Log.clear();
    // A page before the active one: the same page stays, one index lower,
    // and the shift is not offered to OnChanging.
    Pages[0]->SetPager(nullptr);
    EXPECT_EQ(Pager->ActivePage(), Pages[2]);
    EXPECT_EQ(Pager->ActivePageIndex(), 1);
    EXPECT_EQ(Pages[0]->Pager(), nullptr);
    EXPECT_EQ(ShownPage(), 1);
    // The active page: the next selectable one takes over.
    delete Pages[2];
    EXPECT_EQ(Pager->ActivePage(), Pages[3]);
    EXPECT_EQ(ShownPage(), Pager->ActivePageIndex());
    // The last page of the list while active, nothing after it selectable.
    Pages[1]->SetTabVisible(false);
    delete Pages[3];
    EXPECT_EQ(Pager->ProPageCount(), 1);
    EXPECT_EQ(Pager->ActivePageIndex(), 0);
    EXPECT_EQ(ShownPage(), 0);
    delete Pages[1];
    EXPECT_EQ(Pager->ProPageCount(), 0);
    EXPECT_EQ(Pager->ActivePageIndex(), -1);
    EXPECT_EQ(Pager->ActivePage(), nullptr);
}

TEST_F(PagerModel, MovingTheActivePageKeepsItActive)
{
    AddPages(5);
    std::vector<std::pair<int, int>> Moves;
    Pager->OnTabMoved = [&](TObject*, int From, int To) { Moves.emplace_back(From, To); };
    Pager->SetActivePageIndex(0);
    Pager->MoveProPage(0, 3);
    EXPECT_EQ(Pager->ActivePageIndex(), 3);
    EXPECT_EQ(Pager->ActivePage(), Pages[0]);
    EXPECT_EQ(Pager->ProPages(0), Pages[1]);
    EXPECT_EQ(Moves, (std::vector<std::pair<int, int>>{{0, 3}}));
    Pager->MoveProPage(0, 5);
    Pager->MoveProPage(-1, 2);
    EXPECT_EQ(Moves.size(), 1u);
    // A page's PageIndex moves it; the count and -1 are ignored.
    Pages[4]->SetPageIndex(0);
    EXPECT_EQ(Pages[4]->PageIndex(), 0);
    Pages[4]->SetPageIndex(5);
    Pages[4]->SetPageIndex(-1);
    EXPECT_EQ(Pages[4]->PageIndex(), 0);
    EXPECT_EQ(Pager->ActivePage(), Pages[0]);
}

// A move that shifts the active page's index is a change of the active
// index: OnChanging from the old index to the new, then OnChange. A refusal
// cannot undo the move, so the same page stays active and shown; the page
// that lands on the old index is never hidden or told so.
TEST_F(PagerModel, MovesThatShiftTheActiveIndexAnnounceIt)
{
    AddPages(4);
    for (TProOfficePage* P : Pages)
        P->OnHide = [this](TObject* Sender) { Log.push_back("hide " + static_cast<TProOfficePage*>(Sender)->Caption()); };
    Pager->SetActivePageIndex(1);
    struct Case {
        int From, To;
        bool Refuse;
        int ActiveAfter;
        std::vector<std::string> Events;
    };
    // Pages P0..P3, P1 active at the start.
    const Case Cases[] = {
        {1, 3, false, 3, {"changing 1>3", "change 3"}},   // the active page itself
        {3, 0, false, 0, {"changing 3>0", "change 0"}},   // back to the front
        {2, 3, false, 0, {}},                             // behind it: no change
        {3, 0, false, 1, {"changing 0>1", "change 1"}},   // another page in front of it
        {1, 2, true, 2, {"changing 1>2"}},                // refused
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::to_string(C.From) + ">" + std::to_string(C.To));
        Log.clear();
        Veto = C.Refuse;
        Pager->MoveProPage(C.From, C.To);
        EXPECT_EQ(Log, C.Events);
        EXPECT_EQ(Pager->ActivePageIndex(), C.ActiveAfter);
        EXPECT_EQ(Pager->ActivePage(), Pages[1]);
        EXPECT_EQ(ShownPage(), C.ActiveAfter);
    }
}

// A move that leaves the active index alone sets it again: nothing with
// several pages, and a pager's only page is activated again, as setting its
// index would.
TEST_F(PagerModel, MoveOfTheOnlyPageActivatesItAgain)
{
    AddPages(1);
    Pages[0]->OnHide = [this](TObject*) { Log.push_back("hide"); };
    Pager->OnTabMoved = [this](TObject*, int From, int To) {
        Log.push_back("moved " + std::to_string(From) + ">" + std::to_string(To));
    };
    Pager->SetActivePageIndex(0);
    Log.clear();
    Pages[0]->SetPageIndex(0);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing 0>0", "hide", "change 0", "moved 0>0"}));
    EXPECT_EQ(ShownPage(), 0);

    AddPages(2);
    Log.clear();
    Pager->MoveProPage(0, 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"moved 0>0"}));
    EXPECT_EQ(ShownPage(), 0);
}

TEST_F(PagerModel, ClosingPages)
{
    AddPages(3);
    std::vector<int> Closed;
    bool Allow = true;
    Pager->OnClosePage = [&](TObject*, int, bool& A) { A = Allow; };
    Pager->OnClosedPage = [&](TObject*, int I) { Closed.push_back(I); };
    Pager->SetActivePageIndex(1);
    Allow = false;
    Pager->CloseActivePage();
    EXPECT_EQ(Pager->ActivePageIndex(), 1);
    EXPECT_TRUE(Closed.empty());
    Allow = true;
    // Without FreeOnClose the tab goes and the page stays in the list.
    Pager->CloseActivePage();
    EXPECT_FALSE(Pages[1]->TabVisible());
    EXPECT_EQ(Pager->ProPageCount(), 3);
    EXPECT_EQ(Pager->ActivePageIndex(), 2);
    // With FreeOnClose the page is freed.
    Pager->SetFreeOnClose(true);
    Pager->CloseActivePage();
    EXPECT_EQ(Pager->ProPageCount(), 2);
    EXPECT_EQ(Pager->ActivePage(), Pages[0]);
    EXPECT_EQ(ShownPage(), 0);
    EXPECT_EQ(Closed, (std::vector<int>{1, 2}));
    // Closing the last selectable page without freeing shows nothing.
    Pager->SetFreeOnClose(false);
    Pager->CloseActivePage();
    EXPECT_EQ(Pager->ActivePageIndex(), -1);
    EXPECT_EQ(ShownPage(), -1);
}

TEST_F(PagerModel, ClosingTheOnlyPageWithFreeOnCloseLeavesNoIndex)
{
    AddPages(1);
    Pager->SetFreeOnClose(true);
    Pager->SetActivePageIndex(0);
    Pager->CloseActivePage();
    EXPECT_EQ(Pager->ProPageCount(), 0);
    EXPECT_EQ(Pager->ActivePageIndex(), -1);
}

TEST_F(PagerModel, ParentRules)
{
    AddPages(3);
    auto* Inner = new TProOfficePager(Form);
    try {
        Inner->SetParent(Pager);
        ADD_FAILURE() << "a pager inside a pager was accepted";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "Invalid Parent");
    }
    // A page given another page as parent moves to that page's place.
    Pages[0]->SetParent(Pages[2]);
    EXPECT_EQ(Pages[0]->Parent(), Pager);
    EXPECT_EQ(Pages[0]->PageIndex(), 2);
    // A page given another pager moves there.
    Inner->SetParent(Form);
    Pages[1]->SetParent(Inner);
    EXPECT_EQ(Pages[1]->Pager(), Inner);
    EXPECT_EQ(Pager->ProPageCount(), 2);
    // A page of another pager given a page outside any pager.
    auto* Loose = new TProOfficePage(Form);
    Loose->SetParent(Form);
    try {
        Pages[2]->SetParent(Loose);
        ADD_FAILURE() << "a page without a pager as parent was accepted";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "Invalid Parent");
    }
    try {
        Pager->ProPages(5);
        ADD_FAILURE() << "read beyond the list";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "Index out of bounds in list read access");
    }
    TDbgList L;
    try {
        L.WriteItem(0, nullptr);
        ADD_FAILURE() << "write beyond the list";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "Index out of bounds in list write access");
    }
    // A negative index is the plain list's error.
    try {
        Pager->ProPages(-1);
        ADD_FAILURE() << "read before the list";
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message, "List index out of bounds (-1)");
    }
    try {
        L.WriteItem(-1, nullptr);
        ADD_FAILURE() << "write before the list";
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message, "List index out of bounds (-1)");
    }
}

TEST_F(PagerModel, PagePropertiesReachThePager)
{
    AddPages(2);
    Pager->SetActivePageIndex(0);
    Measured = 0;
    Pages[0]->SetWideCaption(L"wide");   // the caption wins: no new layout
    EXPECT_EQ(Measured, 0);
    Pages[1]->SetCaption("");
    Measured = 0;
    Pages[1]->SetWideCaption(L"wide");
    EXPECT_GT(Measured, 0);
    EXPECT_EQ(RectWidth(Pager->GetTabRect(1)), 4 + 28 + 5 + 4);
    Measured = 0;
    Pages[0]->SetCaption("P0");           // unchanged
    EXPECT_EQ(Measured, 0);
    Pages[0]->SetCaption("longer");
    EXPECT_GT(Measured, 0);
    // The page's children sit 2 pixels inside it.
    const TRect C = Pages[0]->ClientRect();
    EXPECT_EQ(C.left, 2);
    EXPECT_EQ(C.top, 2);
    EXPECT_EQ(RectWidth(C), Pages[0]->Width() - 4);
}

// The tab shows whether its page is enabled, so enabling or disabling a
// page repaints the pager over that tab.
TEST_F(PagerModel, PageEnabledRepaintsItsTab)
{
    AddPages(3);
    Pager->SetActivePageIndex(0);
    Form->Show();
    gui::Settle();
    for (bool Enabled : {false, true}) {
        SCOPED_TRACE(Enabled ? "enabled" : "disabled");
        ValidateRect(Pager->Handle(), nullptr);
        ASSERT_FALSE(GetUpdateRect(Pager->Handle(), nullptr, FALSE));
        Pages[2]->SetEnabled(Enabled);
        RECT Update{};
        ASSERT_TRUE(GetUpdateRect(Pager->Handle(), &Update, FALSE));
        const TRect Tab = Pager->GetTabRect(2);
        RECT Both{};
        EXPECT_TRUE(IntersectRect(&Both, &Update, &Tab));
    }
}

TEST_F(PagerModel, StylerAndPagerForgetEachOther)
{
    auto* Styler = new TCustomProOfficePagerStyler(Form);
    Pager->SetProOfficePagerStyler(Styler);
    EXPECT_EQ(Pager->CurrentStyler(), Styler);
    EXPECT_EQ(Styler->PagerCount(), 1);
    delete Styler;
    EXPECT_EQ(Pager->ProOfficePagerStyler(), nullptr);
    EXPECT_EQ(Pager->CurrentStyler(), Pager->InternalStyler());
    EXPECT_EQ(Pager->InternalStyler()->Name(), "InternalStyler");

    auto* Second = new TCustomProOfficePagerStyler(Form);
    Pager->SetProOfficePagerStyler(Second);
    delete Pager;
    Pager = nullptr;
    EXPECT_EQ(Second->PagerCount(), 0) << "a change of the styler reaches no freed pager";
}

} // namespace

// Text search in the grid and the search bar at its bottom edge, driven
// through the bar's own controls in a real window.

#include <gtest/gtest.h>

#include "framework/Form.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/SearchFooter.h"
#include "grid/interaction/SearchPanel.h"
#include "tests/support/GuiHarness.h"

namespace {

// A file beside the test program.
std::string BesideExe(const std::string& Name)
{
    char Path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir = Path;
    return Dir.substr(0, Dir.find_last_of('\\') + 1) + Name;
}

std::string Coord(TGridCoord C) { return std::to_string(C.X) + "," + std::to_string(C.Y); }

// Columns 1..3 and rows 1..5 hold text; column 0 and row 0 are fixed.
//        col1     col2     col3
// row1   apple    Banana   cherry
// row2   grape    apple    ""
// row3   melon    kiwi     Apple pie
// row4   lemon    APPLE    lime
// row5   pear     plum     fig
void Fill(TProStringGrid* G)
{
    G->SetColCount(4);
    G->SetRowCount(6);
    const char* Texts[5][3] = {{"apple", "Banana", "cherry"},
                               {"grape", "apple", ""},
                               {"melon", "kiwi", "Apple pie"},
                               {"lemon", "APPLE", "lime"},
                               {"pear", "plum", "fig"}};
    for (int R = 0; R < 5; ++R)
        for (int C = 0; C < 3; ++C)
            G->SetCells(C + 1, R + 1, Texts[R][C]);
}

class SearchBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 640, 300);
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, 610, 240);
        Fill(G);
        G->SetDefaultColWidth(110);
        Form->Show();
        G->SearchFooter()->SetVisible(true);
        gui::Settle();
        P = G->SearchPanel();
    }
    void TearDown() override { delete Form; }
    // Types into the search edit as the user does (the multi-line edit
    // reports no change for text set by code).
    void TypeMore(const String& Text)
    {
        P->SearchEdit()->SetFocus();
        gui::Settle();
        gui::TypeText(Text);
        gui::Settle();
    }
    void ClearEdit()
    {
        P->SearchEdit()->SetFocus();
        P->SearchEdit()->SelectAll();
        gui::PressKey(VK_BACK);
        gui::Settle();
    }
    void Type(const String& Text)
    {
        ClearEdit();
        TypeMore(Text);
    }

    TForm* Form = nullptr;
    TProStringGrid* G = nullptr;
    TSearchPanel* P = nullptr;
};

} // namespace

TEST(SearchCells, WalksColumnsTopToBottomWithTheOptions)
{
    TProStringGrid G(nullptr);
    Fill(&G);
    struct Case {
        const char* Name;
        TGridCoord Start;
        const char* Text;
        TFindParams Options;
        const char* Found;
    } Cases[] = {
        {"first, without case", {-1, -1}, "apple", 0, "1,1"},
        {"next in the same column", {1, 1}, "e", 0, "1,2"},
        {"column after column", {1, 5}, "apple", 0, "2,2"},
        {"with case", {-1, -1}, "Apple", soCaseSensitive, "3,3"},
        {"at the start only", {-1, -1}, "PIE", soAtStart, "-1,-1"},
        {"at the start", {-1, -1}, "app", soAtStart, "1,1"},
        {"backwards from the end", {-1, -1}, "apple", soBackward, "3,3"},
        {"backwards from a match", {3, 3}, "apple", soBackward, "2,4"},
        {"after the last match", {3, 3}, "apple", 0, "-1,-1"},
        {"from the last cell on", {3, 5}, "e", 0, "-1,-1"},
        {"empty cells only", {-1, -1}, "\"\"", 0, "3,2"},
    };
    for (const Case& C : Cases) {
        TGridCoord Found{9, 9};
        G.SearchCells(C.Start, C.Text, Found, C.Options);
        EXPECT_EQ(Coord(Found), C.Found) << C.Name;
    }
    // A preset column limits the search; it wins over the current column.
    G.PresetSearchColumn = 2;
    TGridCoord Found;
    G.SearchCells(TGridCoord{-1, -1}, "apple", Found, soPresetColumn | soCurrentColOnly);
    EXPECT_EQ(Coord(Found), "2,2");
    G.SearchCells(Found, "apple", Found, soPresetColumn);
    EXPECT_EQ(Coord(Found), "2,4");
    G.SearchCells(Found, "apple", Found, soPresetColumn);
    EXPECT_EQ(Coord(Found), "-1,-1");
    // A match selects its cell when asked.
    G.SearchCells(TGridCoord{-1, -1}, "kiwi", Found, soSelectFound);
    EXPECT_EQ(G.Col(), 2);
    EXPECT_EQ(G.Row(), 3);
    EXPECT_EQ(Coord(G.LastFoundCell), "2,3");

    // Highlight tags do not hide a match of the plain text.
    G.SetCells(3, 5, "<hi>ab</hi>c");
    G.SearchCells(TGridCoord{-1, -1}, "abc", Found, soPlainText);
    EXPECT_EQ(Coord(Found), "3,5");
    G.SearchCells(TGridCoord{-1, -1}, "abc", Found, 0);
    EXPECT_EQ(Coord(Found), "-1,-1");

    // With nodes the range grows by the hidden rows but stays inside the
    // grid: no row past the last one is read (it would count as empty).
    TProStringGrid Nodes(nullptr);
    Fill(&Nodes);
    Nodes.SetCells(3, 2, "x");
    Nodes.AddNode(1, 3);
    Nodes.ContractNode(1);
    ASSERT_EQ(Nodes.RowCount(), 4);
    Nodes.SearchCells(TGridCoord{-1, -1}, "\"\"", Found, 0);
    EXPECT_EQ(Coord(Found), "-1,-1");
    Nodes.SearchCells(TGridCoord{-1, -1}, "fig", Found, 0);
    EXPECT_EQ(Coord(Found), "3,3");
}

TEST_F(SearchBar, TypingSearchesFromTheFirstCellAndMarksAMiss)
{
    EXPECT_TRUE(P->Visible());
    EXPECT_EQ(P->Height(), 32);
    EXPECT_FALSE(P->FindNextButton()->Enabled());
    std::vector<std::string> Actions;
    G->OnSearchFooterAction = [&](TObject*, const String& V, int C, int R, TSearchAction A) {
        Actions.push_back(std::to_string(A) + " " + V + " " + std::to_string(C) + "," + std::to_string(R));
    };
    TypeMore("le");
    EXPECT_TRUE(P->FindNextButton()->Enabled());
    EXPECT_EQ(Coord(G->LastFoundCell), "1,1");
    TypeMore("m");
    EXPECT_EQ(Coord(G->LastFoundCell), "1,4") << "typing more searches again from the first cell";
    EXPECT_EQ(G->Row(), 4);
    EXPECT_EQ(P->SearchEdit()->Color(), clWindow);
    TypeMore("x");
    EXPECT_EQ(Coord(G->LastFoundCell), "-1,-1");
    EXPECT_EQ(P->SearchEdit()->Color(), clRed);
    ClearEdit();
    EXPECT_EQ(P->SearchEdit()->Color(), clWindow);
    EXPECT_FALSE(P->FindNextButton()->Enabled());
    const std::vector<std::string> Expected = {"0 l 1,1", "0 le 1,1", "0 lem 1,4", "0 lemx -1,-1"};
    EXPECT_EQ(Actions, Expected);
}

TEST_F(SearchBar, FindNextPreviousReturnAndTheSearchColumn)
{
    Type("apple");
    EXPECT_EQ(Coord(G->LastFoundCell), "1,1");
    gui::Click(P->FindNextButton());
    EXPECT_EQ(Coord(G->LastFoundCell), "2,2");
    // Return in the edit finds the next one too.
    SendMessageW(P->SearchEdit()->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Coord(G->LastFoundCell), "2,4");
    gui::Click(P->FindPrevButton());
    EXPECT_EQ(Coord(G->LastFoundCell), "2,2");
    gui::Click(P->FindNextButton());
    gui::Click(P->FindNextButton());
    EXPECT_EQ(Coord(G->LastFoundCell), "3,3");
    gui::Click(P->FindNextButton());
    EXPECT_EQ(Coord(G->LastFoundCell), "-1,-1") << "no wrap at the end";
    gui::Click(P->FindNextButton());
    EXPECT_EQ(Coord(G->LastFoundCell), "1,1") << "after a miss the search starts over";

    P->MatchCaseBox()->SetChecked(true);
    Type("APPLE");
    EXPECT_EQ(Coord(G->LastFoundCell), "2,4");
    P->MatchCaseBox()->SetChecked(false);

    G->SearchFooter()->SetSearchColumn(3);
    Type("appl");
    EXPECT_EQ(Coord(G->LastFoundCell), "3,3");
    G->SearchFooter()->SetSearchColumn(9);
    Type("apple");
    EXPECT_EQ(Coord(G->LastFoundCell), "1,1") << "a column out of range searches everything";
}

TEST_F(SearchBar, HighlightingAndClosingTheBar)
{
    // A cell's own tags of the highlight's name are not the search's to remove.
    G->SetCells(3, 5, "f<HI>i</HI>g pl");
    Type("pl");
    gui::Click(P->HighlightButton());
    ASSERT_TRUE(P->HighlightButton()->Down());
    EXPECT_EQ(G->Cells(1, 1), "ap<hi>pl</hi>e");
    EXPECT_EQ(G->Cells(2, 5), "<hi>pl</hi>um");
    EXPECT_EQ(G->Cells(0, 0), "");
    // The highlighted text is still found.
    Type("apple");
    EXPECT_EQ(Coord(G->LastFoundCell), "1,1");
    EXPECT_EQ(G->Cells(1, 1), "<hi>apple</hi>");
    gui::SaveScreenshot(Form, BesideExe("search-footer.png"));

    bool Closed = false;
    G->OnSearchFooterClose = [&](TObject*) { Closed = true; };
    gui::Click(P->CloseButton());
    EXPECT_TRUE(Closed);
    EXPECT_FALSE(G->SearchFooter()->Visible());
    EXPECT_FALSE(P->Visible());
    EXPECT_EQ(P->Height(), 0);
    for (int R = 1; R < 6; ++R)
        for (int C = 1; C < 4; ++C)
            EXPECT_EQ(G->Cells(C, R).find("<hi>"), String::npos) << "cell " << C << "," << R;
    EXPECT_EQ(G->Cells(3, 5), "f<HI>i</HI>g pl");
    EXPECT_EQ(G->Cells(1, 1), "apple");
}

TEST_F(SearchBar, ShowSettingsPlaceTheControls)
{
    EXPECT_EQ(P->MatchCaseBox()->Left(), 425);
    G->SearchFooter()->SetShowHighLight(false);
    EXPECT_FALSE(P->HighlightButton()->Visible());
    EXPECT_EQ(P->MatchCaseBox()->Left(), 330);
    G->SearchFooter()->SetShowFindPrev(false);
    EXPECT_FALSE(P->FindPrevButton()->Visible());
    EXPECT_EQ(P->FindPrevButton()->Height(), 0);
    G->SearchFooter()->SetFindNextCaption("Onward");
    EXPECT_EQ(P->FindNextButton()->Caption(), "Onward");
    G->SearchFooter()->SetHintFindNext("");
    EXPECT_FALSE(P->FindNextButton()->ShowHint());
}

TEST(SortedPrefix, FindsTheFirstRowOfTheSortColumnThatStartsWithTheText)
{
    TProStringGrid G(nullptr);
    Fill(&G);
    G.SetCells(2, 3, "<b>KI</b>wi");
    struct Case {
        bool Show;
        int Column;
        const char* Text;
        int Row;
    } Cases[] = {
        {false, 2, "ME", 3},          // without sort marks the first normal column
        {false, 2, "PEAR", 5},
        {false, 2, "PEARS", -1},
        {true, 2, "KIW", 3},          // plain text of the sort column
        {true, 2, "AP", 2},
        {true, -1, "AP", -1},
    };
    for (const Case& C : Cases) {
        G.SortSettings()->Show = C.Show;
        G.SortSettings()->Column = C.Column;
        EXPECT_EQ(G.FindSortedPrefixRow(C.Text), C.Row) << C.Text << " in column " << C.Column;
    }
}

// Sorting the grid's rows: the sort styles as tables under a chosen locale,
// blanks, tie-breaks, the indexed sort, the current row, single-column
// sorts, restoring the first order, and what a raising hook leaves behind.

#include <gtest/gtest.h>

#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "tests/grid/sorting/SortingHelpers.h"
#include "tests/grid/utils/LocaleScope.h"

namespace {

struct TStyleCase {
    const char* Name;
    TSortStyle Style;          // ssAutomatic: no format handler
    bool AutoFormat;
    TSortDirection Direction;
    String Prefix;
    std::vector<String> Input;
    std::vector<String> Expected;
};

TEST(GridSort, StylesOrderAColumn)
{
    TLocaleScope Scope(LocaleEnglishUS);
    ExpectFormats('.', ',', '/', "MDY");
    const std::vector<TStyleCase> Cases = {
        {"automatic numbers", ssAutomatic, true, sdAscending, "", {"10", "9", "100"}, {"9", "10", "100"}},
        {"alphabetic numbers", ssAlphabetic, true, sdAscending, "", {"10", "9", "100"}, {"10", "100", "9"}},
        {"no auto format", ssAutomatic, false, sdAscending, "", {"10", "9", "100"}, {"10", "100", "9"}},
        {"automatic descending", ssAutomatic, true, sdDescending, "", {"10", "9", "100"}, {"100", "10", "9"}},
        {"alpha no case", ssAlphaNoCase, true, sdAscending, "", {"b", "A", "a"}, {"A", "a", "b"}},
        {"alpha case", ssAlphaCase, true, sdAscending, "", {"b", "A", "a"}, {"A", "a", "b"}},
        {"numeric empty is zero", ssNumeric, true, sdAscending, "", {"5", "", "-2"}, {"-2", "", "5"}},
        {"financial with prefix", ssFinancial, true, sdAscending, "$", {"$1,200.50", "$99", "$1,000"},
         {"$99", "$1,000", "$1,200.50"}},
        // Against a number, a text with a leading number counts as that number.
        {"numeric leading number", ssNumeric, true, sdAscending, "", {"12 inches", "7", "3"},
         {"3", "7", "12 inches"}},
        {"numeric no hexadecimal", ssNumeric, true, sdAscending, "", {"7", "0x20", "3"}, {"0x20", "3", "7"}},
        {"numeric exponent", ssNumeric, true, sdAscending, "", {"1e3", "2.5", "-1E-2"}, {"-1E-2", "2.5", "1e3"}},
        {"automatic dates", ssAutomatic, true, sdAscending, "", {"12/05/2008", "5/12/2008", "1/1/2009"},
         {"5/12/2008", "12/05/2008", "1/1/2009"}},
        {"automatic date and time", ssAutomatic, true, sdAscending, "",
         {"12/05/2008 10:30", "12/05/2008 9:15", "11/05/2008 23:00"},
         {"11/05/2008 23:00", "12/05/2008 9:15", "12/05/2008 10:30"}},
        {"automatic times", ssAutomatic, true, sdAscending, "", {"10:30", "9:05", "23:59"},
         {"9:05", "10:30", "23:59"}},
        {"year first is text", ssAutomatic, true, sdAscending, "", {"2008/05/12", "2007/12/31", "1999/01/01"},
         {"1999/01/01", "2007/12/31", "2008/05/12"}},
        {"short date EU", ssShortDateEU, true, sdAscending, "", {"31/12/2008", "01/01/2009", "15/06/2008"},
         {"15/06/2008", "31/12/2008", "01/01/2009"}},
        {"short date EU impossible is day 0", ssShortDateEU, true, sdAscending, "",
         {"15/06/2008", "31/02/08", "01/01/2009"}, {"31/02/08", "15/06/2008", "01/01/2009"}},
        {"short date US", ssShortDateUS, true, sdAscending, "", {"12/31/2008", "01/01/2009", "06/15/2008"},
         {"06/15/2008", "12/31/2008", "01/01/2009"}},
        {"short date US impossible is day 0", ssShortDateUS, true, sdDescending, "",
         {"02/31/2008", "01/01/2009", "06/15/2008"}, {"01/01/2009", "06/15/2008", "02/31/2008"}},
        {"alpha numeric", ssAlphaNumeric, true, sdAscending, "", {"10", "9", "100"}, {"9", "10", "100"}},
        {"html plain text", ssHTML, true, sdAscending, "", {"<b>b</b>", "a", "<i>c</i>"},
         {"a", "<b>b</b>", "<i>c</i>"}},
        {"html entities stay", ssHTML, true, sdAscending, "", {"&quot;", "<b>#</b>"}, {"<b>#</b>", "&quot;"}},
        {"ansi no case", ssAnsiAlphaNoCase, true, sdAscending, "", {"b", "A", "c"}, {"A", "b", "c"}},
        {"unicode", ssUnicode, true, sdAscending, "", {"b", "C", "a"}, {"a", "b", "C"}},
    };
    for (const auto& C : Cases) {
        auto G = ColumnGrid(C.Input);
        G->SortSettings()->AutoFormat = C.AutoFormat;
        G->SortSettings()->Direction = C.Direction;
        if (C.Style != ssAutomatic || !C.Prefix.empty())
            G->OnGetFormat = [&C](TObject*, int, TSortStyle& S, String& Prefix, String&) {
                if (C.Style != ssAutomatic)
                    S = C.Style;
                Prefix = C.Prefix;
            };
        G->SortRows();
        EXPECT_EQ(ColumnOf(*G, 0), C.Expected) << C.Name;
        EXPECT_EQ(G->RowCount(), static_cast<int>(C.Input.size())) << C.Name;
    }
}

TEST(GridSort, CustomRawCheckBoxAndImageStyles)
{
    // Custom: longer texts sort later.
    auto G = ColumnGrid({"ccc", "a", "bb"});
    G->OnGetFormat = [](TObject*, int, TSortStyle& S, String&, String&) { S = ssCustom; };
    G->OnCustomCompare = [](TObject*, const String& A, const String& B, int& Res) {
        Res = A.size() < B.size() ? -1 : (A.size() > B.size() ? 1 : 0);
    };
    G->SortRows();
    EXPECT_EQ(ColumnOf(*G, 0), (std::vector<String>{"a", "bb", "ccc"}));

    // Raw: the handler sees rows and decides by the texts' last character.
    auto R = ColumnGrid({"x3", "y1", "z2"});
    R->OnGetFormat = [](TObject*, int, TSortStyle& S, String&, String&) { S = ssRaw; };
    TProStringGrid* RG = R.get();
    R->OnRawCompare = [RG](TObject*, int Col, int Row1, int Row2, int& Res) {
        const char A = RG->Cells(Col, Row1).back();
        const char B = RG->Cells(Col, Row2).back();
        Res = A < B ? -1 : (A > B ? 1 : 0);
    };
    R->SortRows();
    EXPECT_EQ(ColumnOf(*R, 0), (std::vector<String>{"y1", "z2", "x3"}));

    // Check boxes under the automatic style: unchecked before checked.
    auto C = MakeGrid(2, 4);
    for (int Row = 0; Row < 4; ++Row) {
        C->PutCheckBox(0, Row, Row % 2 == 0, false);
        C->SetCells(1, Row, std::to_string(Row));
    }
    C->SortRows();
    std::vector<bool> States;
    for (int Row = 0; Row < 4; ++Row) {
        bool S = false;
        ASSERT_TRUE(C->GetCheckBoxState(0, Row, S));
        States.push_back(S);
    }
    EXPECT_EQ(States, (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(ColumnOf(*C, 1), (std::vector<String>{"1", "3", "0", "2"}));
}

TEST(GridSort, IgnoreBlanksPlacesEmptyCellsInBothDirections)
{
    struct TCase {
        TSortBlankPosition Pos;
        TSortDirection Dir;
        std::vector<String> Expected;
    };
    const std::vector<TCase> Cases = {
        {blLast, sdAscending, {"a", "b", "", ""}},
        {blLast, sdDescending, {"b", "a", "", ""}},
        {blFirst, sdAscending, {"", "", "a", "b"}},
        {blFirst, sdDescending, {"", "", "b", "a"}},
    };
    for (const auto& C : Cases) {
        auto G = ColumnGrid({"b", "", "a", ""});
        G->SortSettings()->IgnoreBlanks = true;
        G->SortSettings()->BlankPos = C.Pos;
        G->SortSettings()->Direction = C.Dir;
        G->SortRows();
        EXPECT_EQ(ColumnOf(*G, 0), C.Expected) << "pos " << C.Pos << " dir " << C.Dir;
    }
}

TEST(GridSort, FullBreaksTiesByTheColumnsToTheRightOnly)
{
    auto G = GridOf({{"z", "1", "b"}, {"y", "1", "a"}, {"x", "0", "c"}, {"w", "1", "a"}});
    G->SortSettings()->Column = 1;
    G->SortRows();
    EXPECT_EQ(ColumnOf(*G, 1), (std::vector<String>{"0", "1", "1", "1"}));
    EXPECT_EQ(ColumnOf(*G, 2), (std::vector<String>{"c", "a", "a", "b"}));
    // Column 0 never breaks a tie: the two rows equal in columns 1 and 2
    // hold y and w in some order.
    EXPECT_EQ(G->Cells(0, 3), "z");
    EXPECT_EQ(G->Cells(0, 0), "x");
}

TEST(GridSort, IndexedSortByColumnTwoThenColumnZeroDescending)
{
    const TTextTable Data = {{"1", "p", "b"}, {"3", "q", "a"}, {"2", "r", "b"}, {"5", "s", "a"}, {"4", "t", "b"}};
    auto G = GridOf(Data);
    G->SortIndexList()->AddSortColumn(2, true);
    G->SortIndexList()->AddSortColumn(0, false);
    G->SortRowsIndexed();
    EXPECT_EQ(ColumnOf(*G, 2), (std::vector<String>{"a", "a", "b", "b", "b"}));
    EXPECT_EQ(ColumnOf(*G, 0), (std::vector<String>{"5", "3", "4", "2", "1"}));
    EXPECT_EQ(G->SortIndexList()->Count(), 2);

    // Without Full only the first entry counts: column 2 is in order.
    auto H = GridOf(Data);
    H->SortSettings()->Full = false;
    H->SortIndexList()->AddSortColumn(2, false);
    H->SortIndexList()->AddSortColumn(0, true);
    H->SortRowsIndexed();
    EXPECT_EQ(ColumnOf(*H, 2), (std::vector<String>{"b", "b", "b", "a", "a"}));

    // A plain sort clears the list.
    G->SortRows();
    EXPECT_EQ(G->SortIndexList()->Count(), 0);
}

TEST(GridSort, IndexedSortWithoutIndexesRaisesAndLeavesTheGrid)
{
    auto G = GridOf({{"2"}, {"1"}});
    try {
        G->SortRowsIndexed();
        FAIL() << "no exception";
    } catch (const EProGridError& E) {
        EXPECT_STREQ(E.what(), "No indexes specified for indexed sort");
    }
    EXPECT_EQ(ColumnOf(*G, 0), (std::vector<String>{"2", "1"}));
    EXPECT_EQ(G->RowCount(), 2);
    EXPECT_EQ(G->UpdateCount(), 0);
}

TEST(GridSort, SortRowMustBeAFixedRow)
{
    auto G = GridOf({{"a"}, {"b"}}, 1);
    G->SortSettings()->SetRow(0);
    for (int V : {1, 5}) {
        try {
            G->SortSettings()->SetRow(V);
            FAIL() << "row " << V << " accepted";
        } catch (const Exception& E) {
            EXPECT_STREQ(E.what(), "Sort row should be smaller than number of fixed rows");
        }
        EXPECT_EQ(G->SortSettings()->Row, 0);
    }
    auto NoFixed = GridOf({{"a"}});
    EXPECT_THROW(NoFixed->SortSettings()->SetRow(0), Exception);
}

TEST(GridSort, FixedRowsFootersHeightsAndCellObjectsStayWithTheirRows)
{
    auto G = GridOf({{"c", "3"}, {"a", "1"}, {"b", "2"}, {"f", "foot"}}, 1);
    G->SetFixedFooters(1);
    G->SetRowHeights(1, 40);           // row "c"
    G->SetCellBrushColor(1, 2, clRed); // row "a"
    G->SortRows();
    EXPECT_EQ(ColumnOf(*G, 0), (std::vector<String>{"H0", "a", "b", "c", "f"}));
    EXPECT_EQ(ColumnOf(*G, 1), (std::vector<String>{"H1", "1", "2", "3", "foot"}));
    EXPECT_EQ(G->RowHeights(3), 40);
    EXPECT_EQ(G->RowHeights(1), G->DefaultRowHeight());
    EXPECT_EQ(G->GetCellBrushColor(1, 1), clRed);
    EXPECT_EQ(G->GetCellBrushColor(1, 2), clNone);
    // No scratch row is left behind.
    EXPECT_EQ(G->RowCount(), 5);
    EXPECT_EQ(G->NormalRowCount, 5);
    for (int R = 5; R < 8; ++R)
        EXPECT_EQ(G->Cells(0, R), "") << R;
}

TEST(GridSort, CurrentRowFollowsItsDataOnlyWithMoveRowOnSort)
{
    for (bool Move : {false, true}) {
        auto G = GridOf({{"c"}, {"a"}, {"b"}}, 1);
        G->Navigation()->MoveRowOnSort = Move;
        G->SetRow(1); // "c"
        std::vector<std::pair<int, int>> Updates;
        G->OnRowUpdate = [&](TObject*, int Old, int New) { Updates.emplace_back(Old, New); };
        G->SortRows();
        if (Move) {
            EXPECT_EQ(G->Row(), 3);
            EXPECT_EQ(G->Cells(0, G->Row()), "c");
            EXPECT_TRUE(Updates.empty());
        } else {
            EXPECT_EQ(G->Row(), 1);
            ASSERT_EQ(Updates.size(), 1u);
            EXPECT_EQ(Updates[0], std::make_pair(1, 1));
        }
    }
}

// With MoveRowOnSort the current row waits on the first scratch row while
// the rows move (a comparison hook sees it there), also in node sorts; a
// sort a hook breaks off leaves it on its row. Without it the row stays.
TEST(GridSort, CurrentRowWaitsOnAScratchRowDuringTheSort)
{
    struct TCase {
        const char* Name;
        bool Move;
        bool Nodes;
        bool Raise;
    };
    for (const TCase& Case : {TCase{"plain", true, false, false}, TCase{"nodes", true, true, false},
                              TCase{"raising", true, false, true}, TCase{"not moving", false, false, false}}) {
        auto G = GridOf({{"k"}, {"c"}, {"a"}, {"b"}}, 1);
        if (Case.Nodes)
            G->AddNode(1, 4);
        G->Navigation()->MoveRowOnSort = Case.Move;
        G->SetRow(2); // "c"
        std::vector<std::pair<int, int>> Seen; // current row, row count
        G->OnGetFormat = [](TObject*, int, TSortStyle& Style, String&, String&) { Style = ssCustom; };
        G->OnCustomCompare = [&](TObject*, const String& A, const String& B, int& Res) {
            Seen.emplace_back(G->Row(), G->RowCount());
            if (Case.Raise)
                throw Exception("stop");
            Res = A.compare(B) < 0 ? -1 : (A == B ? 0 : 1);
        };
        if (Case.Raise) {
            EXPECT_THROW(G->SortRows(), Exception) << Case.Name;
        } else if (Case.Nodes) {
            G->SortNodeGroups();
        } else {
            G->SortRows();
        }
        ASSERT_FALSE(Seen.empty()) << Case.Name;
        for (const auto& [Row, Rows] : Seen)
            EXPECT_EQ(Row, Case.Move ? Rows - 3 : 2) << Case.Name;
        EXPECT_EQ(G->RowCount(), 5) << Case.Name;
        if (Case.Move && !Case.Raise)
            EXPECT_EQ(G->Cells(0, G->Row()), "c") << Case.Name;
        else
            EXPECT_EQ(G->Row(), 2) << Case.Name;
    }
}

TEST(GridSort, SingleColumnMovesStoredTextsOfTheSortColumnOnly)
{
    auto G = GridOf({{"x", "3"}, {"y", "1"}, {"z", "2"}});
    G->SortSettings()->Column = 1;
    G->SortSettings()->SingleColumn = true;
    G->Navigation()->MoveRowOnSort = true;
    G->SetRow(0);
    // The display hook adds a mark; the mark must not become data.
    G->OnGetDisplText = [](TObject*, int ACol, int, String& Value) {
        if (ACol == 1 && !Value.empty())
            Value += "!";
    };
    G->SortRows();
    EXPECT_EQ(ColumnOf(*G, 1), (std::vector<String>{"1", "2", "3"}));
    EXPECT_EQ(ColumnOf(*G, 0), (std::vector<String>{"x", "y", "z"}));
    EXPECT_EQ(G->Row(), 0);
}

TEST(GridSort, NormalCellsOnlyKeepsColumnZeroInPlace)
{
    auto G = GridOf({{"n1", "k1", "3"}, {"n2", "k2", "1"}, {"n3", "k3", "2"}}, 0, 2);
    G->SortSettings()->Column = 2;
    G->SortSettings()->NormalCellsOnly = true;
    G->SortRows();
    EXPECT_EQ(ColumnOf(*G, 2), (std::vector<String>{"1", "2", "3"}));
    EXPECT_EQ(ColumnOf(*G, 1), (std::vector<String>{"k2", "k3", "k1"}));
    EXPECT_EQ(ColumnOf(*G, 0), (std::vector<String>{"n1", "n2", "n3"}));
}

TEST(GridSort, RestoreRowOrderAfterSeveralSorts)
{
    const TTextTable Data = {{"3", "b", "x"}, {"1", "c", "y"}, {"2", "a", "z"}, {"1", "a", "w"}};
    auto G = GridOf(Data, 1);
    const TTextTable Before = RowsOf(*G);
    G->SetRowHeights(2, 33);
    for (int Col : {0, 1, 2, 0}) {
        G->SortSettings()->Column = Col;
        G->SortSettings()->Direction = Col == 1 ? sdDescending : sdAscending;
        G->SortRows();
    }
    EXPECT_NE(RowsOf(*G), Before);
    G->RestoreRowOrder();
    EXPECT_EQ(RowsOf(*G), Before);
    EXPECT_EQ(G->RowHeights(2), 33);
    for (int R = 0; R < G->RowCount(); ++R)
        EXPECT_EQ(G->RowOrder()->GetInteger(R), R);
    // A second restore changes nothing.
    G->RestoreRowOrder();
    EXPECT_EQ(RowsOf(*G), Before);
}

TEST(GridSort, RestoreRowOrderAfterRowsChangedPermutesNothing)
{
    // Rows inserted and removed since the sort: the saved order no longer
    // names these rows, so nothing is moved.
    auto G = GridOf({{"3"}, {"1"}, {"2"}, {"0"}});
    G->SortRows();
    G->InsertRows(1, 1);
    G->SetCells(0, 1, "new");
    G->RemoveRows(4, 1);
    const TTextTable Now = RowsOf(*G);
    G->RestoreRowOrder();
    EXPECT_EQ(RowsOf(*G), Now);
    // A moved row drops the order too.
    auto M = GridOf({{"3"}, {"1"}, {"2"}});
    M->SortRows();
    M->MoveRowWithControls(0, 2);
    const TTextTable Moved = RowsOf(*M);
    M->RestoreRowOrder();
    EXPECT_EQ(RowsOf(*M), Moved);
}

TEST(GridSort, ARaisingHookLeavesTheGridWhole)
{
    auto G = GridOf({{"5"}, {"3"}, {"9"}, {"1"}, {"7"}}, 1);
    G->SetCellBrushColor(0, 3, clRed);
    // The format hook is asked once per column; the comparison hook it
    // names runs for every comparison and fails in the middle of the sort.
    int Calls = 0;
    G->OnGetFormat = [](TObject*, int, TSortStyle& Style, String&, String&) { Style = ssCustom; };
    G->OnCustomCompare = [&](TObject*, const String& A, const String& B, int& Res) {
        if (++Calls == 4)
            throw Exception("hook failed");
        Res = std::stoi(A) < std::stoi(B) ? -1 : (std::stoi(A) > std::stoi(B) ? 1 : 0);
    };
    EXPECT_THROW(G->SortRows(), Exception);
    EXPECT_EQ(G->RowCount(), 6);
    EXPECT_EQ(G->NormalRowCount, 6);
    EXPECT_EQ(G->UpdateCount(), 0);
    std::vector<String> Col = ColumnOf(*G, 0, 1);
    std::sort(Col.begin(), Col.end());
    EXPECT_EQ(Col, (std::vector<String>{"1", "3", "5", "7", "9"}));
    int Red = 0;
    for (int R = 1; R < 6; ++R)
        Red += G->GetCellBrushColor(0, R) == clRed;
    EXPECT_EQ(Red, 1);
    for (int R = 6; R < 9; ++R)
        EXPECT_EQ(G->Objects(0, R), nullptr) << R;
    // The grid sorts normally afterwards.
    G->OnGetFormat = nullptr;
    G->OnCustomCompare = nullptr;
    G->SortRows();
    EXPECT_EQ(ColumnOf(*G, 0, 1), (std::vector<String>{"1", "3", "5", "7", "9"}));
}

TEST(GridSort, AMergeAcrossSortedRowsIsSplitFirst)
{
    auto G = GridOf({{"3", "a"}, {"1", "b"}, {"2", "c"}});
    G->MergeCells(1, 0, 1, 2);
    G->SortRows();
    EXPECT_EQ(ColumnOf(*G, 0), (std::vector<String>{"1", "2", "3"}));
    for (int R = 0; R < 3; ++R)
        EXPECT_FALSE(G->IsMergedCell(1, R)) << R;
    EXPECT_EQ(ColumnOf(*G, 1), (std::vector<String>{"b", "c", "a"}));
}

// A sort keeps every merge whose rows it leaves together and in order; its
// covered cells compare with the merge's text, not with their own.
TEST(GridSort, AMergeWhoseRowsStayTogetherIsKept)
{
    // A single-column numeric sort of rows already in order moves nothing:
    // the merge over the sort column stays.
    auto G = GridOf({{"a", "1", "x"}, {"b", "2", "y"}, {"c", "3", "z"}});
    G->MergeCells(1, 1, 2, 1);
    G->SortSettings()->SingleColumn = true;
    G->SortSettings()->Column = 1;
    G->SortRows();
    EXPECT_EQ(ColumnOf(*G, 1), (std::vector<String>{"1", "2", "3"}));
    EXPECT_TRUE(G->IsMergedCell(2, 1));
    EXPECT_EQ(G->ReadCellText(2, 1), "2");
    EXPECT_EQ(G->Cells(2, 1), "y") << "the covered cell keeps its own text";

    // A whole-row sort of rows in order: the merge over column 0, rows 2-3,
    // shows "d" twice; its covered cell's own "a" takes no part.
    auto H = GridOf({{"b", "1"}, {"c", "2"}, {"d", "3"}, {"a", "4"}});
    H->MergeCells(0, 2, 1, 2);
    H->SortRows();
    EXPECT_EQ(ColumnOf(*H, 1), (std::vector<String>{"1", "2", "3", "4"}));
    EXPECT_TRUE(H->IsMergedCell(0, 3));
    EXPECT_EQ(H->BaseCell(0, 3).y, 2);
    EXPECT_EQ(H->ReadCellText(0, 3), "d");
    EXPECT_EQ(H->Cells(0, 3), "a");

    // Rows that move together in order take their merge with them.
    auto K = GridOf({{"3", "p"}, {"1", "q"}, {"2", "r"}});
    K->MergeCells(1, 1, 1, 2);
    K->SortRows();
    EXPECT_EQ(ColumnOf(*K, 0), (std::vector<String>{"1", "2", "3"}));
    EXPECT_TRUE(K->IsMergedCell(1, 1));
    EXPECT_EQ(K->BaseCell(1, 1).y, 0);
    EXPECT_EQ(K->ReadCellText(1, 1), "q");
    EXPECT_EQ(ColumnOf(*K, 1), (std::vector<String>{"q", "r", "p"}));
    EXPECT_FALSE(K->IsMergedCell(1, 2));
}

TEST(GridSort, RestoreRowOrderSplitsAMergeMadeAfterTheSortOnlyWhenItsRowsPart)
{
    auto G = GridOf({{"3", "a"}, {"1", "b"}, {"2", "c"}});
    G->SortRows();
    EXPECT_EQ(ColumnOf(*G, 0), (std::vector<String>{"1", "2", "3"}));
    // Rows 1 and 2 (2 and 3) are merged in column 1; restoring puts them apart.
    G->MergeCells(1, 1, 1, 2);
    ASSERT_TRUE(G->IsMergedCell(1, 2));
    G->RestoreRowOrder();
    EXPECT_EQ(ColumnOf(*G, 0), (std::vector<String>{"3", "1", "2"}));
    EXPECT_EQ(ColumnOf(*G, 1), (std::vector<String>{"a", "b", "c"}));
    for (int R = 0; R < 3; ++R) {
        EXPECT_FALSE(G->IsMergedCell(1, R)) << R;
        EXPECT_EQ(G->BaseCell(1, R).y, R) << R;
    }

    // Rows 0 and 1 (1 and 2) stay side by side: the merge moves down with them.
    auto H = GridOf({{"3", "a"}, {"1", "b"}, {"2", "c"}});
    H->SortRows();
    H->MergeCells(1, 0, 1, 2);
    H->RestoreRowOrder();
    EXPECT_EQ(ColumnOf(*H, 0), (std::vector<String>{"3", "1", "2"}));
    EXPECT_FALSE(H->IsMergedCell(1, 0));
    EXPECT_TRUE(H->IsMergedCell(1, 2));
    EXPECT_EQ(H->BaseCell(1, 2).y, 1);
    EXPECT_EQ(H->ReadCellText(1, 2), "b");

    // An order that moves nothing leaves the merge alone.
    auto K = GridOf({{"1", "a"}, {"2", "b"}, {"3", "c"}});
    K->SortRows();
    K->MergeCells(1, 0, 1, 2);
    K->RestoreRowOrder();
    EXPECT_TRUE(K->IsMergedCell(1, 1));
    EXPECT_EQ(K->BaseCell(1, 1).y, 0);
}

TEST(GridSort, NodeGroupsSortTheirChildrenOnly)
{
    auto G = GridOf({{"", "N1"}, {"", "c"}, {"", "a"}, {"", "b"}, {"", "N2"}, {"", "z"}, {"", "y"}, {"", "top"}});
    G->AddNode(0, 4);
    G->AddNode(4, 3);
    G->SortSettings()->Column = 1;
    G->SortNodeGroups();
    EXPECT_EQ(ColumnOf(*G, 1), (std::vector<String>{"N1", "a", "b", "c", "N2", "y", "z", "top"}));
    EXPECT_TRUE(G->IsNodeRow(0));
    EXPECT_TRUE(G->IsNodeRow(4));

    // Contracted nodes stay as they are.
    auto H = GridOf({{"", "N1"}, {"", "c"}, {"", "a"}, {"", "b"}});
    H->AddNode(0, 4);
    H->ContractNode(0);
    H->SortSettings()->Column = 1;
    H->SortNodeGroups();
    H->ExpandNode(0);
    EXPECT_EQ(ColumnOf(*H, 1), (std::vector<String>{"N1", "c", "a", "b"}));

    // Indexed within the nodes.
    auto I = GridOf({{"", "N1"}, {"", "c"}, {"", "a"}, {"", "b"}});
    I->AddNode(0, 4);
    I->SortIndexList()->AddSortColumn(1, false);
    I->SortNodeGroupsIndexed();
    EXPECT_EQ(ColumnOf(*I, 1), (std::vector<String>{"N1", "c", "b", "a"}));
}

TEST(GridSort, SortSettingsAssignCopiesAllButVirtualCells)
{
    TSortSettings A(nullptr);
    TSortSettings B(nullptr);
    A.Column = 3;
    A.Full = false;
    A.Row = 2;
    A.BlankPos = blLast;
    A.SortOnVirtualCells = false;
    A.HeaderColor = clRed;
    B.Assign(&A);
    EXPECT_EQ(B.Column, 3);
    EXPECT_FALSE(B.Full);
    EXPECT_EQ(B.Row, 2);
    EXPECT_EQ(B.BlankPos, blLast);
    EXPECT_EQ(B.HeaderColor, clRed);
    EXPECT_TRUE(B.SortOnVirtualCells);
}

} // namespace

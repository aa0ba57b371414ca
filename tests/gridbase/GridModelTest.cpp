// The grid model without a window: counts, storage beyond the counts, row
// lists, moves and deletes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/gridbase/GridTestGrid.h"

namespace {

void Fill(TStringGrid& Grid)
{
    for (int r = 0; r < Grid.RowCount(); ++r)
        for (int c = 0; c < Grid.ColCount(); ++c)
            Grid.SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
}

class TMarker : public TObject {};

} // namespace

TEST(GridModel, DefaultsAndCountLimits)
{
    TTestGrid grid;
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_EQ(grid.LeftCol(), 1);
    EXPECT_FALSE(grid.HandleAllocated());

    grid.SetRowCount(0);
    EXPECT_EQ(grid.RowCount(), 1) << "a count is at least 1";
    EXPECT_EQ(grid.FixedRows(), 0) << "the fixed rows are lowered below the count";
    EXPECT_EQ(grid.Row(), 0);
    grid.SetRowCount(5);
    EXPECT_THROW(grid.SetFixedRows(5), EInvalidGridOperation);
    EXPECT_THROW(grid.SetFixedCols(-1), EInvalidGridOperation);
    grid.SetFixedRows(2);
    EXPECT_EQ(grid.Row(), 2) << "the current row leaves the rows that became fixed";
    EXPECT_EQ(grid.TopRow(), 2);
}

TEST(GridModel, SizesAndHooks)
{
    TTestGrid grid;
    grid.SetColWidths(2, 100);
    grid.SetRowHeights(3, 40);
    grid.SetColWidths(2, 100);
    grid.SetRowCount(7);
    EXPECT_EQ((std::vector<std::string>{"widths", "heights", "size 5x5"}), grid.Calls);
    EXPECT_EQ(grid.ColWidths(2), 100);
    EXPECT_EQ(grid.RowHeights(6), 24) << "a new row gets the default height";
    EXPECT_EQ(grid.RowHeights(99), 24) << "outside the grid: the default";
    EXPECT_THROW(grid.SetColWidths(5, 10), EInvalidGridOperation);
    grid.SetColWidths(1, -5);
    EXPECT_EQ(grid.ColWidths(1), 0);
    EXPECT_EQ(grid.SumRowHeights(0, 7), 6 * 24 + 40);
    EXPECT_EQ(grid.SumRowHeights(3, 4), 40);
    EXPECT_EQ(grid.SumRowHeights(-3, 100), 6 * 24 + 40) << "clipped to the grid";
    EXPECT_EQ(grid.SumColWidths(0, 3), 64 + 0 + 100);
    grid.SetDefaultRowHeight(10);
    EXPECT_EQ(grid.RowHeights(3), 10) << "a new default applies to every row";
    EXPECT_EQ(grid.SumRowHeights(0, 7), 70);
}

// Rows beyond a shrunken count stay readable and writable; growth brings empty cells.
TEST(GridModel, StorageBeyondAShrink)
{
    TTestGrid grid;
    TMarker marker;
    Fill(grid);
    grid.SetObjects(2, 4, &marker);
    grid.SetRowCount(3);
    grid.SetColCount(2);
    EXPECT_EQ(grid.Cells(2, 4), "2:4") << "a row and column beyond the counts keep their text";
    EXPECT_EQ(grid.Objects(2, 4), &marker);
    grid.SetCells(3, 3, "written beyond");
    EXPECT_EQ(grid.Cells(3, 3), "written beyond");
    EXPECT_EQ(grid.Cells(1, 1), "1:1");

    grid.SetRowCount(4);
    EXPECT_EQ(grid.Cells(0, 3), "") << "growth covers row 3 again with empty cells";
    EXPECT_EQ(grid.Cells(3, 3), "");
    EXPECT_EQ(grid.Cells(2, 4), "2:4") << "row 4 is still beyond the count";
    grid.SetRowCount(5);
    grid.SetColCount(5);
    EXPECT_EQ(grid.Cells(2, 4), "");
    EXPECT_EQ(grid.Objects(2, 4), nullptr);
    EXPECT_EQ(grid.Cells(2, 1), "") << "growth of the columns empties them in every row";
    EXPECT_EQ(grid.Cells(1, 1), "1:1");
    EXPECT_THROW(grid.SetCells(-1, 0, "x"), EInvalidGridOperation);
    EXPECT_EQ(grid.Cells(-1, 0), "");
}

TEST(GridModel, DeletedRowsDoNotComeBack)
{
    TTestGrid grid;
    grid.SetRowCount(6);
    Fill(grid);
    grid.SetRowCount(5);  // row 5 is kept beyond the count
    grid.DeleteRow(1);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.Cells(0, 1), "0:2");
    EXPECT_EQ(grid.Cells(0, 3), "0:4");
    EXPECT_EQ(grid.Cells(0, 4), "0:5") << "the stored row beyond the count moved up too";
    grid.SetRowCount(6);
    for (int r = 4; r < 6; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(grid.Cells(c, r), "") << "cell " << c << "," << r;

    grid.DeleteColumn(0);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.Cells(0, 1), "1:2");
    grid.SetColCount(5);
    EXPECT_EQ(grid.Cells(4, 1), "");

    TTestGrid one;
    one.SetRowCount(1);
    one.SetCells(0, 0, "only");
    one.DeleteRow(0);
    EXPECT_EQ(one.RowCount(), 1);
    EXPECT_EQ(one.Cells(0, 0), "") << "deleting the only row empties it";
    EXPECT_THROW(one.DeleteRow(1), EInvalidGridOperation);
}

TEST(GridModel, DeleteRowKeepsTheCurrentCellOnItsRow)
{
    TTestGrid grid;
    grid.SetRowCount(10);
    grid.SetRow(6);
    grid.DeleteRow(2);
    EXPECT_EQ(grid.Row(), 5);
    grid.DeleteRow(5);
    EXPECT_EQ(grid.Row(), 5) << "on the deleted row: the row that moved up";
    grid.SetRow(7);
    grid.DeleteRow(7);
    EXPECT_EQ(grid.Row(), 6) << "the last row deleted: the new last row";
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 6, 1, 6}));
}

// Deleting a block of rows at once leaves the grid as deleting them one by
// one does: cells (also those stored beyond the count), heights, counts,
// the fixed rows, the current cell, the anchor and the top row.
TEST(GridModel, DeleteRowsIsDeleteRowRepeated)
{
    struct Case {
        int Rows, Fixed, Current, Anchor, Top, At, Count;
    };
    const Case Cases[] = {
        {40, 1, 20, 25, 10, 5, 8},   {40, 1, 7, 7, 1, 5, 8},   {40, 1, 39, 30, 30, 30, 10},
        {40, 2, 3, 3, 2, 0, 3},      {40, 1, 12, 14, 12, 12, 1}, {40, 1, 20, 20, 15, 1, 38},
        {40, 1, 20, 20, 15, 0, 39},  {40, 1, 20, 20, 15, 0, 40}, {40, 3, 5, 9, 4, 2, 0},
    };
    for (const Case& C : Cases) {
        const std::string What = "rows " + std::to_string(C.Rows) + ", delete " + std::to_string(C.Count) + " at " +
                                 std::to_string(C.At);
        TTestGrid One, Block;
        for (TTestGrid* G : {&One, &Block}) {
            G->SetRowCount(C.Rows + 2);
            Fill(*G);
            G->SetRowCount(C.Rows);   // two rows stored beyond the count
            G->SetFixedRows(C.Fixed);
            G->SetRowHeights(C.At, 31);
            G->SetRowHeights(C.Rows - 1, 17);
            G->MoveColRow(2, C.Anchor, true, false);
            G->MoveColRow(2, C.Current, false, false);
            G->SetTopRow(C.Top);
        }
        for (int I = 0; I < C.Count; ++I)
            One.DeleteRow(C.At);
        Block.DeleteRows(C.At, C.Count);
        ASSERT_EQ(Block.RowCount(), One.RowCount()) << What;
        EXPECT_EQ(Block.FixedRows(), One.FixedRows()) << What;
        EXPECT_EQ(Block.Row(), One.Row()) << What;
        EXPECT_EQ(Block.Selection(), One.Selection()) << What;
        EXPECT_EQ(Block.TopRow(), One.TopRow()) << What;
        One.SetRowCount(C.Rows + 2);
        Block.SetRowCount(C.Rows + 2);
        for (int R = 0; R < C.Rows + 2; ++R) {
            EXPECT_EQ(Block.RowHeights(R), One.RowHeights(R)) << What << ", row " << R;
            for (int Col = 0; Col < Block.ColCount(); ++Col)
                EXPECT_EQ(Block.Cells(Col, R), One.Cells(Col, R)) << What << ", cell " << Col << "," << R;
        }
    }
}

TEST(GridModel, RowListsReadAndWriteTheCells)
{
    TTestGrid grid;
    TMarker marker;
    TStrings* row = grid.Rows(2);
    EXPECT_EQ(row->Count(), 5);
    row->SetCommaText("a,b,c");
    EXPECT_EQ(grid.Cells(0, 2), "a");
    EXPECT_EQ(grid.Cells(2, 2), "c");
    EXPECT_EQ(grid.Cells(3, 2), "");
    EXPECT_EQ(row->AddObject("d", &marker), 3);
    EXPECT_EQ(grid.Objects(3, 2), &marker);
    EXPECT_EQ(row->Add("e"), 4);
    EXPECT_EQ(row->Add("f"), -1) << "a row holds ColCount cells";
    EXPECT_EQ(row->CommaText(), "a,b,c,d,e");
    row->Put(1, "B");
    EXPECT_EQ(grid.Cells(1, 2), "B");
    EXPECT_EQ(row->Objects(3), &marker);
    EXPECT_THROW(row->Insert(0, "x"), EListError);
    EXPECT_THROW(row->Delete(0), EListError);
    EXPECT_THROW(row->Strings(5), EListError);

    TStringList list;
    list.AddObject("x", &marker);
    list.Add("y");
    grid.Rows(3)->Assign(&list);
    EXPECT_EQ(grid.Cells(0, 3), "x");
    EXPECT_EQ(grid.Objects(0, 3), &marker);
    EXPECT_EQ(grid.Cells(1, 3), "y");
    grid.Rows(3)->Assign(grid.Rows(2));
    EXPECT_EQ(grid.Rows(3)->CommaText(), "a,B,c,d,e");
    EXPECT_EQ(grid.Rows(2), row) << "the list of an index stays the same object";
    row->Move(0, 2);
    EXPECT_EQ(row->CommaText(), "B,c,a,d,e");
}

TEST(GridModel, MoveColRowAsksSelectCellAndKeepsTheAnchor)
{
    TTestGrid grid;
    grid.Refused = {TGridCoord{3, 3}};
    EXPECT_FALSE(grid.MoveColRow(3, 3, true, false));
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.SelectAsked, 1);

    EXPECT_TRUE(grid.MoveColRow(2, 2, true, false));
    EXPECT_TRUE(grid.MoveColRow(3, 4, false, false));
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 2, 3, 4}));
    EXPECT_EQ(grid.SelectionAnchor(), (TGridCoord{2, 2}));
    const int asked = grid.SelectAsked;
    EXPECT_TRUE(grid.MoveColRow(3, 4, true, false));
    EXPECT_EQ(grid.SelectAsked, asked) << "no question when the cell does not change";
    EXPECT_EQ(grid.Selection(), (TGridRect{3, 4, 3, 4}));
    EXPECT_THROW(grid.MoveColRow(5, 1, true, false), EInvalidGridOperation);
    EXPECT_THROW(grid.SetRow(-1), EInvalidGridOperation);

    grid.SetOptions(grid.Options() & ~static_cast<unsigned>(goRangeSelect));
    grid.MoveColRow(1, 1, false, false);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 1, 1})) << "without goRangeSelect the anchor follows";
    grid.SetOptions(grid.Options() | goRowSelect);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 4, 1})) << "goRowSelect spans the scrollable columns";

    bool asked2 = false;
    grid.OnSelectCell = [&](TObject*, int ACol, int ARow, bool& CanSelect) {
        asked2 = true;
        CanSelect = !(ACol == 2 && ARow == 2);
    };
    EXPECT_FALSE(grid.MoveColRow(2, 2, true, false));
    EXPECT_TRUE(asked2);
}

TEST(GridModel, SetSelectionPutsAnchorAndCurrentCellAtTheCorners)
{
    TTestGrid grid;
    grid.SetSelection(TGridRect{1, 2, 3, 4});
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(grid.SelectionAnchor(), (TGridCoord{1, 2}));
    EXPECT_EQ(grid.SelectAsked, 0) << "setting the selection is not a move";
    grid.SetSelection(TGridRect{5, 5, 5, 5});
    EXPECT_EQ(grid.Selection(), (TGridRect{5, 5, 5, 5})) << "a selection outside the grid is kept";
}

// A selection parked outside the grid (so that nothing shows selected)
// survives keys, the wheel and counts without an error.
TEST(GridModel, ParkedSelection)
{
    TTestGrid grid;
    grid.SetSelection(TGridRect{5, 5, 5, 5});
    grid.Key(VK_UP);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{4, 4})) << "one row up from the parked place";
    grid.SetSelection(TGridRect{5, 5, 5, 5});
    grid.Perform(CM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{4, 4}));
    grid.SetSelection(TGridRect{5, 5, 5, 5});
    grid.SetRowCount(3);
    EXPECT_EQ(grid.Row(), 2) << "a shrink pulls the current cell inside";
}

TEST(GridModel, MovingColumnsAndRows)
{
    TTestGrid grid;
    Fill(grid);
    std::vector<std::pair<int, int>> moved;
    grid.OnColumnMoved = [&](TObject*, int From, int To) { moved.emplace_back(From, To); };
    grid.OnRowMoved = [&](TObject*, int From, int To) { moved.emplace_back(-From, -To); };
    grid.SetColWidths(1, 11);
    grid.MoveColRow(1, 2, true, false);
    grid.MoveColumn(1, 3);
    EXPECT_EQ(grid.Rows(2)->CommaText(), "0:2,2:2,3:2,1:2,4:2");
    EXPECT_EQ(grid.ColWidths(3), 11) << "the width moves with the column";
    EXPECT_EQ(grid.Col(), 3) << "the current cell follows its column";
    grid.MoveRow(4, 1);
    EXPECT_EQ(grid.Cells(0, 1), "0:4");
    EXPECT_EQ(grid.Cells(0, 2), "0:1");
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 3}, {-4, -1}}), moved);
    EXPECT_THROW(grid.MoveRow(0, 5), EInvalidGridOperation);
}

// A cell keeps a text of up to 16 bytes inside itself and a longer one in a
// block of its own. Texts of every length class, each different, survive
// being written out of order (every write moves the row's cells), being
// overwritten by longer and shorter texts, and the moves and deletes of
// their columns and rows.
TEST(GridModel, TextsOfEveryLengthSurviveWritesAndMoves)
{
    const std::vector<String> Lengths = {"", "a", String(15, 'b'), String(16, 'c'), String(17, 'd'),
                                         String(300, 'e'), String("nul\0inside cell", 16)};
    const int Cols = 7, Rows = 3;
    // Each cell's text for a round: its length class turns with the round,
    // its first two bytes name the cell.
    const auto TextOf = [&](int c, int r, int Round) {
        String T = Lengths[static_cast<std::size_t>(c + r + Round) % Lengths.size()];
        if (T.size() >= 2) {
            T[0] = static_cast<char>('A' + c);
            T[1] = static_cast<char>('a' + r);
        }
        return T;
    };
    TTestGrid grid;
    grid.SetColCount(Cols);
    grid.SetRowCount(Rows);
    std::vector<std::vector<String>> Expected(Rows, std::vector<String>(Cols));   // [row][col]
    const auto Check = [&](const char* Step) {
        for (int r = 0; r < grid.RowCount(); ++r)
            for (int c = 0; c < grid.ColCount(); ++c)
                ASSERT_EQ(grid.Cells(c, r), Expected[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])
                    << Step << ", cell " << c << "," << r;
    };
    for (int Round = 0; Round < 3; ++Round) {
        for (int c = Cols - 1; c >= 0; --c)
            for (int r = 0; r < Rows; ++r)
                grid.SetCells(c, r, Expected[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = TextOf(c, r, Round));
        Check("written");
    }
    grid.SetCells(2, 1, grid.Cells(2, 1) + grid.Cells(2, 1));
    Expected[1][2] += Expected[1][2];
    Check("a cell's text written back doubled");

    grid.MoveColumn(0, 6);
    for (auto& Row : Expected)
        std::rotate(Row.begin(), Row.begin() + 1, Row.end());
    Check("first column moved last");
    grid.MoveRow(2, 0);
    std::rotate(Expected.begin(), Expected.begin() + 2, Expected.end());
    Check("last row moved first");
    grid.DeleteColumn(2);
    for (auto& Row : Expected)
        Row.erase(Row.begin() + 2);
    Check("column 2 deleted");
    grid.ExchangeRowCells(0, 2);
    std::swap(Expected[0], Expected[2]);
    Check("rows 0 and 2 exchanged");
}

TEST(GridModel, EditorHostWithoutAWindow)
{
    TTestGrid grid;
    grid.SetOptions(grid.Options() | goEditing);
    grid.SetCells(1, 1, "text");
    EXPECT_FALSE(grid.CanEditShow()) << "no window, no editor";
    grid.ShowEditor();
    grid.Key(VK_F2);
    char ch = 'x';
    grid.Char(ch);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.InplaceEditor(), nullptr);
    EXPECT_EQ(grid.Cells(1, 1), "text");
    EXPECT_EQ(grid.GetEditLimit(), 0);

    String seen;
    grid.OnGetEditText = [](TObject*, int, int, String& Value) { Value += "!"; };
    grid.OnSetEditText = [&](TObject*, int, int, const String& Value) { seen = Value; };
    EXPECT_EQ(grid.GetEditText(1, 1), "text!");
    grid.SetEditText(2, 2, "new");
    EXPECT_EQ(grid.Cells(2, 2), "new");
    EXPECT_EQ(seen, "new");
}

// The sums stay right through every change of sizes and counts.
TEST(GridModel, SumsFollowEveryChange)
{
    TTestGrid grid;
    grid.SetRowCount(40);
    auto brute = [&](int From, int To) {
        int sum = 0;
        for (int r = std::max(0, From); r < std::min(To, grid.RowCount()); ++r)
            sum += grid.RowHeights(r);
        return sum;
    };
    struct Step {
        const char* Name;
        std::function<void()> Change;
    };
    const Step steps[] = {
        {"uniform", [] {}},
        {"one height", [&] { grid.SetRowHeights(5, 50); }},
        {"back to the default", [&] { grid.SetRowHeights(5, 24); }},
        {"two heights", [&] { grid.SetRowHeights(3, 7), grid.SetRowHeights(30, 70); }},
        {"delete a custom row", [&] { grid.DeleteRow(3); }},
        {"move a custom row", [&] { grid.MoveRow(29, 2); }},
        {"shrink over it", [&] { grid.SetRowCount(2); }},
        {"grow", [&] { grid.SetRowCount(40); }},
        {"new default", [&] { grid.SetRowHeights(9, 1), grid.SetDefaultRowHeight(30); }},
        {"after a new default", [&] { grid.SetRowHeights(9, 24); }},
    };
    for (const Step& s : steps) {
        s.Change();
        for (const auto& range : {std::pair{0, 40}, std::pair{2, 3}, std::pair{1, 31}, std::pair{10, 10}})
            EXPECT_EQ(grid.SumRowHeights(range.first, range.second), brute(range.first, range.second))
                << s.Name << ", rows " << range.first << ".." << range.second;
    }
}

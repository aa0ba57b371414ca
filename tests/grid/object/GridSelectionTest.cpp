// Selection without a window: the range selection the manager uses, the
// row-update event, disjunct row and column selections and their errors.

#include <gtest/gtest.h>

#include "grid/core/ProGrid.h"
#include "grid/interaction/MouseActions.h"

namespace {

std::unique_ptr<TProStringGrid> MakeGrid(int Cols, int Rows, int Fixed = 0)
{
    auto G = std::make_unique<TProStringGrid>(nullptr);
    G->SetColCount(Cols);
    G->SetRowCount(Rows);
    G->SetFixedCols(Fixed);
    G->SetFixedRows(Fixed);
    return G;
}

TEST(GridSelection, SelectCellRangeFiresRowUpdateOnce)
{
    auto G = MakeGrid(10, 20);
    std::vector<std::pair<int, int>> Updates;
    G->OnRowUpdate = [&](TObject*, int Old, int New) { Updates.emplace_back(Old, New); };
    G->SetCurrentRow(3);
    ASSERT_EQ(Updates.size(), 1u);
    Updates.clear();
    G->SelectCellRange(2, 2, 5, 5);
    ASSERT_EQ(Updates.size(), 1u);
    EXPECT_EQ(Updates[0], std::make_pair(3, 5));
    EXPECT_EQ(G->SelectionRect(), (TGridRect{2, 5, 2, 5}));
    EXPECT_EQ(G->Col(), 2);
    EXPECT_EQ(G->Row(), 5);
    G->SetCurrentRow(5);
    EXPECT_EQ(Updates.size(), 1u);
}

TEST(GridSelection, SelectCellRangeSelectsARectangle)
{
    auto G = MakeGrid(10, 20);
    G->SelectCellRange(0, 3, 4, 9);
    EXPECT_EQ(G->SelectionRect(), (TGridRect{0, 4, 3, 9}));
    EXPECT_EQ(G->Col(), 3);
    EXPECT_EQ(G->Row(), 9);
    EXPECT_TRUE(G->IsCellSelected(2, 6));
    EXPECT_FALSE(G->IsCellSelected(4, 6));
}

TEST(GridSelection, RowAndColumnIndexErrors)
{
    auto G = MakeGrid(4, 6);
    G->HideRows(1, 1);
    for (int Bad : {-1, G->RowCount() + G->HiddenRowCount()}) {
        try {
            G->IsRowSelected(Bad);
            ADD_FAILURE() << Bad;
        } catch (const EProGridError& E) {
            EXPECT_EQ(E.Message, "Invalid row accessed");
        }
        EXPECT_THROW(G->SetRowSelected(Bad, true), EProGridError);
    }
    try {
        G->IsColSelected(4);
        ADD_FAILURE();
    } catch (const EProGridError& E) {
        EXPECT_EQ(E.Message, "Invalid column accessed");
    }
    EXPECT_NO_THROW(G->IsRowSelected(G->RowCount()));
}

TEST(GridSelection, VetoedRowSelectionChangesNothing)
{
    auto G = MakeGrid(4, 6);
    G->MouseActions()->SetDisjunctRowSelect(true);
    int Selected = 0;
    G->OnRowDisjunctSelect = [](TObject*, int, bool, bool& Allow) { Allow = false; };
    G->OnRowDisjunctSelected = [&](TObject*, int) { ++Selected; };
    G->SetRowSelected(2, true);
    EXPECT_FALSE(G->IsRowSelected(2));
    EXPECT_EQ(Selected, 0);
}

TEST(GridSelection, RangeToRowSelection)
{
    auto G = MakeGrid(4, 10, 1);
    G->MouseActions()->SetDisjunctRowSelect(true);
    G->SetRowSelected(8, true);
    G->SetSelection(TGridRect{1, 2, 2, 4});
    G->RangeToRowSelection(false);
    EXPECT_TRUE(G->IsRowSelected(8));
    EXPECT_TRUE(G->IsRowSelected(3));
    EXPECT_EQ(G->SelectedRowCount(), 4);
    G->RangeToRowSelection(true);
    EXPECT_FALSE(G->IsRowSelected(8));
    EXPECT_EQ(G->SelectedRowCount(), 3);
    G->ClearRowSelection();
    EXPECT_EQ(G->SelectedRowCount(), 0);
}

TEST(GridSelection, FixedCellsAreNeverSelected)
{
    auto G = MakeGrid(5, 5, 1);
    G->SetSelection(TGridRect{0, 0, 3, 3});
    EXPECT_FALSE(G->IsCellSelected(0, 2));
    EXPECT_FALSE(G->IsCellSelected(2, 0));
    EXPECT_TRUE(G->IsCellSelected(2, 2));
}

// Sound behaviour: inserted rows shift the row selection marks with them.
TEST(GridSelection, InsertedRowsShiftTheRowMarks)
{
    auto G = MakeGrid(3, 8);
    G->MouseActions()->SetDisjunctRowSelect(true);
    G->SetRowSelected(5, true);
    G->InsertRows(2, 2);
    EXPECT_TRUE(G->IsRowSelected(7));
    EXPECT_FALSE(G->IsRowSelected(5));
    G->RemoveRows(0, 1);
    EXPECT_TRUE(G->IsRowSelected(6));
}

TEST(GridSelection, ModifiedMarks)
{
    auto G = MakeGrid(3, 5);
    EXPECT_FALSE(G->IsRowModified(40));
    G->SetRowModified(3, true);
    EXPECT_TRUE(G->IsRowModified(3));
    G->SetRowModified(3, false);
    EXPECT_FALSE(G->IsRowModified(3));
}

} // namespace

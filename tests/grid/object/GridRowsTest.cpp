// Hidden rows and row operations without a window: the display/real
// mapping, hiding and showing, insertion and removal around hidden rows,
// merges cut by row operations, the footer row, and the cell objects that
// go with their rows.

#include <deque>

#include <gtest/gtest.h>

#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"

namespace {

// Rows "r0".."rN-1" in column 0, each row a height of 20 + its index, and a
// properties object in column 1 whose CellObject tags the row.
struct TaggedGrid {
    explicit TaggedGrid(int Rows, int Cols = 3) : G(std::make_unique<TProStringGrid>(nullptr))
    {
        G->SetColCount(Cols);
        G->SetRowCount(Rows);
        G->SetFixedCols(0);
        G->SetFixedRows(0);
        Tags.resize(static_cast<std::size_t>(Rows));
        for (int R = 0; R < Rows; ++R) {
            G->SetCells(0, R, Name(R));
            G->SetRowHeights(R, 20 + R);
            G->SetCellObject(1, R, &Tags[static_cast<std::size_t>(R)]);
        }
    }
    static String Name(int R) { return "r" + std::to_string(R); }
    std::vector<String> Column() const
    {
        std::vector<String> V;
        for (int R = 0; R < G->RowCount(); ++R)
            V.push_back(G->Cells(0, R));
        return V;
    }
    std::unique_ptr<TProStringGrid> G;
    std::deque<TStringList> Tags;
};

std::vector<String> Names(std::initializer_list<int> Rows)
{
    std::vector<String> V;
    for (int R : Rows)
        V.push_back(R < 0 ? String() : TaggedGrid::Name(R));
    return V;
}

std::vector<int> HiddenIdx(const TProStringGrid& G)
{
    std::vector<int> V;
    for (const auto& I : G.HiddenRows())
        V.push_back(I->Idx);
    return V;
}

TEST(GridRows, HideFiveToSevenAndShowThemAgain)
{
    TaggedGrid T(10);
    T.G->HideRows(5, 7);
    EXPECT_EQ(T.G->RowCount(), 7);
    EXPECT_EQ(T.G->HiddenRowCount(), 3);
    EXPECT_EQ(T.G->DisplayToRealRow(5), 8);
    EXPECT_EQ(T.G->RealToDisplayRow(6), 5);   // a hidden row maps to the next shown one
    EXPECT_EQ(T.G->RealToDisplayRow(9), 6);
    EXPECT_EQ(T.Column(), Names({0, 1, 2, 3, 4, 8, 9}));
    EXPECT_EQ(T.G->ReadRealCellText(0, 6), "r6");
    T.G->HideRows(5, 7);   // all hidden already: nothing changes
    EXPECT_EQ(T.G->HiddenRowCount(), 3);
    T.G->UnHideRows(5, 7);
    EXPECT_EQ(T.G->RowCount(), 10);
    for (int R = 0; R < 10; ++R) {
        EXPECT_EQ(T.G->Cells(0, R), TaggedGrid::Name(R)) << R;
        EXPECT_EQ(T.G->RowHeights(R), 20 + R) << R;
        EXPECT_EQ(T.G->GetCellObject(1, R), &T.Tags[static_cast<std::size_t>(R)]) << R;
    }
}

TEST(GridRows, UnHideWhoseFirstRowIsShownDoesNothing)
{
    TaggedGrid T(10);
    T.G->HideRows(6, 7);
    T.G->UnHideRows(5, 7);
    EXPECT_EQ(T.G->HiddenRowCount(), 2);
}

// Issue: hiding rows around hidden ones keeps the store ascending.
TEST(GridRows, HideAroundAHiddenRowKeepsTheStoreInOrder)
{
    TaggedGrid T(10);
    T.G->HideRows(6, 6);
    T.G->HideRows(5, 8);
    EXPECT_EQ(HiddenIdx(*T.G), (std::vector<int>{5, 6, 7, 8}));
    EXPECT_EQ(T.G->HiddenRows()[0]->Items.Strings(0), "r5");
    EXPECT_EQ(T.G->HiddenRows()[2]->Items.Strings(0), "r7");
    T.G->UnHideRowsAll();
    EXPECT_EQ(T.Column(), Names({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

// Sound behaviour: unhiding a range that mixes hidden and shown rows puts
// every row back at its own place.
TEST(GridRows, UnHideAMixedRangePutsEveryRowAtItsPlace)
{
    TaggedGrid T(12);
    T.G->HideRows(2, 3);
    T.G->HideRows(6, 7);
    T.G->UnHideRows(2, 8);
    EXPECT_EQ(T.G->HiddenRowCount(), 0);
    EXPECT_EQ(T.Column(), Names({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

// Sound behaviour: inserting rows while rows are hidden renumbers them.
TEST(GridRows, InsertWhileHiddenRenumbersHiddenRows)
{
    TaggedGrid T(10);
    T.G->HideRows(6, 7);
    T.G->InsertRows(2, 2);
    EXPECT_EQ(HiddenIdx(*T.G), (std::vector<int>{8, 9}));
    T.G->UnHideRowsAll();
    EXPECT_EQ(T.Column(), Names({0, 1, -1, -1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

// Sound behaviour: hiding a list while rows are hidden takes real rows.
TEST(GridRows, HideRowListWhileHiddenUsesRealRows)
{
    TaggedGrid T(10);
    T.G->HideRows(2, 3);
    T.G->HideRowList({1, 5, 8});
    EXPECT_EQ(HiddenIdx(*T.G), (std::vector<int>{1, 2, 3, 5, 8}));
    EXPECT_EQ(T.Column(), Names({0, 4, 6, 7, 9}));
    T.G->UnHideRowsAll();
    EXPECT_EQ(T.Column(), Names({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    for (int R = 0; R < 10; ++R)
        EXPECT_EQ(T.G->RowHeights(R), 20 + R) << R;
}

// Issue: a removal renumbers hidden rows by the real rows removed before them.
TEST(GridRows, RemovingRowsAroundAHiddenRowRenumbersIt)
{
    TaggedGrid T(10);
    T.G->HideRows(5, 5);
    T.G->RemoveRows(4, 2);   // display rows 4 and 5 are real rows 4 and 6
    EXPECT_EQ(HiddenIdx(*T.G), (std::vector<int>{4}));
    T.G->UnHideRowsAll();
    EXPECT_EQ(T.Column(), Names({0, 1, 2, 3, 5, 7, 8, 9}));
}

TEST(GridRows, RemovingRowsAboveAHiddenRowKeepsItsData)
{
    TaggedGrid T(10);
    T.G->HideRows(7, 7);
    T.G->RemoveRows(1, 3);
    EXPECT_EQ(HiddenIdx(*T.G), (std::vector<int>{4}));
    T.G->UnHideRows(4, 4);
    EXPECT_EQ(T.Column(), Names({0, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(T.G->RowHeights(4), 27);
}

// Issue: the plain deletion renumbers hidden rows and moves heights with rows.
TEST(GridRows, DeleteRowsPlainRenumbersAndMovesHeights)
{
    TaggedGrid T(10);
    T.G->HideRows(8, 8);
    T.G->DeleteRowsPlain(2, 2);
    EXPECT_EQ(HiddenIdx(*T.G), (std::vector<int>{6}));
    EXPECT_EQ(T.Column(), Names({0, 1, 4, 5, 6, 7, 9}));
    EXPECT_EQ(T.G->RowHeights(2), 24);
    EXPECT_EQ(T.G->RowHeights(6), 29);
    T.G->UnHideRowsAll();
    EXPECT_EQ(T.Column(), Names({0, 1, 4, 5, 6, 7, 8, 9}));
}

TEST(GridRows, InsertTwoRowsAtThree)
{
    TaggedGrid T(8);
    T.G->SetDefaultRowHeight(22);
    for (int R = 0; R < 8; ++R)
        T.G->SetRowHeights(R, 30 + R);
    T.G->InsertRows(3, 2);
    EXPECT_EQ(T.G->RowCount(), 10);
    EXPECT_EQ(T.G->RowHeights(3), 22);
    EXPECT_EQ(T.G->RowHeights(4), 22);
    EXPECT_EQ(T.G->Cells(0, 3), "");
    EXPECT_FALSE(T.G->HasCellProperties(1, 4));
    EXPECT_EQ(T.G->Cells(0, 5), "r3");
    EXPECT_EQ(T.G->RowHeights(5), 33);
    EXPECT_EQ(T.G->GetCellObject(1, 5), &T.Tags[3]);
}

TEST(GridRows, RemovingTheCurrentLastRowMakesTheRowAboveCurrent)
{
    TaggedGrid T(6);
    T.G->SetRow(5);
    T.G->RemoveRows(5, 1);
    EXPECT_EQ(T.G->RowCount(), 5);
    EXPECT_EQ(T.G->Row(), 4);
}

// Issue: node-child insertion with rows hidden renumbers each hidden row once.
TEST(GridRows, ChildInsertionRenumbersHiddenRowsOnce)
{
    TaggedGrid T(12);
    T.G->AddNode(2, 3);    // 2..4
    T.G->AddNode(6, 3);    // 6..8
    T.G->ContractNode(6);  // hides 7, 8
    T.G->InsertNodeChildRow(3, 1);
    EXPECT_EQ(HiddenIdx(*T.G), (std::vector<int>{8, 9}));
    T.G->InsertOneRow(0);
    EXPECT_EQ(HiddenIdx(*T.G), (std::vector<int>{9, 10}));
    T.G->ExpandAllNodes();
    EXPECT_EQ(T.Column(), Names({-1, 0, 1, 2, 3, -1, 4, 5, 6, 7, 8, 9, 10, 11}));
}

// Every covered cell of the grid points at a base cell whose range holds it.
void ExpectMergesConsistent(TProStringGrid& G, const char* Case)
{
    for (int Col = 0; Col < G.ColCount(); ++Col)
        for (int R = 0; R < G.RowCount(); ++R) {
            if (!G.IsCoveredCell(Col, R))
                continue;
            const TPoint B = G.BaseCell(Col, R);
            TCellProperties* BP = G.CellProperties(B.x, B.y);
            ASSERT_NE(BP, nullptr) << Case << " " << Col << "," << R;
            EXPECT_TRUE(BP->IsBaseCell) << Case << " " << Col << "," << R;
            EXPECT_GE(B.x + BP->CellSpanX, Col) << Case << " " << Col << "," << R;
            EXPECT_GE(B.y + BP->CellSpanY, R) << Case << " " << Col << "," << R;
        }
}

// Issue: clearing a merged base cell or cutting a merge with a row
// operation leaves no covered cell pointing at a base elsewhere.
TEST(GridRows, RowOperationsSplitMergesTheyCut)
{
    const struct { const char* Name; std::function<void(TProStringGrid&)> Op; } Cases[] = {
        {"clear base", [](TProStringGrid& G) { G.ClearRect(1, 2, 1, 2); }},
        {"insert inside", [](TProStringGrid& G) { G.InsertRows(3, 1); }},
        {"remove first row", [](TProStringGrid& G) { G.RemoveRows(2, 1); }},
        {"remove last row", [](TProStringGrid& G) { G.RemoveRows(4, 1); }},
        {"delete plain", [](TProStringGrid& G) { G.DeleteRowsPlain(3, 1); }},
        {"remove full", [](TProStringGrid& G) { G.RemoveRowsFull(2, 1); }},
        {"move", [](TProStringGrid& G) { G.MoveRowWithControls(3, 7); }},
    };
    for (const auto& C : Cases) {
        TaggedGrid T(10);
        T.G->MergeCells(1, 2, 2, 3);   // columns 1..2, rows 2..4
        C.Op(*T.G);
        for (int Col = 0; Col < T.G->ColCount(); ++Col)
            for (int R = 0; R < T.G->RowCount(); ++R) {
                if (!T.G->IsCoveredCell(Col, R))
                    continue;
                const TPoint B = T.G->BaseCell(Col, R);
                TCellProperties* BP = T.G->CellProperties(B.x, B.y);
                ASSERT_NE(BP, nullptr) << C.Name << " " << Col << "," << R;
                EXPECT_TRUE(BP->IsBaseCell) << C.Name << " " << Col << "," << R;
                EXPECT_GE(B.x + BP->CellSpanX, Col) << C.Name;
                EXPECT_GE(B.y + BP->CellSpanY, R) << C.Name << " " << Col << "," << R;
            }
    }
}

// A row or column move keeps every merge that moves whole with it or lies
// outside it, merged and with its cells; only a merge whose lines the move
// puts apart is split, and its cells show their own texts again.
TEST(GridRows, MovesSplitOnlyTheMergesTheyCut)
{
    const struct {
        const char* Name;
        bool Columns;
        int From, To;
        int First, Last;   // the merged rows (columns)
        bool StaysMerged;
    } Cases[] = {
        {"rows: merge below the move", false, 1, 3, 4, 5, true},
        {"rows: merge above the move", false, 3, 5, 1, 2, true},
        {"rows: merge shifted up", false, 1, 5, 2, 3, true},
        {"rows: merge shifted down", false, 6, 1, 2, 4, true},
        {"rows: merge leaves with its last row", false, 3, 6, 2, 3, false},
        {"rows: merge leaves with its first row", false, 2, 6, 2, 3, false},
        {"rows: two merged rows change places", false, 2, 3, 2, 3, false},
        {"rows: moved row lands inside", false, 1, 5, 4, 6, false},
        {"rows: merge across the end of the move", false, 1, 3, 3, 4, false},
        {"columns: merge right of the move", true, 1, 3, 4, 5, true},
        {"columns: merge shifted left", true, 1, 4, 2, 3, true},
        {"columns: merge shifted right", true, 5, 1, 2, 3, true},
        {"columns: merge leaves with its first column", true, 1, 4, 1, 2, false},
        {"columns: moved column lands inside", true, 1, 4, 3, 5, false},
    };
    for (const auto& C : Cases) {
        auto G = std::make_unique<TProStringGrid>(nullptr);
        G->SetColCount(8);
        G->SetRowCount(8);
        G->SetFixedCols(0);
        G->SetFixedRows(0);
        auto Tag = [](int Col, int Row) { return std::to_string(Col) + "," + std::to_string(Row); };
        for (int Col = 0; Col < 8; ++Col)
            for (int R = 0; R < 8; ++R)
                G->SetCells(Col, R, Tag(Col, R));
        // Two cells across the move's axis: a merge of 2 x N (N x 2) cells.
        const int Count = C.Last - C.First + 1;
        if (C.Columns)
            G->MergeCells(C.First, 6, Count, 2);
        else
            G->MergeCells(6, C.First, 2, Count);
        // A one-line merge in the moved line always goes with it.
        if (C.Columns)
            G->MergeCells(C.From, 0, 1, 2);
        else
            G->MergeCells(0, C.From, 2, 1);
        if (C.Columns)
            G->MoveColumnWithControls(C.From, C.To);
        else
            G->MoveRowWithControls(C.From, C.To);

        ExpectMergesConsistent(*G, C.Name);
        const int NewFirst = TProStringGrid::MovedIndex(C.First, C.From, C.To);
        const int To = C.To;
        EXPECT_TRUE(G->IsMergedCell(C.Columns ? To : 0, C.Columns ? 0 : To)) << C.Name << ": the moved line's own merge";
        for (int K = C.First; K <= C.Last; ++K)
            for (int A = 6; A <= 7; ++A) {
                const int Now = TProStringGrid::MovedIndex(K, C.From, C.To);
                const int Col = C.Columns ? Now : A;
                const int Row = C.Columns ? A : Now;
                EXPECT_EQ(G->IsMergedCell(Col, Row), C.StaysMerged) << C.Name << " at " << Col << "," << Row;
                // Merged, every cell shows the base's text; split, its own.
                const std::string Own = C.Columns ? Tag(K, A) : Tag(A, K);
                const std::string BaseText = C.Columns ? Tag(C.First, 6) : Tag(6, C.First);
                EXPECT_EQ(G->ReadCellText(Col, Row), C.StaysMerged ? BaseText : Own) << C.Name << " at " << Col << "," << Row;
                if (C.StaysMerged) {
                    const TPoint B = G->BaseCell(Col, Row);
                    EXPECT_EQ(C.Columns ? B.x : B.y, NewFirst) << C.Name << " at " << Col << "," << Row;
                }
            }
    }
}

// A move to or from a line outside the grid is refused before it changes
// anything: the merges it would have cut stay merged.
TEST(GridRows, AMoveOutsideTheGridCutsNoMerge)
{
    for (bool Columns : {false, true}) {
        auto G = std::make_unique<TProStringGrid>(nullptr);
        G->SetColCount(6);
        G->SetRowCount(6);
        G->SetFixedCols(0);
        G->SetFixedRows(0);
        G->SetCells(2, 2, "base");
        G->SetCells(3, 3, "own");
        G->MergeCells(2, 2, 2, 2);
        if (Columns)
            EXPECT_THROW(G->MoveColumnWithControls(2, 9), EInvalidGridOperation);
        else
            EXPECT_THROW(G->MoveRowWithControls(2, 9), EInvalidGridOperation);
        EXPECT_TRUE(G->IsMergedCell(3, 3)) << (Columns ? "columns" : "rows");
        EXPECT_EQ(G->ReadCellText(3, 3), "base") << (Columns ? "columns" : "rows");
    }
}

TEST(GridRows, ClearRectOnAMergedBaseClearsTheRangeTextOnce)
{
    TaggedGrid T(6);
    T.G->MergeCells(1, 1, 2, 2);
    T.G->WriteCellText(2, 2, "m");
    T.G->ClearRect(1, 1, 1, 1);
    for (int C = 1; C <= 2; ++C)
        for (int R = 1; R <= 2; ++R)
            EXPECT_EQ(T.G->ReadCellText(C, R), "") << C << "," << R;
}

// Issue: adding a row with a visible floating footer keeps the footer's texts.
TEST(GridRows, AddRowKeepsTheFooterRow)
{
    TaggedGrid T(5);
    T.G->SetCells(0, 4, "footer");
    T.G->FloatingFooter()->SetVisible(true);
    EXPECT_TRUE(T.G->HideLastRow);
    EXPECT_EQ(T.G->FixedFooters(), 1);
    T.G->AddRow();
    EXPECT_EQ(T.G->RowCount(), 6);
    EXPECT_EQ(T.G->Cells(0, 5), "footer");
    EXPECT_EQ(T.G->Cells(0, 4), "");
    EXPECT_EQ(T.G->Cells(0, 3), "r3");
}

TEST(GridRows, RowCountChangeKeepsTheFooterRowLast)
{
    TaggedGrid T(5);
    T.G->SetCells(0, 4, "footer");
    T.G->FloatingFooter()->SetVisible(true);
    T.G->SetRowCount(7);
    EXPECT_EQ(T.G->Cells(0, 6), "footer");
    EXPECT_EQ(T.G->Cells(0, 4), "");
    T.G->SetRowCount(3);
    EXPECT_EQ(T.G->Cells(0, 2), "footer");
}

TEST(GridRows, RowChangesAreNotified)
{
    TaggedGrid T(10);
    int Changes = 0;
    T.G->OnRowsChanged = [&](TObject*) { ++Changes; };
    T.G->InsertRows(1, 1);
    T.G->RemoveRows(1, 1);
    T.G->HideRows(2, 3);
    T.G->UnHideRowsAll();
    T.G->SetRowCount(12);
    EXPECT_EQ(Changes, 5);
}

// Sound behaviour: the destructor frees the objects of hidden rows, and
// clearing a rectangle does not stop later frees.
TEST(GridRows, NoCellObjectLeaks)
{
    const long Before = TCellProperties::LiveCount();
    {
        TaggedGrid T(12);
        T.G->PutCheckBox(2, 3, true, false);
        T.G->HideRows(2, 5);
        T.G->ClearRect(0, 0, 0, 0);
        T.G->EnsureCellProperties(2, 0);
        T.G->SetRowCount(4);   // rows beyond the count still hold objects
        EXPECT_GT(TCellProperties::LiveCount(), Before);
    }
    EXPECT_EQ(TCellProperties::LiveCount(), Before);
    {
        TaggedGrid T(6);
        T.G->SetRowCount(3);
        T.G->SetRowCount(6);   // growth drops the old rows: their objects are freed
        EXPECT_EQ(TCellProperties::LiveCount(), Before + 3);
    }
    EXPECT_EQ(TCellProperties::LiveCount(), Before);
}

TEST(GridRows, SelectionParking)
{
    TaggedGrid T(10);
    T.G->SetFixedRows(1);
    T.G->SetFixedCols(1);
    T.G->SetSelection(TGridRect{1, 7, 2, 8});
    T.G->HideSelection();
    EXPECT_TRUE(T.G->SelectionHidden());
    T.G->SetRowCount(5);
    T.G->RestoreSelection();
    EXPECT_EQ(T.G->Selection(), (TGridRect{1, 1, 1, 1}));
}

// Columns inserted or removed while rows are hidden: the hidden rows come
// back with their cells in the same columns as the shown rows.
TEST(GridRows, ColumnChangesWhileRowsAreHiddenKeepTheHiddenCellsInPlace)
{
    const long Before = TCellProperties::LiveCount();
    {
        TaggedGrid T(8, 4);
        for (int R = 0; R < 8; ++R)
            T.G->SetCells(3, R, "c" + std::to_string(R));
        T.G->HideRows(5, 6);
        T.G->InsertCols(1, 1);
        T.G->UnHideRowsAll();
        for (int R = 0; R < 8; ++R) {
            EXPECT_EQ(T.G->Cells(0, R), TaggedGrid::Name(R)) << "insert, row " << R;
            EXPECT_EQ(T.G->Cells(1, R), "") << "insert, row " << R;
            EXPECT_EQ(T.G->GetCellObject(2, R), &T.Tags[static_cast<std::size_t>(R)]) << "insert, row " << R;
            EXPECT_EQ(T.G->Cells(4, R), "c" + std::to_string(R)) << "insert, row " << R;
        }
        T.G->HideRows(2, 3);
        T.G->RemoveCols(1, 2);   // the tagged column goes, with its objects
        T.G->UnHideRowsAll();
        for (int R = 0; R < 8; ++R) {
            EXPECT_EQ(T.G->Cells(0, R), TaggedGrid::Name(R)) << "remove, row " << R;
            EXPECT_EQ(T.G->Cells(2, R), "c" + std::to_string(R)) << "remove, row " << R;
            EXPECT_FALSE(T.G->HasCellProperties(1, R)) << "remove, row " << R;
        }
        EXPECT_EQ(TCellProperties::LiveCount(), Before);
    }
    EXPECT_EQ(TCellProperties::LiveCount(), Before);
}

// An inserted column inside a merged range splits the range, in shown rows
// and in hidden ones; a column beside a range leaves it merged.
TEST(GridRows, ColumnInsertionSplitsMergesItCuts)
{
    const struct { const char* Name; int At; bool Hide; bool StaysMerged; } Cases[] = {
        {"inside", 2, false, false},
        {"inside, hidden", 2, true, false},
        {"before", 1, false, true},
        {"after", 4, false, true},
        {"after, hidden", 4, true, true},
    };
    for (const auto& C : Cases) {
        TaggedGrid T(8, 5);
        T.G->MergeCells(1, 2, 3, 2);   // columns 1..3, rows 2..3
        if (C.Hide)
            T.G->HideRows(2, 3);
        T.G->InsertCols(C.At, 1);
        if (C.Hide)
            T.G->UnHideRowsAll();
        ExpectMergesConsistent(*T.G, C.Name);
        const int BaseCol = C.At <= 1 ? 2 : 1;
        EXPECT_EQ(T.G->IsMergedCell(BaseCol, 2), C.StaysMerged) << C.Name;
        if (C.StaysMerged) {
            const TPoint B = T.G->BaseCell(BaseCol + 2, 3);
            EXPECT_EQ(B.x, BaseCol) << C.Name;
            EXPECT_EQ(B.y, 2) << C.Name;
        }
    }
}

TEST(GridRows, ColumnMappingsAreIdentity)
{
    TaggedGrid T(3);
    EXPECT_FALSE(T.G->IsHiddenColumn(600));
    for (int K : {0, 1, 5, 511, 512, 900})
        EXPECT_EQ(T.G->DisplayToRealCol(K), K);
}

} // namespace

// Cell types without a window: check boxes with the change record, typed
// values, radio groups and nodes.

#include <gtest/gtest.h>

#include "grid/core/ProGrid.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/MouseActions.h"

namespace {

std::unique_ptr<TProStringGrid> MakeGrid(int Cols, int Rows)
{
    auto G = std::make_unique<TProStringGrid>(nullptr);
    G->SetColCount(Cols);
    G->SetRowCount(Rows);
    G->SetFixedCols(0);
    G->SetFixedRows(0);
    return G;
}

TEST(GridCellTypes, PlainCheckBoxKeepsTheTextAndChangesState)
{
    auto G = MakeGrid(4, 4);
    G->WriteCellText(2, 1, "07");
    G->PutCheckBox(2, 1, false, false);
    EXPECT_EQ(G->GetCellType(2, 1), ctCheckBox);
    bool State = true;
    ASSERT_TRUE(G->GetCheckBoxState(2, 1, State));
    EXPECT_FALSE(State);
    EXPECT_EQ(G->ReadCellText(2, 1), "07");
    EXPECT_TRUE(G->ChangeCheckBoxState(2, 1, true));
    ASSERT_TRUE(G->GetCheckBoxState(2, 1, State));
    EXPECT_TRUE(State);
    EXPECT_FALSE(G->ChangeCheckBoxState(3, 1, true));
    EXPECT_TRUE(G->HasCheckBox(2, 1));
    EXPECT_FALSE(G->HasCheckBox(3, 1));
}

TEST(GridCellTypes, PutCheckBoxOnAnEmptyCellLeavesItEmpty)
{
    auto G = MakeGrid(2, 2);
    G->PutCheckBox(0, 0, true, false);
    EXPECT_EQ(G->Cells(0, 0), "");
    EXPECT_EQ(G->GetCellType(0, 0), ctCheckBox);
}

TEST(GridCellTypes, DataCheckBoxReadsAndTogglesItsText)
{
    auto G = MakeGrid(3, 3);
    G->PutCheckBox(1, 1, true, true);
    EXPECT_EQ(G->ReadCellText(1, 1), "Y");
    bool State = false;
    ASSERT_TRUE(G->GetCheckBoxState(1, 1, State));
    EXPECT_TRUE(State);
    EXPECT_TRUE(G->ToggleCheckBox(1, 1, false));
    EXPECT_EQ(G->ReadCellText(1, 1), "N");
}

// Toggling records what the box went from and to, for plain and data boxes.
TEST(GridCellTypes, ToggleRecordsTheChange)
{
    auto G = MakeGrid(3, 3);
    TProGridUndoRedo Rec(nullptr);
    G->SetUndoRedo(&Rec);
    G->PutCheckBox(0, 0, false, false);
    G->PutCheckBox(1, 0, false, true);
    ASSERT_TRUE(G->ToggleCheckBox(0, 0, false));
    ASSERT_TRUE(G->ToggleCheckBox(1, 0, false));
    ASSERT_TRUE(G->ToggleCheckBox(0, 0, false));
    ASSERT_EQ(Rec.Count(), 3);
    const struct { int Col; const char* Orig; const char* New; } Expected[] = {
        {0, "N", "Y"}, {1, "N", "Y"}, {0, "Y", "N"}};
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Rec.Items(I)->Col, Expected[I].Col) << I;
        EXPECT_EQ(Rec.Items(I)->OrigValue, Expected[I].Orig) << I;
        EXPECT_EQ(Rec.Items(I)->Value, Expected[I].New) << I;
    }
    // Setting a state directly records nothing.
    G->ChangeCheckBoxState(0, 0, true);
    EXPECT_EQ(Rec.Count(), 3);
    G->SetUndoRedo(nullptr);
}

TEST(GridCellTypes, InteractiveToggleAsksWhetherTheCellMayBeEdited)
{
    auto G = MakeGrid(2, 2);
    G->PutCheckBox(0, 0, false, false);
    G->OnCanEditCell = [](TObject*, int, int, bool& Can) { Can = false; };
    EXPECT_FALSE(G->ToggleCheckBox(0, 0, true));
    bool State = true;
    G->GetCheckBoxState(0, 0, State);
    EXPECT_FALSE(State);
}

// A check box or radio group that is always active answers a click without
// asking whether the cell may be edited.
TEST(GridCellTypes, AlwaysActiveBoxesDoNotAskWhetherTheCellMayBeEdited)
{
    for (bool Always : {false, true}) {
        auto G = MakeGrid(2, 2);
        int Asked = 0;
        G->OnCanEditCell = [&Asked](TObject*, int, int, bool& Can) {
            ++Asked;
            Can = false;
        };
        G->ControlLook()->SetCheckAlwaysActive(Always);
        G->ControlLook()->SetRadioAlwaysActive(Always);
        G->PutCheckBox(0, 0, false, false);
        EXPECT_EQ(G->ToggleCheckBox(0, 0, true), Always) << Always;
        bool State = !Always;
        G->GetCheckBoxState(0, 0, State);
        EXPECT_EQ(State, Always) << Always;

        TCellGraphic* R = G->NewCellGraphic(1, 1);
        auto* Items = new TStringList();
        Items->Add("a");
        Items->Add("b");
        R->CellType = ctRadio;
        R->CellBitmap = Items;
        R->CellCreated = true;
        R->CellIndex = 0;
        G->CycleRadioItem(1, 1, true);
        EXPECT_EQ(R->CellIndex, Always ? 1 : 0) << Always;
        EXPECT_EQ(Asked, Always ? 0 : 2) << Always;
    }
}

// Without PreciseCheckBoxCheck the whole cell counts as the box; with it only
// the box of CheckSize at its place (top left here, 2 pixels in).
TEST(GridCellTypes, PointInCheckBox)
{
    auto G = MakeGrid(4, 4);
    G->SetColWidths(1, 60);
    G->PutCheckBox(1, 1, false, false);
    G->MergeCells(2, 2, 2, 1);
    G->PutCheckBox(2, 2, false, false);
    const TRect Cell = G->MergedCellRect(1, 1);
    EXPECT_TRUE(G->PtInCheckBox(1, 1, Cell.right - 1, Cell.bottom - 1));
    EXPECT_FALSE(G->PtInCheckBox(0, 1, Cell.left + 3, Cell.top + 3)) << "no box";
    EXPECT_FALSE(G->PtInCheckBox(3, 2, Cell.left + 3, Cell.top + 3)) << "covered cell of a box";
    G->MouseActions()->PreciseCheckBoxCheck = true;
    const int S = G->ControlLook()->CheckSize();
    const struct { int X; int Y; bool In; } Cases[] = {
        {Cell.left + 2, Cell.top + 2, true},
        {Cell.left + 1 + S, Cell.top + 1 + S, true},
        {Cell.left + 1, Cell.top + 2, false},
        {Cell.left + 2, Cell.top + 1, false},
        {Cell.left + 2 + S, Cell.top + 2, false},
        {Cell.left + 2, Cell.top + 2 + S, false},
        {Cell.right - 1, Cell.bottom - 1, false},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(G->PtInCheckBox(1, 1, C.X, C.Y), C.In) << C.X - Cell.left << "," << C.Y - Cell.top;
    // A box at the bottom, centred: the box moves with the cell's alignment.
    G->GetCellGraphic(1, 1)->CellVAlign = vaBottom;
    G->OnGetAlignment = [](TObject*, int, int, TAlignment& H, TVAlignment&) { H = taCenter; };
    const int L = Cell.left + (Cell.right - Cell.left - S) / 2;
    const int T = Cell.bottom - S - 2;
    EXPECT_TRUE(G->PtInCheckBox(1, 1, L, T));
    EXPECT_TRUE(G->PtInCheckBox(1, 1, L + S - 1, T + S - 1));
    EXPECT_FALSE(G->PtInCheckBox(1, 1, L - 1, T));
    EXPECT_FALSE(G->PtInCheckBox(1, 1, L, T + S));
}

TEST(GridCellTypes, TypedValues)
{
    auto G = MakeGrid(2, 2);
    const struct { const char* Text; int Value; bool Fails; } IntCases[] = {
        {"", 0, false}, {"-", 0, false}, {"42", 42, false}, {" -7 ", -7, false}, {"12a", 0, true}, {"x", 0, true}};
    for (const auto& C : IntCases) {
        G->WriteCellText(0, 0, C.Text);
        if (C.Fails) {
            try {
                G->GetCellInt(0, 0);
                ADD_FAILURE() << "no error for '" << C.Text << "'";
            } catch (const EProGridError& E) {
                EXPECT_EQ(E.Message, "Cell does not contain integer value") << C.Text;
            }
        } else {
            EXPECT_EQ(G->GetCellInt(0, 0), C.Value) << C.Text;
        }
    }
    G->SetCellFloat(1, 1, 3.14159);
    EXPECT_EQ(G->ReadCellText(1, 1), "3.14");
    EXPECT_DOUBLE_EQ(G->GetCellFloat(1, 1), 3.14);
    // FloatFormat takes one floating-point value: other formats are refused
    // and the cell keeps its text.
    const struct { const char* Format; const char* Text; } FormatCases[] = {
        {"%.3f", "3.142"}, {"%8.1e", " 3.1e+00"}, {"%.1f %%", "3.1 %"}, {"%g", "3.14159"},
        {"%s", nullptr}, {"%d", nullptr}, {"%.2f %.2f", nullptr}, {"%n", nullptr}, {"%*f", nullptr},
        {"value", nullptr}, {"%", nullptr}};
    for (const auto& C : FormatCases) {
        G->WriteCellText(1, 0, "old");
        G->FloatFormat = C.Format;
        if (C.Text) {
            G->SetCellFloat(1, 0, 3.14159);
            EXPECT_EQ(G->ReadCellText(1, 0), C.Text) << C.Format;
        } else {
            EXPECT_THROW(G->SetCellFloat(1, 0, 3.14159), EProGridError) << C.Format;
            EXPECT_EQ(G->ReadCellText(1, 0), "old") << C.Format;
        }
    }
    G->FloatFormat = "%.2f";
    G->WriteCellText(1, 1, "12.5 kg");
    EXPECT_DOUBLE_EQ(G->GetCellFloat(1, 1), 12.5);
    G->WriteCellText(1, 1, "abc");
    EXPECT_DOUBLE_EQ(G->GetCellFloat(1, 1), 0.0);   // no number part at all
    G->WriteCellText(1, 1, "x.y");
    try {
        G->GetCellFloat(1, 1);
        ADD_FAILURE() << "no error for x.y";
    } catch (const EProGridError& E) {
        EXPECT_EQ(E.Message, "Cell does not contain a float value");
    }
    G->SetCellInt(0, 1, -15);
    EXPECT_EQ(G->ReadCellText(0, 1), "-15");
    G->WriteWideCellText(0, 0, L"\x4E2D");
    EXPECT_EQ(G->ReadWideCellText(0, 0), L"\x4E2D");
}

TEST(GridCellTypes, RadioGroupCyclesToTheStart)
{
    auto G = MakeGrid(2, 2);
    TCellGraphic* R = G->NewCellGraphic(0, 0);
    auto* Items = new TStringList();
    for (const char* S : {"a", "b", "c"})
        Items->Add(S);
    R->CellType = ctRadio;
    R->CellBitmap = Items;
    R->CellCreated = true;
    R->CellIndex = 2;
    EXPECT_FALSE(G->CycleRadioItem(0, 0, false));
    EXPECT_EQ(R->CellIndex, 0);
    EXPECT_EQ(G->ReadCellText(0, 0), "a");
    int Index = -1;
    EXPECT_TRUE(G->GetRadioIndex(0, 0, Index));
    EXPECT_EQ(Index, 0);
    EXPECT_EQ(G->GetRadioItems(0, 0), Items);
    // With CellIndex below 0 the text selects the item.
    R->CellIndex = -1;
    G->WriteCellText(0, 0, "b");
    G->CycleRadioItem(0, 0, false);
    EXPECT_EQ(G->ReadCellText(0, 0), "c");
}

// A grid of rows "r0".."rN-1" in column 1.
std::unique_ptr<TProStringGrid> NodeGrid(int Rows)
{
    auto G = MakeGrid(3, Rows);
    for (int R = 0; R < Rows; ++R)
        G->SetCells(1, R, "r" + std::to_string(R));
    return G;
}

TEST(GridCellTypes, NodeContractsAndExpandsItsSpan)
{
    auto G = NodeGrid(12);
    G->AddNode(5, 3);
    EXPECT_TRUE(G->HasNodes());
    EXPECT_TRUE(G->IsNodeRow(5));
    EXPECT_EQ(G->GetNodeSpan(5), 3);
    EXPECT_EQ(G->GetRowIndent(6), G->CellNode()->NodeIndent());
    EXPECT_EQ(G->GetRowIndent(8), 0);
    G->ContractNode(5);
    EXPECT_TRUE(G->IsNodeContracted(5));
    EXPECT_EQ(G->RowCount(), 10);
    EXPECT_TRUE(G->IsHiddenRow(6));
    EXPECT_TRUE(G->IsHiddenRow(7));
    EXPECT_EQ(G->Cells(1, 6), "r8");
    G->ExpandNode(5);
    EXPECT_EQ(G->RowCount(), 12);
    for (int R = 0; R < 12; ++R)
        EXPECT_EQ(G->Cells(1, R), "r" + std::to_string(R)) << R;
}

TEST(GridCellTypes, NestedContractionMergesTheHiddenRanges)
{
    auto G = NodeGrid(12);
    G->AddNode(2, 6);   // rows 2..7
    G->AddNode(4, 3);   // rows 4..6
    G->ContractNode(4);
    G->ContractNode(2);
    EXPECT_EQ(G->RowCount(), 7);
    EXPECT_EQ(G->Cells(1, 3), "r8");
    G->ExpandNode(2);
    EXPECT_EQ(G->RowCount(), 12);
    EXPECT_FALSE(G->IsNodeContracted(4));
    for (int R = 0; R < 12; ++R)
        EXPECT_EQ(G->Cells(1, R), "r" + std::to_string(R)) << R;
}

// Sound behaviour: a node with a span of 0 reaches to the next node, and
// contracting all nodes ends.
TEST(GridCellTypes, ContractAllNodesEndsOnSpansOfZero)
{
    auto G = NodeGrid(10);
    G->AddNode(1, 0);
    G->AddNode(4, 3);
    G->ContractAllNodes();
    EXPECT_EQ(G->RowCount(), 10 - 2 - 2);
    EXPECT_EQ(G->Cells(1, 1), "r1");
    EXPECT_EQ(G->Cells(1, 2), "r4");
    EXPECT_EQ(G->Cells(1, 3), "r7");
    G->ExpandAllNodes();
    for (int R = 0; R < 10; ++R)
        EXPECT_EQ(G->Cells(1, R), "r" + std::to_string(R)) << R;
}

TEST(GridCellTypes, ChildRowUnderANestedNodeGrowsBothSpans)
{
    auto G = NodeGrid(10);
    G->AddNode(1, 6);   // 1..6
    G->AddNode(2, 3);   // 2..4
    G->InsertNodeChildRow(3, 1);
    EXPECT_EQ(G->RowCount(), 11);
    EXPECT_EQ(G->GetNodeSpan(2), 4);
    EXPECT_EQ(G->GetNodeCountOffset(2), 1);
    EXPECT_EQ(G->GetNodeSpan(1), 7);
    EXPECT_EQ(G->GetNodeCountOffset(1), 1);
    EXPECT_EQ(G->Cells(1, 4), "");
    EXPECT_EQ(G->Cells(1, 5), "r4");
}

// Sound behaviour: a row colour of none clears that colour only.
TEST(GridCellTypes, RowColourNoneKeepsCheckBoxesAndMerges)
{
    auto G = MakeGrid(4, 4);
    G->PutCheckBox(1, 2, true, false);
    G->MergeCells(2, 2, 2, 1);
    G->SetRowBrushColor(2, clRed);
    EXPECT_EQ(G->GetCellBrushColor(1, 2), clRed);
    G->SetRowBrushColor(2, clNone);
    G->SetRowFontColor(2, clNone);
    EXPECT_EQ(G->GetCellBrushColor(1, 2), clNone);
    EXPECT_EQ(G->GetCellType(1, 2), ctCheckBox);
    EXPECT_TRUE(G->IsMergedCell(3, 2));
    EXPECT_EQ(G->GetCellBrushColor(3, 3), clNone);
    EXPECT_FALSE(G->HasCellProperties(1, 3));
}

// Sound behaviour: a data check box in a hidden row writes that row's text.
TEST(GridCellTypes, DataCheckBoxInAHiddenRowWritesThatRow)
{
    auto G = MakeGrid(2, 8);
    for (int R = 0; R < 8; ++R) {
        G->PutCheckBox(0, R, false, true);
        G->SetCells(1, R, "r" + std::to_string(R));
    }
    G->HideRows(3, 4);
    EXPECT_TRUE(G->ChangeCheckBoxState(0, 4, true));
    bool State = false;
    ASSERT_TRUE(G->GetCheckBoxState(0, 4, State));
    EXPECT_TRUE(State);
    // The shown row at display index 4 (real row 6) is untouched.
    EXPECT_EQ(G->Cells(0, 4), "N");
    G->UnHideRowsAll();
    EXPECT_EQ(G->Cells(0, 4), "Y");
    EXPECT_EQ(G->Cells(0, 6), "N");
}

} // namespace

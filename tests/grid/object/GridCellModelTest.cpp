// The grid's cell model without a window: cell properties, merges, text
// through base cells, display-text hooks, the change recorder, fixed rows,
// merge columns, update bracketing, version and copying.

#include <gtest/gtest.h>

#include "grid/core/ProGrid.h"
#include "grid/interaction/Navigation.h"

namespace {

// A grid of the given size without fixed cells.
std::unique_ptr<TProStringGrid> MakeGrid(int Cols, int Rows, int FixedCols = 0, int FixedRows = 0)
{
    auto G = std::make_unique<TProStringGrid>(nullptr);
    G->SetColCount(Cols);
    G->SetRowCount(Rows);
    G->SetFixedCols(FixedCols);
    G->SetFixedRows(FixedRows);
    return G;
}

TEST(GridCellModel, ReadingAPropertyCreatesItWithTheCellStyle)
{
    auto G = MakeGrid(4, 4);
    EXPECT_FALSE(G->HasCellProperties(1, 1));
    TCellProperties* P = G->EnsureCellProperties(1, 1);
    ASSERT_NE(P, nullptr);
    EXPECT_TRUE(G->HasCellProperties(1, 1));
    EXPECT_TRUE(G->PropertiesCreated);
    EXPECT_EQ(P->OwnerCol, 1);
    EXPECT_EQ(P->OwnerRow, 1);
    EXPECT_EQ(P->CellSpanX, -1);
    EXPECT_TRUE(P->IsBaseCell);
    EXPECT_EQ(P->FontName, G->Font()->Name());
    EXPECT_EQ(G->EnsureCellProperties(1, 1), P);
}

// New properties take the cell's resolved background, except one that bands
// or a gradient background supply.
TEST(GridCellModel, NewPropertiesLeaveOutABackgroundOfBandsOrGradients)
{
    const struct { const char* Name; bool Bands; TBackGroundDisplay Display; bool Kept; } Cases[] = {
        {"plain", false, bdTile, true},
        {"bands", true, bdTile, false},
        {"horizontal gradient", false, bdGradientHorz, false},
        {"vertical gradient", false, bdGradientVert, false},
        {"fixed picture", false, bdFixed, true},
    };
    for (const auto& C : Cases) {
        auto G = MakeGrid(4, 4);
        G->SetColor(clAqua);
        G->Bands()->SetActive(C.Bands);
        G->BackGround()->SetDisplay(C.Display);
        TCellProperties* P = G->EnsureCellProperties(2, 2);
        EXPECT_EQ(P->BrushColor(), C.Kept ? clAqua : clNone) << C.Name;
        EXPECT_EQ(P->BrushColorTo(), clNone) << C.Name;
    }
}

TEST(GridCellModel, MergeThreeByTwoAndSplit)
{
    auto G = MakeGrid(6, 6);
    G->MergeCells(1, 1, 3, 2);
    TCellProperties* Base = G->CellProperties(1, 1);
    ASSERT_NE(Base, nullptr);
    EXPECT_TRUE(Base->IsBaseCell);
    EXPECT_EQ(Base->CellSpanX, 2);
    EXPECT_EQ(Base->CellSpanY, 1);
    TCellProperties* Last = G->CellProperties(3, 2);
    ASSERT_NE(Last, nullptr);
    EXPECT_FALSE(Last->IsBaseCell);
    EXPECT_EQ(Last->CellSpanX, 2);
    EXPECT_EQ(Last->CellSpanY, 1);
    EXPECT_EQ(G->BaseCell(3, 2).x, 1);
    EXPECT_EQ(G->BaseCell(3, 2).y, 1);
    int Merged = 0;
    int Covered = 0;
    for (int C = 1; C <= 3; ++C)
        for (int R = 1; R <= 2; ++R) {
            Merged += G->IsMergedCell(C, R);
            Covered += G->IsCoveredCell(C, R);
            EXPECT_EQ(G->MergedSpan(C, R).x, 2) << C << "," << R;
            EXPECT_EQ(G->MergedSpan(C, R).y, 1) << C << "," << R;
        }
    EXPECT_EQ(Merged, 6);
    EXPECT_EQ(Covered, 5);
    EXPECT_FALSE(G->IsMergedCell(4, 1));

    G->SplitCells(2, 2);
    for (int C = 1; C <= 3; ++C)
        for (int R = 1; R <= 2; ++R) {
            TCellProperties* P = G->CellProperties(C, R);
            ASSERT_NE(P, nullptr);
            EXPECT_EQ(P->CellSpanX, -1) << C << "," << R;
            EXPECT_EQ(P->CellSpanY, -1) << C << "," << R;
            EXPECT_TRUE(P->IsBaseCell);
        }
}

TEST(GridCellModel, TextOfAMergedRangeLivesInItsBaseCell)
{
    auto G = MakeGrid(6, 6);
    G->MergeCells(1, 1, 3, 2);
    G->WriteCellText(3, 2, "merged");
    EXPECT_EQ(G->Cells(1, 1), "merged");
    EXPECT_EQ(G->Cells(3, 2), "");
    for (int C = 1; C <= 3; ++C)
        for (int R = 1; R <= 2; ++R)
            EXPECT_EQ(G->ReadCellText(C, R), "merged") << C << "," << R;
}

// Sound behaviour: a merge over an existing merge splits the overlap first,
// so no covered cell keeps pointing at the old base.
TEST(GridCellModel, MergeOverAMergeSplitsTheOldRangeFirst)
{
    auto G = MakeGrid(6, 6);
    G->MergeCells(0, 0, 3, 3);
    G->MergeCells(2, 2, 2, 2);
    // The old range's cells outside the new one are plain again.
    for (const auto& [C, R] : {std::pair{0, 0}, {1, 1}, {2, 0}, {0, 2}, {1, 2}}) {
        EXPECT_FALSE(G->IsMergedCell(C, R)) << C << "," << R;
        EXPECT_EQ(G->BaseCell(C, R).x, C);
    }
    for (int C = 2; C <= 3; ++C)
        for (int R = 2; R <= 3; ++R) {
            EXPECT_EQ(G->BaseCell(C, R).x, 2);
            EXPECT_EQ(G->BaseCell(C, R).y, 2);
        }
}

TEST(GridCellModel, DisplayTextHookOnlyBelowNormalRowCount)
{
    auto G = MakeGrid(3, 5);
    G->OnGetDisplText = [](TObject*, int, int, String& V) { V = "<" + V + ">"; };
    G->SetCells(1, 2, "x");
    EXPECT_EQ(G->ReadCellText(1, 2), "<x>");
    G->NormalRowCount = 2;
    EXPECT_EQ(G->ReadCellText(1, 2), "x");
    EXPECT_EQ(G->ReadCellText(1, 1), "<>");
}

TEST(GridCellModel, WideDisplayTextHookReturnsPackedText)
{
    auto G = MakeGrid(3, 3);
    G->SetCells(0, 0, "ab");
    G->OnGetDisplWideText = [](TObject*, int, int, WideString&) {};
    EXPECT_EQ(G->ReadCellText(0, 0), String("|\\\0a\0b", 6));
}

// A grouped header row shows the number of rows of its group after its
// text in the grouping column: " (N)", or through GroupCountFormat when that
// takes one number.
TEST(GridCellModel, GroupHeaderRowsShowTheirGroupCount)
{
    const struct { const char* Name; bool Show; const char* Format; const char* A; const char* B; } Cases[] = {
        {"off", false, "", "A", "B"},
        {"default", true, "", "A (3)", "B (2)"},
        {"format", true, " [%d rows]", "A [3 rows]", "B [2 rows]"},
        {"padded", true, " #%03d", "A #003", "B #002"},
        {"no number in format", true, " rows", "A (3)", "B (2)"},
        {"string format", true, " %s", "A (3)", "B (2)"},
        {"two numbers", true, " %d/%d", "A (3)", "B (2)"},
    };
    for (const auto& C : Cases) {
        auto G = MakeGrid(4, 6, 0, 1);
        const char* Keys[] = {"A", "A", "A", "B", "B"};
        for (int R = 1; R <= 5; ++R) {
            G->SetCells(1, R, Keys[R - 1]);
            G->SetCells(2, R, "v" + std::to_string(R));
        }
        G->Grouping()->ShowGroupCount = C.Show;
        G->Grouping()->GroupCountFormat = C.Format;
        G->Group(1);
        ASSERT_EQ(G->GroupColumn(), 1) << C.Name;
        std::vector<String> Headers;
        for (int R = 0; R < G->RowCount(); ++R)
            if (G->IsNodeRow(R)) {
                Headers.push_back(G->ReadCellText(1, R));
                EXPECT_EQ(G->ReadCellText(2, R), "") << C.Name << ": other columns show no count";
            }
        EXPECT_EQ(Headers, (std::vector<String>{C.A, C.B})) << C.Name;
        // A row that is no header row shows its text alone.
        EXPECT_EQ(G->ReadCellText(1, 2), "v1") << C.Name;
    }
}

TEST(GridCellModel, RecorderKeepsMaxLevelChangesAndAllMarkers)
{
    auto G = MakeGrid(3, 3);
    TProGridUndoRedo Rec(nullptr);
    G->SetUndoRedo(&Rec);
    EXPECT_EQ(Rec.Grid, G.get());
    Rec.MaxLevel = 3;
    Rec.StartSequence();
    for (int I = 0; I < 4; ++I)
        Rec.AddChange(I, 0, "o" + std::to_string(I), "n" + std::to_string(I));
    Rec.StopSequence();
    int Changes = 0;
    int Markers = 0;
    for (int I = 0; I < Rec.Count(); ++I) {
        if (Rec.Items(I)->SequenceStart || Rec.Items(I)->SequenceStop)
            ++Markers;
        else
            ++Changes;
    }
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Markers, 2);
    EXPECT_EQ(Rec.Level, Rec.Count());
    // The oldest change went; the last three stay in order.
    std::vector<String> Kept;
    for (int I = 0; I < Rec.Count(); ++I)
        if (!Rec.Items(I)->SequenceStart && !Rec.Items(I)->SequenceStop)
            Kept.push_back(Rec.Items(I)->Value);
    EXPECT_EQ(Kept, (std::vector<String>{"n1", "n2", "n3"}));
    G->SetUndoRedo(nullptr);
}

TEST(GridCellModel, FixedRowAlwaysKeepsTheWantedFixedRows)
{
    auto G = MakeGrid(3, 1);
    G->FixedRowAlways = true;
    G->SetFixedRows(1);
    EXPECT_EQ(G->TStringGrid::FixedRows(), 0);
    EXPECT_EQ(G->FixedRows(), 1);
    G->SetRowCount(5);
    EXPECT_EQ(G->TStringGrid::FixedRows(), 1);
}

TEST(GridCellModel, EveryCellIsFixedWithFixedRowAlwaysAndOnlyFixedRows)
{
    auto G = MakeGrid(3, 2, 0, 1);
    G->FixedRowAlways = true;
    G->SetFixedRows(2);
    int Asked = 0;
    G->OnIsFixedCell = [&](TObject*, int, int, bool&) { ++Asked; };
    G->SetRowCount(2);
    for (int C = 0; C < 3; ++C)
        for (int R = 0; R < 2; ++R)
            EXPECT_TRUE(G->IsFixedCell(C, R)) << C << "," << R;
    EXPECT_EQ(Asked, 0);
}

TEST(GridCellModel, FooterRowsAndRightColumnsAreFixedWhateverTheEventSays)
{
    auto G = MakeGrid(5, 6);
    G->SetFixedFooters(1);
    G->SetFixedRightCols(1);
    G->OnIsFixedCell = [](TObject*, int, int, bool& F) { F = false; };
    EXPECT_TRUE(G->IsFixedCell(1, 5));
    EXPECT_TRUE(G->IsFixedCell(4, 1));
    EXPECT_FALSE(G->IsFixedCell(1, 1));
}

TEST(GridCellModel, MergeColumnsMergeEqualRunsWithinEarlierGroups)
{
    auto G = MakeGrid(4, 4, 0, 1);
    const char* Col2[] = {"A", "A", "B"};
    const char* Col3[] = {"X", "X", "X"};
    for (int I = 0; I < 3; ++I) {
        G->SetCells(2, I + 1, Col2[I]);
        G->SetCells(3, I + 1, Col3[I]);
    }
    G->MergedColumns()->AddInteger(2);
    G->MergedColumns()->AddInteger(3);
    EXPECT_EQ(G->MergedSpan(2, 1).y, 1);
    EXPECT_EQ(G->BaseCell(2, 2).y, 1);
    EXPECT_FALSE(G->IsMergedCell(2, 3));
    EXPECT_EQ(G->MergedSpan(3, 1).y, 1);
    EXPECT_EQ(G->BaseCell(3, 2).y, 1);
    EXPECT_FALSE(G->IsMergedCell(3, 3));
}

TEST(GridCellModel, MergeColumnRunsMergesEveryRunOfTwoOrMore)
{
    auto G = MakeGrid(2, 6, 0, 1);
    const char* Texts[] = {"A", "A", "B", "B", "B"};
    for (int I = 0; I < 5; ++I)
        G->SetCells(0, I + 1, Texts[I]);
    G->MergeColumnRuns(0, true);
    EXPECT_EQ(G->MergedSpan(0, 1).y, 1);
    EXPECT_EQ(G->MergedSpan(0, 3).y, 2);
    EXPECT_EQ(G->BaseCell(0, 5).y, 3);
}

// Sound behaviour: the update counter balances without a window too.
TEST(GridCellModel, UpdateCounterBalancesWithoutAWindow)
{
    auto G = MakeGrid(3, 3);
    G->EndUpdate();
    EXPECT_EQ(G->UpdateCount(), 0);
    G->BeginUpdate();
    G->BeginUpdate();
    EXPECT_EQ(G->UpdateCount(), 2);
    G->EndUpdate();
    G->EndUpdate();
    EXPECT_EQ(G->UpdateCount(), 0);
}

TEST(GridCellModel, VersionTexts)
{
    auto G = MakeGrid(2, 2);
    EXPECT_EQ(G->Version(), "4.0.6.7");
    G->SetVersion("9.9");
    EXPECT_EQ(G->Version(), "4.0.6.7");
    EXPECT_EQ(G->GetVersionString(), "4.0.6.7 Jul, 2008");
    EXPECT_EQ(G->GetVersionNr(), 0x04000607);
}

TEST(GridCellModel, ConstructorDefaults)
{
    TProStringGrid G(nullptr);
    EXPECT_EQ(G.RowCount(), 10);
    EXPECT_EQ(G.Width(), 400);
    EXPECT_EQ(G.Height(), 250);
    EXPECT_EQ(G.DefaultRowHeight(), 22);
    EXPECT_EQ(G.SelectionColor, static_cast<TColor>(0xEACAB6));
    EXPECT_EQ(G.CheckTrue, "Y");
    EXPECT_EQ(G.CheckFalse, "N");
    EXPECT_EQ(G.FloatFormat, "%.2f");
    EXPECT_TRUE(G.ShowSelection);
    EXPECT_TRUE(G.WordWrap());
    EXPECT_EQ(G.Look, glXP);
    EXPECT_EQ(G.GridLineWidth(), 1);
    EXPECT_EQ(G.TStringGrid::GridLineWidth(), 0);
    EXPECT_TRUE(G.HasOption(goDrawFocusSelected));
    EXPECT_TRUE(G.ControlStyle & csAcceptsControls);
    EXPECT_FALSE(G.TStringGrid::DefaultDrawing());
    EXPECT_EQ(G.FixedFont()->Name(), "Tahoma");
    EXPECT_TRUE(G.FixedFont()->Style().Contains(TFontStyle::fsBold));
    EXPECT_NE(ProGridClipboardFormat(), 0u);
    EXPECT_NE(GridEditDoneMessage(), 0u);
}

TEST(GridCellModel, IntegralHeightRoundsToWholeRows)
{
    TProStringGrid G(nullptr);
    G.SetColCount(2);
    G.SetBorderStyle(bsSingle);
    G.IntegralHeight = true;
    G.SetBounds(0, 0, 400, 100);
    EXPECT_EQ(G.Height(), 92);
    // More columns than fit bring the horizontal scroll bar: the height is
    // worked out again without the bar's height.
    G.SetColCount(40);
    const int H = GetSystemMetrics(SM_CYHSCROLL);
    EXPECT_EQ(G.Height(), 92 + 2 - ((92 - H - 2) % 22));
}

TEST(GridCellModel, AssignCopiesWidthsAndTextsButNotCellProperties)
{
    auto A = MakeGrid(4, 5);
    A->SetColWidths(2, 77);
    A->SetCells(2, 3, "text");
    A->SetCellFontColor(2, 3, clRed);
    A->PutCheckBox(1, 1, true, false);
    A->Grouping()->ShowGroupCount = true;
    A->Grouping()->GroupCountFormat = " [%d]";
    A->Bands()->SetActive(true);
    A->SortSettings()->AutoSortForGrouping = false;
    auto B = MakeGrid(2, 2);
    B->Assign(A.get());
    EXPECT_TRUE(B->Grouping()->ShowGroupCount);
    EXPECT_EQ(B->Grouping()->GroupCountFormat, " [%d]");
    EXPECT_TRUE(B->Bands()->Active());
    EXPECT_FALSE(B->SortSettings()->AutoSortForGrouping);
    EXPECT_EQ(B->ColCount(), 4);
    EXPECT_EQ(B->RowCount(), 5);
    EXPECT_EQ(B->ColWidths(2), 77);
    EXPECT_EQ(B->Cells(2, 3), "text");
    EXPECT_FALSE(B->HasCellProperties(2, 3));
    EXPECT_EQ(B->GetCellType(1, 1), ctEmpty);
}

// Only the grid's own cell objects are freed; an application object put in
// a slot directly stays its creator's.
TEST(GridCellModel, FreeingCellObjectsFreesOnlyTheGridsOwnClasses)
{
    const long Before = TCellProperties::LiveCount();
    TStringList Foreign;
    {
        auto G = MakeGrid(3, 3);
        G->EnsureCellProperties(0, 0);
        G->SetObjects(1, 1, &Foreign);
        EXPECT_EQ(TCellProperties::LiveCount(), Before + 1);
        G->FreeAllCellObjects();
        EXPECT_EQ(TCellProperties::LiveCount(), Before);
        G->SetObjects(1, 1, &Foreign);
    }
    Foreign.Add("still alive");
    EXPECT_EQ(Foreign.Count(), 1);
}

TEST(GridCellModel, ColumnHeadersWriteOnlyAsManyLinesAsColumns)
{
    auto G = MakeGrid(3, 3, 0, 1);
    TStringList H;
    for (const char* S : {"a", "b\\nc", "d", "e"})
        H.Add(S);
    G->SetColumnHeaders(&H);
    EXPECT_EQ(G->Cells(0, 0), "a");
    EXPECT_EQ(G->Cells(1, 0), "b\rc");
    EXPECT_EQ(G->Cells(2, 0), "d");
    EXPECT_EQ(G->Cells(3, 0), "");
}

TEST(GridCellModel, LoadedTakesTheLoadedValues)
{
    TProStringGrid G(nullptr);
    G.BeginLoading();
    G.SetColCount(4);
    G.SetRowCount(6);
    G.SetFixedRows(2);
    G.SetFixedCols(1);
    G.SetOptions(G.Options() | goAlwaysShowEditor | goEditing);
    TStringList H;
    H.Add("h0");
    H.Add("h1");
    G.ColumnHeaders()->Assign(&H);
    EXPECT_EQ(G.WantedFixedRows(), 0) << "nothing is wanted while loading";
    G.EndLoading();
    EXPECT_EQ(G.WantedFixedRows(), 2);
    EXPECT_EQ(G.WantedFixedCols(), 1);
    EXPECT_FALSE(G.HasOption(goAlwaysShowEditor));
    EXPECT_TRUE(G.Navigation()->AlwaysEdit);
    EXPECT_EQ(G.Cells(1, 0), "h1");
}

// After loading, the classic look takes its grey-to-white fixed gradient, and
// themed controls fall back to classic ones when visual styles are off.
TEST(GridCellModel, LoadedAppliesTheClassicLookAndTheThemeFallback)
{
    for (TGridLook Look : {glClassic, glXP}) {
        TProStringGrid G(nullptr);
        G.BeginLoading();
        G.Look = Look;
        G.FixedGradientFrom = clRed;
        G.FixedGradientMirrorFrom = clRed;
        G.ControlLook()->SetControlStyle(csTheme);
        const TColor ToBefore = G.FixedGradientTo;
        G.EndLoading();
        const bool Classic = Look == glClassic;
        EXPECT_EQ(G.FixedGradientFrom, Classic ? static_cast<TColor>(0xC0C0C0) : clRed) << Look;
        EXPECT_EQ(G.FixedGradientTo, Classic ? static_cast<TColor>(0xFFFFFF) : ToBefore) << Look;
        EXPECT_EQ(G.FixedGradientMirrorFrom, Classic ? clNone : clRed) << Look;
        EXPECT_EQ(G.ControlLook()->ControlStyle(), G.XPFlag() ? csTheme : csClassic) << "XP flag " << G.XPFlag();
    }
}

} // namespace

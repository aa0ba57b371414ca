// Grouping: runs of equal values of one column put under node header rows
// (with optional summary rows), a second level inside the groups, and
// taking both levels away again.

#include <algorithm>
#include <set>

#include "grid/core/ProGrid.h"

namespace {
// The previous value the walks start with: no cell text equals it.
const String GroupStartValue("\xFF\xFE", 2);

TColor Converted(TColor C, bool Convert)
{
    return Convert ? static_cast<TColor>(ColorToRGB(C)) : C;
}
} // namespace

void TGrouping::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TGrouping*>(Source);
    if (!S)
        return;
    GroupCountFormat = S->GroupCountFormat;
    HeaderColor = S->HeaderColor;
    HeaderColorTo = S->HeaderColorTo;
    HeaderTextColor = S->HeaderTextColor;
    HeaderUnderline = S->HeaderUnderline;
    MergeHeader = S->MergeHeader;
    MergeSummary = S->MergeSummary;
    ShowGroupCount = S->ShowGroupCount;
    SummaryColor = S->SummaryColor;
    SummaryColorTo = S->SummaryColorTo;
    SummaryTextColor = S->SummaryTextColor;
    SummaryLine = S->SummaryLine;
}

// ---------------------------------------------------------------------------
// Helpers

void TProStringGrid::SaveGroupColumn(int ACol)
{
    FGroupColumn = ACol;
    FGroupColumnWidth = ColWidths(ACol);
    if (TStringGrid::FixedRows() > 0)
        FGroupHeaderText = Cells(ACol, 0);
    if (FFixedFooters > 0)
        FGroupFooterText = Cells(ACol, RowCount() - 1);
}

void TProStringGrid::SetRowColors(int ARow, TColor Brush, TColor BrushTo, TColor Font, bool Convert)
{
    if (Brush != clNone)
        SetRowBrushColor(ARow, Converted(Brush, Convert));
    if (BrushTo != clNone)
        SetRowBrushColorTo(ARow, Converted(BrushTo, Convert));
    if (Font != clNone)
        SetRowFontColor(ARow, Converted(Font, Convert));
}

void TProStringGrid::SetCellColors(int ACol, int ARow, TColor Brush, TColor BrushTo, TColor Font, bool Convert)
{
    if (Brush != clNone)
        SetCellBrushColor(ACol, ARow, Converted(Brush, Convert));
    if (BrushTo != clNone)
        SetCellBrushColorTo(ACol, ARow, Converted(BrushTo, Convert));
    if (Font != clNone)
        SetCellFontColor(ACol, ARow, Converted(Font, Convert));
}

void TProStringGrid::ClearRowBrushColors(int ARow, TColor Brush, TColor BrushTo)
{
    if (Brush != clNone)
        SetRowBrushColor(ARow, clNone);
    if (BrushTo != clNone)
        SetRowBrushColorTo(ARow, clNone);
}

bool TProStringGrid::HasSubGroupLevels()
{
    for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R)
        if (TCellGraphic* G = NodeGraphic(R); G && G->CellVar != -1)
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Group and UnGroup

void TProStringGrid::Group(int ACol)
{
    // Column 0 carries the node graphics: it is refused like a fixed column.
    if (ACol < TStringGrid::FixedCols() || ACol <= 0 || ACol >= ColCount())
        return;
    if (FTopGroupColumn != -1)
        UnGroup();
    const int First = TStringGrid::FixedRows();
    // Nothing to group: no normal row between the fixed rows and the footers.
    if (RowCount() - FFixedFooters - First < 1)
        return;
    const TGrouping& G = *FGrouping;
    BeginUpdate();
    try {
        SaveGroupColumn(ACol);
        FTopGroupColumn = ACol;
        FTopGroupWidth = FGroupColumnWidth;
        FTopGroupHeader = FGroupHeaderText;
        FTopGroupFooter = FGroupFooterText;
        const int H = ACol == 1 ? 2 : 1;
        if (FSortSettings->AutoSortForGrouping) {
            FSortSettings->Column = ACol;
            SortRows();
        }

        String Prev = GroupStartValue;
        int I = -1;
        int B = First;
        while (B <= RowCount() - 1 - FFixedFooters) {
            const String Cur = ReadCellText(ACol, B);
            if (Cur != Prev) {
                if (I != -1) {
                    if (I > First && G.Summary) {
                        InsertRows(I, 1, true);
                        SetSummaryRow(I);
                        if (!G.MergeSummary)
                            SetRowColors(I, G.SummaryColor, G.SummaryColorTo, G.SummaryTextColor, true);
                        ++I;
                        AddNode(I, B - I + 1);
                        ++B;
                    } else {
                        AddNode(I, B - I);
                    }
                }
                InsertRows(B, 1, true);
                WriteCellText(H, B, Cur);
                if (!G.MergeHeader)
                    SetRowColors(B, G.HeaderColor, G.HeaderColorTo, G.HeaderTextColor, true);
                I = B;
                ++B;
            }
            if (B < RowCount() - 1)
                Prev = ReadCellText(ACol, B);
            ++B;
        }
        if (I != -1) {
            if (I > First && G.Summary) {
                InsertRows(I, 1, true);
                SetSummaryRow(I);
                if (!G.MergeSummary)
                    SetRowColors(I, G.SummaryColor, G.SummaryColorTo, G.SummaryTextColor, true);
                ++I;
                ++B;
            }
            AddNode(I, B - I);
            if (!G.MergeHeader)
                SetRowColors(I, G.HeaderColor, G.HeaderColorTo, G.HeaderTextColor, false);
        }
        if (G.Summary) {
            InsertRows(B, 1, true);
            SetSummaryRow(B);
            if (!G.MergeSummary)
                SetRowColors(B, G.SummaryColor, G.SummaryColorTo, G.SummaryTextColor, false);
        }
        RemoveCols(ACol, 1);

        if (G.MergeHeader || (G.MergeSummary && G.Summary)) {
            // Footer rows are no summaries: the pass ends at the last normal row.
            const int Last = RowCount() - 1 - FFixedFooters;
            for (int R = First; R <= Last; ++R) {
                if (IsNodeRow(R) && G.MergeHeader) {
                    MergeCells(1, R, ColCount() - 1, 1);
                    SetCellColors(1, R, G.HeaderColor, G.HeaderColorTo, G.HeaderTextColor, true);
                }
                if ((R == Last || IsNodeRow(R + 1)) && G.MergeSummary && G.Summary && IsSummaryRow(R)) {
                    MergeCells(1, R, ColCount() - 1, 1);
                    SetCellColors(1, R, G.SummaryColor, G.SummaryColorTo, G.SummaryTextColor, false);
                }
            }
        }
        SetCurrentRow(First);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TProStringGrid::UnGroup()
{
    if (FTopGroupColumn <= 0)
        return;
    ExpandAllNodes();
    // Sub-levels first, so that every node left is a group header.
    for (int Guard = 0; Guard < 64 && HasSubGroupLevels(); ++Guard) {
        std::set<int> Levels;
        for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R)
            if (TCellGraphic* G = NodeGraphic(R); G && G->CellVar != -1)
                Levels.insert(G->CellVar);
        for (int Level : Levels)
            UngroupLevel(Level);
    }
    const TGrouping& G = *FGrouping;
    const int GroupCol = FTopGroupColumn;
    const int T = GroupCol == 1 ? 2 : 1;
    InsertCols(GroupCol, 1);
    SetColWidths(GroupCol, FTopGroupWidth);
    if (TStringGrid::FixedRows() > 0)
        SetCells(GroupCol, 0, FTopGroupHeader);
    if (FFixedFooters > 0)
        SetCells(GroupCol, RowCount() - 1, FTopGroupFooter);

    String Text;
    int R = TStringGrid::FixedRows();
    while (R <= RowCount() - 1 - FFixedFooters) {
        if (!IsNodeRow(R)) {
            WriteCellText(GroupCol, R, Text);
            ++R;
            continue;
        }
        // The group's summary row is the row after its span; only a row
        // that is one is removed.
        const int S = R + GetNodeSpan(R);
        if (S < RowCount() - FFixedFooters && IsSummaryRow(S)) {
            if (G.MergeSummary)
                SplitCells(1, S);
            else
                ClearRowBrushColors(S, G.SummaryColor, G.SummaryColorTo);
            FreeRowObjects(S);
            RemoveRowRange(S, 1, false);
        }
        Text = ReadCellText(T, R);
        RemoveNode(R);
        if (G.MergeHeader)
            SplitCells(1, R);
        else
            ClearRowBrushColors(R, G.HeaderColor, G.HeaderColorTo);
        ClearRect(0, R, ColCount() - 1, R);
        FreeRowObjects(R);
        RemoveRowRange(R, 1, false);
    }
    FGroupColumn = -1;
    FTopGroupColumn = -1;
    Invalidate();
}

// ---------------------------------------------------------------------------
// Sub-levels

void TProStringGrid::SubGroup(int ACol)
{
    // A second level needs groups to live in, a column of its own beside
    // the node column and a column to its right for the header value.
    if (ACol < TStringGrid::FixedCols() || ACol <= 0 || ACol + 1 >= ColCount() || FTopGroupColumn == -1)
        return;
    const int First = TStringGrid::FixedRows();
    if (RowCount() - FFixedFooters - First < 2)
        return;
    const TGrouping& G = *FGrouping;
    ExpandAllNodes();
    BeginUpdate();
    try {
        SaveGroupColumn(ACol);
        const int H = ACol + 1;
        auto Special = [this](int R) { return IsNodeRow(R) || IsSummaryRow(R); };
        auto ColourHeader = [&](int R, bool Convert) {
            if (G.MergeHeader) {
                MergeCells(H, R, ColCount() - H, 1);
                SetCellColors(H, R, G.HeaderColor, G.HeaderColorTo, G.HeaderTextColor, Convert);
            } else {
                SetRowColors(R, G.HeaderColor, G.HeaderColorTo, G.HeaderTextColor, Convert);
            }
        };
        auto CloseSubGroup = [&](int I, int B) {
            AddNode(I, B - I);
            if (TCellGraphic* N = NodeGraphic(I))
                N->CellVar = ACol;
        };

        String Prev = GroupStartValue;
        int I = -1;
        int B = First + 1;
        while (B < RowCount() - FFixedFooters) {
            const String Cur = ReadCellText(ACol, B);
            if (!(Cur == Prev && !Special(B))) {
                if (I != -1 && !Special(I))
                    CloseSubGroup(I, B);
                if (Special(B)) {
                    I = B;
                    ++B;
                    Prev = GroupStartValue;
                    continue;
                }
                InsertNodeChildRow(B, 0);
                WriteCellText(H, B, Cur);
                ColourHeader(B, true);
                I = B;
                ++B;
            }
            if (B < RowCount() && !Special(B - 1)) {
                Prev = ReadCellText(ACol, B);
                WriteCellText(ACol, B, "");
                ++B;
            } else {
                Prev = GroupStartValue;
            }
        }
        if (I != -1 && !Special(I)) {
            CloseSubGroup(I, B);
            ColourHeader(I, false);
            if (G.Summary) {
                InsertRows(B, 1, true);
                SetSummaryRow(B);
                if (G.MergeSummary) {
                    MergeCells(H, B, ColCount() - H, 1);
                    SetCellColors(H, B, G.SummaryColor, G.SummaryColorTo, G.SummaryTextColor, false);
                } else {
                    SetRowColors(B, G.SummaryColor, G.SummaryColorTo, G.SummaryTextColor, false);
                }
            }
        }
        SetCurrentRow(First);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TProStringGrid::UngroupLevel(int ACol)
{
    ExpandAllNodes();
    String Text;
    int A = TStringGrid::FixedRows();
    while (A <= RowCount() - 1 - FFixedFooters) {
        TCellGraphic* N = NodeGraphic(A);
        if (N && N->CellVar == ACol) {
            Text = ReadCellText(ACol + 1, A);
            RemoveNode(A);
            RemoveNodeChildRow(A);
        } else if (N) {
            ++A;
        } else {
            WriteCellText(ACol, A, Text);
            ++A;
        }
    }
}

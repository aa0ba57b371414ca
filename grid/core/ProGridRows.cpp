// Row and column insertion, removal, clearing and moves, keeping what hangs
// on rows in step: cell objects, heights, hidden rows, row flags, merges,
// the current row and the footer row.

#include <algorithm>

#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/MouseActions.h"

// ---------------------------------------------------------------------------
// Row storage helpers

void TProStringGrid::CopyRowCells(int FromRow, int ToRow)
{
    const int Cols = AllColCount();
    for (int C = 0; C < Cols; ++C) {
        SetCells(C, ToRow, Cells(C, FromRow));
        SetObjects(C, ToRow, Objects(C, FromRow));
    }
}

void TProStringGrid::DropRowCells(int ARow)
{
    const int Cols = AllColCount();
    for (int C = 0; C < Cols; ++C) {
        if (!Cells(C, ARow).empty())
            SetCells(C, ARow, "");
        if (Objects(C, ARow))
            SetObjects(C, ARow, nullptr);
    }
}

void TProStringGrid::FreeRowObjects(int ARow)
{
    if (!PropertiesCreated)
        return;
    const int Cols = AllColCount();
    for (int C = 0; C < Cols; ++C)
        if (Objects(C, ARow))
            FreeCellProperties(C, ARow);
}

std::vector<int> TProStringGrid::RealRowsOf(int ARow, int ACount) const
{
    std::vector<int> Result;
    Result.reserve(static_cast<std::size_t>(std::max(ACount, 0)));
    if (ACount <= 0)
        return Result;
    int R = DisplayToRealRow(ARow);
    auto It = std::lower_bound(FHiddenRows.begin(), FHiddenRows.end(), R,
                               [](const std::unique_ptr<TGridItem>& I, int V) { return I->Idx < V; });
    while (static_cast<int>(Result.size()) < ACount) {
        while (It != FHiddenRows.end() && (*It)->Idx == R) {
            ++R;
            ++It;
        }
        Result.push_back(R++);
    }
    return Result;
}

void TProStringGrid::RenumberHiddenAfterRemoval(const std::vector<int>& RemovedReal)
{
    if (FHiddenRows.empty() || RemovedReal.empty())
        return;
    std::size_t K = 0;
    for (auto& Item : FHiddenRows) {
        while (K < RemovedReal.size() && RemovedReal[K] < Item->Idx)
            ++K;
        Item->Idx -= static_cast<int>(K);
    }
}

void TProStringGrid::RenumberHiddenAfterInsert(int RealRow, int ACount)
{
    for (auto& Item : FHiddenRows)
        if (Item->Idx >= RealRow)
            Item->Idx += ACount;
}

void TProStringGrid::SplitMergesCrossingRows(int ARow, int ACount)
{
    if (!PropertiesCreated)
        return;
    const int Cols = AllColCount();
    const int Last = ARow + std::max(ACount, 1) - 1;
    const int Start = ACount <= 0 ? ARow - 1 : ARow;
    for (int R = std::max(Start, 0); R <= Last && R < RowCount(); ++R)
        for (int C = 0; C < Cols; ++C) {
            if (!IsMergedCell(C, R))
                continue;
            const TPoint Base = BaseCell(C, R);
            const int Top = static_cast<int>(Base.y);
            const int Bottom = Top + static_cast<int>(MergedSpan(C, R).y);
            // An insertion at ARow (ACount 0) cuts every range that holds
            // rows on both sides of its border; a removal cuts every range
            // that reaches outside the removed rows.
            const bool Cut = ACount <= 0 ? (Top < ARow && Bottom >= ARow)
                                         : (Top < ARow || Bottom > Last);
            if (Cut)
                SplitCells(C, R);
        }
}

void TProStringGrid::RowsChanged()
{
    // The saved row order names rows by their places before the change;
    // restoring by it afterwards would put rows in wrong places.
    if (FRowOrder)
        FRowOrder->Clear();
    if (OnRowsChanged)
        OnRowsChanged(this);
}

void TProStringGrid::ShiftRowFlagsForRemoval(int ARow, int ACount, const std::vector<int>& RemovedReal)
{
    if (!FMouseActions->DisjunctRowSelect())
        return;
    if (FMouseActions->RowSelectPersistent) {
        for (auto It = RemovedReal.rbegin(); It != RemovedReal.rend(); ++It)
            FRowSelectFlags.DeleteAt(*It, 1);
    } else {
        FRowSelectFlags.DeleteAt(ARow, ACount);
    }
}

void TProStringGrid::RestoreCurrentRowAfterRemoval(int OldRow, int OldTop)
{
    const int Normal = RowCount() - FFixedFooters;
    if (OldRow < Normal) {
        if (OldRow != Row() && OldRow >= TStringGrid::FixedRows())
            SetRow(OldRow);
        SetTopRow(OldTop);
    } else if (Normal > TStringGrid::FixedRows()) {
        SetRow(Normal - 1);
    } else {
        HideSelection();
    }
    FSelectionHidden = false;
}

// ---------------------------------------------------------------------------
// Removal

void TProStringGrid::RemoveRowRange(int ARow, int ACount, bool Renumber)
{
    if (ARow < 0 || ARow >= RowCount() || ACount <= 0)
        return;
    ACount = std::min(ACount, RowCount() - ARow);
    const int KeepFooters = FFixedFooters;
    FFixedFooters = 0;
    const int LastWidth = ColWidths(ColCount() - 1);
    BeginUpdate();
    const int OldTop = TopRow();
    const int OldRow = Row();
    const bool RowSelect = HasOption(goRowSelect);
    if (RowSelect)
        SetOptions(Options() & ~static_cast<TGridOptions>(goRowSelect));

    SplitMergesCrossingRows(ARow, ACount);
    const std::vector<int> RemovedReal = RealRowsOf(ARow, ACount);
    if (Renumber)
        RenumberHiddenAfterRemoval(RemovedReal);
    ShiftRowFlagsForRemoval(ARow, ACount, RemovedReal);

    // Deleting the last rows of the grid would leave the base one row; an
    // empty rest is kept as one emptied row.
    DeleteRows(ARow, ACount);
    NormalRowCount = RowCount();

    FFixedFooters = KeepFooters;
    RestoreCurrentRowAfterRemoval(OldRow, OldTop);
    SetColWidths(ColCount() - 1, LastWidth);
    EndUpdate();
    CellsChanged(TRect{0, ARow, ColCount() - 1, ARow + ACount});
    if (TopRow() >= RowCount() - 1 && RowCount() - 1 >= TStringGrid::FixedRows())
        SetTopRow(RowCount() - 1);
    if (RowSelect)
        SetOptions(Options() | goRowSelect);
    RowsChanged();
}

void TProStringGrid::RemoveRows(int ARow, int ACount)
{
    if (ARow < 0 || ARow >= RowCount() || ACount <= 0)
        return;
    ACount = std::min(ACount, RowCount() - ARow);
    SplitMergesCrossingRows(ARow, ACount);
    for (int R = ARow; R < ARow + ACount; ++R)
        FreeRowObjects(R);
    RemoveRowRange(ARow, ACount, true);
}

void TProStringGrid::RemoveSelectedRows()
{
    BeginUpdate();
    const int First = TStringGrid::FixedRows();
    const int Last = RowCount() - FFixedFooters - 1;
    if (FMouseActions->DisjunctRowSelect()) {
        for (int R = Last; R >= First; --R) {
            const int Key = FMouseActions->RowSelectPersistent ? DisplayToRealRow(R) : R;
            if (FRowSelectFlags.Get(Key) == 1)
                RemoveRows(R, 1);
        }
    } else {
        const TGridRect S = Selection();
        const int Top = std::max(std::min(S.Top, S.Bottom), First);
        const int Bottom = std::min(std::max(S.Top, S.Bottom), Last);
        if (Bottom >= Top)
            RemoveRows(Top, Bottom - Top + 1);
    }
    EndUpdate();
}

void TProStringGrid::DeleteRowsPlain(int ARow, int ACount)
{
    if (ARow < 0 || ARow >= RowCount() || ACount <= 0)
        return;
    ACount = std::min(ACount, RowCount() - ARow);
    const int LastWidth = ColWidths(ColCount() - 1);
    const int OldRow = Row();
    const int OldTop = TopRow();
    BeginUpdate();
    SplitMergesCrossingRows(ARow, ACount);
    const std::vector<int> RemovedReal = RealRowsOf(ARow, ACount);
    // The removed rows' cell objects are freed (the shift overwrites their
    // references); texts, objects and heights of the rows below move up.
    for (int R = ARow; R < ARow + ACount; ++R)
        FreeRowObjects(R);
    for (int R = ARow; R + ACount < RowCount(); ++R) {
        CopyRowCells(R + ACount, R);
        SetRowHeights(R, RowHeights(R + ACount));
    }
    for (int R = std::max(RowCount() - ACount, ARow); R < RowCount(); ++R)
        DropRowCells(R);
    if (FMouseActions->DisjunctRowSelect())
        ShiftRowFlagsForRemoval(ARow, ACount, RemovedReal);
    RenumberHiddenAfterRemoval(RemovedReal);
    ChangeRowCount(std::max(RowCount() - ACount, 1));
    FLargestRowCount = std::max(FLargestRowCount - ACount, RowCount());
    SetColWidths(ColCount() - 1, LastWidth);
    if (OldRow < RowCount()) {
        SetRow(OldRow);
        SetTopRow(OldTop);
    } else if (TStringGrid::FixedRows() < RowCount()) {
        SetRow(TStringGrid::FixedRows());
        SetTopRow(TStringGrid::FixedRows());
    }
    EndUpdate();
    CellsChanged(TRect{0, ARow, ColCount() - 1, ARow + ACount});
    RowsChanged();
}

void TProStringGrid::RemoveRowsFull(int ARow, int ACount)
{
    if (ARow < 0 || ARow >= RowCount() || ACount <= 0)
        return;
    ACount = std::min(ACount, RowCount() - ARow);
    const int LastWidth = ColWidths(ColCount() - 1);
    SplitMergesCrossingRows(ARow, ACount);
    for (int R = ARow; R < ARow + ACount; ++R)
        FreeRowObjects(R);
    BeginUpdate();
    const int OldRow = Row();
    const int OldTop = TopRow();
    const int KeepFooters = FFixedFooters;
    FFixedFooters = 0;
    const std::vector<int> RemovedReal = RealRowsOf(ARow, ACount);
    RenumberHiddenAfterRemoval(RemovedReal);
    if (FShowModified->Enabled)
        FModifiedRowFlags.DeleteAt(ARow, ACount);
    ShiftRowFlagsForRemoval(ARow, ACount, RemovedReal);
    for (int R = ARow; R + ACount < RowCount(); ++R) {
        CopyRowCells(R + ACount, R);
        SetRowHeights(R, RowHeights(R + ACount));
    }
    for (int R = std::max(RowCount() - ACount, ARow); R < RowCount(); ++R)
        DropRowCells(R);
    ChangeRowCount(std::max(RowCount() - ACount, 1));
    FLargestRowCount = std::max(FLargestRowCount - ACount, RowCount());
    FFixedFooters = KeepFooters;
    RestoreCurrentRowAfterRemoval(OldRow, OldTop);
    SetColWidths(ColCount() - 1, LastWidth);
    EndUpdate();
    CellsChanged(TRect{0, ARow, ColCount() - 1, ARow + ACount});
    const int PullTo = RowCount() + TStringGrid::FixedRows() - VisibleRowCount() - 2;
    if (PullTo > 0 && TopRow() >= PullTo)
        SetTopRow(PullTo);
    RowsChanged();
}

// ---------------------------------------------------------------------------
// Insertion

void TProStringGrid::InsertRowsCore(int ARow, int ACount, bool, bool Renumber)
{
    if (ACount <= 0 || ARow < 0)
        return;
    ARow = std::min(ARow, RowCount());
    const int LastWidth = ColWidths(ColCount() - 1);
    // New rows go before the real row now shown at ARow (after any hidden
    // rows above it); appended rows go after everything.
    const int RealAt = ARow < RowCount() ? DisplayToRealRow(ARow) : RowCount() + HiddenRowCount();
    SplitMergesCrossingRows(ARow, 0);
    const int Old = RowCount();
    ChangeRowCount(Old + ACount);
    for (int R = RowCount() - 1; R >= ARow + ACount; --R) {
        CopyRowCells(R - ACount, R);
        SetRowHeights(R, RowHeights(R - ACount));
    }
    for (int R = ARow; R < ARow + ACount && R < RowCount(); ++R) {
        SetRowHeights(R, DefaultRowHeight());
        DropRowCells(R);
    }
    SetColWidths(ColCount() - 1, LastWidth);
    if (Renumber) {
        RenumberHiddenAfterInsert(RealAt, ACount);
        if (FMouseActions->RowSelectPersistent)
            FRowSelectFlags.InsertZeros(RealAt, ACount);
        else
            FRowSelectFlags.InsertZeros(ARow, ACount);
    }
    if (FShowModified->Enabled)
        FModifiedRowFlags.InsertZeros(ARow, ACount);
    if (!IsDestroying())
        CellsChanged(TRect{0, ARow, ColCount() - 1, ARow + ACount});
    RowsChanged();
}

void TProStringGrid::InsertRows(int ARow, int ACount, bool MoveControls)
{
    InsertRowsCore(ARow, ACount, MoveControls, true);
}

void TProStringGrid::AddRow()
{
    if (FFloatingFooter->Visible() && RowCount() > 0) {
        // The footer row stays last and keeps its texts.
        InsertRows(RowCount() - 1, 1, true);
        if (FFloatingFooter->FooterStyle() == fsFixedLastRow)
            ClearRows(RowCount() - 2, 1);
    } else {
        ChangeRowCount(RowCount() + 1);
        ClearRows(RowCount() - 1, 1);
        RowsChanged();
    }
}

// ---------------------------------------------------------------------------
// Columns

namespace {

using THiddenRowStore = std::vector<std::unique_ptr<TGridItem>>;

TCellProperties* StoredProps(const TGridItem& Item, int ACol)
{
    if (ACol < 0 || ACol >= Item.Items.Count())
        return nullptr;
    return dynamic_cast<TCellProperties*>(Item.Items.Objects(ACol));
}

const TGridItem* StoredRow(const THiddenRowStore& Store, int RealRow)
{
    auto It = std::lower_bound(Store.begin(), Store.end(), RealRow,
                               [](const std::unique_ptr<TGridItem>& I, int V) { return I->Idx < V; });
    return It != Store.end() && (*It)->Idx == RealRow ? It->get() : nullptr;
}

// Splits, in the cells kept for hidden rows, every merged range with a cell
// in columns First..Last that Cut selects. A column change then leaves no
// stored covered cell pointing at a base that is no longer its own.
template <typename TCut>
void SplitStoredMerges(const THiddenRowStore& Store, int First, int Last, TCut Cut)
{
    for (const auto& Item : Store)
        for (int C = std::max(First, 0); C <= Last && C < Item->Items.Count(); ++C) {
            TCellProperties* P = StoredProps(*Item, C);
            if (!P || (P->CellSpanX <= 0 && P->CellSpanY <= 0) || !Cut(*P))
                continue;
            const TPoint Base = P->BaseCellOf(C, Item->Idx);
            const TGridItem* BaseRow = StoredRow(Store, static_cast<int>(Base.y));
            TCellProperties* BP = BaseRow ? StoredProps(*BaseRow, static_cast<int>(Base.x)) : nullptr;
            const int SX = BP && BP->IsBaseCell ? std::max(BP->CellSpanX, 0) : 0;
            const int SY = BP && BP->IsBaseCell ? std::max(BP->CellSpanY, 0) : 0;
            for (int R = static_cast<int>(Base.y); R <= Base.y + SY; ++R)
                if (const TGridItem* Row = StoredRow(Store, R))
                    for (int X = static_cast<int>(Base.x); X <= Base.x + SX; ++X)
                        if (TCellProperties* Q = StoredProps(*Row, X)) {
                            Q->IsBaseCell = true;
                            Q->CellSpanX = -1;
                            Q->CellSpanY = -1;
                        }
            // A covered cell whose base was not found is released alone.
            P->IsBaseCell = true;
            P->CellSpanX = -1;
            P->CellSpanY = -1;
        }
}

} // namespace

void TProStringGrid::RemoveCols(int ACol, int ACount)
{
    if (ACol < 0 || ACount <= 0 || ACol >= AllColCount())
        return;
    ACount = std::min(ACount, AllColCount() - ACol);
    ClearCols(ACol, ACount);
    // Hidden rows lose the same columns, so that they come back with their
    // cells in place; their merges through the columns are split and the
    // grid's own objects of the removed cells freed.
    SplitStoredMerges(FHiddenRows, ACol, ACol + ACount - 1, [](const TCellProperties&) { return true; });
    for (auto& Item : FHiddenRows)
        for (int C = std::min(ACol + ACount, Item->Items.Count()) - 1; C >= ACol; --C) {
            FreeOwnedCellObject(Item->Items.Objects(C));
            Item->Items.Delete(C);
        }
    const int Stored = std::max(RowCount(), FLargestRowCount);
    for (int C = ACol; C + ACount < AllColCount(); ++C) {
        for (int R = 0; R < Stored; ++R) {
            SetCells(C, R, Cells(C + ACount, R));
            SetObjects(C, R, Objects(C + ACount, R));
        }
        SetColWidths(C, ColWidths(C + ACount));
        if (C < 512 && C + ACount < 512)
            FColumnVisible[C] = FColumnVisible[C + ACount];
    }
    for (int C = std::max(AllColCount() - ACount, ACol); C < AllColCount(); ++C)
        for (int R = 0; R < Stored; ++R) {
            SetCells(C, R, "");
            SetObjects(C, R, nullptr);
        }
    SetColCount(std::max(ColCount() - ACount, 1));
    CellsChanged(TRect{ACol, 0, ACol + ACount, RowCount() - 1});
}

void TProStringGrid::InsertCols(int ACol, int ACount)
{
    if (ACol < 0 || ACount <= 0)
        return;
    ACol = std::min(ACol, AllColCount());
    // A merged range with columns on both sides of the insertion is split
    // first: its covered cells to the right would otherwise point at a
    // base ACount columns short of their own.
    if (PropertiesCreated && ACol < AllColCount()) {
        for (int R = 0; R < RowCount(); ++R)
            if (TCellProperties* P = CellProperties(ACol, R); P && !P->IsBaseCell && P->CellSpanX > 0)
                SplitCells(ACol, R);
    }
    SplitStoredMerges(FHiddenRows, ACol, ACol,
                      [](const TCellProperties& P) { return !P.IsBaseCell && P.CellSpanX > 0; });
    for (auto& Item : FHiddenRows)
        for (int I = 0; I < ACount && ACol <= Item->Items.Count(); ++I)
            Item->Items.InsertObject(ACol, "", nullptr);
    SetColCount(ColCount() + ACount);
    const int Stored = std::max(RowCount(), FLargestRowCount);
    for (int C = AllColCount() - 1; C >= ACol + ACount; --C) {
        for (int R = 0; R < Stored; ++R) {
            SetCells(C, R, Cells(C - ACount, R));
            SetObjects(C, R, Objects(C - ACount, R));
        }
        if (C < 512 && C - ACount < 512)
            FColumnVisible[C] = FColumnVisible[C - ACount];
        if (C < ColCount())
            SetColWidths(C, ColWidths(C - ACount));
    }
    for (int C = ACol; C < ACol + ACount; ++C) {
        SetColWidths(C, DefaultColWidth());
        if (C < 512)
            FColumnVisible[C] = true;
        for (int R = 0; R < Stored; ++R) {
            SetCells(C, R, "");
            SetObjects(C, R, nullptr);
        }
    }
}

// ---------------------------------------------------------------------------
// Clearing

void TProStringGrid::ClearRect(int ACol1, int ARow1, int ACol2, int ARow2)
{
    const bool Destroying = IsDestroying();
    // A merged range cut by the rectangle, or whose base cell goes, is split
    // first, so that no covered cell is left pointing at a cleared base.
    // Only stored cells hold texts, objects or merges: the loops end with
    // the storage, so clearing a wide, sparse grid costs what it holds.
    if (PropertiesCreated && !DiscardingScratchRows)
        for (int R = ARow1; R <= std::min(ARow2, StoredRowCount() - 1); ++R)
            for (int C = ACol1; C <= std::min(ACol2, StoredColCount(R) - 1); ++C)
                if (IsMergedCell(C, R))
                    SplitCells(C, R);
    for (int R = ARow1; R <= std::min(ARow2, StoredRowCount() - 1); ++R)
        for (int C = ACol1; C <= std::min(ACol2, StoredColCount(R) - 1); ++C) {
            if (Objects(C, R)) {
                if (DiscardingScratchRows)
                    SetObjects(C, R, nullptr);
                else
                    FreeCellProperties(C, R);
            }
            if (!Destroying && !Cells(C, R).empty())
                WriteCellText(C, R, "");
        }
    if (!Destroying)
        CellsChanged(TRect{ACol1, ARow1, ACol2, ARow2});
}

void TProStringGrid::ClearRows(int ARow, int ACount)
{
    if (RowCount() <= 0 || ACount < 1)
        return;
    ClearRect(0, ARow, AllColCount() - 1, ARow + ACount - 1);
}

void TProStringGrid::ClearCols(int ACol, int ACount)
{
    if (RowCount() <= 0 || ACount < 1)
        return;
    ClearRect(ACol, 0, ACol + ACount - 1, RowCount() - 1);
}

void TProStringGrid::ClearSelectedCells()
{
    if (FMouseActions->DisjunctRowSelect()) {
        for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R) {
            const int Key = FMouseActions->RowSelectPersistent ? DisplayToRealRow(R) : R;
            if (FRowSelectFlags.Get(Key) == 1)
                ClearRows(R, 1);
        }
    } else if (FMouseActions->DisjunctColSelect()) {
        for (int C = TStringGrid::FixedCols(); C < ColCount(); ++C)
            if (FColSelectFlags.Get(C) == 1)
                ClearCols(C, 1);
    } else {
        const TGridRect S = Selection();
        ClearRect(S.Left, S.Top, S.Right, S.Bottom);
    }
}

void TProStringGrid::ClearAllCells()
{
    if (HasNodes() && !IsDestroying())
        RemoveAllNodes();
    ClearRect(0, 0, AllColCount() - 1, RowCount() - 1);
}

// ---------------------------------------------------------------------------
// Moves

// A merge moves whole when its lines end up side by side and in order; one
// that the move puts apart is split first, so that no covered cell is left
// pointing at a base that is no longer beside it. Only merges with a line in
// From .. To can be cut: every other line stays where it is.
void TProStringGrid::SplitMergesCutByMove(bool Columns, int From, int To)
{
    if (!PropertiesCreated || From == To)
        return;
    const int Lines = Columns ? AllColCount() : RowCount();
    const int Across = Columns ? RowCount() : AllColCount();
    for (int L = std::min(From, To); L <= std::max(From, To) && L < Lines; ++L)
        for (int A = 0; A < Across; ++A) {
            const int C = Columns ? L : A;
            const int R = Columns ? A : L;
            if (!IsMergedCell(C, R))
                continue;
            const TPoint Base = BaseCell(C, R);
            const TPoint Span = MergedSpan(C, R);
            const int First = static_cast<int>(Columns ? Base.x : Base.y);
            const int Count = static_cast<int>(Columns ? Span.x : Span.y);
            bool Cut = false;
            for (int K = First; K < First + Count && !Cut; ++K)
                Cut = MovedIndex(K + 1, From, To) != MovedIndex(K, From, To) + 1;
            if (Cut)
                SplitCells(C, R);
        }
}

void TProStringGrid::MoveColumnWithControls(int FromIndex, int ToIndex)
{
    // An index outside the grid raises (as MoveColumn) before any merge is cut.
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= ColCount() || ToIndex >= ColCount())
        throw EInvalidGridOperation("Grid index out of range");
    if (FColumnOrder->Count() == 0)
        ResetColumnOrder();
    // The cells move by their real columns, hidden ones included.
    SplitMergesCutByMove(true, DisplayToRealCol(FromIndex), DisplayToRealCol(ToIndex));
    MoveColumn(FromIndex, ToIndex);
}

void TProStringGrid::MoveRowWithControls(int FromIndex, int ToIndex)
{
    // An index outside the grid raises (as MoveRow) before any merge is cut
    // or hidden row renumbered.
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= RowCount() || ToIndex >= RowCount())
        throw EInvalidGridOperation("Grid index out of range");
    SplitMergesCutByMove(false, FromIndex, ToIndex);
    // A row moved past hidden rows takes them along in real numbering.
    if (!FHiddenRows.empty()) {
        const int RealFrom = DisplayToRealRow(FromIndex);
        const int RealTo = DisplayToRealRow(ToIndex);
        for (auto& Item : FHiddenRows) {
            if (RealFrom < RealTo && Item->Idx > RealFrom && Item->Idx < RealTo)
                --Item->Idx;
            else if (RealTo < RealFrom && Item->Idx > RealTo && Item->Idx < RealFrom)
                ++Item->Idx;
        }
    }
    MoveRow(FromIndex, ToIndex);
    RowsChanged();
}

// Hidden rows: the store of hidden rows (ascending by real row), the
// mappings between display rows and real rows, hiding and showing rows, and
// the parking of the selection while rows disappear. Columns have the same
// mappings; no operation hides a column.

#include <algorithm>
#include <string>

#include "grid/core/ProGrid.h"
#include "grid/interaction/MouseActions.h"

namespace {
bool ItemBefore(const std::unique_ptr<TGridItem>& Item, int Row) { return Item->Idx < Row; }
} // namespace

// ---------------------------------------------------------------------------
// The cells of a hidden row

const THiddenCells::TItem& THiddenCells::At(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<std::size_t>(Index)];
}

int THiddenCells::AddObject(String S, TObject* AObject)
{
    FItems.push_back(TItem{std::move(S), AObject});
    return Count() - 1;
}

void THiddenCells::InsertObject(int Index, const String& S, TObject* AObject)
{
    if (Index < 0 || Index > Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, TItem{S, AObject});
}

void THiddenCells::Delete(int Index)
{
    At(Index);
    FItems.erase(FItems.begin() + Index);
}

// ---------------------------------------------------------------------------
// Mappings

int TProStringGrid::HiddenBelow(int RealRow) const
{
    return static_cast<int>(std::lower_bound(FHiddenRows.begin(), FHiddenRows.end(), RealRow, ItemBefore)
                            - FHiddenRows.begin());
}

bool TProStringGrid::IsHiddenRow(int ARow) const { return GetHiddenRowData(ARow) != nullptr; }

int TProStringGrid::DisplayToRealRow(int ARow) const
{
    int R = ARow;
    for (const auto& Item : FHiddenRows) {
        if (Item->Idx > R)
            break;
        ++R;
    }
    return R;
}

int TProStringGrid::RealToDisplayRow(int ARow) const { return ARow - HiddenBelow(ARow); }

bool TProStringGrid::IsHiddenColumn(int ACol) const
{
    if (ACol < 0 || ACol >= 512)
        return false;
    return !FColumnVisible[ACol];
}

int TProStringGrid::DisplayToRealCol(int ACol) const
{
    if (ACol >= 512 || FHiddenColCount == 0)
        return ACol;
    int Shown = -1;
    for (int C = 0; C < 512; ++C) {
        if (FColumnVisible[C])
            ++Shown;
        if (Shown == ACol)
            return C;
    }
    return ACol;
}

int TProStringGrid::RealToDisplayCol(int ACol) const
{
    if (ACol >= 512 || FHiddenColCount == 0)
        return ACol;
    int D = ACol;
    for (int C = 0; C < ACol; ++C)
        if (!FColumnVisible[C])
            --D;
    return D;
}

bool TProStringGrid::IsIgnoredColumn(int ACol) const { return FIgnoredColumns->HasValue(ACol); }

// ---------------------------------------------------------------------------
// Row data moving between the grid and the store

std::unique_ptr<TGridItem> TProStringGrid::TakeRow(int DisplayRow, int RealRow)
{
    auto Item = std::make_unique<TGridItem>();
    Item->Idx = RealRow;
    Item->Height = RowHeights(DisplayRow);
    const int Cols = AllColCount();
    Item->Items.Reserve(Cols);
    for (int C = 0; C < Cols; ++C)
        Item->Items.AddObject(Cells(C, DisplayRow), Objects(C, DisplayRow));
    return Item;
}

void TProStringGrid::PutRow(const TGridItem& Item, int DisplayRow)
{
    const int Cols = AllColCount();
    for (int C = 0; C < Cols; ++C) {
        if (C < Item.Items.Count()) {
            SetCells(C, DisplayRow, Item.Items.Strings(C));
            SetObjects(C, DisplayRow, Item.Items.Objects(C));
        } else {
            SetCells(C, DisplayRow, "");
            SetObjects(C, DisplayRow, nullptr);
        }
    }
    SetRowHeights(DisplayRow, Item.Height);
}

void TProStringGrid::InsertHiddenItem(std::unique_ptr<TGridItem> Item)
{
    auto Pos = std::lower_bound(FHiddenRows.begin(), FHiddenRows.end(), Item->Idx, ItemBefore);
    FHiddenRows.insert(Pos, std::move(Item));
}

// ---------------------------------------------------------------------------
// Hiding and showing

void TProStringGrid::HideRows(int First, int Last)
{
    if (Last < First)
        return;
    const int Total = RowCount() + HiddenRowCount();
    std::vector<int> ToHide;
    for (int R = std::max(First, 0); R <= Last && R < Total; ++R)
        if (!IsHiddenRow(R))
            ToHide.push_back(R);
    if (ToHide.empty())
        return;
    // The shown rows of First..Last are consecutive display rows from A.
    const int A = First - HiddenBelow(First);
    for (std::size_t I = 0; I < ToHide.size(); ++I)
        InsertHiddenItem(TakeRow(A + static_cast<int>(I), ToHide[I]));
    // The cell objects now live in the items: the rows go without freeing.
    RemoveRowRange(A, static_cast<int>(ToHide.size()), false);
}

void TProStringGrid::HideRowList(const std::vector<int>& Rows)
{
    // The listed rows are real rows; those already hidden or beyond the grid
    // are left out.
    std::vector<int> List = Rows;
    std::sort(List.begin(), List.end());
    List.erase(std::unique(List.begin(), List.end()), List.end());
    const int Total = RowCount() + HiddenRowCount();
    std::vector<int> Real;
    std::vector<int> Display;
    for (int R : List) {
        if (R < 0 || R >= Total || IsHiddenRow(R))
            continue;
        Real.push_back(R);
        Display.push_back(RealToDisplayRow(R));
    }
    if (Real.empty())
        return;

    BeginUpdate();
    SplitMergesCrossingRows(Display.front(), RowCount() - Display.front());
    std::vector<std::unique_ptr<TGridItem>> NewItems;
    NewItems.reserve(Real.size());
    // Each row's cells are let go as soon as its item holds them, so that
    // the rows' memory and the items' are never held twice over.
    for (std::size_t I = 0; I < Real.size(); ++I) {
        NewItems.push_back(TakeRow(Display[I], Real[I]));
        ReleaseRowCells(Display[I]);
    }

    // Close the gaps: every other row moves up to the write position with
    // its height. What stands at the write position is spent (taken into an
    // item, or a row already moved), so the rows change places instead of
    // being copied; the spent rows end below the last shown row.
    std::size_t Next = 0;
    int W = Display.front();
    for (int R = Display.front(); R < RowCount(); ++R) {
        if (Next < Display.size() && Display[Next] == R) {
            ++Next;
            continue;
        }
        if (R != W) {
            ExchangeRowCells(R, W);
            SetRowHeights(W, RowHeights(R));
        }
        ++W;
    }
    for (int R = W; R < RowCount(); ++R)
        ReleaseRowCells(R);

    std::vector<std::unique_ptr<TGridItem>> Merged;
    Merged.reserve(FHiddenRows.size() + NewItems.size());
    std::merge(std::make_move_iterator(FHiddenRows.begin()), std::make_move_iterator(FHiddenRows.end()),
               std::make_move_iterator(NewItems.begin()), std::make_move_iterator(NewItems.end()),
               std::back_inserter(Merged),
               [](const std::unique_ptr<TGridItem>& A, const std::unique_ptr<TGridItem>& B) { return A->Idx < B->Idx; });
    FHiddenRows = std::move(Merged);

    // Row flags addressed by display row lose the hidden rows' entries.
    if (!FRowSelectFlags.Items().empty() && !FMouseActions->RowSelectPersistent) {
        for (auto It = Display.rbegin(); It != Display.rend(); ++It)
            FRowSelectFlags.DeleteAt(*It, 1);
    }
    const int OldRow = Row();
    ChangeRowCount(std::max(RowCount() - static_cast<int>(Real.size()), 1));
    if (OldRow >= RowCount())
        SetRow(RowCount() - 1);
    EndUpdate();
    RowsChanged();
}

void TProStringGrid::UnHideRows(int First, int Last)
{
    if (!IsHiddenRow(First) || Last < First)
        return;
    auto Begin = std::lower_bound(FHiddenRows.begin(), FHiddenRows.end(), First, ItemBefore);
    auto End = std::lower_bound(FHiddenRows.begin(), FHiddenRows.end(), Last + 1, ItemBefore);
    std::vector<std::unique_ptr<TGridItem>> Items(std::make_move_iterator(Begin), std::make_move_iterator(End));
    FHiddenRows.erase(Begin, End);
    if (Items.empty())
        return;

    BeginUpdate();
    // Every row ends at its own real position less the rows still hidden
    // above it. The runs of consecutive hidden rows come back in one pass
    // from the bottom: the shown rows below each run move down by the rows
    // put back above them, each once, as the filter's show-all does.
    const int N = static_cast<int>(Items.size());
    std::vector<int> At(Items.size());
    for (std::size_t K = 0; K < Items.size(); ++K)
        At[K] = Items[K]->Idx - HiddenBelow(Items[K]->Idx);
    // A merge across the place a run comes back to is split, as inserting
    // rows there splits it; the place counted among the rows shown now.
    for (std::size_t K = 0; K < Items.size(); ++K)
        if (K == 0 || Items[K]->Idx != Items[K - 1]->Idx + 1)
            SplitMergesCrossingRows(At[K] - static_cast<int>(K), 0);
    const int LastWidth = ColWidths(ColCount() - 1);
    const int Old = RowCount();
    ChangeRowCount(Old + N);
    int S = Old - 1;
    int T = Old + N - 1;
    for (int K = N - 1; K >= 0; --T) {
        if (At[static_cast<std::size_t>(K)] == T) {
            ReleaseRowCells(T);
            PutRow(*Items[static_cast<std::size_t>(K)], T);
            --K;
        } else {
            ExchangeRowCells(S, T);
            SetRowHeights(T, RowHeights(S));
            --S;
        }
    }
    SetColWidths(ColCount() - 1, LastWidth);
    if (FShowModified->Enabled)
        for (std::size_t K = 0; K < Items.size(); ++K)
            if (K == 0 || Items[K]->Idx != Items[K - 1]->Idx + 1) {
                std::size_t E = K + 1;
                while (E < Items.size() && Items[E]->Idx == Items[E - 1]->Idx + 1)
                    ++E;
                FModifiedRowFlags.InsertZeros(At[K], static_cast<int>(E - K));
            }
    if (!IsDestroying())
        CellsChanged(TRect{0, At.front(), ColCount() - 1, RowCount() - 1});
    EndUpdate();
    RowsChanged();
}

void TProStringGrid::UnHideRowsAll()
{
    const int N = HiddenRowCount();
    if (N == 0)
        return;
    BeginUpdate();
    int S = RowCount() - 1;
    int T = RowCount() + N - 1;
    ChangeRowCount(RowCount() + N);
    int Item = N - 1;
    try {
        while (T >= 0 && (Item >= 0 || S < T)) {
            // A target holds a new empty row or a row already moved down:
            // the rows change places instead of being copied, and a spent
            // row is let go before a hidden row is put in its place.
            if (Item >= 0 && FHiddenRows[static_cast<std::size_t>(Item)]->Idx == T) {
                // The item's memory goes as its row comes back, so that
                // rows and items are never held twice over.
                const std::unique_ptr<TGridItem> Back = std::move(FHiddenRows[static_cast<std::size_t>(Item)]);
                --Item;
                ReleaseRowCells(T);
                PutRow(*Back, T);
            } else if (S < T && S >= 0) {
                ExchangeRowCells(S, T);
                SetRowHeights(T, RowHeights(S));
                --S;
            } else {
                break;
            }
            --T;
        }
    } catch (...) {
        FHiddenRows.erase(std::remove(FHiddenRows.begin(), FHiddenRows.end(), nullptr), FHiddenRows.end());
        EndUpdate();
        throw;
    }
    FHiddenRows.clear();
    EndUpdate();
    RowsChanged();
}

// ---------------------------------------------------------------------------
// Selection parking

void TProStringGrid::HideSelection()
{
    FSavedSelection = Selection();
    SetSelection(TGridRect{ColCount(), RowCount(), ColCount(), RowCount()});
    FSelectionHidden = true;
}

void TProStringGrid::RestoreSelection()
{
    FSelectionHidden = false;
    if (FSavedSelection.Top < RowCount() && FSavedSelection.Left < ColCount()) {
        SetSelection(FSavedSelection);
        return;
    }
    const int Top = FixedRowAlways && RowCount() == TStringGrid::FixedRows() ? 0 : TStringGrid::FixedRows();
    const int Left = FixedColAlways && ColCount() == TStringGrid::FixedCols() ? 0 : TStringGrid::FixedCols();
    SetSelection(TGridRect{Left, Top, Left, Top});
}

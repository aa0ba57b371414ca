// Selection: whether a cell may become current, the selection rectangle,
// the disjunct row and column selections, the modified-row marks and the
// repaint operations for a cell, row, column or rectangle.

#include <algorithm>

#include "grid/core/ProGrid.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/FooterPanel.h"
#include "grid/interaction/MouseActions.h"

bool IsPackedWideCell(TProStringGrid* Grid, int ACol, int ARow)
{
    const String S = Grid->ReadCellText(ACol, ARow);
    return S.size() >= 2 && S[0] == '|' && S[1] == '\\';
}

bool TProStringGrid::SelectCell(int ACol, int ARow)
{
    if (InternalMoveLock || MergeKeyMove || !Parent())
        return true;
    if (ACol >= 0 && ARow >= 0)
        FLastSelectedText = ReadCellText(ACol, ARow);
    if (FFloatingFooter->Visible()) {
        const bool FixedLastRow = FFloatingFooter->FooterStyle() == fsFixedLastRow;
        if (FixedLastRow && ARow >= TopRow() + VisibleRowCount())
            SetTopRow(ARow - VisibleRowCount() + TStringGrid::FixedRows());
        if (!FixedLastRow)
            RepaintFloatingFooter();
        // A row that reaches under the footer's strip moves up by one.
        if (ACol >= 0 && ARow >= 0 && ARow < RowCount() - (FixedLastRow ? 1 : 0) && FFooterPanel != nullptr) {
            const TRect R = CellRect(ACol, ARow);
            if (R.bottom > R.top && R.top + RowHeights(ARow) > FFooterPanel->Top() + 2)
                SetTopRow(TopRow() + 1);
        }
        if (FixedLastRow && ARow == RowCount() - 1)
            return false;
    }
    if (ACol < 0 || ARow < 0)
        return false;
    if (IsCoveredCell(ACol, ARow) && !HasOption(goRangeSelect)) {
        const TPoint Base = BaseCell(ACol, ARow);
        const int BX = static_cast<int>(Base.x);
        const int BY = static_cast<int>(Base.y);
        MoveToCell(BX, BY);
        RepaintCell(BX, BY);
        if (FMouseActions->DirectEdit || (ControlLook()->DropDownAlwaysVisible() && HasComboBox(BX, BY)))
            StartCellEdit();
        return false;
    }
    bool Allow = true;
    if (ARow != Row() && OnRowChanging)
        OnRowChanging(this, Row(), ARow, Allow);
    if (ACol != Col() && OnColChanging)
        OnColChanging(this, Col(), ACol, Allow);
    if ((ARow != Row() || ACol != Col()) && !AdvanceLock && OnCellChanging)
        OnCellChanging(this, Row(), Col(), ARow, ACol, Allow);
    if (ACol == 0 && HasNodes() && !HasOption(goRowSelect))
        return false;
    if (!Allow)
        return false;

    if (!SelectCellEditing(ACol, ARow))
        return false;

    const TGridRect OldSel = Selection();
    const int OldCol = Col();
    const int OldRow = Row();
    const bool Result = IsFixedCell(ACol, ARow) ? false : TBaseGrid::SelectCell(ACol, ARow);

    // The row indicator is drawn in column 0 of the current row only.
    if (!FRowIndicator->Empty() && TStringGrid::FixedCols() > 0) {
        RedrawCell(0, OldRow);
        RedrawCell(0, ARow);
    }
    if (ActiveCellShow) {
        RepaintActiveHeaders(OldCol, OldRow, ACol, ARow);
        // A range selection's headers light up from its far corner too.
        if (OldSel.Left != OldCol && OldSel.Top != OldRow)
            RepaintActiveHeaders(OldSel.Left, OldSel.Top, ACol, ARow);
    }
    if (ActiveRowShow()) {
        RedrawRow(ARow);
        RedrawRow(OldSel.Top);
    }
    if (!IsLoading() && ARow != FLastReportedRow) {
        const int Old = FLastReportedRow;
        FLastReportedRow = ARow;
        if (OnRowUpdate)
            OnRowUpdate(this, Old, ARow);
    }
    FTextBeforeEdit = ReadCellText(DisplayToRealCol(ACol), ARow);
    return Result;
}

void TProStringGrid::SelectCellRange(int FromCol, int ToCol, int FromRow, int ToRow)
{
    SetCurrentRow(ToRow);
    SetCol(ToCol);
    SetSelection(TGridRect{FromCol, FromRow, ToCol, ToRow});
}

void TProStringGrid::SetSelectionRect(const TGridRect& R)
{
    SetSelection(R);
    if (ActiveCellShow) {
        RedrawRow(0);
        RedrawCol(0);
    }
}

void TProStringGrid::MoveToCell(int ACol, int ARow) { MoveColRow(ACol, ARow, true, true); }

void TProStringGrid::ScrollToCell(int ACol, int ARow)
{
    if (ACol >= ColCount() || ARow >= RowCount() || ACol < 0 || ARow < 0)
        return;
    int NewLeft = LeftCol();
    int NewTop = TopRow();
    if (ACol < LeftCol() || ACol >= LeftCol() + VisibleColCount()) {
        SetCol(ACol);
        NewLeft = std::max(ACol - VisibleColCount() / 2, TStringGrid::FixedCols());
    }
    if (ARow < TopRow() || ARow >= TopRow() + VisibleRowCount()) {
        SetCurrentRow(ARow);
        NewTop = std::max(ARow - VisibleRowCount() / 2, TStringGrid::FixedRows());
    }
    SetLeftCol(std::min(NewLeft, ColCount() - VisibleColCount() + 1));
    SetTopRow(std::min(NewTop, RowCount() - VisibleRowCount() + 1));
}

// ---------------------------------------------------------------------------
// Disjunct selections

bool TProStringGrid::IsRowSelected(int ARow)
{
    if (ARow < 0 || ARow >= RowCount() + HiddenRowCount())
        throw EProGridError("Invalid row accessed");
    if (FMouseActions->DisjunctRowSelect())
        return FRowSelectFlags.Get(ARow) == 1;
    const TGridRect S = Selection();
    return ARow >= std::min(S.Top, S.Bottom) && ARow <= std::max(S.Top, S.Bottom);
}

bool TProStringGrid::IsColSelected(int ACol)
{
    if (ACol < 0 || ACol >= ColCount())
        throw EProGridError("Invalid column accessed");
    return FColSelectFlags.Get(ACol) == 1;
}

void TProStringGrid::SetRowSelected(int ARow, bool Selected)
{
    if (ARow < 0 || ARow >= RowCount() + HiddenRowCount())
        throw EProGridError("Invalid row accessed");
    bool Allow = true;
    if (OnRowDisjunctSelect)
        OnRowDisjunctSelect(this, ARow, Selected, Allow);
    if (!Allow)
        return;
    const int Was = FRowSelectFlags.Get(ARow);
    FRowSelectFlags.Set(ARow, FRowSelectFlags.Get(ARow));
    if (Selected) {
        if (Was != 1)
            RedrawRow(RealToDisplayRow(ARow));
        FRowSelectFlags.Set(ARow, 1);
        if (!FSelectedRows->HasValue(ARow))
            FSelectedRows->Add(ARow);
    } else {
        if (Was != 0)
            RedrawRow(RealToDisplayRow(ARow));
        FRowSelectFlags.Set(ARow, 0);
        const int I = FSelectedRows->IndexOf(ARow);
        if (I >= 0)
            FSelectedRows->Delete(I);
    }
    if (OnRowDisjunctSelected)
        OnRowDisjunctSelected(this, ARow);
}

void TProStringGrid::SetColSelected(int ACol, bool Selected)
{
    if (ACol < 0 || ACol >= ColCount())
        throw EProGridError("Invalid column accessed");
    const int V = Selected ? 1 : 0;
    if (FColSelectFlags.Get(ACol) != V)
        RedrawCol(ACol);
    FColSelectFlags.Set(ACol, V);
}

void TProStringGrid::ClearRowSelection()
{
    auto& Items = FRowSelectFlags.Items();
    for (std::size_t I = 0; I < Items.size(); ++I) {
        if (Items[I])
            RedrawRow(RealToDisplayRow(static_cast<int>(I)));
        Items[I] = 0;
    }
    FSelectedRows->Clear();
}

void TProStringGrid::ClearColSelection()
{
    auto& Items = FColSelectFlags.Items();
    for (std::size_t I = 0; I < Items.size(); ++I) {
        if (Items[I])
            RedrawCol(static_cast<int>(I));
        Items[I] = 0;
    }
}

void TProStringGrid::RangeToRowSelection(bool AllRows)
{
    const TGridRect S = Selection();
    const int Top = std::min(S.Top, S.Bottom);
    const int Bottom = std::max(S.Top, S.Bottom);
    for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R) {
        const bool Inside = R >= Top && R <= Bottom;
        if (AllRows || Inside)
            SetRowSelected(FMouseActions->RowSelectPersistent ? DisplayToRealRow(R) : R, Inside);
    }
}

void TProStringGrid::RangeToColSelection(bool AllCols)
{
    const TGridRect S = Selection();
    const int Left = std::min(S.Left, S.Right);
    const int Right = std::max(S.Left, S.Right);
    for (int C = TStringGrid::FixedCols(); C < ColCount(); ++C) {
        const bool Inside = C >= Left && C <= Right;
        if (AllCols || Inside)
            SetColSelected(C, Inside);
    }
}

int TProStringGrid::SelectedRowCount()
{
    if (FMouseActions->DisjunctRowSelect())
        return static_cast<int>(std::count(FRowSelectFlags.Items().begin(), FRowSelectFlags.Items().end(), 1));
    const TGridRect S = Selection();
    return std::abs(S.Bottom - S.Top) + 1;
}

bool TProStringGrid::IsCellSelected(int ACol, int ARow)
{
    if (ARow < TStringGrid::FixedRows() || ACol < TStringGrid::FixedCols())
        return false;
    if (FMouseActions->DisjunctRowSelect())
        return IsRowSelected(FMouseActions->RowSelectPersistent ? DisplayToRealRow(ARow) : ARow);
    if (FMouseActions->DisjunctColSelect())
        return IsColSelected(ACol);
    const TGridRect S = Selection();
    return S.Left <= ACol && ACol <= S.Right && S.Top <= ARow && ARow <= S.Bottom;
}

bool TProStringGrid::IsRowModified(int ARow) const { return FModifiedRowFlags.Get(ARow) == 1; }

void TProStringGrid::SetRowModified(int ARow, bool Modified)
{
    FModifiedRowFlags.Set(ARow, Modified ? 1 : 0);
    RedrawCell(0, ARow);
}

// ---------------------------------------------------------------------------
// Repaints: each invalidates part of the window; none paints directly.

void TProStringGrid::RedrawCell(int ACol, int ARow)
{
    if (!HandleAllocated() || FUpdateCount > 0)
        return;
    const TRect R = MergedCellRect(ACol, ARow);
    if (R.right > R.left && R.bottom > R.top)
        InvalidateRect(Handle(), &R, TRUE);
}

void TProStringGrid::RedrawRow(int ARow)
{
    if (!HandleAllocated() || FUpdateCount > 0 || ARow < 0 || ARow >= RowCount())
        return;
    const TRect A = CellRect(0, ARow);
    const TRect B = CellRect(std::min(LeftCol() + VisibleColCount(), ColCount() - 1), ARow);
    // Column 0 is at the right of a mirrored grid.
    TRect R{std::min(A.left, B.left), A.top, std::max(A.right, B.right), std::max(A.bottom, B.bottom)};
    if (R.bottom > R.top)
        InvalidateRect(Handle(), &R, FALSE);
}

void TProStringGrid::RedrawCol(int ACol)
{
    if (!HandleAllocated() || FUpdateCount > 0 || ACol < 0 || ACol >= ColCount())
        return;
    const TRect A = CellRect(ACol, TopRow());
    const TRect B = CellRect(ACol, std::min(TopRow() + VisibleRowCount(), RowCount() - 1));
    TRect R{A.left, A.top, std::max(A.right, B.right), std::max(A.bottom, B.bottom)};
    if (R.right > R.left)
        InvalidateRect(Handle(), &R, FALSE);
}

void TProStringGrid::RedrawGridRect(const TGridRect& G)
{
    if (!HandleAllocated() || FUpdateCount > 0)
        return;
    if (G.Left < 0 || G.Top < 0 || G.Right < 0 || G.Bottom < 0)
        return;
    const TRect A = CellRect(G.Left, G.Top);
    const TRect B = CellRect(G.Right, G.Bottom);
    if (IsRectEmpty(&A) || IsRectEmpty(&B)) {
        Invalidate();
        return;
    }
    TRect U;
    UnionRect(&U, &A, &B);
    InvalidateRect(Handle(), &U, TRUE);
}

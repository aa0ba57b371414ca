// Mouse movement over the grid: the hover look of the fixed cells, the
// border test of the header cells and the progress events of a sizing drag.
#include <cstdlib>

#include "grid/core/ProGrid.h"

namespace {

bool InFixedBand(const TGridCoord& C, int FixedCols, int FixedRows)
{
    return (C.Y >= 0 && C.Y <= FixedRows) || (C.X >= 0 && C.X <= FixedCols);
}

} // namespace

bool TProStringGrid::IsOnHeaderBorder(int X, int Y)
{
    const TGridCoord C = MouseCoord(X, Y);
    if (C.X < 0 || C.Y < 0)
        return false;
    const TRect R = CellRect(C.X, C.Y);
    if (HasOption(goRowSizing) && C.X <= TStringGrid::FixedCols())
        return std::abs(Y - R.top) < 4 || std::abs(Y - R.bottom) < 4;
    if (HasOption(goColSizing) && C.Y <= TStringGrid::FixedRows())
        return std::abs(X - R.left) < 4 || std::abs(X - R.right) < 4;
    return false;
}

void TProStringGrid::HoverMoved(int ACol, int ARow)
{
    if (HoverFixedCells == hfNone)
        return;
    const TGridCoord Old = HoverFixedCell;
    const TGridCoord New{ACol, ARow};
    if (Old == New)
        return;
    const int FC = TStringGrid::FixedCols();
    const int FR = TStringGrid::FixedRows();
    if (InFixedBand(Old, FC, FR) && Old.X >= 0 && Old.Y >= 0)
        InvalidateCell(Old.X, Old.Y);
    HoverFixedCell = New;
    if (InFixedBand(New, FC, FR) && New.X >= 0 && New.Y >= 0)
        InvalidateCell(New.X, New.Y);
}

void TProStringGrid::HoverLeft()
{
    if (HoverFixedCells == hfNone)
        return;
    const TGridCoord Old = HoverFixedCell;
    if (Old.X == -1 && Old.Y == -1)
        return;
    HoverFixedCell = TGridCoord{-1, -1};
    if (Old.X >= 0 && Old.Y >= 0)
        InvalidateCell(Old.X, Old.Y);
}

// While the base grid sizes a column (row): the width (height) the drag
// gives now, the press offset from the border taken off.
void TProStringGrid::SizingMoved(int X, int Y)
{
    if (GridState() == gsColSizing && OnColumnSizing && SizingIndex() >= 0) {
        const TRect R = CellRect(SizingIndex(), 0);
        OnColumnSizing(this, SizingIndex(), X - R.left - SizingOfs());
    } else if (GridState() == gsRowSizing && OnRowSizing && SizingIndex() >= 0) {
        const TRect R = CellRect(0, SizingIndex());
        OnRowSizing(this, SizingIndex(), Y - R.top - SizingOfs());
    }
}

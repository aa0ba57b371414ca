// The grid's mouse press and release: a sizing drag remembers the column
// (row) it sizes and its size at the start, which the width (height) change
// handling uses for proportional sizing and its end events.
#include "grid/core/ProGrid.h"

void TProStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TBaseGrid::MouseDown(Button, Shift, X, Y);
    if (GridState() == gsColSizing) {
        FSizingCol = SizingIndex();
        FSizingColWidth0 = ColWidths(FSizingCol);
    } else if (GridState() == gsRowSizing) {
        FSizingRow = SizingIndex();
        FSizingRowHeight0 = RowHeights(FSizingRow);
    }
}

void TProStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TGridState State = GridState();
    FSizingColumn = Button == mbLeft && State == gsColSizing;
    FSizingRowNow = Button == mbLeft && State == gsRowSizing;
    // A header drag whose last target was refused, or that ends over a
    // fixed column (row), ends without a move.
    const TGridCoord Cell = MouseCoord(X, Y);
    const bool OnFixed = EnhRowColMove && ((State == gsColMoving && Cell.X < TStringGrid::FixedCols()) ||
                                           (State == gsRowMoving && Cell.Y < TStringGrid::FixedRows()));
    if (Button == mbLeft && (FMoveRefused || OnFixed) && (State == gsColMoving || State == gsRowMoving)) {
        SetGridState(gsNormal);
        if (State == gsColMoving)
            InvalidateRow(0);
        else
            InvalidateCol(0);
    }
    FMoveRefused = false;
    TBaseGrid::MouseUp(Button, Shift, X, Y);
    FSizingColumn = false;
    FSizingRowNow = false;
    if (State == gsColSizing || State == gsRowSizing) {
        FSizingCol = -1;
        FSizingRow = -1;
    }
}

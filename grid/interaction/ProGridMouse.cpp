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
    TBaseGrid::MouseUp(Button, Shift, X, Y);
    FSizingColumn = false;
    FSizingRowNow = false;
    if (State == gsColSizing || State == gsRowSizing) {
        FSizingCol = -1;
        FSizingRow = -1;
    }
}

// The grid's mouse press and release: a sizing drag remembers the column
// (row) it sizes and its size at the start, which the width (height) change
// handling uses for proportional sizing and its end events; a header with
// the hover look is drawn pressed, and a press on its drop-down button
// shows the drop-down menu.
#include "framework/Menus.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/MouseActions.h"

void TProStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TGridCoord Cell = MouseCoord(X, Y);
    const bool Range = FMouseActions->RangeSelectAndEdit && Button == mbLeft && !FMouseActions->EditOnDblClickOnly();
    if (Range && Cell.X >= 0 && Cell.Y >= 0) {
        // A second click on the current cell edits it; Shift extends the range.
        if (Cell.X == Col() && Cell.Y == Row() && !HasOption(goEditing) && IsCellEditable(Cell.X, Cell.Y)) {
            SetOptions(Options() | goEditing);
            TBaseGrid::MouseDown(Button, Shift, X, Y);
            StartCellEdit();
            return;
        }
        if ((Cell.X != Col() || Cell.Y != Row()) && (Shift & ssShift) != 0 && HasOption(goEditing)) {
            SetOptions(Options() & ~static_cast<TGridOptions>(goEditing));
            TBaseGrid::MouseDown(Button, Shift, X, Y);
            return;
        }
    }
    TBaseGrid::MouseDown(Button, Shift, X, Y);
    // A border press sizes even on a drop-down button that reaches the
    // border, so the sized column (row) is taken first.
    if (GridState() == gsColSizing) {
        FSizingCol = SizingIndex();
        FSizingColWidth0 = ColWidths(FSizingCol);
    } else if (GridState() == gsRowSizing) {
        FSizingRow = SizingIndex();
        FSizingRowHeight0 = RowHeights(FSizingRow);
    }
    if (Button == mbLeft && PressFixedCell(Cell, X))
        return;
    FixedCellEditPress(Button, Cell, X, Y);
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

// Fixed cells edited by a left or right click (with sizing on, only a press
// well inside the cell counts).
void TProStringGrid::FixedCellEditPress(TMouseButton Button, TGridCoord Cell, int X, int Y)
{
    if (Cell.X < 0 || Cell.Y < 0)
        return;
    const bool FixedRow = Cell.Y < TStringGrid::FixedRows();
    const bool FixedCol = Cell.X < TStringGrid::FixedCols();
    if (!FixedRow && !FixedCol)
        return;
    const TGridFixedCellEdit Wanted = Button == mbLeft ? fceLeftClick : Button == mbRight ? fceRightClick : fceNone;
    if (Wanted == fceNone)
        return;
    const bool RowEdit = FixedRow && FMouseActions->FixedRowsEdit == Wanted;
    const bool ColEdit = FixedCol && FMouseActions->FixedColsEdit == Wanted;
    if (!RowEdit && !ColEdit)
        return;
    if (Button == mbLeft && ((RowEdit && HasOption(goColSizing)) || (ColEdit && HasOption(goRowSizing)))) {
        const TRect R = CellRect(Cell.X, Cell.Y);
        if (X < R.left + 4 || X > R.right - 4 || Y < R.top + 4 || Y > R.bottom - 4)
            return;
    }
    EditFixedCell(Cell.X, Cell.Y);
}

void TProStringGrid::SetFixedDropDownMenu(TPopupMenu* Value)
{
    if (FFixedDropDownMenu)
        FFixedDropDownMenu->RemoveFreeNotification(this);
    FFixedDropDownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

// The drop-down button of a fixed cell (client rectangle Cell) is the strip
// of its last 16 pixels as the cell is painted: at its right, or at its left
// in a mirrored grid.
bool TProStringGrid::InFixedDropDownStrip(const TRect& Cell, int X) const
{
    return FControlLook->FixedDropDownButton() && MirroredX(X) > MirroredRect(Cell).right - 16;
}

bool TProStringGrid::PressFixedCell(TGridCoord Cell, int X)
{
    if (Cell.X < 0 || Cell.Y < 0 || !IsHoverFixedCell(Cell.X, Cell.Y))
        return false;
    const TRect R = CellRect(Cell.X, Cell.Y);
    if (InFixedDropDownStrip(R, X))
        return PressFixedDropDown(Cell, R);
    if (Cell.Y == TStringGrid::FixedRows() - 1 && HoverFixedCell == Cell && FixedGradient().DownFrom != clNone) {
        FixedCellPushed = true;
        RepaintCell(Cell.X, Cell.Y);
    }
    return false;
}

bool TProStringGrid::PressFixedDropDown(TGridCoord Cell, const TRect& R)
{
    TPopupMenu* Menu = FFixedDropDownMenu;
    if (Menu)
        Menu->Tag = Cell.X;
    bool Keep = false;
    if (OnFixedDropDownClick)
        OnFixedDropDownClick(this, Cell.X, Cell.Y, Menu, Keep);
    FKeepFixedHighlight = Keep;
    // The button shows pressed until the release, or while its menu is open
    // (the menu takes the release).
    HoverFixedCell = Cell;
    FixedCellPushed = true;
    FixedDropDownPushed = true;
    RepaintCell(Cell.X, Cell.Y);
    if (Menu) {
        // Below the strip, from its left edge on screen.
        const TPoint P = ClientToScreen(TPoint{UseRightToLeftAlignment() ? R.left : R.right - 16, R.bottom});
        Menu->Popup(P.x, P.y);
        ReleaseFixedCell();
    }
    return true;
}

void TProStringGrid::ReleaseFixedCell()
{
    if (!FixedCellPushed && !FixedDropDownPushed)
        return;
    FixedCellPushed = false;
    FixedDropDownPushed = false;
    if (HoverFixedCell.X >= 0 && HoverFixedCell.Y >= 0)
        InvalidateCell(HoverFixedCell.X, HoverFixedCell.Y);
}

// Moving columns and rows by dragging their headers: the permission and
// target events of the drag, and the bookkeeping after a move (column
// order, sort column and sort indexes, the floating footer).
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"

namespace {

// Where an index ends after the entry at From moved to To.
int MovedPlace(int Index, int From, int To)
{
    if (Index == From)
        return To;
    if (From < To && Index > From && Index <= To)
        return Index - 1;
    if (To < From && Index >= To && Index < From)
        return Index + 1;
    return Index;
}

} // namespace

void TProStringGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    const TGridCoord Cell = MouseCoord(X, Y);
    HoverMoved(Cell.X, Cell.Y);
    TBaseGrid::MouseMove(Shift, X, Y);
    SizingMoved(X, Y);
    if (!IsDesigning())
        MoveDragMoved();
}

void TProStringGrid::MoveDragMoved()
{
    const TGridState State = GridState();
    if (State != gsColMoving && State != gsRowMoving)
        return;
    const TColumnMoveEvent& Permission = State == gsColMoving ? OnColumnMove : OnRowMove;
    if (Permission) {
        bool Allow = true;
        Permission(this, MoveIndex(), Allow);
        if (!Allow) {
            SetGridState(gsNormal);
            FMoveRefused = false;
            return;
        }
    }
    const TColumnMoveEvent& Target = State == gsColMoving ? OnColumnMoving : OnRowMoving;
    bool Allow = true;
    if (Target && MovePos() >= 0)
        Target(this, MovePos(), Allow);
    FMoveRefused = !Allow;
    if (HandleAllocated())
        ::SetCursor(LoadCursorW(nullptr, Allow ? IDC_ARROW : IDC_NO));
}

void TProStringGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    const int F = DisplayToRealCol(FromIndex);
    const int T = DisplayToRealCol(ToIndex);
    if (F < FColumnOrder->Count() && T < FColumnOrder->Count()) {
        const int Entry = FColumnOrder->GetInteger(F);
        FColumnOrder->Delete(F);
        FColumnOrder->InsertInteger(T, Entry);
    }
    // The base grid has moved the width and the current cell already.
    if (FHiddenColCount > 0)
        TBaseGrid::ColumnMoved(F, T);
    else
        TBaseGrid::ColumnMoved(FromIndex, ToIndex);
    if (FSortSettings)
        FSortSettings->Column = MovedPlace(FSortSettings->Column, F, T);
    if (FSortSettings && FSortSettings->IndexShow && FSortIndexes) {
        for (int I = 0; I < FSortIndexes->Count(); ++I) {
            const unsigned V = static_cast<unsigned>(FSortIndexes->GetInteger(I));
            const int Column = static_cast<int>(V & 0xFFFFu);
            const unsigned Moved = (V & ~0xFFFFu) | (static_cast<unsigned>(MovedPlace(Column, F, T)) & 0xFFFFu);
            if (Moved != V)
                FSortIndexes->SetInteger(I, static_cast<int>(Moved));
        }
    }
    if (FFloatingFooter && FFloatingFooter->Visible())
        RepaintFloatingFooter();
}

void TProStringGrid::RowMoved(int FromIndex, int ToIndex)
{
    // The base grid has moved the heights already, so OnRowMoved sees them.
    TBaseGrid::RowMoved(FromIndex, ToIndex);
}

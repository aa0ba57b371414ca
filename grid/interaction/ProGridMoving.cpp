// Moving columns and rows by dragging their headers: the permission and
// target events of the drag, the moving header (a picture of the cells or
// the header drag button) with the target arrows and the scrolling at the
// edges, the end and the cancelling of a move, and the bookkeeping after a
// move (column order, hidden rows, sort column and sort indexes, the
// floating footer).
#include <algorithm>
#include <vector>

#include "framework/Form.h"
#include "framework/Screen.h"
#include "grid/core/ProGrid.h"
#include "grid/core/ProObj.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/interaction/FloatingFooter.h"

namespace {

template <class T>
void MoveEntry(T* Items, int Count, int From, int To)
{
    if (From < 0 || To < 0 || From >= Count || To >= Count || From == To)
        return;
    if (From < To)
        std::rotate(Items + From, Items + From + 1, Items + To + 1);
    else
        std::rotate(Items + To, Items + From, Items + From + 1);
}

void PlaceOnTop(TWinControl* Window, int X, int Y, int W, int H)
{
    Window->SetBounds(X, Y, W, H);
    SetWindowPos(Window->Handle(), HWND_TOPMOST, X, Y, W, H, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool FooterFixesLastRow(TFloatingFooter* F) { return F && F->Visible() && F->FooterStyle() == fsFixedLastRow; }

} // namespace

void TProStringGrid::MoveDragMoved(int X, int Y)
{
    const TGridState State = GridState();
    if (State != gsColMoving && State != gsRowMoving)
        return;
    const TColumnMoveEvent& Permission = State == gsColMoving ? OnColumnMove : OnRowMove;
    if (Permission) {
        bool Allow = true;
        Permission(this, MoveIndex(), Allow);
        if (!Allow) {
            CancelMoveDrag();
            SetGridState(gsNormal);
            return;
        }
    }
    bool Allow = true;
    if (X != FMouse.PressPoint.x || Y != FMouse.PressPoint.y) {
        if (EnhRowColMove && !FFixedColSizing.Active && !FFixedRowSizing.Active)
            MoveVisuals(X, Y, Allow);
        else if (const TColumnMoveEvent& Target = State == gsColMoving ? OnColumnMoving : OnRowMoving;
                 Target && MovePos() >= 0)
            Target(this, MovePos(), Allow);
    }
    FMoveRefused = !Allow;
    if (EnhRowColMove)
        Screen->SetCursor(Allow ? crDrag : crNoDrop);
}

void TProStringGrid::MoveVisuals(int X, int Y, bool& Allow)
{
    const bool Cols = GridState() == gsColMoving;
    const int A = MoveIndex();
    const TGridCoord Under = MouseCoord(X, Y);
    const bool ShowCells = FDragDropSettings->ShowCells;
    TPopupButton* Button = HeaderDragButton();
    const int FC = TStringGrid::FixedCols();
    const int FR = TStringGrid::FixedRows();
    if (Cols && A >= FC && Under.Y >= 0) {
        if (ShowCells && !FDragPicture) {
            FDragPicture = CreateDragImageForm(TGridRect{A, 0, A, std::min(RowCount() - 1, TopRow() + VisibleRowCount() - 1)});
            ShowWindow(FDragPicture->Handle(), SW_SHOWNOACTIVATE);
        }
        Button->SetCaption(ReadCellText(DisplayToRealCol(A), 0));
        Button->SetBounds(Button->Left(), Button->Top(), ColWidths(A), RowHeights(Under.Y));
        Button->Invalidate();
    } else if (!Cols && A >= FR && Under.X >= 0) {
        if (ShowCells && !FDragPicture) {
            FDragPicture = CreateDragImageForm(TGridRect{0, A, std::min(ColCount() - 1, LeftCol() + VisibleColCount() - 1), A});
            ShowWindow(FDragPicture->Handle(), SW_SHOWNOACTIVATE);
        }
        Button->SetCaption(ReadCellText(0, A));
        Button->SetBounds(Button->Left(), Button->Top(), ColWidths(Under.X), RowHeights(A));
        Button->Invalidate();
    }
    // The moving header keeps the point where it was gripped under the
    // pointer: placed as painted, then where that shows on screen.
    const int Left = MirroredX(X) - FMouse.PressOffset.x;
    const int Wide = ShowCells && FDragPicture ? FDragPicture->Width() : Button->Width();
    const TPoint S = ClientToScreen(TPoint{MirroredRect(TRect{Left, 0, Left + Wide, 0}).left, Y - FMouse.PressOffset.y});
    if (ShowCells && FDragPicture)
        SetWindowPos(FDragPicture->Handle(), HWND_TOPMOST, S.x, S.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    else
        Button->SetBounds(S.x, S.y, Button->Width(), Button->Height());

    const int T = Cols ? FMoveTarget.X : FMoveTarget.Y;
    if (Cols) {
        TArrowWindow* Up = MoveArrow(0);
        TArrowWindow* Down = MoveArrow(1);
        const bool Shown = T >= FC && T - LeftCol() < VisibleColCount() && Under.Y >= 0;
        if (Shown) {
            // Centred on the edge before the target (after it, moving
            // forwards), where the screen shows it.
            const TRect CR = CellRect(T, 0);
            const int Edge = T < A ? MirroredRect(CR).left : MirroredRect(CR).left + ColWidths(T);
            const TPoint TL = ClientToScreen(TPoint{MirroredX(Edge), CR.top});
            const TPoint BL = ClientToScreen(TPoint{0, CR.bottom});
            PlaceOnTop(Up, TL.x - 5, BL.y, Up->Width(), Up->Height());
            PlaceOnTop(Down, TL.x - 5, TL.y - 8, Down->Width(), Down->Height());
        }
        Up->SetVisible(Shown);
        Down->SetVisible(Shown);
        FMoveTarget = TGridCoord{Under.X, 0};
        if (OnColumnMoving)
            OnColumnMoving(this, Under.X, Allow);
    } else {
        TArrowWindow* Right = MoveArrow(2);
        TArrowWindow* Left = MoveArrow(3);
        // A fixed last row under a floating footer is no target.
        const bool FooterRow = FooterFixesLastRow(FFloatingFooter.get()) && RowCount() == T + 1;
        const bool Shown = !FooterRow && T >= FR && T - TopRow() < VisibleRowCount() && Under.Y >= 0;
        if (Shown) {
            // Before and after the first cell of the row as painted, each
            // arrow pointing at the row: a mirrored grid swaps their sides.
            const TRect CR = MirroredRect(CellRect(0, T));
            const TRect Before = MirroredRect(TRect{CR.left - 10, 0, CR.left + 1, 0});
            const TRect After = MirroredRect(TRect{CR.right, 0, CR.right + 11, 0});
            const bool Mirrored = UseRightToLeftAlignment();
            const TPoint TL = ClientToScreen(TPoint{(Mirrored ? After : Before).left, CR.top});
            const TPoint TR = ClientToScreen(TPoint{(Mirrored ? Before : After).left, CR.top});
            const int AtY = T < A ? TL.y : TL.y + RowHeights(T);
            PlaceOnTop(Right, TL.x, AtY - 5, Right->Width(), Right->Height());
            PlaceOnTop(Left, TR.x, AtY - 5, Left->Width(), Left->Height());
        }
        Right->SetVisible(Shown);
        Left->SetVisible(Shown);
        FMoveTarget = TGridCoord{0, Under.Y};
        if (OnRowMoving)
            OnRowMoving(this, Under.Y, Allow);
    }
    MoveScroll(X, Y);
    if (!Button->Visible()) {
        switch (Look) {
        case glQJX:
        case glXP:
            Button->SetColorFrom(FixedGradientFrom);
            Button->SetColorTo(FixedGradientTo);
            Button->SetColorMirrorFrom(clNone);
            Button->SetColorMirrorTo(clNone);
            break;
        case glVista:
            Button->SetColorFrom(FixedGradientFrom);
            Button->SetColorTo(FixedGradientTo);
            Button->SetColorMirrorFrom(FixedGradientMirrorFrom);
            Button->SetColorMirrorTo(FixedGradientMirrorTo);
            break;
        default:
            Button->SetColorFrom(clNone);
            Button->SetColorTo(clNone);
            Button->SetColorMirrorFrom(clNone);
            Button->SetColorMirrorTo(clNone);
            break;
        }
        if (!ShowCells)
            Button->SetVisible(true);
        Button->SetImages(GridImages);
    }
    if (!Button->Enabled())
        Button->SetEnabled(true);
}

// A header dragged beyond the fixed part or the grid's far edge scrolls
// one column (row) per movement while columns (rows) are hidden there.
void TProStringGrid::MoveScroll(int X, int Y)
{
    const bool Cols = GridState() == gsColMoving;
    if (Cols && VisibleColCount() < ColCount()) {
        int W = 0;
        for (int C = 0; C < TStringGrid::FixedCols(); ++C)
            W += ColWidths(C);
        const int PaintedX = MirroredX(X);
        if (PaintedX < W && LeftCol() > TStringGrid::FixedCols()) {
            SetLeftCol(LeftCol() - 1);
            Repaint();
        } else if (PaintedX > Width() && LeftCol() + VisibleColCount() < ColCount()) {
            SetLeftCol(LeftCol() + 1);
            Repaint();
        }
    } else if (!Cols && VisibleRowCount() < RowCount()) {
        int H = 0;
        for (int R = 0; R < TStringGrid::FixedRows(); ++R)
            H += RowHeights(R);
        if (Y < H && TopRow() > TStringGrid::FixedRows()) {
            SetTopRow(TopRow() - 1);
            Repaint();
        } else if (Y > HeightAboveFooters() && TopRow() + VisibleRowCount() < RowCount()) {
            SetTopRow(TopRow() + 1);
            Repaint();
        }
    }
}

void TProStringGrid::HideMoveArrows()
{
    for (int D = 0; D < 4; ++D)
        if (FDropArrows[D])
            FDropArrows[D]->SetVisible(false);
}

bool TProStringGrid::EndMoveDrag(int X, int Y)
{
    const TGridState State = GridState();
    const TCursor Cur = Screen->Cursor();
    if (!EnhRowColMove || (State != gsColMoving && State != gsRowMoving) || (Cur != crDrag && Cur != crNoDrop))
        return false;
    if (FHeaderDragButton) {
        FHeaderDragButton->SetEnabled(false);
        FHeaderDragButton->SetVisible(false);
    }
    if (FDragPicture) {
        delete FDragPicture;   // owned by the grid; freed here, at the end of the move
        FDragPicture = nullptr;
    }
    Screen->SetCursor(crDefault);
    const int A = MoveIndex();
    if (Cur == crNoDrop) {
        if (State == gsColMoving)
            RedrawRow(0);
        else
            RedrawCol(0);
    } else {
        const TGridCoord Cell = MouseCoord(X, Y);
        if (State == gsColMoving && A >= 0 && Cell.X >= TStringGrid::FixedCols() && Cell.X != A)
            MoveColumnWithControls(A, Cell.X);
        else if (State == gsRowMoving && Cell.Y >= TStringGrid::FixedRows() && Cell.Y != A
                 && !(FooterFixesLastRow(FFloatingFooter.get()) && Cell.Y == RowCount() - 1))
            MoveRowWithControls(A, Cell.Y);
    }
    SetGridState(gsNormal);
    FMoveRefused = false;
    return true;
}

// The mode was cancelled (another window took the mouse): the move ends
// without moving.
void TProStringGrid::CancelMoveDrag()
{
    const TGridState State = GridState();
    if (!EnhRowColMove || Screen->Cursor() != crDrag || (State != gsColMoving && State != gsRowMoving))
        return;
    Screen->SetCursor(crDefault);
    if (FHeaderDragButton) {
        FHeaderDragButton->SetEnabled(false);
        FHeaderDragButton->SetVisible(false);
    }
    if (FDragPicture) {
        delete FDragPicture;   // owned by the grid
        FDragPicture = nullptr;
    }
    HideMoveArrows();
    SetGridState(gsNormal);
    FMoveRefused = false;
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
    if (EnhRowColMove) {
        if (FHiddenColCount > 0) {
            const int All = std::min(AllColCount(), 512);
            MoveEntry(FColumnVisible, All, F, T);
            if (FColWidthList->Count() > std::max(F, T)) {
                const int W = FColWidthList->GetInteger(F);
                FColWidthList->Delete(F);
                FColWidthList->InsertInteger(T, W);
            }
        }
        FMovedByDrag = true;
    }
    if (FHiddenColCount > 0)
        TBaseGrid::ColumnMoved(F, T);
    else
        TBaseGrid::ColumnMoved(FromIndex, ToIndex);
    // Hidden rows keep their cells apart: their texts move with the column.
    for (auto& Item : FHiddenRows) {
        THiddenCells& Cells = Item->Items;
        if (FromIndex < Cells.Count() && ToIndex < Cells.Count() && FromIndex != ToIndex) {
            const String Text = Cells.Strings(FromIndex);
            TObject* Obj = Cells.Objects(FromIndex);
            Cells.Delete(FromIndex);
            Cells.InsertObject(ToIndex, Text, Obj);
        }
    }
    if (FSortSettings)
        FSortSettings->Column = MovedIndex(FSortSettings->Column, F, T);
    if (FSortSettings && FSortSettings->IndexShow && FSortIndexes) {
        for (int I = 0; I < FSortIndexes->Count(); ++I) {
            const unsigned V = static_cast<unsigned>(FSortIndexes->GetInteger(I));
            const int Column = static_cast<int>(V & 0xFFFFu);
            const unsigned Moved = (V & ~0xFFFFu) | (static_cast<unsigned>(MovedIndex(Column, F, T)) & 0xFFFFu);
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
    // A fixed last row under a visible floating footer never takes a row.
    if (FooterFixesLastRow(FFloatingFooter.get()) && RowCount() == ToIndex + 1) {
        // The heights were moved before; they go back.
        std::vector<int> Heights;
        const int Lo = std::min(FromIndex, ToIndex);
        const int Hi = std::max(FromIndex, ToIndex);
        for (int R = Lo; R <= Hi; ++R)
            Heights.push_back(RowHeights(R));
        MoveEntry(Heights.data(), static_cast<int>(Heights.size()), ToIndex - Lo, FromIndex - Lo);
        for (int R = Lo; R <= Hi; ++R)
            SetRowHeights(R, Heights[static_cast<std::size_t>(R - Lo)]);
        return;
    }
    if (EnhRowColMove)
        FMovedByDrag = true;
    TBaseGrid::RowMoved(FromIndex, ToIndex);
}

// Mouse movement over the grid: the hover look of the fixed cells, whole
// rows or columns selected by dragging over the headers, the grid's own
// sizing of fixed columns and rows, the sizing events and hint, the
// selection resizer handle, the cursor zones, the link cursor with the
// anchor events, and the start of an OLE drag from a press.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "framework/Form.h"
#include "framework/Screen.h"
#include "grid/core/GridCellText.h"
#include "grid/core/HTMLHintWindow.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"

namespace {

bool InFixedBand(const TGridCoord& C, int FixedCols, int FixedRows)
{
    return (C.Y >= 0 && C.Y <= FixedRows) || (C.X >= 0 && C.X <= FixedCols);
}

} // namespace

void TProStringGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FMouse.LeftDown && FMouseActions->RangeSelectAndEdit && HasOption(goEditing) && !FEdit.Active)
        SetOptions(Options() & ~static_cast<TGridOptions>(goEditing));
    const TGridRect Entry = Selection();
    if (SelectionRectangle && GridState() == gsSelecting && !(Entry == FRememberedSelection))
        FRememberedSelection = Entry;
    const TGridCoord Cell = MouseCoord(X, Y);
    HoverMoved(Cell.X, Cell.Y);
    ListViewHoverMoved(Cell.X, Cell.Y);
    FScrolledUp = false;
    HeaderDragSelect(Cell.X, Cell.Y, Y);
    FixedSizingMoved(Cell.X, Cell.Y, X, Y);
    const bool OnHandle = OnResizerHandle(X, Y);

    // A press on a cell that may be dragged out starts the drag once the
    // pointer moved more than 3 pixels; a refused drag selects a range.
    if (FMouse.OleDragPending && Cell.X >= 0 && Cell.Y >= 0
        && (std::abs(X - FMouse.PressPoint.x) > 3 || std::abs(Y - FMouse.PressPoint.y) > 3)
        && FDragDropSettings->OleDropSource && GridState() != gsColSizing && !OnHandle) {
        FMouse.OleDragPending = false;
        if (!StartOleDrag(X, Y) && GridState() == gsNormal)
            SetGridState(gsSelecting);
    }
    if (!IsDesigning()) {
        MoveDragMoved(X, Y);
        if (!OnHandle)
            UpdateCursorZone(Cell.X, Cell.Y, X, Y);
        else
            FCursorZone = 5;
    }
    const bool OwnCursor = LinkMoved(X, Y) || (FCursorZone >= 1 && FCursorZone <= 3);
    if (!OwnCursor && FLinkCursorShown) {
        FLinkCursorShown = false;
        if (Cursor() != FNormalCursor)
            SetCursor(FNormalCursor);
    }
    if (SelectionRectangle && GridState() == gsSelecting && !(Selection() == FLastDrawnSelection)) {
        InvalidateCellRange(Selection());
        FLastDrawnSelection = Selection();
    }
    TBaseGrid::MouseMove(Shift, X, Y);
    if (FNavigation->KeepHorizScroll && FMouse.KeepScroll && GridState() != gsColMoving
        && LeftCol() != FMouse.LeftColAtPress) {
        IncUpdateCount();
        SetLeftCol(FMouse.LeftColAtPress);
        ResetUpdateCount();
    }
    SizingMoved(X, Y);
    if (IsDesigning() || HintShowSizing)
        ShowSizingHint(X, Y);
    if (EnhRowColMove && (GridState() == gsColMoving || GridState() == gsRowMoving))
        Update();
    const TGridRect Now = Selection();
    if (!(Now == Entry))
        DoSelectionChanged(Now.Left, Now.Top, Now.Right, Now.Bottom);
}

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
    if (HoverFixedCells == hfNone || FKeepFixedHighlight)
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
    FFixedColSizing.Armed = false;
    FFixedRowSizing.Armed = false;
    // The list view's header is drawn hot only while the pointer is over
    // the grid: repainted now, it looks normal again.
    if (Look == glListView)
        RepaintListViewHover();
    if (HoverFixedCells == hfNone || FKeepFixedHighlight)
        return;
    const TGridCoord Old = HoverFixedCell;
    if (Old.X == -1 && Old.Y == -1)
        return;
    HoverFixedCell = TGridCoord{-1, -1};
    if (Old.X >= 0 && Old.Y >= 0)
        InvalidateCell(Old.X, Old.Y);
}

void TProStringGrid::ListViewHoverMoved(int ACol, int ARow)
{
    const TGridCoord New{ACol, ARow};
    if (Look != glListView || New == FListViewHover)
        return;
    RepaintListViewHover();
    FListViewHover = New;
    RepaintListViewHover();
}

// Only fixed cells are drawn hot, so only a fixed cell is repainted.
void TProStringGrid::RepaintListViewHover()
{
    const TGridCoord C = FListViewHover;
    if (C.X >= 0 && C.Y >= 0 && (C.X < TStringGrid::FixedCols() || C.Y < TStringGrid::FixedRows()))
        InvalidateCell(C.X, C.Y);
}

// Whole rows (columns) from the header where the press began to the one
// under the pointer; a row drag near the top or bottom edge scrolls.
void TProStringGrid::HeaderDragSelect(int ACol, int ARow, int Y)
{
    const int Anchor = FMouse.SelectAnchor;
    if (Anchor < 0)
        return;
    const int FC = TStringGrid::FixedCols();
    const int FR = TStringGrid::FixedRows();
    if (FMouseActions->RowSelect && FCursorZone == 2) {
        if (ARow >= FR && ARow <= RowCount() - FFixedFooters) {
            const int R = std::max(FR, std::min(ARow, RowCount() - 1));
            SetSelectionRect(TGridRect{FC, std::min(Anchor, R), ColCount() - 1, std::max(Anchor, R)});
            if (SelectionRectangle && !(Selection() == FRememberedSelection)) {
                const TGridRect S = Selection();
                RedrawGridRect(TGridRect{LeftCol(), S.Top, LeftCol() + VisibleColCount(), S.Bottom});
            }
            FRememberedSelection = Selection();
        }
        if (Y > HeightAboveFooters() - 4)
            SetTopRow(TopRow() + 1);
        if (FR > 0 && RowCount() > 0 && Y < RowHeights(0) && TopRow() > FR) {
            SetTopRow(TopRow() - 1);
            FScrolledUp = true;
        }
    } else if (FMouseActions->ColSelect && FCursorZone == 1) {
        const int C = std::max(FC, ACol);
        SetSelectionRect(TGridRect{std::min(Anchor, C), FR, std::max(Anchor, C), RowCount() - 1});
        if (SelectionRectangle && !(Selection() == FRememberedSelection)) {
            const TGridRect S = Selection();
            RedrawGridRect(TGridRect{S.Left, TopRow(), S.Right, TopRow() + VisibleRowCount()});
        }
        FRememberedSelection = Selection();
    }
}

namespace {

// The fixed column (row) whose far border lies within 2 pixels of Pos,
// counting one pixel of line after each; -1 when none.
template <class SizeOf>
int FixedBorderAt(int Count, SizeOf Size, int Pos)
{
    int P = 0;
    int Found = -1;
    for (int I = 0; I < Count; ++I) {
        if (std::abs(P + Size(I) - Pos) < 3)
            Found = I;
        P += Size(I) + 1;
    }
    return Found;
}

} // namespace

// The borders of the fixed columns (rows) arm the grid's own sizing; an
// active sizing moves its XOR line with the pointer.
void TProStringGrid::FixedSizingMoved(int ACol, int ARow, int X, int Y)
{
    const bool Inside = ACol >= 0 && ARow >= 0 && !IsDesigning();
    auto Follow = [this, Inside](TFixedSizing& S, int Border, bool Allowed, int Pos, void (TProStringGrid::*Draw)(int)) {
        S.Armed = Inside && Border >= 0 && Allowed;
        if (Inside && Border >= 0)
            S.Index = Border;
        if (S.Active) {
            (this->*Draw)(S.LinePos);
            S.LinePos = Pos;
            (this->*Draw)(Pos);
        }
    };
    const int PaintedX = MirroredX(X);
    Follow(FFixedColSizing, FixedBorderAt(TStringGrid::FixedCols(), [this](int I) { return ColWidths(I); }, PaintedX),
           FMouseActions->SizeFixedCol, PaintedX, &TProStringGrid::DrawColSizingLine);
    Follow(FFixedRowSizing, FixedBorderAt(TStringGrid::FixedRows(), [this](int I) { return RowHeights(I); }, Y),
           FMouseActions->SizeFixedRow, Y, &TProStringGrid::DrawRowSizingLine);
}

// The 6 x 6 square at the bottom-right corner of the selection's last cell
// (its right and bottom edges excluded).
bool TProStringGrid::OnResizerHandle(int X, int Y)
{
    if (!SelectionResizer || !SelectionRectangle)
        return false;
    const TGridRect S = Selection();
    const TRect R = MirroredRect(CellRect(S.Right, S.Bottom));   // where the painting has the handle
    if (R.right <= R.left || R.bottom <= R.top)
        return false;
    const int PaintedX = MirroredX(X);
    return PaintedX >= R.right - 6 && PaintedX < R.right && Y >= R.bottom - 6 && Y < R.bottom;
}

void TProStringGrid::UpdateCursorZone(int ACol, int ARow, int X, int Y)
{
    FCursorZone = 0;
    const int FC = TStringGrid::FixedCols();
    const int FR = TStringGrid::FixedRows();
    if (ACol >= 0 && ARow >= 0 && ACol < FC && ARow < FR && FMouseActions->AllSelect)
        FCursorZone = 3;
    else if (ARow >= 0 && ARow < FR && ACol >= FC && FMouseActions->ColSelect && !IsOnHeaderBorder(X, Y))
        FCursorZone = 1;
    else if (ACol >= 0 && ACol < FC && ARow >= 0 && (ARow >= FR || FScrolledUp) && FMouseActions->RowSelect
             && !IsOnHeaderBorder(X, Y) && !IsOnNodeButton(ARow, X))
        FCursorZone = 2;
}

// The link cursor over a URL or an anchor of an HTML cell, with the
// anchor events as the pointer enters and leaves anchors.
bool TProStringGrid::LinkMoved(int X, int Y)
{
    const TGridCoord Cell = MouseCoord(X, Y);
    if (Cell.X < 0 || Cell.Y < 0)
        return false;
    const String Text = ReadCellText(DisplayToRealCol(Cell.X), Cell.Y);
    const Integer Kind = GetCellTextKind(Text, EnableHTML);
    bool OnLink = false;
    if (URLShow && Kind != ctkHtml && IsUrl(Text))
        OnLink = true;
    if (Kind == ctkHtml) {
        String Anchor;
        String Title;
        if (AnchorAt(Cell.X, Cell.Y, TPoint{X, Y}, Anchor, Title)) {
            OnLink = true;
            if (Anchor != FLastAnchor) {
                if (OnAnchorEnter)
                    OnAnchorEnter(this, Cell.Y, Cell.X, Anchor);
                FLastAnchor = Anchor;
            }
        } else if (!FLastAnchor.empty()) {
            if (OnAnchorExit)
                OnAnchorExit(this, Cell.Y, Cell.X, String());
            FLastAnchor.clear();
        }
    }
    if (OnLink && Cursor() != crHandPoint) {
        if (!FLinkCursorShown)
            FNormalCursor = Cursor();
        FLinkCursorShown = true;
        SetCursor(crHandPoint);
    }
    return OnLink;
}

// While the base grid sizes a column (row): the width (height) the drag
// gives now, the press offset from the border taken off. The grid's own
// sizing of fixed cells reports the line's position.
void TProStringGrid::SizingMoved(int X, int Y)
{
    if (FFixedColSizing.Active && OnColumnSizing)
        OnColumnSizing(this, 0, FFixedColSizing.LinePos);
    if (FFixedRowSizing.Active && OnRowSizing)
        OnRowSizing(this, 0, FFixedRowSizing.LinePos);
    if (GridState() == gsColSizing && OnColumnSizing && SizingIndex() >= 0) {
        const TRect R = MirroredRect(CellRect(SizingIndex(), 0));
        OnColumnSizing(this, SizingIndex(), MirroredX(X) - R.left - SizingOfs());
    } else if (GridState() == gsRowSizing && OnRowSizing && SizingIndex() >= 0) {
        const TRect R = CellRect(0, SizingIndex());
        OnRowSizing(this, SizingIndex(), Y - R.top - SizingOfs());
    }
}

// The hint sits at the top corner where the reference cell starts: its
// top-left, or in a mirrored grid its top-right, the hint then ending there.
void TProStringGrid::ShowSizingHint(int X, int Y)
{
    String Text;
    TRect Cell = MirroredRect(TRect{0, 0, 0, 0});
    if (FFixedColSizing.Active) {
        Text = "cw=<b>" + std::to_string(FFixedColSizing.LinePos) + "</b>";
    } else if (FFixedRowSizing.Active) {
        Text = "rh=<b>" + std::to_string(FFixedRowSizing.LinePos) + "</b>";
    } else if (GridState() == gsColSizing && SizingIndex() >= 0) {
        Cell = CellRect(SizingIndex(), 0);
        Text = "cw=<b>" + std::to_string(MirroredX(X) - MirroredRect(Cell).left - SizingOfs()) + "</b>";
    } else if (GridState() == gsRowSizing && SizingIndex() >= 0) {
        Cell = CellRect(0, SizingIndex());
        Text = "rh=<b>" + std::to_string(Y - Cell.top - SizingOfs()) + "</b>";
    } else {
        return;
    }
    if (!FSizingHint)
        FSizingHint = new THTMLHintWindow(this);   // owned by the grid
    TRect R = FSizingHint->CalcHintRect(200, Text, nullptr);
    const int W = R.right - R.left;
    const TPoint S = ClientToScreen(TPoint{UseRightToLeftAlignment() ? Cell.right - W : Cell.left, Cell.top});
    R = TRect{S.x, S.y, S.x + W, S.y + (R.bottom - R.top)};
    FSizingHint->SetColor(HintColor);
    FSizingHint->ActivateHint(R, Text);
    FSizingHintVisible = true;
}

void TProStringGrid::HideSizingHint()
{
    if (!FSizingHintVisible)
        return;
    FSizingHintVisible = false;
    if (FSizingHint)
        FSizingHint->ReleaseHandle();
}

// The picture of a block of cells for dragging: the cells as painted on
// screen, in a borderless form at three quarters opacity. A mirrored grid's
// block is taken where the screen shows it, which gives the picture mirrored.
TForm* TProStringGrid::CreateDragImageForm(const TGridRect& R)
{
    const TRect A = MirroredRect(CellRect(R.Left, R.Top));   // as painted
    const TRect B = MirroredRect(CellRect(R.Right, R.Bottom));
    const int W = std::max(1, static_cast<int>(B.right - A.left + 1));
    const int H = std::max(1, static_cast<int>(B.bottom - A.top + 1));
    auto Picture = std::make_shared<TBitmap>(W, H);
    if (HandleAllocated()) {
        Update();
        const TRect Source = MirroredRect(TRect{A.left + 1, A.top + 1, B.right + 2, B.bottom + 2});
        HDC DC = GetDC(Handle());
        StretchBlt(Picture->Canvas()->Handle(), 0, 0, W, H, DC, Source.left, Source.top, RectWidth(Source),
                   RectHeight(Source), SRCCOPY);
        ReleaseDC(Handle(), DC);
    }
    // The line along the block's start edge: its left, or its right when mirrored.
    TCanvas* Cv = Picture->Canvas();
    Cv->Pen()->SetColor(GridFixedLineColor());
    if (R.Left == 0 && TStringGrid::FixedCols() > 0 && HasOption(goFixedHorzLine)) {
        const int X = UseRightToLeftAlignment() ? W - 1 : 0;
        Cv->MoveTo(X, 0);
        Cv->LineTo(X, H);
    }
    if (R.Top == 0 && TStringGrid::FixedRows() > 0 && HasOption(goFixedVertLine)) {
        Cv->MoveTo(0, 0);
        Cv->LineTo(W, 0);
    }
    auto* Form = new TForm(this);   // owned by the grid
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, W, H);
    Form->OnPaint = [Form, Picture](TObject*) {
        if (Form->Canvas())
            Form->Canvas()->Draw(0, 0, Picture.get());
    };
    Form->HandleNeeded();
    const HWND Wnd = Form->Handle();
    SetWindowLongPtrW(Wnd, GWL_EXSTYLE,
                      GetWindowLongPtrW(Wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    SetLayeredWindowAttributes(Wnd, 0, 192, LWA_ALPHA);
    return Form;
}

// TCustomGrid: the mouse. A press focuses the grid and makes the cell
// current, or starts sizing or moving; a drag selects, sizes or moves; the
// release finishes it.
#include "framework/Grids.h"

#include <algorithm>
#include <climits>

void TCustomGrid::CalcSizingState(int X, int Y, const TGridDrawInfo& FixedInfo, int& SizingIndex, int& SizingPos,
                                  int& SizingOfs, TGridState& State)
{
    State = gsNormal;
    SizingIndex = -1;
    X = MirroredX(X);
    constexpr int reach = 3;
    // Within Reach of the line after a cell on one axis: that cell, else -1.
    auto lineNear = [this](const TGridAxisDrawInfo& Axis, bool Horz, int Pos, int& LinePos) {
        const int count = Horz ? FColCount : FRowCount;
        int pos = 0;
        auto test = [&](int I) {
            pos += Horz ? ColWidths(I) : RowHeights(I);
            const int line = pos + Axis.EffectiveLineWidth / 2;
            pos += Axis.EffectiveLineWidth;
            if (Pos >= line - reach && Pos <= line + reach) {
                LinePos = line;
                return true;
            }
            return false;
        };
        for (int i = 0; i < Axis.FixedCellCount && pos < Axis.GridExtent; ++i)
            if (test(i))
                return i;
        for (int i = Axis.FirstGridCell; i < count && pos < Axis.GridExtent; ++i)
            if (test(i))
                return i;
        return -1;
    };
    int line = 0;
    if ((FOptions & goColSizing) != 0 && Y < FixedInfo.Vert.FixedBoundary && X < FixedInfo.Horz.GridBoundary + reach) {
        const int col = lineNear(FixedInfo.Horz, true, X, line);
        if (col >= 0) {
            State = gsColSizing;
            SizingIndex = col;
            SizingPos = line;
            SizingOfs = X - line;
            return;
        }
    }
    if ((FOptions & goRowSizing) != 0 && X < FixedInfo.Horz.FixedBoundary && Y < FixedInfo.Vert.GridBoundary + reach) {
        const int row = lineNear(FixedInfo.Vert, false, Y, line);
        if (row >= 0) {
            State = gsRowSizing;
            SizingIndex = row;
            SizingPos = line;
            SizingOfs = Y - line;
        }
    }
}

// The scrollable cell a drag points at: the cell under the point, or the
// nearest scrollable cell on screen when the point is beyond the cells or
// over the fixed ones.
TGridCoord TCustomGrid::DragCell(int X, int Y) const
{
    TGridDrawInfo info;
    CalcDrawInfo(info);
    auto axis = [](const TGridAxisDrawInfo& Axis, int Cell, int Pos) {
        if (Cell >= Axis.FixedCellCount)
            return Cell;
        if (Cell >= 0 || Pos < Axis.FixedBoundary)
            return Axis.FirstGridCell;
        // Beyond the last cell shown: the last cell when all are shown,
        // else the last one shown whole.
        if (Axis.GridBoundary < Axis.GridExtent)
            return Axis.GridCellCount - 1;
        return std::min(std::max(Axis.LastFullVisibleCell, Axis.FirstGridCell), Axis.GridCellCount - 1);
    };
    const TGridCoord cell = MouseCoord(X, Y);
    return TGridCoord{axis(info.Horz, cell.X, X), axis(info.Vert, cell.Y, Y)};
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && HandleAllocated() && CanFocus() && !Focused())
        SetFocus();
    if (Button == mbLeft && FGridState == gsNormal) {
        TGridDrawInfo info;
        CalcDrawInfo(info);
        int index = -1;
        int pos = 0;
        int ofs = 0;
        TGridState state = gsNormal;
        CalcSizingState(X, Y, info, index, pos, ofs, state);
        const TGridCoord cell = MouseCoord(X, Y);
        if (state == gsColSizing || state == gsRowSizing) {
            HideEditor();
            FGridState = state;
            FSizingIndex = index;
            FSizingPos = pos;
            FSizingOfs = ofs;
            HoldMouse(false);
            if (HandleAllocated()) {
                if (state == gsColSizing)
                    DrawColSizingLine(FSizingPos);
                else
                    DrawRowSizingLine(FSizingPos);
            }
        } else if (cell.X >= FFixedCols && cell.Y >= 0 && cell.Y < FFixedRows && (FOptions & goColMoving) != 0) {
            HideEditor();
            FGridState = gsColMoving;
            FMoveIndex = cell.X;
            FMovePos = cell.X;
        } else if (cell.Y >= FFixedRows && cell.X >= 0 && cell.X < FFixedCols && (FOptions & goRowMoving) != 0) {
            HideEditor();
            FGridState = gsRowMoving;
            FMoveIndex = cell.Y;
            FMovePos = cell.Y;
        } else if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
            const bool extend = (Shift & ssShift) != 0 && (FOptions & goRangeSelect) != 0;
            const bool moved = MoveColRow(cell.X, cell.Y, !extend, true);
            if (moved && (FOptions & goRangeSelect) != 0 && (Shift & ssDouble) == 0)
                FGridState = gsSelecting;
            if (moved && (Shift & ssDouble) != 0 && (FOptions & goEditing) != 0)
                ShowEditor();
        }
        if (FGridState == gsSelecting || FGridState == gsColMoving || FGridState == gsRowMoving)
            HoldMouse(true);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    switch (FGridState) {
    case gsSelecting: {
        const TGridCoord cell = DragCell(X, Y);
        if (cell.X != FCurrent.X || cell.Y != FCurrent.Y)
            MoveColRow(cell.X, cell.Y, false, false);
        break;
    }
    case gsColSizing:
    case gsRowSizing: {
        const bool cols = FGridState == gsColSizing;
        const int start = ScreenStart(cols, FSizingIndex);
        const int pos = std::max(cols ? MirroredX(X) - FSizingOfs : Y - FSizingOfs, start == INT_MIN ? 0 : start);
        if (pos != FSizingPos) {
            if (cols) {
                DrawColSizingLine(FSizingPos);
                FSizingPos = pos;
                DrawColSizingLine(FSizingPos);
            } else {
                DrawRowSizingLine(FSizingPos);
                FSizingPos = pos;
                DrawRowSizingLine(FSizingPos);
            }
        }
        break;
    }
    case gsColMoving: {
        const TGridCoord cell = DragCell(X, Y);
        FMovePos = cell.X;
        break;
    }
    case gsRowMoving: {
        const TGridCoord cell = DragCell(X, Y);
        FMovePos = cell.Y;
        break;
    }
    case gsNormal: break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        const TGridState state = FGridState;
        const int index = FSizingIndex;
        const int sizingPos = FSizingPos;
        const int moveFrom = FMoveIndex;
        const int moveTo = FMovePos;
        StopDrag();
        if (state == gsColSizing || state == gsRowSizing) {
            const bool cols = state == gsColSizing;
            const int start = ScreenStart(cols, index);
            if (start != INT_MIN) {
                if (cols)
                    SetColWidths(index, sizingPos - start - FGridLineWidth / 2);
                else
                    SetRowHeights(index, sizingPos - start - FGridLineWidth / 2);
            }
        } else if (state == gsColMoving && moveTo >= FFixedCols && moveTo < FColCount && moveTo != moveFrom) {
            MoveColumn(moveFrom, moveTo);
        } else if (state == gsRowMoving && moveTo >= FFixedRows && moveTo < FRowCount && moveTo != moveFrom) {
            MoveRow(moveFrom, moveTo);
        }
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

// A drag holds the mouse (and scrolls by the timer while it rests outside
// the cells) until StopDrag.
void TCustomGrid::HoldMouse(bool ScrollTimer)
{
    if (!HandleAllocated())
        return;
    if (!FCapturing) {
        FCapturing = true;
        SetCapture(Handle());
    }
    if (ScrollTimer && !FScrollTimer) {
        FScrollTimer = true;
        SetTimer(Handle(), GridScrollTimerId, 60, nullptr);
    }
}

// Ends any drag: the sizing line goes, the timer stops, the mouse is let go.
void TCustomGrid::StopDrag()
{
    if (FGridState == gsColSizing)
        DrawColSizingLine(FSizingPos);
    else if (FGridState == gsRowSizing)
        DrawRowSizingLine(FSizingPos);
    FGridState = gsNormal;
    if (!HandleAllocated())
        return;
    if (FScrollTimer) {
        FScrollTimer = false;
        KillTimer(Handle(), GridScrollTimerId);
    }
    if (FCapturing) {
        FCapturing = false;
        if (GetCapture() == Handle())
            ReleaseCapture();
    }
}

// Over a sizing line the cursor shows the sizing arrows.
void TCustomGrid::WMSetCursor(TMessage& Message)
{
    if (reinterpret_cast<HWND>(Message.WParam) == Handle() && LOWORD(Message.LParam) == HTCLIENT &&
        FGridState == gsNormal) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(Handle(), &p);
        TGridDrawInfo info;
        CalcDrawInfo(info);
        int index = -1;
        int pos = 0;
        int ofs = 0;
        TGridState state = gsNormal;
        CalcSizingState(p.x, p.y, info, index, pos, ofs, state);
        if (state == gsColSizing || state == gsRowSizing) {
            ::SetCursor(LoadCursorW(nullptr, state == gsColSizing ? IDC_SIZEWE : IDC_SIZENS));
            Message.Result = TRUE;
            return;
        }
    }
    TCustomControl::WndProc(Message);
}

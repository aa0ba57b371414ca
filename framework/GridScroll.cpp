// TCustomGrid: the scroll bars (positions 0..GridScrollMax whatever the
// counts), the scroll messages, the wheel, and the scrolling of a drag
// that rests outside the cells.
#include "framework/Grids.h"

#include <algorithm>
#include <windowsx.h>

namespace {

// A * B / C rounded to the nearest, in 64 bits; 0 when C is 0.
int MulDivRound(int A, int B, int C)
{
    if (C == 0)
        return 0;
    const Int64 product = static_cast<Int64>(A) * B;
    const Int64 half = (C > 0 ? C : -C) / 2;
    return static_cast<int>(product >= 0 ? (product + half) / C : (product - half) / C);
}

bool WantsBar(TScrollStyle Style, bool Horz)
{
    return Style == ssBoth || Style == (Horz ? ssHorizontal : ssVertical);
}

} // namespace

// Shows each bar that its direction needs (and ScrollBars allows), with the
// range 0..GridScrollMax; showing one bar narrows the client area, which
// may make the other one needed too, hence the second pass.
void TCustomGrid::UpdateScrollRange()
{
    if (!HandleAllocated() || FUpdatingScrollBars)
        return;
    FUpdatingScrollBars = true;
    HWND wnd = Handle();
    for (int pass = 0; pass < 2; ++pass) {
        for (const bool horz : {false, true}) {
            const bool need = WantsBar(FScrollBars, horz) &&
                              ((horz ? MaxLeftCol() > FFixedCols : MaxTopRow() > FFixedRows) || KeepScrollBar(horz));
            const int bar = horz ? SB_HORZ : SB_VERT;
            const LONG style = GetWindowLongW(wnd, GWL_STYLE);
            const bool shown = (style & (horz ? WS_HSCROLL : WS_VSCROLL)) != 0;
            if (need && !shown) {
                SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, GridScrollMax, 0, 0, 0};
                SetScrollInfo(wnd, bar, &info, FALSE);
                ShowScrollBar(wnd, bar, TRUE);
            } else if (!need && shown) {
                ShowScrollBar(wnd, bar, FALSE);
            }
        }
    }
    FUpdatingScrollBars = false;
    // The client area may have changed: keep the top-left cell in range.
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollPos();
}

void TCustomGrid::UpdateScrollPos()
{
    if (!HandleAllocated())
        return;
    HWND wnd = Handle();
    const LONG style = GetWindowLongW(wnd, GWL_STYLE);
    // A bar is set (and so redrawn) only when its position changes: a
    // themed bar is redrawn whole by every setting, which costs more than
    // painting the row a line scroll brings into view, and positions
    // 0..GridScrollMax change only every so many rows of a long grid.
    auto place = [wnd](int Bar, int Pos) {
        Pos = std::clamp(Pos, 0, GridScrollMax);
        if (GetScrollPos(wnd, Bar) != Pos)
            SetScrollPos(wnd, Bar, Pos, TRUE);
    };
    if ((style & WS_VSCROLL) != 0) {
        const int range = MaxTopRow() - FFixedRows;
        place(SB_VERT, range > 0 ? MulDivRound(FTopLeft.Y - FFixedRows, GridScrollMax, range) : 0);
    }
    if ((style & WS_HSCROLL) != 0) {
        const int range = MaxLeftCol() - FFixedCols;
        place(SB_HORZ, range > 0 ? MulDivRound(FTopLeft.X - FFixedCols, GridScrollMax, range) : 0);
    }
}

// One scroll message of the grid's own bars: a line, a page, the thumb
// (while tracking only with goThumbTracking), the ends.
void TCustomGrid::ScrollMessage(bool Horz, int Code, int Pos)
{
    const int first = Horz ? FTopLeft.X : FTopLeft.Y;
    const int fixed = Horz ? FFixedCols : FFixedRows;
    const int last = Horz ? MaxLeftCol() : MaxTopRow();
    const int page = std::max(1, Horz ? VisibleColCount() : VisibleRowCount());
    int target = first;
    switch (Code) {
    case SB_LINEUP: target = first - 1; break;
    case SB_LINEDOWN: target = first + 1; break;
    case SB_PAGEUP: target = first - page; break;
    case SB_PAGEDOWN: target = first + page; break;
    case SB_TOP: target = fixed; break;
    case SB_BOTTOM: target = last; break;
    case SB_THUMBTRACK:
        if ((FOptions & goThumbTracking) == 0)
            return;
        target = fixed + MulDivRound(std::clamp(Pos, 0, GridScrollMax), last - fixed, GridScrollMax);
        break;
    case SB_THUMBPOSITION:
        target = fixed + MulDivRound(std::clamp(Pos, 0, GridScrollMax), last - fixed, GridScrollMax);
        break;
    default: return;
    }
    if (Horz)
        SetTopLeft(target, FTopLeft.Y);
    else
        SetTopLeft(FTopLeft.X, target);
    UpdateScrollPos();
}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (handled)
        return true;
    FWheelAccumulator += WheelDelta;
    while (FWheelAccumulator >= WHEEL_DELTA) {
        FWheelAccumulator -= WHEEL_DELTA;
        handled = DoMouseWheelUp(Shift, MousePos) || handled;
    }
    while (FWheelAccumulator <= -WHEEL_DELTA) {
        FWheelAccumulator += WHEEL_DELTA;
        handled = DoMouseWheelDown(Shift, MousePos) || handled;
    }
    return handled;
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheelDown)
        OnMouseWheelDown(this, Shift, MousePos, handled);
    if (handled)
        return true;
    if (FCurrent.Y < FRowCount - 1)
        MoveColRow(std::clamp(FCurrent.X, FFixedCols, FColCount - 1), FCurrent.Y + 1, true, true);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheelUp)
        OnMouseWheelUp(this, Shift, MousePos, handled);
    if (handled)
        return true;
    if (FCurrent.Y > FFixedRows)
        MoveColRow(std::clamp(FCurrent.X, FFixedCols, FColCount - 1), std::min(FCurrent.Y, FRowCount) - 1, true,
                   true);
    return true;
}

// A tick of the drag-scroll timer: while the mouse rests beyond the
// scrollable cells, scroll one row (column) toward it and, when selecting,
// stretch the selection to the cell now under it.
void TCustomGrid::TimerScroll()
{
    if (FGridState != gsSelecting && FGridState != gsColMoving && FGridState != gsRowMoving)
        return;
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
    TGridDrawInfo info;
    CalcDrawInfo(info);
    int dx = 0;
    int dy = 0;
    if (FGridState != gsRowMoving) {
        if (p.x < info.Horz.FixedBoundary)
            dx = -1;
        else if (p.x >= info.Horz.GridExtent)
            dx = 1;
    }
    if (FGridState != gsColMoving) {
        if (p.y < info.Vert.FixedBoundary)
            dy = -1;
        else if (p.y >= info.Vert.GridExtent)
            dy = 1;
    }
    if (dx == 0 && dy == 0)
        return;
    SetTopLeft(FTopLeft.X + dx, FTopLeft.Y + dy);
    const TGridCoord cell = DragCell(p.x, p.y);
    if (FGridState == gsSelecting)
        MoveColRow(cell.X, cell.Y, false, false);
    else if (FGridState == gsColMoving)
        FMovePos = cell.X;
    else
        FMovePos = cell.Y;
}

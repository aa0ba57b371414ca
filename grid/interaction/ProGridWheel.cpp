// Scrolling without the scroll bars: the mouse wheel (moving the current row
// or scrolling, zooming with Ctrl), panning with the middle button (the grid
// keeps scrolling toward the pointer while an anchor mark shows where the
// press was) and scrolling while a drag rests near the grid's edges.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <windowsx.h>

#include "framework/ControlMessages.h"
#include "grid/core/GridDrawing.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/DragScrollOptions.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"

namespace {

constexpr UINT_PTR PanTimerId = 999;
constexpr UINT_PTR DragScrollTimerId = 998;
constexpr int PanDeadZone = 5;

// The cursor of a pan direction (v: -1 up, +1 down; h: -1 left, +1 right):
// the program's pan cursors 8000 (resting) to 8008, else a system cursor.
HCURSOR PanDirectionCursor(int V, int H)
{
    static const int Ids[3][3] = {{8006, 8004, 8005}, {8002, 8000, 8003}, {8008, 8001, 8007}};
    if (HCURSOR Own = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(Ids[V + 1][H + 1])))
        return Own;
    if (V == 0 && H == 0)
        return LoadCursorW(nullptr, IDC_SIZEALL);
    if (V == 0)
        return LoadCursorW(nullptr, IDC_SIZEWE);
    if (H == 0)
        return LoadCursorW(nullptr, IDC_SIZENS);
    return LoadCursorW(nullptr, V == H ? IDC_SIZENWSE : IDC_SIZENESW);
}

} // namespace

bool TProStringGrid::WheelPanMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_DESTROY:
        // Timers die with the window; the flags must not outlive it.
        StopPanning();
        StopDragScroll();
        return false;
    case WM_TIMER:
        if (Message.WParam == PanTimerId) {
            if (FPanning)
                PanTick();
            return true;
        }
        if (Message.WParam == DragScrollTimerId) {
            DragScrollTick();
            return true;
        }
        return false;
    case WM_MBUTTONDOWN:
        if (FPanning)
            StopPanning();
        else if (FWheelMessage != 0 && IntelliPan != ipNone && RowCount() > TStringGrid::FixedRows())
            StartPanning(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        return false;
    case CM_MOUSELEAVE:
        // Not the wheel's, but the pointer leaving ends the hover look.
        HoverLeft();
        return false;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
        if (FPanning)
            StopPanning();
        return false;
    default:
        break;
    }
    if (FWheelMessage != 0 && Message.Msg == static_cast<UINT>(FWheelMessage) && !FPanning)
        return WheelMessageStep(Message);
    return false;
}

// The grid's own wheel step before the class library's; true when the
// message goes no further.
bool TProStringGrid::WheelMessageStep(TMessage& Message)
{
    const TGridRect Before = Selection();
    const int Delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
    const bool TowardUser = Delta < 0;
    if (Parent() && Parent()->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam) != 0)
        return false;
    if ((GetKeyState(VK_CONTROL) < 0 || (GET_KEYSTATE_WPARAM(Message.WParam) & MK_CONTROL)) && IntelliZoom) {
        // Ctrl zooms instead of moving.
        Zoom(TowardUser ? FWheelScrollLines : -FWheelScrollLines);
        Message.Result = 0;
        return true;
    }
    if (!EnableWheel)
        return false;
    if (FixedRowAlways && RowCount() == 1) {
        Message.Result = 0;
        return true;
    }
    const int FixedR = TStringGrid::FixedRows();
    int R = Row();
    int Inc = FMouseActions->WheelIncrement < 1 ? FWheelScrollLines : FMouseActions->WheelIncrement;
    if (FMouseActions->WheelAction() == waScroll) {
        if (TowardUser) {
            if (TopRow() < RowCount() - VisibleRowCount() && TopRow() + Inc >= FixedR)
                SetTopRow(TopRow() + Inc);
        } else {
            if (TopRow() - Inc < FixedR)
                Inc = TopRow() - FixedR;
            if (TopRow() > FixedR)
                SetTopRow(TopRow() - Inc);
        }
    } else {
        R = TowardUser ? Row() + Inc : Row() - Inc;
    }
    R = std::clamp(R, FixedR, std::max(FixedR, RowCount() - FFixedFooters - 1));
    const int L = LeftCol();
    int Moved = 0;
    // Setting the current row again would scroll it back into view.
    if (R >= 0 && R < RowCount() && R != Row()) {
        IncUpdateCount();
        Moved = R - Row();
        SetCurrentRow(R);
        if (Row() != R) {
            const int Half = static_cast<int>(std::nearbyint((R - Row()) / 2.0));
            const int Target = std::clamp(Row() + Half, FixedR, RowCount() - 1);
            if (Target != Row())
                SetCurrentRow(Target);
            if (!TowardUser && TopRow() > FixedR)
                SetTopRow(TopRow() - 1);
        }
        if (HasOption(goRowSelect) && FNavigation->KeepHorizScroll)
            SetLeftCol(L);
        ResetUpdateCount();
    }
    if (FMouseActions->WheelIncrement != 0) {
        Message.Result = 1;
        SpareHook(Moved);
    }
    const TGridRect After = Selection();
    if (!(After == Before))
        DoSelectionChanged(After.Left, After.Top, After.Right, After.Bottom);
    return false;
}

bool TProStringGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    if (FMouseActions->WheelAction() == waScroll)
        return false;
    if (HasOption(goRowSelect) && FNavigation->KeepHorizScroll) {
        const int L = LeftCol();
        IncUpdateCount();
        const bool Result = TBaseGrid::DoMouseWheelDown(Shift, MousePos);
        SetLeftCol(L);
        ResetUpdateCount();
        return Result;
    }
    const bool WasEditing = FEdit.Active;
    const bool Result = TBaseGrid::DoMouseWheelDown(Shift, MousePos);
    if (WasEditing && HandleAllocated() && CanFocus())
        SetFocus();
    return Result;
}

bool TProStringGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    if (FMouseActions->WheelAction() == waScroll)
        return false;
    if (HasOption(goRowSelect) && FNavigation->KeepHorizScroll) {
        const int L = LeftCol();
        IncUpdateCount();
        const bool Result = TBaseGrid::DoMouseWheelUp(Shift, MousePos);
        SetLeftCol(L);
        ResetUpdateCount();
        return Result;
    }
    if (Row() >= RowCount() || Col() >= ColCount())
        return true;
    const bool WasEditing = FEdit.Active;
    const bool Result = TBaseGrid::DoMouseWheelUp(Shift, MousePos);
    if (WasEditing && HandleAllocated() && CanFocus())
        SetFocus();
    return Result;
}

void TProStringGrid::StartPanning(int X, int Y)
{
    if (!HandleAllocated())
        return;
    FPanCursor = PanDirectionCursor(0, 0);
    FCursorBeforePan = ::SetCursor(FPanCursor);
    FPanning = true;
    SetTimer(Handle(), PanTimerId, 10, nullptr);
    FPanAnchor = TPoint{X, Y};
    SetCapture(Handle());
    SetShowHint(false);
    DrawPanAnchor();
}

void TProStringGrid::StopPanning()
{
    if (!FPanning)
        return;
    FPanning = false;
    if (HandleAllocated()) {
        if (GetCapture() == Handle())
            ReleaseCapture();
        KillTimer(Handle(), PanTimerId);
    }
    ::SetCursor(FCursorBeforePan ? FCursorBeforePan : LoadCursorW(nullptr, IDC_ARROW));
    SetShowHint(true);
    ErasePanAnchor();
}

void TProStringGrid::PanTick()
{
    if (!HandleAllocated() || FWheelMessage == 0 || IntelliPan == ipNone)
        return;
    POINT P;
    GetCursorPos(&P);
    ::ScreenToClient(Handle(), &P);
    int V = 0;
    if (P.y < FPanAnchor.y - PanDeadZone)
        V = -1;
    else if (P.y > FPanAnchor.y + PanDeadZone)
        V = 1;
    if (IntelliPan == ipHorizontal)
        V = 0;
    int H = 0;
    if (IntelliPan != ipVertical) {
        if (P.x > FPanAnchor.x + PanDeadZone)
            H = 1;
        else if (P.x < FPanAnchor.x - PanDeadZone)
            H = -1;
    }
    const TGridRect Before = Selection();
    const int FixedR = TStringGrid::FixedRows();
    const int FixedC = TStringGrid::FixedCols();
    const int LastRow = std::max(FixedR, RowCount() - FFixedFooters - 1);
    const int LastCol = std::max(FixedC, ColCount() - FFixedRightCols - 1);
    if (Row() < FixedR || Row() > LastRow)
        SetCurrentRow(std::clamp(Row(), FixedR, LastRow));
    if (Col() < FixedC || Col() > LastCol)
        SetCol(std::clamp(Col(), FixedC, LastCol));
    if (FMouseActions->WheelAction() == waScroll) {
        if (H == -1 && LeftCol() > FixedC) {
            ErasePanAnchor();
            SetLeftCol(LeftCol() - 1);
        } else if (H == 1 && LeftCol() < ColCount() - VisibleColCount()) {
            ErasePanAnchor();
            SetLeftCol(LeftCol() + 1);
        }
        if (V == -1 && TopRow() > FixedR) {
            ErasePanAnchor();
            SetTopRow(TopRow() - 1);
        } else if (V == 1 && TopRow() < RowCount() - VisibleRowCount()) {
            ErasePanAnchor();
            SetTopRow(TopRow() + 1);
        }
    } else {
        const auto ColShown = [this](int C) { return C >= LeftCol() && C < LeftCol() + VisibleColCount(); };
        const auto RowShown = [this](int R) { return R >= TopRow() && R < TopRow() + VisibleRowCount(); };
        if (H == -1 && Col() > FixedC) {
            if (!ColShown(Col() - 1))
                ErasePanAnchor();
            SetCol(Col() - 1);
        } else if (H == 1 && Col() < LastCol) {
            if (!ColShown(Col() + 1))
                ErasePanAnchor();
            SetCol(Col() + 1);
        }
        if (V == -1 && Row() > FixedR) {
            if (!RowShown(Row() - 1))
                ErasePanAnchor();
            SetCurrentRow(Row() - 1);
        } else if (V == 1 && Row() < LastRow) {
            if (!RowShown(Row() + 1))
                ErasePanAnchor();
            SetCurrentRow(Row() + 1);
        }
    }
    ::SetCursor(V == 0 && H == 0 ? FPanCursor : PanDirectionCursor(V, H));
    DrawPanAnchor();
    const TGridRect After = Selection();
    if (!(After == Before))
        DoSelectionChanged(After.Left, After.Top, After.Right, After.Bottom);
}

// The anchor mark at the press point: the program's glyph for the
// directions panning follows, on white.
void TProStringGrid::DrawPanAnchor()
{
    if (!HandleAllocated())
        return;
    HDC DC = GetDC(Handle());
    if (!DC)
        return;
    const char* Glyph = IntelliPan == ipHorizontal ? "INTLI2" : IntelliPan == ipBoth ? "INTLI1" : "INTLI3";
    TCanvas Screen;
    Screen.SetHandle(DC);
    DrawResourceGlyph(&Screen, clWhite, TRect{FPanAnchor.x, FPanAnchor.y, FPanAnchor.x + 26, FPanAnchor.y + 26}, Glyph);
    Screen.SetHandle(nullptr);
    ReleaseDC(Handle(), DC);
}

void TProStringGrid::ErasePanAnchor()
{
    if (!HandleAllocated())
        return;
    const RECT R{FPanAnchor.x, FPanAnchor.y, FPanAnchor.x + 32, FPanAnchor.y + 32};
    InvalidateRect(Handle(), &R, FALSE);
}

void TProStringGrid::SetDragScrollOptions(const TDragScrollOptions* Value) { FDragScrollOptions->Assign(Value); }

void TProStringGrid::StopDragScroll()
{
    if (FDragScrollTimer && HandleAllocated())
        KillTimer(Handle(), DragScrollTimerId);
    FDragScrollTimer = false;
}

void TProStringGrid::DragScrollOver(int X, int Y, bool Leaving)
{
    if (!FDragScrollOptions->Active) {
        StopDragScroll();
        return;
    }
    const TDragScrollDirection Previous = FDragScrollDir;
    FDragScrollDir = 0;
    if (Leaving) {
        StopDragScroll();
        return;
    }
    const TDragScrollMargins* M = FDragScrollOptions->Margins();
    if (Y < M->TopMargin)
        FDragScrollDir |= dsdUp;
    else if (Y > HeightAboveFooters() - M->BottomMargin)
        FDragScrollDir |= dsdDown;
    if (X < M->LeftMargin)
        FDragScrollDir |= dsdLeft;
    else if (X > Width() - M->RightMargin)
        FDragScrollDir |= dsdRight;
    if (FDragScrollDir == 0) {
        StopDragScroll();
        return;
    }
    if (!HandleAllocated())
        return;
    if (!FDragScrollTimer || Previous != 0) {
        // (Re)starting waits the initial delay again.
        SetTimer(Handle(), DragScrollTimerId, static_cast<UINT>(std::max(1, FDragScrollOptions->Delays()->InitialDelay)),
                 nullptr);
        FDragScrollTimer = true;
    }
}

void TProStringGrid::DragScrollTick()
{
    if (!FDragScrollOptions->Active) {
        StopDragScroll();
        return;
    }
    if (!FDragScrollTimer || !HandleAllocated())
        return;
    SetTimer(Handle(), DragScrollTimerId, static_cast<UINT>(std::max(1, FDragScrollOptions->Delays()->RepeatDelay)),
             nullptr);
    TDragScrollDirection D = FDragScrollDir;
    if (OnDragScroll) {
        bool CanScroll = true;
        OnDragScroll(this, TopRow(), LeftCol(), D, CanScroll);
        if (!CanScroll)
            return;
    }
    // The setters keep TopRow and LeftCol within their ends.
    if ((D & dsdUp) && TopRow() > TStringGrid::FixedRows())
        SetTopRow(TopRow() - 1);
    if ((D & dsdDown) && VisibleRowCount() + TopRow() < RowCount())
        SetTopRow(TopRow() + 1);
    if ((D & dsdLeft) && LeftCol() > TStringGrid::FixedCols())
        SetLeftCol(LeftCol() - 1);
    if ((D & dsdRight) && VisibleColCount() + LeftCol() < ColCount())
        SetLeftCol(LeftCol() + 1);
}

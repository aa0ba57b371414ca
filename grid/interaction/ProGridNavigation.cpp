// Tab and Enter navigation of the string grid: Tab walks the cells that can
// take input row by row (or column by column) past merged ranges and may
// hand the focus on at the end; Enter after an edit advances to the next
// editable cell, adding a row or column where allowed. Both skip cells that
// cannot take input by stepping on, and visit each cell at most once per
// move: when no cell qualifies the current cell stays where it was.
#include <algorithm>
#include <set>

#include "grid/core/ProGrid.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"

namespace {

// The cells one move has passed, and a bound on its steps.
class TWalk {
public:
    explicit TWalk(Int64 Cells) : FLimit(Cells + 4) {}
    // False when the cell was visited before in this move or the step
    // bound is reached: the move has no cell left to try.
    bool Visit(int ACol, int ARow)
    {
        if (++FSteps > FLimit)
            return false;
        return FSeen.insert((static_cast<long long>(ARow) << 32) | static_cast<unsigned>(ACol)).second;
    }

private:
    std::set<long long> FSeen;
    Int64 FLimit;
    Int64 FSteps = 0;
};

} // namespace

int TProStringGrid::FirstNormalCol()
{
    const int F = TStringGrid::FixedCols();
    return F == 0 && HasNodes() ? 1 : F;
}

int TProStringGrid::VisibleRightFixedCols()
{
    if (HiddenColCount() == 0)
        return FixedRightCols();
    int N = 0;
    for (int C = AllColCount() - FixedRightCols(); C < AllColCount(); ++C)
        if (C >= 0 && !IsHiddenColumn(C))
            ++N;
    return N;
}

bool TProStringGrid::IsTabStopCell(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return false;
    if (!HasOption(goEditing))
        return !IsFixedCell(ACol, ARow);
    return IsCellEditable(DisplayToRealCol(ACol), ARow);
}

int TProStringGrid::FirstTabStopCol(int ARow)
{
    for (int C = 0; C < ColCount(); ++C)
        if (IsTabStopCell(C, ARow))
            return C;
    return -1;
}

int TProStringGrid::LastTabStopCol(int ARow)
{
    for (int C = ColCount() - 1; C >= 0; --C)
        if (IsTabStopCell(C, ARow))
            return C;
    return -1;
}

// One Tab step from the current cell; true when the cell it reached cannot
// take input and Tab must step again. Focus is handed on at most once.
bool TProStringGrid::TabStep(bool Backward)
{
    const int RF = VisibleRightFixedCols();
    const int FNC = FirstNormalCol();
    const int FR = FixedRows();
    const int LastRow = RowCount() - FixedFooters() - 1;
    const int LastCol = ColCount() - RF - 1;
    const auto HandOn = [this] {
        if (Parent() != nullptr && FNavigation->TabToNextAtEnd && Parent()->HandleAllocated())
            PostMessageW(Parent()->Handle(), WM_KEYDOWN, VK_TAB, 0);
    };
    bool Again = false;
    if (Backward && FNavigation->TabAdvanceDirection == adTopBottom) {
        if (Row() > FR) {
            SetCurrentRow(Row() - 1);
        } else {
            SetCol(Col() > FNC ? Col() - 1 : LastCol);
            SetCurrentRow(LastRow);
        }
    } else if (Backward) {
        if (Col() > FNC) {
            int D = 1;
            while (Col() - D >= FNC && !(IsTabStopCell(Col() - D, Row()) && IsBaseCellAt(Col() - D, Row())))
                ++D;
            if (Col() - D >= FNC) {
                SetCol(Col() - D);
            } else {
                const int R = Row() > FR ? Row() - 1 : LastRow;
                const int L = LastTabStopCol(R);
                if (L >= 0)
                    FocusCell(L, R, true);
                if (IsCoveredCell(Col(), Row()))
                    SnapToBaseCell();
            }
        } else {
            int D = 1;
            while (LastCol + 1 - D >= TStringGrid::FixedCols() && !IsTabStopCell(LastCol + 1 - D, Row()))
                ++D;
            SetCol(std::max(LastCol + 1 - D, TStringGrid::FixedCols()));
            SetCurrentRow(Row() > FR ? Row() - 1 : LastRow);
        }
    } else if (FNavigation->TabAdvanceDirection == adTopBottom) {
        const int SpanRows = static_cast<int>(MergedSpan(Col(), Row()).y);
        if (Row() + SpanRows + 1 < RowCount() - FixedFooters()) {
            SetCurrentRow(Row() + SpanRows + 1);
        } else {
            GotoFirstRow();
            if (Col() < LastCol) {
                SetCol(Col() + 1);
            } else {
                SetCol(FNC);
                HandOn();
            }
        }
    } else {
        const int S = std::max(0, static_cast<int>(MergedSpan(Col(), Row()).x));
        if (Col() + S + 1 < ColCount() - RF) {
            int F = 1;
            while (Col() + S + F < ColCount() - RF && !IsTabStopCell(Col() + S + F, Row()))
                ++F;
            if (Col() + S + F >= ColCount() - RF) {
                const bool KeepLock = InternalMoveLock;
                InternalMoveLock = true;
                if (Row() < LastRow) {
                    const int G = FirstTabStopCol(Row() + 1);
                    bool Allow = true;
                    if (OnRowChanging)
                        OnRowChanging(this, Row(), Row() + 1, Allow);
                    if (OnCellChanging)
                        OnCellChanging(this, Row(), Col(), Row() + 1, G, Allow);
                    if (OnColChanging)
                        OnColChanging(this, Col(), G, Allow);
                    if (Allow) {
                        SetCol(G < 0 ? TStringGrid::FixedCols() : G);
                        SetCurrentRow(Row() + 1);
                    }
                } else {
                    const int First = FirstTabStopCol(FR);
                    if (First >= 0)
                        FocusCell(First, FR, true);
                    HandOn();
                }
                InternalMoveLock = KeepLock;
            } else {
                SetCol(Col() + S + F);
                Again = IsCoveredCell(Col(), Row());
            }
        } else if (Row() < LastRow) {
            int H = FNC;
            while (H < ColCount() && !(IsBaseCellAt(H, Row() + 1) && IsTabStopCell(H, Row() + 1)))
                ++H;
            if (H >= ColCount()) {
                SetCol(TStringGrid::FixedCols());
                SetCurrentRow(Row() + 1);
                Again = true;
            } else {
                SetCol(H);
                SetCurrentRow(Row() + 1);
            }
        } else {
            bool Added = false;
            if (!FNavigation->TabToNextAtEnd && FNavigation->AdvanceInsert) {
                bool CanAdd = true;
                DoCanAddRow(CanAdd);
                if (CanAdd) {
                    if (FFloatingFooter->Visible()) {
                        InsertRows(RowCount() - 1, 1);
                        SetCurrentRow(RowCount() - 2);
                    } else {
                        SetRowCount(RowCount() + 1);
                        SetCurrentRow(RowCount() - 1);
                    }
                    Added = true;
                }
            }
            if (!Added)
                GotoFirstRow();
            SetCol(TStringGrid::FixedCols());
            HandOn();
        }
    }
    // Editing only suspended on a read-only cell still skips the cells that
    // cannot be edited.
    if ((HasOption(goEditing) || FEdit.Suspended) && !IsCellEditable(DisplayToRealCol(Col()), Row()))
        Again = true;
    return Again;
}

void TProStringGrid::TabNavigate(bool Backward)
{
    if (OnKeyDown) {
        Word Key = VK_TAB;
        OnKeyDown(this, Key, Backward ? ssShift : TShiftState(0));
        if (Key != VK_TAB)
            return;
    }
    const int StartCol = Col();
    const int StartRow = Row();
    TWalk Walk(Int64{ColCount()} * RowCount());
    Walk.Visit(StartCol, StartRow);
    while (TabStep(Backward)) {
        if (!Walk.Visit(Col(), Row())) {
            // Every cell was tried: none takes input, the cell stays.
            const bool KeepLock = InternalMoveLock;
            InternalMoveLock = true;
            FocusCell(StartCol, StartRow, true);
            InternalMoveLock = KeepLock;
            break;
        }
    }
    if (FNavigation->AlwaysEdit && CanFocus())
        SetFocus();
}

// ---------------------------------------------------------------------------
// Advance after an edit

// The cell after (ACol, ARow) in the advance direction. Ended is set when a
// row was added that has no editable cell: the advance ends there.
bool TProStringGrid::AdvanceStep(int& ACol, int& ARow, bool Forwards, bool& Ended)
{
    const int FNC = FirstNormalCol();
    const int FR = FixedRows();
    const int LastRow = RowCount() - FixedFooters() - 1;
    const int LastCol = ColCount() - FixedRightCols() - 1;
    const TPoint Span = MergedSpan(ACol, ARow);
    const int SX = std::max(0, static_cast<int>(Span.x));
    const bool LeftRight = FNavigation->AdvanceDirection() == adLeftRight;
    if (Forwards && LeftRight) {
        if (ACol + SX < LastCol) {
            ACol += SX + 1;
        } else if (ARow < LastRow) {
            ++ARow;
            ACol = FNC;
        } else if (FNavigation->AdvanceInsert) {
            bool CanAdd = true;
            DoCanAddRow(CanAdd);
            ACol = FNC;
            if (CanAdd) {
                AddRow();
                ++ARow;
                if (OnAutoAddRow)
                    OnAutoAddRow(this, RowCount() - FixedFooters() - 1);
                bool AnyEditable = false;
                for (int C = FNC; C <= ColCount() - FixedRightCols() - 1 && !AnyEditable; ++C)
                    AnyEditable = CanEditCell(DisplayToRealCol(C), ARow, true);
                if (!AnyEditable) {
                    Ended = true;
                    return false;
                }
            } else {
                ARow = FR;
            }
        } else {
            ARow = FR;
            ACol = FNC;
        }
    } else if (Forwards) {
        if (ARow >= LastRow) {
            if (ACol < LastCol) {
                ARow = FR;
                ++ACol;
                if (ACol >= ColCount())
                    ACol = FNC;
            } else if (FNavigation->AdvanceInsert) {
                SetColCount(ColCount() + 1);
                ACol += SX + 1;
                ARow = FR;
                if (OnAutoInsertCol)
                    OnAutoInsertCol(this, ColCount() - FixedRightCols() - 1);
            } else {
                ARow = FR;
                ACol = FNC;
            }
            Invalidate();
        } else {
            ++ARow;
        }
    } else if (LeftRight) {
        if (ACol > FNC) {
            --ACol;
        } else {
            ARow = ARow > FR ? ARow - 1 : LastRow;
            ACol = LastCol;
        }
    } else {
        if (ARow > FR) {
            --ARow;
        } else {
            ACol = ACol > FNC ? ACol - 1 : LastCol;
            ARow = LastRow;
        }
    }
    ACol = std::clamp(ACol, 0, ColCount() - 1);
    ARow = std::clamp(ARow, 0, RowCount() - 1);
    return true;
}

void TProStringGrid::AdvanceAfterEdit(int ACol, int ARow, bool OpenEditor, bool Forced, bool Backward)
{
    AdvanceAfterEdit(ACol, ARow, OpenEditor, false, !Backward, true, Forced);
}

void TProStringGrid::AdvanceAfterEdit(int ACol, int ARow, bool OpenEditor, bool Continued, bool Forwards,
                                      bool AnyCell, bool Forced)
{
    if (!FNavigation->AdvanceOnEnter && !Forced)
        return;
    if (FMouseActions->RangeSelectAndEdit && !HasOption(goEditing))
        SetOptions(Options() | goEditing);
    if (!Continued)
        FAdvanceStart = TGridCoord{ACol, ARow};
    FEdit.StartKey = 0;
    int C = ACol;
    int R = ARow;
    TWalk Walk(Int64{ColCount()} * RowCount());
    Walk.Visit(C, R);
    for (;;) {
        bool Ended = false;
        AdvanceStep(C, R, Forwards, Ended);
        if (Ended)
            return;
        // Back where the move began, or every cell tried: no other cell is
        // editable, the current cell stays.
        if (!Walk.Visit(C, R))
            return;
        const int Real = DisplayToRealCol(C);
        if (CanEditCell(Real, R, true) && !GetCellReadOnly(Real, R) && !IsFixedCell(C, R))
            break;
    }
    bool Allow = true;
    int NewRow = R;
    int NewCol = C;
    if (OnAutoAdvance)
        OnAutoAdvance(this, FAdvanceStart.Y, FAdvanceStart.X, NewRow, NewCol, Allow);
    // A redirection outside the grid is refused.
    if (NewCol < 0 || NewRow < 0 || NewCol >= ColCount() || NewRow >= RowCount())
        Allow = false;
    if (Allow && OnCellChanging)
        OnCellChanging(this, FAdvanceStart.Y, FAdvanceStart.X, NewRow, NewCol, Allow);
    const bool KeepLock = AdvanceLock;
    AdvanceLock = true;
    if (Allow) {
        SetCol(NewCol);
        SetCurrentRow(NewRow);
    } else {
        SelectCell(ACol, ARow);
    }
    AdvanceLock = KeepLock;
    if (!OpenEditor)
        return;
    const int Real = DisplayToRealCol(Col());
    const bool Click = HasClickControl(Real, Row());
    if ((AnyCell || Click) && IsCellEditable(Real, Row())) {
        if (!Click && HasOption(goEditing))
            ShowEditor();
        if (Click)
            EnterClickControlCell(ACol, ARow);
    }
    if (FMouseActions->DisjunctRowSelect()) {
        ClearRowSelection();
        SetRowSelected(Row(), true);
    }
}

// The advance reached a cell with a check box, radio group or button: the
// cell is entered as a click would enter it (from a cell without such a
// control; a click at the cell's top-left corner selects without touching
// the control), the move is reported, and an editor of the start cell's own
// kind is closed.
void TProStringGrid::EnterClickControlCell(int FromCol, int FromRow)
{
    const int TC = Col();
    const int TR = Row();
    const bool KeepLock = AdvanceLock;
    AdvanceLock = true;
    SetCol(FromCol);
    SetCurrentRow(FromRow);
    SetCol(TC);
    SetCurrentRow(TR);
    if (!HasClickControl(DisplayToRealCol(FromCol), FromRow)) {
        const TRect R = CellRect(TC, TR);
        MouseDown(mbLeft, 0, R.left + 2, R.top + 2);
        MouseUp(mbLeft, 0, R.left + 2, R.top + 2);
    }
    if (FNavigation->AdvanceDirection() == adTopBottom)
        HideEditor();
    AdvanceLock = KeepLock;
    if (OnCellChanging) {
        bool Ignored = true;
        OnCellChanging(this, FAdvanceStart.Y, FAdvanceStart.X, Row(), Col(), Ignored);
    }
    if (IsSpecialEditor(CellEditorType(FAdvanceStart.X, FAdvanceStart.Y)))
        HideEditor();
}

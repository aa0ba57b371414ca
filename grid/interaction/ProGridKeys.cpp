// The string grid's keys while the grid itself has the focus: its own rules
// for Enter and F2, Home and End, click controls, nodes, fixed cells, rows
// appended, inserted and deleted, the clipboard keys, Ctrl+A and disjunct
// selection, before and after the base grid's key handling; the character
// rules and the incremental goto in a sorted column.
#include <algorithm>

#include "framework/Codepage.h"
#include "framework/Form.h"
#include "grid/core/GridLocaleFormats.h"
#include "grid/core/ProGrid.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/SearchFooter.h"
#include "grid/interaction/SearchPanel.h"

namespace {

bool IsEnterOrF2(Word Key) { return Key == VK_RETURN || Key == VK_F2; }

bool HasControlTag(const String& S)
{
    String U = S;
    std::transform(U.begin(), U.end(), U.begin(), [](char C) { return static_cast<char>(toupper(static_cast<unsigned char>(C))); });
    return U.find("<CONTROL") != String::npos;
}

bool SameRect(const TGridRect& A, const TGridRect& B)
{
    return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}

// Holds the grid's repaint for the lifetime of the guard when asked to.
class TUpdateHold {
public:
    explicit TUpdateHold(TProStringGrid* AGrid) : FGrid(AGrid) {}
    ~TUpdateHold()
    {
        if (FHeld)
            FGrid->EndUpdate();
    }
    TUpdateHold(const TUpdateHold&) = delete;
    TUpdateHold& operator=(const TUpdateHold&) = delete;
    void Hold()
    {
        if (!FHeld)
            FGrid->BeginUpdate();
        FHeld = true;
    }

private:
    TProStringGrid* FGrid;
    bool FHeld = false;
};

} // namespace

void TProStringGrid::GotoFirstRow() { SetCurrentRow(FixedRows()); }

void TProStringGrid::FireKeyDown(Word Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

// Arrows and page keys that only scroll (MoveScrollOnly); true when handled.
bool TProStringGrid::KeyDownScrollOnly(Word Key)
{
    const int Visible = VisibleRowCount();
    switch (Key) {
    case VK_PRIOR:
        SetTopRow(Visible + FixedRows() < TopRow() ? TopRow() - Visible : FixedRows());
        return true;
    case VK_NEXT:
        if (Visible + TopRow() < RowCount())
            SetTopRow(TopRow() + Visible);
        return true;
    case VK_END: SetTopRow(RowCount() - Visible); return true;
    case VK_HOME: SetTopRow(FixedRows()); return true;
    case VK_UP:
        if (TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
        return true;
    case VK_DOWN:
        if (Visible + TopRow() < RowCount())
            SetTopRow(TopRow() + 1);
        return true;
    default: return false;
    }
}

// Enter and F2 before the base handling: opening an edit where the mouse
// settings keep goEditing off, refusing read-only cells. True ends the key.
bool TProStringGrid::KeyDownEnterRules(Word& Key, TShiftState Shift, int RealCol)
{
    if (!IsEnterOrF2(Key))
        return false;
    if (FMouseActions->EditOnDblClickOnly() && !EditorMode()) {
        const bool Keep = FMouseActions->RangeSelectAndEdit;
        FMouseActions->RangeSelectAndEdit = true;
        const bool Editable = IsCellEditable(RealCol, Row());
        if (Editable) {
            SetOptions(Options() | goEditing);
            StartCellEdit();
        }
        FMouseActions->RangeSelectAndEdit = Keep;
        // The editor is open now: the base handling would close it again.
        if (Editable) {
            Key = 0;
            return true;
        }
    }
    if (FMouseActions->RangeSelectAndEdit && !HasOption(goEditing)) {
        if (!IsCellEditable(RealCol, Row())) {
            FireKeyDown(Key, Shift);
            Key = 0;
            return true;
        }
        SetOptions(Options() | goEditing);
        StartCellEdit();
        Key = 0;
        return true;
    }
    if (HasOption(goEditing) && !IsCellEditable(RealCol, Row())) {
        FireKeyDown(Key, Shift);
        Key = 0;
        return true;
    }
    if (HasOption(goEditing) && EnableHTML && HasControlTag(GetCurrentCellText())) {
        Key = 0;
        return true;
    }
    if (Key == VK_RETURN && !IsCellEditable(RealCol, Row())) {
        TCustomForm* Form = GetParentForm(this);
        if (Form != nullptr && Form->KeyPreview) {
            TBaseGrid::KeyDown(Key, Shift);
        } else {
            FireKeyDown(Key, Shift);
            Key = 0;
        }
        return true;
    }
    return false;
}

// Enter or Space on a check box, radio group or button cell.
void TProStringGrid::KeyDownClickControl(Word Key, int RealCol)
{
    if ((Key != VK_RETURN && Key != VK_SPACE) || !HasClickControl(RealCol, Row()))
        return;
    bool E = HasOption(goEditing) || FMouseActions->RangeSelectAndEdit;
    E = CanEditCell(RealCol, Row(), E);
    if (Key == VK_SPACE && HasCheckBox(RealCol, Row()) && (E || FControlLook->CheckAlwaysActive())) {
        ToggleCheckBox(RealCol, Row(), true);
        if (FShowModified->Enabled) {
            SetRowModified(Row(), true);
            RepaintCell(0, Row());
        }
        bool State = false;
        GetCheckBoxState(RealCol, DisplayToRealRow(Row()), State);
        if (OnCheckBoxClick)
            OnCheckBoxClick(this, RealCol, Row(), State);
    } else if (Key == VK_SPACE && IsRadioCell(RealCol, Row()) && (E || FControlLook->RadioAlwaysActive())) {
        CycleRadioItem(RealCol, Row(), true);
        int Index = -1;
        GetRadioIndex(RealCol, Row(), Index);
        if (OnRadioClick)
            OnRadioClick(this, RealCol, Row(), Index);
    } else if (IsButtonCell(RealCol, Row()) && E) {
        if (OnButtonClick)
            OnButtonClick(this, RealCol, Row());
    }
    RepaintCell(Col(), Row());
}

// Home and End aimed at the first and last row, or at the first and last
// column with whole-row selection. True when the key was handled here.
bool TProStringGrid::KeyDownHomeEnd(Word Key, TShiftState Shift)
{
    if (Key != VK_HOME && Key != VK_END)
        return false;
    const bool ByRow = FNavigation->HomeEndKey == heFirstLastRow;
    const bool RowSel = HasOption(goRowSelect);
    if (!ByRow && !RowSel)
        return false;
    if (FixedRowAlways && RowCount() == 1)
        return false;
    const int KeepLeft = LeftCol();
    const bool ShiftDown = (Shift & ssShift) != 0;
    const bool FloatingShown = FFloatingFooter->Visible();
    if (ByRow) {
        const int OldRow = Row();
        int Target;
        if (Key == VK_HOME)
            Target = FixedRows();
        else
            Target = FloatingShown && RowCount() > 2 ? RowCount() - 2 : RowCount() - FixedFooters() - 1;
        Target = std::max(Target, FixedRows());
        SetCurrentRow(Target);
        if (Key == VK_END && FixedFooters() > 0 && !FloatingShown)
            SetTopRow(RowCount() - VisibleRowCount());
        SnapToBaseCell();
        const TGridRect Range{0, std::min(OldRow, Row()), ColCount() - 1, std::max(OldRow, Row())};
        if (FMouseActions->DisjunctRowSelect()) {
            if (ShiftDown)
                SetSelection(Range);
            ClearRowSelection();
            RangeToRowSelection(false);
        } else if (ShiftDown) {
            SetSelection(Range);
        }
        if (Key == VK_END && FloatingShown)
            SetTopRow(RowCount() - VisibleRowCount());
        FireKeyDown(Key, Shift);
        if (RowSel && FNavigation->KeepHorizScroll)
            SetLeftCol(KeepLeft);
        return true;
    }
    if (Key == VK_HOME) {
        SetCol(std::min(FirstNormalCol(), ColCount() - 1));
        SnapToBaseCell();
        SetLeftCol(Col());
    } else {
        SetCol(ColCount() - 1);
        SnapToBaseCell();
        SetLeftCol(ColCount() - VisibleColCount());
    }
    FireKeyDown(Key, Shift);
    return true;
}

// Arrow keys jump over cells the grid treats as fixed. True when the key
// moved here (the base handling must not move again). Under right-to-left
// reading Left and Right swap.
bool TProStringGrid::KeyDownSkipFixed(Word& Key, TShiftState Shift)
{
    if (!FNavigation->SkipFixedCells)
        return false;
    Word K = Key;
    if (UseRightToLeftReading() && (K == VK_LEFT || K == VK_RIGHT))
        K = K == VK_LEFT ? VK_RIGHT : VK_LEFT;
    int DC = 0;
    int DR = 0;
    int Lo = 0;
    int Hi = 0;
    switch (K) {
    case VK_LEFT: DC = -1, Lo = FixedCols(), Hi = ColCount() - 1; break;
    case VK_RIGHT: DC = 1, Hi = ColCount() - FixedRightCols() - 1; break;
    case VK_UP: DR = -1, Lo = FixedRows(), Hi = RowCount() - 1; break;
    case VK_DOWN: DR = 1, Hi = RowCount() - FixedFooters() - 1; break;
    default: return false;
    }
    const auto Inside = [&](int C, int R) {
        const int V = DC != 0 ? C : R;
        return V >= Lo && V <= Hi;
    };
    if (!Inside(Col() + DC, Row() + DR) || !IsFixedCell(Col() + DC, Row() + DR))
        return false;
    for (int C = Col() + 2 * DC, R = Row() + 2 * DR; Inside(C, R); C += DC, R += DR) {
        if (IsFixedCell(C, R))
            continue;
        if (DC != 0)
            SetCol(C);
        else
            SetCurrentRow(R);
        break;
    }
    FireKeyDown(Key, Shift);
    Key = 0;
    return true;
}

// Down on the last normal row adds a row (AppendOnArrowDown).
void TProStringGrid::KeyDownAppend(Word Key)
{
    if (Key != VK_DOWN || !FNavigation->AppendOnArrowDown)
        return;
    const bool FloatingShown = FFloatingFooter->Visible();
    const bool OnLast = Row() == RowCount() - FixedFooters() - 1 || (FloatingShown && Row() == RowCount() - 2);
    if (!OnLast)
        return;
    bool CanAdd = true;
    DoCanAddRow(CanAdd);
    if (!CanAdd)
        return;
    std::vector<String> FooterTexts;
    if (FloatingShown)
        for (int C = 0; C < AllColCount() && C < ColCount(); ++C)
            FooterTexts.push_back(Cells(C, RowCount() - 1));
    AppendRow();
    const int Cleared = FloatingShown ? RowCount() - 2 : RowCount() - 1;
    if (FloatingShown)
        for (int C = 0; C < static_cast<int>(FooterTexts.size()); ++C)
            SetCells(C, RowCount() - 1, FooterTexts[static_cast<std::size_t>(C)]);
    // Every column of the row, hidden ones included.
    for (int C = 0; C < AllColCount(); ++C) {
        SetCells(C, Cleared, "");
        SetObjects(C, Cleared, nullptr);
    }
    if (FloatingShown || FixedFooters() > 0)
        SetCurrentRow(Row() + 1);
    if (FloatingShown)
        CalcFooter(-1);
    if (OnAutoAddRow)
        OnAutoAddRow(this, Row());
}

// The clipboard keys, row insertion and deletion, Ctrl+A and the disjunct
// selection keys, after the base handling. True ends the key.
bool TProStringGrid::KeyDownAfterBase(Word& Key, TShiftState Shift)
{
    const bool Ctrl = (Shift & ssCtrl) != 0;
    const bool ShiftDown = (Shift & ssShift) != 0;
    const bool Alt = (Shift & ssAlt) != 0;
    if (FNavigation->AllowClipboardShortCuts) {
        bool Allow = true;
        if ((Ctrl && Key == 'X') || (ShiftDown && Key == VK_DELETE)) {
            if (OnClipboardCut)
                OnClipboardCut(this, Allow);
            if (Allow)
                CutSelectionToClipboard();
            return true;
        }
        if ((Ctrl && Key == 'V') || (ShiftDown && Key == VK_INSERT)) {
            if (OnClipboardPaste)
                OnClipboardPaste(this, Allow);
            if (Allow)
                PasteSelectionFromClipboard();
            return true;
        }
        if (Ctrl && (Key == 'C' || Key == VK_INSERT)) {
            if (OnClipboardCopy)
                OnClipboardCopy(this, Allow);
            if (Allow)
                CopySelectionToClipboard();
            return true;
        }
    }
    const bool FloatingShown = FFloatingFooter->Visible();
    if (Key == VK_INSERT && FNavigation->AllowInsertRow && !Ctrl && !ShiftDown && !Alt) {
        bool CanInsert = true;
        DoCanInsertRow(Row(), CanInsert);
        if (!CanInsert)
            return true;
        if (FNavigation->InsertPosition == pInsertAfter) {
            if (FixedRowAlways && TStringGrid::FixedRows() >= RowCount()) {
                AutoInsertRow(Row());
                SetCurrentRow(1);
            } else {
                const bool Below = Row() + 1 < RowCount();
                AutoInsertRow(Row() + 1);
                if (Below)
                    SetCurrentRow(Row() + 1);
            }
        } else {
            AutoInsertRow(Row());
        }
        if (FloatingShown)
            CalcFooter(-1);
        return false;
    }
    if (Ctrl && Key == 'A' && (HasOption(goRowSelect) || HasOption(goRangeSelect))) {
        const TGridRect R{FirstNormalCol(), FixedRows(), ColCount() - FixedRightCols() - 1,
                          RowCount() - FixedFooters() - 1};
        if (R.Right < R.Left || R.Bottom < R.Top)
            return false;
        if (FMouseActions->DisjunctRowSelect())
            for (int I = R.Top; I <= R.Bottom; ++I)
                SetRowSelected(I, true);
        KeySelectionHook(R);
        SetSelection(R);
        return false;
    }
    if (Key >= VK_PRIOR && Key <= VK_DOWN) {
        if (FMouseActions->DisjunctRowSelect()) {
            if (!ShiftDown && !Ctrl)
                ClearRowSelection();
            if (ShiftDown)
                RangeToRowSelection(false);
            else
                SetRowSelected(FMouseActions->RowSelectPersistent ? DisplayToRealRow(Row()) : Row(), true);
        }
        if (FMouseActions->DisjunctColSelect()) {
            if (!ShiftDown && !Ctrl)
                ClearColSelection();
            if (ShiftDown)
                RangeToColSelection(false);
            else
                SetColSelected(Col(), true);
        }
        return false;
    }
    if (Key == VK_SPACE) {
        if (FMouseActions->DisjunctRowSelect()) {
            const int R = FMouseActions->RowSelectPersistent ? DisplayToRealRow(Row()) : Row();
            SetRowSelected(R, !IsRowSelected(R));
        }
        if (FMouseActions->DisjunctColSelect())
            SetColSelected(Col(), !IsColSelected(Col()));
        return false;
    }
    if (Key == VK_DELETE && FNavigation->AllowDeleteRow && !Alt && RowCount() - FixedRows() - FixedFooters() > 0) {
        bool CanDelete = true;
        if (OnCanDeleteRow)
            OnCanDeleteRow(this, Row(), CanDelete);
        if (!CanDelete)
            return true;
        const bool WasLast = Row() == RowCount() - 1;
        AutoDeleteRow(Row());
        if (FloatingShown && WasLast && Row() > FixedRows())
            SetCurrentRow(Row() - 1);
        BeginCellEdit(Col(), Row());
        if (FloatingShown)
            CalcFooter(-1);
        return false;
    }
    return false;
}

void TProStringGrid::KeyDown(Word& Key, TShiftState Shift)
{
    const TGridRect Start = Selection();
    const int KeepLeft = LeftCol();
    const int RealCol = DisplayToRealCol(Col());
    const bool Ctrl = (Shift & ssCtrl) != 0;
    // An editor forwarding its Enter: the move after the edit follows.
    const bool FromEditor = EditorMode() && HandleAllocated() && GetFocus() != Handle();
    const bool Vertical = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
    TUpdateHold Hold(this);
    const bool KeepScroll = HasOption(goRowSelect) && FNavigation->KeepHorizScroll && Vertical;
    if (KeepScroll)
        Hold.Hold();

    if (FNavigation->MoveScrollOnly && KeyDownScrollOnly(Key)) {
        Key = 0;
        return;
    }
    if (KeyDownEnterRules(Key, Shift, RealCol))
        return;
    if (Ctrl && Key == 'F' && FSearchFooter->Visible()) {
        TRetEdit* Edit = SearchPanel()->SearchEdit();
        if (Edit->CanFocus())
            Edit->SetFocus();
        Key = 0;
        return;
    }
    KeyDownClickControl(Key, RealCol);
    if (KeyDownHomeEnd(Key, Shift)) {
        Key = 0;
        return;
    }
    if ((Key == VK_LEFT || Key == VK_RIGHT) && IsNodeRow(Row()) && IsMergedCell(Col(), Row())) {
        if (Key == VK_RIGHT)
            ExpandNode(DisplayToRealRow(Row()));
        else
            ContractNode(DisplayToRealRow(Row()));
    }
    if ((Key == VK_LEFT || Key == VK_RIGHT) && HasOption(goRowSelect) && !IsNodeRow(Row())) {
        const bool AllShown = VisibleColCount() + TStringGrid::FixedCols() >= ColCount();
        // Left and Right scroll a column (with LeftRightRowSelect only with
        // Ctrl) and never move the current row.
        if (!AllShown && (Ctrl || !FNavigation->LeftRightRowSelect)) {
            if (Key == VK_LEFT && LeftCol() > TStringGrid::FixedCols())
                SetLeftCol(LeftCol() - 1);
            else if (Key == VK_RIGHT && LeftCol() + VisibleColCount() < ColCount())
                SetLeftCol(LeftCol() + 1);
        }
        FireKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    if (Key == VK_TAB && HasOption(goTabs)) {
        TabNavigate((Shift & ssShift) != 0);
        Key = 0;
        return;
    }
    if (KeyDownSkipFixed(Key, Shift))
        return;
    KeyDownAppend(Key);

    // The selection outline is redrawn where it was.
    if (SelectionRectangle && !SameRect(Selection(), Start))
        RedrawGridRect(Start);
    const Word Pressed = Key;
    TBaseGrid::KeyDown(Key, Shift);
    if (KeepScroll)
        SetLeftCol(KeepLeft);
    if (Key != 0 && KeyDownAfterBase(Key, Shift))
        return;
    if (IsEnterOrF2(Pressed)) {
        BeginCellEdit(Col(), Row());
        if (Pressed == VK_RETURN && FromEditor && !EditorMode()) {
            // The editor's Enter: the key press that would carry it went to
            // the editor's window, so the advance runs here, once.
            AdvanceAfterEdit(Col(), Row(), true, false, true, false, false);
        } else if (EnableHTML && HasControlTag(GetCurrentCellText())) {
            FocusCellControl(Col(), Row(), "");
        }
    }
    const TGridRect Now = Selection();
    if (!SameRect(Now, Start))
        DoSelectionChanged(Now.Left, Now.Top, Now.Right, Now.Bottom);
}

void TProStringGrid::KeyUp(Word& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE: FGotoText.clear(); break;
    default: break;
    }
    const Word Released = Key;
    TBaseGrid::KeyUp(Key, Shift);
    const bool Arrow = Released >= VK_LEFT && Released <= VK_DOWN;
    if (FNavigation->AlwaysEdit && (Arrow || (Released == VK_TAB && HasOption(goTabs)))
        && !HasClickControl(Col(), Row()) && !EditorMode())
        StartCellEdit();
    if (FMouseActions->DisjunctCellSelect() && Released == VK_SPACE && !HasOption(goEditing)) {
        const TPoint B = BaseCell(Col(), Row());
        const int BC = static_cast<int>(B.x);
        const int BR = static_cast<int>(B.y);
        if (IsFixedCell(BC, BR))
            return;
        bool CanSelect = true;
        if (OnSelectCell)
            OnSelectCell(this, BC, BR, CanSelect);
        if (!CanSelect)
            return;
        const int Packed = (BR << 16) | (BC & 0xFFFF);
        if ((Shift & ssCtrl) != 0) {
            const int At = FSelectedCells->IndexOf(Packed);
            if (At >= 0)
                FSelectedCells->Delete(At);
            else
                FSelectedCells->Add(Packed);
        } else {
            for (int I = 0; I < FSelectedCells->Count(); ++I)
                RepaintCell((*FSelectedCells)[I] & 0xFFFF, (*FSelectedCells)[I] >> 16);
            FSelectedCells->Clear();
            FSelectedCells->Add(Packed);
        }
        const TGridRect S = Selection();
        if (S.Left != S.Right || S.Top != S.Bottom) {
            for (int R = S.Top; R <= S.Bottom; ++R)
                for (int C = S.Left; C <= S.Right; ++C)
                    if (C != BC || R != BR)
                        FSelectedCells->Add((R << 16) | (C & 0xFFFF));
            for (int I = 0; I < FSelectedCells->Count(); ++I)
                RepaintCell((*FSelectedCells)[I] & 0xFFFF, (*FSelectedCells)[I] >> 16);
        }
        RepaintCell(Col(), Row());
    }
}

// ---------------------------------------------------------------------------
// Characters

bool TProStringGrid::CharMessage(TMessage& Message)
{
    if (Message.Msg != WM_CHAR)
        return false;
    const auto Unit = static_cast<wchar_t>(Message.WParam);
    if (FMouseActions->EditOnDblClickOnly())
        SetOptions(Options() | goEditing);
    if (FNavigation->AllowClipboardShortCuts && GetKeyState(VK_CONTROL) < 0 && (Unit == 3 || Unit == 22 || Unit == 24)) {
        Message.Result = 0;
        return true;
    }
    const int RealCol = DisplayToRealCol(Col());
    if (FMouseActions->RangeSelectAndEdit && Unit != 9 && Unit != 27 && !HasClickControl(RealCol, Row())
        && IsCellEditable(RealCol, Row()) && !EditorMode()) {
        const String Text = WideToStr(WideString(1, Unit));
        char Key = Text.empty() ? '\0' : Text[0];
        if (OnKeyPress)
            OnKeyPress(this, Key);
        if (Key == 0) {
            Message.Result = 0;
            return true;
        }
        FEdit.StartKey = Key;
        SetOptions(Options() | goEditing);
        const TRect R = CellRect(Col(), Row());
        if (R.right <= R.left)
            ScrollToCell(Col(), Row());
        const TRect Shown = CellRect(Col(), Row());
        MouseDown(mbLeft, 0, Shown.left + 2, Shown.top + 2);
        Message.Result = 0;
        return true;
    }
    if (ExcelStyleDecimalSeparator && Unit == L'.' && (Message.LParam & (1 << 22)) != 0) {
        const WideString Sep = StrToWide(String(1, GridLocaleFormats().DecimalSeparator));
        if (!Sep.empty())
            Message.WParam = Sep[0];
    }
    return false;
}

// The grid's steps of a key press before the base one: Esc puts the text
// back, Enter on a read-only cell is consumed, Enter on a click control
// advances, and typing jumps to a matching row of the sorted column.
bool TProStringGrid::KeyPressRules(char& Key)
{
    const int RealCol = DisplayToRealCol(Col());
    if (Key == 27 && HasOption(goEditing) && FEdit.Started) {
        RestoreEditText();
        if (OnKeyPress)
            OnKeyPress(this, Key);
        return true;
    }
    if (Key == '\r' && !FNavigation->AdvanceOnEnter && !IsCellEditable(RealCol, Row())) {
        if (OnKeyPress)
            OnKeyPress(this, Key);
        Key = 0;
        return true;
    }
    if (Key == '\r' && HasClickControl(RealCol, Row())) {
        const int OldCol = Col();
        AdvanceAfterEdit(Col(), Row(), EditorMode(), false, true, false, false);
        if (HasClickControl(DisplayToRealCol(OldCol), Row())) {
            if (OnKeyPress)
                OnKeyPress(this, Key);
            if (FNavigation->AdvanceOnEnter)
                StartCellEdit();
            return true;
        }
    }
    if (!HasOption(goEditing) && FNavigation->AutoGotoWhenSorted) {
        IncrementalGoto(Key);
    }
    return false;
}

void TProStringGrid::IncrementalGoto(char Key)
{
    if (FNavigation->AutoGotoIncremental) {
        if (Key == 8) {
            if (!FGotoText.empty())
                FGotoText.pop_back();
        } else {
            FGotoText += Key;
        }
        FGotoIdleTicks = 0;
    } else {
        FGotoText = String(1, Key);
    }
    WideString W = StrToWide(FGotoText);
    if (!W.empty())
        CharUpperBuffW(W.data(), static_cast<DWORD>(W.size()));
    const int Found = FGotoText.empty() ? -1 : FindSortedPrefixRow(WideToStr(W));
    if (Found < 0)
        FGotoText.clear();
    else
        SetCurrentRow(Found);
}

// The string grid's editing flow: which editor a cell opens, loading and
// storing the default editor's text, opening, ending and leaving an edit,
// validation of a new value before the cell keeps it, and the "GridEditDone"
// message. The special editors' showing and write-back are in
// ProGridEditors.cpp.
#include <algorithm>
#include <cstdio>
#include <functional>

#include "framework/Codepage.h"
#include "grid/core/GridCellText.h"
#include "grid/core/HtmlStrip.h"
#include "grid/core/ProGrid.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/GridClipboard.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/ProInplaceEdit.h"
#include "grid/interaction/SearchFooter.h"
#include "grid/interaction/SearchPanel.h"
#include "grid/interaction/psgcheck.h"

bool IsSpecialEditor(TEditorType T)
{
    switch (T) {
    case edNormal:
    case edNumeric:
    case edPositiveNumeric:
    case edFloat:
    case edCapital:
    case edMixedCase:
    case edPassword:
    case edLowerCase:
    case edUpperCase:
    case edNone: return false;
    default: return true;
    }
}

void TProStringGrid::SetLookupItems(const TStrings* Value)
{
    if (Value != nullptr)
        FLookupItems->Assign(Value);
}

TInplaceEdit* TProStringGrid::CreateEditor()
{
    FEdit.Inplace = new TProInplaceEdit(this);
    return FEdit.Inplace;
}

void TProStringGrid::DoGetEditorType(int ACol, int ARow, TEditorType& AEditor)
{
    if (OnGetEditorType)
        OnGetEditorType(this, ACol, ARow, AEditor);
}

TEditorType TProStringGrid::CellEditorType(int ACol, int ARow)
{
    TEditorType T = DefaultEditor;
    DoGetEditorType(ACol, ARow, T);
    return T;
}

void TProStringGrid::DoCanEditCell(int ACol, int ARow, bool& CanEdit)
{
    if (OnCanEditCell)
        OnCanEditCell(this, ARow, ACol, CanEdit);
}

void TProStringGrid::DoIsPasswordCell(int ACol, int ARow, bool& IsPassword)
{
    if (OnIsPasswordCell)
        OnIsPasswordCell(this, ARow, ACol, IsPassword);
}

namespace {

bool IsComboType(TEditorType T)
{
    return T == edComboEdit || T == edComboList || T == edUniComboEdit || T == edUniComboList;
}

bool IsSpinType(TEditorType T)
{
    return T == edSpinEdit || T == edFloatSpinEdit || T == edTimeSpinEdit || T == edDateSpinEdit;
}

} // namespace

// The application's event decides when it is assigned (its answer starts
// false); otherwise the look's switch with the cell's editor type.
bool TProStringGrid::EditorButtonShown(int ACol, int ARow, const THasEditorButtonEvent& Event, bool AlwaysVisible,
                                       bool (*IsType)(TEditorType))
{
    if (Event) {
        bool Has = false;
        Event(this, ACol, ARow, Has);
        return Has;
    }
    return AlwaysVisible && IsType(CellEditorType(ACol, ARow));
}

bool TProStringGrid::HasComboBox(int ACol, int ARow)
{
    return EditorButtonShown(ACol, ARow, OnHasComboBox, FControlLook && FControlLook->DropDownAlwaysVisible(),
                             IsComboType);
}

// Fixed cells never show spin buttons.
bool TProStringGrid::HasSpinEdit(int ACol, int ARow)
{
    if (ACol < TStringGrid::FixedCols() || ARow < TStringGrid::FixedRows())
        return false;
    return EditorButtonShown(ACol, ARow, OnHasSpinEdit, FControlLook && FControlLook->SpinButtonsAlwaysVisible(),
                             IsSpinType);
}

bool TProStringGrid::CanEditShow()
{
    if (FEdit.Validating)
        return false;
    bool Result = TBaseGrid::CanEditShow();
    if (IsDesigning())
        return Result;
    const TPoint B = BaseCell(Col(), Row());
    const int BC = static_cast<int>(B.x);
    const int BR = static_cast<int>(B.y);
    if (Result && !FEdit.Active) {
        if (HasClickControl(BC, BR))
            return false;
        // A read-only cell (its properties, or the application's answer)
        // keeps every editor closed.
        bool CanEdit = !GetCellReadOnly(BC, BR);
        DoCanEditCell(BC, BR, CanEdit);
        if (!CanEdit)
            return false;
        FEdit.Loading = true;
        FEdit.TextBefore = GetCurrentCellText();
        FEdit.InUse = CellEditorType(BC, BR);
        if (FEdit.InUse == edNone) {
            FEdit.Loading = false;
            return false;
        }
        BeginCellEdit(Col(), Row());
        FEdit.Active = true;
        if (IsSpecialEditor(FEdit.InUse)) {
            FEdit.Loading = false;
            ShowInplaceEdit(BC, BR);
            Result = false;
        } else {
            FEdit.DefaultUsed = true;
        }
    }
    if (Result)
        FEdit.Started = true;
    return Result;
}

String TProStringGrid::GetEditText(int ACol, int ARow)
{
    FEdit.Loading = true;
    if (FEdit.Inplace != nullptr) {
        TAlignment H = taLeftJustify;
        TVAlignment V = vtaTop;
        GetCellAlignment(ACol, ARow, H, V);
        FEdit.Inplace->SetVAlign(H == taRightJustify);
    }
    const TPoint B = BaseCell(ACol, ARow);
    String S = TBaseGrid::GetEditText(static_cast<int>(B.x), static_cast<int>(B.y));
    if (!EditWithTags)
        S = HtmlToPlainText(S);
    return S;
}

void TProStringGrid::SetEditText(int ACol, int ARow, const String& Value)
{
    const TPoint B = BaseCell(ACol, ARow);
    TBaseGrid::SetEditText(static_cast<int>(B.x), static_cast<int>(B.y), Value);
}

int TProStringGrid::GetEditLimit() { return MaxEditLength; }

// The character that starts an edit is kept for a special editor, which
// receives it once it is shown.
void TProStringGrid::KeyPress(char& Key)
{
    if (KeyPressRules(Key))
        return;
    const auto Ch = static_cast<unsigned char>(Key);
    if (!EditorMode() && !FEdit.Active && (Ch == 8 || Ch >= 32))
        FEdit.StartKey = Key;
    const bool Keep = FEdit.ForwardingStart;
    FEdit.ForwardingStart = true;
    try {
        TBaseGrid::KeyPress(Key);
    } catch (...) {
        FEdit.ForwardingStart = Keep;
        throw;
    }
    FEdit.ForwardingStart = Keep;
    if (FEdit.Shown == nullptr)
        FEdit.StartKey = 0;
}

String TProStringGrid::GetCurrentCellText()
{
    const TPoint B = BaseCell(Col(), Row());
    return GetCellTextRaw(static_cast<int>(B.x), static_cast<int>(B.y));
}

void TProStringGrid::SetCurrentCellText(const String& Value)
{
    const TPoint B = BaseCell(Col(), Row());
    WriteCellText(static_cast<int>(B.x), static_cast<int>(B.y), Value);
}

void TProStringGrid::SetCurrentEditText(const String& Value)
{
    const TPoint B = BaseCell(Col(), Row());
    SetEditText(static_cast<int>(B.x), static_cast<int>(B.y), Value);
}

bool TProStringGrid::EditorPasteText(TObject* Editor, String& Value)
{
    if (!ClipboardHasFormat(CF_UNICODETEXT))
        return false;
    Value = WideToStr(ClipboardWideText());
    bool Allow = true;
    if (OnClipboardPaste)
        OnClipboardPaste(Editor, Allow);
    if (Allow && OnClipboardBeforePasteCell)
        OnClipboardBeforePasteCell(Editor, Col(), Row(), Value, Allow);
    return Allow;
}

// --- Opening and closing ------------------------------------------------------

void TProStringGrid::StartCellEdit()
{
    if (HasClickControl(Col(), Row()))
        return;
    if (Row() < TopRow())
        SetTopRow(Row());
    if (Col() < LeftCol())
        SetLeftCol(Col());
    ShowEditor();
}

void TProStringGrid::EndCellEdit()
{
    // Also not while the value is being written back: the editor losing the
    // focus then is part of that.
    if (!FEdit.Active || FEdit.Committing)
        return;
    HideEditor();
    CommitEditor(Col(), Row());
    FEdit.Active = false;
    SelectCell(Col(), Row());
}

void TProStringGrid::LeaveEditor(Word Key, TShiftState Shift)
{
    const bool KeepLock = AdvanceLock;
    AdvanceLock = true;
    EndCellEdit();
    if (Key == VK_TAB || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) {
        Word K = Key;
        KeyDown(K, Shift);
    }
    const bool KeepAlways = FNavigation->AlwaysEdit;
    FNavigation->AlwaysEdit = false;
    if (CanFocus())
        SetFocus();
    if (Key == VK_RETURN)
        AdvanceAfterEdit(Col(), Row(), false, false, false);
    FNavigation->AlwaysEdit = KeepAlways;
    AdvanceLock = KeepLock;
}

void TProStringGrid::RestoreEditText()
{
    WriteCellText(Col(), Row(), FEdit.TextBefore);
    SetCells(Col(), Row(), Cells(Col(), Row()));
}

void TProStringGrid::NotifyEditDone(int ACol, int ARow)
{
    if (OnEditingDone)
        OnEditingDone(this);
    if (HandleAllocated())
        PostMessageW(Handle(), GridEditDoneMessage(), static_cast<WPARAM>(ACol), static_cast<LPARAM>(ARow));
    // The search footer's panel is repainted, and its edit refreshed by a
    // one-pixel size change there and back.
    if (FSearchFooter->Visible() && FSearchPanel != nullptr) {
        FSearchPanel->Invalidate();
        if (TRetEdit* E = FSearchPanel->SearchEdit()) {
            E->SetWidth(E->Width() + 1);
            E->SetWidth(E->Width() - 1);
        }
    }
}

// --- Validation ------------------------------------------------------------------

void TProStringGrid::BeginCellEdit(int ACol, int ARow)
{
    FEdit.EditCol = ACol;
    FEdit.EditRow = ARow;
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return;
    FEdit.EditRaw = GetCellTextRaw(ACol, ARow);
    FEdit.EditWide = ReadWideCellText(ACol, ARow);
}

// What the 8-bit and the wide validation differ in: the text type, the edited
// cell's text a value is compared with, the validation event and how a
// value is stored. The cell checker and the undo record see wide text as
// the grid holds it elsewhere (the checker as 8-bit text, the undo record
// as the packed cell text), so that one edit gives the same outcome through
// either kind of editor.
struct TProStringGrid::TNarrowEdit {
    using TText = String;
    static const String& Old(const TGridEditState& E) { return E.EditRaw; }
    static String& Last(TGridEditState& E) { return E.LastEditText; }
    static void Validate(TProStringGrid* G, int C, int R, String& S, bool& Valid)
    {
        if (G->OnCellValidate)
            G->OnCellValidate(G, C, R, S, Valid);
    }
    static String Check(const String& S, const std::function<String(const String&)>& Rule) { return Rule(S); }
    static String Stored(const String& S) { return S; }
    static void Write(TProStringGrid* G, int C, int R, const String& S) { G->WriteCellText(C, R, S); }
};

struct TProStringGrid::TWideEdit {
    using TText = WideString;
    static const WideString& Old(const TGridEditState& E) { return E.EditWide; }
    static WideString& Last(TGridEditState& E) { return E.LastWideText; }
    static void Validate(TProStringGrid* G, int C, int R, WideString& S, bool& Valid)
    {
        if (G->OnCellValidateWide)
            G->OnCellValidateWide(G, C, R, S, Valid);
    }
    // The checker sees 8-bit text. A text that the code page cannot hold is
    // left unchecked: the checker would see '?' (or a look-alike) in place of
    // its other characters, and taking its result would lose them.
    static WideString Check(const WideString& S, const std::function<String(const String&)>& Rule)
    {
        const String In = WideToStr(S);
        if (StrToWide(In) != S)
            return S;
        const String Out = Rule(In);
        return Out == In ? S : StrToWide(Out);
    }
    static String Stored(const WideString& S) { return PackWideText(S); }
    static void Write(TProStringGrid* G, int C, int R, const WideString& S) { G->WriteWideCellText(C, R, S); }
};

bool TProStringGrid::ValidateCell(const String& Value) { return ValidateEdit<TNarrowEdit>(Value); }

bool TProStringGrid::ValidateWideCell(const WideString& Value) { return ValidateEdit<TWideEdit>(Value); }

template <class TKind>
bool TProStringGrid::ValidateEdit(const typename TKind::TText& Value)
{
    using TText = typename TKind::TText;
    if (!FEdit.Started || FEdit.Validating)
        return true;
    FEdit.Started = false;
    FEdit.Validating = true;
    bool Valid = true;
    const int C = FEdit.EditCol;
    const int R = FEdit.EditRow;
    TKind::Last(FEdit) = Value;
    try {
        const TText Old = TKind::Old(FEdit);
        const String OldRaw = FEdit.EditRaw;
        if (Value != Old) {
            const bool KeepAdvance = FNavigation->AdvanceOnEnter;
            FNavigation->AdvanceOnEnter = false;
            TText S = Value;
            TProStringGridCheck* Checker = CellChecker;
            if (Checker != nullptr && Checker->AutoCorrect)
                S = TKind::Check(S, [&](const String& T) { return Checker->Correct(C, R, T); });
            TKind::Validate(this, C, R, S, Valid);
            // The edited row is marked, wherever the current row is by now.
            if (S != Old && TStringGrid::FixedCols() > 0) {
                SetRowModified(R, true);
                if (FShowModified->Enabled)
                    RepaintCell(0, R);
            }
            if (Valid)
                CellChanged(C);
            if (Checker != nullptr && Checker->AutoMarkError)
                S = TKind::Check(S, [&](const String& T) { return Checker->MarkError(C, R, T); });
            if (Valid && UndoRedo() != nullptr)
                UndoRedo()->AddChange(C, R, OldRaw, TKind::Stored(S));
            if (Valid)
                CellsChanged(TRect{C, R, C, R});
            FNavigation->AdvanceOnEnter = KeepAdvance;
            TKind::Last(FEdit) = S;
            if (Valid) {
                TKind::Write(this, C, R, S);
                const TPoint B = BaseCell(C, R);
                if (B.x != C || B.y != R)
                    TKind::Write(this, static_cast<int>(B.x), static_cast<int>(B.y), S);
            } else {
                FEdit.Accepted = false;
                HideEditor();
                if (S != Value) {
                    TKind::Write(this, C, R, S);
                } else {
                    if (FEdit.Active)
                        FEdit.Validating = false;
                    TKind::Write(this, C, R, Old);
                }
                ReopenEditor(C, R);
            }
            FEdit.EditRaw = GetCellTextRaw(C, R);
            FEdit.EditWide = ReadWideCellText(C, R);
        }
    } catch (...) {
        BeginCellEdit(Col(), Row());
        FEdit.Validating = false;
        throw;
    }
    BeginCellEdit(Col(), Row());
    FEdit.Validating = false;
    return Valid;
}

// A refused value: back to the edited cell with its editor open again.
void TProStringGrid::ReopenEditor(int ACol, int ARow)
{
    const bool KeepLock = InternalMoveLock;
    InternalMoveLock = true;
    FocusCell(ACol, ARow, true);
    InternalMoveLock = KeepLock;
    FEdit.Validating = false;
    FEdit.Started = true;
    FEdit.Active = false;
    StartCellEdit();
}

// Before the current cell moves: an open edit whose editor no longer has the
// focus is validated (a refusal keeps the current cell) and ended. Then
// editing follows the new cell: goEditing is taken off on a cell that may not
// be edited (editing is then only suspended) and put back on the next cell
// that may; an application that answers OnCanEditCell for cells without
// properties switches editing on that way in a grid without goEditing.
bool TProStringGrid::SelectCellEditing(int ACol, int ARow)
{
    if (FEdit.Validating)
        return true;
    // Asked again about the current cell (the grid entered, an edit ended):
    // the edit stays, editing follows what the cell allows now.
    if (ACol == Col() && ARow == Row()) {
        FollowCellEditability(ACol, ARow);
        return true;
    }
    if (!EndEditBeforeMove())
        return false;
    FollowCellEditability(ACol, ARow);
    return true;
}

bool TProStringGrid::EndEditBeforeMove()
{
    if (FEdit.Started) {
        const bool EditorFocused = FEdit.Inplace != nullptr && FEdit.Inplace->Focused();
        if (!EditorFocused || !EditorMode()) {
            const bool Ok = IsPackedWideCell(this, Col(), Row()) ? ValidateWideCell(FEdit.LastWideText)
                                                                  : ValidateCell(GetCurrentCellText());
            if (!Ok)
                return false;
        } else if (!ValidateCell(FEdit.Inplace->Text())) {
            return false;
        }
    }
    if (FEdit.Active && !FEdit.Committing) {
        HideEditor();
        CommitEditor(Col(), Row());
        FEdit.Active = false;
    }
    return true;
}

// Switching goEditing here repaints nothing: the cells look the same.
void TProStringGrid::FollowCellEditability(int ACol, int ARow)
{
    const int C = DisplayToRealCol(ACol);
    const auto Switch = [this](bool On) {
        FSkipNextInvalidate = true;
        SetOptions(On ? Options() | goEditing : Options() & ~static_cast<TGridOptions>(goEditing));
    };
    if (HasClickControl(C, ARow)) {
        const bool Editable = CanEditCell(C, ARow, true);
        FEdit.Suspended = !Editable && (HasOption(goEditing) || FMouseActions->RangeSelectAndEdit);
        if (Editable && !HasOption(goEditing) && !HasOption(goRowSelect))
            Switch(true);
        return;
    }
    const bool Editable = CanEditCell(C, ARow, HasOption(goEditing) || FEdit.Suspended)
                          && !FMouseActions->EditOnDblClickOnly();
    if (Editable) {
        FEdit.Suspended = false;
        if (!HasOption(goEditing)) {
            if (!FEdit.Active)
                BeginCellEdit(ACol, ARow);
            Switch(true);
        }
    } else if (HasOption(goEditing)) {
        FEdit.Suspended = true;
        Switch(false);
    }
}

bool TProStringGrid::WalkOntoClickControl(bool Backward, const String& Text)
{
    const int C = Col();
    const int Next = Backward ? C - 1 : C + MergedSpan(C, Row()).x + 1;
    const bool Inside = Backward ? C > TStringGrid::FixedCols() : C < ColCount() - FixedRightCols() - 1;
    if (!Inside || !HasClickControl(Next, Row()))
        return false;
    if (ValidateCell(Text)) {
        EndCellEdit();
        SetCol(Next);
    }
    return true;
}

// --- Messages ----------------------------------------------------------------------

bool TProStringGrid::EditingMessage(TMessage& Message)
{
    if (Message.Msg == GridEditDoneMessage() && GridEditDoneMessage() != 0) {
        if (OnEditCellDone)
            OnEditCellDone(this, static_cast<int>(Message.WParam), static_cast<int>(Message.LParam));
        if (FMouseActions->EditOnDblClickOnly()) {
            EndCellEdit();
            FEdit.Active = false;
            SetOptions(Options() & ~static_cast<TGridOptions>(goEditing));
        }
        Message.Result = 0;
        return true;
    }
    if (Message.Msg == WM_COMMAND && Message.LParam != 0)
        return EditorCommand(Message);
    if (Message.Msg == WM_SETFOCUS && FEdit.PopupClosed) {
        // The focus that comes back when an edit link's popup closed is no
        // new entry: the window takes it and paints the focused cell, but the
        // grid opens and closes no editor (with AlwaysEdit the popup would
        // open again at once). The next focus gain is handled as usual.
        FEdit.PopupClosed = false;
        TBaseGrid::WndProc(Message);
        return true;
    }
    return false;
}

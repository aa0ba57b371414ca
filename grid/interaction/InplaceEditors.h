#pragma once
// The grid's special in-place editors: thin subclasses of the edit controls
// that tie their keys, focus loss and value changes into the grid's editing
// flow. Every editor checks its value through the grid's validation before a
// key leaves the cell, puts the old value back on Esc, and hands the
// navigation keys on to the grid.

#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/WindowHooks.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/PSGEdit.h"
#include "grid/interaction/ProDateTimePicker.h"
#include "grid/interaction/PsgUniControls.h"
#include "grid/interaction/psgcombo.h"
#include "grid/interaction/psgspin.h"

FRAMEWORK_EXCEPTION(EInvalidCast, Exception);

// The grid an editor is made for: its owner, which must be a string grid.
TProStringGrid* EditorGridOf(TComponent* AOwner);

// The key protocol shared by the editors over TBase. A class says which keys
// leave the cell (IsExitKey), how its value is checked before leaving
// (CheckBeforeLeave) and what Esc puts back (RestoreOnEsc).
template <class TBase>
class TGridEditorOf : public TBase {
public:
    explicit TGridEditorOf(TComponent* AOwner) : TBase(AOwner), Grid(EditorGridOf(AOwner)) {}

    TProStringGrid* const Grid;

    // Recreates the window before the editing flow places and loads it.
    void ResetWindow()
    {
        if (this->HandleAllocated())
            this->RecreateWnd();
    }

protected:
    virtual bool IsExitKey(Word Key, TShiftState Shift) = 0;
    virtual bool CheckBeforeLeave() { return true; }
    virtual void RestoreOnEsc() {}
    // Tab and Enter characters are answered without reaching the control.
    virtual bool SwallowsTabEnter() const { return true; }

    bool WantsSpecialKey(Word Key) override
    {
        if (Key == VK_RETURN)
            return true;
        if (Key == VK_TAB)
            return Grid->HasOption(goTabs);
        return TBase::WantsSpecialKey(Key);
    }
    void KeyPress(char& Key) override
    {
        if ((Key == '\t' || Key == '\r') && SwallowsTabEnter()) {
            Key = 0;
            return;
        }
        TBase::KeyPress(Key);
    }
    void KeyDown(Word& Key, TShiftState Shift) override
    {
        if (!IsExitKey(Key, Shift)) {
            TBase::KeyDown(Key, Shift);
            return;
        }
        ExitKey(Key, Shift);
    }
    // Steps 1 to 4 of the protocol for an exit key.
    virtual void ExitKey(Word& Key, TShiftState Shift)
    {
        if ((Key == VK_TAB || Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) && !CheckBeforeLeave()) {
            Key = 0;
            return;
        }
        if (Key == VK_ESCAPE)
            RestoreOnEsc();
        if (!TabOut(Key, Shift))
            Grid->LeaveEditor(Key, Shift);
        Key = 0;
    }
    // Tab with goTabs: the edit ends and the grid moves as Tab does
    // (backwards with Shift). False for any other key.
    bool TabOut(Word Key, TShiftState Shift)
    {
        if (Key != VK_TAB || !Grid->HasOption(goTabs))
            return false;
        FocusGridAfterEdit();
        Grid->TabNavigate((Shift & ssShift) != 0);
        return true;
    }
    // Enter with AdvanceOnEnter: the edit ends and the grid moves on. False
    // for any other key.
    bool EnterAdvances(Word Key)
    {
        if (Key != VK_RETURN || !Grid->Navigation()->AdvanceOnEnter)
            return false;
        FocusGridAfterEdit();
        Grid->AdvanceAfterEdit(Grid->Col(), Grid->Row(), false, false, false);
        return true;
    }
    void FocusGridAfterEdit()
    {
        Grid->EndCellEdit();
        if (Grid->CanFocus())
            Grid->SetFocus();
    }
    void DoExit() override
    {
        if (!Grid->EditState().Showing)
            Grid->EndCellEdit();
        TBase::DoExit();
    }
    // The 8-bit check: the text is written to the cell and validated; a
    // refusal puts the cell's text back with the caret at its end.
    bool AnsiCheck(const String& Text, const std::function<void(const String&)>& SetEditorText)
    {
        Grid->SetCurrentCellText(Text);
        const bool Ok = Grid->ValidateCell(Text);
        SetEditorText(Grid->GetCurrentCellText());
        if (!Ok && this->HandleAllocated()) {
            CaretToEnd();
            this->Invalidate();
        }
        return Ok;
    }
    // The caret after the last character, nothing selected.
    virtual void CaretToEnd()
    {
        const auto Length = static_cast<int>(GetWindowTextLengthW(this->Handle()));
        SendMessageW(this->Handle(), EM_SETSEL, static_cast<WPARAM>(Length), Length);
    }
    // The wide check of the Unicode editors. A validation that runs leaves
    // in the cell the value it kept (corrected by the cell checker or changed
    // by the validation event); the editor then shows that value, as the
    // 8-bit editors do, so that writing the editor back keeps it.
    bool WideCheck(const WideString& Text, bool WriteFirst, bool ReRead,
                   const std::function<void(const WideString&)>& SetEditorText)
    {
        if (WriteFirst)
            Grid->WriteWideCellText(Grid->Col(), Grid->Row(), Text);
        const bool Runs = Grid->EditState().Started && !Grid->EditState().Validating;
        const bool Ok = Grid->ValidateWideCell(Text);
        const WideString Kept = Grid->ReadWideCellText(Grid->Col(), Grid->Row());
        if (!Ok || ReRead || (Runs && Kept != Text))
            SetEditorText(Kept);
        return Ok;
    }
};

class TGridSpin : public TGridEditorOf<TPsgSpinEdit> {
public:
    explicit TGridSpin(TComponent* AOwner);
    void FireSpinEvent(bool Up);
    void UpButtonClick(TObject* Sender) override;
    void DownButtonClick(TObject* Sender) override;

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool CheckBeforeLeave() override;
    void RestoreOnEsc() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Change() override;
};

// What the two combo editors share over TBase: exit keys by mode, the
// type-ahead flag, completion from the items, the mouse wheel stepping
// through the items, and the caret placed under the mouse on entry.
template <class TBase>
class TGridComboOf : public TGridEditorOf<TBase> {
public:
    using TGridEditorOf<TBase>::TGridEditorOf;
    void AutoSizeDropWidth();
    // Height of one item of the list.
    int ItemHeight() const;
    // Sized over a cell H pixels high: the selection field H - 6 pixels, so
    // that the closed box is H high, and the window, open list included,
    // ItemHeight x (DropDownCount + 1) + H.
    void FitToCell(int H);
    // Type-ahead after a key release: the text before the caret completed
    // by the first of the items that begins with it (then, for the 8-bit
    // combo, by the grid's lookup items).
    void LookupComplete();

protected:
    // List mode: a list without edit field, or the list dropped down.
    bool ListMode() const { return this->Style() == csDropDownList || this->DroppedDown(); }
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool SwallowsTabEnter() const override { return false; }
    void CaretToEnd() override;
    // Backspace and Delete stop the type-ahead until the next other key.
    void KeyDown(Word& Key, TShiftState Shift) override
    {
        FLookupEnabled = Key != VK_BACK && Key != VK_DELETE;
        TGridEditorOf<TBase>::KeyDown(Key, Shift);
    }
    void KeyUp(Word& Key, TShiftState Shift) override;
    void DoEnter() override;
    void WndProc(TMessage& Message) override;
    int WindowHeight() const override;
    // With the grid's LookupHistory, a text not among the items joins them.
    void KeepInHistory();
    bool FLookupEnabled = true;
    int FCellHeight = 0;  // the cell the box was fitted to; 0 before
};

class TGridCombo : public TGridComboOf<TPSGComboBox> {
public:
    explicit TGridCombo(TComponent* AOwner);

protected:
    void ExitKey(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;
    void CreateWnd() override;
    // A changed text (typed or a chosen item) fires the grid's OnEditChange.
    void Change() override;

private:
    void FieldMessage(TMessage& Message, const TCallPrevious& Previous);
    TWindowHook FFieldHook;   // on the edit field of the csDropDown style
};

class TGridEditBtn : public TGridEditorOf<TPsgEditBtn> {
public:
    explicit TGridEditBtn(TComponent* AOwner);
    void ButtonClick(TObject* Sender);

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool CheckBeforeLeave() override;
    void RestoreOnEsc() override;
    bool SwallowsTabEnter() const override { return false; }
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void WndProc(TMessage& Message) override;
    void Change() override;

private:
    bool FilterChar(wchar_t Ch);
    void Paste();
    int FCaretAtKeyDown = 0;
};

class TGridUnitEditBtn : public TGridEditorOf<TPsgUnitEditBtn> {
public:
    explicit TGridUnitEditBtn(TComponent* AOwner);

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool CheckBeforeLeave() override;
    void RestoreOnEsc() override;
    bool SwallowsTabEnter() const override { return false; }
    void KeyPress(char& Key) override;
};

class TGridCheckBox : public TGridEditorOf<TCheckBox> {
public:
    using TGridEditorOf<TCheckBox>::TGridEditorOf;

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool SwallowsTabEnter() const override { return false; }
    bool WantsSpecialKey(Word Key) override { return TCheckBox::WantsSpecialKey(Key); }
    void ExitKey(Word& Key, TShiftState Shift) override;
};

class TGridButton : public TGridEditorOf<TButton> {
public:
    using TGridEditorOf<TButton>::TGridEditorOf;

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool SwallowsTabEnter() const override { return false; }
    bool WantsSpecialKey(Word Key) override;
    void ExitKey(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoExit() override;

private:
    // The cell's ellipsis event turns the caption into a new one, which the
    // button shows and the cell takes.
    void Press();

    bool FPressing = false;
};

// What the Unicode edit, edit-with-button and memo editors share over TBase:
// Tab, Enter, Esc, Up and Down leave; the wide check before leaving (writing
// the cell first and reading it back after success as the flags say); Esc
// takes the cell's wide text; the caret goes to the end on entry unless all
// is selected; leaving keeps the wide text for the grid and empties itself.
template <class TBase, bool WriteFirst, bool ReRead>
class TGridUniEditorOf : public TGridEditorOf<TBase> {
public:
    using TGridEditorOf<TBase>::TGridEditorOf;

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool CheckBeforeLeave() override;
    void RestoreOnEsc() override;
    void DoEnter() override;
    void DoExit() override;
};

class TGridUniEdit : public TGridUniEditorOf<TPsgUniEdit, false, false> {
public:
    using TGridUniEditorOf::TGridUniEditorOf;
};

class TGridUniEditBtn : public TGridUniEditorOf<TPsgUniEditBtn, true, true> {
public:
    using TGridUniEditorOf::TGridUniEditorOf;
};

// Tab and Esc leave the memo; Enter and the arrows stay in it.
class TGridUniMemo : public TGridUniEditorOf<TPsgUniMemo, true, false> {
public:
    using TGridUniEditorOf::TGridUniEditorOf;

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool SwallowsTabEnter() const override { return false; }
    bool WantsSpecialKey(Word Key) override;
    void KeyPress(char& Key) override;
};

class TGridUniCombo : public TGridComboOf<TPSGUniComboBox> {
public:
    explicit TGridUniCombo(TComponent* AOwner);

protected:
    void RestoreOnEsc() override;
    void ExitKey(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;
    bool ChildMessage(HWND Child, TMessage& Message) override;
};

// The date and time picker of edDateEdit, edDateEditUpDown and edTimeEdit.
class TGridDatePicker : public TGridEditorOf<TCustomDateTimePicker> {
public:
    explicit TGridDatePicker(TComponent* AOwner);
    // Up-down arrows instead of the drop-down calendar; recreates the window.
    bool UpDown() const { return FUpDown; }
    void SetUpDown(bool Value);
    // The calendar is dropped down now.
    bool CalendarDropped() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool SwallowsTabEnter() const override { return false; }
    void RestoreOnEsc() override;
    void ExitKey(Word& Key, TShiftState Shift) override;
    // After the picker's own painting its border is covered by two frames
    // in the window colour, so that it blends into the cell.
    void WndProc(TMessage& Message) override;

private:
    void FrameBorder();
    bool FUpDown = false;
};

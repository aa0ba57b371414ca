#pragma once
// The grid's special in-place editors: thin subclasses of the edit controls
// that tie their keys, focus loss and value changes into the grid's editing
// flow. Every editor checks its value through the grid's validation before a
// key leaves the cell, puts the old value back on Esc, and hands the
// navigation keys on to the grid.

#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "grid/core/ProGrid.h"
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
    void ExitKey(Word& Key, TShiftState Shift)
    {
        if ((Key == VK_TAB || Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) && !CheckBeforeLeave()) {
            Key = 0;
            return;
        }
        if (Key == VK_ESCAPE)
            RestoreOnEsc();
        if (Key == VK_TAB && Grid->HasOption(goTabs)) {
            Grid->EndCellEdit();
            if (Grid->CanFocus())
                Grid->SetFocus();
            Grid->TabNavigate((Shift & ssShift) != 0);
            Key = 0;
            return;
        }
        Grid->LeaveEditor(Key, Shift);
        Key = 0;
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
    // The wide check of the Unicode editors.
    bool WideCheck(const WideString& Text, bool WriteFirst, bool ReRead,
                   const std::function<void(const WideString&)>& SetEditorText)
    {
        if (WriteFirst)
            Grid->WriteWideCellText(Grid->Col(), Grid->Row(), Text);
        const bool Ok = Grid->ValidateWideCell(Text);
        if (!Ok || ReRead)
            SetEditorText(Grid->ReadWideCellText(Grid->Col(), Grid->Row()));
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

class TGridCombo : public TGridEditorOf<TPSGComboBox> {
public:
    explicit TGridCombo(TComponent* AOwner);
    void LookupComplete();
    void AutoSizeDropWidth();

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool SwallowsTabEnter() const override { return false; }
    void CaretToEnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;
    void CreateWnd() override;

private:
    bool ListMode() const;
    static LRESULT CALLBACK EditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id, DWORD_PTR Ref);
    bool FLookupEnabled = true;
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
    void KeyDown(Word& Key, TShiftState Shift) override;
};

class TGridButton : public TGridEditorOf<TButton> {
public:
    using TGridEditorOf<TButton>::TGridEditorOf;

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool SwallowsTabEnter() const override { return false; }
    bool WantsSpecialKey(Word Key) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void DoExit() override;
};

class TGridUniEdit : public TGridEditorOf<TPsgUniEdit> {
public:
    using TGridEditorOf<TPsgUniEdit>::TGridEditorOf;

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool CheckBeforeLeave() override;
    void RestoreOnEsc() override;
    void DoEnter() override;
    void DoExit() override;
};

class TGridUniEditBtn : public TGridEditorOf<TPsgUniEditBtn> {
public:
    using TGridEditorOf<TPsgUniEditBtn>::TGridEditorOf;

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool CheckBeforeLeave() override;
    void RestoreOnEsc() override;
    void DoEnter() override;
    void DoExit() override;
};

class TGridUniMemo : public TGridEditorOf<TPsgUniMemo> {
public:
    explicit TGridUniMemo(TComponent* AOwner);

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool CheckBeforeLeave() override;
    void RestoreOnEsc() override;
    bool SwallowsTabEnter() const override { return false; }
    bool WantsSpecialKey(Word Key) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
};

class TGridUniCombo : public TGridEditorOf<TPSGUniComboBox> {
public:
    explicit TGridUniCombo(TComponent* AOwner);

protected:
    bool IsExitKey(Word Key, TShiftState Shift) override;
    bool SwallowsTabEnter() const override { return false; }
    void RestoreOnEsc() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;
    bool ChildMessage(HWND Child, TMessage& Message) override;

private:
    bool ListMode() const;
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
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    bool FUpDown = false;
};

#pragma once
// The editors of the form controls in a cell's HTML text: an edit for the
// "EDIT", "PASSWORD" and "MASK" controls and a combo box for "COMBO". Enter
// and Tab end the edit; the grid writes the value into the control's tag.

#include "framework/Edit.h"
#include "grid/interaction/EditMask.h"
#include "grid/interaction/psgcombo.h"

class TProStringGrid;

class TControlEdit : public TCustomEdit {
public:
    explicit TControlEdit(TComponent* AOwner);
    // '*' for a password control, 0 for none; applied to the window.
    void SetPasswordChar(wchar_t Value);
    // The control's edit mask (its PROP attribute); empty for none. Typed
    // and pasted characters must fit the mask's slots.
    void SetEditMask(const String& Mask);
    const TEditMask& EditMask() const { return FMask; }
    // Shows a control's value (with the mask's literals put back).
    void SetValue(const String& Value);
    // The control's value: the text, without the literals where the mask
    // does not keep them.
    String Value();

protected:
    void CreateWnd() override;
    bool WantsSpecialKey(Word Key) override;
    void KeyPress(char& Key) override;
    void WndProc(TMessage& Message) override;

private:
    // One character typed into the masked text at the caret; false refuses it.
    bool TypeMasked(wchar_t Ch);
    TProStringGrid* FGrid;
    wchar_t FPasswordChar = 0;
    TEditMask FMask;
};

class TControlCombo : public TPSGComboBox {
public:
    explicit TControlCombo(TComponent* AOwner);

protected:
    bool WantsSpecialKey(Word Key) override;
    void KeyPress(char& Key) override;
    // The window, closed box and open list together, is DropDownCount + 2
    // items high, however many items there are.
    int WindowHeight() const override;

private:
    TProStringGrid* FGrid;
};

// Enter or Tab typed in a form-control editor: the edit ends (the grid takes
// the focus, which runs the editor's exit handling); Tab with AdvanceAuto
// moves on to the next cell.
void EndControlEditByKey(TProStringGrid* Grid, bool Tab);

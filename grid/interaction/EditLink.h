#pragma once
// TEditLink: the adapter through which an editor control of the
// application's own takes part in the grid's editing of edCustom cells. A
// subclass creates its control in CreateEditor, returns it from
// GetEditControl and moves the value in and out through SetEditorValue and
// GetEditorValue; its control's key-down handling calls EditKeyDown.

#include "framework/Component.h"
#include "framework/Form.h"
#include "framework/WinControl.h"
#include "framework/WindowHooks.h"

class TProStringGrid;

enum TEditStyle { esInplace, esPopup };

class TEditLink : public TComponent {
public:
    explicit TEditLink(TComponent* AOwner);

    TEditStyle EditStyle = esInplace;
    int PopupWidth = 0;
    int PopupHeight = 0;
    int PopupLeft = -1;
    int PopupTop = -1;
    bool AutoPopupWidth = false;
    bool WantKeyLeftRight = false;
    bool WantKeyUpDown = false;
    bool WantKeyHomeEnd = false;
    bool WantKeyPriorNext = false;
    bool WantKeyReturn = false;
    bool WantKeyEscape = false;
    int Tag = 0;

    TProStringGrid* Grid() const { return FGrid; }
    int EditCol() const { return FEditCol; }
    int EditRow() const { return FEditRow; }

    // Exit keys end the edit and go on to the grid; other keys stay with the control.
    virtual void EditKeyDown(Word& Key, TShiftState Shift);
    virtual TWinControl* GetEditControl() { return nullptr; }
    virtual void CreateEditor(TWinControl* AParent) { (void)AParent; }
    virtual void DestroyEditor() {}
    virtual void SetFocus(bool Value);
    virtual void SetRect(const TRect& R);
    virtual void SetVisible(bool Value);
    virtual void SetProperties() {}
    virtual void SetCellProps(TColor AColor, TFont* AFont) { (void)AColor; (void)AFont; }
    virtual void GetEditorValue(String& Value) { Value.clear(); }
    virtual void SetEditorValue(const String& Value) { (void)Value; }

    // The grid's side: shows the link's control over the cell, loaded with Text.
    void ShowInGrid(TProStringGrid* AGrid, int ACol, int ARow, const TRect& R, TColor AColor, TFont* AFont,
                    const String& Text, char StartKey);
    // After the grid wrote the value back: the control is hidden and gets its
    // own window procedure back.
    void CommitDone();
    void RestoreControlProc();

    // The popup form of esPopup (created by the grid on first use).
    TForm* PopupForm() const { return FPopupForm; }
    // The popup lost the activation: the value is written back and the edit
    // ends (or, while the link forces an exit itself, only written).
    void PopupDeactivate(TObject* Sender);
    void WriteCellValue(const String& Value);
    void EndLinkEdit();
    void EndPopupEdit();

private:
    void ControlMessage(TMessage& Message, const TCallPrevious& Previous);
    bool IsExitKey(Word Key) const;

    TProStringGrid* FGrid = nullptr;
    int FEditCol = -1;
    int FEditRow = -1;
    bool FForcedExit = false;
    TForm* FPopupForm = nullptr;   // owned by the application
    HWND FHookedWnd = nullptr;
    TWindowHook FControlHook;   // on FHookedWnd while the control edits a cell in place
};

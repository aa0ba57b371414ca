#pragma once
// The Unicode edit controls: a single-line edit, a memo, an edit with a
// button and a flat combo box, whose Text is wide and whose key press sees
// 255 for a character above U+00FF while the window gets the character.

#include <memory>

#include "framework/ComboBox.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/Memo.h"
#include "framework/WindowHooks.h"
#include "grid/interaction/PSGEdit.h"
#include "grid/interaction/PsgUni.h"
#include "grid/interaction/psgcombo.h"

class TCustomUNIEdit : public TCustomEdit {
public:
    explicit TCustomUNIEdit(TComponent* AOwner);
    ~TCustomUNIEdit() override;

    WideString Text();
    void SetText(const WideString& Value);

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    void SetTextBuf(const String& Value) override;
};

class TPsgUniEdit : public TCustomUNIEdit {
public:
    using TCustomUNIEdit::TCustomUNIEdit;
};

class TPsgUniCustomMemo : public TCustomUNIEdit {
public:
    explicit TPsgUniCustomMemo(TComponent* AOwner);

    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;

private:
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = false;
    // Tab and Enter are left to the dialog keys.
    bool FWantTabs = false;
    bool FWantReturns = false;
};

class TPsgUniMemo : public TPsgUniCustomMemo {
public:
    using TPsgUniCustomMemo::TPsgUniCustomMemo;
};

class TPsgUniEditBtn : public TPsgEditBtnOf<TCustomUNIEdit> {
public:
    using TPsgEditBtnOf<TCustomUNIEdit>::TPsgEditBtnOf;
};

class TCustomUNIComboBox : public TCustomComboBox {
public:
    explicit TCustomUNIComboBox(TComponent* AOwner);
    ~TCustomUNIComboBox() override;

    TWideStrings* Items() const { return FItems.get(); }
    void SetItems(const TWideStrings* Value) { FItems->Assign(Value); }
    WideString Text();
    void SetText(const WideString& Value);
    int ItemIndex() const;
    void SetItemIndex(int Value);

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    void SetTextBuf(const String& Value) override;
    int WindowHeight() const override;
    void KeyPress(char& Key) override;
    virtual void CNCommand(TMessage& Message);
    void SortItems() override;
    // Hooks the edit window of the combo box, whose messages then come
    // through ChildMessage.
    void SubclassChildren();
    // A message of a child window; false to pass it on to the child's own
    // procedure.
    virtual bool ChildMessage(HWND Child, TMessage& Message);

private:
    void SizeList();

    std::unique_ptr<TComboBoxStrings> FItems;
    HWND FEditWnd = nullptr;
    TWindowHook FEditHook;
    int FItemIndex = -1;   // while there is no window
};

// The flat Unicode combo box, with the state of the flat combo box.
class TPSGUniCustomCombo : public TCustomUNIComboBox {
public:
    explicit TPSGUniCustomCombo(TComponent* AOwner);
    ~TPSGUniCustomCombo() override;

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool Etched() const { return FEtched; }
    void SetEtched(bool Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    bool FocusBorder = false;
    bool AutoFocus = false;
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int Value);
    bool Ctl3D = false;
    bool IsWinXP = false;
    bool MouseInside() const { return FMouseInside; }

    void PaintFlat();
    bool IsHighlighted() const;
    // What the flat painting draws from (psgcombo.h).
    TFlatComboFace Face() const;

protected:
    void WndProc(TMessage& Message) override;
    void CreateWnd() override;
    void CNCommand(TMessage& Message) override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;

private:
    void WMPaint(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    int FButtonWidth;
    bool FFlat = true;
    bool FEtched = false;
    bool FMouseInside = false;
    int FDropWidth = 0;
    TColor FOldColor;
    bool FOldParentColor = false;
};

class TPSGUniComboBox : public TPSGUniCustomCombo {
public:
    using TPSGUniCustomCombo::TPSGUniCustomCombo;
};

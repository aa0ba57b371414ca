#pragma once
// Edits with a small push button inside their right edge: TPsgEditBtn (an
// ellipsis or lookup button, also F4) and TPsgUnitEditBtn (a number with a
// unit chosen from a pop-up menu and drawn between the text and the button).

#include <memory>

#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/SpeedButton.h"
#include "framework/StringList.h"
#include "grid/interaction/psgspin.h"

using TBorderStyle = TFormBorderStyle;   // bsNone or bsSingle

// A speed button painted classic, flat or with the platform theme.
class TProSpeedButton : public TSpeedButton {
public:
    explicit TProSpeedButton(TComponent* AOwner);
    ~TProSpeedButton() override;

    bool IsWinXP = false;

protected:
    void Paint() override;

private:
    bool PaintThemed(const TRect& R);
};

// The button control: a window holding one speed button that fills it.
class TPsgEditButton : public TWinControl {
public:
    explicit TPsgEditButton(TComponent* AOwner);
    ~TPsgEditButton() override;

    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const TBitmap* Value) { FButton->SetGlyph(Value); }
    String ButtonCaption() const { return FButton->Caption(); }
    void SetButtonCaption(const String& Value) { FButton->SetCaption(Value); }
    TNumGlyphs NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(TNumGlyphs Value) { FButton->SetNumGlyphs(Value); }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TWinControl* FocusControl = nullptr;
    TProSpeedButton* Button() const { return FButton; }

protected:
    void Resize() override;

private:
    void ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    TProSpeedButton* FButton;   // owned by this control
    bool FFlat = false;
};

// An edit of class TBase (8-bit or Unicode) with a push button inside its
// right edge, which fires OnClickBtn (also F4). The text is kept left of the
// button (and of FUnitSpace, the room a unit edit draws its unit in).
template <class TBase>
class TPsgEditBtnOf : public TBase {
public:
    explicit TPsgEditBtnOf(TComponent* AOwner) : TBase(AOwner), FButton(new TPsgEditButton(this))
    {
        FButton->SetBounds(0, 0, 18, 18);
        FButton->SetParent(this);
        FButton->FocusControl = this;
        FButton->OnClick = [this](TObject* Sender) { ClickBtn(Sender); };
    }
    ~TPsgEditBtnOf() override
    {
        this->Destroying();
        this->DestroyHandle();
    }

    bool EditorEnabled = true;
    bool RightAlign() const { return FRightAlign; }
    void SetRightAlign(bool Value)
    {
        if (Value == FRightAlign)
            return;
        FRightAlign = Value;
        if (this->HandleAllocated())
            this->RecreateWnd();
    }
    int ButtonWidth() const { return FButton->Width(); }
    void SetButtonWidth(int Value)
    {
        FButton->SetWidth(Value);
        Resize();
    }
    String ButtonCaption() const { return FButton->ButtonCaption(); }
    void SetButtonCaption(const String& Value) { FButton->SetButtonCaption(Value); }
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const TBitmap* Value) { FButton->SetGlyph(Value); }
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool Value)
    {
        FIsWinXP = Value;
        FButton->Button()->IsWinXP = Value;
        FButton->Button()->Invalidate();
    }
    bool AutoSelect = true;
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value)
    {
        if (Value == FBorderStyle)
            return;
        FBorderStyle = Value;
        if (this->HandleAllocated())
            this->RecreateWnd();
        Resize();
    }
    bool Ctl3D = true;
    TPsgEditButton* Button() const { return FButton; }

    TNotifyEvent OnClickBtn;

    // Fires OnClickBtn with Sender (the button control, or the edit for F4).
    virtual void ClickBtn(TObject* Sender)
    {
        if (OnClickBtn)
            OnClickBtn(Sender);
    }
    int GetMinHeight() { return EditLineHeight(this->Font()); }
    // The rectangle the text is kept in, left of the button, in client
    // coordinates.
    TRect FormattingRect() const
    {
        const int inset = FBorderStyle == bsNone ? 2 : 1;
        int right = this->ClientWidth() - FButton->Width() - FUnitSpace - 3;
        if (FUnitSpace > 0)
            right -= 3;
        return Rect(inset, inset, right, this->ClientHeight() + 1);
    }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TBase::CreateParams(Params);
        EditButtonParams(Params, FRightAlign ? ES_RIGHT : 0, FBorderStyle);
    }
    void CreateWnd() override
    {
        TBase::CreateWnd();
        SetEditRect();
    }
    void WndProc(TMessage& Message) override
    {
        switch (Message.Msg) {
        case WM_PASTE:
        case WM_CUT:
            if (EditorEnabled && !this->ReadOnly())
                TBase::WndProc(Message);
            else
                Message.Result = 0;
            break;
        default: TBase::WndProc(Message); break;
        }
    }
    void KeyDown(Word& Key, TShiftState Shift) override
    {
        TBase::KeyDown(Key, Shift);
        if (Key == VK_F4)
            ClickBtn(this);
    }
    // The box is one line: Enter and Ctrl+Enter insert no line break.
    void KeyPress(char& Key) override
    {
        if (!EditorEnabled || Key == '\r' || Key == '\n') {
            Key = 0;
            return;
        }
        TBase::KeyPress(Key);
    }
    void DoEnter() override
    {
        if (AutoSelect && GetKeyState(VK_LBUTTON) >= 0)
            this->SelectAll();
        TBase::DoEnter();
    }
    void Resize() override
    {
        TBase::Resize();
        if (PlaceEditButton(*this, *FButton, GetMinHeight(), Ctl3D, FBorderStyle))
            SetEditRect();
    }
    void SetEditRect()
    {
        if (!this->HandleAllocated())
            return;
        RECT r = FormattingRect();
        SendMessageW(this->Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
    }

    int FUnitSpace = 0;

private:
    TPsgEditButton* FButton;   // owned by this edit
    bool FRightAlign = false;
    bool FIsWinXP = false;
    TBorderStyle FBorderStyle = bsSingle;
};

class TPsgEditBtn : public TPsgEditBtnOf<TCustomEdit> {
public:
    explicit TPsgEditBtn(TComponent* AOwner);
    ~TPsgEditBtn() override;
};

class TPsgUnitEditBtn : public TPsgEditBtn {
public:
    explicit TPsgUnitEditBtn(TComponent* AOwner);
    ~TPsgUnitEditBtn() override;

    TStringList* Units() const { return FUnits.get(); }
    void SetUnits(const TStrings* Value);
    const String& UnitID() const { return FUnitID; }
    void SetUnitID(const String& Value);
    int UnitSpace() const { return FUnitSpace; }
    void SetUnitSpace(int Value);

    // The button shows the unit menu instead of firing OnClickBtn.
    void ClickBtn(TObject* Sender) override;
    void ShowUnitMenu();

protected:
    void WndProc(TMessage& Message) override;

private:
    void WMCommand(TMessage& Message);
    void WMPaint(TMessage& Message);
    void DrawUnit();

    std::unique_ptr<TStringList> FUnits;
    String FUnitID;
};

#pragma once
// Edits with a small push button inside their right edge: TPsgEditBtn (an
// ellipsis or lookup button, also F4) and TPsgUnitEditBtn (a number with a
// unit chosen from a pop-up menu and drawn between the text and the button).

#include <memory>

#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/SpeedButton.h"
#include "framework/StringList.h"

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

class TPsgEditBtn : public TCustomEdit {
public:
    explicit TPsgEditBtn(TComponent* AOwner);
    ~TPsgEditBtn() override;

    bool EditorEnabled = true;
    bool RightAlign() const { return FRightAlign; }
    void SetRightAlign(bool Value);
    int ButtonWidth() const { return FButton->Width(); }
    void SetButtonWidth(int Value);
    String ButtonCaption() const { return FButton->ButtonCaption(); }
    void SetButtonCaption(const String& Value) { FButton->SetButtonCaption(Value); }
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const TBitmap* Value) { FButton->SetGlyph(Value); }
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool Value);
    bool AutoSelect = true;
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Ctl3D = true;
    TPsgEditButton* Button() const { return FButton; }

    TNotifyEvent OnClickBtn;

    // Fires OnClickBtn with Sender (the button control, or the edit for F4).
    virtual void ClickBtn(TObject* Sender);
    int GetMinHeight();
    // The rectangle the text is kept in, left of the button, in client
    // coordinates.
    TRect FormattingRect() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void Resize() override;
    void SetEditRect();

    int FUnitSpace = 0;

private:
    TPsgEditButton* FButton;   // owned by this edit
    bool FRightAlign = false;
    bool FIsWinXP = false;
    TBorderStyle FBorderStyle = bsSingle;
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

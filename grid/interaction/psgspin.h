#pragma once
// The spin edit: a single-line edit of an integer, a float, a date or a time
// with a spin button at its right edge. Arrow and page keys and the spin
// buttons step the value; for dates and times the step acts on the field
// under the caret. The spin button is a control of its own, made of two
// repeat buttons that click again and again while held.

#include <memory>

#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/SpeedButton.h"
#include "framework/Timer.h"
#include "grid/interaction/LocaleFormats.h"

enum TPsgSpinType { sptNormal, sptFloat, sptDate, sptTime };
enum TSpinDirection { spVertical, spHorizontal };
enum TEditAlign { eaLeft, eaRight, eaCenter };
using TBorderStyle = TFormBorderStyle;   // bsNone or bsSingle

enum TTimerButtonDirection { tbdUp, tbdDown, tbdLeft, tbdRight };
enum TTimerButtonFlag : unsigned { tbFocusRect = 1, tbAllowTimer = 2 };

// A speed button that repeats its click while held: 400 ms after the
// press, then every 100 ms, and once more on release over the button.
class TProTimerSpeedButton : public TSpeedButton {
public:
    explicit TProTimerSpeedButton(TComponent* AOwner);
    ~TProTimerSpeedButton() override;

    TTimerButtonDirection Direction = tbdUp;
    unsigned TimeBtnState = 0;   // TTimerButtonFlag bits
    bool IsWinXP = false;
    // The repeat timer, created by the first press (tests read its interval).
    TTimer* RepeatTimer() const { return FRepeatTimer.get(); }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;
    void RepeatTick(TObject* Sender);

private:
    bool PaintThemed();
    void InvalidateParent();

    std::unique_ptr<TTimer> FRepeatTimer;
};

class TPsgSpinButton : public TWinControl {
public:
    explicit TPsgSpinButton(TComponent* AOwner);
    ~TPsgSpinButton() override;

    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection Value);
    TBitmap* UpGlyph() const;
    void SetUpGlyph(const TBitmap* Value);
    TBitmap* DownGlyph() const;
    void SetDownGlyph(const TBitmap* Value);
    TNumGlyphs UpNumGlyphs() const;
    void SetUpNumGlyphs(TNumGlyphs Value);
    TNumGlyphs DownNumGlyphs() const;
    void SetDownNumGlyphs(TNumGlyphs Value);
    TWinControl* FocusControl = nullptr;
    void SetIsWinXP(bool Value);

    TProTimerSpeedButton* UpButton() const { return FUpButton; }
    TProTimerSpeedButton* DownButton() const { return FDownButton; }
    TProTimerSpeedButton* FocusedButton() const { return FFocusedButton; }

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    void Loaded() override;

protected:
    void WndProc(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Resize() override;
    void LayoutButtons();
    void FocusButton(TProTimerSpeedButton* Button);

private:
    void ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ButtonClick(TObject* Sender);
    void SetFocusRect(bool Shown);

    TProTimerSpeedButton* FUpButton;     // owned by this control
    TProTimerSpeedButton* FDownButton;   // owned by this control
    TProTimerSpeedButton* FFocusedButton;
    TSpinDirection FDirection = spVertical;
    bool FIsWinXP = false;
};

class TPsgSpinEdit : public TCustomEdit {
public:
    explicit TPsgSpinEdit(TComponent* AOwner);
    ~TPsgSpinEdit() override;

    TPsgSpinType SpinType() const { return FSpinType; }
    void SetSpinType(TPsgSpinType Value);
    int Value() const;
    void SetValue(int Value);
    double FloatValue() const;
    void SetFloatValue(double Value);
    TDateTime DateValue() const;
    void SetDateValue(TDateTime Value);
    TDateTime TimeValue() const;
    void SetTimeValue(TDateTime Value);

    int MinValue = 0;
    int MaxValue = 100;
    int Increment = 1;
    double MinFloatValue = 0;
    double MaxFloatValue = 100.0;
    double IncrementFloat = 0.1;
    TDateTime MinDateValue = 0;
    TDateTime MaxDateValue = 0;
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection Value);
    TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign Value);
    bool ReturnIsTab = false;
    bool ExcelStyleDecimalSeparator = false;
    bool AutoSelect = true;
    bool SpinFlat() const { return FSpinFlat; }
    void SetSpinFlat(bool Value);
    bool SpinTransparent() const { return FSpinTransparent; }
    void SetSpinTransparent(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Ctl3D = true;
    void SetIsWinXP(bool Value);

    TPsgSpinButton* Button() const { return FButton; }

    virtual void StepUp(bool Page);
    virtual void StepDown(bool Page);
    virtual bool IsValidChar(char Key);
    virtual void UpButtonClick(TObject* Sender);
    virtual void DownButtonClick(TObject* Sender);

    int GetMinHeight();
    // The rectangle the text is kept in, left of the button, in client
    // coordinates.
    TRect FormattingRect() const;
    void Loaded() override;

    // Clamping to [Min, Max]; nothing is clamped when the two are equal.
    int ClampValue(int Value) const;
    double ClampFloat(double Value) const;
    TDateTime ClampDate(TDateTime Value) const;
    // Which field of the date (1 to 3) or time (hours 1, minutes 2,
    // seconds 3) the caret stands in.
    int CaretField(char Separator) const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void SetEditRect();

private:
    void Step(int Sign, bool Page);
    void SetTextKeepCaret(const String& Value);
    void WMKeyDown(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMPasteOrCut(TMessage& Message);
    void Relayout();

    TPsgSpinButton* FButton;   // owned by this edit
    TPsgSpinType FSpinType = sptNormal;
    int FPrecision = 0;
    bool FEditorEnabled = true;
    TSpinDirection FDirection = spVertical;
    TEditAlign FEditAlign = eaLeft;
    bool FSpinFlat = false;
    bool FSpinTransparent = false;
    TBorderStyle FBorderStyle = bsSingle;
    TDateTime FDateValue = 0;
    TDateTime FTimeValue = 0;
};

// Text height of a font's characters (tmHeight), for the minimum heights.
int FontCharHeight(const TFont* Font);
int FontCharHeight(HFONT Font);
// A line of the font with room around it: a quarter of the system font's
// character height, at most a quarter of the font's own.
int EditLineHeight(const TFont* Font);
// The layout shared by the edits with a button inside their right edge:
// below MinHeight the edit is made that high and false is returned (the
// resize that follows lays it out); otherwise the button fills the right edge
// inside the border (Ctl3D) or one pixel in from top and bottom (flat).
bool PlaceEditButton(TControl& Edit, TControl& Button, int MinHeight, bool Ctl3D, TBorderStyle Border);
// The window styles of an edit with a button: multi-line (so that the text
// rectangle can be set), children clipped, aligned by Align (0, ES_RIGHT or
// ES_CENTER), and no client edge without a border.
void EditButtonParams(TCreateParams& Params, DWORD Align, TBorderStyle Border);

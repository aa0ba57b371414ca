#pragma once
// Date-time pickers over the common controls' picker window: the flat
// TCustomDateTimePicker with its one-pixel border, and TProDateTimePicker,
// which edits a date, a time or both; for both, a second, smaller picker
// for the time sits inside the right part of the date picker.

#include "framework/Form.h"
#include "framework/WinControl.h"
#include "grid/interaction/LocaleFormats.h"

using TBorderStyle = TFormBorderStyle;   // bsNone or bsSingle

// The platform picker's own kinds.
enum TDateTimeKind { dtkDate, dtkTime };
enum TProDateTimeKind { dkDate, dkTime, dkDateTime };

class TCustomDateTimePicker : public TWinControl {
public:
    explicit TCustomDateTimePicker(TComponent* AOwner);
    ~TCustomDateTimePicker() override;

    // The picker's own value (date and time of day) and its parts.
    TDateTime PickerDateTime() const;
    void SetPickerDateTime(TDateTime Value);
    TDateTime PickerTime() const;
    void SetPickerTime(TDateTime Value);
    TDateTimeKind PlatformKind() const { return FPlatformKind; }
    void SetPlatformKind(TDateTimeKind Value);
    // The picker's display format ("" for the locale's).
    const String& Format() const { return FFormat; }
    void SetFormat(const String& Value);
    // The text the picker shows now.
    WideString DisplayText() const;

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TBorderStyle Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool IsThemed() const { return FIsThemed; }

    // Width and height of Text in the picker's font, on one line.
    TSize MeasureText(const WideString& Text);

    TNotifyEvent OnChange;
    TNotifyEvent OnCloseUp;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    virtual void Change();
    void PaintBorder(bool InnerLine);

private:
    void CNNotify(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMPaint(TMessage& Message);
    COLORREF BorderPenColor() const;

    TDateTime FDateTime;   // the value while there is no window
    TDateTimeKind FPlatformKind = dtkDate;
    String FFormat;
    TBorderStyle FBorderStyle = bsNone;
    TColor FBorderColor = clBlack;
    bool FCtl3D = false;
    bool FIsThemed;
};

class TProDateTimePicker : public TCustomDateTimePicker {
public:
    explicit TProDateTimePicker(TComponent* AOwner);
    ~TProDateTimePicker() override;

    TProDateTimeKind Kind() const { return FKind; }
    void SetKind(TProDateTimeKind Value);
    TDateTime Time() const;
    void SetTime(TDateTime Value);
    TDateTime DateTime();
    virtual void SetDateTime(TDateTime Value);
    String TimeFormat() const;
    void SetTimeFormat(const String& Value);
    void SetBorderStyle(TBorderStyle Value) override;
    String Version() const { return "1.0.0.2"; }
    // The embedded time picker, or nullptr.
    TCustomDateTimePicker* TimePicker() const { return FTimePicker; }

    // Fired after OnChange when the time field changed.
    TNotifyEvent OnTimeChanged;

    virtual void DoChange();
    virtual void DoClick();
    virtual void TimePickerKeyPress(char& Key);

protected:
    void CreateWnd() override;
    void Change() override;
    void Click() override;
    void Resize() override;
    void EnabledChanged() override;
    void ColorChanged() override;
    void FontChanged() override;
    void CreateTimePicker();
    void LayoutTimePicker();
    void ApplyKind();

private:
    void TimePickerChange(TObject* Sender);

    TProDateTimeKind FKind = dkDateTime;
    TCustomDateTimePicker* FTimePicker = nullptr;   // owned by this picker
};

// The most significant 32 bits of a file's version (major in the high
// word), or -1 when the file has no version information.
int GetFileVersion(const String& FileName);

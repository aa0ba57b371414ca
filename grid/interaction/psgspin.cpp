// The spin edit: value accessors, stepping, the character check, keys and
// the layout of the text beside the spin button.
#include "grid/interaction/psgspin.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "framework/Codepage.h"

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Whether Text holds Ch at a position that the selection does not cover.
bool HoldsUncovered(const String& Text, char Ch, int SelStart, int SelLength)
{
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const int pos = static_cast<int>(i);
        if (Text[i] == Ch && (pos < SelStart || pos >= SelStart + SelLength))
            return true;
    }
    return false;
}

bool MonthFirst()
{
    String upper;
    for (char c : FormatSettings().ShortDateFormat)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto m = upper.find('M');
    const auto d = upper.find('D');
    return m != String::npos && (d == String::npos || m < d);
}

} // namespace

int FontCharHeight(const TFont* Font)
{
    return FontCharHeight(Font->Handle());
}

int FontCharHeight(HFONT Font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
}

int EditLineHeight(const TFont* Font)
{
    const int own = FontCharHeight(Font);
    return own + std::min(FontCharHeight(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))), own) / 4;
}

bool PlaceEditButton(TControl& Edit, TControl& Button, int MinHeight, bool Ctl3D, TBorderStyle Border)
{
    if (Edit.Height() < MinHeight) {
        Edit.SetHeight(MinHeight);
        return false;
    }
    const int bw = Button.Width();
    if (Ctl3D) {
        const int k = Border == bsNone ? 1 : 5;
        Button.SetBounds(Edit.Width() - bw - k, 0, bw, Edit.Height() - k);
    } else {
        Button.SetBounds(Edit.Width() - bw, 1, bw, Edit.Height() - 3);
    }
    return true;
}

void EditButtonParams(TCreateParams& Params, DWORD Align, TBorderStyle Border)
{
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN | Align;
    if (Border == bsNone)
        Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

TPsgSpinEdit::TPsgSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner), FButton(new TPsgSpinButton(this))
{
    FButton->SetBounds(0, 0, 15, 17);
    FButton->SetParent(this);
    FButton->FocusControl = this;
    FButton->OnUpClick = [this](TObject* Sender) { UpButtonClick(Sender); };
    FButton->OnDownClick = [this](TObject* Sender) { DownButtonClick(Sender); };
    SetText("0");
}

TPsgSpinEdit::~TPsgSpinEdit()
{
    Destroying();
    DestroyHandle();
}

// ---------------------------------------------------------------------------
// Values

int TPsgSpinEdit::ClampValue(int Value) const
{
    if (MinValue == MaxValue)
        return Value;
    return std::clamp(Value, std::min(MinValue, MaxValue), std::max(MinValue, MaxValue));
}

double TPsgSpinEdit::ClampFloat(double Value) const
{
    if (MinFloatValue == MaxFloatValue)
        return Value;
    return std::clamp(Value, std::min(MinFloatValue, MaxFloatValue), std::max(MinFloatValue, MaxFloatValue));
}

TDateTime TPsgSpinEdit::ClampDate(TDateTime Value) const
{
    if (MinDateValue == MaxDateValue)
        return Value;
    return std::clamp(Value, std::min(MinDateValue, MaxDateValue), std::max(MinDateValue, MaxDateValue));
}

int TPsgSpinEdit::Value() const
{
    int v = 0;
    return TryStrToInt(Text(), v) ? v : MinValue;
}

void TPsgSpinEdit::SetValue(int Value)
{
    SetText(std::to_string(ClampValue(Value)));
    if (!FEditorEnabled && HandleAllocated())
        SelectAll();
}

double TPsgSpinEdit::FloatValue() const
{
    double v = 0;
    return TryStrToFloat(Text(), v) ? v : MinFloatValue;
}

void TPsgSpinEdit::SetFloatValue(double Value)
{
    Value = ClampFloat(Value);
    SetText(FPrecision != 0 ? FloatToStrFixed(Value, FPrecision) : FloatToStrGeneral(Value));
}

TDateTime TPsgSpinEdit::DateValue() const
{
    const String text = Text();
    if (text != "0" && !text.empty()) {
        TDateTime d = 0;
        return TryStrToDate(text, d) ? d : MinDateValue;
    }
    return NowDateTime();
}

// Rewriting the text keeps the caret where it was, so that stepping the
// same field again works.
void TPsgSpinEdit::SetTextKeepCaret(const String& Value)
{
    const int caret = HandleAllocated() ? SelStart() : 0;
    SetText(Value);
    if (HandleAllocated())
        SetSelStart(std::min(caret, static_cast<int>(StrToWide(Value).size())));
}

void TPsgSpinEdit::SetDateValue(TDateTime Value)
{
    FDateValue = Value;
    if (IsLoading())
        return;
    FDateValue = ClampDate(Value);
    SetTextKeepCaret(DateToStr(FDateValue));
}

TDateTime TPsgSpinEdit::TimeValue() const
{
    TDateTime t = 0;
    return TryStrToTime(Text(), t) ? t : 0;
}

void TPsgSpinEdit::SetTimeValue(TDateTime Value)
{
    FTimeValue = Value;
    if (!IsLoading())
        SetTextKeepCaret(TimeToStr(Value));
}

void TPsgSpinEdit::SetSpinType(TPsgSpinType Value)
{
    FSpinType = Value;
    switch (Value) {
    case sptNormal: SetValue(this->Value()); break;
    case sptFloat: SetFloatValue(FloatValue()); break;
    case sptDate: SetDateValue(DateValue()); break;
    case sptTime: SetTimeValue(TimeValue()); break;
    }
}

void TPsgSpinEdit::SetPrecision(int Value)
{
    FPrecision = Value;
    if (FSpinType == sptFloat)
        SetFloatValue(FloatValue());
}

void TPsgSpinEdit::Loaded()
{
    TCustomEdit::Loaded();
    if (FSpinType == sptDate)
        SetText(DateToStr(FDateValue));
    else if (FSpinType == sptTime)
        SetText(TimeToStr(FTimeValue));
    SetSpinType(FSpinType);
}

// ---------------------------------------------------------------------------
// Stepping

int TPsgSpinEdit::CaretField(char Separator) const
{
    const String text = Text();
    const WideString wide = StrToWide(text);
    const int caret = SelStart();
    const auto first = wide.find(static_cast<wchar_t>(static_cast<unsigned char>(Separator)));
    if (first == WideString::npos || caret <= static_cast<int>(first))
        return 1;
    const auto second = wide.find(static_cast<wchar_t>(static_cast<unsigned char>(Separator)), first + 1);
    if (second == WideString::npos || caret <= static_cast<int>(second))
        return 2;
    return 3;
}

void TPsgSpinEdit::Step(int Sign, bool Page)
{
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    switch (FSpinType) {
    case sptNormal: SetValue(Value() + Sign * Increment); break;
    case sptFloat: SetFloatValue(FloatValue() + Sign * (Page ? 1.0 : IncrementFloat)); break;
    case sptDate: {
        const int field = CaretField(FormatSettings().DateSeparator);
        const TDateTime date = DateValue();
        const bool monthFirst = MonthFirst();
        TDateTime result = date;
        if (field == 3)
            result = IncYears(date, Sign);
        else if ((field == 1) == monthFirst)
            result = IncMonth(date, Sign);
        else
            result = date + Sign;
        SetDateValue(result);
        break;
    }
    case sptTime: {
        const int field = CaretField(FormatSettings().TimeSeparator);
        const TDateTime unit = field == 1 ? EncodeTime(1, 0, 0, 0) : field == 2 ? EncodeTime(0, 1, 0, 0)
                                                                                : EncodeTime(0, 0, 1, 0);
        TDateTime t = TimeValue();
        if (Sign > 0) {
            t += unit;
        } else {
            // Down past midnight wraps to the previous evening.
            t = t + 1 - unit;
            if (t > 1)
                t -= 1;
        }
        SetTimeValue(t);
        break;
    }
    }
}

void TPsgSpinEdit::StepUp(bool Page) { Step(1, Page); }
void TPsgSpinEdit::StepDown(bool Page) { Step(-1, Page); }
void TPsgSpinEdit::UpButtonClick(TObject*) { StepUp(false); }
void TPsgSpinEdit::DownButtonClick(TObject*) { StepDown(false); }

// ---------------------------------------------------------------------------
// Characters

bool TPsgSpinEdit::IsValidChar(char Key)
{
    if (Key == VK_BACK)
        return FEditorEnabled;
    const TFormatSettings& fs = FormatSettings();
    const auto code = static_cast<unsigned char>(Key);
    const bool numberType = FSpinType == sptNormal || FSpinType == sptFloat;
    const auto special = [&](char C) { return C == fs.DecimalSeparator || C == fs.ThousandSeparator || C == '-' || C == '+'; };
    // Enter and Ctrl+Enter (LF) would break the one-line value in the
    // multi-line window.
    bool result = Key == fs.DecimalSeparator || Key == fs.ThousandSeparator || Key == fs.TimeSeparator ||
                  Key == fs.DateSeparator || Key == '-' || IsDigit(Key) ||
                  (code < 32 && Key != VK_RETURN && Key != '\n');
    if (Key == fs.TimeSeparator && FSpinType != sptTime && !(special(Key) && numberType))
        result = false;
    if (Key == fs.DateSeparator && FSpinType != sptDate && !(special(Key) && numberType))
        result = false;
    const String text = Text();
    const int selStart = HandleAllocated() ? SelStart() : 0;
    const int selLength = HandleAllocated() ? SelLength() : 0;
    if (Key == '-' && (HoldsUncovered(text, '-', selStart, selLength) || selStart != 0))
        result = false;
    // Control characters (the clipboard keys) keep their decision from
    // above; the type rules limit what is typed.
    const bool printable = code >= 32;
    if (FSpinType == sptNormal && printable)
        result = result && (Key == '-' || IsDigit(Key));
    if (FSpinType == sptFloat && printable) {
        if (Key == fs.ThousandSeparator)
            result = false;
        if (Key == fs.DecimalSeparator && HoldsUncovered(text, fs.DecimalSeparator, selStart, selLength))
            result = false;
        const auto p = text.find(fs.DecimalSeparator);
        if (FPrecision > 0 && p != String::npos && selStart > static_cast<int>(p) && selLength == 0 && result &&
            static_cast<int>(text.size()) >= static_cast<int>(p) + 1 + FPrecision)
            result = false;
    }
    if (FSpinType == sptTime && Key == fs.TimeSeparator &&
        std::count(text.begin(), text.end(), fs.TimeSeparator) >= 2)
        result = false;
    if (!FEditorEnabled && result && printable)
        result = false;
    return result;
}

void TPsgSpinEdit::KeyPress(char& Key)
{
    if (!IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (Key != 0)
        TCustomEdit::KeyPress(Key);
}

void TPsgSpinEdit::KeyDown(Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && ReturnIsTab) {
        Key = 0;
        PostMessageW(Handle(), WM_KEYDOWN, VK_TAB, 0);
        return;
    }
    if (Key == VK_DELETE && !FEditorEnabled) {
        Key = 0;
        return;
    }
    TCustomEdit::KeyDown(Key, Shift);
}

// The four stepping keys are taken before any key event sees them.
void TPsgSpinEdit::WMKeyDown(TMessage& Message)
{
    switch (Message.WParam) {
    case VK_PRIOR: StepUp(true); break;
    case VK_NEXT: StepDown(true); break;
    case VK_UP: StepUp(false); break;
    case VK_DOWN: StepDown(false); break;
    default: TCustomEdit::WndProc(Message); return;
    }
    Message.Result = 0;
}

// The keypad's decimal key (bit 22 of the key data, as the keyboard layer
// marks it) types the locale's separator.
void TPsgSpinEdit::WMChar(TMessage& Message)
{
    if (ExcelStyleDecimalSeparator && Message.WParam == '.' && (Message.LParam & (1 << 22)) != 0)
        Message.WParam = static_cast<unsigned char>(FormatSettings().DecimalSeparator);
    TCustomEdit::WndProc(Message);
}

void TPsgSpinEdit::WMPasteOrCut(TMessage& Message)
{
    if (!FEditorEnabled || ReadOnly()) {
        Message.Result = 0;
        return;
    }
    TCustomEdit::WndProc(Message);
}

void TPsgSpinEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN: WMKeyDown(Message); break;
    case WM_CHAR: WMChar(Message); break;
    case WM_PASTE:
    case WM_CUT: WMPasteOrCut(Message); break;
    default: TCustomEdit::WndProc(Message); break;
    }
}

// ---------------------------------------------------------------------------
// Focus

void TPsgSpinEdit::DoEnter()
{
    const bool pressing = GetKeyState(VK_LBUTTON) < 0;
    if (AutoSelect && (!pressing || !FEditorEnabled))
        SelectAll();
    TCustomEdit::DoEnter();
}

void TPsgSpinEdit::DoExit()
{
    switch (FSpinType) {
    case sptNormal: if (ClampValue(Value()) != Value()) SetValue(Value()); break;
    case sptFloat: if (ClampFloat(FloatValue()) != FloatValue()) SetFloatValue(FloatValue()); break;
    case sptDate: if (ClampDate(DateValue()) != DateValue()) SetDateValue(DateValue()); break;
    case sptTime: break;
    }
    TCustomEdit::DoExit();
}

// ---------------------------------------------------------------------------
// Look and layout

void TPsgSpinEdit::SetDirection(TSpinDirection Value)
{
    FDirection = Value;
    FButton->SetDirection(Value);
    Relayout();
}

void TPsgSpinEdit::SetEditAlign(TEditAlign Value)
{
    if (Value == FEditAlign)
        return;
    FEditAlign = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TPsgSpinEdit::SetSpinFlat(bool Value)
{
    FButton->UpButton()->SetFlat(Value);
    FButton->DownButton()->SetFlat(Value);
    FSpinFlat = Value;
}

void TPsgSpinEdit::SetSpinTransparent(bool Value)
{
    FButton->UpButton()->SetTransparent(Value);
    FButton->DownButton()->SetTransparent(Value);
    FSpinTransparent = Value;
    Relayout();
}

void TPsgSpinEdit::SetBorderStyle(TBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
    Relayout();
}

void TPsgSpinEdit::SetIsWinXP(bool Value)
{
    FButton->SetIsWinXP(Value);
}

// One pixel wider and back: the button and the text rectangle follow.
void TPsgSpinEdit::Relayout()
{
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

void TPsgSpinEdit::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    const DWORD align = FEditAlign == eaRight ? ES_RIGHT : FEditAlign == eaCenter ? ES_CENTER : 0;
    EditButtonParams(Params, align, FBorderStyle);
}

void TPsgSpinEdit::CreateWnd()
{
    TCustomEdit::CreateWnd();
    SetEditRect();
}

// The text stays left of the button.
TRect TPsgSpinEdit::FormattingRect() const
{
    const int inset = FBorderStyle == bsNone ? 1 : 0;
    return Rect(inset, inset, ClientWidth() - FButton->Width() - 2 - inset, ClientHeight() + 1);
}

void TPsgSpinEdit::SetEditRect()
{
    if (!HandleAllocated())
        return;
    RECT r = FormattingRect();
    SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

int TPsgSpinEdit::GetMinHeight()
{
    int result = EditLineHeight(Font()) + 2;
    if (FBorderStyle == bsSingle)
        result += 4 * GetSystemMetrics(SM_CYBORDER);
    return result;
}

void TPsgSpinEdit::Resize()
{
    TCustomEdit::Resize();
    if (PlaceEditButton(*this, *FButton, GetMinHeight(), Ctl3D, FBorderStyle))
        SetEditRect();
}

#include "grid/interaction/ProDateTimePicker.h"

#include <commctrl.h>

#include <cmath>
#include <vector>

#include "framework/Codepage.h"
#include "framework/CommonControls.h"
#include "visuals/ProXPVS.h"

namespace {

SYSTEMTIME ToSystemTime(TDateTime Value)
{
    Integer y = 0, mo = 0, d = 0;
    int h, mi, s, ms;
    DecodeDate(Value, y, mo, d);
    DecodeTime(Value, h, mi, s, ms);
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(mo);
    t.wDay = static_cast<WORD>(d);
    t.wHour = static_cast<WORD>(h);
    t.wMinute = static_cast<WORD>(mi);
    t.wSecond = static_cast<WORD>(s);
    t.wMilliseconds = static_cast<WORD>(ms);
    return t;
}

TDateTime FromSystemTime(const SYSTEMTIME& T)
{
    TDateTime date = 0;
    TryEncodeDate(T.wYear, T.wMonth, T.wDay, date);
    return ComposeDateTime(date, EncodeTime(T.wHour, T.wMinute, T.wSecond, T.wMilliseconds));
}

TDateTime TimePart(TDateTime Value) { return std::fabs(Value - std::trunc(Value)); }

} // namespace

int GetFileVersion(const String& FileName)
{
    const WideString name = StrToWide(FileName);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &handle);
    if (size == 0)
        return -1;
    std::vector<Byte> data(size);
    if (!GetFileVersionInfoW(name.c_str(), 0, size, data.data()))
        return -1;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
        info->dwSignature != 0xFEEF04BD)
        return -1;
    return static_cast<int>(info->dwFileVersionMS);
}

// ---------------------------------------------------------------------------
// TCustomDateTimePicker

TCustomDateTimePicker::TCustomDateTimePicker(TComponent* AOwner)
    : TWinControl(AOwner), FDateTime(NowDateTime()), FIsThemed(((GetFileVersion("COMCTL32.DLL") >> 16) & 0xFF) > 5 &&
                                                                GetFileVersion("COMCTL32.DLL") != -1)
{
    InitCommonControlClasses(ICC_DATE_CLASSES);
    ControlStyle |= csClickEvents;
    SetTabStop(true);
    SetColor(clWindow);
    SetDoubleBuffered(true);
    SetBounds(0, 0, 186, 21);
}

TCustomDateTimePicker::~TCustomDateTimePicker()
{
    Destroying();
    DestroyHandle();
}

void TCustomDateTimePicker::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    AddRightToLeftStyles(Params);
    Params.SysClassName = DATETIMEPICK_CLASSW;
    Params.Style |= FPlatformKind == dtkTime ? DTS_TIMEFORMAT : DTS_SHORTDATEFORMAT;
    // The border area, which PaintBorder draws flat while Ctl3D is off.
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomDateTimePicker::CreateWnd()
{
    TWinControl::CreateWnd();
    SYSTEMTIME t = ToSystemTime(FDateTime);
    SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
    if (!FFormat.empty())
        SendMessageW(Handle(), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(StrToWide(FFormat).c_str()));
}

void TCustomDateTimePicker::DestroyWnd()
{
    FDateTime = PickerDateTime();
    TWinControl::DestroyWnd();
}

TDateTime TCustomDateTimePicker::PickerDateTime() const
{
    if (!HandleAllocated())
        return FDateTime;
    SYSTEMTIME t{};
    if (SendMessageW(const_cast<TCustomDateTimePicker*>(this)->Handle(), DTM_GETSYSTEMTIME, 0,
                     reinterpret_cast<LPARAM>(&t)) != GDT_VALID)
        return FDateTime;
    return FromSystemTime(t);
}

void TCustomDateTimePicker::SetPickerDateTime(TDateTime Value)
{
    FDateTime = Value;
    if (HandleAllocated()) {
        SYSTEMTIME t = ToSystemTime(Value);
        SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
    }
}

TDateTime TCustomDateTimePicker::PickerTime() const
{
    return TimePart(PickerDateTime());
}

void TCustomDateTimePicker::SetPickerTime(TDateTime Value)
{
    SetPickerDateTime(ComposeDateTime(PickerDateTime(), Value));
}

void TCustomDateTimePicker::SetPlatformKind(TDateTimeKind Value)
{
    if (Value == FPlatformKind)
        return;
    FPlatformKind = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomDateTimePicker::SetFormat(const String& Value)
{
    FFormat = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), DTM_SETFORMATW, 0,
                     reinterpret_cast<LPARAM>(Value.empty() ? nullptr : StrToWide(Value).c_str()));
}

WideString TCustomDateTimePicker::DisplayText() const
{
    if (!HandleAllocated())
        return WideString();
    HWND wnd = const_cast<TCustomDateTimePicker*>(this)->Handle();
    wchar_t buffer[256] = {};
    GetWindowTextW(wnd, buffer, 256);
    if (buffer[0] != 0)
        return buffer;
    // Pickers that keep their text to themselves: the same text from the locale.
    SYSTEMTIME t = ToSystemTime(PickerDateTime());
    const WideString format = StrToWide(FFormat);
    if (FPlatformKind == dtkTime)
        GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, format.empty() ? nullptr : format.c_str(), buffer, 256);
    else
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, format.empty() ? nullptr : format.c_str(), buffer, 256);
    return buffer;
}

void TCustomDateTimePicker::SetBorderStyle(TBorderStyle Value)
{
    FBorderStyle = Value;
    Invalidate();
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TCustomDateTimePicker::SetBorderColor(TColor Value)
{
    FBorderColor = Value;
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TCustomDateTimePicker::SetCtl3D(bool Value)
{
    FCtl3D = Value;
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

TSize TCustomDateTimePicker::MeasureText(const WideString& Text)
{
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    RECT r{0, 0, 1000, 200};
    DrawTextW(dc, Text.c_str(), static_cast<int>(Text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    return TSize{r.right - r.left, r.bottom - r.top};
}

void TCustomDateTimePicker::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomDateTimePicker::CNNotify(TMessage& Message)
{
    const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (header->code == DTN_DATETIMECHANGE)
        Change();
    else if (header->code == DTN_CLOSEUP && OnCloseUp)
        OnCloseUp(this);
    Message.Result = 0;
}

COLORREF TCustomDateTimePicker::BorderPenColor() const
{
    const TColor parentColor = Parent() != nullptr ? Parent()->Brush()->Color() : clBtnFace;
    if (FBorderStyle == bsNone)
        return ColorToRGB(parentColor);
    return FIsThemed ? RGB(0x7F, 0x9D, 0xB9) : ColorToRGB(FBorderColor);
}

// The flat border: a one-pixel outline in the border colour (the parent's
// colour for bsNone), and an inner line top and left in the parent's colour.
void TCustomDateTimePicker::PaintBorder(bool InnerLine)
{
    if (FCtl3D || !HandleAllocated())
        return;
    HDC dc = GetWindowDC(Handle());
    RECT wr;
    GetWindowRect(Handle(), &wr);
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    HPEN pen = CreatePen(PS_SOLID, 1, BorderPenColor());
    HGDIOBJ old = SelectObject(dc, pen);
    const POINT outline[] = {{0, h}, {0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}};
    Polyline(dc, outline, 5);
    SelectObject(dc, old);
    DeleteObject(pen);
    if (InnerLine && Parent() != nullptr) {
        HPEN inner = CreatePen(PS_SOLID, 1, ColorToRGB(Parent()->Brush()->Color()));
        old = SelectObject(dc, inner);
        const POINT line[] = {{1, h - 2}, {1, 1}, {w - 1, 1}};
        Polyline(dc, line, 3);
        SelectObject(dc, old);
        DeleteObject(inner);
    }
    ReleaseDC(Handle(), dc);
}

void TCustomDateTimePicker::WMNCPaint(TMessage& Message)
{
    DefaultHandler(Message);
    PaintBorder(true);
    Message.Result = 0;
}

void TCustomDateTimePicker::WMPaint(TMessage& Message)
{
    TWinControl::WndProc(Message);
    if (HasVistaApi())
        PaintBorder(false);
}

void TCustomDateTimePicker::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: CNNotify(Message); break;
    case WM_NCPAINT: WMNCPaint(Message); break;
    case WM_PAINT: WMPaint(Message); break;
    default: TWinControl::WndProc(Message); break;
    }
}

// ---------------------------------------------------------------------------
// TProDateTimePicker

TProDateTimePicker::TProDateTimePicker(TComponent* AOwner) : TCustomDateTimePicker(AOwner)
{
    TCustomDateTimePicker::SetBorderStyle(bsSingle);
    SetCtl3D(true);
}

TProDateTimePicker::~TProDateTimePicker()
{
    Destroying();
    DestroyHandle();
}

void TProDateTimePicker::CreateTimePicker()
{
    FTimePicker = new TCustomDateTimePicker(this);
    FTimePicker->SetBounds(0, 0, 90, 17);
    FTimePicker->SetVisible(false);
    FTimePicker->SetEnabled(Enabled());
    FTimePicker->SetPlatformKind(dtkTime);
    FTimePicker->SetTabStop(false);
    FTimePicker->SetParent(this);
    FTimePicker->OnChange = [this](TObject* Sender) { TimePickerChange(Sender); };
    FTimePicker->OnClick = [this](TObject*) { DoClick(); };
    FTimePicker->OnKeyPress = [this](TObject*, char& Key) { TimePickerKeyPress(Key); };
}

void TProDateTimePicker::ApplyKind()
{
    SetPlatformKind(FKind == dkTime ? dtkTime : dtkDate);
    if (FKind == dkDateTime && FTimePicker == nullptr)
        CreateTimePicker();
    LayoutTimePicker();
}

void TProDateTimePicker::SetKind(TProDateTimeKind Value)
{
    if (Value == FKind)
        return;
    FKind = Value;
    ApplyKind();
}

void TProDateTimePicker::CreateWnd()
{
    TCustomDateTimePicker::CreateWnd();
    ApplyKind();
}

TDateTime TProDateTimePicker::Time() const
{
    if (FKind == dkDateTime && FTimePicker != nullptr)
        return FTimePicker->PickerTime();
    return PickerTime();
}

void TProDateTimePicker::SetTime(TDateTime Value)
{
    SetPickerTime(Value);
    LayoutTimePicker();
}

TDateTime TProDateTimePicker::DateTime()
{
    if (FTimePicker != nullptr)
        SetPickerTime(FTimePicker->PickerTime());
    return PickerDateTime();
}

// Whole seconds: the milliseconds are dropped.
void TProDateTimePicker::SetDateTime(TDateTime Value)
{
    int h, m, s, ms;
    DecodeTime(Value, h, m, s, ms);
    const TDateTime v = ComposeDateTime(Value, EncodeTime(h, m, s, 0));
    SetPickerDateTime(v);
    if (FTimePicker != nullptr)
        FTimePicker->SetPickerDateTime(v);
}

String TProDateTimePicker::TimeFormat() const
{
    return FTimePicker != nullptr ? FTimePicker->Format() : String();
}

void TProDateTimePicker::SetTimeFormat(const String& Value)
{
    if (FTimePicker != nullptr)
        FTimePicker->SetFormat(Value);
    LayoutTimePicker();
}

void TProDateTimePicker::SetBorderStyle(TBorderStyle Value)
{
    TCustomDateTimePicker::SetBorderStyle(Value);
    LayoutTimePicker();
}

void TProDateTimePicker::Resize()
{
    TCustomDateTimePicker::Resize();
    LayoutTimePicker();
}

void TProDateTimePicker::ColorChanged()
{
    TCustomDateTimePicker::ColorChanged();
    LayoutTimePicker();
}

void TProDateTimePicker::FontChanged()
{
    TCustomDateTimePicker::FontChanged();
    LayoutTimePicker();
}

void TProDateTimePicker::EnabledChanged()
{
    TCustomDateTimePicker::EnabledChanged();
    if (FTimePicker != nullptr)
        FTimePicker->SetEnabled(Enabled());
}

// The time picker sits in the right part of the date picker, as wide as
// its text needs.
void TProDateTimePicker::LayoutTimePicker()
{
    if (FTimePicker == nullptr)
        return;
    FTimePicker->SetColor(Color());
    FTimePicker->SetEnabled(Enabled());
    FTimePicker->SetVisible(FKind == dkDateTime);
    FTimePicker->SetPickerDateTime(PickerDateTime());
    FTimePicker->SetFont(Font());
    if (IsDesigning() && !FTimePicker->Visible()) {
        TCustomDateTimePicker* picker = FTimePicker;
        FTimePicker = nullptr;
        delete picker;
        return;
    }
    if (!HandleAllocated())
        return;
    FTimePicker->HandleNeeded();
    WideString text = FTimePicker->DisplayText();
    if (text.size() > 255)
        text.resize(255);
    const int w = MeasureText(text).cx + 31;
    if (HasVistaApi()) {
        const int b = 0;   // no bevels on these pickers
        FTimePicker->SetBounds(Width() - w - 34 - b, 1, w, Height() - 2 - b);
    } else {
        FTimePicker->SetBounds(Width() - w - 21, -2, w, Height());
    }
}

void TProDateTimePicker::TimePickerChange(TObject*)
{
    DoChange();
    if (OnTimeChanged)
        OnTimeChanged(this);
}

void TProDateTimePicker::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TProDateTimePicker::DoClick()
{
    if (OnClick)
        OnClick(this);
}

void TProDateTimePicker::TimePickerKeyPress(char&) {}

void TProDateTimePicker::Change()
{
    DoChange();
}

void TProDateTimePicker::Click()
{
    DoClick();
}

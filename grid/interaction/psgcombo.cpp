#include "grid/interaction/psgcombo.h"

#include "framework/Form.h"
#include "visuals/ProXPVS.h"

#include <vssym32.h>
#include "grid/interaction/ProDateTimePicker.h"

int ComCtlMajorVersion()
{
    static const int major = [] {
        const int v = GetFileVersion("COMCTL32.DLL");
        return v == -1 ? -1 : (v >> 16) & 0xFF;
    }();
    return major;
}

void SetComboDropWidth(TWinControl& Combo, int Width)
{
    if (Width > 0 && Combo.HandleAllocated())
        SendMessageW(Combo.Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(Width), 0);
}

void SwapFlatComboColor(TControl& Combo, TColor& OldColor, bool& OldParentColor)
{
    if (!Combo.Enabled()) {
        OldParentColor = Combo.ParentColor();
        OldColor = Combo.Color();
        Combo.SetParentColor(true);
    } else {
        Combo.SetColor(OldColor);
        Combo.SetParentColor(OldParentColor);
    }
}

// ---------------------------------------------------------------------------
// The flat face

void DrawFlatComboButton(HDC DC, const TFlatComboFace& Face)
{
    RECT r;
    GetWindowRect(Face.Window, &r);
    OffsetRect(&r, -r.left, -r.top);
    r.left = Face.ClientWidth - Face.ButtonWidth;
    const bool pressed = GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0;
    HTHEME theme = Face.Themed && ThemesAvailable() ? ThemeApi().OpenThemeData(Face.Window, L"combobox") : nullptr;
    if (theme != nullptr || Face.Unicode) {
        InflateRect(&r, -1, -1);
    } else {
        InflateRect(&r, 0, -1);
        OffsetRect(&r, -2, 1);
    }
    if (theme != nullptr) {
        ThemeApi().DrawThemeBackground(theme, DC, CP_DROPDOWNBUTTON, pressed ? 3 : 1, &r, nullptr);
        ThemeApi().CloseThemeData(theme);
    } else {
        DrawFrameControl(DC, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_FLAT);
    }
    ExcludeClipRect(DC, Face.ClientWidth - Face.ButtonWidth - 4, 0, Face.ClientWidth + 2, Face.ClientHeight);
}

void DrawFlatComboBorder(HDC DC, const TFlatComboFace& Face)
{
    RECT r;
    GetWindowRect(Face.Window, &r);
    OffsetRect(&r, -r.left, -r.top);
    HBRUSH outer = CreateSolidBrush(ColorToRGB(Face.Highlighted ? clBtnFace : Face.ParentColor));
    HBRUSH inner = CreateSolidBrush(ColorToRGB(Face.Color));
    if (Face.Highlighted) {
        DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        FrameRect(DC, &r, outer);
    } else {
        FrameRect(DC, &r, outer);
        // The 8-bit face leaves the second ring to the themed common controls.
        if (Face.Unicode || !(Face.Themed && ComCtlMajorVersion() > 5)) {
            InflateRect(&r, -1, -1);
            FrameRect(DC, &r, outer);
        }
    }
    // The ring in the control's colour: on the 8-bit face only while highlighted.
    if (Face.Highlighted || Face.Unicode) {
        InflateRect(&r, -1, -1);
        FrameRect(DC, &r, inner);
    }
    DeleteObject(outer);
    DeleteObject(inner);
}

void DrawFlatComboButtonEdge(HDC DC, const TFlatComboFace& Face)
{
    if (Face.Themed && !Face.Unicode)
        return;
    const int cw = Face.ClientWidth;
    const int ch = Face.ClientHeight;
    ExcludeClipRect(DC, cw - Face.ButtonWidth + 4, 4, cw - 4, ch - 4);
    RECT r;
    GetWindowRect(Face.Window, &r);
    OffsetRect(&r, -r.left, -r.top);
    r.left = cw - Face.ButtonWidth - (Face.Unicode ? 2 : 4);
    InflateRect(&r, -2, -2);
    if (!Face.Unicode) {
        r.right += 1;
        r.bottom += 2;
        DrawEdge(DC, &r, Face.Etched ? EDGE_ETCHED : EDGE_RAISED, BF_RECT);
    } else if (Face.Active) {
        // Raised (or etched) while the control is active, flat while the list is open.
        DrawEdge(DC, &r, Face.Etched ? EDGE_ETCHED : EDGE_RAISED, BF_RECT | (Face.DroppedDown ? BF_FLAT : 0));
    } else {
        // Inactive: a plain face.
        InflateRect(&r, 0, -1);
        r.right -= 1;
        FillRect(DC, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    ExcludeClipRect(DC, r.left, r.top, r.right, r.bottom);
}

void PaintFlatComboFrame(const TFlatComboFace& Face)
{
    HDC dc = GetWindowDC(Face.Window);
    DrawFlatComboBorder(dc, Face);
    if (!Face.RightToLeft)
        DrawFlatComboButtonEdge(dc, Face);
    ReleaseDC(Face.Window, dc);
}

void PaintFlatCombo(const TFlatComboFace& Face, const TMessage& Message, const std::function<void(TMessage&)>& Default)
{
    PAINTSTRUCT ps{};
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const bool began = dc == nullptr;
    if (began)
        dc = BeginPaint(Face.Window, &ps);
    const int saved = SaveDC(dc);
    RECT client{0, 0, Face.ClientWidth, Face.ClientHeight};
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Face.Color));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    if (!Face.RightToLeft)
        DrawFlatComboButton(dc, Face);
    TMessage inner{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    Default(inner);
    RestoreDC(dc, saved);
    if (began)
        EndPaint(Face.Window, &ps);
    PaintFlatComboFrame(Face);
}

void InvalidateFlatComboButton(const TFlatComboFace& Face)
{
    if (Face.Window == nullptr)
        return;
    RECT r{Face.ClientWidth - Face.ButtonWidth, 0, Face.ClientWidth, Face.ClientHeight};
    InvalidateRect(Face.Window, &r, FALSE);
}

// ---------------------------------------------------------------------------
// TPSGCustomCombo

TPSGCustomCombo::TPSGCustomCombo(TComponent* AOwner)
    : TCustomComboBox(AOwner), FButtonWidth(GetSystemMetrics(SM_CXVSCROLL) + 4), FOldColor(Color())
{
    FOldParentColor = ParentColor();
}

TPSGCustomCombo::~TPSGCustomCombo()
{
    Destroying();
    DestroyHandle();
}

void TPSGCustomCombo::SetFlat(bool Value)
{
    FFlat = Value;
    Ctl3D = !Value;
    Invalidate();
}

void TPSGCustomCombo::SetEtched(bool Value)
{
    FEtched = Value;
    Invalidate();
}

void TPSGCustomCombo::SetButtonWidth(int Value)
{
    if (Value < 14 || Value > 32)
        return;
    FButtonWidth = Value;
    Invalidate();
}

void TPSGCustomCombo::SetDropWidth(int Value)
{
    FDropWidth = Value;
    SetComboDropWidth(*this, Value);
}

void TPSGCustomCombo::CreateWnd()
{
    TCustomComboBox::CreateWnd();
    SetComboDropWidth(*this, FDropWidth);
}

int TPSGCustomCombo::GetVersionNr() const
{
    return static_cast<int>((1u << 24) | (2u << 16) | (0u << 8) | 1u);
}

String TPSGCustomCombo::Version() const
{
    const auto nr = static_cast<unsigned>(GetVersionNr());
    return std::to_string(nr >> 24) + "." + std::to_string((nr >> 16) & 0xFF) + "." +
           std::to_string((nr >> 8) & 0xFF) + "." + std::to_string(nr & 0xFF);
}

bool TPSGCustomCombo::IsHighlighted() const
{
    if (IsDesigning() || !FocusBorder)
        return false;
    return FMouseInside || Focused();
}

TFlatComboFace TPSGCustomCombo::Face() const
{
    TFlatComboFace F = FlatComboFaceOf(*this);
    F.RightToLeft = F.Window != nullptr && (GetWindowLongPtrW(F.Window, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    return F;
}

void TPSGCustomCombo::PaintFlat()
{
    if (FFlat && HandleAllocated())
        PaintFlatComboFrame(Face());
}

void TPSGCustomCombo::WMPaint(TMessage& Message)
{
    if (!FFlat) {
        TCustomComboBox::WndProc(Message);
        return;
    }
    PaintFlatCombo(Face(), Message, [this](TMessage& Inner) { DefaultHandler(Inner); });
    Message.Result = 0;
}

void TPSGCustomCombo::CMMouseEnter(TMessage& Message)
{
    TCustomComboBox::WndProc(Message);
    if (!FMouseInside && EffectivelyEnabled()) {
        FMouseInside = true;
        PaintFlat();
    }
    if (AutoFocus && CanFocus() && !Focused())
        SetFocus();
}

void TPSGCustomCombo::CMMouseLeave(TMessage& Message)
{
    TCustomComboBox::WndProc(Message);
    if (FMouseInside) {
        FMouseInside = false;
        PaintFlat();
    }
}

void TPSGCustomCombo::CNCommand(TMessage& Message)
{
    const auto code = HIWORD(Message.WParam);
    TCustomComboBox::WndProc(Message);
    if (code == CBN_DROPDOWN || code == CBN_CLOSEUP)
        InvalidateFlatComboButton(Face());
}

void TPSGCustomCombo::DoEnter()
{
    TCustomComboBox::DoEnter();
    if (!IsDesigning())
        PaintFlat();
}

void TPSGCustomCombo::DoExit()
{
    TCustomComboBox::DoExit();
    if (!IsDesigning())
        PaintFlat();
}

// Disabled, a flat combo shows its parent's colour.
void TPSGCustomCombo::EnabledChanged()
{
    if (FFlat)
        SwapFlatComboColor(*this, FOldColor, FOldParentColor);
    TCustomComboBox::EnabledChanged();
}

void TPSGCustomCombo::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); break;
    case WM_NCPAINT: TCustomComboBox::WndProc(Message); PaintFlat(); break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CN_COMMAND: CNCommand(Message); break;
    default: TCustomComboBox::WndProc(Message); break;
    }
}

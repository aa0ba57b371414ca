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

void PaintFlatComboClient(TWinControl& Combo, const TMessage& Message, const std::function<void(HDC)>& DrawButton,
                          const std::function<void(TMessage&)>& Default)
{
    PAINTSTRUCT ps{};
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const bool began = dc == nullptr;
    if (began)
        dc = BeginPaint(Combo.Handle(), &ps);
    const int saved = SaveDC(dc);
    RECT client{0, 0, Combo.ClientWidth(), Combo.ClientHeight()};
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Combo.Color()));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    DrawButton(dc);
    TMessage inner{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    Default(inner);
    RestoreDC(dc, saved);
    if (began)
        EndPaint(Combo.Handle(), &ps);
}

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

void TPSGCustomCombo::InvalidateButton()
{
    if (!HandleAllocated())
        return;
    RECT r{ClientWidth() - FButtonWidth, 0, ClientWidth(), ClientHeight()};
    InvalidateRect(Handle(), &r, FALSE);
}

// The drop-down button; the default painting must not draw over it, so its
// area leaves the clipping (also for the themed button, which the system
// combo box would otherwise paint over).
void TPSGCustomCombo::DrawButton(HDC DC)
{
    RECT window;
    GetWindowRect(Handle(), &window);
    OffsetRect(&window, -window.left, -window.top);
    RECT r = window;
    r.left = ClientWidth() - FButtonWidth;
    const bool pressed = GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0;
    HTHEME theme = IsWinXP && ThemesAvailable() ? ThemeApi().OpenThemeData(Handle(), L"combobox") : nullptr;
    if (theme != nullptr) {
        InflateRect(&r, -1, -1);
        ThemeApi().DrawThemeBackground(theme, DC, CP_DROPDOWNBUTTON, pressed ? 3 : 1, &r, nullptr);
        ThemeApi().CloseThemeData(theme);
    } else {
        InflateRect(&r, 0, -1);
        OffsetRect(&r, -2, 1);
        DrawFrameControl(DC, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_FLAT);
    }
    ExcludeClipRect(DC, ClientWidth() - FButtonWidth - 4, 0, ClientWidth() + 2, ClientHeight());
}

void TPSGCustomCombo::DrawBorder(HDC DC)
{
    RECT r;
    GetWindowRect(Handle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    const bool highlighted = IsHighlighted();
    TColor parentColor = clBtnFace;
    if (Parent() != nullptr)
        parentColor = Parent()->Brush()->Color();
    HBRUSH outer = CreateSolidBrush(ColorToRGB(highlighted ? clBtnFace : parentColor));
    HBRUSH inner = CreateSolidBrush(ColorToRGB(Color()));
    if (highlighted) {
        DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        FrameRect(DC, &r, outer);
        InflateRect(&r, -1, -1);
        FrameRect(DC, &r, inner);
    } else {
        FrameRect(DC, &r, outer);
        if (!(IsWinXP && ComCtlMajorVersion() > 5)) {
            InflateRect(&r, -1, -1);
            FrameRect(DC, &r, outer);
        }
    }
    DeleteObject(outer);
    DeleteObject(inner);
}

void TPSGCustomCombo::DrawButtonEdge(HDC DC)
{
    if (IsWinXP)
        return;
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    ExcludeClipRect(DC, cw - FButtonWidth + 4, 4, cw - 4, ch - 4);
    RECT r;
    GetWindowRect(Handle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    r.left = cw - FButtonWidth - 4;
    InflateRect(&r, -2, -2);
    r.right += 1;
    r.bottom += 2;
    DrawEdge(DC, &r, FEtched ? EDGE_ETCHED : EDGE_RAISED, BF_RECT);
    ExcludeClipRect(DC, r.left, r.top, r.right, r.bottom);
}

void TPSGCustomCombo::PaintFlat()
{
    if (!FFlat || !HandleAllocated())
        return;
    HDC dc = GetWindowDC(Handle());
    DrawBorder(dc);
    if ((GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) == 0)
        DrawButtonEdge(dc);
    ReleaseDC(Handle(), dc);
}

void TPSGCustomCombo::WMPaint(TMessage& Message)
{
    if (!FFlat) {
        TCustomComboBox::WndProc(Message);
        return;
    }
    PaintFlatComboClient(
        *this, Message,
        [this](HDC DC) {
            if ((GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) == 0)
                DrawButton(DC);
        },
        [this](TMessage& Inner) { DefaultHandler(Inner); });
    PaintFlat();
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
        InvalidateButton();
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

#include "framework/Control.h"

#include <windowsx.h>

#include "framework/Codepage.h"
#include "framework/Form.h"
#include "framework/Menus.h"
#include "framework/HintTools.h"
#include "framework/WinControl.h"

TShiftState KeyboardShiftState()
{
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0)
        s |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0)
        s |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0)
        s |= ssMiddle;
    return s;
}

TShiftState MouseShiftState(WPARAM WParam)
{
    TShiftState s = 0;
    if (WParam & MK_SHIFT)
        s |= ssShift;
    if (WParam & MK_CONTROL)
        s |= ssCtrl;
    if (WParam & MK_LBUTTON)
        s |= ssLeft;
    if (WParam & MK_RBUTTON)
        s |= ssRight;
    if (WParam & MK_MBUTTON)
        s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    return s;
}

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>())
{
    WindowProc = [this](TMessage& Message) { WndProc(Message); };
    FFont->OnChange = [this](TObject* Sender) { FontChange(Sender); };
}

TControl::~TControl()
{
    Destroying();
    HintToolRemoved(this);
    if (FParent != nullptr)
        FParent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    WindowProc(message);
    return message.Result;
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot be its own parent");
    if (FParent != nullptr)
        FParent->RemoveControl(this);
    if (AParent != nullptr) {
        AParent->InsertControl(this);
        Perform(CM_PARENTFONTCHANGED);
        Perform(CM_PARENTCOLORCHANGED);
        Perform(CM_PARENTSHOWHINTCHANGED);
        Perform(CM_PARENTBIDIMODECHANGED);
    }
    HintToolChanged(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (AWidth < 0)
        AWidth = 0;
    if (AHeight < 0)
        AHeight = 0;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    const bool resized = AWidth != FWidth || AHeight != FHeight;
    if (FParent != nullptr && FVisible)
        Invalidate();   // the old place of a window-less control
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    BoundsChanged();
    if (resized)
        Resize();
}

void TControl::BoundsChanged()
{
    Invalidate();
    HintToolChanged(this);
    RequestAlign();
}

void TControl::RequestAlign()
{
    if (FParent != nullptr && FAlign != alNone)
        FParent->Realign();
}

TRect TControl::ClientRect() const
{
    return Rect(0, 0, FWidth, FHeight);
}

void TControl::SetClientSize(int AWidth, int AHeight)
{
    const TRect r = ClientRect();
    SetBounds(FLeft, FTop, FWidth - RectWidth(r) + AWidth, FHeight - RectHeight(r) + AHeight);
}

TPoint TControl::ClientOrigin() const
{
    if (FParent == nullptr)
        return Point(FLeft, FTop);
    const TPoint p = FParent->ClientOrigin();
    return Point(p.x + FLeft, p.y + FTop);
}

TPoint TControl::ClientToScreen(TPoint P) const
{
    const TPoint o = ClientOrigin();
    return Point(P.x + o.x, P.y + o.y);
}

TPoint TControl::ScreenToClient(TPoint P) const
{
    const TPoint o = ClientOrigin();
    return Point(P.x - o.x, P.y - o.y);
}

void TControl::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    try {
        Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    } catch (...) {
        // A change that fails (a window that cannot be created, a handler
        // that raises) leaves the control as it was, to be tried again.
        FVisible = !Value;
        throw;
    }
    RequestAlign();
}

bool TControl::Showing() const
{
    return FVisible && (FParent == nullptr || FParent->Showing());
}

void TControl::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::EffectivelyEnabled() const
{
    return FEnabled && (FParent == nullptr || FParent->EffectivelyEnabled());
}

void TControl::SetText(const String& Value)
{
    if (Value == GetText())
        return;
    SetTextBuf(Value);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetParentFont(bool Value)
{
    FParentFont = Value;
    if (Value)
        Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChange(TObject*)
{
    // A font set by the program ends the following of the parent's font.
    if (!FFollowingParentFont)
        FParentFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetColor(TColor Value)
{
    FParentColor = false;
    if (Value == FColor)
        return;
    FColor = Value;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value)
{
    FParentColor = Value;
    if (Value)
        Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetHint(const String& Value)
{
    if (Value == FHint)
        return;
    FHint = Value;
    HintToolChanged(this);
}

void TControl::SetShowHint(bool Value)
{
    FParentShowHint = false;
    if (Value == FShowHint)
        return;
    FShowHint = Value;
    HintToolChanged(this);
    if (auto* w = dynamic_cast<TWinControl*>(this))
        w->Broadcast(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value)
{
    FParentShowHint = Value;
    if (Value)
        Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode Value)
{
    FParentBiDiMode = false;
    if (Value == FBiDiMode)
        return;
    FBiDiMode = Value;
    Perform(CM_BIDIMODECHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(this))
        w->Broadcast(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool Value)
{
    FParentBiDiMode = Value;
    if (Value)
        Perform(CM_PARENTBIDIMODECHANGED);
}

UINT TControl::DrawTextBiDiModeFlags(UINT Flags) const
{
    if (UseRightToLeftAlignment()) {
        if ((Flags & DT_RIGHT) != 0)
            Flags &= ~static_cast<UINT>(DT_RIGHT);
        else if ((Flags & DT_CENTER) == 0)
            Flags |= DT_RIGHT;
    }
    return Flags | DrawTextBiDiModeFlagsReadingOnly();
}

UINT TControl::DrawTextBiDiModeFlagsReadingOnly() const
{
    return UseRightToLeftReading() ? DT_RTLREADING : 0;
}

void TControl::SetCursor(TCursor Value)
{
    if (Value == FCursor)
        return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetAlign(TAlign Value)
{
    if (Value == FAlign)
        return;
    FAlign = Value;
    if (FParent != nullptr)
        FParent->Realign();
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (FPopupMenu != nullptr)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::Invalidate()
{
    if (FVisible)
        InvalidateArea();
}

// The control's area in its parent, whether the control shows or not: a
// window-less control that is hidden leaves its area to the parent to repaint.
void TControl::InvalidateArea()
{
    if (FParent != nullptr && FParent->HandleAllocated()) {
        const TRect r = BoundsRect();
        InvalidateRect(FParent->Handle(), &r, (ControlStyle & csOpaque) == 0 || !FVisible);
    }
}

void TControl::Update()
{
    if (FParent != nullptr)
        FParent->Update();
}

void TControl::BringToFront()
{
    if (FParent != nullptr)
        FParent->MoveControlToFront(this);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::FontChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::VisibleChanged() { InvalidateArea(); }
void TControl::EnabledChanged() { Invalidate(); }
void TControl::TextChanged() { Invalidate(); }
void TControl::BiDiModeChanged() { Invalidate(); }

void TControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: WMButtonDown(Message, mbLeft, false); break;
    case WM_RBUTTONDOWN: WMButtonDown(Message, mbRight, false); break;
    case WM_MBUTTONDOWN: WMButtonDown(Message, mbMiddle, false); break;
    case WM_LBUTTONDBLCLK: WMButtonDown(Message, mbLeft, true); break;
    case WM_RBUTTONDBLCLK: WMButtonDown(Message, mbRight, true); break;
    case WM_MBUTTONDBLCLK: WMButtonDown(Message, mbMiddle, true); break;
    case WM_LBUTTONUP: WMButtonUp(Message, mbLeft); break;
    case WM_RBUTTONUP: WMButtonUp(Message, mbRight); break;
    case WM_MBUTTONUP: WMButtonUp(Message, mbMiddle); break;
    case WM_MOUSEMOVE: WMMouseMove(Message); break;
    case CM_FONTCHANGED: FontChanged(); break;
    case CM_COLORCHANGED: ColorChanged(); break;
    case CM_VISIBLECHANGED: VisibleChanged(); break;
    case CM_ENABLEDCHANGED: EnabledChanged(); break;
    case CM_TEXTCHANGED: TextChanged(); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); break;
    case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(Message); break;
    case CM_BIDIMODECHANGED: BiDiModeChanged(); break;
    case CM_MOUSEENTER: if (OnMouseEnter) OnMouseEnter(this); break;
    case CM_MOUSELEAVE: if (OnMouseLeave) OnMouseLeave(this); break;
    default: DefaultHandler(Message); break;
    }
}

void TControl::DefaultHandler(TMessage& Message)
{
    Message.Result = 0;
}

void TControl::WMButtonDown(TMessage& Message, TMouseButton Button, bool Double)
{
    const int x = GET_X_LPARAM(Message.LParam);
    const int y = GET_Y_LPARAM(Message.LParam);
    TShiftState shift = MouseShiftState(Message.WParam);
    if (Double)
        shift |= ssDouble;
    if (Button == mbLeft)
        FClickPending = (ControlStyle & csClickEvents) != 0 && !Double;
    if (Double && Button == mbLeft && (ControlStyle & csDoubleClicks) != 0)
        DblClick();
    MouseDown(Button, shift, x, y);
    DefaultHandler(Message);
}

void TControl::WMButtonUp(TMessage& Message, TMouseButton Button)
{
    const int x = GET_X_LPARAM(Message.LParam);
    const int y = GET_Y_LPARAM(Message.LParam);
    if (Button == mbLeft && FClickPending) {
        FClickPending = false;
        const TRect client = ClientRect();
        const TPoint p = Point(x, y);
        if (PtInRect(&client, p))
            Click();
    }
    MouseUp(Button, MouseShiftState(Message.WParam), x, y);
    DefaultHandler(Message);
}

void TControl::WMMouseMove(TMessage& Message)
{
    MouseMove(MouseShiftState(Message.WParam), GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    DefaultHandler(Message);
}

void TControl::CMParentFontChanged(TMessage&)
{
    if (!FParentFont || FParent == nullptr)
        return;
    FFollowingParentFont = true;
    FFont->Assign(FParent->Font());
    FFollowingParentFont = false;
}

void TControl::CMParentColorChanged(TMessage&)
{
    if (!FParentColor || FParent == nullptr)
        return;
    SetColor(FParent->Color());
    FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage&)
{
    if (!FParentShowHint || FParent == nullptr)
        return;
    SetShowHint(FParent->ShowHint());
    FParentShowHint = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&)
{
    if (!FParentBiDiMode || FParent == nullptr)
        return;
    SetBiDiMode(FParent->BiDiMode());
    FParentBiDiMode = true;
}

TCustomForm* GetParentForm(const TControl* Control)
{
    const TControl* c = Control;
    while (c != nullptr && c->Parent() != nullptr)
        c = c->Parent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

namespace {

// CharUpperW converts a single character passed in the pointer's low word.
wchar_t UpperChar(wchar_t C)
{
    return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(C)))));
}

} // namespace

bool IsAccel(Word Char, const String& Caption)
{
    const WideString text = StrToWide(Caption);
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] == L'&') {
            ++i;
            continue;
        }
        return UpperChar(text[i + 1]) == UpperChar(static_cast<wchar_t>(Char));
    }
    return false;
}

// The spin edit's button: two repeat buttons side by side or one above the
// other, with their default arrow glyphs.
#include "grid/interaction/psgspin.h"

#include <algorithm>

#include "visuals/ProXPVS.h"

#include <vssym32.h>

namespace {

// The default glyph: a black arrow of 7 x 4 pixels on white, white being
// transparent. Up points up, otherwise down.
std::unique_ptr<TBitmap> DefaultSpinGlyph(bool Up)
{
    auto glyph = std::make_unique<TBitmap>(7, 4);
    glyph->Canvas()->Brush()->SetColor(clWhite);
    glyph->Canvas()->FillRect(Rect(0, 0, 7, 4));
    for (int row = 0; row < 4; ++row) {
        const int y = Up ? row : 3 - row;
        for (int x = 3 - row; x <= 3 + row; ++x)
            glyph->Canvas()->SetPixels(x, y, clBlack);
    }
    glyph->SetTransparentColor(clWhite);
    glyph->SetTransparent(true);
    return glyph;
}

} // namespace

// ---------------------------------------------------------------------------
// TProTimerSpeedButton

TProTimerSpeedButton::TProTimerSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

TProTimerSpeedButton::~TProTimerSpeedButton()
{
    Destroying();
}

void TProTimerSpeedButton::InvalidateParent()
{
    if (Parent() != nullptr)
        Parent()->Invalidate();
}

// The press itself does not click: the first repeat comes 400 ms later.
void TProTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && (TimeBtnState & tbAllowTimer) != 0) {
        if (!FRepeatTimer) {
            FRepeatTimer = std::make_unique<TTimer>(nullptr);
            FRepeatTimer->SetEnabled(false);
            FRepeatTimer->OnTimer = [this](TObject* Sender) { RepeatTick(Sender); };
        }
        FRepeatTimer->SetInterval(400);
        FRepeatTimer->SetEnabled(true);
    }
    InvalidateParent();
}

// The release clicks (in the framework's button-up handling) before the
// timer stops.
void TProTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
    InvalidateParent();
}

void TProTimerSpeedButton::RepeatTick(TObject*)
{
    FRepeatTimer->SetInterval(100);
    // The parent window holds the mouse for its window-less buttons.
    const bool captured = Parent() != nullptr && Parent()->HandleAllocated() && GetCapture() == Parent()->Handle();
    if (FState == bsDown && captured) {
        try {
            Click();
        } catch (...) {
            FRepeatTimer->SetEnabled(false);
            throw;
        }
    }
}

bool TProTimerSpeedButton::PaintThemed()
{
    if (!IsWinXP || !ThemesAvailable() || Parent() == nullptr)
        return false;
    HTHEME theme = ThemeApi().OpenThemeData(Parent()->Handle(), L"spin");
    if (theme == nullptr)
        return false;
    int part = SPNP_UP;
    if (Direction == tbdDown)
        part = SPNP_DOWN;
    else if (Direction == tbdRight)
        part = SPNP_UPHORZ;
    else if (Direction == tbdLeft)
        part = SPNP_DOWNHORZ;
    const int state = FState == bsDown ? 3 : MouseInside() ? 2 : 1;
    const TRect r = ClientRect();
    ThemeApi().DrawThemeBackground(theme, Canvas()->Handle(), part, state, &r, nullptr);
    ThemeApi().CloseThemeData(theme);
    return true;
}

void TProTimerSpeedButton::Paint()
{
    if (PaintThemed())
        return;
    if (Direction == tbdLeft || Direction == tbdRight) {
        TRect r = ClientRect();
        UINT state = Direction == tbdLeft ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
        if (FState == bsDown)
            state |= DFCS_PUSHED;
        if (Flat())
            state |= DFCS_FLAT;
        if (!EffectivelyEnabled())
            state |= DFCS_INACTIVE;
        DrawFrameControl(Canvas()->Handle(), &r, DFC_SCROLL, state);
        return;
    }
    TSpeedButton::Paint();
    if ((TimeBtnState & tbFocusRect) != 0) {
        TRect r = ClientRect();
        InflateRect(&r, -3, -3);
        Canvas()->DrawFocusRect(r);
    }
}

// ---------------------------------------------------------------------------
// TPsgSpinButton

TPsgSpinButton::TPsgSpinButton(TComponent* AOwner)
    : TWinControl(AOwner), FUpButton(new TProTimerSpeedButton(this)), FDownButton(new TProTimerSpeedButton(this)),
      FFocusedButton(FUpButton)
{
    ControlStyle = (ControlStyle & ~(csAcceptsControls | csSetCaption)) | csOpaque;
    SetColor(clBtnFace);
    for (TProTimerSpeedButton* b : {FUpButton, FDownButton}) {
        b->TimeBtnState |= tbAllowTimer;
        b->SetParent(this);
        b->OnClick = [this](TObject* Sender) { ButtonClick(Sender); };
        b->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
            ButtonMouseDown(Sender, Button, Shift, X, Y);
        };
    }
    FUpButton->Direction = tbdUp;
    FDownButton->Direction = tbdDown;
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
    SetBounds(0, 0, 15, 25);
}

TPsgSpinButton::~TPsgSpinButton()
{
    Destroying();
    DestroyHandle();
}

TBitmap* TPsgSpinButton::UpGlyph() const { return FUpButton->Glyph(); }
TBitmap* TPsgSpinButton::DownGlyph() const { return FDownButton->Glyph(); }
TNumGlyphs TPsgSpinButton::UpNumGlyphs() const { return FUpButton->NumGlyphs(); }
TNumGlyphs TPsgSpinButton::DownNumGlyphs() const { return FDownButton->NumGlyphs(); }
void TPsgSpinButton::SetUpNumGlyphs(TNumGlyphs Value) { FUpButton->SetNumGlyphs(Value); }
void TPsgSpinButton::SetDownNumGlyphs(TNumGlyphs Value) { FDownButton->SetNumGlyphs(Value); }

// No glyph given: the default arrow, one image.
void TPsgSpinButton::SetUpGlyph(const TBitmap* Value)
{
    if (Value != nullptr && !Value->Empty()) {
        FUpButton->SetGlyph(Value);
        return;
    }
    FUpButton->SetGlyph(DefaultSpinGlyph(true).get());
    FUpButton->SetNumGlyphs(1);
}

void TPsgSpinButton::SetDownGlyph(const TBitmap* Value)
{
    if (Value != nullptr && !Value->Empty()) {
        FDownButton->SetGlyph(Value);
        return;
    }
    FDownButton->SetGlyph(DefaultSpinGlyph(false).get());
    FDownButton->SetNumGlyphs(1);
}

void TPsgSpinButton::SetIsWinXP(bool Value)
{
    FIsWinXP = Value;
    FUpButton->IsWinXP = Value;
    FDownButton->IsWinXP = Value;
    Invalidate();
}

void TPsgSpinButton::SetDirection(TSpinDirection Value)
{
    if (Value == FDirection)
        return;
    FDirection = Value;
    if (HandleAllocated())
        RecreateWnd();
    if (Value == spHorizontal) {
        SetWidth(20);
        FUpButton->Direction = tbdRight;
        FDownButton->Direction = tbdLeft;
    } else {
        SetWidth(15);
        FUpButton->Direction = tbdUp;
        FDownButton->Direction = tbdDown;
    }
    LayoutButtons();
}

void TPsgSpinButton::Loaded()
{
    TWinControl::Loaded();
    LayoutButtons();
}

void TPsgSpinButton::Resize()
{
    TWinControl::Resize();
    LayoutButtons();
}

// Vertical: the up button the top half, the down button from one pixel
// above its bottom to the end; horizontal: the down button the left half,
// the up button from one pixel right of it to the end.
void TPsgSpinButton::LayoutButtons()
{
    if (IsLoading())
        return;
    if (FDirection == spVertical) {
        if (Width() < 15) {
            SetWidth(15);   // comes back here through Resize
            return;
        }
        const int half = Height() / 2;
        FUpButton->SetBounds(0, 0, Width(), half);
        FDownButton->SetBounds(0, half - 1, Width(), Height() - half + 1);
    } else {
        if (Width() < 20) {
            SetWidth(20);
            return;
        }
        const int half = Width() / 2;
        FDownButton->SetBounds(0, 0, half, Height());
        FUpButton->SetBounds(half + 1, 0, Width() - half - 1, Height());
    }
}

void TPsgSpinButton::SetFocusRect(bool Shown)
{
    for (TProTimerSpeedButton* b : {FUpButton, FDownButton})
        b->TimeBtnState &= ~tbFocusRect;
    if (Shown)
        FFocusedButton->TimeBtnState |= tbFocusRect;
    FUpButton->Invalidate();
    FDownButton->Invalidate();
}

void TPsgSpinButton::FocusButton(TProTimerSpeedButton* Button)
{
    if (!TabStop() || !CanFocus() || Button == FFocusedButton)
        return;
    FFocusedButton = Button;
    SetFocusRect(Focused());
}

// A press makes the button the focused one, then the focus goes to the
// edit (or the spin button itself) unless it is there already.
void TPsgSpinButton::ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int)
{
    if (Button != mbLeft)
        return;
    FocusButton(static_cast<TProTimerSpeedButton*>(Sender));
    if (FocusControl != nullptr && FocusControl->TabStop() && FocusControl->CanFocus() && !FocusControl->Focused())
        FocusControl->SetFocus();
    else if (TabStop() && CanFocus() && !Focused())
        SetFocus();
}

void TPsgSpinButton::ButtonClick(TObject* Sender)
{
    if (Sender == FUpButton) {
        if (OnUpClick)
            OnUpClick(this);
    } else if (OnDownClick) {
        OnDownClick(this);
    }
}

void TPsgSpinButton::KeyDown(Word& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_SPACE: FFocusedButton->Click(); break;
    case VK_UP: FocusButton(FUpButton); FUpButton->Click(); break;
    case VK_DOWN: FocusButton(FDownButton); FDownButton->Click(); break;
    default: break;
    }
    TWinControl::KeyDown(Key, Shift);
}

void TPsgSpinButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; break;
    case WM_SETFOCUS: TWinControl::WndProc(Message); SetFocusRect(true); break;
    case WM_KILLFOCUS: TWinControl::WndProc(Message); SetFocusRect(false); break;
    default: TWinControl::WndProc(Message); break;
    }
}

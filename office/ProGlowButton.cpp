// The glow button's model and behaviour: properties, mouse, keys, groups,
// drop-down, repeat and the fade animation.
#include "office/ProGlowButton.h"

#include <algorithm>
#include <set>

#include <windowsx.h>

#include "framework/Form.h"
#include "office/ShortCutHintWindow.h"

namespace {

// Buttons waiting to be freed by FreeLater, and the hidden window whose
// posted message frees them once the messages in progress are done.
constexpr UINT WM_FREEGLOWBUTTON = WM_APP + 0x318;

class TReleaseQueue {
public:
    std::set<TProCustomGlowButton*> Pending;
    THiddenWindow Window{[this](TMessage& Message) { Handle(Message); }};

private:
    void Handle(TMessage& Message)
    {
        if (Message.Msg != WM_FREEGLOWBUTTON) {
            Message.Result = DefWindowProcW(Window.Handle(), Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        auto* Button = reinterpret_cast<TProCustomGlowButton*>(Message.LParam);
        if (Pending.erase(Button) != 0)
            delete Button;
    }
};

TReleaseQueue& ReleaseQueue()
{
    static TReleaseQueue Queue;
    return Queue;
}

} // namespace

TProCustomGlowButton::TProCustomGlowButton(TComponent* AOwner)
    : TCustomControl(AOwner),
      FAppearance(std::make_unique<TGlowButtonAppearance>()),
      FPicture(std::make_unique<TGdiPlusPicture>()),
      FDisabledPicture(std::make_unique<TGdiPlusPicture>()),
      FHotPicture(std::make_unique<TGdiPlusPicture>()),
      FNotes(std::make_unique<TStringList>()),
      FNotesFont(std::make_unique<TFont>()),
      FOfficeHint(std::make_unique<TProHintInfo>())
{
    ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque | csSetCaption;
    SetBounds(Left(), Top(), 100, 41);
    SetDoubleBuffered(true);
    SetParentFont(true);
    SetTabStop(false);
    FNotesFont->SetName("Tahoma");
    FNotesFont->SetSize(8);
    FAppearance->OnChange = [this](TObject* Sender) { AppearanceChanged(Sender); };
    FPicture->OnChange = [this](TObject*) { UpdateSize(); };
    FDisabledPicture->OnChange = [this](TObject*) { UpdateSize(); };
}

TProCustomGlowButton::~TProCustomGlowButton()
{
    if (FFreeLaterPending)
        ReleaseQueue().Pending.erase(this);
    Destroying();
    delete FShortCutHintWindow;
    FShortCutHintWindow = nullptr;
}

void TProCustomGlowButton::FreeLater()
{
    Hide();
    FFreeLaterPending = true;
    if (ReleaseQueue().Pending.insert(this).second)
        PostMessageW(ReleaseQueue().Window.Handle(), WM_FREEGLOWBUTTON, 0, reinterpret_cast<LPARAM>(this));
}

String TProCustomGlowButton::Version() const
{
    const Cardinal V = GetVersionNr();
    return std::to_string(V >> 24) + "." + std::to_string((V >> 16) & 0xFF) + "." + std::to_string((V >> 8) & 0xFF) +
           "." + std::to_string(V & 0xFF);
}

// ---------------------------------------------------------------------------
// Property writes.

void TProCustomGlowButton::SetAntiAlias(TAntiAlias Value)
{
    if (Value == FAntiAlias)
        return;
    FAntiAlias = Value;
    Invalidate();
}

void TProCustomGlowButton::SetAutoSize(bool Value)
{
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    UpdateSize();
}

void TProCustomGlowButton::SetBorderStyle(TFormBorderStyle Value)
{
    FBorderStyle = Value;
    Invalidate();
}

void TProCustomGlowButton::SetImageIndex(int Value)
{
    FImageIndex = Value;
    UpdateSize();
}

void TProCustomGlowButton::SetImages(TImageList* Value)
{
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TProCustomGlowButton::SetDisabledImages(TImageList* Value)
{
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TProCustomGlowButton::SetHotImages(TImageList* Value)
{
    FHotImages = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TProCustomGlowButton::SetDropDownMenu(TPopupMenu* Value)
{
    FDropDownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TProCustomGlowButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FDisabledImages)
        FDisabledImages = nullptr;
    if (AComponent == FHotImages)
        FHotImages = nullptr;
    if (AComponent == FDropDownMenu)
        FDropDownMenu = nullptr;
}

void TProCustomGlowButton::SetMarginVert(int Value)
{
    if (Value == FMarginVert)
        return;
    FMarginVert = Value;
    UpdateSize();
}

void TProCustomGlowButton::SetMarginHorz(int Value)
{
    if (Value == FMarginHorz)
        return;
    FMarginHorz = Value;
    UpdateSize();
}

void TProCustomGlowButton::SetNotes(const TStrings* Value)
{
    if (Value)
        FNotes->Assign(Value);
    else
        FNotes->Clear();
    Invalidate();
}

void TProCustomGlowButton::SetNotesFont(const TFont* Value)
{
    FNotesFont->Assign(Value);
    Invalidate();
}

void TProCustomGlowButton::SetPosition(TButtonPosition Value)
{
    FPosition = Value;
    Invalidate();
}

void TProCustomGlowButton::SetRounded(bool Value)
{
    if (Value == FRounded)
        return;
    FRounded = Value;
    Invalidate();
}

void TProCustomGlowButton::SetShowCaption(bool Value)
{
    FShowCaption = Value;
    UpdateSize();
    Invalidate();
}

void TProCustomGlowButton::SetShowDisabled(bool Value)
{
    FShowDisabled = Value;
    Invalidate();
}

void TProCustomGlowButton::SetSpacing(int Value)
{
    if (Value == FSpacing)
        return;
    FSpacing = Value;
    Invalidate();
}

void TProCustomGlowButton::SetTrimming(StringTrimming Value)
{
    if (Value == FTrimming)
        return;
    FTrimming = Value;
    Invalidate();
}

void TProCustomGlowButton::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    Invalidate();
}

void TProCustomGlowButton::SetAllowAllUp(bool Value)
{
    if (Value == FAllowAllUp)
        return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TProCustomGlowButton::SetGroupIndex(int Value)
{
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TProCustomGlowButton::SetLayout(TButtonLayout Value)
{
    FLayout = Value;
    Invalidate();
}

void TProCustomGlowButton::SetMaxButtonSizeState(TButtonSizeState Value)
{
    if (Value == FMaxButtonSizeState)
        return;
    FMaxButtonSizeState = Value;
    SetButtonSizeState(Value);
}

void TProCustomGlowButton::SetMinButtonSizeState(TButtonSizeState Value)
{
    if (Value == FMinButtonSizeState)
        return;
    FMinButtonSizeState = Value;
    if (FSizeState < Value)
        SetButtonSizeState(Value);
}

void TProCustomGlowButton::SetDropDownButton(bool Value)
{
    if (Value == FDropDownButton)
        return;
    FDropDownButton = Value;
    UpdateSize();
    Invalidate();
}

void TProCustomGlowButton::SetDropDownPosition(TDropDownPosition Value)
{
    if (Value == FDropDownPosition)
        return;
    FDropDownPosition = Value;
    if (FDropDownButton)
        UpdateSize();
    Invalidate();
}

void TProCustomGlowButton::SetDropDownDirection(TDropDownDirection Value)
{
    if (Value == FDropDownDirection)
        return;
    FDropDownDirection = Value;
    Invalidate();
}

void TProCustomGlowButton::SetShortCutHintWindow(TShortCutHintWindow* Value)
{
    if (Value == FShortCutHintWindow)
        return;
    delete FShortCutHintWindow;
    FShortCutHintWindow = Value;
}

void TProCustomGlowButton::SetDown(bool Value)
{
    if (IsLoading())
        FLoadedDown = Value;
    if (FGroupIndex == 0 && FStyle == bsButton)
        Value = false;
    if (FStyle == bsCheck) {
        FDown = Value;
        FDrawState = Value ? 2 : 0;
        PaintNow();
        return;
    }
    if (Value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = Value;
    if (Value) {
        if (FDrawState == 0)
            Invalidate();
        FDrawState = 4;
    } else {
        FDrawState = 0;
        PaintNow();
    }
    if (Value)
        UpdateExclusive();
}

void TProCustomGlowButton::SetButtonSizeState(TButtonSizeState Value)
{
    if (Value == FSizeState)
        return;
    if (FSizeState == bsLarge) {
        FSavedLayout = FLayout;
        FSavedDropDownPosition = FDropDownPosition;
    }
    FSizeState = Value;
    if (FAutoSize) {
        if (Value == bsLarge) {
            FLayout = FSavedLayout;
            FDropDownPosition = FSavedDropDownPosition;
        } else {
            FLayout = blGlyphLeft;
            FDropDownPosition = dpRight;
        }
    }
    FSizePending = true;
    PaintNow();
}

// ---------------------------------------------------------------------------

void TProCustomGlowButton::SetComponentStyle(TComponentStylePreset AStyle)
{
    FAppearance->ApplyPreset(AStyle);
    Invalidate();
    if (FShortCutHintWindow) {
        FShortCutHintWindow->SetColor(clWhite);
        FShortCutHintWindow->SetColorTo(FAppearance->Color());
    }
}

void TProCustomGlowButton::AppearanceChanged(TObject*)
{
    Invalidate();
    if (FShortCutHintWindow) {
        FShortCutHintWindow->SetColor(clWhite);
        FShortCutHintWindow->SetColorTo(FAppearance->Color());
    }
}

void TProCustomGlowButton::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TProCustomGlowButton*>(Source);
    if (!S)
        return;
    SetAlign(S->Align());
    SetAntiAlias(S->FAntiAlias);
    SetAutoSize(S->FAutoSize);
    SetBorderStyle(S->FBorderStyle);
    FCancel = S->FCancel;
    SetCaption(S->Caption());
    FDefault = S->FDefault;
    SetFont(S->Font());
    SetImageIndex(S->FImageIndex);
    SetImages(S->FImages);
    SetDisabledImages(S->FDisabledImages);
    SetDisabledPicture(S->FDisabledPicture.get());
    FFocusType = S->FFocusType;
    SetHotImages(S->FHotImages);
    SetHotPicture(S->FHotPicture.get());
    SetMarginVert(S->FMarginVert);
    SetMarginHorz(S->FMarginHorz);
    FModalResult = S->FModalResult;
    SetNotes(S->FNotes.get());
    SetNotesFont(S->FNotesFont.get());
    SetOfficeHint(S->FOfficeHint.get());
    SetParentFont(S->ParentFont());
    SetPicture(S->FPicture.get());
    SetPopupMenu(S->PopupMenu());
    SetPosition(S->FPosition);
    FInitRepeatPause = S->FInitRepeatPause;
    FRepeatPause = S->FRepeatPause;
    FRepeatClick = S->FRepeatClick;
    SetRounded(S->FRounded);
    FShortCutHint = S->FShortCutHint;
    FShortCutHintPos = S->FShortCutHintPos;
    SetShowCaption(S->FShowCaption);
    SetShowDisabled(S->FShowDisabled);
    SetSpacing(S->FSpacing);
    FTransparent = S->FTransparent;
    SetTrimming(S->FTrimming);
    SetWordWrap(S->FWordWrap);
    SetShowHint(S->ShowHint());
    SetParentShowHint(S->ParentShowHint());
    if (S->TabOrder() >= 0)   // a source without a parent has no place to copy
        SetTabOrder(S->TabOrder());
    SetTabStop(S->TabStop());
    SetVisible(S->Visible());
}

void TProCustomGlowButton::Loaded()
{
    TCustomControl::Loaded();
    if (FLoadedDown != FDown)
        SetDown(FLoadedDown);
}

void TProCustomGlowButton::CreateWnd()
{
    TCustomControl::CreateWnd();
    FActiveDefault = FDefault;
}

void TProCustomGlowButton::Click()
{
    ++FClickDepth;
    try {
        if (TCustomForm* Form = GetParentForm(this))
            Form->SetModalResult(FModalResult);
        TCustomControl::Click();
    } catch (...) {
        --FClickDepth;
        throw;
    }
    --FClickDepth;
}

void TProCustomGlowButton::PaintNow()
{
    if (HandleAllocated())
        Repaint();
}

void TProCustomGlowButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !Parent())
        return;
    Parent()->Broadcast(CM_GLOWBUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this));
}

void TProCustomGlowButton::UpdateSize()
{
    if (FAutoSize) {
        FMeasuring = true;
        PaintNow();
        FMeasuring = false;
    } else {
        Invalidate();
    }
}

bool TProCustomGlowButton::HasFocusBorder()
{
    return HandleAllocated() && GetFocus() == Handle() && (FFocusType == ftBorder || FFocusType == ftHotBorder);
}

// ---------------------------------------------------------------------------
// Fades and tracking.

void TProCustomGlowButton::StartFade()
{
    if (FFading)
        return;
    if (!FFadeTimer) {
        FFadeTimer = std::make_unique<TTimer>(nullptr);
        FFadeTimer->OnTimer = [this](TObject* Sender) { FadeTimerTick(Sender); };
    }
    FFadeTimer->SetInterval(30);
    FFadeTimer->SetEnabled(true);
    FFading = true;
}

void TProCustomGlowButton::FadeTimerTick(TObject*)
{
    int* Step = FFadeKind == 0 ? &FHotStep : (FFadeKind == 1 ? &FDownStep : nullptr);
    bool Ended = Step == nullptr;
    if (Step) {
        *Step += FStepDelta;
        if ((*Step > 100 && FStepDelta > 0) || (*Step < 0 && FStepDelta < 0)) {
            *Step = std::clamp(*Step, 0, 100);
            if (FFadeKind == 1 && FStepDelta < 0) {
                FPressed = false;
                FReleasePending = false;
            }
            Ended = true;
        }
    }
    if (Ended) {
        FFadeKind = 2;
        FFadeTimer->SetEnabled(false);
        FFading = false;
        return;
    }
    Invalidate();
}

void TProCustomGlowButton::UpdateTracking()
{
    if (!EffectivelyEnabled() || !HandleAllocated() || !Parent())
        return;
    POINT P;
    GetCursorPos(&P);
    const HWND Under = WindowFromPoint(P);
    const bool Outside = Under != Handle();
    if (Outside == FHot)
        return;
    FHot = Outside;
    Perform(Outside ? CM_MOUSELEAVE : CM_MOUSEENTER);
}

void TProCustomGlowButton::CMMouseEnter(TMessage& Message)
{
    TCustomControl::WndProc(Message);
    if (IsDesigning() || FMouseInside)
        return;
    FHotLook = true;
    if (FReleasePending)
        FPressed = true;
    StartFade();
    if (!FPressed && FFadeKind != 1) {
        FStepDelta = 20;
        FFadeKind = 0;
    }
    Invalidate();
    FHot = true;
    FMouseInside = true;
}

void TProCustomGlowButton::CMMouseLeave(TMessage& Message)
{
    TCustomControl::WndProc(Message);
    if (IsDesigning() || !FMouseInside)
        return;
    FMouseInside = FHot = FHotLook = FDropDownHot = false;
    if (FPressed && FHeld) {
        FPressed = false;
        FStepDelta = -20;
        FFadeKind = 0;
        Invalidate();
        FReleasePending = true;
    } else {
        FPressed = false;
        FHotStep = 100;
        FStepDelta = -20;
        FFadeKind = 0;
        Invalidate();
    }
    StartFade();
}

// ---------------------------------------------------------------------------
// Mouse.

bool TProCustomGlowButton::InDropDownStrip(int X, int Y, int Strip) const
{
    return (FDropDownPosition == dpRight && X > Width() - Strip) ||
           (FDropDownPosition == dpBottom && Y > Height() - Strip);
}

void TProCustomGlowButton::WMLButtonDown(TMessage& Message)
{
    FClickSeen = true;
    TCustomControl::WndProc(Message);
}

void TProCustomGlowButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    // A menu's loop takes the release of the press that opened it, so the
    // mark of that press may still stand: each press starts afresh.
    FMenuPressed = false;
    if (FRepeatClick) {
        if (!FRepeatTimer) {
            FRepeatTimer = std::make_unique<TTimer>(nullptr);
            FRepeatTimer->OnTimer = [this](TObject* Sender) { RepeatTimerTick(Sender); };
        }
        FRepeatTimer->SetInterval(static_cast<Cardinal>(FInitRepeatPause));
        FRepeatTimer->SetEnabled(true);
    }
    FPressed = true;
    FHeld = true;
    // The button keeps the mouse while the button is down (repeat clicks
    // need it, and a release outside must still reach the button).
    SetCapture(Handle());
    if (TabStop() && CanFocus())
        SetFocus();
    StartFade();
    FStepDelta = 20;
    FFadeKind = 1;

    const bool InStrip = InDropDownStrip(X, Y, 13);
    const bool OpensMenu = (DropDownAlways() && !FDropDownButton) || (FDropDownButton && FDropDownSplit && InStrip) ||
                           (FDropDownButton && !FDropDownSplit && FStyle == bsButton && FGroupIndex <= 0);
    if (OpensMenu) {
        MenuPress();
        return;
    }
    if (FStyle == bsCheck)
        SetDown(!FDown);
    if (!FDown) {
        FDrawState = 2;
        Invalidate();
    }
    if (FStyle == bsCheck) {
        FDrawState = 2;
        PaintNow();
    }
    FPressStarted = true;
}

void TProCustomGlowButton::PopupMenuAt(int X, int Y)
{
    POINT P{X, Y};
    if (Parent() && Parent()->HandleAllocated())
        ::ClientToScreen(Parent()->Handle(), &P);
    FDropDownMenu->Popup(P.x, P.y);
}

void TProCustomGlowButton::MenuPress()
{
    FMenuPressed = true;
    FHot = false;
    if (OnDropDown)
        OnDropDown(this);
    if (FDropDownMenu) {
        FPressed = false;
        FHotLook = false;
        FMenuShowing = true;
        FMouseInside = true;
        PaintNow();
        if (FDropDownDirection == ddDown)
            PopupMenuAt(Left(), Top() + Height());
        else
            PopupMenuAt(Left() + Width(), Top());
        FMenuShowing = false;
        POINT P;
        GetCursorPos(&P);
        const TPoint C = ScreenToClient(P);
        const TRect R = ClientRect();
        if (!PtInRect(&R, C))
            FMouseInside = FHot = FHotLook = FDropDownHot = false;
        PaintNow();
    }
    Invalidate();
}

void TProCustomGlowButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (IsDesigning())
        return;
    UpdateTracking();
    const bool StripHot = FDropDownButton && InDropDownStrip(X, Y, 12);
    if (StripHot != FDropDownHot) {
        FDropDownHot = StripHot;
        Invalidate();
    }
    if (FPressStarted) {
        int Wanted = FDown ? 4 : 0;
        if (X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight())
            Wanted = FDown ? 4 : 2;
        if (FStyle == bsCheck && FDown)
            Wanted = 2;
        if (Wanted != FDrawState) {
            FDrawState = Wanted;
            Invalidate();
        }
    } else if (!FHot) {
        UpdateTracking();
    }
}

void TProCustomGlowButton::WMLButtonUp(TMessage& Message)
{
    if (GetCapture() == Handle())
        ReleaseCapture();
    FStepDelta = -20;
    FFadeKind = 1;
    FHeld = false;
    FReleasePending = false;
    StartFade();
    bool HandedOver = false;
    if (FPressStarted && !(DropDownAlways() && !FDropDownButton)) {
        FPressStarted = false;
        const int X = GET_X_LPARAM(Message.LParam), Y = GET_Y_LPARAM(Message.LParam);
        const bool Inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
        if (FGroupIndex != 0) {
            if (Inside) {
                SetDown(!FDown);
                if (FDown)
                    PaintNow();
            } else {
                if (FDown)
                    FDrawState = 4;
                PaintNow();
            }
        } else {
            FDrawState = 0;
            FHot = false;
            if (FStyle == bsCheck) {
                if (!Inside && FDown)
                    SetDown(false);
                PaintNow();
            }
            if (Inside && FDrawState != 2 && FDrawState != 4)
                Invalidate();
        }
        UpdateTracking();
    }
    FClickSeen = false;
    if (FMenuPressed) {
        // A press that opened the menu is no click: the release only ends
        // the capture and tells the mouse-up handlers.
        FMenuPressed = false;
        HandedOver = true;
        MouseUp(mbLeft, MouseShiftState(Message.WParam), GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    }
    if (!HandedOver)
        TCustomControl::WndProc(Message);
    if (FStyle == bsCheck || FGroupIndex > 0)
        PaintNow();
    Invalidate();
}

void TProCustomGlowButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

void TProCustomGlowButton::RepeatTimerTick(TObject*)
{
    FRepeatTimer->SetInterval(static_cast<Cardinal>(FRepeatPause));
    if (FPressed && HandleAllocated() && GetCapture() == Handle()) {
        try {
            Click();
        } catch (...) {
            FRepeatTimer->SetEnabled(false);
            throw;
        }
    }
}

// ---------------------------------------------------------------------------
// Drop-down and keys.

void TProCustomGlowButton::DoDropDown()
{
    if (!DropDownAlways() && !FDropDownMenu)
        return;
    if (!FDropDownMenu)
        return;
    FDrawState = 2;
    if (OnDropDown)
        OnDropDown(this);
    Invalidate();
    if (FDropDownDirection == ddDown)
        PopupMenuAt(Left(), Top() + Height());
    else
        PopupMenuAt(Left() + Width(), Top());
    FDrawState = 0;
    PaintNow();
}

void TProCustomGlowButton::KeyClick()
{
    if ((FDropDownButton && FStyle == bsButton && FGroupIndex <= 0 && !FDropDownSplit) ||
        (DropDownAlways() && !FDropDownButton)) {
        if (FDropDownMenu)
            DoDropDown();
        else
            Click();
        return;
    }
    if (FStyle == bsCheck)
        SetDown(!FDown);
    if (!FDown) {
        FDrawState = 2;
        Invalidate();
    }
    if (FStyle == bsCheck) {
        FDrawState = 2;
        PaintNow();
    }
    Click();
}

void TProCustomGlowButton::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_RETURN || Key == VK_SPACE) {
        FPressed = true;
        FDrawState = 2;
        PaintNow();
    } else if (Key == VK_F4) {
        DoDropDown();
    }
}

void TProCustomGlowButton::KeyPress(char& Key)
{
    TCustomControl::KeyPress(Key);
    if (Key == ' ' || Key == '\r') {
        if (TCustomForm* Form = GetParentForm(this))
            Form->SetModalResult(FModalResult);
        if (OnClick)
            OnClick(this);
    }
}

void TProCustomGlowButton::KeyUp(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyUp(Key, Shift);
    FPressed = false;
    FDrawState = 0;
    PaintNow();
}

void TProCustomGlowButton::CMDialogKey(TMessage& Message)
{
    const auto Key = static_cast<Word>(Message.WParam);
    const bool NoShift = (KeyboardShiftState() & (ssShift | ssCtrl | ssAlt)) == 0;
    if (NoShift && ((Key == VK_RETURN && FActiveDefault) || (Key == VK_ESCAPE && FCancel)) && CanFocus()) {
        KeyClick();
        Message.Result = 1;
        return;
    }
    TCustomControl::WndProc(Message);
}

// The caption's accelerator drops the menu down when the button has one to
// drop (or always drops), and clicks the button otherwise.
void TProCustomGlowButton::CMDialogChar(TMessage& Message)
{
    if (IsAccel(static_cast<Word>(Message.WParam), Caption()) && CanFocus()) {
        if (DropDownAlways() || FDropDownMenu)
            DoDropDown();
        else
            Click();
        Message.Result = 1;
        return;
    }
    TCustomControl::WndProc(Message);
}

void TProCustomGlowButton::CMFocusChanged(TMessage& Message)
{
    auto* Focused = reinterpret_cast<TControl*>(Message.LParam);
    if (auto* Glow = dynamic_cast<TProCustomGlowButton*>(Focused))
        FActiveDefault = Glow == this;
    else
        FActiveDefault = FDefault;
    TCustomControl::WndProc(Message);
}

// The form tells only itself of focus changes; the glow buttons of the form
// learn of them here, so that the focused glow button answers Enter.
static void TellGlowButtons(TWinControl* Parent, TControl* Focused)
{
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* C = Parent->Controls(i);
        if (dynamic_cast<TProCustomGlowButton*>(C))
            C->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Focused));
        if (auto* W = dynamic_cast<TWinControl*>(C))
            TellGlowButtons(W, Focused);
    }
}

void TProCustomGlowButton::DoEnter()
{
    TCustomControl::DoEnter();
    if (TCustomForm* Form = GetParentForm(this))
        TellGlowButtons(Form, this);
    Invalidate();
}

void TProCustomGlowButton::DoExit()
{
    TCustomControl::DoExit();
    if (TCustomForm* Form = GetParentForm(this))
        TellGlowButtons(Form, nullptr);
    FPressed = false;
    FDrawState = 0;
    Invalidate();
}

void TProCustomGlowButton::EnabledChanged()
{
    TCustomControl::EnabledChanged();
    Invalidate();
}

void TProCustomGlowButton::TextChanged()
{
    TCustomControl::TextChanged();
    Invalidate();
    if (FAutoSize)
        UpdateSize();
}

void TProCustomGlowButton::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED)
        Click();
}

void TProCustomGlowButton::CMButtonPressed(TMessage& Message)
{
    auto* Sender = reinterpret_cast<TProCustomGlowButton*>(Message.LParam);
    if (static_cast<int>(Message.WParam) != FGroupIndex || Sender == this || !Sender)
        return;
    if (Sender->FDown && FDown) {
        FDown = false;
        FDrawState = 0;
        Invalidate();
    }
}

void TProCustomGlowButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case WM_LBUTTONDOWN: WMLButtonDown(Message); break;
    case WM_LBUTTONUP: WMLButtonUp(Message); break;
    case CM_DIALOGKEY: CMDialogKey(Message); break;
    case CM_DIALOGCHAR: CMDialogChar(Message); break;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); break;
    case CM_GLOWBUTTONPRESSED: CMButtonPressed(Message); break;
    case CN_COMMAND: CNCommand(Message); break;
    case WM_ERASEBKGND: Message.Result = 1; break;
    default: TCustomControl::WndProc(Message); break;
    }
}

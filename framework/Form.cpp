#include "framework/Form.h"

#include "framework/Menus.h"

#include <unordered_set>
#include <vector>

#include "framework/Application.h"
#include "framework/HintTools.h"
#include "framework/MessageWindow.h"
#include "framework/Screen.h"

std::function<void(TCustomForm* Form)> ShowModalHook;

namespace {

constexpr UINT WM_FREE_FORM = WM_APP + 1;

// Forms waiting to be freed by Release. A form freed otherwise meanwhile
// takes itself off, so that the posted free never meets a dead object.
std::unordered_set<TCustomForm*>& PendingFrees()
{
    static auto* set = new std::unordered_set<TCustomForm*>;
    return *set;
}

// Frees released forms outside their own message handling: the free is
// posted to this hidden window.
HWND ReleaseWindow()
{
    static HWND wnd = nullptr;
    if (wnd == nullptr) {
        wnd = AllocateHWnd([](TMessage& Message) {
            if (Message.Msg != WM_FREE_FORM) {
                Message.Result = DefWindowProcW(wnd, Message.Msg, Message.WParam, Message.LParam);
                return;
            }
            auto* form = reinterpret_cast<TCustomForm*>(Message.LParam);
            if (PendingFrees().erase(form) != 0)
                delete form;   // the owner's list lets go in ~TComponent
        });
    }
    return wnd;
}

struct TDisabledWindows {
    HWND Keep;
    std::vector<HWND> Disabled;
};

// EnumThreadWindows callback of DisableThreadWindows.
BOOL CALLBACK DisableThreadWindow(HWND Wnd, LPARAM LParam)
{
    return GuardCallback([&] {
        auto* state = reinterpret_cast<TDisabledWindows*>(LParam);
        if (Wnd != state->Keep && IsWindowVisible(Wnd) && IsWindowEnabled(Wnd)) {
            state->Disabled.push_back(Wnd);   // first, so that a disabled window is always enabled again
            EnableWindow(Wnd, FALSE);
        }
        return TRUE;
    }, FALSE);
}

// Disables the enabled visible top-level windows of this thread except
// Keep, and returns them, so that they can be enabled again.
std::vector<HWND> DisableThreadWindows(HWND Keep)
{
    TDisabledWindows state{Keep, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableThreadWindow, reinterpret_cast<LPARAM>(&state));
    return state.Disabled;
}

// Whether Control is Container or lies inside it. Only the parents of
// Control are read, so Container may be partly destroyed already.
bool IsWithin(const TControl* Control, const TControl* Container)
{
    for (const TControl* c = Control; c != nullptr; c = c->Parent())
        if (c == Container)
            return true;
    return false;
}

} // namespace

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    ControlStyle = csAcceptsControls | csClickEvents | csDoubleClicks;
    SetParentFont(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    SetVisible(false);
    Screen->AddForm(this);
    Application->ControlMessageFilter = IsDialogKeyMessage;
}

TCustomForm::~TCustomForm()
{
    DestroyForm();
}

void TCustomForm::DestroyForm()
{
    if (FDestroyStarted)
        return;
    FDestroyStarted = true;
    // From here on the form's window gets only the default handling (see
    // WndProc): destroying it fires no OnDeactivate, OnPaint or OnResize.
    Destroying();
    FActiveControl = nullptr;
    PendingFrees().erase(this);
    GuardCallback([this] { DoDestroy(); });
    if (Application->MainForm == this)
        Application->MainForm = nullptr;
    Screen->RemoveForm(this);
    HintToolFormRemoved(this);
    DestroyHandle();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    if (Value == FBorderIcons)
        return;
    FBorderIcons = Value;
    RecreateWnd();
}

// The window is created without WS_VISIBLE (VisibleChanged shows it after
// OnShow), so a new window of a showing form is shown here.
void TCustomForm::RecreateWnd()
{
    const bool hadWindow = HandleAllocated();
    TWinControl::RecreateWnd();
    if (hadWindow && Visible()) {
        ShowWindow(Handle(), SW_SHOW);
        FocusOnShow();
    }
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
    if (FMenu == Value)
        return;
    if (FMenu != nullptr) {
        FMenu->SetWindowHandle(nullptr);
        if (HandleAllocated())
            if (HMENU old = GetMenu(Handle()); old != nullptr) {
                ::SetMenu(Handle(), nullptr);
                DestroyMenu(old);
            }
    }
    FMenu = Value;
    if (FMenu != nullptr) {
        FMenu->FreeNotification(this);
        if (HandleAllocated()) {
            FMenu->SetWindowHandle(Handle());
            FMenu->RebuildBar();
        }
    }
}

void TCustomForm::CreateWnd()
{
    TWinControl::CreateWnd();
    if (FMenu != nullptr) {
        FMenu->SetWindowHandle(Handle());
        FMenu->RebuildBar();
    }
}

void TCustomForm::DestroyWnd()
{
    if (FMenu != nullptr)
        FMenu->SetWindowHandle(nullptr);
    TWinControl::DestroyWnd();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FMenu) {
        FMenu = nullptr;
        if (HandleAllocated())
            if (HMENU old = GetMenu(Handle()); old != nullptr) {
                ::SetMenu(Handle(), nullptr);
                DestroyMenu(old);
            }
    }
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = 0;
    if (!Enabled())
        Params.Style |= WS_DISABLED;
    bool caption = true;
    switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; caption = false; break;
    case bsSingle: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: Params.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; Params.ExStyle |= WS_EX_DLGMODALFRAME; break;
    case bsToolWindow: Params.Style |= WS_CAPTION; Params.ExStyle |= WS_EX_TOOLWINDOW; break;
    }
    if (caption && (FBorderIcons & biSystemMenu) != 0) {
        Params.Style |= WS_SYSMENU;
        if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
            if (FBorderIcons & biMinimize)
                Params.Style |= WS_MINIMIZEBOX;
            if (FBorderIcons & biMaximize)
                Params.Style |= WS_MAXIMIZEBOX;
        }
    }
    // Secondary forms are owned by the main form: they stay above it and
    // go with it.
    TCustomForm* main = Application->MainForm;
    Params.WndParent = main != nullptr && main != this && main->HandleAllocated() ? main->Handle() : nullptr;
    Params.Menu = nullptr;
}

void TCustomForm::Loaded()
{
    TWinControl::Loaded();
    DoCreate();
}

void TCustomForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::DoDestroy()
{
    if (OnDestroy)
        OnDestroy(this);
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Show()
{
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide()
{
    SetVisible(false);
}

void TCustomForm::VisibleChanged()
{
    if (Visible()) {
        HWND wnd = Handle();
        PlaceOnShow();
        DoShow();
        if (!IsWindowVisible(wnd))
            ShowWindow(wnd, SW_SHOW);
        FocusOnShow();
    } else if (HandleAllocated()) {
        DoHide();
        ShowWindow(Handle(), SW_HIDE);
    }
    Perform(CM_SHOWINGCHANGED);
}

void TCustomForm::EnabledChanged()
{
    if (HandleAllocated())
        EnableWindow(Handle(), Enabled() ? TRUE : FALSE);
    TWinControl::EnabledChanged();
}

void TCustomForm::PlaceOnShow()
{
    TRect area = Screen->WorkAreaRect();
    if (Position == poMainFormCenter && Application->MainForm != nullptr && Application->MainForm != this &&
        Application->MainForm->Visible())
        area = Application->MainForm->BoundsRect();
    else if (Position != poScreenCenter && Position != poMainFormCenter)
        return;
    SetBounds(area.left + (RectWidth(area) - Width()) / 2, area.top + (RectHeight(area) - Height()) / 2, Width(),
              Height());
}

void TCustomForm::FocusOnShow()
{
    TWinControl* target = FActiveControl;
    if (target == nullptr || !target->CanFocus())
        target = FindNextControl(nullptr, true, true);
    if (target != nullptr && target->CanFocus())
        ::SetFocus(target->Handle());
}

TWindowState TCustomForm::WindowState() const
{
    if (!HandleAllocated())
        return wsNormal;
    HWND wnd = const_cast<TCustomForm*>(this)->Handle();
    return IsIconic(wnd) ? wsMinimized : IsZoomed(wnd) ? wsMaximized : wsNormal;
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    const int command = Value == wsMinimized ? SW_MINIMIZE : Value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE;
    if (Visible())
        ShowWindow(Handle(), command);
}

TModalResult TCustomForm::ShowModal()
{
    if (Visible() || !Enabled() || FModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture() != nullptr)
        ReleaseCapture();
    HWND previous = GetActiveWindow();
    const std::vector<HWND> disabled = DisableThreadWindows(Handle());
    FModal = true;
    FModalResult = mrNone;
    auto finish = [&] {
        // Enable the others before hiding, so that activation goes back to them.
        for (HWND w : disabled)
            if (IsWindow(w))
                EnableWindow(w, TRUE);
        FModal = false;
        Hide();
        if (previous != nullptr && IsWindow(previous))
            SetActiveWindow(previous);
    };
    try {
        Show();
        if (ShowModalHook)
            ShowModalHook(this);
        for (;;) {
            if (FModalResult != mrNone) {
                CloseModal();
                if (FModalResult != mrNone)
                    break;
            }
            if (Application->Terminated()) {
                FModalResult = mrCancel;
                break;
            }
            Application->HandleMessage();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return FModalResult;
}

// Runs the close handlers for the modal loop; the loop goes on while
// ModalResult is mrNone. A handler that raises is reported like one that
// runs from a window message (Close from WM_CLOSE): the form stays modal as
// the handler left it, and the user can close it again.
void TCustomForm::CloseModal()
{
    try {
        TCloseAction action = caHide;
        if (!CloseQuery())
            action = caNone;
        else
            DoClose(action);
        if (action == caNone)
            FModalResult = mrNone;
        else if (action == caFree)
            Release();
    } catch (...) {
        FModalResult = mrNone;
        Application->HandleException(this);
    }
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if (FModal) {
        // The modal loop runs the close handlers.
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (this == Application->MainForm) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    case caNone: break;
    }
}

void TCustomForm::Release()
{
    if (HandleAllocated())
        ShowWindow(Handle(), SW_HIDE);
    PendingFrees().insert(this);
    PostMessageW(ReleaseWindow(), WM_FREE_FORM, 0, reinterpret_cast<LPARAM>(this));
}

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (Control != nullptr && !ContainsControl(Control))
        throw EInvalidOperation("The control is not on this form");
    if (Control != nullptr && HandleAllocated() && IsWindowVisible(Handle()) && Control->CanFocus())
        ::SetFocus(Control->Handle());
    else
        FActiveControl = Control;
}

bool TCustomForm::Active() const
{
    return HandleAllocated() && GetActiveWindow() == const_cast<TCustomForm*>(this)->Handle();
}

void TCustomForm::FocusChanged(TWinControl* Control)
{
    if (Control == FActiveControl || IsDestroying() || (Control != nullptr && Control->IsDestroying()))
        return;
    TWinControl* old = FActiveControl;
    FActiveControl = Control;
    // The focus leaves the old control and every container of it that does
    // not hold the new one, innermost first; it enters the containers of the
    // new control that did not hold the old one, outermost first, and then
    // the control. A container that shows child windows of its own (a grid
    // and its cell editors) so hears the focus leave through any of them.
    // A handler that moves the focus elsewhere ends the walk: the nested
    // change sent its own messages.
    TWinControl* common = old;
    while (common != nullptr && common != this && (Control == nullptr || !IsWithin(Control, common))) {
        if (!common->IsDestroying())
            common->Perform(CM_EXIT);
        if (FActiveControl != Control)
            return;
        common = common->Parent();
    }
    if (common == nullptr)
        common = this;
    if (Control != nullptr && Control != common) {
        std::vector<TWinControl*> entered;
        for (TWinControl* w = Control; w != nullptr && w != common && w != this; w = w->Parent())
            entered.push_back(w);
        for (auto it = entered.rbegin(); it != entered.rend(); ++it) {
            (*it)->Perform(CM_ENTER);
            if (FActiveControl != Control)
                return;
        }
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
}

void TCustomForm::ForgetActiveControl(const TControl* Control)
{
    TWinControl* old = FActiveControl;
    if (old == nullptr || !IsWithin(old, Control))
        return;
    FActiveControl = nullptr;
    if (IsDestroying() || old->IsDestroying())
        return;
    old->Perform(CM_EXIT);
    Perform(CM_FOCUSCHANGED, 0, 0);
}

void TCustomForm::ControlRemoving(TControl* Control)
{
    ForgetActiveControl(Control);
    // A window that goes while it has the focus would hand it to its parent
    // window, which would then take it as the new active control. Inside
    // ~TControl the cast fails, but the window is gone by then.
    if (auto* w = dynamic_cast<TWinControl*>(Control); w != nullptr && HandleAllocated() && w->ContainsFocus())
        ::SetFocus(Handle());
}

void TCustomForm::DefocusControl(TWinControl* Control)
{
    ForgetActiveControl(Control);
    if (HandleAllocated() && Control->ContainsFocus())
        ::SetFocus(Handle());
}

void TCustomForm::PaintWindow(HDC DC)
{
    if (!OnPaint)
        return;
    FCanvas->SetHandle(DC);
    try {
        OnPaint(this);
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
}

void TCustomForm::WndProc(TMessage& Message)
{
    if (IsDestroying()) {
        // No events while the form goes, and no close either.
        if (Message.Msg == WM_CLOSE)
            Message.Result = 0;
        else
            DefaultHandler(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_CLOSE: WMClose(Message); break;
    case WM_ACTIVATE: WMActivate(Message); break;
    case CM_DIALOGKEY: CMDialogKey(Message); break;
    default: TWinControl::WndProc(Message); break;
    }
}

void TCustomForm::WMClose(TMessage& Message)
{
    Close();
    Message.Result = 0;
}

void TCustomForm::WMActivate(TMessage& Message)
{
    DefaultHandler(Message);
    if (LOWORD(Message.WParam) == WA_INACTIVE) {
        if (OnDeactivate)
            OnDeactivate(this);
        return;
    }
    // The default handling focused the form itself: give the focus back to
    // its active control.
    if (FActiveControl != nullptr && FActiveControl->CanFocus())
        ::SetFocus(FActiveControl->Handle());
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::CMDialogKey(TMessage& Message)
{
    Message.Result = DialogKey(static_cast<Word>(Message.WParam)) ? 1 : 0;
}

// Tab moves the focus in tab order; Enter and Esc go first to the focused
// control, then to every control of the form (a Default or Cancel button
// takes them).
bool TCustomForm::DialogKey(Word Key)
{
    const TShiftState shift = KeyboardShiftState();
    if (Key == VK_TAB) {
        if ((shift & (ssCtrl | ssAlt)) != 0)
            return false;
        SelectNext(FActiveControl, (shift & ssShift) == 0, true);
        return true;
    }
    if (Key != VK_RETURN && Key != VK_ESCAPE)
        return false;
    if (FActiveControl != nullptr && FActiveControl->Perform(CM_DIALOGKEY, Key) != 0)
        return true;
    for (TControl* c : AllControls())
        if (c != FActiveControl && c->Perform(CM_DIALOGKEY, Key) != 0)
            return true;
    return false;
}

// Every control of the form, children included, each before its own
// children, in the order of their parents' lists.
std::vector<TControl*> TCustomForm::AllControls() const
{
    std::vector<TControl*> all;
    std::function<void(const TWinControl*)> collect = [&](const TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            all.push_back(parent->Controls(i));
            if (auto* w = dynamic_cast<const TWinControl*>(parent->Controls(i)))
                collect(w);
        }
    };
    collect(this);
    return all;
}

namespace {

// Alt+character, or a plain printable character whose window takes no
// characters, is offered to the window's form as an accelerator first. A
// space never is: it presses the focused button, and Alt+Space opens the
// window menu.
bool IsDialogCharMessage(MSG& Msg)
{
    if (Msg.wParam == L' ')
        return false;
    if (Msg.message == WM_CHAR) {
        if (Msg.wParam < 0x20 || Msg.wParam == 0x7F)
            return false;
        if ((SendMessageW(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, reinterpret_cast<LPARAM>(&Msg)) &
             DLGC_WANTCHARS) != 0)
            return false;
    } else if (Msg.message != WM_SYSCHAR) {
        return false;
    }
    TWinControl* control = FindControl(Msg.hwnd);
    if (control == nullptr)
        control = FindControl(GetParent(Msg.hwnd));
    TCustomForm* form = control != nullptr ? GetParentForm(control) : nullptr;
    return form != nullptr && form->Perform(CM_DIALOGCHAR, Msg.wParam, Msg.lParam) != 0;
}

} // namespace

bool IsDialogKeyMessage(MSG& Msg)
{
    if (IsDialogCharMessage(Msg))
        return true;
    if (Msg.message != WM_KEYDOWN)
        return false;
    const auto key = static_cast<Word>(Msg.wParam);
    if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE)
        return false;
    // The control of the window, or of its parent (the edit part of a combo box).
    TWinControl* control = FindControl(Msg.hwnd);
    if (control == nullptr)
        control = FindControl(GetParent(Msg.hwnd));
    if (control == nullptr || control->Perform(CM_WANTSPECIALKEY, key) != 0)
        return false;
    TCustomForm* form = GetParentForm(control);
    if (form == nullptr)
        return false;
    // The key events run first (with the form's key preview); a handler that
    // consumed the key ends it here.
    if (control->Perform(CN_KEYDOWN, key, Msg.lParam) != 0)
        return true;
    if (form->Perform(CM_DIALOGKEY, key, Msg.lParam) != 0)
        return true;
    // Only now is it sure that WM_KEYDOWN goes on to the control's window:
    // its handling then skips the key events that ran above.
    if (FindControl(Msg.hwnd) == control)
        control->FKeyEventsDone = true;
    return false;
}

#include "framework/WinControl.h"

#include <algorithm>

#include "framework/Codepage.h"
#include "framework/Form.h"
#include "framework/HintTools.h"
#include "framework/Menus.h"
#include "framework/WindowBinding.h"

namespace {

// Identifiers of child windows: unique among the live children of the
// program, so that WM_MEASUREITEM (which names only the identifier) finds
// its control with GetDlgItem.
UINT NextControlId()
{
    static UINT next = 100;
    next = next >= 0xFFF0 ? 100 : next + 1;
    return next;
}

} // namespace

TWinControl::TWinControl(TComponent* AOwner)
    : TControl(AOwner), FCtlId(NextControlId()), FBrush(std::make_unique<TBrush>())
{
    FBrush->SetColor(Color());
}

TWinControl::~TWinControl()
{
    Destroying();
    // The form forgets an active control in here while the children still
    // lead to it (they lose their parent below).
    if (TCustomForm* form = GetParentForm(this); form != nullptr && form != this)
        form->ControlRemoving(this);
    DestroyHandle();
    // Children still alive belong to their owners; they only lose their parent.
    for (TControl* c : FControls)
        c->FParent = nullptr;
    FControls.clear();
    FTabList.clear();
}

HWND TWinControl::Handle()
{
    if (FHandle != nullptr)
        return FHandle;
    if (Parent() != nullptr && !Parent()->HandleAllocated()) {
        // The parent's window creation creates those of its children.
        Parent()->HandleNeeded();
        if (FHandle != nullptr)
            return FHandle;
    }
    // Marked while the window and those of its children are made: skinning
    // code leaves a control in that state alone.
    FControlState |= csCreating;
    try {
        CreateWnd();
        CreateChildHandles();
        Realign();
    } catch (...) {
        FControlState &= ~static_cast<unsigned>(csCreating);
        // A child whose window cannot be created fails the whole tree: no
        // window of it stays half made, and a later call tries again.
        DestroyHandle();
        throw;
    }
    FControlState &= ~static_cast<unsigned>(csCreating);
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params.Caption = StrToWide(FText);
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible())
        Params.Style |= WS_VISIBLE;
    if (!EffectivelyEnabled())
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = WindowHeight();
    Params.Menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FCtlId));
    Params.WinClassName = StrToWide(ClassName());
}

void TWinControl::AddRightToLeftStyles(TCreateParams& Params) const
{
    if (UseRightToLeftReading())
        Params.ExStyle |= WS_EX_RTLREADING;
    if (UseRightToLeftAlignment())
        Params.ExStyle |= WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) != 0) {
        if (Parent() == nullptr)
            throw EInvalidOperation("Control '" + Name() + "' has no parent window");
        params.WndParent = Parent()->Handle();
    }
    HWND wnd = TWindowBinding::Create(this, params);
    if (wnd == nullptr)
        throw EOSError("Cannot create the window of " + ClassName() + " (error " + std::to_string(GetLastError()) + ")");
    SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
    HintToolChanged(this);
}

void TWinControl::CreateChildHandles()
{
    for (TControl* c : FControls) {
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->HandleNeeded();
        else
            HintToolChanged(c);
    }
}

void TWinControl::DestroyWnd()
{
    FText = GetText();
    DestroyWindow(FHandle);
    FHandle = nullptr;
}

void TWinControl::DestroyHandle()
{
    if (FHandle == nullptr)
        return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->DestroyHandle();
    FMouseCapture = nullptr;
    FHoverControl = nullptr;
    FMouseTracked = false;
    DestroyWnd();
}

void TWinControl::RecreateWnd()
{
    if (FHandle == nullptr)
        return;
    DestroyHandle();
    HandleNeeded();
}

void TWinControl::SetParent(TWinControl* AParent)
{
    if (AParent == Parent())
        return;
    // A window cannot move to a parent that has none: it waits for it. The
    // form lets go of the focus in it first, as when it is freed.
    if (FHandle != nullptr && (AParent == nullptr || !AParent->HandleAllocated())) {
        if (TCustomForm* form = GetParentForm(this); form != nullptr && form != this)
            form->ControlRemoving(this);
        DestroyHandle();
    }
    TControl::SetParent(AParent);
    if (AParent != nullptr && AParent->HandleAllocated()) {
        if (FHandle != nullptr)
            ::SetParent(FHandle, AParent->Handle());
        else
            HandleNeeded();
    }
}

void TWinControl::InsertControl(TControl* Control)
{
    Control->FParent = this;
    FControls.push_back(Control);
    if (auto* w = dynamic_cast<TWinControl*>(Control))
        FTabList.push_back(w);
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(Control), 1);
    if (Control->Align() != alNone)
        Realign();
}

void TWinControl::RemoveControl(TControl* Control)
{
    if (TCustomForm* form = GetParentForm(this))
        form->ControlRemoving(Control);
    if (FMouseCapture == Control)
        FMouseCapture = nullptr;
    if (FHoverControl == Control)
        FHoverControl = nullptr;
    if (!Control->FVisible || dynamic_cast<TWinControl*>(Control) == nullptr)
        Control->Invalidate();
    FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), Control), FTabList.end());
    Control->FParent = nullptr;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(Control), 0);
    if (Control->Align() != alNone)
        Realign();
}

void TWinControl::MoveControlToFront(TControl* Control)
{
    auto it = std::find(FControls.begin(), FControls.end(), Control);
    if (it == FControls.end())
        return;
    FControls.erase(it);
    FControls.push_back(Control);
    if (auto* w = dynamic_cast<TWinControl*>(Control); w != nullptr && w->HandleAllocated())
        SetWindowPos(w->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    else
        Control->Invalidate();
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    for (const TControl* c = Control; c != nullptr; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint P, bool AllowDisabled, bool AllowWindowed) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWindowed && dynamic_cast<TWinControl*>(c) != nullptr)
            continue;
        if (!c->Visible() || (!AllowDisabled && !c->EffectivelyEnabled()))
            continue;
        const TRect r = c->BoundsRect();
        if (PtInRect(&r, P))
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    // A copy: a handler may change the list.
    const std::vector<TControl*> children = FControls;
    for (TControl* c : children)
        c->Perform(Msg, WParam, LParam);
}

TRect TWinControl::ClientRect() const
{
    if (FHandle != nullptr) {
        RECT r;
        ::GetClientRect(FHandle, &r);
        return r;
    }
    // Before the window exists: the frame that its styles will give it.
    TCreateParams params;
    const_cast<TWinControl*>(this)->CreateParams(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    return Rect(0, 0, std::max(0, Width() - RectWidth(frame)), std::max(0, Height() - RectHeight(frame)));
}

TPoint TWinControl::ClientOrigin() const
{
    if (FHandle == nullptr)
        return TControl::ClientOrigin();
    POINT p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return p;
}

void TWinControl::SetClientSize(int AWidth, int AHeight)
{
    const TRect r = ClientRect();
    SetBounds(Left(), Top(), Width() - RectWidth(r) + AWidth, Height() - RectHeight(r) + AHeight);
}

void TWinControl::BoundsChanged()
{
    if (FHandle != nullptr && !FSettingBounds) {
        FSettingBounds = true;
        SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), WindowHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
        FSettingBounds = false;
    }
    HintToolChanged(this);
    Realign();
    RequestAlign();
}

// The window moved or changed size by itself (the user, the system, an
// auto-sizing control): take its bounds over.
void TWinControl::UpdateBoundsFromWindow()
{
    if (FHandle == nullptr || FSettingBounds || IsIconic(FHandle))
        return;
    RECT r;
    GetWindowRect(FHandle, &r);
    if ((GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD) != 0)
        MapWindowPoints(nullptr, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
    if (r.left == Left() && r.top == Top() && RectWidth(r) == Width() && RectHeight(r) == Height())
        return;
    FSettingBounds = true;
    TControl::SetBounds(r.left, r.top, RectWidth(r), RectHeight(r));
    FSettingBounds = false;
}

void TWinControl::Realign()
{
    if (FAligning || FAlignDisabled > 0)
        return;
    FAligning = true;
    TRect r = ClientRect();
    AlignControls(r);
    FAligning = false;
}

void TWinControl::EnableAlign()
{
    if (FAlignDisabled > 0 && --FAlignDisabled == 0)
        Realign();
}

void TWinControl::AlignControls(TRect& R)
{
    const std::vector<TControl*> children = FControls;
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : children) {
            if (c->Align() != align || !c->Visible())
                continue;
            const int w = c->Width();
            const int h = c->Height();
            switch (align) {
            case alTop: c->SetBounds(R.left, R.top, RectWidth(R), h); R.top += h; break;
            case alBottom: c->SetBounds(R.left, R.bottom - h, RectWidth(R), h); R.bottom -= h; break;
            case alLeft: c->SetBounds(R.left, R.top, w, RectHeight(R)); R.left += w; break;
            case alRight: c->SetBounds(R.right - w, R.top, w, RectHeight(R)); R.right -= w; break;
            case alClient: c->SetBounds(R.left, R.top, RectWidth(R), RectHeight(R)); break;
            case alNone: break;
            }
        }
    }
}

void TWinControl::SetDoubleBuffered(bool Value)
{
    FDoubleBuffered = Value;
    Invalidate();
}

void TWinControl::Invalidate()
{
    if (FHandle != nullptr)
        InvalidateRect(FHandle, nullptr, (ControlStyle & csOpaque) == 0);
}

void TWinControl::Update()
{
    if (FHandle != nullptr)
        UpdateWindow(FHandle);
}

void TWinControl::BringToFront()
{
    TControl::BringToFront();
    if (Parent() == nullptr && FHandle != nullptr)
        SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

String TWinControl::GetText() const
{
    if (FHandle == nullptr)
        return FText;
    const int n = GetWindowTextLengthW(FHandle);
    WideString w(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(FHandle, w.data(), n + 1);
    w.resize(static_cast<std::size_t>(std::max(0, got)));
    return WideToStr(w);
}

void TWinControl::SetTextBuf(const String& Value)
{
    FText = Value;
    if (FHandle != nullptr)
        SetWindowTextW(FHandle, StrToWide(Value).c_str());
}

void TWinControl::FontChanged()
{
    if (FHandle != nullptr) {
        SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
        Invalidate();
    }
    Broadcast(CM_PARENTFONTCHANGED);
}

void TWinControl::ColorChanged()
{
    FBrush->SetColor(Color());
    Invalidate();
    Broadcast(CM_PARENTCOLORCHANGED);
}

void TWinControl::VisibleChanged()
{
    if (FHandle != nullptr) {
        TCustomForm* form = GetParentForm(this);
        if (!Visible() && form != nullptr && form != this)
            form->DefocusControl(this);
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    Perform(CM_SHOWINGCHANGED);
}

void TWinControl::EnabledChanged()
{
    // Before the window is disabled: a disabled window loses the focus to
    // nobody, and the form would not hear of it.
    if (!EffectivelyEnabled())
        if (TCustomForm* form = GetParentForm(this); form != nullptr && form != this)
            form->DefocusControl(this);
    UpdateWindowEnabled();
}

// The window is enabled when the control and all its parents are: a
// disabled group box or panel disables (and greys) what it holds, and
// enabling it again gives each child its own Enabled back.
void TWinControl::UpdateWindowEnabled()
{
    if (FHandle != nullptr) {
        const bool enabled = EffectivelyEnabled();
        if ((IsWindowEnabled(FHandle) != FALSE) != enabled)
            EnableWindow(FHandle, enabled ? TRUE : FALSE);
        Invalidate();
    }
    for (TControl* c : FControls) {
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->UpdateWindowEnabled();
        else
            c->Invalidate();
    }
}

void TWinControl::WndProc(TMessage& Message)
{
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MBUTTONDBLCLK && RouteMouse(Message))
        return;
    switch (Message.Msg) {
    case WM_COMMAND: WMCommand(Message); break;
    case WM_NOTIFY: WMNotify(Message); break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMCtlColor(Message); break;
    case WM_DRAWITEM: WMDrawItem(Message); break;
    case WM_MEASUREITEM: WMMeasureItem(Message); break;
    case WM_HSCROLL:
    case WM_VSCROLL: WMScroll(Message); break;
    case WM_PAINT: WMPaint(Message); break;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    case WM_PRINT: WMPrint(Message); break;
    case WM_PRINTCLIENT: WMPrintClient(Message); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); break;
    case WM_SETCURSOR: WMSetCursor(Message); break;
    case WM_CONTEXTMENU: WMContextMenu(Message); break;
    case WM_MOUSEMOVE: WMMouseMove(Message); break;
    case WM_MOUSELEAVE: WMMouseLeave(Message); break;
    case WM_MOUSEWHEEL: WMMouseWheel(Message); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: WMKeyDown(Message); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: WMKeyUp(Message); break;
    case WM_CHAR: WMChar(Message); break;
    case WM_SETFOCUS: WMSetFocus(Message); break;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(Message); break;
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: CNCtlColor(Message); break;
    case CM_WANTSPECIALKEY: CMWantSpecialKey(Message); break;
    case CM_DIALOGCHAR: CMDialogChar(Message); break;
    case CM_ENTER: DoEnter(); break;
    case CM_EXIT: DoExit(); break;
    case CM_RECREATEWND: RecreateWnd(); break;
    case WM_SYSCOLORCHANGE:
        // The system tells the top-level windows only: each window hands the
        // change on to the controls it holds, with a window or without, so
        // that every control drawn in system colours can follow.
        DefaultHandler(Message);
        Broadcast(WM_SYSCOLORCHANGE, Message.WParam, Message.LParam);
        break;
    default: TControl::WndProc(Message); break;
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    // The framework's own notifications never reach a window procedure.
    if (FHandle == nullptr || (Message.Msg >= CM_BASE && Message.Msg < CN_BASE + 0x400)) {
        Message.Result = 0;
        return;
    }
    if (FOwnClass)
        Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
    else
        FBinding.CallPrevious(Message);
}

bool TWinControl::ReflectTo(HWND Child, TMessage& Message)
{
    TWinControl* control = FindControl(Child);
    if (control == nullptr || control == this)
        return false;
    Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TWinControl::WMCommand(TMessage& Message)
{
    if (Message.LParam != 0 && ReflectTo(reinterpret_cast<HWND>(Message.LParam), Message))
        return;
    // A menu choice (high word 0) or an accelerator (1).
    if (Message.LParam == 0 && HIWORD(Message.WParam) <= 1 && DispatchMenuCommand(LOWORD(Message.WParam))) {
        Message.Result = 0;
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message)
{
    const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (ReflectTo(header->hwndFrom, Message))
        return;
    // A tool tip that a control made for itself notifies through that control.
    if ((GetWindowLongW(header->hwndFrom, GWL_STYLE) & WS_POPUP) != 0 &&
        ReflectTo(GetWindow(header->hwndFrom, GW_OWNER), Message))
        return;
    DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TMessage& Message)
{
    if (!ReflectTo(reinterpret_cast<HWND>(Message.LParam), Message))
        DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TMessage& Message)
{
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
    if (item->CtlType == ODT_MENU) {
        if (MenuDrawItem(item))
            Message.Result = 1;
        else
            DefaultHandler(Message);
    } else if (!ReflectTo(item->hwndItem, Message)) {
        DefaultHandler(Message);
    }
}

void TWinControl::WMMeasureItem(TMessage& Message)
{
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    if (item->CtlType == ODT_MENU && MenuMeasureItem(item)) {
        Message.Result = 1;
        return;
    }
    if (item->CtlType == ODT_MENU || FHandle == nullptr || !ReflectTo(GetDlgItem(FHandle, static_cast<int>(item->CtlID)), Message))
        DefaultHandler(Message);
}

void TWinControl::WMScroll(TMessage& Message)
{
    if (Message.LParam == 0 || !ReflectTo(reinterpret_cast<HWND>(Message.LParam), Message))
        DefaultHandler(Message);
}

void TWinControl::CNCtlColor(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (FHandle != nullptr && IsWindowEnabled(FHandle))
        SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
}

void TWinControl::WMWindowPosChanged(TMessage& Message)
{
    DefaultHandler(Message);
    UpdateBoundsFromWindow();
}

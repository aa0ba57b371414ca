#include "framework/HintWindow.h"

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/WindowBinding.h"

int HintPause = 500;
int HintShortPause = 50;
int HintHidePause = 2500;

// ---------------------------------------------------------------------------
// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetVisible(false);
    SetColor(clInfoBk);
}

void THintWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.ClassStyle |= CS_SAVEBITS;
    Params.WndParent = nullptr;
    Params.Menu = nullptr;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*)
{
    TRect R{0, 0, MaxWidth, 0};
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    const WideString W = StrToWide(AHint);
    DrawTextW(DC, W.c_str(), static_cast<int>(W.size()), &R, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    R.right += 6;
    R.bottom += 2;
    return R;
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint)
{
    SetCaption(AHint);
    SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
    SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ReleaseHandle()
{
    if (HandleAllocated())
        ShowWindow(Handle(), SW_HIDE);
}

void THintWindow::Paint()
{
    TRect R = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
    InflateRect(&R, -2, -1);
    Canvas()->Font()->Assign(Font());
    SetBkMode(Canvas()->Handle(), TRANSPARENT);
    Canvas()->Refresh();
    const WideString W = StrToWide(Caption());
    HDC DC = Canvas()->Handle();
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    SetTextColor(DC, ColorToRGB(Font()->Color()));
    DrawTextW(DC, W.c_str(), static_cast<int>(W.size()), &R, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(DC, Old);
}

void THintWindow::TextChanged()
{
    TCustomControl::TextChanged();
    Invalidate();
}

// ---------------------------------------------------------------------------
// The hint of the control under the mouse

namespace {

struct THintState {
    HWND ControlWnd = nullptr;     // the control asked or showing
    UINT_PTR ShowTimer = 0;
    UINT_PTR PollTimer = 0;
    std::unique_ptr<THintWindow> Window;
    TRect CursorRect{};            // client coordinates of ControlWnd
    DWORD ShownAt = 0;
    int HideTimeout = 0;
};

THintState& State()
{
    static THintState S;
    return S;
}

void StopTimer(UINT_PTR& Id)
{
    if (Id) {
        KillTimer(nullptr, Id);
        Id = 0;
    }
}

void HideHint()
{
    THintState& S = State();
    StopTimer(S.PollTimer);
    // The window is freed when it hides: a window left for the end of the
    // program would outlive the application object.
    if (S.Window) {
        S.Window->ReleaseHandle();
        S.Window.reset();
    }
}

TWinControl* ControlOf(HWND Wnd) { return IsWindow(Wnd) ? TWindowBinding::Find(Wnd) : nullptr; }

// Every 100 ms while a hint shows: hide it once the mouse left its
// rectangle or its time is up.
void CALLBACK PollHint(HWND, UINT, UINT_PTR, DWORD)
{
    GuardCallback([] {
        THintState& S = State();
        POINT P;
        GetCursorPos(&P);
        bool Keep = IsWindow(S.ControlWnd) && WindowFromPoint(P) == S.ControlWnd;
        if (Keep) {
            ScreenToClient(S.ControlWnd, &P);
            Keep = PtInRect(&S.CursorRect, P) != 0;
        }
        if (Keep && S.HideTimeout > 0 && GetTickCount() - S.ShownAt >= static_cast<DWORD>(S.HideTimeout))
            Keep = false;
        if (!Keep)
            HideHint();
    });
}

THintWindow* ShowHintOf(TWinControl* Control)
{
    THintState& S = State();
    HWND Wnd = Control->Handle();
    POINT Cursor;
    GetCursorPos(&Cursor);
    THintInfo Info;
    Info.HintControl = Control;
    Info.HintWindowClass = &CreateHintWindow<THintWindow>;
    Info.HintPos = TPoint{Cursor.x, Cursor.y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4};
    Info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
    Info.HintColor = clInfoBk;
    GetClientRect(Wnd, &Info.CursorRect);
    POINT Client = Cursor;
    ScreenToClient(Wnd, &Client);
    Info.CursorPos = TPoint{Client.x, Client.y};
    Info.HideTimeout = HintHidePause;
    Info.HintStr = Control->Hint();
    const LRESULT Answer = SendMessageW(Wnd, CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
    HideHint();
    S.ControlWnd = Wnd;
    S.CursorRect = Info.CursorRect;
    if (Answer != 0 || Info.HintStr.empty() || !Info.HintWindowClass)
        return nullptr;
    S.Window = Info.HintWindowClass();
    S.Window->SetColor(Info.HintColor);
    TRect R = S.Window->CalcHintRect(Info.HintMaxWidth, Info.HintStr, Info.HintData);
    OffsetRect(&R, Info.HintPos.x, Info.HintPos.y);
    S.Window->ActivateHint(R, Info.HintStr);
    S.ShownAt = GetTickCount();
    S.HideTimeout = Info.HideTimeout;
    S.PollTimer = SetTimer(nullptr, 0, 100, PollHint);
    return S.Window.get();
}

void CALLBACK ShowPendingHint(HWND, UINT, UINT_PTR, DWORD)
{
    GuardCallback([] {
        THintState& S = State();
        StopTimer(S.ShowTimer);
        POINT P;
        GetCursorPos(&P);
        TWinControl* Control = ControlOf(S.ControlWnd);
        if (Control && WindowFromPoint(P) == S.ControlWnd)
            ShowHintOf(Control);
    });
}

} // namespace

void HintMouseMove(TControl* Control)
{
    auto* Win = dynamic_cast<TWinControl*>(Control);
    if (!Win || !Win->HandleAllocated())
        return;
    THintState& S = State();
    HWND Wnd = Win->Handle();
    const bool Showing = S.Window != nullptr;
    if (Showing && Wnd == S.ControlWnd) {
        POINT P;
        GetCursorPos(&P);
        ScreenToClient(Wnd, &P);
        if (PtInRect(&S.CursorRect, P))
            return;
    }
    if (S.ShowTimer && Wnd == S.ControlWnd)
        return;
    HideHint();
    StopTimer(S.ShowTimer);
    S.ControlWnd = Wnd;
    S.ShowTimer = SetTimer(nullptr, 0, static_cast<UINT>(Showing ? HintShortPause : HintPause), ShowPendingHint);
}

void HintCancel()
{
    THintState& S = State();
    StopTimer(S.ShowTimer);
    HideHint();
}

THintWindow* HintShowNow(TControl* Control)
{
    auto* Win = dynamic_cast<TWinControl*>(Control);
    if (!Win)
        return nullptr;
    StopTimer(State().ShowTimer);
    return ShowHintOf(Win);
}

THintWindow* ActiveHintWindow()
{
    THintState& S = State();
    return S.Window.get();
}

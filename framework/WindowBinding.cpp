#include "framework/WindowBinding.h"

#include <unordered_map>
#include <unordered_set>

#include "framework/Application.h"
#include "framework/Codepage.h"

namespace {

// Windows of system classes and their objects (GUI thread only). Never
// freed: forms owned by the application are destroyed during static
// destruction, and their windows still arrive here then.
std::unordered_map<HWND, TWinControl*>& SubclassedWindows()
{
    static auto* map = new std::unordered_map<HWND, TWinControl*>;
    return *map;
}

// The control whose system-class window is being created on this thread.
thread_local TWinControl* PendingControl = nullptr;

// Runs one message of a window of a framework class through the object's
// WindowProc; the binding ends with WM_NCDESTROY.
LRESULT Dispatch(TWinControl* Control, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    GuardWindowMessage(Wnd, message, [&] { Control->WindowProc(message); });
    if (Msg == WM_NCDESTROY)
        TWindowBinding::Detach(Control, Wnd, false);
    return message.Result;
}

// The link through which a window of a system class reaches its object: the
// oldest link of the window, so that what hooks the window later sees its
// messages first. Its Previous is the class procedure, which the object's
// DefaultHandler reaches through the control's binding.
void BindingLink(TWinControl* Control, HWND Wnd, TMessage& Message)
{
    struct TDetachAtEnd {
        TWinControl* Control;
        HWND Wnd;
        UINT Msg;
        ~TDetachAtEnd()
        {
            if (Msg == WM_NCDESTROY)
                TWindowBinding::Detach(Control, Wnd, true);
        }
    } detach{Control, Wnd, Message.Msg};
    Control->WindowProc(Message);
}

LRESULT CALLBACK OwnClassWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(LParam);
        auto* control = static_cast<TWinControl*>(cs->lpCreateParams);
        if (control != nullptr)
            TWindowBinding::Attach(control, Wnd, TWindowHook());
    }
    auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    if (control == nullptr)
        return DefWindowProcW(Wnd, Msg, WParam, LParam);
    return Dispatch(control, Wnd, Msg, WParam, LParam);
}

LRESULT CALLBACK CreationHook(int Code, WPARAM WParam, LPARAM LParam)
{
    if (Code == HCBT_CREATEWND && PendingControl != nullptr) {
        GuardCallback([&] {
            auto* cbt = reinterpret_cast<CBT_CREATEWNDW*>(LParam);
            if (cbt->lpcs->lpCreateParams != PendingControl)
                return;
            HWND wnd = reinterpret_cast<HWND>(WParam);
            TWinControl* control = PendingControl;
            PendingControl = nullptr;
            // Hooked first: should that fail, the window keeps its own
            // procedure and stays unbound.
            TWindowHook binding = HookWndProc(wnd, [control, wnd](TMessage& Message, const TCallPrevious&) {
                BindingLink(control, wnd, Message);
            });
            SubclassedWindows()[wnd] = control;
            TWindowBinding::Attach(control, wnd, std::move(binding));
        });
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

void RegisterOwnClass(const WideString& Name, UINT Style)
{
    static std::unordered_set<WideString> registered;
    if (registered.count(Name) != 0)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = Style;
    wc.lpfnWndProc = OwnClassWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = Name.c_str();
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw EOSError("Cannot register the window class of " + WideToStr(Name));
    registered.insert(Name);
}

} // namespace

HWND TWindowBinding::Create(TWinControl* Control, const TCreateParams& P)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (P.SysClassName.empty()) {
        RegisterOwnClass(P.WinClassName, P.ClassStyle);
        Control->FOwnClass = true;
        HWND wnd = CreateWindowExW(P.ExStyle, P.WinClassName.c_str(), P.Caption.c_str(), P.Style, P.X, P.Y,
                                   P.Width, P.Height, P.WndParent, P.Menu, instance, Control);
        if (wnd == nullptr)
            ForgetRefused(Control, false);
        return wnd;
    }
    // The system classes in use ignore the creation parameter; it only
    // identifies the window to the hook.
    Control->FOwnClass = false;
    TWinControl* outer = PendingControl;
    PendingControl = Control;
    HHOOK hook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    if (hook == nullptr) {
        PendingControl = outer;
        throw EOSError("Cannot set the window creation hook (error " + std::to_string(GetLastError()) + ")");
    }
    HWND wnd = CreateWindowExW(P.ExStyle, P.SysClassName.c_str(), P.Caption.c_str(), P.Style, P.X, P.Y,
                               P.Width, P.Height, P.WndParent, P.Menu, instance, Control);
    UnhookWindowsHookEx(hook);
    PendingControl = outer;
    if (wnd == nullptr)
        ForgetRefused(Control, true);
    if (wnd != nullptr && Control->FHandle != wnd) {
        // The hook failed to bind it (its error went to HandleException).
        DestroyWindow(wnd);
        return nullptr;
    }
    return wnd;
}

void TWindowBinding::ForgetRefused(TWinControl* Control, bool Subclassed)
{
    // The caller reports the system's reason for the refusal.
    const DWORD error = GetLastError();
    if (Control->FHandle != nullptr)
        Detach(Control, Control->FHandle, Subclassed);
    SetLastError(error);
}

TWinControl* TWindowBinding::Find(HWND Wnd)
{
    if (Wnd == nullptr)
        return nullptr;
    auto& map = SubclassedWindows();
    auto it = map.find(Wnd);
    if (it != map.end())
        return it->second;
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(Wnd, GCLP_WNDPROC)) == OwnClassWndProc)
        return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    return nullptr;
}

TWinControl* FindControl(HWND Wnd)
{
    return TWindowBinding::Find(Wnd);
}

void TWindowBinding::Attach(TWinControl* Control, HWND Wnd, TWindowHook Binding)
{
    if (!Binding.Installed())
        SetWindowLongPtrW(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Control));
    Control->FHandle = Wnd;
    Control->FBinding = std::move(Binding);
}

void TWindowBinding::Detach(TWinControl* Control, HWND Wnd, bool Subclassed)
{
    if (Subclassed) {
        SubclassedWindows().erase(Wnd);
        // The link goes with the window's other links once WM_NCDESTROY is through.
        Control->FBinding.Remove();
    } else {
        SetWindowLongPtrW(Wnd, GWLP_USERDATA, 0);
    }
    if (Control->FHandle == Wnd)
        Control->FHandle = nullptr;
}

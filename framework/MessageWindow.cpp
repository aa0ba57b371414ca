#include "framework/MessageWindow.h"

#include <memory>

#include "framework/Application.h"
#include "framework/Exception.h"

namespace {

const wchar_t* const ClassName = L"FrameworkHiddenWindow";

TWndMethod* MethodOf(HWND wnd)
{
    return reinterpret_cast<TWndMethod*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
}

LRESULT CALLBACK HiddenWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWndMethod* method = MethodOf(wnd);
    if (method == nullptr)
        return DefWindowProcW(wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // The window owns its method: unbind and free it with the window.
        SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        std::unique_ptr<TWndMethod> owned(method);
        return DefWindowProcW(wnd, msg, wParam, lParam);
    }
    TMessage message{msg, wParam, lParam, 0};
    return GuardCallback([&] {
        (*method)(message);
        return message.Result;
    }, LRESULT{0});
}

void RegisterHiddenClass()
{
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = HiddenWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = ClassName;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered)
        throw EOSError("Cannot register the hidden window class");
}

} // namespace

HWND AllocateHWnd(TWndMethod Method)
{
    RegisterHiddenClass();
    HWND wnd = CreateWindowExW(0, ClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (wnd == nullptr)
        throw EOSError("Cannot create a hidden window (error " + std::to_string(GetLastError()) + ")");
    // Bound after creation: messages sent during CreateWindowExW go to DefWindowProcW.
    auto method = std::make_unique<TWndMethod>(std::move(Method));
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(method.release()));
    return wnd;
}

void DeallocateHWnd(HWND Wnd)
{
    if (Wnd != nullptr)
        DestroyWindow(Wnd);
}

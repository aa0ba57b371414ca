// The application's hidden window and its chain of main-window hooks.
#include "framework/Application.h"

namespace {

const wchar_t* const AppWindowClass = L"TApplication";

}   // namespace

LRESULT CALLBACK TApplication::AppWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    const bool handled = GuardCallback(
        [&] {
            // A copy: a hook may add or remove hooks while it runs.
            const auto hooks = Application->FWindowHooks;
            for (const auto& hook : hooks)
                if (hook.second(message))
                    return true;
            return false;
        },
        false);
    return handled ? message.Result : DefWindowProcW(Wnd, Msg, WParam, LParam);
}

HWND TApplication::Handle()
{
    if (FHandle != nullptr)
        return FHandle;
    WNDCLASSW wc{};
    if (!GetClassInfoW(GetModuleHandleW(nullptr), AppWindowClass, &wc)) {
        wc.lpfnWndProc = &TApplication::AppWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = AppWindowClass;
        RegisterClassW(&wc);
    }
    FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, AppWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    return FHandle;
}

int TApplication::HookMainWindow(TWindowHook Hook)
{
    const int id = FNextHookId++;
    FWindowHooks.emplace_back(id, std::move(Hook));
    return id;
}

void TApplication::UnhookMainWindow(int Id)
{
    for (auto it = FWindowHooks.begin(); it != FWindowHooks.end(); ++it)
        if (it->first == Id) {
            FWindowHooks.erase(it);
            return;
        }
}

// Exits 0 when this Wine session can create and show a top-level window, 1
// when it cannot. ./test runs it before the Windows tests and, while it fails,
// starts Wine's server again: a desktop process that failed to start under load
// otherwise leaves every later window creation failing for the whole run.
#include <windows.h>
#include <cstdio>

int main() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WindowProbe";
    if (!RegisterClassW(&wc)) {
        std::printf("window probe: RegisterClass failed (error %lu)\n", GetLastError());
        return 1;
    }
    HWND wnd = CreateWindowExW(0, wc.lpszClassName, L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                               nullptr, nullptr, wc.hInstance, nullptr);
    if (!wnd) {
        std::printf("window probe: CreateWindow failed (error %lu)\n", GetLastError());
        return 1;
    }
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    DestroyWindow(wnd);
    return 0;
}

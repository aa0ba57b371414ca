#include "framework/SystemMessageBox.h"

namespace {

// The caption of the box being shown on this thread, and the hook that
// watches for it; a box shown while another is open saves and restores it.
struct TPendingBox {
    HHOOK Hook = nullptr;
    const WideString* Caption = nullptr;
    bool Fitted = false;
};
thread_local TPendingBox* Pending = nullptr;

bool IsDialogWindow(HWND Wnd)
{
    wchar_t name[16] = {};
    GetClassNameW(Wnd, name, 16);
    return lstrcmpW(name, L"#32770") == 0;
}

// Moves every child of Box by Dx, in the box's client coordinates.
void ShiftChildren(HWND Box, int Dx)
{
    for (HWND child = GetWindow(Box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, Box, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left + Dx, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void FitToCaption(HWND Box, const WideString& Caption)
{
    RECT r;
    GetWindowRect(Box, &r);
    const int width = r.right - r.left;
    const int needed = CaptionWidthNeeded(Box, Caption);
    if (needed <= width)
        return;
    const int grow = needed - width;
    // Widened around its centre, and kept on its monitor's work area.
    int left = r.left - grow / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(Box, MONITOR_DEFAULTTONEAREST), &monitor)) {
        if (left + needed > monitor.rcWork.right)
            left = monitor.rcWork.right - needed;
        if (left < monitor.rcWork.left)
            left = monitor.rcWork.left;
    }
    SetWindowPos(Box, nullptr, left, r.top, needed, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShiftChildren(Box, grow / 2);
}

// The box has laid itself out once its WM_INITDIALOG is handled, and is not
// shown yet.
LRESULT CALLBACK InitDoneHook(int Code, WPARAM WParam, LPARAM LParam)
{
    TPendingBox* pending = Pending;
    if (Code == HC_ACTION && pending != nullptr && !pending->Fitted) {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(LParam);
        if (message->message == WM_INITDIALOG && IsDialogWindow(message->hwnd)) {
            pending->Fitted = true;
            FitToCaption(message->hwnd, *pending->Caption);
        }
    }
    return CallNextHookEx(pending != nullptr ? pending->Hook : nullptr, Code, WParam, LParam);
}

} // namespace

int CaptionWidthNeeded(HWND Wnd, const WideString& Caption)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return 0;
    SIZE text{};
    HDC dc = GetDC(Wnd);
    HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, Caption.c_str(), static_cast<int>(Caption.size()), &text);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(Wnd, dc);
    const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    return 2 * frame + GetSystemMetrics(SM_CXSMICON) + text.cx + 3 * metrics.iCaptionWidth;
}

int SystemMessageBox(HWND Owner, const WideString& Text, const WideString& Caption, UINT Flags)
{
    TPendingBox pending;
    pending.Caption = &Caption;
    TPendingBox* outer = Pending;
    Pending = &pending;
    pending.Hook = SetWindowsHookExW(WH_CALLWNDPROCRET, InitDoneHook, nullptr, GetCurrentThreadId());
    const int result = MessageBoxW(Owner, Text.c_str(), Caption.c_str(), Flags);
    if (pending.Hook != nullptr)
        UnhookWindowsHookEx(pending.Hook);
    Pending = outer;
    return result;
}

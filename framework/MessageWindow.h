#pragma once
// Hidden message-only windows: the channel by which worker threads hand work
// to the thread that created the window, by posting messages to it.

#include <windows.h>

#include "framework/Messages.h"

// Creates a message-only window on the calling thread whose messages go to
// Method; Method sees every message and sets Message.Result (calling
// DefWindowProcW itself for those it does not handle). An exception from
// Method goes to Application->HandleException.
HWND AllocateHWnd(TWndMethod Method);
// Destroys a window made by AllocateHWnd; a null handle is ignored.
void DeallocateHWnd(HWND Wnd);

// Owns one hidden window for the lifetime of the object.
class THiddenWindow {
public:
    explicit THiddenWindow(TWndMethod Method) : FHandle(AllocateHWnd(std::move(Method))) {}
    ~THiddenWindow() { DeallocateHWnd(FHandle); }
    THiddenWindow(const THiddenWindow&) = delete;
    THiddenWindow& operator=(const THiddenWindow&) = delete;
    HWND Handle() const { return FHandle; }

private:
    HWND FHandle;
};

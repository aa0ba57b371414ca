#pragma once
// A window message as the framework's message handlers see it, and the
// message number ranges the framework reserves for its own notifications.

#include <functional>

#include <windows.h>

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

using TWndMethod = std::function<void(TMessage& Message)>;

// Internal control notifications (CM_) and reflected notifications (CN_).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CN_BASE = 0xBC00;

#pragma once
// Binding of control objects to their windows (used by TWinControl only).
//
// Windows of the framework's own classes carry their object in
// GWLP_USERDATA, stored on WM_NCCREATE from the creation parameter.
// Windows of system classes are hooked (HookWndProc, WindowHooks.h) from a
// thread-local WH_CBT hook that is set only around their CreateWindowExW: on
// HCBT_CREATEWND, before the window's first message, the binding becomes the
// window's first link and the window is entered in a hash map. Both bindings
// are removed on WM_NCDESTROY.

#include "framework/WinControl.h"
#include "framework/WindowHooks.h"

struct TWindowBinding {
    // Creates the window of Control from Params; Control's handle is set
    // before CreateWindowExW returns. Returns nullptr on failure.
    static HWND Create(TWinControl* Control, const TCreateParams& Params);
    static TWinControl* Find(HWND Wnd);
    // Records the window in the control; Binding is the link of a window of
    // a system class (none for a window of our own class).
    static void Attach(TWinControl* Control, HWND Wnd, TWindowHook Binding);
    // Forgets the window; a system class's one loses its binding link.
    static void Detach(TWinControl* Control, HWND Wnd, bool Subclassed);
    // After a failed creation: a window the control was bound to and the
    // system then refused (a later creation hook, its own creation
    // messages) is gone, and the control forgets it.
    static void ForgetRefused(TWinControl* Control, bool Subclassed);
};

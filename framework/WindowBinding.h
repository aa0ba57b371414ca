#pragma once
// Binding of control objects to their windows (used by TWinControl only).
//
// Windows of the framework's own classes carry their object in
// GWLP_USERDATA, stored on WM_NCCREATE from the creation parameter.
// Windows of system classes are subclassed from a thread-local WH_CBT hook
// that is set only around their CreateWindowExW: on HCBT_CREATEWND, before
// the window's first message, the window procedure is replaced and the
// window entered in a hash map. Both bindings are removed on WM_NCDESTROY.

#include "framework/WinControl.h"

struct TWindowBinding {
    // Creates the window of Control from Params; Control's handle is set
    // before CreateWindowExW returns. Returns nullptr on failure.
    static HWND Create(TWinControl* Control, const TCreateParams& Params);
    static TWinControl* Find(HWND Wnd);
    // Records the window in the control; Previous is the procedure that a
    // subclassed window had (nullptr for a window of our own class).
    static void Attach(TWinControl* Control, HWND Wnd, WNDPROC Previous);
    // Forgets the window; a subclassed one gets its procedure back.
    static void Detach(TWinControl* Control, HWND Wnd, bool Subclassed);
    // After a failed creation: a window the control was bound to and the
    // system then refused (a later creation hook, its own creation
    // messages) is gone, and the control forgets it.
    static void ForgetRefused(TWinControl* Control, bool Subclassed);
};

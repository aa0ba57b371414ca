#pragma once
// The one way to intercept the messages of a window, at two levels:
//
//   HookWindowProc  in front of a framework control's WindowProc, the entry
//                   every message of the control passes (its window's
//                   messages, Perform, the framework's notifications). The
//                   link belongs to the control: it stays across re-creations
//                   of the control's window and is freed with the control.
//   HookWndProc     in front of the window procedure of any window of this
//                   thread, whoever made it: a popup menu ("#32768"), a
//                   message box or dialog ("#32770"), a common dialog, a
//                   system control. The link belongs to the window: after
//                   the window's WM_NCDESTROY it is freed.
//
// Each installation returns a TWindowHook that takes out exactly that link,
// in any order with the others, and that hands a message to what lies below
// the link (CallPrevious). The newest link sees a message first; it answers
// the message (sets Result and returns) or hands it on, changed or not, with
// the Previous it is given. Below the oldest link lies what was there before
// the first one: the control's former WindowProc, or the window's former
// window procedure.
//
// How: per control, WindowProc is replaced once by a dispatcher of the
// control's links; per window, the window procedure is replaced once by one
// framework-owned entry procedure that finds the window's links (in a table
// by window handle) and runs them. Links are entries in a list, so taking one out
// never touches a window procedure. Only when the last link of a window goes
// and the window procedure is still the entry procedure is the former one
// put back. When someone replaced the window procedure after ours, outside
// this mechanism, that procedure still calls ours: then the entry procedure
// stays in place as a pass-through, is reused by the next link installed,
// and is freed at WM_NCDESTROY. At the control level the dispatcher likewise
// stays under a WindowProc replaced by hand, and also when its last link goes
// while it runs; without links it only passes messages on, and it is freed
// with the control. A link installed while a foreign procedure sits above
// ours joins our list, below it, so that the foreign procedure can still put
// back the one it saved without cutting out any link.
//
// Why not the common controls' SetWindowSubclass: under Wine 8, removing the
// last subclass of a window puts back the window's former procedure even
// when another one was installed after it (measured), which silently cuts
// out whatever hooked the window later; it has no control level; and its
// previous procedure, DefSubclassProc, is whatever follows the subclass call
// under way, not the previous procedure of a given subclass. The skin
// engine's subclasses and form providers keep a previous procedure (a saved
// window procedure or a saved WindowProc) and call it, also for messages
// that come after they gave it back. Here "the previous procedure" of a link
// is fixed by the link's place in the list: CallPrevious works from
// anywhere, also inside a nested message and after the link was removed (it
// then reaches the links older than it) as long as the chain it was in is in
// place: during the message in which the link was removed, and while other
// links or the pass-through remain. Once the last link of a window went and
// the window procedure was given back (of a control: its WindowProc), a
// removed link's messages no longer come to it, and CallPrevious answers 0.
//
// The entry procedure is a Unicode window procedure, as the framework's
// window procedures are: links see every message in its Unicode form
// (WM_CHAR in UTF-16, WM_SETTEXT with a wide string), whatever the window's
// class; the window's former procedure is called through CallWindowProcW,
// which converts for an ANSI one.
//
// WM_NCDESTROY: every link of the window sees it once, newest first; when the
// window procedure has handled it, every link is freed (its procedure is
// destroyed) and nothing calls a link of that window again, nor the window
// procedure under them; CallPrevious answers 0 from then on.
//
// Exceptions: none leaves the entry procedure; one thrown in a link goes to
// Application->HandleException, and the message answers 0 (a failed WM_PAINT
// validates the window first, so that it does not fail again and again).
// At the control level a link's exception travels to whoever called
// WindowProc, which for a window message is a framework window procedure.
//
// Threads: install, remove and call on the thread that owns the window (the
// GUI thread).

#include <cstdint>
#include <functional>
#include <memory>

#include <windows.h>

#include "framework/Messages.h"

class TControl;
class THookChain;
struct THookLink;

// Hands a message to what lies below the link it was given to. Valid while
// that link's procedure runs; it cannot be kept (use TWindowHook for that).
class TCallPrevious {
public:
    TCallPrevious(THookChain& Chain, std::uint64_t Order) : FChain(Chain), FOrder(Order) {}
    TCallPrevious(const TCallPrevious&) = delete;
    TCallPrevious& operator=(const TCallPrevious&) = delete;

    void operator()(TMessage& Message) const;

private:
    THookChain& FChain;
    std::uint64_t FOrder;
};

// A link's procedure: answers Message or hands it on with Previous.
using TWindowHookProc = std::function<void(TMessage& Message, const TCallPrevious& Previous)>;

// One installed link. Destroying it removes the link; it can be moved, not copied.
class TWindowHook {
public:
    TWindowHook() = default;
    ~TWindowHook() { Remove(); }
    TWindowHook(TWindowHook&& Other) noexcept;
    TWindowHook& operator=(TWindowHook&& Other) noexcept;
    TWindowHook(const TWindowHook&) = delete;
    TWindowHook& operator=(const TWindowHook&) = delete;

    // Takes the link out; nothing when it is out already (removed, freed
    // with its window or control, or never installed).
    void Remove();
    // The link is in its chain: installed, not removed, not freed.
    bool Installed() const;
    // Hands Message to the link installed before this one that is still in,
    // else to what lies below all links. Works after Remove too while the
    // chain is in place (see above); otherwise Message.Result is set to 0.
    void CallPrevious(TMessage& Message) const;
    LRESULT CallPrevious(UINT Msg, WPARAM WParam, LPARAM LParam) const;

private:
    TWindowHook(const std::shared_ptr<THookChain>& Chain, const std::shared_ptr<THookLink>& Link);
    friend TWindowHook HookWindowProc(TControl* Control, TWindowHookProc Proc);
    friend TWindowHook HookWndProc(HWND Wnd, TWindowHookProc Proc);

    std::weak_ptr<THookChain> FChain;
    std::weak_ptr<THookLink> FLink;
    std::uint64_t FOrder = 0;
};

// Installs Proc in front of Control's WindowProc.
[[nodiscard]] TWindowHook HookWindowProc(TControl* Control, TWindowHookProc Proc);

// Installs Proc in front of the window procedure of Wnd, a window of the
// calling thread. Raises EOSError when the window cannot be hooked (not a
// window, or one of another thread).
[[nodiscard]] TWindowHook HookWndProc(HWND Wnd, TWindowHookProc Proc);

// Whether the window carries links of HookWndProc or the pass-through they
// left behind (see above); false again once WM_NCDESTROY has been handled or
// the last link went while the entry procedure was on top.
bool WindowHooked(HWND Wnd);

#pragma once
// The application object: the main thread's message loop, message
// processing during long waits, and the default handling of exceptions that
// reach the loop or a window procedure.

#include <functional>
#include <utility>
#include <vector>

#include <windows.h>
#undef MessageBox   // TApplication::MessageBox takes 936 text; the W function is called by name

#include "framework/Component.h"
#include "framework/Exception.h"
#include "framework/Messages.h"

class TCustomForm;

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
// Answers a message box instead of showing it (tests); returns the button id.
using TMessageBoxHook = std::function<int(const String& Text, const String& Caption, UINT Flags)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Runs the message loop until Terminate or WM_QUIT.
    void Run();
    // Handles every message that is waiting, then returns.
    void ProcessMessages();
    // Waits for one message (running OnIdle when none is waiting) and handles it.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Clears the terminated state, and removes the WM_QUIT of Terminate
    // that no loop took, so that a new loop (a modal run too) can run (tests).
    void ResetTerminated();

    // Shows the exception's message in the default error dialog, unless
    // OnException is bound. Called for every exception caught at a callback
    // boundary, with the exception being handled as the current one.
    void HandleException(TObject* Sender);
    void ShowException(const Exception& E);

    // A message box with 936 text, routed through MessageBoxHook when set.
    int MessageBox(const String& Text, const String& Caption, UINT Flags);

    // The program's title; message boxes carry TitleText() as their caption.
    String Title;
    // Title, or the program's name (its executable's name without the
    // extension) while no title is set.
    String TitleText() const;
    String ExeName() const;
    // Folder of the executable, with a trailing backslash.
    String ExePath() const;

    TExceptionEvent OnException;
    TNotifyEvent OnIdle;
    TMessageBoxHook MessageBoxHook;

    // Called for each message before it is dispatched; true means handled.
    // Lets the program see (and take) messages before anything else.
    std::function<bool(MSG& Msg)> OnMessage;

    // Set by the control layer: sees each message after OnMessage, to give
    // the forms their dialog keys (Tab, Enter, Esc); true means handled.
    std::function<bool(MSG& Msg)> ControlMessageFilter;

    // The program's main form: closing it ends Run. The first form made by
    // CreateForm becomes the main form.
    TCustomForm* MainForm = nullptr;
    template <class TFormClass>
    void CreateForm(TFormClass*& Reference)
    {
        Reference = new TFormClass(this);   // owned by the application from here on
        if (MainForm == nullptr)
            MainForm = Reference;
    }

    // The application's own hidden top-level window (class "TApplication"),
    // made on first use: it receives what the system sends to every
    // top-level window (WM_THEMECHANGED, ...).
    HWND Handle();
    // Hooks that see the application window's messages before its own
    // handling, in the order they were added; the first that answers true
    // handles the message. HookMainWindow returns the id that
    // UnhookMainWindow takes; a hook may unhook itself while it runs.
    using TWindowHook = std::function<bool(TMessage& Message)>;
    int HookMainWindow(TWindowHook Hook);
    void UnhookMainWindow(int Id);

private:
    bool ProcessMessage(MSG& Msg);
    static LRESULT CALLBACK AppWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    bool FTerminated = false;
    HWND FHandle = nullptr;
    std::vector<std::pair<int, TWindowHook>> FWindowHooks;
    int FNextHookId = 1;
};

extern TApplication* const Application;

// Runs Body; an exception it raises goes to Application->HandleException and
// OnError is returned instead. Every callback that Win32 calls (window
// procedures, hooks, thread entries) runs its work through this, so that no
// exception ever unwinds into Win32.
template <class R, class F>
R GuardCallback(F&& Body, R OnError)
{
    try {
        return Body();
    } catch (...) {
        Application->HandleException(nullptr);
        return OnError;
    }
}

template <class F>
void GuardCallback(F&& Body)
{
    try {
        Body();
    } catch (...) {
        Application->HandleException(nullptr);
    }
}

// GuardCallback for the handling of one window message. A message whose
// handling fails answers 0, whatever part of the handling had set before.
// When the handling of WM_PAINT fails, the window is validated first, so that
// the error dialog's own message loop does not paint (and fail) again and again.
template <class F>
void GuardWindowMessage(HWND Wnd, TMessage& Message, F&& Body)
{
    GuardCallback([&] {
        try {
            Body();
        } catch (...) {
            Message.Result = 0;
            if (Message.Msg == WM_PAINT)
                ValidateRect(Wnd, nullptr);
            throw;
        }
    });
}

#include "framework/Application.h"

#include <exception>

#include "framework/Codepage.h"
#include "framework/SystemMessageBox.h"

namespace {

TApplication instance;

} // namespace

TApplication* const Application = &instance;

TApplication::TApplication() : TComponent(nullptr)
{
}

TApplication::~TApplication()
{
    // The forms go first: while they are freed they may still unhook
    // themselves from the application window.
    Destroying();
    DestroyComponents();
    if (FHandle != nullptr)
        DestroyWindow(FHandle);
}

bool TApplication::ProcessMessage(MSG& Msg)
{
    if (!PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool handled = false;
    if (OnMessage)
        handled = GuardCallback([&] { return OnMessage(Msg); }, false);
    if (!handled && ControlMessageFilter)
        handled = GuardCallback([&] { return ControlMessageFilter(Msg); }, false);
    if (!handled) {
        TranslateMessage(&Msg);
        DispatchMessageW(&Msg);
    }
    return true;
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (!ProcessMessage(msg)) {
        if (OnIdle)
            GuardCallback([&] { OnIdle(this); });
        if (!FTerminated)
            WaitMessage();
    }
}

void TApplication::Run()
{
    while (!FTerminated)
        HandleMessage();
}

void TApplication::Terminate()
{
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::ResetTerminated()
{
    FTerminated = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void TApplication::HandleException(TObject* Sender)
{
    if (!std::current_exception())
        return;
    // Nothing may leave this function: it runs at callback boundaries.
    try {
        try {
            throw;
        } catch (const Exception& e) {
            if (OnException)
                OnException(Sender, e);
            else
                ShowException(e);
        } catch (const std::exception& e) {
            const Exception wrapped(e.what());
            if (OnException)
                OnException(Sender, wrapped);
            else
                ShowException(wrapped);
        } catch (...) {
            const Exception wrapped("Unknown exception");
            if (OnException)
                OnException(Sender, wrapped);
            else
                ShowException(wrapped);
        }
    } catch (...) {
    }
}

void TApplication::ShowException(const Exception& E)
{
    MessageBox(E.Message, TitleText(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags)
{
    if (MessageBoxHook)
        return MessageBoxHook(Text, Caption, Flags);
    return SystemMessageBox(GetActiveWindow(), StrToWide(Text), StrToWide(Caption), Flags);
}

String TApplication::ExeName() const
{
    WideString buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return WideToStr(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

String TApplication::TitleText() const
{
    if (!Title.empty())
        return Title;
    String name = ExeName();
    const auto slash = name.find_last_of("\\/");
    if (slash != String::npos)
        name.erase(0, slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != String::npos && dot > 0)
        name.erase(dot);
    return name;
}

String TApplication::ExePath() const
{
    const String name = ExeName();
    const auto slash = name.find_last_of("\\/");
    return slash == String::npos ? String() : name.substr(0, slash + 1);
}

#include "framework/Timer.h"

namespace {

constexpr UINT_PTR TimerId = 1;

} // namespace

TTimer::TTimer(TComponent* AOwner)
    : TComponent(AOwner), FWindow([this](TMessage& Message) { WndProc(Message); })
{
    UpdateTimer();
}

TTimer::~TTimer()
{
    Destroying();
    KillTimer(FWindow.Handle(), TimerId);
}

void TTimer::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value)
{
    if (Value == FInterval)
        return;
    FInterval = Value;
    UpdateTimer();
}

// The system timer runs while the timer is enabled with an interval; a
// tick without a bound OnTimer does nothing.
void TTimer::UpdateTimer()
{
    KillTimer(FWindow.Handle(), TimerId);
    if (FEnabled && FInterval > 0)
        SetTimer(FWindow.Handle(), TimerId, FInterval, nullptr);
}

void TTimer::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER && Message.WParam == TimerId) {
        Timer();
        Message.Result = 0;
        return;
    }
    Message.Result = DefWindowProcW(FWindow.Handle(), Message.Msg, Message.WParam, Message.LParam);
}

void TTimer::Timer()
{
    if (FEnabled && OnTimer)
        OnTimer(this);
}

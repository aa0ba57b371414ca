#pragma once
// Timers: OnTimer every Interval milliseconds while Enabled, on the thread
// that made the timer, through a hidden window's WM_TIMER.

#include "framework/Component.h"
#include "framework/MessageWindow.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal Value);

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);

    bool FEnabled = true;
    Cardinal FInterval = 1000;
    THiddenWindow FWindow;
};

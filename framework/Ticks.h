#pragma once
// The millisecond tick counter: a 32-bit count that wraps after about 49 days,
// read through a replaceable source so that tests can move time by hand.

#include <functional>

#include "framework/Types.h"

using TTickSource = std::function<Cardinal()>;

// Current tick count of the installed source (the system's by default).
Cardinal GetTickCount32();

// Installs a source; an empty function restores the system's.
void SetTickSource(TTickSource Source);

// A source for tests: a counter moved only by Advance.
class TManualTicks {
public:
    explicit TManualTicks(Cardinal Start = 1000);
    ~TManualTicks();
    TManualTicks(const TManualTicks&) = delete;
    TManualTicks& operator=(const TManualTicks&) = delete;
    void Advance(Cardinal Ms) { FNow += Ms; }
    Cardinal Now() const { return FNow; }

private:
    Cardinal FNow;
};

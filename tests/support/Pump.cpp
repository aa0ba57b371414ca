#include "tests/support/Pump.h"

#include <windows.h>

#include "framework/Application.h"
#include "framework/Ticks.h"

bool PumpUntil(const std::function<bool()>& Done, unsigned BoundMs)
{
    const Cardinal start = GetTickCount32();
    for (;;) {
        Application->ProcessMessages();
        if (Done())
            return true;
        if (GetTickCount32() - start > BoundMs)
            return false;
        Sleep(1);
    }
}

void PumpFor(unsigned Ms)
{
    PumpUntil([] { return false; }, Ms);
}

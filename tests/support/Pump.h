#pragma once
// Bounded waits for tests on the main thread: messages keep being processed,
// so events handed over by worker threads run while the test waits.

#include <functional>

// Processes messages until Done() holds or BoundMs pass; returns Done().
bool PumpUntil(const std::function<bool()>& Done, unsigned BoundMs);
// Processes messages for Ms milliseconds.
void PumpFor(unsigned Ms);

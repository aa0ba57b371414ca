#include "framework/Ticks.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

namespace {

Cardinal SystemTicks()
{
    using namespace std::chrono;
    return static_cast<Cardinal>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::mutex sourceLock;
std::shared_ptr<TTickSource> installed;   // written by SetTickSource, read by any thread

} // namespace

Cardinal GetTickCount32()
{
    std::shared_ptr<TTickSource> source;
    {
        std::lock_guard<std::mutex> lock(sourceLock);
        source = installed;
    }
    return source ? (*source)() : SystemTicks();
}

void SetTickSource(TTickSource Source)
{
    std::lock_guard<std::mutex> lock(sourceLock);
    installed = Source ? std::make_shared<TTickSource>(std::move(Source)) : nullptr;
}

TManualTicks::TManualTicks(Cardinal Start) : FNow(Start)
{
    SetTickSource([this] { return FNow; });
}

TManualTicks::~TManualTicks() { SetTickSource(nullptr); }

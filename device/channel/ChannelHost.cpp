#include "device/channel/ChannelHost.h"

#include <atomic>

#include "device/Frames.h"

namespace vantrel {

namespace {

TChannelHost* installedHost = nullptr;   // written and read on the main thread
std::atomic<bool> operationRunning{false};   // claimed on the main thread, given back by either thread

} // namespace

std::array<String, SlotCount> ReadBuffer;
std::array<Byte, SlotCount> RawSendToggles{};

void SetChannelHost(TChannelHost* Host)
{
    installedHost = Host;
    if (Host != nullptr)
        SetFrameAddressSource([Host] { return Host->SendIdIndex(); });
    else
        SetFrameAddressSource(nullptr);
}

TChannelHost& Host()
{
    if (installedHost == nullptr)
        throw Exception("The device link has no main window to work on");
    return *installedHost;
}

bool TryBeginDeviceOperation()
{
    bool idle = false;
    return operationRunning.compare_exchange_strong(idle, true);
}

void EndDeviceOperation() { operationRunning = false; }

bool DeviceOperationRunning() { return operationRunning; }

Byte ParityCode(TParityState State)
{
    switch (State) {
    case TParityState::Checked: return 2;
    case TParityState::Grayed: return 1;
    case TParityState::Unchecked: break;
    }
    return 0;
}

} // namespace vantrel

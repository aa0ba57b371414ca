#include "device/channel/ChannelHost.h"

#include "device/Frames.h"

namespace vantrel {

namespace {

TChannelHost* installedHost = nullptr;   // written and read on the main thread

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

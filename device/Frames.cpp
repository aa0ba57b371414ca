#include "device/Frames.h"

namespace {

TFrameAddressSource addressSource;   // installed by the main window, read on any thread

} // namespace

String RequestHead(Byte Address, Byte Command, const String& Data)
{
    String frame;
    frame.reserve(Data.size() + 7);
    frame.push_back(static_cast<char>(0xCA));
    frame.push_back(static_cast<char>(0x20));
    frame.push_back(static_cast<char>(Address));
    frame.push_back(static_cast<char>(Command));
    frame.push_back(static_cast<char>(Data.size() & 0xFF));   // length modulo 256, as the device reads one byte
    frame += Data;
    return frame;
}

String AddCheckSum(const String& Frame)
{
    Byte sum = 0;
    for (char c : Frame)
        sum = static_cast<Byte>(sum + static_cast<Byte>(c));
    return Frame + static_cast<char>(static_cast<Byte>(~sum));
}

void SetFrameAddressSource(TFrameAddressSource Source) { addressSource = std::move(Source); }

Byte FrameAddress() { return addressSource ? static_cast<Byte>(addressSource()) : Byte{0xFE}; }

String BuildNetFrame(Byte Command, const String& Data) { return AddCheckSum(RequestHead(FrameAddress(), Command, Data)); }

String BuildComFrame(Byte Command, const String& Data) { return RequestHead(FrameAddress(), Command, Data) + static_cast<char>(0xAC); }

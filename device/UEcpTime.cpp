#include "device/UEcpTime.h"

#include <algorithm>

#include "framework/Ticks.h"

void TEcpTime::FeedBytes(const void* Buffer, Word Length)
{
    const Cardinal now = GetTickCount32();
    // A partial frame is dropped when its rest comes more than 2 s later.
    if (static_cast<Cardinal>(now - LastFeedTime) > ResetAfterMs)
        ResetFrame();
    LastFeedTime = now;
    const auto* bytes = static_cast<const Byte*>(Buffer);
    for (Word i = 0; i < Length; ++i) {
        CommRec.LastByte = bytes[i];
        ParseByte(bytes[i]);
    }
}

void TEcpTime::FeedBytes(const String& Bytes)
{
    std::size_t done = 0;
    do {
        const std::size_t piece = std::min<std::size_t>(Bytes.size() - done, 0xFFFF);
        FeedBytes(Bytes.data() + done, static_cast<Word>(piece));
        done += piece;
    } while (done < Bytes.size());
}

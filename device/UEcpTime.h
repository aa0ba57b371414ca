#pragma once
// The parser as the programs use it: fed with received buffers, and dropping a
// partial frame whose rest arrives more than 2000 ms after the previous buffer.

#include "device/UEcProtel.h"

class TEcpTime : public TEcProtel {
public:
    using TEcProtel::TEcProtel;

    void FeedBytes(const void* Buffer, Word Length);
    // A byte string of any length, fed in buffers of at most 65535 bytes.
    void FeedBytes(const String& Bytes);

    static constexpr Cardinal ResetAfterMs = 2000;
};

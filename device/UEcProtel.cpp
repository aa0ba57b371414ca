#include "device/UEcProtel.h"

namespace {

// Commands a request from the device may carry.
constexpr std::array<std::uint64_t, 4> AcceptedCommands = [] {
    std::array<std::uint64_t, 4> bits{};
    for (unsigned c : {0x18u, 0x19u, 0xBBu, 0xC1u, 0xCBu, 0xCCu, 0xCDu})
        bits[c / 64] |= std::uint64_t{1} << (c % 64);
    return bits;
}();

constexpr Byte StartByte = 0xCA;
constexpr Byte EndByte = 0xAC;

bool IsReplyType(Byte t) { return t == 0x80 || t == 0x90 || t == 0xB0 || t == 0xC1; }
bool IsRequestType(Byte t) { return t == 0x00 || t == 0x20; }

} // namespace

TEcProtel::TEcProtel(TComponent* AOwner) : TProtel(AOwner)
{
}

TEcProtel::TEcProtel(TOwnerless) : TProtel(nullptr)
{
    CommRec.InFrame = false;
    CommRec.IsAnswer = false;
    LastFeedTime = 0;
}

void TEcProtel::BeginFrame()
{
    if (HasPerId && CommRec.MyId != CommRec.LastByte)
        return;
    FCommands = AcceptedCommands;
    CommRec.InFrame = true;
    CommRec.Count = 0;
    CommRec.Sum = StartByte;
    CommRec.FrameType = 0;
    CommRec.Result = 0;
    CommRec.Command = 0;
    CommRec.DataLen = 0;
    CommRec.IsAnswer = false;
    CommRec.LongLenPending = LongDataLen;
}

void TEcProtel::ResetFrame()
{
    CommRec.InFrame = false;
    CommRec.LastByte = 0xFF00;
}

void TEcProtel::ParseByte(Byte B)
{
    if (!CommRec.InFrame) {
        if (B == StartByte)
            BeginFrame();
        return;
    }
    // The count stops at 5 once the data part is reached, so a long data field
    // can never wrap it back into the header states.
    if (CommRec.Count < 5)
        ++CommRec.Count;
    CommRec.Sum = static_cast<Byte>(CommRec.Sum + B);
    switch (CommRec.Count) {
    case 1: ParseFrameType(B); break;
    case 2: ParseAddressOrMarker(B); break;
    case 3: ParseCommand(B); break;
    case 4: ParseLengthOrCheck(B); break;
    default: ParseDataOrCheck(B); break;
    }
}

void TEcProtel::ParseFrameType(Byte B)
{
    CommRec.FrameType = B;
    if (IsReplyType(B))
        CommRec.IsAnswer = true;
    else if (!IsRequestType(B))
        ResetFrame();
}

void TEcProtel::ParseAddressOrMarker(Byte B)
{
    if (CommRec.IsAnswer) {
        // Replies carry 0xFF here and no command byte: the next byte counts as byte 4.
        if (B != 0xFF) {
            ResetFrame();
            return;
        }
        CommRec.Command = CommRec.FrameType;
        ++CommRec.Count;
        return;
    }
    if (B != 0xFE && B != CommRec.MyId && B != 0xF0)
        ResetFrame();
}

void TEcProtel::ParseCommand(Byte B)
{
    CommRec.Command = B;
    if ((FCommands[B / 64] & (std::uint64_t{1} << (B % 64))) == 0) {
        CommRec.Result = 255;
        ResetFrame();
    }
}

void TEcProtel::ParseLengthOrCheck(Byte B)
{
    switch (CommRec.FrameType) {
    case 0x00:
    case 0x80:
    case 0x90:
        // No data field; the data text keeps the last data frame's.
        CheckAndFinish(B, String());
        break;
    case 0x20:
    case 0xB0:
        CommRec.DataLen = static_cast<Word>(CommRec.DataLen * 256 + B);
        if (LongDataLen && CommRec.LongLenPending) {
            CommRec.LongLenPending = false;
            --CommRec.Count;
        } else {
            CommRec.SData.clear();
            CommRec.DataIndex = 0;
        }
        break;
    default:
        ResetFrame();
        break;
    }
}

void TEcProtel::ParseDataOrCheck(Byte B)
{
    if (CommRec.DataLen != 0) {
        if (CommRec.DataIndex < CommRec.Data.size())
            CommRec.Data[CommRec.DataIndex] = B;
        CommRec.SData.push_back(static_cast<char>(B));
        ++CommRec.DataIndex;
        --CommRec.DataLen;
        return;
    }
    // A copy, so that a handler that feeds this parser again cannot change it under itself.
    CheckAndFinish(B, String(CommRec.SData));
}

// B is the frame's trailer: a check byte that makes the frame sum to 0xFF, or
// the end byte. A valid frame is reported before the frame state is reset.
void TEcProtel::CheckAndFinish(Byte B, const String& Data)
{
    if (CommRec.Sum != 0xFF && B != EndByte) {
        CommRec.Result = 255;
        ResetFrame();
        return;
    }
    CommRec.Result = CommRec.Command;
    if (OnGetFinish) {
        try {
            OnGetFinish(this, CommRec.Command, Data);
        } catch (...) {
            ResetFrame();
            throw;
        }
    }
    ResetFrame();
}

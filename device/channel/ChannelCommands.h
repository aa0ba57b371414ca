#pragma once
// Vantrel's channel commands and the operations built from them, the same on
// both transports: read a channel (directory, then each stored slot's memory
// block), download a channel, send a slot's record for transmission. The
// transport supplies the exchange (one request, its tries and waits) and the
// display; see UNetTask (TCP) and UStmLoad (serial port).
//
// Device memory: channel c, slot s is the 2048-byte block at
// (c * 100 + s + 8) << 11. Records start with their own 16-bit
// little-endian total length.

#include <array>

#include "device/channel/ChannelHost.h"

namespace vantrel {

constexpr Byte CmdWrite = 0x25;        // write memory, clear slot
constexpr Byte CmdRead = 0x26;         // read directory, read memory
constexpr Byte CmdRawCode = 0x27;      // send a record for transmission
constexpr Byte CmdSendNumber = 0x31;   // transmit a stored code by number
constexpr Byte CmdLearn = 0x32;        // learn a code into a slot

constexpr Byte ReplyAck = 0x90;
constexpr Byte ReplyData = 0xB0;
constexpr Byte ReplyNoData = 0x80;

constexpr int BlockSize = 2048;        // a slot's memory, and the longest record
constexpr int ReadPiece = 250;         // bytes per memory read
constexpr int WritePiece = 245;        // bytes per memory write and per raw-code frame

// The steps of the operations; each transport has its tries and waits per step.
enum class TChannelStep { ReadDirectory, ReadMemory, ClearSlot, WriteMemory, RawFrame, SlotRequest };

Cardinal SlotAddress(int Channel, int Slot);

// Request data of the commands.
String DirectoryData(int Channel);
String ReadMemoryData(Cardinal Address, int Count);
String WriteMemoryData(Cardinal Address, const String& Bytes);
String ClearSlotData(int Channel, int Slot);
// Send-number and learn: channel + 1, slot.
String SlotRequestData(int Channel, int Slot);

// The most reply bytes (frame included) a step's request can bring.
int ExpectedReplyBytes(TChannelStep Step, const String& Data);

// Time in ms that Bytes take on a serial line at BaudRate with BitsPerByte
// (10 for 8N1, 11 with parity), rounded up.
Cardinal AirTimeMs(std::size_t Bytes, Cardinal BaudRate, int BitsPerByte);

// One transport: its exchange and what the operations show while they run.
class TChannelExchanger {
public:
    virtual ~TChannelExchanger() = default;
    // Sends one request and waits for the awaited reply type, with the
    // step's tries and waits; true when a try got it.
    virtual bool Exchange(TChannelStep Step, Byte Command, const String& Data, Byte Awaited) = 0;
    // The data of the reply that the last successful exchange got.
    virtual String ReplyData() const = 0;
    virtual void ShowProgress(bool Visible) = 0;
    virtual void SetProgress(int Value) = 0;
    virtual void ShowStatus(const String& Text) = 0;

    // Why the last operation failed, when it has a reason of its own to show
    // in place of the plain failure status; empty otherwise.
    String FailureText;
};

using TChannelRecords = std::array<String, SlotCount>;

// Reads channel Channel into Buffer (cleared first). The panel is shown with
// the gauge at 0, set after each directory entry, and hidden at the end,
// also on failure. A slot listed twice holds the later read's record once.
bool ReadChannel(TChannelExchanger& Link, int Channel, TChannelRecords& Buffer);

// Downloads Records into channel Channel, slots 0 to 99 in order: an empty
// record clears its slot, any other is written in pieces of 245 bytes. The
// first failed exchange stops it. A record longer than 2048 bytes would run
// into the next slot's block, so the records are checked first and nothing
// is sent when one is too long; FailureText names the slot.
bool DownloadChannel(TChannelExchanger& Link, int Channel, const TChannelRecords& Records);
// The first slot whose record is longer than 2048 bytes, -1 when none is.
int OversizedSlot(const TChannelRecords& Records);
// "下载失败！" with the slot: the status of a download refused for that slot.
String OversizedRecordStatus(int Slot);

// The checks before a raw send: channel 0 to 7 and slot 0 to 99 (else false,
// silently), a record of at most 2048 bytes ("发送长度大于2048！！") that is
// not empty ("发送数据为空！！"); the status goes to the link.
bool CheckRawCode(TChannelExchanger& Link, int Channel, int Slot, const String& Record);
// The last tag of this send of channel and slot (03, then 02, then 03 ...),
// flipping its bit in RawSendToggles.
Byte NextRawTag(int Channel, int Slot);
// The record in frames of 245 bytes (tag 01 first, 04 after), then the last
// frame holding only LastTag, one try each; the last frame's result.
bool SendRawFrames(TChannelExchanger& Link, const String& Record, Byte LastTag);

} // namespace vantrel

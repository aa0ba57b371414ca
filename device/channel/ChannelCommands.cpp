#include "device/channel/ChannelCommands.h"

#include <algorithm>

namespace vantrel {

namespace {

void AppendLe32(String& S, Cardinal V)
{
    for (int i = 0; i < 4; ++i)
        S.push_back(static_cast<char>((V >> (8 * i)) & 0xFF));
}

void AppendLe16(String& S, Word V)
{
    S.push_back(static_cast<char>(V & 0xFF));
    S.push_back(static_cast<char>(V >> 8));
}

bool ValidChannel(int Channel) { return Channel >= 0 && Channel < ChannelCount; }

// Hides the progress panel when an operation ends, however it ends.
class TProgressPanel {
public:
    explicit TProgressPanel(TChannelExchanger& Link) : FLink(Link)
    {
        FLink.ShowProgress(true);
        FLink.SetProgress(0);
    }
    ~TProgressPanel() { FLink.ShowProgress(false); }
    TProgressPanel(const TProgressPanel&) = delete;
    TProgressPanel& operator=(const TProgressPanel&) = delete;

private:
    TChannelExchanger& FLink;
};

// Reads the record of one directory entry from its block. Fails (false) when
// an exchange fails or a reply has another length than asked for. A leading
// length above 2048, or below 2 (a record's length counts its own two bytes),
// leaves Record empty and the slot is skipped: such a block holds no record
// that could be saved, sent or kept for undo.
bool ReadSlotRecord(TChannelExchanger& Link, Cardinal Address, String& Record, bool& Skipped)
{
    Record.clear();
    Skipped = false;
    if (!Link.Exchange(TChannelStep::ReadMemory, CmdRead, ReadMemoryData(Address, ReadPiece), ReplyData))
        return false;
    const String first = Link.ReplyData();
    if (first.size() != static_cast<std::size_t>(ReadPiece))
        return false;
    const int total = ByteAt(first, 0) | (ByteAt(first, 1) << 8);
    if (total > BlockSize || total < 2) {
        Skipped = true;
        return true;
    }
    if (total <= ReadPiece) {
        Record = first.substr(0, static_cast<std::size_t>(total));
        return true;
    }
    Record = first;
    for (int rest = total - ReadPiece; rest > 0; rest -= ReadPiece) {
        Address += ReadPiece;
        const int count = std::min(rest, ReadPiece);
        if (!Link.Exchange(TChannelStep::ReadMemory, CmdRead, ReadMemoryData(Address, count), ReplyData))
            return false;
        const String piece = Link.ReplyData();
        if (piece.size() != static_cast<std::size_t>(count))
            return false;
        Record += piece;
    }
    return true;
}

bool DownloadSlot(TChannelExchanger& Link, int Channel, int Slot, const String& Record)
{
    if (Record.empty())
        return Link.Exchange(TChannelStep::ClearSlot, CmdWrite, ClearSlotData(Channel, Slot), ReplyAck);
    Cardinal address = SlotAddress(Channel, Slot);
    for (std::size_t at = 0; at < Record.size(); at += WritePiece) {
        const String piece = Record.substr(at, WritePiece);
        if (!Link.Exchange(TChannelStep::WriteMemory, CmdWrite, WriteMemoryData(address, piece), ReplyAck))
            return false;
        address += static_cast<Cardinal>(piece.size());
    }
    return true;
}

} // namespace

Cardinal SlotAddress(int Channel, int Slot) { return static_cast<Cardinal>(Channel * 100 + Slot + 8) << 11; }

String DirectoryData(int Channel)
{
    String data;
    AppendLe32(data, 0xFFFFFFFF);
    data.push_back(static_cast<char>(Channel));
    return data;
}

String ReadMemoryData(Cardinal Address, int Count)
{
    String data;
    AppendLe32(data, Address);
    data.push_back(static_cast<char>(Count));
    return data;
}

String WriteMemoryData(Cardinal Address, const String& Bytes)
{
    String data;
    AppendLe32(data, Address);
    data.push_back(static_cast<char>(Bytes.size()));
    return data + Bytes;
}

String ClearSlotData(int Channel, int Slot)
{
    String data;
    AppendLe32(data, 0xFFFFFFFF);
    AppendLe16(data, static_cast<Word>(Channel * 100 + Slot));
    return data;
}

String SlotRequestData(int Channel, int Slot)
{
    return String{static_cast<char>(Channel + 1), static_cast<char>(Slot)};
}

int ExpectedReplyBytes(TChannelStep Step, const String& Data)
{
    switch (Step) {
    case TChannelStep::ReadDirectory: return 5 + 255;   // a directory of up to 255 entries
    case TChannelStep::ReadMemory: return 5 + (Data.size() > 4 ? ByteAt(Data, 4) : 0);
    default: return 4;                                  // an acknowledge
    }
}

Cardinal AirTimeMs(std::size_t Bytes, Cardinal BaudRate, int BitsPerByte)
{
    if (BaudRate == 0)
        return 0;
    const unsigned long long bits = static_cast<unsigned long long>(Bytes) * static_cast<unsigned>(BitsPerByte);
    return static_cast<Cardinal>((bits * 1000 + BaudRate - 1) / BaudRate);
}

bool ReadChannel(TChannelExchanger& Link, int Channel, TChannelRecords& Buffer)
{
    for (String& record : Buffer)
        record.clear();
    Link.FailureText.clear();
    TProgressPanel panel(Link);
    if (!ValidChannel(Channel))
        return false;
    if (!Link.Exchange(TChannelStep::ReadDirectory, CmdRead, DirectoryData(Channel), ReplyData))
        return false;
    const String directory = Link.ReplyData();
    const std::size_t n = directory.size();
    for (std::size_t i = 1; i <= n; ++i) {
        const int slot = ByteAt(directory, i - 1) % SlotCount;
        String record;
        bool skipped = false;
        if (!ReadSlotRecord(Link, SlotAddress(Channel, slot), record, skipped))
            return false;
        if (skipped)
            continue;
        // A slot listed twice holds the later read, not the two appended.
        Buffer[static_cast<std::size_t>(slot)] = std::move(record);
        Link.SetProgress(static_cast<int>(i * 100 / n));
    }
    return true;
}

int OversizedSlot(const TChannelRecords& Records)
{
    for (int s = 0; s < SlotCount; ++s)
        if (Records[static_cast<std::size_t>(s)].size() > static_cast<std::size_t>(BlockSize))
            return s;
    return -1;
}

String OversizedRecordStatus(int Slot)
{
    const char digits[] = {static_cast<char>('0' + Slot / 10 % 10), static_cast<char>('0' + Slot % 10), 0};
    return String("下载失败！") + digits + "号代码长度大于2048！";
}

bool DownloadChannel(TChannelExchanger& Link, int Channel, const TChannelRecords& Records)
{
    Link.FailureText.clear();
    const int oversized = OversizedSlot(Records);
    if (oversized >= 0) {
        Link.FailureText = OversizedRecordStatus(oversized);
        Link.ShowStatus(Link.FailureText);
        return false;
    }
    TProgressPanel panel(Link);
    if (!ValidChannel(Channel))
        return false;
    for (int s = 0; s < SlotCount; ++s) {
        if (!DownloadSlot(Link, Channel, s, Records[static_cast<std::size_t>(s)]))
            return false;
        Link.SetProgress(s);
    }
    return true;
}

bool CheckRawCode(TChannelExchanger& Link, int Channel, int Slot, const String& Record)
{
    Link.FailureText.clear();
    if (!ValidChannel(Channel) || Slot < 0 || Slot >= SlotCount)
        return false;
    if (Record.size() > static_cast<std::size_t>(BlockSize)) {
        Link.ShowStatus("发送长度大于2048！！");
        return false;
    }
    if (Record.empty()) {
        Link.ShowStatus("发送数据为空！！");
        return false;
    }
    return true;
}

Byte NextRawTag(int Channel, int Slot)
{
    Byte& toggles = RawSendToggles[static_cast<std::size_t>(Slot)];
    const Byte bit = static_cast<Byte>(1u << Channel);
    const Byte tag = (toggles & bit) != 0 ? 0x02 : 0x03;
    toggles ^= bit;
    return tag;
}

bool SendRawFrames(TChannelExchanger& Link, const String& Record, Byte LastTag)
{
    for (std::size_t at = 0; at < Record.size(); at += WritePiece) {
        const char tag = at == 0 ? 0x01 : 0x04;
        if (!Link.Exchange(TChannelStep::RawFrame, CmdRawCode, tag + Record.substr(at, WritePiece), ReplyAck))
            return false;
    }
    return Link.Exchange(TChannelStep::RawFrame, CmdRawCode, String(1, static_cast<char>(LastTag)), ReplyAck);
}

} // namespace vantrel

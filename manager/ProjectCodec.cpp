#include "manager/ProjectCodec.h"

#include <cstdint>
#include <vector>

namespace vantrel {

namespace {

constexpr std::size_t CodeHeadBytes = 2;       // N
constexpr std::size_t SnapshotHeadBytes = 10;  // names offset, names length, N
constexpr std::size_t EntryBytes = 4;
constexpr std::uint64_t OffsetSpan = 0x10000;  // what a 16-bit offset can address

void PutU16(String& Out, std::size_t At, unsigned Value)
{
    Out[At] = static_cast<char>(Value & 0xFF);
    Out[At + 1] = static_cast<char>((Value >> 8) & 0xFF);
}

void PutU32(String& Out, std::size_t At, std::uint32_t Value)
{
    PutU16(Out, At, Value & 0xFFFF);
    PutU16(Out, At + 2, Value >> 16);
}

unsigned U16(const String& In, std::size_t At) { return ByteAt(In, At) | (ByteAt(In, At + 1) << 8); }

std::uint32_t U32(const String& In, std::size_t At)
{
    return static_cast<std::uint32_t>(U16(In, At)) | (static_cast<std::uint32_t>(U16(In, At + 2)) << 16);
}

// Writes the entry table at Head and the records after it, as the two files
// share them: entry offsets hold the low 16 bits of each record's position.
void EncodeRecords(String& Out, std::size_t Head, const TSlotRecords& Codes)
{
    std::vector<int> stored;
    for (int slot = 0; slot < ChannelSlots; ++slot)
        if (!Codes[static_cast<std::size_t>(slot)].empty())
            stored.push_back(slot);
    const std::size_t tableBytes = stored.size() * EntryBytes;
    Out.resize(Head + tableBytes);
    PutU16(Out, Head - 2, static_cast<unsigned>(tableBytes));
    std::size_t entry = Head;
    for (int slot : stored) {
        PutU16(Out, entry, static_cast<unsigned>(slot));
        PutU16(Out, entry + 2, static_cast<unsigned>(Out.size() & 0xFFFF));
        Out += Codes[static_cast<std::size_t>(slot)];
        entry += EntryBytes;
    }
}

// Where the record of an entry lies. Records are written back to back, so
// the record is expected where the previous one ended; otherwise (a file
// laid out by hand) the offset is taken when exactly one position in the
// file carries those low 16 bits. Size when no position fits.
std::size_t LocateRecord(unsigned Offset, std::size_t Expected, std::size_t Size)
{
    if (Expected < Size && (Expected & 0xFFFF) == Offset)
        return Expected;
    std::size_t found = Size;
    int candidates = 0;
    for (std::uint64_t at = Offset; at < Size; at += OffsetSpan) {
        found = static_cast<std::size_t>(at);
        ++candidates;
    }
    return candidates == 1 ? found : Size;
}

// Reads the entry table whose N lies at Head - 2 and the records it names
// into Codes (which starts cleared).
bool DecodeRecords(const String& In, std::size_t Head, TSlotRecords& Codes, String& Error)
{
    const std::size_t size = In.size();
    const std::size_t tableBytes = U16(In, Head - 2);
    if (Head + tableBytes > size) {
        Error = "the entry table runs past the end of the file";
        return false;
    }
    std::size_t expected = Head + tableBytes;
    for (std::size_t entry = Head; entry + EntryBytes <= Head + tableBytes; entry += EntryBytes) {
        const unsigned slot = U16(In, entry) % ChannelSlots;
        const std::size_t at = LocateRecord(U16(In, entry + 2), expected, size);
        if (at + MinRecordBytes > size) {
            Error = "a record offset lies outside the file";
            return false;
        }
        const std::size_t length = U16(In, at);
        if (length < MinRecordBytes || length > MaxRecordBytes) {
            Error = "a record length is outside 2 to 2048";
            return false;
        }
        if (at + length > size) {
            Error = "a record runs past the end of the file";
            return false;
        }
        Codes[slot] = In.substr(at, length);
        expected = at + length;
    }
    return true;
}

} // namespace

bool IsStorableRecord(const String& Record)
{
    return Record.size() >= MinRecordBytes && Record.size() <= MaxRecordBytes && U16(Record, 0) == Record.size();
}

String EncodeCodeFile(const TSlotRecords& Codes)
{
    String out;
    EncodeRecords(out, CodeHeadBytes, Codes);
    return out;
}

bool DecodeCodeFile(const String& Bytes, TSlotRecords& Codes, String& Error)
{
    if (Bytes.size() < CodeHeadBytes) {
        Error = "the file is shorter than its head";
        return false;
    }
    TSlotRecords codes;
    if (!DecodeRecords(Bytes, CodeHeadBytes, codes, Error))
        return false;
    Codes = std::move(codes);
    return true;
}

String EncodeSnapshot(const TChannelImage& Channel)
{
    String out(SnapshotHeadBytes, '\0');
    EncodeRecords(out, SnapshotHeadBytes, Channel.Codes);
    const std::size_t namesOffset = out.size();
    for (const String& name : Channel.Names) {
        const String kept = FitSlotName(name);
        out.push_back(static_cast<char>(kept.size()));
        out += kept;
    }
    PutU32(out, 0, static_cast<std::uint32_t>(namesOffset));
    PutU32(out, 4, static_cast<std::uint32_t>(out.size() - namesOffset));
    return out;
}

bool DecodeSnapshot(const String& Bytes, TChannelImage& Channel, String& Error)
{
    if (Bytes.size() < SnapshotHeadBytes) {
        Error = "the file is shorter than its head";
        return false;
    }
    TChannelImage image;
    if (!DecodeRecords(Bytes, SnapshotHeadBytes, image.Codes, Error))
        return false;
    const std::uint64_t namesOffset = U32(Bytes, 0);
    const std::uint64_t namesEnd = namesOffset + U32(Bytes, 4);
    if (namesEnd > Bytes.size()) {
        Error = "the names run past the end of the file";
        return false;
    }
    std::size_t at = static_cast<std::size_t>(namesOffset);
    for (String& name : image.Names) {
        if (at >= namesEnd) {
            Error = "the name list is shorter than 100 names";
            return false;
        }
        const std::size_t length = ByteAt(Bytes, at++);
        if (at + length > namesEnd) {
            Error = "a name runs past the end of the name list";
            return false;
        }
        name = Bytes.substr(at, length);
        at += length;
    }
    Channel = std::move(image);
    return true;
}

String SnapshotFileName(int Channel, int Index)
{
    static const char digits[] = "0123456789ABCDEF";
    String name;
    for (int value : {Channel, Index}) {
        name.push_back(digits[(value >> 4) & 15]);
        name.push_back(digits[value & 15]);
    }
    return name + ".bak";
}

String FitSlotName(const String& Name)
{
    if (Name.size() <= MaxNameBytes)
        return Name;
    // Walk whole characters: a lead byte 0x81..0xFE takes the next byte along.
    std::size_t keep = 0;
    while (keep < Name.size()) {
        const Byte c = ByteAt(Name, keep);
        const std::size_t width = (c >= 0x81 && c <= 0xFE && keep + 1 < Name.size()) ? 2 : 1;
        if (keep + width > MaxNameBytes)
            break;
        keep += width;
    }
    return Name.substr(0, keep);
}

bool IsDigitText(const String& Text)
{
    if (Text.empty())
        return false;
    for (char c : Text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace vantrel

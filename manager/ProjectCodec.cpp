#include "manager/ProjectCodec.h"

#include <cstdint>
#include <vector>

namespace vantrel {

namespace {

constexpr std::size_t CodeHeadBytes = 2;       // N
constexpr std::size_t SnapshotHeadBytes = 10;  // names offset, names length, N
constexpr std::size_t EntryBytes = 4;

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

// Reads the entry table whose N lies at Head - 2 and the records it names
// into Codes (which starts cleared); End is where the last record ends (the
// end of the table when there is none). Records must lie back to back in
// entry order from the end of the table, as they are written, each entry's
// offset holding the low 16 bits of its record's position, and end by Limit.
// The offset alone cannot place a record past 65535, and a file with gaps
// between its records cannot tell a misdirected offset from a deliberate
// one: so a position is never searched for, only checked.
//
// One layout besides: a record after the first may follow two bytes that
// repeat its own leading length. A program that reads each record's leading
// length as the length of the bytes after it keeps the next record's first
// two bytes with every record but the last, and writes them back when it
// saves; such a file holds the same records, and is read as if those two
// bytes were not there.
bool DecodeRecords(const String& In, std::size_t Head, std::size_t Limit, TSlotRecords& Codes, std::size_t& End,
                   String& Error)
{
    const std::size_t tableBytes = U16(In, Head - 2);
    if (tableBytes % EntryBytes != 0) {
        Error = "the length of the entry table is not a multiple of 4";
        return false;
    }
    if (Head + tableBytes > Limit) {
        Error = "the entry table runs past the end of the file";
        return false;
    }
    std::size_t at = Head + tableBytes;
    for (std::size_t entry = Head; entry < Head + tableBytes; entry += EntryBytes) {
        if (U16(In, entry + 2) != (at & 0xFFFF)) {
            const bool afterCopiedLength = entry > Head && at + 4 <= Limit &&
                                           U16(In, entry + 2) == ((at + 2) & 0xFFFF) && U16(In, at) == U16(In, at + 2);
            if (!afterCopiedLength) {
                Error = "a record does not lie where its entry says, right after the record before it";
                return false;
            }
            at += 2;
        }
        if (at + MinRecordBytes > Limit) {
            Error = "a record lies past the end of the file";
            return false;
        }
        const std::size_t length = U16(In, at);
        if (length < MinRecordBytes || length > MaxRecordBytes) {
            Error = "a record length is outside 2 to 2048";
            return false;
        }
        if (at + length > Limit) {
            Error = "a record runs past the end of the file";
            return false;
        }
        Codes[U16(In, entry) % ChannelSlots] = In.substr(at, length);
        at += length;
    }
    End = at;
    return true;
}

} // namespace

bool IsStorableRecord(const String& Record)
{
    return Record.size() >= MinRecordBytes && Record.size() <= MaxRecordBytes && U16(Record, 0) == Record.size();
}

String UnstorableSlots(const TSlotRecords& Codes)
{
    String slots;
    for (int slot = 0; slot < ChannelSlots; ++slot) {
        const String& code = Codes[static_cast<std::size_t>(slot)];
        if (code.empty() || IsStorableRecord(code))
            continue;
        if (!slots.empty())
            slots += ", ";
        slots += static_cast<char>('0' + slot / 10);
        slots += static_cast<char>('0' + slot % 10);
    }
    return slots;
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
    std::size_t end = 0;
    if (!DecodeRecords(Bytes, CodeHeadBytes, Bytes.size(), codes, end, Error))
        return false;
    if (end != Bytes.size()) {
        Error = "bytes follow the last record";
        return false;
    }
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
    // The names follow the last record and end the file.
    const std::uint64_t namesOffset = U32(Bytes, 0);
    const std::uint64_t namesEnd = namesOffset + U32(Bytes, 4);
    if (namesEnd != Bytes.size()) {
        Error = "the name list does not end where the file ends";
        return false;
    }
    TChannelImage image;
    std::size_t end = 0;
    if (!DecodeRecords(Bytes, SnapshotHeadBytes, static_cast<std::size_t>(namesOffset), image.Codes, end, Error))
        return false;
    if (end != namesOffset) {
        Error = "the name list does not start where the last record ends";
        return false;
    }
    std::size_t at = end;
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
    if (at != namesEnd) {
        Error = "bytes follow the 100th name";
        return false;
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

bool HasControlCharacter(const String& Name)
{
    for (char c : Name)
        if (static_cast<Byte>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
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

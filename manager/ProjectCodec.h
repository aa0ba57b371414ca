#pragma once
// The byte layouts of a channel on disk: the code file of a project (".ir")
// and the undo snapshot (".bak"). Pure code over byte strings, so that it
// also builds natively and can be run under the sanitizers.
//
// Both files start with an entry table (u16 byte length N, then per stored
// slot u16 slot number and u16 record offset) followed by the records back to
// back in entry order; the snapshot adds a 10-byte head (u32 names offset,
// u32 names length, then N) and the 100 slot names (u8 length, bytes) at the
// names offset, right after the last record. All values are little-endian.
//
// A record is stored as held: its leading u16 is its total length, its own
// two bytes included (as the device read takes it). The offset field has 16
// bits only, so the writer stores the low 16 bits of a record's position; the
// reader takes each record where the one before it ended and checks the
// offset against that position. A file laid out any other way (a gap, an
// overlap, another order, bytes after the end) is refused, so a cut or
// damaged file never opens with records taken from the wrong place. The one
// gap read is two bytes before a record (not the first) that repeat its
// leading length: a writer that held each record with the next record's
// first two bytes leaves them there.
// The decoders check everything before they touch the caller's channel: a
// rejected file leaves it as it was.

#include <array>
#include <cstddef>

#include "framework/Types.h"

namespace vantrel {

constexpr int ChannelSlots = 100;
// The longest record a slot holds, and the shortest (its length field).
constexpr std::size_t MaxRecordBytes = 2048;
constexpr std::size_t MinRecordBytes = 2;
// The most bytes of a slot name that a snapshot can keep (one length byte).
constexpr std::size_t MaxNameBytes = 255;

using TSlotRecords = std::array<String, ChannelSlots>;
using TSlotNames = std::array<String, ChannelSlots>;

struct TChannelImage {
    TSlotRecords Codes;
    TSlotNames Names;
};

// True when a record can be written to a code file or snapshot and read
// back as it is: 2 to 2048 bytes, its leading u16 its own total length.
bool IsStorableRecord(const String& Record);

// The slots whose records are neither empty nor storable, as two digits
// each separated by ", " ("07, 12"); empty when every record can be stored.
String UnstorableSlots(const TSlotRecords& Codes);

// The code file of a channel's records; empty records have no entry.
String EncodeCodeFile(const TSlotRecords& Codes);
// Replaces Codes with the records of a code file. A malformed file (a head
// or table past the end, a table length that is not a multiple of 4, a
// record length below 2 or above 2048, an offset other than the position
// where the record before ends, bytes after the last record) gives false
// with Error saying why, and Codes unchanged.
bool DecodeCodeFile(const String& Bytes, TSlotRecords& Codes, String& Error);

// The snapshot file of a channel; names longer than MaxNameBytes are cut as
// FitSlotName cuts them.
String EncodeSnapshot(const TChannelImage& Channel);
// Replaces Channel with a snapshot's records and names; false with Error and
// Channel unchanged when malformed as a code file would be, or when the
// names do not start where the last record ends and fill the rest of the file.
bool DecodeSnapshot(const String& Bytes, TChannelImage& Channel, String& Error);

// The snapshot file name of a channel and ring index: channel and index as
// two upper-case hexadecimal digits each, then ".bak" ("0209.bak").
String SnapshotFileName(int Channel, int Index);

// A slot name cut to the MaxNameBytes bytes a snapshot can store, never in
// the middle of a double-byte character of code page 936.
String FitSlotName(const String& Name);

// True when Name holds a control character (0x00 to 0x1F, 0x7F): the name
// file's XML cannot keep most of them, so a name never takes one. No byte of
// a double-byte character of code page 936 lies in that range.
bool HasControlCharacter(const String& Name);

// True when Text is not empty and holds only the digits 0 to 9.
bool IsDigitText(const String& Text);

} // namespace vantrel

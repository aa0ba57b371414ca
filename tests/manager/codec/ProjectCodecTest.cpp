// The code file and snapshot layouts byte for byte, their round trips
// (records of 2 to 2048 bytes, Chinese names, channels past 65535 bytes),
// the files the readers refuse, and a randomized run with a fixed seed over
// generated and mutated files in which nothing crashes and every refused
// file leaves the channel as it was.
#include <gtest/gtest.h>

#include <random>

#include "manager/ProjectCodec.h"

namespace {

using vantrel::TChannelImage;
using vantrel::TSlotRecords;

// A record of Length bytes: its own length, then a pattern of Seed.
String Record(std::size_t Length, unsigned Seed)
{
    String r(Length, '\0');
    r[0] = static_cast<char>(Length & 0xFF);
    r[1] = static_cast<char>(Length >> 8);
    for (std::size_t i = 2; i < Length; ++i)
        r[i] = static_cast<char>((i * 13 + Seed * 29) & 0xFF);
    return r;
}

String Bytes(std::initializer_list<int> Values)
{
    String s;
    for (int v : Values)
        s.push_back(static_cast<char>(v));
    return s;
}

// "通道" in code page 936.
const String Tongdao = Bytes({0xCD, 0xA8, 0xB5, 0xC0});

TEST(ProjectCodec, CodeFileHeadForSlotsZeroAndFortyTwo)
{
    TSlotRecords codes;
    codes[0] = Record(6, 1);
    codes[42] = Record(4, 2);
    const String file = vantrel::EncodeCodeFile(codes);
    EXPECT_EQ(file.substr(0, 10), Bytes({0x08, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x2A, 0x00, 0x10, 0x00}));
    EXPECT_EQ(file.substr(10), codes[0] + codes[42]);
}

TEST(ProjectCodec, EmptyChannelIsTwoZeroBytes)
{
    EXPECT_EQ(vantrel::EncodeCodeFile(TSlotRecords{}), Bytes({0, 0}));
    TSlotRecords codes;
    codes[3] = Record(8, 3);
    String error;
    ASSERT_TRUE(vantrel::DecodeCodeFile(Bytes({0, 0}), codes, error)) << error;
    EXPECT_EQ(codes, TSlotRecords{}) << "an empty code file empties the channel";
}

TEST(ProjectCodec, SnapshotLayout)
{
    TChannelImage channel;
    channel.Codes[5] = Record(4, 5);
    channel.Names[0] = "A";
    channel.Names[99] = Tongdao;
    const String file = vantrel::EncodeSnapshot(channel);
    // names at 10 + 4 (table) + 4 (record) = 18; 100 length bytes + 1 + 4.
    String expected = Bytes({18, 0, 0, 0, 105, 0, 0, 0, 4, 0, 5, 0, 14, 0}) + channel.Codes[5];
    expected += Bytes({1}) + "A" + String(98, '\0') + Bytes({4}) + Tongdao;
    EXPECT_EQ(file, expected);
}

TEST(ProjectCodec, SnapshotFileNames)
{
    const struct {
        int Channel, Index;
        const char* Name;
    } cases[] = {{2, 9, "0209.bak"}, {0, 0, "0000.bak"}, {7, 1, "0701.bak"}, {10, 15, "0A0F.bak"}};
    for (const auto& c : cases)
        EXPECT_EQ(vantrel::SnapshotFileName(c.Channel, c.Index), c.Name) << c.Channel << "/" << c.Index;
}

TEST(ProjectCodec, LongNamesAreCutOnWholeCharacters)
{
    const String han = Bytes({0xCD, 0xA8});
    String chinese;
    for (int i = 0; i < 200; ++i)
        chinese += han;
    const struct {
        String Name;
        std::size_t Kept;
    } cases[] = {
        {String(255, 'a'), 255},
        {String(256, 'a'), 255},
        {String(254, 'a') + han, 254},   // the character would cross byte 255
        {String(253, 'a') + han, 255},
        {chinese, 254},
        {"x" + chinese, 255},
    };
    for (const auto& c : cases) {
        const String kept = vantrel::FitSlotName(c.Name);
        EXPECT_EQ(kept, c.Name.substr(0, c.Kept)) << "name of " << c.Name.size() << " bytes";
    }
    // The cut name is what a snapshot stores and gives back.
    TChannelImage channel;
    channel.Names[1] = chinese;
    TChannelImage back;
    String error;
    ASSERT_TRUE(vantrel::DecodeSnapshot(vantrel::EncodeSnapshot(channel), back, error)) << error;
    EXPECT_EQ(back.Names[1], chinese.substr(0, 254));
}

TEST(ProjectCodec, OnlyRecordsThatBeginWithTheirOwnLengthAreStorable)
{
    const String shortest = Record(2, 0), longest = Record(2048, 1);
    String doubled = Record(6, 2) + Record(6, 2);   // length 6, 12 bytes
    String shortened = Record(9, 3).substr(0, 7);  // length 9, 7 bytes
    String oversized = Record(2049, 4);
    const struct {
        const char* Case;
        String Code;
        bool Storable;
    } cases[] = {
        {"2 bytes", shortest, true},
        {"2048 bytes", longest, true},
        {"1 byte", Bytes({1}), false},
        {"length 1 in 2 bytes", Bytes({1, 0}), false},
        {"length 0", Bytes({0, 0, 5, 6}), false},
        {"length below the size", doubled, false},
        {"length above the size", shortened, false},
        {"2049 bytes", oversized, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vantrel::IsStorableRecord(c.Code), c.Storable) << c.Case;
        // What the check lets through is exactly what the code file gives back.
        TSlotRecords codes;
        codes[8] = c.Code;
        TSlotRecords back;
        String error;
        const bool same = vantrel::DecodeCodeFile(vantrel::EncodeCodeFile(codes), back, error) && back == codes;
        EXPECT_EQ(same, c.Storable) << c.Case;
    }
}

TEST(ProjectCodec, DigitText)
{
    const struct {
        const char* Text;
        bool Digits;
    } cases[] = {{"7", true}, {"12", true}, {"", false}, {"1a", false}, {" 1", false}, {"-1", false}};
    for (const auto& c : cases)
        EXPECT_EQ(vantrel::IsDigitText(c.Text), c.Digits) << '"' << c.Text << '"';
}

TChannelImage RandomChannel(std::mt19937& Random, int Stored, std::size_t MaxLength)
{
    TChannelImage channel;
    for (int i = 0; i < Stored; ++i) {
        const auto slot = static_cast<std::size_t>(Random() % vantrel::ChannelSlots);
        channel.Codes[slot] = Record(2 + Random() % (MaxLength - 1), static_cast<unsigned>(Random()));
    }
    for (auto& name : channel.Names)
        if (Random() % 3 == 0)
            for (unsigned n = Random() % 8; n > 0; --n)
                name += Random() % 2 ? Tongdao : String(1, static_cast<char>('a' + Random() % 26));
    return channel;
}

TChannelImage FullChannel()
{
    TChannelImage channel;
    for (int s = 0; s < vantrel::ChannelSlots; ++s) {
        channel.Codes[static_cast<std::size_t>(s)] = Record(2048, static_cast<unsigned>(s));
        channel.Names[static_cast<std::size_t>(s)] = Tongdao + std::to_string(s);
    }
    return channel;
}

TEST(ProjectCodec, ChannelsComeBackIntact)
{
    std::mt19937 random(1304);
    std::vector<TChannelImage> channels{FullChannel()};
    for (int i = 0; i < 200; ++i)
        channels.push_back(RandomChannel(random, static_cast<int>(random() % 101), i % 4 == 0 ? 2048 : 40));
    channels.back().Codes.fill(Record(2, 0));   // every slot holds the shortest record
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const TChannelImage& channel = channels[i];
        String error;
        TSlotRecords codes;
        const String codeFile = vantrel::EncodeCodeFile(channel.Codes);
        ASSERT_TRUE(vantrel::DecodeCodeFile(codeFile, codes, error)) << "channel " << i << ": " << error;
        EXPECT_EQ(codes, channel.Codes) << "code file of channel " << i;
        TChannelImage back;
        ASSERT_TRUE(vantrel::DecodeSnapshot(vantrel::EncodeSnapshot(channel), back, error)) << "channel " << i << ": " << error;
        EXPECT_EQ(back.Codes, channel.Codes) << "snapshot of channel " << i;
        EXPECT_EQ(back.Names, channel.Names) << "snapshot of channel " << i;
    }
    EXPECT_GT(vantrel::EncodeCodeFile(channels[0].Codes).size(), 3u * 65536) << "the full channel passes 65535 bytes";
}

TEST(ProjectCodec, SlotNumbersCountModuloAHundredAndALaterEntryWins)
{
    const String b = Record(3, 2);
    const String wrapped = Bytes({8, 0, 142, 0, 10, 0, 42, 0, 13, 0}) + b + Record(4, 3);
    TSlotRecords codes;
    String error;
    ASSERT_TRUE(vantrel::DecodeCodeFile(wrapped, codes, error)) << error;
    EXPECT_EQ(codes[42], Record(4, 3));
}

// A code file as a program saves it that held every record but the last
// with the next record's first two bytes (it read each leading length as the
// length of what follows): the same records, with a copy of each next
// record's length between them. It opens with the records as first written,
// also past 64 KiB; the two bytes anywhere else, or not a copy, are refused.
TEST(ProjectCodec, RecordsAfterACopyOfTheirLengthOpenAsWritten)
{
    const auto resaved = [](const TSlotRecords& Codes) {
        TSlotRecords held = Codes;
        std::size_t last = vantrel::ChannelSlots;
        for (std::size_t slot = vantrel::ChannelSlots; slot-- > 0;) {
            if (Codes[slot].empty())
                continue;
            if (last != vantrel::ChannelSlots)
                held[slot] += Codes[last].substr(0, 2);
            last = slot;
        }
        return vantrel::EncodeCodeFile(held);
    };
    TSlotRecords small;
    small[1] = Record(6, 1);
    small[2] = Record(5, 2);
    small[40] = Record(300, 40);
    for (const TSlotRecords& written : {small, FullChannel().Codes}) {
        TSlotRecords codes;
        String error;
        ASSERT_TRUE(vantrel::DecodeCodeFile(resaved(written), codes, error)) << error;
        EXPECT_EQ(codes, written);
    }

    const String file = resaved(small);   // table of 3 entries, records from 14
    String notACopy = file;
    notACopy[14 + 6] = 9;
    String beforeTheFirst = Bytes({4, 0, 1, 0, 8, 0, 6, 0}) + Record(6, 1);
    String afterTheLast = Bytes({4, 0, 1, 0, 6, 0}) + Record(6, 1) + Bytes({6, 0});
    const struct {
        const char* Case;
        String File;
    } refused[] = {{"two bytes that are not the next length", notACopy},
                   {"two bytes before the first record", beforeTheFirst},
                   {"two bytes after the last record", afterTheLast},
                   {"cut after a copied length", file.substr(0, 14 + 6 + 2)}};
    for (const auto& c : refused) {
        TSlotRecords codes;
        codes[77] = Record(9, 77);
        const TSlotRecords before = codes;
        String error;
        EXPECT_FALSE(vantrel::DecodeCodeFile(c.File, codes, error)) << c.Case;
        EXPECT_EQ(codes, before) << c.Case;
    }
}

TEST(ProjectCodec, MalformedFilesLeaveTheChannelAsItWas)
{
    const String r = Record(4, 7);
    const struct {
        const char* Case;
        String File;
    } codeFiles[] = {
        {"no head", Bytes({4})},
        {"table past the end", Bytes({8, 0, 1, 0, 10, 0})},
        {"offset outside the file", Bytes({4, 0, 1, 0, 40, 0}) + r},
        {"record length 1", Bytes({4, 0, 1, 0, 6, 0, 1, 0, 9, 9})},
        {"record length 0", Bytes({4, 0, 1, 0, 6, 0, 0, 0, 9, 9})},
        {"record length 2049", Bytes({4, 0, 1, 0, 6, 0, 0x01, 0x08}) + String(2047, 'x')},
        {"record past the end", Bytes({4, 0, 1, 0, 6, 0, 9, 0, 1, 2})},
        {"length byte at the end", Bytes({4, 0, 1, 0, 6, 0, 4})},
        // An offset of 0 would take the file's own head for slot 0.
        {"offset 0", Bytes({4, 0, 0, 0, 0, 0, 6, 0, 0xAA, 0xBB, 0xCC, 0xDD})},
        {"offset inside the table", Bytes({8, 0, 1, 0, 6, 0, 2, 0, 10, 0}) + r + r},
        {"table length 5", Bytes({5, 0, 1, 0, 7, 0, 0}) + r},
        {"table length 2", Bytes({2, 0, 1, 0}) + r},
        // The first record's bytes 2 and 3 read as a 2-byte record of their own.
        {"overlapping records", Bytes({8, 0, 1, 0, 10, 0, 2, 0, 12, 0, 6, 0, 2, 0, 9, 9})},
        {"the second record before the first", Bytes({8, 0, 1, 0, 14, 0, 2, 0, 10, 0}) + r + r},
        {"a gap before a record", Bytes({4, 0, 1, 0, 8, 0, 0, 0}) + r},
        {"a gap between records", Bytes({8, 0, 1, 0, 10, 0, 2, 0, 15, 0}) + r + Bytes({0}) + r},
        {"a byte after the last record", Bytes({4, 0, 1, 0, 6, 0}) + r + Bytes({0})},
        {"bytes after an empty table", Bytes({0, 0, 4, 0})},
    };
    TSlotRecords before;
    before[9] = Record(12, 9);
    for (const auto& c : codeFiles) {
        TSlotRecords codes = before;
        String error;
        EXPECT_FALSE(vantrel::DecodeCodeFile(c.File, codes, error)) << c.Case;
        EXPECT_FALSE(error.empty()) << c.Case;
        EXPECT_EQ(codes, before) << c.Case;
    }

    TChannelImage good;
    good.Codes[1] = r;
    good.Names[0] = "n";
    const String snapshot = vantrel::EncodeSnapshot(good);
    auto withHead = [&](unsigned NamesOffset, unsigned NamesLength) {
        String s = snapshot;
        s[0] = static_cast<char>(NamesOffset);
        s[1] = static_cast<char>(NamesOffset >> 8);
        s[4] = static_cast<char>(NamesLength);
        s[5] = static_cast<char>(NamesLength >> 8);
        return s;
    };
    const struct {
        const char* Case;
        String File;
    } snapshots[] = {
        {"short head", snapshot.substr(0, 9)},
        {"names cut off", snapshot.substr(0, snapshot.size() - 1)},
        {"names past the end", withHead(18, 200)},
        {"fewer than 100 names", withHead(18, 50)},
        {"a name past the list", withHead(snapshot.size() - 2, 2)},
        {"a bad record", snapshot.substr(0, 14) + Bytes({1, 0}) + snapshot.substr(16)},
        {"a byte after the names", snapshot + Bytes({0})},
        {"a gap before the names", [&] {
             String s = snapshot.substr(0, 18) + Bytes({0}) + snapshot.substr(18);
             s[0] = 19;
             return s;
         }()},
        {"names overlapping the record", withHead(17, static_cast<unsigned>(snapshot.size() - 17))},
        {"names with a byte to spare", withHead(18, static_cast<unsigned>(snapshot.size() - 17)) + Bytes({0})},
        {"table length 6", snapshot.substr(0, 8) + Bytes({6, 0}) + snapshot.substr(10)},
    };
    TChannelImage image;
    image.Codes[50] = Record(30, 50);
    image.Names[50] = Tongdao;
    for (const auto& c : snapshots) {
        TChannelImage channel = image;
        String error;
        EXPECT_FALSE(vantrel::DecodeSnapshot(c.File, channel, error)) << c.Case;
        EXPECT_EQ(channel.Codes, image.Codes) << c.Case;
        EXPECT_EQ(channel.Names, image.Names) << c.Case;
    }
}

// Where each record of a file written from Codes starts, and where the last ends.
std::vector<std::size_t> RecordBoundaries(const TSlotRecords& Codes, std::size_t Head)
{
    std::size_t at = Head;
    for (const String& code : Codes)
        at += code.empty() ? 0 : 4;
    std::vector<std::size_t> boundaries{at};
    for (const String& code : Codes)
        if (!code.empty())
            boundaries.push_back(at += code.size());
    return boundaries;
}

TEST(ProjectCodec, AFullChannelOpensWholeAndNotCutAtAnyRecordBoundary)
{
    // Past 65535 the offsets hold only the low 16 bits of a position: a cut
    // channel must not take earlier records for the missing ones.
    const TChannelImage full = FullChannel();
    const String codeFile = vantrel::EncodeCodeFile(full.Codes);
    const String snapshot = vantrel::EncodeSnapshot(full);
    TSlotRecords codes;
    TChannelImage image;
    String error;
    ASSERT_TRUE(vantrel::DecodeCodeFile(codeFile, codes, error)) << error;
    EXPECT_EQ(codes, full.Codes);
    ASSERT_TRUE(vantrel::DecodeSnapshot(snapshot, image, error)) << error;
    EXPECT_EQ(image.Codes, full.Codes);
    EXPECT_EQ(image.Names, full.Names);

    TSlotRecords sentinel;
    sentinel[77] = Record(9, 77);
    for (std::size_t cut : RecordBoundaries(full.Codes, 2)) {
        if (cut == codeFile.size())
            continue;
        codes = sentinel;
        EXPECT_FALSE(vantrel::DecodeCodeFile(codeFile.substr(0, cut), codes, error)) << "code file cut at " << cut;
        EXPECT_EQ(codes, sentinel) << "code file cut at " << cut;
    }
    for (std::size_t cut : RecordBoundaries(full.Codes, 10)) {
        image.Codes = sentinel;
        EXPECT_FALSE(vantrel::DecodeSnapshot(snapshot.substr(0, cut), image, error)) << "snapshot cut at " << cut;
        EXPECT_EQ(image.Codes, sentinel) << "snapshot cut at " << cut;
    }
}

// One piece of damage to a file as written: a cut (often at a record
// boundary), bytes added at the end or anywhere, bytes taken out, or a
// changed table length, record offset, record length or (for a snapshot)
// names offset or length. Changes that make another well-formed file (a
// record's contents, a slot number, a name) are not damage the format can see.
void Damage(std::mt19937& Random, String& File, const TSlotRecords& Codes, std::size_t Head)
{
    const auto pick = [&](std::size_t N) { return static_cast<std::size_t>(Random() % N); };
    const auto changeU16 = [&](std::size_t At) {
        const unsigned old = ByteAt(File, At) | (ByteAt(File, At + 1) << 8);
        const unsigned value = (old + 1 + Random() % 0xFFFF) & 0xFFFF;
        File[At] = static_cast<char>(value & 0xFF);
        File[At + 1] = static_cast<char>(value >> 8);
    };
    const std::vector<std::size_t> boundaries = RecordBoundaries(Codes, Head);
    const std::size_t records = boundaries.size() - 1;
    const std::size_t size = File.size();
    switch (Random() % (Head == 2 ? 8 : 9)) {
    case 0: File.resize(pick(size)); break;
    case 1: File.resize(std::min(boundaries[pick(boundaries.size())], size - 1)); break;
    case 2: File += String(1 + pick(8), static_cast<char>(Random())); break;
    case 3: File.insert(pick(size + 1), String(1 + pick(4), static_cast<char>(Random()))); break;
    case 4: File.erase(pick(size), 1 + pick(4)); break;
    case 5: changeU16(Head - 2); break;
    case 6:
        if (records > 0)
            changeU16(Head + 4 * pick(records) + 2);
        else
            File += String(1, '\0');
        break;
    case 7:
        if (records > 0)
            changeU16(boundaries[pick(records)]);
        else
            File.resize(size - 1);
        break;
    default: changeU16(pick(2) * 4 + pick(2) * 2); break;
    }
}

TEST(ProjectCodec, DamagedFilesAreRefusedOrOpenAsWritten)
{
    std::mt19937 random(29);
    TChannelImage sentinel;
    sentinel.Codes[77] = Record(9, 77);
    sentinel.Names[77] = Tongdao;
    for (int i = 0; i < 4000; ++i) {
        const TChannelImage source = i % 200 == 0 ? FullChannel()
                                                  : RandomChannel(random, static_cast<int>(random() % 12),
                                                                  random() % 4 == 0 ? 2048 : 40);
        String error;
        String codeFile = vantrel::EncodeCodeFile(source.Codes);
        Damage(random, codeFile, source.Codes, 2);
        TSlotRecords codes = sentinel.Codes;
        if (vantrel::DecodeCodeFile(codeFile, codes, error))
            ASSERT_EQ(codes, source.Codes) << "damaged code file " << i << " opened with other codes";
        else
            ASSERT_EQ(codes, sentinel.Codes) << "refused code file " << i;

        String snapshot = vantrel::EncodeSnapshot(source);
        Damage(random, snapshot, source.Codes, 10);
        TChannelImage image = sentinel;
        if (vantrel::DecodeSnapshot(snapshot, image, error)) {
            ASSERT_EQ(image.Codes, source.Codes) << "damaged snapshot " << i << " opened with other codes";
            ASSERT_EQ(image.Names, source.Names) << "damaged snapshot " << i << " opened with other names";
        } else {
            ASSERT_EQ(image.Codes, sentinel.Codes) << "refused snapshot " << i;
            ASSERT_EQ(image.Names, sentinel.Names) << "refused snapshot " << i;
        }
    }
}

// Accepted contents must be well formed and survive a second round trip.
void CheckAccepted(const TChannelImage& Image, const char* Kind, int Case)
{
    for (const String& code : Image.Codes) {
        if (code.empty())
            continue;
        ASSERT_GE(code.size(), 2u) << Kind << " case " << Case;
        ASSERT_LE(code.size(), 2048u) << Kind << " case " << Case;
        ASSERT_EQ(ByteAt(code, 0) | (ByteAt(code, 1) << 8), static_cast<int>(code.size())) << Kind << " case " << Case;
    }
    TChannelImage again;
    String error;
    ASSERT_TRUE(vantrel::DecodeSnapshot(vantrel::EncodeSnapshot(Image), again, error)) << Kind << " case " << Case;
    ASSERT_EQ(again.Codes, Image.Codes) << Kind << " case " << Case;
}

void Mutate(std::mt19937& Random, String& File)
{
    for (unsigned n = 1 + Random() % 4; n > 0; --n) {
        const std::size_t size = File.size();
        switch (Random() % 6) {
        case 0:
        case 1:
            if (size > 0)
                File[Random() % size] = static_cast<char>(Random());
            break;
        case 2:   // a byte of the head or table, where it hurts most
            if (size > 0)
                File[Random() % std::min<std::size_t>(size, 24)] = static_cast<char>(Random());
            break;
        case 3:
            File.resize(size == 0 ? 0 : Random() % size);
            break;
        case 4:
            File.insert(size == 0 ? 0 : Random() % size, String(1 + Random() % 4, static_cast<char>(Random())));
            break;
        default:
            if (size > 0)
                File.erase(Random() % size, 1 + Random() % 3);
            break;
        }
    }
}

TEST(ProjectCodec, RandomizedFilesNeverHarmTheChannel)
{
    constexpr int Runs = 60000;   // each run: one generated file of each kind and a mutation of each
    std::mt19937 random(20261210);
    TChannelImage sentinel;
    sentinel.Codes[77] = Record(9, 77);
    sentinel.Names[77] = Tongdao;
    for (int i = 0; i < Runs; ++i) {
        const bool big = i % 2000 == 0;
        const TChannelImage source =
            big ? FullChannel() : RandomChannel(random, static_cast<int>(random() % 6), random() % 8 == 0 ? 2048 : 24);
        const String codeFile = vantrel::EncodeCodeFile(source.Codes);
        const String snapshot = vantrel::EncodeSnapshot(source);
        String error;

        TSlotRecords codes = sentinel.Codes;
        ASSERT_TRUE(vantrel::DecodeCodeFile(codeFile, codes, error)) << "generated code file " << i << ": " << error;
        ASSERT_EQ(codes, source.Codes) << "generated code file " << i;
        TChannelImage image = sentinel;
        ASSERT_TRUE(vantrel::DecodeSnapshot(snapshot, image, error)) << "generated snapshot " << i << ": " << error;
        ASSERT_EQ(image.Codes, source.Codes) << "generated snapshot " << i;
        ASSERT_EQ(image.Names, source.Names) << "generated snapshot " << i;

        String mutated = codeFile;
        Mutate(random, mutated);
        codes = sentinel.Codes;
        if (vantrel::DecodeCodeFile(mutated, codes, error)) {
            TChannelImage accepted;
            accepted.Codes = codes;
            CheckAccepted(accepted, "mutated code file", i);
        } else {
            ASSERT_EQ(codes, sentinel.Codes) << "refused code file " << i;
        }
        mutated = snapshot;
        Mutate(random, mutated);
        image = sentinel;
        if (vantrel::DecodeSnapshot(mutated, image, error)) {
            CheckAccepted(image, "mutated snapshot", i);
        } else {
            ASSERT_EQ(image.Codes, sentinel.Codes) << "refused snapshot " << i;
            ASSERT_EQ(image.Names, sentinel.Names) << "refused snapshot " << i;
        }
        if (HasFatalFailure())
            return;
    }
}

} // namespace

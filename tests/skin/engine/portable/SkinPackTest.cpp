// Packed skins: the container reader over containers made by the tests,
// well-formed, unusual and damaged.
#include <gtest/gtest.h>

#include "../../../support/TempDir.h"
#include "../../support/SkinPackBuilder.h"
#include "../../support/WarningRecorder.h"
#include "skin/engine/ZDecompressionStream.h"
#include "skin/engine/zqSkinPack.h"

using skintest::PackEntries;
using skintest::TPackEntry;

namespace {

String Text(const TMemoryStream& S)
{
    return String(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(const_cast<TMemoryStream&>(S).Size()));
}

// Unpacks Bytes through a reader that is handed the stream.
void Unpack(const String& Bytes, TzqSkinConvertor& Reader, TMemoryStream& Source)
{
    Source.Clear();
    Source.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
    Reader.SetSource(&Source);
    Reader.Unpack();
}

// Random bytes that deflate cannot shrink, from a fixed seed.
String Noise(std::size_t Size, unsigned Seed)
{
    String s(Size, '\0');
    unsigned x = Seed;
    for (char& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return s;
}

}   // namespace

TEST(SkinPack, Entries)
{
    const String big = Noise(150000, 7);   // spans several 64 KiB blocks of the source
    struct Case {
        const char* Name;
        std::vector<TPackEntry> Entries;
        const char* Options;                 // nullptr: no options entry
        std::vector<std::pair<String, bool>> Items;
    };
    const Case cases[] = {
        {"options first", {{"Options.dat", "[A]\nX=1\n"}, {"M.BMP", "bmp"}, {"P.jpg", "jpg"}}, "[A]\nX=1\n",
         {{"M.BMP", true}, {"P.jpg", false}}},
        {"options last, name in another case", {{"a.bmp", "1"}, {"OPTIONS.DAT", "opt"}}, "opt", {{"a.bmp", true}}},
        {"only the options", {{"options.Dat", "o"}}, "o", {}},
        {"two options entries: the later one", {{"Options.dat", "first"}, {"X.Bmp", "x"}, {"Options.dat", "second"}},
         "second", {{"X.Bmp", true}}},
        {"no options entry", {{"a.BMP", "1"}, {"b", "2"}, {"c.bmp.jpg", "3"}}, nullptr,
         {{"a.BMP", true}, {"b", false}, {"c.bmp.jpg", false}}},
        {"an empty entry between others", {{"E.BMP", ""}, {"Options.dat", "o"}, {"F.BMP", "f"}}, "o",
         {{"E.BMP", true}, {"F.BMP", true}}},
        {"a large entry across blocks", {{"BIG.BMP", big}, {"Options.dat", "o"}, {"S.BMP", "s"}}, "o",
         {{"BIG.BMP", true}, {"S.BMP", true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TzqSkinConvertor reader;
        TMemoryStream source;
        Unpack(PackEntries(c.Entries), reader, source);
        if (c.Options == nullptr) {
            EXPECT_EQ(nullptr, reader.Options);
        } else {
            ASSERT_NE(nullptr, reader.Options);
            EXPECT_EQ(c.Options, Text(*reader.Options));
        }
        ASSERT_EQ(static_cast<int>(c.Items.size()), reader.ImageCount());
        for (std::size_t i = 0; i < c.Items.size(); ++i) {
            EXPECT_EQ(c.Items[i].first, reader.Files[i].Name);
            EXPECT_EQ(c.Items[i].second, reader.Files[i].IsBitmap);
            for (const TPackEntry& e : c.Entries) {
                if (e.Name == c.Items[i].first) {
                    EXPECT_EQ(e.Data, Text(*reader.Files[i].Data)) << e.Name;
                }
            }
        }
        EXPECT_EQ(&source, reader.Source());   // a stream handed in is never freed
    }
}

TEST(SkinPack, WrongMagicWarnsOnce)
{
    skintest::TWarningRecorder warnings;
    TzqSkinConvertor reader;
    TMemoryStream source;
    String bytes = PackEntries({{"Options.dat", "o"}, {"A.BMP", "a"}});
    bytes[3] = 'K';
    Unpack(bytes, reader, source);
    ASSERT_EQ(1u, warnings.Texts().size());
    EXPECT_EQ("Loaded data is not packed ZorvikSkin file", warnings.Texts()[0]);
    EXPECT_EQ(nullptr, reader.Options);
    EXPECT_EQ(0, reader.ImageCount());
    EXPECT_EQ(nullptr, reader.Source());

    for (const String& tiny : {String(), String("ZVp")}) {
        Unpack(tiny, reader, source);
        EXPECT_EQ(nullptr, reader.Source());
    }
    EXPECT_EQ(3u, warnings.Texts().size());
}

TEST(SkinPack, DamagedContainers)
{
    const std::vector<TPackEntry> good = {{"Options.dat", "[A]\nX=1\n"}, {"M.BMP", Noise(3000, 3)}, {"E", ""}};
    const String whole = PackEntries(good);
    TzqSkinConvertor reader;
    TMemoryStream source;

    // Every truncation after the magic is a stream read error; nothing is read past the end.
    for (std::size_t length = 4; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_THROW(Unpack(whole.substr(0, length), reader, source), EReadError);
    }

    struct Bad {
        const char* Name;
        String Bytes;
        bool Inflate;   // EZDecompressionError, else EReadError
    };
    String flipped = whole;
    flipped[whole.find("M.BMP") + 5 + 4 + 10] ^= 0x55;   // inside the picture's deflate data
    String count = "ZVpk";
    skintest::PutInt32(count, MaxPackedEntries + 1);
    count += String(100000, '\0');
    String negative = "ZVpk";
    skintest::PutInt32(negative, -1);
    String longName = "ZVpk";
    skintest::PutInt32(longName, 1);
    skintest::PutInt32(longName, MaxPackedNameLength + 1);
    longName += String(400, 'N');
    // A preset dictionary asked for: header 78 BB, then a dictionary id.
    String dictionary = "ZVpk";
    skintest::PutInt32(dictionary, 1);
    skintest::PutInt32(dictionary, 1);
    dictionary += "A";
    skintest::PutInt32(dictionary, 1);
    dictionary += String("\x78\xBB\x00\x00\x00\x01\x03\x00\x00\x00\x00\x01", 12);
    const Bad cases[] = {
        {"damaged deflate data", flipped, true},
        {"a preset dictionary", dictionary, true},
        {"fewer bytes than U", PackEntries({{"A.BMP", "abc", 4}}), false},
        {"more bytes than U", PackEntries({{"A.BMP", "abcd", 3}, {"B.BMP", "b"}}), true},
        {"U beyond the cap", PackEntries({{"A.BMP", "a", Int64(MaxPackedEntrySize) + 1}}), false},
        {"U far beyond what the data can hold", PackEntries({{"A.BMP", "a", 50 << 20}}), false},
        {"a negative U", PackEntries({{"A.BMP", "a", 0xFFFFFFFF}}), false},
        {"too many entries", count, false},
        {"a negative entry count", negative, false},
        {"a name beyond the cap", longName, false},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.Inflate)
            EXPECT_THROW(Unpack(c.Bytes, reader, source), EZDecompressionError);
        else
            EXPECT_THROW(Unpack(c.Bytes, reader, source), EReadError);
    }
    try {
        Unpack(flipped, reader, source);
    } catch (const EZDecompressionError& e) {
        EXPECT_EQ(String(zError(e.ErrorCode)), e.Message);
    }
}

TEST(SkinPack, StreamStopsAtTheEndOfItsData)
{
    // Two zlib streams back to back, both ending inside the first 64 KiB block.
    const String first = skintest::Deflate("first entry");
    const String second = skintest::Deflate("second");
    TMemoryStream source;
    const String bytes = first + second + "tail";
    source.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    source.SetPosition(0);
    char out[64] = {};
    {
        TZDecompressionStream z(&source);
        EXPECT_EQ(11, z.Read(out, sizeof(out)));
        EXPECT_TRUE(z.Ended());
    }
    EXPECT_EQ(static_cast<Int64>(first.size()), source.Position());
    {
        TZDecompressionStream z(&source);
        EXPECT_EQ(6, z.Read(out, sizeof(out)));
        EXPECT_EQ("second", String(out, 6));
    }
    EXPECT_EQ(static_cast<Int64>(first.size() + second.size()), source.Position());
}

TEST(SkinPack, Seeks)
{
    const String data = Noise(20000, 11);
    const String packed = skintest::Deflate(data);
    TMemoryStream source;
    source.WriteBuffer(packed.data(), static_cast<Integer>(packed.size()));
    source.SetPosition(0);
    TZDecompressionStream z(&source);
    EXPECT_EQ(100, z.Seek(100, soFromCurrent));
    char c = 0;
    ASSERT_EQ(1, z.Read(&c, 1));
    EXPECT_EQ(data[100], c);
    EXPECT_EQ(0, z.Seek(0, soFromBeginning));
    ASSERT_EQ(1, z.Read(&c, 1));
    EXPECT_EQ(data[0], c);
    EXPECT_EQ(5000, z.Seek(5000, soFromBeginning));
    EXPECT_EQ(20000, z.Seek(0, soFromEnd));
    EXPECT_THROW(z.Seek(10, soFromBeginning), EZDecompressionError);
    EXPECT_THROW(z.Seek(-1, soFromCurrent), EZDecompressionError);
    EXPECT_THROW(z.Write("x", 1), EZDecompressionError);
}

TEST(SkinPack, LoadFile)
{
    testfs::TempDir dir("skinpack");
    const auto good = dir.Path() / "Good.zvk";
    const auto bad = dir.Path() / "Bad.zvk";
    testfs::WriteBytes(good, PackEntries({{"Options.dat", "o"}, {"A.BMP", "a"}}));
    testfs::WriteBytes(bad, PackEntries({{"A.BMP", "abc", 9}}));

    std::unique_ptr<TzqSkinConvertor> reader;
    LoadSkinPackFile(testfs::PathStr(dir.Path() / "Missing.zvk"), reader, true);
    EXPECT_EQ(nullptr, reader);

    LoadSkinPackFile(testfs::PathStr(good), reader, false);
    ASSERT_NE(nullptr, reader);
    EXPECT_NE(nullptr, reader->Source());   // kept when not asked to free it
    EXPECT_EQ(1, reader->ImageCount());
    LoadSkinPackFile(testfs::PathStr(good), reader, true);
    EXPECT_EQ(nullptr, reader->Source());
    EXPECT_EQ("o", Text(*reader->Options));

    EXPECT_THROW(LoadSkinPackFile(testfs::PathStr(bad), reader, true), EReadError);
    EXPECT_EQ(nullptr, reader->Source());   // freed also when unpacking fails
}

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>

#include "framework/Exception.h"
#include "framework/Stream.h"

#ifdef _WIN32
#include "framework/Codepage.h"
#endif

namespace {

namespace fs = std::filesystem;
using testfs::PathStr;


void WriteText(TStream& s, const String& text)
{
    s.WriteBuffer(text.data(), static_cast<Integer>(text.size()));
}

String ReadText(TStream& s, Integer count)
{
    String r(static_cast<std::size_t>(count), '\0');
    r.resize(static_cast<std::size_t>(s.Read(r.data(), count)));
    return r;
}

String Contents(const TMemoryStream& s, Int64 size)
{
    return String(static_cast<const char*>(s.Memory()), static_cast<std::size_t>(size));
}

// A pattern long enough to need several copy blocks.
String Pattern(std::size_t n)
{
    String r(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        r[i] = static_cast<char>(i * 7 + i / 251);
    return r;
}

// ---- TMemoryStream ----

TEST(MemoryStream, SeekMovesThePositionFromEachOrigin)
{
    TMemoryStream s;
    WriteText(s, "0123456789");
    EXPECT_EQ(s.Position(), 10);
    const struct {
        Int64 Offset;
        Word Origin;
        Int64 Expected;
        String Next;
    } cases[] = {
        {3, soFromBeginning, 3, "34"},
        {-1, soFromEnd, 9, "9"},
        {-4, soFromCurrent, 6, "67"},   // from 10, after the read above
        {0, soFromEnd, 10, ""},
        {5, soFromEnd, 15, ""},         // past the end is allowed; nothing to read
    };
    for (const auto& c : cases) {
        EXPECT_EQ(s.Seek(c.Offset, c.Origin), c.Expected) << c.Offset << "/" << c.Origin;
        EXPECT_EQ(ReadText(s, 2), c.Next) << c.Offset << "/" << c.Origin;
    }
    EXPECT_THROW(s.Seek(-11, soFromEnd), EStreamError);
    EXPECT_THROW(s.SetPosition(-1), EStreamError);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros)
{
    TMemoryStream s;
    WriteText(s, "ab");
    s.SetPosition(5);
    WriteText(s, "Z");
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(Contents(s, 6), String("ab\0\0\0Z", 6));
    s.SetPosition(1);
    WriteText(s, "xy");
    EXPECT_EQ(Contents(s, 6), String("axy\0\0Z", 6));
}

TEST(MemoryStream, SetSizeGrowsWithZerosAndKeepsThePositionInside)
{
    TMemoryStream s;
    WriteText(s, "abcdef");
    s.SetSize(3);
    EXPECT_EQ(s.Position(), 3);
    EXPECT_EQ(Contents(s, 3), "abc");
    s.SetPosition(1);
    s.SetSize(5);
    EXPECT_EQ(s.Position(), 1);
    EXPECT_EQ(Contents(s, 5), String("abc\0\0", 5));
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, ShortReadsAndBufferReads)
{
    TMemoryStream s;
    WriteText(s, "abc");
    s.SetPosition(1);
    char buffer[8] = {};
    EXPECT_EQ(s.Read(buffer, 8), 2);
    EXPECT_EQ(s.Read(buffer, 8), 0);
    s.SetPosition(1);
    EXPECT_THROW(s.ReadBuffer(buffer, 3), EReadError);
    s.SetPosition(0);
    s.ReadBuffer(buffer, 3);
    EXPECT_EQ(String(buffer, 3), "abc");
}

TEST(MemoryStream, CopyFromTakesCountOrTheWholeSource)
{
    const String data = Pattern(200000);
    TMemoryStream source;
    WriteText(source, data);

    const struct {
        const char* Name;
        Int64 Start;
        Int64 Count;
        String Expected;
    } cases[] = {
        {"whole source whatever its position", 777, 0, data},
        {"count from the position", 100, 150000, data.substr(100, 150000)},
        {"nothing", 5, -1, ""},
    };
    for (const auto& c : cases) {
        TMemoryStream dest;
        WriteText(dest, "head");
        source.SetPosition(c.Start);
        EXPECT_EQ(dest.CopyFrom(&source, c.Count), static_cast<Int64>(c.Expected.size())) << c.Name;
        EXPECT_EQ(Contents(dest, dest.Size()), "head" + c.Expected) << c.Name;
    }

    TMemoryStream dest;
    source.SetPosition(data.size() - 10);
    EXPECT_THROW(dest.CopyFrom(&source, 11), EReadError);
}

TEST(MemoryStream, LoadFromStreamTakesTheWholeSourceAndRewinds)
{
    TMemoryStream source;
    WriteText(source, "读取完成！");
    TMemoryStream copy;
    WriteText(copy, "older and longer contents");
    copy.LoadFromStream(&source);
    EXPECT_EQ(copy.Position(), 0);
    EXPECT_EQ(Contents(copy, copy.Size()), "读取完成！");

    TMemoryStream saved;
    copy.SetPosition(3);
    copy.SaveToStream(&saved);
    EXPECT_EQ(Contents(saved, saved.Size()), "读取完成！");
}

// ---- TFileStream ----

class FileStreamTest : public ::testing::Test {
protected:
    testfs::TempDir FTemp{"stream"};
    const fs::path FDir = FTemp.Path();
    static std::string ReadBytes(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void WriteBytes(const fs::path& p, const std::string& bytes)
    {
        std::ofstream out(p, std::ios::binary);
        out << bytes;
    }

};

TEST_F(FileStreamTest, ModesOpenAsTheySay)
{
    const fs::path path = FDir / "data.bin";
    const struct {
        const char* Name;
        Word Mode;
        String Write;
        String After;
    } cases[] = {
        {"create empties an existing file", fmCreate, "new", "new"},
        {"write-only keeps the rest", fmOpenWrite | fmShareDenyWrite, "XY", "XYcdef"},
        {"read-write keeps the rest", fmOpenReadWrite | fmShareExclusive, "1", "1bcdef"},
    };
    for (const auto& c : cases) {
        WriteBytes(path, "abcdef");
        {
            TFileStream s(PathStr(path), c.Mode);
            EXPECT_EQ(s.FileName(), PathStr(path));
            WriteText(s, c.Write);
        }
        EXPECT_EQ(ReadBytes(path), c.After) << c.Name;
    }

    TFileStream reader(PathStr(path), fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(reader.Size(), 6);
    reader.Seek(-2, soFromEnd);
    EXPECT_EQ(ReadText(reader, 10), "ef");
    char c = 0;
    EXPECT_THROW(reader.WriteBuffer(&c, 1), EWriteError);
}

TEST_F(FileStreamTest, FailuresNameTheFile)
{
    const String missing = PathStr(FDir / "missing.bin");
    const String noFolder = PathStr(FDir / "no-such-folder" / "new.bin");
    const struct {
        const char* Name;
        String File;
        Word Mode;
        String Start;
    } cases[] = {
        {"open a missing file", missing, fmOpenRead, "Cannot open file \"" + missing + "\""},
        {"open a missing file for writing", missing, fmOpenReadWrite, "Cannot open file \"" + missing + "\""},
        {"create in a missing folder", noFolder, fmCreate, "Cannot create file \"" + noFolder + "\""},
    };
    for (const auto& c : cases) {
        try {
            TFileStream s(c.File, c.Mode);
            ADD_FAILURE() << c.Name << " did not raise";
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.Message.rfind(c.Start, 0), 0u) << c.Name << ": " << e.Message;
            EXPECT_EQ(e.ClassName(), (c.Mode == fmCreate ? "EFCreateError" : "EFOpenError")) << c.Name;
        }
    }
    EXPECT_FALSE(fs::exists(FDir / "missing.bin"));
}

TEST_F(FileStreamTest, ReadSeekAndSizeErrorsNameTheFileAndAreStreamErrors)
{
    const fs::path path = FDir / "short.bin";
    WriteBytes(path, "abc");
    const String name = PathStr(path);
    TFileStream s(name, fmOpenRead);
    char buffer[10];
    try {
        s.ReadBuffer(buffer, 10);
        ADD_FAILURE() << "a short read did not raise";
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message.find(name), String::npos) << e.Message;
        EXPECT_NE(e.Message.find("3 of 10"), String::npos) << e.Message;
    }
    try {
        s.Seek(-1, soFromBeginning);
        ADD_FAILURE() << "a seek before the start did not raise";
    } catch (const EStreamError& e) {
        EXPECT_NE(e.Message.find(name), String::npos) << e.Message;
    }

    // A memory stream never lets std::bad_alloc out, nor wraps a position.
    TMemoryStream m;
    m.SetPosition(std::numeric_limits<Int64>::max());
    EXPECT_THROW(m.Seek(1, soFromCurrent), EStreamError);
    char c = 'x';
    EXPECT_THROW(m.Write(&c, 1), EStreamError) << "a write past the largest position";
#ifndef __SANITIZE_ADDRESS__   // the sanitizer's allocator stops the program instead of failing
    EXPECT_THROW(m.SetSize(Int64(1) << 62), EStreamError);
    m.SetPosition(Int64(1) << 62);
    EXPECT_THROW(m.Write(&c, 1), EStreamError);
#endif
    EXPECT_EQ(m.Size(), 0);
}

TEST_F(FileStreamTest, PositionsAndSizesAre64Bit)
{
    const fs::path path = FDir / "big.bin";
    const Int64 beyond4G = (Int64(5) << 30) + 3;
    TFileStream s(PathStr(path), fmCreate);
    WriteText(s, "abc");
    EXPECT_EQ(s.Seek(beyond4G, soFromBeginning), beyond4G);
    s.SetSize(beyond4G + 1);   // sparse on the file systems in use
    EXPECT_EQ(s.Size(), beyond4G + 1);
    EXPECT_EQ(s.Position(), beyond4G);
    s.SetSize(2);
    EXPECT_EQ(s.Size(), 2);
    EXPECT_EQ(s.Position(), 2);
    s.SetPosition(0);
    EXPECT_EQ(ReadText(s, 10), "ab");
}

TEST_F(FileStreamTest, MemoryStreamFilesAndChineseNames)
{
    const fs::path path = FDir / fs::path(u8"测试文件.bin");
    const String data = Pattern(70000);
    TMemoryStream out;
    WriteText(out, data);
    out.SaveToFile(PathStr(path));
    ASSERT_TRUE(fs::exists(path));
    EXPECT_EQ(ReadBytes(path), data);

    TMemoryStream in;
    in.LoadFromFile(PathStr(path));
    EXPECT_EQ(Contents(in, in.Size()), data);

    TFileStream file(PathStr(path), fmOpenRead);
    TMemoryStream copy;
    file.SetPosition(10);
    EXPECT_EQ(copy.CopyFrom(&file, 0), static_cast<Int64>(data.size()));
    EXPECT_EQ(Contents(copy, copy.Size()), data);
}

} // namespace

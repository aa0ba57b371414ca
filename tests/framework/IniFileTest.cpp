#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <thread>
#include <vector>

#include "framework/Exception.h"
#include "framework/IniFile.h"
#include "framework/Stream.h"
#include "framework/StrUtils.h"
#include "framework/StringList.h"

#ifdef _WIN32
#include <windows.h>

#include "framework/Codepage.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using testfs::PathStr;
using Items = std::vector<String>;


Items ItemsOf(const TStrings& list)
{
    Items r;
    for (int i = 0; i < list.Count(); ++i)
        r.push_back(list.Strings(i));
    return r;
}

#ifdef _WIN32
// The Linux path of a Windows one, through Wine's own export.
std::string UnixPathOf(const std::string& WindowsPath)
{
    using TGetUnixName = char*(CDECL*)(LPCWSTR);
    const auto get = reinterpret_cast<TGetUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (get == nullptr)
        return std::string();
    char* name = get(StrToWide(WindowsPath).c_str());
    if (name == nullptr)
        return std::string();
    std::string path(name);
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}
#endif

#ifdef _WIN32
// Whether a folder listing shows the name (a link to a device has no attributes).
bool Listed(const std::string& Path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(StrToWide(Path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// Runs a Linux command (started through Wine) on the Linux form of Path and
// waits, bounded, until Path is listed or not as Wanted: the handle of a
// native process cannot be waited on.
bool RunOnLinuxPath(const std::string& Command, const std::string& Path, bool Wanted)
{
    const std::string unix = UnixPathOf(Path);
    if (unix.empty())
        return false;
    const std::string text = Command + " " + unix;
    std::wstring line(text.begin(), text.end());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int i = 0; i < 500; ++i) {
        if (Listed(Path) == Wanted)
            return true;
        Sleep(10);
    }
    return false;
}
#endif

// Makes Path a symbolic link to /dev/full, where every write fails for lack
// of space, or removes that link. Under Wine the Linux ln and rm do it (Wine
// would follow the link to the device).
bool LinkToFullDevice(const std::string& Path)
{
#ifdef _WIN32
    return RunOnLinuxPath("Z:\\bin\\ln -s /dev/full", Path, true);
#else
    std::error_code error;
    fs::create_symlink("/dev/full", Path, error);
    return !error;
#endif
}

bool RemoveLink(const std::string& Path)
{
#ifdef _WIN32
    return RunOnLinuxPath("Z:\\bin\\rm -f", Path, false);
#else
    std::error_code error;
    fs::remove(Path, error);
    return !error;
#endif
}

// The system's own text for a full disk.
String DiskFullText()
{
#ifdef _WIN32
    wchar_t buffer[256] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_DISK_FULL,
                                   0, buffer, 256, nullptr);
    String text = WideToStr(std::wstring(buffer, n));
#else
    String text = std::strerror(ENOSPC);
#endif
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

// A file as another program (and a person with an editor) left it.
const String SharedFile =
    "; settings of both programs\r\n"
    "[Vantrel]\r\n"
    "IP=192.168.1.145\r\n"
    "  Port = 6000  \r\n"
    "\r\n"
    "[Com1]\r\n"
    "band=9600\r\n"
    "Check=无校验\r\n"
    "a line of no known form\r\n"
    "\r\n"
    "[SimForm]\r\n"
    "Cmd=数据转发\r\n";

class IniFileTest : public ::testing::Test {
protected:
    testfs::TempDir FTemp{"inifile"};
    const fs::path FDir = FTemp.Path();
    const fs::path FPath = FDir / "Configure.ini";
    std::string ReadBytes() const
    {
        std::ifstream in(FPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteBytes(const std::string& bytes) const
    {
        std::ofstream out(FPath, std::ios::binary);
        out << bytes;
    }
    String Name() const { return PathStr(FPath); }

};

// Replaces the first occurrence of From in S.
String Replaced(String S, const String& From, const String& To)
{
    return S.replace(S.find(From), From.size(), To);
}

TEST_F(IniFileTest, AChangeTouchesOnlyItsLine)
{
    const struct {
        const char* Name;
        std::function<void(TIniFile&)> Change;
        String Expected;
    } cases[] = {
        {"change a value", [](TIniFile& f) { f.WriteString("Com1", "band", "115200"); },
         Replaced(SharedFile, "band=9600", "band=115200")},
        {"names in another case keep the file's spelling",
         [](TIniFile& f) { f.WriteString("VANTREL", "port", "7000"); },
         Replaced(SharedFile, "  Port = 6000  ", "Port=7000")},
        {"new key after the section's last line, before its blank line",
         [](TIniFile& f) { f.WriteString("com1", "FramInv", "20"); },
         Replaced(SharedFile, "form\r\n", "form\r\nFramInv=20\r\n")},
        {"new key in the last section", [](TIniFile& f) { f.WriteInteger("SimForm", "Id", 254); },
         SharedFile + "Id=254\r\n"},
        {"new section at the end", [](TIniFile& f) { f.WriteBool("OnOFF", "Com5", true); },
         SharedFile + "[OnOFF]\r\nCom5=1\r\n"},
        {"delete a key", [](TIniFile& f) { f.DeleteKey("Com1", "CHECK"); },
         Replaced(SharedFile, "Check=无校验\r\n", "")},
        {"erase a section", [](TIniFile& f) { f.EraseSection("com1"); },
         Replaced(SharedFile, "[Com1]\r\nband=9600\r\nCheck=无校验\r\na line of no known form\r\n\r\n", "")},
        {"delete a missing key", [](TIniFile& f) { f.DeleteKey("Com1", "absent"); }, SharedFile},
        {"erase a missing section", [](TIniFile& f) { f.EraseSection("Com2"); }, SharedFile},
        {"flush", [](TIniFile& f) { f.UpdateFile(); }, SharedFile},
    };
    for (const auto& c : cases) {
        WriteBytes(SharedFile);
        TIniFile ini(Name());
        c.Change(ini);
        EXPECT_EQ(ReadBytes(), c.Expected) << c.Name;
    }
}

TEST_F(IniFileTest, ReadsTrimmedValuesWithNamesInAnyCase)
{
    WriteBytes("Orphan=before any section\r\n" + SharedFile);
    TIniFile ini(Name());
    const struct {
        String Section;
        String Ident;
        String Expected;
    } cases[] = {
        {"vantrel", "ip", "192.168.1.145"},
        {"Vantrel", "PORT", "6000"},
        {"Com1", "Check", "无校验"},
        {"SimForm", "Cmd", "数据转发"},
        {"Com1", "missing", "default"},
        {"Missing", "IP", "default"},
        {"Com1", "a line of no known form", "default"},
        {"", "Orphan", "default"},
        {"Com1", "Cmd", "default"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString(c.Section, c.Ident, "default"), c.Expected) << c.Section << "/" << c.Ident;
    EXPECT_TRUE(ini.SectionExists("COM1"));
    EXPECT_FALSE(ini.SectionExists("Com2"));
    EXPECT_TRUE(ini.ValueExists("vantrel", "Port"));
    EXPECT_FALSE(ini.ValueExists("Vantrel", "Cmd"));
}

TEST_F(IniFileTest, ValuesRoundTripAsExactBytes)
{
    const struct {
        const char* Name;
        String Value;
        String Read;
    } cases[] = {
        {"Chinese", "数据转发", "数据转发"},
        {"trail bytes that look like ']' and '\\'", "\xB1\x5D\x81\x5C", "\xB1\x5D\x81\x5C"},
        {"separators inside", "a=b;c[d]", "a=b;c[d]"},
        {"empty", "", ""},
        {"surrounding blanks are trimmed on reading", "  padded\t", "padded"},
    };
    TIniFile ini(Name());
    for (const auto& c : cases) {
        ini.WriteString("S", "Key", c.Value);
        EXPECT_EQ(ini.ReadString("S", "Key", "default"), c.Read) << c.Name;
        EXPECT_EQ(ReadBytes(), "[S]\r\nKey=" + c.Value + "\r\n") << c.Name;
    }
}

TEST_F(IniFileTest, SectionNameWithADoubleByteBracket)
{
    const String section = "\xB1\x5D";   // the second byte is ']'
    TIniFile ini(Name());
    ini.WriteString(section, "k", "1");
    ini.WriteString("Other", "k", "2");
    ini.WriteString(section, "k", "3");
    EXPECT_EQ(ReadBytes(), "[" + section + "]\r\nk=3\r\n[Other]\r\nk=2\r\n");
    EXPECT_EQ(ini.ReadString(section, "k", ""), "3");
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsCreatedByTheFirstWrite)
{
    TIniFile ini(Name());
    EXPECT_EQ(ini.FileName(), Name());
    EXPECT_EQ(ini.ReadString("Vantrel", "IP", "192.168.1.145"), "192.168.1.145");
    EXPECT_EQ(ini.ReadInteger("Vantrel", "Port", 6000), 6000);
    EXPECT_FALSE(ini.SectionExists("Vantrel"));
    TStringList list;
    list.Add("stale");
    ini.ReadSections(&list);
    EXPECT_EQ(list.Count(), 0);
    ini.DeleteKey("Vantrel", "IP");
    ini.EraseSection("Vantrel");
    EXPECT_FALSE(fs::exists(FPath));

    // Keys go to the end of their section, sections in the order first written.
    ini.WriteString("Com1", "band", "9600");
    ini.WriteString("Dowload", "SelPort", "串口");
    ini.WriteString("OnOFF", "Com5", "接收关闭");
    ini.WriteString("Dowload", "Check", "无校验");
    EXPECT_EQ(ReadBytes(), "[Com1]\r\nband=9600\r\n"
                           "[Dowload]\r\nSelPort=串口\r\nCheck=无校验\r\n"
                           "[OnOFF]\r\nCom5=接收关闭\r\n");
}

TEST_F(IniFileTest, LfOnlyFilesAreReadAndWrittenBackWithCrLf)
{
    WriteBytes("[A]\nx = 1\n[B]\ny=2");
    TIniFile ini(Name());
    EXPECT_EQ(ini.ReadString("a", "X", ""), "1");
    EXPECT_EQ(ini.ReadString("B", "y", ""), "2");
    ini.WriteString("B", "z", "3");
    EXPECT_EQ(ReadBytes(), "[A]\r\nx = 1\r\n[B]\r\ny=2\r\nz=3\r\n");
}

TEST_F(IniFileTest, IntegersAndBooleans)
{
    WriteBytes("[N]\r\ndec=42\r\nhex=$1F\r\nhex2=0x10\r\nneg=-7\r\ntext=abc\r\nempty=\r\n"
               "one=1\r\nzero=0\r\ntwo=2\r\nt=True\r\nf=FALSE\r\nyes=yes\r\n");
    TIniFile ini(Name());
    const struct {
        String Ident;
        Integer Expected;
    } integers[] = {{"dec", 42}, {"hex", 31}, {"hex2", 16}, {"neg", -7}, {"text", 99}, {"empty", 99}, {"none", 99}};
    for (const auto& c : integers)
        EXPECT_EQ(ini.ReadInteger("N", c.Ident, 99), c.Expected) << c.Ident;

    const struct {
        String Ident;
        bool Default;
        bool Expected;
    } bools[] = {{"one", false, true},  {"zero", true, false}, {"two", false, true}, {"t", false, true},
                 {"f", true, false},    {"yes", true, true},   {"yes", false, false}, {"none", true, true}};
    for (const auto& c : bools)
        EXPECT_EQ(ini.ReadBool("N", c.Ident, c.Default), c.Expected) << c.Ident << " default " << c.Default;

    TIniFile fresh(PathStr(FDir / "fresh.ini"));
    fresh.WriteBool("B", "on", true);
    fresh.WriteBool("B", "off", false);
    fresh.WriteInteger("B", "n", -5);
    EXPECT_EQ(fresh.ReadString("B", "on", ""), "1");
    EXPECT_EQ(fresh.ReadString("B", "off", ""), "0");
    EXPECT_EQ(fresh.ReadString("B", "n", ""), "-5");
}

TEST_F(IniFileTest, SectionListings)
{
    WriteBytes(SharedFile + "[com1]\r\nlater=ignored\r\n");
    TIniFile ini(Name());
    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(ItemsOf(list), (Items{"Vantrel", "Com1", "SimForm"}));
    ini.ReadSection("vantrel", &list);
    EXPECT_EQ(ItemsOf(list), (Items{"IP", "Port"}));
    ini.ReadSectionValues("Vantrel", &list);
    EXPECT_EQ(ItemsOf(list), (Items{"IP=192.168.1.145", "Port=6000"}));
    ini.ReadSection("Missing", &list);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(IniFileTest, AWriteThatCannotBeDoneRaisesNamingTheFile)
{
    const String noFolder = PathStr(FDir / "no-such-folder" / "Configure.ini");
    TIniFile missing(noFolder);
    try {
        missing.WriteString("S", "k", "v");
        ADD_FAILURE() << "writing into a missing folder did not raise";
    } catch (const EIniFileException& e) {
        EXPECT_NE(e.Message.find(noFolder), String::npos) << e.Message;
    }
}

TEST_F(IniFileTest, AReadOnlyFileIsNotWritten)
{
    // The read-only check is the writer's own: it holds also for a user
    // whom the system lets write read-only files (the tests run as root).
    WriteBytes(SharedFile);
    fs::permissions(FPath, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    TIniFile ini(Name());
    try {
        ini.WriteString("Com1", "band", "1200");
        ADD_FAILURE() << "writing a read-only file did not raise";
    } catch (const EIniFileException& e) {
        EXPECT_NE(e.Message.find(Name()), String::npos) << e.Message;
        EXPECT_NE(e.Message.find("read-only"), String::npos) << e.Message;
    }
    EXPECT_EQ(ReadBytes(), SharedFile);
    EXPECT_EQ(ini.ReadString("Com1", "band", ""), "9600") << "a read-only file is still read";
}

TEST_F(IniFileTest, LineEndsOfEveryKindAreRead)
{
    const struct {
        const char* Name;
        std::string Bytes;
    } cases[] = {
        {"CR LF", "[A]\r\nx=1\r\ny = 2 \r\n[B]\r\nz=3\r\n"},
        {"LF", "[A]\nx=1\ny = 2 \n[B]\nz=3"},
        {"CR alone", "[A]\rx=1\ry = 2 \r[B]\rz=3\r"},
        {"mixed", "[A]\rx=1\r\ny = 2 \n[B]\r\rz=3"},
    };
    for (const auto& c : cases) {
        WriteBytes(c.Bytes);
        TIniFile ini(Name());
        EXPECT_EQ(ini.ReadString("A", "x", "-"), "1") << c.Name;
        EXPECT_EQ(ini.ReadString("A", "y", "-"), "2") << c.Name;
        EXPECT_EQ(ini.ReadString("B", "z", "-"), "3") << c.Name;
        EXPECT_EQ(ini.ReadString("A", "z", "-"), "-") << c.Name;
        ini.WriteString("B", "w", "4");
        const std::string written = ReadBytes();
        EXPECT_NE(written.find("[A]\r\nx=1\r\ny = 2 \r\n[B]\r\n"), std::string::npos) << c.Name << ": " << written;
        EXPECT_EQ(ini.ReadString("B", "w", "-"), "4") << c.Name;
    }
}

TEST_F(IniFileTest, ValuesInMatchingQuotesAreReadWithoutThem)
{
    WriteBytes("[Q]\r\nd=\"quoted value\"\r\ns='single'\r\nmixed=\"a'\r\nlone=\"\r\nempty=\"\"\r\n"
               "inner=a \"b\" c\r\npadded = \" kept blanks \" \r\nchinese=\"无校验\"\r\none='\r\n");
    TIniFile ini(Name());
    const struct {
        const char* Ident;
        String Expected;
    } cases[] = {
        {"d", "quoted value"}, {"s", "single"},          {"mixed", "\"a'"}, {"lone", "\""},
        {"empty", ""},         {"inner", "a \"b\" c"}, {"padded", " kept blanks "},
        {"chinese", "无校验"},  {"one", "'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString("Q", c.Ident, "default"), c.Expected) << c.Ident;
}

// UTF-16 and UTF-8 files with a byte-order mark, as Notepad saves them:
// read correctly, and written back in their own encoding with every line
// nobody changed as it was, also characters that code page 936 lacks.
TEST_F(IniFileTest, UnicodeFilesAreReadAndWrittenBackInTheirOwnEncoding)
{
    // U+1F600 (a surrogate pair) and U+00F1 have no 936 form.
    const std::u16string text = u"; 备注 \U0001F600 \u00F1\r\n[Com1]\r\nband = 9600\r\nCheck=偶校验\r\n[网络]\r\n地址=\"10.0.0.1\"\r\n";
    const std::u16string changed =
        u"; 备注 \U0001F600 \u00F1\r\n[Com1]\r\nband=115200\r\nCheck=偶校验\r\n[网络]\r\n地址=\"10.0.0.1\"\r\n名称=客厅\r\n";
    auto utf16 = [](const std::u16string& Units, bool Little) {
        std::string bytes = Little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t u : Units) {
            const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
            bytes += Little ? std::string{lo, hi} : std::string{hi, lo};
        }
        return bytes;
    };
    auto utf8 = [](const std::u16string& Units) {
        std::string bytes = "\xEF\xBB\xBF";
        for (std::size_t i = 0; i < Units.size(); ++i) {
            unsigned c = Units[i];
            if (c >= 0xD800 && c < 0xDC00)
                c = 0x10000 + ((c - 0xD800) << 10) + (Units[++i] - 0xDC00u);
            if (c < 0x80) {
                bytes += static_cast<char>(c);
            } else if (c < 0x800) {
                bytes += static_cast<char>(0xC0 | (c >> 6));
                bytes += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                bytes += static_cast<char>(0xE0 | (c >> 12));
                bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                bytes += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                bytes += static_cast<char>(0xF0 | (c >> 18));
                bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                bytes += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return bytes;
    };
    const struct {
        const char* Name;
        std::string Before;
        std::string After;
    } cases[] = {
        {"UTF-16 little-endian", utf16(text, true), utf16(changed, true)},
        {"UTF-16 big-endian", utf16(text, false), utf16(changed, false)},
        {"UTF-8 with a mark", utf8(text), utf8(changed)},
    };
    for (const auto& c : cases) {
        WriteBytes(c.Before);
        TIniFile ini(Name());
        EXPECT_EQ(ini.ReadString("com1", "BAND", "-"), "9600") << c.Name;
        EXPECT_EQ(ini.ReadString("Com1", "Check", "-"), "偶校验") << c.Name;
        EXPECT_EQ(ini.ReadString("网络", "地址", "-"), "10.0.0.1") << c.Name;
        TStringList list;
        ini.ReadSections(&list);
        EXPECT_EQ(ItemsOf(list), (Items{"Com1", "网络"})) << c.Name;
        ini.WriteString("Com1", "band", "115200");
        ini.WriteString("网络", "名称", "客厅");
        EXPECT_EQ(ReadBytes(), c.After) << c.Name;
        EXPECT_EQ(ini.ReadString("网络", "名称", "-"), "客厅") << c.Name;
    }
}

// A size beyond 32 bits must not wrap to a small one: such a file is
// refused with a clear error, for reading and writing, and left as it was.
TEST_F(IniFileTest, AFileTooLargeToHandleIsRefusedAndLeftUntouched)
{
    const Int64 size = (Int64(4) << 30) + 12;   // wraps to 12 in 32 bits
    {
        TFileStream file(Name(), fmCreate);
        const String head = "[S]\r\nk=v\r\n";
        file.WriteBuffer(head.data(), static_cast<Integer>(head.size()));
        file.SetSize(size);   // sparse on the file systems in use
    }
    TIniFile ini(Name());
    const std::function<void()> calls[] = {
        [&] { ini.ReadString("S", "k", ""); },
        [&] { ini.WriteString("S", "k", "new"); },
        [&] { ini.EraseSection("S"); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE() << "a file of " << size << " bytes was not refused";
        } catch (const EIniFileException& e) {
            EXPECT_NE(e.Message.find(Name()), String::npos) << e.Message;
            EXPECT_NE(e.Message.find("too large"), String::npos) << e.Message;
        }
        EXPECT_EQ(fs::file_size(FPath), static_cast<std::uintmax_t>(size)) << "the file is left as it was";
    }
    fs::remove(FPath);
}

TEST_F(IniFileTest, AWriteLeavesNoTemporaryFileBehind)
{
    WriteBytes(SharedFile);
    TIniFile ini(Name());
    ini.WriteString("Com1", "band", "4800");
    ini.DeleteKey("Com1", "band");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(FDir))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"Configure.ini"});
    EXPECT_EQ(ReadBytes(), Replaced(SharedFile, "band=9600\r\n", ""));
}

// Changes between BeginUpdate and the outermost EndUpdate stay out of the
// file, reads meanwhile see them, and the end writes them all onto the file
// as it is then (a change another writer made meanwhile is kept).
TEST_F(IniFileTest, AnUpdateWritesItsChangesTogetherAtItsEnd)
{
    WriteBytes(SharedFile);
    TIniFile ini(Name());
    ini.BeginUpdate();
    ini.WriteString("Com1", "band", "115200");
    ini.DeleteKey("Com1", "Check");
    ini.BeginUpdate();
    ini.WriteString("OnOFF", "Com5", "on");
    ini.EraseSection("SimForm");
    ini.EndUpdate();
    EXPECT_EQ(ReadBytes(), SharedFile) << "written before the end of the update";
    EXPECT_EQ(ini.ReadString("Com1", "band", ""), "115200");
    EXPECT_FALSE(ini.ValueExists("Com1", "Check"));
    EXPECT_TRUE(ini.SectionExists("OnOFF"));
    EXPECT_FALSE(ini.SectionExists("SimForm"));
    TIniFile other(Name());
    other.WriteString("Vantrel", "IP", "127.0.0.1");
    ini.EndUpdate();
    String expected = Replaced(SharedFile, "band=9600\r\nCheck=无校验\r\n", "band=115200\r\n");
    expected = Replaced(expected, "IP=192.168.1.145", "IP=127.0.0.1");
    expected = Replaced(expected, "[SimForm]\r\nCmd=数据转发\r\n", "[OnOFF]\r\nCom5=on\r\n");
    EXPECT_EQ(ReadBytes(), expected);
    ini.EndUpdate();   // an end without a beginning writes nothing more
    EXPECT_EQ(ReadBytes(), expected);
}

// A temporary file that a writer killed in mid-save left beside the file
// is removed; one that a writer still holds stays.
TEST_F(IniFileTest, AStaleTemporaryIsRemovedAndAHeldOneStays)
{
    const fs::path temp = FDir / "Configure.ini.~tmp";
    testfs::WriteBytes(temp, "[Com1]\r\nband=96");
    TIniFile(Name()).RemoveStaleTemporary();
    EXPECT_FALSE(fs::exists(temp));
    TIniFile(Name()).RemoveStaleTemporary();   // nothing there: nothing happens

    testfs::WriteBytes(temp, "[Com1]\r\nband=96");
#ifdef _WIN32
    // A writer holds its temporary without sharing it for deletion.
    HANDLE writer = CreateFileW(temp.wstring().c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    TIniFile(Name()).RemoveStaleTemporary();
    EXPECT_TRUE(fs::exists(temp));
    CloseHandle(writer);
#else
    // A writer holds the lock of its temporary.
    const int writer = ::open(temp.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    TIniFile(Name()).RemoveStaleTemporary();
    EXPECT_TRUE(fs::exists(temp));
    ::close(writer);
#endif
}

// A full disk: the temporary file is the system's full device, so every
// write to it fails; the old file stays whole and the write error is raised.
TEST_F(IniFileTest, AFullDiskLeavesTheOldFileWhole)
{
    WriteBytes(SharedFile);
    const fs::path temp = FDir / "Configure.ini.~tmp";
    ASSERT_TRUE(LinkToFullDevice(temp.string())) << "cannot make the full device's link";
    TIniFile ini(Name());
    try {
        ini.WriteString("Com1", "band", "1200");
        ADD_FAILURE() << "a write to a full disk did not raise";
    } catch (const EIniFileException& e) {
        EXPECT_NE(e.Message.find(Name()), String::npos) << e.Message;
        EXPECT_NE(e.Message.find(DiskFullText()), String::npos) << "the system's reason: " << e.Message;
    }
    // (A real temporary file is removed by the failed write; the system
    // does not delete a device through a link.)
    ASSERT_TRUE(RemoveLink(temp.string()));
    EXPECT_EQ(ReadBytes(), SharedFile);
    EXPECT_EQ(ini.ReadString("Com1", "band", ""), "9600");
    ini.WriteString("Com1", "band", "2400");   // with room again, the write is done
    EXPECT_EQ(ini.ReadString("Com1", "band", ""), "2400");
}

#ifdef _WIN32
// Share modes are a Windows matter: another program holding the file
// exclusively makes both the reading and the writing of a change fail.
TEST_F(IniFileTest, AFileHeldExclusivelyIsNotWritten)
{
    WriteBytes(SharedFile);
    TIniFile ini(Name());
    {
        TFileStream holder(Name(), fmOpenRead | fmShareExclusive);
        EXPECT_THROW(ini.WriteString("Com1", "band", "1200"), EIniFileException);
        EXPECT_EQ(ini.ReadString("Com1", "band", "unreadable"), "unreadable");
    }
    EXPECT_EQ(ReadBytes(), SharedFile);
    ini.WriteString("Com1", "band", "1200");
    EXPECT_EQ(ini.ReadString("Com1", "band", ""), "1200");
}

// Reads in another thread while the file is saved over and over: the file
// that has just taken the old one's place is still held by the writer for a
// moment, and a read then must see it, never the defaults of an unreadable file.
TEST_F(IniFileTest, ReadsDuringSavesNeverSeeTheDefaults)
{
    WriteBytes("[S]\r\nk=0\r\n");
    TIniFile writer(Name());
    std::atomic<bool> stop{false};
    std::atomic<int> reads{0};
    std::atomic<int> missed{0};
    std::thread reader([&] {
        TIniFile ini(Name());
        while (!stop) {
            if (ini.ReadString("S", "k", "default") == "default")
                ++missed;
            ++reads;
        }
    });
    constexpr int Saves = 150;
    int failedSaves = 0;
    for (int i = 1; i <= Saves; ++i) {
        try {
            writer.WriteString("S", "k", IntToStr(i));
        } catch (const EIniFileException&) {
            ++failedSaves;
        }
    }
    stop = true;
    reader.join();
    EXPECT_EQ(missed.load(), 0) << "of " << reads.load() << " reads during " << Saves << " saves";
    EXPECT_EQ(failedSaves, 0);
    EXPECT_GT(reads.load(), 0) << "the reader never ran";
    EXPECT_EQ(writer.ReadString("S", "k", ""), IntToStr(Saves));
}

// Two writers changing different keys of one file at the same time (two
// programs sharing a settings file) keep both changes: a change reads,
// edits and writes the file while the other waits.
TEST_F(IniFileTest, ConcurrentChangesOfDifferentKeysAreAllKept)
{
    WriteBytes(SharedFile);
    constexpr int Changes = 60;
    auto change = [&](const char* Key) {
        TIniFile ini(Name());
        for (int i = 1; i <= Changes; ++i)
            ini.WriteString("Both", Key, IntToStr(i));
    };
    std::thread first(change, "first");
    std::thread second(change, "second");
    first.join();
    second.join();
    TIniFile ini(Name());
    EXPECT_EQ(ini.ReadString("Both", "first", "lost"), IntToStr(Changes));
    EXPECT_EQ(ini.ReadString("Both", "second", "lost"), IntToStr(Changes));
    EXPECT_EQ(ini.ReadString("Com1", "band", "lost"), "9600") << "the other lines stay";
}
#endif

} // namespace

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <vector>

#include "framework/Exception.h"
#include "framework/IniFile.h"
#include "framework/Stream.h"
#include "framework/StringList.h"

#ifdef _WIN32
#include "framework/Codepage.h"
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
    WriteBytes(SharedFile);
    fs::permissions(FPath, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (std::ofstream(FPath, std::ios::app))
        GTEST_SKIP() << "this user may write read-only files";
    TIniFile ini(Name());
    try {
        ini.WriteString("Com1", "band", "1200");
        ADD_FAILURE() << "writing a read-only file did not raise";
    } catch (const EIniFileException& e) {
        EXPECT_NE(e.Message.find(Name()), String::npos) << e.Message;
    }
    EXPECT_EQ(ReadBytes(), SharedFile);
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
#endif

} // namespace

// TIniFile's reads against the system's own profile functions
// (GetPrivateProfileStringW) over a small corpus of files as users' editors
// save them: UTF-16 and UTF-8 with a byte-order mark, CR alone, quoted
// values, Chinese names and values. Where both should agree, they do.
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

#include <windows.h>

#include <vector>

#include "framework/Codepage.h"
#include "framework/IniFile.h"

namespace {

using testfs::PathStr;

std::string Utf16Le(const std::u16string& Text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t u : Text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

std::string Utf16Be(const std::u16string& Text)
{
    std::string bytes = "\xFE\xFF";
    for (char16_t u : Text) {
        bytes += static_cast<char>(u >> 8);
        bytes += static_cast<char>(u & 0xFF);
    }
    return bytes;
}

// UTF-8 with its byte-order mark, from text without surrogates.
std::string Utf8Bom(const std::u16string& Text)
{
    std::string bytes = "\xEF\xBB\xBF";
    for (char16_t u : Text) {
        const unsigned c = u;
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

std::string Ascii(const std::u16string& Text) { return std::string(Text.begin(), Text.end()); }

// What the system's profile function reads, as 936 text; Default when absent.
String SystemRead(const String& File, const String& Section, const String& Ident, const String& Default)
{
    wchar_t buffer[1024] = {};
    GetPrivateProfileStringW(StrToWide(Section).c_str(), StrToWide(Ident).c_str(), StrToWide(Default).c_str(),
                             buffer, 1024, StrToWide(File).c_str());
    return WideToStr(buffer);
}

TEST(IniFileProfile, ReadsAgreeWithTheSystemsProfileFunctions)
{
    // One content, with the line ends given, in several encodings.
    const std::u16string chinese =
        u"; 设置\r\n[Com1]\r\nband = 9600\r\nCheck=偶校验\r\n\r\n[网络]\r\n地址 = \"192.168.1.5\"\r\n"
        u"名称='客厅 盒子'\r\n空=\r\n[SimForm]\r\nCmd=数据转发\r\nmixed=\"a'\r\ninner=a \"b\" c\r\n";
    const std::u16string crOnly =
        u"[A]\rx=1\ry = two words \r\r[B]\rq=\"quoted\"\rs='single'\rlone=\"\rempty=\"\"\rpad = \" blanks \" \r";
    const struct {
        const char* Name;
        std::string Bytes;
        bool Chinese;   // the Chinese corpus, else the CR-only one
    } files[] = {
        {"utf16le.ini", Utf16Le(chinese), true},
        {"utf16be.ini", Utf16Be(chinese), true},
        {"utf8.ini", Utf8Bom(chinese), true},
        {"cr.ini", Ascii(crOnly), false},
        {"cr-utf16.ini", Utf16Le(crOnly), false},
    };
    const struct {
        const char* Section;
        const char* Ident;
    } chineseKeys[] = {
        {"Com1", "band"},     {"COM1", "BAND"},     {"Com1", "Check"}, {"网络", "地址"},     {"网络", "名称"},
        {"网络", "空"},       {"SimForm", "Cmd"},   {"SimForm", "mixed"}, {"SimForm", "inner"}, {"Com1", "missing"},
        {"missing", "band"},  {"网络", "band"},
    },
      crKeys[] = {
          {"A", "x"}, {"a", "Y"}, {"B", "q"}, {"B", "s"}, {"B", "lone"}, {"B", "empty"}, {"B", "pad"}, {"A", "q"},
      };

    testfs::TempDir temp("iniprofile");
    int compared = 0;
    for (const auto& f : files) {
        const String file = PathStr(temp / f.Name);
        testfs::WriteBytes(temp / f.Name, f.Bytes);
        TIniFile ini(file);
        std::vector<std::pair<String, String>> keys;
        if (f.Chinese) {
            for (const auto& k : chineseKeys)
                keys.emplace_back(k.Section, k.Ident);
        } else {
            for (const auto& k : crKeys)
                keys.emplace_back(k.Section, k.Ident);
        }
        for (const auto& [section, ident] : keys) {
            const String ours = ini.ReadString(section, ident, "<default>");
            const String system = SystemRead(file, section, ident, "<default>");
            EXPECT_EQ(StrToUtf8(ours), StrToUtf8(system))
                << f.Name << " [" << StrToUtf8(section) << "] " << StrToUtf8(ident);
            ++compared;
        }
    }
    // The corpus reads what it should, not only the same as the system.
    TIniFile utf16(PathStr(temp / "utf16le.ini"));
    EXPECT_EQ(utf16.ReadString("网络", "名称", ""), "客厅 盒子");
    TIniFile cr(PathStr(temp / "cr.ini"));
    EXPECT_EQ(cr.ReadString("B", "q", ""), "quoted");
    EXPECT_EQ(compared, 5 * 0 + 3 * 12 + 2 * 8);
}

} // namespace

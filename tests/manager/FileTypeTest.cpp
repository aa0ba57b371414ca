// The project file type in the registry of the test's Wine prefix: the keys
// written at start, read back; nothing written when they already point at
// the program; written again after a move or a letter-case change; and a
// registry that refuses the writes does not disturb the start.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "manager/UAccessIco.h"
#include "tests/support/GuiHarness.h"

namespace {

std::wstring ReadDefault(HKEY Root, const std::wstring& Key)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(Root, Key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"(missing)";
    wchar_t text[1024] = {};
    DWORD bytes = sizeof text - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::wstring(text) : L"(no value)";
}

void WriteDefault(const std::wstring& Key, const std::wstring& Value)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, Key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                   static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::wstring ExePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring Command(const std::wstring& Exe) { return L"\"" + Exe + L"\" \"%1\""; }

class FileTypeTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".pir");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Ir Project");
        RegDeleteKeyW(HKEY_CLASSES_ROOT, L".pir");
        RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Ir Project");
    }
    void ExpectRegistered(const char* Case)
    {
        const std::wstring exe = ExePath();
        const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
        EXPECT_EQ(gui::Utf8(WideToStr(ReadDefault(HKEY_CLASSES_ROOT, L".pir"))), "Ir Project") << Case;
        EXPECT_EQ(gui::Utf8(WideToStr(ReadDefault(HKEY_CLASSES_ROOT, L"Ir Project"))), "Ir Project") << Case;
        EXPECT_EQ(gui::Utf8(WideToStr(ReadDefault(HKEY_CLASSES_ROOT, L"Ir Project\\DefaultIcon"))),
                  gui::Utf8(WideToStr(folder + L"Vantrel.ico")))
            << Case;
        EXPECT_EQ(gui::Utf8(WideToStr(ReadDefault(HKEY_CLASSES_ROOT, L"Ir Project\\Shell"))), "Open") << Case;
        EXPECT_EQ(gui::Utf8(WideToStr(ReadDefault(HKEY_CLASSES_ROOT, L"Ir Project\\Shell\\Open\\Command"))),
                  gui::Utf8(WideToStr(Command(exe))))
            << Case;
    }
};

TEST_F(FileTypeTest, TheKeysAreWrittenOnceAndAgainWhenTheyPointElsewhere)
{
    const String exe = WideToStr(ExePath());
    EXPECT_FALSE(vantrel::IsFileTypeRegistered(".pir", exe, "Ir Project"));
    vantrel::EnsureFileAssociation();
    ExpectRegistered("first start");
    EXPECT_TRUE(vantrel::IsFileTypeRegistered(".pir", exe, "Ir Project"));

    // A second start from the same place writes nothing: a value changed
    // meanwhile stays as it is.
    WriteDefault(L"Ir Project", L"changed");
    vantrel::EnsureFileAssociation();
    EXPECT_EQ(gui::Utf8(WideToStr(ReadDefault(HKEY_CLASSES_ROOT, L"Ir Project"))), "changed");

    std::wstring lower = ExePath();
    for (auto& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    const struct {
        const char* Case;
        std::wstring Command;
    } cases[] = {
        {"moved program", Command(L"C:\\Old Place\\Vantrel.exe")},
        {"other letter case", Command(lower)},
        {"no quotes", ExePath() + L" %1"},
    };
    for (const auto& c : cases) {
        WriteDefault(L"Ir Project\\Shell\\Open\\Command", c.Command);
        EXPECT_FALSE(vantrel::IsFileTypeRegistered(".pir", exe, "Ir Project")) << c.Case;
        vantrel::EnsureFileAssociation();
        ExpectRegistered(c.Case);
    }

    // Without the extension's key the type counts as not registered.
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".pir");
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L".pir");
    EXPECT_FALSE(vantrel::IsFileTypeRegistered(".pir", exe, "Ir Project"));
    vantrel::EnsureFileAssociation();
    ExpectRegistered("extension key restored");
}

TEST_F(FileTypeTest, ARegistryThatTakesNoWritesFailsQuietly)
{
    // The classes root is pointed at a volatile key, under which no lasting
    // key can be made: every write of the registration is refused.
    HKEY refusing = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VantrelTestsVolatile", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &refusing, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, refusing), ERROR_SUCCESS);

    gui::MessageBoxAnswers boxes;
    const String exe = WideToStr(ExePath());
    const bool registered = vantrel::RegisterFileType(".pir", exe, "Ir Project", "Ir Project", "icon");
    vantrel::EnsureFileAssociation();
    const std::wstring extension = ReadDefault(HKEY_CLASSES_ROOT, L".pir");

    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(refusing);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VantrelTestsVolatile");

    EXPECT_FALSE(registered);
    EXPECT_EQ(gui::Utf8(WideToStr(extension)), "(missing)");
    EXPECT_TRUE(boxes.Boxes.empty()) << "no message";
}

} // namespace

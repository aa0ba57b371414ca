#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "visuals/ProXPVS.h"

namespace {

// The names of the slots that are empty.
std::string EmptySlots(const TProThemeSlots& Slots)
{
    std::string Names;
#define PRO_THEME_CHECK(Name)                                                                      \
    if (!Slots.Name)                                                                               \
        Names += std::string(Names.empty() ? "" : ", ") + #Name;
    PRO_THEME_FUNCTIONS(PRO_THEME_CHECK)
#undef PRO_THEME_CHECK
    return Names;
}

int SlotCount()
{
    int n = 0;
#define PRO_THEME_COUNT(Name) ++n;
    PRO_THEME_FUNCTIONS(PRO_THEME_COUNT)
#undef PRO_THEME_COUNT
    return n;
}

std::wstring BesideTheTests(const wchar_t* Name)
{
    wchar_t Exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, Exe, MAX_PATH);
    return (std::filesystem::path(Exe).parent_path() / Name).wstring();
}

// Puts the system's visual-styles library back after a test loaded another.
class ThemeLibraryTest : public testing::Test {
protected:
    void TearDown() override
    {
        UnloadThemeLibrary();
        LoadThemeLibrary();
        EXPECT_TRUE(ThemeLibraryLoaded()) << "the system library is back";
    }
};

TEST(ProXPVS, BindsEverySlotOfTheSystemLibrary)
{
    ASSERT_EQ(SlotCount(), 45);
    // Loaded when the program started.
    ASSERT_TRUE(ThemeLibraryLoaded());
    EXPECT_EQ(ThemeMissingFunctionCount(), 0);
    EXPECT_EQ(EmptySlots(ThemeApi()), "");
    // The slots reach the library's own functions.
    HMODULE UxTheme = GetModuleHandleW(L"uxtheme.dll");
    ASSERT_NE(UxTheme, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(ThemeApi().OpenThemeData),
              reinterpret_cast<void*>(GetProcAddress(UxTheme, "OpenThemeData")));
    EXPECT_EQ(reinterpret_cast<void*>(ThemeApi().EnableTheming),
              reinterpret_cast<void*>(GetProcAddress(UxTheme, "EnableTheming")));
    // A call through a slot works; themes may or may not be active.
    const bool Available = ThemesAvailable();
    EXPECT_EQ(Available, ThemeApi().IsThemeActive() && ThemeApi().IsAppThemed());
    // A second load changes nothing.
    const auto Open = ThemeApi().OpenThemeData;
    LoadThemeLibrary();
    EXPECT_EQ(ThemeApi().OpenThemeData, Open);
}

TEST(ProXPVS, VistaProbe)
{
    // Wine reports a system of Windows 7 or later, which exports it.
    EXPECT_TRUE(HasVistaApi());
}

TEST_F(ThemeLibraryTest, UnloadEmptiesEverySlot)
{
    UnloadThemeLibrary();
    EXPECT_FALSE(ThemeLibraryLoaded());
    EXPECT_FALSE(ThemesAvailable()) << "answered without calling an empty slot";
    EXPECT_EQ(EmptySlots(ThemeApi()), EmptySlots(TProThemeSlots{}));
    UnloadThemeLibrary(); // a second unload does nothing
    EXPECT_FALSE(ThemeLibraryLoaded());
}

TEST_F(ThemeLibraryTest, LibraryLackingFunctionsLeavesThemingUnavailable)
{
    const std::wstring Path = BesideTheTests(L"PartialTheme.dll");
    // Hold the test library ourselves, to read its call counter afterwards.
    HMODULE Partial = LoadLibraryW(Path.c_str());
    ASSERT_NE(Partial, nullptr) << "PartialTheme.dll beside the test executable";
    using TCallCount = LONG(WINAPI*)();
    const auto CallCount =
        reinterpret_cast<TCallCount>(reinterpret_cast<void*>(GetProcAddress(Partial, "PartialThemeCallCount")));
    ASSERT_NE(CallCount, nullptr);
    ASSERT_NE(GetProcAddress(Partial, "OpenThemeData"), nullptr) << "it has some theme functions";

    UnloadThemeLibrary();
    LoadThemeLibraryFrom(Path.c_str());
    // The program goes on: theming is unavailable and no slot is usable.
    EXPECT_FALSE(ThemeLibraryLoaded());
    EXPECT_EQ(ThemeMissingFunctionCount(), 45 - 4) << "the library was opened and searched";
    EXPECT_EQ(EmptySlots(ThemeApi()), EmptySlots(TProThemeSlots{}));
    EXPECT_EQ(ThemeApi().OpenThemeData, nullptr);
    EXPECT_EQ(ThemeApi().IsThemeActive, nullptr);
    EXPECT_FALSE(ThemesAvailable());
    EXPECT_EQ(CallCount(), 0) << "nothing of the partial library was called";

    // A library that cannot be opened: nothing bound, nothing missing.
    LoadThemeLibraryFrom(BesideTheTests(L"NoSuchThemeLibrary.dll").c_str());
    EXPECT_FALSE(ThemeLibraryLoaded());
    EXPECT_EQ(ThemeMissingFunctionCount(), 0);
    EXPECT_EQ(EmptySlots(ThemeApi()), EmptySlots(TProThemeSlots{}));
    FreeLibrary(Partial);
}

} // namespace

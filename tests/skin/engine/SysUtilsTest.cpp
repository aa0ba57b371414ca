// The skin library's routines that ask the system.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "framework/Application.h"
#include "skin/engine/qSysUtils.h"

TEST(SkinSysUtils, CaptionFontAndFolder)
{
    // Under Wine the caption font is 13 high (the call fills the whole W structure).
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    EXPECT_NE(0, CaptionFontHeight());
    EXPECT_EQ(metrics.lfCaptionFont.lfHeight, CaptionFontHeight());

    const String folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ('\\', folder.back());

    const TMessage m = MakeMessage(WM_USER, 2, 3, 4);
    EXPECT_EQ(static_cast<UINT>(WM_USER), m.Msg);
    EXPECT_EQ(2u, m.WParam);
    EXPECT_EQ(3, m.LParam);
    EXPECT_EQ(4, m.Result);
}

TEST(SkinSysUtils, ShellIcon)
{
    EXPECT_EQ(nullptr, GetShellIcon(ProgramFolder() + "no such file.exe", SHGFI_SMALLICON));
    const TOwnedIcon icon = GetShellIcon(Application->ExeName(), SHGFI_LARGEICON);
    ASSERT_NE(nullptr, icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

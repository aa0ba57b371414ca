// The skin command message and its answer channels.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/engine/qConst.h"

TEST(SkinCommand, StartValuesAndWParam)
{
    EXPECT_EQ(clFuchsia, ExchangeColor);
    EXPECT_FALSE(ExchangeCache.Ready);
    EXPECT_EQ(nullptr, ExchangeCache.Bmp);
    EXPECT_EQ(GetSystemMetrics(SM_CXHSCROLL), ScrollArrowSize);
    EXPECT_EQ(0x10001u, SkinCommandWParam(scmSkinLoaded, 1));
    EXPECT_EQ(static_cast<WPARAM>(MAKELONG(0, scmGetApplication)), SkinCommandWParam(scmGetApplication));
    EXPECT_EQ(scmEndScroll, SkinSubCommand(SkinCommandWParam(scmEndScroll, 1)));

    TBitmap* bmp = reinterpret_cast<TBitmap*>(0x1000);
    const TCacheInfo info = MakeCacheInfo(bmp, 3, -4);
    EXPECT_EQ(bmp, info.Bmp);
    EXPECT_EQ(3, info.X);
    EXPECT_EQ(-4, info.Y);
    EXPECT_TRUE(info.Ready);
}

TEST(SkinCommand, UnhandledLeavesTheExchangeAsSet)
{
    // A window that knows nothing of skins: every question goes unanswered.
    HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, wnd);
    for (int sub : {scmGetBgColor, scmGetCache, scmIsSkinned, scmIsBgTextured, scmGetApplication}) {
        SCOPED_TRACE(sub);
        ExchangeColor = clFuchsia;
        ExchangeCache = TCacheInfo{};
        EXPECT_EQ(0, SendMessageW(wnd, SM_ZORVIKCMD, SkinCommandWParam(sub), 0));
        EXPECT_EQ(clFuchsia, ExchangeColor);
        EXPECT_FALSE(ExchangeCache.Ready);
    }
    DestroyWindow(wnd);
}

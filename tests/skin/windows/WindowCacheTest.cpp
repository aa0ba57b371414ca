// The cache routines every subclass shares: the cache rebuilt from the
// window's section (or a plain frame) and the outer corners of a border
// repainted with what lies behind the window, its parent's colour or its
// parent's textured cache.
#include <gtest/gtest.h>

#include "../../support/GuiHarness.h"
#include "SubclassSupport.h"
#include "framework/Form.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qPixelOps.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/zqMainWnd.h"

using namespace subclasstest;

namespace {

TColor Pixel(TBitmap* B, int X, int Y)
{
    const Byte* p = B->ScanLine(Y) + X * B->BytesPerPixel();
    return RGBToColor(p[2], p[1], p[0]);
}

// A parent that answers the background questions as a skinned window does:
// textured with a cache of its own, or a plain colour.
bool ParentTextured = false;
TBitmap* ParentCache = nullptr;
constexpr TColor ParentColor = 0x0000C000;

LRESULT CALLBACK ParentProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == SM_ZORVIKCMD) {
        switch (SkinSubCommand(WParam)) {
        case scmIsBgTextured:
            return ParentTextured ? 1 : 0;
        case scmGetBgColor:
            if (!ParentTextured)
                ExchangeColor = ParentColor;
            return 0;
        case scmGetCache:
            if (ParentTextured)
                ExchangeCache = MakeCacheInfo(ParentCache, 0, 0);
            return 0;
        default:
            return 0;
        }
    }
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

HWND NewParent()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CornerParent";
    RegisterClassW(&wc);
    return CreateWindowExW(0, L"CornerParent", L"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr, nullptr,
                           nullptr, nullptr);
}

// A section of a shipped skin whose border has transparent pixels in its
// top-left corner block: skin and section names, or empty.
std::pair<String, String> SkinWithRoundCorners()
{
    for (const String& skin : ShippedSkins()) {
        auto m = ShippedManager(skin);
        for (const char* section : {"BUTTON", "EDIT", "PANEL", "COMBOBOX", "GROUPBOX", "TOOLBUTTON"}) {
            const int s = m->FindSectionIndex(section);
            const int mask = m->FindMaskIndex(s, section, "BORDERSMASK");
            if (!m->IsValidMaskIndex(mask))
                continue;
            const TqMaskData& e = m->Skin().Masks[mask];
            TBitmap* pic = MaskSourceBitmap(e);
            for (int y = 0; y < e.WT; ++y)
                for (int x = 0; x < e.WL; ++x)
                    if (pic && Pixel(pic, e.R.left + x, e.R.top + y) == clSkinTransparent)
                        return {skin, section};
        }
    }
    return {};
}

}   // namespace

TEST(WindowCache, RebuiltFromTheSectionOrAPlainFrame)
{
    auto manager = ShippedManager(ShippedSkins().front());
    std::unique_ptr<TForm> form(new TForm(Application));
    form->SetBounds(40, 40, 300, 200);
    form->Show();
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 60, 40, form->Handle(), nullptr,
                                 nullptr, nullptr);
    HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 60, 40, nullptr, nullptr, nullptr,
                               nullptr);
    struct Case {
        const char* Name;
        HWND Wnd;
        bool Stale;
        bool PlainFrame;
        bool Rebuilt;
    };
    const Case cases[] = {
        {"fresh cache left alone", child, false, false, false},
        {"section over the parent", child, true, false, true},
        {"no parent: retried later", top, true, false, false},
        {"plain frame", child, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TqCommonData data(nullptr, true);
        data.SetSkinManager(manager.get());
        data.SetSkinSection("EDIT");
        data.BGChanged = c.Stale;
        RebuildWindowCache(&data, c.Wnd, c.PlainFrame);
        // A stale cache takes the window's size even when it cannot be painted yet.
        EXPECT_EQ(c.Stale ? 60 : 0, data.CacheBmp->Width());
        EXPECT_EQ(c.Stale ? 40 : 0, data.CacheBmp->Height());
        EXPECT_EQ(c.Stale && !c.Rebuilt, data.BGChanged);
        if (c.PlainFrame) {
            EXPECT_EQ(static_cast<TColor>(ColorToRGB(manager->SkinData().BorderColor)), Pixel(data.CacheBmp.get(), 0, 0));
            EXPECT_EQ(static_cast<TColor>(ColorToRGB(manager->SkinData().BorderColor)),
                      Pixel(data.CacheBmp.get(), 59, 39));
            EXPECT_EQ(static_cast<TColor>(ColorToRGB(clWindow)), Pixel(data.CacheBmp.get(), 30, 20));
        }
    }
    RebuildWindowCache(nullptr, child, false);   // nothing to do, nothing happens
    DestroyWindow(top);
}

TEST(WindowCache, CornersShowWhatLiesBehind)
{
    const auto [skin, section] = SkinWithRoundCorners();
    ASSERT_FALSE(skin.empty()) << "no shipped skin has a border with transparent corners";
    auto manager = ShippedManager(skin);
    HWND parent = NewParent();
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 20, 30, 64, 48, parent, nullptr, nullptr,
                                 nullptr);
    auto behind = NewBitmap24(200, 150);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            TintRect(behind.get(), Rect(x, y, x, y), 0, RGBToColor(x, y, 77));
    ParentCache = behind.get();
    for (const bool textured : {false, true}) {
        SCOPED_TRACE(textured ? "textured parent" : "plain parent");
        ParentTextured = textured;
        TzqMainWndPtr<> w(TzqMainWnd::Create<TzqMainWnd>(child, false, section, manager.get(), nullptr));
        ReadWindowGeometry(child, w.get());
        EXPECT_EQ(20, w->OffsetInParent.x);
        EXPECT_EQ(30, w->OffsetInParent.y);
        EXPECT_EQ(64, w->WindowSize.x);
        EXPECT_EQ(48, w->WindowSize.y);
        EXPECT_EQ(parent, w->ParentHandle);
        TBitmap* cache = w->SkinData->CacheBmp.get();
        cache->SetSize(64, 48);
        TintRect(cache, Rect(0, 0, 63, 47), 0, clBlack);
        PaintWindowCorners(w->SkinData, 0, w.get());
        const TqMaskData& e = manager->Skin().Masks[w->SkinData->BorderIndex];
        TBitmap* pic = MaskSourceBitmap(e);
        int behindCount = 0;
        const auto check = [&](int SX, int SY, int DX, int DY, int W, int H) {
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    const bool hole = Pixel(pic, SX + x, SY + y) == clSkinTransparent;
                    const TColor expected = !hole ? clBlack
                                            : textured ? RGBToColor(20 + DX + x, 30 + DY + y, 77)
                                                       : ParentColor;
                    EXPECT_EQ(expected, Pixel(cache, DX + x, DY + y)) << DX + x << "," << DY + y;
                    behindCount += hole;
                }
        };
        const int frameW = (e.R.right - e.R.left) / std::max<int>(e.ImageCount, 1);
        const int frameH = (e.R.bottom - e.R.top) / (std::max<int>(e.MaskType, 0) + 1);
        check(e.R.left, e.R.top, 0, 0, e.WL, e.WT);
        check(e.R.left + frameW - e.WR, e.R.top + frameH - e.WB, 64 - e.WR, 48 - e.WB, e.WR, e.WB);
        EXPECT_GT(behindCount, 0);
        EXPECT_EQ(clSkinTransparent, ExchangeColor);
    }
    ParentCache = nullptr;
    DestroyWindow(parent);
}

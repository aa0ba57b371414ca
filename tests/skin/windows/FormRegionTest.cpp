// The window region of a skinned form: the holes at the corners of the
// skin's border masks, read back with GetWindowRgn/EqualRgn and found by
// WindowFromPoint and a click; rebuilt for a maximised and a restored form;
// none for a form without a frame and none once the skin is removed.
#include <gtest/gtest.h>

#include "ProviderSupport.h"

using namespace providertest;

namespace {

// The window's region in window coordinates, nullptr when it has none.
HRGN WindowRegion(HWND Wnd)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(Wnd, region) == ERROR) {
        DeleteObject(region);
        return nullptr;
    }
    return region;
}

// The region the skin's corners give a window of W x H: W x H less Holes.
HRGN Expected(int W, int H, const TAOR& Holes)
{
    HRGN region = CreateRectRgn(0, 0, W, H);
    for (const TRect& h : Holes) {
        HRGN cut = CreateRectRgn(h.left, h.top, h.right, h.bottom);
        CombineRgn(region, region, cut, RGN_DIFF);
        DeleteObject(cut);
    }
    return region;
}

// A form that lies under the skinned one and records clicks.
struct TBehind {
    TBehind() : Form(std::make_unique<TForm>(Application))
    {
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(60, 60, 500, 400);
        Form->OnClick = [this](TObject*) { ++Clicks; };
        Form->Show();
    }
    std::unique_ptr<TForm> Form;
    int Clicks = 0;
};

}   // namespace

TEST(FormRegion, CornerHolesMatchTheSkinAndPassClicksToTheWindowBelow)
{
    struct TCase {
        const char* Skin;
        bool RoundTop;      // the skin cuts its top corners
        bool RoundBottom;   // and its bottom corners
    };
    // Clearwater's bottom corners are too small to leave a pixel wholly
    // transparent.
    const TCase cases[] = {{"Basalt", false, false}, {"Clearwater", true, false}, {"Terracotta", true, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Skin);
        auto manager = ShippedManager(c.Skin);
        TBehind behind;
        TSkinnedForm f(bsSizeable);
        const TAOR& holes = f.Provider->RegionRects();
        EXPECT_EQ(c.RoundTop || c.RoundBottom, !holes.empty());
        HRGN region = WindowRegion(f.Wnd());
        ASSERT_NE(nullptr, region) << "a framed form gets a region";
        HRGN expected = Expected(f.Form->Width(), f.Form->Height(), holes);
        EXPECT_TRUE(EqualRgn(region, expected));
        DeleteObject(expected);
        RECT w{};
        GetWindowRect(f.Wnd(), &w);
        const POINT inside{w.left + 30, w.top + 30};
        EXPECT_EQ(f.Wnd(), WindowFromPoint(inside));
        bool top = false;
        bool bottom = false;
        for (const TRect& h : holes) {
            top = top || h.top < f.Form->Height() / 2;
            bottom = bottom || h.top >= f.Form->Height() / 2;
        }
        EXPECT_EQ(c.RoundTop, top);
        EXPECT_EQ(c.RoundBottom, bottom) << [&] {
            std::string text;
            for (const TRect& h : holes)
                text += std::to_string(h.left) + "," + std::to_string(h.top) + "-" + std::to_string(h.right) + " ";
            return text;
        }();
        if (c.RoundTop) {
            // The very corner pixel is a hole: the point and a click there
            // belong to the form below.
            EXPECT_FALSE(PtInRegion(region, 0, 0));
            const POINT corner{w.left, w.top};
            EXPECT_EQ(behind.Form->Handle(), WindowFromPoint(corner));
            ClickAt(f.Wnd(), POINT{0, 0});
            EXPECT_EQ(1, behind.Clicks);
        }
        DeleteObject(region);
    }
}

TEST(FormRegion, MaximisedAndRestoredFormsGetTheRegionOfTheirSize)
{
    auto manager = ShippedManager("Clearwater");
    TSkinnedForm f(bsSizeable);
    for (TWindowState state : {wsMaximized, wsNormal, wsMaximized, wsNormal}) {
        SCOPED_TRACE(state);
        f.Form->SetWindowState(state);
        gui::PumpFor(80);
        RECT w{};
        GetWindowRect(f.Wnd(), &w);
        HRGN region = WindowRegion(f.Wnd());
        ASSERT_NE(nullptr, region);
        RECT box{};
        GetRgnBox(region, &box);
        EXPECT_EQ(w.right - w.left, box.right - box.left);
        EXPECT_EQ(w.bottom - w.top, box.bottom - box.top);
        HRGN expected = Expected(w.right - w.left, w.bottom - w.top, f.Provider->RegionRects());
        EXPECT_TRUE(EqualRgn(region, expected));
        DeleteObject(expected);
        DeleteObject(region);
        EXPECT_EQ(w.right - w.left, f.Provider->SkinData()->CacheBmp->Width()) << "the frame is painted for the size";
    }
}

TEST(FormRegion, NoRegionWithoutAFrameOrAfterTheSkinIsRemoved)
{
    auto manager = ShippedManager("Terracotta");
    {
        TSkinnedForm bare(bsNone);
        EXPECT_EQ(nullptr, WindowRegion(bare.Wnd()));
    }
    TSkinnedForm f(bsSizeable);
    HRGN region = WindowRegion(f.Wnd());
    ASSERT_NE(nullptr, region);
    DeleteObject(region);
    manager->SetActive(false);
    gui::PumpFor(40);
    EXPECT_EQ(nullptr, WindowRegion(f.Wnd()));
}

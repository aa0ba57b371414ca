// The frame a form provider paints: the frame cache of forms of every border
// style, active and inactive, under three shipped skins against stored
// goldens (the caption's text area left out of the golden and checked by
// its colours), the screen showing the cache's non-client part, a caption
// change repainting the skinned frame, and GDI objects staying flat over
// many repaints.
//
// Goldens are written again only on purpose: SKIN_GOLDENS=update in the
// environment. A picture that differs is written to build/screenshots with
// the suffix -actual.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ProviderSupport.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinPaint.h"
#include "tests/graphics/PaintProbe.h"

using namespace providertest;

namespace {

const char* const Skins[] = {"Basalt", "Clearwater", "Terracotta"};

struct TStyleCase {
    TFormBorderStyle Style;
    const char* Name;
};
const TStyleCase Styles[] = {
    {bsSizeable, "sizeable"}, {bsSingle, "single"}, {bsDialog, "dialog"}, {bsToolWindow, "toolwindow"}, {bsNone, "none"}};

// The caption's text rectangle in the frame cache.
TRect TextRect(TqSkinProvider* P)
{
    return TRect{P->TitleIconWidth() + P->FW() + 4, P->FH(), P->Form()->Width() - P->ButtonsWidth() - 6, P->CH()};
}

// The cache with the caption's text rectangle filled black.
std::unique_ptr<TBitmap> WithoutText(TqSkinProvider* P)
{
    TBitmap* cache = P->SkinData()->CacheBmp.get();
    auto copy = std::make_unique<TBitmap>(cache->Width(), cache->Height(), TPixelFormat::pf24bit);
    BitBlt(copy->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    const TRect r = TextRect(P);
    if (r.right > r.left && r.bottom > r.top) {
        const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        FillRect(copy->Canvas()->Handle(), &r, black);
    }
    return copy;
}

// Makes F active, or Other (shown for it) active instead.
void Activate(TSkinnedForm& F, TForm& Other, bool Active)
{
    if (Active) {
        SetActiveWindow(F.Wnd());
    } else {
        Other.Show();
        SetActiveWindow(Other.Handle());
    }
    gui::PumpFor(60);
    ASSERT_EQ(Active, F.Provider->FormActive());
}

}   // namespace

TEST(FramePaint, FramesOfEveryStyleActiveAndInactiveMatchTheGoldens)
{
    for (const char* skin : Skins) {
        auto manager = ShippedManager(skin);
        for (const TStyleCase& c : Styles) {
            SCOPED_TRACE(std::string(skin) + " " + c.Name);
            TSkinnedForm f(c.Style);
            // Another form takes the activation for the inactive picture.
            TForm other(Application);
            other.SetBounds(700, 600, 200, 120);
            for (bool active : {true, false}) {
                ASSERT_NO_FATAL_FAILURE(Activate(f, other, active));
                TqSkinProvider* p = f.Provider;
                ASSERT_FALSE(p->SkinData()->BGChanged) << "the frame is painted";
                const std::string file =
                    std::string(skin) + "-" + c.Name + (active ? "-active" : "-inactive") + ".png";
                auto picture = WithoutText(p);
                ExpectGolden(*picture, file);
                EXPECT_EQ(0, ScreenDiffersFromCache(p));
                gui::SaveScreenshot(f.Wnd(), WinPath(ScreenshotFolder() + "/provider-" + file));
                const TRect text = TextRect(p);
                if (p->CH() == 0)
                    continue;   // no title bar, no caption
                // The caption is drawn in the title section's font colour of
                // the activity.
                const TqGeneralData& title =
                    manager->Skin().Sections[static_cast<std::size_t>(manager->FindSectionIndex("FORMTITLE"))];
                const TColor font = active ? title.HotFontColor : title.FontColor;
                EXPECT_GT(CountColor(p->SkinData()->CacheBmp.get(), text, ColorToRGB(font)), 20)
                    << "caption pixels in " << std::hex << font;
            }
        }
    }
}

TEST(FramePaint, ACaptionChangeRepaintsTheSkinnedFrame)
{
    // Wine repaints its own frame for a new text without WM_NCPAINT: the
    // provider paints its frame over it again.
    auto manager = ShippedManager("Clearwater");
    TSkinnedForm f(bsSizeable);
    const auto captionPixels = [&] {
        const TRect r = TextRect(f.Provider);
        std::string pixels;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                pixels += std::to_string(Pixel(f.Provider->SkinData()->CacheBmp.get(), x, y)) + ",";
        return pixels;
    };
    const std::string before = captionPixels();
    f.Form->SetCaption("A much longer caption for the skinned frame");
    gui::PumpFor(60);
    EXPECT_FALSE(f.Provider->SkinData()->BGChanged);
    EXPECT_TRUE(before != captionPixels()) << "the new caption is in the frame";
    EXPECT_EQ(0, ScreenDiffersFromCache(f.Provider));
    EXPECT_EQ(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_SYSMENU) << "no platform caption buttons";
}

TEST(FramePaint, GdiObjectsStayFlatOverAThousandFrameRepaints)
{
    auto manager = ShippedManager("Terracotta");
    TSkinnedForm f(bsSizeable);
    const auto repaint = [&] {
        f.Provider->SkinData()->BGChanged = true;
        SendMessageW(f.Wnd(), WM_NCPAINT, 1, 0);
        SendMessageW(f.Wnd(), WM_NCACTIVATE, 0, 0);
        SendMessageW(f.Wnd(), WM_NCACTIVATE, 1, 0);
    };
    for (int i = 0; i < 20; ++i)
        repaint();
    const int before = paint_probe::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i)
        repaint();
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
}

TEST(FramePaint, PrintDrawsTheFrameAndTheClientBackground)
{
    auto manager = ShippedManager("Terracotta");
    TSkinnedForm f(bsSizeable);
    TqSkinProvider* p = f.Provider;
    TBitmap printed(f.Form->Width(), f.Form->Height(), TPixelFormat::pf24bit);
    FillDCRect(printed.Canvas()->Handle(), TRect{0, 0, printed.Width(), printed.Height()}, 0x00FF00);
    SendMessageW(f.Wnd(), WM_PRINT, reinterpret_cast<WPARAM>(printed.Canvas()->Handle()), PRF_NONCLIENT | PRF_CLIENT);
    TBitmap* cache = p->SkinData()->CacheBmp.get();
    int differ = 0;
    for (int y = 0; y < printed.Height(); ++y)
        for (int x = 0; x < printed.Width(); ++x)
            differ += Pixel(&printed, x, y) != Pixel(cache, x, y);
    EXPECT_EQ(0, differ) << "frame and client background as in the cache";
}

TEST(FramePaint, TheFormsOwnPaintingBecomesPartOfTheCache)
{
    auto manager = ShippedManager("Basalt");
    auto form = std::make_unique<TForm>(Application);
    form->SetBounds(120, 100, 360, 240);
    form->OnPaint = [&](TObject*) {
        form->Canvas()->Brush()->SetColor(0x0000FF);
        form->Canvas()->FillRect(TRect{10, 10, 30, 30});
    };
    auto* provider = new TqSkinProvider(form.get());
    form->Show();
    gui::PumpFor(60);
    const int x = provider->ClientOffsetX() + 20;
    const int y = provider->ClientOffsetY() + 20;
    EXPECT_EQ(0x0000FFu, Pixel(provider->SkinData()->CacheBmp.get(), x, y)) << "at client coordinates";
    auto screen = ScreenOf(form->Handle());
    EXPECT_EQ(0x0000FFu, Pixel(screen.get(), x, y));
    EXPECT_NE(0x0000FFu, Pixel(screen.get(), x + 20, y + 20));
}

TEST(FramePaint, TheKeptTitleAreaGivesTheSameTitleAsAFullRebuild)
{
    // A form section with RESERVEDBOOLEAN keeps the title area under the
    // title bar and repaints only the title on activation changes (the
    // rest of the frame stays as it was: such a skin draws its border alike
    // in both states).
    auto manager = ShippedManager("Clearwater");
    auto& sections = const_cast<TqSkinModel&>(manager->Skin()).Sections;
    sections[static_cast<std::size_t>(manager->FindSectionIndex("FORM"))].ReservedBoolean = true;
    TSkinnedForm f(bsSizeable);
    TForm other(Application);
    other.SetBounds(700, 600, 200, 120);
    TqSkinProvider* p = f.Provider;
    // The title band as the cache holds it, from below the frame's top edge
    // to the caption's bottom, inside the side frames.
    const auto titleBand = [&] {
        TBitmap* cache = p->SkinData()->CacheBmp.get();
        std::string rows;
        for (int y = p->FH(); y < p->TitleHeight(); ++y)
            for (int x = p->FW(); x < cache->Width() - p->FW(); ++x)
                rows += std::to_string(Pixel(cache, x, y)) + ",";
        return rows;
    };
    for (bool active : {false, true, false}) {
        SCOPED_TRACE(active);
        ASSERT_NO_FATAL_FAILURE(Activate(f, other, active));
        const std::string fast = titleBand();
        // Sub-command 3 drops the kept area: the next painting is a full one.
        SendSkinCommand(f.Wnd(), scmRefresh, reinterpret_cast<LPARAM>(manager.get()));
        gui::PumpFor(30);
        EXPECT_TRUE(fast == titleBand()) << "the title repainted over the kept area equals a full rebuild";
    }
}

TEST(FramePaint, ASizingFormWithoutBorderStyleGetsARingFromTheCache)
{
    auto manager = ShippedManager("Basalt");
    TSkinnedForm f(bsNone);
    SetWindowLongPtrW(f.Wnd(), GWL_STYLE, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) | WS_THICKFRAME);
    SetWindowPos(f.Wnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    gui::PumpFor(60);
    RedrawWindow(f.Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    auto screen = ScreenOf(f.Wnd());
    TBitmap* cache = f.Provider->SkinData()->CacheBmp.get();
    ASSERT_EQ(f.Form->Width(), cache->Width());
    const int d = 3;
    int ring = 0;
    int differ = 0;
    for (int y = 0; y < screen->Height(); ++y)
        for (int x = 0; x < screen->Width(); ++x) {
            const bool inRing = x < d || y < d || x >= screen->Width() - d || y >= screen->Height() - d;
            if (!inRing)
                continue;
            ++ring;
            differ += Pixel(screen.get(), x, y) != Pixel(cache, x, y);
        }
    EXPECT_GT(ring, 0);
    EXPECT_EQ(0, differ);
}

// The life of a form provider: one per form (a second stays inert), in the
// skinned-form list while it lives, a skin change repainting the frame, the
// skin's removal and the provider's own removal giving the form the
// platform's frame back, and its link on the form's WindowProc coming off in
// either order with the office pager's link.
#include <gtest/gtest.h>

#include <algorithm>

#include "ProviderSupport.h"
#include "office/ProOfficePager.h"
#include "office/ProOfficePage.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinBroadcasts.h"
#include "skin/engine/qPixelOps.h"

using namespace providertest;

namespace {

int InHookedForms(TComponent* Form)
{
    return static_cast<int>(std::count(HookedForms.begin(), HookedForms.end(), Form));
}

// The colour in the middle of the title bar, left of the buttons, as shown.
COLORREF TitleColour(const TSkinnedForm& F, int Y)
{
    auto screen = ScreenOf(F.Wnd());
    return Pixel(screen.get(), 100, Y);
}

bool HasRegion(HWND Wnd)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(Wnd, region) != ERROR;
    DeleteObject(region);
    return has;
}

}   // namespace

TEST(ProviderLife, OneProviderPerFormASecondStaysInert)
{
    auto manager = ShippedManager("Basalt");
    TSkinnedForm f(bsSizeable);
    auto* second = new TqSkinProvider(f.Form.get());
    EXPECT_EQ(f.Form.get(), f.Provider->Form());
    EXPECT_EQ(nullptr, second->Form());
    EXPECT_EQ(1, InHookedForms(f.Form.get()));
    EXPECT_EQ(f.Provider, GetFormProvider(f.Form.get()));
    EXPECT_TRUE(WindowHandlesCommand(f.Wnd(), scmIsSkinned));
    delete second;
    gui::PumpFor(30);
    EXPECT_EQ(1, InHookedForms(f.Form.get()));
    EXPECT_EQ(f.Provider, GetFormProvider(f.Form.get()));
    EXPECT_EQ(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_SYSMENU) << "still skinned";

    // Freeing the provider hands the form back to the platform.
    delete f.Provider;
    gui::PumpFor(30);
    EXPECT_EQ(0, InHookedForms(f.Form.get()));
    EXPECT_EQ(nullptr, GetFormProvider(f.Form.get()));
    EXPECT_FALSE(WindowHandlesCommand(f.Wnd(), scmIsSkinned));
    EXPECT_NE(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_SYSMENU);
    EXPECT_FALSE(HasRegion(f.Wnd()));
    // Messages go on to the form as before.
    SendMessageW(f.Wnd(), WM_NCPAINT, 1, 0);
    SendMessageW(f.Wnd(), WM_NCHITTEST, 0, 0);
}

TEST(ProviderLife, ASkinChangeRepaintsAndARemovalGivesBackTheNativeFrame)
{
    auto manager = ShippedManager("Basalt");
    TSkinnedForm f(bsSizeable);
    const int y = f.Provider->FH() + f.Provider->CH() / 2;
    const COLORREF basalt = TitleColour(f, y);
    manager->SetSkinName("Terracotta");
    gui::PumpFor(60);
    const COLORREF terracotta = TitleColour(f, y);
    EXPECT_NE(basalt, terracotta);
    EXPECT_EQ(terracotta, Pixel(f.Provider->SkinData()->CacheBmp.get(), 100, y)) << "the screen shows the new cache";
    EXPECT_TRUE(HasRegion(f.Wnd()));

    manager->SetActive(false);
    gui::PumpFor(60);
    EXPECT_FALSE(f.Provider->SkinData()->IsSkinned());
    EXPECT_NE(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_SYSMENU) << "the platform's caption buttons";
    EXPECT_FALSE(HasRegion(f.Wnd()));
    EXPECT_EQ(clBtnFace, f.Form->Color());
    const COLORREF native = TitleColour(f, y);
    EXPECT_NE(terracotta, native);
    EXPECT_NE(basalt, native);
    gui::SaveScreenshot(f.Wnd(), WinPath(ScreenshotFolder() + "/provider-removed.png"));
    // Unskinned, the provider hands the frame messages to the platform.
    EXPECT_EQ(HTCLOSE, [&] {
        RECT w{};
        GetWindowRect(f.Wnd(), &w);
        const int cx = GetSystemMetrics(SM_CXSIZE);
        return SendMessageW(f.Wnd(), WM_NCHITTEST, 0,
                            MAKELPARAM(w.right - f.Provider->FW() - cx / 2 - 2, w.top + f.Provider->FH() + 8));
    }());

    manager->SetActive(true);
    gui::PumpFor(60);
    EXPECT_EQ(terracotta, TitleColour(f, y)) << "skinned again";
    EXPECT_EQ(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_SYSMENU);
}

TEST(ProviderLife, ItsLinkComesOffInEitherOrderWithThePagersLink)
{
    auto manager = ShippedManager("Clearwater");
    for (bool providerFirst : {true, false}) {
        SCOPED_TRACE(providerFirst ? "provider freed first" : "pager's link removed first");
        TSkinnedForm f(bsSizeable);
        auto* pager = new TProOfficePager(f.Form.get());
        pager->SetParent(f.Form.get());
        pager->SetBounds(0, 0, 300, 160);
        auto* page = new TProOfficePage(f.Form.get());
        page->SetCaption("One");
        page->SetShortCutHint("O");
        page->SetPager(pager);
        pager->SetShowShortCutHints(true);
        gui::PumpFor(30);
        pager->ShowShortCutHints();
        ASSERT_TRUE(pager->ShortCutHintsShown());
        if (providerFirst) {
            delete f.Provider;
            SendMessageW(f.Wnd(), WM_NCPAINT, 1, 0);
            SendMessageW(f.Wnd(), WM_ACTIVATE, WA_ACTIVE, 0);
            // A click on the form still closes the hints through the pager's link.
            gui::ClickAt(f.Form.get(), 320, 200);
            gui::PumpFor(30);
            EXPECT_FALSE(pager->ShortCutHintsShown());
        } else {
            pager->HideShortCutHints();
            const POINT close = f.ButtonCentre(HTCLOSE);
            EXPECT_EQ(HTCLOSE, f.HitAt(close.x, close.y)) << "the provider still answers";
            delete f.Provider;
        }
        EXPECT_FALSE(WindowHandlesCommand(f.Wnd(), scmIsSkinned));
    }
}

TEST(ProviderLife, AScrollingFormGetsSkinnedBarsUntilTheSkinGoes)
{
    auto manager = ShippedManager("Basalt");
    TSkinnedForm f(bsSizeable);
    EXPECT_EQ(nullptr, f.Provider->ScrollWnd()) << "a form without scroll bars";
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE, 0, 400, 100, 0, 0};
    SetWindowLongPtrW(f.Wnd(), GWL_STYLE, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) | WS_VSCROLL);
    SetScrollInfo(f.Wnd(), SB_VERT, &info, FALSE);
    SendSkinCommand(f.Wnd(), scmRefresh, reinterpret_cast<LPARAM>(manager.get()));
    gui::PumpFor(40);
    ASSERT_NE(nullptr, f.Provider->ScrollWnd());
    EXPECT_EQ(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_VSCROLL) << "the bar bit is kept by the skinned bars";
    EXPECT_GT(f.Provider->SkinnedBarSize(true), 0);
    // The client background still starts right of the frame: the bar's
    // room is on the right.
    RECT client{};
    GetClientRect(f.Wnd(), &client);
    EXPECT_EQ(f.Form->Width() - 2 * f.Provider->FW() - f.Provider->SkinnedBarSize(true), client.right);

    manager->SetActive(false);
    gui::PumpFor(40);
    EXPECT_EQ(nullptr, f.Provider->ScrollWnd());
    EXPECT_NE(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_VSCROLL) << "the bit is given back";
}

TEST(ProviderLife, ANewWindowOfTheFormIsSkinnedAgain)
{
    // A border style change makes the form's window again: the provider's
    // link stays on the form and skins the new window.
    auto manager = ShippedManager("Terracotta");
    TSkinnedForm f(bsSizeable);
    const HWND before = f.Wnd();
    f.Form->SetBorderStyle(bsSingle);
    gui::PumpFor(80);
    ASSERT_TRUE(IsWindow(f.Wnd()));
    EXPECT_NE(before, f.Wnd());
    EXPECT_EQ(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_SYSMENU);
    EXPECT_TRUE(HasRegion(f.Wnd()));
    EXPECT_EQ(f.Provider, GetFormProvider(f.Form.get()));
    EXPECT_FALSE(f.Provider->SkinData()->BGChanged) << "the new window's frame is painted";
    const POINT close = f.ButtonCentre(HTCLOSE);
    EXPECT_EQ(HTCLOSE, f.HitAt(close.x, close.y));
}

TEST(ProviderLife, TheManagerGoingFirstLeavesAWorkingForm)
{
    auto manager = ShippedManager("Clearwater");
    TSkinnedForm f(bsSizeable);
    manager.reset();
    gui::PumpFor(30);
    EXPECT_FALSE(f.Provider->SkinData()->IsSkinned());
    EXPECT_NE(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_SYSMENU) << "its removal gave the frame back";
    EXPECT_FALSE(HasRegion(f.Wnd()));
    for (UINT msg : {WM_NCPAINT, WM_NCACTIVATE, WM_PAINT, WM_NCHITTEST})
        SendMessageW(f.Wnd(), msg, 1, 0);
    RedrawWindow(f.Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(IsWindow(f.Wnd()));
    EXPECT_EQ(f.Provider, GetFormProvider(f.Form.get())) << "still the form's provider, inert";
}

namespace {

// A form that records the skin sub-commands reaching its own handlers.
class TRecordingForm : public TForm {
public:
    using TForm::TForm;
    std::vector<int> Seen;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_ZORVIKCMD)
            Seen.push_back(SkinSubCommand(Message.WParam));
        TForm::WndProc(Message);
    }
};

}   // namespace

TEST(ProviderLife, ASkinnedFormAnswersItsSubCommandsAndSwallowsTheRest)
{
    auto manager = ShippedManager("Basalt");
    TRecordingForm form(Application);
    form.SetBounds(120, 100, 360, 240);
    auto* provider = new TqSkinProvider(&form);
    form.Show();
    gui::PumpFor(60);
    ASSERT_TRUE(provider->SkinData()->IsSkinned());
    form.Seen.clear();
    for (int sub : {scmSectionRepaint, scmStopFade, scmMouseEnter, scmMouseLeave, scmGetSkinIndex})
        SendSkinCommand(form.Handle(), sub, 0);
    EXPECT_TRUE(form.Seen.empty()) << form.Seen.size() << " reached the form's handlers";
    EXPECT_EQ(1, SendSkinCommand(form.Handle(), scmIsSkinned, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(Application), SendSkinCommand(form.Handle(), scmGetApplication, 0));

    // The background colour asked of a skinned form is its section's
    // HOTCOLOR, not its COLOR (the shipped skins have both alike).
    auto& section = const_cast<TqSkinModel&>(manager->Skin())
                        .Sections[static_cast<std::size_t>(manager->FindSectionIndex("FORM"))];
    section.HotColor = 0x123456;
    ASSERT_NE(section.Color, section.HotColor);
    ExchangeColor = clSkinTransparent;
    SendSkinCommand(form.Handle(), scmGetBgColor, 0);
    EXPECT_EQ(0x123456, ExchangeColor);

    // The removal by another manager is not the form's.
    TqSkinManager other(nullptr);
    SendSkinCommand(form.Handle(), scmSkinRemoved, reinterpret_cast<LPARAM>(&other));
    EXPECT_TRUE(provider->SkinData()->IsSkinned());
    EXPECT_EQ(0, GetWindowLongPtrW(form.Handle(), GWL_STYLE) & WS_SYSMENU);

    // Unskinned, the sub-commands reach the form again; 7 is still answered.
    manager->SetActive(false);
    form.Seen.clear();
    SendSkinCommand(form.Handle(), scmStopFade, 0);
    EXPECT_EQ(std::vector<int>{scmStopFade}, form.Seen);
    EXPECT_EQ(1, SendSkinCommand(form.Handle(), scmIsSkinned, 0));
}

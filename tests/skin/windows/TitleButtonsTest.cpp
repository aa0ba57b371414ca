// The title buttons of a skinned form: the hit codes of the title bar as a
// table, the normal / hot / pressed states as the mouse moves, presses and
// leaves, and what a click by SendInput does (close closes, minimise
// minimises, maximise toggles).
#include <gtest/gtest.h>

#include "ProviderSupport.h"

using namespace providertest;

namespace {

// The pixels of a button rectangle as the screen shows them.
std::string ButtonPixels(const TSkinnedForm& F, int Code)
{
    auto screen = ScreenOf(F.Wnd());
    const TRect r = F.Provider->ButtonRecord(Code)->Rect;
    std::string pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            pixels += std::to_string(Pixel(screen.get(), x, y)) + ",";
    return pixels;
}

}   // namespace

TEST(TitleButtons, HitCodesOfTheTitleBar)
{
    auto manager = ShippedManager("Clearwater");
    struct TCase {
        const char* Name;
        TFormBorderStyle Style;
        TBorderIcons Icons;
        LRESULT Close, Max, Min;   // the codes at each button; 0: the form has no such button
    };
    const TBorderIcons all = biSystemMenu | biMinimize | biMaximize;
    const TCase cases[] = {
        {"sizeable", bsSizeable, all, HTCLOSE, HTMAXBUTTON, HTMINBUTTON},
        {"single", bsSingle, all, HTCLOSE, HTMAXBUTTON, HTMINBUTTON},
        // A sizeable form without biMinimize shows the button disabled: its
        // place answers as caption.
        {"sizeable without minimise", bsSizeable, biSystemMenu | biMaximize, HTCLOSE, HTMAXBUTTON, HTCAPTION},
        {"single without maximise", bsSingle, biSystemMenu | biMinimize, HTCLOSE, 0, HTMINBUTTON},
        {"dialog", bsDialog, all, HTCLOSE, 0, 0},
        {"tool window", bsToolWindow, all, HTCLOSE, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSkinnedForm f(c.Style, c.Icons);
        TqSkinProvider* p = f.Provider;
        const POINT close = f.ButtonCentre(HTCLOSE);
        EXPECT_EQ(c.Close, f.HitAt(close.x, close.y));
        if (c.Max != 0) {
            const POINT max = f.ButtonCentre(HTMAXBUTTON);
            EXPECT_EQ(c.Max, f.HitAt(max.x, max.y));
        }
        if (c.Min != 0) {
            const POINT min = f.ButtonCentre(HTMINBUTTON);
            EXPECT_EQ(c.Min, f.HitAt(min.x, min.y));
        }
        const int buttons = (c.Max != 0) + (c.Min != 0) + 1;
        const TRect first = p->ButtonRecord(HTCLOSE)->Rect;
        // Left of the buttons and right of the icon: the caption.
        EXPECT_EQ(HTCAPTION, f.HitAt(first.left - buttons * RectWidth(first) - 20, close.y));
        const TRect icon = p->TitleIconRect();
        if (RectWidth(icon) > 0) {
            EXPECT_EQ(HTSYSMENU, f.HitAt(icon.left + 2, close.y));
        }
        EXPECT_EQ(HTCLIENT, f.HitAt(f.Form->Width() / 2, f.Form->Height() / 2));
        EXPECT_EQ(0, GetWindowLongPtrW(f.Wnd(), GWL_STYLE) & WS_SYSMENU) << "the platform draws no caption buttons";
    }
}

TEST(TitleButtons, TheGripIsASizingCornerOnlyWhenAsked)
{
    auto manager = ShippedManager("Basalt");
    TSkinnedForm f(bsSizeable);
    const int w = f.Form->Width();
    const int h = f.Form->Height();
    const int fw = f.Provider->FW();
    // Just inside the frame at the bottom-right: the client without a grip.
    EXPECT_EQ(HTCLIENT, f.HitAt(w - fw - 3, h - fw - 3));
    f.Provider->GripMode = gmRightBottom;
    f.Provider->SkinData()->BGChanged = true;
    SendMessageW(f.Wnd(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(HTBOTTOMRIGHT, f.HitAt(w - fw - 3, h - fw - 3));
    EXPECT_EQ(HTCLIENT, f.HitAt(w / 2, h / 2));
}

TEST(TitleButtons, HotPressedAndReleasedOutside)
{
    auto manager = ShippedManager("Terracotta");
    TSkinnedForm f(bsSizeable);
    TqSkinProvider* p = f.Provider;
    const std::string normal = ButtonPixels(f, HTCLOSE);

    MouseAt(f.Wnd(), f.ButtonCentre(HTCLOSE));
    EXPECT_EQ(HTCLOSE, p->HotCode());
    EXPECT_EQ(1, p->ButtonRecord(HTCLOSE)->State);
    const std::string hot = ButtonPixels(f, HTCLOSE);
    EXPECT_TRUE(normal != hot) << "the hot look shows";
    gui::SaveScreenshot(f.Wnd(), WinPath(ScreenshotFolder() + "/provider-close-hot.png"));

    MouseButton(true);
    EXPECT_EQ(2, p->ButtonRecord(HTCLOSE)->State);
    EXPECT_TRUE(TitleButtonPressed);
    const std::string pressed = ButtonPixels(f, HTCLOSE);
    EXPECT_TRUE(hot != pressed);
    gui::SaveScreenshot(f.Wnd(), WinPath(ScreenshotFolder() + "/provider-close-pressed.png"));

    // Leaving the button before the release: it turns normal and nothing
    // happens on the release.
    const TRect caption = p->ButtonRecord(HTCLOSE)->Rect;
    MouseAt(f.Wnd(), POINT{caption.left - 120, (caption.top + caption.bottom) / 2});
    EXPECT_EQ(0, p->ButtonRecord(HTCLOSE)->State);
    MouseButton(false);
    EXPECT_TRUE(IsWindowVisible(f.Wnd()));
    EXPECT_TRUE(normal == ButtonPixels(f, HTCLOSE));
    EXPECT_FALSE(TitleButtonPressed);

    // Leaving the window from a hot button turns it normal.
    MouseAt(f.Wnd(), f.ButtonCentre(HTCLOSE));
    ASSERT_EQ(1, p->ButtonRecord(HTCLOSE)->State);
    MouseAt(f.Wnd(), POINT{f.Form->Width() + 200, f.Form->Height() + 150});
    // The platform checks for the leaving on a timer of its own.
    EXPECT_TRUE(gui::PumpUntil([&] { return p->HotCode() == 0; }, 5000));
    EXPECT_EQ(0, p->ButtonRecord(HTCLOSE)->State);
    EXPECT_EQ(0, p->HotCode());
    EXPECT_TRUE(normal == ButtonPixels(f, HTCLOSE));
}

TEST(TitleButtons, AReleaseInTheClientEndsAPressAndReachesTheForm)
{
    // The client's release carries key flags, not a hit code: with Ctrl
    // held they equal the minimise code, yet the form is not minimised and
    // the release is the form's.
    auto manager = ShippedManager("Basalt");
    TSkinnedForm f(bsSizeable);
    int ups = 0;
    f.Form->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    RECT w{};
    GetWindowRect(f.Wnd(), &w);
    const POINT min = f.ButtonCentre(HTMINBUTTON);
    SendMessageW(f.Wnd(), WM_NCLBUTTONDOWN, HTMINBUTTON, MAKELPARAM(w.left + min.x, w.top + min.y));
    ASSERT_EQ(2, f.Provider->ButtonRecord(HTMINBUTTON)->State);
    ASSERT_TRUE(TitleButtonPressed);
    SendMessageW(f.Wnd(), WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(40, 40));
    gui::PumpFor(40);
    EXPECT_FALSE(IsIconic(f.Wnd()));
    EXPECT_EQ(0, f.Provider->ButtonRecord(HTMINBUTTON)->State);
    EXPECT_EQ(0, f.Provider->HotCode());
    EXPECT_FALSE(TitleButtonPressed);
    EXPECT_EQ(1, ups);
}

TEST(TitleButtons, ClicksMinimiseMaximiseRestoreAndClose)
{
    auto manager = ShippedManager("Clearwater");
    TSkinnedForm f(bsSizeable);
    int closes = 0;
    f.Form->OnClose = [&](TObject*, TCloseAction& Action) {
        ++closes;
        Action = caHide;
    };
    ClickAt(f.Wnd(), f.ButtonCentre(HTMAXBUTTON));
    EXPECT_TRUE(IsZoomed(f.Wnd()));
    // The restore glyph now has the maximise button's place.
    ClickAt(f.Wnd(), f.ButtonCentre(HTMAXBUTTON));
    EXPECT_FALSE(IsZoomed(f.Wnd()));

    ClickAt(f.Wnd(), f.ButtonCentre(HTMINBUTTON));
    EXPECT_TRUE(IsIconic(f.Wnd()));
    f.Form->SetWindowState(wsNormal);
    gui::PumpFor(60);
    ASSERT_FALSE(IsIconic(f.Wnd()));

    // A double click on the caption maximises and restores.
    const TRect close = f.Provider->ButtonRecord(HTCLOSE)->Rect;
    RECT w{};
    GetWindowRect(f.Wnd(), &w);
    const LPARAM at = MAKELPARAM(w.left + close.left - 150, w.top + (close.top + close.bottom) / 2);
    SendMessageW(f.Wnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, at);
    gui::PumpFor(40);
    EXPECT_TRUE(IsZoomed(f.Wnd()));
    SendMessageW(f.Wnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, at);
    gui::PumpFor(40);
    EXPECT_FALSE(IsZoomed(f.Wnd()));

    ClickAt(f.Wnd(), f.ButtonCentre(HTCLOSE));
    EXPECT_EQ(1, closes);
    EXPECT_FALSE(IsWindowVisible(f.Wnd()));

    // A double click on the icon closes the form.
    f.Form->Show();
    gui::PumpFor(40);
    SendMessageW(f.Wnd(), WM_NCLBUTTONDBLCLK, HTSYSMENU, at);
    EXPECT_EQ(2, closes);
    EXPECT_FALSE(IsWindowVisible(f.Wnd()));
}

TEST(TitleButtons, UserButtonsFollowTheSystemButtonsAndGetTheirEvents)
{
    auto manager = ShippedManager("Basalt");
    auto form = std::make_unique<TForm>(Application);
    form->SetBounds(120, 100, 360, 240);
    auto* provider = new TqSkinProvider(form.get());
    TqTitleButton* button = provider->TitleButtons()->Add();
    EXPECT_EQ("TqTitleButton", button->Name());
    int downs = 0;
    int ups = 0;
    button->OnMouseDown = [&](TObject* Sender, TMouseButton, TShiftState, int, int) { downs += Sender == button; };
    button->OnMouseUp = [&](TObject* Sender, TMouseButton, TShiftState, int, int) { ups += Sender == button; };
    form->Show();
    gui::PumpFor(60);
    const TRect user = button->Data.Rect;
    const TRect min = provider->ButtonRecord(HTMINBUTTON)->Rect;
    EXPECT_LT(user.right, min.left + 1) << "left of the system buttons";
    const POINT centre{(user.left + user.right) / 2, (user.top + user.bottom) / 2};
    RECT w{};
    GetWindowRect(form->Handle(), &w);
    EXPECT_EQ(tbcUserFirst, SendMessageW(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(w.left + centre.x, w.top + centre.y)));
    ClickAt(form->Handle(), centre);
    EXPECT_EQ(1, downs);
    EXPECT_EQ(1, ups);
    button->Enabled = false;
    EXPECT_EQ(HTCAPTION, SendMessageW(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(w.left + centre.x, w.top + centre.y)));
}

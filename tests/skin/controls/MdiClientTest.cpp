// The skinned client window of an MDI form (the system's MDICLIENT) over a
// form whose cached image is a known pattern.
#include "ControlsHarness.h"
#include "skin/engine/qControlTree.h"
#include "skin/windows/zqMDIWnd.h"

using namespace skincontrols;

namespace {

TColor PatternAt(int X, int Y) { return static_cast<TColor>(RGB(X & 0xFF, Y & 0xFF, 0x40)); }

TEST(MdiClient, ShowsTheFormsImageUnderItAndSendsCacheQuestionsToTheForm)
{
    auto manager = ShippedManager("Basalt");
    TCacheParent form(nullptr, 400, 300);
    form.Data->SetSkinSection("FORM");
    // The form's cache: a pattern that tells every pixel's place.
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            SetPixel(form.Data->CacheBmp->Canvas()->Handle(), x, y, PatternAt(x, y));
    form.Show();
    CLIENTCREATESTRUCT create{};
    HWND client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 20,
                                  30, 300, 200, form.Handle(), nullptr, GetModuleHandleW(nullptr), &create);
    ASSERT_NE(nullptr, client);
    TzqMainWndPtr<TzqMDIWnd> object(TzqMainWnd::Create<TzqMDIWnd>(client, true, "FORM", manager.get(), nullptr));
    object->Form = &form;
    object->FormSkinData = form.Data.get();
    Settle();
    auto image = Print(client);
    // The client's own area shows the form's pixels at the client's place.
    RECT window{}, inner{};
    GetWindowRect(client, &window);
    GetClientRect(client, &inner);
    int wrong = 0;
    for (int y = 0; y < inner.bottom; y += 7)
        for (int x = 0; x < inner.right; x += 7)
            wrong += paint_probe::PixelAt(*image, x, y) != PatternAt(20 + x, 30 + y);
    EXPECT_EQ(0, wrong);
    // On the screen the client's inside starts 2 pixels in (its edge).
    InvalidateRect(client, nullptr, TRUE);
    UpdateWindow(client);
    EXPECT_FALSE(GetUpdateRect(client, nullptr, FALSE));
    auto screen = Capture(client);
    EXPECT_TRUE(Near(PatternAt(22 + 10, 32 + 10), paint_probe::PixelAt(*screen, 10, 10), 0));
    // Its cache is the form's.
    ExchangeCache = TCacheInfo{};
    SendSkinCommand(client, scmGetCache, 0);
    EXPECT_EQ(form.Data->CacheBmp.get(), ExchangeCache.Bmp);
    object.reset();
    DestroyWindow(client);
}

}   // namespace

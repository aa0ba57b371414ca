// A skinned form with a main menu: the frame's menu line painted with the
// menu's items by the manager's menu painter (cache against goldens with the
// items' text left out, the text checked by its colours, the screen showing
// the cache), the client area below the menu rows, a bar that wraps into two
// rows, a click on a bar item opening its skinned popup, the native bar back
// when the skin is removed, and the manager's painter from construction on.
//
// Goldens are written again only on purpose: SKIN_GOLDENS=update.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "ProviderSupport.h"
#include "framework/Menus.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/qSkinableMenus.h"

using namespace providertest;

namespace {

const char* const Skins[] = {"Basalt", "Clearwater", "Terracotta"};

std::unique_ptr<TqSkinManager> MenuManager(const String& Skin)
{
    auto manager = ShippedManager(Skin);
    manager->MenuSupport()->IcoLineSkin = "ICOLINE";
    return manager;
}

TqSkinableMenus* PainterOf(TqSkinManager* Manager)
{
    return dynamic_cast<TqSkinableMenus*>(Manager->SkinableMenus());
}

// A sizeable form with a main menu of the given top-level items (the first
// has a popup with a sub-menu), then a provider, shown and active.
struct TMenuForm {
    explicit TMenuForm(const std::vector<String>& Top, int Width = 420)
        : Form(std::make_unique<TForm>(Application)), Bar(new TMainMenu(Form.get()))
    {
        Form->SetBounds(120, 100, Width, 260);
        Form->SetCaption("Skinned menu");
        for (const String& caption : Top)
            TopItems.push_back(Add(Bar->Items(), caption));
        Add(TopItems[0], "Open");
        Add(TopItems[0], "Save")->ShortCut = scCtrl | 'S';
        Add(TopItems[0], "-");
        Recent = Add(TopItems[0], "Recent");
        Add(Recent, "first.ir");
        Add(Recent, "second.ir");
        Add(TopItems[0], "Quit");
        Form->SetMenu(Bar);
        Provider = new TqSkinProvider(Form.get());
        Form->Show();
        SetForegroundWindow(Form->Handle());
        SetActiveWindow(Form->Handle());
        gui::PumpFor(80);
    }
    TMenuItem* Add(TMenuItem* Parent, const String& Caption)
    {
        auto* item = new TMenuItem(Form.get());
        item->Caption = Caption;
        Parent->Add(item);
        return item;
    }
    HWND Wnd() const { return Form->Handle(); }
    // The bar item at Position in window coordinates.
    RECT ItemRect(UINT Position) const
    {
        RECT window{}, r{};
        GetWindowRect(Wnd(), &window);
        if (!GetMenuItemRect(Wnd(), GetMenu(Wnd()), Position, &r))
            return RECT{};
        OffsetRect(&r, -window.left, -window.top);
        return r;
    }
    // The client area's top in window coordinates.
    int ClientTop() const
    {
        RECT window{};
        GetWindowRect(Wnd(), &window);
        POINT origin{0, 0};
        ClientToScreen(Wnd(), &origin);
        return origin.y - window.top;
    }
    // The rows the platform laid the bar out in (distinct item tops).
    int BarRows() const
    {
        std::set<LONG> tops;
        for (UINT i = 0; i < TopItems.size(); ++i)
            tops.insert(ItemRect(i).top);
        return static_cast<int>(tops.size());
    }
    bool BarOwnerDrawn() const
    {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        return GetMenuItemInfoW(GetMenu(Wnd()), 0, TRUE, &info) && (info.fType & MFT_OWNERDRAW) != 0;
    }

    std::unique_ptr<TForm> Form;
    TMainMenu* Bar;                   // owned by the form
    std::vector<TMenuItem*> TopItems; // owned by the form
    TMenuItem* Recent = nullptr;
    TqSkinProvider* Provider = nullptr;
};

const std::vector<String> FourItems = {"File", "Edit", "View", "Help"};

// The cache with the caption's text and every bar item filled black.
std::unique_ptr<TBitmap> WithoutTexts(TMenuForm& F)
{
    TqSkinProvider* p = F.Provider;
    TBitmap* cache = p->SkinData()->CacheBmp.get();
    auto copy = std::make_unique<TBitmap>(cache->Width(), cache->Height(), TPixelFormat::pf24bit);
    BitBlt(copy->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    std::vector<RECT> parts{RECT{p->TitleIconWidth() + p->FW() + 4, p->FH(), p->Form()->Width() - p->ButtonsWidth() - 6,
                                 p->CH()}};
    for (UINT i = 0; i < F.TopItems.size(); ++i)
        parts.push_back(F.ItemRect(i));
    const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (const RECT& r : parts)
        FillRect(copy->Canvas()->Handle(), &r, black);
    return copy;
}

// Pixels of R in B nearer to Near than to Far.
int CountNearer(TBitmap* B, const RECT& R, TColor Near, TColor Far)
{
    const auto distance = [](COLORREF A, COLORREF C) {
        return std::abs(GetRValue(A) - GetRValue(C)) + std::abs(GetGValue(A) - GetGValue(C)) +
               std::abs(GetBValue(A) - GetBValue(C));
    };
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x) {
            const COLORREF c = Pixel(B, x, y);
            n += distance(c, static_cast<COLORREF>(Near)) < distance(c, static_cast<COLORREF>(Far));
        }
    return n;
}

const TqGeneralData& Section(TqSkinManager* M, const char* Name)
{
    return M->Skin().Sections[static_cast<std::size_t>(M->FindSectionIndex(Name))];
}

// A thread timer that runs Action on the open popup-menu window (once one is
// visible; at most 40 looks) and then closes the menu.
std::function<void(HWND)>& PopupAction()
{
    static std::function<void(HWND)> action;
    return action;
}
void CALLBACK LookAtPopup(HWND, UINT, UINT_PTR Id, DWORD)
{
    static int tries = 0;
    HWND popup = FindWindowW(L"#32768", nullptr);
    if ((popup == nullptr || !IsWindowVisible(popup)) && ++tries < 40)
        return;
    tries = 0;
    KillTimer(nullptr, Id);
    if (PopupAction())
        PopupAction()(IsWindowVisible(popup) ? popup : nullptr);
    PopupAction() = nullptr;
    EndMenu();
}

}   // namespace

TEST(MenuLine, TheMenuLineShowsTheItemsOverTheSkinAndTheClientSitsBelowIt)
{
    for (const char* skin : Skins) {
        SCOPED_TRACE(skin);
        auto manager = MenuManager(skin);
        TMenuForm f(FourItems);
        TqSkinProvider* p = f.Provider;
        TqSkinableMenus* painter = PainterOf(manager.get());
        ASSERT_NE(painter, nullptr);
        EXPECT_TRUE(painter->Active());
        EXPECT_TRUE(f.BarOwnerDrawn());
        for (TMenuItem* item : f.TopItems)
            EXPECT_TRUE(painter->IsHooked(item)) << item->Caption;
        ASSERT_TRUE(p->MenuVisible());
        EXPECT_EQ(1, p->MenuRowCount());
        EXPECT_EQ(1, f.BarRows());
        // The client area lies below the title bar and the menu row; the
        // provider's client offset is the platform's.
        const int band = f.ClientTop() - p->FH() - p->CH();
        EXPECT_GE(band, p->MenuItemHeight());
        EXPECT_LE(band, p->MenuItemHeight() + 2);
        EXPECT_EQ(f.ClientTop(), p->ClientOffsetY());
        EXPECT_GE(f.ItemRect(0).top, p->FH() + p->CH());
        ASSERT_FALSE(p->SkinData()->BGChanged);

        auto picture = WithoutTexts(f);
        ExpectGolden(*picture, std::string("menuline-") + skin + ".png");
        EXPECT_EQ(0, ScreenDiffersFromCache(p)) << "the screen's frame and menu line are the cache's";
        gui::SaveScreenshot(f.Wnd(), WinPath(ScreenshotFolder() + "/provider-menuline-" + skin + ".png"));
        // Each item's caption in the menu line's font colour (pixels nearer
        // to it than to the item's background; the glyphs are smoothed).
        const TColor font = ColorToRGB(Section(manager.get(), "MENULINE").FontColor);
        const TColor back = ColorToRGB(Section(manager.get(), "MENUITEM").Color);
        for (UINT i = 0; i < f.TopItems.size(); ++i) {
            const RECT r = f.ItemRect(i);
            EXPECT_GT(CountNearer(p->SkinData()->CacheBmp.get(), r, font, back), 15)
                << "caption of " << f.TopItems[i]->Caption;
        }
    }
}

TEST(MenuLine, ABarThatWrapsGivesTwoMenuRows)
{
    auto manager = MenuManager("Clearwater");
    TMenuForm f({"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel"}, 400);
    TqSkinProvider* p = f.Provider;
    ASSERT_EQ(2, f.BarRows()) << "the platform wraps the bar";
    EXPECT_EQ(2, p->MenuRowCount());
    const int band = f.ClientTop() - p->FH() - p->CH();
    EXPECT_GE(band, 2 * p->MenuItemHeight());
    EXPECT_LE(band, 2 * p->MenuItemHeight() + 4);
    EXPECT_EQ(0, ScreenDiffersFromCache(p));
    auto picture = WithoutTexts(f);
    ExpectGolden(*picture, "menuline-two-rows-Clearwater.png");
    gui::SaveScreenshot(f.Wnd(), WinPath(ScreenshotFolder() + "/provider-menuline-two-rows.png"));
    // Wider, the bar takes one row again, and so does the menu line.
    f.Form->SetBounds(120, 100, 700, 260);
    gui::PumpFor(80);
    ASSERT_EQ(1, f.BarRows());
    EXPECT_EQ(1, p->MenuRowCount());
    EXPECT_EQ(0, ScreenDiffersFromCache(p));
}

TEST(MenuLine, ClickingABarItemOpensItsPopupSkinnedByThePainter)
{
    for (const char* skin : Skins) {
        SCOPED_TRACE(skin);
        auto manager = MenuManager(skin);
        TMenuForm f(FourItems);
        TqSkinableMenus* painter = PainterOf(manager.get());
        ASSERT_NE(painter, nullptr);
        std::map<TqMenuItemType, int> drawn;
        painter->OnDrawItem = [&](TObject*, TCanvas*, TRect&, TOwnerDrawState, TqMenuItemType Type) { ++drawn[Type]; };

        HWND seen = nullptr;
        int regionKind = ERROR;
        bool backgroundFits = false;
        int normalDrawn = 0;
        std::unique_ptr<TBitmap> shot;
        RECT arrow{};
        PopupAction() = [&](HWND Popup) {
            seen = Popup;
            if (Popup == nullptr)
                return;
            drawn.clear();
            RedrawWindow(Popup, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            normalDrawn = drawn[TqMenuItemType::smNormal];
            HRGN region = CreateRectRgn(0, 0, 0, 0);
            regionKind = GetWindowRgn(Popup, region);
            DeleteObject(region);
            RECT wr{};
            GetWindowRect(Popup, &wr);
            backgroundFits = MenuBackground && MenuBackground->Width() == wr.right - wr.left &&
                             MenuBackground->Height() == wr.bottom - wr.top;
            // Where the platform puts the sub-menu arrow of "Recent".
            auto* menu = reinterpret_cast<HMENU>(SendMessageW(Popup, MN_GETHMENU, 0, 0));
            RECT item{};
            BITMAP info{};
            HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(32739));
            GetObjectW(bitmap, sizeof(info), &info);
            DeleteObject(bitmap);
            if (GetMenuItemRect(Popup, menu, 3, &item)) {
                OffsetRect(&item, -wr.left, -wr.top);
                arrow = RECT{item.right - info.bmWidth - 1, (item.top + item.bottom - info.bmHeight) / 2,
                             item.right - 1, (item.top + item.bottom - info.bmHeight) / 2 + info.bmHeight};
            }
            // The X server shows the painted popup a little later on a busy
            // machine: read the screen until no menu-coloured box is left
            // where the arrow is (the verdict below still decides).
            const TRect a{arrow.left, arrow.top, arrow.right, arrow.bottom};
            for (int tries = 0; tries < 30; ++tries) {
                shot = ScreenOf(Popup);
                if (arrow.right <= arrow.left || CountColor(shot.get(), a, GetSysColor(COLOR_MENU)) == 0)
                    break;
                Sleep(100);
            }
            gui::SaveScreenshot(Popup, WinPath(ScreenshotFolder() + "/provider-menu-popup-" + skin + ".png"));
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, LookAtPopup);
        const RECT file = f.ItemRect(0);
        MouseAt(f.Wnd(), POINT{(file.left + file.right) / 2, (file.top + file.bottom) / 2});
        MouseButton(true);
        MouseButton(false);
        KillTimer(nullptr, timer);
        PopupAction() = nullptr;
        gui::PumpFor(60);
        painter->OnDrawItem = nullptr;

        ASSERT_NE(seen, nullptr) << "no popup opened";
        EXPECT_EQ(COMPLEXREGION, regionKind) << "the popup's region is cut to the skin's corners";
        EXPECT_TRUE(backgroundFits);
        EXPECT_EQ(4, normalDrawn) << "Open, Save, Recent and Quit drawn by the painter";
        ASSERT_TRUE(shot);
        ASSERT_GT(arrow.right, arrow.left);
        // The arrow is the painter's, in the item's font colour, and the
        // platform's box in menu colours is not drawn over it.
        const TColor font = Section(manager.get(), "MENUITEM").FontColor;
        const TRect a{arrow.left, arrow.top, arrow.right, arrow.bottom};
        EXPECT_GT(CountColor(shot.get(), a, ColorToRGB(font)), 3) << "the painter's arrow";
        EXPECT_EQ(0, CountColor(shot.get(), a, GetSysColor(COLOR_MENU))) << "no platform arrow box";
    }
}

TEST(MenuLine, RemovingTheSkinGivesTheNativeMenuBarBack)
{
    auto manager = MenuManager("Terracotta");
    TMenuForm f(FourItems);
    TqSkinableMenus* painter = PainterOf(manager.get());
    ASSERT_TRUE(f.BarOwnerDrawn());
    manager->SetActive(false);
    gui::PumpFor(80);
    EXPECT_FALSE(painter->Active());
    EXPECT_FALSE(f.BarOwnerDrawn());
    for (TMenuItem* item : f.TopItems) {
        EXPECT_FALSE(item->OnAdvancedDrawItem) << item->Caption;
        EXPECT_FALSE(item->OnMeasureItem) << item->Caption;
    }
    EXPECT_FALSE(f.Recent->OnAdvancedDrawItem);
    // The platform paints its bar: its background in the menu colour beside
    // the last item.
    RedrawWindow(f.Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    gui::PumpFor(40);
    auto screen = ScreenOf(f.Wnd());
    const RECT last = f.ItemRect(3);
    const TRect beside{last.right + 4, last.top + 2, f.Form->Width() - 12, last.bottom - 2};
    EXPECT_GT(CountColor(screen.get(), beside, GetSysColor(COLOR_MENU)), RectWidth(beside) * RectHeight(beside) / 2);
    gui::SaveScreenshot(f.Wnd(), WinPath(ScreenshotFolder() + "/provider-menuline-removed.png"));
    // And back again.
    manager->SetActive(true);
    gui::PumpFor(80);
    EXPECT_TRUE(painter->Active());
    EXPECT_TRUE(f.BarOwnerDrawn());
    EXPECT_TRUE(painter->IsHooked(f.TopItems[0]));
    EXPECT_EQ(0, ScreenDiffersFromCache(f.Provider));
}

TEST(MenuLine, TheManagersPainterExistsFromConstructionAndFollowsTheSkin)
{
    auto manager = std::make_unique<TqSkinManager>(nullptr);
    TqSkinableMenus* painter = PainterOf(manager.get());
    ASSERT_NE(painter, nullptr) << "made by the manager's constructor";
    EXPECT_EQ(painter->Manager(), manager.get());
    EXPECT_FALSE(painter->Active());
    manager->SetSkinDirectory(SkinsFolder());
    manager->SetSkinName("Basalt");
    TMenuForm f(FourItems);
    EXPECT_EQ(painter, PainterOf(manager.get())) << "one painter per manager";
    EXPECT_TRUE(painter->Active());
    EXPECT_TRUE(painter->IsHooked(f.TopItems[0]));
    manager->SetSkinName("Clearwater");
    gui::PumpFor(60);
    EXPECT_TRUE(painter->Active());
    EXPECT_TRUE(painter->IsHooked(f.TopItems[0]));
    EXPECT_EQ(0, ScreenDiffersFromCache(f.Provider));
    manager->SetActive(false);
    EXPECT_FALSE(painter->Active());
    manager->SetActive(true);
    gui::PumpFor(60);
    EXPECT_TRUE(painter->Active());
    // The manager goes first: the menus keep no handler of its painter and
    // the bar still paints and measures.
    manager.reset();
    for (TMenuItem* item : f.TopItems) {
        EXPECT_FALSE(item->OnAdvancedDrawItem) << item->Caption;
        EXPECT_FALSE(item->OnMeasureItem) << item->Caption;
    }
    EXPECT_FALSE(f.Recent->OnMeasureItem);
    DrawMenuBar(f.Wnd());
    RedrawWindow(f.Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    gui::PumpFor(40);
    EXPECT_TRUE(IsWindow(f.Wnd()));
}

TEST(MenuLine, InitMenuPopupRaisesThePaintersMeasuringFlag)
{
    auto manager = MenuManager("Basalt");
    TMenuForm f(FourItems);
    struct TCase {
        LPARAM LParam;
        bool Raised;
    };
    for (const TCase& c : {TCase{0, false}, TCase{1, true}, TCase{MAKELPARAM(2, 1), true}}) {
        SCOPED_TRACE(c.LParam);
        MenuMeasuring = false;
        SendMessageW(f.Wnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(GetMenu(f.Wnd()), 0)), c.LParam);
        EXPECT_EQ(c.Raised, MenuMeasuring);
    }
    MenuMeasuring = false;
}

// The skinned menu painter over the framework's menus, with the shipped
// skins: item measures, item pictures against stored goldens (text-free; the
// text checked by colour counts), a real popup shown by TrackPopupMenu with
// its window region, the shared background released when the popup closes,
// GDI objects over many paints, and hooking and unhooking of forms' menus.
//
// Goldens are written again only on purpose: SKIN_GOLDENS=update. A picture
// that differs is written to build/screenshots with the suffix -actual.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "../../support/GuiHarness.h"
#include "MenuTestSupport.h"
#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/Menus.h"
#include "framework/Screen.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/qSkinableMenus.h"
#include "tests/graphics/PaintProbe.h"

namespace {

namespace fs = std::filesystem;

using menutest::WinPath;

std::string ScreenshotFolder()
{
    const std::string out = std::string(SKIN_OUTPUT_DIR) + "/../../screenshots";
    fs::create_directories(out);
    return out;
}

const char* const Skins[] = {"Basalt", "Clearwater", "Terracotta"};

std::unique_ptr<TqSkinManager> LoadShipped(const std::string& Name)
{
    auto m = menutest::LoadShipped(Name);
    m->MenuSupport()->IcoLineSkin = "ICOLINE";
    return m;
}

// A form owned by the application with a popup menu and a menu bar.
struct TMenuForm {
    TMenuForm() : Form(new TForm(Application)), Popup(new TPopupMenu(Form.get())), Bar(new TMainMenu(Form.get()))
    {
        Form->SetBounds(100, 100, 320, 200);
    }
    TMenuItem* Add(TMenuItem* Parent, const String& Caption)
    {
        auto* item = new TMenuItem(Form.get());
        item->Caption = Caption;
        Parent->Add(item);
        return item;
    }
    std::unique_ptr<TForm> Form;
    TPopupMenu* Popup;
    TMainMenu* Bar;
};

int RoundHalfEven(double V)
{
    return static_cast<int>(std::nearbyint(V));
}

// The menu font's text width and "W" height, measured here directly.
void MenuTextSize(const String& Text, int& Width, int& HeightW)
{
    TBitmap b(1, 1);
    b.Canvas()->SetFont(Screen->MenuFont());
    TRect r{0, 0, 0, 0};
    b.Canvas()->DrawTextRect(Text, r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP);
    Width = r.right - r.left;
    HeightW = b.Canvas()->TextHeight("W");
}

TEST(MenuPainter, ItemMeasures)
{
    auto m = LoadShipped("Basalt");
    TqSkinableMenus painter(m.get());
    TMenuForm f;
    TMenuItem* open = f.Add(f.Popup->Items(), "Open");
    TMenuItem* save = f.Add(f.Popup->Items(), "Save");
    save->ShortCut = scCtrl | 'S';
    TMenuItem* line = f.Add(f.Popup->Items(), "-");
    TMenuItem* group = f.Add(f.Popup->Items(), "-Group-");
    TMenuItem* pictured = f.Add(f.Popup->Items(), "Print");
    pictured->Bitmap()->SetSize(24, 30);
    TMenuItem* broken = f.Add(f.Popup->Items(), "Next column");
    broken->Break = TMenuBreak::mbBreak;

    int wW = 0, hW = 0;
    MenuTextSize("W", wW, hW);
    const int h = RoundHalfEven(hW * 1.25);
    struct Case {
        const char* Name;
        TMenuItem* Item;
        String Text;     // what is measured
        int Glyph;       // glyph column width
        int Height;
        bool Extra;      // in the first column
    };
    const Case cases[] = {
        {"normal", open, "Open", 16, std::max(h, 16) + 6, true},
        {"short cut", save, "SaveCtrl+S", 16, std::max(h, 16) + 6, true},
        {"divider", line, "", 16, 2, true},
        {"caption item", group, "--Group--", 16, h + 6, true},
        {"glyph", pictured, "Print", 24, std::max(h, 30) + 6, true},
        {"after a break", broken, "Next column", 16, std::max(h, 16) + 6, false},
    };
    for (bool extraLine : {false, true}) {
        m->MenuSupport()->UseExtraLine = extraLine;
        ReleaseMenuBackground();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (extraLine ? " with the extra line" : ""));
            int textWidth = 0, unused = 0;
            MenuTextSize(c.Text, textWidth, unused);
            if (c.Text.empty())
                textWidth = 0;
            TBitmap b(1, 1);
            int width = 0, height = 0;
            MenuMeasuring = false;
            painter.MeasureSkinMenuItem(c.Item, b.Canvas(), width, height);
            EXPECT_TRUE(MenuMeasuring);
            const int extra = extraLine && c.Extra ? 32 : 0;
            EXPECT_EQ(width, 2 * c.Glyph + textWidth + 3 * 3 + 6 + extra);
            EXPECT_EQ(height, c.Height);
        }
    }
    // A popup whose first item is the skin-selection item never shows the band.
    open->SetName("SkinSelectItem");
    ReleaseMenuBackground();
    TBitmap b(1, 1);
    int width = 0, height = 0;
    painter.MeasureSkinMenuItem(save, b.Canvas(), width, height);
    int textWidth = 0, unused = 0;
    MenuTextSize("SaveCtrl+S", textWidth, unused);
    EXPECT_EQ(width, 2 * 16 + textWidth + 15);
    EXPECT_EQ(painter.ActiveExtraLineWidth(), 0);
}

TEST(MenuPainter, ExtraLineEventAndOwnedGlyph)
{
    auto m = LoadShipped("Basalt");
    TqSkinableMenus painter(m.get());
    TMenuForm f;
    TMenuItem* first = f.Add(f.Popup->Items(), "First");
    f.Add(f.Popup->Items(), "Second");
    m->MenuSupport()->UseExtraLine = true;
    m->MenuSupport()->ExtraLineWidth = 20;
    int calls = 0;
    TMenuItem* asked = nullptr;
    m->OnGetMenuExtraLineData = [&](TMenuItem* Item, String& Section, String& Caption, TBitmap*& Glyph, bool& Visible) {
        ++calls;
        asked = Item;
        EXPECT_EQ(Section, "EXTRALINE");
        EXPECT_EQ(Caption, "Don`t forget OnGetExtraLineData event...");
        EXPECT_TRUE(Visible);
        Caption = "&Tools";
        Glyph = new TBitmap(8, 8, TPixelFormat::pf24bit);   // the painter's from here on
    };
    ReleaseMenuBackground();
    TBitmap b(1, 1);
    int w = 0, h = 0;
    painter.MeasureSkinMenuItem(first, b.Canvas(), w, h);
    painter.MeasureSkinMenuItem(f.Popup->Items()->Items(1), b.Canvas(), w, h);
    EXPECT_EQ(calls, 1);   // once per popup
    EXPECT_EQ(asked, first);
    EXPECT_EQ(painter.ActiveExtraLineWidth(), 20);
    // Hidden by the event: no band.
    m->OnGetMenuExtraLineData = [&](TMenuItem*, String&, String&, TBitmap*& Glyph, bool& Visible) {
        Glyph = new TBitmap(8, 8, TPixelFormat::pf24bit);
        Visible = false;
    };
    ReleaseMenuBackground();
    painter.MeasureSkinMenuItem(first, b.Canvas(), w, h);
    EXPECT_EQ(painter.ActiveExtraLineWidth(), 0);
    m->OnGetMenuExtraLineData = nullptr;
}

// ---- item pictures ----

struct TItemState {
    const char* Name;
    TOwnerDrawState State;
    bool Enabled;
    bool Checked;
    bool Radio;
};
const TItemState ItemStates[] = {
    {"normal", 0, true, false, false},
    {"selected", odSelected, true, false, false},
    {"disabled", odDisabled | odGrayed, false, false, false},
    {"checked", odChecked, true, true, false},
    {"radio", odChecked, true, true, true},
};

constexpr int ItemW = 160;
constexpr int ItemH = 24;

// One row per state of a popup item drawn with Caption into a memory
// bitmap (no window: the painter composes the popup's size itself).
std::unique_ptr<TBitmap> ItemSheet(TqSkinManager& M, const String& Caption)
{
    TqSkinableMenus painter(&M);
    TMenuForm f;
    auto sheet = std::make_unique<TBitmap>(ItemW, ItemH * static_cast<int>(std::size(ItemStates)), TPixelFormat::pf24bit);
    int row = 0;
    for (const TItemState& s : ItemStates) {
        f.Popup->Items()->Clear();
        TMenuItem* item = f.Add(f.Popup->Items(), Caption);
        item->Enabled = s.Enabled;
        item->Checked = s.Checked;
        item->RadioItem = s.Radio;
        ReleaseMenuBackground();
        TBitmap canvasBmp(ItemW, ItemH + 6, TPixelFormat::pf24bit);
        painter.DrawSkinMenuItem(item, canvasBmp.Canvas(), {0, 0, ItemW, ItemH}, s.State);
        BitBlt(sheet->Canvas()->Handle(), 0, row * ItemH, ItemW, ItemH, canvasBmp.Canvas()->Handle(), 0, 0, SRCCOPY);
        ++row;
    }
    ReleaseMenuBackground();
    return sheet;
}

bool SameBitmaps(TBitmap& A, TBitmap& B)
{
    if (A.Width() != B.Width() || A.Height() != B.Height())
        return false;
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x)
            if (GetPixel(A.Canvas()->Handle(), x, y) != GetPixel(B.Canvas()->Handle(), x, y))
                return false;
    return true;
}

int CountColor(TBitmap& B, const TRect& R, TColor Color)
{
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            n += GetPixel(B.Canvas()->Handle(), x, y) == static_cast<COLORREF>(Color & 0xFFFFFF);
    return n;
}

TEST(MenuPainter, ItemPicturesAgainstGoldens)
{
    const bool update = std::getenv("SKIN_GOLDENS") != nullptr && std::string(std::getenv("SKIN_GOLDENS")) == "update";
    for (const char* name : Skins) {
        SCOPED_TRACE(name);
        auto m = LoadShipped(name);
        ASSERT_TRUE(m->SkinData().Loaded);
        auto sheet = ItemSheet(*m, "");
        const std::string golden = std::string(SKIN_GOLDEN_DIR) + "/" + name + "-items.bmp";
        if (update)
            sheet->SaveToFile(WinPath(golden));
        ASSERT_TRUE(fs::exists(golden)) << "no golden " << golden;
        TBitmap expected;
        expected.LoadFromFile(WinPath(golden));
        if (!SameBitmaps(*sheet, expected)) {
            sheet->SaveToFile(WinPath(ScreenshotFolder() + "/menu-" + name + "-items-actual.bmp"));
            ADD_FAILURE() << "item pictures differ from " << golden;
        }
        // Rows differ from each other where the state shows: hot background,
        // check glyphs, the disabled blend.
        auto row = [&](int I) {
            auto r = std::make_unique<TBitmap>(ItemW, ItemH, TPixelFormat::pf24bit);
            BitBlt(r->Canvas()->Handle(), 0, 0, ItemW, ItemH, sheet->Canvas()->Handle(), 0, I * ItemH, SRCCOPY);
            return r;
        };
        auto normal = row(0);
        for (int i = 1; i < static_cast<int>(std::size(ItemStates)); ++i) {
            auto other = row(i);
            EXPECT_FALSE(SameBitmaps(*normal, *other)) << ItemStates[i].Name << " looks like normal";
        }
        // Text: the caption in MENUITEM's font colour (hot colour when selected).
        auto text = ItemSheet(*m, "Open the file");
        const auto& section = m->Skin().Sections[static_cast<std::size_t>(m->FindSectionIndex("MENUITEM"))];
        const TRect textArea{16 + 6 + 6, 0, ItemW, ItemH};
        // (Anti-aliased glyphs: only their solid pixels have the colour exactly.)
        TRect selectedArea = textArea;
        OffsetRect(&selectedArea, 0, ItemH);
        EXPECT_GE(CountColor(*text, textArea, section.FontColor), CountColor(*sheet, textArea, section.FontColor) + 10);
        EXPECT_GE(CountColor(*text, selectedArea, section.HotFontColor),
                  CountColor(*sheet, selectedArea, section.HotFontColor) + 10);
        text->SaveToFile(WinPath(ScreenshotFolder() + "/menu-" + name + "-items.bmp"));
    }
}

TEST(MenuPainter, GdiObjectsFlatOverManyPaints)
{
    auto m = LoadShipped("Clearwater");
    TqSkinableMenus painter(m.get());
    TMenuForm f;
    TMenuItem* a = f.Add(f.Popup->Items(), "Alpha");
    TMenuItem* b = f.Add(f.Popup->Items(), "-");
    TMenuItem* c = f.Add(f.Popup->Items(), "-Caption-");
    c->Checked = true;
    TBitmap target(ItemW, 200, TPixelFormat::pf24bit);
    auto paint = [&](int I) {
        if (I % 50 == 0)
            ReleaseMenuBackground();
        painter.DrawSkinMenuItem(a, target.Canvas(), {0, 0, ItemW, ItemH}, I % 2 ? TOwnerDrawState{odSelected} : TOwnerDrawState{0});
        painter.DrawSkinMenuItem(b, target.Canvas(), {0, ItemH, ItemW, ItemH + 2}, 0);
        painter.DrawSkinMenuItem(c, target.Canvas(), {0, ItemH + 2, ItemW, 2 * ItemH + 2}, odChecked);
    };
    for (int i = 0; i < 20; ++i)   // caches and fonts made once
        paint(i);
    const int before = paint_probe::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i)
        paint(i);
    ReleaseMenuBackground();
    const int after = paint_probe::GdiObjectCount();
    EXPECT_LE(after, before + 2) << "GDI objects before " << before << ", after " << after;
}

TEST(MenuPainter, HookingAndDeactivating)
{
    auto m = LoadShipped("Terracotta");
    TqSkinableMenus painter(m.get());
    TMenuForm f;
    TMenuItem* file = f.Add(f.Bar->Items(), "File");
    TMenuItem* open = f.Add(file, "Open");
    TMenuItem* own = f.Add(f.Popup->Items(), "Own");
    TMenuItem* plain = f.Add(f.Popup->Items(), "Plain");
    int ownDraws = 0;
    own->OnAdvancedDrawItem = [&](TObject*, TCanvas*, const TRect&, TOwnerDrawState) { ++ownDraws; };
    f.Form->SetMenu(f.Bar);
    f.Form->Show();
    gui::Settle();

    painter.UpdateActive();   // the skin is loaded
    EXPECT_TRUE(painter.Active());
    EXPECT_TRUE(f.Popup->OwnerDraw());
    EXPECT_TRUE(f.Bar->OwnerDraw());
    EXPECT_NE(f.Popup->MenuAnimation & maNone, 0u);
    EXPECT_TRUE(painter.IsHooked(plain));
    EXPECT_TRUE(painter.IsHooked(open));
    EXPECT_TRUE(painter.IsHooked(file));
    EXPECT_FALSE(painter.IsHooked(own));   // the application's handler stays
    EXPECT_TRUE(own->OnMeasureItem);
    // The menu bar became owner-drawn.
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(GetMenu(f.Form->Handle()), 0, TRUE, &info));
    EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u);

    painter.SetActive(false);
    EXPECT_FALSE(painter.Active());
    EXPECT_FALSE(f.Popup->OwnerDraw());
    EXPECT_FALSE(f.Bar->OwnerDraw());
    EXPECT_EQ(f.Popup->MenuAnimation & maNone, 0u);
    EXPECT_FALSE(plain->OnAdvancedDrawItem);
    EXPECT_FALSE(plain->OnMeasureItem);
    EXPECT_FALSE(open->OnAdvancedDrawItem);
    EXPECT_FALSE(file->OnMeasureItem);
    EXPECT_TRUE(own->OnAdvancedDrawItem);   // still the application's
    ASSERT_TRUE(GetMenuItemInfoW(GetMenu(f.Form->Handle()), 0, TRUE, &info));
    EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u);
    // Built popup menus are plain again.
    HMENU built = f.Popup->Items()->BuildPopupHandle();
    ASSERT_TRUE(GetMenuItemInfoW(built, 0, TRUE, &info));
    EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u);
    DestroyMenu(built);
    // A single item hooked by itself.
    painter.HookMenuItem(plain, true);
    EXPECT_TRUE(painter.IsHooked(plain));
    EXPECT_TRUE(f.Popup->OwnerDraw());
    painter.HookMenuItem(plain, false);
    EXPECT_FALSE(plain->OnAdvancedDrawItem);
    f.Form->SetMenu(nullptr);
}

// A form's menu bar drawn by the painter over the frame picture that the
// form's skin provider hands over (here a stand-in: a bitmap of one colour).
TEST(MenuPainter, MenuBarItems)
{
    auto m = LoadShipped("Clearwater");
    TqSkinableMenus painter(m.get());
    TMenuForm f;
    TMenuItem* file = f.Add(f.Bar->Items(), "File");
    f.Add(file, "Open");
    TMenuItem* edit = f.Add(f.Bar->Items(), "Edit");
    f.Add(edit, "Copy");
    edit->Enabled = false;
    constexpr COLORREF frameColour = RGB(0x20, 0xA0, 0x40);
    TBitmap frame(400, 60, TPixelFormat::pf24bit);
    frame.Canvas()->Brush()->SetColor(frameColour);
    frame.Canvas()->FillRect({0, 0, 400, 60});
    int lookups = 0;
    MenuBarCacheLookup = [&](TCustomForm* Form, TBitmap*& Cache, TPoint& Offset) {
        ++lookups;
        EXPECT_EQ(Form, f.Form.get());
        Cache = &frame;
        Offset = {0, 20};
        return true;
    };
    f.Form->SetMenu(f.Bar);
    f.Form->Show();
    gui::Settle();
    painter.UpdateActive();
    DrawMenuBar(f.Form->Handle());
    gui::Settle();
    RedrawWindow(f.Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    gui::Settle();
    EXPECT_GT(lookups, 0) << "the bar's items were not drawn by the painter";
    // The bar as the screen shows it: its items' rectangles in window coordinates.
    HMENU bar = GetMenu(f.Form->Handle());
    RECT wr, item;
    GetWindowRect(f.Form->Handle(), &wr);
    ASSERT_TRUE(GetMenuItemRect(f.Form->Handle(), bar, 0, &item));
    const int y0 = item.top - wr.top, y1 = item.bottom - wr.top;
    EXPECT_EQ(y1 - y0, GetSystemMetrics(SM_CYMENU) - 1);
    gui::SaveScreenshot(f.Form->Handle(), WinPath(ScreenshotFolder() + "/menu-bar-Clearwater.png"));
    // The window as the screen shows it, frame and bar included.
    TBitmap shot(wr.right - wr.left, wr.bottom - wr.top, TPixelFormat::pf24bit);
    HDC screenDC = GetDC(nullptr);
    BitBlt(shot.Canvas()->Handle(), 0, 0, shot.Width(), shot.Height(), screenDC, wr.left, wr.top, SRCCOPY);
    ReleaseDC(nullptr, screenDC);
    HDC screen = shot.Canvas()->Handle();
    OffsetRect(&item, -wr.left, -wr.top);
    // Counts of pixels: green-dominated (the stand-in frame shows through)
    // and dark (caption glyphs in MENULINE's dark font colour of this skin).
    auto count = [&](const RECT& R, const std::function<bool(COLORREF)>& Test) {
        int n = 0;
        for (int y = R.top; y < R.bottom; ++y)
            for (int x = R.left; x < R.right; ++x)
                n += Test(GetPixel(screen, x, y));
        return n;
    };
    auto green = [](COLORREF P) { return GetGValue(P) > GetRValue(P) + 40 && GetGValue(P) > GetBValue(P) + 40; };
    auto dark = [](COLORREF P) { return GetRValue(P) + GetGValue(P) + GetBValue(P) < 3 * 0x80; };
    RECT disabled;
    ASSERT_TRUE(GetMenuItemRect(f.Form->Handle(), bar, 1, &disabled));
    OffsetRect(&disabled, -wr.left, -wr.top);
    EXPECT_GT(count(item, dark), 20) << "no caption";
    EXPECT_EQ(count(item, green), 0) << "the enabled item shows the frame below it";
    EXPECT_GT(count(disabled, green), (disabled.right - disabled.left) * (disabled.bottom - disabled.top) / 2)
        << "the disabled item is not blended with the frame";
    painter.SetActive(false);
    MenuBarCacheLookup = nullptr;
    f.Form->SetMenu(nullptr);
}

// ---- a real popup ----

struct TPopupWatch {
    HWND Menu = nullptr;
    HRGN Region = nullptr;
    int RegionKind = ERROR;
    bool BackgroundMatches = false;
    TAOR Corners;
    HWND AtCorner = nullptr;
};

// The popup's region, its background's size and a look at a corner hole.
void LookAtPopup(HWND Menu, TqSkinableMenus& Painter, TPopupWatch& Watch, const std::string& Shot)
{
    if (Menu == nullptr)
        return;
    Watch.Menu = Menu;
    RedrawWindow(Menu, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Watch.Region = CreateRectRgn(0, 0, 0, 0);
    Watch.RegionKind = GetWindowRgn(Menu, Watch.Region);
    RECT wr;
    GetWindowRect(Menu, &wr);
    Watch.BackgroundMatches = MenuBackground && MenuBackground->Width() == wr.right - wr.left &&
                              MenuBackground->Height() == wr.bottom - wr.top;
    Watch.Corners = Painter.Corners();
    if (!Watch.Corners.empty())
        Watch.AtCorner = WindowFromPoint({wr.left + Watch.Corners[0].left, wr.top + Watch.Corners[0].top});
    gui::SaveScreenshot(Menu, WinPath(Shot));
}

TEST(MenuPainter, RealPopupWithRegionAndReleasedBackground)
{
    for (const char* name : Skins) {
        SCOPED_TRACE(name);
        auto m = LoadShipped(name);
        TqSkinableMenus painter(m.get());
        TMenuForm f;
        f.Add(f.Popup->Items(), "Open");
        f.Add(f.Popup->Items(), "Save")->ShortCut = scCtrl | 'S';
        f.Add(f.Popup->Items(), "-");
        f.Add(f.Popup->Items(), "Disabled")->Enabled = false;
        f.Add(f.Popup->Items(), "Checked")->Checked = true;
        TMenuItem* sub = f.Add(f.Popup->Items(), "More");
        f.Add(sub, "Inside");
        f.Form->Show();
        gui::Settle();
        painter.UpdateActive();
        ASSERT_TRUE(f.Popup->OwnerDraw());

        TPopupWatch watch;
        const std::string shot = ScreenshotFolder() + "/menu-popup-" + name + ".png";
        menutest::WithOpenPopup(f.Popup, 140, 140, [&](HWND Menu) { LookAtPopup(Menu, painter, watch, shot); });
        gui::Settle();

        ASSERT_NE(watch.Menu, nullptr) << "no popup window seen";
        EXPECT_TRUE(watch.BackgroundMatches) << "the background is not the popup's size";
        ASSERT_EQ(watch.RegionKind, COMPLEXREGION) << "no region cut to the corners";
        // The region: the window less the painter's corners (or the origin pixel).
        RECT bounds;
        GetRgnBox(watch.Region, &bounds);
        HRGN expected = CreateRectRgn(0, 0, bounds.right, bounds.bottom);
        const TAOR& corners = watch.Corners;
        if (corners.empty()) {
            HRGN p = CreateRectRgn(0, 0, 1, 1);
            CombineRgn(expected, expected, p, RGN_DIFF);
            DeleteObject(p);
        }
        for (const TRect& r : corners) {
            HRGN p = CreateRectRgn(r.left, r.top, r.right, r.bottom);
            CombineRgn(expected, expected, p, RGN_DIFF);
            DeleteObject(p);
        }
        EXPECT_TRUE(EqualRgn(expected, watch.Region));
        // A hole of the region is not the popup's.
        if (!watch.Corners.empty()) {
            EXPECT_NE(watch.AtCorner, watch.Menu);
        }
        DeleteObject(expected);
        DeleteObject(watch.Region);
        // Closed: the shared background is released.
        EXPECT_FALSE(MenuBackground);
        painter.SetActive(false);
    }
}

// The manager's own painter: one per manager, and the application window's
// private messages hand it the popup window of an item drawn without one.
TEST(MenuPainter, ManagerHandsPopupWindowsToItsPainter)
{
    auto m = LoadShipped("Basalt");
    ASSERT_TRUE(m->IsDefault());
    TqSkinableMenus* painter = SkinableMenusOf(m.get());
    ASSERT_NE(painter, nullptr);
    EXPECT_EQ(SkinableMenusOf(m.get()), painter);
    EXPECT_EQ(m->SkinableMenus(), painter);
    TMenuForm f;
    TMenuItem* itemToName = f.Add(f.Popup->Items(), "Open");
    f.Add(f.Popup->Items(), "Close");
    f.Form->Show();
    gui::Settle();
    painter->UpdateActive();
    // A skin applied again makes the border width be measured again.
    painter->SetSkinBorderWidth(7);
    m->ApplyLoadedSkin();
    EXPECT_EQ(painter->SkinBorderWidth(), -1);

    HWND seen = nullptr;
    int regionAfterMessage = ERROR;
    menutest::WithOpenPopup(f.Popup, 160, 160, [&](HWND Menu) {
        seen = Menu;
        if (Menu == nullptr)
            return;
        // The region taken away; the manager's message gives it back.
        SetWindowRgn(Menu, nullptr, FALSE);
        SendMessageW(Application->Handle(), 0xBCB3, 0, reinterpret_cast<LPARAM>(itemToName));
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        regionAfterMessage = GetWindowRgn(Menu, r);
        DeleteObject(r);
    });
    gui::Settle();
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(regionAfterMessage, COMPLEXREGION) << "the region was not set again through the manager";
    painter->SetActive(false);
}

} // namespace

// The form skin provider's menu line: the band of the frame under the title
// bar where the form's main menu shows, painted into the frame cache with
// the main menu's items drawn by the skinned menus' painter; the rows the
// menu bar wraps into; the hooking of the form's menus to the painter; and
// the frame picture the painter draws a menu-bar item over.
#include <algorithm>

#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/qSkinProvider.h"
#include "skin/windows/qSkinableMenus.h"

namespace {

// The form's own menus, depth first through the components each one owns.
void HookOwnedMenus(TComponent* Owner, TqSkinableMenus* Painter, bool Value, bool Popups)
{
    for (int i = 0; i < Owner->ComponentCount(); ++i) {
        TComponent* c = Owner->Components(i);
        if (auto* main = dynamic_cast<TMainMenu*>(c)) {
            Painter->HookMainMenu(main, Value);
        } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
            if (Popups)
                Painter->HookMenuItems(popup, Value);
        } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
            if (Popups && dynamic_cast<TMainMenu*>(item->GetParentMenu()) == nullptr)
                Painter->HookItems(item, Value);
        }
        HookOwnedMenus(c, Painter, Value, Popups);
    }
}

// The painter's frame picture of a menu-bar item: the cache of the item's
// form's provider. The cache covers the whole window and the items'
// rectangles are the window's, so the bar needs no offset.
bool ProviderMenuBarCache(TCustomForm* Form, TBitmap*& Cache, TPoint& BarOffset)
{
    TqSkinProvider* provider = Form != nullptr ? GetFormProvider(Form) : nullptr;
    if (provider == nullptr || provider->SkinData() == nullptr || !provider->SkinData()->CacheBmp)
        return false;
    Cache = provider->SkinData()->CacheBmp.get();
    BarOffset = TPoint{0, 0};
    return true;
}

} // namespace

void TqSkinProvider::SetMenuBarLookup()
{
    MenuBarCacheLookup = ProviderMenuBarCache;
}

TqSkinableMenus* TqSkinProvider::MenuPainter() const
{
    TqSkinManager* manager = Manager();
    return manager != nullptr ? dynamic_cast<TqSkinableMenus*>(manager->SkinableMenus()) : nullptr;
}

bool TqSkinProvider::MenuVisible() const
{
    if (FForm == nullptr || FForm->BorderStyle() == bsDialog || FForm->Menu() == nullptr)
        return false;
    const TMenuItem* items = FForm->Menu()->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Visible)
            return true;
    return false;
}

int TqSkinProvider::MenuItemHeight() const
{
    return FForm != nullptr && FForm->Menu() != nullptr ? GetSystemMetrics(SM_CYMENU) - 1 : 0;
}

void TqSkinProvider::WalkMenuBar(const std::function<void(TMenuItem* Item, const TRect& R)>& Visit)
{
    const HWND wnd = FormWnd();
    TMainMenu* menu = FForm != nullptr ? FForm->Menu() : nullptr;
    TqSkinableMenus* painter = MenuPainter();
    HMENU bar = wnd != nullptr ? GetMenu(wnd) : nullptr;
    RECT window{};
    if (menu == nullptr || painter == nullptr || bar == nullptr || !GetWindowRect(wnd, &window))
        return;
    // Every visible item has its place in the platform's bar, drawn here or
    // not, so the places count them all.
    UINT position = 0;
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        TMenuItem* item = menu->Items()->Items(i);
        if (!item->Visible)
            continue;
        const UINT place = position++;
        RECT r{};
        if (!painter->IsHooked(item) || !GetMenuItemRect(wnd, bar, place, &r))
            continue;
        OffsetRect(&r, -window.left, -window.top);
        Visit(item, TRect{r.left, r.top, r.right, r.bottom});
    }
}

int TqSkinProvider::MenuRowCount()
{
    if (FMenuRows >= 0)
        return FMenuRows;
    int rows = 1;
    int x = FW();
    const int room = FormWidth() - 2 * FW() - 2 * BW();
    WalkMenuBar([&](TMenuItem*, const TRect& R) {
        const int w = RectWidth(R);
        if (room < x + w) {
            ++rows;
            x = FW();
        }
        x += w;
    });
    FMenuRows = rows;
    return rows;
}

void TqSkinProvider::PaintMenuLine(const TCacheInfo& CI)
{
    if (!MenuVisible() || MenuItemHeight() <= 0)
        return;
    TqSkinManager* manager = Manager();
    TBitmap* cache = FSkinData->CacheBmp.get();
    const String name =
        !FMenuLineSkin.empty() && manager->FindSectionIndex(FMenuLineSkin) >= 0 ? FMenuLineSkin : String("MENULINE");
    const int section = manager->FindSectionIndex(name);
    if (section < 0)
        return;
    const int top = CH() + FH();
    // Wine lays the bar's rows out one pixel higher than the items the
    // skin measures: the band covers the whole bar down to the client.
    const int height = std::max(MenuRowCount() * MenuItemHeight(), ClientOffsetY() - top);
    PaintSectionWithBorder(section, name, CI, -1, -1, manager, cache, TPoint{0, top},
                           TRect{0, top, cache->Width(), top + height}, FFormActive ? 1 : 0, true);
    // The band before its items, for repainting parts of it.
    FMenuLineBmp->SetSize(FormWidth(), height);
    BitBlt(FMenuLineBmp->Canvas()->Handle(), 0, 0, FormWidth(), height, cache->Canvas()->Handle(), 0, top, SRCCOPY);
    WalkMenuBar([&](TMenuItem* Item, const TRect& R) {
        if (Item->OnAdvancedDrawItem)
            Item->OnAdvancedDrawItem(Item, cache->Canvas(), R, 0);
    });
}

void TqSkinProvider::RepaintMenuItem(TMenuItem* Item, TRect R, unsigned State)
{
    const HWND wnd = FormWnd();
    TMainMenu* menu = FForm != nullptr ? FForm->Menu() : nullptr;
    if (wnd == nullptr || menu == nullptr || !MenuVisible() || Item->GetParentMenu() != menu || GetMenu(wnd) == nullptr ||
        !Item->OnAdvancedDrawItem)
        return;
    TBitmap* cache = FSkinData->CacheBmp.get();
    Item->OnAdvancedDrawItem(Item, cache->Canvas(), R, State);
    CopyToWindow(R);
}

void TqSkinProvider::HookFormMenus(bool Skinned)
{
    TqSkinManager* manager = Manager();
    TqSkinableMenus* painter = MenuPainter();
    if (IsDesigning() || FForm == nullptr || painter == nullptr || manager != TqSkinManager::DefaultManager() ||
        !manager->SkinnedPopups())
        return;
    painter->HookAllForms(Skinned);
    HookOwnedMenus(FForm, painter, Skinned, manager->SkinnedPopups());
}

void TqSkinProvider::UpdateMenuOwnerDraw()
{
    TMainMenu* menu = FForm != nullptr ? FForm->Menu() : nullptr;
    if (menu == nullptr || menu->Items()->Count() == 0)
        return;
    // The bar is built again with its items owner-drawn while skinned.
    FSkinData->BeginUpdate();
    const bool value = Skinned(false);
    if (menu->OwnerDraw() != value)
        menu->SetOwnerDraw(value);
    else
        menu->RebuildBar();
    FSkinData->EndUpdate();
}

void TqSkinProvider::HookMeasuredItem(const MEASUREITEMSTRUCT* Measure)
{
    // The item measured is the one its item data names.
    TMainMenu* menu = FForm != nullptr ? FForm->Menu() : nullptr;
    TqSkinableMenus* painter = MenuPainter();
    if (menu == nullptr || painter == nullptr || Measure->CtlType != ODT_MENU)
        return;
    TMenuItem* item = MenuItemFromData(Measure->itemData);
    if (item != nullptr && item->GetParentMenu() == menu)
        painter->HookMenuItem(item, true);
}

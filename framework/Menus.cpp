#include "framework/Menus.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "framework/Exception.h"
#include "framework/WindowHooks.h"

TPopupMenuHook PopupMenuHook;

namespace {

// Live items by command identifier. Never freed: items freed during static
// destruction still take themselves off.
std::unordered_map<UINT, TMenuItem*>& ItemsByCommand()
{
    static auto* map = new std::unordered_map<UINT, TMenuItem*>;
    return *map;
}

// Live items, to check the item data of owner-draw messages.
std::unordered_set<const TMenuItem*>& LiveItems()
{
    static auto* set = new std::unordered_set<const TMenuItem*>;
    return *set;
}

UINT NewCommand()
{
    static UINT next = 0x1000;
    auto& map = ItemsByCommand();
    do
        next = next >= 0x7FFF ? 0x1000 : next + 1;
    while (map.count(next) != 0);
    return next;
}

// The window that owns a pop-up menu shown while no window of the program
// is active: a hidden top-level window (a message-only one cannot own a menu).
HWND MenuOwnerWindow()
{
    static HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    // It receives the owner-draw messages of the menus it owns.
    static TWindowHook hook = HookWndProc(wnd, [](TMessage& Message, const TCallPrevious& Previous) {
        if (Message.Msg == WM_MEASUREITEM && MenuMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)))
            Message.Result = 1;
        else if (Message.Msg == WM_DRAWITEM && MenuDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)))
            Message.Result = 1;
        else
            Previous(Message);
    });
    return wnd;
}

struct TMenuDestroyer {
    void operator()(HMENU Menu) const { DestroyMenu(Menu); }
};
// A Win32 menu that is destroyed (with its sub-menus) when it goes out of
// scope unless released, so that no error path leaks a partly built one.
using TMenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDestroyer>;

} // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NewCommand())
{
    ItemsByCommand()[FCommand] = this;
    LiveItems().insert(this);
}

TMenuItem::~TMenuItem()
{
    Destroying();
    ItemsByCommand().erase(FCommand);
    LiveItems().erase(this);
    for (TMenuItem* item : FItems)
        item->FParent = nullptr;
    FItems.clear();
    if (FParent != nullptr)
        FParent->Remove(this);
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (Item->FParent != nullptr)
        throw EInvalidOperation("The menu item is already in a menu");
    if (Index < 0 || Index > Count())
        throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
    if (Item->Owner() == nullptr)
        InsertComponent(Item);
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    Item->FParent = nullptr;
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        Remove(FItems.back());
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TBitmap* TMenuItem::Bitmap()
{
    if (!FBitmap)
        FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

bool TMenuItem::HasBitmap() const
{
    return FBitmap && !FBitmap->Empty();
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* item = this;
    while (item->FParent != nullptr)
        item = item->FParent;
    return item->FMenu;
}

HMENU TMenuItem::BuildPopupHandle() const
{
    TMenuHandle menu(CreatePopupMenu());
    if (!menu)
        throw EOSError("Cannot create a menu (error " + std::to_string(GetLastError()) + ")");
    AppendItemsTo(menu.get());
    return menu.release();
}

void TMenuItem::AppendItemsTo(HMENU Menu) const
{
    const TMenu* parentMenu = GetParentMenu();
    const bool ownerDraw = parentMenu != nullptr && parentMenu->OwnerDraw();
    for (const TMenuItem* item : FItems) {
        if (!item->Visible)
            continue;
        UINT flags = MF_SEPARATOR;
        UINT_PTR id = 0;
        WideString caption;
        TMenuHandle sub;
        if (!item->IsLine()) {
            flags = MF_STRING | (item->Enabled ? 0 : MF_GRAYED) | (item->Checked ? MF_CHECKED : 0);
            id = item->FCommand;
            caption = StrToWide(item->Caption);
            if (item->ShortCut != 0)
                caption += L"\t" + StrToWide(ShortCutToText(item->ShortCut));
            if (item->Count() > 0) {
                flags |= MF_POPUP;
                sub.reset(item->BuildPopupHandle());
                id = reinterpret_cast<UINT_PTR>(sub.get());
            }
        }
        if (item->Break == TMenuBreak::mbBreak)
            flags |= MF_MENUBREAK;
        else if (item->Break == TMenuBreak::mbBarBreak)
            flags |= MF_MENUBARBREAK;
        // An owner-draw item carries the item itself as its data.
        const wchar_t* data = item->IsLine() ? nullptr : caption.c_str();
        if (ownerDraw) {
            flags |= MF_OWNERDRAW;
            data = reinterpret_cast<const wchar_t*>(item);
        }
        if (!AppendMenuW(Menu, flags, id, data))
            throw EOSError("Cannot add a menu item (error " + std::to_string(GetLastError()) + ")");
        (void)sub.release();   // from here on the menu destroys it
        if (item->RadioItem && !item->IsLine()) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            const UINT position = static_cast<UINT>(GetMenuItemCount(Menu) - 1);
            GetMenuItemInfoW(Menu, position, TRUE, &info);
            info.fType |= MFT_RADIOCHECK;
            SetMenuItemInfoW(Menu, position, TRUE, &info);
        }
        if (item->Default && !item->IsLine())
            SetMenuDefaultItem(Menu, item->FCommand, FALSE);
    }
}

TMenuItem* NewMenuItem(TMenu* Menu, const String& Name, const String& Caption, TNotifyEvent OnClick)
{
    auto* item = new TMenuItem(Menu);
    item->SetName(Name);
    item->Caption = Caption;
    item->OnClick = std::move(OnClick);
    Menu->Items()->Add(item);
    return item;
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(this))
{
    FItems->FMenu = this;
}

void TMenu::SetOwnerDraw(bool Value)
{
    if (FOwnerDraw == Value)
        return;
    FOwnerDraw = Value;
    MenuChanged();
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner)
{
}

HMENU TMainMenu::BuildMenuBar() const
{
    TMenuHandle menu(CreateMenu());
    if (!menu)
        throw EOSError("Cannot create a menu (error " + std::to_string(GetLastError()) + ")");
    Items()->AppendItemsTo(menu.get());
    return menu.release();
}

void TMainMenu::RebuildBar()
{
    if (FWindow == nullptr || !IsWindow(FWindow) || IsDestroying())
        return;
    HMENU old = GetMenu(FWindow);
    TMenuHandle bar(BuildMenuBar());
    if (SetMenu(FWindow, bar.get()))
        (void)bar.release();
    if (old != nullptr && GetMenu(FWindow) != old)
        DestroyMenu(old);
    DrawMenuBar(FWindow);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner)
{
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

void TPopupMenu::Popup(int X, int Y)
{
    if (FPopupComponent != nullptr)
        FPopupComponent->FreeNotification(this);
    if (OnPopup)
        OnPopup(this);
    const TMenuHandle menu(Items()->BuildPopupHandle());
    UINT command = 0;
    if (PopupMenuHook) {
        command = PopupMenuHook(this, menu.get(), X, Y);
    } else {
        HWND owner = GetActiveWindow();
        if (owner == nullptr)
            owner = MenuOwnerWindow();
        // The owner must be foreground, or the menu does not close when
        // the user clicks elsewhere.
        SetForegroundWindow(owner);
        const UINT animation = (MenuAnimation & maNone) != 0 ? TPM_NOANIMATION : 0;
        command = static_cast<UINT>(
            TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | animation, X, Y, 0, owner, nullptr));
        PostMessageW(owner, WM_NULL, 0, 0);
    }
    if (command != 0)
        DispatchMenuCommand(command);
}

bool DispatchMenuCommand(UINT Command)
{
    auto& map = ItemsByCommand();
    auto it = map.find(Command);
    if (it == map.end())
        return false;
    it->second->Click();
    return true;
}

TMenuItem* MenuItemFromData(ULONG_PTR Data)
{
    auto* item = reinterpret_cast<TMenuItem*>(Data);
    return LiveItems().count(item) != 0 ? item : nullptr;
}

bool MenuMeasureItem(MEASUREITEMSTRUCT* Item)
{
    if (Item->CtlType != ODT_MENU)
        return false;
    TMenuItem* item = MenuItemFromData(Item->itemData);
    if (item == nullptr)
        return false;
    HDC dc = GetDC(nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc);
    // Without a handler: the caption's size in the canvas's font.
    const TSize size = canvas.TextExtent(item->IsLine() ? String(" ") : item->Caption);
    int width = item->IsLine() ? 0 : size.cx + 32;
    int height = item->IsLine() ? 8 : std::max<int>(size.cy + 4, GetSystemMetrics(SM_CYMENU));
    try {
        if (item->OnMeasureItem)
            item->OnMeasureItem(item, &canvas, width, height);
    } catch (...) {
        canvas.SetHandle(nullptr);
        ReleaseDC(nullptr, dc);
        throw;
    }
    canvas.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    Item->itemWidth = static_cast<UINT>(std::max(width, 0));
    Item->itemHeight = static_cast<UINT>(std::max(height, 0));
    return true;
}

namespace {

// The parts of the item being drawn that its handler keeps (KeepMenuItemPart).
std::vector<TRect>& KeptParts()
{
    static auto* parts = new std::vector<TRect>;
    return *parts;
}

} // namespace

void KeepMenuItemPart(const TRect& R)
{
    KeptParts().push_back(R);
}

bool MenuDrawItem(const DRAWITEMSTRUCT* Item)
{
    if (Item->CtlType != ODT_MENU)
        return false;
    TMenuItem* item = MenuItemFromData(Item->itemData);
    if (item == nullptr)
        return false;
    KeptParts().clear();
    TCanvas canvas;
    canvas.SetHandle(Item->hDC);
    const TOwnerDrawState state = OwnerDrawStateOf(Item->itemState);
    if (item->OnAdvancedDrawItem) {
        item->OnAdvancedDrawItem(item, &canvas, Item->rcItem, state);
    } else {
        // Without a handler: the system's menu colours and the caption.
        const bool selected = (state & odSelected) != 0;
        canvas.Brush()->SetColor(selected ? clHighlight : clMenu);
        canvas.FillRect(Item->rcItem);
        if (!item->IsLine()) {
            canvas.Font()->SetColor(selected ? clHighlightText : ((state & odGrayed) != 0 ? clGrayText : clMenuText));
            canvas.Brush()->SetStyle(TBrushStyle::bsClear);
            TRect r = Item->rcItem;
            r.left += 16;
            canvas.DrawTextRect(item->Caption, r, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS);
        }
    }
    // After the canvas has given the context's state back: what the
    // platform draws next leaves the kept parts alone.
    canvas.SetHandle(nullptr);
    for (const TRect& r : KeptParts())
        ExcludeClipRect(Item->hDC, r.left, r.top, r.right, r.bottom);
    KeptParts().clear();
    return true;
}

String ShortCutToText(TShortCut ShortCut)
{
    const WORD key = ShortCut & 0xFF;
    if (key == 0)
        return "";
    String name;
    if (key >= VK_F1 && key <= VK_F24)
        name = "F" + std::to_string(key - VK_F1 + 1);
    else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        name = String(1, static_cast<char>(key));
    else {
        static const std::pair<WORD, const char*> names[] = {
            {VK_BACK, "BkSp"}, {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
            {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"},
            {VK_HOME, "Home"}, {VK_LEFT, "Left"}, {VK_UP, "Up"}, {VK_RIGHT, "Right"},
            {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}};
        for (const auto& [vk, text] : names)
            if (vk == key)
                name = text;
        if (name.empty())
            return "";
    }
    String text;
    if ((ShortCut & scShift) != 0)
        text += "Shift+";
    if ((ShortCut & scCtrl) != 0)
        text += "Ctrl+";
    if ((ShortCut & scAlt) != 0)
        text += "Alt+";
    return text + name;
}

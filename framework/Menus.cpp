#include "framework/Menus.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <unordered_map>

#include "framework/Codepage.h"
#include "framework/Exception.h"

TPopupMenuHook PopupMenuHook;

namespace {

// Live items by command identifier. Never freed: items freed during static
// destruction still take themselves off.
std::unordered_map<UINT, TMenuItem*>& ItemsByCommand()
{
    static auto* map = new std::unordered_map<UINT, TMenuItem*>;
    return *map;
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
}

TMenuItem::~TMenuItem()
{
    Destroying();
    ItemsByCommand().erase(FCommand);
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

String ShortCutToText(TShortCut ShortCut)
{
    const Word key = ShortCut & 0xFF;
    if (key == 0)
        return String();
    String text;
    if (ShortCut & scShift)
        text += "Shift+";
    if (ShortCut & scCtrl)
        text += "Ctrl+";
    if (ShortCut & scAlt)
        text += "Alt+";
    if (key >= VK_F1 && key <= VK_F24)
        text += "F" + std::to_string(key - VK_F1 + 1);
    else
        text += static_cast<char>(key);
    return text;
}

HMENU TMenuItem::BuildPopupHandle() const
{
    TMenuHandle menu(CreatePopupMenu());
    if (!menu)
        throw EOSError("Cannot create a menu (error " + std::to_string(GetLastError()) + ")");
    for (const TMenuItem* item : FItems) {
        if (!item->Visible)
            continue;
        UINT flags = MF_SEPARATOR;
        UINT_PTR id = 0;
        WideString caption;
        TMenuHandle sub;
        if (!item->IsLine()) {
            flags = MF_STRING | (item->Enabled ? 0 : MF_GRAYED) | (item->Checked ? MF_CHECKED : 0) |
                    (item->Break == mbBreak ? MF_MENUBREAK : item->Break == mbBarBreak ? MF_MENUBARBREAK : 0);
            id = item->FCommand;
            caption = StrToWide(item->ShortCut != 0 ? item->Caption + "\t" + ShortCutToText(item->ShortCut)
                                                    : item->Caption);
            if (item->Count() > 0) {
                flags |= MF_POPUP;
                sub.reset(item->BuildPopupHandle());
                id = reinterpret_cast<UINT_PTR>(sub.get());
            }
        }
        if (!AppendMenuW(menu.get(), flags, id, item->IsLine() ? nullptr : caption.c_str()))
            throw EOSError("Cannot add a menu item (error " + std::to_string(GetLastError()) + ")");
        (void)sub.release();   // from here on the menu destroys it
        if (item->RadioItem && !item->IsLine()) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            const UINT position = static_cast<UINT>(GetMenuItemCount(menu.get()) - 1);
            GetMenuItemInfoW(menu.get(), position, TRUE, &info);
            info.fType |= MFT_RADIOCHECK;
            SetMenuItemInfoW(menu.get(), position, TRUE, &info);
        }
    }
    return menu.release();
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(this))
{
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
        command = static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, X, Y, 0, owner, nullptr));
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

#include "framework/Menus.h"

#include <algorithm>
#include <unordered_map>

#include "framework/Codepage.h"
#include "framework/Exception.h"
#include "framework/Form.h"

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

HMENU TMenuItem::BuildPopupHandle() const
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        throw EOSError("Cannot create a menu (error " + std::to_string(GetLastError()) + ")");
    for (const TMenuItem* item : FItems) {
        if (!item->Visible)
            continue;
        if (item->IsLine()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (!item->Enabled)
            flags |= MF_GRAYED;
        if (item->Checked)
            flags |= MF_CHECKED;
        UINT_PTR id = item->FCommand;
        if (item->Count() > 0) {
            flags |= MF_POPUP;
            id = reinterpret_cast<UINT_PTR>(item->BuildPopupHandle());
        }
        AppendMenuW(menu, flags, id, StrToWide(item->Caption).c_str());
    }
    return menu;
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
    HMENU menu = Items()->BuildPopupHandle();
    UINT command = 0;
    try {
        if (PopupMenuHook) {
            command = PopupMenuHook(this, menu, X, Y);
        } else {
            HWND owner = GetActiveWindow();
            if (owner == nullptr)
                owner = MenuOwnerWindow();
            // The owner must be foreground, or the menu does not close when
            // the user clicks elsewhere.
            SetForegroundWindow(owner);
            command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, X, Y, 0, owner, nullptr));
            PostMessageW(owner, WM_NULL, 0, 0);
        }
    } catch (...) {
        DestroyMenu(menu);
        throw;
    }
    DestroyMenu(menu);
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

#pragma once
// Menus: a tree of TMenuItem, and the pop-up menu that shows it at a point.
// The Win32 menu is built afresh from the items each time it is shown, so
// that Caption, Enabled, Checked and Visible changes made by OnPopup (or at
// any time before) appear in it. A caption of "-" is a separator.

#include <functional>
#include <vector>

#include <windows.h>

#include "framework/Component.h"

// Where an item starts: in the running column, or at the top of a new one
// (mbBreak; mbBarBreak with a line between the columns).
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
// A key with its modifiers: the virtual key in the low byte, scShift,
// scCtrl and scAlt above it; 0 for none.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
// The text a menu shows for a shortcut ("Alt+F4"); empty for 0.
String ShortCutToText(TShortCut ShortCut);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    String Caption;
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    // A checked radio item shows a dot instead of a check mark.
    bool RadioItem = false;
    TMenuBreak Break = mbNone;
    // Shown right of the caption; the menu does not act on it.
    TShortCut ShortCut = 0;
    TNotifyEvent OnClick;

    // Fires OnClick.
    virtual void Click();
    bool IsLine() const { return Caption == "-"; }

    // Sub-items. An added item without an owner is owned by this item.
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)); }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out of the tree (it stays its owner's).
    void Remove(TMenuItem* Item);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const { return FParent != nullptr ? FParent->IndexOf(this) : -1; }

    // The command identifier of the item in the Win32 menus built from it.
    UINT Command() const { return FCommand; }

    // A pop-up Win32 menu of the visible sub-items; the caller destroys it.
    HMENU BuildPopupHandle() const;

private:
    std::vector<TMenuItem*> FItems;   // observed: owned by their owners
    TMenuItem* FParent = nullptr;
    UINT FCommand;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    // The root item, whose sub-items are the menu's entries.
    TMenuItem* Items() const { return FItems; }

private:
    TMenuItem* FItems;   // owned by this menu
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);

    // Shows the menu at a screen point and clicks the chosen item; OnPopup
    // runs first.
    virtual void Popup(int X, int Y);
    // The control whose right click shows the menu, while it is shown.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    // The menu shows on a right click of its controls.
    bool AutoPopup = true;

    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* FPopupComponent = nullptr;
};

// Chooses an item instead of the user (tests): given the built Win32 menu
// and the point, returns the command of the item to click, 0 for none.
using TPopupMenuHook = std::function<UINT(TPopupMenu* Menu, HMENU Handle, int X, int Y)>;
extern TPopupMenuHook PopupMenuHook;

// Clicks the menu item with this command identifier (WM_COMMAND of a
// menu); false when no item has it.
bool DispatchMenuCommand(UINT Command);

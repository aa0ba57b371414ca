#pragma once
// Menus: a tree of TMenuItem, and the pop-up menu that shows it at a point.
// The Win32 menu is built afresh from the items each time it is shown, so
// that Caption, Enabled, Checked and Visible changes made by OnPopup (or at
// any time before) appear in it. A caption of "-" is a separator.
//
// Owner-draw: when a menu's OwnerDraw is on, its items are built as
// owner-draw Win32 items carrying the TMenuItem as item data; the window that
// owns the shown menu (a form, or the hidden owner of a pop-up shown without
// an active window) hands WM_MEASUREITEM and WM_DRAWITEM to the item's
// OnMeasureItem and OnAdvancedDrawItem (unbound: a plain default).

#include <functional>
#include <memory>
#include <vector>

#include <windows.h>

#include "framework/Component.h"
#include "framework/Graphics.h"

class TBitmap;
class TImageList;
class TMenu;

// A key (low byte: virtual-key code) with modifiers.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
// "Ctrl+S", "Shift+Del", "F5", ...; empty for 0.
String ShortCutToText(TShortCut ShortCut);

using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

// mbBreak starts a new column, mbBarBreak one with a separator line.
enum class TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    String Caption;
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    bool Default = false;
    bool RadioItem = false;
    TMenuBreak Break = TMenuBreak::mbNone;
    TShortCut ShortCut = 0;
    // Index of the item's picture in its menu's Images, -1 for none.
    int ImageIndex = -1;
    // The item's own picture (made empty on first use).
    TBitmap* Bitmap();
    bool HasBitmap() const;
    TNotifyEvent OnClick;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;
    // The menu whose tree holds the item, nullptr for a loose item.
    TMenu* GetParentMenu() const;

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
    // Appends the visible sub-items to Menu (owner-draw when the parent
    // menu's OwnerDraw is on).
    void AppendItemsTo(HMENU Menu) const;

private:
    friend class TMenu;
    std::vector<TMenuItem*> FItems;   // observed: owned by their owners
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;           // set on the root item of a menu
    UINT FCommand;
    std::unique_ptr<TBitmap> FBitmap;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    // The root item, whose sub-items are the menu's entries.
    TMenuItem* Items() const { return FItems; }
    // Items are drawn by their OnAdvancedDrawItem and measured by OnMeasureItem.
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    // Pictures of the items by ImageIndex (observed).
    TImageList* Images = nullptr;

protected:
    // The Win32 menu shown for this menu must be built again.
    virtual void MenuChanged() {}

private:
    TMenuItem* FItems;   // owned by this menu
    bool FOwnerDraw = false;
};

// A new item of Menu, owned by it and added last to its entries ("-" makes a
// separator).
TMenuItem* NewMenuItem(TMenu* Menu, const String& Name, const String& Caption, TNotifyEvent OnClick);

// A form's menu bar. The form's window owns the Win32 menu built from it
// (Windows destroys it with the window); a change of OwnerDraw builds it
// again.
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    // A menu bar of the visible top-level items; the caller (or the window
    // it is given to) destroys it.
    HMENU BuildMenuBar() const;
    // The window showing the menu bar (set by the form), nullptr for none.
    HWND WindowHandle() const { return FWindow; }
    void SetWindowHandle(HWND Wnd) { FWindow = Wnd; }
    // Builds the bar again and gives it to the window.
    void RebuildBar();

protected:
    void MenuChanged() override { RebuildBar(); }

private:
    HWND FWindow = nullptr;
};

// Flags of TPopupMenu::MenuAnimation (TPM_HORPOSANIMATION... / TPM_NOANIMATION).
enum TMenuAnimationFlag : unsigned {
    maLeftToRight = 1, maRightToLeft = 2, maTopToBottom = 4, maBottomToTop = 8, maNone = 16
};
using TMenuAnimation = unsigned;

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
    TMenuAnimation MenuAnimation = 0;

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

// Owner-draw messages of menus, for the window that owns a shown menu:
// true when the message was a menu item's (and has been answered).
bool MenuMeasureItem(MEASUREITEMSTRUCT* Item);
bool MenuDrawItem(const DRAWITEMSTRUCT* Item);
// The item that Win32 item data names, nullptr when it is no live item.
TMenuItem* MenuItemFromData(ULONG_PTR Data);
// Called by an item's OnAdvancedDrawItem: the part R of the item (in the
// drawing's coordinates) stays as the handler drew it. The platform draws a
// sub-menu's arrow over an owner-drawn item after the handler returns; the
// parts named here are taken out of the device context's clipping for that.
void KeepMenuItemPart(const TRect& R);

// Clicks the menu item with this command identifier (WM_COMMAND of a
// menu); false when no item has it.
bool DispatchMenuCommand(UINT Command);

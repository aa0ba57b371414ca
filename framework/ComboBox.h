#pragma once
// Combo boxes (the system's COMBOBOX class): csDropDown has an editable
// text with a list to choose from, csDropDownList only the list. The items
// live in the object (Items) and are mirrored into the window.
//
// ItemIndex -1 means no selection and clears the text. Choosing an item
// fires OnSelect and then OnChange, with Text already the chosen item;
// typing into the text fires OnChange. Changes made by code fire nothing.

#include <functional>
#include <memory>

#include "framework/ControlItems.h"
#include "framework/Graphics.h"
#include "framework/WinControl.h"

// The owner-drawn styles are lists too: csOwnerDrawFixed draws items of one
// height (ItemHeight), csOwnerDrawVariable asks OnMeasureItem for each.
enum TComboBoxStyle { csDropDown, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// What an owner-drawn item is when it is drawn.
enum : unsigned {
    odSelected = 1,
    odFocused = 2,
    odDisabled = 4,
    odComboBoxEdit = 8,   // the item shown in the closed box
};
using TOwnerDrawState = unsigned;
// Index -1 draws the closed box without an item.
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(const TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    // Number of items the open list shows without scrolling.
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    // Items kept in order (without regard to case, as the system compares
    // list items): an added item takes its place, switching it on sorts the
    // items there are. An item inserted at an index stays there.
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    // Height of the list's items: the owner-drawn styles' own (0: the
    // font's), else the window's, which its font decides.
    int ItemHeight() const;
    void SetItemHeight(int Value);
    // Most characters the text takes (0: no limit).
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // The canvas an owner-drawn item is drawn on, while OnDrawItem runs.
    TCanvas* Canvas() const { return FCanvas.get(); }

    // Removes the items and the text.
    void Clear();
    // The box's child windows (GetComboBoxInfo): the edit of a csDropDown
    // box (nullptr for csDropDownList) and the drop-down list; nullptr while
    // the box has no window.
    HWND EditHandle() const;
    HWND ListHandle() const;

    bool Focused() const override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    // Draws an item of an owner-drawn style; unassigned, the item's text is drawn.
    TDrawItemEvent OnDrawItem;
    // The height of an item of csOwnerDrawVariable, starting from ItemHeight.
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // The window takes the new reading order's styles.
    void BiDiModeChanged() override;
    void WndProc(TMessage& Message) override;
    void SetTextBuf(const String& Value) override;
    bool WantsSpecialKey(Word Key) override;
    int WindowHeight() const override;
    virtual void Change();
    virtual void Select();
    // Puts the items in order and fills the window again (Sorted switched on).
    virtual void SortItems();
    // Whether the box shows only the list (no text to type).
    bool ListStyle() const { return FStyle != csDropDown; }
    // The room an item of the open list takes, for sizing the list.
    int ListItemHeight() const;

private:
    void CNCommand(TMessage& Message);
    void SelectionChanged();
    void ItemsChanged();
    void SizeDropDown();
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);

    std::unique_ptr<TControlItems> FItems;
    int FItemIndex = -1;          // while there is no window
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    bool FSettingText = false;
    bool FSorted = false;
    int FItemHeight = 0;
    int FMaxLength = 0;
    std::unique_ptr<TCanvas> FCanvas;
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
};

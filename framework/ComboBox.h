#pragma once
// Combo boxes (the system's COMBOBOX class): csDropDown has an editable
// text with a list to choose from, csDropDownList only the list. The items
// live in the object (Items) and are mirrored into the window.
//
// ItemIndex -1 means no selection and clears the text. Choosing an item
// fires OnSelect and then OnChange, with Text already the chosen item;
// typing into the text fires OnChange. Changes made by code fire nothing.

#include "framework/ControlItems.h"
#include "framework/WinControl.h"

enum TComboBoxStyle { csDropDown, csDropDownList };

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

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    void SetTextBuf(const String& Value) override;
    bool WantsSpecialKey(Word Key) override;
    int WindowHeight() const override;
    virtual void Change();
    virtual void Select();

private:
    void CNCommand(TMessage& Message);
    void SelectionChanged();
    void ItemsChanged();
    void SizeDropDown();

    std::unique_ptr<TControlItems> FItems;
    int FItemIndex = -1;          // while there is no window
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    bool FSettingText = false;
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
};

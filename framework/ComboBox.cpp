#include "framework/ComboBox.h"

#include <algorithm>

#include "framework/Codepage.h"
#include "framework/Form.h"

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TControlItems>(this, ComboBoxMessages))
{
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox()
{
    Destroying();
    DestroyHandle();
}

void TCustomComboBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.SysClassName = L"COMBOBOX";
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | (ListStyle() ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    if (FStyle == csOwnerDrawFixed)
        Params.Style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    else if (FStyle == csOwnerDrawVariable)
        Params.Style |= CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
    AddRightToLeftStyles(Params);
}

void TCustomComboBox::BiDiModeChanged()
{
    TWinControl::BiDiModeChanged();
    if (HandleAllocated())
        RecreateWnd();
}

// The window's height includes the open list; the closed box is as high as
// the font makes it, and Height follows the window.
int TCustomComboBox::WindowHeight() const
{
    return Height() + ListItemHeight() * std::max(1, std::min(FDropDownCount, std::max(1, FItems->Count()))) + 4;
}

int TCustomComboBox::ListItemHeight() const
{
    const bool ownerDrawn = FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable;
    return ownerDrawn && FItemHeight > 0 ? FItemHeight + 2 : std::max(16, -Font()->Height() + 6);
}

// The open list is as high as its items need, up to DropDownCount of them
// (past that it scrolls): items added or removed while there is a window
// resize it.
void TCustomComboBox::ItemsChanged()
{
    if (HandleAllocated() && FItems->Count() <= FDropDownCount)
        SizeDropDown();
}

// The window's height is the closed box and the open list together. The
// box takes the height its font needs when the window is created (Height
// follows it), so the list gets its height once that is known.
void TCustomComboBox::SizeDropDown()
{
    SetWindowPos(Handle(), nullptr, 0, 0, Width(), WindowHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::CreateWnd()
{
    TWinControl::CreateWnd();
    if (FMaxLength > 0)
        SendMessageW(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    SizeDropDown();
    FItems->FillWindow(Handle());
    FSettingText = true;
    if (FItemIndex >= 0)
        SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
    else if (FStyle == csDropDown)
        SetWindowTextW(Handle(), StrToWide(FText).c_str());
    FSettingText = false;
}

void TCustomComboBox::DestroyWnd()
{
    FItemIndex = static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
    TWinControl::DestroyWnd();
}

int TCustomComboBox::ItemIndex() const
{
    if (!HandleAllocated())
        return FItemIndex;
    return static_cast<int>(SendMessageW(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    FItemIndex = Value;
    FText = Value >= 0 ? FItems->Strings(Value) : String();
    if (HandleAllocated()) {
        FSettingText = true;
        // CB_SETCURSEL with -1 also empties the edit part.
        SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
        FSettingText = false;
    }
}

void TCustomComboBox::SetTextBuf(const String& Value)
{
    const int index = FItems->IndexOf(Value);
    if (ListStyle()) {
        SetItemIndex(index);
        return;
    }
    SetItemIndex(index);
    FText = Value;
    if (HandleAllocated() && index < 0) {
        FSettingText = true;
        SetWindowTextW(Handle(), StrToWide(Value).c_str());
        FSettingText = false;
    }
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomComboBox::SetSorted(bool Value)
{
    if (Value == FSorted)
        return;
    FSorted = Value;
    FItems->Sorted = Value;
    if (Value)
        SortItems();
}

// Filling the window again empties its text: the text stays as it was.
void TCustomComboBox::SortItems()
{
    if (!HandleAllocated()) {
        FItems->Sort();
        return;
    }
    const int Length = GetWindowTextLengthW(Handle());
    WideString Text(static_cast<std::size_t>(Length) + 1, L'\0');
    GetWindowTextW(Handle(), Text.data(), Length + 1);
    Text.resize(static_cast<std::size_t>(Length));
    FItems->Sort();
    FSettingText = true;
    SetWindowTextW(Handle(), Text.c_str());
    FSettingText = false;
}

int TCustomComboBox::ItemHeight() const
{
    if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable || !HandleAllocated())
        return FItemHeight;
    return static_cast<int>(SendMessageW(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETITEMHEIGHT, 0, 0));
}

// Only owner-drawn items take a height of their own (the system's list
// measures its own items by the font); they are measured when the window
// is made.
void TCustomComboBox::SetItemHeight(int Value)
{
    if (Value <= 0)
        return;
    FItemHeight = Value;
    if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)
        RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    if (HandleAllocated())
        SendMessageW(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomComboBox::SetDropDownCount(int Value)
{
    FDropDownCount = Value;
    BoundsChanged();
}

bool TCustomComboBox::DroppedDown() const
{
    return HandleAllocated() &&
           SendMessageW(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value)
{
    SendMessageW(Handle(), CB_SHOWDROPDOWN, Value ? TRUE : FALSE, 0);
}

void TCustomComboBox::Clear()
{
    FItems->Clear();
    SetItemIndex(-1);
    SetTextBuf(String());
}

bool TCustomComboBox::Focused() const
{
    if (!HandleAllocated())
        return false;
    HWND focus = GetFocus();
    HWND wnd = const_cast<TCustomComboBox*>(this)->Handle();
    return focus != nullptr && (focus == wnd || IsChild(wnd, focus));
}

bool TCustomComboBox::WantsSpecialKey(Word Key)
{
    return (Key == VK_RETURN || Key == VK_ESCAPE) && DroppedDown();
}

void TCustomComboBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    case CN_DRAWITEM: CNDrawItem(Message); break;
    case CN_MEASUREITEM: CNMeasureItem(Message); break;
    default: TWinControl::WndProc(Message); break;
    }
}

void TCustomComboBox::CNDrawItem(TMessage& Message)
{
    const auto* Item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
    TOwnerDrawState State = 0;
    if ((Item->itemState & ODS_SELECTED) != 0)
        State |= odSelected;
    if ((Item->itemState & ODS_FOCUS) != 0)
        State |= odFocused;
    if ((Item->itemState & ODS_DISABLED) != 0)
        State |= odDisabled;
    if ((Item->itemState & ODS_COMBOBOXEDIT) != 0)
        State |= odComboBoxEdit;
    if (!FCanvas)
        FCanvas = std::make_unique<TCanvas>();
    FCanvas->SetHandle(Item->hDC);
    FCanvas->Font()->Assign(Font());
    const bool Selected = (State & odSelected) != 0;
    FCanvas->Brush()->SetColor(Selected ? clHighlight : Color());
    FCanvas->Font()->SetColor(Selected ? clHighlightText : Font()->Color());
    const int Index = static_cast<int>(Item->itemID);
    const TRect R = Item->rcItem;
    try {
        if (OnDrawItem) {
            OnDrawItem(this, Index, R, State);
        } else {
            FCanvas->FillRect(R);
            if (Index >= 0) {
                // The window's text of the item: wide, whatever list the items came from.
                const auto Length = SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(Index), 0);
                if (Length > 0) {
                    WideString Text(static_cast<std::size_t>(Length) + 1, L'\0');
                    SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Text.data()));
                    Text.resize(static_cast<std::size_t>(Length));
                    HDC DC = FCanvas->Handle();
                    SetBkMode(DC, TRANSPARENT);
                    RECT T = R;
                    T.left += 2;
                    DrawTextW(DC, Text.c_str(), static_cast<int>(Text.size()), &T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                }
            }
            if ((State & odFocused) != 0)
                FCanvas->DrawFocusRect(R);
        }
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
    Message.Result = TRUE;
}

void TCustomComboBox::CNMeasureItem(TMessage& Message)
{
    auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    int Height = FItemHeight > 0 ? FItemHeight : std::max(16, -Font()->Height() + 2);
    // Item -1 is the closed box; csOwnerDrawVariable asks for each item.
    if (FStyle == csOwnerDrawVariable && static_cast<int>(Item->itemID) >= 0 && OnMeasureItem)
        OnMeasureItem(this, static_cast<int>(Item->itemID), Height);
    Item->itemHeight = static_cast<UINT>(std::max(1, Height));
    Message.Result = TRUE;
}

void TCustomComboBox::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE: SelectionChanged(); break;
    case CBN_EDITCHANGE: if (!FSettingText) Change(); break;
    case CBN_DROPDOWN: if (OnDropDown) OnDropDown(this); break;
    case CBN_CLOSEUP: if (OnCloseUp) OnCloseUp(this); break;
    case CBN_SETFOCUS: if (TCustomForm* form = GetParentForm(this)) form->FocusChanged(this); break;
    default: break;
    }
    Message.Result = 0;
}

// The edit part takes the chosen item only after CBN_SELCHANGE; set it now,
// so that the events see the new text.
void TCustomComboBox::SelectionChanged()
{
    const int index = ItemIndex();
    if (FStyle == csDropDown && index >= 0) {
        FSettingText = true;
        SetWindowTextW(Handle(), StrToWide(FItems->Strings(index)).c_str());
        FSettingText = false;
    }
    Select();
    Change();
}

void TCustomComboBox::Change()
{
    Perform(CM_CHANGED);
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
}

namespace {

COMBOBOXINFO ComboInfo(const TCustomComboBox& Box)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!Box.HandleAllocated() || !GetComboBoxInfo(const_cast<TCustomComboBox&>(Box).Handle(), &info))
        return COMBOBOXINFO{};
    return info;
}

}   // namespace

HWND TCustomComboBox::EditHandle() const
{
    const COMBOBOXINFO info = ComboInfo(*this);
    // A drop-down list box names itself as its item field: it has no edit.
    return info.hwndItem != info.hwndCombo ? info.hwndItem : nullptr;
}

HWND TCustomComboBox::ListHandle() const { return ComboInfo(*this).hwndList; }

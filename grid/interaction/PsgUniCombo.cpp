// The Unicode combo box and its flat form.
#include "grid/interaction/PsgUniControls.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "grid/interaction/psgcombo.h"
#include "visuals/ProXPVS.h"

// ---------------------------------------------------------------------------
// TCustomUNIComboBox

TCustomUNIComboBox::TCustomUNIComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner), FItems(std::make_unique<TComboBoxStrings>(this))
{
}

TCustomUNIComboBox::~TCustomUNIComboBox()
{
    Destroying();
    DestroyHandle();
}

WideString TCustomUNIComboBox::Text()
{
    return GetWideText(this);
}

void TCustomUNIComboBox::SetText(const WideString& Value)
{
    SetWideText(this, Value);
}

void TCustomUNIComboBox::SetTextBuf(const String& Value)
{
    if (HandleAllocated()) {
        SetWindowTextW(Handle(), StrToWide(Value).c_str());
        return;
    }
    FText = Value;
    FindCaptionHolder(this, WideString())->Caption = StrToWide(Value);
}

int TCustomUNIComboBox::ItemIndex() const
{
    if (!HandleAllocated())
        return FItemIndex;
    return static_cast<int>(SendMessageW(const_cast<TCustomUNIComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
}

void TCustomUNIComboBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->GetCount())
        Value = -1;
    FItemIndex = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
    else
        FindCaptionHolder(this, WideString())->Caption = Value >= 0 ? FItems->Get(Value) : WideString();
}

int TCustomUNIComboBox::WindowHeight() const
{
    return Height() + ListItemHeight() * std::max(1, std::min(DropDownCount(), std::max(1, FItems->GetCount()))) + 4;
}

void TCustomUNIComboBox::SizeList()
{
    SetWindowPos(Handle(), nullptr, 0, 0, Width(), WindowHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomUNIComboBox::CreateWnd()
{
    TCustomComboBox::CreateWnd();
    FItems->FillWindow(Handle());
    SizeList();
    SubclassChildren();
    if (FItemIndex >= 0)
        SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
    else
        RestoreWideCaption(this);
}

// The wide list holds the items (the 8-bit list stays empty).
void TCustomUNIComboBox::SortItems()
{
    FItems->Sort();
}

void TCustomUNIComboBox::DestroyWnd()
{
    FItemIndex = static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
    SaveWideCaption(this);
    FEditHook.Remove();
    FEditWnd = nullptr;
    TCustomComboBox::DestroyWnd();
}

// The edit window's characters come to the combo box first, so that the
// key press sees them as the other Unicode controls do. An exception in the
// handling goes, as for every hooked window, to the application.
void TCustomUNIComboBox::SubclassChildren()
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Handle(), &info) || info.hwndItem == nullptr || info.hwndItem == Handle())
        return;
    FEditWnd = info.hwndItem;
    FEditHook = HookWndProc(FEditWnd, [this, Edit = FEditWnd](TMessage& Message, const TCallPrevious& Previous) {
        if (Message.Msg == WM_NCDESTROY)
            FEditWnd = nullptr;
        else if (ChildMessage(Edit, Message))
            return;
        Previous(Message);
    });
}

bool TCustomUNIComboBox::ChildMessage(HWND Child, TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CHAR: {
        StashWideChar(Message);
        char key = static_cast<char>(Message.WParam & 0xFF);
        if (DoKeyPress(key)) {
            Message.Result = 0;
            return true;
        }
        Message.WParam = (Message.WParam & ~static_cast<WPARAM>(0xFFFF)) | static_cast<unsigned char>(key);
        RestoreWideChar(Message);
        if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && DroppedDown()) {
            SetDroppedDown(false);
            Message.Result = 0;
            return true;
        }
        return false;
    }
    case WM_IME_COMPOSITION:
        if (HandleImeComposition(Child, Message)) {
            Message.Result = 0;
            return true;
        }
        return false;
    default: return false;
    }
}

// Backspace fires only OnKeyPress.
void TCustomUNIComboBox::KeyPress(char& Key)
{
    if (Key == VK_BACK) {
        if (OnKeyPress)
            OnKeyPress(this, Key);
        return;
    }
    TCustomComboBox::KeyPress(Key);
}

// A chosen item's wide text goes into the edit field before the click and
// change events.
void TCustomUNIComboBox::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) != CBN_SELCHANGE) {
        TCustomComboBox::WndProc(Message);
        return;
    }
    const auto index = static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
    if (index >= 0) {
        const LRESULT length = SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        WideString text;
        if (length > 0) {
            text.resize(static_cast<std::size_t>(length) + 1);
            const LRESULT got = SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                                             reinterpret_cast<LPARAM>(text.data()));
            text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        }
        if (Style() == csDropDown)
            SetWindowTextW(Handle(), text.c_str());
    }
    Click();
    Change();
    Message.Result = 0;
}

void TCustomUNIComboBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    default: TCustomComboBox::WndProc(Message); break;
    }
}

// ---------------------------------------------------------------------------
// TPSGUniCustomCombo

TPSGUniCustomCombo::TPSGUniCustomCombo(TComponent* AOwner)
    : TCustomUNIComboBox(AOwner), FButtonWidth(GetSystemMetrics(SM_CXVSCROLL) + 4), FOldColor(Color())
{
    FOldParentColor = ParentColor();
}

TPSGUniCustomCombo::~TPSGUniCustomCombo()
{
    Destroying();
    DestroyHandle();
}

void TPSGUniCustomCombo::SetFlat(bool Value)
{
    FFlat = Value;
    Ctl3D = !Value;
    Invalidate();
}

void TPSGUniCustomCombo::SetEtched(bool Value)
{
    FEtched = Value;
    Invalidate();
}

void TPSGUniCustomCombo::SetButtonWidth(int Value)
{
    if (Value < 14 || Value > 32)
        return;
    FButtonWidth = Value;
    Invalidate();
}

void TPSGUniCustomCombo::SetDropWidth(int Value)
{
    FDropWidth = Value;
    SetComboDropWidth(*this, Value);
}

void TPSGUniCustomCombo::CreateWnd()
{
    TCustomUNIComboBox::CreateWnd();
    SetComboDropWidth(*this, FDropWidth);
}

bool TPSGUniCustomCombo::IsHighlighted() const
{
    if (IsDesigning() || !FocusBorder)
        return false;
    return FMouseInside || Focused();
}

TFlatComboFace TPSGUniCustomCombo::Face() const
{
    TFlatComboFace F = FlatComboFaceOf(*this);
    F.Unicode = true;
    F.Active = IsDesigning() ? Enabled() : FMouseInside || Focused();
    F.DroppedDown = F.Window != nullptr && DroppedDown();
    return F;
}

void TPSGUniCustomCombo::PaintFlat()
{
    if (FFlat && HandleAllocated())
        PaintFlatComboFrame(Face());
}

void TPSGUniCustomCombo::WMPaint(TMessage& Message)
{
    if (!FFlat) {
        TCustomUNIComboBox::WndProc(Message);
        return;
    }
    PaintFlatCombo(Face(), Message, [this](TMessage& Inner) { DefaultHandler(Inner); });
    Message.Result = 0;
}

void TPSGUniCustomCombo::CMMouseEnter(TMessage& Message)
{
    TCustomUNIComboBox::WndProc(Message);
    if (!FMouseInside && EffectivelyEnabled()) {
        FMouseInside = true;
        PaintFlat();
    }
    if (AutoFocus && CanFocus() && !Focused())
        SetFocus();
}

void TPSGUniCustomCombo::CMMouseLeave(TMessage& Message)
{
    TCustomUNIComboBox::WndProc(Message);
    if (FMouseInside) {
        FMouseInside = false;
        PaintFlat();
    }
}

void TPSGUniCustomCombo::CNCommand(TMessage& Message)
{
    const auto code = HIWORD(Message.WParam);
    TCustomUNIComboBox::CNCommand(Message);
    if (code == CBN_DROPDOWN || code == CBN_CLOSEUP)
        InvalidateFlatComboButton(Face());
}

void TPSGUniCustomCombo::DoEnter()
{
    TCustomUNIComboBox::DoEnter();
    if (!IsDesigning())
        PaintFlat();
}

void TPSGUniCustomCombo::DoExit()
{
    TCustomUNIComboBox::DoExit();
    if (!IsDesigning())
        PaintFlat();
}

void TPSGUniCustomCombo::EnabledChanged()
{
    if (FFlat)
        SwapFlatComboColor(*this, FOldColor, FOldParentColor);
    TCustomUNIComboBox::EnabledChanged();
}

void TPSGUniCustomCombo::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); break;
    case WM_NCPAINT: TCustomUNIComboBox::WndProc(Message); PaintFlat(); break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    default: TCustomUNIComboBox::WndProc(Message); break;
    }
}

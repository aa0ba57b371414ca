#include "framework/ListBox.h"

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TControlItems>(this, ListBoxMessages))
{
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox()
{
    Destroying();
    DestroyHandle();
}

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.SysClassName = L"LISTBOX";
    Params.Style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    FItems->FillWindow(Handle());
    SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
}

void TCustomListBox::DestroyWnd()
{
    FItemIndex = static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
    TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex() const
{
    if (!HandleAllocated())
        return FItemIndex;
    return static_cast<int>(SendMessageW(const_cast<TCustomListBox*>(this)->Handle(), LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    FItemIndex = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomListBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    default: TWinControl::WndProc(Message); break;
    }
}

void TCustomListBox::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == LBN_SELCHANGE)
        Click();
    else if (HIWORD(Message.WParam) == LBN_DBLCLK)
        DblClick();
    Message.Result = 0;
}

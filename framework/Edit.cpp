#include "framework/Edit.h"

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.SysClassName = L"EDIT";
    Params.Style |= ES_AUTOHSCROLL;
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    AddRightToLeftStyles(Params);
}

void TCustomEdit::BiDiModeChanged()
{
    TWinControl::BiDiModeChanged();
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::SetMaxLength(int Value)
{
    FMaxLength = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart() const
{
    if (!HandleAllocated())
        return 0;
    DWORD start = 0;
    SendMessageW(const_cast<TCustomEdit*>(this)->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int Value)
{
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

int TCustomEdit::SelLength() const
{
    if (!HandleAllocated())
        return 0;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(const_cast<TCustomEdit*>(this)->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int Value)
{
    const int start = SelStart();
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start + Value);
}

void TCustomEdit::SelectAll()
{
    SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    default: TWinControl::WndProc(Message); break;
    }
}

void TCustomEdit::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == EN_CHANGE)
        Change();
    Message.Result = 0;
}

void TCustomEdit::Change()
{
    Perform(CM_CHANGED);
    if (OnChange)
        OnChange(this);
}

#include "framework/Button.h"

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetParentColor(true);
}

void TButtonControl::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.SysClassName = L"BUTTON";
}

void TButtonControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    default: TWinControl::WndProc(Message); break;
    }
}

void TButtonControl::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED)
        ButtonClicked();
    Message.Result = 0;
}

void TButtonControl::ButtonClicked()
{
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool Value)
{
    FDefault = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETSTYLE, Value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click()
{
    if (ModalResult != mrNone)
        if (TCustomForm* form = GetParentForm(this))
            form->SetModalResult(ModalResult);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGKEY: CMDialogKey(Message); break;
    default: TButtonControl::WndProc(Message); break;
    }
}

void TButton::CMDialogKey(TMessage& Message)
{
    const auto key = static_cast<Word>(Message.WParam);
    const bool mine = (key == VK_RETURN && (FDefault || Focused())) || (key == VK_ESCAPE && Cancel);
    if (mine && Showing() && EffectivelyEnabled()) {
        Click();
        Message.Result = 1;
        return;
    }
    Message.Result = 0;
}

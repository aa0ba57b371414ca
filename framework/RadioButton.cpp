#include "framework/RadioButton.h"

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 113, 17);
}

// A radio button that does not check itself: the object keeps the group
// exclusive among the radio buttons of one parent.
void TRadioButton::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    Params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd()
{
    TButtonControl::CreateWnd();
    SendMessageW(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!Value)
        return;
    if (Parent() != nullptr)
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); other != nullptr && other != this)
                other->SetChecked(false);
    Click();
}

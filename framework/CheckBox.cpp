#include "framework/CheckBox.h"

namespace {

WPARAM ButtonCheck(TCheckBoxState State)
{
    return State == cbChecked ? BST_CHECKED : State == cbGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
}

} // namespace

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 97, 17);
}

// A three-state button that does not change by itself: the object decides
// the next state, so that the cycle and the events are the same for every
// kind of check box.
void TCustomCheckBox::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    Params.Style |= BS_3STATE;
    if (Alignment == taLeftJustify)
        Params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd()
{
    TButtonControl::CreateWnd();
    SendMessageW(Handle(), BM_SETCHECK, ButtonCheck(FState), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState Value)
{
    if (Value == FState)
        return;
    FState = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETCHECK, ButtonCheck(Value), 0);
    Perform(CM_CHANGED);
    Click();
}

void TCustomCheckBox::Toggle()
{
    switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(AllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

void TCustomCheckBox::ButtonClicked()
{
    Toggle();
}

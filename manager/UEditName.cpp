#include "manager/UEditName.h"

#include "framework/NewControl.h"

namespace vantrel {

TFmEditName* FmEditName = nullptr;

TFmEditName::TFmEditName(TComponent* AOwner) : TForm(AOwner)
{
    FmEditName = this;
    SetCaption("名称");
    SetBorderStyle(bsDialog);
    Position = poMainFormCenter;
    SetClientSize(260, 84);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    Edit1 = NewControl<TEdit>(this, this, 12, 12, 236, 21);
    Edit1->SetTabOrder(0);
    BnOk = NewControl<TButton>(this, this, 92, 48, 75, 25, "确定");
    BnOk->ModalResult = mrOk;
    BnOk->SetDefault(true);
    BnCancel = NewControl<TButton>(this, this, 173, 48, 75, 25, "取消");
    BnCancel->ModalResult = mrCancel;
    BnCancel->Cancel = true;
    BeginLoading();
    EndLoading();
    SetActiveControl(Edit1);
}

TFmEditName::~TFmEditName()
{
    DestroyForm();
    if (FmEditName == this)
        FmEditName = nullptr;
}

} // namespace vantrel

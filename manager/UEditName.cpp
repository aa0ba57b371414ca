#include "manager/UEditName.h"

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/NewControl.h"
#include "manager/ProjectCodec.h"

namespace vantrel {

TFmEditName* FmEditName = nullptr;
const char* const ControlCharacterInName = "名称不能包含控制字符！";

TFmEditName::TFmEditName(TComponent* AOwner) : TForm(AOwner)
{
    FmEditName = this;
    SetBorderStyle(bsNone);
    SetClientSize(251, 82);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    Label1 = NewControl<TLabel>(this, this, 12, 17, 40, 13, "Name  ");
    Edit1 = NewControl<TEdit>(this, this, 56, 13, 183, 21);
    Edit1->SetTabOrder(0);
    Button1 = NewControl<TButton>(this, this, 83, 46, 75, 25, "OK");
    Button1->ModalResult = mrOk;
    Button1->SetDefault(true);
    Button2 = NewControl<TButton>(this, this, 164, 46, 75, 25, "Cancel");
    Button2->ModalResult = mrCancel;
    Button2->Cancel = true;
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
    BeginLoading();
    EndLoading();
}

TFmEditName::~TFmEditName()
{
    DestroyForm();
    if (FmEditName == this)
        FmEditName = nullptr;
}

void TFmEditName::FormShow(TObject*)
{
    SetActiveControl(Edit1);
    ShowCentredOverMain(this);
    // Some systems leave the controls unpainted after the animation.
    Invalidate();
    Edit1->Invalidate();
    Button1->Invalidate();
    Button2->Invalidate();
}

void TFmEditName::FormCloseQuery(TObject*, bool& CanClose)
{
    if (ModalResult() != mrOk || !HasControlCharacter(Edit1->Text()))
        return;
    ShowMessage(ControlCharacterInName);
    CanClose = false;
    SetActiveControl(Edit1);
}

void ShowCentredOverMain(TCustomForm* Form)
{
    TCustomForm* main = Application->MainForm;
    RECT m;
    if (main != nullptr && main != Form && main->HandleAllocated() && GetWindowRect(main->Handle(), &m))
        Form->SetBounds(m.left + (m.right - m.left - Form->Width()) / 2, m.top + (m.bottom - m.top - Form->Height()) / 2,
                        Form->Width(), Form->Height());
    AnimateWindow(Form->Handle(), 150, AW_ACTIVATE | AW_CENTER);
}

} // namespace vantrel

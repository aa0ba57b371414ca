#include "manager/UAbout.h"

#include "framework/NewControl.h"

namespace vantrel {

TFmAbout* FmAbout = nullptr;

TFmAbout::TFmAbout(TComponent* AOwner) : TForm(AOwner)
{
    FmAbout = this;
    SetCaption("关于 Vantrel");
    SetBorderStyle(bsDialog);
    Position = poMainFormCenter;
    SetClientSize(300, 120);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    qLabelFX1 = NewControl<TqLabelFX>(this, this, 20, 24, 260, 20, "Vantrel");
    BnOk = NewControl<TButton>(this, this, 112, 80, 75, 25, "确定");
    BnOk->ModalResult = mrOk;
    BnOk->SetDefault(true);
    BnOk->Cancel = true;
    BeginLoading();
    EndLoading();
}

TFmAbout::~TFmAbout()
{
    DestroyForm();
    if (FmAbout == this)
        FmAbout = nullptr;
}

} // namespace vantrel

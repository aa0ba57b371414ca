#include "manager/UAbout.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/NewControl.h"
#include "framework/Screen.h"
#include "manager/UEditName.h"

namespace vantrel {

TFmAbout* FmAbout = nullptr;

String HomePageAddress = "http://www.vantrel.example/";

std::function<void(const String& Address)> OpenAddress = [](const String& Address) {
    const WideString address = StrToWide(Address);
    ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
};

void TOpenHttp::Execute()
{
    // ShellExecute may start a browser through COM: this thread has its own apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    OpenAddress(HomePageAddress);
    if (SUCCEEDED(com))
        CoUninitialize();
}

namespace {

TqLabelFX* NewAboutLabel(TFmAbout* Form, int Left, int Top, const String& Caption, int FontHeight, bool Bold)
{
    auto* label = NewControl<TqLabelFX>(Form, Form, Left, Top, 260, 17, Caption);
    label->SetTransparent(true);
    label->Font()->SetName("Tahoma");
    label->Font()->SetHeight(FontHeight);
    label->Font()->SetColor(clCaptionText);
    if (Bold)
        label->Font()->SetStyle({TFontStyle::fsBold});
    return label;
}

} // namespace

TFmAbout::TFmAbout(TComponent* AOwner) : TForm(AOwner)
{
    FmAbout = this;
    SetBorderStyle(bsNone);
    SetClientSize(293, 114);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    GradientLabel1 = NewControl<TGradientLabel>(this, this, 0, 0, 293, 114);
    GradientLabel1->SetAlign(alClient);
    GradientLabel1->SetColor(clActiveCaption);
    GradientLabel1->SetColorTo(clInactiveCaptionText);
    GradientLabel1->SetGradientType(gtFullHorizontal);
    GradientLabel1->SetCaption("");
    GradientLabel1->OnClick = [this](TObject* Sender) { GradientLabel1Click(Sender); };

    qLabelFX3 = NewAboutLabel(this, 16, 14, "Vantrel v1.1.0", -16, true);
    qLabelFX1 = NewAboutLabel(this, 16, 42, "红外遥控延长器代码管理", -12, false);
    qLabelFX2 = NewAboutLabel(this, 16, 64, HomePageAddress, -11, false);
    qLabelFX2->Font()->SetStyle({TFontStyle::fsUnderline});
    qLabelFX2->SetCursor(crHandPoint);
    qLabelFX2->OnClick = [this](TObject* Sender) { qLabelFX2Click(Sender); };
    qLabelFX4 = NewAboutLabel(this, 16, 86, "版权所有 (C) Vantrel", -11, false);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    BeginLoading();
    EndLoading();
}

TFmAbout::~TFmAbout()
{
    DestroyForm();
    // A browser start that hangs never keeps the program from ending.
    for (auto& thread : FOpenThreads)
        TThread::StopAndFree(thread, 2000);
    if (FmAbout == this)
        FmAbout = nullptr;
}

void TFmAbout::FormShow(TObject*)
{
    ShowCentredOverMain(this);
    ::SetFocus(Handle());
}

void TFmAbout::FormClose(TObject*, TCloseAction&)
{
    if (Application->MainForm != nullptr && Application->MainForm != this && Application->MainForm->HandleAllocated())
        EnableWindow(Application->MainForm->Handle(), TRUE);
}

void TFmAbout::GradientLabel1Click(TObject*)
{
    Close();
}

void TFmAbout::qLabelFX2Click(TObject*)
{
    FOpenThreads.erase(std::remove_if(FOpenThreads.begin(), FOpenThreads.end(),
                                      [](const std::unique_ptr<TThread>& Thread) { return Thread->Finished(); }),
                       FOpenThreads.end());
    FOpenThreads.push_back(TThread::New<TOpenHttp>());
}

} // namespace vantrel

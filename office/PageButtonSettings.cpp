#include "office/PageButtonSettings.h"

TPageButtonSettings::TPageButtonSettings()
    : FNext(std::make_unique<TGdiPlusPicture>()), FPrev(std::make_unique<TGdiPlusPicture>()),
      FList(std::make_unique<TGdiPlusPicture>()), FClose(std::make_unique<TGdiPlusPicture>()),
      FDown(std::make_unique<TGdiPlusPicture>()), FUp(std::make_unique<TGdiPlusPicture>())
{
    // The defaults come from the program's own resources; a missing one
    // leaves its picture empty.
    const HINSTANCE Module = GetModuleHandleW(nullptr);
    FNext->LoadFromRCData(Module, "QJXAONEXT");
    FPrev->LoadFromRCData(Module, "QJXAOPREV");
    FList->LoadFromRCData(Module, "QJXAOLIST");
    FClose->LoadFromRCData(Module, "QJXAOCLOSE");
    FDown->LoadFromRCData(Module, "QJXAODOWN");
    FUp->LoadFromRCData(Module, "QJXAOUP");
    // Attached after the defaults are loaded, so they set no flag.
    for (TGdiPlusPicture* P : {FNext.get(), FPrev.get(), FList.get(), FClose.get()})
        P->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
}

TPageButtonSettings::~TPageButtonSettings() = default;

void TPageButtonSettings::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TPageButtonSettings*>(Source)) {
        SetPageListButton(S->FPageListButton);
        SetCloseButton(S->FCloseButton);
        SetScrollButtonNextPicture(S->FNext.get());
        SetScrollButtonPrevPicture(S->FPrev.get());
        SetPageListButtonPicture(S->FList.get());
        SetCloseButtonPicture(S->FClose.get());
        SetScrollButtonsAlways(S->FScrollButtonsAlways);
        return;
    }
    TPersistent::Assign(Source);
}

void TPageButtonSettings::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPageButtonSettings::PictureChanged(TObject* Sender)
{
    if (Sender == FNext.get())
        NextPictureChanged = true;
    if (Sender == FPrev.get())
        PrevPictureChanged = true;
    Changed();
}

void TPageButtonSettings::SetPageListButton(bool Value)
{
    if (FPageListButton == Value)
        return;
    FPageListButton = Value;
    Changed();
}

void TPageButtonSettings::SetCloseButton(bool Value)
{
    if (FCloseButton == Value)
        return;
    FCloseButton = Value;
    Changed();
}

void TPageButtonSettings::SetScrollButtonsAlways(bool Value)
{
    if (FScrollButtonsAlways == Value)
        return;
    FScrollButtonsAlways = Value;
    Changed();
}

void TPageButtonSettings::SetPicture(TGdiPlusPicture* Target, const TGdiPlusPicture* Value)
{
    // The picture's own change notification records the flag; the settings
    // tell their owner once more after the copy.
    Target->Assign(Value);
    Changed();
}

void TPageButtonSettings::SetScrollButtonNextPicture(const TGdiPlusPicture* Value) { SetPicture(FNext.get(), Value); }
void TPageButtonSettings::SetScrollButtonPrevPicture(const TGdiPlusPicture* Value) { SetPicture(FPrev.get(), Value); }
void TPageButtonSettings::SetPageListButtonPicture(const TGdiPlusPicture* Value) { SetPicture(FList.get(), Value); }
void TPageButtonSettings::SetCloseButtonPicture(const TGdiPlusPicture* Value) { SetPicture(FClose.get(), Value); }

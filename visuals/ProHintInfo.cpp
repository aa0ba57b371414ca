#include "visuals/ProHintInfo.h"

TProHintInfo::TProHintInfo()
    : FPicture(std::make_unique<TGdiPlusPicture>()), FNotes(std::make_unique<TStringList>())
{
}

TProHintInfo::~TProHintInfo() = default;

void TProHintInfo::Assign(const TPersistent* Source)
{
    const auto* Other = dynamic_cast<const TProHintInfo*>(Source);
    if (!Other || Other == this)
        return;
    FTitle = Other->FTitle;
    FNotes->Assign(Other->FNotes.get());
    FShowHelp = Other->FShowHelp;
    FPicture->Assign(Other->FPicture.get());
    FWideTitle = Other->FWideTitle;
    FWideNotes = Other->FWideNotes;
}

void TProHintInfo::SetPicture(const TGdiPlusPicture* Value)
{
    FPicture->Assign(Value);
}

void TProHintInfo::SetNotes(const TStrings* Value)
{
    if (Value)
        FNotes->Assign(Value);
    else
        FNotes->Clear();
}

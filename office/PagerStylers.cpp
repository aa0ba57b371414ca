#include "office/PagerStylers.h"

#include <algorithm>

#include "office/ProOfficePager.h"

TCustomProOfficePagerStyler::TCustomProOfficePagerStyler(TComponent* AOwner)
    : TComponent(AOwner), FTabFont(std::make_unique<TFont>()),
      FGlowButtonAppearance(std::make_unique<TGlowButtonAppearance>())
{
    FTabFont->OnChange = [this](TObject*) { Change(1); };
    FGlowButtonAppearance->OnChange = [this](TObject*) { Change(4); };
}

TCustomProOfficePagerStyler::~TCustomProOfficePagerStyler()
{
    // Pagers that still use this styler fall back to their own.
    const std::vector<TProOfficePager*> Pagers = FPagers;
    for (TProOfficePager* P : Pagers)
        P->StylerFreed(this);
    FPagers.clear();
}

void TCustomProOfficePagerStyler::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TCustomProOfficePagerStyler*>(Source)) {
        FTabFont->Assign(S->FTabFont.get());
        FGlowButtonAppearance->Assign(S->FGlowButtonAppearance.get());
        SetRoundedCorners(S->FRoundedCorners);
        return;
    }
    TComponent::Assign(Source);
}

void TCustomProOfficePagerStyler::SetRoundedCorners(bool Value)
{
    if (FRoundedCorners == Value)
        return;
    FRoundedCorners = Value;
    Change(3);
}

void TCustomProOfficePagerStyler::RegisterPager(TProOfficePager* Pager)
{
    if (Pager && std::find(FPagers.begin(), FPagers.end(), Pager) == FPagers.end())
        FPagers.push_back(Pager);
}

void TCustomProOfficePagerStyler::UnregisterPager(TProOfficePager* Pager)
{
    FPagers.erase(std::remove(FPagers.begin(), FPagers.end(), Pager), FPagers.end());
}

void TCustomProOfficePagerStyler::Change(int Kind)
{
    const std::vector<TProOfficePager*> Pagers = FPagers;
    for (TProOfficePager* P : Pagers)
        P->StylerChanged(Kind);
}

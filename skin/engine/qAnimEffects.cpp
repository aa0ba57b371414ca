#include "skin/engine/qAnimEffects.h"

#include "skin/engine/qSkinManager.h"

TzqBtnEvents ButtonEvents = AllButtonEvents;

void TzqFormAnimation::Assign(const TPersistent* Source)
{
    if (const auto* other = dynamic_cast<const TzqFormAnimation*>(Source)) {
        Active = other->Active;
        Time = other->Time;
        return;
    }
    TPersistent::Assign(Source);
}

void TzqBtnEffects::SetEvents(TzqBtnEvents Value)
{
    if (Value != FEvents)
        FEvents = Value;
    if (Manager != nullptr && Manager->IsDefault())
        ButtonEvents = Value;
}

TzqAnimEffects::TzqAnimEffects()
    : FButtons(std::make_unique<TzqBtnEffects>()), FDialogShow(std::make_unique<TzqDialogShow>()),
      FFormShow(std::make_unique<TzqFormShow>()), FPageChange(std::make_unique<TzqPageChange>()),
      FSkinChanging(std::make_unique<TzqSkinChanging>())
{
}

TzqAnimEffects::~TzqAnimEffects() = default;

void TzqAnimEffects::SetManager(TqSkinManager* Value)
{
    FManager = Value;
    FButtons->Manager = Value;
}

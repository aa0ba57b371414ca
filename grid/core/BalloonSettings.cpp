#include "grid/core/BalloonSettings.h"

void TBalloonSettings::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TBalloonSettings*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    TextColor = S->TextColor;
    BackgroundColor = S->BackgroundColor;
    InitialDelay = S->InitialDelay;
    AutoHideDelay = S->AutoHideDelay;
    ReshowDelay = S->ReshowDelay;
    FEnable = S->FEnable;
}

void TBalloonSettings::SetEnable(bool Value)
{
    FEnable = Value;
    if (OnEnableChange)
        OnEnableChange(this);
}

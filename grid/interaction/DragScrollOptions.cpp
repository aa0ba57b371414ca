#include "grid/interaction/DragScrollOptions.h"

void TDragScrollDelays::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TDragScrollDelays*>(Source)) {
        InitialDelay = S->InitialDelay;
        RepeatDelay = S->RepeatDelay;
    }
}

void TDragScrollMargins::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TDragScrollMargins*>(Source)) {
        TopMargin = S->TopMargin;
        BottomMargin = S->BottomMargin;
        LeftMargin = S->LeftMargin;
        RightMargin = S->RightMargin;
    }
}

TDragScrollOptions::TDragScrollOptions()
    : FDelays(std::make_unique<TDragScrollDelays>()), FMargins(std::make_unique<TDragScrollMargins>())
{
}

TDragScrollOptions::~TDragScrollOptions() = default;

void TDragScrollOptions::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TDragScrollOptions*>(Source);
    if (!S)
        return;
    FMargins->Assign(S->FMargins.get());
    FDelays->Assign(S->FDelays.get());
    Active = S->Active;
}

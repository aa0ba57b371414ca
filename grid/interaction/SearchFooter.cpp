#include "grid/interaction/SearchFooter.h"

TSearchFooter::TSearchFooter() : FFont(std::make_unique<TFont>()) {}

TSearchFooter::~TSearchFooter() = default;

void TSearchFooter::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TSearchFooter*>(Source);
    if (!S)
        return;
    FColor = S->FColor;
    FColorTo = S->FColorTo;
    FFindNextCaption = S->FFindNextCaption;
    FFindPrevCaption = S->FFindPrevCaption;
    FFont->Assign(S->FFont.get());
    FHighLightCaption = S->FHighLightCaption;
    FHintClose = S->FHintClose;
    FHintFindNext = S->FHintFindNext;
    FHintFindPrev = S->FHintFindPrev;
    FHintHighlight = S->FHintHighlight;
    FMatchCaseCaption = S->FMatchCaseCaption;
    FSearchActiveColumnOnly = S->FSearchActiveColumnOnly;
    FSearchColumn = S->FSearchColumn;
    FSearchMatchStart = S->FSearchMatchStart;
    FShowClose = S->FShowClose;
    FShowFindNext = S->FShowFindNext;
    FShowFindPrev = S->FShowFindPrev;
    FShowHighLight = S->FShowHighLight;
    FShowMatchCase = S->FShowMatchCase;
    FVisible = S->FVisible;
    Changed();
}

// The pager's glow buttons: close, page list and the two scroll buttons,
// created when wanted, placed in the buttons area (or the close button on
// the active tab) and freed when no longer wanted.

#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"

namespace {

bool Horizontal(TTabPosition P) { return P == tpTop || P == tpBottom; }

// An 18 x 18 button starting at Along on the strip's axis, placed across as
// the page-list button without scroller is.
TRect AlongStrip(TTabPosition Pos, const TRect& B, int Along)
{
    switch (Pos) {
    case tpTop: return Rect(Along, B.bottom - 23, Along + 18, B.bottom - 5);
    case tpBottom: return Rect(Along, B.top + 5, Along + 18, B.top + 23);
    case tpLeft: return Rect(B.right - 23, Along, B.right - 5, Along + 18);
    case tpRight: return Rect(B.left + 5, Along, B.left + 23, Along + 18);
    }
    return B;
}

int EndOf(TTabPosition Pos, const TRect& R) { return Horizontal(Pos) ? R.right : R.bottom; }

} // namespace

TProGlowButton* TProOfficePager::EnsureButton(TProGlowButton*& Button, bool Wanted)
{
    if (!Wanted) {
        // The button may be the one whose click got here: it goes once the
        // messages in progress are done.
        if (Button) {
            Button->Hide();
            Button->FreeLater();
        }
        Button = nullptr;
        return nullptr;
    }
    if (!Button) {
        Button = new TProGlowButton(this);
        Button->SetParent(this);
    }
    return Button;
}

TRect TProOfficePager::CloseButtonRect(bool& OnTab)
{
    OnTab = CloseButtonOnTab();
    if (OnTab) {
        const TRect R = GetTabRect(ActivePageIndex());
        const bool Left = FCloseOnTabPosition == cpLeft;
        TRect C{};
        switch (FTabPosition) {
        case tpTop:
        case tpBottom:
            C.left = Left ? R.left + LeftShapeSpace() + 4 : R.right - RightShapeSpace() - 22;
            C.right = C.left + 18;
            C.top = FTabPosition == tpTop ? R.bottom - 23 : R.top + 5;
            C.bottom = C.top + 18;
            break;
        case tpLeft:
            if (FRotateTabLeftRight) {
                C.right = R.right - 5;
                C.left = R.right - 23;
                C.top = Left ? R.bottom - LeftShapeSpace() - 22 : R.top + RightShapeSpace() + 4;
                C.bottom = C.top + 18;
            } else {
                C.left = Left ? R.left + 4 : R.right - 23;
                C.right = C.left + 18;
                C.top = R.top + (RectHeight(R) - 18) / 2;
                C.bottom = C.top + 18;
            }
            break;
        case tpRight:
            if (FRotateTabLeftRight) {
                C.left = R.left + 5;
                C.right = R.left + 23;
                C.bottom = Left ? R.top + LeftShapeSpace() + 22 : R.bottom - RightShapeSpace() - 4;
                C.top = C.bottom - 18;
            } else {
                C.left = Left ? R.left + 5 : R.right - 21;
                C.right = C.left + 18;
                C.top = R.top + (RectHeight(R) - 18) / 2;
                C.bottom = C.top + 18;
            }
            break;
        }
        return C;
    }
    const TRect B = GetButtonsRect();
    const int Base = Horizontal(FTabPosition) ? B.left : B.top;
    if (FPageListButton)
        return AlongStrip(FTabPosition, B, EndOf(FTabPosition, FPageListButton->BoundsRect()) + 2);
    if (FScrollNextButton)
        return AlongStrip(FTabPosition, B, EndOf(FTabPosition, FScrollNextButton->BoundsRect()) + 3);
    return AlongStrip(FTabPosition, B, Base + 3);
}

void TProOfficePager::LayoutButtons()
{
    if (!FReadyFlag || Destroying())
        return;
    const TPageButtonSettings& S = *FButtonSettings;
    const TGlowButtonAppearance* Look = FCurrentStyler->GlowButtonAppearance();
    const TRect B = GetButtonsRect();
    const bool Horz = Horizontal(FTabPosition);
    const int VisibleTabs = VisibleTabCount();

    // Scroll buttons, while the scroller is visible.
    const bool Scroll = FTabScroller.Visible();
    EnsureButton(FScrollPrevButton, Scroll);
    EnsureButton(FScrollNextButton, Scroll);
    if (Scroll) {
        TRect Area;
        switch (FTabPosition) {
        case tpTop: Area = Rect(B.left, B.bottom - 5 - 18, B.left + 44, B.bottom - 5); break;
        case tpBottom: Area = Rect(B.left, B.top + 5, B.left + 44, B.top + 23); break;
        case tpLeft: Area = Rect(B.right - 5 - 18, B.top, B.right - 5, B.top + 44); break;
        case tpRight: Area = Rect(B.left + 5, B.top, B.left + 23, B.top + 44); break;
        }
        TRect Prev = Area, Next = Area;
        if (Horz) {
            Prev.left = Area.left + 3;
            Prev.right = Area.left + 21;
            Next.left = Prev.right + 2;
            Next.right = Prev.right + 20;
        } else {
            Prev.top = Area.top + 3;
            Prev.bottom = Area.top + 21;
            Next.top = Prev.bottom + 2;
            Next.bottom = Prev.bottom + 20;
        }
        const bool Built = !Horz;
        FScrollPrevButton->SetBoundsRect(Prev);
        FScrollPrevButton->SetAppearance(Look);
        FScrollPrevButton->SetPicture(Built && !S.PrevPictureChanged ? S.ScrollButtonUpPicture() : S.ScrollButtonPrevPicture());
        FScrollPrevButton->SetHint(S.ScrollButtonPrevHint);
        FScrollPrevButton->SetShowHint(true);
        FScrollPrevButton->SetRepeatClick(true);
        FScrollPrevButton->SetEnabled(FTabScroller.CanGoBack());
        FScrollPrevButton->OnClick = [this](TObject*) { ScrollPrev(); };
        FScrollNextButton->SetBoundsRect(Next);
        FScrollNextButton->SetAppearance(Look);
        FScrollNextButton->SetPicture(Built && !S.NextPictureChanged ? S.ScrollButtonDownPicture() : S.ScrollButtonNextPicture());
        FScrollNextButton->SetHint(S.ScrollButtonNextHint);
        FScrollNextButton->SetShowHint(true);
        FScrollNextButton->SetRepeatClick(true);
        FScrollNextButton->SetEnabled(FTabScroller.CanGoForward());
        FScrollNextButton->OnClick = [this](TObject*) { ScrollNext(); };
    }

    // Page-list button.
    if (EnsureButton(FPageListButton, S.PageListButton())) {
        const int Along = FScrollNextButton ? EndOf(FTabPosition, FScrollNextButton->BoundsRect()) + 3
                                            : (Horz ? B.left : B.top) + 3;
        FPageListButton->SetBoundsRect(AlongStrip(FTabPosition, B, Along));
        FPageListButton->SetAppearance(Look);
        FPageListButton->SetPicture(S.PageListButtonPicture());
        FPageListButton->SetHint(S.PageListButtonHint);
        FPageListButton->SetShowHint(true);
        FPageListButton->SetEnabled(VisibleTabs > 0);
        FPageListButton->OnClick = [this](TObject*) { PageListClick(); };
    }

    // Close button.
    const bool CloseWanted = S.CloseButton() && (CanShowCloseButton() || !FCloseOnTab);
    if (EnsureButton(FCloseButton, CloseWanted)) {
        bool OnTab = false;
        FCloseButton->SetBoundsRect(CloseButtonRect(OnTab));
        FCloseButton->SetAppearance(Look);
        FCloseButton->SetPicture(S.CloseButtonPicture());
        FCloseButton->SetHint(S.CloseButtonHint);
        FCloseButton->SetShowHint(true);
        FCloseButton->SetEnabled(VisibleTabs > 0 && (OnTab || CanShowCloseButton()));
        FCloseButton->OnClick = [this](TObject*) { CloseActivePage(); };
        FCloseButton->BringToFront();
    }
}

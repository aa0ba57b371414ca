// Where everything of the pager goes: the tab strip, the tab rectangles, the
// page rectangle, the buttons area with its glow buttons, and the scroller
// that decides how many tabs are scrolled out of view.

#include <algorithm>

#include "framework/Bitmap.h"

#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"

namespace {

bool Horizontal(TTabPosition P) { return P == tpTop || P == tpBottom; }

} // namespace

bool TProOfficePager::IsPlainTab() const
{
    const int Rounding = FTabSettings->Rounding();
    return (FTabSettings->Shape() == tsRectangle && Rounding == 1) ||
           (!Horizontal(FTabPosition) && !FRotateTabLeftRight && Rounding == 1);
}

int TProOfficePager::LeftShapeSpace() const
{
    const TProTabShape S = FTabSettings->Shape();
    if ((S == tsLeftRamp || S == tsLeftRightRamp) && !IsPlainTab() && (Horizontal(FTabPosition) || FRotateTabLeftRight))
        return FTabSettings->Rounding() * 2 + 5;
    return 0;
}

int TProOfficePager::RightShapeSpace() const
{
    const TProTabShape S = FTabSettings->Shape();
    if ((S == tsRightRamp || S == tsLeftRightRamp) && !IsPlainTab() && (Horizontal(FTabPosition) || FRotateTabLeftRight))
        return FTabSettings->Rounding() * 2 + 5;
    return 0;
}

TRect TProOfficePager::GetTabsArea() const
{
    TRect R = ClientRect();
    const int H = FTabSettings->Height();
    switch (FTabPosition) {
    case tpTop: R.bottom = R.top + H; break;
    case tpBottom: R.top = R.bottom - H; break;
    case tpLeft: R.right = R.left + H; break;
    case tpRight: R.left = R.right - H; break;
    }
    return R;
}

TRect TProOfficePager::GetPageRect() const
{
    TRect R = ClientRect();
    const int H = FTabSettings->Height();
    const int M = FPageMargin;
    switch (FTabPosition) {
    case tpTop: return Rect(R.left + M, R.top + H, R.right - M, R.bottom - (M + 1));
    case tpBottom: return Rect(R.left + M, R.top + M + 1, R.right - M, R.bottom - H);
    case tpLeft: return Rect(R.left + H, R.top + M + 1, R.right - M, R.bottom - (M + 1));
    case tpRight: return Rect(R.left + M, R.top + M + 1, R.right - H, R.bottom - (M + 1));
    }
    return R;
}

void TProOfficePager::SetPageBounds(TProOfficePage* Page)
{
    if (IndexOfPage(Page) < 0)
        return;
    Page->SetBoundsRect(GetPageRect());
}

void TProOfficePager::UpdatePageBounds()
{
    for (int I = 0; I < ProPageCount(); ++I)
        SetPageBounds(ProPages(I));
}

TRect TProOfficePager::GetButtonsRect() const
{
    const TRect C = ClientRect();
    const int E = FTabSettings->EndMargin();
    const int T = FTabOffset;
    const int H = FTabSettings->Height();
    const int M = FPageMargin;
    TRect B{};
    switch (FTabPosition) {
    case tpTop:
        B.bottom = C.top + T + H;
        B.top = B.bottom - 26;
        break;
    case tpBottom:
        B.top = C.bottom - H - T;
        B.bottom = B.top + 26;
        break;
    case tpLeft:
        B.left = C.left + T + H - 26;
        B.right = C.left + T + H;
        break;
    case tpRight:
        B.left = C.right - H - T;
        B.right = B.left + 26;
        break;
    }
    int Grow = 0;
    if (FTabScroller.Visible())
        Grow += 41;
    if (FButtonSettings->PageListButton())
        Grow += 21;
    if (FButtonSettings->CloseButton() && !FCloseOnTab)
        Grow += 21;
    if (Horizontal(FTabPosition)) {
        B.right = C.right - E - M - 3;
        B.left = B.right - 3 - Grow;
    } else {
        B.bottom = C.bottom - E - M - 3;
        B.top = B.bottom - 3 - Grow;
    }
    return B;
}

TRect TProOfficePager::GetTabsRect() const
{
    const TRect C = ClientRect();
    const int T = FTabOffset;
    const int H = FTabSettings->Height();
    const int Start = FTabSettings->StartMargin() + FPageMargin;
    const TRect B = GetButtonsRect();
    switch (FTabPosition) {
    case tpTop: return Rect(C.left + Start, C.top + T, B.left, C.top + T + H);
    case tpBottom: return Rect(C.left + Start, C.bottom - H - T, B.left, C.bottom - T);
    case tpLeft: return Rect(C.left + T, C.top + Start, C.left + T + H, B.top);
    case tpRight: return Rect(C.right - H - T, C.top + Start, C.right - T, B.top);
    }
    return C;
}

TSize TProOfficePager::MeasureCaption(const TProOfficePage* Page)
{
    const String& Caption = Page->Caption();
    const WideString& Wide = Page->WideCaption();
    if (Caption.empty() && Wide.empty())
        return TSize{0, 0};
    if (TextMeasurer)
        return TextMeasurer(Caption, Wide);
    // Single-line measurement in the tab font on a memory DC, so that a
    // pager without a window measures as one with.
    TBitmap Bitmap;
    Bitmap.SetWidth(1);
    Bitmap.SetHeight(1);
    TCanvas* C = Bitmap.Canvas();
    C->Font()->Assign(FCurrentStyler->TabFont());
    TRect R = Rect(0, 0, 1000, 100);
    if (!Caption.empty())
        C->DrawTextRect(Caption, R, DT_CALCRECT | DT_SINGLELINE);
    else
        C->DrawTextRect(Wide, R, DT_CALCRECT | DT_SINGLELINE);
    return TSize{R.right, R.bottom};
}

TSize TProOfficePager::PageImageSize(const TProOfficePage* Page) const
{
    const bool Enabled = Page->Enabled();
    const TGdiPlusPicture* Pic =
        !Enabled && !Page->DisabledPicture()->Empty() ? Page->DisabledPicture() : Page->Picture();
    if (!Pic->Empty())
        return TSize{Pic->Width(), Pic->Height()};
    if ((FImages || FDisabledImages) && Page->ImageIndex() >= 0) {
        const TImageList* L = nullptr;
        if (Enabled)
            L = FImages;
        else
            L = FDisabledImages ? FDisabledImages : FImages;
        if (L)
            return TSize{L->Width(), L->Height()};
    }
    return TSize{0, 0};
}

TRect TProOfficePager::GetTabRectEx(int FromIndex, int ToIndex, bool UseScroller)
{
    const TRect None = Rect(-1, -1, -1, -1);
    if (ToIndex < 0 || ToIndex >= ProPageCount() || !ProPages(ToIndex)->TabVisible())
        return None;
    const TPagerTabSettings& S = *FTabSettings;
    const bool Horz = Horizontal(FTabPosition);
    TRect Run = GetTabsRect();
    const TRect Strip = GetTabsArea();
    int Counter = 0;
    for (int I = std::max(FromIndex, 0); I <= ToIndex; ++I) {
        TProOfficePage* Page = ProPages(I);
        if (!Page->TabVisible())
            continue;
        const TSize Text = MeasureCaption(Page);
        const TSize Image = PageImageSize(Page);
        const bool CloseOnThisTab = FButtonSettings->CloseButton() && FCloseOnTab && Page->ShowClose();
        int L;
        if (Horz) {
            if (FFullStripTabs)
                Run.right = Strip.right;
            L = LeftShapeSpace() + S.LeftMargin() + Text.cx + 5 + S.RightMargin() + RightShapeSpace();
            // The gap beside an image only where there is one, so a tab
            // without image is margins, text and 5 long.
            if ((S.ImagePosition() == ipLeft || S.ImagePosition() == ipRight) && Image.cx > 0)
                L += Image.cx + 2;
            if (CloseOnThisTab)
                L += 22;
            if (S.Width() > 0)
                L = S.Width();
        } else {
            if (FFullStripTabs)
                Run.bottom = Strip.bottom;
            int L0 = S.LeftMargin() + Text.cx + 5 + S.RightMargin();
            int Across = Text.cy;
            if (S.ImagePosition() == ipLeft || S.ImagePosition() == ipRight) {
                if (Image.cx > 0)
                    L0 += Image.cx + 2;
                Across = std::max(Across, static_cast<int>(Image.cy));
            } else if (Image.cy > 0) {
                Across += Image.cy + 2;
            }
            Across += 12;
            if (!FRotateTabLeftRight) {
                L = Across;
            } else {
                L = L0 + LeftShapeSpace() + RightShapeSpace();
                if (CloseOnThisTab)
                    L += 22;
            }
            if (S.Width() > 0)
                L = S.Width();
        }
        const int Start = Horz ? Run.left : Run.top;
        const int End = Horz ? Run.right : Run.bottom;
        if (Start + L > End - FPageMargin) {
            if (!UseScroller)
                break;
            if (FTabScroller.Visible() && I == ToIndex && FTabScroller.Position() != ToIndex)
                break;
        }
        if (UseScroller && FTabScroller.Visible() && FTabScroller.Position() > Counter) {
            ++Counter;
            continue;
        }
        TRect Tab = Run;
        if (Horz) {
            Tab.left = Start;
            Tab.right = Start + L;
            Run.left = Start + L + S.Spacing();
        } else {
            Tab.top = Start;
            Tab.bottom = Start + L;
            Run.top = Start + L + S.Spacing();
        }
        if (I == ToIndex)
            return Tab;
        ++Counter;
    }
    return None;
}

int TProOfficePager::TabAtPos(int X, int Y)
{
    for (int I = 0; I < ProPageCount(); ++I) {
        const TRect R = GetTabRect(I);
        if (R.left != -1 && X >= R.left && X < R.right && Y >= R.top && Y < R.bottom)
            return I;
    }
    return -1;
}

void TProOfficePager::InvalidateTab(int Index)
{
    if (!HandleAllocated())
        return;
    TRect R = Index >= 0 && Index < ProPageCount() ? GetTabRect(Index) : GetTabsArea();
    InvalidateRect(Handle(), &R, TRUE);
}

void TProOfficePager::InvalidateTabsArea()
{
    InvalidateTab(-1);
}

int TProOfficePager::ScrollNeed(bool& Found)
{
    Found = false;
    int Last = -1;
    for (int I = ProPageCount() - 1; I >= 0; --I)
        if (ProPages(I)->TabVisible()) {
            Last = I;
            break;
        }
    if (Last <= 0)
        return 0;
    int Counted = 0;
    for (int J = 0; J <= Last; ++J) {
        const TRect R = GetTabRectEx(J, Last, false);
        if (R.left > -1 && R.right > -1) {
            Found = true;
            return Counted;
        }
        FTabScroller.SetVisible(true);
        if (J + 1 <= Last && ProPages(J + 1)->TabVisible())
            ++Counted;
    }
    return 0;
}

void TProOfficePager::UpdateTabScroller()
{
    FFullStripTabs = false;
    if (!FButtonSettings->ScrollButtonsAlways())
        FTabScroller.SetVisible(false);
    FTabScroller.SetMin(0);
    bool Found = false;
    FTabScroller.SetMax(ScrollNeed(Found));
    if (FTabScroller.Max() == 0 && !Found) {
        FFullStripTabs = true;
        FTabScroller.SetMax(ScrollNeed(Found));
        if (FTabScroller.Max() == 0)
            FTabScroller.SetMax(std::max(0, VisibleTabCount() - 1));
    } else if (Found) {
        FTabScroller.SetPosition(std::min(FTabScroller.Position(), FTabScroller.Max()));
        int Count = 0;
        int Target = -1;
        for (int I = 0; I < ProPageCount(); ++I) {
            if (ProPages(I)->TabVisible())
                ++Count;
            if (Count >= std::max(FTabScroller.Position(), 1)) {
                Target = Count;
                break;
            }
        }
        const TRect R = GetTabRect(Target);
        if (R.right == -1 && FTabScroller.Position() > 0) {
            FFullStripTabs = true;
            FTabScroller.SetMax(ScrollNeed(Found));
            if (FTabScroller.Max() == 0)
                FFullStripTabs = false;
        }
    }
    FTabScroller.SetVisible(FTabScroller.Min() < FTabScroller.Max() || FButtonSettings->ScrollButtonsAlways());
    FTabScroller.SetPosition(std::min(FTabScroller.Position(), FTabScroller.Max()));
    LayoutButtons();
}

void TProOfficePager::ScrollPrev()
{
    if (FTabScroller.Visible() && FTabScroller.CanGoBack()) {
        FTabScroller.SetPosition(FTabScroller.Position() - 1);
        InvalidateTabsArea();
        RepaintActivePage();
    }
    LayoutButtons();
}

void TProOfficePager::ScrollNext()
{
    if (FTabScroller.Visible() && FTabScroller.CanGoForward()) {
        FTabScroller.SetPosition(FTabScroller.Position() + 1);
        InvalidateTabsArea();
        RepaintActivePage();
    }
    LayoutButtons();
}

bool TProOfficePager::CanShowCloseButton() const
{
    if (!FButtonSettings->CloseButton())
        return false;
    const TProOfficePage* A = ActivePage();
    return !A || A->ShowClose();
}

bool TProOfficePager::CloseButtonOnTab() const
{
    return FButtonSettings->CloseButton() && FCloseOnTab && ActivePage() != nullptr;
}

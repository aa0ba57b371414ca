// Painting of the pager and its pages with GDI: the strip background, the
// tabs in their states with the hover and click glow blended in, captions,
// the frame of the buttons area, and the page's two-part background, border
// and the line that joins the active page to its tab.

#include <algorithm>

#include "framework/Bitmap.h"
#include "office/OfficeColors.h"
#include "office/PagerDrawing.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"

namespace {

bool IsNone(TColor C) { return C == clNoneColor; }

struct TTabColors {
    TColor Color = clNoneColor, ColorTo = clNoneColor, Mirror = clNoneColor, MirrorTo = clNoneColor;
    TColor Border = clNoneColor, Text = clNoneColor;
};

// Fills R as a solid colour when To is none, else as a banded gradient.
void FillPart(TCanvas* C, const TRect& R, TColor From, TColor To, bool Horizontal)
{
    if (IsNone(From) || R.right <= R.left || R.bottom <= R.top)
        return;
    if (IsNone(To)) {
        C->Brush()->SetColor(From);
        C->FillRect(R);
        return;
    }
    DrawGradient(C, From, To, Horizontal, R, 32);
}

// The two-part fill: the half away from the page in the main colours, the
// half next to it in the mirror colours; then the outline.
void DrawVistaGradient(TCanvas* C, const TRect& R, const TTabColors& K, TTabPosition Pos, bool Rounded)
{
    const int W = RectWidth(R), H = RectHeight(R);
    const int F = H / 2, G = W / 2;
    TRect Main = R, Mirror = R;
    bool Horizontal = false;
    switch (Pos) {
    case tpTop: Main.bottom = R.top + F; Mirror.top = R.top + F; break;
    case tpBottom: Main.top = R.top + F; Mirror.bottom = R.top + F; break;
    case tpLeft: Main.right = R.left + G; Mirror.left = R.left + G; Horizontal = true; break;
    case tpRight: Main.left = R.right - G; Mirror.right = R.right - G; Horizontal = true; break;
    }
    const bool Reverse = Pos == tpBottom || Pos == tpRight;
    FillPart(C, Mirror, Reverse ? K.MirrorTo : K.Mirror, Reverse ? K.Mirror : K.MirrorTo, Horizontal);
    FillPart(C, Main, Reverse ? K.ColorTo : K.Color, Reverse ? K.Color : K.ColorTo, Horizontal);
    if (!IsNone(K.Border)) {
        C->Brush()->SetStyle(TBrushStyle::bsClear);
        C->Pen()->SetColor(K.Border);
        if (Rounded)
            C->RoundRect(R.left, R.top, R.right, R.bottom, 6, 6);
        else
            C->Rectangle(R);
        C->Brush()->SetStyle(TBrushStyle::bsSolid);
    }
}

} // namespace

bool TProOfficePager::ButtonsAreaInUse() const
{
    return FTabScroller.Visible() || FButtonSettings->PageListButton() ||
           (FButtonSettings->CloseButton() && !FCloseOnTab);
}

void TProOfficePager::Paint()
{
    PaintTabStrip();
    for (int I = 0; I < ProPageCount(); ++I)
        PaintTab(I);
    // The active tab lies over its neighbours.
    if (ActivePageIndex() >= 0)
        PaintTab(ActivePageIndex());
    if (ButtonsAreaInUse()) {
        TCanvas* C = Canvas();
        const TRect B = GetButtonsRect();
        C->Brush()->SetStyle(TBrushStyle::bsClear);
        C->Pen()->SetColor(FCurrentStyler->PageAppearance()->BorderColor());
        C->RoundRect(B.left, B.top, B.right, B.bottom, 5, 5);
        C->Brush()->SetStyle(TBrushStyle::bsSolid);
    }
}

void TProOfficePager::PaintTabStrip()
{
    TCanvas* C = Canvas();
    const TGradientBackground* Back = FCurrentStyler->TabAppearance()->BackGround();
    TRect R = GetTabsArea();
    const TRect Client = ClientRect();
    switch (FTabPosition) {
    case tpTop: R.bottom = Client.bottom; break;
    case tpBottom: R.top = Client.top; break;
    case tpLeft: R.right = Client.right; break;
    case tpRight: R.left = Client.left; break;
    }
    if (IsNone(Back->Color()))
        return;
    if (!IsNone(Back->ColorTo())) {
        DrawGradient(C, Back->Color(), Back->ColorTo(), Back->Direction() == gdHorizontal, R, Back->Steps());
    } else {
        C->Brush()->SetColor(Back->Color());
        C->Pen()->SetColor(Back->Color());
        C->Rectangle(R);
    }
}

void TProOfficePager::PaintTab(int Index)
{
    if (Index < 0 || Index >= ProPageCount() || FTabSettings->Height() <= 0)
        return;
    const TRect R = GetTabRect(Index);
    if (R.left < 0 && R.right < 0)
        return;
    TProOfficePage* Page = ProPages(Index);
    // The page's own tab look when it asks for it; the strip behind the
    // tabs is always the styler's.
    const TCustomTabAppearance* A = Page->UseTabAppearance() ? Page->TabAppearance() : FCurrentStyler->TabAppearance();
    const TGradientBackground* Strip = FCurrentStyler->TabAppearance()->BackGround();
    const TColor BackColor = Strip->Color();
    const TColor BackColorTo = IsNone(Strip->ColorTo()) ? BackColor : Strip->ColorTo();
    const bool Active = Index == ActivePageIndex();
    const bool Hot = Index == FHotTabIndex;
    const bool Fading = Page->GlowRunning();
    const int Glow = std::clamp(Page->HoverGlow(), 0, 100);
    const int Flash = std::clamp(Page->FlashGlow(), 0, 100);
    TTabColors K;
    bool Background = true;
    auto HotSet = [&] {
        return TTabColors{A->ColorHot(), A->ColorHotTo(), A->ColorMirrorHot(), A->ColorMirrorHotTo(), A->BorderColorHot, A->TextColorHot()};
    };
    auto NormalSet = [&] {
        return TTabColors{A->Color(), A->ColorTo(), A->ColorMirror(), A->ColorMirrorTo(), A->BorderColor(), A->TextColor()};
    };
    auto FadeAgainstStrip = [&] {
        TTabColors H = HotSet();
        K.Color = BlendColors(H.Color, BackColor, Glow);
        K.ColorTo = BlendColors(H.ColorTo, BackColorTo, Glow);
        K.Mirror = BlendColors(H.Mirror, BackColor, Glow);
        K.MirrorTo = BlendColors(H.MirrorTo, BackColor, Glow);
        K.Border = BlendColors(H.Border, BackColor, Glow);
    };
    if (!Page->TabEnabled() && FShowNonSelectedTabs) {
        K = TTabColors{A->ColorDisabled(), A->ColorDisabledTo(), A->ColorMirrorDisabled(), A->ColorMirrorDisabledTo(),
                       A->BorderColorDisabled(), A->TextColorDisabled()};
    } else if (Active) {
        K = TTabColors{A->ColorSelected(), A->ColorSelectedTo(), A->ColorMirrorSelected(), A->ColorMirrorSelectedTo(),
                       A->BorderColorSelected(), A->TextColorSelected()};
        if (Hot && !IsNone(A->BorderColorSelectedHot()))
            K.Border = A->BorderColorSelectedHot();
        if (Index == FDownTabIndex && !IsNone(A->BorderColorDown()))
            K.Border = A->BorderColorDown();
        if (Fading && Page->GlowMode() == 1) {
            const TTabColors H = HotSet();
            K.Color = BlendColors(K.Color, H.Color, Flash);
            K.ColorTo = BlendColors(K.ColorTo, H.ColorTo, Flash);
            K.Mirror = BlendColors(K.Mirror, H.Mirror, Flash);
            K.MirrorTo = BlendColors(K.MirrorTo, H.MirrorTo, Flash);
            K.Border = BlendColors(K.Border, H.Border, Flash);
        } else if (Fading && Page->GlowMode() == 0) {
            K.Border = BlendColors(A->BorderColorSelectedHot(), A->BorderColorSelected(), Glow);
        }
    } else if (Hot) {
        K = HotSet();
        if (Fading && Page->GlowMode() == 0) {
            if (FShowNonSelectedTabs) {
                const TTabColors H = HotSet(), N = NormalSet();
                K = TTabColors{BlendColors(H.Color, N.Color, Glow), BlendColors(H.ColorTo, N.ColorTo, Glow),
                               BlendColors(H.Mirror, N.Mirror, Glow), BlendColors(H.MirrorTo, N.MirrorTo, Glow),
                               BlendColors(H.Border, N.Border, Glow), H.Text};
            } else {
                FadeAgainstStrip();
            }
        }
    } else if (FShowNonSelectedTabs) {
        K = NormalSet();
    } else {
        K.Text = Page->TabEnabled() ? A->TextColor() : A->TextColorDisabled();
        Background = false;
        if (Fading && Page->GlowMode() == 0) {
            FadeAgainstStrip();
            Background = true;
        }
    }

    // The active tab of a focused pager takes the hot look.
    if (Active && Focused()) {
        K = HotSet();
        K.Border = A->BorderColorSelectedHot();
        Background = true;
    }

    TCanvas* C = Canvas();
    if (Background)
        DrawVistaGradient(C, R, K, FTabPosition, true);
    if (OnDrawTab) {
        OnDrawTab(this, Index, R);
        return;
    }
    TRect TR = R;
    TR.left += FTabSettings->LeftMargin();
    if (CloseButtonOnTab() && Active && Page->ShowClose() && FCloseOnTabPosition == cpLeft)
        TR.left += 22;
    C->Font()->Assign(A->Font());
    C->Font()->SetColor(Page->Enabled() ? K.Text : static_cast<TColor>(0x808080));
    C->Brush()->SetStyle(TBrushStyle::bsClear);
    // A caption wider than its tab is shortened, with "..." on tabs of a
    // set width that do not wrap. Captions run horizontally here, so they
    // are fitted to the width on every side.
    const bool Ellipsis = FTabSettings->Width() >= 1 && !FTabSettings->WordWrap();
    const TRect FitR = TR;
    TR.left += 3;
    const UINT Flags = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    if (!Page->Caption().empty()) {
        const String Text = FitCaption(C, Page->Caption(), FitR, tpTop, Ellipsis);
        C->DrawTextRect(Text, TR, Flags);
    } else if (!Page->WideCaption().empty()) {
        const WideString Text = FitCaption(C, Page->WideCaption(), FitR, tpTop, Ellipsis);
        C->DrawTextRect(Text, TR, Flags);
    }
    C->Brush()->SetStyle(TBrushStyle::bsSolid);
    // No tab paints over the buttons.
    if (ButtonsAreaInUse()) {
        TRect Overlap;
        const TRect B = GetButtonsRect();
        if (IntersectRect(&Overlap, &R, &B)) {
            const int Saved = SaveDC(C->Handle());
            IntersectClipRect(C->Handle(), Overlap.left, Overlap.top, Overlap.right, Overlap.bottom);
            PaintTabStrip();
            RestoreDC(C->Handle(), Saved);
        }
    }
}

void TProOfficePage::Paint()
{
    if (!FPager)
        return;
    TCustomProOfficePagerStyler* Styler = FPager->CurrentStyler();
    if (!Styler)
        return;
    const TVistaBackground* A = FUsePageAppearance ? FPageAppearance.get() : Styler->PageAppearance();
    // Children that take their parent's colour match the page.
    if (Color() != A->Color() && !IsNone(A->Color()))
        SetColor(A->Color());
    TCanvas* C = Canvas();
    const TRect All = Rect(0, 0, Width(), Height());
    TTabColors K{A->Color(), A->ColorTo(), A->ColorMirror(), A->ColorMirrorTo(), A->BorderColor(), clNoneColor};
    DrawVistaGradient(C, All, K, FPager->TabPosition(), Styler->RoundedCorners());

    // The inner light border.
    const int D = Styler->RoundedCorners() ? 3 : 2;
    const int L = 0, T = 0, R = Width(), B = Height();
    C->Pen()->SetColor(BlendColors(static_cast<TColor>(0xFFFFFF), A->BorderColor(), Styler->BorderBlend()));
    auto Line = [C](int X1, int Y1, int X2, int Y2) {
        C->MoveTo(X1, Y1);
        C->LineTo(X2, Y2);
    };
    switch (FPager->TabPosition()) {
    case tpTop: Line(L + 1, T + D, L + 1, B - 2); Line(R - 2, T + D, R - 2, B - 2); Line(L + 3, B - 2, R - 2, B - 2); break;
    case tpBottom: Line(L + 1, T + 2, L + 1, B - D); Line(R - 2, T + 2, R - 2, B - D); Line(L + 3, T + 1, R - 2, T + 1); break;
    case tpLeft: Line(L + D, T + 1, R - 2, T + 1); Line(L + D, B - 2, R - 2, B - 2); Line(R - 2, T + 3, R - 2, B - 2); break;
    case tpRight: Line(L + 2, T + 1, R - D, T + 1); Line(L + 2, B - 2, R - D, B - 2); Line(L + 1, T + 3, L + 1, B - 2); break;
    }

    // The line that joins the active page to its tab.
    if (FPager->ActivePage() != this || FPager->TabSettings()->Height() <= 0)
        return;
    const TRect TabR = FPager->GetTabRect(FPager->ActivePageIndex());
    if (TabR.left < 0)
        return;
    const TRect Buttons = FPager->GetButtonsRect();
    const int M = FPager->PageMargin();
    C->Pen()->SetColor(A->Color());
    const TTabPosition Pos = FPager->TabPosition();
    const bool Across = Pos == tpTop || Pos == tpBottom;
    int Start = static_cast<int>(Across ? TabR.left : TabR.top) - M;
    int End = Across ? std::min(static_cast<int>(TabR.right) - M, static_cast<int>(Buttons.left))
                     : std::min(static_cast<int>(TabR.bottom) - M, static_cast<int>(Buttons.top));
    // A shaped tab meets the page inside its slopes.
    if (!FPager->IsPlainTab()) {
        const int Rd = FPager->TabSettings()->Rounding() / 2;
        struct Cut { int Start, End; };
        // Per shape, then per position (top, bottom, left, right).
        static const Cut Base[4][4] = {
            {{1, 0}, {1, 0}, {1, 0}, {1, 0}},                                  // rectangle
            {{2, 0}, {2, 0}, {1, -1}, {1, 0}},                                 // left ramp
            {{1, -1}, {1, 0}, {2, 0}, {1, -1}},                                // right ramp
            {{2, -1}, {1, 0}, {2, -1}, {2, -1}},                               // both ramps
        };
        // How many times r each end moves, in the same order.
        static const Cut PerR[4][4] = {
            {{0, 0}, {0, 0}, {0, 0}, {0, 0}},
            {{1, 0}, {1, 0}, {0, 1}, {1, 0}},
            {{0, 1}, {0, 1}, {1, 0}, {0, 1}},
            {{1, 1}, {1, 1}, {1, 1}, {1, 1}},
        };
        const int S = std::clamp(static_cast<int>(FPager->TabSettings()->Shape()), 0, 3);
        const int P = static_cast<int>(Pos);
        Start += Base[S][P].Start + PerR[S][P].Start * Rd;
        End += Base[S][P].End - PerR[S][P].End * Rd;
    }
    switch (Pos) {
    case tpTop: Line(Start, 0, End, 0); break;
    case tpBottom: Line(Start, B - 1, End, B - 1); break;
    case tpLeft: Line(0, Start - 1, 0, End - 1); break;
    case tpRight: Line(R - 1, Start - 1, R - 1, End - 1); break;
    }

    // Rounded corners: the pager's pixels just outside the page show through
    // the page's corner pixels.
    if (Styler->RoundedCorners() && M > 0 && Parent()) {
        // The pager has painted before its children; its window shows it.
        HDC Outer = GetDC(FPager->Handle());
        const int X0 = Left(), Y0 = Top(), W = Width(), H = Height();
        const COLORREF TopLeft = GetPixel(Outer, X0 - 1, Y0 - 1);
        const COLORREF Above2 = GetPixel(Outer, X0 + 1, Y0 - 1);
        const COLORREF LeftRow0 = GetPixel(Outer, X0 - 1, Y0);
        const COLORREF LeftBelow = GetPixel(Outer, X0 - 1, Y0 + H);
        const COLORREF RightRow0 = GetPixel(Outer, X0 + W, Y0);
        const COLORREF RightBelow = GetPixel(Outer, X0 + W, Y0 + H);
        ReleaseDC(FPager->Handle(), Outer);
        HDC Own = C->Handle();
        SetPixel(Own, 0, 0, TopLeft);
        SetPixel(Own, 1, 0, Above2);
        SetPixel(Own, 0, 1, LeftRow0);
        for (const POINT Q : {POINT{0, H - 1}, POINT{1, H - 1}, POINT{0, H - 2}})
            SetPixel(Own, Q.x, Q.y, LeftBelow);
        for (const POINT Q : {POINT{W - 1, 0}, POINT{W - 2, 0}, POINT{W - 1, 1}})
            SetPixel(Own, Q.x, Q.y, RightRow0);
        for (const POINT Q : {POINT{W - 1, H - 1}, POINT{W - 2, H - 1}, POINT{W - 1, H - 2}})
            SetPixel(Own, Q.x, Q.y, RightBelow);
    }
}

// Painting of the pager and its pages with GDI and GDI+: the strip
// background, the tabs in their states with the hover and click glow blended
// in, the frame of the buttons area, and the page's two-part background,
// border and the line that joins the active page to its tab. What a tab
// shows over its background is in ProOfficePagerTabContent.cpp.

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "framework/Bitmap.h"
#include "office/OfficeColors.h"
#include "office/PagerDrawing.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"
#include "visuals/ProGDIP.h"

namespace {

bool IsNone(TColor C) { return C == clNoneColor; }

struct TTabColors {
    TColor Color = clNoneColor, ColorTo = clNoneColor, Mirror = clNoneColor, MirrorTo = clNoneColor;
    TColor Border = clNoneColor, Text = clNoneColor;
    TGdiPlusGradient Gradient = ggVertical, GradientMirror = ggVertical;
};

// The outline of a shaped tab. The figure is laid out as for a tab on top
// (u along the strip from the caption's end, v from the outer edge towards
// the page) and turned into place for the other sides.
std::unique_ptr<TGPGraphicsPath> CreateTabShapePath(const TRect& R, TProTabShape Shape, int Rounding, TTabPosition Pos)
{
    const bool Side = Pos == tpLeft || Pos == tpRight;
    const float Wt = static_cast<float>(Side ? RectHeight(R) : RectWidth(R));
    const float Ht = static_cast<float>(Side ? RectWidth(R) : RectHeight(R));
    const float a = static_cast<float>(Rounding), s = static_cast<float>(Rounding / 2);
    const float K = a + static_cast<float>(static_cast<int>(Ht) / 3);
    const float L = static_cast<float>(R.left), T = static_cast<float>(R.top);
    const float Rt = static_cast<float>(R.right), B = static_cast<float>(R.bottom);
    auto M = [&](float U, float V) -> TGPPointF {
        switch (Pos) {
        case tpBottom: return {L + U, B - V};
        case tpLeft: return {L + V, B - U};
        case tpRight: return {Rt - V, T + U};
        default: return {L + U, T + V};
        }
    };
    auto Path = std::make_unique<TGPGraphicsPath>();
    auto Line = [&](float U1, float V1, float U2, float V2) {
        const TGPPointF P1 = M(U1, V1), P2 = M(U2, V2);
        Path->AddLine(P1.X, P1.Y, P2.X, P2.Y);
    };
    auto Curve = [&](float U1, float V1, float U2, float V2, float U3, float V3) {
        const TGPPointF Q[3] = {M(U1, V1), M(U2, V2), M(U3, V3)};
        const TGPPoint P[3] = {{static_cast<int>(Q[0].X), static_cast<int>(Q[0].Y)},
                               {static_cast<int>(Q[1].X), static_cast<int>(Q[1].Y)},
                               {static_cast<int>(Q[2].X), static_cast<int>(Q[2].Y)}};
        Path->AddCurve(P, 3, 0.8f);
    };
    auto Bezier = [&](float U1, float V1, float U2, float V2, float U3, float V3, float U4, float V4) {
        Path->AddBezier(M(U1, V1), M(U2, V2), M(U3, V3), M(U4, V4));
    };
    const bool LeftRamp = Shape == tsLeftRamp || Shape == tsLeftRightRamp;
    const bool RightRamp = Shape == tsRightRamp || Shape == tsLeftRightRamp;
    // The corner radius of a rounded end: a on a plain rectangle, s beside a ramp.
    const float c = Shape == tsRectangle ? a : s;
    float TopStart;
    if (LeftRamp) {
        Bezier(0, Ht, 3 * a, Ht - a, K - a, a, K + 2 * a, 0);
        TopStart = K + 2 * a;
    } else {
        Line(0, Ht, 0, 3 * c);
        Curve(0, 3 * c, c, c, 3 * c, 0);
        TopStart = 3 * c;
    }
    if (RightRamp) {
        Line(TopStart, 0, Wt - 2 * a - K, 0);
        Bezier(Wt - 2 * a - K, 0, Wt + a - K, a, Wt - 3 * a, Ht - a, Wt, Ht);
    } else {
        Line(TopStart, 0, Wt - 3 * c, 0);
        Curve(Wt - 3 * c, 0, Wt - c, c, Wt, 3 * c);
        Line(Wt, 3 * c, Wt, Ht);
    }
    Path->CloseFigure();
    return Path;
}

// The two-part fill of a rectangle with GDI+ inside whatever clip the
// graphics has: the half away from the page in the main colours, the half
// next to it in the mirror colours. Each half is first filled solid with its
// first colour, then with its gradient: linear (vertical, or horizontal for
// left and right tabs, or one of the diagonals) or radial from an ellipse
// centred on the half's outer edge.
void FillTabHalves(TGPGraphics& G, const TRect& R, const TTabColors& K, TTabPosition Pos, bool FullMirror)
{
    const float L = static_cast<float>(R.left), T = static_cast<float>(R.top), Rt = static_cast<float>(R.right);
    const float B = static_cast<float>(R.bottom);
    const float W = static_cast<float>(RectWidth(R)), H = static_cast<float>(RectHeight(R));
    const float F = static_cast<float>(RectHeight(R) / 2), Gw = static_cast<float>(RectWidth(R) / 2);
    const bool Side = Pos == tpLeft || Pos == tpRight;
    struct Half {
        TGPRectF Solid, Brush, DiagonalBrush, Fill, Ellipse;
        TGPPoint Centre;
        TGPRectF RadialFill;
        TColor From, To;           // the linear brush's start and end colours
        TColor First, Second;      // the half's own first and second colours
        TGdiPlusGradient Kind;
    };
    auto Paint = [&](const Half& P) {
        if (IsNone(P.First))
            return;
        TGPSolidBrush Solid(ColorToOpaqueARGB(P.First));
        G.FillRectangle(&Solid, P.Solid);
        if (IsNone(P.Second))
            return;
        if (P.Kind == ggRadial) {
            if (P.Ellipse.Width <= 0 || P.Ellipse.Height <= 0 || P.RadialFill.Width <= 0 || P.RadialFill.Height <= 0)
                return;
            TGPGraphicsPath Path;
            Path.AddEllipse(P.Ellipse.X, P.Ellipse.Y, P.Ellipse.Width, P.Ellipse.Height);
            TGPPathGradientBrush Brush(&Path);
            Brush.SetCenterPoint(P.Centre);
            Brush.SetCenterColor(ColorToOpaqueARGB(P.Second));
            const TGPColor Surround = ColorToOpaqueARGB(P.First);
            Integer Count = 1;
            Brush.SetSurroundColors(&Surround, Count);
            G.FillRectangle(&Brush, P.RadialFill);
            return;
        }
        const TGPRectF& Rect = P.Kind == ggVertical ? P.Brush : P.DiagonalBrush;
        if (Rect.Width <= 0 || Rect.Height <= 0)
            return;
        const int Mode = P.Kind == ggDiagonalForward    ? GPLinearGradientModeForwardDiagonal
                         : P.Kind == ggDiagonalBackward ? GPLinearGradientModeBackwardDiagonal
                         : Side                         ? GPLinearGradientModeHorizontal
                                                        : GPLinearGradientModeVertical;
        TGPLinearGradientBrush Brush(Rect, ColorToOpaqueARGB(P.From), ColorToOpaqueARGB(P.To), Mode);
        G.FillRectangle(&Brush, P.Fill);
    };
    const int Cx = static_cast<int>(L + Gw), Cy = static_cast<int>(T + F);
    const TColor C = K.Color, CT = K.ColorTo, M = K.Mirror, MT = K.MirrorTo;
    const TGdiPlusGradient Gm = K.Gradient, Gr = K.GradientMirror;
    switch (Pos) {
    case tpTop:
        Paint({{L, T + F, W, F}, {L, T + F, W, F}, {L, T + F, W, F}, {L + 1, T + F + 1, W - 1, FullMirror ? F + 1 : F - 1},
               {L, T + F, W, H}, {Cx, R.bottom}, {L + 1, T + F, W - 1, F + 1}, M, MT, M, MT, Gr});
        Paint({{L, T, W, F}, {L, T, W, F + 1}, {L, T, W, H}, {L + 1, T + 1, W - 1, F}, {L, T - F, W, H}, {Cx, R.top},
               {L + 1, T + 1, W - 1, H - F - 1}, C, CT, C, CT, Gm});
        break;
    case tpBottom:
        Paint({{L, T, W, F}, {L, T, W, F}, {L, T, W, F}, {L + 1, T + 1, W - 1, F + 1}, {L, T, W, F}, {Cx, R.top},
               {L + 1, T, W - 1, F + 1}, MT, M, M, MT, Gr});
        Paint({{L, T + F, W, F}, {L, T + F - 1, W, F}, {L, T + F, W, H}, {L + 1, T + F, W - 1, F - 1}, {L, B - F, W, H},
               {Cx, R.bottom}, {L + 1, T + F + 1, W - 1, F - 1}, CT, C, C, CT, Gm});
        break;
    case tpLeft:
        Paint({{L + Gw, T, Gw, H}, {L + Gw, T, Gw, H}, {L + Gw, T, Gw, H}, {L + Gw + 1, T, Gw + 1, H - 1},
               {L + Gw, T, W, H}, {R.right, Cy}, {L + Gw, T, Gw + 1, H - 1}, M, MT, M, MT, Gr});
        Paint({{L, T, Gw, H}, {L, T, Gw, H}, {L, T, W, H}, {L + 1, T + 1, Gw - 1, H - 1}, {L - Gw, T, W, H}, {R.left, Cy},
               {L + 1, T + 1, Gw - 1, H - 1}, C, CT, C, CT, Gm});
        break;
    case tpRight:
        Paint({{Rt - Gw, T, Gw, H}, {Rt - Gw, T, Gw, H}, {Rt - Gw, T, W, H}, {Rt - Gw, T + 1, Gw, H - 1},
               {Rt - Gw, T, W, H}, {R.right, Cy}, {Rt - Gw + 1, T + 1, Gw - 1, H - 1}, CT, C, C, CT, Gm});
        Paint({{L, T, Gw, H}, {L, T, Gw + 2, H}, {L, T, Gw, H}, {L, T, Gw + 2, H - 1}, {L - Gw, T, W, H}, {R.left, Cy},
               {L, T, Gw + 1, H - 1}, MT, M, M, MT, Gr});
        break;
    }
}

// A rounded (radius 3) or square outline over (X, Y, W, H).
void DrawRoundRectPath(TGPGraphics& G, TGPPen* Pen, float X, float Y, float W, float H)
{
    const float D = 6;
    TGPGraphicsPath Path;
    Path.AddArc(X, Y, D, D, 180, 90);
    Path.AddArc(X + W - D, Y, D, D, 270, 90);
    Path.AddArc(X + W - D, Y + H - D, D, D, 0, 90);
    Path.AddArc(X, Y + H - D, D, D, 90, 90);
    Path.CloseFigure();
    G.DrawPath(Pen, &Path);
}

void DrawRectPath(TGPGraphics& G, TGPPen* Pen, float X, float Y, float W, float H)
{
    TGPGraphicsPath Path;
    Path.AddLine(X, Y, X + W, Y);
    Path.AddLine(X + W, Y, X + W, Y + H);
    Path.AddLine(X + W, Y + H, X, Y + H);
    Path.CloseFigure();
    G.DrawPath(Pen, &Path);
}

// The two-part GDI+ fill of a plain tab or a page, then its outline.
void DrawVistaGradient(TCanvas* C, const TRect& R, const TTabColors& K, TTabPosition Pos, bool FullMirror, bool Rounded)
{
    if (RectWidth(R) <= 0 || RectHeight(R) <= 0)
        return;
    TGPGraphics G(C->Handle());
    FillTabHalves(G, R, K, Pos, FullMirror);
    if (IsNone(K.Border))
        return;
    G.SetSmoothingMode(GPSmoothingModeAntiAlias);
    TGPPen Pen(ColorToOpaqueARGB(K.Border), 1.0f);
    const float X = static_cast<float>(R.left), Y = static_cast<float>(R.top);
    const float W = static_cast<float>(RectWidth(R) - 1), H = static_cast<float>(RectHeight(R) - 1);
    if (Rounded)
        DrawRoundRectPath(G, &Pen, X, Y, W, H);
    else
        DrawRectPath(G, &Pen, X, Y, W, H);
}

// A shaped tab: the fill clipped to the outline, then the outline drawn
// smoothly 1.6 pixels wide.
void DrawShapedTab(TCanvas* C, const TRect& R, const TTabColors& K, TTabPosition Pos, bool Rotated, int Rounding,
                   TProTabShape Shape)
{
    if (RectWidth(R) <= 0 || RectHeight(R) <= 0)
        return;
    auto Path = CreateTabShapePath(R, Shape, Rounding, Pos);
    TGPGraphics G(C->Handle());
    {
        TGPRegion Clip(Path.get());
        G.SetClip(&Clip, GPCombineModeReplace);
        const bool Side = Pos == tpLeft || Pos == tpRight;
        FillTabHalves(G, R, K, Side && !Rotated ? tpTop : Pos, Rotated);
        G.ResetClip();
    }
    if (!IsNone(K.Border)) {
        G.SetSmoothingMode(GPSmoothingModeAntiAlias);
        TGPPen Pen(ColorToOpaqueARGB(K.Border), 1.6f);
        G.DrawPath(&Pen, Path.get());
    }
}

// The finish of a plain tab over its fill: the outer corners take the
// pixels just outside them, a light line runs inside the outer edge, a
// shadow falls beside the tab, and inner lines light its edges.
struct TPlainTabFinish {
    TColor Light = clNoneColor, Shadow = clNoneColor, ShadowBlend = clNoneColor;
    TColor Inner = clNoneColor, Highlight = clNoneColor;
};

void PaintPlainTabFinish(TCanvas* C, const TRect& Rc, const TPlainTabFinish& P, TTabPosition Pos, bool Rotated)
{
    HDC Dc = C->Handle();
    const int L = Rc.left, T = Rc.top, R = Rc.right, B = Rc.bottom;
    auto Copy = [Dc](std::initializer_list<POINT> To, int X, int Y) {
        const COLORREF From = GetPixel(Dc, X, Y);
        for (const POINT Q : To)
            SetPixel(Dc, Q.x, Q.y, From);
    };
    auto Line = [C](TColor Color, int X1, int Y1, int X2, int Y2) {
        if (IsNone(Color))
            return;
        C->Pen()->SetColor(Color);
        C->MoveTo(X1, Y1);
        C->LineTo(X2, Y2);
    };
    switch (Pos) {
    case tpTop:
        Copy({{L, T}}, L - 1, T - 1);
        Copy({{L + 1, T}}, L + 1, T - 1);
        Copy({{L, T + 1}}, L - 1, T);
        Copy({{R - 1, T}, {R - 2, T}, {R - 1, T + 1}}, R + 1, T);
        Line(P.Light, L + 3, T + 3, R - 3, T + 3);
        Line(P.Shadow, R, T + 3, R, B - 4);
        Line(P.ShadowBlend, R + 1, T + 4, R + 1, B - 4);
        Line(P.Inner, L + 3, T + 1, R - 3, T + 1);
        Line(P.Highlight, L + 1, T + 3, L + 1, B - 5);
        Line(P.Highlight, R - 2, T + 3, R - 2, B - 5);
        break;
    case tpBottom:
        Copy({{L, B - 2}, {L + 1, B - 1}, {L, B - 1}}, L - 1, B - 1);
        Copy({{R - 1, B - 1}, {R - 2, B - 1}, {R - 1, B - 2}}, R + 1, B);
        Line(P.Light, L + 3, B - 3, R - 3, B - 3);
        Line(P.Shadow, R, T + 4, R, B - 2);
        Line(P.ShadowBlend, R + 1, T + 4, R + 1, B - 3);
        Line(P.Inner, L + 3, B - 2, R - 3, B - 2);
        Line(P.Highlight, L + 1, B - 3, L + 1, T + 5);
        Line(P.Highlight, R - 2, B - 3, R - 2, T + 5);
        break;
    case tpLeft:
        Copy({{L, T}}, L - 1, T - 1);
        Copy({{L + 1, T}}, L + 1, T - 1);
        Copy({{L, T + 1}}, L - 1, T);
        Copy({{L, B - 1}, {L + 1, B - 1}, {L, B - 2}}, L - 1, B);
        if (Rotated) {
            Line(P.Light, L + 3, T + 3, L + 3, B - 3);
            Line(P.Shadow, L + 3, T - 1, R, T - 1);
            Line(P.ShadowBlend, L + 4, T - 2, R, T - 2);
        } else {
            Line(P.Light, L + 3, T + 3, R - 5, T + 3);
            Line(P.Shadow, L + 3, B, R, B);
            Line(P.ShadowBlend, L + 4, B + 1, R, B + 1);
        }
        Line(P.Inner, L + 1, T + 3, L + 1, B - 3);
        Line(P.Highlight, L + 3, T + 1, R - 5, T + 1);
        Line(P.Highlight, L + 3, B - 2, R - 5, B - 2);
        break;
    case tpRight:
        Copy({{R, T}, {R - 1, T}}, R + 1, T - 1);
        Copy({{R, T + 1}}, R + 1, T);
        Copy({{R, B - 1}, {R - 1, B - 1}, {R, B - 2}}, R + 1, B);
        if (Rotated)
            Line(P.Light, R - 3, T + 3, R - 3, B - 3);
        else
            Line(P.Light, L + 5, T + 3, R - 3, T + 3);
        Line(P.Shadow, L + 3, B, R - 3, B);
        Line(P.ShadowBlend, L + 4, B + 1, R - 4, B + 1);
        Line(P.Inner, R - 2, T + 3, R - 2, B - 3);
        Line(P.Highlight, L + 5, T + 1, R - 3, T + 1);
        Line(P.Highlight, L + 5, B - 2, R - 3, B - 2);
        break;
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
    TColor Highlight = A->HighLightColor;
    bool FocusedActive = false;
    bool Background = true;
    auto HotSet = [&] {
        return TTabColors{A->ColorHot(),       A->ColorHotTo(),     A->ColorMirrorHot(),      A->ColorMirrorHotTo(),
                          A->BorderColorHot, A->TextColorHot(), A->GradientHot(), A->GradientMirrorHot()};
    };
    auto NormalSet = [&] {
        return TTabColors{A->Color(),       A->ColorTo(),     A->ColorMirror(), A->ColorMirrorTo(),
                          A->BorderColor(), A->TextColor(), A->Gradient(),    A->GradientMirror()};
    };
    // A hover fade between the hot look and the normal one.
    auto FadeAgainstNormal = [&] {
        const TTabColors H = HotSet(), N = NormalSet();
        K.Color = BlendColors(H.Color, N.Color, Glow);
        K.ColorTo = BlendColors(H.ColorTo, N.ColorTo, Glow);
        K.Mirror = BlendColors(H.Mirror, N.Mirror, Glow);
        K.MirrorTo = BlendColors(H.MirrorTo, N.MirrorTo, Glow);
        K.Border = BlendColors(H.Border, N.Border, Glow);
        K.Gradient = H.Gradient;
        K.GradientMirror = H.GradientMirror;
    };
    auto FadeAgainstStrip = [&] {
        TTabColors H = HotSet();
        K.Color = BlendColors(H.Color, BackColor, Glow);
        K.ColorTo = BlendColors(H.ColorTo, BackColorTo, Glow);
        K.Mirror = BlendColors(H.Mirror, BackColor, Glow);
        K.MirrorTo = BlendColors(H.MirrorTo, BackColor, Glow);
        K.Border = BlendColors(H.Border, BackColor, Glow);
        K.Gradient = H.Gradient;
        K.GradientMirror = H.GradientMirror;
    };
    if (!Page->TabEnabled() && FShowNonSelectedTabs) {
        K = TTabColors{A->ColorDisabled(), A->ColorDisabledTo(), A->ColorMirrorDisabled(), A->ColorMirrorDisabledTo(),
                       A->BorderColorDisabled(), A->TextColorDisabled(), A->GradientDisabled(), A->GradientMirrorDisabled()};
    } else if (Active) {
        K = TTabColors{A->ColorSelected(), A->ColorSelectedTo(), A->ColorMirrorSelected(), A->ColorMirrorSelectedTo(),
                       A->BorderColorSelected(), A->TextColorSelected(), A->GradientSelected(), A->GradientMirrorSelected()};
        if (Hot) {
            K.Border = A->BorderColorSelectedHot();
            Highlight = A->HighLightColorSelectedHot;
        }
        if (Index == FDownTabIndex) {
            K.Border = A->BorderColorDown();
            Highlight = A->HighLightColorDown;
        }
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
        Highlight = A->HighLightColorHot;
        if (Fading && Page->GlowMode() == 0) {
            if (FShowNonSelectedTabs)
                FadeAgainstNormal();
            else
                FadeAgainstStrip();
        }
    } else if (FShowNonSelectedTabs) {
        K = NormalSet();
        // A tab the mouse has left fades back to the normal look.
        if (Fading && Page->GlowMode() == 0)
            FadeAgainstNormal();
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
        Highlight = A->HighLightColorSelected;
        FocusedActive = true;
        Background = true;
    }

    TCanvas* C = Canvas();
    // The active tab that carries the close button is drawn off the screen
    // and copied into place.
    const bool OffScreen = Active && FCloseOnTab && FButtonSettings->CloseButton();
    if (Background) {
        if (IsPlainTab()) {
            // Side tabs with horizontal captions are filled as top tabs.
            const bool Turned = (FTabPosition == tpLeft || FTabPosition == tpRight) && !FRotateTabLeftRight;
            const TTabPosition FillPos = Turned ? tpTop : FTabPosition;
            if (OffScreen) {
                // Over a copy of what lies under the tab, so its rounded
                // corners show the strip as when drawn in place.
                TBitmap Bitmap(RectWidth(R), RectHeight(R));
                const TRect Own = Rect(0, 0, RectWidth(R), RectHeight(R));
                Bitmap.Canvas()->CopyRect(Own, C, R);
                DrawVistaGradient(Bitmap.Canvas(), Own, K, FillPos, !Turned, true);
                C->CopyRect(R, Bitmap.Canvas(), Own);
            } else {
                DrawVistaGradient(C, R, K, FillPos, !Turned, true);
            }
            TPlainTabFinish Finish;
            if (!IsNone(K.Color)) {
                // Softer while the tab has the focus or fades with the hover.
                const bool Lit = FocusedActive || (Fading && Page->GlowMode() == 0);
                Finish.Light = BlendColors(static_cast<TColor>(0xFFFFFF), K.Color, Lit ? 20 : 50);
                if (!IsNone(K.Border))
                    Finish.Inner = BlendColors(K.Color, K.Border, 80);
            }
            if (!IsNone(A->ShadowColor)) {
                Finish.Shadow = A->ShadowColor;
                Finish.ShadowBlend = BlendColors(A->ShadowColor, BackColor, 40);
            }
            // The inner lines go with the highlight colour.
            if (IsNone(Highlight))
                Finish.Inner = clNoneColor;
            else
                Finish.Highlight = Highlight;
            PaintPlainTabFinish(C, R, Finish, FTabPosition, FRotateTabLeftRight);
        } else {
            // Shaped: the page side gives up a little of the rectangle.
            TRect S = R;
            switch (FTabPosition) {
            case tpTop: S.bottom -= 3; break;
            case tpLeft: S.right -= 3; break;
            case tpBottom: S.top += 2; break;
            case tpRight: S.left += 2; break;
            }
            const bool Side = FTabPosition == tpLeft || FTabPosition == tpRight;
            const TProTabShape Shape = Side && !FRotateTabLeftRight ? tsRectangle : FTabSettings->Shape();
            if (OffScreen) {
                // Drawn on a key colour that is left out when the bitmap is
                // copied, one pixel short at the far side.
                const TColor Key = BlendColors(IsNone(K.Border) ? static_cast<TColor>(0xFFFFFF) : K.Border,
                                               static_cast<TColor>(0xFFFFFF), 50);
                TBitmap Bitmap(RectWidth(R), RectHeight(R));
                Bitmap.Canvas()->Brush()->SetColor(Key);
                Bitmap.Canvas()->FillRect(Rect(0, 0, RectWidth(R), RectHeight(R)));
                S = Rect(0, 0, RectWidth(R), RectHeight(R));
                switch (FTabPosition) {
                case tpTop: S.bottom -= 3; S.right -= 1; break;
                case tpBottom: S.top += 2; S.right -= 1; S.bottom -= 1; break;
                case tpLeft: S.right -= 3; S.bottom -= 1; break;
                case tpRight: S.left += 2; S.right -= 1; S.bottom -= 2; break;
                }
                DrawShapedTab(Bitmap.Canvas(), S, K, FTabPosition, FRotateTabLeftRight, FTabSettings->Rounding(),
                              Shape);
                Bitmap.SetTransparentColor(Key);
                Bitmap.SetTransparent(true);
                C->Draw(R.left, R.top, &Bitmap);
            } else {
                DrawShapedTab(C, S, K, FTabPosition, FRotateTabLeftRight, FTabSettings->Rounding(), Shape);
            }
        }
    }
    if (OnDrawTab) {
        OnDrawTab(this, Index, R);
        return;
    }
    C->Font()->Assign(A->Font());
    C->Font()->SetColor(Page->Enabled() ? K.Text : static_cast<TColor>(0x808080));
    C->Brush()->SetStyle(TBrushStyle::bsClear);
    PaintTabContent(Index, R);
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
    TTabColors K{A->Color(),       A->ColorTo(), A->ColorMirror(), A->ColorMirrorTo(),
                 A->BorderColor(), clNoneColor,  A->Gradient(),    A->GradientMirror()};
    DrawVistaGradient(C, All, K, FPager->TabPosition(), true, Styler->RoundedCorners());

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

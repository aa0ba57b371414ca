#include "office/FlatUtils.h"

#include <algorithm>
#include <cmath>

namespace {

// Nearest integer, ties to the even one.
int RoundEven(double V)
{
    return static_cast<int>(std::nearbyint(V));
}

Byte ClampChannel(int V)
{
    return static_cast<Byte>(std::clamp(V, 0, 255));
}

} // namespace

void DrawBorderFrame(TCanvas* Canvas, TRect Rect, TColor Color, int Count)
{
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetStyle(TPenStyle::psSolid);
    Canvas->Pen()->SetColor(Color);
    --Rect.right;
    --Rect.bottom;
    for (int i = 0; i < Count; ++i) {
        Canvas->Polyline({Point(Rect.left, Rect.bottom), Point(Rect.left, Rect.top), Point(Rect.right, Rect.top)});
        Canvas->Polyline({Point(Rect.right, Rect.top), Point(Rect.right, Rect.bottom), Point(Rect.left - 1, Rect.bottom)});
        InflateRect(&Rect, -1, -1);
    }
}

void FillGradient(TCanvas* Canvas, const TRect& Rect, TColor Start, TColor Stop, bool Vertical)
{
    const COLORREF A = ColorToRGB(Start);
    const COLORREF B = ColorToRGB(Stop);
    double R = GetRValue(A), G = GetGValue(A), Bl = GetBValue(A);
    const double StepR = (static_cast<double>(GetRValue(B)) - R) / 31;
    const double StepG = (static_cast<double>(GetGValue(B)) - G) / 31;
    const double StepB = (static_cast<double>(GetBValue(B)) - Bl) / 31;
    const int Size = Vertical ? RectHeight(Rect) : RectWidth(Rect);
    const int Band = Size / 31 + 1;
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    for (int i = 0; i <= 31; ++i) {
        Canvas->Brush()->SetColor(RGBToColor(static_cast<Byte>(R), static_cast<Byte>(G), static_cast<Byte>(Bl)));
        R += StepR;
        G += StepG;
        Bl += StepB;
        const int O = (i * Size) / 31;
        TRect Part = Rect;
        if (Vertical) {
            Part.top = Rect.top + O;
            Part.bottom = std::min(Part.top + Band, Rect.bottom);
        } else {
            Part.left = Rect.left + O;
            Part.right = std::min(Part.left + Band, Rect.right);
        }
        if (Part.right > Part.left && Part.bottom > Part.top)
            Canvas->FillRect(Part);
    }
}

THLSFloat RGBToHLSFloat(COLORREF Color)
{
    const double R = GetRValue(Color) / 255.0, G = GetGValue(Color) / 255.0, B = GetBValue(Color) / 255.0;
    const double Max = std::max({R, G, B});
    const double Min = std::min({R, G, B});
    THLSFloat Out{0, (Max + Min) / 2, 0};
    if (Max == Min)
        return Out;
    const double D = Max - Min;
    Out.S = Out.L < 0.5 ? D / (Max + Min) : D / (2 - Max - Min);
    double H;
    if (R == Max)
        H = (G - B) / D;
    else if (G == Max)
        H = (B - R) / D + 2;
    else
        H = (R - G) / D + 4;
    H /= 6;
    if (H < 0)
        H += 1;
    Out.H = H;
    return Out;
}

COLORREF HLSFloatToRGB(const THLSFloat& Value)
{
    const double L = std::clamp(Value.L, 0.0, 1.0);
    const double S = std::clamp(Value.S, 0.0, 1.0);
    if (S == 0) {
        const Byte V = ClampChannel(RoundEven(255 * L));
        return RGB(V, V, V);
    }
    const double M2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
    const double M1 = 2 * L - M2;
    auto Channel = [M1, M2](double X) {
        if (X < 0)
            X += 1;
        if (X > 1)
            X -= 1;
        double V;
        if (6 * X < 1)
            V = M1 + (M2 - M1) * 6 * X;
        else if (2 * X < 1)
            V = M2;
        else if (3 * X < 2)
            V = M1 + (M2 - M1) * (2.0 / 3 - X) * 6;
        else
            V = M1;
        return ClampChannel(RoundEven(255 * V));
    };
    return RGB(Channel(Value.H + 1.0 / 3), Channel(Value.H), Channel(Value.H - 1.0 / 3));
}

THLS RGBToHLS(COLORREF Color)
{
    const THLSFloat F = RGBToHLSFloat(Color);
    return THLS{RoundEven(239 * F.H), RoundEven(HLSMax * F.L), RoundEven(HLSMax * F.S)};
}

COLORREF HLSToRGB(const THLS& Value)
{
    return HLSFloatToRGB(THLSFloat{Value.H / 239.0, Value.L / static_cast<double>(HLSMax),
                                   Value.S / static_cast<double>(HLSMax)});
}

TColor ShiftColorLightness(TColor Color, TColor Fallback, int Amount)
{
    if (Amount == 0)
        return Fallback;
    THLS V = RGBToHLS(ColorToRGB(Color));
    V.L = std::clamp(V.L + 10 - Amount, 0, HLSMax);
    const COLORREF C = HLSToRGB(V);
    return RGBToColor(GetRValue(C), GetGValue(C), GetBValue(C));
}

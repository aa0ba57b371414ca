#include "office/OfficeColors.h"

#include <algorithm>
#include <cmath>

namespace {

int RoundEven(double V)
{
    return static_cast<int>(std::nearbyint(V));
}

Byte ScaleChannel(Byte C, int Percent)
{
    if (C == 0)
        return static_cast<Byte>(std::clamp(Percent, 0, 255));
    return static_cast<Byte>(std::clamp(RoundEven(C * std::min(100, 100 + Percent) / 100.0), 0, 255));
}

} // namespace

TColor ScaleColorChannels(TColor Color, int PercentRed, int PercentGreen, int PercentBlue)
{
    const COLORREF C = ColorToRGB(Color);
    return RGBToColor(ScaleChannel(GetRValue(C), PercentRed), ScaleChannel(GetGValue(C), PercentGreen),
                      ScaleChannel(GetBValue(C), PercentBlue));
}

TColor ScaleColor(TColor Color, int Percent)
{
    return ScaleColorChannels(Color, Percent, Percent, Percent);
}

TColor BlendColors(TColor Color1, TColor Color2, int Percent)
{
    if (Percent >= 100)
        return Color1;
    if (Percent <= 0)
        return Color2;
    const COLORREF A = ColorToRGB(Color1);
    const COLORREF B = ColorToRGB(Color2);
    const double F = Percent / 100.0;
    auto Mix = [F](Byte X, Byte Y) { return static_cast<Byte>(std::clamp(RoundEven(F * X + (1 - F) * Y), 0, 255)); };
    return RGBToColor(Mix(GetRValue(A), GetRValue(B)), Mix(GetGValue(A), GetGValue(B)), Mix(GetBValue(A), GetBValue(B)));
}

void DrawGradient(TCanvas* Canvas, TColor Color1, TColor Color2, bool Horizontal, const TRect& R, int Steps)
{
    if (Steps <= 0)
        Steps = 1;
    const COLORREF A = ColorToRGB(Color1);
    const COLORREF B = ColorToRGB(Color2);
    const int DR = GetRValue(B) - GetRValue(A), DG = GetGValue(B) - GetGValue(A), DB = GetBValue(B) - GetBValue(A);
    const int Size = Horizontal ? RectWidth(R) : RectHeight(R);
    const double Band = static_cast<double>(Size) / Steps;
    Canvas->Pen()->SetStyle(TPenStyle::psSolid);
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    for (int i = 0; i < Steps; ++i) {
        const TColor C = RGBToColor(static_cast<Byte>(GetRValue(A) + RoundEven(static_cast<double>(i) * DR / Steps)),
                                    static_cast<Byte>(GetGValue(A) + RoundEven(static_cast<double>(i) * DG / Steps)),
                                    static_cast<Byte>(GetBValue(A) + RoundEven(static_cast<double>(i) * DB / Steps)));
        Canvas->Pen()->SetColor(C);
        Canvas->Brush()->SetColor(C);
        const int From = static_cast<int>(i * Band);
        const int To = static_cast<int>((i + 1) * Band) + 1;
        if (Horizontal)
            Canvas->Rectangle(R.left + From, R.top, std::min(R.left + To, R.right), R.bottom);
        else
            Canvas->Rectangle(R.left, R.top + From, R.right, std::min(R.top + To, R.bottom));
    }
}

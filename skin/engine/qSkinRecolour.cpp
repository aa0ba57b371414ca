#include "skin/engine/qSkinRecolour.h"

#include <unordered_map>

#include "skin/engine/qSkinPaint.h"

namespace {

template <class Op>
void RecolourPixels(TBitmap& Bmp, Op Change)
{
    const int bytes = Bmp.BytesPerPixel();
    // Skin pictures hold few colours: each is changed once.
    std::unordered_map<TColor, TColor> done;
    for (int y = 0; y < Bmp.Height(); ++y) {
        Byte* p = Bmp.ScanLine(y);
        for (int x = 0; x < Bmp.Width(); ++x, p += bytes) {
            if ((p[0] == p[1] && p[1] == p[2]) || (p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF))
                continue;
            const TColor from = RGBToColor(p[2], p[1], p[0]);
            auto found = done.find(from);
            if (found == done.end())
                found = done.emplace(from, Change(from)).first;
            const TColor to = found->second;
            p[0] = static_cast<Byte>((to >> 16) & 0xFF);
            p[1] = static_cast<Byte>((to >> 8) & 0xFF);
            p[2] = static_cast<Byte>(to & 0xFF);
        }
    }
}

template <class Op>
void Recolour(TqSkinModel& Skin, Op Change)
{
    if (Skin.MasterBitmap && !Skin.MasterBitmap->Empty())
        RecolourPixels(*Skin.MasterBitmap, Change);
    for (TqMaskData& m : Skin.Masks)
        if (m.Bmp) {
            m.Bmp->SetPixelFormat(TPixelFormat::pf24bit);
            RecolourPixels(*m.Bmp, Change);
        }
    const auto unlessNone = [&](TColor& C) {
        if (C != -1)
            C = Change(C);
    };
    const auto bands = [&](TqGradArray& Bands) {
        for (TqGradient& b : Bands) {
            b.Color1 = Change(b.Color1);
            b.Color2 = Change(b.Color2);
        }
    };
    for (TqGeneralData& s : Skin.Sections) {
        s.Color = Change(s.Color);
        s.HotColor = Change(s.HotColor);
        for (TColor* c : {&s.FontColor, &s.TCLeft, &s.TCTop, &s.TCRight, &s.TCBottom, &s.HotFontColor, &s.HotTCLeft,
                          &s.HotTCTop, &s.HotTCRight, &s.HotTCBottom})
            unlessNone(*c);
        bands(s.GradientArray);
        bands(s.HotGradientArray);
    }
    Skin.Header.Shadow1Color = Change(Skin.Header.Shadow1Color);
    Skin.Header.BorderColor = Change(Skin.Header.BorderColor);
}

} // namespace

int SaturationAmount(int Value)
{
    return -Value % 101;
}

void ApplyHueOffset(TqSkinModel& Skin, int Offset)
{
    if (Offset != 0)
        Recolour(Skin, [Offset](TColor C) { return ShiftHue(Offset, C); });
}

void ApplySaturation(TqSkinModel& Skin, int Value)
{
    const int amount = SaturationAmount(Value);
    if (Value != 0)
        Recolour(Skin, [amount](TColor C) { return ChangeSaturation(C, amount); });
}

#include "office/GlowButtonAppearance.h"

#include "office/OfficeColors.h"

namespace {

constexpr TColor HotColor = 0xF5F0E1, HotColorTo = 0xF9D2B2, HotMirror = 0xF5C8AD, HotMirrorTo = 0xFFF8F4;
constexpr TColor NormalColor = 0xFFFFFF, NormalColorTo = 0xFFFFFF, NormalMirror = 0xC0C0C0, NormalMirrorTo = 0xFFFFFF;

// "No stored default": the value is always written.
constexpr Integer Always = -1;

constexpr Integer StoredDefaults[TGlowButtonAppearance::avCount] = {
    0xC0C0C0, 0xFF0000, 0x800000, 0xFF0000, 0x808080,   // borders
    0xFFFFFF, 0xFFFFFF,                                 // Color, ColorTo
    Always, Always, Always, Always, Always, Always, Always, Always,   // checked, disabled, down, hot
    0xC0C0C0, 0xFFFFFF,                                 // ColorMirror, ColorMirrorTo
    Always, Always, Always, Always, Always, Always, Always, Always,   // mirror hot, down, checked, disabled
    ggVertical, ggVertical, ggRadial, ggRadial, ggRadial, ggRadial, ggRadial, ggVertical, ggRadial, ggRadial,
};

const char* const Names[TGlowButtonAppearance::avCount] = {
#define GLOW_NAME(Name) #Name,
    GLOW_APPEARANCE_COLORS(GLOW_NAME) GLOW_APPEARANCE_GRADIENTS(GLOW_NAME)
#undef GLOW_NAME
};

using A = TGlowButtonAppearance;

} // namespace

TGlowButtonAppearance::TGlowButtonAppearance()
{
    // Normal, hot, then the down and checked colours (hot with red and
    // green 10 % darker), the disabled ones (normal 5 % darker), borders,
    // gradient kinds.
    const TColor Normal[4] = {NormalColor, NormalColorTo, NormalMirror, NormalMirrorTo};
    const TColor Hot[4] = {HotColor, HotColorTo, HotMirror, HotMirrorTo};
    const TValue NormalSlots[4] = {avColor, avColorTo, avColorMirror, avColorMirrorTo};
    const TValue HotSlots[4] = {avColorHot, avColorHotTo, avColorMirrorHot, avColorMirrorHotTo};
    const TValue DownSlots[4] = {avColorDown, avColorDownTo, avColorMirrorDown, avColorMirrorDownTo};
    const TValue CheckedSlots[4] = {avColorChecked, avColorCheckedTo, avColorMirrorChecked, avColorMirrorCheckedTo};
    const TValue DisabledSlots[4] = {avColorDisabled, avColorDisabledTo, avColorMirrorDisabled, avColorMirrorDisabledTo};
    for (int i = 0; i < 4; ++i) {
        FValues[NormalSlots[i]] = Normal[i];
        FValues[HotSlots[i]] = Hot[i];
        FValues[DownSlots[i]] = ScaleColorChannels(Hot[i], -10, -10, 0);
        FValues[CheckedSlots[i]] = ScaleColorChannels(Hot[i], -10, -10, 0);
        FValues[DisabledSlots[i]] = ScaleColorChannels(Normal[i], -5, -5, -5);
    }
    FValues[avBorderColor] = 0xC0C0C0;
    FValues[avBorderColorHot] = 0xFF0000;
    FValues[avBorderColorDown] = 0x800000;
    FValues[avBorderColorChecked] = 0xFF0000;
    FValues[avBorderColorDisabled] = 0x808080;
    for (int i = avGradient; i < avCount; ++i)
        FValues[i] = StoredDefaults[i];
}

void TGlowButtonAppearance::SetValue(TValue Index, Integer Value)
{
    if (FValues[Index] == Value)
        return;
    FValues[Index] = Value;
    if (OnChange)
        OnChange(this);
}

void TGlowButtonAppearance::SetSystemFont(bool Value)
{
    if (FSystemFont == Value)
        return;
    FSystemFont = Value;
    if (OnChange)
        OnChange(this);
}

const char* TGlowButtonAppearance::ValueName(TValue Index)
{
    return Names[Index];
}

bool TGlowButtonAppearance::IsStored(TValue Index) const
{
    return StoredDefaults[Index] == Always || StoredDefaults[Index] != FValues[Index];
}

void TGlowButtonAppearance::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TGlowButtonAppearance*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    static const TValue Order[] = {
        avColor, avColorTo, avColorMirror, avColorMirrorTo, avColorHot, avColorHotTo, avColorMirrorHot,
        avColorMirrorHotTo, avColorDown, avColorDownTo, avColorMirrorDown, avColorMirrorDownTo, avColorChecked,
        avColorCheckedTo, avColorMirrorChecked, avColorMirrorCheckedTo, avColorDisabled, avColorDisabledTo,
        avColorMirrorDisabled, avColorMirrorDisabledTo, avBorderColor, avBorderColorHot, avBorderColorDown,
        avBorderColorChecked, avBorderColorDisabled, avGradient, avGradientMirror, avGradientHot,
        avGradientMirrorHot, avGradientDown, avGradientMirrorDown, avGradientChecked, avGradientMirrorChecked,
        avGradientDisabled, avGradientMirrorDisabled,
    };
    for (TValue V : Order)
        SetValue(V, S->FValues[V]);
    SetSystemFont(S->FSystemFont);
}

TGlowColorSet TGlowButtonAppearance::Look(TGlowLook Which) const
{
    auto Set = [this](TValue C, TValue CT, TValue M, TValue MT, TValue B, TValue G, TValue GM) {
        return TGlowColorSet{FValues[C], FValues[CT], FValues[M], FValues[MT], FValues[B],
                             static_cast<TGdiPlusGradient>(FValues[G]), static_cast<TGdiPlusGradient>(FValues[GM])};
    };
    switch (Which) {
    case glHot:
        return Set(avColorHot, avColorHotTo, avColorMirrorHot, avColorMirrorHotTo, avBorderColorHot, avGradientHot,
                   avGradientMirrorHot);
    case glDown:
        return Set(avColorDown, avColorDownTo, avColorMirrorDown, avColorMirrorDownTo, avBorderColorDown,
                   avGradientDown, avGradientMirrorDown);
    case glChecked:
        return Set(avColorChecked, avColorCheckedTo, avColorMirrorChecked, avColorMirrorCheckedTo,
                   avBorderColorChecked, avGradientChecked, avGradientMirrorChecked);
    case glDisabled:
        return Set(avColorDisabled, avColorDisabledTo, avColorMirrorDisabled, avColorMirrorDisabledTo,
                   avBorderColorDisabled, avGradientDisabled, avGradientMirrorDisabled);
    case glNormal:
    default:
        return Set(avColor, avColorTo, avColorMirror, avColorMirrorTo, avBorderColor, avGradient, avGradientMirror);
    }
}

namespace {

struct TPresetSet {
    TColor C, CT, M, MT, Border;
};

// Writes one look's four colours, its border (unless KeepBorder) and its
// two gradient kinds as vertical.
void WriteSet(A& Ap, TGlowLook Look, const TPresetSet& S, bool KeepBorder = false)
{
    struct Slots {
        A::TValue C, CT, M, MT, B, G, GM;
    };
    static const Slots Table[] = {
        {A::avColor, A::avColorTo, A::avColorMirror, A::avColorMirrorTo, A::avBorderColor, A::avGradient,
         A::avGradientMirror},
        {A::avColorHot, A::avColorHotTo, A::avColorMirrorHot, A::avColorMirrorHotTo, A::avBorderColorHot,
         A::avGradientHot, A::avGradientMirrorHot},
        {A::avColorDown, A::avColorDownTo, A::avColorMirrorDown, A::avColorMirrorDownTo, A::avBorderColorDown,
         A::avGradientDown, A::avGradientMirrorDown},
        {A::avColorChecked, A::avColorCheckedTo, A::avColorMirrorChecked, A::avColorMirrorCheckedTo,
         A::avBorderColorChecked, A::avGradientChecked, A::avGradientMirrorChecked},
    };
    const Slots& T = Table[Look];
    Ap.SetValue(T.C, S.C);
    Ap.SetValue(T.CT, S.CT);
    Ap.SetValue(T.M, S.M);
    Ap.SetValue(T.MT, S.MT);
    if (!KeepBorder)
        Ap.SetValue(T.B, S.Border);
    Ap.SetValue(T.G, ggVertical);
    Ap.SetValue(T.GM, ggVertical);
}

const TPresetSet NormalSets[10] = {
    {0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B},   // 0 Office2003Blue
    {0xE6E9E2, 0xE6D8D8, 0xE6E9E2, 0xC8B2B3, 0x927476},   // 1 Office2003Silver
    {0xCFF0EA, 0xCFF0EA, 0xCFF0EA, 0x8CC0B1, 0x8CC0B1},   // 2 Office2003Olive
    {0xFFFFFF, 0xC9D1D5, 0xFFFFFF, 0xC9D1D5, 0x000000},   // 3 Office2003Classic
    {0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B},   // 4 Office2007Luna
    {0xDFDED6, 0xE4E2DB, 0xD7D5CE, 0xE7E5E0, 0xC0BCB2},   // 5 Office2007Obsidian
    {0xFFFFFF, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC},   // 6 WindowsXP
    {0xFFFFFF, 0xDFEDF0, 0xDFEDF0, 0xDFEDF0, 0x99A8AC},   // 7 Whidbey
    {},                                                   // 8 Custom: unused
    {0xF3F3F1, 0xF5F5F3, 0xEEEAE7, 0xF8F7F6, 0xCCCAC9},   // 9 Office2007Silver
};

void WriteStateSets(A& Ap, TComponentStylePreset Preset)
{
    if (Preset == tsWindowsXP) {
        WriteSet(Ap, glHot, {0xEFD3C6, 0xEFD3C6, 0xEFD3C6, 0xEFD3C6, clHighlight});
        WriteSet(Ap, glDown, {0xB59284, 0xB59284, 0xB59284, 0xB59284, clHighlight});
        WriteSet(Ap, glChecked, {0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0x000000});
        return;
    }
    WriteSet(Ap, glHot, {0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB});
    WriteSet(Ap, glDown, {0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B});
    const bool CheckedBorder = Preset == tsOffice2007Luna || Preset == tsOffice2007Obsidian || Preset == tsOffice2007Silver;
    WriteSet(Ap, glChecked, {0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE, 0x45667B}, !CheckedBorder);
}

} // namespace

void TGlowButtonAppearance::ApplyPreset(TComponentStylePreset Preset)
{
    if (Preset == tsCustom || Preset > tsOffice2007Silver)
        return;
    const bool StatesFirst = Preset == tsOffice2003Blue || Preset == tsOffice2003Silver ||
                             Preset == tsOffice2003Olive || Preset == tsWhidbey;
    if (StatesFirst)
        WriteStateSets(*this, Preset);
    WriteSet(*this, glNormal, NormalSets[Preset]);
    if (!StatesFirst)
        WriteStateSets(*this, Preset);
}

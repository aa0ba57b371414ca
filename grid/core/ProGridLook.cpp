// The grid's display settings objects: setters, copies and defaults.

#include "grid/core/ProGridLook.h"

#include "grid/core/GridDrawing.h"

namespace {

void CopyGlyph(std::unique_ptr<TBitmap>& Field, const TBitmap* Value)
{
    Field->Assign(Value);
}

} // namespace

// ---------------------------------------------------------------------------
// TControlLook

TControlLook::TControlLook()
    : FCheckedGlyph(std::make_unique<TBitmap>()), FUnCheckedGlyph(std::make_unique<TBitmap>()),
      FRadioOnGlyph(std::make_unique<TBitmap>()), FRadioOffGlyph(std::make_unique<TBitmap>())
{
}

TControlLook::~TControlLook() = default;

void TControlLook::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TControlLook*>(Source);
    if (!S)
        return;
    FCheckSize = S->FCheckSize;
    FRadioSize = S->FRadioSize;
    FControlStyle = S->FControlStyle;
    CopyGlyph(FCheckedGlyph, S->FCheckedGlyph.get());
    CopyGlyph(FUnCheckedGlyph, S->FUnCheckedGlyph.get());
    CopyGlyph(FRadioOnGlyph, S->FRadioOnGlyph.get());
    CopyGlyph(FRadioOffGlyph, S->FRadioOffGlyph.get());
    FProgressMarginX = S->FProgressMarginX;
    FProgressMarginY = S->FProgressMarginY;
    FCommentColor = S->FCommentColor;
    FColor = S->FColor;
    FProgressBorderColor = S->FProgressBorderColor;
    FCheckAlwaysActive = S->FCheckAlwaysActive;
    FRadioAlwaysActive = S->FRadioAlwaysActive;
    FGradient = S->FGradient;
    FDropDownAlwaysVisible = S->FDropDownAlwaysVisible;
    FSpinButtonsAlwaysVisible = S->FSpinButtonsAlwaysVisible;
    Changed();
}

void TControlLook::SetCheckedGlyph(const TBitmap* V)
{
    CopyGlyph(FCheckedGlyph, V);
    Changed();
}

void TControlLook::SetUnCheckedGlyph(const TBitmap* V)
{
    CopyGlyph(FUnCheckedGlyph, V);
    Changed();
}

void TControlLook::SetRadioOnGlyph(const TBitmap* V)
{
    CopyGlyph(FRadioOnGlyph, V);
    Changed();
}

void TControlLook::SetRadioOffGlyph(const TBitmap* V)
{
    CopyGlyph(FRadioOffGlyph, V);
    Changed();
}

namespace {

TColor& GradientField(TFixedGradient& G, TFixedGradientSlot Slot)
{
    switch (Slot) {
    case TFixedGradientSlot::From: return G.From;
    case TFixedGradientSlot::To: return G.To;
    case TFixedGradientSlot::MirrorFrom: return G.MirrorFrom;
    case TFixedGradientSlot::MirrorTo: return G.MirrorTo;
    case TFixedGradientSlot::HoverFrom: return G.HoverFrom;
    case TFixedGradientSlot::HoverTo: return G.HoverTo;
    case TFixedGradientSlot::HoverMirrorFrom: return G.HoverMirrorFrom;
    case TFixedGradientSlot::HoverMirrorTo: return G.HoverMirrorTo;
    case TFixedGradientSlot::HoverBorder: return G.HoverBorder;
    case TFixedGradientSlot::DownFrom: return G.DownFrom;
    case TFixedGradientSlot::DownTo: return G.DownTo;
    case TFixedGradientSlot::DownMirrorFrom: return G.DownMirrorFrom;
    case TFixedGradientSlot::DownMirrorTo: return G.DownMirrorTo;
    case TFixedGradientSlot::DownBorder: return G.DownBorder;
    }
    return G.From;
}

} // namespace

TColor TControlLook::GradientColor(TFixedGradientSlot Slot) const
{
    return GradientField(const_cast<TFixedGradient&>(FGradient), Slot);
}

void TControlLook::SetGradientColor(TFixedGradientSlot Slot, TColor Value)
{
    GradientField(FGradient, Slot) = Value;
    if (Value != clNone && OnGradientChange)
        OnGradientChange(Slot, Value);
    Changed();
}

// ---------------------------------------------------------------------------
// TBands

void TBands::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TBands*>(Source);
    if (!S)
        return;
    FActive = S->FActive;
    FPrimaryColor = S->FPrimaryColor;
    FPrimaryLength = S->FPrimaryLength;
    FSecondaryColor = S->FSecondaryColor;
    FSecondaryLength = S->FSecondaryLength;
    FPrint = S->FPrint;
    Changed();
}

void TBands::SetActive(bool V)
{
    FActive = V;
    Changed();
}

void TBands::SetPrimaryLength(int V)
{
    FPrimaryLength = V;
    ChangedWhileActive();
}

void TBands::SetSecondaryLength(int V)
{
    FSecondaryLength = V;
    ChangedWhileActive();
}

void TBands::SetPrimaryColor(TColor V)
{
    FPrimaryColor = V;
    ChangedWhileActive();
}

void TBands::SetSecondaryColor(TColor V)
{
    FSecondaryColor = V;
    ChangedWhileActive();
}

// ---------------------------------------------------------------------------
// TBackGround

TBackGround::TBackGround() : FBitmap(std::make_unique<TBitmap>()) {}

TBackGround::~TBackGround() = default;

void TBackGround::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TBackGround*>(Source);
    if (!S)
        return;
    FTop = S->FTop;
    FLeft = S->FLeft;
    FDisplay = S->FDisplay;
    FCells = S->FCells;
    FColor = S->FColor;
    FColorTo = S->FColorTo;
    FBitmap->Assign(S->FBitmap.get());
    Changed();
}

void TBackGround::SetBitmap(const TBitmap* V)
{
    FBitmap->Assign(V);
    Changed();
}

// ---------------------------------------------------------------------------
// TGridProgressAppearance

void TGridProgressAppearance::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TGridProgressAppearance*>(Source);
    if (!S)
        return;
    const TNotifyEvent Keep = OnChange;
    OnChange = nullptr;
    SetUnCompleteFontColor(S->UnCompleteFontColor());
    SetCompleteColor(S->CompleteColor());
    SetUnCompleteColor(S->UnCompleteColor());
    SetCompleteFontColor(S->CompleteFontColor());
    SetStacked(S->Stacked());
    SetShowPercentage(S->ShowPercentage());
    SetShowBorder(S->ShowBorder());
    SetCompletionSmooth(S->CompletionSmooth());
    SetShowGradient(S->ShowGradient());
    SetLevel2Perc(S->Level2Perc());
    SetLevel1Perc(S->Level1Perc());
    SetSteps(S->Steps());
    SetLevel3Color(S->Level3Color());
    SetLevel1Color(S->Level1Color());
    SetLevel0Color(S->Level0Color());
    SetLevel3ColorTo(S->Level3ColorTo());
    SetLevel2ColorTo(S->Level2ColorTo());
    SetLevel0ColorTo(S->Level0ColorTo());
    SetLevel1ColorTo(S->Level1ColorTo());
    SetBorderColor(S->BorderColor());
    SetLevel2Color(S->Level2Color());
    OnChange = Keep;
    Changed();
}

void TGridProgressAppearance::Fill(TLevelProgressAppearance& A) const
{
    A.Level0Color = FLevel0Color;
    A.Level0ColorTo = FLevel0ColorTo;
    A.Level1Color = FLevel1Color;
    A.Level1ColorTo = FLevel1ColorTo;
    A.Level2Color = FLevel2Color;
    A.Level2ColorTo = FLevel2ColorTo;
    A.Level3Color = FLevel3Color;
    A.Level3ColorTo = FLevel3ColorTo;
    A.Level1Perc = FLevel1Perc;
    A.Level2Perc = FLevel2Perc;
    A.BorderColor = FBorderColor;
    A.ShowBorder = FShowBorder;
    A.Stacked = FStacked;
    A.ShowPercentage = FShowPercentage;
    A.CompletionSmooth = FCompletionSmooth;
    A.ShowGradient = FShowGradient;
    A.Steps = FSteps;
    A.UnCompleteColor = FUnCompleteColor;
}


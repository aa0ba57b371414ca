#include "office/TabAppearance.h"

void TGradientBackground::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TGradientBackground*>(Source)) {
        FColor = S->FColor;
        FColorTo = S->FColorTo;
        FDirection = S->FDirection;
        FSteps = S->FSteps;
    }
}

void TVistaBackground::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TVistaBackground*>(Source)) {
        FSteps = S->FSteps;
        FColor = S->FColor;
        FColorTo = S->FColorTo;
        FColorMirror = S->FColorMirror;
        FColorMirrorTo = S->FColorMirrorTo;
        FBorderColor = S->FBorderColor;
        SetGradient(S->FGradient);
        SetGradientMirror(S->FGradientMirror);
        return;
    }
    TPersistent::Assign(Source);
}

TCustomTabAppearance::TCustomTabAppearance()
    : FFont(std::make_unique<TFont>()), FBackGround(std::make_unique<TGradientBackground>())
{
    FFont->SetName("Tahoma");
    FFont->SetSize(8);
    FBackGround->OnChange = [this](TObject*) { Changed(); };
}

TCustomTabAppearance::~TCustomTabAppearance() = default;

void TCustomTabAppearance::SetBackGround(const TGradientBackground* Value)
{
    FBackGround->Assign(Value);
}

void TCustomTabAppearance::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TCustomTabAppearance*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    // Everything but the two text colours directly, without notification.
    const TColor OwnText = FTextColor, OwnTextHot = FTextColorHot;
#define TAB_COPY_COLOR(Name, Default) F##Name = S->F##Name;
    TAB_APPEARANCE_COLORS(TAB_COPY_COLOR)
#undef TAB_COPY_COLOR
#define TAB_COPY_GRADIENT(Name) F##Name = S->F##Name;
    TAB_APPEARANCE_GRADIENTS(TAB_COPY_GRADIENT)
#undef TAB_COPY_GRADIENT
    FTextColor = OwnText;
    FTextColorHot = OwnTextHot;
    FFont->Assign(S->FFont.get());
    SetTextColor(S->FTextColor);
    SetTextColorHot(S->FTextColorHot);
    ShadowColor = S->ShadowColor;
    BorderColorHot = S->BorderColorHot;
    HighLightColor = S->HighLightColor;
    HighLightColorHot = S->HighLightColorHot;
    HighLightColorSelected = S->HighLightColorSelected;
    HighLightColorSelectedHot = S->HighLightColorSelectedHot;
    HighLightColorDown = S->HighLightColorDown;
    FBackGround->Assign(S->FBackGround.get());
}

#include "grid/interaction/FloatingFooter.h"

#include "grid/core/ProGrid.h"
#include "grid/interaction/FooterPanel.h"

void TFloatingFooter::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TFloatingFooter*>(Source);
    if (!S)
        return;
    CalculateHiddenRows = S->CalculateHiddenRows;
    FColor = S->FColor;
    FColumn = S->FColumn;
    FCustomTemplate = S->FCustomTemplate;
    FFooterStyle = S->FFooterStyle;
    SetVisible(S->FVisible);
    FShowHint = S->FShowHint;
}

void TFloatingFooter::RepaintPanel()
{
    if (FGrid)
        FGrid->RepaintFloatingFooter();
}

void TFloatingFooter::SetBorderColor(TColor Value)
{
    if (Value == FBorderColor)
        return;
    FBorderColor = Value;
    RepaintPanel();
}

void TFloatingFooter::SetColor(TColor Value)
{
    FColor = Value;
    RepaintPanel();
}

void TFloatingFooter::SetColumn(int Value)
{
    FColumn = Value;
    RepaintPanel();
}

void TFloatingFooter::SetCustomTemplate(const String& Value)
{
    FCustomTemplate = Value;
    RepaintPanel();
}

void TFloatingFooter::SetFooterStyle(TFooterStyle Value)
{
    FFooterStyle = Value;
    if (!FGrid)
        return;
    FGrid->HideLastRow = Value == fsFixedLastRow && FVisible;
    FGrid->FooterRoomChanged();
    FGrid->Invalidate();
    RepaintPanel();
}

void TFloatingFooter::SetShowHint(bool Value)
{
    FShowHint = Value;
    if (FGrid)
        FGrid->FooterPanel()->SetShowHint(Value);
}

void TFloatingFooter::SetVisible(bool Value)
{
    FVisible = Value;
    if (!FGrid)
        return;
    TFooterPanel* Panel = FGrid->FooterPanel();
    Panel->SetHeight(Value ? FooterHeight - 1 : 0);
    Panel->SetVisible(Value);
    FGrid->SetFixedFooters(Value && FFooterStyle == fsFixedLastRow ? 1 : 0);
    FGrid->HideLastRow = Value && FFooterStyle == fsFixedLastRow;
    FGrid->FooterRoomChanged();
    FGrid->Invalidate();
}

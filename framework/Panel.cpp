#include "framework/Panel.h"

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clBtnFace);
    SetParentColor(true);
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelOuter(TBevelCut Value)
{
    FBevelOuter = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value)
{
    FBevelInner = Value;
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value)
{
    FBevelWidth = Value;
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Invalidate();
}

// One bevel of BevelWidth pixels inside R; R shrinks by it.
void TCustomPanel::DrawBevel(TRect& R, TBevelCut Cut)
{
    if (Cut == bvNone)
        return;
    TCanvas* canvas = Canvas();
    for (int i = 0; i < FBevelWidth; ++i) {
        if (Cut != bvSpace) {
            const TColor topLeft = Cut == bvRaised ? clBtnHighlight : clBtnShadow;
            const TColor bottomRight = Cut == bvRaised ? clBtnShadow : clBtnHighlight;
            canvas->Pen()->SetColor(topLeft);
            canvas->Polyline({Point(R.left, R.bottom - 1), Point(R.left, R.top), Point(R.right, R.top)});
            canvas->Pen()->SetColor(bottomRight);
            canvas->Polyline({Point(R.right - 1, R.top + 1), Point(R.right - 1, R.bottom - 1), Point(R.left - 1, R.bottom - 1)});
        }
        InflateRect(&R, -1, -1);
    }
}

void TCustomPanel::Paint()
{
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas->FillRect(r);
    DrawBevel(r, FBevelOuter);
    DrawBevel(r, FBevelInner);
    const String caption = Caption();
    if (caption.empty())
        return;
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    canvas->Font()->SetColor(EffectivelyEnabled() ? Font()->Color() : clGrayText);
    const UINT align = FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
    canvas->DrawTextRect(caption, r, align | DT_VCENTER | DT_SINGLELINE);
}

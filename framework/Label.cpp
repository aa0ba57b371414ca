#include "framework/Label.h"

#include "framework/Codepage.h"
#include "framework/WinControl.h"

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value)
{
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value)
{
    FTransparent = Value;
    if (Value)
        ControlStyle &= ~static_cast<unsigned>(csOpaque);
    else
        ControlStyle |= csOpaque;
    Invalidate();
}

void TCustomLabel::TextChanged()
{
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::FontChanged()
{
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

UINT TCustomLabel::DrawFlags() const
{
    UINT flags = DT_EXPANDTABS;
    flags |= FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    if (FWordWrap)
        flags |= DT_WORDBREAK;
    if (!ShowAccelChar)
        flags |= DT_NOPREFIX;
    return flags;
}

// Measures on a screen DC with the label's font.
void TCustomLabel::AdjustBounds()
{
    if (!FAutoSize || IsLoading())
        return;
    TWindowCanvas canvas(nullptr);
    canvas.Font()->Assign(Font());
    // An empty caption keeps the height of one line.
    const String caption = Caption();
    const String text = caption.empty() ? String(1, ' ') : caption;
    TRect r = Rect(0, 0, FWordWrap ? Width() : 0, 0);
    canvas.DrawTextRect(text, r, DrawFlags() | DT_CALCRECT);
    int left = Left();
    if (FAlignment == taRightJustify && !FWordWrap)
        left += Width() - RectWidth(r);
    SetBounds(left, Top(), RectWidth(r), RectHeight(r));
}

void TCustomLabel::DrawCaption(TCanvas* Canvas, TRect R, TColor Color)
{
    Canvas->Font()->SetColor(Color);
    Canvas->DrawTextRect(Caption(), R, DrawFlags());
}

void TCustomLabel::Paint()
{
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    if (!FTransparent) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas->FillRect(client);
    }
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    TRect r = client;
    if (FLayout != tlTop) {
        TRect measured = client;
        canvas->DrawTextRect(Caption(), measured, DrawFlags() | DT_CALCRECT);
        const int offset = RectHeight(client) - RectHeight(measured);
        r.top += FLayout == tlBottom ? offset : offset / 2;
    }
    if (EffectivelyEnabled()) {
        DrawCaption(canvas, r, Font()->Color());
        return;
    }
    // Greyed: a highlight copy one pixel down and right under the shadow.
    TRect shifted = r;
    OffsetRect(&shifted, 1, 1);
    DrawCaption(canvas, shifted, clBtnHighlight);
    DrawCaption(canvas, r, clBtnShadow);
}

#include "framework/SpeedButton.h"

#include <algorithm>

#include "framework/WinControl.h"

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    SetBounds(0, 0, 23, 22);
    SetParentFont(true);
}

TSpeedButton::~TSpeedButton()
{
    Destroying();
}

void TSpeedButton::SetFlat(bool Value)
{
    if (FFlat == Value)
        return;
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    Invalidate();
}

void TSpeedButton::SetGlyph(const TBitmap* Value)
{
    if (Value == nullptr)
        FGlyph = std::make_unique<TBitmap>();
    else
        FGlyph->Assign(Value);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value)
{
    FNumGlyphs = std::clamp(Value, 1, 4);
    Invalidate();
}

void TSpeedButton::SetState(TButtonState Value)
{
    if (FState == Value)
        return;
    FState = Value;
    Invalidate();
}

void TSpeedButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        TGraphicControl::WndProc(Message);
        Invalidate();
        break;
    default: TGraphicControl::WndProc(Message); break;
    }
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && EffectivelyEnabled()) {
        FDragging = true;
        SetState(bsDown);
    }
}

// While the button is held, it shows pressed only over the button.
void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (FDragging) {
        const TRect client = ClientRect();
        SetState(PtInRect(&client, Point(X, Y)) ? bsDown : bsUp);
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft && FDragging) {
        FDragging = false;
        SetState(bsUp);
    }
}

void TSpeedButton::DrawGlyph(TCanvas* Canvas, const TRect& R, int Offset)
{
    if (FGlyph->Empty())
        return;
    const int count = std::max(1, std::min(FNumGlyphs, FGlyph->Width()));
    const int w = FGlyph->Width() / count;
    const int h = FGlyph->Height();
    int index = 0;
    if (!EffectivelyEnabled() && count > 1)
        index = 1;
    else if (FState == bsDown && count > 2)
        index = 2;
    const int x = R.left + std::max(0, (RectWidth(R) - w) / 2) + Offset;
    const int y = R.top + std::max(0, (RectHeight(R) - h) / 2) + Offset;
    // The image of this state, drawn with the glyph's transparent colour.
    TBitmap piece(w, h);
    BitBlt(piece.Canvas()->Handle(), 0, 0, w, h, FGlyph->Canvas()->Handle(), index * w, 0, SRCCOPY);
    // Without an image of its own, a disabled glyph shows in the shadow colour.
    const TColor transparent = FGlyph->TransparentColor();
    if (!EffectivelyEnabled() && count == 1) {
        const COLORREF clear = ColorToRGB(transparent);
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px)
                if (static_cast<COLORREF>(piece.Canvas()->Pixels(px, py)) != clear)
                    piece.Canvas()->SetPixels(px, py, clBtnShadow);
    }
    piece.SetTransparentColor(transparent);
    piece.SetTransparent(true);
    Canvas->Draw(x, y, &piece);
}

void TSpeedButton::Paint()
{
    TRect r = ClientRect();
    const bool down = FState == bsDown || FState == bsExclusive;
    if (FFlat) {
        if (!FTransparent) {
            Canvas()->Brush()->SetColor(clBtnFace);
            Canvas()->FillRect(r);
        }
        if (down)
            DrawEdge(Canvas()->Handle(), &r, BDR_SUNKENOUTER, BF_RECT);
        else if (MouseInside())
            DrawEdge(Canvas()->Handle(), &r, BDR_RAISEDINNER, BF_RECT);
    } else {
        DrawFrameControl(Canvas()->Handle(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    }
    const int offset = down ? 1 : 0;
    DrawGlyph(Canvas(), ClientRect(), offset);
    const String caption = Caption();
    if (!caption.empty()) {
        TRect t = ClientRect();
        OffsetRect(&t, offset, offset);
        SetBkMode(Canvas()->Handle(), TRANSPARENT);
        Canvas()->DrawTextRect(caption, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

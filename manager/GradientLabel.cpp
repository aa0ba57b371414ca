#include "manager/GradientLabel.h"

#include <algorithm>
#include <cmath>

#include "framework/Codepage.h"

namespace vantrel {

namespace {

constexpr int LineThickness = 2;

// Rounds to the nearest integer, halves to the even neighbour.
long RoundEven(double Value) { return std::lrint(Value); }

} // namespace

TGradientLabel::TGradientLabel(TComponent* AOwner) : TLabel(AOwner)
{
    SetAutoSize(false);
}

void TGradientLabel::SetColorTo(TColor Value)
{
    FColorTo = Value;
    Invalidate();
}

void TGradientLabel::SetEllipsType(TEllipsType Value)
{
    if (FEllipsType == Value)
        return;
    FEllipsType = Value;
    Invalidate();
}

void TGradientLabel::SetGradientType(TGradientType Value)
{
    FGradientType = Value;
    Invalidate();
}

void TGradientLabel::SetIndent(int Value)
{
    FIndent = Value;
    Invalidate();
}

void TGradientLabel::SetLineWidth(int Value)
{
    FLineWidth = Value;
    Invalidate();
}

void TGradientLabel::SetOrientation(TGradientOrientation Value)
{
    FOrientation = Value;
    Invalidate();
}

void TGradientLabel::SetTransparentText(bool Value)
{
    FTransparentText = Value;
    Invalidate();
}

void TGradientLabel::SetVAlignment(TVAlignment Value)
{
    FVAlignment = Value;
    Invalidate();
}

void TGradientLabel::FillGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R,
                                  int Steps)
{
    Steps = std::max(Steps, 1);
    const COLORREF from = ColorToRGB(FromColor);
    const COLORREF to = ColorToRGB(ToColor);
    const double dr = (GetRValue(to) - GetRValue(from)) / static_cast<double>(Steps);
    const double dg = (GetGValue(to) - GetGValue(from)) / static_cast<double>(Steps);
    const double db = (GetBValue(to) - GetBValue(from)) / static_cast<double>(Steps);
    const double band = (Horizontal ? R.right - R.left : R.bottom - R.top) / static_cast<double>(Steps);
    const int bandWidth = static_cast<int>(band) + 1;
    for (int i = 0; i < Steps; ++i) {
        const TColor color = RGBToColor(static_cast<Byte>(GetRValue(from) + RoundEven(i * dr)),
                                        static_cast<Byte>(GetGValue(from) + RoundEven(i * dg)),
                                        static_cast<Byte>(GetBValue(from) + RoundEven(i * db)));
        Canvas->Pen()->SetColor(color);
        Canvas->Brush()->SetColor(color);
        Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        const int offset = static_cast<int>(RoundEven(i * band) % 65536);
        TRect r = R;
        if (Horizontal) {
            r.left = R.left + offset;
            r.right = std::min(r.left + bandWidth, R.right);
        } else {
            r.top = R.top + offset;
            r.bottom = std::min(r.top + bandWidth, R.bottom);
        }
        Canvas->FillRect(r);
    }
}

bool TGradientLabel::IsLineType() const
{
    return FGradientType == gtBottomLine || FGradientType == gtCenterLine || FGradientType == gtTopLine;
}

TRect TGradientLabel::LineRect(const TRect& Client) const
{
    TRect r = Client;
    if (FOrientation == goHorizontal) {
        if (FGradientType == gtBottomLine)
            r.top = r.bottom - LineThickness;
        else if (FGradientType == gtCenterLine) {
            r.top = r.top + (r.bottom - r.top) / 2;
            r.bottom = r.top + LineThickness;
        } else
            r.bottom = r.top + LineThickness;
    } else {
        if (FGradientType == gtBottomLine)
            r.left = r.right - LineThickness;
        else if (FGradientType == gtCenterLine) {
            r.left = r.left + (r.right - r.left) / 2;
            r.right = r.left + LineThickness;
        } else
            r.right = r.left + LineThickness;
    }
    return r;
}

// A caption across the label sits along the line's horizontal extent; a
// turned caption runs up the label, so its gap is along the vertical
// extent (where the turned text is drawn).
void TGradientLabel::ExcludeCaptionGap(HDC DC, const TRect& Line, int TextWidth) const
{
    if (FOrientation == goHorizontal) {
        const int length = Line.right - Line.left;
        int from = 0;
        if (Alignment() == taLeftJustify)
            from = Line.left + FIndent;
        else if (Alignment() == taRightJustify)
            from = Line.right - TextWidth - FIndent;
        else
            from = Line.left + (length - TextWidth) / 2;
        ExcludeClipRect(DC, from, Line.top, from + TextWidth, Line.bottom);
        return;
    }
    const TRect client = ClientRect();
    int bottom = 0;
    if (Alignment() == taLeftJustify)
        bottom = client.bottom - FIndent;
    else if (Alignment() == taRightJustify)
        bottom = client.top + FIndent + TextWidth;
    else
        bottom = TextWidth / 2 + (client.bottom - client.top) / 2;
    ExcludeClipRect(DC, Line.left, bottom - TextWidth, Line.right, bottom);
}

UINT TGradientLabel::CaptionFormat() const
{
    UINT format = Alignment() == taRightJustify ? DT_RIGHT : Alignment() == taCenter ? DT_CENTER : DT_LEFT;
    format |= WordWrap() ? DT_WORDBREAK : DT_SINGLELINE;
    format |= DT_NOCLIP;
    format |= Layout() == tlCenter ? DT_VCENTER : Layout() == tlBottom ? DT_BOTTOM : 0;
    format |= FEllipsType == etEndEllips ? DT_END_ELLIPSIS : FEllipsType == etPathEllips ? DT_PATH_ELLIPSIS : 0;
    if (!ShowAccelChar)
        format |= DT_NOPREFIX;
    format |= FVAlignment == vaCenter ? DT_VCENTER : FVAlignment == vaBottom ? DT_BOTTOM : 0;
    return format;
}

// The caption turned by 90 degrees, reading upwards, with TextOut.
void TGradientLabel::DrawTurnedCaption(TCanvas* Canvas, const TRect& R)
{
    const String caption = Caption();
    const int textWidth = Canvas->TextWidth(caption);
    const int textHeight = Canvas->TextHeight(caption);
    int x = R.left;
    if (Layout() == tlCenter)
        x = (R.right - R.left) / 2 - textHeight / 2;
    else if (Layout() == tlBottom)
        x = R.right - textHeight;
    int y = R.bottom;
    if (Alignment() == taRightJustify)
        y = R.top + textWidth;
    else if (Alignment() == taCenter)
        y = textWidth / 2 + (R.bottom - R.top) / 2;

    LOGFONTW font{};
    if (GetObjectW(Canvas->Font()->Handle(), sizeof(font), &font) == 0)
        return;
    font.lfEscapement = 900;
    font.lfOrientation = 900;
    HFONT turned = CreateFontIndirectW(&font);
    if (turned == nullptr)
        return;
    HDC dc = Canvas->Handle();
    HGDIOBJ previous = SelectObject(dc, turned);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColor = SetTextColor(dc, ColorToRGB(Canvas->Font()->Color()));
    const WideString text = StrToWide(caption);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
    SelectObject(dc, previous);
    DeleteObject(turned);
}

void TGradientLabel::Paint()
{
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    TRect measured = client;
    canvas->DrawTextRect(Caption(), measured, DT_CALCRECT);
    const int textWidth = Caption().empty() ? 0 : RectWidth(measured);

    const int steps =
        std::max((FGradientType == gtFullVertical ? RectHeight(client) : RectWidth(client)) / 4, 32);
    if (!Transparent()) {
        if (FColorTo == clNone || IsLineType()) {
            canvas->Pen()->SetColor(Color());
            canvas->Brush()->SetColor(Color());
            canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
            canvas->FillRect(client);
        } else
            FillGradient(canvas, Color(), FColorTo, FGradientType == gtFullHorizontal, client, steps);
    }

    if (IsLineType()) {
        const TRect line = LineRect(client);
        HDC dc = canvas->Handle();
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, line.left, line.top, line.right, line.bottom);
        if (FTransparentText)
            ExcludeCaptionGap(dc, line, textWidth);
        // A line without a second colour is a plain line.
        const TColor to = FColorTo == clNone ? Color() : FColorTo;
        if (FOrientation == goHorizontal)
            FillGradient(canvas, Color(), to, true, line, steps);
        else
            FillGradient(canvas, to, Color(), false, line, steps);
        RestoreDC(dc, saved);
        canvas->Refresh();
    }

    TRect r = client;
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    const UINT format = CaptionFormat();
    if (FOrientation == goHorizontal) {
        if (Alignment() == taLeftJustify)
            r.left += FIndent;
        else if (Alignment() == taRightJustify)
            r.right -= FIndent;
    } else {
        if (Alignment() == taLeftJustify)
            r.bottom -= FIndent;
        else if (Alignment() == taRightJustify)
            r.top += FIndent;
    }
    if (Caption().empty())
        return;
    if (!EffectivelyEnabled()) {
        TRect shifted = r;
        OffsetRect(&shifted, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        canvas->DrawTextRect(Caption(), shifted, format);
        canvas->Font()->SetColor(clBtnShadow);
        canvas->DrawTextRect(Caption(), r, format);
    } else if (FOrientation == goVertical)
        DrawTurnedCaption(canvas, r);
    else
        canvas->DrawTextRect(Caption(), r, format);
}

} // namespace vantrel

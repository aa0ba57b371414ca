#include "office/PagerDrawing.h"

#include <cmath>
#include <memory>

#include "framework/Codepage.h"

namespace {

int Available(const TRect& R, TTabPosition Position)
{
    return Position == tpLeft || Position == tpRight ? R.bottom - R.top : R.right - R.left;
}

// The caption (936 text) less its last character: a lead byte and the byte
// after it go together.
String DropLast(const String& Text)
{
    std::size_t Start = 0, Last = 0;
    while (Start < Text.size()) {
        Last = Start;
        const auto B = static_cast<unsigned char>(Text[Start]);
        Start += B >= 0x81 && B <= 0xFE && Start + 1 < Text.size() ? 2 : 1;
    }
    return Text.substr(0, Last);
}

WideString DropLast(const WideString& Text)
{
    std::size_t N = Text.size() - 1;
    // A surrogate pair goes as one character.
    if (N > 0 && Text[N] >= 0xDC00 && Text[N] <= 0xDFFF && Text[N - 1] >= 0xD800 && Text[N - 1] <= 0xDBFF)
        --N;
    return Text.substr(0, N);
}

// The caption shortened by whole characters until Fits accepts it: a caption
// that fits comes back unchanged, else the longest prefix that fits with the
// suffix, followed by the suffix.
template <class S, class FitsFn>
S Fit(const S& Caption, bool Ellipsis, const S& Dots, FitsFn Fits)
{
    if (Caption.empty() || Fits(Caption))
        return Caption;
    const S Suffix = Ellipsis ? Dots : S();
    S Text = Caption;
    while (!Text.empty()) {
        Text = DropLast(Text);
        if (Fits(Text + Suffix))
            break;
    }
    return Text + Suffix;
}

template <class S>
S FitGdi(TCanvas* Canvas, const S& Caption, const TRect& R, TTabPosition Position, bool Ellipsis, const S& Dots)
{
    const int A = Available(R, Position);
    return Fit(Caption, Ellipsis, Dots, [&](const S& Text) { return Canvas->TextExtent(Text).cx < A; });
}

UINT GdiAlignment(TAlignment Alignment)
{
    return Alignment == taLeftJustify ? DT_LEFT : Alignment == taRightJustify ? DT_RIGHT : DT_CENTER;
}

Integer GdiPlusAlignment(TAlignment Alignment)
{
    return Alignment == taLeftJustify    ? GPStringAlignmentNear
           : Alignment == taRightJustify ? GPStringAlignmentFar
                                         : GPStringAlignmentCenter;
}

int Round(float Value) { return static_cast<int>(std::nearbyint(Value)); }

// One line of GDI text in R, vertically centred, 3 pixels in from the
// aligned side; the rectangle the text takes.
TRect DrawGdiText(TCanvas* C, TAlignment Alignment, const TRect& R, bool Ellipsis, TTabPosition Position, bool Draw,
                  bool Enabled, WideString Text)
{
    if (Draw && Ellipsis)
        Text = FitGdi<WideString>(C, Text, R, Position, true, L"...");
    TRect Box = R;
    Box.left += 3;
    Box.right += 3;
    TRect M = Box;
    C->DrawTextRect(Text, M, DT_CALCRECT | DT_SINGLELINE);
    const int W = RectWidth(M), H = RectHeight(M);
    const int X = Alignment == taLeftJustify    ? Box.left
                  : Alignment == taRightJustify ? Box.right - W
                                                : Box.left + (RectWidth(Box) - W) / 2;
    const int Y = Box.top + (RectHeight(Box) - H) / 2;
    if (Draw) {
        const TColor Saved = C->Font()->Color();
        if (!Enabled)
            C->Font()->SetColor(static_cast<TColor>(0x808080));
        C->Brush()->SetStyle(TBrushStyle::bsClear);
        C->DrawTextRect(Text, Box, DT_SINGLELINE | DT_VCENTER | GdiAlignment(Alignment));
        C->Font()->SetColor(Saved);
    }
    return Rect(X, Y, X + W, Y + H);
}

} // namespace

String FitCaption(TCanvas* Canvas, const String& Caption, const TRect& R, TTabPosition Position, bool Ellipsis)
{
    return FitGdi<String>(Canvas, Caption, R, Position, Ellipsis, "...");
}

WideString FitCaption(TCanvas* Canvas, const WideString& Caption, const TRect& R, TTabPosition Position, bool Ellipsis)
{
    return FitGdi<WideString>(Canvas, Caption, R, Position, Ellipsis, L"...");
}

TRect DrawTurnedTabText(TCanvas* Canvas, const TRect& R, bool Upwards, const WideString& Text)
{
    const int TextH = Canvas->TextHeight("gh");
    LOGFONTW Lf = Canvas->Font()->LogFont();
    Lf.lfEscapement = Upwards ? -2700 : -900;
    Lf.lfOrientation = 30;
    const std::unique_ptr<TFont> Saved = std::make_unique<TFont>();
    Saved->Assign(Canvas->Font());
    HFONT Turned = CreateFontIndirectW(&Lf);
    Canvas->Font()->SetHandle(Turned);
    const int Across = (RectWidth(R) - TextH) / 2;
    const int X = Upwards ? R.left + Across : R.right - Across;
    const int Y = Upwards ? R.bottom : R.top;
    Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    Canvas->TextOut(X, Y, Text);
    Canvas->Font()->Assign(Saved.get());
    if (Turned)
        DeleteObject(Turned);
    const int Left = R.left + (RectWidth(R) - TextH) / 2;
    return Rect(Left, R.top, Left + TextH, R.bottom);
}

TRect DrawTabText(TCanvas* Canvas, TAlignment Alignment, const TRect& R, bool Ellipsis, TTabPosition Position,
                  TAntiAlias AntiAlias, bool Draw, bool Enabled, TFont* Font, const WideString& WideCaption,
                  const String& Caption)
{
    if (Caption.empty() && WideCaption.empty())
        return TRect{};
    WideString Text = Caption.empty() ? WideCaption : StrToWide(Caption);
    if (Font != Canvas->Font())
        Canvas->Font()->Assign(Font);
    const bool Vertical = Draw && Position == tpRight;
    std::unique_ptr<TGPFontFamily> Family;
    std::unique_ptr<TGPFont> GFont;
    if (AntiAlias != aaNone) {
        Family = CreateFontFamilyOrArial(StrToWide(Font->Name()));
        if (Family)
            GFont.reset(new TGPFont(Family.get(), static_cast<float>(Font->Size()), GPFontStyleRegular));
        if (GFont && !GFont->NativeHandle())
            GFont.reset();
    }
    // Without a GDI+ font the caption still shows, through GDI.
    if (!GFont) {
        if (!Vertical)
            return DrawGdiText(Canvas, Alignment, R, Ellipsis, Position, Draw, Enabled, Text);
        if (Ellipsis)
            Text = FitGdi<WideString>(Canvas, Text, R, Position, true, L"...");
        return DrawTurnedTabText(Canvas, R, false, Text);
    }
    TGPGraphics G(Canvas->Handle());
    G.SetSmoothingMode(GPSmoothingModeAntiAlias);
    G.SetTextRenderingHint(AntiAlias == aaClearType ? GPTextRenderingHintClearTypeGridFit
                                                    : GPTextRenderingHintAntiAliasGridFit);
    TGPStringFormat Format(0);
    Format.SetAlignment(GdiPlusAlignment(Alignment));
    Format.SetLineAlignment(GPStringAlignmentCenter);
    Format.SetHotkeyPrefix(GPHotkeyPrefixShow);
    // Vertical text is laid out as a line along the tab in a box turned a
    // quarter clockwise about the tab's top right corner, so it reads from
    // top to bottom with the letters' tops to the right.
    const float Along = static_cast<float>(Vertical ? RectHeight(R) : RectWidth(R));
    const float Across = static_cast<float>(Vertical ? RectWidth(R) : RectHeight(R));
    if (Draw && Ellipsis) {
        const float A = static_cast<float>(Available(R, Position));
        Text = Fit(Text, true, WideString(L"..."), [&](const WideString& T) {
            TGPRectF B{};
            G.MeasureString(T, -1, GFont.get(), MakeGPRect(0, 0, 1000, Across), &Format, B);
            return A - 2 > B.Width;
        });
    }
    if (Vertical) {
        G.TranslateTransform(static_cast<float>(R.right), static_cast<float>(R.top));
        G.RotateTransform(90);
    }
    const TGPRectF Box = Vertical ? MakeGPRect(0, 0, Along, Across)
                                  : MakeGPRect(static_cast<float>(R.left), static_cast<float>(R.top), Along, Across);
    TGPRectF B{};
    G.MeasureString(Text, -1, GFont.get(), Box, &Format, B);
    if (Draw) {
        TGPSolidBrush Brush(ColorToOpaqueARGB(Enabled ? Font->Color() : static_cast<TColor>(0x808080)));
        G.DrawString(Text, -1, GFont.get(), Box, &Format, &Brush);
    }
    // The measured size placed in the box as the format places the text
    // (not every GDI+ places the measured bounds itself).
    const float Free = Along - B.Width;
    const float X = Box.X + (Alignment == taLeftJustify ? 0 : Alignment == taRightJustify ? Free : Free / 2);
    const float Y = Box.Y + (Across - B.Height) / 2;
    if (!Vertical)
        return Rect(Round(X), Round(Y), Round(X + B.Width), Round(Y + B.Height));
    return Rect(R.right - Round(Y + B.Height), R.top + Round(X), R.right - Round(Y), R.top + Round(X + B.Width));
}

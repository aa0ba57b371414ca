// The glow button's painting: the colour set of each state and the fade
// blends, the two-part gradient face, frames, focus frames, glyph and
// caption layout, notes, the drop-down strip and the auto-size measure.
#include "office/ProGlowButton.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "office/OfficeColors.h"
#include "visuals/ProXPVS.h"

namespace {

int RoundEven(double V)
{
    return static_cast<int>(std::nearbyint(V));
}

TGPColor Argb(TColor C)
{
    return ColorToOpaqueARGB(C);
}

// Paints the parent's background into DC where Clip allows: the DC's origin
// is moved by minus the control's place in the parent, and the parent gets
// an erase and a paint message with the DC.
void PaintParentBackground(TControl* Control, HDC DC, HRGN Clip)
{
    TWinControl* Parent = Control->Parent();
    if (!Parent || !Parent->HandleAllocated())
        return;
    const int Saved = SaveDC(DC);
    SelectClipRgn(DC, Clip);
    POINT Origin;
    GetWindowOrgEx(DC, &Origin);
    SetWindowOrgEx(DC, Origin.x + Control->Left(), Origin.y + Control->Top(), nullptr);
    SendMessageW(Parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    SendMessageW(Parent->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, Saved);
}

// One part of the face: the solid colour first, then the gradient over it.
// The part's right and bottom serve as width and height (see the callers).
void FillGlowRect(TGPGraphics* G, const TRect& P, bool Upper, TGdiPlusGradient Kind, TColor C1, TColor C2)
{
    const TGPRectF Fill = MakeGPRect(static_cast<float>(P.left), static_cast<float>(P.top),
                                     static_cast<float>(P.right), static_cast<float>(P.bottom));
    {
        std::unique_ptr<TGPSolidBrush> Solid(new TGPSolidBrush(Argb(Upper ? C2 : C1)));
        if (Solid)
            G->FillRectangle(Solid.get(), Fill);
    }
    if (Kind == ggRadial) {
        std::unique_ptr<TGPGraphicsPath> Path(new TGPGraphicsPath());
        if (!Path)
            return;
        const float Y = Upper ? static_cast<float>(P.top - (P.bottom - P.top) / 2 + 2) : static_cast<float>(P.top);
        Path->AddEllipse(static_cast<float>(P.left), Y, static_cast<float>(P.right), static_cast<float>(P.bottom));
        std::unique_ptr<TGPPathGradientBrush> Brush(new TGPPathGradientBrush(Path.get()));
        if (!Brush)
            return;
        Brush->SetCenterPoint(MakeGPPoint(P.left + (P.right - P.left) / 2, Upper ? P.top : P.bottom));
        Brush->SetCenterColor(Argb(Upper ? C1 : C2));
        const TGPColor Surround = Argb(Upper ? C2 : C1);
        Integer Count = 1;
        Brush->SetSurroundColors(&Surround, Count);
        G->FillRectangle(Brush.get(), Fill);
        return;
    }
    const Integer Mode = Kind == ggVertical ? 1 : (Kind == ggDiagonalForward ? 2 : 3);
    std::unique_ptr<TGPLinearGradientBrush> Brush(new TGPLinearGradientBrush(
        MakeGPRect(static_cast<float>(P.left), static_cast<float>(P.top), static_cast<float>(P.right - P.left),
                   static_cast<float>(P.bottom - P.top)),
        Argb(C2), Argb(C1), Mode));
    if (Brush)
        G->FillRectangle(Brush.get(), Fill);
}

// The upper and lower parts of a set, optionally darkened by 10 %.
void FillParts(TGPGraphics* G, const TGlowColorSet& S, const TRect& Lower, const TRect& Upper, bool Darker,
               bool DrawLower = true, bool RadialUpper = false)
{
    auto D = [Darker](TColor C) { return Darker ? ScaleColor(C, -10) : C; };
    if (DrawLower)
        FillGlowRect(G, Lower, false, S.GradientMirror, D(S.ColorMirror), D(S.ColorMirrorTo));
    FillGlowRect(G, Upper, true, RadialUpper ? ggRadial : S.Gradient, D(S.ColorTo), D(S.Color));
}

void AddRoundRect(TGPGraphicsPath* Path, float X, float Y, float W, float H, float R)
{
    if (R <= 0) {
        Path->AddLine(X, Y, X + W, Y);
        Path->AddLine(X + W, Y, X + W, Y + H);
        Path->AddLine(X + W, Y + H, X, Y + H);
        Path->CloseFigure();
        return;
    }
    const float D = 2 * R;
    Path->AddArc(X, Y, D, D, 180, 90);
    Path->AddArc(X + W - D, Y, D, D, 270, 90);
    Path->AddArc(X + W - D, Y + H - D, D, D, 0, 90);
    Path->AddArc(X, Y + H - D, D, D, 90, 90);
    Path->CloseFigure();
}

void DrawLine(TGPGraphics* G, TColor Color, float X1, float Y1, float X2, float Y2)
{
    std::unique_ptr<TGPPen> Pen(new TGPPen(Argb(Color), 1));
    std::unique_ptr<TGPGraphicsPath> Path(new TGPGraphicsPath());
    if (!Pen || !Path)
        return;
    Path->AddLine(X1, Y1, X2, Y2);
    G->DrawPath(Pen.get(), Path.get());
}

void DrawFrame(TGPGraphics* G, const TRect& R, const TGlowFaceParams& P, float Radius)
{
    const float L = static_cast<float>(R.left), T = static_cast<float>(R.top);
    const float W = static_cast<float>(R.right - 1), H = static_cast<float>(R.bottom - 1);
    const TColor Border = P.Colors.BorderColor;
    std::unique_ptr<TGPPen> Pen(new TGPPen(Argb(Border), 1));
    std::unique_ptr<TGPGraphicsPath> Path(new TGPGraphicsPath());
    if (!Pen || !Path)
        return;
    const float D = 2 * Radius;
    // The left edge of a middle or right button: darker when the button is
    // in use, otherwise a light separator shortened at both ends.
    auto LeftSeparator = [&] {
        if (P.MouseInside || P.Down)
            DrawLine(G, ScaleColor(Border, -5), L, T, L, T + H);
        else
            DrawLine(G, ScaleColor(clWhite, -10), L, T + 2, L, T + H - 2);
    };
    switch (P.Position) {
    case bpStandalone:
        AddRoundRect(Path.get(), L, T, W, H, Radius);
        G->DrawPath(Pen.get(), Path.get());
        break;
    case bpLeft:
        Path->AddLine(W, T + H, L + Radius, T + H);
        if (Radius > 0)
            Path->AddArc(L, T + H - D, D, D, 90, 90);
        Path->AddLine(L, T + H - Radius, L, T + Radius);
        if (Radius > 0)
            Path->AddArc(L, T, D, D, 180, 90);
        Path->AddLine(L + Radius, T, W, T);
        G->DrawPath(Pen.get(), Path.get());
        DrawLine(G, ScaleColor(Border, -5), W, T, W, T + H);
        break;
    case bpMiddle:
        DrawLine(G, Border, L - 1, T, W, T);
        DrawLine(G, Border, L - 1, T + H, W, T + H);
        DrawLine(G, ScaleColor(Border, -5), W, T, W, T + H);
        LeftSeparator();
        break;
    case bpRight:
        Path->AddLine(L, T, W - Radius, T);
        if (Radius > 0)
            Path->AddArc(W - D, T, D, D, 270, 90);
        Path->AddLine(W, T + Radius, W, T + H - Radius);
        if (Radius > 0)
            Path->AddArc(W - D, T + H - D, D, D, 0, 90);
        Path->AddLine(W - Radius, T + H, L, T + H);
        G->DrawPath(Pen.get(), Path.get());
        LeftSeparator();
        break;
    }
}

void DrawFocusFrame(TGPGraphics* G, const TRect& R, float Radius)
{
    std::unique_ptr<TGPPen> Pen(new TGPPen(Argb(0xE4AD89), 1));
    std::unique_ptr<TGPGraphicsPath> Path(new TGPGraphicsPath());
    if (Pen && Path) {
        AddRoundRect(Path.get(), R.left + 1.0f, R.top + 1.0f, R.right - 3.0f, R.bottom - 3.0f, Radius);
        G->DrawPath(Pen.get(), Path.get());
    }
    std::unique_ptr<TGPPen> Dots(new TGPPen(Argb(0x808080), 1));
    std::unique_ptr<TGPGraphicsPath> Inner(new TGPGraphicsPath());
    if (Dots && Inner) {
        Dots->SetDashStyle(GPDashStyleDot);
        AddRoundRect(Inner.get(), R.left + 2.0f, R.top + 2.0f, R.right - 5.0f, R.bottom - 5.0f, Radius);
        G->DrawPath(Dots.get(), Inner.get());
    }
}

void DrawDropDownArrow(TCanvas* C, int X, int Y, TColor Color, bool Down)
{
    C->Pen()->SetColor(Color);
    auto Line = [C](int X1, int Y1, int X2, int Y2) {
        C->MoveTo(X1, Y1);
        C->LineTo(X2, Y2);
    };
    if (Down) {
        Line(X, Y, X + 5, Y);
        Line(X + 1, Y + 1, X + 4, Y + 1);
        C->SetPixels(X + 2, Y + 2, Color);
        for (auto [PX, PY] : {std::pair{X, Y + 1}, {X + 4, Y + 1}, {X + 1, Y + 2}, {X + 3, Y + 2}, {X + 2, Y + 3}})
            C->SetPixels(PX, PY, clWhite);
    } else {
        Line(X, Y, X, Y + 5);
        Line(X + 1, Y + 1, X + 1, Y + 4);
        C->SetPixels(X + 2, Y + 2, Color);
        for (auto [PX, PY] : {std::pair{X + 2, Y + 1}, {X + 1, Y + 4}, {X + 3, Y + 2}})
            C->SetPixels(PX, PY, clWhite);
    }
}

// The picture stretched into R: BMP data through GDI with its automatic
// transparent colour, anything else through GDI+.
void DrawPictureScaled(TCanvas* C, const TRect& R, TGdiPlusPicture* Picture)
{
    TMemoryStream* Data = Picture->DataStream();
    if (Data->Size() == 0)
        return;
    const String Bytes(static_cast<const char*>(Data->Memory()), static_cast<std::size_t>(Data->Size()));
    HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, Bytes.size());
    if (!Block)
        throw EGdiPlusPicture("Could not allocate memory for image");
    IStream* Stream = nullptr;
    if (CreateStreamOnHGlobal(Block, TRUE, &Stream) != S_OK) {
        GlobalFree(Block);
        throw EGdiPlusPicture("Could not allocate memory for image");
    }
    // The stream (and with it the block) is released once, also when
    // decoding or drawing raises.
    struct TRelease {
        IStream* S;
        ~TRelease() { S->Release(); }
    } Release{Stream};
    ULONG Written = 0;
    Stream->Write(Bytes.data(), static_cast<ULONG>(Bytes.size()), &Written);
    LARGE_INTEGER Zero{};
    Stream->Seek(Zero, STREAM_SEEK_SET, nullptr);
    {
        std::unique_ptr<TGPImage> Image(new TGPImage(Stream));
        if (Image && Image->NativeHandle()) {
            if (Image->GetFormat() == ifBMP) {
                TBitmap Bitmap;
                Bitmap.LoadFromBytes(Bytes);
                Bitmap.SetTransparent(true);
                C->StretchDraw(R, &Bitmap);
            } else {
                std::unique_ptr<TGPGraphics> G(new TGPGraphics(C->Handle()));
                if (G)
                    G->DrawImage(Image.get(), R.left, R.top, RectWidth(R), RectHeight(R));
            }
        }
    }
}

// GDI+ text for a scalable, non-device font the screen lists.
bool UseGdiPlusText(TCanvas* C, TFont* Font, TAntiAlias AntiAlias)
{
    if (AntiAlias == aaNone)
        return false;
    C->Font()->Assign(Font);
    C->TextExtent(String(" "));   // selects the font
    TEXTMETRICW M{};
    GetTextMetricsW(C->Handle(), &M);
    return (M.tmPitchAndFamily & TMPF_VECTOR) != 0 && (M.tmPitchAndFamily & TMPF_DEVICE) == 0 &&
           FontFamilyInstalled(Font->Name());
}

std::unique_ptr<TGPFontFamily> FontFamily(const String& Name)
{
    return CreateFontFamilyOrArial(StrToWide(Name));
}

Integer GPStyle(TFont* Font)
{
    Integer S = 0;
    if (Font->Style().Contains(TFontStyle::fsBold))
        S |= GPFontStyleBold;
    if (Font->Style().Contains(TFontStyle::fsItalic))
        S |= GPFontStyleItalic;
    if (Font->Style().Contains(TFontStyle::fsUnderline))
        S |= GPFontStyleUnderline;
    return S;
}

} // namespace

String GlowCaptionLines(const String& Caption, bool ForcedGlyph)
{
    String Out;
    for (std::size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '\\' && i + 1 < Caption.size() && (Caption[i + 1] == 'n' || Caption[i + 1] == 'N')) {
            Out += ForcedGlyph ? " " : "\n\r";
            ++i;
        } else {
            Out += Caption[i];
        }
    }
    return Out;
}

TSize DrawGlowButtonFace(TCanvas* C, const TRect& R, const TGlowFaceParams& P)
{
    const float Radius = P.Rounded ? 3.0f : 0.0f;
    const int Strip = 13;
    TRect Content = R;
    if (P.DropDownButton) {
        if (P.DropDownPosition == dpRight)
            Content.right -= Strip;
        else
            Content.bottom -= Strip;
    }
    const bool HasNotes = P.Notes && !P.Notes->Text().empty();
    const TButtonLayout Layout = HasNotes ? blGlyphLeftAdjusted : P.Layout;

    std::unique_ptr<TGPGraphics> G;
    if (!P.MeasureOnly) {
        G.reset(new TGPGraphics(C->Handle()));
        if (!G)
            return TSize{0, 0};
    }

    // Background and frame.
    if (G && !P.TransparentLook) {
        const int L = R.left, T = R.top, Rt = R.right, B = R.bottom, Half = (B - T) / 2;
        if (!P.DropDownButton || !P.HotColors || !P.DropDownSplit) {
            FillParts(G.get(), P.Colors, TRect{L, T + Half - 1, Rt, B}, TRect{L, T, Rt, B - Half}, false);
        } else {
            const bool StripHover = P.DropDownHover == 2;
            if (P.DropDownPosition == dpRight) {
                FillParts(G.get(), P.Colors, TRect{L, T + Half - 1, Rt - 12, B}, TRect{L, T, Rt - 12, B - Half},
                          !StripHover);
                auto D = [StripHover](TColor Col) { return StripHover ? ScaleColor(Col, -10) : Col; };
                FillGlowRect(G.get(), TRect{Rt - 12, T, Rt, B - Half}, true,
                             StripHover ? P.Colors.Gradient : ggRadial, D(P.Colors.ColorTo), D(P.Colors.Color));
                FillGlowRect(G.get(), TRect{Rt - 12, T + Half - 1, Rt, B}, false, P.Colors.GradientMirror,
                             D(P.Colors.ColorMirror), D(P.Colors.ColorMirrorTo));
            } else {
                const int M = (B - T - 12) / 2;
                FillParts(G.get(), P.Colors, TRect{L, T + M - 1, Rt, B - 12}, TRect{L, T, Rt, B - 12 - M},
                          !StripHover);
                auto D = [StripHover](TColor Col) { return StripHover ? ScaleColor(Col, -10) : Col; };
                FillGlowRect(G.get(), TRect{L, B - 12, Rt, B}, true, StripHover ? P.Colors.Gradient : ggRadial,
                             D(P.Colors.ColorTo), D(P.Colors.Color));
            }
        }
        if (P.Border) {
            G->SetSmoothingMode(GPSmoothingModeAntiAlias);
            DrawFrame(G.get(), R, P, Radius);
            G->SetSmoothingMode(GPSmoothingModeDefault);
        }
    }
    if (G && P.FocusFrame) {
        G->SetSmoothingMode(GPSmoothingModeAntiAlias);
        DrawFocusFrame(G.get(), R, Radius);
        G->SetSmoothingMode(GPSmoothingModeDefault);
    }

    // Glyph size.
    int GW = 0, GH = 0;
    const bool ForcedGlyph = P.ForcedGlyphWidth > 0 && P.ForcedGlyphHeight > 0;
    const bool HasPicture = P.Picture && !P.Picture->Empty();
    if (HasPicture) {
        GW = ForcedGlyph ? P.ForcedGlyphWidth : P.Picture->Width();
        GH = ForcedGlyph ? P.ForcedGlyphHeight : P.Picture->Height();
    } else if (P.ImageIndex >= 0 && P.Images) {
        GW = P.Images->Width();
        GH = P.Images->Height();
    }
    const String Caption = GlowCaptionLines(P.Caption, ForcedGlyph);
    const bool HasCaption = !Caption.empty();
    if (HasCaption && (Layout == blGlyphLeft || Layout == blGlyphLeftAdjusted))
        GW += P.Spacing;
    if (HasCaption && (Layout == blGlyphTop || Layout == blGlyphTopAdjusted))
        GH += P.Spacing;
    TSize Size{GW, GH};

    const int L = Content.left, T = Content.top;
    int W = RectWidth(Content), H = RectHeight(Content);
    int GX = std::max(0, (W - GW) / 2) + L, GY = std::max(0, (H - GH) / 2) + T;
    double CaptionBottom = 0;

    if (HasCaption) {
        const WideString Text = StrToWide(Caption);
        // The lines without the break after the last one, which GDI+ would
        // draw as a glyph of its own.
        String NotesLines = HasNotes ? P.Notes->Text() : String();
        while (!NotesLines.empty() && (NotesLines.back() == '\n' || NotesLines.back() == '\r'))
            NotesLines.pop_back();
        const WideString NotesText = StrToWide(NotesLines);
        const bool Plus = UseGdiPlusText(C, P.Font, P.AntiAlias);
        double TW = 0, TH = 0, NW = 0, NH = 0, TX = L, MeasuredX = L;
        double BX = L, BY = T, BW = W, BH = H;

        std::unique_ptr<TGPFontFamily> Family, NotesFamily;
        std::unique_ptr<TGPFont> GFont, GNotesFont;
        std::unique_ptr<TGPStringFormat> Format;
        std::unique_ptr<TGPGraphics> MeasureG;
        TGPGraphics* TG = G.get();
        if (Plus) {
            if (!TG) {
                MeasureG.reset(new TGPGraphics(C->Handle()));
                TG = MeasureG.get();
            }
            Family = FontFamily(P.Font->Name());
            GFont.reset(new TGPFont(Family.get(), static_cast<float>(P.Font->Size()), GPStyle(P.Font)));
            if (P.NotesFont) {
                NotesFamily = FontFamily(P.NotesFont->Name());
                GNotesFont.reset(
                    new TGPFont(NotesFamily.get(), static_cast<float>(P.NotesFont->Size()), GPStyle(P.NotesFont)));
            }
            Format.reset(new TGPStringFormat(P.WordWrap ? 0 : GPStringFormatFlagsNoWrap));
            if (!TG || !GFont || !Format)
                return Size;
            Format->SetAlignment(Layout == blGlyphLeftAdjusted ? GPStringAlignmentNear
                                 : Layout == blGlyphRightAdjusted ? GPStringAlignmentFar
                                                                  : GPStringAlignmentCenter);
            Format->SetLineAlignment(Layout == blGlyphTopAdjusted ? GPStringAlignmentNear
                                     : Layout == blGlyphBottomAdjusted ? GPStringAlignmentFar
                                                                       : GPStringAlignmentCenter);
            Format->SetHotkeyPrefix(GPHotkeyPrefixShow);
            Format->SetTrimming(P.Trimming);
            TG->SetTextRenderingHint(P.AntiAlias == aaClearType ? GPTextRenderingHintClearTypeGridFit
                                                                : GPTextRenderingHintAntiAlias);
            const TGPRectF Box = P.MeasureOnly ? MakeGPRect(static_cast<float>(L), static_cast<float>(T), 4096, 4096)
                                               : MakeGPRect(static_cast<float>(L), static_cast<float>(T),
                                                            static_cast<float>(W), static_cast<float>(H));
            TGPRectF M{};
            TG->MeasureString(Text, -1, GFont.get(), Box, Format.get(), M);
            TW = M.Width;
            TH = M.Height;
            MeasuredX = M.X;
            CaptionBottom = RoundEven(M.Y + TH);
            if (HasNotes && GNotesFont) {
                TGPRectF N{};
                TG->MeasureString(NotesText, -1, GNotesFont.get(), Box, Format.get(), N);
                NW = N.Width;
                NH = N.Height;
            }
        } else {
            C->Font()->Assign(P.Font);
            TRect M = Rect(L, T, P.WordWrap ? L + 4096 : L + 2, T);
            C->DrawTextRect(Text, M, DT_CALCRECT | (P.WordWrap ? DT_WORDBREAK : DT_SINGLELINE));
            TW = RectWidth(M);
            TH = RectHeight(M);
            CaptionBottom = (RoundEven(H) + TH) / 2;
            TX = Layout == blGlyphLeft ? (W - TW - GW) / 2 : L;
            if (HasNotes && P.NotesFont) {
                C->Font()->Assign(P.NotesFont);
                TRect N = Rect(L, T, L + 2, T);
                C->DrawTextRect(NotesText, N, DT_CALCRECT | DT_WORDBREAK);
                NW = RectWidth(N);
                NH = RectHeight(N);
            }
        }

        switch (Layout) {
        case blGlyphTop:
        case blGlyphBottom:
        case blGlyphTopAdjusted:
        case blGlyphBottomAdjusted:
            Size.cx = static_cast<int>(std::max(TW + P.Spacing, static_cast<double>(GW + P.Spacing)));
            Size.cy = static_cast<int>(TH + GH + P.Spacing);
            break;
        default:
            Size.cx = static_cast<int>(std::max(TW, NW) + GW + P.Spacing);
            Size.cy = static_cast<int>(std::max(TH + P.Spacing + NH, static_cast<double>(GH + P.Spacing)));
            break;
        }
        if (P.MeasureOnly)
            return Size;

        const int Centred = std::max(0, (W - GW) / 2) + L;
        switch (Layout) {
        case blGlyphLeft:
            if (Plus) {
                BX = L + GW + 2;
                GX = RoundEven(MeasuredX - GW / 2.0);
            } else {
                BX = TX + GW;
                GX = static_cast<int>(TX);
            }
            BW = W - GW - 2;
            GX = std::max(GX, 2);
            GY = std::max(0, (H - GH) / 2) + T;
            break;
        case blGlyphTop:
            BY = T + GH;
            BH = H - GH - 2;
            GX = Centred;
            GY = static_cast<int>(std::max(0.0, (BH - TH) / 2) + BY - GH) - (Plus ? 0 : 4);
            GY = std::max(GY, 2);
            break;
        case blGlyphRight:
        case blGlyphRightAdjusted:
            BX = 2;
            BW = W - GW - 4;
            if (Layout == blGlyphRightAdjusted)
                GX = W - GW - 2;
            else {
                GX = static_cast<int>(std::max(0.0, (BW - TW) / 2) + TW + 4);
                if (GX > W - GW)
                    GX = W - GW - 2;
            }
            GY = std::max(0, (H - GH) / 2) + T;
            break;
        case blGlyphBottom:
            BY = 2;
            BH = H - GH - 2;
            GX = Centred;
            GY = static_cast<int>(std::max(0.0, (BH - TH) / 2) + TH + 2) + (Plus ? 0 : 5);
            if (GY > H - GH)
                GY = H - GH - 2;
            break;
        case blGlyphLeftAdjusted:
            BX = L + GW + 2;
            BW = W - GW - 2;
            GX = std::max(2, RoundEven(MeasuredX - GW / 2.0));
            if (!Plus)
                GX = 2;
            GY = std::max(0, (H - GH) / 2) + T;
            break;
        case blGlyphTopAdjusted:
            BY = T + GH;
            BH = H - GH - 2;
            GX = Centred;
            GY = std::max(2, T);
            break;
        case blGlyphBottomAdjusted:
            BY = 2;
            BH = H - GH - (Plus ? 2 : 4);
            GX = Centred;
            if (Plus) {
                GY = static_cast<int>(H / 2 + TH + 2);
                if (GY > H - GH)
                    GY = H - GH - 2;
            } else {
                GY = H - GH - 2;
            }
            break;
        }

        const TColor TextColor = P.Enabled ? P.Font->Color() : static_cast<TColor>(0x808080);
        if (Plus) {
            std::unique_ptr<TGPSolidBrush> Brush(new TGPSolidBrush(Argb(TextColor)));
            TGPRectF Box = MakeGPRect(static_cast<float>(BX), static_cast<float>(BY), static_cast<float>(BW),
                                      static_cast<float>(BH));
            if (HasNotes) {
                Format->SetLineAlignment(GPStringAlignmentNear);
                Box.Y += static_cast<float>((BH - RoundEven(TH) - RoundEven(NH)) / 2);
            }
            if (Brush)
                G->DrawString(Text, -1, GFont.get(), Box, Format.get(), Brush.get());
            if (HasNotes && GNotesFont) {
                Box.Y += static_cast<float>(RoundEven(TH));
                std::unique_ptr<TGPSolidBrush> NotesBrush(new TGPSolidBrush(Argb(P.NotesFont->Color())));
                if (NotesBrush)
                    G->DrawString(NotesText, -1, GNotesFont.get(), Box, Format.get(), NotesBrush.get());
            }
        } else {
            TRect Box = Rect(RoundEven(BX), RoundEven(BY), RoundEven(BX) + RoundEven(BW), RoundEven(BY) + RoundEven(BH));
            UINT Flags = P.WordWrap ? DT_WORDBREAK : DT_SINGLELINE;
            switch (Layout) {
            case blGlyphLeft: Flags |= DT_VCENTER; break;
            case blGlyphTop:
            case blGlyphRight:
            case blGlyphBottom: Flags |= DT_VCENTER | DT_CENTER; break;
            case blGlyphLeftAdjusted:
                Box.left += 2;
                if (HasNotes)
                    Box.top = static_cast<int>((Box.bottom - Box.top - TH - NH) / 2);
                else
                    Flags |= DT_VCENTER;
                break;
            case blGlyphRightAdjusted: Flags |= DT_VCENTER | DT_RIGHT; break;
            case blGlyphTopAdjusted: Flags |= DT_CENTER; break;
            case blGlyphBottomAdjusted: Flags |= DT_CENTER | DT_BOTTOM; break;
            }
            C->Font()->Assign(P.Font);
            C->Font()->SetColor(TextColor);
            C->Brush()->SetStyle(TBrushStyle::bsClear);
            if (P.WordWrap && !HasNotes) {
                TRect Calc = Box;
                const int WrappedH = C->DrawTextRect(Text, Calc, Flags | DT_CALCRECT);
                switch (Layout) {
                case blGlyphTop: Box.top = Box.top + std::max(0, (RectHeight(Box) - WrappedH) / 2); break;
                case blGlyphTopAdjusted: break;
                case blGlyphBottomAdjusted: Box.top = Box.bottom - WrappedH; break;
                default: Box.top = (Box.bottom - Box.top - WrappedH) / 2; break;
                }
            }
            TRect Draw = Box;
            C->DrawTextRect(Text, Draw, Flags);
            if (HasNotes && P.NotesFont) {
                C->Font()->Assign(P.NotesFont);
                TRect NotesBox = Box;
                NotesBox.top += static_cast<int>(TH);
                NotesBox.bottom = std::max(NotesBox.bottom, NotesBox.top + static_cast<int>(NH) + 1);
                C->DrawTextRect(NotesText, NotesBox, P.WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
            }
        }
    }
    if (P.MeasureOnly)
        return Size;

    // Glyph. Without a caption it is centred in the content area, less 8
    // pixels across the drop-down strip's side for the arrow.
    if (P.DropDownButton) {
        if (P.DropDownPosition == dpRight)
            W -= 8;
        else
            H -= 8;
    }
    if (HasPicture) {
        int PW = ForcedGlyph ? P.ForcedGlyphWidth : P.Picture->Width();
        int PH = ForcedGlyph ? P.ForcedGlyphHeight : P.Picture->Height();
        int X = GX, Y = GY;
        if (!HasCaption) {
            X = L + std::max(0, (W - PW) / 2);
            Y = T + std::max(0, (H - PH) / 2);
        }
        G.reset();   // GDI and GDI+ do not share the DC at once
        if (ForcedGlyph)
            DrawPictureScaled(C, Bounds(X, Y, PW, PH), P.Picture);
        else
            P.Picture->Draw(C, Bounds(X, Y, PW, PH));
    } else if (P.ImageIndex != -1 && P.Images) {
        int X = GX, Y = GY;
        if (!HasCaption) {
            X = L + std::max(0, (W - P.Images->Width()) / 2);
            Y = T + std::max(0, (H - P.Images->Height()) / 2);
        }
        G.reset();
        P.Images->Draw(C, X, Y, P.ImageIndex, P.DrawImageEnabled);
    }

    // Drop-down strip.
    if (P.DropDownButton) {
        G.reset();
        TRect S = R;
        if (P.DropDownPosition == dpRight)
            S.left = R.right - Strip;
        else
            S.top = R.bottom - Strip;
        if (P.HotColors && P.DropDownSplit) {
            C->Pen()->SetColor(P.Colors.BorderColor);
            if (P.DropDownPosition == dpBottom) {
                C->MoveTo(S.left, S.top);
                C->LineTo(S.right, S.top);
            } else {
                C->MoveTo(S.left, S.top);
                C->LineTo(S.left, S.bottom);
            }
        }
        const int AX = S.left + (RectWidth(S) - 5) / 2;
        int AY;
        if (P.DropDownPosition == dpBottom || !HasCaption)
            AY = S.top + 1 + (RectHeight(S) - 3) / 2;
        else
            AY = static_cast<int>(CaptionBottom) - 8;
        DrawDropDownArrow(C, AX, AY, P.Enabled ? clBlack : static_cast<TColor>(0x808080),
                          P.DropDownDirection == ddDown);
    }
    return Size;
}

// ---------------------------------------------------------------------------

void TProCustomGlowButton::Paint()
{
    TCanvas* C = Canvas();
    const TRect Client = ClientRect();
    HDC DC = C->Handle();

    // 1. The parent's background behind a transparent button.
    if (FTransparent && !FMouseInside) {
        HRGN Clip = CreateRectRgn(Client.left, Client.top, Client.right, Client.bottom);
        PaintParentBackground(this, DC, Clip);
        DeleteObject(Clip);
        C->Refresh();
    }

    // 2. State fix-up.
    const bool IsEnabled = EffectivelyEnabled();
    if (!IsEnabled) {
        FDrawState = 1;
        FPressStarted = false;
    } else if (FDrawState == 1) {
        FDrawState = FDown && FGroupIndex != 0 ? 4 : 0;
    }
    if (FStyle == bsCheck && FDown)
        FDrawState = 2;

    // 3. The colour set.
    TGlowFaceParams P;
    const TGlowButtonAppearance& A = *FAppearance;
    if ((FDrawState == 1 || !IsEnabled) && FShowDisabled) {
        P.Colors = A.Look(glDisabled);
    } else if (FDrawState == 2 && FStyle == bsButton) {
        P.Colors = A.Look(glDown);
        P.HotColors = true;
    } else if (FDrawState == 4 || (FDrawState == 2 && FStyle == bsCheck)) {
        P.Colors = A.Look(glChecked);
        if (FFading && (FHot || (FStyle == bsButton && (FGroupIndex <= 0 || FDrawState == 2)))) {
            const TGlowColorSet D = A.Look(glDown);
            P.Colors.Color = BlendColors(P.Colors.Color, D.Color, FDownStep);
            P.Colors.ColorTo = BlendColors(P.Colors.ColorTo, D.ColorTo, FDownStep);
            P.Colors.ColorMirror = BlendColors(P.Colors.ColorMirror, D.ColorMirror, FDownStep);
            P.Colors.ColorMirrorTo = BlendColors(P.Colors.ColorMirrorTo, D.ColorMirrorTo, FDownStep);
        }
    } else if (FHotLook) {
        P.Colors = A.Look(glHot);
        P.HotColors = true;
    } else {
        P.Colors = A.Look(glNormal);
    }

    // 4. Fade blends.
    if (FFading) {
        auto Blend = [](TGlowColorSet& S, const TGlowColorSet& X, const TGlowColorSet& Y, int Step, bool Border) {
            S.Color = BlendColors(X.Color, Y.Color, Step);
            S.ColorTo = BlendColors(X.ColorTo, Y.ColorTo, Step);
            S.ColorMirror = BlendColors(X.ColorMirror, Y.ColorMirror, Step);
            S.ColorMirrorTo = BlendColors(X.ColorMirrorTo, Y.ColorMirrorTo, Step);
            if (Border)
                S.BorderColor = BlendColors(X.BorderColor, Y.BorderColor, Step);
        };
        if (!FPressed && !FTransparent && FDrawState != 4 && !(FStyle == bsCheck && FDrawState == 2))
            Blend(P.Colors, A.Look(glHot), A.Look(glNormal), FHotStep, true);
        else if (FStyle == bsCheck && FPressed)
            Blend(P.Colors, A.Look(glDown), A.Look(glChecked), FDownStep, false);
        else if (FPressed && FDrawState != 4)
            Blend(P.Colors, A.Look(glDown), A.Look(glHot), FDownStep, true);
    }

    // 5. Image list and picture.
    TImageList* List = FImages;
    bool ImageEnabled = IsEnabled;
    if (!IsEnabled && FDisabledImages) {
        List = FDisabledImages;
        ImageEnabled = true;
    } else if (FHotLook && FHotImages) {
        List = FHotImages;
    }
    TGdiPlusPicture* Pic = FPicture.get();
    if (!IsEnabled && !FDisabledPicture->Empty())
        Pic = FDisabledPicture.get();
    else if (FHotLook && !FHotPicture->Empty())
        Pic = FHotPicture.get();

    // 6, 7, 8, 9.
    P.Caption = FShowCaption ? Caption() : String();
    P.DropDownHover = (FHot || FHeld) && FDropDownButton ? (FDropDownHot ? 2 : 1) : 0;
    if (FPosition != bpStandalone && FHeld)
        P.Colors.BorderColor = A.BorderColor();
    if (!IsEnabled && FShowDisabled)
        P.Colors = A.Look(glDisabled);

    // 10. Focus.
    const bool Focused = HandleAllocated() && GetFocus() == Handle();
    const bool FocusedHot = Focused && (FFocusType == ftHot || FFocusType == ftHotBorder) && !FPressed;
    if (FocusedHot) {
        P.Colors = A.Look(glHot);
        P.HotColors = true;
    }
    P.FocusFrame = HasFocusBorder();

    // 11. Font.
    TFont DrawFont;
    DrawFont.Assign(Font());
    if (!ParentFont() && A.SystemFont())
        DrawFont.SetName(HasVistaApi() ? "Segoe UI" : "Tahoma");

    // 12. The overlay hook.
    TBitmap Scratch(1, 1);
    PrepareOverlay(&Scratch);

    // 14. Auto-size limits.
    if (FAutoSize && FSizeState < bsLarge) {
        P.ForcedGlyphWidth = P.ForcedGlyphHeight = 16;
        if (List && FImageIndex >= 0)
            Pic = nullptr;
        if (FSizeState == bsGlyph)
            P.Caption.clear();
    }

    P.Font = &DrawFont;
    P.Images = List;
    P.ImageIndex = FImageIndex;
    P.DrawImageEnabled = ImageEnabled;
    P.Picture = Pic;
    P.Layout = FLayout;
    P.DropDownButton = FDropDownButton;
    P.DropDownPosition = FDropDownPosition;
    P.DropDownSplit = FDropDownSplit;
    P.DropDownDirection = FDropDownDirection;
    P.Enabled = IsEnabled;
    P.Border = HasBorder();
    P.Position = FPosition;
    P.MouseInside = FMouseInside;
    P.Down = FDown;
    P.Rounded = FRounded;
    P.AntiAlias = FAntiAlias;
    P.Spacing = FSpacing;
    P.Trimming = FTrimming;
    P.WordWrap = FWordWrap;
    P.Notes = FNotes.get();
    P.NotesFont = FNotesFont.get();

    // 15. Measure for auto-size.
    if (FMeasuring || (FSizePending && FAutoSize)) {
        P.MeasureOnly = true;
        const TSize Content = DrawGlowButtonFace(C, Client, P);
        P.MeasureOnly = false;
        if (FAutoSize) {
            int NewW = FSpacing * 3 + Content.cx + FMarginHorz * 2 + 2;
            int NewH = FSpacing * 2 + Content.cy + FMarginVert * 2;
            if (FDropDownButton) {
                if (FDropDownPosition == dpBottom)
                    NewH += 13;
                else
                    NewW += 13;
            }
            if (NewW != Width() || NewH != Height()) {
                FSizePending = false;
                SetBounds(Left(), Top(), NewW, NewH);
                Invalidate();   // this paint's buffer has the old size
                return;
            }
        }
    }
    FSizePending = false;

    // 16. The face.
    P.TransparentLook = FTransparent && !FMouseInside && !FocusedHot && FDrawState != 2;
    DrawGlowButtonFace(C, Client, P);
    C->Refresh();

    // 17. Hooks.
    AfterDraw(C, Client);
    if (OnDrawButton)
        OnDrawButton(this, C, Client, FDrawState == 2 ? TGlowButtonState::gsDown : (FMouseInside ? TGlowButtonState::gsHot : TGlowButtonState::gsNormal));

    // 18. Corners outside the rounded frame show the parent.
    if (!Parent() || (FTransparent && !FMouseInside && FDrawState != 2 && !FHotLook) || FPosition == bpMiddle)
        return;
    const int W = Client.right, H = Client.bottom;
    std::vector<TPoint> Corners;
    if (FPosition == bpStandalone || FPosition == bpLeft) {
        Corners.push_back(Point(0, 0));
        Corners.push_back(Point(0, H - 1));
    }
    if (FPosition == bpStandalone || FPosition == bpRight) {
        Corners.push_back(Point(W - 1, 0));
        Corners.push_back(Point(W - 1, H - 1));
    }
    HRGN Region = CreateRectRgn(0, 0, 0, 0);
    for (const TPoint& Pt : Corners) {
        HRGN One = CreateRectRgn(Pt.x, Pt.y, Pt.x + 1, Pt.y + 1);
        CombineRgn(Region, Region, One, RGN_OR);
        DeleteObject(One);
    }
    PaintParentBackground(this, C->Handle(), Region);
    DeleteObject(Region);
    C->Refresh();
}

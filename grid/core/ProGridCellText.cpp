// Cell text: alignment, float formatting, drawing plain, wide, HTML
// (through the mini-HTML renderer), RTF (its plain text) and rotated text,
// text measurement, and the save and load hooks.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/Codepage.h"
#include "framework/StrUtils.h"
#include "grid/core/GridCellText.h"
#include "grid/core/GridDrawing.h"
#include "grid/core/GridNumberText.h"
#include "grid/core/HtmlRender.h"
#include "grid/core/PictureContainer.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/ProRichEdit.h"

#include <richedit.h>

namespace {

constexpr int CellMarginX = 2;
constexpr int CellMarginY = 2;

bool IsNumberKind(const String& S)
{
    const Integer K = ClassifyNumberText(Trim(S));
    return K == ntInteger || K == ntDecimal || K == ntExponent;
}

UINT HorzFlag(TAlignment A) { return A == taRightJustify ? DT_RIGHT : A == taCenter ? DT_CENTER : 0; }
UINT VertFlag(TVAlignment A) { return A == vtaCenter ? DT_VCENTER : A == vtaBottom ? DT_BOTTOM : 0; }

// The first line of a text (CR or LF ends it).
String FirstLine(const String& S)
{
    const auto P = S.find_first_of("\r\n");
    return P == String::npos ? S : S.substr(0, P);
}

int CountLines(const String& S, bool Multiline)
{
    if (!Multiline)
        return 1;
    return 1 + static_cast<int>(std::count(S.begin(), S.end(), '\r'));
}

} // namespace

// ---------------------------------------------------------------------------
// Alignment and display text

void TProStringGrid::GetCellAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign)
{
    VAlign = VAlignment;
    HAlign = taLeftJustify;
    String Text;
    bool Formula = false;
    if (AutoNumAlign || HasCellProperties(ACol, ARow)) {
        Text = ReadCellText(ACol, ARow);
        Formula = (!Text.empty() && Text[0] == '=') || (Text.size() >= 4 && Text.compare(0, 2, WideTextMarker) == 0
                                                         && Text[3] == '=');
    }
    if (AutoNumAlign) {
        if (Formula)
            CalcCellValue(ACol, ARow, Text);
        if (IsNumberKind(Text))
            HAlign = taRightJustify;
    }
    if (TCellProperties* Props = CellProperties(ACol, ARow))
        if (!AutoNumAlign || !Formula) {
            HAlign = Props->Alignment;
            VAlign = Props->VAlignment();
        }
    DoGetAlignment(ACol, ARow, HAlign, VAlign);
}

void TProStringGrid::GetFloatFormattedText(int ACol, int ARow, String& Text)
{
    // The display hooks run inside ReadCellText, once.
    Text = ReadCellText(ACol, ARow);
    if (!OnGetFloatFormat || !IsNumberKind(Text))
        return;
    bool IsFloat = true;
    String Format = FloatFormat;
    OnGetFloatFormat(this, ACol, ARow, IsFloat, Format);
    // A format that does not take exactly one number would read a value
    // that is not there: the raw text stays. The conversion says whether the
    // integer or the floating-point value is formatted.
    const TFormatArgKind Kind = FormatArgKind(Format);
    if (!IsFloat || Kind == fakNone)
        return;
    try {
        char Buf[256];
        int N;
        if (Kind == fakInteger) {
            const Integer K = ClassifyNumberText(Trim(Text));
            if (K != ntInteger)
                return;  // an integer format cannot show a decimal number: the raw text stays
            N = std::snprintf(Buf, sizeof Buf, Format.c_str(), GetCellInt(ACol, ARow));
        } else {
            N = std::snprintf(Buf, sizeof Buf, Format.c_str(), GetCellFloat(ACol, ARow));
        }
        if (N >= 0)
            Text.assign(Buf, static_cast<std::size_t>(std::min<int>(N, sizeof Buf - 1)));
    } catch (const std::exception&) {
        // a value that cannot be read leaves the text as it is
    }
}

void TProStringGrid::GetCellTextForSave(int ACol, int ARow, String& Text)
{
    GetFloatFormattedText(ACol, ARow, Text);
    if (Text.empty()) {
        TCellGraphic* G = GetCellGraphic(ACol, ARow);
        if (G && G->CellType == ctCheckBox) {
            if (G->CellBoolean)
                GetCheckTrue(ACol, ARow, Text);
            else
                GetCheckFalse(ACol, ARow, Text);
            if (Text.empty())
                Text = G->CellBoolean ? CheckTrue : CheckFalse;
        }
    }
    if (GetCellTextKind(Text, EnableHTML) == ctkRtf)
        Text = RtfPlainText(Text);
    if (OnSaveCell)
        OnSaveCell(this, ACol, ARow, Text);
}

void TProStringGrid::SetCellTextFromLoad(int ACol, int ARow, const String& Text)
{
    String V = Text;
    if (OnLoadCell)
        OnLoadCell(this, ACol, ARow, V);
    SetCellTextRaw(ACol, ARow, V);
}

// ---------------------------------------------------------------------------
// Layout

TRect TProStringGrid::CellTextRect(TRect R, TAlignment HAlign, const TCellGraphic* G, int GW, int GH, int ACol,
                                   int ARow)
{
    R.left += CellMarginX;
    R.right -= CellMarginX;
    R.top += CellMarginY;
    if (G && G->CellType != ctNode) {
        if (G->CellHAlign == haBeforeText)
            R.left += GW;
        else if (G->CellHAlign == haAfterText)
            R.right -= GW;
        if (G->CellVAlign == vaAboveText)
            R.top += GH;
        else if (G->CellVAlign == vaUnderText)
            R.bottom -= GH;
    }
    (void)HAlign;
    if (ACol == 0 && HasNodes() && !IsNodeRow(ARow))
        R.left += GetRowIndent(ARow);
    return R;
}

TPoint TProStringGrid::LayoutRotatedText(TRect R, int Angle, TVAlignment VAlign, TAlignment HAlign, TSize TextSize)
{
    InflateRect(&R, -2, -2);
    const double Rad = Angle * 3.14159265358979323846 / 180.0;
    const int W = TextSize.cx, H = TextSize.cy;
    const int cW = std::abs(static_cast<int>(std::trunc(std::cos(Rad) * W)));
    const int sW = std::abs(static_cast<int>(std::trunc(std::sin(Rad) * W)));
    const int cH = std::abs(static_cast<int>(std::trunc(std::cos(Rad) * H)));
    const int sH = std::abs(static_cast<int>(std::trunc(std::sin(Rad) * H)));
    const int Width = R.right - R.left;
    const int Height = R.bottom - R.top;
    int X = R.left, Y = R.top;
    const int A = ((Angle % 360) + 360) % 360;
    const bool Left = HAlign == taLeftJustify, Right = HAlign == taRightJustify;
    const bool Top = VAlign == vtaTop, Bottom = VAlign == vtaBottom;
    if (A <= 90) {
        X = Left ? R.left : Right ? R.right - cW - sH : R.left + (Width - sH - cW) / 2;
        Y = Top ? R.top + sW : Bottom ? R.bottom - cH : R.top + sW - (sW + cH - Height) / 2;
    } else if (A <= 180) {
        X = Left ? R.left + cW : Right ? R.right - sH : R.right - (sH + Width - cW) / 2;
        Y = Top ? R.top + cH + sW : Bottom ? R.bottom : R.top + cH + sW - (sW + cH - Height) / 2;
    } else if (A <= 270) {
        X = Left ? R.left + sH + cW : Right ? R.right : R.right - (Width - sH - cW) / 2;
        Y = Top ? R.top + cH : Bottom ? R.bottom - sW : R.top + cH - (sW + cH - Height) / 2;
    } else {
        X = Left ? R.left + sH : Right ? R.right - cW : R.left + (sH + Width - cW) / 2;
        Y = Top ? R.top : Bottom ? R.bottom - cH - sW : R.top - (sW + cH - Height) / 2;
    }
    return TPoint{X, Y};
}

void TProStringGrid::DrawRotatedText(TCanvas* ACanvas, TRect R, int Angle, TVAlignment VAlign, TAlignment HAlign,
                                     const String& Text)
{
    const TSize Size = ACanvas->TextExtent(Text);
    const TPoint P = LayoutRotatedText(R, Angle, VAlign, HAlign, Size);
    HDC DC = ACanvas->Handle();
    LOGFONTW LF{};
    GetObjectW(ACanvas->Font()->Handle(), sizeof LF, &LF);
    LF.lfEscapement = Angle * 10;
    LF.lfOrientation = Angle * 10;
    HFONT Rotated = CreateFontIndirectW(&LF);
    if (!Rotated)
        return;
    const int Saved = SaveDC(DC);
    SelectObject(DC, Rotated);
    SetTextAlign(DC, TA_LEFT | TA_TOP);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(ACanvas->Font()->Color()));
    RECT Clip = R;
    InflateRect(&Clip, -2, -2);
    const WideString W = StrToWide(Text);
    ExtTextOutW(DC, P.x, P.y, ETO_CLIPPED, &Clip, W.c_str(), static_cast<UINT>(W.size()), nullptr);
    RestoreDC(DC, Saved);
    DeleteObject(Rotated);
    ACanvas->Refresh();
}

// ---------------------------------------------------------------------------
// Rich text

TProRichEdit* TProStringGrid::RichFormatter()
{
    if (FRichFormatter == nullptr) {
        FRichFormatter = new TProRichEdit(this);
        FRichFormatter->SetParent(this);
    }
    return FRichFormatter;
}

bool TProStringGrid::DrawRTFCell(int ACol, int ARow, TRect R, TCanvas* ACanvas)
{
    if (!HandleAllocated())
        return false;
    const int C = DisplayToRealCol(ACol);
    const bool Current = ACol == Col() && ARow == Row();
    const bool InSelection = IsCellSelected(ACol, ARow);
    const bool FocusedCell = Current && Focused();
    if (!(InSelection && !FocusedCell && SelectionColor == clNone))
        ACanvas->FillRect(R);

    TProRichEdit* E = RichFormatter();
    const HWND Edit = E->Handle();
    E->LoadRichText(CellTextAsRtf(ReadCellText(C, ARow)));

    const HDC DC = ACanvas->Handle();
    const int MapMode = GetMapMode(DC);
    if (InSelection && (!Current || HasOption(goDrawFocusSelected)) && !SelectionRTFKeep && MapMode == MM_TEXT
        && SelectionTextColor != clNone) {
        CHARFORMAT2W Format{};
        Format.cbSize = sizeof(Format);
        Format.dwMask = CFM_COLOR;
        Format.crTextColor = static_cast<COLORREF>(ColorToRGB(SelectionTextColor));
        SendMessageW(Edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&Format));
    }

    const int PpiX = GetDeviceCaps(DC, LOGPIXELSX);
    const int PpiY = GetDeviceCaps(DC, LOGPIXELSY);
    const int MX = CellMarginX * PpiX / 96;
    const int MY = CellMarginY * PpiY / 96;
    auto TwipsX = [&](int V) { return MulDiv(V, 1440, PpiX); };
    auto TwipsY = [&](int V) { return MulDiv(V, 1440, PpiY); };
    ACanvas->Refresh();
    const int Saved = SaveDC(DC);
    SetMapMode(DC, MM_TEXT);
    FORMATRANGE Range{};
    Range.hdc = DC;
    Range.hdcTarget = DC;
    Range.rc = RECT{TwipsX(R.left + MX), TwipsY(R.top + MY), TwipsX(R.right - MX), TwipsY(R.bottom - MY)};
    Range.rcPage = Range.rc;
    Range.chrg.cpMin = 0;
    Range.chrg.cpMax = -1;
    const LRESULT Fitted = SendMessageW(Edit, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&Range));
    if (Fitted == 0 && GetWindowTextLengthW(Edit) > 0) {
        // A rich edit that lays nothing out for a device (Wine's) paints its
        // own client area instead: sized to the cell, on the cell's colour,
        // with the same margins, printed at the cell's place.
        E->SetBounds(0, 0, R.right - R.left, R.bottom - R.top);
        RECT Format{MX, MY, R.right - R.left - MX, R.bottom - R.top - MY};
        SendMessageW(Edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&Format));
        SendMessageW(Edit, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(ACanvas->Brush()->Color())));
        POINT Origin;
        SetViewportOrgEx(DC, R.left, R.top, &Origin);
        IntersectClipRect(DC, 0, 0, R.right - R.left, R.bottom - R.top);
        SendMessageW(Edit, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT | PRF_ERASEBKGND);
        SetViewportOrgEx(DC, Origin.x, Origin.y, nullptr);
    }
    SendMessageW(Edit, EM_FORMATRANGE, FALSE, 0);
    RestoreDC(DC, Saved);
    ACanvas->Refresh();
    ACanvas->Font()->SetColor(clBlack);
    return true;
}

// ---------------------------------------------------------------------------
// Drawing

void TProStringGrid::DrawCellText(TCanvas* ACanvas, int ACol, int ARow, TGridDrawState AState, TRect R,
                                  TAlignment HAlign, TVAlignment VAlign, bool WordWrap, TCellGraphic* G, int GW,
                                  int GH)
{
    const int C = DisplayToRealCol(ACol);
    String Text;
    GetFloatFormattedText(C, ARow, Text);
    Integer Kind = GetCellTextKind(Text, EnableHTML);
    if (Kind == ctkFormula) {
        CalcCellValue(C, ARow, Text);
        Kind = GetCellTextKind(Text, EnableHTML);
    }
    if (IsPasswordCell(C, ARow))
        Text.assign(Text.size(), '*');
    if (Multilinecells)
        FSingleLineFlag = 0;

    TRect TR = CellTextRect(R, HAlign, G, GW, GH, ACol, ARow);
    const bool SortRow = ARow == FSortSettings->Row && FSortSettings->Show
        && (FSortSettings->Column == C || FSortIndexes->FindSortColumn(C) >= 0);
    const bool GlyphShown = SortRow && (FSortSettings->Column == C || FSortSettings->IndexShow);
    const bool FilterSpace = ARow == 0 && HasFixedDropDown(C, ARow);

    if (Kind == ctkWide) {
        const WideString W = UnpackWideText(Text);
        if (SortRow)
            TR.right -= 10;
        UINT Flags = VertFlag(VAlign) | HorzFlag(HAlign) | DT_END_ELLIPSIS | DT_NOPREFIX
            | ((WordWrap || Multilinecells) ? DT_WORDBREAK : DT_SINGLELINE);
        ACanvas->DrawTextRect(W, TR, Flags);
        if (GlyphShown) {
            const int Y = VAlign == vtaTop ? TR.top + 8 : VAlign == vtaBottom ? TR.bottom - 8
                                                                               : TR.top + (TR.bottom - TR.top) / 2;
            DrawSortGlyph(ACanvas, ACol, TR.right + 3, Y);
        }
        return;
    }
    if (Kind == ctkHtml) {
        DrawHtmlCellText(ACanvas, ACol, AState, TR, VAlign, Text, G, GlyphShown, SortRow, FilterSpace);
        return;
    }
    if (Kind == ctkRtf) {
        if (DrawRTFCell(ACol, ARow, R, ACanvas))
            return;
        Text = RtfPlainText(Text);
    }

    // Plain text.
    if (SortRow) {
        if (HAlign == taLeftJustify)
            TR.right -= 14;
        else
            TR.left += 14;
    }
    if (FilterSpace)
        TR.right -= 16;
    const bool Link = URLShow && IsUrl(Text);
    TFontStyles KeepStyle = ACanvas->Font()->Style();
    if (Link) {
        if (!URLFull)
            StripUrlScheme(Text);
        ACanvas->Font()->SetStyle(KeepStyle + TFontStyles{TFontStyle::fsUnderline});
        ACanvas->Font()->SetColor((AState & gdSelected) ? SelectionTextColor : URLColor);
    }
    UINT Flags = DT_EDITCONTROL;
    const int Lines = CountLines(Text, Multilinecells);
    if (Lines <= 1 && !WordWrap) {
        Text = FirstLine(Text);
        Flags = FSingleLineFlag;
        if (EnhTextSize)
            Flags |= DT_END_ELLIPSIS;
    } else if (WordWrap && !Multilinecells && EnhTextSize) {
        Flags |= DT_END_ELLIPSIS;
    }
    Flags |= DT_NOPREFIX | DT_EXPANDTABS | (WordWrap ? (DT_WORDBREAK | DT_EDITCONTROL) : FSingleLineFlag)
        | HorzFlag(HAlign) | VertFlag(VAlign) | DrawTextBiDiModeFlagsReadingOnly();
    ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
    // The text is measured only when a graphic or the sort glyph is placed by it.
    int TextW = 0;
    if ((G || GlyphShown) && !Text.empty()) {
        TRect Measure = TR;
        ACanvas->DrawTextRect(Text, Measure, Flags | DT_CALCRECT);
        TextW = Measure.right - Measure.left;
    }
    if (G)
        FTextWidth = Text.empty() ? 0 : TextW + 2;
    ACanvas->DrawTextRect(Text, TR, Flags);

    if (G && G->CellType == ctEmpty && G->CellErrLen > 0)
        DrawTextRangeSquiggle(this, ACanvas, Text, G->CellErrLen, G->CellErrFrom, 0, TR);

    if (GlyphShown) {
        const int L = std::max(0, std::min<int>(TR.right - TR.left - 16, TextW));
        const bool GraphicLeft = G && G->CellHAlign == haBeforeText;
        int X;
        if (HAlign == taLeftJustify)
            X = TR.left + L + (GraphicLeft ? GW : 0) + 10;
        else if (HAlign == taRightJustify)
            X = TR.right - L - 10;
        else
            X = TR.left + 8;
        const int Y = VAlign == vtaTop ? TR.top + 8 : VAlign == vtaBottom ? TR.bottom - 8
                                                                           : (TR.top + TR.bottom) / 2;
        DrawSortGlyph(ACanvas, ACol, X, Y);
    }
    if (Link)
        ACanvas->Font()->SetStyle(KeepStyle);
}

THtmlDrawParams TProStringGrid::HtmlCellParams(bool Selected)
{
    THtmlDrawParams P;
    P.ImageList = GridImages;
    P.PictureContainer = PictureContainer;
    P.PictureCache = PictureCache();
    P.Window = HandleAllocated() ? Handle() : nullptr;
    P.ShadowOffset = 1;
    P.ShadowColor = clGray;
    P.AnchorColor = Selected ? SelectionTextColor : URLColor;
    // The grid holds the mouse captured while a button is down on it.
    P.MouseDown = HandleAllocated() && GetCapture() == Handle();
    // Without the enhanced text size the renderer wraps instead of cutting
    // lines with an ellipsis.
    P.WordWrap = !EnhTextSize;
    P.BlinkOn = FBlinkOn;
    return P;
}

void TProStringGrid::DrawHtmlCellText(TCanvas* ACanvas, int ACol, TGridDrawState AState, TRect TR, TVAlignment VAlign,
                                      const String& Text, TCellGraphic* G, bool GlyphShown, bool SortRow,
                                      bool FilterSpace)
{
    if (SortRow)
        TR.right -= 10;
    if (FilterSpace)
        TR.right -= 18;
    TR.left -= 1;
    const THtmlDrawParams P = HtmlCellParams((AState & gdSelected) != 0);
    THtmlDrawResult Out;
    DrawHtmlText(ACanvas, Text, TR, P, Out);
    if (G)
        FTextWidth = Out.TextWidth + 2;
    if (GlyphShown) {
        const int Y = VAlign == vtaTop ? TR.top + 8 : VAlign == vtaBottom ? TR.bottom - 8
                                                                           : TR.top + (TR.bottom - TR.top) / 2;
        DrawSortGlyph(ACanvas, ACol, TR.right + 2, Y);
    }
}

THTMLPictureCache* TProStringGrid::PictureCache()
{
    if (!FPictureCache)
        FPictureCache = std::make_shared<THTMLPictureCache>();
    return FPictureCache.get();
}

// ---------------------------------------------------------------------------
// Measuring

TPoint TProStringGrid::GetCellTextSize(int ACol, int ARow, bool Wrapped)
{
    TCanvas* Cv = Canvas();
    String Text;
    GetFloatFormattedText(ACol, ARow, Text);
    Integer Kind = GetCellTextKind(Text, EnableHTML);
    if (Kind == ctkFormula) {
        CalcCellValue(ACol, ARow, Text);
        Kind = GetCellTextKind(Text, EnableHTML);
    }
    TGridDrawState State = 0;
    TResolvedCellColors Colors;
    TBrush Brush;
    TFont Font;
    ResolveCellColors(RealToDisplayCol(ACol), ARow, State, false, false, true, &Brush, &Font, Colors);
    Font.SetSize(Font.Size() + ZoomLevel);

    // Measuring works on a screen-compatible memory DC outside painting.
    TBitmap Scratch(1, 1);
    TCanvas* M = Cv->HandleAllocated() ? Cv : Scratch.Canvas();
    TFont Keep;
    Keep.Assign(M->Font());
    M->Font()->Assign(&Font);
    const TRect Cell = CellRect(RealToDisplayCol(ACol), ARow);
    TPoint Size{0, 0};
    int Angle = 0;
    if (GetRotatedAngle(ACol, ARow, Angle)) {
        const TSize E = M->TextExtent(Text);
        const double Rad = Angle * 3.14159265358979323846 / 180.0;
        const int cW = std::abs(static_cast<int>(std::trunc(std::cos(Rad) * E.cx)));
        const int sW = std::abs(static_cast<int>(std::trunc(std::sin(Rad) * E.cx)));
        const int cH = std::abs(static_cast<int>(std::trunc(std::cos(Rad) * E.cy)));
        const int sH = std::abs(static_cast<int>(std::trunc(std::sin(Rad) * E.cy)));
        Size = TPoint{cW + sH + 12, sW + cH + 12};
    } else if (Kind == ctkWide) {
        TRect R{Cell.left + CellMarginX, Cell.top, Cell.right - CellMarginX, Cell.bottom};
        M->DrawTextRect(UnpackWideText(Text), R,
                        DT_CALCRECT | DT_NOPREFIX | ((Wrapped || Multilinecells) ? DT_WORDBREAK : DT_SINGLELINE));
        Size = TPoint{R.right - R.left + 2 * CellMarginX, R.bottom - R.top};
    } else if (Kind == ctkHtml) {
        // Unwrapped text is measured without a right edge; the bottom is open.
        const TRect R{Cell.left + CellMarginX, Cell.top + CellMarginY, Wrapped ? Cell.right - CellMarginX : 65535,
                      65535};
        THtmlDrawParams P = HtmlCellParams(false);
        P.MeasureOnly = true;
        THtmlDrawResult Out;
        DrawHtmlText(M, Text, R, P, Out);
        Size = TPoint{Out.TextWidth + 2 * CellMarginX + 2, Out.TextHeight + 2 * CellMarginY + 2};
    } else if (Kind == ctkRtf && HandleAllocated()) {
        // The hidden rich edit, sized to the cell and wrapping like the grid,
        // reports the size its text asks for.
        TProRichEdit* E = RichFormatter();
        E->SetBounds(0, 0, Cell.right - Cell.left, Cell.bottom - Cell.top);
        SendMessageW(E->Handle(), EM_SETTARGETDEVICE, 0, WordWrap() ? 0 : 1);
        E->LoadRichText(Text);
        E->ReqWidth = 0;
        E->ReqHeight = 0;
        SendMessageW(E->Handle(), EM_REQUESTRESIZE, 0, 0);
        Size = TPoint{E->ReqWidth + 2 * CellMarginX, E->ReqHeight + 2 * CellMarginY};
    } else {
        if (Kind == ctkRtf)
            Text = RtfPlainText(Text);
        if (Wrapped) {
            TRect R{Cell.left + CellMarginX + 2, Cell.top, Cell.right - CellMarginX - 2, Cell.bottom};
            M->DrawTextRect(Text, R, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
            Size = TPoint{R.right - R.left + 2 * CellMarginX, R.bottom - R.top + 2 * CellMarginY};
        } else {
            int Widest = 0, Lines = 0;
            std::size_t Start = 0;
            while (true) {
                const std::size_t End = Multilinecells ? Text.find('\r', Start) : String::npos;
                String L = Text.substr(Start, End == String::npos ? String::npos : End - Start);
                if (!L.empty() && L[0] == '\n')
                    L.erase(0, 1);
                if (URLShow && !URLFull && IsUrl(L))
                    StripUrlScheme(L);
                Widest = std::max(Widest, M->TextWidth(L));
                ++Lines;
                if (End == String::npos)
                    break;
                Start = End + 1;
            }
            Size = TPoint{Widest + 2 * CellMarginX, Lines * M->TextHeight("gh") + 2 * CellMarginY};
        }
    }
    M->Font()->Assign(&Keep);
    return Size;
}

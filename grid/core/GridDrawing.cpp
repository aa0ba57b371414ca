#include "grid/core/GridDrawing.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <numbers>
#include <vector>

#include <vssym32.h>

#include "framework/Codepage.h"
#include "framework/StrUtils.h"
#include "framework/WinControl.h"
#include "visuals/ProXPVS.h"

namespace {

int RoundInt(double V) { return static_cast<int>(std::lround(V)); }

int Red(COLORREF C) { return GetRValue(C); }
int Green(COLORREF C) { return GetGValue(C); }
int Blue(COLORREF C) { return GetBValue(C); }

void SetPenAndBrush(TCanvas* Canvas, TColor Color)
{
    Canvas->Pen()->SetStyle(TPenStyle::psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(Color);
}

// The label of a progress bar: Format with one integer argument. Only the
// integer directives take the value, so a text typed by a user can never
// read arguments that are not there.
String FormatInteger(const String& Format, int Value)
{
    String out;
    for (std::size_t i = 0; i < Format.size(); ++i) {
        if (Format[i] != '%') {
            out += Format[i];
            continue;
        }
        std::size_t j = i + 1;
        if (j < Format.size() && Format[j] == '%') {
            out += '%';
            i = j;
            continue;
        }
        bool left = false;
        bool zero = false;
        while (j < Format.size() && (Format[j] == '-' || Format[j] == '0')) {
            (Format[j] == '-' ? left : zero) = true;
            ++j;
        }
        int width = 0;
        while (j < Format.size() && Format[j] >= '0' && Format[j] <= '9' && width < 1000)
            width = width * 10 + (Format[j++] - '0');
        if (j >= Format.size() || (Format[j] != 'd' && Format[j] != 'u' && Format[j] != 'x' && Format[j] != 'X')) {
            out += Format.substr(i, j - i);
            i = j - 1;
            continue;
        }
        String digits;
        switch (Format[j]) {
        case 'd': digits = IntToStr(Value); break;
        case 'u': digits = IntToStr(static_cast<std::uint32_t>(Value)); break;
        case 'x': digits = LowerCase(IntToHex(static_cast<std::uint32_t>(Value), 1)); break;
        default: digits = IntToHex(static_cast<std::uint32_t>(Value), 1); break;
        }
        if (static_cast<int>(digits.size()) < width) {
            const std::size_t pad = width - digits.size();
            if (left)
                digits.append(pad, ' ');
            else if (zero) {
                const std::size_t sign = !digits.empty() && digits[0] == '-' ? 1 : 0;
                digits.insert(sign, pad, '0');
            } else
                digits.insert(0, pad, ' ');
        }
        out += digits;
        i = j;
    }
    return out;
}

// A segment of a level bar, filled solid or as two gradient halves across
// its thickness (colour-to -> colour, then colour -> colour-to).
void FillLevelSegment(TCanvas* Canvas, TRect S, TColor Color, TColor ColorTo, const TLevelProgressAppearance& A)
{
    if (RectWidth(S) <= 0 || RectHeight(S) <= 0)
        return;
    if (!A.ShowGradient) {
        FillRectColor(Canvas, S, Color);
        return;
    }
    TRect first = S;
    TRect second = S;
    if (A.Vertical) {
        first.right = S.left + RectWidth(S) / 2;
        second.left = first.right;
        DrawGradientRect(Canvas, ColorTo, Color, true, first, A.Steps);
        DrawGradientRect(Canvas, Color, ColorTo, true, second, A.Steps);
    } else {
        first.bottom = S.top + RectHeight(S) / 2;
        second.top = first.bottom;
        DrawGradientRect(Canvas, ColorTo, Color, false, first, A.Steps);
        DrawGradientRect(Canvas, Color, ColorTo, false, second, A.Steps);
    }
}

// The segment Offset .. Offset + Length along the bar (from the left, or up
// from the bottom when vertical), Inset pixels inside it across.
TRect LevelSegmentRect(const TRect& R, bool Vertical, int Offset, int Length, int Inset)
{
    if (Vertical)
        return Rect(R.left + Inset, R.bottom - Offset - Length, R.right - Inset, R.bottom - Offset);
    return Rect(R.left + Offset, R.top + Inset, R.left + Offset + Length, R.bottom - Inset);
}

const wchar_t* LayeredModuleName = L"USER32.DLL";

template <class Fn>
Fn LookupLayeredFunction(const char* Name)
{
    HMODULE module = GetModuleHandleW(LayeredModuleName);
    if (!module)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, Name)));
}

}  // namespace

void DrawGradientRect(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, TRect R, int Steps)
{
    if (ToColor == clNone) {
        SetPenAndBrush(Canvas, FromColor);
        Canvas->Rectangle(R);
        return;
    }
    const COLORREF c1 = ColorToRGB(FromColor);
    const COLORREF c2 = ColorToRGB(ToColor);
    const int n = std::max(Steps, 1);
    const double f = (Horizontal ? RectWidth(R) : RectHeight(R)) / static_cast<double>(n);
    auto band = [&](int k, int& start, int& stop) {
        start = RoundInt(k * f);
        stop = start + RoundInt(f) + 1;
    };
    auto colour = [&](int k) {
        const int r = Red(c1) + RoundInt(k * (Red(c2) - Red(c1)) / static_cast<double>(n));
        const int g = Green(c1) + RoundInt(k * (Green(c2) - Green(c1)) / static_cast<double>(n));
        const int b = Blue(c1) + RoundInt(k * (Blue(c2) - Blue(c1)) / static_cast<double>(n));
        return RGBToColor(static_cast<Byte>(r), static_cast<Byte>(g), static_cast<Byte>(b));
    };
    auto paint = [&](TColor Colour, int Start, int Stop) {
        SetPenAndBrush(Canvas, Colour);
        if (Horizontal)
            Canvas->Rectangle(R.left + Start, R.top, R.left + Stop, R.bottom);
        else
            Canvas->Rectangle(R.left, R.top + Start, R.right, R.top + Stop);
    };
    // The bands overlap, and there are more of them than pixels across a
    // cell: each band, an opaque rectangle in one colour, covers what the
    // bands before it left, so every line across the gradient shows the
    // colour of the last band over it. Those lines are drawn instead, one
    // rectangle per run of a colour, which leaves the same pixels (with a
    // mixing pen mode or an empty rectangle the bands are drawn as they are).
    if (Canvas->Pen()->Mode() != TPenMode::pmCopy || RectWidth(R) <= 0 || RectHeight(R) <= 0) {
        for (int k = 0; k < n; ++k) {
            int start, stop;
            band(k, start, stop);
            paint(colour(k), start, stop);
        }
        return;
    }
    int last = 0;
    for (int k = 0; k < n; ++k) {
        int start, stop;
        band(k, start, stop);
        last = std::max(last, stop);
    }
    std::vector<int> owner(static_cast<std::size_t>(last), -1);
    for (int k = 0; k < n; ++k) {
        int start, stop;
        band(k, start, stop);
        for (int i = start; i < stop; ++i)
            owner[static_cast<std::size_t>(i)] = k;
    }
    int runStart = 0;
    TColor runColour = clNone;
    for (int i = 0; i <= last; ++i) {
        const int k = i < last ? owner[static_cast<std::size_t>(i)] : -1;
        const TColor c = k >= 0 ? colour(k) : clNone;
        if (c == runColour)
            continue;
        if (runColour != clNone)
            paint(runColour, runStart, i);
        runStart = i;
        runColour = c;
    }
    // The pen and brush are left as the last band leaves them.
    SetPenAndBrush(Canvas, colour(n - 1));
}

void DrawGradientBackground(TCanvas* Canvas, TRect R, TColor Color, bool Fill, bool VerticalLines,
                            TColor BorderColor, bool Vertical, TColor MirrorColorTo, TColor MirrorColor,
                            TColor ColorTo)
{
    if (Fill && Color != clNone) {
        if (MirrorColor == clNone && ColorTo == clNone) {
            SetPenAndBrush(Canvas, Color);
            Canvas->Rectangle(R.left, R.top, R.right, R.bottom + 1);
        } else if (MirrorColor == clNone) {
            DrawGradientRect(Canvas, Color, ColorTo, !Vertical, R, 128);
        } else {
            TRect first = R;
            TRect second = R;
            if (Vertical) {
                first.bottom = R.top + RectHeight(R) / 2;
                second.top = first.bottom;
            } else {
                first.right = R.left + RectWidth(R) / 2;
                second.left = first.right;
            }
            DrawGradientRect(Canvas, Color, ColorTo, !Vertical, first, 128);
            DrawGradientRect(Canvas, MirrorColor, MirrorColorTo, !Vertical, second, 128);
        }
    }
    if (BorderColor != clNone) {
        if (VerticalLines) {
            Canvas->Pen()->SetStyle(TPenStyle::psSolid);
            Canvas->Pen()->SetWidth(1);
            Canvas->Pen()->SetColor(BorderColor);
            Canvas->MoveTo(R.left, R.top);
            Canvas->LineTo(R.left, R.bottom);
            Canvas->MoveTo(R.right - 1, R.top);
            Canvas->LineTo(R.right - 1, R.bottom);
        } else {
            Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
            Canvas->Brush()->SetColor(BorderColor);
            Canvas->FrameRect(R);
        }
    }
}

TColor BlendColorAt(TColor FromColor, TColor ToColor, int RangeStart, int Position, int RangeEnd)
{
    if (ToColor == clNone || RangeEnd == RangeStart)
        return FromColor;
    const COLORREF c1 = ColorToRGB(FromColor);
    const COLORREF c2 = ColorToRGB(ToColor);
    const double t = static_cast<double>(Position) / (RangeEnd - RangeStart);
    auto channel = [t](int a, int b) { return static_cast<Byte>(std::clamp(a + RoundInt((b - a) * t), 0, 255)); };
    return RGBToColor(channel(Red(c1), Red(c2)), channel(Green(c1), Green(c2)), channel(Blue(c1), Blue(c2)));
}

TColor HalveColor(TColor Color)
{
    const COLORREF c = ColorToRGB(Color);
    return RGBToColor(static_cast<Byte>(Red(c) / 2), static_cast<Byte>(Green(c) / 2), static_cast<Byte>(Blue(c) / 2));
}

void FillRectColor(TCanvas* Canvas, TRect R, TColor Color)
{
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->FillRect(R);
}

void DrawSmallDownTriangle(TCanvas* Canvas, int X, int Y, TColor Color)
{
    SetPenAndBrush(Canvas, Color);
    Canvas->Polygon({Point(X - 3, Y), Point(X + 3, Y), Point(X, Y + 3)});
}

TDCUnmirroredSpan::TDCUnmirroredSpan(TCanvas* C, bool Active, int Left, int Width)
{
    if (!Active || !C->HandleAllocated())
        return;
    FDC = C->Handle();
    FLayout = GetLayout(FDC);
    if (FLayout == GDI_ERROR || (FLayout & LAYOUT_RTL) == 0)
        return;
    POINT Mirrored{0, 0};
    LPtoDP(FDC, &Mirrored, 1);   // pixel x shows at Mirrored.x - x
    GetViewportOrgEx(FDC, &FOrigin);
    SetLayout(FDC, FLayout & ~static_cast<DWORD>(LAYOUT_RTL));
    POINT Plain{0, 0};
    LPtoDP(FDC, &Plain, 1);      // now at Plain.x + x
    // Pixel Left goes where the mirror showed pixel Left + Width - 1.
    OffsetViewportOrgEx(FDC, Mirrored.x - (2 * Left + Width - 1) - Plain.x, 0, nullptr);
    FActive = true;
}

TDCUnmirroredSpan::~TDCUnmirroredSpan()
{
    if (!FActive)
        return;
    SetLayout(FDC, FLayout);
    SetViewportOrgEx(FDC, FOrigin.x, FOrigin.y, nullptr);
}

void DrawGlyphOnColor(TCanvas* Canvas, TBitmap* Glyph, TColor Background, TRect R)
{
    if (!Glyph || Glyph->Empty())
        return;
    TBitmap glyph;
    glyph.Assign(Glyph);
    glyph.SetTransparentColor(glyph.Canvas()->Pixels(0, 0));
    glyph.SetTransparent(true);
    TBitmap back(glyph.Width(), glyph.Height());
    FillRectColor(back.Canvas(), Rect(0, 0, back.Width(), back.Height()), Background);
    back.Canvas()->Draw(0, 0, &glyph);
    const TDCUnmirroredSpan Upright(Canvas, true, R.left, back.Width());
    Canvas->Draw(R.left, R.top, &back);
}

void DrawResourceGlyph(TCanvas* Canvas, TColor Background, TRect R, const String& ResName)
{
    // A glyph composed over a background is the same for every cell that
    // shows it: each is loaded and composed once (a missing resource is
    // remembered as missing), not for every cell of every paint. The store
    // is bounded; it starts again when full.
    struct TComposed {
        String Name;
        COLORREF Background;
        std::unique_ptr<TBitmap> Picture;   // null: the program has no such resource
    };
    static std::vector<TComposed> Store;
    static std::mutex Lock;
    const std::lock_guard<std::mutex> held(Lock);
    const COLORREF back = ColorToRGB(Background);
    for (const TComposed& c : Store)
        if (c.Background == back && c.Name == ResName) {
            if (c.Picture) {
                const TDCUnmirroredSpan Upright(Canvas, true, R.left, c.Picture->Width());
                Canvas->Draw(R.left, R.top, c.Picture.get());
            }
            return;
        }
    if (Store.size() >= 64)
        Store.clear();
    TComposed entry{ResName, back, nullptr};
    TBitmap glyph;
    bool loaded = true;
    try {
        glyph.LoadFromResourceName(GetModuleHandleW(nullptr), ResName);
    } catch (const Exception&) {
        loaded = false;  // a program without that glyph draws none
    }
    if (loaded && !glyph.Empty()) {
        entry.Picture = std::make_unique<TBitmap>(glyph.Width(), glyph.Height());
        DrawGlyphOnColor(entry.Picture->Canvas(), &glyph, Background, Rect(0, 0, glyph.Width(), glyph.Height()));
        const TDCUnmirroredSpan Upright(Canvas, true, R.left, glyph.Width());
        Canvas->Draw(R.left, R.top, entry.Picture.get());
    }
    Store.push_back(std::move(entry));
}

TRect DrawComboButton(TCanvas* Canvas, HWND Wnd, TRect R, bool Themed)
{
    TRect b = Rect(R.right - 18, R.top + 1, R.right - 2, R.bottom - 1);
    HDC dc = Canvas->Handle();
    if (Themed && ThemesAvailable()) {
        const TProThemeSlots& api = ThemeApi();
        if (HTHEME theme = api.OpenThemeData(Wnd, L"combobox")) {
            api.DrawThemeBackground(theme, dc, CP_DROPDOWNBUTTON, CBXS_NORMAL, &b, nullptr);
            api.CloseThemeData(theme);
            return b;
        }
    }
    DrawFrameControl(dc, &b, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_FLAT);
    return b;
}

TRect DrawSpinButtons(TCanvas* Canvas, HWND Wnd, TRect R, bool Themed)
{
    TRect b = Rect(R.right - 16, R.top - 1, R.right - 1, R.bottom - 1);
    HDC dc = Canvas->Handle();
    if (Themed && ThemesAvailable()) {
        const TProThemeSlots& api = ThemeApi();
        if (HTHEME theme = api.OpenThemeData(Wnd, L"spin")) {
            TRect up = b;
            up.bottom = b.top + RectHeight(b) / 2;
            TRect down = b;
            down.top = up.bottom;
            api.DrawThemeBackground(theme, dc, SPNP_UP, UPS_NORMAL, &up, nullptr);
            api.DrawThemeBackground(theme, dc, SPNP_DOWN, DNS_NORMAL, &down, nullptr);
            api.CloseThemeData(theme);
            return b;
        }
    }
    DrawFrameControl(dc, &b, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_FLAT);
    return b;
}

void DrawTextRangeSquiggle(TWinControl* Owner, TCanvas* Canvas, const String& Text, int Length, int Start,
                           int VerticalOffset, TRect R)
{
    if (!Owner || !Owner->HandleAllocated() || Length <= 0 || Start < 0)
        return;
    HWND parent = Owner->Handle();
    const WideString text = StrToWide(Text);
    HWND edit = CreateWindowExW(0, L"EDIT", text.c_str(), WS_CHILD | ES_LEFT | ES_AUTOHSCROLL, R.left, R.top,
                                std::max<int>(RectWidth(R), 1), std::max<int>(RectHeight(R), 1), parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!edit)
        return;
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(Canvas->Font()->Handle()), 0);
    auto posOf = [edit](int Index) {
        const LRESULT p = SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(Index), 0);
        return Point(static_cast<short>(LOWORD(p)), static_cast<short>(HIWORD(p)));
    };
    const int count = static_cast<int>(text.size());
    // Where the text ends: the last character's place plus its width.
    auto endOfText = [&]() {
        if (count == 0)
            return Point(0, 0);
        TPoint p = posOf(count - 1);
        HDC dc = GetDC(edit);
        HGDIOBJ old = SelectObject(dc, Canvas->Font()->Handle());
        SIZE s{};
        GetTextExtentPoint32W(dc, &text[count - 1], 1, &s);
        SelectObject(dc, old);
        ReleaseDC(edit, dc);
        p.x += s.cx;
        return p;
    };
    // Start and Length count the characters of the 8-bit text (a double-byte
    // character counts two); the edit counts UTF-16 units.
    const auto bytes = static_cast<Int64>(Text.size());
    auto unitOf = [&Text](Int64 ByteIndex) {
        return static_cast<int>(StrToWide(Text.substr(0, static_cast<std::size_t>(ByteIndex))).size());
    };
    TPoint p1;
    TPoint p2;
    if (Start >= bytes) {
        p1 = endOfText();
        p1.x += 4;
        p2 = p1;
    } else {
        p1 = posOf(unitOf(Start));
        if (static_cast<Int64>(Start) + Length >= bytes) {
            p2 = count > 0 ? posOf(count - 1) : p1;
            p2.x += 4;
            p2.y = p1.y;
        } else
            p2 = posOf(unitOf(static_cast<Int64>(Start) + Length - 1));
    }
    DestroyWindow(edit);

    Canvas->Pen()->SetStyle(TPenStyle::psSolid);
    Canvas->Pen()->SetColor(clRed);
    Canvas->Pen()->SetWidth(2);
    Canvas->MoveTo(R.left + p1.x, R.top + p1.y + VerticalOffset + 3);
    int x = p1.x;
    int d = 0;
    while (x <= p2.x) {
        Canvas->LineTo(R.left + x + 3, R.top + p2.y + VerticalOffset + d);
        x += 3;
        d = 3 - d;
    }
    Canvas->LineTo(R.left + x + 3, R.top + p2.y + VerticalOffset + d);
    Canvas->Pen()->SetWidth(1);
}

void DrawRangeIndicator(TCanvas* Canvas, TRect R, int Value, TColor PositiveColor, TColor NegativeColor,
                        bool ShowText, int Range)
{
    InflateRect(&R, -2, -2);
    const int half = RectWidth(R) / 2;
    const int centre = R.left + half;
    const int range = std::max(Range, 0);
    const int v = std::clamp(Value, -range, range);
    const int w = range == 0 ? 0 : RoundInt(static_cast<double>(half) * v / range);
    if (v < 0) {
        SetPenAndBrush(Canvas, NegativeColor);
        if (w != 0)
            Canvas->Rectangle(centre + w, R.top, centre, R.bottom);
    } else {
        SetPenAndBrush(Canvas, PositiveColor);
        if (w != 0)
            Canvas->Rectangle(centre, R.top, centre + w, R.bottom);
    }
    if (ShowText) {
        Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
        String s = IntToStr(v);
        Canvas->DrawTextRect(s, R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void DrawProgressBar(TCanvas* Canvas, TRect R, TColor CompleteColor, bool Inverted, TColor BorderColor,
                     const String& Format, int Maximum, int Minimum, int MarginY, int MarginX, double Value,
                     TColor RemainFontColor, TColor RemainColor, TColor CompleteFontColor)
{
    const TColor remembered = Canvas->Brush()->Color();
    SetPenAndBrush(Canvas, CompleteColor);
    Canvas->Font()->SetColor(CompleteFontColor);

    int n = std::isfinite(Value) ? static_cast<int>(std::clamp(std::round(Value), -2147483648.0, 2147483647.0)) : 0;
    String label;
    if (!Format.empty()) {
        label = FormatInteger(Format, n);
        const double range = static_cast<double>(Maximum) - Minimum;
        n = range == 0 ? 0 : RoundInt((n * 100.0 - Minimum * 100.0) / range);
    } else
        label = IntToStr(n) + "%";
    if (n > 100 || n < 0)
        n = 0;

    TRect r = R;
    InflateRect(&r, -MarginX, -MarginY);
    const int split = r.left + RoundInt(n * static_cast<double>(RectWidth(r)) / 100.0);
    const TSize extent = Canvas->TextExtent(label);
    const int x = r.left + (RectWidth(r) - extent.cx) / 2;
    const int y = r.top + (RectHeight(r) - extent.cy * (Inverted ? -1 : 1)) / 2;

    Canvas->TextRect(Rect(r.left, r.top, split, r.bottom), x, y, label);
    SetPenAndBrush(Canvas, RemainColor);
    Canvas->Font()->SetColor(RemainFontColor);
    Canvas->TextRect(Rect(split, r.top, r.right, r.bottom), x, y, label);

    Canvas->Brush()->SetColor(BorderColor);
    Canvas->Pen()->SetColor(remembered);
    InflateRect(&r, 1, 1);
    if (BorderColor != clNone)
        Canvas->FrameRect(r);
    Canvas->Brush()->SetColor(remembered);
    InflateRect(&r, 1, 1);
    Canvas->FrameRect(r);
}

void DrawProgressPie(TCanvas* Canvas, TRect R, TColor Color, bool Inverted, double Percentage)
{
    const double p = std::isfinite(Percentage) ? Percentage : 0.0;
    Canvas->Pen()->SetStyle(TPenStyle::psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(clGray);
    Canvas->Ellipse(R);
    const int w = RectWidth(R);
    const int h = RectHeight(R);
    const int cx = R.left + w / 2;
    const int cy = R.top + h / 2;
    const double theta = p / 100.0 * 2.0 * std::numbers::pi;
    Canvas->MoveTo(cx, R.top);
    Canvas->LineTo(cx, cy);
    Canvas->LineTo(cx + RoundInt((w + 1) * 0.5 * std::sin(theta)), cy - RoundInt((h + 1) * 0.5 * std::cos(theta)));

    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(Color);
    // FloodFill fills with the DC's brush, which the canvas selects only for
    // its own drawing calls: select one of this colour for the call.
    HDC dc = Canvas->Handle();
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    if (!brush)
        return;
    HGDIOBJ old = SelectObject(dc, brush);
    ExtFloodFill(dc, cx + 2, Inverted ? R.top - 2 : R.top + 2, ColorToRGB(clGray), FLOODFILLBORDER);
    SelectObject(dc, old);
    DeleteObject(brush);
}

void DrawLevelProgressBar(TCanvas* Canvas, TRect R, int Percentage, const TLevelProgressAppearance& A)
{
    const TColor outline = A.ShowBorder ? A.BorderColor : A.UnCompleteColor;
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(A.UnCompleteColor);
    Canvas->Pen()->SetStyle(TPenStyle::psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(outline);
    Canvas->Rectangle(R);

    const int p = Percentage;
    const int L = std::max((A.Vertical ? RectHeight(R) : RectWidth(R)) - 2, 0);
    if (p > 0 && L > 0) {
        auto segment = [&](int Offset, int Length, TColor C, TColor CTo) {
            FillLevelSegment(Canvas, LevelSegmentRect(R, A.Vertical, Offset, Length, 1), C, CTo, A);
        };
        if (A.Stacked) {
            const int l1 = RoundInt(std::min(p, A.Level1Perc) / 100.0 * L);
            segment(1, l1, A.Level0Color, A.Level0ColorTo);
            int offset = 1 + l1;
            if (p >= A.Level1Perc) {
                const int l2 = RoundInt((std::min(p, A.Level2Perc) - A.Level1Perc) / 100.0 * L);
                segment(offset, l2, A.Level1Color, A.Level1ColorTo);
                offset += l2;
            }
            if (p >= A.Level2Perc) {
                const int l3 = p >= 100 ? L - (offset - 1) : RoundInt((p - A.Level2Perc) / 100.0 * L);
                segment(offset, l3, A.Level3Color, A.Level3ColorTo);
            }
        } else {
            TColor c = A.Level3Color;
            TColor cTo = A.Level3ColorTo;
            if (p < A.Level1Perc) {
                c = A.Level0Color;
                cTo = A.Level0ColorTo;
            } else if (p < A.Level2Perc) {
                c = A.Level1Color;
                cTo = A.Level1ColorTo;
            } else if (p < 100) {
                c = A.Level2Color;
                cTo = A.Level2ColorTo;
            }
            // A percentage above 100 fills the bar and no more: nothing is
            // drawn beyond the bar's rectangle.
            const int filled = std::min(p, 100);
            if (A.CompletionSmooth) {
                segment(1, RoundInt(filled / 100.0 * L), c, cTo);
            } else {
                const int e = RoundInt(static_cast<double>(filled) * L / 100.0);
                auto block = [&](int Offset, int Length) {
                    FillLevelSegment(Canvas, LevelSegmentRect(R, A.Vertical, Offset, Length, 2), c, cTo, A);
                };
                if (e <= 9) {
                    if (e > 1)
                        block(2, e - 1);
                } else {
                    const int blocks = e / 9;
                    for (int i = 0; i < blocks; ++i)
                        block(2 + 9 * i, 7);
                    if (e % 9 > 2)
                        block(2 + 9 * blocks, e % 9 - 1);
                }
            }
        }
    }

    if (A.ShowPercentage) {
        Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
        if (A.Font)
            Canvas->SetFont(A.Font);
        const String label = IntToStr(p) + "%";
        if (A.Vertical) {
            Canvas->Font()->SetOrientation(900);
            const TSize s = Canvas->TextExtent(label);
            // Turned text runs upward from its origin: its width is vertical.
            Canvas->TextOut(R.left + (RectWidth(R) - s.cy) / 2, R.bottom - (RectHeight(R) - s.cx) / 2, label);
            Canvas->Font()->SetOrientation(0);
        } else {
            TRect t = R;
            Canvas->DrawTextRect(label, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }

    Canvas->Pen()->SetColor(outline);
    Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    Canvas->Rectangle(R);
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
}

bool UpdateLayeredWindowDyn(HWND Wnd, HDC DstDC, POINT* DstPt, SIZE* Size, HDC SrcDC, POINT* SrcPt,
                            COLORREF Key, BLENDFUNCTION* Blend, DWORD Flags)
{
    using Fn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
    const Fn fn = LookupLayeredFunction<Fn>("UpdateLayeredWindow");
    if (!fn)
        return true;
    return fn(Wnd, DstDC, DstPt, Size, SrcDC, SrcPt, Key, Blend, Flags) != FALSE;
}

bool SetLayeredWindowAttributesDyn(HWND Wnd, COLORREF Key, BYTE Alpha, DWORD Flags)
{
    using Fn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    const Fn fn = LookupLayeredFunction<Fn>("SetLayeredWindowAttributes");
    if (!fn)
        return true;
    return fn(Wnd, Key, Alpha, Flags) != FALSE;
}

void SetLayeredWindowModuleName(const wchar_t* ModuleName)
{
    LayeredModuleName = ModuleName ? ModuleName : L"USER32.DLL";
}

#include "skin/engine/qSkinPaint.h"

#include <algorithm>
#include <cmath>

#include "framework/Codepage.h"
#include "skin/engine/qGradient.h"
#include "skin/engine/qSkinManager.h"

namespace {

bool IsEmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

bool InsideBitmap(const TRect& R, TBitmap* Bmp)
{
    return R.left >= 0 && R.top >= 0 && R.right <= Bmp->Width() && R.bottom <= Bmp->Height();
}

TqSkinManager* ManagerOrDefault(TqSkinManager* Manager)
{
    return Manager ? Manager : TqSkinManager::DefaultManager();
}

TCacheInfo Shifted(TCacheInfo CI, TPoint Offset)
{
    CI.X += Offset.x;
    CI.Y += Offset.y;
    return CI;
}

// Fills R of a bitmap with a colour through the pixel memory (no GDI
// objects): an included-edge tint that keeps nothing of the pixels.
void FillBitmapRect(TBitmap* Bmp, TRect R, TColor Color)
{
    if (!IsEmptyRect(R))
        TintRect(Bmp, Rect(R.left, R.top, R.right - 1, R.bottom - 1), 0, Color);
}

// What one state of a section paints with.
struct TStateLook {
    TColor Color;
    int Image;
    int Gradient;
    int Transparency;
    const TqGradArray* Bands;
};

TStateLook LookOf(const TqGeneralData& S, int State, TColor Custom)
{
    const bool hot = State > 0;
    TStateLook look{hot ? S.HotColor : S.Color, hot ? S.HotImagePercent : S.ImagePercent,
                    hot ? S.HotGradientPercent : S.GradientPercent, hot ? S.HotTransparency : S.Transparency,
                    hot ? &S.HotGradientArray : &S.GradientArray};
    if (Custom != clSkinTransparent)
        look.Color = Custom;
    look.Color = static_cast<TColor>(ColorToRGB(look.Color));
    return look;
}

// The texture a background paints: a mask entry or a JPEG pattern, or none.
struct TTexture {
    const TqMaskData* Mask = nullptr;
    TBitmap* Pattern = nullptr;
    bool Found() const { return Mask || Pattern; }
};

// How the two background painters differ.
struct TBackgroundRules {
    bool Lookups;        // look the textures up by name, JPEG patterns too
    bool UseExchange;    // ExchangeColor stands for the parent where it is set
};

TTexture FindTexture(const TqSkinModel& Skin, int SectionIndex, const String& Name, int State, int Given,
                     bool Lookups)
{
    TTexture t;
    const char* property = State > 0 ? "HOTPATTERN" : "PATTERN";
    int index = Given;
    if (index != -1) {
        if (!Skin.IsValidMaskIndex(index) || Skin.Masks[index].MaskType != 0)
            index = -1;
    } else if (Lookups) {
        index = Skin.FindMaskIndex(SectionIndex, Name, property);
    }
    if (Skin.IsValidMaskIndex(index)) {
        t.Mask = &Skin.Masks[index];
        return t;
    }
    if (Lookups) {
        const int pattern = Skin.FindPatternIndex(SectionIndex, Name, property);
        if (pattern >= 0 && pattern < static_cast<int>(Skin.Patterns.size()) && Skin.Patterns[pattern].Img &&
            !Skin.Patterns[pattern].Img->Empty())
            t.Pattern = &Skin.Patterns[pattern].Img->Bitmap();
    }
    return t;
}

// Colour, texture, gradient and tint into P of Bmp, without transparency.
void PaintPlain(TBitmap* Bmp, TRect P, const TStateLook& Look, const TTexture& Texture, const TCacheInfo& CI,
                bool UseExchange)
{
    bool textured = false;
    if (Look.Image > 0) {
        TRect rest = P;
        if (Texture.Mask && Texture.Mask->MaskType != 0) {
            PaintMaskedTexture(Bmp, rest, CI, Texture.Mask->StretchMode, *Texture.Mask);
            textured = true;
        } else if (Texture.Found()) {
            const TqMaskData none;
            PaintTexture(Bmp->Canvas(), rest, Texture.Pattern, Texture.Mask ? Texture.Mask->StretchMode : 0,
                         Texture.Mask ? *Texture.Mask : none);
            textured = true;
        }
        FillBitmapRect(Bmp, rest, Look.Color);
    }
    if (Look.Gradient > 0) {
        const bool bands = !Look.Bands->empty();
        if (textured) {
            auto tmp = NewBitmap24(RectWidth(P), RectHeight(P));
            const TRect whole = Rect(0, 0, RectWidth(P), RectHeight(P));
            if (bands)
                PaintGradient(tmp.get(), whole, *Look.Bands, 0);
            else
                FillBitmapRect(tmp.get(), whole, Look.Color);
            BlendBitmaps(Bmp, tmp.get(), std::clamp(Look.Image * 255 / 100, 0, 255), Point(P.left, P.top), whole);
        } else if (bands) {
            PaintGradient(Bmp, P, *Look.Bands, 0);
        } else {
            FillBitmapRect(Bmp, P, Look.Color);
        }
    }
    const int sum = Look.Image + Look.Gradient;
    if (sum <= 0)
        FillBitmapRect(Bmp, P,
                       UseExchange && ExchangeColor != clSkinTransparent && Look.Transparency != 0 ? ExchangeColor
                                                                                                  : Look.Color);
    else if (sum < 100)
        TintRect(Bmp, Rect(P.left, P.top, P.right - 1, P.bottom - 1), sum, Look.Color);
}

// R shows what lies under it: the parent cache's pixels, or ExchangeColor
// where it is set and allowed.
void ShowParent(TBitmap* Bmp, TRect R, const TCacheInfo& CI, TPoint Offset, bool UseExchange)
{
    if (UseExchange && ExchangeColor != clSkinTransparent) {
        FillBitmapRect(Bmp, R, ExchangeColor);
        return;
    }
    const int x = CI.X + Offset.x;
    const int y = CI.Y + Offset.y;
    CopyRectTransparent(Bmp, CI.Bmp, R.left, static_cast<TColor>(0xFF000000u),
                        Rect(x, y, x + RectWidth(R) - 1, y + RectHeight(R) - 1), R.top);
}

void PaintBackground(const TqSkinModel& Skin, int SectionIndex, const String& Name, const TCacheInfo& CI, int State,
                     TRect R, TPoint Offset, TBitmap* Bmp, int Texture, int HotTexture, TColor Custom,
                     TBackgroundRules Rules)
{
    if (!Bmp || IsEmptyRect(R))
        return;
    const TqGeneralData& section = Skin.Sections[SectionIndex];
    const TStateLook look = LookOf(section, State, Custom);
    TTexture texture;
    if (look.Image > 0)
        texture = FindTexture(Skin, SectionIndex, Name, State, State > 0 ? HotTexture : Texture, Rules.Lookups);
    const TCacheInfo maskCache = Shifted(CI, Offset);

    const int t = look.Transparency;
    if (!CI.Ready || t <= 0) {
        PaintPlain(Bmp, R, look, texture, maskCache, Rules.UseExchange);
    } else if (t >= 100) {
        if (Bmp != CI.Bmp)
            ShowParent(Bmp, R, CI, Offset, Rules.UseExchange);
    } else {
        auto tmp = NewBitmap24(RectWidth(R), RectHeight(R));
        const TRect whole = Rect(0, 0, RectWidth(R), RectHeight(R));
        PaintPlain(tmp.get(), whole, look, texture, Shifted(maskCache, Point(R.left, R.top)), Rules.UseExchange);
        if (Bmp != CI.Bmp)
            ShowParent(Bmp, R, CI, Offset, Rules.UseExchange);
        BlendBitmaps(Bmp, tmp.get(), std::clamp(t * 255 / 100, 0, 255), Point(R.left, R.top), whole);
    }
}

// A masked texture of mode 10 painted over the background (normal state).
bool PaintOverlay(const TqSkinModel& Skin, int Index, TBitmap* Bmp, TRect R, const TCacheInfo& CI)
{
    if (!Skin.IsValidMaskIndex(Index))
        return false;
    const TqMaskData& mask = Skin.Masks[Index];
    if (mask.MaskType > 0 && mask.StretchMode == 10)
        PaintMaskedTexture(Bmp, R, CI, 10, mask);
    return mask.MaskType > 0;
}

// Tiles of the source rectangle S of Source over Area of the canvas, from
// its top-left; Whole keeps only whole rows (the last column is cut).
void TileBlt(HDC DC, TRect Area, HDC Source, TRect S, bool Whole)
{
    const int tw = RectWidth(S);
    const int th = RectHeight(S);
    if (tw <= 0 || th <= 0)
        return;
    for (int y = Area.top; y < Area.bottom; y += th) {
        const int h = std::min(th, static_cast<int>(Area.bottom) - y);
        if (Whole && h < th)
            break;
        for (int x = Area.left; x < Area.right; x += tw)
            BitBlt(DC, x, y, std::min(tw, static_cast<int>(Area.right) - x), h, Source, S.left, S.top, SRCCOPY);
    }
}

void StretchBltRect(HDC DC, TRect Area, HDC Source, TRect S)
{
    if (IsEmptyRect(Area) || IsEmptyRect(S))
        return;
    const int mode = SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, Area.left, Area.top, RectWidth(Area), RectHeight(Area), Source, S.left, S.top, RectWidth(S),
               RectHeight(S), SRCCOPY);
    SetStretchBltMode(DC, mode);
}

} // namespace

void PaintSectionBackground(int SectionIndex, const String& SectionName, const TCacheInfo& CI, int State, TRect R,
                            TPoint Offset, TBitmap* Bmp, TqSkinManager* Manager, int Texture, int HotTexture,
                            TColor CustomColor)
{
    Manager = ManagerOrDefault(Manager);
    if (!Manager || !Manager->IsValidSkinIndex(SectionIndex))
        return;
    const TqSkinModel& skin = Manager->Skin();
    PaintBackground(skin, SectionIndex, SectionName, CI, State, R, Offset, Bmp, Texture, HotTexture, CustomColor,
                    TBackgroundRules{true, true});
    if (State != 0 || !Bmp || IsEmptyRect(R))
        return;
    const TCacheInfo maskCache = Shifted(CI, Offset);
    if (!PaintOverlay(skin, Texture, Bmp, R, maskCache))
        PaintOverlay(skin, HotTexture, Bmp, R, maskCache);
}

void PaintBackgroundByIndexes(int SectionIndex, int Texture, int HotTexture, TqSkinManager* Manager, TBitmap* Bmp,
                              TPoint Offset, TRect R, int State, const TCacheInfo& CI, const String& SectionName)
{
    Manager = ManagerOrDefault(Manager);
    if (!Manager || !Manager->IsValidSkinIndex(SectionIndex))
        return;
    // A fully transparent section shows the cache whenever its bitmap exists.
    TCacheInfo cache = CI;
    const TqGeneralData& section = Manager->Skin().Sections[SectionIndex];
    if ((State > 0 ? section.HotTransparency : section.Transparency) >= 100 && CI.Bmp)
        cache.Ready = true;
    PaintBackground(Manager->Skin(), SectionIndex, SectionName, cache, State, R, Offset, Bmp, Texture, HotTexture,
                    clSkinTransparent, TBackgroundRules{false, false});
}

void PaintSectionWithBorder(int SectionIndex, const String& SectionName, const TCacheInfo& CI, int Texture,
                            int HotTexture, TqSkinManager* Manager, TBitmap* Bmp, TPoint Offset, TRect R, int State,
                            bool FillCentre)
{
    Manager = ManagerOrDefault(Manager);
    if (!Bmp || IsEmptyRect(R) || !Manager || !Manager->IsValidSkinIndex(SectionIndex) || !InsideBitmap(R, Bmp))
        return;
    PaintSectionBackground(SectionIndex, SectionName, CI, State, R, Offset, Bmp, Manager, Texture, HotTexture);
    const int border = Manager->FindMaskIndex(SectionIndex, SectionName, "BORDERSMASK");
    if (Manager->IsValidMaskIndex(border))
        PaintMaskedImage(Bmp, R, FillCentre, nullptr, true, State, Manager->Skin().Masks[border], Shifted(CI, Offset));
}

void PaintSectionByIndexes(int SectionIndex, int BorderIndex, int Texture, int HotTexture, TqSkinManager* Manager,
                           TBitmap* Bmp, TPoint Offset, TRect R, int State, bool FillCentre, const TCacheInfo& CI,
                           const String& SectionName)
{
    Manager = ManagerOrDefault(Manager);
    if (!Bmp || IsEmptyRect(R) || !Manager || !Manager->IsValidSkinIndex(SectionIndex) || !InsideBitmap(R, Bmp))
        return;
    PaintBackgroundByIndexes(SectionIndex, Texture, HotTexture, Manager, Bmp, Offset, R, State, CI, SectionName);
    if (Manager->IsValidMaskIndex(BorderIndex))
        PaintMaskedImage(Bmp, R, FillCentre, nullptr, true, State, Manager->Skin().Masks[BorderIndex],
                         Shifted(CI, Offset));
}

void PaintSectionToDC(int SectionIndex, const String& SectionName, const TCacheInfo& CI, TqSkinManager* Manager,
                      HDC DC, TPoint Offset, TRect R, int State, bool FillCentre)
{
    Manager = ManagerOrDefault(Manager);
    if (IsEmptyRect(R) || R.left < 0 || R.top < 0 || !Manager || !Manager->IsValidSkinIndex(SectionIndex))
        return;
    auto tmp = NewBitmap24(RectWidth(R), RectHeight(R));
    PaintSectionWithBorder(SectionIndex, SectionName, CI, -1, -1, Manager, tmp.get(), Offset,
                           Rect(0, 0, RectWidth(R), RectHeight(R)), State, FillCentre);
    BitBlt(DC, R.left, R.top, RectWidth(R), RectHeight(R), tmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void PaintTexture(TCanvas* Canvas, TRect& R, TBitmap* Graphic, int Mode, const TqMaskData& Mask)
{
    if (IsEmptyRect(R))
        return;
    if (Graphic && !Graphic->Empty()) {
        TileGraphic(Canvas, R, Graphic);
        R = Rect(R.left, R.top, R.left, R.top);
        return;
    }
    TBitmap* source = MaskSourceBitmap(Mask);
    if (!source || IsEmptyRect(Mask.R)) {
        return;
    }
    // The source rectangle, cut to the picture so that no blit reads past it.
    TRect s = Mask.R;
    s.left = std::max<int>(s.left, 0);
    s.top = std::max<int>(s.top, 0);
    s.right = std::min<int>(s.right, source->Width());
    s.bottom = std::min<int>(s.bottom, source->Height());
    if (IsEmptyRect(s))
        return;
    const int tw = RectWidth(s);
    const int th = RectHeight(s);
    HDC dc = Canvas->Handle();
    HDC src = source->Canvas()->Handle();
    const TRect all = R;
    const TRect none = Rect(R.left, R.top, R.left, R.top);
    const auto clampTo = [&](TRect A) {
        A.left = std::max(A.left, all.left);
        A.top = std::max(A.top, all.top);
        A.right = std::min(A.right, all.right);
        A.bottom = std::min(A.bottom, all.bottom);
        return IsEmptyRect(A) ? none : A;
    };
    switch (Mode) {
    case 1:
        StretchBltRect(dc, all, src, s);
        R = none;
        break;
    case 2:
        TileBlt(dc, clampTo(Rect(all.left, all.top, all.right, all.top + th)), src, s, false);
        R = clampTo(Rect(all.left, all.top + th, all.right, all.bottom));
        break;
    case 3:
        TileBlt(dc, clampTo(Rect(all.left, all.top, all.left + tw, all.bottom)), src, s, false);
        R = clampTo(Rect(all.left + tw, all.top, all.right, all.bottom));
        break;
    case 4:
        StretchBltRect(dc, clampTo(Rect(all.left, all.top, all.right, all.top + th)), src,
                       Rect(s.left, s.top, s.right, s.top + std::min(th, RectHeight(all))));
        R = clampTo(Rect(all.left, all.top + th, all.right, all.bottom));
        break;
    case 5:
        StretchBltRect(dc, clampTo(Rect(all.left, all.top, all.left + tw, all.bottom)), src,
                       Rect(s.left, s.top, s.left + std::min(tw, RectWidth(all)), s.bottom));
        R = clampTo(Rect(all.left + tw, all.top, all.right, all.bottom));
        break;
    case 6:
        TileBlt(dc, clampTo(Rect(all.left, all.bottom - th, all.right, all.bottom)), src, s, false);
        R = clampTo(Rect(all.left, all.top, all.right, all.bottom - th));
        break;
    case 7:
        TileBlt(dc, clampTo(Rect(all.right - tw, all.top, all.right, all.bottom)), src, s, false);
        R = clampTo(Rect(all.left, all.top, all.right - tw, all.bottom));
        break;
    case 10:
        TileBlt(dc, all, src, s, true);
        R = none;
        break;
    default:
        // 0, and the modes without a drawing of their own (8, 9, 11 to 14).
        TileBlt(dc, all, src, s, false);
        R = none;
        break;
    }
    GdiFlush();
}

void PaintMaskedTexture(TBitmap* Bmp, TRect& R, const TCacheInfo& CI, int Mode, const TqMaskData& Mask)
{
    const TRect area = R;
    R = Rect(R.left, R.top, R.left, R.top);
    const int tw = RectWidth(Mask.R) / std::max<int>(Mask.ImageCount, 1);
    const int th = RectHeight(Mask.R) / 2;
    if (!Bmp || tw <= 0 || th <= 0 || IsEmptyRect(area))
        return;
    const TRect tile = Bounds(Mask.R.left, Mask.R.top, tw, th);
    const bool whole = Mode == 10;
    const int bottom = whole ? area.top + RectHeight(area) / th * th : area.bottom;
    const int right = whole ? area.left + RectWidth(area) / tw * tw : area.right;
    for (int y = area.top; y < bottom; y += th)
        for (int x = area.left; x < right; x += tw)
            CopyMaskedTile(Bounds(x, y, std::min<int>(tw, area.right - x), std::min<int>(th, area.bottom - y)), tile,
                           Bmp, Mask, CI);
    if (!whole)
        return;
    // The right column and the bottom row that no whole tile covers show
    // the parent.
    for (const TRect& part : {Rect(right, area.top, area.right, bottom), Rect(area.left, bottom, area.right, area.bottom)}) {
        if (IsEmptyRect(part))
            continue;
        if (CI.Ready && CI.Bmp)
            CopyRectTransparent(Bmp, CI.Bmp, part.left, static_cast<TColor>(0xFF000000u),
                                Rect(part.left + CI.X, part.top + CI.Y, part.right - 1 + CI.X, part.bottom - 1 + CI.Y),
                                part.top);
        else if (ExchangeParentColor != clSkinTransparent)
            FillBitmapRect(Bmp, part, ExchangeParentColor);
    }
}

void TileGraphic(TCanvas* Canvas, TRect R, TBitmap* Graphic)
{
    if (!Graphic || Graphic->Empty() || IsEmptyRect(R))
        return;
    TileBlt(Canvas->Handle(), R, Graphic->Canvas()->Handle(), Rect(0, 0, Graphic->Width(), Graphic->Height()), false);
    GdiFlush();
}

void AddMaskCornerRects(TAOR& Rects, int W, const TqMaskData& Mask, bool Bottom, int RowOffset)
{
    if (!Mask.Manager)
        return;
    TBitmap* source = MaskSourceBitmap(Mask);
    TzqFast24 pixels;
    if (!source || source->BytesPerPixel() != 3 || !pixels.Attach(source))
        return;
    const int fw = RectWidth(Mask.R) / std::max<int>(Mask.ImageCount, 1);
    const int fh = RectHeight(Mask.R) / (std::max<int>(Mask.MaskType, 0) + 1);
    const int wl = MaskEntryBorderLeft(Mask);
    const int wr = MaskEntryBorderRight(Mask);
    const int rows = Bottom ? MaskEntryBorderBottom(Mask) : Mask.WT;
    const int first = Bottom ? fh - rows : 0;
    if (Mask.R.top + first + rows > pixels.Height || rows <= 0)
        return;
    // Runs of transparent pixels between columns From and To (excluded) of
    // the frame, shifted by Shift.
    const auto scan = [&](int Y, int From, int To, int Shift, int Row) {
        From = std::max(From, 0);
        To = std::min(To, fw);
        int run = -1;
        for (int x = From; x <= To; ++x) {
            const int px = Mask.R.left + x;
            const bool clear = x < To && pixels.Contains(px, Y) && pixels.GetPixel(px, Y) == clSkinTransparent;
            if (clear && run < 0)
                run = x;
            if (!clear && run >= 0) {
                Rects.push_back(Rect(run + Shift, RowOffset + Row, x + Shift, RowOffset + Row + 1));
                run = -1;
            }
        }
    };
    for (int row = 0; row < rows; ++row) {
        const int y = Mask.R.top + first + row;
        if (y < 0)
            continue;
        scan(y, 0, wl, 0, row);
        scan(y, fw - wr, fw, W - fw, row);
    }
}

void DrawSectionText(TCanvas* Canvas, const String& Text, bool Enabled, TqSkinManager* Manager, bool Hot,
                     int SectionIndex, UINT Flags, TRect R)
{
    Manager = ManagerOrDefault(Manager);
    if (!Manager || !Manager->IsValidSkinIndex(SectionIndex) || Text.empty())
        return;
    const TqGeneralData& s = Manager->Skin().Sections[SectionIndex];
    Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    const auto draw = [&](TColor Color, int DX, int DY) {
        TRect r = Rect(R.left + DX, R.top + DY, R.right + DX, R.bottom + DY);
        Canvas->Font()->SetColor(Color);
        Canvas->DrawTextRect(Text, r, Flags);
    };
    if (!Enabled) {
        draw(MixColors(static_cast<TColor>(ColorToRGB(s.FontColor)), static_cast<TColor>(ColorToRGB(s.Color)), 0.4), 0, 0);
        return;
    }
    const TColor contours[4] = {Hot ? s.HotTCLeft : s.TCLeft, Hot ? s.HotTCTop : s.TCTop,
                                Hot ? s.HotTCRight : s.TCRight, Hot ? s.HotTCBottom : s.TCBottom};
    const int shifts[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        if (contours[i] != -1)
            draw(contours[i], shifts[i][0], shifts[i][1]);
    draw(Hot ? s.HotFontColor : s.FontColor, 0, 0);
}

void DrawTextStr(HDC DC, const String& Text, TRect R, UINT Flags)
{
    const WideString w = StrToWide(Text);
    DrawTextW(DC, w.c_str(), static_cast<int>(w.size()), &R, Flags);
}

void FitTextWithEllipsis(TCanvas* Canvas, const String& Text, int Width, String& Result)
{
    Result.clear();
    if (Width <= 0)
        return;
    if (Canvas->TextWidth(Text) <= Width) {
        Result = Text;
        return;
    }
    // Whole characters come off the end (936 text may hold two-byte ones).
    WideString w = StrToWide(Text);
    while (!w.empty()) {
        w.pop_back();
        const String candidate = WideToStr(w) + "...";
        if (Canvas->TextWidth(candidate) <= Width) {
            Result = candidate;
            return;
        }
    }
}

TColor ChangeSaturation(TColor Color, int Amount)
{
    if (Amount == 0)
        return Color;
    const COLORREF c = ColorToRGB(Color);
    const int ch[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
    const double avg = (ch[0] + ch[1] + ch[2]) / 3.0;
    int out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = std::clamp(static_cast<int>(std::nearbyint(ch[i] + Amount * (avg - ch[i]) / 100.0)), 0, 255);
    return RGBToColor(static_cast<Byte>(out[0]), static_cast<Byte>(out[1]), static_cast<Byte>(out[2]));
}

TColor ShiftHue(int Offset, TColor Color)
{
    const COLORREF c = ColorToRGB(Color);
    const int r = GetRValue(c);
    const int g = GetGValue(c);
    const int b = GetBValue(c);
    const int v = std::max({r, g, b});
    const int delta = v - std::min({r, g, b});
    if (v == 0 || delta == 0)
        return static_cast<TColor>(c);
    const double s = static_cast<double>(delta) / v;
    double h;
    if (r == v)
        h = 60.0 * (g - b) / delta;
    else if (g == v)
        h = 120.0 + 60.0 * (b - r) / delta;
    else
        h = 240.0 + 60.0 * (r - g) / delta;
    if (h < 0)
        h += 360;
    // The remainder is taken into 0..359 for negative sums too, so that a
    // negative offset turns the hue the other way instead of leaving the
    // six sectors.
    const int shifted = ((static_cast<int>(std::nearbyint(Offset + h)) % 360) + 360) % 360;
    const double hh = shifted / 60.0;
    const int i = static_cast<int>(hh);
    const double f = hh - i;
    const auto channel = [](double X) { return std::clamp(X, 0.0, 255.0); };
    const double p = channel(v * (1 - s));
    const double q = channel(v * (1 - s * f));
    const double t = channel(v * (1 - s * (1 - f)));
    double rr;
    double gg;
    double bb;
    switch (i) {
    case 0: rr = v; gg = t; bb = p; break;
    case 1: rr = q; gg = v; bb = p; break;
    case 2: rr = p; gg = v; bb = t; break;
    case 3: rr = p; gg = q; bb = v; break;
    case 4: rr = t; gg = p; bb = v; break;
    default: rr = v; gg = p; bb = q; break;
    }
    const auto round = [](double X) { return static_cast<Byte>(std::nearbyint(X)); };
    return RGBToColor(round(rr), round(gg), round(bb));
}

void LayoutGlyphAndText(TRect C, TPoint G, TPoint T, UINT BiDiFlags, TRect& TextRect, TPoint& GlyphPos, int M, int S,
                        int Alignment, int Layout)
{
    const int w = RectWidth(C);
    const int h = RectHeight(C);
    TextRect = Rect(0, 0, T.x, T.y);
    GlyphPos = Point(0, 0);
    if ((BiDiFlags & DT_RIGHT) != 0 && (Layout == 0 || Layout == 1))
        Layout = 1 - Layout;
    const bool across = Layout == 0 || Layout == 1;
    int tx = 0;
    int ty = 0;
    int gx = 0;
    int gy = 0;
    if (across) {
        gy = (h - G.y + 1) / 2;
        ty = (h - T.y + 1) / 2;
    } else {
        gx = (w - G.x + 1) / 2;
        tx = (w - T.x + 1) / 2;
    }
    if (T.x == 0 || G.x == 0)
        S = 0;
    const int room = across ? w : h;
    const int gs = across ? G.x : G.y;
    const int ts = across ? T.x : T.y;
    if (M == -1 && S == -1) {
        M = (room - gs - ts) / 3;
        S = M;
    } else if (M == -1) {
        M = Alignment == 2 ? (room - (gs + S + ts) + 1) / 2 : 2;
    } else if (S == -1) {
        S = (room - M - gs - ts) / 2;
    }
    switch (Layout) {
    case 0:
    case 1: {
        // Along the row: the glyph first for layout 0, the text first for 1.
        int& firstX = Layout == 0 ? gx : tx;
        int& secondX = Layout == 0 ? tx : gx;
        const int firstW = Layout == 0 ? G.x : T.x;
        const int secondW = Layout == 0 ? T.x : G.x;
        if (Alignment == 2)
            M = (w - T.x - S - G.x) / 2;
        if (Alignment == 1) {
            secondX = w - M - secondW;
            firstX = secondX - S - firstW;
        } else {
            firstX = M;
            secondX = M + firstW + S;
        }
        break;
    }
    case 2:
        gy = (h - G.y - S - T.y) / 2;
        ty = gy + G.y + S;
        break;
    default:
        gy = h - G.y - (h - G.y - S - T.y) / 2;
        ty = gy - S - T.y;
        break;
    }
    GlyphPos = Point(gx + C.left, gy + C.top);
    TextRect = Rect(tx + C.left, ty + C.top, tx + T.x + C.left, ty + T.y + C.top);
}

void FillDCRect(HDC DC, TRect R, TColor Color)
{
    const int saved = SaveDC(DC);
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    FillRect(DC, &R, brush);
    DeleteObject(brush);
    RestoreDC(DC, saved);
}

void CopyBorderStrips(HDC DC, int X, int Y, int W, int H, HDC Source, int SourceX, int SourceY, int Border)
{
    BitBlt(DC, X, Y, Border, H, Source, SourceX, SourceY, SRCCOPY);
    BitBlt(DC, X + Border, Y, W - Border, Border, Source, SourceX + Border, SourceY, SRCCOPY);
    BitBlt(DC, W - Border, Y, Border, H, Source, SourceX + W - Border, SourceY, SRCCOPY);
    BitBlt(DC, X, H - Border, W, Border, Source, SourceX, SourceY + H - Border, SRCCOPY);
}

void DrawBevelFrame(HDC DC, TRect R, TColor Light, int& Width, TColor Dark)
{
    HPEN light = CreatePen(PS_SOLID, 1, ColorToRGB(Light));
    HPEN dark = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(Dark) & 0xFFFFFF);
    HGDIOBJ old = SelectObject(DC, light);
    while (Width > 0) {
        SelectObject(DC, light);
        MoveToEx(DC, R.left, R.bottom - 1, nullptr);
        LineTo(DC, R.left, R.top);
        LineTo(DC, R.right - 1, R.top);
        SelectObject(DC, dark);
        LineTo(DC, R.right - 1, R.bottom - 1);
        LineTo(DC, R.left - 1, R.bottom - 1);
        R = Rect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
        --Width;
    }
    SelectObject(DC, old);
    DeleteObject(light);
    DeleteObject(dark);
}

void DrawDottedFocusRect(TCanvas* Canvas, TRect R)
{
    HDC dc = Canvas->Handle();
    const auto dot = [&](int X, int Y) {
        SetPixel(dc, X, Y, RGB(0, 0, 0));
        SetPixel(dc, X - 1, Y - 1, RGB(255, 255, 255));
    };
    for (int x = R.left; x < R.right; x += 3) {
        dot(x, R.top);
        dot(x, R.bottom - 1);
    }
    for (int y = R.top; y < R.bottom; y += 3) {
        dot(R.left, y);
        dot(R.right - 1, y);
    }
}

void FadeRectToColor(TBitmap* Bmp, TRect R, int Percent, int Radius, int Steps, TColor Color)
{
    if (!Bmp)
        return;
    R.left = std::max<int>(R.left, 0);
    R.top = std::max<int>(R.top, 0);
    R.right = std::min<int>(R.right, Bmp->Width());
    R.bottom = std::min<int>(R.bottom, Bmp->Height());
    const int w = RectWidth(R);
    const int h = RectHeight(R);
    if (w < 2 || h < 2)
        return;
    const int half = std::min(w, h) / 2;
    Radius = std::clamp(Radius, 0, half);
    Steps = std::clamp(Steps, 0, half);
    auto copy = NewBitmap24(w, h);
    auto mask = NewBitmap24(w, h);
    BitBlt(copy->Canvas()->Handle(), 0, 0, w, h, Bmp->Canvas()->Handle(), R.left, R.top, SRCCOPY);
    const int e = Percent * 255 / 100;
    TCanvas* m = mask->Canvas();
    m->Pen()->SetStyle(TPenStyle::psClear);
    m->Brush()->SetStyle(TBrushStyle::bsSolid);
    m->Brush()->SetColor(clWhite);
    m->FillRect(Rect(0, 0, w, h));
    const auto grey = [&](int Level, int Inset, int Round) {
        const Byte g = static_cast<Byte>(std::clamp(Level, 0, 255));
        m->Brush()->SetColor(RGBToColor(g, g, g));
        m->RoundRect(Inset, Inset, w - Inset + 1, h - Inset + 1, Round, Round);
    };
    for (int t = 1; t <= Steps; ++t)
        grey(static_cast<int>(std::nearbyint(e + (255.0 - e) * (Steps - t + 1) / (Steps + 1))), t, Radius);
    grey(e, Steps, Steps);
    GdiFlush();
    ApplyColorMask(copy.get(), mask.get(), static_cast<TColor>(ColorToRGB(Color)));
    BitBlt(Bmp->Canvas()->Handle(), R.left, R.top, w, h, copy->Canvas()->Handle(), 0, 0, SRCCOPY);
    GdiFlush();
}

std::unique_ptr<TBitmap> NewBitmap24(int Width, int Height)
{
    return std::make_unique<TBitmap>(std::max(Width, 0), std::max(Height, 0), TPixelFormat::pf24bit);
}

std::unique_ptr<TBitmap> NewBitmap32(int Width, int Height)
{
    return std::make_unique<TBitmap>(std::max(Width, 0), std::max(Height, 0), TPixelFormat::pf32bit);
}

std::unique_ptr<TBitmap> NewBitmap24Like(TBitmap* Bmp)
{
    return NewBitmap24(Bmp ? Bmp->Width() : 0, Bmp ? Bmp->Height() : 0);
}

TColor MixColors(TColor C1, TColor C2, double Fraction)
{
    int out = static_cast<int>(static_cast<unsigned>(C1) & 0xFF000000u);
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (C1 >> shift) & 0xFF;
        const int b = (C2 >> shift) & 0xFF;
        out |= std::clamp(static_cast<int>(std::nearbyint((a - b) * Fraction + b)), 0, 255) << shift;
    }
    return out;
}

#include "skin/engine/qPixelOps.h"

#include <algorithm>
#include <cmath>

TColor ExchangeParentColor = clSkinTransparent;
const TCacheInfo EmptyCacheInfo{nullptr, -99, -99, false};

TzqFast24 FastA24;
TzqFast24 FastB24;
TzqFast32 Fast32;
TzqFastSum24 FastSum24;

namespace {

// The pixels of a bitmap of 24 or 32 bits, for the loops below: every loop
// clips its coordinates against W and H before it touches memory.
// X0, Y0, W and H bound what the loops touch: the whole bitmap, or a
// rectangle of it that a painter keeps its pieces in.
struct View {
    Byte* Line0 = nullptr;
    std::ptrdiff_t Delta = 0;
    int X0 = 0;
    int Y0 = 0;
    int W = 0;
    int H = 0;
    int Bpp = 3;

    Byte* At(int X, int Y) const { return Line0 + Y * Delta + X * Bpp; }
    bool Has(int X, int Y) const { return X >= X0 && Y >= Y0 && X < W && Y < H; }
};

// False for no bitmap and for bitmaps smaller than 2 x 2, which no
// operation draws on or reads from.
bool Open(TBitmap* Bmp, View& V)
{
    if (!Bmp || Bmp->Width() < 2 || Bmp->Height() < 2)
        return false;
    V.W = Bmp->Width();
    V.H = Bmp->Height();
    V.Bpp = Bmp->BytesPerPixel();
    V.Line0 = Bmp->ScanLine(0);
    V.Delta = Bmp->ScanLine(1) - V.Line0;
    return true;
}

TColor ColorAt(const Byte* P) { return RGBToColor(P[2], P[1], P[0]); }

void Put(Byte* P, TColor Color)
{
    P[0] = static_cast<Byte>((Color >> 16) & 0xFF);
    P[1] = static_cast<Byte>((Color >> 8) & 0xFF);
    P[2] = static_cast<Byte>(Color & 0xFF);
}

Byte ClampChannel(int Value) { return static_cast<Byte>(std::clamp<int>(Value, 0, 255)); }
Byte RoundChannel(double Value) { return ClampChannel(static_cast<int>(std::nearbyint(Value))); }

bool IsKey(TColor Color, TColor Key)
{
    return static_cast<std::uint32_t>(Key) < 0xFF000000u && Color == (Key & 0xFFFFFF);
}

// An included-edge rectangle of S clipped to S, the destination start moved
// with a raised left or top edge. False when nothing is left.
bool ClipIncluded(TRect& Q, int& X, int& Y, const View& S)
{
    if (Q.left < 0) {
        X -= Q.left;
        Q.left = 0;
    }
    if (Q.top < 0) {
        Y -= Q.top;
        Q.top = 0;
    }
    Q.right = std::min<int>(Q.right, S.W - 1);
    Q.bottom = std::min<int>(Q.bottom, S.H - 1);
    return Q.right >= Q.left && Q.bottom >= Q.top;
}

// Walks the pixels of an included-edge source rectangle of S whose
// destination (X + column, Y + row) lies in D: Body(source, destination).
template <class F>
void ForIncluded(const View& S, TRect Q, int X, int Y, const View& D, F Body)
{
    if (!ClipIncluded(Q, X, Y, S))
        return;
    const int dx = X - Q.left;
    const int dy = Y - Q.top;
    const int x1 = std::max<int>(Q.left, D.X0 - dx);
    const int x2 = std::min<int>(Q.right, D.W - 1 - dx);
    const int y1 = std::max<int>(Q.top, D.Y0 - dy);
    const int y2 = std::min<int>(Q.bottom, D.H - 1 - dy);
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            Body(S.At(x, y), D.At(x + dx, y + dy), x + dx, y + dy);
}

// The parent cache as a view, when it is ready and readable.
bool OpenCache(const TCacheInfo& CI, View& V) { return CI.Ready && Open(CI.Bmp, V); }

// The parent's pixel under destination pixel (X, Y), when there is one.
const Byte* CachePixel(const View& Cache, bool HasCache, const TCacheInfo& CI, int X, int Y)
{
    if (!HasCache || !Cache.Has(X + CI.X, Y + CI.Y))
        return nullptr;
    return Cache.At(X + CI.X, Y + CI.Y);
}

// CopyMaskedRect over views.
void MaskedRectCopy(const View& S, const View& D, int X, int Y, bool UseParent, const TCacheInfo& CI, TColor Key, TRect Q)
{
    View cache;
    const bool hasCache = UseParent && OpenCache(CI, cache);
    const bool parentColor = ExchangeParentColor != clSkinTransparent;
    ForIncluded(S, Q, X, Y, D, [&](const Byte* src, Byte* dst, int DX, int DY) {
        const Byte* from = src;
        if (IsKey(ColorAt(src), Key)) {
            if (UseParent && CI.Ready) {
                // The parent's pixel; none where the cache does not reach.
                from = CachePixel(cache, hasCache, CI, DX, DY);
            } else if (parentColor) {
                Put(dst, ExchangeParentColor);
                return;
            } else {
                return;
            }
        }
        if (from) {
            dst[0] = from[0];
            dst[1] = from[1];
            dst[2] = from[2];
        }
    });
}

// The masked copy behind the image-part, tile and glyph copies: W x H pixels
// from (SX, SY) of S, their mask FH rows lower, onto (DX, DY) of D. With
// Glyph set transparent pixels keep the destination and the mask is raised
// by Raise; otherwise they show the parent cache or ExchangeParentColor.
void MaskedCopy(const View& S, int SX, int SY, int W, int H, int FH, const View& D, int DX, int DY,
                const TCacheInfo& CI, bool Glyph, int Raise)
{
    const int c1 = std::max<int>({0, -SX, D.X0 - DX});
    const int c2 = std::min<int>({W, S.W - SX, D.W - DX});
    const int r1 = std::max<int>({0, -SY, -SY - FH, D.Y0 - DY});
    const int r2 = std::min<int>({H, S.H - SY, S.H - SY - FH, D.H - DY});
    if (c1 >= c2 || r1 >= r2)
        return;
    View cache;
    const bool hasCache = !Glyph && OpenCache(CI, cache);
    const bool parentColor = !Glyph && ExchangeParentColor != clSkinTransparent;
    for (int r = r1; r < r2; ++r) {
        for (int c = c1; c < c2; ++c) {
            const Byte* img = S.At(SX + c, SY + r);
            Byte* dst = D.At(DX + c, DY + r);
            if (ColorAt(img) == clSkinTransparent) {
                if (Glyph)
                    continue;
                if (const Byte* parent = CachePixel(cache, hasCache, CI, DX + c, DY + r)) {
                    dst[0] = parent[0];
                    dst[1] = parent[1];
                    dst[2] = parent[2];
                } else if (parentColor) {
                    Put(dst, ExchangeParentColor);
                }
                continue;
            }
            const Byte* mask = S.At(SX + c, SY + r + FH);
            for (int i = 0; i < 3; ++i) {
                const int m = std::min<int>(mask[i] + Raise, 255);
                dst[i] = ClampChannel(((dst[i] - img[i]) * m + img[i] * 256) >> 8);
            }
        }
    }
}

// Plain copies for borders without masks: W x H pixels from (SX, SY) of S to
// (DX, DY) of D, as they are.
void OpaqueCopy(const View& S, int SX, int SY, int W, int H, const View& D, int DX, int DY)
{
    const int c1 = std::max<int>({0, -SX, D.X0 - DX});
    const int c2 = std::min<int>({W, S.W - SX, D.W - DX});
    const int r1 = std::max<int>({0, -SY, D.Y0 - DY});
    const int r2 = std::min<int>({H, S.H - SY, D.H - DY});
    for (int r = r1; r < r2; ++r)
        for (int c = c1; c < c2; ++c) {
            const Byte* s = S.At(SX + c, SY + r);
            Byte* d = D.At(DX + c, DY + r);
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
}

// Source rectangle Src stretched over Dst (nearest pixel).
void OpaqueStretch(const View& S, TRect Src, const View& D, TRect Dst)
{
    const int sw = RectWidth(Src);
    const int sh = RectHeight(Src);
    const int dw = RectWidth(Dst);
    const int dh = RectHeight(Dst);
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    for (int y = std::max<int>(Dst.top, D.Y0); y < std::min<int>(Dst.bottom, D.H); ++y) {
        const int sy = Src.top + static_cast<int>(static_cast<long long>(y - Dst.top) * sh / dh);
        for (int x = std::max<int>(Dst.left, D.X0); x < std::min<int>(Dst.right, D.W); ++x) {
            const int sx = Src.left + static_cast<int>(static_cast<long long>(x - Dst.left) * sw / dw);
            if (!S.Has(sx, sy))
                continue;
            const Byte* s = S.At(sx, sy);
            Byte* d = D.At(x, y);
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

// Tiles of TW x TH from (SX, SY) over Area, the last row and column cut:
// Copy(source x, source y, width, height, destination x, destination y).
template <class F>
void Tile(TRect Area, int SX, int SY, int TW, int TH, F Copy)
{
    if (TW <= 0 || TH <= 0)
        return;
    for (int y = Area.top; y < Area.bottom; y += TH)
        for (int x = Area.left; x < Area.right; x += TW)
            Copy(SX, SY, std::min<int>(TW, Area.right - x), std::min<int>(TH, Area.bottom - y), x, y);
}

// The size of one state frame of an entry.
int FrameWidth(const TqMaskData& M) { return RectWidth(M.R) / std::max<int>(M.ImageCount, 1); }
int FrameHeight(const TqMaskData& M) { return RectHeight(M.R) / (std::max<int>(M.MaskType, 0) + 1); }
int CappedState(int N, const TqMaskData& M) { return std::clamp<int>(N, 0, std::max<int>(M.ImageCount, 1) - 1); }

} // namespace

bool TzqFastBitmap::Attach(TBitmap* Bmp)
{
    Width = 0;
    if (!Bmp || Bmp->Width() < 2 || Bmp->Height() < 2)
        return false;
    Bitmap = Bmp;
    Width = Bmp->Width();
    Height = Bmp->Height();
    if (Bmp->BytesPerPixel() != PixelBytes) {
        Width = 0;
        throw EInvalidGraphic("Bitmap format is not supported");
    }
    Line0 = Bmp->ScanLine(0);
    Delta = Bmp->ScanLine(1) - Line0;
    return true;
}

TColor TzqFastBitmap::GetPixel(int X, int Y) const
{
    return ColorAt(Pixel(X, Y));
}

bool TzqFastSum24::Attach(TBitmap* ASrc, TBitmap* ADst)
{
    if (!Src.Attach(ASrc) || !Dst.Attach(ADst))
        return false;
    Width = std::min<int>(Src.Width, Dst.Width);
    Height = std::min<int>(Src.Height, Dst.Height);
    return true;
}

void TzqFastSum24::BlendRect()
{
    if (Src.Width == 0 || Dst.Width == 0)
        return;
    const int dx = SrcX1 - DstX1;
    const int dy = SrcY1 - DstY1;
    const int x1 = std::max<int>({DstX1, 0, -dx});
    const int x2 = std::min<int>({DstX2, Dst.Width, Src.Width - dx});
    const int y1 = std::max<int>({DstY1, 0, -dy});
    const int y2 = std::min<int>({DstY2, Dst.Height, Src.Height - dy});
    const int level = Level;
    for (int y = y2 - 1; y >= y1; --y) {
        Byte* d = Dst.Pixel(0, y);
        const Byte* s = Src.Pixel(0, y + dy);
        for (int b = x2 * 3 - 1; b >= x1 * 3; --b)
            d[b] = static_cast<Byte>((d[b] * level + s[b + dx * 3] * (255 - level) + 127) >> 8);
    }
}

void BlendBitmaps(TBitmap* D, TBitmap* S, int Level, TPoint P, TRect Q)
{
    if (!D || !S)
        return;
    if (P.x < 0) {
        Q.left -= P.x;
        P.x = 0;
    }
    if (P.y < 0) {
        Q.top -= P.y;
        P.y = 0;
    }
    if (Q.left < 0) {
        P.x -= Q.left;
        Q.left = 0;
    }
    if (Q.top < 0) {
        P.y -= Q.top;
        Q.top = 0;
    }
    Q.right = std::min<int>(Q.right, S->Width());
    Q.bottom = std::min<int>(Q.bottom, S->Height());
    if (P.x + RectWidth(Q) > D->Width())
        Q.right = Q.left + D->Width() - P.x;
    if (P.y + RectHeight(Q) > D->Height())
        Q.bottom = Q.top + D->Height() - P.y;
    if (RectWidth(Q) <= 0 || RectHeight(Q) <= 0)
        return;
    if (!FastSum24.Attach(S, D))
        return;
    FastSum24.Level = static_cast<Byte>(std::clamp<int>(Level, 0, 255));
    FastSum24.DstX1 = P.x;
    FastSum24.DstY1 = P.y;
    FastSum24.DstX2 = P.x + RectWidth(Q);
    FastSum24.DstY2 = P.y + RectHeight(Q);
    FastSum24.SrcX1 = Q.left;
    FastSum24.SrcY1 = Q.top;
    FastSum24.SrcX2 = Q.right;
    FastSum24.SrcY2 = Q.bottom;
    FastSum24.BlendRect();
}

void TintRect(TBitmap* Bmp, TRect R, int Percent, TColor Color)
{
    View v;
    if (!Open(Bmp, v))
        return;
    R.left = std::max<int>(R.left, 0);
    R.top = std::max<int>(R.top, 0);
    R.right = std::min<int>(R.right, v.W - 1);
    R.bottom = std::min<int>(R.bottom, v.H - 1);
    const TColor c = static_cast<TColor>(ColorToRGB(Color));
    // In hundredths, so that halves are exact and round to even.
    const int rest[3] = {(100 - Percent) * ((c >> 16) & 0xFF), (100 - Percent) * ((c >> 8) & 0xFF),
                         (100 - Percent) * (c & 0xFF)};
    for (int y = R.top; y <= R.bottom; ++y)
        for (int x = R.left; x <= R.right; ++x) {
            Byte* p = v.At(x, y);
            for (int i = 0; i < 3; ++i)
                p[i] = RoundChannel((Percent * p[i] + rest[i]) / 100.0);
        }
}

void GrayBitmap(TBitmap* Bmp)
{
    View v;
    if (!Open(Bmp, v))
        return;
    for (int y = 0; y < v.H; ++y)
        for (int x = 0; x < v.W; ++x) {
            Byte* p = v.At(x, y);
            p[0] = p[1] = p[2] = static_cast<Byte>((p[0] + p[1] + p[2]) / 3);
        }
}

void BlendRectTransparent(TBitmap* D, int X, int Y, TColor Key, double Keep, TRect Q, TBitmap* S)
{
    View d;
    View s;
    if (!Open(D, d) || !Open(S, s))
        return;
    ForIncluded(s, Q, X, Y, d, [&](const Byte* src, Byte* dst, int, int) {
        if (IsKey(ColorAt(src), Key))
            return;
        for (int i = 0; i < 3; ++i)
            dst[i] = RoundChannel(src[i] - Keep * (src[i] - dst[i]));
    });
}

void CopyRectTransparent(TBitmap* D, TBitmap* S, int X, TColor Key, TRect Q, int Y)
{
    View d;
    View s;
    if (!Open(D, d) || !Open(S, s))
        return;
    ForIncluded(s, Q, X, Y, d, [&](const Byte* src, Byte* dst, int, int) {
        if (!IsKey(ColorAt(src), Key)) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    });
}

void CopyBitmapTransparent(TBitmap* D, TBitmap* S, int X, TColor Key, int Y)
{
    if (S)
        CopyRectTransparent(D, S, X, Key, Rect(0, 0, S->Width() - 1, S->Height() - 1), Y);
}

void CopyMaskedRect(TBitmap* D, TBitmap* S, int X, bool UseParent, const TCacheInfo& CI, TColor Key, TRect Q, int Y)
{
    View d;
    View s;
    if (Open(D, d) && Open(S, s))
        MaskedRectCopy(s, d, X, Y, UseParent, CI, Key, Q);
}

void CopyMaskedPicturePart(TRect Dst, TRect Src, TBitmap* Target, TBitmap* Picture, int FrameHeight,
                           const TCacheInfo& CI)
{
    View d;
    View s;
    if (!Open(Target, d) || !Open(Picture, s))
        return;
    MaskedCopy(s, Src.left, Src.top, std::min<int>(RectWidth(Dst), RectWidth(Src)),
               std::min<int>(RectHeight(Dst), RectHeight(Src)), FrameHeight, d, Dst.left, Dst.top, CI, false, 0);
}

void CopyMaskedImagePart(TRect Dst, TRect Src, TBitmap* Target, const TqMaskData& Mask, const TCacheInfo& CI)
{
    CopyMaskedPicturePart(Dst, Src, Target, MaskSourceBitmap(Mask), FrameHeight(Mask), CI);
}

void CopyMaskedTile(TRect Dst, TRect Src, TBitmap* Target, const TqMaskData& Mask, const TCacheInfo& CI)
{
    // A tile is an image part whose last copies are cut at the area's edge.
    CopyMaskedImagePart(Dst, Src, Target, Mask, CI);
}

void CopyMaskedGlyph(TRect Dst, TRect Src, TBitmap* Target, const TqMaskData& Mask, int Mode, TBitmap* Image)
{
    View d;
    View s;
    if (!Open(Target, d) || !Open(Image, s))
        return;
    MaskedCopy(s, Src.left, Src.top, std::min<int>(RectWidth(Dst), RectWidth(Src)),
               std::min<int>(RectHeight(Dst), RectHeight(Src)), FrameHeight(Mask), d, Dst.left, Dst.top,
               EmptyCacheInfo, true, Mode == 1 ? 0 : 100);
}

void PaintMaskedImage(TBitmap* Bmp, TRect R, bool FillCentre, const void*, bool UseParent, int N,
                      const TqMaskData& Mask, const TCacheInfo& CI)
{
    const int width = RectWidth(R);
    const int height = RectHeight(R);
    if (width <= 1 || height <= 1 || !Mask.Manager)
        return;
    View d;
    View s;
    if (!Open(Bmp, d) || !Open(MaskSourceBitmap(Mask), s))
        return;
    // Every piece stays inside R, also where shrunk corners would pass it.
    d.X0 = std::max<int>(R.left, 0);
    d.Y0 = std::max<int>(R.top, 0);
    d.W = std::min<int>(R.right, d.W);
    d.H = std::min<int>(R.bottom, d.H);

    // Corners shrink evenly when R is smaller than both together.
    int wl = MaskEntryBorderLeft(Mask);
    int wr = MaskEntryBorderRight(Mask);
    int wt = Mask.WT;
    int wb = MaskEntryBorderBottom(Mask);
    const auto shrink = [](int& A, int& B, int Size) {
        if (Size >= A + B)
            return;
        const int cut = (A + B - Size) / 2;
        A = std::max<int>(A - cut, 0);
        B = std::max<int>(B - cut - (Size % 2), 0);
    };
    shrink(wl, wr, width);
    shrink(wt, wb, height);

    const int fw = FrameWidth(Mask);
    const int fh = FrameHeight(Mask);
    const int sx = Mask.R.left + CappedState(N, Mask) * fw;
    const int sy = Mask.R.top;
    const int cw = std::max<int>(fw - wl - wr, 0);
    const int ch = std::max<int>(fh - wt - wb, 0);
    const TRect left = Rect(R.left, R.top + wt, R.left + wl, R.bottom - wb);
    const TRect right = Rect(R.right - wr, R.top + wt, R.right, R.bottom - wb);
    const TRect top = Rect(R.left + wl, R.top, R.right - wr, R.top + wt);
    const TRect bottom = Rect(R.left + wl, R.bottom - wb, R.right - wr, R.bottom);
    const TRect centre = Rect(R.left + wl, R.top + wt, R.right - wr, R.bottom - wb);

    if (Mask.MaskType > 0) {
        const auto masked = [&](const TCacheInfo& Cache) {
            return [&, Cache](int SX, int SY, int W, int H, int DX, int DY) {
                MaskedCopy(s, SX, SY, W, H, fh, d, DX, DY, Cache, false, 0);
            };
        };
        const auto withParent = masked(CI);
        const auto plain = masked(EmptyCacheInfo);
        withParent(sx, sy, wl, wt, R.left, R.top);
        withParent(sx + fw - wr, sy, wr, wt, R.right - wr, R.top);
        withParent(sx, sy + fh - wb, wl, wb, R.left, R.bottom - wb);
        withParent(sx + fw - wr, sy + fh - wb, wr, wb, R.right - wr, R.bottom - wb);
        Tile(left, sx, sy + wt, wl, ch, plain);
        Tile(right, sx + fw - wr, sy + wt, wr, ch, plain);
        Tile(top, sx + wl, sy, cw, wt, plain);
        Tile(bottom, sx + wl, sy + fh - wb, cw, wb, plain);
        if (FillCentre)
            Tile(centre, sx + wl, sy + wt, cw, ch, plain);
        return;
    }

    const auto corner = [&](int SX, int SY, int W, int H, int DX, int DY) {
        if (W > 0 && H > 0)
            MaskedRectCopy(s, d, DX, DY, UseParent, CI, clSkinTransparent, Rect(SX, SY, SX + W - 1, SY + H - 1));
    };
    corner(sx, sy, wl, wt, R.left, R.top);
    corner(sx + fw - wr, sy, wr, wt, R.right - wr, R.top);
    corner(sx, sy + fh - wb, wl, wb, R.left, R.bottom - wb);
    corner(sx + fw - wr, sy + fh - wb, wr, wb, R.right - wr, R.bottom - wb);
    const auto opaque = [&](int SX, int SY, int W, int H, int DX, int DY) { OpaqueCopy(s, SX, SY, W, H, d, DX, DY); };
    const auto part = [&](TRect Area, int SX, int SY, int W, int H) {
        if (Mask.StretchMode != 0)
            OpaqueStretch(s, Rect(SX, SY, SX + W, SY + H), d, Area);
        else
            Tile(Area, SX, SY, W, H, opaque);
    };
    part(left, sx, sy + wt, wl, ch);
    part(right, sx + fw - wr, sy + wt, wr, ch);
    part(top, sx + wl, sy, cw, wt);
    part(bottom, sx + wl, sy + fh - wb, cw, wb);
    if (FillCentre && Mask.BorderWidth == 0)
        part(centre, sx + wl, sy + wt, cw, ch);
}

void DrawMaskGlyph(TBitmap* Bmp, TPoint P, int N, const TqMaskData& Mask, int Mode)
{
    const int fw = FrameWidth(Mask);
    const int fh = FrameHeight(Mask);
    TRect src = Bounds(Mask.R.left + CappedState(N, Mask) * fw, Mask.R.top, fw, fh);
    if (P.x < 0) {
        src.left -= P.x;
        P.x = 0;
    }
    if (P.y < 0) {
        src.top -= P.y;
        P.y = 0;
    }
    if (RectWidth(src) <= 0 || RectHeight(src) <= 0)
        return;
    const TRect dst = Bounds(P.x, P.y, RectWidth(src), RectHeight(src));
    if (Mask.Bmp) {
        CopyMaskedGlyph(dst, src, Bmp, Mask, Mode, Mask.Bmp.get());
        return;
    }
    if (Mask.ImageCount == 0)
        return;
    TBitmap* master = MaskSourceBitmap(Mask);
    const TRect included = Rect(src.left, src.top, src.right - 1, src.bottom - 1);
    if (Mask.MaskType > 0)
        CopyMaskedGlyph(dst, src, Bmp, Mask, Mode, master);
    else if (Mode == 1)
        CopyRectTransparent(Bmp, master, P.x, clSkinTransparent, included, P.y);   // transparent pixels skipped
    else
        BlendRectTransparent(Bmp, P.x, P.y, clSkinTransparent, 0.5, included, master);
}

void ApplyColorMask(TBitmap* P, TBitmap* M, TColor C)
{
    View p;
    View m;
    if (!Open(P, p) || !Open(M, m) || p.W != m.W || p.H != m.H)
        return;
    const int c[3] = {(C >> 16) & 0xFF, (C >> 8) & 0xFF, C & 0xFF};
    for (int y = 0; y < p.H; ++y)
        for (int x = 0; x < p.W; ++x) {
            Byte* px = p.At(x, y);
            const Byte* mx = m.At(x, y);
            for (int i = 0; i < 3; ++i)
                px[i] = ClampChannel((c[i] * 256 + mx[i] * (px[i] - c[i])) >> 8);
        }
}

void MixFadeFrame(TBitmap* Output, TBitmap* A, TBitmap* B, int Level, TBitmap* Levels)
{
    View o;
    View a;
    View b;
    View l;
    if (!Open(Output, o) || !Open(A, a) || !Open(B, b))
        return;
    if (a.W != b.W || a.H != b.H || o.W != a.W || o.H != a.H || o.Bpp != 4)
        return;
    const bool perPixel = Open(Levels, l) && l.W == a.W && l.H == a.H;
    for (int y = 0; y < o.H; ++y)
        for (int x = 0; x < o.W; ++x) {
            const Byte* pa = a.At(x, y);
            const Byte* pb = b.At(x, y);
            Byte* po = o.At(x, y);
            for (int i = 0; i < 3; ++i) {
                const int level = perPixel ? l.At(x, y)[i] : Level;
                po[i] = ClampChannel((level * (pa[i] - pb[i]) + pb[i] * 256) >> 8);
            }
        }
}

// The pixel primitives against a plain reference written pixel by pixel from
// their formulas: random bitmap sizes (1 x N and 2 x 2 among them), random
// rectangles partly or wholly outside, every state frame (beyond the frame
// count too) and mask case, with a fixed seed. Under AddressSanitizer a
// read or write outside either bitmap ends the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <sstream>

#include "skin/engine/host/MaskSourceHost.h"
#include "skin/engine/qPixelOps.h"

namespace {

using TRandom = std::mt19937;

int Between(TRandom& R, int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(R); }

// Colours drawn from a small set, so that keys, transparent and grey pixels
// turn up often.
TColor RandomColor(TRandom& R)
{
    static const TColor common[] = {0xFF00FF, 0x000000, 0xFFFFFF, 0x808080, 0x0000FF, 0x123456};
    if (Between(R, 0, 2) == 0)
        return common[Between(R, 0, 5)];
    return Between(R, 0, 0xFFFFFF);
}

std::unique_ptr<TBitmap> RandomBitmap(TRandom& R, int MaxSide, TPixelFormat Format = TPixelFormat::pf24bit)
{
    int w = Between(R, 1, MaxSide);
    int h = Between(R, 1, MaxSide);
    if (Between(R, 0, 9) == 0)
        (Between(R, 0, 1) ? w : h) = 1;   // 1 x N and N x 1
    if (Between(R, 0, 9) == 0)
        w = h = 2;
    auto b = std::make_unique<TBitmap>(w, h, Format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Byte* p = b->ScanLine(y) + x * b->BytesPerPixel();
            const TColor c = RandomColor(R);
            p[0] = static_cast<Byte>(c >> 16);
            p[1] = static_cast<Byte>(c >> 8);
            p[2] = static_cast<Byte>(c);
        }
    return b;
}

std::unique_ptr<TBitmap> Copy(TBitmap& B)
{
    auto c = std::make_unique<TBitmap>();
    c->Assign(&B);
    return c;
}

bool Same(TBitmap& A, TBitmap& B)
{
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x)
            if (std::memcmp(A.ScanLine(y) + x * A.BytesPerPixel(), B.ScanLine(y) + x * B.BytesPerPixel(), 3) != 0)
                return false;
    return true;
}

TRect RandomRect(TRandom& R, int Span)
{
    const int l = Between(R, -Span, Span);
    const int t = Between(R, -Span, Span);
    return Rect(l, t, l + Between(R, -2, Span), t + Between(R, -2, Span));
}

// ---- the reference: one pixel at a time, every access checked ----

bool Has(TBitmap* B, int X, int Y) { return B && X >= 0 && Y >= 0 && X < B->Width() && Y < B->Height(); }
bool Usable(TBitmap* B) { return B && B->Width() >= 2 && B->Height() >= 2; }
Byte* Px(TBitmap* B, int X, int Y) { return B->ScanLine(Y) + X * B->BytesPerPixel(); }
TColor ColorOf(const Byte* P) { return P[0] << 16 | P[1] << 8 | P[2]; }
void SetColor(Byte* P, TColor C)
{
    P[0] = static_cast<Byte>(C >> 16);
    P[1] = static_cast<Byte>(C >> 8);
    P[2] = static_cast<Byte>(C);
}
void CopyPx(Byte* D, const Byte* S) { std::memcpy(D, S, 3); }
Byte Clamp(double V) { return static_cast<Byte>(std::clamp(static_cast<int>(std::nearbyint(V)), 0, 255)); }
Byte ClampI(int V) { return static_cast<Byte>(std::clamp(V, 0, 255)); }
bool KeyHit(TColor C, TColor Key) { return static_cast<std::uint32_t>(Key) < 0xFF000000u && C == Key; }

void RefBlendBitmaps(TBitmap* D, TBitmap* S, int Level, TPoint P, TRect Q)
{
    if (P.x < 0) { Q.left -= P.x; P.x = 0; }
    if (P.y < 0) { Q.top -= P.y; P.y = 0; }
    if (Q.left < 0) { P.x -= Q.left; Q.left = 0; }
    if (Q.top < 0) { P.y -= Q.top; Q.top = 0; }
    Q.right = std::min(Q.right, S->Width());
    Q.bottom = std::min(Q.bottom, S->Height());
    if (P.x + RectWidth(Q) > D->Width()) Q.right = Q.left + D->Width() - P.x;
    if (P.y + RectHeight(Q) > D->Height()) Q.bottom = Q.top + D->Height() - P.y;
    if (!Usable(D) || !Usable(S))
        return;
    for (int y = 0; y < RectHeight(Q); ++y)
        for (int x = 0; x < RectWidth(Q); ++x) {
            if (!Has(D, P.x + x, P.y + y) || !Has(S, Q.left + x, Q.top + y))
                continue;
            Byte* d = Px(D, P.x + x, P.y + y);
            const Byte* s = Px(S, Q.left + x, Q.top + y);
            for (int i = 0; i < 3; ++i)
                d[i] = static_cast<Byte>((d[i] * Level + s[i] * (255 - Level) + 127) >> 8);
        }
}

void RefTint(TBitmap* B, TRect R, int Percent, TColor C)
{
    if (!Usable(B))
        return;
    // e * pixel + (1 - e) * C with e = Percent / 100, in exact hundredths.
    const int c[3] = {(C >> 16) & 0xFF, (C >> 8) & 0xFF, C & 0xFF};
    for (int y = R.top; y <= R.bottom; ++y)
        for (int x = R.left; x <= R.right; ++x)
            if (Has(B, x, y))
                for (int i = 0; i < 3; ++i)
                    Px(B, x, y)[i] = Clamp((Percent * Px(B, x, y)[i] + (100 - Percent) * c[i]) / 100.0);
}

void RefGray(TBitmap* B)
{
    if (!Usable(B))
        return;
    for (int y = 0; y < B->Height(); ++y)
        for (int x = 0; x < B->Width(); ++x) {
            Byte* p = Px(B, x, y);
            p[0] = p[1] = p[2] = static_cast<Byte>((p[0] + p[1] + p[2]) / 3);
        }
}

// Source pixels of an included-edge rectangle Q (clipped to S as the
// transparent copies clip it) with their destination (X + column, Y + row).
void ForSourcePixels(TBitmap* S, TRect Q, int X, int Y, const std::function<void(int, int, int, int)>& Body)
{
    if (Q.left < 0) { X -= Q.left; Q.left = 0; }
    if (Q.top < 0) { Y -= Q.top; Q.top = 0; }
    for (int sy = Q.top; sy <= Q.bottom; ++sy)
        for (int sx = Q.left; sx <= Q.right; ++sx)
            if (Has(S, sx, sy))
                Body(sx, sy, X + sx - Q.left, Y + sy - Q.top);
}

void RefBlendTransparent(TBitmap* D, int X, int Y, TColor Key, double Keep, TRect Q, TBitmap* S)
{
    if (!Usable(D) || !Usable(S))
        return;
    ForSourcePixels(S, Q, X, Y, [&](int sx, int sy, int dx, int dy) {
        if (!Has(D, dx, dy) || KeyHit(ColorOf(Px(S, sx, sy)), Key))
            return;
        for (int i = 0; i < 3; ++i) {
            const int s = Px(S, sx, sy)[i];
            Px(D, dx, dy)[i] = Clamp(s - Keep * (s - Px(D, dx, dy)[i]));
        }
    });
}

void RefCopyMaskedRect(TBitmap* D, TBitmap* S, int X, bool UseParent, const TCacheInfo& CI, TColor Key, TRect Q, int Y,
                       bool Masked)
{
    if (!Usable(D) || !Usable(S))
        return;
    ForSourcePixels(S, Q, X, Y, [&](int sx, int sy, int dx, int dy) {
        if (!Has(D, dx, dy))
            return;
        if (!KeyHit(ColorOf(Px(S, sx, sy)), Key)) {
            CopyPx(Px(D, dx, dy), Px(S, sx, sy));
            return;
        }
        if (!Masked)
            return;
        if (UseParent && CI.Ready) {
            if (Usable(CI.Bmp) && Has(CI.Bmp, dx + CI.X, dy + CI.Y))
                CopyPx(Px(D, dx, dy), Px(CI.Bmp, dx + CI.X, dy + CI.Y));
        } else if (ExchangeParentColor != 0xFF00FF) {
            SetColor(Px(D, dx, dy), ExchangeParentColor);
        }
    });
}

// One masked pixel: image (SX, SY) of S, its mask FH lower, onto (DX, DY).
void RefMaskedPixel(TBitmap* S, int SX, int SY, int FH, TBitmap* D, int DX, int DY, const TCacheInfo& CI, bool Glyph,
                    int Raise)
{
    if (!Has(S, SX, SY) || !Has(S, SX, SY + FH) || !Has(D, DX, DY))
        return;
    const Byte* img = Px(S, SX, SY);
    Byte* dst = Px(D, DX, DY);
    if (ColorOf(img) == 0xFF00FF) {
        if (Glyph)
            return;
        if (CI.Ready && Usable(CI.Bmp) && Has(CI.Bmp, DX + CI.X, DY + CI.Y))
            CopyPx(dst, Px(CI.Bmp, DX + CI.X, DY + CI.Y));
        else if (ExchangeParentColor != 0xFF00FF)
            SetColor(dst, ExchangeParentColor);
        return;
    }
    const Byte* mask = Px(S, SX, SY + FH);
    for (int i = 0; i < 3; ++i) {
        const int m = std::min(mask[i] + Raise, 255);
        dst[i] = ClampI(((dst[i] - img[i]) * m + img[i] * 256) >> 8);
    }
}

int FrameW(const TqMaskData& M) { return RectWidth(M.R) / std::max<int>(M.ImageCount, 1); }
int FrameH(const TqMaskData& M) { return RectHeight(M.R) / (std::max<int>(M.MaskType, 0) + 1); }

// Destination coordinate V of a span [From, To) split into a start A long,
// a middle tiled (or stretched) from a piece Mid long and an end B long: is
// V in part Part (0 start, 1 middle, 2 end), and where does it read its
// source, relative to the frame (Reads false: nothing to read)?
struct TAxis {
    bool In;
    int Src;
    bool Reads;
};

TAxis AxisOf(int Part, int V, int From, int To, int A, int B, int Frame, int Mid, bool Stretch)
{
    if (Part == 0)
        return {V >= From && V < From + A, V - From, true};
    if (Part == 2)
        return {V >= To - B && V < To, Frame - B + (V - (To - B)), true};
    const int span = To - B - (From + A);
    const int off = V - From - A;
    if (V < From + A || V >= To - B || Mid <= 0)
        return {false, 0, false};
    return {true, A + (Stretch ? static_cast<int>(static_cast<long long>(off) * Mid / span) : off % Mid), true};
}

void RefPaintMaskedImage(TBitmap* B, TRect R, bool FillCentre, bool UseParent, int N, const TqMaskData& M,
                         const TCacheInfo& CI)
{
    const int width = RectWidth(R);
    const int height = RectHeight(R);
    TBitmap* S = MaskSourceBitmap(M);
    if (width <= 1 || height <= 1 || !M.Manager || !Usable(B) || !Usable(S))
        return;
    int wl = MaskEntryBorderLeft(M), wr = MaskEntryBorderRight(M), wt = M.WT, wb = MaskEntryBorderBottom(M);
    if (wl + wr > width) {
        const int cut = (wl + wr - width) / 2;
        wl = std::max(wl - cut, 0);
        wr = std::max(wr - cut - width % 2, 0);
    }
    if (wt + wb > height) {
        const int cut = (wt + wb - height) / 2;
        wt = std::max(wt - cut, 0);
        wb = std::max(wb - cut - height % 2, 0);
    }
    const int fw = FrameW(M), fh = FrameH(M);
    const int n = std::clamp(N, 0, std::max<int>(M.ImageCount, 1) - 1);
    const int sx = M.R.left + n * fw, sy = M.R.top;
    const int cw = std::max(fw - wl - wr, 0), ch = std::max(fh - wt - wb, 0);
    const bool stretch = M.MaskType <= 0 && M.StretchMode != 0;
    // The pieces in the order they are painted (a later piece covers an
    // earlier one where shrunk corners overlap): corners, edges, centre.
    static const int pieces[9][2] = {{0, 0}, {2, 0}, {0, 2}, {2, 2}, {0, 1}, {2, 1}, {1, 0}, {1, 2}, {1, 1}};
    for (const auto& piece : pieces)
        for (int y = R.top; y < R.bottom; ++y)
            for (int x = R.left; x < R.right; ++x) {
                const TAxis ax = AxisOf(piece[0], x, R.left, R.right, wl, wr, fw, cw, stretch);
                const TAxis ay = AxisOf(piece[1], y, R.top, R.bottom, wt, wb, fh, ch, stretch);
                if (!ax.In || !ay.In || !ax.Reads || !ay.Reads)
                    continue;
                const bool corner = piece[0] != 1 && piece[1] != 1;
                const bool centre = piece[0] == 1 && piece[1] == 1;
                if (centre && (!FillCentre || (M.MaskType <= 0 && M.BorderWidth != 0)))
                    continue;
                const int px = sx + ax.Src, py = sy + ay.Src;
                if (M.MaskType > 0)
                    RefMaskedPixel(S, px, py, fh, B, x, y, corner ? CI : EmptyCacheInfo, false, 0);
                else if (corner)
                    RefCopyMaskedRect(B, S, x, UseParent, CI, 0xFF00FF, Rect(px, py, px, py), y, true);
                else if (Has(S, px, py) && Has(B, x, y))
                    CopyPx(Px(B, x, y), Px(S, px, py));
            }
}

void RefDrawMaskGlyph(TBitmap* B, TPoint P, int N, const TqMaskData& M, int Mode)
{
    const int fw = FrameW(M), fh = FrameH(M);
    const int n = std::clamp(N, 0, std::max<int>(M.ImageCount, 1) - 1);
    TBitmap* S = MaskSourceBitmap(M);
    if (!M.Bmp && M.ImageCount == 0)
        return;
    if (!Usable(B) || !Usable(S))
        return;
    const bool masked = M.Bmp || M.MaskType > 0;
    for (int gy = std::max(0, -P.y); gy < fh; ++gy)
        for (int gx = std::max(0, -P.x); gx < fw; ++gx) {
            const int sx = M.R.left + n * fw + gx, sy = M.R.top + gy;
            const int dx = P.x + gx, dy = P.y + gy;
            if (masked)
                RefMaskedPixel(S, sx, sy, fh, B, dx, dy, EmptyCacheInfo, true, Mode == 1 ? 0 : 100);
            else if (Mode == 1)
                RefCopyMaskedRect(B, S, dx, false, EmptyCacheInfo, 0xFF00FF, Rect(sx, sy, sx, sy), dy, false);
            else
                RefBlendTransparent(B, dx, dy, 0xFF00FF, 0.5, Rect(sx, sy, sx, sy), S);
        }
}

// ---- the run ----

struct TMaskCase {
    std::unique_ptr<TBitmap> Master;
    TqMaskData Mask;
};

// A random entry over a random picture: its own bitmap or the master's
// rectangle, frames and mask rows that may pass the picture's edges.
void RandomMask(TRandom& R, TMaskCase& C, const TqSkinManager* Manager)
{
    C.Master = RandomBitmap(R, 24);
    TqMaskData& m = C.Mask;
    m.ImageCount = static_cast<std::int16_t>(Between(R, 0, 4));
    m.MaskType = static_cast<std::int16_t>(Between(R, -1, 2));
    m.StretchMode = static_cast<std::int16_t>(Between(R, 0, 2));
    m.BorderWidth = static_cast<std::int16_t>(Between(R, 0, 1) ? 0 : Between(R, 0, 4));
    m.WL = static_cast<std::int16_t>(Between(R, 0, 6));
    m.WT = static_cast<std::int16_t>(Between(R, 0, 6));
    m.WR = static_cast<std::int16_t>(Between(R, 0, 6));
    m.WB = static_cast<std::int16_t>(Between(R, 0, 6));
    m.Manager = Between(R, 0, 15) ? const_cast<TqSkinManager*>(Manager) : nullptr;
    if (Between(R, 0, 3) == 0) {
        m.Bmp = Copy(*C.Master);
        m.R = Rect(0, 0, m.Bmp->Width(), m.Bmp->Height());
    } else {
        m.R = RandomRect(R, 20);
        if (Between(R, 0, 1))
            m.R = Rect(0, 0, C.Master->Width(), C.Master->Height());
    }
}

// The case and the first pixels that differ, for the failure message.
std::string Describe(const std::string& Op, TBitmap& D, TBitmap& Want, int Case)
{
    std::ostringstream s;
    s << Op << " case " << Case << " on " << D.Width() << "x" << D.Height() << std::hex;
    int shown = 0;
    for (int y = 0; y < D.Height() && shown < 6; ++y)
        for (int x = 0; x < D.Width() && shown < 6; ++x)
            if (ColorOf(Px(&D, x, y)) != ColorOf(Px(&Want, x, y))) {
                s << " (" << std::dec << x << "," << y << std::hex << ": " << ColorOf(Px(&D, x, y)) << " not "
                  << ColorOf(Px(&Want, x, y)) << ")";
                ++shown;
            }
    return s.str();
}

std::string DescribeMask(const TqMaskData& M, TRect R)
{
    std::ostringstream s;
    s << " R=" << R.left << "," << R.top << "," << R.right << "," << R.bottom << " mask R=" << M.R.left << ","
      << M.R.top << "," << M.R.right << "," << M.R.bottom << " count=" << M.ImageCount << " type=" << M.MaskType
      << " stretch=" << M.StretchMode << " border=" << M.BorderWidth << " w=" << M.WL << "," << M.WT << "," << M.WR
      << "," << M.WB << " own=" << (M.Bmp != nullptr);
    return s.str();
}

TEST(PixelOpsFuzz, PrimitivesMatchThePerPixelReference)
{
    TRandom random(20261211);
    static const char token = 0;
    const auto* manager = reinterpret_cast<const TqSkinManager*>(&token);
    int compared = 0;
    for (int i = 0; i < 120000; ++i) {
        auto dst = RandomBitmap(random, 14);
        auto src = RandomBitmap(random, 14);
        auto want = Copy(*dst);
        ExchangeParentColor = Between(random, 0, 2) == 0 ? RandomColor(random) : 0xFF00FF;
        auto cache = RandomBitmap(random, 20, Between(random, 0, 1) ? TPixelFormat::pf24bit : TPixelFormat::pf32bit);
        TCacheInfo ci{cache.get(), Between(random, -6, 6), Between(random, -6, 6), Between(random, 0, 3) != 0};
        const TRect q = RandomRect(random, 16);
        const int x = Between(random, -8, 16);
        const int y = Between(random, -8, 16);
        const TColor key = Between(random, 0, 5) == 0 ? static_cast<TColor>(0xFF000000u) : RandomColor(random);
        std::string op;
        switch (Between(random, 0, 8)) {
        case 0: {
            op = "BlendBitmaps";
            const int level = Between(random, 0, 255);
            BlendBitmaps(dst.get(), src.get(), level, Point(x, y), q);
            RefBlendBitmaps(want.get(), src.get(), level, Point(x, y), q);
            break;
        }
        case 1: {
            op = "TintRect";
            const int percent = Between(random, 0, 100);
            const TColor c = RandomColor(random);
            TintRect(dst.get(), q, percent, c);
            RefTint(want.get(), q, percent, c);
            break;
        }
        case 2:
            op = "GrayBitmap";
            GrayBitmap(dst.get());
            RefGray(want.get());
            break;
        case 3: {
            op = "BlendRectTransparent";
            const double keep = Between(random, 0, 10) / 10.0;
            BlendRectTransparent(dst.get(), x, y, key, keep, q, src.get());
            RefBlendTransparent(want.get(), x, y, key, keep, q, src.get());
            break;
        }
        case 4:
            op = "CopyRectTransparent";
            CopyRectTransparent(dst.get(), src.get(), x, key, q, y);
            RefCopyMaskedRect(want.get(), src.get(), x, false, EmptyCacheInfo, key, q, y, false);
            break;
        case 5: {
            op = "CopyMaskedRect";
            const bool useParent = Between(random, 0, 1) != 0;
            CopyMaskedRect(dst.get(), src.get(), x, useParent, ci, key, q, y);
            RefCopyMaskedRect(want.get(), src.get(), x, useParent, ci, key, q, y, true);
            break;
        }
        case 6: {
            op = "CopyMaskedImagePart";
            TMaskCase m;
            RandomMask(random, m, manager);
            SetHostMasterBitmap(manager, m.Master.get());
            const TRect d = RandomRect(random, 16);
            CopyMaskedImagePart(d, q, dst.get(), m.Mask, ci);
            const int w = std::min(RectWidth(d), RectWidth(q)), h = std::min(RectHeight(d), RectHeight(q));
            TBitmap* s = MaskSourceBitmap(m.Mask);
            if (Usable(want.get()) && Usable(s))
                for (int r = 0; r < h; ++r)
                    for (int c = 0; c < w; ++c)
                        RefMaskedPixel(s, q.left + c, q.top + r, FrameH(m.Mask), want.get(), d.left + c, d.top + r, ci,
                                       false, 0);
            break;
        }
        case 7: {
            TMaskCase m;
            RandomMask(random, m, manager);
            SetHostMasterBitmap(manager, m.Master.get());
            const TRect r = RandomRect(random, 16);
            const bool fill = Between(random, 0, 1) != 0, useParent = Between(random, 0, 1) != 0;
            const int n = Between(random, -1, 5);
            op = "PaintMaskedImage" + DescribeMask(m.Mask, r) + " state " + std::to_string(n) +
                 (fill ? " filled" : "") + (useParent ? " parent" : "");
            PaintMaskedImage(dst.get(), r, fill, nullptr, useParent, n, m.Mask, ci);
            RefPaintMaskedImage(want.get(), r, fill, useParent, n, m.Mask, ci);
            break;
        }
        default: {
            TMaskCase m;
            RandomMask(random, m, manager);
            SetHostMasterBitmap(manager, m.Master.get());
            const int n = Between(random, -1, 5), mode = Between(random, 0, 2);
            op = "DrawMaskGlyph" + DescribeMask(m.Mask, Rect(x, y, x, y)) + " state " + std::to_string(n) + " mode " +
                 std::to_string(mode);
            DrawMaskGlyph(dst.get(), Point(x, y), n, m.Mask, mode);
            RefDrawMaskGlyph(want.get(), Point(x, y), n, m.Mask, mode);
            break;
        }
        }
        SetHostMasterBitmap(manager, nullptr);
        ASSERT_TRUE(Same(*dst, *want)) << Describe(op, *dst, *want, i);
        ++compared;
    }
    ExchangeParentColor = 0xFF00FF;
    EXPECT_EQ(120000, compared);
}

TEST(PixelOpsFuzz, AccessorsRefuseSmallBitmapsAndOtherFormats)
{
    TBitmap thin(1, 5, TPixelFormat::pf24bit);
    TzqFast24 a;
    EXPECT_FALSE(a.Attach(&thin));
    EXPECT_EQ(0, a.Width);
    TBitmap wide(4, 4, TPixelFormat::pf32bit);
    EXPECT_THROW(a.Attach(&wide), EInvalidGraphic);
    TzqFast32 b;
    ASSERT_TRUE(b.Attach(&wide));
    wide.ScanLine(2)[3 * 4 + 0] = 0x30;
    wide.ScanLine(2)[3 * 4 + 2] = 0x10;
    wide.ScanLine(2)[3 * 4 + 3] = 0x77;   // not part of the colour
    EXPECT_EQ(0x300010, b.GetPixel(3, 2));
    TzqFastSum24 sum;
    TBitmap ok(3, 3, TPixelFormat::pf24bit);
    EXPECT_FALSE(sum.Attach(&thin, &ok));
}

} // namespace

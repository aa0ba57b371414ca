#include "skin/engine/qControlPaint.h"

#include <algorithm>

#include "framework/Form.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"

namespace {

// Sets both exchange colours back to "unset" when a painting step ends.
class TExchangeReset {
public:
    TExchangeReset() = default;
    ~TExchangeReset()
    {
        ExchangeColor = clSkinTransparent;
        ExchangeParentColor = clSkinTransparent;
    }
    TExchangeReset(const TExchangeReset&) = delete;
    TExchangeReset& operator=(const TExchangeReset&) = delete;
};

int FrameWidthOf(const TqMaskData& M) { return RectWidth(M.R) / std::max<int>(M.ImageCount, 1); }
int FrameHeightOf(const TqMaskData& M) { return RectHeight(M.R) / (std::max<int>(M.MaskType, 0) + 1); }

// The colour of what the state's owner is: the control's, or the form's
// for a form provider's state.
TColor OwnerColor(TqCommonData* Data)
{
    if (Data->OwnerControl)
        return Data->OwnerControl->Color();
    if (auto* holder = dynamic_cast<TqStateHolder*>(Data->OwnerObject))
        if (TCustomForm* form = holder->HolderForm())
            return form->Color();
    return clSkinTransparent;
}

} // namespace

void TqCommonData::PaintBackground(const TCacheInfo& ParentCache, int State, TBitmap* Bmp, TPoint Offset, TRect R)
{
    const TColor custom = CustomColor() ? static_cast<TColor>(ColorToRGB(OwnerColor(this))) : clSkinTransparent;
    PaintSectionBackground(SkinIndex, SkinSection(), ParentCache, State, R, Offset, Bmp, SkinManager(), Texture,
                           HotTexture, custom);
}

void PaintControlSection(TqCommonData* Data, const TCacheInfo& CI, bool FillCentre, bool UseParentCache, TBitmap* Bmp,
                         TPoint Offset, TRect R, int State)
{
    if (!Data || !Bmp)
        return;
    TqSkinManager* manager = Data->SkinManager();
    if (!manager || !manager->IsValidSkinIndex(Data->SkinIndex) || R.left < 0 || R.top < 0 ||
        R.right > Bmp->Width() || R.bottom > Bmp->Height())
        return;
    const TqSkinModel& skin = manager->Skin();
    {
        TExchangeReset reset;
        ExchangeColor = clSkinTransparent;
        TWinControl* parent = Data->OwnerControl ? Data->OwnerControl->Parent() : nullptr;
        if (!CI.Ready && parent) {
            ExchangeColor = static_cast<TColor>(ColorToRGB(parent->Color()));
            ExchangeParentColor = ExchangeColor;
        } else if (CI.Ready && parent && !Data->NeedsParentBg()) {
            QueryControlColor(parent);
        }
        Data->PaintBackground(CI, State, Bmp, Offset, R);
        if (manager->IsValidMaskIndex(Data->BorderIndex) && !(State == 0 && Data->SkinSection() == "MENUITEM")) {
            TCacheInfo cache = CI;
            cache.X += Offset.x;
            cache.Y += Offset.y;
            PaintMaskedImage(Bmp, R, FillCentre, nullptr, UseParentCache, State, skin.Masks[Data->BorderIndex], cache);
        }
    }
    const auto corner = [&](const char* Name, bool Right, bool Bottom) {
        const int index = manager->FindMaskIndex(Data->SkinIndex, Data->SkinSection(), Name);
        if (!manager->IsValidMaskIndex(index))
            return;
        const TqMaskData& m = skin.Masks[index];
        const int x = Right ? R.right - FrameWidthOf(m) : R.left;
        const int y = Bottom ? R.bottom - FrameHeightOf(m) : R.top;
        DrawMaskGlyph(Bmp, Point(x, y), State, m, 1);
    };
    corner("IMGTOPLEFT", false, false);
    corner("IMGTOPRIGHT", true, false);
    corner("IMGBTMLEFT", false, true);
    corner("IMGBTMRIGHT", true, true);
}

void DrawControlText(TCanvas* Canvas, const String& Text, bool Enabled, bool Hot, TqCommonData* Data, UINT Flags,
                     TRect R)
{
    if (!Canvas || !Data)
        return;
    TControl* control = Data->OwnerControl;
    if (control)
        Canvas->SetFont(control->Font());
    TqSkinManager* manager = Data->SkinManager();
    const bool skinned = manager && Data->IsSkinned(false);
    const TqGeneralData* s = skinned ? &manager->Skin().Sections[Data->SkinIndex] : nullptr;
    if (s && Hot && Data->SkinSection() == "WEBBUTTON") {
        TFontStyles style = Canvas->Font()->Style();
        Canvas->Font()->SetStyle(style.Include(TFontStyle::fsUnderline));
    }
    HDC dc = Canvas->Handle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, R.left, R.top, R.right, R.bottom);
    Canvas->Refresh();
    Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    const auto draw = [&](TColor Color, int DX, int DY, UINT More) {
        TRect r = Rect(R.left + DX, R.top + DY, R.right + DX, R.bottom + DY);
        if (Color != clSkinTransparent)
            Canvas->Font()->SetColor(Color);
        Canvas->DrawTextRect(Text, r, Flags | More);
    };
    if (!Enabled) {
        draw(s ? MixColors(static_cast<TColor>(ColorToRGB(s->FontColor)), static_cast<TColor>(ColorToRGB(s->Color)), 0.4)
               : clSkinTransparent,
             0, 0, 0);
    } else if (s) {
        if (!Data->CustomFont()) {
            const TColor contours[4] = {Hot ? s->HotTCLeft : s->TCLeft, Hot ? s->HotTCTop : s->TCTop,
                                        Hot ? s->HotTCRight : s->TCRight, Hot ? s->HotTCBottom : s->TCBottom};
            const int shifts[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
            for (int i = 0; i < 4; ++i)
                if (contours[i] != -1)
                    draw(contours[i], shifts[i][0], shifts[i][1], 0);
            draw(Hot ? s->HotFontColor : s->FontColor, 0, 0, DT_NOCLIP);
        } else {
            draw(clSkinTransparent, 0, 0, DT_NOCLIP);
        }
    } else {
        draw(clSkinTransparent, 0, 0, DT_NOCLIP);
    }
    RestoreDC(dc, saved);
    Canvas->Refresh();
}

void DrawControlTextEx(TCanvas* Canvas, const String& Text, bool Enabled, bool Hot, TqCommonData* Data, UINT Flags,
                       TRect R, int)
{
    DrawControlText(Canvas, Text, Enabled, Hot, Data, Flags, R);
}

void PaintCorners(TqCommonData* Data, int N, unsigned Corners)
{
    if (!Data || !Data->CacheBmp || !Data->OwnerControl)
        return;
    TqSkinManager* manager = Data->SkinManager();
    TControl* control = Data->OwnerControl;
    if (!manager || !manager->IsValidMaskIndex(Data->BorderIndex) || control->Width() <= 1 || control->Height() <= 1)
        return;
    TExchangeReset reset;
    TCacheInfo ci;
    Data->GetParentCache(ci);
    TWinControl* parent = control->Parent();
    if (!parent) {
        ExchangeColor = clSkinTransparent;
    } else if (!ci.Ready) {
        ExchangeColor = static_cast<TColor>(ColorToRGB(parent->Color()));
    } else if (SendControlCommand(parent, scmIsBgTextured, 0) != 0) {
        ExchangeColor = clSkinTransparent;
    } else if (ExchangeColor == clSkinTransparent) {
        QueryControlColor(parent);
    } else {
        ExchangeColor = clSkinTransparent;
    }

    const TqMaskData& source = manager->Skin().Masks[Data->BorderIndex];
    // An own picture without frame counts is three frames over their masks.
    TqMaskData frames;
    frames.R = source.R;
    frames.ImageCount = source.ImageCount;
    frames.MaskType = source.MaskType;
    frames.Manager = source.Manager;
    frames.WL = source.WL;
    frames.WT = source.WT;
    frames.WR = source.WR;
    frames.WB = source.WB;
    frames.BorderWidth = source.BorderWidth;
    TBitmap* picture = MaskSourceBitmap(source);
    if (source.ImageCount == 0 && source.Bmp) {
        frames.ImageCount = 3;
        frames.MaskType = 1;
        frames.R = Rect(0, 0, source.Bmp->Width(), source.Bmp->Height());
    }
    if (ExchangeColor == clSkinTransparent) {
        ci.X += control->Left();
        ci.Y += control->Top();
    } else {
        ExchangeParentColor = ExchangeColor;
        ci = EmptyCacheInfo;
    }
    const int fw = FrameWidthOf(frames);
    const int fh = FrameHeightOf(frames);
    const int sx = frames.R.left + std::clamp(N, 0, std::max<int>(frames.ImageCount, 1) - 1) * fw;
    const int sy = frames.R.top;
    const int wl = MaskEntryBorderLeft(frames);
    const int wr = MaskEntryBorderRight(frames);
    const int wt = frames.WT;
    const int wb = MaskEntryBorderBottom(frames);
    TBitmap* cache = Data->CacheBmp.get();
    const int w = cache->Width();
    const int h = cache->Height();
    const auto copy = [&](int SX, int SY, int W, int H, int DX, int DY) {
        if (W <= 0 || H <= 0)
            return;
        if (frames.MaskType == 1) {
            CopyMaskedPicturePart(Bounds(DX, DY, W, H), Bounds(SX, SY, W, H), cache, picture, fh, ci);
        } else {
            CopyMaskedRect(cache, picture, DX, true, ci, clSkinTransparent, Rect(SX, SY, SX + W - 1, SY + H - 1), DY);
        }
    };
    if (Corners & pcTopLeft)
        copy(sx, sy, wl, wt, 0, 0);
    if (Corners & pcBottomLeft)
        copy(sx, sy + fh - wb, wl, wb, 0, h - wb);
    if (Corners & pcTopRight)
        copy(sx + fw - wr, sy, wr, wt, w - wr, 0);
    if (Corners & pcBottomRight)
        copy(sx + fw - wr, sy + fh - wb, wr, wb, w - wr, h - wb);
}

void PaintAllCorners(TqCommonData* Data, int N)
{
    PaintCorners(Data, N, pcTopLeft | pcBottomLeft | pcTopRight | pcBottomRight);
}

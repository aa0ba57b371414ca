// The form skin provider's painting: the frame geometry, the frame cache
// (one image of the whole window built from the skin), its copy to the
// window on WM_NCPAINT and WM_PRINT, and the client background.
#include <algorithm>

#include "framework/Codepage.h"
#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinBroadcasts.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/engine/qSysUtils.h"
#include "skin/windows/qCtrlAdapter.h"
#include "skin/windows/qSkinProvider.h"

namespace {

// The icon size that fits a band of height H.
int IconSize(int H)
{
    if (H < 9)
        return 0;
    if (H <= 16)
        return 8;
    if (H <= 27)
        return 16;
    return 32;
}

}   // namespace

// ---- geometry ----

bool TqSkinProvider::Framed() const
{
    return FForm != nullptr && FForm->BorderStyle() != bsNone;
}

namespace {

// The frame metric of a form's border style: the thin one of forms that do
// not size, else the sizing one.
int FrameMetric(TFormBorderStyle Style, int Fixed, int Sizing)
{
    return GetSystemMetrics(Style == bsSingle || Style == bsDialog || Style == bsToolWindow ? Fixed : Sizing);
}

}   // namespace

int TqSkinProvider::FW() const
{
    return Framed() ? FrameMetric(FForm->BorderStyle(), SM_CXDLGFRAME, SM_CXFRAME) : 0;
}

int TqSkinProvider::FH() const
{
    return Framed() ? FrameMetric(FForm->BorderStyle(), SM_CYDLGFRAME, SM_CYFRAME) : 0;
}

int TqSkinProvider::CH() const
{
    const HWND wnd = FormWnd();
    if (!Framed() || wnd == nullptr || (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
        return 0;
    return GetSystemMetrics(FForm->BorderStyle() == bsToolWindow ? SM_CYSMCAPTION : SM_CYCAPTION);
}

int TqSkinProvider::FormWidth() const
{
    RECT r{};
    if (Iconic() && GetWindowRect(FormWnd(), &r))
        return r.right - r.left;
    return FForm->Width();
}

bool TqSkinProvider::WindowAndClient(RECT& Window, RECT& Client) const
{
    const HWND wnd = FormWnd();
    return wnd != nullptr && GetWindowRect(wnd, &Window) && GetClientRect(wnd, &Client);
}

int TqSkinProvider::TitleAreaHeight() const
{
    RECT w{}, c{};
    if (!WindowAndClient(w, c))
        return 0;
    int h = (w.bottom - w.top) - c.bottom;
    if (CH() > 0)
        h -= FH() + BW();
    h = std::max(h, 0);
    if (Iconic())
        h += FH();
    return h - SkinnedBarSize(false);
}

int TqSkinProvider::ClientOffsetX() const
{
    RECT w{}, c{};
    if (!WindowAndClient(w, c))
        return 0;
    return ((w.right - w.left) - c.right - SkinnedBarSize(true)) / 2;
}

int TqSkinProvider::ClientOffsetY() const
{
    RECT w{}, c{};
    if (!WindowAndClient(w, c))
        return 0;
    return (w.bottom - w.top) - c.bottom - (CH() > 0 ? FrameOffset() : 0) - SkinnedBarSize(false);
}

int TqSkinProvider::ButtonsWidth()
{
    const int space = Manager() != nullptr ? Manager()->SkinData().BISpace : 0;
    int width = 0;
    if ((FForm->BorderIcons() & biSystemMenu) != 0 && FSystemMenu) {
        width += ButtonWidth(FButtons[2].MaskIndex) + space;
        if (FSystemMenu->MaxVisible())
            width += ButtonWidth(FButtons[1].MaskIndex) + space;
        if (FSystemMenu->MinVisible())
            width += ButtonWidth(FButtons[0].MaskIndex) + space;
    }
    for (int i = 0; i < FTitleButtons->Count(); ++i)
        width += UserButtonWidth(FTitleButtons->Items(i)) + space;
    return width;
}

int TqSkinProvider::TitleIconWidth() const
{
    const TFormBorderStyle style = FForm->BorderStyle();
    if (!FShowAppIcon || (style != bsSingle && style != bsSizeable))
        return 0;
    return FTitleIcon->Width != 0 ? FTitleIcon->Width : IconSize(CH());
}

int TqSkinProvider::TitleIconHeight() const
{
    const TFormBorderStyle style = FForm->BorderStyle();
    if (!FShowAppIcon || (style != bsSingle && style != bsSizeable))
        return 0;
    return FTitleIcon->Height != 0 ? FTitleIcon->Height : IconSize(CH());
}

TRect TqSkinProvider::TitleIconRect() const
{
    TRect r;
    r.left = FW();
    r.right = r.left + TitleIconWidth();
    r.top = (CH() + FH() - TitleIconHeight()) / 2;
    r.bottom = r.top + TitleIconHeight();
    return r;
}

// ---- the frame cache ----

int TqSkinProvider::TitleSectionIndex(String* Name) const
{
    const String name = FTitleSkin.empty() ? String("FORMTITLE") : FTitleSkin;
    if (Name != nullptr)
        *Name = name;
    return Manager() != nullptr ? Manager()->FindSectionIndex(name) : -1;
}

int TqSkinProvider::TitleBarWidth(int MaskIndex)
{
    const TqMaskData& mask = Manager()->Skin().Masks[static_cast<std::size_t>(MaskIndex)];
    const int part = mask.Bmp ? mask.Bmp->Width() / 9 * 2
                              : RectWidth(mask.R) / (std::max<int>(mask.ImageCount, 1) * 3) * 2;
    return part + ButtonsWidth();
}

void TqSkinProvider::PaintFormFrame()
{
    if (FForm == nullptr || FormCreating() || Manager() == nullptr)
        return;
    TqCommonData* data = FSkinData.get();
    TqSkinManager* manager = Manager();
    const int width = FormWidth();
    const TRect R = Iconic() ? TRect{0, 0, width, TitleHeight() + 1} : TRect{0, 0, width, FForm->Height()};
    if (!data->BGChanged)
        return;
    const bool reserved = manager->IsValidSkinIndex(data->SkinIndex) &&
                          manager->Skin().Sections[static_cast<std::size_t>(data->SkinIndex)].ReservedBoolean;
    TBitmap* cache = data->CacheBmp.get();
    if (!FMenuChanged && reserved && FTitleAreaCopy && FTitleAreaCopy->Width() == width &&
        cache->Height() == FForm->Height() && CH() > 0) {
        BitBlt(cache->Canvas()->Handle(), 0, 0, FTitleAreaCopy->Width(), FTitleAreaCopy->Height(),
               FTitleAreaCopy->Canvas()->Handle(), 0, 0, SRCCOPY);
        RepaintTitle(MakeCacheInfo(cache, 0, 0), TRect{0, 0, FTitleAreaCopy->Width(), FTitleAreaCopy->Height()});
        FFramePaintedOnce = true;
        data->BGChanged = false;
        data->Updating = false;
        return;
    }
    FRegionChanged = true;
    cache->SetSize(width, FForm->Height());
    if (manager->IsValidSkinIndex(data->SkinIndex)) {
        const int state = FFormActive ? 1 : 0;
        if (CH() > 0)
            PaintControlSection(data, EmptyCacheInfo, true, false, cache, TPoint{0, 0}, R, state);
        else
            PaintSectionBackground(data->SkinIndex, data->SkinSection(), EmptyCacheInfo, state, R, TPoint{0, 0},
                                   cache, manager);
        if (GripMode == gmRightBottom) {
            const int grip = GlobalMask("GRIPIMAGE");
            if (grip >= 0) {
                const TqMaskData& mask = manager->Skin().Masks[static_cast<std::size_t>(grip)];
                const TPoint at = mask.Bmp ? TPoint{cache->Width() - mask.Bmp->Width() / 3 - FW(),
                                                    cache->Height() - mask.Bmp->Height() / 2 - FH()}
                                           : TPoint{cache->Width() - RectWidth(mask.R) /
                                                                         std::max<int>(mask.ImageCount, 1) - FW(),
                                                    cache->Height() - RectHeight(mask.R) / (mask.MaskType + 1) - FH()};
                DrawMaskGlyph(cache, at, 0, mask, 1);
            }
        }
        if (reserved && !(FTitleAreaCopy && FTitleAreaCopy->Width() == width))
            SaveTitleBackground();
        const TCacheInfo ci = MakeCacheInfo(cache, ClientOffsetX(), ClientOffsetY());
        if (CH() > 0) {
            String titleName;
            const int title = TitleSectionIndex(&titleName);
            if (title >= 0)
                PaintSectionWithBorder(title, titleName, ci, -1, -1, manager, cache, TPoint{0, 0},
                                       TRect{0, 0, R.right, Iconic() ? R.bottom : TitleHeight()}, state, true);
            PaintTitleParts(ci, cache->Width(), TitleHeight(), 0);
        }
        PaintMenuLine(ci);
    }
    FMenuChanged = false;
    if (FForm->OnPaint) {
        // The form's own painting becomes part of the cache, at client
        // coordinates.
        TCanvas* canvas = FForm->Canvas();
        const HDC own = canvas->HandleAllocated() ? canvas->Handle() : nullptr;
        const HDC dc = cache->Canvas()->Handle();
        const int saved = SaveDC(dc);
        SetWindowOrgEx(dc, -ClientOffsetX(), -ClientOffsetY(), nullptr);
        canvas->SetHandle(dc);
        FForm->OnPaint(FForm);
        canvas->SetHandle(own);
        RestoreDC(dc, saved);
    }
    FFramePaintedOnce = true;
    data->BGChanged = false;
    data->Updating = false;
}

void TqSkinProvider::PaintCaptionText(TRect R)
{
    if (R.right <= R.left || R.bottom <= R.top)
        return;
    TCanvas* canvas = FSkinData->CacheBmp->Canvas();
    canvas->SetFont(FForm->Font());
    canvas->Font()->SetStyle(canvas->Font()->Style() + TFontStyles{TFontStyle::fsBold});
    canvas->Font()->SetHeight(CaptionFontHeight());
    const String caption = FForm->Caption();
    const WideString text = StrToWide(caption);
    SIZE extent{};
    GetTextExtentPoint32W(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &extent);
    R.top += (RectHeight(R) - extent.cy) / 2;
    R.bottom = R.top + extent.cy;
    DrawSectionText(canvas, caption, FForm->Enabled(), Manager(), FFormActive, TitleSectionIndex(),
                    TextAlignFlags(FForm, FCaptionAlignment) | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, R);
}

void TqSkinProvider::RepaintTitle(const TCacheInfo& CI, TRect Q)
{
    TqSkinManager* manager = Manager();
    TBitmap* cache = FSkinData->CacheBmp.get();
    const int state = FFormActive ? 1 : 0;
    String titleName;
    const int title = TitleSectionIndex(&titleName);
    if (title >= 0)
        PaintSectionWithBorder(title, titleName, CI, -1, -1, manager, cache, TPoint{0, 0},
                               TRect{0, 0, Q.right, Q.bottom}, state, true);
    PaintTitleParts(CI, Q.right, Q.bottom, Q.top);
}

void TqSkinProvider::PaintTitleParts(const TCacheInfo& CI, int Right, int Bottom, int CaptionTop)
{
    // The icon, the TITLEBAR mask behind the buttons (Right and Bottom end
    // it), the strip under the buttons kept for repainting one button
    // alone, the buttons and the caption.
    TBitmap* cache = FSkinData->CacheBmp.get();
    PaintTitleIcon();
    if ((FForm->BorderIcons() & biSystemMenu) != 0 && FSystemMenu) {
        const int bar = FormMask("TITLEBAR");
        if (bar >= 0)
            PaintMaskedImage(cache, TRect{Right - TitleBarWidth(bar), 0, Right, Bottom}, true, nullptr, false,
                             FFormActive ? 1 : 0, Manager()->Skin().Masks[static_cast<std::size_t>(bar)], CI);
    }
    const int stripWidth = ButtonsWidth() + FW();
    FTitleButtonBg->SetSize(stripWidth, TitleAreaHeight());
    BitBlt(FTitleButtonBg->Canvas()->Handle(), 0, 0, stripWidth, TitleAreaHeight(), cache->Canvas()->Handle(),
           FormWidth() - stripWidth - 1, 0, SRCCOPY);
    PaintTitleButtons();
    PaintCaptionText(TRect{TitleIconWidth() + FW() + 4, FH() + CaptionTop, FormWidth() - ButtonsWidth() - 6, CH()});
}

void TqSkinProvider::SaveTitleBackground()
{
    TBitmap* cache = FSkinData->CacheBmp.get();
    FTitleAreaCopy = NewBitmap24(cache->Width(), CH() + FH());
    BitBlt(FTitleAreaCopy->Canvas()->Handle(), 0, 0, cache->Width(), CH() + FH(), cache->Canvas()->Handle(), 0, 0,
           SRCCOPY);
}

void TqSkinProvider::PaintTitleIcon()
{
    const TRect r = TitleIconRect();
    if (TitleIconWidth() == 0 || TitleIconHeight() == 0)
        return;
    TBitmap* cache = FSkinData->CacheBmp.get();
    if (!FTitleIcon->Glyph()->Empty()) {
        const int w = FTitleIcon->Width != 0 ? FTitleIcon->Width : IconSize(TitleAreaHeight() - 2);
        const int h = FTitleIcon->Height != 0 ? FTitleIcon->Height : IconSize(TitleAreaHeight() - 2);
        auto glyph = NewBitmap24(w, h);
        FillDCRect(glyph->Canvas()->Handle(), TRect{0, 0, w, h}, clSkinTransparent);
        TBitmap* source = FTitleIcon->Glyph();
        StretchBlt(glyph->Canvas()->Handle(), 0, 0, w, h, source->Canvas()->Handle(), 0, 0, source->Width(),
                   source->Height(), SRCCOPY);
        CopyBitmapTransparent(cache, glyph.get(), r.left, clSkinTransparent, r.top);
        return;
    }
    // The framework's forms and application carry no icon of their own:
    // the program's shell icon, else the system's application icon.
    const int side = CH() - r.top;
    const int w = FTitleIcon->Width != 0 ? FTitleIcon->Width : side;
    const int h = FTitleIcon->Height != 0 ? FTitleIcon->Height : side;
    HICON icon = h > 16 && ProgramLargeIcon() != nullptr ? ProgramLargeIcon() : ProgramSmallIcon();
    const HDC dc = cache->Canvas()->Handle();
    if (icon != nullptr)
        DrawIconEx(dc, r.left, r.top, icon, w, h, 0, nullptr, DI_NORMAL);
    else
        DrawIconEx(dc, r.left, r.top, LoadIconW(nullptr, IDI_APPLICATION), TitleIconWidth(), TitleIconHeight(), 0,
                   nullptr, DI_NORMAL);
}

void TqSkinProvider::PaintFrameToDC(HDC DC)
{
    TqCommonData* data = FSkinData.get();
    if (data->BGChanged) {
        const bool reserved = Manager() != nullptr && Manager()->IsValidSkinIndex(data->SkinIndex) &&
                              Manager()->Skin().Sections[static_cast<std::size_t>(data->SkinIndex)].ReservedBoolean;
        const bool fast = !FMenuChanged && reserved && FTitleAreaCopy && FTitleAreaCopy->Width() == FormWidth() &&
                          data->CacheBmp->Height() == FForm->Height() && Framed();
        if (!fast)
            FGraphicControlsStale = !FFramePaintedOnce;
        PaintFormFrame();
        data->BGChanged = false;
        data->Updating = false;
    }
    TBitmap* cache = data->CacheBmp.get();
    const HDC src = cache->Canvas()->Handle();
    const int top0 = FH() + CH() + (Iconic() ? 1 : 0) + (MenuVisible() ? MenuRowCount() * MenuItemHeight() : 0);
    const int formW = FForm->Width();
    const int formH = FForm->Height();
    BitBlt(DC, 0, 0, formW, TitleAreaHeight(), src, 0, 0, SRCCOPY);
    BitBlt(DC, 0, top0 + BW(), FW() + BW(), cache->Height(), src, 0, top0 + BW(), SRCCOPY);
    BitBlt(DC, FrameOffset(), formH - FrameOffset(), formW - FrameOffset(), FrameOffset(), src, FW() + BW(),
           formH - FH() - BW(), SRCCOPY);
    BitBlt(DC, cache->Width() - FW() - BW(), top0 + BW(), FH() + BW(), cache->Height(), src,
           cache->Width() - FW() - BW(), top0 + BW(), SRCCOPY);
}

void TqSkinProvider::PaintNonClient(HDC DC)
{
    const bool thick = (GetWindowLongPtrW(FormWnd(), GWL_STYLE) & WS_THICKFRAME) != 0;
    if (Framed() || !thick) {
        PaintFrameToDC(DC);
        return;
    }
    // A form without a border style that sizes: a ring as thick as the
    // sizing edge, from the cache.
    PaintFormFrame();
    TBitmap* cache = FSkinData->CacheBmp.get();
    const HDC src = cache->Canvas()->Handle();
    const int d = BW() + 3;
    const int w = FForm->Width();
    const int h = FForm->Height();
    BitBlt(DC, 0, 0, w, d, src, 0, 0, SRCCOPY);
    BitBlt(DC, 0, d, d, cache->Height(), src, 0, d, SRCCOPY);
    BitBlt(DC, d, h - d, w - d, d, src, d, cache->Height() - d, SRCCOPY);
    BitBlt(DC, cache->Width() - d, d, d, cache->Height(), src, cache->Width() - d, d, SRCCOPY);
}

void TqSkinProvider::PaintClient()
{
    const HWND wnd = FormWnd();
    PAINTSTRUCT ps{};
    const HDC dc = BeginPaint(wnd, &ps);
    const int saved = SaveDC(dc);
    TqCommonData* data = FSkinData.get();
    data->Updating = data->IsUpdating();
    if (!FShowAnimation && !data->Updating && !FormGoing())
        PaintClientBackground(dc, true);
    RestoreDC(dc, saved);
    EndPaint(wnd, &ps);
}

void TqSkinProvider::PaintClientBackground(HDC DC, bool RepaintControls)
{
    TqCommonData* data = FSkinData.get();
    if (data->PaintingChild != nullptr) {
        TControl* child = data->PaintingChild;
        if (child->Parent() != FForm)
            return;
        const int saved = SaveDC(DC);
        OffsetWindowOrgEx(DC, -child->Left(), -child->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, child->Width(), child->Height());
        auto temp = NewBitmap24(child->Width(), child->Height());
        BitBlt(temp->Canvas()->Handle(), 0, 0, child->Width(), child->Height(), data->CacheBmp->Canvas()->Handle(),
               child->Left() + ClientOffsetX(), child->Top() + ClientOffsetY(), SRCCOPY);
        if ((child->ControlStyle & csOpaque) != 0) {
            child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        } else {
            child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(temp->Canvas()->Handle()), 0);
            BitBlt(DC, 0, 0, child->Width(), child->Height(), temp->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
        RestoreDC(DC, saved);
        return;
    }
    if (!data->ParentBgForced)
        PaintFormFrame();
    CopyCacheExceptChildren(FForm, data, TRect{FW() + BW(), ClientOffsetY(), 0, 0}, 0, 0, false, DC,
                            TRect{0, 0, FForm->Width(), FForm->Height()});
    // The window-less controls are always painted: the cache copy above
    // leaves out their rectangles, so one that invalidated itself (a new
    // caption, a new colour) would show stale pixels otherwise. Only those
    // inside the DC's clip are painted.
    PaintGraphicControls(DC, FForm, TPoint{0, 0});
    if (RepaintControls) {
        RepaintChildControls(FForm);
        if (FAdapter) {
            TMessage finish{SM_ZORVIKCMD, SkinCommandWParam(scmFinishUpdate), 0, 0};
            FAdapter->SendToItems(finish);
        }
    }
    FGraphicControlsStale = false;
}

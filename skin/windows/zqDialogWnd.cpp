// The skinned dialog frame: metrics, title buttons, the frame cache and its
// copy to the window, the client background and the hit test.
#include "skin/windows/zqDialogWnd.h"

#include <algorithm>

#include "framework/Codepage.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/qSkinableMenus.h"
#include "skin/windows/zqProvider.h"

bool DialogButtonPressed = false;
bool DialogRegionBusy = false;

namespace {

constexpr int InvalidButtonSide = 21;

int Metric(int Index)
{
    return GetSystemMetrics(Index);
}

// The visible skinned bar's thickness (0 when it takes no room).
int BarRoom(const std::unique_ptr<TzqScrollBar>& Bar)
{
    return Bar && Bar->Shown ? ScrollBarPartSize(Bar.get(), 1, false) : 0;
}

// Glyph size of a mask: frames side by side (own bitmap: 3 x 2 for a grip).
TPoint GripSize(const TqMaskData& Mask)
{
    if (Mask.Bmp)
        return TPoint{Mask.Bmp->Width() / 3, Mask.Bmp->Height() / 2};
    return TPoint{RectWidth(Mask.R) / std::max<int>(Mask.ImageCount, 1), RectHeight(Mask.R) / (Mask.MaskType + 1)};
}

void CopyBitmapRect(TBitmap* To, int X, int Y, TBitmap* From, TRect Source)
{
    BitBlt(To->Canvas()->Handle(), X, Y, RectWidth(Source), RectHeight(Source), From->Canvas()->Handle(), Source.left,
           Source.top, SRCCOPY);
}

}   // namespace

WideString GetWindowCaption(HWND Wnd)
{
    const int length = GetWindowTextLengthW(Wnd);
    WideString text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(Wnd, text.data(), length + 1), 0)));
    return text;
}

// ---- creation ----

TzqDialogWnd::TzqDialogWnd() : ButtonStrip(std::make_unique<TBitmap>(0, 0, TPixelFormat::pf24bit))
{
    SystemMenu = std::make_unique<TzqSystemMenu>(nullptr);
    SystemMenu->DialogWnd = this;
    SystemMenu->UpdateItems();
    TqSkinManager* def = TqSkinManager::DefaultManager();
    if (def && def->SkinnedPopups())
        if (auto* painter = dynamic_cast<TqSkinableMenus*>(def->SkinableMenus()))
            painter->HookMenuItems(SystemMenu.get(), true);
}

TzqDialogWnd::~TzqDialogWnd()
{
    IconBitmap.reset();
    ButtonStrip.reset();
    SystemMenu.reset();
    if (CaptionFont)
        DeleteObject(CaptionFont);
    if (FBrush)
        DeleteObject(FBrush);
}

void TzqDialogWnd::GiveBackFrame()
{
    if (Detached || !WindowIsOurs())
        return;
    if (SavedStyle & WS_SYSMENU)
        SetWindowLongPtrW(WndHandle, GWL_STYLE, GetWindowLongPtrW(WndHandle, GWL_STYLE) | WS_SYSMENU);
    SetWindowRgn(WndHandle, nullptr, FALSE);
}

void TzqDialogWnd::BeforeDestruction()
{
    const bool ours = !Detached && WindowIsOurs();
    GiveBackFrame();
    TzqScrollWnd::BeforeDestruction();
    if (ours && IsWindowVisible(WndHandle))
        RedrawWindow(WndHandle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

HBRUSH TzqDialogWnd::DialogBrush(TColor Color)
{
    if (!FBrush || FBrushColor != Color) {
        if (FBrush)
            DeleteObject(FBrush);
        FBrush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color)));
        FBrushColor = Color;
    }
    return FBrush;
}

void TzqDialogWnd::InitFrame()
{
    SavedStyle = static_cast<DWORD>(GetWindowLongPtrW(WndHandle, GWL_STYLE));
    SavedExStyle = static_cast<DWORD>(GetWindowLongPtrW(WndHandle, GWL_EXSTYLE));
    FrameKind = fkSizing;
    if ((SavedStyle & WS_POPUP) && (SavedStyle & WS_CAPTION) != WS_CAPTION)
        FrameKind = fkNone;
    else if (SavedStyle & WS_THICKFRAME)
        FrameKind = fkSizing;
    else if (SavedStyle & DS_MODALFRAME)
        FrameKind = fkDialog;
    MakeIconBitmap();
    MakeCaptionFont();
    SetWindowLongPtrW(WndHandle, GWL_STYLE, static_cast<LONG_PTR>(SavedStyle & ~static_cast<DWORD>(WS_SYSMENU)));
    if (SystemMenu)
        SystemMenu->UpdateItems();
}

void TzqDialogWnd::MakeIconBitmap()
{
    IconBitmap.reset();
    WindowIcon = reinterpret_cast<HICON>(SendMessageW(WndHandle, WM_GETICON, ICON_SMALL, 0));
    if (!WindowIcon)
        WindowIcon = reinterpret_cast<HICON>(SendMessageW(WndHandle, WM_GETICON, ICON_BIG, 0));
    if (!WindowIcon)
        return;
    const int cx = Metric(SM_CXSMICON);
    const int cy = Metric(SM_CYSMICON);
    IconBitmap = std::make_unique<TBitmap>(cx, cy, TPixelFormat::pf24bit);
    const HDC dc = IconBitmap->Canvas()->Handle();
    const HBRUSH back = CreateSolidBrush(RGB(0xFF, 0x00, 0xFF));
    const RECT all{0, 0, cx, cy};
    FillRect(dc, &all, back);
    DeleteObject(back);
    if (const HICON copy = static_cast<HICON>(CopyImage(WindowIcon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE))) {
        DrawIconEx(dc, 0, 0, copy, cx, cy, 0, nullptr, DI_NORMAL);
        DestroyIcon(copy);
    }
}

void TzqDialogWnd::MakeCaptionFont()
{
    // Wine writes 500 bytes whatever cbSize says: the whole structure is passed.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return;
    if (const HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont)) {
        if (CaptionFont)
            DeleteObject(CaptionFont);
        CaptionFont = font;
    }
}

// ---- metrics ----

int TzqDialogWnd::BorderWidth() const
{
    return FrameKind == fkNone ? 0 : Metric(FrameKind == fkDialog ? SM_CXDLGFRAME : SM_CXFRAME);
}

int TzqDialogWnd::BorderHeight() const
{
    return FrameKind == fkNone ? 0 : Metric(FrameKind == fkDialog ? SM_CYDLGFRAME : SM_CYFRAME);
}

int TzqDialogWnd::CaptionHeight() const
{
    if (FrameKind == fkNone || (SavedStyle & WS_CAPTION) != WS_CAPTION)
        return 0;
    return Metric(SM_CYCAPTION);
}

namespace {

TPoint ClientSize(HWND Wnd)
{
    RECT r{};
    GetClientRect(Wnd, &r);
    return TPoint{r.right, r.bottom};
}

}   // namespace

int TzqDialogWnd::TitleHeight() const
{
    int h = H - ClientSize(WndHandle).y;
    if ((GetWindowLongPtrW(WndHandle, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
        h -= BorderHeight();
    h = std::max(h, 0);
    if (Iconic())
        h += BorderHeight();
    return h - BarRoom(HorzBar);
}

int TzqDialogWnd::ClientLeftOffset() const
{
    return (W - ClientSize(WndHandle).x - BarRoom(VertBar)) / 2;
}

int TzqDialogWnd::ClientTopOffset() const
{
    return H - ClientSize(WndHandle).y - (CaptionHeight() != 0 ? BorderHeight() : 0) - BarRoom(HorzBar);
}

int TzqDialogWnd::ButtonWidth(const TzqDialogButton& B) const
{
    TqSkinManager* m = LiveManager();
    if (!m || !m->IsValidMaskIndex(B.ImageIndex))
        return InvalidButtonSide;
    const TqMaskData& mask = m->Skin().Masks[static_cast<std::size_t>(B.ImageIndex)];
    const int width = mask.Bmp ? mask.Bmp->Width() : RectWidth(mask.R);
    return width / std::max<int>(mask.ImageCount, 1);
}

int TzqDialogWnd::ButtonHeight(const TzqDialogButton& B) const
{
    TqSkinManager* m = LiveManager();
    if (!m || !m->IsValidMaskIndex(B.ImageIndex))
        return InvalidButtonSide;
    const TqMaskData& mask = m->Skin().Masks[static_cast<std::size_t>(B.ImageIndex)];
    return mask.Bmp ? mask.Bmp->Height() / 2 : RectHeight(mask.R) / (mask.MaskType + 1);
}

int TzqDialogWnd::ButtonsWidth() const
{
    if (!Has(WS_SYSMENU))
        return 0;
    int w = ButtonWidth(Close);
    if (Has(WS_MAXIMIZEBOX))
        w += ButtonWidth(Maximize);
    if (Has(WS_MINIMIZEBOX))
        w += ButtonWidth(Minimize);
    if (SavedExStyle & WS_EX_CONTEXTHELP)
        w += ButtonWidth(Help);
    return w;
}

bool TzqDialogWnd::CloseEnabled() const
{
    return (GetClassLongPtrW(WndHandle, GCL_STYLE) & CS_NOCLOSE) == 0;
}

bool TzqDialogWnd::MaxEnabled() const
{
    return Has(WS_MAXIMIZEBOX) && !Zoomed() && FrameKind == fkSizing;
}

bool TzqDialogWnd::MinEnabled() const
{
    return Has(WS_MINIMIZEBOX) && !Iconic();
}

bool TzqDialogWnd::RestoreEnabled() const
{
    return Has(WS_MAXIMIZEBOX) && (Iconic() || Zoomed());
}

// ---- skin lookups ----

int TzqDialogWnd::SectionIndex() const
{
    return SkinData ? SkinData->SkinIndex : -1;
}

int TzqDialogWnd::GlobalMask(const String& Name) const
{
    TqSkinManager* m = LiveManager();
    return m ? m->FindMaskIndex(m->FindSectionIndex("GLOBALINFO"), "GLOBALINFO", Name) : -1;
}

int TzqDialogWnd::OwnMask(const String& Name) const
{
    TqSkinManager* m = LiveManager();
    return m ? m->FindMaskIndex(SectionIndex(), "FORM", Name) : -1;
}

void TzqDialogWnd::LoadTitleButtonIndexes()
{
    TqSkinManager* m = LiveManager();
    if (!m || !m->IsValidSkinIndex(m->FindSectionIndex("GLOBALINFO")))
        return;
    if (GlobalMask("BICONCLOSE") < 0) {
        Minimize.ImageIndex = OwnMask("BICONMIN");
        Maximize.ImageIndex = OwnMask("BICONMAX");
        Close.ImageIndex = OwnMask("BICONCLOSE");
        Help.ImageIndex = OwnMask("BICONHELP");
        return;
    }
    if (FrameKind == fkSizing) {
        Minimize.ImageIndex = GlobalMask("BICONMIN");
        Maximize.ImageIndex = GlobalMask("BICONMAX");
        Close.ImageIndex = GlobalMask("BICONCLOSE");
        Help.ImageIndex = GlobalMask("BICONHELP");
    } else {
        Close.ImageIndex = GlobalMask("SICONCLOSE");
        Minimize.ImageIndex = GlobalMask("SICONMIN");
        Maximize.ImageIndex = GlobalMask("SICONMAX");
        Help.ImageIndex = GlobalMask("SICONHELP");
        if (Help.ImageIndex < 0)
            Help.ImageIndex = GlobalMask("BICONHELP");
    }
    if (Close.ImageIndex < 0) {
        Minimize.ImageIndex = GlobalMask("BICONMIN");
        Maximize.ImageIndex = GlobalMask("BICONMAX");
        Close.ImageIndex = GlobalMask("BICONCLOSE");
        Help.ImageIndex = GlobalMask("BICONHELP");
    }
}

TzqDialogButton* TzqDialogWnd::ButtonOf(int Code)
{
    switch (Code) {
    case HTMINBUTTON: return &Minimize;
    case HTMAXBUTTON: return &Maximize;
    case HTCLOSE: return &Close;
    case HTHELP: return &Help;
    default: return nullptr;
    }
}

// ---- the cache ----

void TzqDialogWnd::RefreshGeometry()
{
    RECT r{};
    GetWindowRect(WndHandle, &r);
    WindowRect = r;
    W = r.right - r.left;
    H = r.bottom - r.top;
    ReadWindowGeometry(WndHandle, this);
    CaptionText = WideToStr(GetWindowCaption(WndHandle));
}

void TzqDialogWnd::PrepareCache()
{
    TqSkinManager* m = LiveManager();
    if (!SkinData || !m || !SkinData->BGChanged)
        return;
    RegionDirty = true;
    SkinData->PrepareCacheBitmap();
    TBitmap* cache = SkinData->CacheBmp.get();
    cache->SetSize(std::max(W, 1), std::max(H, 1));
    const int state = Active ? 1 : 0;
    const TCacheInfo none{};
    if (m->IsValidSkinIndex(SectionIndex()))
        PaintControlSection(SkinData, none, true, false, cache, TPoint{0, 0}, Rect(0, 0, W, H), state);
    const int bw = BorderWidth();
    const int bh = BorderHeight();
    if (FrameKind == fkSizing) {
        const int grip = GlobalMask("GRIPIMAGE");
        if (m->IsValidMaskIndex(grip)) {
            const TqMaskData& mask = m->Skin().Masks[static_cast<std::size_t>(grip)];
            const TPoint size = GripSize(mask);
            DrawMaskGlyph(cache, TPoint{cache->Width() - size.x - bw, cache->Height() - size.y - bh}, 0, mask, 1);
        }
    }
    const int ch = CaptionHeight();
    if (ch != 0) {
        const TCacheInfo ci = MakeCacheInfo(cache, ClientLeftOffset(), ClientTopOffset());
        const int title = m->FindSectionIndex("FORMTITLE");
        if (m->IsValidSkinIndex(title))
            PaintSectionWithBorder(title, "FORMTITLE", ci, -1, -1, m, cache, TPoint{0, 0},
                                   Rect(0, 0, W, Iconic() ? H : ch + bh), state, true);
        // The title icon: the window's own, else the application's.
        if (WindowIcon) {
            const int cx = Metric(SM_CXSMICON);
            const int cy = Metric(SM_CYSMICON);
            if (const HICON copy = static_cast<HICON>(CopyImage(WindowIcon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE))) {
                DrawIconEx(cache->Canvas()->Handle(), bw, (ch + bh - cy) / 2, copy, cx, cy, 0, nullptr, DI_NORMAL);
                DestroyIcon(copy);
            }
        }
        const int bar = OwnMask("TITLEBAR");
        if (Has(WS_SYSMENU) && m->IsValidMaskIndex(bar)) {
            const TqMaskData& mask = m->Skin().Masks[static_cast<std::size_t>(bar)];
            const int column = mask.Bmp ? mask.Bmp->Width() / 9
                                        : RectWidth(mask.R) / (std::max<int>(mask.ImageCount, 1) * 3);
            const int s = 2 * column + ButtonsWidth();
            PaintMaskedImage(cache, Rect(W - s, 0, cache->Width(), ch + bh), true, nullptr, false, state, mask, ci);
        }
        // The clean background under the buttons, for repainting one button.
        const int stripW = ButtonsWidth() + bw;
        const int stripH = TitleHeight();
        if (stripW > 0 && stripH > 0) {
            ButtonStrip->SetSize(stripW, stripH);
            CopyBitmapRect(ButtonStrip.get(), 0, 0, cache, Rect(W - stripW - 1, 0, W - 1, stripH));
        }
        PaintTitleButtons();
        // The caption text.
        TCanvas* canvas = cache->Canvas();
        if (CaptionFont)
            canvas->Font()->SetHandle(CaptionFont);
        const int iconW = WindowIcon ? Metric(SM_CXSMICON) : 0;
        const TRect text{iconW + bw + 4, bh, W - ButtonsWidth() - 6, ch};
        if (!CaptionText.empty() && text.right > text.left) {
            String shown;
            FitTextWithEllipsis(canvas, CaptionText, W - iconW - bw - ButtonsWidth() - 6, shown);
            DrawSectionText(canvas, shown, true, m, Active, title, DT_SINGLELINE | DT_VCENTER, text);
        }
    }
    SkinData->BGChanged = false;
}

void TzqDialogWnd::PlaceButton(TzqDialogButton& B, int& X, int Glyph, bool Enabled)
{
    const int w = ButtonWidth(B);
    const int h = ButtonHeight(B);
    B.Rect.right = X;
    B.Rect.left = X - w;
    B.Rect.top = (CaptionHeight() + BorderHeight() - h) / 2 + (h < 16 ? 2 : 0);
    B.Rect.bottom = B.Rect.top + h;
    X = B.Rect.left;
    TqSkinManager* m = LiveManager();
    if (m && m->IsValidMaskIndex(Glyph))
        DrawMaskGlyph(SkinData->CacheBmp.get(), TPoint{B.Rect.left, B.Rect.top}, B.State,
                      m->Skin().Masks[static_cast<std::size_t>(Glyph)], Active && Enabled ? 1 : 2);
}

void TzqDialogWnd::PaintTitleButtons()
{
    if (!Has(WS_SYSMENU))
        return;
    const auto normal = [this]() {
        const int global = GlobalMask("BICONNORM");
        return global >= 0 ? global : OwnMask("BICONNORM");
    };
    int x = W - BorderWidth();
    PlaceButton(Close, x, Close.ImageIndex, CloseEnabled());
    if (Has(WS_MAXIMIZEBOX))
        PlaceButton(Maximize, x, Zoomed() ? normal() : Maximize.ImageIndex, MaxEnabled() || RestoreEnabled());
    if (Has(WS_MINIMIZEBOX))
        PlaceButton(Minimize, x, Iconic() ? normal() : Minimize.ImageIndex, MinEnabled() || Iconic());
    if (SavedExStyle & WS_EX_CONTEXTHELP)
        PlaceButton(Help, x, Help.ImageIndex, true);
}

void TzqDialogWnd::RepaintButton(int Code)
{
    TzqDialogButton* b = ButtonOf(Code);
    TqSkinManager* m = LiveManager();
    if (!b || !m || !SkinData || !SkinData->CacheBmp || b->Rect.left <= Metric(SM_CXSMICON) + BorderHeight())
        return;
    TBitmap* cache = SkinData->CacheBmp.get();
    const int stripX = W - ButtonStrip->Width() - 1;
    CopyBitmapRect(cache, b->Rect.left, b->Rect.top, ButtonStrip.get(),
                   Rect(b->Rect.left - stripX, b->Rect.top, b->Rect.right - stripX, b->Rect.bottom));
    int glyph = b->ImageIndex;
    const auto lookup = [this](const char* Name) {
        const int global = GlobalMask(Name);
        return global >= 0 ? global : OwnMask(Name);
    };
    bool enabled = true;
    if (Code == HTMAXBUTTON) {
        enabled = MaxEnabled() || RestoreEnabled();
        if (Zoomed())
            glyph = lookup("BICONNORM");
        else if (Iconic())
            glyph = lookup("BICONMAX");
    } else if (Code == HTMINBUTTON) {
        enabled = MinEnabled() || Iconic();
        if (Iconic())
            glyph = lookup("BICONNORM");
    } else if (Code == HTCLOSE) {
        enabled = CloseEnabled();
    }
    if (m->IsValidMaskIndex(glyph)) {
        const bool faint = !enabled || (b->State == 0 && !Active);
        DrawMaskGlyph(cache, TPoint{b->Rect.left, b->Rect.top}, b->State,
                      m->Skin().Masks[static_cast<std::size_t>(glyph)], faint ? 2 : 1);
    }
    const HDC dc = GetWindowDC(WndHandle);
    BitBlt(dc, b->Rect.left, b->Rect.top, RectWidth(b->Rect), RectHeight(b->Rect), cache->Canvas()->Handle(),
           b->Rect.left, b->Rect.top, SRCCOPY);
    ReleaseDC(WndHandle, dc);
}

void TzqDialogWnd::SetHotButton(int Code, bool Repaint)
{
    if (Code == HotButton)
        return;
    if (TzqDialogButton* old = ButtonOf(HotButton)) {
        old->State = 0;
        if (Repaint)
            RepaintButton(HotButton);
    }
    HotButton = Code;
    if (TzqDialogButton* now = ButtonOf(Code))
        now->State = 1;
    DialogButtonPressed = false;
    if (Repaint)
        RepaintButton(Code);
}

void TzqDialogWnd::PressButton(int Code)
{
    if (Code == HTMAXBUTTON && !(MaxEnabled() || RestoreEnabled()))
        return;
    if (Code != HotButton) {
        if (TzqDialogButton* old = ButtonOf(HotButton)) {
            old->State = 0;
            RepaintButton(HotButton);
        }
        HotButton = Code;
    }
    if (TzqDialogButton* now = ButtonOf(Code))
        now->State = 2;
    DialogButtonPressed = true;
    RepaintButton(Code);
}

// ---- frame and client ----

void TzqDialogWnd::ApplyRegion()
{
    TqSkinManager* m = LiveManager();
    if (!m)
        return;
    CornerRects.clear();
    const int border = SkinData ? SkinData->BorderIndex : -1;
    if (m->IsValidMaskIndex(border)) {
        const TqMaskData& mask = m->Skin().Masks[static_cast<std::size_t>(border)];
        AddMaskCornerRects(CornerRects, W, mask, false, 0);
        AddMaskCornerRects(CornerRects, W, mask, true, H - mask.WB);
    }
    const int title = m->FindSectionIndex("FORMTITLE");
    if (m->IsValidSkinIndex(title)) {
        const int mask = m->FindMaskIndex(title, "FORMTITLE", "BORDERSMASK");
        if (m->IsValidMaskIndex(mask))
            AddMaskCornerRects(CornerRects, W, m->Skin().Masks[static_cast<std::size_t>(mask)], false, 0);
    }
    RegionDirty = false;
    if (DialogRegionBusy || FrameKind == fkNone || SendMessageW(WndHandle, 0xBC4D, 0x41A2, 0) == 0x41A2)
        return;
    DialogRegionBusy = true;
    HRGN region = CreateRectRgn(0, 0, W, H);
    for (const TRect& r : CornerRects) {
        HRGN hole = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(region, region, hole, RGN_DIFF);
        DeleteObject(hole);
    }
    // The window owns the region from here on.
    if (!SetWindowRgn(WndHandle, region, TRUE))
        DeleteObject(region);
}

void TzqDialogWnd::PaintFrame()
{
    if (Provider)
        Provider->WrapChildren(WndHandle);
    if (!SkinData)
        return;
    SkinData->Updating = SkinData->IsUpdating();
    if (SkinData->Updating)
        return;
    RefreshGeometry();
    if (!DialogRegionBusy && RegionDirty && (FrameKind != fkNone || (SavedStyle & WS_THICKFRAME)))
        ApplyRegion();
    PrepareCache();
    TBitmap* cache = SkinData->CacheBmp.get();
    if (!cache) {
        DialogRegionBusy = false;
        return;
    }
    const HDC dc = GetWindowDC(WndHandle);
    const int saved = SaveDC(dc);
    const HDC src = cache->Canvas()->Handle();
    const int cw = cache->Width();
    const int chh = cache->Height();
    if (FrameKind == fkNone) {
        if (SavedStyle & WS_THICKFRAME) {
            BitBlt(dc, 0, 0, W, 3, src, 0, 0, SRCCOPY);
            BitBlt(dc, 0, 3, 3, chh, src, 0, 3, SRCCOPY);
            BitBlt(dc, 3, H - 3, W - 3, 3, src, 3, H - 3, SRCCOPY);
            BitBlt(dc, cw - 3, 3, 3, chh, src, cw - 3, 3, SRCCOPY);
        }
    } else {
        const int bw = BorderWidth();
        const int bh = BorderHeight();
        const int y = bh + CaptionHeight() + (Iconic() ? 1 : 0);
        BitBlt(dc, 0, 0, W, TitleHeight(), src, 0, 0, SRCCOPY);
        BitBlt(dc, 0, y, bw, chh, src, 0, y, SRCCOPY);
        BitBlt(dc, cw - bw, y, bw, chh, src, cw - bw, y, SRCCOPY);
        BitBlt(dc, bh, H - bh, W - bh, bh, src, bw, H - bh, SRCCOPY);
    }
    RestoreDC(dc, saved);
    ReleaseDC(WndHandle, dc);
    DialogRegionBusy = false;
}

void TzqDialogWnd::PaintClient()
{
    PAINTSTRUCT ps{};
    BeginPaint(WndHandle, &ps);
    const HDC dc = GetDC(WndHandle);
    const int saved = SaveDC(dc);
    if (SkinData) {
        SkinData->Updating = SkinData->IsUpdating();
        if (!SkinData->Updating) {
            const int kind = Provider ? Provider->DialogKind : 0;
            if (kind == 1)
                ExcludeClipRect(dc, DialogKind1Rect.left, DialogKind1Rect.top, DialogKind1Rect.right,
                                DialogKind1Rect.bottom);
            else if (kind == 3)
                for (const TRect& r : DialogKind3Rects)
                    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
            if (W == 0)
                RefreshGeometry();
            PrepareCache();
            RECT client{};
            GetClientRect(WndHandle, &client);
            CopyCacheExceptChildWindows(WndHandle, SkinData, Rect(ClientLeftOffset(), ClientTopOffset(), 0, 0),
                                        -ClientTopOffset(), -ClientLeftOffset(), false, dc, client);
            RepaintChildWindows(WndHandle);
        }
    }
    RestoreDC(dc, saved);
    ReleaseDC(WndHandle, dc);
    EndPaint(WndHandle, &ps);
}

// ---- hit test ----

LRESULT TzqDialogWnd::HitTest(int X, int Y, LRESULT Default)
{
    RefreshGeometry();
    const int x = X - WindowRect.left;
    const int y = Y - WindowRect.top;
    const int bw = BorderWidth();
    const int bh = BorderHeight();
    const int ch = CaptionHeight();
    const int top = (ch + bh - ButtonHeight(Close)) / 2;
    // A dialog without a caption has no button row.
    const bool inRow = ch != 0 && y >= top && y <= top + ButtonHeight(Close);
    if (inRow && x >= bw && x <= bw + Metric(SM_CXSMICON)) {
        HotButton = HTSYSMENU;
        return HTSYSMENU;
    }
    if (inRow) {
        LRESULT answer = HTCAPTION;
        const auto holds = [x](const TzqDialogButton& B) { return x >= B.Rect.left && x <= B.Rect.right; };
        if (Has(WS_SYSMENU)) {
            if (holds(Close))
                answer = HTCLOSE;
            else if (Has(WS_MAXIMIZEBOX) && holds(Maximize))
                answer = MaxEnabled() || RestoreEnabled() ? HTMAXBUTTON : HTCAPTION;
            else if ((Has(WS_MINIMIZEBOX) || Iconic()) && holds(Minimize))
                answer = Iconic() || MinEnabled() ? HTMINBUTTON : HTCAPTION;
            else if ((SavedExStyle & WS_EX_CONTEXTHELP) && holds(Help))
                answer = HTHELP;
        }
        SetHotButton(answer == HTCAPTION ? 0 : static_cast<int>(answer), true);
        return answer;
    }
    if (FrameKind == fkSizing) {
        TqSkinManager* m = LiveManager();
        const int grip = GlobalMask("GRIPIMAGE");
        if (m && m->IsValidMaskIndex(grip)) {
            const TPoint size = GripSize(m->Skin().Masks[static_cast<std::size_t>(grip)]);
            if (x >= W - size.x - bw && y >= H - size.y - bh)
                return HTBOTTOMRIGHT;
        }
    }
    if (Zoomed() && (x < 2 || y < 2 || x >= W - 4 || y >= H - 4)) {
        SetHotButton(0, true);
        return HTERROR;
    }
    return Default;
}

void TzqDialogWnd::DropSystemMenu(int X, int Y)
{
    SetHotButton(0, true);
    if (!SystemMenu)
        return;
    SystemMenu->UpdateItems();
    SystemMenu->Popup(X, Y);
}

#include "skin/windows/zqBtnWnd.h"

#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/zqSimpleLayout.h"
#include "skin/windows/zqSimplePaint.h"

bool TzqBtnWnd::Pushed()
{
    return (SendMessageW(WndHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

int TzqBtnWnd::ButtonState()
{
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(WndHandle, GWL_STYLE));
    const bool focused = GetFocus() == WndHandle || IsHoveredWindow(*this);
    // A framework button keeps its kind in the style's low bits; a system
    // button likewise, where BS_DEFPUSHBUTTON is the only odd push style.
    const bool defaultButton = SkinData->OwnerControl != nullptr ? (style & 0xF) == BS_DEFPUSHBUTTON : (style & 1) != 0;
    return ButtonPaintState(Pushed(), IsWindowEnabled(WndHandle) != 0, focused, defaultButton);
}

UINT TzqBtnWnd::CaptionFlags()
{
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(WndHandle, GWL_STYLE));
    return (style & BS_MULTILINE) != 0 ? DT_CENTER | DT_EXPANDTABS : DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS;
}

int TzqBtnWnd::CaptionWidthLimit()
{
    if (CachedText.empty())
        return 0;
    int limit = WindowSize.x - 2;
    const TSize glyph = GlyphSize();
    if (glyph.cx > 0)
        limit -= glyph.cx + 2;
    return limit;
}

TSize TzqBtnWnd::CaptionSize()
{
    TRect r{0, 0, CaptionWidthLimit(), 0};
    TCanvas* canvas = SkinData->CacheBmp->Canvas();
    canvas->DrawTextRect(CachedText, r, CaptionFlags() | DT_CALCRECT);
    return TSize{r.right - r.left, r.bottom - r.top};
}

TRect TzqBtnWnd::CaptionRect()
{
    return ButtonCaptionRect(WindowSize.x, WindowSize.y, CaptionSize(), Pushed());
}

void TzqBtnWnd::DrawCaptionText(TRect R, UINT Flags)
{
    TCanvas* canvas = SkinData->CacheBmp->Canvas();
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    DrawControlTextEx(canvas, CachedText, IsWindowEnabled(WndHandle) != 0, ButtonState() != 0, SkinData, Flags, R, 0);
}

void TzqBtnWnd::PaintCaption()
{
    TCanvas* canvas = SkinData->CacheBmp->Canvas();
    if (SkinData->OwnerControl != nullptr)
        canvas->SetFont(SkinData->OwnerControl->Font());
    else if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(WndHandle, WM_GETFONT, 0, 0)); font != nullptr)
        canvas->Font()->SetHandle(font);
    const TRect r = CaptionRect();
    DrawCaptionText(r, CaptionFlags());
    const TqGeneralData* section = SectionOf(*this);
    const bool focused = (SendMessageW(WndHandle, BM_GETSTATE, 0, 0) & BST_FOCUS) != 0;
    if (IsWindowEnabled(WndHandle) && focused && !CachedText.empty() && section != nullptr && section->ShowFocus)
        DrawDottedFocusRect(canvas, Rect(r.left - 1, r.top - 1, r.right + 1, r.bottom + 1));
}

void TzqBtnWnd::PrepareCache()
{
    TCacheInfo parent;
    SkinData->GetParentCacheByHandle(WndHandle, parent);
    SkinData->PrepareCacheBitmap();
    ExchangeColor = clSkinTransparent;
    if (parent.Ready && !SkinData->NeedsParentBg())
        SendSkinCommand(ParentHandle, scmGetBgColor, 0);
    SkinData->CacheBmp->SetSize(WindowSize.x, WindowSize.y);
    const int state = ButtonState();
    const TPoint offset{OffsetInParent.x - parent.X, OffsetInParent.y - parent.Y};
    PaintControlSection(SkinData, parent, true, true, SkinData->CacheBmp.get(), offset,
                        Rect(0, 0, WindowSize.x, WindowSize.y), state);
    PaintWindowCorners(SkinData, state, this);
    PaintCaption();
    PaintGlyph();
    if (!IsWindowEnabled(WndHandle))
        MixWithParentCache(*this, parent);
    ExchangeColor = clSkinTransparent;
    ExchangeParentColor = clSkinTransparent;
    SkinData->BGChanged = false;
}

void TzqBtnWnd::Paint(TMessage& Message)
{
    PaintWindowFromCache(*this, Message, true, [this] { PrepareCache(); });
}

void TzqBtnWnd::Repaint()
{
    SkinData->BGChanged = true;
    SendMessageW(WndHandle, WM_PAINT, 0, 0);
}

void TzqBtnWnd::Wrapped(TMessage& Message)
{
    WrapLookChange(*this, Message, [this](TMessage& M) { Inherited(M); });
}

void TzqBtnWnd::SubclassWndProc(TMessage& Message)
{
    if (!SkinActive(*this)) {
        Inherited(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_MOVE: {
        const TqGeneralData* section = SectionOf(*this);
        if (section != nullptr &&
            (section->Transparency > 0 || (section->HotTransparency > 0 && SkinData->IsActive() != 0)))
            Repaint();
        Inherited(Message);
        return;
    }
    case WM_SETFOCUS:
        // A disabled button never takes the focus look; the window is not told.
        if (!IsWindowEnabled(WndHandle)) {
            Message.Result = 0;
            return;
        }
        SkinData->FocusedFlag = true;
        Wrapped(Message);
        return;
    case WM_KILLFOCUS:
        if (!IsWindowEnabled(WndHandle)) {
            Inherited(Message);
            return;
        }
        SkinData->FocusedFlag = false;
        Wrapped(Message);
        return;
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE:
        if (IsWindowVisible(WndHandle))
            Wrapped(Message);
        else
            Inherited(Message);
        return;
    case WM_PAINT:
    case WM_PRINT: Paint(Message); return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE: Message.Result = 1; return;
    case SM_ZORVIKCMD: {
        const int sub = SkinSubCommand(Message.WParam);
        if (sub == scmMouseEnter || sub == scmMouseLeave)
            Repaint();
        Inherited(Message);
        return;
    }
    default: break;
    }
    Inherited(Message);
    if (Message.Msg == WM_MOUSEMOVE)
        TrackHover(*this);
}

HBITMAP TzqBitBtnWnd::Image()
{
    return reinterpret_cast<HBITMAP>(SendMessageW(WndHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
}

TSize TzqBitBtnWnd::GlyphSize()
{
    HBITMAP image = Image();
    if (image == nullptr)
        return TSize{0, 0};
    SIZE recorded{};
    GetBitmapDimensionEx(image, &recorded);
    if (recorded.cx > 0 && recorded.cy > 0)
        return TSize{recorded.cx, recorded.cy};
    // Bitmaps rarely carry a recorded dimension: without one the picture's
    // own size, so that the button's picture is not lost.
    BITMAP info{};
    if (GetObjectW(image, sizeof info, &info) == 0)
        return TSize{0, 0};
    return TSize{info.bmWidth, info.bmHeight};
}

int TzqBitBtnWnd::CaptionWidthLimit() { return TzqBtnWnd::CaptionWidthLimit(); }

TRect TzqBitBtnWnd::CaptionRect()
{
    TRect r = TzqBtnWnd::CaptionRect();
    const TSize glyph = GlyphSize();
    if (glyph.cx > 0)
        OffsetRect(&r, glyph.cx / 2 + 1, 0);
    return r;
}

void TzqBitBtnWnd::PaintGlyph()
{
    HBITMAP image = Image();
    const TSize glyph = GlyphSize();
    if (image == nullptr || glyph.cx <= 0 || glyph.cy <= 0)
        return;
    const TRect caption = CaptionRect();
    int x = (CachedText.empty() ? (WindowSize.x - glyph.cx) / 2 : caption.left - 2 - glyph.cx);
    int y = (WindowSize.y - glyph.cy) / 2;
    if (Pushed()) {
        ++x;
        ++y;
    }
    auto picture = NewBitmap24(glyph.cx, glyph.cy);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, image);
    BitBlt(picture->Canvas()->Handle(), 0, 0, glyph.cx, glyph.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    // The picture's top-left pixel is its transparent colour.
    const Byte* first = picture->ScanLine(0);
    const TColor key = RGBToColor(first[2], first[1], first[0]);
    CopyRectTransparent(SkinData->CacheBmp.get(), picture.get(), x, key, Rect(0, 0, glyph.cx - 1, glyph.cy - 1), y);
}

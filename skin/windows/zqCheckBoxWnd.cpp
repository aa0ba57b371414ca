#include "skin/windows/zqCheckBoxWnd.h"

#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/zqSimpleLayout.h"
#include "skin/windows/zqSimplePaint.h"

namespace {

constexpr int MissingGlyphSize = 16;

DWORD StyleOf(HWND Wnd) { return static_cast<DWORD>(GetWindowLongPtrW(Wnd, GWL_STYLE)); }

}   // namespace

const TqMaskData* TzqCheckBoxWnd::CheckGlyph()
{
    const bool isCheck = CheckBoxStyleIsCheck(StyleOf(WndHandle));
    const int state = CheckStateOf(SendMessageW(WndHandle, BM_GETSTATE, 0, 0));
    return GlobalMask(*this, CheckGlyphName(isCheck, state));
}

TRect TzqCheckBoxWnd::GlyphRect()
{
    const bool isCheck = CheckBoxStyleIsCheck(StyleOf(WndHandle));
    // The checked image decides whether the skin draws check marks at all.
    const TqMaskData* checked = GlobalMask(*this, isCheck ? "BOXCHECKED" : "RADIOCHECKED");
    const TqMaskData* shown = CheckGlyph();
    TSize size{MissingGlyphSize, MissingGlyphSize};
    if (checked != nullptr && shown != nullptr)
        size = CheckGlyphSize(*shown);
    const int top = (WindowSize.y - size.cy) / 2;
    return TRect{0, top, size.cx, top + size.cy};
}

void TzqCheckBoxWnd::BuildCache()
{
    TCacheInfo parent = ExchangeCache;
    SkinData->PrepareCacheBitmap();
    TBitmap* cache = SkinData->CacheBmp.get();
    cache->SetSize(WindowSize.x, WindowSize.y);
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(WndHandle, WM_GETFONT, 0, 0)); font != nullptr)
        cache->Canvas()->Font()->SetHandle(font);
    const TPoint offset{OffsetInParent.x - parent.X, OffsetInParent.y - parent.Y};
    PaintControlSection(SkinData, parent, true, true, cache, offset, Rect(0, 0, WindowSize.x, WindowSize.y),
                        SkinData->IsActive());

    const LRESULT buttonState = SendMessageW(WndHandle, BM_GETSTATE, 0, 0);
    const int glyphState = CheckGlyphState(buttonState, IsHoveredWindow(*this));
    const TRect glyph = GlyphRect();
    const UINT flags = (StyleOf(WndHandle) & BS_MULTILINE) != 0 ? DT_CENTER | DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
    TRect caption{glyph.right + 2, 0, WindowSize.x - 4, WindowSize.y - 2};
    DrawControlTextEx(cache->Canvas(), CachedText, IsWindowEnabled(WndHandle) != 0, glyphState == 1, SkinData, flags,
                      caption, 0);
    if ((buttonState & BST_FOCUS) != 0)
        DrawDottedFocusRect(cache->Canvas(), Rect(caption.left, caption.top + 2, caption.right, caption.bottom - 2));
    if (const TqMaskData* mask = CheckGlyph(); mask != nullptr && cache->Width() > 0) {
        ExchangeParentColor = clSkinTransparent;
        DrawMaskGlyph(cache, Point(glyph.left, glyph.top), glyphState, *mask, 1);
    }
    if (!IsWindowEnabled(WndHandle))
        MixWithParentCache(*this, parent);
    SkinData->BGChanged = false;
}

void TzqCheckBoxWnd::Paint(TMessage& Message)
{
    ReadWindowGeometry(WndHandle, this);
    ExchangeCache.Ready = false;
    SendSkinCommand(ParentHandle, scmGetCache, 0);
    const TCacheInfo parent = ExchangeCache;
    TzqPaintCycle cycle(WndHandle, Message.WParam);
    HDC dc = cycle.Given();
    if (dc != nullptr || IsWindowVisible(WndHandle)) {
        const bool fetched = dc == nullptr;
        if (fetched)
            dc = GetDC(WndHandle);
        ExchangeCache = parent;
        SkinData->BGChanged = true;
        BuildCache();
        CopyCacheToDC(*this, dc);
        if (fetched)
            ReleaseDC(WndHandle, dc);
    }
    Message.Result = 0;
}

void TzqCheckBoxWnd::Repaint()
{
    SkinData->BGChanged = true;
    SendMessageW(WndHandle, WM_PAINT, 0, 0);
}

void TzqCheckBoxWnd::SubclassWndProc(TMessage& Message)
{
    if (!SkinActive(*this)) {
        Inherited(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ENABLE:
    case BM_SETCHECK:
    case BM_SETSTATE:
        if (IsWindowVisible(WndHandle))
            WrapLookChange(*this, Message, [this](TMessage& M) { Inherited(M); });
        else
            Inherited(Message);
        return;
    case WM_SETTEXT:
        WrapLookChange(*this, Message, [this](TMessage& M) { Inherited(M); });
        return;
    case WM_PAINT:
    case WM_PRINT: Paint(Message); return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE: Message.Result = 1; return;
    default: break;
    }
    Inherited(Message);
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Repaint(); break;
    case WM_KEYDOWN:
        if (Message.WParam == VK_SPACE)
            Repaint();
        break;
    case WM_NCHITTEST:
        if (IsWindowEnabled(WndHandle))
            if (TqSkinManager* manager = HoverManager(*this); manager != nullptr && manager->ActiveControl() != WndHandle)
                manager->SetActiveControl(WndHandle);
        break;
    case SM_ZORVIKCMD:
        if (const int sub = SkinSubCommand(Message.WParam); sub == scmMouseEnter || sub == scmMouseLeave)
            Repaint();
        break;
    default: break;
    }
}

#include "skin/windows/zqToolBarWnd.h"

#include <commctrl.h>

#include <vector>

#include "framework/Codepage.h"
#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/zqSimpleLayout.h"
#include "skin/windows/zqSimplePaint.h"

namespace {

constexpr int ImageTop = 4;
constexpr BYTE WholeDropDown = 0x80;

String ButtonText(HWND Bar, int Command)
{
    const LRESULT length = SendMessageW(Bar, TB_GETBUTTONTEXTW, Command, 0);
    if (length <= 0)
        return String();
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(Bar, TB_GETBUTTONTEXTW, Command, reinterpret_cast<LPARAM>(text.data()));
    return WideToStr(WideString(text.data()));
}

}   // namespace

bool TzqToolBarWnd::ParentUpdating() { return WindowHandlesCommand(GetParent(WndHandle), scmIsBgChanging); }

void TzqToolBarWnd::BuildCache()
{
    if (!SkinData->BGChanged)
        return;
    ReadWindowGeometry(WndHandle, this);
    GetClientRect(WndHandle, &ClientArea);
    RebuildWindowCache(SkinData, WndHandle, false);
    PaintWindowCorners(SkinData, 0, this);
    EdgeWidth = (WindowSize.y - (ClientArea.bottom - ClientArea.top)) / 2;
    SkinData->BGChanged = false;
}

void TzqToolBarWnd::PaintCaption(TBitmap* Button, const String& Text, TRect R, bool SkinColors, int State)
{
    TCanvas* canvas = Button->Canvas();
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(WndHandle, WM_GETFONT, 0, 0)); font != nullptr)
        canvas->Font()->SetHandle(font);
    TqSkinManager* manager = SkinData->SkinManager();
    const int section = SkinColors ? manager->FindSectionIndex("TOOLBUTTON") : SkinData->SkinIndex;
    const auto draw = [&](const String& Part, TRect Where, UINT Flags) {
        DrawSectionText(canvas, Part, true, manager, State != 0, section, Flags, Where);
    };
    const TzqToolCaption lines =
        SplitToolCaption(Text, R.right - R.left, [canvas](const String& T) { return canvas->TextWidth(T); });
    if (!lines.TwoLines) {
        draw(Text, R, DT_END_ELLIPSIS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
        return;
    }
    const int lineHeight = canvas->TextHeight(Text);
    draw(lines.First, TRect{R.left, R.top, R.right, R.top + lineHeight}, DT_CENTER | DT_SINGLELINE);
    draw(lines.Second, TRect{R.left, R.top + lineHeight, R.right, R.top + 2 * lineHeight},
         DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

void TzqToolBarWnd::PaintButton(TBitmap* Target, int Index)
{
    TBBUTTON button{};
    if (!SendMessageW(WndHandle, TB_GETBUTTON, Index, reinterpret_cast<LPARAM>(&button)))
        return;
    TRect r{};
    if (!SendMessageW(WndHandle, TB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&r)) || IsRectEmpty(&r))
        return;
    // A separator is a gap in the bar: the bar's background shows there.
    if ((button.fsStyle & BTNS_SEP) != 0)
        return;
    OffsetRect(&r, EdgeWidth, EdgeWidth);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const bool enabled = (button.fsState & TBSTATE_ENABLED) != 0;
    int state = 0;
    if (enabled && (button.fsState & TBSTATE_PRESSED) != 0) {
        state = 2;
    } else if (enabled) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(WndHandle, &cursor);
        RECT inClient = r;
        OffsetRect(&inClient, -EdgeWidth, -EdgeWidth);
        state = PtInRect(&inClient, cursor) ? 1 : 0;
    }
    const int shift = state == 2 ? 1 : 0;
    TBitmap* cache = SkinData->CacheBmp.get();
    auto bmp = NewBitmap24(w, h);
    BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, cache->Canvas()->Handle(), r.left, r.top, SRCCOPY);
    TqSkinManager* manager = SkinData->SkinManager();
    const int section = manager->FindSectionIndex("TOOLBUTTON");
    if (manager->IsValidSkinIndex(section)) {
        const TCacheInfo under = MakeCacheInfo(cache, 0, 0);
        PaintSectionByIndexes(section, manager->FindMaskIndex(section, "TOOLBUTTON", "BORDERSMASK"),
                              manager->FindMaskIndex(section, "TOOLBUTTON", "PATTERN"),
                              manager->FindMaskIndex(section, "TOOLBUTTON", "HOTPATTERN"), manager, bmp.get(),
                              Point(r.left, r.top), Rect(0, 0, w, h), state, true, under, "TOOLBUTTON");
    }
    int free = w;
    if ((button.fsStyle & WholeDropDown) != 0) {
        if (const TqMaskData* arrow = SectionGlyph(*this, "SCROLLBTNBOTTOM"); arrow != nullptr) {
            const TSize glyph = CheckGlyphSize(*arrow);
            DrawMaskGlyph(bmp.get(), Point(w - 2 - glyph.cx + shift, (h - glyph.cy) / 2 + shift), state, *arrow, 1);
            free = w - 2 - glyph.cx;
        }
    }
    int textTop = 2;
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(WndHandle, TB_GETIMAGELIST, 0, 0));
    int iw = 0, ih = 0;
    if (images != nullptr && button.iBitmap >= 0 && ImageList_GetIconSize(images, &iw, &ih)) {
        ImageList_SetBkColor(images, CLR_NONE);
        ImageList_Draw(images, button.iBitmap, bmp->Canvas()->Handle(), (free - iw) / 2 + shift, ImageTop + shift,
                       ILD_NORMAL);
        textTop = ImageTop + ih + 2;
    }
    if (const String text = ButtonText(WndHandle, button.idCommand); !text.empty())
        PaintCaption(bmp.get(), text, TRect{2 + shift, textTop + shift, w - 2 + shift, h + shift}, state != 0, state);
    if (!enabled)
        BlendRectTransparent(bmp.get(), 0, 0, static_cast<TColor>(0xFF000000u), 0.4,
                             Rect(r.left, r.top, r.right - 1, r.bottom - 1), cache);
    BitBlt(Target->Canvas()->Handle(), r.left, r.top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TzqToolBarWnd::Paint(TMessage& Message)
{
    TzqPaintCycle cycle(WndHandle, Message.WParam);
    if (!ParentUpdating()) {
        BuildCache();
        TBitmap* cache = SkinData->CacheBmp.get();
        if (cache != nullptr && !cache->Empty()) {
            auto bmp = NewBitmap24Like(cache);
            BitBlt(bmp->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
                   SRCCOPY);
            const int count = static_cast<int>(SendMessageW(WndHandle, TB_BUTTONCOUNT, 0, 0));
            for (int i = 0; i < count; ++i)
                PaintButton(bmp.get(), i);
            HDC dc = cycle.Given() != nullptr ? cycle.Given() : cycle.PaintDC();
            BitBlt(dc, 0, 0, cache->Width() - 2 * EdgeWidth, cache->Height() - 2 * EdgeWidth,
                   bmp->Canvas()->Handle(), EdgeWidth, EdgeWidth, SRCCOPY);
        }
    }
    Message.Result = 0;
}

void TzqToolBarWnd::PaintNonClient(TMessage& Message)
{
    if ((GetWindowLongPtrW(WndHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0) {
        Inherited(Message);
        return;
    }
    Message.Result = 0;
    if (ParentUpdating())
        return;
    BuildCache();
    TBitmap* cache = SkinData->CacheBmp.get();
    if (cache == nullptr || cache->Empty())
        return;
    HDC dc = GetWindowDC(WndHandle);
    CopyBorderStrips(dc, 0, 0, WindowSize.x, WindowSize.y, cache->Canvas()->Handle(), 0, 0,
                     (WindowSize.x - (ClientArea.right - ClientArea.left)) / 2);
    ReleaseDC(WndHandle, dc);
}

void TzqToolBarWnd::SubclassWndProc(TMessage& Message)
{
    if (!SkinActive(*this)) {
        Inherited(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        SkinData->BGChanged = true;
        Inherited(Message);
        SendMessageW(WndHandle, WM_NCPAINT, 1, 0);
        return;
    case WM_NCPAINT: PaintNonClient(Message); return;
    case WM_PAINT: Paint(Message); return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_MOUSEMOVE:
        Inherited(Message);
        TrackHover(*this);
        return;
    default: Inherited(Message); return;
    }
}

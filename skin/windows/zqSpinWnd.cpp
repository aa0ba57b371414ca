#include "skin/windows/zqSpinWnd.h"

#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/zqSimpleLayout.h"
#include "skin/windows/zqSimplePaint.h"

void TzqSpinWnd::PaintHalf(const TCacheInfo& Parent, TRect R, int State, const char* ArrowSection)
{
    TBitmap* cache = SkinData->CacheBmp.get();
    const TPoint offset{OffsetInParent.x - Parent.X + R.left, OffsetInParent.y - Parent.Y + R.top};
    auto half = NewBitmap24(R.right - R.left, R.bottom - R.top);
    PaintControlSection(SkinData, Parent, true, true, half.get(), offset, Rect(0, 0, half->Width(), half->Height()),
                        State);
    if (const TqMaskData* arrow = SectionGlyph(*this, ArrowSection); arrow != nullptr) {
        const TSize glyph = CheckGlyphSize(*arrow);
        DrawMaskGlyph(half.get(), Point((half->Width() - glyph.cx) / 2, (half->Height() - glyph.cy) / 2), State,
                      *arrow, 1);
    }
    BitBlt(cache->Canvas()->Handle(), R.left, R.top, half->Width(), half->Height(), half->Canvas()->Handle(), 0, 0,
           SRCCOPY);
}

void TzqSpinWnd::BuildCache()
{
    TCacheInfo parent;
    SkinData->GetParentCacheByHandle(WndHandle, parent);
    SkinData->PrepareCacheBitmap();
    SkinData->CacheBmp->SetSize(WindowSize.x, WindowSize.y);
    TRect upper;
    TRect lower;
    SpinHalves(PaintOffsetX, WindowSize.x, WindowSize.y, upper, lower);
    UpState = DownState = 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    if (PtInRect(&WindowBounds, cursor)) {
        // The half under the cursor: the upper one down to its last row.
        const int y = cursor.y - WindowBounds.top;
        (y < upper.bottom ? UpState : DownState) = ButtonDown ? 2 : 1;
    }
    // The lower half first, so that the shared middle row of an odd height
    // shows the upper half's look, as both halves paint it.
    PaintHalf(parent, lower, DownState, "SCROLLBTNBOTTOM");
    PaintHalf(parent, upper, UpState, "SCROLLBTNTOP");
    SkinData->BGChanged = false;
}

void TzqSpinWnd::Repaint()
{
    SkinData->BGChanged = true;
    SendMessageW(WndHandle, WM_PAINT, 0, 0);
}

void TzqSpinWnd::SubclassWndProc(TMessage& Message)
{
    if (!SkinActive(*this)) {
        Inherited(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINT:
        PaintWindowFromCache(*this, Message, true, [this] {
            BuildCache();
        });
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT: Message.Result = 1; return;
    case WM_LBUTTONDOWN:
        ButtonDown = true;
        Inherited(Message);
        Repaint();
        return;
    case WM_LBUTTONUP:
        ButtonDown = false;
        Inherited(Message);
        Repaint();
        return;
    case WM_MOUSEMOVE:
        Inherited(Message);
        TrackHover(*this);
        // The hot half follows the cursor while it stays over the control.
        if (IsHoveredWindow(*this))
            Repaint();
        return;
    case SM_ZORVIKCMD:
        if (const int sub = SkinSubCommand(Message.WParam); sub == scmMouseEnter || sub == scmMouseLeave)
            Repaint();
        Inherited(Message);
        return;
    default: Inherited(Message); return;
    }
}

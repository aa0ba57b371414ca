#include "skin/windows/zqComboBoxWnd.h"

#include <vector>

#include "framework/Codepage.h"
#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

namespace {

constexpr int ComboFrame = 3;

DWORD StyleOf(HWND Wnd) { return static_cast<DWORD>(GetWindowLongPtrW(Wnd, GWL_STYLE)); }

String ComboItemText(HWND Combo, int Index)
{
    const LRESULT length = SendMessageW(Combo, CB_GETLBTEXTLEN, Index, 0);
    if (length <= 0)
        return String();
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(Combo, CB_GETLBTEXT, Index, reinterpret_cast<LPARAM>(text.data()));
    return WideToStr(WideString(text.data()));
}

}   // namespace

void TzqComboBoxWnd::Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
                           TqCommonData* ASkinData)
{
    TzqEditWnd::Setup(Handle, ScrollFlag, Section, AManager, ASkinData);
    ListWnd = nullptr;
}

bool TzqComboBoxWnd::IsSimple() { return (StyleOf(WndHandle) & 3) == CBS_SIMPLE; }

TRect TzqComboBoxWnd::ButtonRect()
{
    RECT window{};
    GetWindowRect(WndHandle, &window);
    const int w = window.right - window.left;
    const int h = window.bottom - window.top;
    const int bw = (StyleOf(WndHandle) & 2) != 0 ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    if ((GetWindowLongPtrW(WndHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0)
        return TRect{2, 2, 2 + bw, h - 2};
    return TRect{w - 2 - bw, 2, w - 2, h - 2};
}

int TzqComboBoxWnd::ButtonState()
{
    if (ListWnd != nullptr && IsWindowVisible(ListWnd))
        return 2;
    TqSkinManager* hover = TqSkinManager::DefaultManager();
    if (SkinData->IsActive() != 0 || (hover != nullptr && hover->ActiveControl() == WndHandle))
        return 1;
    return 0;
}

void TzqComboBoxWnd::PaintButton(HDC DC)
{
    TBitmap* cache = SkinData->CacheBmp.get();
    const TRect r = ButtonRect();
    if (cache == nullptr || cache->Empty() || r.right <= r.left)
        return;
    TqSkinManager* manager = SkinData->SkinManager();
    const TqCommonIndexes& common = manager->Skin().Common;
    const int state = ButtonState();
    auto copy = NewBitmap24Like(cache);
    BitBlt(copy->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    if (manager->IsValidSkinIndex(common.ComboBtn)) {
        PaintSectionByIndexes(common.ComboBtn, common.ComboBtnBorder, common.ComboBtnPattern,
                              common.ComboBtnHotPattern, manager, copy.get(), Point(r.left, r.top), r, state, true,
                              MakeCacheInfo(cache, 0, 0), "COMBOBTN");
        if (manager->IsValidMaskIndex(common.ComboBoxGlyph)) {
            int gw = 0, gh = 0;
            manager->Skin().GetMaskFrameSize(common.ComboBoxGlyph, gw, gh);
            DrawMaskGlyph(copy.get(),
                          Point(r.left + (r.right - r.left - gw) / 2, (cache->Height() - gh) / 2), state,
                          manager->Skin().Masks[common.ComboBoxGlyph], 1);
        }
    }
    BitBlt(DC, r.left, r.top, r.right - r.left, r.bottom - r.top, copy->Canvas()->Handle(), r.left, r.top, SRCCOPY);
}

void TzqComboBoxWnd::RepaintButton()
{
    HDC dc = GetWindowDC(WndHandle);
    PaintButton(dc);
    ReleaseDC(WndHandle, dc);
}

void TzqComboBoxWnd::BuildSimpleCache()
{
    ReadWindowGeometry(WndHandle, this);
    SkinData->PrepareCacheBitmap();
    TBitmap* cache = SkinData->CacheBmp.get();
    const int h = static_cast<int>(SendMessageW(WndHandle, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) + 8;
    cache->SetSize(WindowSize.x, h);
    TqSkinManager* def = TqSkinManager::DefaultManager();
    if (InDialog && def != nullptr && def->SkinData().Loaded && def->SkinData().BorderColor != clSkinTransparent) {
        FillDCRect(cache->Canvas()->Handle(), Rect(0, 0, WindowSize.x, h), ColorToRGB(def->SkinData().BorderColor));
        FillDCRect(cache->Canvas()->Handle(), Rect(1, 1, WindowSize.x - 1, h - 1), ColorToRGB(clWindow));
    } else {
        TCacheInfo parent;
        SkinData->GetParentCacheByHandle(WndHandle, parent);
        PaintControlSection(SkinData, parent, true, true, cache,
                            Point(OffsetInParent.x - parent.X, OffsetInParent.y - parent.Y), Rect(0, 0, WindowSize.x, h),
                            SkinData->IsActive());
    }
    SkinData->BGChanged = false;
}

void TzqComboBoxWnd::PaintShownText()
{
    TBitmap* cache = SkinData->CacheBmp.get();
    TCanvas* canvas = cache->Canvas();
    if (SkinData->OwnerControl != nullptr)
        canvas->SetFont(SkinData->OwnerControl->Font());
    else if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(WndHandle, WM_GETFONT, 0, 0)); font != nullptr)
        canvas->Font()->SetHandle(font);
    TRect r{3, 3, ButtonRect().left, WindowSize.y - 3};
    const int selected = static_cast<int>(SendMessageW(WndHandle, CB_GETCURSEL, 0, 0));
    const String text = selected >= 0 ? ComboItemText(WndHandle, selected) : CachedText;
    const bool highlighted = (StyleOf(WndHandle) & 3) == CBS_DROPDOWNLIST && GetFocus() == WndHandle;
    if (highlighted) {
        FillDCRect(canvas->Handle(), r, ColorToRGB(clHighlight));
        canvas->Brush()->SetStyle(TBrushStyle::bsClear);
        canvas->Font()->SetColor(clHighlightText);
        TRect inner{r.left + 1, r.top, r.right, r.bottom};
        canvas->DrawTextRect(text, inner, DT_SINGLELINE | DT_VCENTER);
        DrawDottedFocusRect(canvas, r);
        return;
    }
    DrawControlTextEx(canvas, text, IsWindowEnabled(WndHandle) != 0, false, SkinData, DT_SINGLELINE | DT_VCENTER, r, 0);
}

void TzqComboBoxWnd::Paint(TMessage& Message)
{
    ReadWindowGeometry(WndHandle, this);
    CallPrevWndProc(Message);
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const bool fetched = dc == nullptr;
    if (fetched)
        dc = GetWindowDC(WndHandle);
    TBitmap* cache = SkinData->CacheBmp.get();
    if (IsSimple()) {
        BuildSimpleCache();
        CopyBorderStrips(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, ComboFrame);
    } else {
        SkinData->BGChanged = true;
        SendSkinCommand(WndHandle, scmRebuildCache, 0);
        if (cache != nullptr && !cache->Empty()) {
            CopyBorderStrips(dc, 0, 0, WindowSize.x, WindowSize.y, cache->Canvas()->Handle(), 0, 0, ComboFrame);
            PaintButton(dc);
        }
    }
    if (fetched)
        ReleaseDC(WndHandle, dc);
}

void TzqComboBoxWnd::Print(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PreparePrint();
    if (IsSimple())
        BuildSimpleCache();
    else
        SendSkinCommand(WndHandle, scmRebuildCache, 0);
    SkinData->BGChanged = true;
    RebuildWindowCache(SkinData, WndHandle, InDialog);
    PaintShownText();
    PaintWindowCorners(SkinData, 0, this);
    CopyCacheBitmap(dc);
    PaintButton(dc);
    Message.Result = 0;
}

void TzqComboBoxWnd::CopyCacheBitmap(HDC DC)
{
    TBitmap* cache = SkinData->CacheBmp.get();
    if (cache != nullptr && !cache->Empty())
        BitBlt(DC, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TzqComboBoxWnd::ListColors(TMessage& Message)
{
    Inherited(Message);
    if (ListWnd == nullptr) {
        ListWnd = reinterpret_cast<HWND>(Message.LParam);
        if (!ListSubclass) {
            const bool items = SendMessageW(WndHandle, CB_GETCOUNT, 0, 0) > 0;
            const bool saved = SubclassInDialog;
            if (SkinData->OwnerControl == nullptr)
                SubclassInDialog = InDialog;
            ListSubclass.reset(TzqMainWnd::Create<TzqComboListWnd>(ListWnd, items, "EDIT", Manager, nullptr));
            SubclassInDialog = saved;
            ListSubclass->SimpleStyleList = IsSimple();
        }
    }
    const LRESULT index = SendSkinCommand(ListWnd, scmGetSkinIndex, 0) - 1;
    TqSkinManager* manager = SkinData->SkinManager();
    if (manager == nullptr || !manager->IsValidSkinIndex(static_cast<int>(index)) || InDialog)
        return;
    const TqGeneralData& section = manager->Skin().Sections[index];
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    SetTextColor(dc, ColorToRGB(section.FontColor));
    SetBkColor(dc, ColorToRGB(section.Color));
    // One brush per colour, kept with the subclass: the list asks at every
    // repaint of every item.
    Message.Result = reinterpret_cast<LRESULT>(FListBrushes.Brush(section.Color));
}

void TzqComboBoxWnd::SubclassWndProc(TMessage& Message)
{
    if (!HorzBar || !VertBar || !BarsSkinned()) {
        Inherited(Message);
        return;
    }
    switch (Message.Msg) {
    case SM_ZORVIKCMD:
        if (const int sub = SkinSubCommand(Message.WParam); sub == scmMouseEnter || sub == scmMouseLeave) {
            Inherited(Message);
            RepaintButton();
            return;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
        Inherited(Message);
        RepaintButton();
        return;
    case WM_PAINT: Paint(Message); return;
    case WM_ERASEBKGND:
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_NCCALCSIZE:
        Inherited(Message);
        FrameLeft = ComboFrame;
        return;
    case WM_CTLCOLORLISTBOX: ListColors(Message); return;
    case WM_PRINT:
        if (Message.WParam != 0) {
            Print(Message);
            return;
        }
        break;
    default: break;
    }
    Inherited(Message);
}

#include "skin/windows/zqVirtualTreeViewWnd.h"

#include "framework/Control.h"
#include "skin/engine/qPropUtils.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

namespace {

constexpr TColor NoColor = 0x1FFFFFFF;
// Background, drop mark, sort glyph and text.
constexpr unsigned QueriedElements = hpeBackground | hpeDropMark | hpeSortGlyph | hpeText;

}   // namespace

TObject* TzqVirtualTreeViewWnd::Tree() const { return SkinData != nullptr ? SkinData->OwnerControl : nullptr; }

TObject* TzqVirtualTreeViewWnd::Header() const { return Tree() ? GetObjectPropByName(Tree(), "Header") : nullptr; }

void TzqVirtualTreeViewWnd::SetTextColors(TColor Compressed, TColor File, TColor Folder)
{
    TObject* colors = Tree() ? GetObjectPropByName(Tree(), "VETColors") : nullptr;
    if (colors == nullptr)
        return;
    const auto set = [&](const char* Name, TColor Value) {
        if (Value != NoColor)
            SetOrdPropByName(colors, Name, static_cast<Int64>(Value));
    };
    set("CompressedTextColor", Compressed);
    set("FileTextColor", File);
    set("FolderTextColor", Folder);
}

void TzqVirtualTreeViewWnd::SaveOriginalColors()
{
    TzqEditWnd::SaveOriginalColors();
    if (TObject* colors = Tree() ? GetObjectPropByName(Tree(), "VETColors") : nullptr) {
        SavedCompressedTextColor = static_cast<TColor>(GetOrdPropByName(colors, "CompressedTextColor"));
        SavedFileTextColor = static_cast<TColor>(GetOrdPropByName(colors, "FileTextColor"));
        SavedFolderTextColor = static_cast<TColor>(GetOrdPropByName(colors, "FolderTextColor"));
    }
    if (TObject* header = Header())
        SavedHeaderOwnerDraw = SetPropHasElement(header, "Options", "hoOwnerDraw");
}

void TzqVirtualTreeViewWnd::ApplySkinColors()
{
    TzqEditWnd::ApplySkinColors();
    TObject* tree = Tree();
    TqSkinManager* manager = SkinData->SkinManager();
    if (tree == nullptr || manager == nullptr || !manager->IsValidSkinIndex(SkinData->SkinIndex))
        return;
    const TColor hot = manager->Skin().Sections[SkinData->SkinIndex].HotFontColor;
    SetTextColors(hot, hot, hot);
    if (!MethodPropAssigned(tree, "OnAdvancedHeaderDraw")) {
        SetMethodPropByName(tree, "OnAdvancedHeaderDraw",
                            TzqAdvancedHeaderDrawEvent([this](TzqHeaderPaintInfo& I, unsigned E) { PaintHeaderColumn(I, E); }));
        FDrawEventSet = MethodPropAssigned(tree, "OnAdvancedHeaderDraw");
    }
    if (!MethodPropAssigned(tree, "OnHeaderDrawQueryElements")) {
        SetMethodPropByName(tree, "OnHeaderDrawQueryElements",
                            TzqHeaderDrawQueryElementsEvent([](TzqHeaderPaintInfo&, unsigned& E) { E = QueriedElements; }));
        FQueryEventSet = MethodPropAssigned(tree, "OnHeaderDrawQueryElements");
    }
    if (TObject* header = Header())
        ChangeSetPropElement(header, "Options", "hoOwnerDraw", true);
}

void TzqVirtualTreeViewWnd::RestoreOriginalColors()
{
    TzqEditWnd::RestoreOriginalColors();
    TObject* tree = Tree();
    if (tree == nullptr || SkinData->OwnerControl->IsDestroying())
        return;
    SetTextColors(SavedCompressedTextColor, SavedFileTextColor, SavedFolderTextColor);
    if (FDrawEventSet)
        SetMethodPropByName(tree, "OnAdvancedHeaderDraw", std::any());
    if (FQueryEventSet)
        SetMethodPropByName(tree, "OnHeaderDrawQueryElements", std::any());
    FDrawEventSet = FQueryEventSet = false;
    if (TObject* header = Header())
        ChangeSetPropElement(header, "Options", "hoOwnerDraw", SavedHeaderOwnerDraw);
}

void TzqVirtualTreeViewWnd::PaintHeaderColumn(TzqHeaderPaintInfo& Info, unsigned Elements)
{
    TqSkinManager* manager = SkinData->SkinManager();
    if (Scrolling || !BarsSkinned() || Info.TargetCanvas == nullptr || manager == nullptr)
        return;
    const TRect r = Info.PaintRectangle;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    String name = "COLHEADER";
    int section = manager->FindSectionIndex(name);
    if (!manager->IsValidSkinIndex(section)) {
        name = "BUTTON";
        section = manager->FindSectionIndex(name);
    }
    if (!manager->IsValidSkinIndex(section))
        return;
    if (Info.Column < 0) {
        // The room without a column.
        FillDCRect(Info.TargetCanvas->Handle(), r, manager->Skin().Sections[section].Color);
        return;
    }
    const int state = Info.IsDownIndex ? 2 : Info.IsHoverIndex ? 1 : 0;
    auto bmp = NewBitmap24(w, h);
    if ((Elements & hpeBackground) != 0) {
        const TCacheInfo under = SkinData->CacheBmp ? MakeCacheInfo(SkinData->CacheBmp.get(), 0, 0) : EmptyCacheInfo;
        PaintSectionByIndexes(section, manager->FindMaskIndex(section, name, "BORDERSMASK"),
                              manager->FindMaskIndex(section, name, "PATTERN"),
                              manager->FindMaskIndex(section, name, "HOTPATTERN"), manager, bmp.get(),
                              Point(r.left + FrameLeft, r.top + FrameLeft), Rect(0, 0, w, h), state, true, under, name);
    } else {
        BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, Info.TargetCanvas->Handle(), r.left, r.top, SRCCOPY);
        if ((Elements & hpeText) != 0) {
            bmp->Canvas()->SetFont(Info.TargetCanvas->Font());
            DrawSectionText(bmp->Canvas(), Info.Text, true, manager, state != 0, section,
                            DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, Rect(4, 0, w - 4, h));
        }
        if ((Elements & hpeSortGlyph) != 0 && Info.ShowSortGlyph) {
            TObject* header = Header();
            const bool up = header != nullptr && GetOrdPropByName(header, "SortDirection") != 0;
            const char* arrow = up ? "SCROLLBTNTOP" : "SCROLLBTNBOTTOM";
            const int s = manager->FindSectionIndex(arrow);
            const int glyph = manager->FindMaskIndex(s, arrow, "GLYPHMASK");
            if (manager->IsValidMaskIndex(glyph)) {
                int gw = 0, gh = 0;
                manager->Skin().GetMaskFrameSize(glyph, gw, gh);
                DrawMaskGlyph(bmp.get(), Point(Info.SortGlyphPos.x - r.left, (h - gh) / 2), 0,
                              manager->Skin().Masks[glyph], 1);
            }
        }
    }
    BitBlt(Info.TargetCanvas->Handle(), r.left, r.top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TzqVirtualTreeViewWnd::PaintOverFrame(HDC DC)
{
    // The tree draws its header and client itself into the window DC.
    TMessage print{WM_PRINT, reinterpret_cast<WPARAM>(DC), PRF_NONCLIENT, 0};
    CallPrevWndProc(print);
}

void TzqVirtualTreeViewWnd::Print(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    ReadWindowGeometry(WndHandle, this);
    SkinData->Updating = false;
    if (SkinData->BGChanged) {
        ApplySkinColors();
        RebuildWindowCache(SkinData, WndHandle, InDialog);
    }
    const int saved = SaveDC(dc);
    int top = FrameLeft;
    if (TObject* header = Header(); header != nullptr && SetPropHasElement(header, "Options", "hoVisible"))
        top += static_cast<int>(GetOrdPropByName(header, "Height"));
    OffsetViewportOrgEx(dc, FrameLeft, top, nullptr);
    TMessage client{WM_PRINTCLIENT, Message.WParam, PRF_CLIENT, 0};
    CallPrevWndProc(client);
    RestoreDC(dc, saved);
    CallPrevWndProc(Message);
    PaintWindowCorners(SkinData, 0, this);
    TBitmap* cache = SkinData->CacheBmp.get();
    if (cache != nullptr && !cache->Empty())
        CopyBorderStrips(dc, 0, 0, WindowSize.x, WindowSize.y, cache->Canvas()->Handle(), 0, 0, FrameLeft);
    PaintScrollBars(WndHandle, nullptr, dc, -1);
}

void TzqVirtualTreeViewWnd::SubclassWndProc(TMessage& Message)
{
    if (!HorzBar || !VertBar || !BarsSkinned()) {
        TzqEditWnd::SubclassWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
            const int bar = Message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
            SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(WndHandle, bar, &info);
            SetScrollPos(WndHandle, bar, info.nTrackPos, FALSE);
        }
        break;
    case WM_PRINT:
        if (Message.WParam != 0) {
            Print(Message);
            return;
        }
        break;
    default: break;
    }
    TzqEditWnd::SubclassWndProc(Message);
}

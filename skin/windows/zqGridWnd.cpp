#include "skin/windows/zqGridWnd.h"

#include "framework/Collection.h"
#include "framework/ControlMessages.h"
#include "framework/Grids.h"
#include "skin/engine/qPropUtils.h"
#include "skin/engine/qSkinManager.h"

namespace {

// The colour of the font held by an object property, or "none".
TColor FontColorOf(TObject* Obj, const char* Name)
{
    auto* font = dynamic_cast<TFont*>(GetObjectPropByName(Obj, Name));
    return font != nullptr ? font->Color() : clSkinTransparent;
}

void SetFontColorOf(TObject* Obj, const char* Name, TColor Color)
{
    if (auto* font = dynamic_cast<TFont*>(GetObjectPropByName(Obj, Name)); font != nullptr && Color != clSkinTransparent)
        font->SetColor(Color);
}

TColor OrdColor(TObject* Obj, const char* Name)
{
    return HasPropByName(Obj, Name) ? static_cast<TColor>(GetOrdPropByName(Obj, Name)) : clSkinTransparent;
}

void SetOrdColor(TObject* Obj, const char* Name, TColor Color)
{
    if (Color != clSkinTransparent)
        SetOrdPropByName(Obj, Name, static_cast<Int64>(Color));
}

bool IsProDataGrid(const TObject* Obj) { return Obj != nullptr && Obj->ClassName() == "TDBProGrid"; }

// Each item of the grid's "Columns" collection.
template <class Action>
void ForEachColumn(TObject* Grid, Action Act)
{
    auto* columns = dynamic_cast<TCollection*>(GetObjectPropByName(Grid, "Columns"));
    if (columns == nullptr)
        return;
    for (int i = 0; i < columns->Count(); ++i)
        Act(columns->Items(i));
}

}   // namespace

TObject* TzqGridWnd::Grid() const { return SkinData != nullptr ? SkinData->OwnerControl : nullptr; }

bool TzqGridWnd::DataAware() const { return Grid() != nullptr && HasPropByName(Grid(), "DataSource"); }

void TzqGridWnd::SaveOriginalColors()
{
    TzqEditWnd::SaveOriginalColors();
    TObject* grid = Grid();
    if (grid == nullptr)
        return;
    SavedFixedColor = OrdColor(grid, "FixedColor");
    SavedTitleFontColor = FontColorOf(grid, IsProDataGrid(grid) ? "FixedFont" : "TitleFont");
    SavedFooterColor = OrdColor(grid, "FooterColor");
    SavedFooterCellColor = OrdColor(grid, "FooterCellColor");
    SavedTitleColor = OrdColor(grid, "TitleColor");
    SavedIndicatorIconColor = OrdColor(grid, "IndicatorIconColor");
}

void TzqGridWnd::ApplySkinColors()
{
    TzqEditWnd::ApplySkinColors();
    TObject* grid = Grid();
    TqSkinManager* manager = SkinData->SkinManager();
    if (grid == nullptr || manager == nullptr || !manager->IsValidSkinIndex(SkinData->SkinIndex))
        return;
    const TqGeneralData& section = manager->Skin().Sections[SkinData->SkinIndex];
    const TColor global = manager->GetGlobalColor();
    const TColor globalFont = manager->GetGlobalFontColor();
    if (HasPropByName(grid, "FixedColor"))
        SetOrdColor(grid, "FixedColor", global);
    SetFontColorOf(grid, "TitleFont", globalFont);
    if (IsProDataGrid(grid)) {
        SetFontColorOf(grid, "FixedFont", globalFont);
        ForEachColumn(grid, [&](TObject* Column) {
            SetFontColorOf(Column, "HeaderFont", globalFont);
            SetFontColorOf(Column, "Font", section.HotFontColor);
            SetOrdColor(Column, "Color", section.Color);
        });
    }
    const int info = manager->Skin().Common.GlobalInfo;
    const TColor infoColor = manager->IsValidSkinIndex(info) ? manager->Skin().Sections[info].Color : global;
    for (const char* name : {"FooterColor", "FooterCellColor", "TitleColor"})
        if (HasPropByName(grid, name))
            SetOrdColor(grid, name, infoColor);
    if (HasPropByName(grid, "IndicatorIconColor"))
        SetOrdColor(grid, "IndicatorIconColor", section.FontColor);
}

void TzqGridWnd::RestoreOriginalColors()
{
    TzqEditWnd::RestoreOriginalColors();
    TObject* grid = Grid();
    if (grid == nullptr || SkinData->OwnerControl->IsDestroying())
        return;
    SetOrdColor(grid, "FixedColor", SavedFixedColor);
    SetFontColorOf(grid, IsProDataGrid(grid) ? "FixedFont" : "TitleFont", SavedTitleFontColor);
    SetOrdColor(grid, "FooterColor", SavedFooterColor);
    SetOrdColor(grid, "FooterCellColor", SavedFooterCellColor);
    SetOrdColor(grid, "TitleColor", SavedTitleColor);
    SetOrdColor(grid, "IndicatorIconColor", SavedIndicatorIconColor);
    if (IsProDataGrid(grid))
        ForEachColumn(grid, [&](TObject* Column) {
            SetFontColorOf(Column, "HeaderFont", SavedTitleFontColor);
            SetFontColorOf(Column, "Font", SavedFontColor);
            SetOrdColor(Column, "Color", SavedColor);
        });
}

void TzqGridWnd::WriteThumbBack(const TMessage& Message)
{
    const int code = LOWORD(Message.WParam);
    if (code != SB_THUMBPOSITION && code != SB_THUMBTRACK)
        return;
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(WndHandle, SB_VERT, &info);
    info.fMask = SIF_POS;
    info.nPos = code == SB_THUMBPOSITION ? info.nTrackPos + 1 : info.nTrackPos;
    SetScrollInfo(WndHandle, SB_VERT, &info, FALSE);
}

void TzqGridWnd::PrintClient(TMessage& Message)
{
    TzqEditWnd::SubclassWndProc(Message);
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, FrameLeft, FrameLeft, nullptr);
    const TPoint client = ClientPart();
    IntersectClipRect(dc, 0, 0, client.x, client.y);
    SendMessageW(WndHandle, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
}

void TzqGridWnd::ResetScrollBars()
{
    if (auto* grid = dynamic_cast<TCustomGrid*>(SkinData->OwnerControl); grid != nullptr) {
        const TScrollStyle bars = grid->ScrollBars();
        grid->SetScrollBars(ssNone);
        grid->SetScrollBars(bars);
    }
}

void TzqGridWnd::SubclassWndProc(TMessage& Message)
{
    if (!HorzBar || !VertBar || !BarsSkinned()) {
        TzqEditWnd::SubclassWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT:
        if (IsWindowVisible(WndHandle))
            SkinData->Updating = false;
        break;
    case WM_VSCROLL:
        if (DataAware())
            WriteThumbBack(Message);
        break;
    case WM_PRINT:
        if (Message.WParam != 0) {
            PrintClient(Message);
            return;
        }
        break;
    default: break;
    }
    const bool removed = Message.Msg == SM_ZORVIKCMD && SkinSubCommand(Message.WParam) == scmSkinRemoved &&
                         reinterpret_cast<TqSkinManager*>(Message.LParam) == Manager;
    TzqEditWnd::SubclassWndProc(Message);
    if (Message.Msg == WM_PAINT)
        RefreshScrollBars(this, true);
    else if (Message.Msg == WM_WINDOWPOSCHANGED && IsWindowVisible(WndHandle))
        SendMessageW(WndHandle, WM_NCPAINT, 1, 0);
    else if (removed)
        ResetScrollBars();
}

void TzqGridEhWnd::SubclassWndProc(TMessage& Message)
{
    const bool removed = Message.Msg == SM_ZORVIKCMD && SkinSubCommand(Message.WParam) == scmSkinRemoved &&
                         reinterpret_cast<TqSkinManager*>(Message.LParam) == Manager && BarsSkinned();
    TzqGridWnd::SubclassWndProc(Message);
    if (removed && SkinData->OwnerControl != nullptr)
        SkinData->OwnerControl->Perform(CM_RECREATEWND, 0, 0);
}

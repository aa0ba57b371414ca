#include "skin/windows/zqSimplePaint.h"

#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

void CopyCacheToDC(TzqMainWnd& Wnd, HDC DC)
{
    TBitmap* cache = Wnd.SkinData != nullptr ? Wnd.SkinData->CacheBmp.get() : nullptr;
    if (cache == nullptr || cache->Empty() || DC == nullptr)
        return;
    BitBlt(DC, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

TzqPaintCycle::TzqPaintCycle(HWND Wnd, WPARAM GivenDC) : FWnd(Wnd), FGiven(reinterpret_cast<HDC>(GivenDC))
{
    if (FGiven == nullptr)
        BeginPaint(FWnd, &FPaint);
}

TzqPaintCycle::~TzqPaintCycle()
{
    if (FGiven == nullptr)
        EndPaint(FWnd, &FPaint);
}

void PaintWindowFromCache(TzqMainWnd& Wnd, TMessage& Message, bool TestUpdating,
                          const std::function<void()>& BuildCache)
{
    TzqPaintCycle cycle(Wnd.WndHandle, Message.WParam);
    ReadWindowGeometry(Wnd.WndHandle, &Wnd);
    bool updating = false;
    if (TestUpdating) {
        Wnd.SkinData->Updating = Wnd.SkinData->IsUpdating();
        updating = Wnd.SkinData->Updating;
    }
    if (!updating) {
        HDC dc = cycle.Given();
        const bool fetched = dc == nullptr;
        if (fetched)
            dc = GetDC(Wnd.WndHandle);
        Wnd.SkinData->BGChanged = true;
        BuildCache();
        CopyCacheToDC(Wnd, dc);
        if (fetched)
            ReleaseDC(Wnd.WndHandle, dc);
    }
    Message.Result = 0;
}

void WrapLookChange(TzqMainWnd& Wnd, TMessage& Message, const std::function<void(TMessage&)>& Inherited)
{
    SendMessageW(Wnd.WndHandle, WM_SETREDRAW, 0, 0);
    Inherited(Message);
    SendMessageW(Wnd.WndHandle, WM_SETREDRAW, 1, 0);
    Wnd.SkinData->BGChanged = true;
    SendMessageW(Wnd.WndHandle, WM_PAINT, 0, 0);
}

bool SkinActive(const TzqMainWnd& Wnd)
{
    TqSkinManager* manager = Wnd.SkinData != nullptr ? Wnd.SkinData->SkinManager() : nullptr;
    return manager != nullptr && manager->Active() && Wnd.SkinData->IsSkinned(false);
}

TqSkinManager* HoverManager(const TzqMainWnd& Wnd)
{
    return Wnd.Manager != nullptr ? Wnd.Manager : TqSkinManager::DefaultManager();
}

bool IsHoveredWindow(const TzqMainWnd& Wnd)
{
    TqSkinManager* manager = HoverManager(Wnd);
    return manager != nullptr && manager->ActiveControl() == Wnd.WndHandle;
}

void TrackHover(TzqMainWnd& Wnd)
{
    TqSkinManager* manager = TqSkinManager::DefaultManager();
    if (manager == nullptr || manager->IsDesigning() || !IsWindowEnabled(Wnd.WndHandle))
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT bounds{};
    GetWindowRect(Wnd.WndHandle, &bounds);
    const bool inside = PtInRect(&bounds, cursor) != 0;
    if (inside && manager->ActiveControl() != Wnd.WndHandle)
        manager->SetActiveControl(Wnd.WndHandle);
    else if (!inside && manager->ActiveControl() == Wnd.WndHandle)
        manager->SetActiveControl(nullptr);
}

void MixWithParentCache(TzqMainWnd& Wnd, const TCacheInfo& ParentCache)
{
    TBitmap* cache = Wnd.SkinData->CacheBmp.get();
    if (!ParentCache.Ready || ParentCache.Bmp == nullptr || cache == nullptr || cache->Empty())
        return;
    const int x = Wnd.OffsetInParent.x + ParentCache.X;
    const int y = Wnd.OffsetInParent.y + ParentCache.Y;
    // d := s - Keep * (s - d): the control's pixel d keeps 40 percent.
    BlendRectTransparent(cache, 0, 0, static_cast<TColor>(0xFF000000u), 0.4,
                         Rect(x, y, x + cache->Width() - 1, y + cache->Height() - 1), ParentCache.Bmp);
}

const TqGeneralData* SectionOf(const TzqMainWnd& Wnd)
{
    TqSkinManager* manager = Wnd.SkinData != nullptr ? Wnd.SkinData->SkinManager() : nullptr;
    if (manager == nullptr || !manager->IsValidSkinIndex(Wnd.SkinData->SkinIndex))
        return nullptr;
    return &manager->Skin().Sections[Wnd.SkinData->SkinIndex];
}

const TqMaskData* GlobalMask(const TzqMainWnd& Wnd, const char* Name)
{
    TqSkinManager* manager = Wnd.SkinData != nullptr ? Wnd.SkinData->SkinManager() : nullptr;
    if (manager == nullptr)
        return nullptr;
    const int index = manager->FindMaskIndexExact("GLOBALINFO", Name);
    return manager->IsValidMaskIndex(index) ? &manager->Skin().Masks[index] : nullptr;
}

const TqMaskData* SectionGlyph(const TzqMainWnd& Wnd, const char* Section)
{
    TqSkinManager* manager = Wnd.SkinData != nullptr ? Wnd.SkinData->SkinManager() : nullptr;
    if (manager == nullptr)
        return nullptr;
    const int section = manager->FindSectionIndex(Section);
    const int index = manager->FindMaskIndex(section, Section, "GLYPHMASK");
    return manager->IsValidMaskIndex(index) ? &manager->Skin().Masks[index] : nullptr;
}

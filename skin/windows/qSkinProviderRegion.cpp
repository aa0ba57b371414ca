// The form skin provider's window region: the transparent corner pixels of
// the form's and the title's border masks become holes of the region.
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/qSkinProvider.h"

namespace {

// The private query by which a window that keeps a region of its own says
// so before its first frame painting.
constexpr UINT OwnRegionQuery = 0xBC4D;
constexpr WPARAM OwnRegionAnswer = 0x41A2;

}   // namespace

void TqSkinProvider::PrepareFormRegion()
{
    FRegionRects.clear();
    TqSkinManager* manager = Manager();
    if (manager == nullptr || FForm == nullptr)
        return;
    const int border = FSkinData->BorderIndex;
    if (FSkinData->SkinIndex >= 0 && manager->IsValidMaskIndex(border)) {
        const TqMaskData& mask = manager->Skin().Masks[static_cast<std::size_t>(border)];
        AddMaskCornerRects(FRegionRects, FormWidth(), mask, false, 0);
        AddMaskCornerRects(FRegionRects, FormWidth(), mask, true, FForm->Height() - MaskEntryBorderBottom(mask));
    }
    String titleName;
    const int title = TitleSectionIndex(&titleName);
    if (title < 0)
        return;
    const int titleMask = manager->FindMaskIndex(title, titleName, "BORDERSMASK");
    if (manager->IsValidMaskIndex(titleMask))
        AddMaskCornerRects(FRegionRects, FormWidth(), manager->Skin().Masks[static_cast<std::size_t>(titleMask)],
                           false, 0);
}

HRGN TqSkinProvider::CreateFormRegion(int X, int Y)
{
    HRGN region = CreateRectRgn(X, Y, X + FormWidth(), Y + FForm->Height());
    for (const TRect& hole : FRegionRects) {
        HRGN cut = CreateRectRgn(X + hole.left, Y + hole.top, X + hole.right, Y + hole.bottom);
        CombineRgn(region, region, cut, RGN_DIFF);
        DeleteObject(cut);
    }
    return region;
}

HRGN TqSkinProvider::CreateFormRegion()
{
    return FForm != nullptr ? CreateFormRegion(0, 0) : nullptr;
}

void TqSkinProvider::UpdateFormRegion(bool Redraw)
{
    const HWND wnd = FormWnd();
    if (FSkipRegion || !Framed() || wnd == nullptr)
        return;
    if (FForm->Parent() != nullptr) {
        // A form docked into another control has no region of its own.
        SetWindowRgn(wnd, nullptr, FALSE);
        return;
    }
    if (!FFramePaintedOnce && SendMessageW(wnd, OwnRegionQuery, OwnRegionAnswer, 0) == OwnRegionAnswer)
        return;
    FRegionApplying = true;
    HRGN region = CreateFormRegion(0, 0);
    // The window owns the region once it took it; only a refused one is
    // ours to delete.
    if (SetWindowRgn(wnd, region, Redraw ? TRUE : FALSE) == 0)
        DeleteObject(region);
}

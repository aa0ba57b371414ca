#include "skin/windows/zqTreeViewWnd.h"

#include <commctrl.h>

#include "framework/Control.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

void TzqTreeViewWnd::SaveOriginalColors()
{
    TzqEditWnd::SaveOriginalColors();
    if (WndHandle != nullptr) {
        FSavedBk = static_cast<COLORREF>(SendMessageW(WndHandle, TVM_GETBKCOLOR, 0, 0));
        FSavedText = static_cast<COLORREF>(SendMessageW(WndHandle, TVM_GETTEXTCOLOR, 0, 0));
    }
}

void TzqTreeViewWnd::RestoreOriginalColors()
{
    // The control's own colours stay as the skin left them, except the
    // background the skin gave the tree, which goes back to what it was so
    // that the tree looks native again.
    if (FBackgroundSet && IsWindow(WndHandle)) {
        SendMessageW(WndHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(FSavedBk));
        FBackgroundSet = false;
    }
    if (FTextSet && IsWindow(WndHandle)) {
        SendMessageW(WndHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(FSavedText));
        FTextSet = false;
    }
}

TColor TzqTreeViewWnd::BackgroundColor()
{
    TqSkinManager* manager = SkinData->SkinManager();
    if (InDialog || manager == nullptr || !manager->IsValidSkinIndex(SkinData->SkinIndex))
        return static_cast<TColor>(ColorToRGB(clWindow));
    return static_cast<TColor>(ColorToRGB(manager->Skin().Sections[SkinData->SkinIndex].HotColor));
}

void TzqTreeViewWnd::ApplySkinColors()
{
    ColorsApplied = true;
    TqSkinManager* manager = SkinData->SkinManager();
    if (manager == nullptr || !manager->IsValidSkinIndex(SkinData->SkinIndex))
        return;
    const TqGeneralData& section = manager->Skin().Sections[SkinData->SkinIndex];
    if (!InDialog) {
        // The control's colour: its Color, or for a window of its own the
        // tree's background colour.
        COLORREF current = static_cast<COLORREF>(SendMessageW(WndHandle, TVM_GETBKCOLOR, 0, 0));
        if (TControl* owner = SkinData->OwnerControl) {
            if (owner->Font()->Color() != section.HotFontColor)
                owner->Font()->SetColor(section.HotFontColor);
            current = ColorToRGB(owner->Color());
        } else {
            // A window of its own has no font colour to follow the skin:
            // its items take the colour the owner's font would.
            SendMessageW(WndHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(section.HotFontColor)));
            FTextSet = true;
        }
        if (current == ColorToRGB(section.HotColor))
            return;
    }
    SendMessageW(WndHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(BackgroundColor()));
    FBackgroundSet = true;
}

void TzqTreeViewWnd::EraseBackground(TMessage& Message)
{
    Message.Result = 0;
    SkinData->Updating = SkinData->IsUpdating();
    if (SkinData->Updating)
        return;
    if (SkinData->BGChanged)
        RebuildWindowCache(SkinData, WndHandle, InDialog);
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const bool fetched = dc == nullptr;
    if (fetched)
        dc = GetWindowDC(WndHandle);
    RECT r{};
    GetClientRect(WndHandle, &r);
    FillDCRect(dc, r, BackgroundColor());
    if (fetched)
        ReleaseDC(WndHandle, dc);
}

void TzqTreeViewWnd::SubclassWndProc(TMessage& Message)
{
    if (!HorzBar || !VertBar || !BarsSkinned()) {
        TzqEditWnd::SubclassWndProc(Message);
        return;
    }
    if (Message.Msg == WM_ERASEBKGND) {
        EraseBackground(Message);
        return;
    }
    TzqEditWnd::SubclassWndProc(Message);
    if (Message.Msg == WM_LBUTTONUP)
        ReleaseCapture();
}

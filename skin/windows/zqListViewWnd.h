#pragma once
// Skinned list views: the edit family's frame and bars, the section's
// colours for the items, row-wise vertical thumb scrolling in report view,
// and in report view the column header drawn from the COLHEADER section.

#include "framework/WindowHooks.h"
#include "skin/windows/zqEditWnd.h"

class TzqListViewWnd : public TzqEditWnd {
public:
    void SaveOriginalColors() override;
    void RestoreOriginalColors() override;
    void ApplySkinColors() override;
    void SubclassWndProc(TMessage& Message) override;

    HWND HeaderWnd = nullptr;
    int DownColumn = -1;

    bool ReportView();
    // The header's hook is in place.
    bool HeaderHooked() const { return FHeaderHook.Installed(); }

protected:
    friend class TzqMainWnd;
    void Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
               TqCommonData* ASkinData) override;

private:
    void HookHeader(HWND Header);
    void UnhookHeader();
    void HeaderProc(TMessage& Message, const TCallPrevious& Previous);
    void PaintHeader(HDC DC);
    void PaintHeaderItem(HDC DC, int Index, TRect R, bool WithText);
    void ThumbScroll(TMessage& Message);

    TWindowHook FHeaderHook;
    COLORREF FSavedBk = 0xFFFFFFFF;
    COLORREF FSavedTextBk = 0xFFFFFFFF;
    COLORREF FSavedText = 0xFFFFFFFF;
    bool FColorsSaved = false;
};

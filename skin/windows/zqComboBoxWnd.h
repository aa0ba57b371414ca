#pragma once
// Skinned combo boxes: the frame from the cache, the drop-down button from
// the COMBOBTN section with the COMBOBOX glyph, the shown text for
// pictures, and a subclass of the drop-down list made when the list first
// asks for its colours.

#include "skin/windows/zqEditWnd.h"
#include "skin/windows/zqGdiCache.h"

class TzqComboBoxWnd : public TzqEditWnd {
public:
    void SubclassWndProc(TMessage& Message) override;

    HWND ListWnd = nullptr;
    TzqMainWndPtr<TzqComboListWnd> ListSubclass;

    // The drop-down button in window coordinates (empty for a simple combo).
    TRect ButtonRect();
    // 2 while the list is shown, 1 when active or hovered, else 0.
    int ButtonState();
    // The brushes answered to WM_CTLCOLORLISTBOX so far (one per colour).
    int ListBrushCount() const { return FListBrushes.Count(); }

protected:
    // Called by the family's virtual constructor.
    friend class TzqMainWnd;
    void Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
               TqCommonData* ASkinData) override;

private:
    bool IsSimple();
    void PaintButton(HDC DC);
    void RepaintButton();
    void BuildSimpleCache();
    void PaintShownText();
    void Paint(TMessage& Message);
    void Print(TMessage& Message);
    void CopyCacheBitmap(HDC DC);
    void ListColors(TMessage& Message);

    TzqBrushCache FListBrushes;
};

#pragma once
// Skinned tree views: the edit family's frame and bars over a background
// in the section's HOTCOLOR (the window colour inside skinned dialogs).

#include "skin/windows/zqEditWnd.h"

class TzqTreeViewWnd : public TzqEditWnd {
public:
    void SaveOriginalColors() override;
    void RestoreOriginalColors() override;
    void ApplySkinColors() override;
    void SubclassWndProc(TMessage& Message) override;

    // Whether the skin set the tree's background colour.
    bool BackgroundSet() const { return FBackgroundSet; }

private:
    // The background the tree is filled with.
    TColor BackgroundColor();
    void EraseBackground(TMessage& Message);

    COLORREF FSavedBk = 0xFFFFFFFF;
    COLORREF FSavedText = 0xFFFFFFFF;
    bool FBackgroundSet = false;
    bool FTextSet = false;
};

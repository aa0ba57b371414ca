#pragma once
// Skinned grids of the framework and of other libraries (TzqGridWnd) and
// grids with an extended options set (TzqGridEhWnd). Their colours are
// reached by published property name, so a grid class that lacks one of
// them simply keeps its own.

#include "skin/engine/qPixelOps.h"
#include "skin/windows/zqEditWnd.h"

class TzqGridWnd : public TzqEditWnd {
public:
    void SaveOriginalColors() override;
    void RestoreOriginalColors() override;
    void ApplySkinColors() override;
    void SubclassWndProc(TMessage& Message) override;

    TColor SavedFixedColor = clSkinTransparent;
    TColor SavedFooterColor = clSkinTransparent;
    TColor SavedFooterCellColor = clSkinTransparent;
    TColor SavedTitleFontColor = clSkinTransparent;
    TColor SavedTitleColor = clSkinTransparent;
    TColor SavedIndicatorIconColor = clSkinTransparent;

protected:
    // The owner control, the object whose properties are read.
    TObject* Grid() const;
    bool DataAware() const;

private:
    void WriteThumbBack(const TMessage& Message);
    void PrintClient(TMessage& Message);
    void ResetScrollBars();
};

class TzqGridEhWnd : public TzqGridWnd {
public:
    void SubclassWndProc(TMessage& Message) override;
};

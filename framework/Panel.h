#pragma once
// Panels: a window of our own that holds controls, with bevels and an
// optional centred caption. Disabling it disables what it holds.

#include "framework/CustomControl.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void Paint() override;
    void TextChanged() override { Invalidate(); }

private:
    void DrawBevel(TRect& R, TBevelCut Cut);

    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};

#pragma once
// TGraphicControl: a control without a window of its own. Its parent paints
// it (Paint runs on the parent's DC, moved and clipped to the control) and
// routes the mouse messages over it to it.

#include "framework/Control.h"

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    // The canvas while Paint runs.
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    void WndProc(TMessage& Message) override;
    virtual void Paint();

private:
    void WMPaint(TMessage& Message);

    std::unique_ptr<TCanvas> FCanvas;
};

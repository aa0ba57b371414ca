#pragma once
// TCustomControl: a windowed control of a window class of our own that
// paints itself on its Canvas in Paint.

#include "framework/WinControl.h"

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    // The canvas while Paint runs.
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    void PaintWindow(HDC DC) override;
    virtual void Paint();

private:
    std::unique_ptr<TCanvas> FCanvas;
};

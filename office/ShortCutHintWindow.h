#pragma once
// A small borderless pop-up that shows a keyboard shortcut (a letter or a
// short text, its caption) over a control, on a top-to-bottom gradient.

#include "framework/CustomControl.h"

class TShortCutHintWindow : public TCustomControl {
public:
    explicit TShortCutHintWindow(TComponent* AOwner);

    // The gradient's top and bottom colours; writing them does not repaint.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; }

    // The narrowest the window may be: the width of "O" plus 8.
    int MinimumWidth();

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void Paint() override;
    void Resize() override;

private:
    TColor FColor = clWhite;
    TColor FColorTo = clWhite;
};

#pragma once
// The caption label a skinned control shows beside itself (see
// TqBoundLabel): a plain label that knows the control it names and whether
// it takes its text colour from the skin.

#include "framework/Label.h"

class TqBoundLabel;
class TWinControl;

class TqEditLabel : public TLabel {
public:
    TqEditLabel(TComponent* AOwner, TqBoundLabel* ABoundLabel) : TLabel(AOwner), BoundLabel(ABoundLabel) {}

    TqBoundLabel* BoundLabel;
    // The control that takes the focus when the label's accelerator is used.
    TWinControl* FocusControl = nullptr;
    bool UseSkinColor = true;
};

#pragma once
// The skinned check box of the configuration tool. This version is the
// framework's three-state check box with its skin section; drawing it from
// the skin comes with the skin engine.

#include "framework/CheckBox.h"

class TqCheckBox : public TCustomCheckBox {
public:
    explicit TqCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) { AllowGrayed = true; }

    String SkinSection = "CHECKBOX";
};

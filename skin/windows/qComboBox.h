#pragma once
// The skinned combo box. This version is the framework's combo box with its
// skin section and the item lookup the windows use; drawing it from the
// skin comes with the skin engine.

#include "framework/ComboBox.h"

class TqCustomComboBox : public TCustomComboBox {
public:
    explicit TqCustomComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}

    // The index of the first item whose text equals Text exactly (the case
    // of letters counts), -1 when none does.
    int IndexOf(const String& Text) const;

    String SkinSection = "COMBOBOX";
};

class TqComboBox : public TqCustomComboBox {
public:
    using TqCustomComboBox::TqCustomComboBox;
};

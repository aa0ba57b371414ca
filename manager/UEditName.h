#pragma once
// The name dialog: an edit box with the slot's name and OK / Cancel, shown
// modally when a slot is double-clicked.

#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"

namespace vantrel {

class TFmEditName : public TForm {
public:
    explicit TFmEditName(TComponent* AOwner);
    ~TFmEditName() override;

    TEdit* Edit1;
    TButton* BnOk;
    TButton* BnCancel;
};

extern TFmEditName* FmEditName;

} // namespace vantrel

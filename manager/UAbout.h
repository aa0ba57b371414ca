#pragma once
// The about box, shown modally from the tool bar's help button.

#include "framework/Button.h"
#include "framework/Form.h"
#include "skin/windows/qLabelFX.h"

namespace vantrel {

class TFmAbout : public TForm {
public:
    explicit TFmAbout(TComponent* AOwner);
    ~TFmAbout() override;

    TqLabelFX* qLabelFX1;
    TButton* BnOk;
};

extern TFmAbout* FmAbout;

} // namespace vantrel

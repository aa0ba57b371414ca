#pragma once
// Radio buttons: checking one unchecks the other radio buttons of the same
// parent. Becoming checked (by the user or by code) fires OnClick.

#include "framework/Button.h"

class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void ButtonClicked() override { SetChecked(true); }

private:
    bool FChecked = false;
};

#pragma once
// Check boxes with two or three states. A click cycles unchecked, checked
// and (when AllowGrayed) grayed; setting State or Checked, by the user or by
// code, fires OnClick when the state changes.

#include "framework/Button.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    bool AllowGrayed = false;
    TAlignment Alignment = taRightJustify;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void ButtonClicked() override;
    // The state after the next click.
    virtual void Toggle();

private:
    TCheckBoxState FState = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
public:
    using TCustomCheckBox::TCustomCheckBox;
};

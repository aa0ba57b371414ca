#pragma once
// Push buttons. TButtonControl is the base of the controls made of the
// system's BUTTON window class (push buttons, check boxes, radio buttons):
// their clicks arrive as the reflected BN_CLICKED notification.

#include "framework/Form.h"

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    // A BN_CLICKED from the window; push buttons click.
    virtual void ButtonClicked();

private:
    void CNCommand(TMessage& Message);
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);

    // Enter on the form clicks the Default button (unless another button
    // has the focus), Esc the Cancel button.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel = false;
    // Set on the form by a click; a modal form then ends with it.
    TModalResult ModalResult = mrNone;

    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void ButtonClicked() override { Click(); }

private:
    void CMDialogKey(TMessage& Message);

    bool FDefault = false;
};

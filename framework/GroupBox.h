#pragma once
// Group boxes: a framed, captioned area that holds controls (the system's
// BUTTON class with BS_GROUPBOX). Disabling it disables what it holds.

#include "framework/WinControl.h"

class TCustomGroupBox : public TWinControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;

private:
    void WMEraseBkgnd(TMessage& Message);
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
};

#pragma once
// The name dialog: a borderless box with the slot's name and OK / Cancel,
// shown modally over the main window when a slot is double-clicked.

#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/Label.h"

namespace vantrel {

class TFmEditName : public TForm {
public:
    explicit TFmEditName(TComponent* AOwner);
    ~TFmEditName() override;

    void FormShow(TObject* Sender);
    // Closing with OK is refused, with a message, while the name holds a
    // control character (typed or pasted): the name would lose it unseen
    // when the project is saved.
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    TLabel* Label1;
    TEdit* Edit1;
    TButton* Button1;
    TButton* Button2;
};

extern TFmEditName* FmEditName;
// The message that refuses a name holding a control character.
extern const char* const ControlCharacterInName;

// Centres Form over the program's main window (when there is one besides
// Form) and shows it with the opening animation of the name dialog and the
// about box: expanding from the centre in 150 ms, activated.
void ShowCentredOverMain(TCustomForm* Form);

} // namespace vantrel

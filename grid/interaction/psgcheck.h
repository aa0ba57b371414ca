#pragma once
// The base of a cell checker that the grid consults when a cell value is
// validated: Correct when AutoCorrect is on, MarkError when AutoMarkError is
// on. The base class leaves every value unchanged; checkers with real rules
// are subclasses.

#include "framework/Component.h"

class TProStringGridCheck : public TComponent {
public:
    using TComponent::TComponent;

    bool GotoCell = false;
    bool AutoCorrect = false;
    bool AutoMarkError = false;
    bool UseCorrect = false;
    bool UseMarkError = false;

    // The text with its errors marked.
    virtual String MarkError(int ACol, int ARow, const String& Value);
    // The corrected text.
    virtual String Correct(int ACol, int ARow, const String& Value);
};

#pragma once
// Hints: each form has one tool tip window that shows the Hint of every
// control on it whose ShowHint holds. A windowed control is a tool by its
// window, a window-less one by its rectangle in its parent; the tool tip
// watches the mouse over them itself (TTF_SUBCLASS). The controls call
// HintToolChanged whenever the hint, ShowHint, the bounds or the window
// change.

#include "framework/Types.h"

#include <windows.h>

class TControl;
class TCustomForm;

// Adds, updates or removes the control's tool as its state says.
void HintToolChanged(TControl* Control);
void HintToolRemoved(TControl* Control);
// Destroys the tool tip of a form that is being freed and forgets it.
void HintToolFormRemoved(TCustomForm* Form);
// The text that the tool tip holds for the control; empty when it has no tool.
String HintToolText(TControl* Control);
// The tool tip window of the control's form, or nullptr.
HWND HintToolWindow(TControl* Control);

#pragma once
// The skinned forms and the messages to every form: HookedForms (the forms
// a form provider skins), stopping and restarting the drawing of those forms
// around a skin change, sending a message to every form of the application
// with its controls, the shared section name of sub-command 13, and the
// program's own icons for the form frames.
//
// Broadcasts are synchronous and their receivers may create or free forms:
// every walk re-checks its bounds, and a form that is freed leaves
// HookedForms at once, whoever forgot to take it out.

#include <vector>

#include "framework/Messages.h"
#include "framework/Types.h"

class TComponent;
class TqSkinManager;

// The forms that a form provider skins; empty positions are skipped.
extern std::vector<TComponent*> HookedForms;
// The section name whose controls sub-command 13 repaints (empty: none).
extern String SharedSectionName;

void AddHookedForm(TComponent* Form);
// Takes one entry of Form out (the last entry moves into its place).
void RemoveHookedForm(TComponent* Form);

// WM_SETREDRAW 0 to every visible top-level skinned form of Manager, and
// back to 1 (with the skin-change fade, region and redraw when Animate).
void FreezeSkinnedForms(TqSkinManager* Manager);
void ThawSkinnedForms(TqSkinManager* Manager, bool Animate);
// Message to every form of the application that is not skinned by a
// provider, with its controls, then to the hooked forms.
void BroadcastToAppForms(TMessage& Message);
void BroadcastToHookedForms(TMessage& Message);

// The running executable's small and large shell icons; nullptr when the
// shell gives none. They live until the program ends.
HICON ProgramSmallIcon();
HICON ProgramLargeIcon();

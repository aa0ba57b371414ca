#pragma once
// Sending the skin command message: to one window, and to every form of the
// application with its child windows. Forms skinned by a form provider are
// reached through HookedForms (filled by the providers).

#include <vector>

#include "framework/Messages.h"

class TComponent;

// The forms that a form provider skins; empty positions are skipped.
extern std::vector<TComponent*> HookedForms;

// Sends sub-command SubCommand with LParam to Wnd (nothing for no window).
LRESULT SendSkinCommand(HWND Wnd, int SubCommand, LPARAM LParam);
// Sends Message to every form of the application that is neither loading
// nor being destroyed and to all its child windows (last form first), then
// to the hooked forms.
void BroadcastToAppForms(TMessage& Message);
void BroadcastToHookedForms(TMessage& Message);

#pragma once
// Simple message dialogs over Application->MessageBox (so that tests answer
// them through its MessageBoxHook).

#include "framework/Types.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// Buttons: a set of TMsgDlgButton bits; the box offers the nearest system set.
enum TMsgDlgButton : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64,
                             mbHelp = 0x400 };
using TMsgDlgButtons = unsigned;

// The text in a box with the program's title and an OK button.
void ShowMessage(const String& Text);
// Returns the modal result of the chosen button (mrYes, mrOk, ...).
int MessageDlg(const String& Text, TMsgDlgType Type, TMsgDlgButtons Buttons);

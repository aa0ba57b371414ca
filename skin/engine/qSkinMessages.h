#pragma once
// The skin engine's message boxes: a dialog type and a set of dialog buttons
// mapped to a system message box shown through the application object, so
// that the box is skinned like every other system message box.

#include "framework/Dialogs.h"
#include "framework/Types.h"

// The screen position that the dialog skinning gives the next dialog it
// skins; -1 for none. Set around one box and -1 again after it.
extern int RequestedDialogX;
extern int RequestedDialogY;

// The message box flags (icon, buttons, help) for a type and a button set.
unsigned SkinMessageFlags(TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// The default caption of a type ("Warning", ...; empty for custom).
String SkinMessageCaption(TMsgDlgType DlgType);

// Shows the box with Caption (the type's default when null) at the screen
// position X, Y (-1 for the system's place) and answers the box's result
// (IDOK, IDCANCEL, IDYES ...).
int ShowSkinMessage(const String* Caption, const String& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                    int X, int Y);
int SkinMessageDlg(const String& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

#include "framework/Dialogs.h"

#include "framework/Application.h"

namespace {

UINT TypeFlags(TMsgDlgType Type)
{
    switch (Type) {
    case mtWarning: return MB_ICONWARNING;
    case mtError: return MB_ICONERROR;
    case mtInformation: return MB_ICONINFORMATION;
    case mtConfirmation: return MB_ICONQUESTION;
    default: return 0;
    }
}

UINT ButtonFlags(TMsgDlgButtons Buttons)
{
    if ((Buttons & mbYes) && (Buttons & mbNo))
        return (Buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    if (Buttons & mbAbort)
        return MB_ABORTRETRYIGNORE;
    if (Buttons & mbRetry)
        return MB_RETRYCANCEL;
    if ((Buttons & mbOK) && (Buttons & mbCancel))
        return MB_OKCANCEL;
    return MB_OK;
}

String BoxTitle()
{
    return Application->TitleText();
}

} // namespace

void ShowMessage(const String& Text)
{
    Application->MessageBox(Text, BoxTitle(), MB_OK);
}

int MessageDlg(const String& Text, TMsgDlgType Type, TMsgDlgButtons Buttons)
{
    // The modal results are the box's button identifiers.
    return Application->MessageBox(Text, BoxTitle(), TypeFlags(Type) | ButtonFlags(Buttons));
}

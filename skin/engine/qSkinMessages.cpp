#include "skin/engine/qSkinMessages.h"

#include "framework/Application.h"

int RequestedDialogX = -1;
int RequestedDialogY = -1;

unsigned SkinMessageFlags(TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    static constexpr unsigned Icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    unsigned flags = Icons[DlgType];
    const auto has = [Buttons](unsigned Button) { return (Buttons & Button) != 0; };
    if (has(mbOK))
        flags |= has(mbCancel) ? MB_OKCANCEL : MB_OK;
    else if (has(mbAbort) || has(mbIgnore))
        flags |= MB_ABORTRETRYIGNORE;
    else if (has(mbYes) || has(mbNo))
        flags |= has(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (has(mbRetry))
        flags |= MB_RETRYCANCEL;
    if (has(mbHelp))
        flags |= MB_HELP;
    return flags;
}

String SkinMessageCaption(TMsgDlgType DlgType)
{
    static const char* const Captions[] = {"Warning", "Error", "Information", "Confirm", ""};
    return Captions[DlgType];
}

int ShowSkinMessage(const String* Caption, const String& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                    int X, int Y)
{
    const String caption = Caption != nullptr ? *Caption : SkinMessageCaption(DlgType);
    RequestedDialogX = X;
    RequestedDialogY = Y;
    int result = 0;
    try {
        result = Application->MessageBox(Text, caption, SkinMessageFlags(DlgType, Buttons));
    } catch (...) {
        RequestedDialogX = RequestedDialogY = -1;
        throw;
    }
    RequestedDialogX = RequestedDialogY = -1;
    return result;
}

int SkinMessageDlg(const String& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    return ShowSkinMessage(nullptr, Text, DlgType, Buttons, -1, -1);
}

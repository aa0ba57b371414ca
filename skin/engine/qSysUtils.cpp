#include "skin/engine/qSysUtils.h"

#include <shellapi.h>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Stream.h"
#include "skin/engine/qSkinMessages.h"
#include "skin/engine/qSkinWarning.h"

String ProgramFolder()
{
    return Application->ExePath();
}

TMessage MakeMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT Result)
{
    return TMessage{Msg, WParam, LParam, Result};
}

int CaptionFontHeight()
{
    // The whole structure: Wine's call writes all of it whatever cbSize says.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return 0;
    return metrics.lfCaptionFont.lfHeight;
}

TOwnedIcon GetShellIcon(const String& FileName, UINT Flags)
{
    if (!FileExists(FileName))
        return TOwnedIcon();
    SHFILEINFOW info{};
    const WideString name = StrToWide(FileName);
    if (SHGetFileInfoW(name.c_str(), 0, &info, sizeof(info), Flags | SHGFI_ICON) == 0 || info.hIcon == nullptr)
        return TOwnedIcon();
    return TOwnedIcon(info.hIcon);
}

void ShowWarningBox(const String& Text)
{
    SkinMessageDlg(Text, mtWarning, mbOK);
}

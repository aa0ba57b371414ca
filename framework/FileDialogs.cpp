#include "framework/FileDialogs.h"

#include <algorithm>

#include <windows.h>
#include <commdlg.h>

#include "framework/Codepage.h"

TFileDialogHook FileDialogHook;

namespace {

// "a|b|c|d" becomes "a\0b\0c\0d\0\0", the form the dialogs take.
WideString DialogFilter(const String& Filter)
{
    WideString w = StrToWide(Filter);
    for (wchar_t& c : w)
        if (c == L'|')
            c = L'\0';
    w.push_back(L'\0');
    w.push_back(L'\0');
    return w;
}

DWORD DialogFlags(TOpenOptions Options, bool Save)
{
    DWORD flags = OFN_EXPLORER | OFN_ENABLESIZING;
    if (Options & ofOverwritePrompt)
        flags |= OFN_OVERWRITEPROMPT;
    if (Options & ofHideReadOnly)
        flags |= OFN_HIDEREADONLY;
    if (Options & ofPathMustExist)
        flags |= OFN_PATHMUSTEXIST;
    if ((Options & ofFileMustExist) && !Save)
        flags |= OFN_FILEMUSTEXIST;
    if (Options & ofNoChangeDir)
        flags |= OFN_NOCHANGEDIR;
    return flags;
}

} // namespace

bool TOpenDialog::Execute()
{
    return Run(false);
}

bool TOpenDialog::Run(bool Save)
{
    if (FileDialogHook)
        return FileDialogHook(this, Save);
    WideString name = StrToWide(FileName);
    name.resize(std::max<std::size_t>(name.size(), 4096), L'\0');
    const WideString filter = DialogFilter(Filter);
    const WideString dir = StrToWide(InitialDir);
    const WideString title = StrToWide(Title);
    const WideString ext = StrToWide(DefaultExt);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = DialogFlags(Options, Save);
    const BOOL ok = Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok)
        return false;
    FileName = WideToStr(WideString(name.c_str()));
    FilterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

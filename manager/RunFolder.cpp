#include "manager/RunFolder.h"

#include <windows.h>

#include "framework/Codepage.h"
#include "framework/StrUtils.h"

namespace vantrel {

bool DirectoryExists(const String& Folder)
{
    const DWORD attributes = GetFileAttributesW(StrToWide(Folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void DeleteFolderTree(const String& Folder)
{
    const WideString folder = StrToWide(Folder);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const WideString name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const WideString path = folder + L"\\" + name;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                DeleteFolderTree(WideToStr(path));
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

bool TRunFolder::FirstFree(const String& Base, Word& Number, unsigned From)
{
    for (unsigned n = From; n <= 65535; ++n)
        if (!DirectoryExists(Base + IntToStr(static_cast<Integer>(n)))) {
            Number = static_cast<Word>(n);
            return true;
        }
    return false;
}

void TRunFolder::Choose(const String& Base)
{
    FBase = Base;
    FNumber = 0;
    FirstFree(Base, FNumber);   // all taken: the number stays 0
    FPath = Base + IntToStr(FNumber);
}

bool TRunFolder::CreateUnder(const String& Base)
{
    // Another program may take a number between the choice and the
    // creation, and a file may bear a number: a name that exists already is
    // never adopted, the search goes on past it.
    unsigned from = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        Word number = 0;
        if (!FirstFree(Base, number, from))
            return false;
        const String path = Base + IntToStr(number);
        if (CreateDirectoryW(StrToWide(path).c_str(), nullptr)) {
            FNumber = number;
            FPath = path;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        from = number + 1u;
    }
    return false;
}

bool TRunFolder::Ensure()
{
    if (FCreated) {
        // A folder deleted by hand while the program runs is made again at
        // the same place; when that fails a new one is looked for.
        if (DirectoryExists(FPath) || CreateDirectoryW(StrToWide(FPath).c_str(), nullptr))
            return true;
        FCreated = false;
    }
    if (FUnavailable)
        return false;
    if (!FPath.empty() && CreateDirectoryW(StrToWide(FPath).c_str(), nullptr)) {
        FCreated = true;
        return true;
    }
    if (!FBase.empty() && CreateUnder(FBase)) {
        FCreated = true;
        return true;
    }
    // The program's folder takes no new folder (read-only, say): the
    // user's temporary folder does.
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length > 0 && length <= MAX_PATH) {
        String base = WideToStr(WideString(temp, length));
        if (!base.empty() && base.back() != '\\')
            base += '\\';
        base += "Vantrel";
        CreateDirectoryW(StrToWide(base).c_str(), nullptr);
        if (DirectoryExists(base) && CreateUnder(base + "\\")) {
            FCreated = true;
            return true;
        }
    }
    FUnavailable = true;
    return false;
}

void TRunFolder::Remove()
{
    if (!FCreated)
        return;
    DeleteFolderTree(FPath);
    FCreated = false;
}

} // namespace vantrel

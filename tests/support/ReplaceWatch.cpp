#include "tests/support/ReplaceWatch.h"

#include <algorithm>

#include "framework/Codepage.h"

namespace {

constexpr DWORD BufferBytes = 64 * 1024;
constexpr DWORD MarkBoundMs = 10000;

} // namespace

ReplaceWatch::ReplaceWatch(const String& Path) : FBuffer(new DWORD[BufferBytes / sizeof(DWORD)])
{
    const WideString path = StrToWide(Path);
    const std::size_t slash = path.find_last_of(L"\\/");
    FFolder = slash == WideString::npos ? WideString(L".") : path.substr(0, slash);
    FName = slash == WideString::npos ? path : path.substr(slash + 1);
    FOv.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    FDir = CreateFileW(FFolder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (FDir == INVALID_HANDLE_VALUE)
        FError = "cannot open the folder (error " + std::to_string(GetLastError()) + ")";
    else if (!Issue())
        FError = "cannot watch the folder (error " + std::to_string(GetLastError()) + ")";
}

ReplaceWatch::~ReplaceWatch()
{
    if (FDir != INVALID_HANDLE_VALUE) {
        CancelIoEx(FDir, &FOv);
        DWORD ignored = 0;
        GetOverlappedResult(FDir, &FOv, &ignored, TRUE);
        CloseHandle(FDir);
    }
    if (FOv.hEvent != nullptr)
        CloseHandle(FOv.hEvent);
}

bool ReplaceWatch::Issue()
{
    ResetEvent(FOv.hEvent);
    return ReadDirectoryChangesW(FDir, FBuffer.get(), BufferBytes, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &FOv,
                                 nullptr) != 0;
}

int ReplaceWatch::Replacements()
{
    if (!FError.empty())
        return -1;
    // The mark: a file of its own renamed into place. Notifications come in
    // the order of the changes, so once it is reported, so is everything before.
    const WideString markName = FName + L".watch-mark";
    const WideString mark = FFolder + L"\\" + markName;
    const WideString markTemp = mark + L".tmp";
    HANDLE h = CreateFileW(markTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE || !CloseHandle(h) ||
        !MoveFileExW(markTemp.c_str(), mark.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        FError = "cannot make the mark (error " + std::to_string(GetLastError()) + ")";
        return -1;
    }
    auto fail = [&](const std::string& Why) {
        FError = Why;
        DeleteFileW(mark.c_str());
        return -1;
    };
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD left = MarkBoundMs - std::min<DWORD>(MarkBoundMs, GetTickCount() - start);
        DWORD bytes = 0;
        if (WaitForSingleObject(FOv.hEvent, left) != WAIT_OBJECT_0 || !GetOverlappedResult(FDir, &FOv, &bytes, FALSE))
            return fail("the mark was not reported within " + std::to_string(MarkBoundMs) + " ms");
        if (bytes == 0)
            return fail("the system lost notifications (too many changes at once)");
        bool marked = false;
        const auto* at = reinterpret_cast<const Byte*>(FBuffer.get());
        for (;;) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
            const WideString name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (info->Action == FILE_ACTION_RENAMED_NEW_NAME && lstrcmpiW(name.c_str(), FName.c_str()) == 0)
                ++FCount;
            if (info->Action == FILE_ACTION_RENAMED_NEW_NAME && lstrcmpiW(name.c_str(), markName.c_str()) == 0)
                marked = true;
            if (info->NextEntryOffset == 0)
                break;
            at += info->NextEntryOffset;
        }
        if (!Issue())
            return fail("cannot watch the folder again (error " + std::to_string(GetLastError()) + ")");
        if (marked)
            break;
    }
    DeleteFileW(mark.c_str());
    return FCount;
}

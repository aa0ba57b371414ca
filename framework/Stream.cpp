#include "framework/Stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "framework/Exception.h"
#include "framework/StrUtils.h"
#include "framework/SysError.h"

#ifdef _WIN32
#include <windows.h>

#include "framework/Codepage.h"
#else
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Largest block moved by one Read or Write call when whole streams are copied.
constexpr Int64 CopyBlockSize = 64 * 1024;

Integer BlockSize(Int64 Remaining, Int64 Limit)
{
    return static_cast<Integer>(std::min(Remaining, Limit));
}

constexpr Int64 MaxInt64 = std::numeric_limits<Int64>::max();

// Suffix of the temporary file that a replacing write fills first.
const char* const ReplaceSuffix = ".~tmp";
// How long a replacing write waits for another writer, or for readers of
// the old file, before it gives up.
constexpr unsigned ReplaceWaitMs = 2000;

#ifdef _WIN32
DWORD AccessOf(Word Mode)
{
    switch (Mode & 0x000F) {
    case fmOpenWrite: return GENERIC_WRITE;
    case fmOpenReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
    }
}

// Compatibility mode lets others read but not write, like deny-write.
DWORD ShareOf(Word Mode)
{
    switch (Mode & 0x00F0) {
    case fmShareExclusive: return 0;
    case fmShareDenyRead: return FILE_SHARE_WRITE;
    // Denying nothing lets others also rename or replace the file meanwhile.
    case fmShareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    default: return FILE_SHARE_READ;
    }
}
#else
int FlagsOf(Word Mode)
{
    switch (Mode & 0x000F) {
    case fmOpenWrite: return O_WRONLY;
    case fmOpenReadWrite: return O_RDWR;
    default: return O_RDONLY;
    }
}
#endif

bool IsCreateMode(Word Mode) { return (Mode & 0xFF00) == fmCreate; }

} // namespace

// ---- TStream ----

Int64 TStream::Size()
{
    const Int64 position = Seek(0, soFromCurrent);
    const Int64 end = Seek(0, soFromEnd);
    Seek(position, soFromBeginning);
    return end;
}

void TStream::SetSize(Int64)
{
    throw EStreamError(ClassName() + " cannot change its size");
}

void TStream::ReadBuffer(void* Buffer, Integer Count)
{
    if (Count <= 0)
        return;
    const Integer n = Read(Buffer, Count);
    if (n != Count) {
        const String subject = ErrorSubject();
        throw EReadError("Stream read error" + (subject.empty() ? String() : " in " + subject) + ": " +
                         IntToStr(n) + " of " + IntToStr(Count) + " bytes read");
    }
}

void TStream::WriteBuffer(const void* Buffer, Integer Count)
{
    if (Count <= 0)
        return;
    const Integer n = Write(Buffer, Count);
    if (n != Count) {
        const String subject = ErrorSubject();
        throw EWriteError("Stream write error" + (subject.empty() ? String() : " in " + subject) + ": " +
                          IntToStr(n) + " of " + IntToStr(Count) + " bytes written");
    }
}

void TStream::RaiseSeekError(const String& Reason) const
{
    const String subject = ErrorSubject();
    throw EStreamError("Seek error" + (subject.empty() ? String() : " in " + subject) + ": " + Reason);
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count)
{
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    if (Count <= 0)
        return 0;
    std::vector<Byte> buffer(static_cast<std::size_t>(std::min(Count, CopyBlockSize)));   // at most 64 KiB
    for (Int64 left = Count; left > 0;) {
        const Integer n = BlockSize(left, CopyBlockSize);
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return Count;
}

// ---- TMemoryStream ----

Integer TMemoryStream::Read(void* Buffer, Integer Count)
{
    const Int64 available = Size() - FPosition;
    if (Count <= 0 || available <= 0)
        return 0;
    const Integer n = BlockSize(available, Count);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

Integer TMemoryStream::Write(const void* Buffer, Integer Count)
{
    if (Count <= 0)
        return 0;
    // Writing past the end fills the gap with zero bytes.
    if (FPosition > MaxInt64 - Count)
        throw EWriteError("Stream write error: a position of " + IntToStr(FPosition) + " cannot grow further");
    if (FPosition + Count > Size())
        Resize(FPosition + Count);
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
    FPosition += Count;
    return Count;
}

Int64 TMemoryStream::Seek(Int64 Offset, Word Origin)
{
    Int64 base = 0;
    if (Origin == soFromCurrent)
        base = FPosition;
    else if (Origin == soFromEnd)
        base = Size();
    if (Offset > 0 && base > MaxInt64 - Offset)
        RaiseSeekError("the position would pass the largest 64-bit position");
    if (base + Offset < 0)
        RaiseSeekError("a position before the start of the stream");
    FPosition = base + Offset;
    return FPosition;
}

void TMemoryStream::Resize(Int64 NewSize)
{
    if (NewSize < 0)
        throw EStreamError("Negative stream size " + IntToStr(NewSize));
    if (static_cast<std::uint64_t>(NewSize) > FData.max_size())
        throw EStreamError("Out of memory: a memory stream cannot hold " + IntToStr(NewSize) + " bytes");
    try {
        FData.resize(static_cast<std::size_t>(NewSize));
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory: a memory stream cannot hold " + IntToStr(NewSize) + " bytes");
    } catch (const std::length_error&) {
        throw EStreamError("Out of memory: a memory stream cannot hold " + IntToStr(NewSize) + " bytes");
    }
}

void TMemoryStream::SetSize(Int64 NewSize)
{
    Resize(NewSize);
    FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
    Stream->SetPosition(0);
    const Int64 n = Stream->Size();
    SetSize(n);
    for (Int64 done = 0; done < n;) {
        const Integer block = BlockSize(n - done, 1 << 30);
        Stream->ReadBuffer(FData.data() + done, block);
        done += block;
    }
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TMemoryStream::SaveToStream(TStream* Stream)
{
    const Int64 n = Size();
    for (Int64 done = 0; done < n;) {
        const Integer block = BlockSize(n - done, 1 << 30);
        Stream->WriteBuffer(FData.data() + done, block);
        done += block;
    }
}

void TMemoryStream::SaveToFile(const String& FileName)
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

// ---- TFileStream ----

#ifdef _WIN32

TFileStream::TFileStream(const String& FileName, Word Mode) : FFileName(FileName)
{
    const bool create = IsCreateMode(Mode);
    HANDLE h = CreateFileW(StrToWide(FileName).c_str(),
                           create ? GENERIC_READ | GENERIC_WRITE : AccessOf(Mode), ShareOf(Mode), nullptr,
                           create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const String reason = SysErrorMessage(GetLastError());
        if (create)
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + reason);
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + reason);
    }
    FHandle = h;
}

TFileStream::~TFileStream()
{
    CloseHandle(FHandle);
}

Integer TFileStream::Read(void* Buffer, Integer Count)
{
    if (Count <= 0)
        return 0;
    DWORD n = 0;
    if (!ReadFile(FHandle, Buffer, static_cast<DWORD>(Count), &n, nullptr))
        throw EReadError("Cannot read file \"" + FFileName + "\". " + SysErrorMessage(GetLastError()));
    return static_cast<Integer>(n);
}

Integer TFileStream::Write(const void* Buffer, Integer Count)
{
    if (Count <= 0)
        return 0;
    DWORD n = 0;
    if (!WriteFile(FHandle, Buffer, static_cast<DWORD>(Count), &n, nullptr))
        throw EWriteError("Cannot write file \"" + FFileName + "\". " + SysErrorMessage(GetLastError()));
    return static_cast<Integer>(n);
}

Int64 TFileStream::Seek(Int64 Offset, Word Origin)
{
    const DWORD method = Origin == soFromCurrent ? FILE_CURRENT : Origin == soFromEnd ? FILE_END : FILE_BEGIN;
    LARGE_INTEGER distance;
    distance.QuadPart = Offset;
    LARGE_INTEGER result;
    if (!SetFilePointerEx(FHandle, distance, &result, method))
        RaiseSeekError(SysErrorMessage(GetLastError()));
    return result.QuadPart;
}

void TFileStream::SetSize(Int64 NewSize)
{
    const Int64 position = Position();
    Seek(NewSize, soFromBeginning);
    if (!SetEndOfFile(FHandle))
        throw EWriteError("Cannot resize file \"" + FFileName + "\". " + SysErrorMessage(GetLastError()));
    Seek(std::min(position, NewSize), soFromBeginning);
}

void TFileStream::FlushBuffers()
{
    if (!FlushFileBuffers(FHandle))
        throw EWriteError("Cannot write file \"" + FFileName + "\". " + SysErrorMessage(GetLastError()));
}

#else

TFileStream::TFileStream(const String& FileName, Word Mode) : FFileName(FileName)
{
    const bool create = IsCreateMode(Mode);
    const int flags = (create ? O_RDWR | O_CREAT | O_TRUNC : FlagsOf(Mode)) | O_CLOEXEC;
    FHandle = ::open(FileName.c_str(), flags, 0666);
    if (FHandle < 0) {
        const String reason = SysErrorMessage(errno);
        if (create)
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + reason);
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + reason);
    }
}

TFileStream::~TFileStream()
{
    ::close(FHandle);
}

Integer TFileStream::Read(void* Buffer, Integer Count)
{
    Integer done = 0;
    while (done < Count) {
        const ssize_t n = ::read(FHandle, static_cast<char*>(Buffer) + done, static_cast<std::size_t>(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EReadError("Cannot read file \"" + FFileName + "\". " + SysErrorMessage(errno));
        if (n == 0)
            break;
        done += static_cast<Integer>(n);
    }
    return done;
}

Integer TFileStream::Write(const void* Buffer, Integer Count)
{
    Integer done = 0;
    while (done < Count) {
        const ssize_t n = ::write(FHandle, static_cast<const char*>(Buffer) + done, static_cast<std::size_t>(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EWriteError("Cannot write file \"" + FFileName + "\". " + SysErrorMessage(errno));
        done += static_cast<Integer>(n);
    }
    return done;
}

Int64 TFileStream::Seek(Int64 Offset, Word Origin)
{
    const int whence = Origin == soFromCurrent ? SEEK_CUR : Origin == soFromEnd ? SEEK_END : SEEK_SET;
    const off_t result = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    if (result < 0)
        RaiseSeekError(SysErrorMessage(errno));
    return static_cast<Int64>(result);
}

void TFileStream::SetSize(Int64 NewSize)
{
    const Int64 position = Position();
    if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
        throw EWriteError("Cannot resize file \"" + FFileName + "\". " + SysErrorMessage(errno));
    Seek(std::min(position, NewSize), soFromBeginning);
}

void TFileStream::FlushBuffers()
{
    if (::fsync(FHandle) != 0)
        throw EWriteError("Cannot write file \"" + FFileName + "\". " + SysErrorMessage(errno));
}

#endif

// ---- whole files ----

#ifdef _WIN32

namespace {

// Owns a file handle for the span of one replacing write.
class TFileHandle {
public:
    explicit TFileHandle(HANDLE Handle) : FHandle(Handle) {}
    ~TFileHandle() { Close(); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    HANDLE Get() const { return FHandle; }
    void Close()
    {
        if (FHandle != INVALID_HANDLE_VALUE)
            CloseHandle(FHandle);
        FHandle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE FHandle;
};

bool IsBusyError(DWORD Code) { return Code == ERROR_SHARING_VIOLATION || Code == ERROR_ACCESS_DENIED || Code == ERROR_LOCK_VIOLATION; }

// Puts the written temporary file in the target's place through its own
// handle, so that no other writer can touch it between its last byte and
// the replacement. Returns the system error, 0 on success.
DWORD RenameByHandle(HANDLE File, const WideString& Target)
{
    WideString full(MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(Target.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n + 1);
        n = GetFullPathNameW(Target.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (n == 0)
        return GetLastError();
    full.resize(n);
    const std::size_t nameBytes = full.size() * sizeof(wchar_t);
    std::vector<Byte> block(sizeof(FILE_RENAME_INFO) + nameBytes, 0);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(block.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, full.data(), nameBytes);
    return SetFileInformationByHandle(File, FileRenameInfo, info, static_cast<DWORD>(block.size())) ? 0
                                                                                                       : GetLastError();
}

} // namespace

bool FileExists(const String& FileName)
{
    const DWORD attributes = GetFileAttributesW(StrToWide(FileName).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void SaveFileReplacing(const String& FileName, const String& Bytes)
{
    const String failure = "Cannot write file \"" + FileName + "\". ";
    const WideString target = StrToWide(FileName);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    // Windows refuses to replace a read-only file; the check is made here so
    // that it holds also where the system lets the user write anyway.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        throw EFCreateError(failure + "It is a folder.");
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        throw EFCreateError(failure + "The file is read-only.");

    // The temporary file is shared for reading only: a second writer waits
    // here. Readers must be let in, because the handle stays open for a
    // moment after the file has taken the target's name, and a reader that
    // found the file locked then would see no settings at all.
    const WideString temp = StrToWide(FileName + ReplaceSuffix);
    const DWORD start = GetTickCount();
    HANDLE h;
    for (;;) {
        h = CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            break;
        const DWORD code = GetLastError();
        if (code != ERROR_SHARING_VIOLATION || GetTickCount() - start > ReplaceWaitMs)
            throw EFCreateError(failure + SysErrorMessage(code));
        Sleep(10);
    }
    TFileHandle file(h);
    auto fail = [&](DWORD Code) {
        const String reason = SysErrorMessage(Code);
        file.Close();
        DeleteFileW(temp.c_str());
        throw EWriteError(failure + reason);
    };
    for (std::size_t done = 0; done < Bytes.size();) {
        const DWORD block = static_cast<DWORD>(std::min<std::size_t>(Bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file.Get(), Bytes.data() + done, block, &written, nullptr))
            fail(GetLastError());
        if (written == 0)
            fail(ERROR_DISK_FULL);
        done += written;
    }
    if (!FlushFileBuffers(file.Get()))
        fail(GetLastError());

    // Readers of the old file may hold it for a moment: wait for them.
    for (;;) {
        const DWORD code = RenameByHandle(file.Get(), target);
        if (code == 0)
            return;
        if (code == ERROR_INVALID_PARAMETER || code == ERROR_NOT_SUPPORTED || code == ERROR_CALL_NOT_IMPLEMENTED) {
            // A system without renaming by handle: close, then move.
            file.Close();
            for (;;) {
                if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                    return;
                const DWORD moveCode = GetLastError();
                if (!IsBusyError(moveCode) || GetTickCount() - start > ReplaceWaitMs) {
                    DeleteFileW(temp.c_str());
                    throw EWriteError(failure + SysErrorMessage(moveCode));
                }
                Sleep(10);
            }
        }
        if (!IsBusyError(code) || GetTickCount() - start > ReplaceWaitMs)
            fail(code);
        Sleep(10);
    }
}

// A writer holds its temporary file without sharing it for deletion until
// the file is in place, so only a temporary that nobody holds is deleted.
void RemoveStaleReplacement(const String& FileName)
{
    DeleteFileW(StrToWide(FileName + ReplaceSuffix).c_str());
}

#else

namespace {

unsigned long long NowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<unsigned long long>(t.tv_sec) * 1000 + static_cast<unsigned long long>(t.tv_nsec) / 1000000;
}

// The folder part of a path, "." for a bare name.
std::string FolderOf(const std::string& Path)
{
    const auto slash = Path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : (slash == 0 ? std::string("/") : Path.substr(0, slash));
}

} // namespace

bool FileExists(const String& FileName)
{
    struct stat st {};
    return ::stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

void SaveFileReplacing(const String& FileName, const String& Bytes)
{
    const String failure = "Cannot write file \"" + FileName + "\". ";
    struct stat st {};
    const bool exists = ::stat(FileName.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        throw EFCreateError(failure + "It is a folder.");
    // A file without write permission counts as read-only, also for a user
    // whom the system would let write it anyway.
    if (exists && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw EFCreateError(failure + "The file is read-only.");

    // The temporary file is locked while it is filled: a second writer
    // waits, and one whose file was renamed under it meanwhile starts over.
    const String temp = FileName + ReplaceSuffix;
    const unsigned long long start = NowMs();
    int fd = -1;
    for (;;) {
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            throw EFCreateError(failure + SysErrorMessage(errno));
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat held {}, named {};
            if (::fstat(fd, &held) == 0 && ::stat(temp.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
                held.st_dev == named.st_dev)
                break;
        }
        ::close(fd);
        if (NowMs() - start > ReplaceWaitMs)
            throw EFCreateError(failure + "Another program is writing it.");
        ::usleep(10000);
    }
    auto fail = [&](int Code) {
        const String reason = SysErrorMessage(Code);
        ::unlink(temp.c_str());
        ::close(fd);
        throw EWriteError(failure + reason);
    };
    // Only a regular file is cut and given the old file's permissions (the
    // temporary name may be taken by something else, a device for one).
    struct stat held {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode)) {
        if (::ftruncate(fd, 0) != 0)
            fail(errno);
        if (exists)
            ::fchmod(fd, st.st_mode & 07777);
    }
    for (std::size_t done = 0; done < Bytes.size();) {
        const ssize_t n = ::write(fd, Bytes.data() + done, Bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        fail(errno);
    if (::rename(temp.c_str(), FileName.c_str()) != 0)
        fail(errno);
    // The new name lasts once the folder is on the disk too.
    const int folder = ::open(FolderOf(FileName).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    ::close(fd);
}

// A writer holds the lock of its temporary file until the file is in place,
// so only a temporary that nobody holds is deleted; a writer that opened it
// meanwhile finds it gone once it has the lock, and starts over.
void RemoveStaleReplacement(const String& FileName)
{
    const String temp = FileName + ReplaceSuffix;
    const int fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        ::unlink(temp.c_str());
    ::close(fd);
}

#endif

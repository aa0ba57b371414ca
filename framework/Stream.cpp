#include "framework/Stream.h"

#include <algorithm>
#include <cstring>

#include "framework/Exception.h"
#include "framework/StrUtils.h"

#ifdef _WIN32
#include <windows.h>

#include "framework/Codepage.h"
#else
#include <cerrno>
#include <fcntl.h>
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

[[noreturn]] void RaiseSeekError()
{
    throw EStreamError("Seek to a position before the start of the stream");
}

#ifdef _WIN32
// The system's text for the thread's last error, read at once by the caller.
String LastErrorText(DWORD Code)
{
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, Code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    WideString text = n != 0 && buffer != nullptr ? WideString(buffer, n) : WideString();
    if (buffer != nullptr)
        LocalFree(buffer);
    String s = TrimRight(WideToStr(text));
    if (s.empty())
        s = "System error " + IntToStr(Code);
    return s;
}

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
    case fmShareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: return FILE_SHARE_READ;
    }
}
#else
String LastErrorText(int Code)
{
    return std::strerror(Code);
}

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
    if (Count > 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, Integer Count)
{
    if (Count > 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count)
{
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    if (Count <= 0)
        return 0;
    std::vector<Byte> buffer(static_cast<std::size_t>(std::min(Count, CopyBlockSize)));
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
    if (FPosition + Count > Size())
        FData.resize(static_cast<std::size_t>(FPosition + Count));
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
    if (base + Offset < 0)
        RaiseSeekError();
    FPosition = base + Offset;
    return FPosition;
}

void TMemoryStream::SetSize(Int64 NewSize)
{
    if (NewSize < 0)
        throw EStreamError("Negative stream size");
    FData.resize(static_cast<std::size_t>(NewSize));
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
        const String reason = LastErrorText(GetLastError());
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
        throw EReadError("Cannot read file \"" + FFileName + "\". " + LastErrorText(GetLastError()));
    return static_cast<Integer>(n);
}

Integer TFileStream::Write(const void* Buffer, Integer Count)
{
    if (Count <= 0)
        return 0;
    DWORD n = 0;
    if (!WriteFile(FHandle, Buffer, static_cast<DWORD>(Count), &n, nullptr))
        throw EWriteError("Cannot write file \"" + FFileName + "\". " + LastErrorText(GetLastError()));
    return static_cast<Integer>(n);
}

Int64 TFileStream::Seek(Int64 Offset, Word Origin)
{
    const DWORD method = Origin == soFromCurrent ? FILE_CURRENT : Origin == soFromEnd ? FILE_END : FILE_BEGIN;
    LARGE_INTEGER distance;
    distance.QuadPart = Offset;
    LARGE_INTEGER result;
    if (!SetFilePointerEx(FHandle, distance, &result, method))
        RaiseSeekError();
    return result.QuadPart;
}

void TFileStream::SetSize(Int64 NewSize)
{
    const Int64 position = Position();
    Seek(NewSize, soFromBeginning);
    if (!SetEndOfFile(FHandle))
        throw EWriteError("Cannot resize file \"" + FFileName + "\". " + LastErrorText(GetLastError()));
    Seek(std::min(position, NewSize), soFromBeginning);
}

#else

TFileStream::TFileStream(const String& FileName, Word Mode) : FFileName(FileName)
{
    const bool create = IsCreateMode(Mode);
    const int flags = (create ? O_RDWR | O_CREAT | O_TRUNC : FlagsOf(Mode)) | O_CLOEXEC;
    FHandle = ::open(FileName.c_str(), flags, 0666);
    if (FHandle < 0) {
        const String reason = LastErrorText(errno);
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
            throw EReadError("Cannot read file \"" + FFileName + "\". " + LastErrorText(errno));
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
            throw EWriteError("Cannot write file \"" + FFileName + "\". " + LastErrorText(errno));
        done += static_cast<Integer>(n);
    }
    return done;
}

Int64 TFileStream::Seek(Int64 Offset, Word Origin)
{
    const int whence = Origin == soFromCurrent ? SEEK_CUR : Origin == soFromEnd ? SEEK_END : SEEK_SET;
    const off_t result = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    if (result < 0)
        RaiseSeekError();
    return static_cast<Int64>(result);
}

void TFileStream::SetSize(Int64 NewSize)
{
    const Int64 position = Position();
    if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
        throw EWriteError("Cannot resize file \"" + FFileName + "\". " + LastErrorText(errno));
    Seek(std::min(position, NewSize), soFromBeginning);
}

#endif

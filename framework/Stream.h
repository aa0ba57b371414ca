#pragma once
// Byte streams: the abstract TStream with its buffer and copy helpers, a
// stream over a block of memory and a stream over a file. Positions and sizes
// are 64-bit; single reads and writes move at most an Integer's worth of bytes.

#include <vector>

#include "framework/Object.h"

// Seek origins.
enum : Word {
    soFromBeginning = 0,
    soFromCurrent = 1,
    soFromEnd = 2,
};

// File stream modes: one access mode, optionally or-ed with one share mode.
// fmCreate creates the file (or empties an existing one) for reading and writing.
enum : Word {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

class TStream : public TObject {
public:
    // Reads up to Count bytes into Buffer and returns how many were read
    // (fewer at the end of the stream).
    virtual Integer Read(void* Buffer, Integer Count) = 0;
    // Writes up to Count bytes and returns how many were written.
    virtual Integer Write(const void* Buffer, Integer Count) = 0;
    // Moves the position and returns the new one. A position before the
    // start raises EStreamError; one past the end is allowed.
    virtual Int64 Seek(Int64 Offset, Word Origin) = 0;

    Int64 Position() { return Seek(0, soFromCurrent); }
    void SetPosition(Int64 Value) { Seek(Value, soFromBeginning); }
    virtual Int64 Size();
    // Streams that cannot change their size raise EStreamError.
    virtual void SetSize(Int64 NewSize);

    // Read or write exactly Count bytes; a short transfer raises EReadError
    // or EWriteError.
    void ReadBuffer(void* Buffer, Integer Count);
    void WriteBuffer(const void* Buffer, Integer Count);

    // Copies Count bytes from Source's position into this stream; Count 0
    // copies the whole of Source from its start. Returns the bytes copied.
    Int64 CopyFrom(TStream* Source, Int64 Count);

protected:
    // What the stream's error messages name ("file \"X\""), or empty.
    virtual String ErrorSubject() const { return String(); }
    [[noreturn]] void RaiseSeekError(const String& Reason) const;
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override;
    Int64 Seek(Int64 Offset, Word Origin) override;
    Int64 Size() override { return static_cast<Int64>(FData.size()); }
    // Grows with zero bytes or cuts; the position is kept within the new size.
    void SetSize(Int64 NewSize) override;

    // The stream's bytes; valid until the size next changes.
    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }

    void Clear();
    // Replace the contents with the whole of Stream (from its start) or of the
    // file, and go to position 0.
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const String& FileName);
    // Write the whole contents, regardless of the position.
    void SaveToStream(TStream* Stream);
    void SaveToFile(const String& FileName);

private:
    // Resizes the block; a size the process cannot hold raises EStreamError.
    void Resize(Int64 NewSize);

    std::vector<Byte> FData;
    Int64 FPosition = 0;
};

// A stream over an open file. FileName is code page 936 text. Failing to open
// raises EFOpenError, failing to create EFCreateError, and a failed read or
// write of the system raises EReadError or EWriteError; each message names the
// file and the system's reason. The file is closed when the stream is freed.
class TFileStream : public TStream {
public:
    TFileStream(const String& FileName, Word Mode);
    ~TFileStream() override;

    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override;
    Int64 Seek(Int64 Offset, Word Origin) override;
    // Moves the end of the file; the position is kept within the new size.
    void SetSize(Int64 NewSize) override;
    // Hands what was written to the disk (FlushFileBuffers, fsync).
    void FlushBuffers();

    const String& FileName() const { return FFileName; }

protected:
    String ErrorSubject() const override { return "file \"" + FFileName + "\""; }

private:
    String FFileName;
#ifdef _WIN32
    void* FHandle = nullptr;   // a Win32 file HANDLE
#else
    int FHandle = -1;          // a POSIX file descriptor
#endif
};

// Whether a file (not a folder) of that name exists.
bool FileExists(const String& FileName);

// Writes Bytes as the whole new content of FileName without ever leaving a
// damaged file: the content goes to a temporary file beside it ("<name>.~tmp"),
// is flushed to the disk, and then takes the file's place in one step. A
// program killed meanwhile leaves the old file whole (and at most the
// temporary file, which the next write replaces); a write that fails (a full
// disk) leaves the old file whole and raises EWriteError. A read-only file is
// not replaced: EFCreateError. Errors name the file. Writers of the same file
// take turns: the temporary file is shared for reading only until it is in place.
void SaveFileReplacing(const String& FileName, const String& Bytes);
// Deletes the temporary file of a replacing write of FileName that a program
// killed in the middle of it left behind. The temporary of a write still
// running is held by its writer and stays.
void RemoveStaleReplacement(const String& FileName);

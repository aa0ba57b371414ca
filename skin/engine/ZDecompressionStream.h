#pragma once
// A stream that inflates one zlib stream (RFC 1950) read from a source
// stream, leaving the source positioned exactly after the zlib stream's last
// byte, so that data following a compressed block without a stored size
// can be read next.

#include <zlib.h>

#include <array>

#include "framework/Exception.h"
#include "framework/Stream.h"

// A zlib failure; Message is zlib's text for the code.
class EZLibError : public Exception {
public:
    EZLibError(int Code, const String& Text) : Exception(Text), ErrorCode(Code) {}
    explicit EZLibError(int Code);
    String ClassName() const override { return "EZLibError"; }
    int ErrorCode;
};

class EZDecompressionError : public EZLibError {
public:
    using EZLibError::EZLibError;
    String ClassName() const override { return "EZDecompressionError"; }
};

class TCustomZStream : public TStream {
public:
    // Called after every block read from the source.
    TNotifyEvent OnProgress;

protected:
    explicit TCustomZStream(TStream* Source);

    TStream* FStrm;      // the source, not owned
    Int64 FStrmPos;      // where this stream last left the source
    z_stream FZRec{};
    std::array<Byte, 65536> FBuffer;   // filled from the source before it is read
};

class TZDecompressionStream : public TCustomZStream {
public:
    // Starts inflating at Source's current position.
    explicit TZDecompressionStream(TStream* Source);
    ~TZDecompressionStream() override;

    // Up to Count inflated bytes; fewer when the zlib stream ends or the
    // source has no more bytes. Damaged data, and a stream that asks for a
    // preset dictionary, raise EZDecompressionError.
    Integer Read(void* Buffer, Integer Count) override;
    // Raises EZDecompressionError: the stream only inflates.
    Integer Write(const void* Buffer, Integer Count) override;
    // Answers the bytes inflated so far after the move: back to the start,
    // forward (inflating and discarding), or to the end of the zlib stream;
    // other moves raise EZDecompressionError.
    Int64 Seek(Int64 Offset, Word Origin) override;

    // The zlib stream's end has been reached.
    bool Ended() const { return FEnded; }

private:
    void Restart();
    void Discard(Int64 Count);

    Int64 FStartPos;
    bool FEnded = false;
};

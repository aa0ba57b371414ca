#include "skin/engine/ZDecompressionStream.h"

#include <algorithm>

namespace {

const char* const InvalidOperation = "Invalid ZStream operation!";

}   // namespace

EZLibError::EZLibError(int Code) : Exception(zError(Code)), ErrorCode(Code) {}

TCustomZStream::TCustomZStream(TStream* Source) : FStrm(Source), FStrmPos(Source->Position()) {}

TZDecompressionStream::TZDecompressionStream(TStream* Source) : TCustomZStream(Source), FStartPos(FStrmPos)
{
    FZRec.next_in = FBuffer.data();
    FZRec.avail_in = 0;
    const int code = inflateInit(&FZRec);
    if (code != Z_OK)
        throw EZDecompressionError(code);
}

TZDecompressionStream::~TZDecompressionStream()
{
    inflateEnd(&FZRec);
}

Integer TZDecompressionStream::Read(void* Buffer, Integer Count)
{
    if (Count <= 0)
        return 0;
    FZRec.next_out = static_cast<Bytef*>(Buffer);
    FZRec.avail_out = static_cast<uInt>(Count);
    if (FStrm->Position() != FStrmPos)
        FStrm->SetPosition(FStrmPos);
    while (FZRec.avail_out > 0 && !FEnded) {
        if (FZRec.avail_in == 0) {
            const Integer got = FStrm->Read(FBuffer.data(), static_cast<Integer>(FBuffer.size()));
            if (got <= 0)
                break;
            FZRec.next_in = FBuffer.data();
            FZRec.avail_in = static_cast<uInt>(got);
            FStrmPos = FStrm->Position();
            if (OnProgress)
                OnProgress(this);
        }
        const int code = inflate(&FZRec, Z_NO_FLUSH);
        if (code == Z_STREAM_END)
            FEnded = true;
        else if (code != Z_OK)   // damaged data, or a preset dictionary asked for
            throw EZDecompressionError(code);
    }
    if (FEnded && FZRec.avail_in > 0) {
        // Give the source back the bytes after the zlib stream.
        FStrm->Seek(-static_cast<Int64>(FZRec.avail_in), soFromCurrent);
        FStrmPos = FStrm->Position();
        FZRec.avail_in = 0;
    }
    return Count - static_cast<Integer>(FZRec.avail_out);
}

Integer TZDecompressionStream::Write(const void*, Integer)
{
    throw EZDecompressionError(Z_STREAM_ERROR, InvalidOperation);
}

void TZDecompressionStream::Restart()
{
    const int code = inflateReset(&FZRec);
    if (code != Z_OK)
        throw EZDecompressionError(code);
    FZRec.avail_in = 0;
    FEnded = false;
    FStrmPos = FStartPos;
    FStrm->SetPosition(FStartPos);
}

void TZDecompressionStream::Discard(Int64 Count)
{
    std::array<Byte, 8192> scratch;
    while (Count > 0) {
        const Integer want = static_cast<Integer>(std::min<Int64>(Count, scratch.size()));
        const Integer got = Read(scratch.data(), want);
        if (got <= 0)
            break;
        Count -= got;
    }
}

Int64 TZDecompressionStream::Seek(Int64 Offset, Word Origin)
{
    const Int64 done = static_cast<Int64>(FZRec.total_out);
    if (Origin == soFromBeginning && Offset == 0)
        Restart();
    else if (Origin == soFromCurrent && Offset >= 0)
        Discard(Offset);
    else if (Origin == soFromBeginning && Offset > done)
        Discard(Offset - done);
    else if (Origin == soFromEnd && Offset == 0)
        Discard(INT64_MAX);
    else
        throw EZDecompressionError(Z_STREAM_ERROR, InvalidOperation);
    return static_cast<Int64>(FZRec.total_out);
}

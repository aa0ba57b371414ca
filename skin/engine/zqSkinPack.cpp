#include "skin/engine/zqSkinPack.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "framework/StrUtils.h"
#include "skin/engine/ZDecompressionStream.h"
#include "skin/engine/qSkinWarning.h"

namespace {

[[noreturn]] void ShortContainer(const String& What)
{
    throw EReadError("Stream read error: the packed skin ends inside " + What);
}

Integer ReadInt32(TStream* Source, Int64& Left, const char* What)
{
    if (Left < 4)
        ShortContainer(What);
    Byte b[4];
    Source->ReadBuffer(b, 4);
    Left -= 4;
    return static_cast<Integer>(b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24));
}

// Inflates one entry of exactly Size bytes from Source's position; the
// source is left after the entry's zlib stream. The data grows as it
// inflates, so a damaged entry never costs its declared size in memory.
std::unique_ptr<TMemoryStream> InflateEntry(TStream* Source, Integer Size)
{
    auto data = std::make_unique<TMemoryStream>();
    TZDecompressionStream z(Source);
    std::array<Byte, 65536> chunk;
    Integer done = 0;
    while (done < Size) {
        const Integer want = std::min<Integer>(Size - done, static_cast<Integer>(chunk.size()));
        const Integer got = z.Read(chunk.data(), want);
        if (got > 0)
            data->WriteBuffer(chunk.data(), got);
        done += got;
        if (got < want)
            break;
    }
    if (done < Size) {
        if (!z.Ended())
            ShortContainer("an entry's data");
        throw EReadError("Stream read error: an entry unpacks to fewer bytes than its size");
    }
    Byte extra;
    if (z.Read(&extra, 1) != 0)
        throw EZDecompressionError(Z_DATA_ERROR, "an entry unpacks to more bytes than its size");
    if (!z.Ended())
        ShortContainer("an entry's data");
    data->SetPosition(0);
    return data;
}

}   // namespace

TzqSkinConvertor::~TzqSkinConvertor()
{
    Clear();
}

void TzqSkinConvertor::SetSource(TStream* Source)
{
    FOwnedSource.reset();
    FSource = Source;
}

void TzqSkinConvertor::TakeSource(std::unique_ptr<TStream> Source)
{
    FOwnedSource = std::move(Source);
    FSource = FOwnedSource.get();
}

void TzqSkinConvertor::FreeSource()
{
    FOwnedSource.reset();
    FSource = nullptr;
}

void TzqSkinConvertor::Clear()
{
    while (!Files.empty())
        Files.pop_back();
    Options.reset();
    FreeSource();
}

const TzqImageItem* TzqSkinConvertor::FindItem(const String& Name) const
{
    for (const TzqImageItem& item : Files)
        if (UpperCase(item.Name) == Name)
            return &item;
    return nullptr;
}

void TzqSkinConvertor::Unpack()
{
    Files.clear();
    Options.reset();
    if (FSource == nullptr)
        return;
    TStream* source = FSource;
    source->SetPosition(0);
    Int64 left = source->Size();
    char magic[4] = {};
    const Integer got = source->Read(magic, 4);
    left -= got;
    if (got != 4 || std::memcmp(magic, "ZVpk", 4) != 0) {
        ShowWarningBox("Loaded data is not packed ZorvikSkin file");
        Clear();
        return;
    }
    const Integer count = ReadInt32(source, left, "its entry count");
    // Every entry holds at least its name length and size.
    if (count < 0 || count > MaxPackedEntries || Int64(count) * 8 > left)
        ShortContainer("its " + IntToStr(count) + " entries");
    for (Integer i = 0; i < count; ++i) {
        const Integer length = ReadInt32(source, left, "an entry's name length");
        if (length < 0 || length > MaxPackedNameLength || length > left)
            ShortContainer("an entry's name");
        String name(static_cast<std::size_t>(length), '\0');
        source->ReadBuffer(name.data(), length);
        left -= length;
        const Integer size = ReadInt32(source, left, "an entry's size");
        // A zlib stream takes at least 8 bytes and inflates to at most
        // about 1,032 times its size.
        if (size < 0 || size > MaxPackedEntrySize || left < 8 || size / 1032 > left)
            ShortContainer("an entry's data");
        const Int64 before = source->Position();
        auto data = InflateEntry(source, size);
        left -= source->Position() - before;
        if (UpperCase(name) == UpperCase(PackedOptionsName)) {
            Options = std::move(data);
            continue;
        }
        const std::size_t dot = name.rfind('.');
        const bool isBitmap = dot != String::npos && UpperCase(name.substr(dot)) == ".BMP";
        Files.push_back(TzqImageItem{name, isBitmap, std::move(data)});
    }
}

void LoadSkinPackFile(const String& FileName, std::unique_ptr<TzqSkinConvertor>& Convertor, bool FreeSource)
{
    if (!FileExists(FileName))
        return;
    if (Convertor)
        Convertor->Clear();
    else
        Convertor = std::make_unique<TzqSkinConvertor>();
    auto bytes = std::make_unique<TMemoryStream>();
    bytes->LoadFromFile(FileName);
    Convertor->TakeSource(std::move(bytes));
    try {
        Convertor->Unpack();
    } catch (...) {
        if (FreeSource)
            Convertor->FreeSource();
        throw;
    }
    if (FreeSource)
        Convertor->FreeSource();
}

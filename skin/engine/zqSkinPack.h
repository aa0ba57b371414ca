#pragma once
// Packed skins: a whole skin (its options text and its pictures) in one
// stream, "ZVpk", the entry count N, then N entries of a name length L, the
// name, the unpacked size U and the data as one zlib stream (whose
// compressed size is not stored). All integers 32-bit little-endian.
//
// A container is untrusted input: N, L and U are checked against the bytes
// left and against caps before anything is allocated, an entry must inflate
// to exactly U bytes ending at its zlib stream's end, and nothing is read
// past the source. A short container raises EReadError, damaged data
// EZDecompressionError.

#include <memory>
#include <vector>

#include "framework/Stream.h"

constexpr Integer MaxPackedEntries = 4096;
constexpr Integer MaxPackedNameLength = 260;
constexpr Integer MaxPackedEntrySize = 64 << 20;

// The name of the options entry (compared after upper-casing both).
inline const char* const PackedOptionsName = "Options.dat";

struct TzqImageItem {
    String Name;                          // as stored
    bool IsBitmap = false;                // the name's extension is ".BMP" in any case
    std::unique_ptr<TMemoryStream> Data;  // the unpacked bytes
};

class TzqSkinConvertor : public TPersistent {
public:
    ~TzqSkinConvertor() override;

    // The picture entries held, in container order without options entries.
    std::vector<TzqImageItem> Files;
    // The unpacked options text of the last options entry; none without one.
    std::unique_ptr<TMemoryStream> Options;

    // The picture entries really held (not N - 1: a container may hold no
    // options entry or two).
    int ImageCount() const { return static_cast<int>(Files.size()); }

    // The stream Unpack reads. SetSource hands one in that the caller keeps;
    // TakeSource one that the reader frees with Clear.
    TStream* Source() const { return FSource; }
    void SetSource(TStream* Source);
    void TakeSource(std::unique_ptr<TStream> Source);
    void FreeSource();

    // Reads the source from its start into Files and Options. A stream that
    // is not a packed skin shows the engine's warning and leaves the reader
    // empty (no items, options or source).
    void Unpack();
    // Frees the items (last first), the options and an owned source.
    void Clear();

    // The item whose upper-cased name equals Name, or nullptr.
    const TzqImageItem* FindItem(const String& Name) const;

private:
    TStream* FSource = nullptr;
    std::unique_ptr<TStream> FOwnedSource;
};

// When the file exists: clears Convertor (or creates it), unpacks the file
// through it, and frees the file's bytes afterwards (also when unpacking
// fails) when FreeSource is set. Nothing happens for a missing file.
void LoadSkinPackFile(const String& FileName, std::unique_ptr<TzqSkinConvertor>& Convertor, bool FreeSource);

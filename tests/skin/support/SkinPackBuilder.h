#pragma once
// Packed skins made by the tests: the container written byte by byte with
// zlib's deflate, independently of the reader. Header only, for both trees.

#include <zlib.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace skintest {

inline void PutInt32(std::string& Out, std::int64_t Value)
{
    const auto v = static_cast<std::uint32_t>(Value);
    for (int i = 0; i < 4; ++i)
        Out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string Deflate(const std::string& Data, int Level = 6)
{
    uLongf size = compressBound(static_cast<uLong>(Data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(Data.data()),
                  static_cast<uLong>(Data.size()), Level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

struct TPackEntry {
    std::string Name;
    std::string Data;
    std::int64_t DeclaredSize = -1;   // U as written; -1 = the data's size
};

// "ZVpk", N, then each entry: L, name, U, zlib stream.
inline std::string PackEntries(const std::vector<TPackEntry>& Entries)
{
    std::string out = "ZVpk";
    PutInt32(out, static_cast<std::int64_t>(Entries.size()));
    for (const TPackEntry& e : Entries) {
        PutInt32(out, static_cast<std::int64_t>(e.Name.size()));
        out += e.Name;
        PutInt32(out, e.DeclaredSize >= 0 ? e.DeclaredSize : static_cast<std::int64_t>(e.Data.size()));
        out += Deflate(e.Data);
    }
    return out;
}

}   // namespace skintest

#pragma once
// PNG files of 8-bit RGB rows for the skin tests' goldens and screenshots:
// written deflated with zlib (one IDAT chunk, filter 0) and read back.
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/Bitmap.h"

namespace skintest {

inline void PutBE(std::string& Out, std::uint32_t V)
{
    for (int s = 24; s >= 0; s -= 8)
        Out += static_cast<char>((V >> s) & 0xFF);
}

inline void PutChunk(std::string& Png, const char* Type, const std::string& Data)
{
    PutBE(Png, static_cast<std::uint32_t>(Data.size()));
    const std::string body = std::string(Type, 4) + Data;
    Png += body;
    PutBE(Png, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

inline std::string RawRows(TBitmap& B)
{
    std::string raw;
    for (int y = 0; y < B.Height(); ++y) {
        raw += '\0';
        const Byte* p = B.ScanLine(y);
        for (int x = 0; x < B.Width(); ++x, p += B.BytesPerPixel()) {
            raw += static_cast<char>(p[2]);
            raw += static_cast<char>(p[1]);
            raw += static_cast<char>(p[0]);
        }
    }
    return raw;
}

inline void SavePng(TBitmap& B, const std::string& Path)
{
    std::string header;
    PutBE(header, static_cast<std::uint32_t>(B.Width()));
    PutBE(header, static_cast<std::uint32_t>(B.Height()));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    const std::string raw = RawRows(B);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 9);
    packed.resize(size);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    std::ofstream(Path, std::ios::binary) << png;
}

// The raw rows of a PNG this test wrote (one IDAT, filter 0); empty when
// the file is missing.
inline std::string LoadPngRows(const std::string& Path, int& W, int& H)
{
    std::ifstream in(Path, std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (png.size() < 33)
        return std::string();
    const auto be = [&](std::size_t At) {
        return static_cast<std::uint32_t>(static_cast<Byte>(png[At])) << 24 |
               static_cast<std::uint32_t>(static_cast<Byte>(png[At + 1])) << 16 |
               static_cast<std::uint32_t>(static_cast<Byte>(png[At + 2])) << 8 | static_cast<Byte>(png[At + 3]);
    };
    W = static_cast<int>(be(16));
    H = static_cast<int>(be(20));
    const std::size_t idat = 33;
    const std::uint32_t length = be(idat);
    uLongf size = static_cast<uLongf>(H) * (1 + 3 * static_cast<uLongf>(W));
    std::string raw(size, '\0');
    if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &size, reinterpret_cast<const Bytef*>(png.data() + idat + 8),
                   length) != Z_OK)
        return std::string();
    return raw;
}

}   // namespace skintest

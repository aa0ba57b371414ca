#pragma once
// Pictures made by the tests: BMP files written byte by byte and JPEG
// pictures through libjpeg's encoder. Header only, for both trees.

#include <cstdio>
#include <cstdint>
#include <string>

#include <jpeglib.h>

#include "SkinPackBuilder.h"

namespace skintest {

inline void PutInt16(std::string& Out, int Value)
{
    Out += static_cast<char>(Value & 0xFF);
    Out += static_cast<char>((Value >> 8) & 0xFF);
}

// The colour of pixel X, Y of the test pictures: a pattern that differs
// from pixel to pixel, as (R, G, B).
inline std::uint32_t TestPixel(int X, int Y) { return ((X * 7) & 0xFF) | (((Y * 13) & 0xFF) << 8) | (((X + Y) & 0xFF) << 16); }

// A 24-bit bottom-up BMP of TestPixel colours.
inline std::string MakeBmp(int Width, int Height)
{
    const int rowBytes = (Width * 3 + 3) / 4 * 4;
    std::string out = "BM";
    PutInt32(out, 14 + 40 + rowBytes * Height);
    PutInt32(out, 0);
    PutInt32(out, 14 + 40);
    PutInt32(out, 40);
    PutInt32(out, Width);
    PutInt32(out, Height);
    PutInt16(out, 1);
    PutInt16(out, 24);
    for (int i = 0; i < 6; ++i)
        PutInt32(out, 0);
    for (int y = Height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < Width; ++x) {
            const std::uint32_t c = TestPixel(x, y);
            row += static_cast<char>((c >> 16) & 0xFF);
            row += static_cast<char>((c >> 8) & 0xFF);
            row += static_cast<char>(c & 0xFF);
        }
        row.resize(static_cast<std::size_t>(rowBytes), '\0');
        out += row;
    }
    return out;
}

// A colour JPEG of a plain grey picture.
inline std::string MakeJpeg(int Width, int Height, int Quality = 90)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(Width);
    c.image_height = static_cast<JDIMENSION>(Height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, Quality, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::string row(static_cast<std::size_t>(Width) * 3, '\x80');
    while (c.next_scanline < c.image_height) {
        JSAMPROW p = reinterpret_cast<JSAMPROW>(row.data());
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

}   // namespace skintest

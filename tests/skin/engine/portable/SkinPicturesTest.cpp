// The skin pictures' BMP decoder on pixel layouts the randomized runs do not
// make: bit-field masks of 16 and 32 bits, and pictures without pixels.
#include <gtest/gtest.h>

#include "../../support/SkinPackBuilder.h"
#include "skin/engine/qSkinPictures.h"

namespace {

// A one-pixel BMP of Bits per pixel with bit-field masks after a 40-byte header.
std::string BitFieldBmp(int Bits, std::uint32_t Red, std::uint32_t Green, std::uint32_t Blue, std::uint32_t Pixel)
{
    std::string out = "BM";
    skintest::PutInt32(out, 14 + 40 + 12 + 4);
    skintest::PutInt32(out, 0);
    skintest::PutInt32(out, 14 + 40 + 12);
    skintest::PutInt32(out, 40);
    skintest::PutInt32(out, 1);
    skintest::PutInt32(out, 1);
    out += std::string("\x01\x00", 2);
    out += static_cast<char>(Bits);
    out += '\0';
    skintest::PutInt32(out, 3);   // BI_BITFIELDS
    for (int i = 0; i < 5; ++i)
        skintest::PutInt32(out, 0);
    skintest::PutInt32(out, Red);
    skintest::PutInt32(out, Green);
    skintest::PutInt32(out, Blue);
    skintest::PutInt32(out, Pixel);   // 16-bit pixels use the first two bytes, the rest pads the row
    return out;
}

std::uint32_t Decode(const std::string& Bytes, int& Width)
{
    TBitmap bmp;
    DecodeBmp(reinterpret_cast<const Byte*>(Bytes.data()), Bytes.size(), bmp);
    Width = bmp.Width();
    if (bmp.Empty())
        return 0;
    const Byte* p = bmp.ScanLine(0);
    return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

}   // namespace

TEST(SkinPictures, BitFields)
{
    int width = 0;
    // 5-6-5: full red and green, no blue.
    EXPECT_EQ(0xFFFF00u, Decode(BitFieldBmp(16, 0xF800, 0x07E0, 0x001F, 0xFFE0), width));
    EXPECT_EQ(1, width);
    // 32 bits with the channels in the three high bytes.
    EXPECT_EQ(0x112233u, Decode(BitFieldBmp(32, 0xFF000000u, 0x00FF0000, 0x0000FF00, 0x11223300), width));
    // A mask that is not one run of bits is no bitmap.
    EXPECT_THROW(Decode(BitFieldBmp(16, 0x0F0F, 0x00F0, 0x000F, 0), width), EInvalidGraphic);
    // Bit fields for 24 bits are no bitmap either.
    EXPECT_THROW(Decode(BitFieldBmp(24, 0xFF0000, 0xFF00, 0xFF, 0), width), EInvalidGraphic);
}

TEST(SkinPictures, NoPixels)
{
    std::string bytes = BitFieldBmp(32, 0xFF0000, 0xFF00, 0xFF, 0);
    bytes.replace(18, 4, std::string(4, '\0'));   // width 0
    int width = -1;
    Decode(bytes, width);
    EXPECT_EQ(0, width);
    TBitmap bmp;
    EXPECT_THROW(DecodeJpeg(reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), bmp), EInvalidGraphic);
}

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int Width = 32;
constexpr int Height = 16;

// Left half red, right half blue.
std::vector<unsigned char> TestPicture()
{
    std::vector<unsigned char> rgb(Width * Height * 3);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            unsigned char* p = &rgb[(y * Width + x) * 3];
            p[0] = x < Width / 2 ? 220 : 20;
            p[1] = 30;
            p[2] = x < Width / 2 ? 20 : 220;
        }
    return rgb;
}

std::vector<unsigned char> Compress(const std::vector<unsigned char>& rgb)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&c, &out, &outSize);
    c.image_width = Width;
    c.image_height = Height;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(&rgb[c.next_scanline * Width * 3]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<unsigned char> jpeg(out, out + outSize);
    std::free(out);
    return jpeg;
}

} // namespace

// Skins carry JPEG pictures; check the static libjpeg decodes what its own
// compressor wrote, close to the original colours.
TEST(Jpeg, DecodesWhatItEncoded)
{
    const std::vector<unsigned char> original = TestPicture();
    const std::vector<unsigned char> jpeg = Compress(original);
    ASSERT_GT(jpeg.size(), 100u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);

    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    jpeg_start_decompress(&d);
    ASSERT_EQ(d.output_width, static_cast<JDIMENSION>(Width));
    ASSERT_EQ(d.output_height, static_cast<JDIMENSION>(Height));
    ASSERT_EQ(d.output_components, 3);
    std::vector<unsigned char> decoded(Width * Height * 3);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = &decoded[d.output_scanline * Width * 3];
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);

    // Away from the colour edge the pixels match within JPEG's loss.
    for (int y = 0; y < Height; ++y)
        for (int x : {2, 5, 26, 29})
            for (int ch = 0; ch < 3; ++ch) {
                const int i = (y * Width + x) * 3 + ch;
                EXPECT_NEAR(decoded[i], original[i], 12) << "x " << x << " y " << y << " channel " << ch;
            }
}

#include <gtest/gtest.h>

#include <string>

#include <zlib.h>

// The skin reader inflates packed data; check the linked zlib round-trips a
// buffer that it deflated itself.
TEST(Zlib, InflatesWhatItDeflated)
{
    std::string input;
    for (int i = 0; i < 5000; ++i)
        input += "skin section " + std::to_string(i % 37) + ";";

    uLongf packedSize = compressBound(static_cast<uLong>(input.size()));
    std::string packed(packedSize, '\0');
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                        reinterpret_cast<const Bytef*>(input.data()), static_cast<uLong>(input.size()), 9),
              Z_OK);
    packed.resize(packedSize);
    EXPECT_LT(packed.size(), input.size() / 4);

    z_stream z{};
    ASSERT_EQ(inflateInit(&z), Z_OK);
    std::string output(input.size(), '\0');
    z.next_in = reinterpret_cast<Bytef*>(packed.data());
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(output.data());
    z.avail_out = static_cast<uInt>(output.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(z.total_out, input.size());
    inflateEnd(&z);
    EXPECT_EQ(output, input);
}

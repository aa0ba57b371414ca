#include <gtest/gtest.h>

#include "device/Frames.h"
#include "tests/device/ByteText.h"

namespace {

class FramesTest : public ::testing::Test {
protected:
    void TearDown() override { SetFrameAddressSource(nullptr); }
};

TEST_F(FramesTest, AddCheckSumMakesTheFrameSumToFF)
{
    struct Case {
        const char* frame;
        const char* expected;
    };
    const Case cases[] = {
        {"CA 20 FE 26 05 FF FF FF FF 00", "CA 20 FE 26 05 FF FF FF FF 00 F0"},
        {"", "FF"},
        {"CA 90 FF", "CA 90 FF A6"},
        {"CA B0 FF 03 11 22 33", "CA B0 FF 03 11 22 33 1D"},
        {"FF", "FF 00"},
    };
    for (const Case& c : cases) {
        const std::string out = AddCheckSum(Hex(c.frame));
        EXPECT_EQ(ToHex(out), c.expected) << "frame: " << c.frame;
        unsigned sum = 0;
        for (unsigned char b : out)
            sum += b;
        EXPECT_EQ(sum & 0xFF, 0xFFu) << "frame: " << c.frame;
    }
}

TEST_F(FramesTest, BuildersPutAddressLengthAndTrailer)
{
    struct Case {
        int selectedIndex;   // the send-ID list's selection; -1 is none
        bool withCheckByte;  // BuildNetFrame, else BuildComFrame
        unsigned char command;
        const char* data;
        const char* expected;
    };
    const Case cases[] = {
        {0xFE, true, 0x31, "01 05", "CA 20 FE 31 02 01 05 DE"},
        {0xFE, false, 0x26, "00 68 00 00 FA", "CA 20 FE 26 05 00 68 00 00 FA AC"},
        {0xFE, true, 0x26, "FF FF FF FF 00", "CA 20 FE 26 05 FF FF FF FF 00 F0"},
        {-1, false, 0x32, "01 00", "CA 20 FF 32 02 01 00 AC"},
        {0x00, true, 0x25, "", "CA 20 00 25 00 F0"},
    };
    for (const Case& c : cases) {
        SetFrameAddressSource([&c] { return c.selectedIndex; });
        const std::string frame = c.withCheckByte ? BuildNetFrame(c.command, Hex(c.data))
                                                  : BuildComFrame(c.command, Hex(c.data));
        EXPECT_EQ(ToHex(frame), c.expected) << "command " << int(c.command) << " data " << c.data;
    }
}

TEST_F(FramesTest, WithoutAddressSourceTheDefaultAddressIsFE)
{
    EXPECT_EQ(FrameAddress(), 0xFE);
    EXPECT_EQ(ToHex(BuildNetFrame(0x31, Hex("01 05"))), "CA 20 FE 31 02 01 05 DE");
}

TEST_F(FramesTest, LengthByteIsTakenModulo256)
{
    const std::string data(256, '\x01');
    const std::string frame = BuildComFrame(0x25, data);
    ASSERT_EQ(frame.size(), 5u + 256u + 1u);
    EXPECT_EQ(static_cast<unsigned char>(frame[4]), 0x00);
    EXPECT_EQ(static_cast<unsigned char>(frame.back()), 0xAC);
}

} // namespace

// The channel commands' data, slot addresses, the raw-send toggles, parity
// codes, line times, and the frames of send number and learn.
#include <gtest/gtest.h>

#include "device/Frames.h"
#include "device/channel/ChannelCommands.h"
#include "device/channel/UStmLoad.h"
#include "tests/device/ByteText.h"

namespace {

using namespace vantrel;

TEST(ChannelCommandsTest, SlotAddressesAndRequestData)
{
    struct Case {
        const char* what;
        String data;
        const char* hex;
    };
    const Case cases[] = {
        {"directory of channel 1", DirectoryData(1), "FF FF FF FF 01"},
        {"first read of channel 0 slot 5", ReadMemoryData(SlotAddress(0, 5), 250), "00 68 00 00 FA"},
        {"last piece of a 600-byte record", ReadMemoryData(SlotAddress(0, 5) + 500, 100), "F4 69 00 00 64"},
        {"channel 7 slot 99", ReadMemoryData(SlotAddress(7, 99), 1), "00 38 19 00 01"},
        {"write two bytes", WriteMemoryData(0x4000, Hex("11 22")), "00 40 00 00 02 11 22"},
        {"clear channel 0 slot 10", ClearSlotData(0, 10), "FF FF FF FF 0A 00"},
        {"clear channel 7 slot 99", ClearSlotData(7, 99), "FF FF FF FF 1F 03"},
        {"slot 17 of the third channel", SlotRequestData(2, 17), "03 11"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToHex(c.data), c.hex) << c.what;
    EXPECT_EQ(SlotAddress(0, 0), 0x4000u);
    EXPECT_EQ(SlotAddress(0, 5), 0x6800u);
}

TEST(ChannelCommandsTest, FramesOfBothBuildersWithTheSendIdAddress)
{
    SetFrameAddressSource([] { return 0xFE; });
    EXPECT_EQ(ToHex(BuildComFrame(CmdRead, ReadMemoryData(SlotAddress(0, 5), 250))),
              "CA 20 FE 26 05 00 68 00 00 FA AC");
    EXPECT_EQ(ToHex(BuildNetFrame(CmdLearn, SlotRequestData(2, 17))), "CA 20 FE 32 02 03 11 CF");
    EXPECT_EQ(ToHex(BuildNetFrame(CmdSendNumber, SlotRequestData(0, 5))), "CA 20 FE 31 02 01 05 DE");
    // No entry selected in the send-ID list: -1 goes out as FF.
    SetFrameAddressSource([] { return -1; });
    EXPECT_EQ(ToHex(BuildNetFrame(CmdSendNumber, SlotRequestData(0, 5))).substr(0, 8), "CA 20 FF");
    SetFrameAddressSource(nullptr);
}

TEST(ChannelCommandsTest, RawSendTagsToggleByChannelAndSlot)
{
    RawSendToggles.fill(0);
    const struct {
        int channel, slot;
        Byte tag;
    } sends[] = {
        {0, 3, 0x03}, {0, 3, 0x02}, {1, 3, 0x03},   // channel 1 has its own sequence
        {0, 3, 0x03}, {1, 3, 0x02}, {7, 99, 0x03}, {7, 99, 0x02},
    };
    int i = 0;
    for (const auto& s : sends)
        EXPECT_EQ(NextRawTag(s.channel, s.slot), s.tag) << "send " << i++;
    RawSendToggles.fill(0);
}

TEST(ChannelCommandsTest, OversizedRecordsAreFoundBeforeADownload)
{
    TChannelRecords records;
    EXPECT_EQ(OversizedSlot(records), -1);
    records[40] = String(2048, 'x');
    EXPECT_EQ(OversizedSlot(records), -1) << "2048 bytes fit a block";
    records[40] = String(2049, 'x');
    records[77] = String(3000, 'x');
    EXPECT_EQ(OversizedSlot(records), 40);
    EXPECT_EQ(OversizedRecordStatus(40), "下载失败！40号代码长度大于2048！");
    EXPECT_EQ(OversizedRecordStatus(5), "下载失败！05号代码长度大于2048！");
}

TEST(ChannelCommandsTest, ParityCodesLineTimesAndReadIntervals)
{
    EXPECT_EQ(ParityCode(TParityState::Unchecked), 0);
    EXPECT_EQ(ParityCode(TParityState::Checked), 2);
    EXPECT_EQ(ParityCode(TParityState::Grayed), 1);

    EXPECT_EQ(AirTimeMs(384, 38400, 10), 100u);
    EXPECT_EQ(AirTimeMs(255, 1200, 10), 2125u);
    EXPECT_EQ(AirTimeMs(1, 9600, 11), 2u) << "rounded up";
    EXPECT_EQ(AirTimeMs(100, 0, 10), 0u);

    struct Case {
        Cardinal baud, interval;
    } cases[] = {{115200, 1}, {38400, 1}, {9600, 3}, {1200, 19}, {300, 74}, {50, 100}, {0, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(ReadIntervalFor(c.baud), c.interval) << c.baud << " baud";
}

TEST(ChannelCommandsTest, ExpectedReplySizes)
{
    EXPECT_EQ(ExpectedReplyBytes(TChannelStep::ReadMemory, ReadMemoryData(0x4000, 250)), 255);
    EXPECT_EQ(ExpectedReplyBytes(TChannelStep::ReadMemory, ReadMemoryData(0x4000, 100)), 105);
    EXPECT_EQ(ExpectedReplyBytes(TChannelStep::ReadDirectory, DirectoryData(0)), 260);
    EXPECT_EQ(ExpectedReplyBytes(TChannelStep::WriteMemory, WriteMemoryData(0x4000, "ab")), 4);
}

} // namespace

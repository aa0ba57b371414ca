// The channel operations against the simulated extender, each on both
// transports: the serial port through the job worker (a pseudo-terminal
// mapped to a COM name) and TCP on loopback.
#include <gtest/gtest.h>

#include <algorithm>

#include "device/Frames.h"
#include "framework/Application.h"
#include "tests/device/ByteText.h"
#include "tests/device/channel/ChannelTestHost.h"

namespace {

using namespace channeltest;
using namespace vantrel;

int timerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }

class ChannelOperationsTest : public ::testing::TestWithParam<Transport> {
protected:
    void SetUp() override
    {
        std::string why;
        ASSERT_TRUE(f.Ready(&why)) << why;
        RawSendToggles.fill(0);
    }
    void TearDown() override
    {
        EXPECT_EQ(f.Host.ForeignThreadCalls, 0) << "host called off the main thread";
        EXPECT_TRUE(f.Sim.Ctl("warnings").find("OK 0") != std::string::npos) << f.Sim.Ctl("warnings");
    }
    Transport T() const { return GetParam(); }
    // The link has let go of the device: port closed, connection closed.
    void ExpectReleased()
    {
        EXPECT_FALSE(f.Host.Link.Opened()) << "serial port left open";
        EXPECT_FALSE(f.Host.Client.Connected()) << "connection left open";
        EXPECT_FALSE(f.Host.PanelVisible) << "progress panel left shown";
    }
    // Frames the device answered whose hex starts with Prefix.
    std::vector<std::string> FramesStarting(const std::string& Prefix)
    {
        std::vector<std::string> found;
        for (const auto& frame : AnsweredFrames(f.Sim))
            if (frame.rfind(Prefix, 0) == 0)
                found.push_back(frame);
        return found;
    }

    ChannelFixture f;
};

TEST_P(ChannelOperationsTest, ReadReplacesAllHundredRecords)
{
    const struct {
        int slot;
        std::size_t length;
    } stored[] = {{0, 2}, {5, 600}, {19, 250}, {20, 251}, {63, 2048}, {99, 24}};
    for (const auto& s : stored)
        f.Store(0, s.slot, Record(s.length, s.slot));
    // A block whose leading length says 2049 is listed but not read.
    f.Sim.Ctl("mem write " + std::to_string(SlotAddress(0, 40)) + " 0108AABB");
    // Nor are blocks whose leading length is below a record's own two bytes.
    f.Sim.Ctl("mem write " + std::to_string(SlotAddress(0, 41)) + " 0100AABB");
    f.Sim.Ctl("mem write " + std::to_string(SlotAddress(0, 42)) + " 0000AABB");
    for (String& entry : ReadBuffer)
        entry = "left over";

    ASSERT_TRUE(f.Read(T()));

    for (int s = 0; s < SlotCount; ++s) {
        String expected;
        for (const auto& st : stored)
            if (st.slot == s)
                expected = Record(st.length, s);
        EXPECT_EQ(HexOf(ReadBuffer[static_cast<std::size_t>(s)]), HexOf(expected)) << "slot " << s;
    }
    // Slot 5's 600 bytes: pieces of 250, 250 and 100 at block + 0, + 250, + 500.
    const std::vector<std::string> slot5 = {
        RequestHex(T(), "CA20FE2605006800" "00FA"),
        RequestHex(T(), "CA20FE2605FA6800" "00FA"),
        RequestHex(T(), "CA20FE2605F46900" "0064"),
    };
    const auto reads = FramesStarting("CA20FE2605");
    auto at = std::search(reads.begin(), reads.end(), slot5.begin(), slot5.end());
    EXPECT_NE(at, reads.end()) << "slot 5 read in three pieces";
    EXPECT_EQ(FramesStarting(RequestHex(T(), "CA20FE2605FFFFFFFF00")).size(), 1u) << "one directory request";
    EXPECT_EQ(f.Host.PanelChanges, (std::vector<bool>{true, false}));
    ASSERT_FALSE(f.Host.Progress.empty());
    EXPECT_EQ(f.Host.Progress.front(), 0);
    EXPECT_EQ(f.Host.Progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(f.Host.Progress.begin(), f.Host.Progress.end()));
    ExpectReleased();
}

TEST_P(ChannelOperationsTest, AFailedReadLeavesNothingAndLetsGo)
{
    f.Store(0, 5, Record(600, 5));
    ASSERT_TRUE(f.Sim.CtlOk("fault 26 noreply always match=FFFFFFFF"));
    ReadBuffer[5] = "left over";
    EXPECT_FALSE(f.Read(T()));
    for (int s = 0; s < SlotCount; ++s)
        EXPECT_TRUE(ReadBuffer[static_cast<std::size_t>(s)].empty()) << "slot " << s;
    EXPECT_EQ(FramesStarting(RequestHex(T(), "CA20FE2605FFFFFFFF00")).size(), 2u) << "two tries";
    EXPECT_EQ(f.Host.PanelChanges, (std::vector<bool>{true, false}));
    ExpectReleased();
}

TEST_P(ChannelOperationsTest, DownloadWritesRecordsInPiecesOf245AndClearsTheRest)
{
    f.Host.Channel = 1;
    f.Host.Codes[100 + 0] = Record(600, 1);
    f.Host.Codes[100 + 7] = Record(2, 7);
    f.Store(1, 50, Record(30, 50));   // an old record the download clears

    ASSERT_TRUE(f.Download(T()));

    EXPECT_TRUE(f.Sim.CtlOk("slot cmp 1 0 " + HexOf(Record(600, 1))));
    EXPECT_TRUE(f.Sim.CtlOk("slot cmp 1 7 " + HexOf(Record(2, 7))));
    EXPECT_EQ(f.Sim.Ctl("slots 1").substr(0, 7), "OK 0 7\n") << f.Sim.Ctl("slots 1");
    // Writes (address and count) in order, as the device logged them.
    std::vector<std::string> writes;
    int clears = 0;
    for (const auto& frame : FramesStarting("CA20FE25")) {
        if (frame.substr(10, 8) == "FFFFFFFF")
            ++clears;
        else
            writes.push_back(frame.substr(10, 10));
    }
    const Cardinal block0 = SlotAddress(1, 0);
    EXPECT_EQ(block0, 0x36000u);
    EXPECT_EQ(writes, (std::vector<std::string>{"00600300F5", "F5600300F5", "EA6103006E", "0098030002"}));
    EXPECT_EQ(clears, 98);
    ASSERT_FALSE(f.Host.Progress.empty());
    EXPECT_EQ(f.Host.Progress.back(), 99);
    EXPECT_EQ(f.Host.PanelChanges, (std::vector<bool>{true, false}));
    ExpectReleased();
}

TEST_P(ChannelOperationsTest, DownloadStopsAtASlotWhoseClearFails)
{
    f.Store(0, 50, Record(30, 50));
    ASSERT_TRUE(f.Sim.CtlOk("fault 25 noreply always match=FFFFFFFF0A00"));
    EXPECT_FALSE(f.Download(T()));
    EXPECT_TRUE(f.Sim.CtlOk("slot cmp 0 50 " + HexOf(Record(30, 50)))) << "slots after 10 untouched";
    const auto clears = FramesStarting(RequestHex(T(), "CA20FE2506FFFFFFFF").substr(0, 18));
    ASSERT_FALSE(clears.empty());
    const std::size_t tries = T() == Transport::Serial ? 2 : 3;
    EXPECT_EQ(clears.size(), 10 + tries) << "slots 0 to 9, then slot 10's tries";
    EXPECT_EQ(clears.back().substr(18, 4), "0A00");
    ASSERT_FALSE(f.Host.Progress.empty());
    EXPECT_EQ(f.Host.Progress.back(), 9);
    ExpectReleased();
}

TEST_P(ChannelOperationsTest, SendRawTogglesItsLastTagPerChannelAndSlot)
{
    f.Host.Codes[3] = Record(600, 3);
    f.Host.Codes[100 + 3] = Record(24, 103);
    const struct {
        int channel;
        const char* tag;
    } sends[] = {{0, "03"}, {0, "02"}, {1, "03"}, {0, "03"}};
    for (const auto& s : sends) {
        f.Host.Channel = s.channel;
        EXPECT_TRUE(f.SendRaw(T(), 3)) << "channel " << s.channel;
        ExpectReleased();
    }
    const auto tx = TxLog(f.Sim);
    ASSERT_EQ(tx.size(), 4u);
    for (std::size_t i = 0; i < tx.size(); ++i) {
        const String record = sends[i].channel == 0 ? Record(600, 3) : Record(24, 103);
        EXPECT_EQ(tx[i], std::string(T() == Transport::Serial ? "pty" : "tcp") + " raw tag=" + sends[i].tag + " " +
                             HexOf(record))
            << "send " << i;
    }
    // The first send's frames: 01 + 245 bytes, 04 + 245, 04 + 110, then the tag alone.
    const auto frames = FramesStarting("CA20FE27");
    ASSERT_GE(frames.size(), 4u);
    EXPECT_EQ(frames[0].substr(8, 4), "F601");
    EXPECT_EQ(frames[1].substr(8, 4), "F604");
    EXPECT_EQ(frames[2].substr(8, 4), "6F04");
    EXPECT_EQ(frames[3], RequestHex(T(), "CA20FE270103"));
}

TEST_P(ChannelOperationsTest, SendRawRefusesBadSlotsAndRecordsBeforeSending)
{
    f.Host.Codes[5] = Record(2049, 5);
    const struct {
        int slot;
        const char* status;
    } cases[] = {{4, "发送数据为空！！"}, {5, "发送长度大于2048！！"}, {100, nullptr}};
    for (const auto& c : cases) {
        f.Host.Statuses.clear();
        EXPECT_FALSE(f.SendRaw(T(), c.slot)) << "slot " << c.slot;
        EXPECT_EQ(f.Host.Statuses, c.status ? std::vector<String>{c.status} : std::vector<String>{})
            << "slot " << c.slot;
        ExpectReleased();
    }
    EXPECT_TRUE(AnsweredFrames(f.Sim).empty()) << "nothing sent";
}

TEST_P(ChannelOperationsTest, SendNumberAndLearnFrames)
{
    f.Host.Channel = 2;
    f.Host.Codes[200 + 17] = Record(24, 17);
    f.Store(2, 17, Record(24, 17));
    ASSERT_TRUE(f.Sim.CtlOk("learn delay 0"));
    const String learn = BuildNetFrame(CmdLearn, SlotRequestData(f.Host.ActiveChannel(), 17));
    const String number = BuildNetFrame(CmdSendNumber, SlotRequestData(f.Host.ActiveChannel(), 17));
    EXPECT_EQ(ToHex(learn), "CA 20 FE 32 02 03 11 CF");
    EXPECT_EQ(ToHex(number), "CA 20 FE 31 02 03 11 D0");

    EXPECT_TRUE(f.SendFrame(T(), number));
    EXPECT_TRUE(f.SendFrame(T(), learn));
    EXPECT_EQ(AnsweredFrames(f.Sim), (std::vector<std::string>{"CA20FE31020311D0", "CA20FE32020311CF"}));
    const auto tx = TxLog(f.Sim);
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_NE(tx[0].find("number channel=2 slot=17 record=" + HexOf(Record(24, 17))), std::string::npos) << tx[0];
    // The device stores its learn record in the slot.
    std::string learned = f.Sim.Ctl("learn");
    learned = learned.substr(learned.find("record=") + 7);
    learned = learned.substr(0, learned.find_first_of("\r\n"));
    bool stored = false;
    for (int i = 0; i < 30 && !stored; ++i) {
        stored = f.Sim.CtlOk("slot cmp 2 17 " + learned);
        if (!stored)
            Sleep(100);
    }
    EXPECT_TRUE(stored) << f.Sim.Ctl("slot get 2 17");
    ExpectReleased();

    // Without an answer the send fails.
    ASSERT_TRUE(f.Sim.CtlOk("fault 32 noreply"));
    EXPECT_FALSE(f.SendFrame(T(), learn));
    ExpectReleased();
}

TEST_P(ChannelOperationsTest, ADeviceThatStopsAnsweringMidReadFailsTheReadInTime)
{
    for (int s = 1; s <= 3; ++s)
        f.Store(0, s, Record(600, s));
    // The directory and slot 1's three pieces are answered, nothing after.
    ASSERT_TRUE(f.Sim.CtlOk("fault 26 noreply always skip=4"));
    timerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CountTick);
    const unsigned long long start = GetTickCount64();
    EXPECT_FALSE(f.Read(T()));
    const unsigned long long took = GetTickCount64() - start;
    KillTimer(nullptr, timer);
    // The directory and slot 1's pieces, then two tries of the fifth read and
    // nothing after them.
    EXPECT_EQ(FramesStarting("CA20FE26").size(), 6u) << f.Sim.Ctl("log");
    // Two tries of the fifth read take serial 2 x (500 polls + the tests' room
    // + line time) and two 500 ms pauses, TCP 2 x 8000 ms and the pauses; the
    // bound is far below the operation's own limit, with room for a loaded
    // machine.
    const unsigned long long room = 2ull * ReplyRoomMs;
    const unsigned long long bound = T() == Transport::Serial ? 20000 + room : 40000;
    EXPECT_LT(took, bound);
    EXPECT_GT(took, T() == Transport::Serial ? 2000 + room : 16500u);
    if (T() == Transport::Serial)
        EXPECT_GT(timerTicks, 10) << "the main thread handled its messages while the worker waited";
    else
        EXPECT_GT(f.Host.MessageRounds, 4) << "messages handled after each read";
    EXPECT_EQ(f.Host.PanelChanges, (std::vector<bool>{true, false}));
    ExpectReleased();
}

INSTANTIATE_TEST_SUITE_P(BothTransports, ChannelOperationsTest,
                         ::testing::Values(Transport::Serial, Transport::Tcp),
                         [](const ::testing::TestParamInfo<Transport>& Info) { return NameOf(Info.param); });

} // namespace

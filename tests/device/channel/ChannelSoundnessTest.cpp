// Regression tests of the device link's sound behaviour: wake-ups that are
// never lost, waits that fit the line, a slot listed twice, records too long
// to download, late replies, replies in several TCP segments, connections
// closed after a failed frame, one operation at a time.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "device/Frames.h"
#include "tests/device/channel/ChannelTestHost.h"

namespace {

using namespace channeltest;
using namespace vantrel;

class ChannelSoundnessTest : public ::testing::Test {
protected:
    explicit ChannelSoundnessTest(const std::string& Options = "") : f(Options) {}
    void SetUp() override
    {
        std::string why;
        ASSERT_TRUE(f.Ready(&why)) << why;
    }
    void TearDown() override { EXPECT_EQ(f.Host.ForeignThreadCalls, 0) << "host called off the main thread"; }
    std::size_t CountFrames(const std::string& Hex)
    {
        std::size_t n = 0;
        for (const auto& frame : AnsweredFrames(f.Sim))
            n += frame == Hex;
        return n;
    }
    ChannelFixture f;
};

class ChannelTransportTest : public ChannelSoundnessTest, public ::testing::WithParamInterface<Transport> {
protected:
    Transport T() const { return GetParam(); }
};

TEST_F(ChannelSoundnessTest, AJobResumedBeforeTheWorkerSuspendsItselfRuns)
{
    // A job of no kind ends at once: each next job is started while the
    // worker is still on its way back to its suspension.
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(f.Host.Worker->StartJob(0)) << "job " << i << " refused: the worker looks busy";
        ASSERT_TRUE(f.Host.Worker->WaitDone(5000)) << "job " << i << " never ran";
        EXPECT_TRUE(f.Host.Worker->Done()) << "job " << i;
        EXPECT_FALSE(f.Host.Worker->Result()) << "job " << i;
    }
}

TEST_F(ChannelSoundnessTest, AJobCannotStartWhileOneRuns)
{
    f.Store(0, 5, Record(30, 5));
    ASSERT_TRUE(f.Sim.CtlOk("fault 26 delay 1000 match=FFFFFFFF"));
    OpenChannelPort();
    ASSERT_TRUE(f.Host.Worker->StartJob(TStmLoad::JobReadChannel));
    EXPECT_TRUE(f.Host.Worker->Busy());
    EXPECT_FALSE(f.Host.Worker->StartJob(TStmLoad::JobDownloadChannel)) << "a second job started under the first";
    EXPECT_FALSE(NetDownloadChannel(0)) << "a TCP download started under the serial job";
    ASSERT_TRUE(f.Host.Worker->WaitDone(f.Host.Worker->JobTimeLimitMs()));
    EXPECT_TRUE(f.Host.Worker->Result());
    EXPECT_EQ(HexOf(ReadBuffer[5]), HexOf(Record(30, 5)));
    EXPECT_FALSE(f.Host.Link.Opened()) << "the worker closed the port before it reported the end";
    EXPECT_TRUE(f.Sim.Ctl("log").find("CA20FE25") == std::string::npos) << "no download ran";
}

TEST_F(ChannelSoundnessTest, TheWaitLimitCoversEveryTryOfALongDownload)
{
    // A full channel of 2048-byte records at 1200 baud: nine writes a slot,
    // three tries each, every try waiting 1000 polls plus its line time.
    for (int s = 0; s < SlotCount; ++s)
        f.Host.Codes[static_cast<std::size_t>(s)] = Record(BlockSize, s);
    f.Host.Link.SetBaudRate(1200);   // the port stays closed: the job fails at its first write
    ASSERT_TRUE(f.Host.Worker->StartJob(TStmLoad::JobDownloadChannel));
    const Cardinal limit = f.Host.Worker->JobTimeLimitMs();
    const double writeLineMs = 256 * 10 * 1000.0 / 1200;
    EXPECT_GT(limit, 100 * 9 * 3 * (1000 + writeLineMs + 500)) << "limit " << limit << " ms";
    const double channelLineMs = 100 * 9 * (256 + 4) * 10 * 1000.0 / 1200;
    EXPECT_GT(limit, 2 * channelLineMs) << "limit " << limit << " ms";
    ASSERT_TRUE(f.Host.Worker->WaitDone(limit));
    EXPECT_FALSE(f.Host.Worker->Result());
}

TEST_F(ChannelSoundnessTest, RequestFramesFromTheDeviceAreNoReplies)
{
    f.Host.Worker->Reply.Clear();
    f.Host.Worker->StoreReply(0x18, "xy");
    f.Host.Worker->StoreReply(0xBB, "");
    EXPECT_EQ(f.Host.Worker->Reply.Command, 0);
    f.Host.Worker->StoreReply(ReplyAck, "");
    EXPECT_EQ(f.Host.Worker->Reply.Command, ReplyAck);
    f.Host.Worker->StoreReply(0x18, "xy");
    EXPECT_EQ(f.Host.Worker->Reply.Command, ReplyAck) << "a device request overwrote the reply";
    EXPECT_EQ(f.Host.Worker->Reply.SData(), "");
}

TEST_P(ChannelTransportTest, ASlotListedTwiceHoldsItsRecordOnce)
{
    f.Store(0, 5, Record(600, 5));
    // 105 mod 100 = 5.
    ASSERT_TRUE(f.Sim.CtlOk("fault 26 reply 05 69 match=FFFFFFFF00"));
    ASSERT_TRUE(f.Read(T()));
    EXPECT_EQ(HexOf(ReadBuffer[5]), HexOf(Record(600, 5)));
    EXPECT_EQ(CountFrames(RequestHex(T(), "CA20FE2605006800" "00FA")), 2u) << "the slot is read twice";
}

TEST_P(ChannelTransportTest, ARecordLongerThan2048BytesIsNeverDownloaded)
{
    f.Host.Codes[0] = Record(24, 0);
    f.Host.Codes[40] = Record(2049, 40);
    EXPECT_FALSE(f.Download(T()));
    EXPECT_TRUE(AnsweredFrames(f.Sim).empty()) << "something was sent";
    const String failure = T() == Transport::Serial ? f.Host.Worker->FailureText() : NetFailureText();
    EXPECT_EQ(failure, "下载失败！40号代码长度大于2048！");
    EXPECT_TRUE(f.Host.PanelChanges.empty());
    EXPECT_FALSE(f.Host.Link.Opened());
    EXPECT_FALSE(f.Host.Client.Connected());
}

TEST_P(ChannelTransportTest, ALateReplyIsNotTakenForTheNextRequest)
{
    f.Store(0, 5, Record(600, 5));
    // The first piece's first answer comes after its try has given up (serial:
    // 500 polls and the tests' room; TCP: the 8000 ms read bound); the device
    // answers in order, so the second try's answer follows it straight away.
    const int delay = T() == Transport::Serial ? 1200 + static_cast<int>(ReplyRoomMs) : 9000;
    ASSERT_TRUE(f.Sim.CtlOk("fault 26 delay " + std::to_string(delay) + " match=00680000FA"));
    ASSERT_TRUE(f.Read(T()));
    EXPECT_EQ(HexOf(ReadBuffer[5]), HexOf(Record(600, 5))) << "a piece holds another piece's bytes";
    EXPECT_EQ(CountFrames(RequestHex(T(), "CA20FE2605006800" "00FA")), 2u) << "the first piece was tried twice";
}

TEST_P(ChannelTransportTest, DeviceRequestsBeforeAReplyDoNotEndTheWait)
{
    f.Store(0, 5, Record(30, 5));
    // A request frame of the device's own, then 200 ms later the directory.
    ASSERT_TRUE(f.Sim.CtlOk("fault 26 unsolicited CA20FE1800FF match=FFFFFFFF00 always"));
    ASSERT_TRUE(f.Sim.CtlOk("fault 26 split 6 200 match=FFFFFFFF00 always"));
    ASSERT_TRUE(f.Read(T()));
    EXPECT_EQ(HexOf(ReadBuffer[5]), HexOf(Record(30, 5)));
    EXPECT_EQ(CountFrames(RequestHex(T(), "CA20FE2605FFFFFFFF00")), 1u) << "the directory took one try";
}

TEST_P(ChannelTransportTest, AReplyInSeveralPiecesIsReadWhole)
{
    f.Store(0, 5, Record(600, 5));
    // Three segments 100 ms apart: within one serial try's wait, and more
    // than one TCP read.
    ASSERT_TRUE(f.Sim.CtlOk("fault 26 split 100 100 match=00680000FA"));
    ASSERT_TRUE(f.Read(T()));
    EXPECT_EQ(HexOf(ReadBuffer[5]), HexOf(Record(600, 5)));
    EXPECT_EQ(CountFrames(RequestHex(T(), "CA20FE2605006800" "00FA")), 1u) << "the split reply took one try";
}

TEST_P(ChannelTransportTest, TheLinkIsReleasedWhenARawFrameFails)
{
    f.Host.Codes[3] = Record(600, 3);
    ASSERT_TRUE(f.Sim.CtlOk("fault 27 noreply skip=1"));
    EXPECT_FALSE(f.SendRaw(T(), 3));
    EXPECT_EQ(AnsweredFrames(f.Sim).size(), 2u) << "no frame after the failed one";
    EXPECT_FALSE(f.Host.Client.Connected());
    EXPECT_FALSE(f.Host.Link.Opened());
    EXPECT_NE(f.Sim.Ctl("info").find("tcp_client=no"), std::string::npos) << f.Sim.Ctl("info");
}

TEST_P(ChannelTransportTest, ADownloadSendsTheChannelAsItWasWhenItStarted)
{
    f.Host.Codes[0] = Record(600, 0);
    // Edits while the download runs do not reach the device.
    auto edit = [this] {
        f.Host.Codes[0].clear();
        f.Host.Codes[1] = Record(30, 1);
    };
    bool ok;
    if (T() == Transport::Serial) {
        OpenChannelPort();
        ASSERT_TRUE(f.Host.Worker->StartJob(TStmLoad::JobDownloadChannel));
        edit();
        ASSERT_TRUE(f.Host.Worker->WaitDone(f.Host.Worker->JobTimeLimitMs()));
        ok = f.Host.Worker->Result();
    } else {
        f.Host.WhileProcessing = edit;
        ok = NetDownloadChannel(0);
        f.Host.WhileProcessing = nullptr;
    }
    EXPECT_TRUE(ok);
    EXPECT_TRUE(f.Sim.CtlOk("slot cmp 0 0 " + HexOf(Record(600, 0))));
    EXPECT_EQ(f.Sim.Ctl("slot get 0 1").substr(0, 8), "OK empty");
}

TEST_F(ChannelSoundnessTest, AnOperationAskedForDuringATcpOperationIsRefused)
{
    f.Store(0, 5, Record(600, 5));
    int nested = 0;
    bool nestedResult = true;
    f.Host.WhileProcessing = [&] {
        if (nested++ == 0)
            nestedResult = NetReadChannel(0) || NetDownloadChannel(0) || NetSendFrame("x") || NetSendRawCode(0, 5) ||
                           f.Host.Worker->StartJob(TStmLoad::JobReadChannel);
    };
    EXPECT_TRUE(NetReadChannel(0));
    f.Host.WhileProcessing = nullptr;
    EXPECT_GT(nested, 0);
    EXPECT_FALSE(nestedResult) << "a nested operation ran";
    EXPECT_EQ(CountFrames(RequestHex(Transport::Tcp, "CA20FE2605FFFFFFFF00")), 1u);
    EXPECT_EQ(HexOf(ReadBuffer[5]), HexOf(Record(600, 5)));
}

TEST_F(ChannelSoundnessTest, SettingErrorsRaiseOrFailAndGiveTheLinkBack)
{
    const String learn = BuildNetFrame(CmdLearn, SlotRequestData(0, 1));
    f.Host.Codes[1] = Record(24, 1);
    // A port text that is not a number raises before anything is tried.
    f.Host.PortText = "";
    EXPECT_THROW(NetReadChannel(0), EConvertError);
    EXPECT_THROW(NetSendFrame(learn), EConvertError);
    f.Host.Baud = "fast";
    EXPECT_THROW(OpenChannelPort(), EConvertError);
    EXPECT_FALSE(f.Host.Link.Opened());
    // Nothing listens on port 1: reads and downloads fail, sends raise.
    f.Host.PortText = "1";
    EXPECT_FALSE(NetReadChannel(0));
    EXPECT_FALSE(NetDownloadChannel(0));
    EXPECT_THROW(NetSendFrame(learn), ESocketError);
    EXPECT_THROW(NetSendRawCode(0, 1), ESocketError);
    EXPECT_FALSE(DeviceOperationRunning()) << "an operation kept the link after an error";
    // The link works again with good settings.
    f.Host.PortText = std::to_string(f.Sim.TcpPort());
    f.Host.Baud = "38400";
    EXPECT_TRUE(NetSendFrame(learn));
    EXPECT_TRUE(f.SendFrame(Transport::Serial, learn));
}

INSTANTIATE_TEST_SUITE_P(BothTransports, ChannelTransportTest, ::testing::Values(Transport::Serial, Transport::Tcp),
                         [](const ::testing::TestParamInfo<Transport>& Info) { return NameOf(Info.param); });

// Against a device that paces its line: each try waits its polls plus the
// line time of its request and reply, so slow rates work.
//
// Whether a reply comes within its try is a matter of the machine's speed as
// well, so a second try is allowed; what the tests check, from the times at
// which the simulator read the tries, is that a try was given up only after
// its polls, the room the tests add and the line time of its request and
// reply had passed. A wait without the line time gives up sooner than that:
// at 1200 baud the line time of these exchanges is longer than the room, so
// that such a wait misses the reply of its first try and tries again too soon.
class ChannelLineTimeTest : public ChannelSoundnessTest {
protected:
    static constexpr Cardinal Room = 1000;

    ChannelLineTimeTest() : ChannelSoundnessTest("--pace") { TStmLoad::SetExtraReplyWaitMs(Room); }

    // The line time of Bytes bytes at Baud (10 bits a byte), in milliseconds.
    static double LineMs(std::size_t Bytes, int Baud) { return Bytes * 10 * 1000.0 / Baud; }

    // The times at which the simulator read each try of the requests that
    // Same groups together (one group per request), in order.
    std::map<std::string, std::vector<double>> TriesOf(const std::function<std::string(const std::string&)>& Same)
    {
        std::map<std::string, std::vector<double>> tries;
        for (const auto& e : SimLog(f.Sim))
            if (!Same(e.Hex).empty())
                tries[Same(e.Hex)].push_back(e.Time);
        return tries;
    }

    // Every try after the first came no sooner than Polls, the room and the
    // line time after the one before it.
    void ExpectTriesWaitedTheLine(const std::map<std::string, std::vector<double>>& Tries, double Polls,
                                  double LineTimeMs, const std::string& What)
    {
        for (const auto& [request, times] : Tries)
            for (std::size_t i = 1; i < times.size(); ++i)
                EXPECT_GE(times[i] - times[i - 1], Polls + Room + LineTimeMs)
                    << What << ": try " << i + 1 << " of " << request.substr(0, 20) << " came after "
                    << times[i] - times[i - 1] << " ms, before the try before it could have had its reply";
    }
};

TEST_F(ChannelLineTimeTest, ReadsAtSlowRatesSucceed)
{
    f.Store(0, 5, Record(250, 5));
    const std::string request = "CA20FE2605006800" "00FA" "AC";
    for (int baud : {1200, 2400, 4800}) {
        const std::string rate = std::to_string(baud) + " baud";
        ASSERT_TRUE(f.Sim.CtlOk("link " + std::to_string(baud) + " N"));
        ASSERT_TRUE(f.Sim.CtlOk("log clear"));
        f.Host.Baud = std::to_string(baud);
        EXPECT_TRUE(f.Read(Transport::Serial)) << rate;
        EXPECT_EQ(HexOf(ReadBuffer[5]), HexOf(Record(250, 5))) << rate;
        const auto tries = TriesOf([&](const std::string& Hex) { return Hex == request ? Hex : ""; });
        ASSERT_EQ(tries.size(), 1u) << rate << ": the slot was read";
        // 500 polls; the request and a reply of 250 data bytes and 6 more.
        ExpectTriesWaitedTheLine(tries, 500, LineMs(request.size() / 2 + 256, baud), rate);
    }
}

TEST_F(ChannelLineTimeTest, WritesLongerOnTheLineThanTheirPollsSucceed)
{
    // At 1200 baud a 245-byte write takes about 2140 ms on the line, more
    // than its 1000 polls and the room together.
    ASSERT_TRUE(f.Sim.CtlOk("link 1200 N"));
    f.Host.Baud = "1200";
    f.Host.Codes[0] = Record(600, 0);
    EXPECT_TRUE(f.Download(Transport::Serial));
    EXPECT_TRUE(f.Sim.CtlOk("slot cmp 0 0 " + HexOf(Record(600, 0))));
    // The writes, by address and count.
    const auto tries = TriesOf([](const std::string& Hex) {
        return Hex.rfind("CA20FE25", 0) == 0 && Hex.substr(10, 8) != "FFFFFFFF" ? Hex.substr(10, 10) : "";
    });
    EXPECT_EQ(tries.size(), 3u) << "three writes";
    // 1000 polls; the longest write is 245 data bytes and 12 more.
    ExpectTriesWaitedTheLine(tries, 1000, LineMs(257, 1200), "1200 baud");
}

} // namespace

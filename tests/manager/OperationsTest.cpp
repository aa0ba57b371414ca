// The main window's device operations on both transports against the
// simulated extender: read, download, send raw, send number and learn, with
// the table, the code table and the status bar they leave.
#include "tests/manager/VantrelFixture.h"

#include "device/channel/ChannelCommands.h"
#include "framework/Application.h"
#include "framework/StrUtils.h"

namespace vantrel_test {
namespace {

using vantrel::SlotCount;

class OperationsTest : public VantrelTest, public ::testing::WithParamInterface<Transport> {
protected:
    void SetUp() override
    {
        VantrelTest::SetUp();
        if (HasFatalFailure())
            return;
        Use(GetParam());
        ASSERT_TRUE(Device.CtlOk("learn delay 0"));
    }
    Transport T() const { return GetParam(); }

    // The code table of a channel as it is now.
    std::vector<String> Codes(int Channel) const
    {
        std::vector<String> codes;
        for (int s = 0; s < SlotCount; ++s)
            codes.push_back(Main->Code(Channel, s));
        return codes;
    }
    void SetSlot(int Channel, int Slot, const String& Record)
    {
        Main->SetCode(Channel, Slot, Record);
        Main->ShowSlotState(Main->ChannelGrid(Channel), Slot, !Record.empty());
    }
    void Name(int Channel, int Slot, const String& Text)
    {
        Main->ChannelGrid(Channel)->WriteCellText((Slot / 20) * 2 + 1, Slot % 20, Text);
    }
    // Runs a handler the way a click does: an exception goes to the
    // application's error dialog.
    void Press(TControl* Control)
    {
        GuardCallback([&] { Control->Click(); });
    }
};

TEST_P(OperationsTest, ASuccessfulReadReplacesAllRecordsAndKeepsTheNames)
{
    Store(0, 0, Record(30, 0));
    Store(0, 5, Record(600, 5));
    Store(0, 45, Record(2048, 45));
    SetSlot(0, 7, Record(20, 7));   // held before, not on the device
    Name(0, 5, "电视");
    Name(0, 7, "空调");

    Press(Main->BnRead);

    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("读取完成！"));
    for (int s = 0; s < SlotCount; ++s) {
        const bool stored = s == 0 || s == 5 || s == 45;
        const String expected = s == 0 ? Record(30, 0) : s == 5 ? Record(600, 5) : s == 45 ? Record(2048, 45) : "";
        EXPECT_EQ(HexOf(Main->Code(0, s)), HexOf(expected)) << "slot " << s;
        EXPECT_EQ(SlotChecked(0, s), stored) << "slot " << s;
        EXPECT_EQ(SlotColor(0, s), stored ? 255 : 0) << "slot " << s;
        EXPECT_TRUE(vantrel::ReadBuffer[static_cast<std::size_t>(s)].empty()) << "read buffer of slot " << s;
    }
    EXPECT_EQ(gui::Utf8(Main->SlotName(0, 5)), gui::Utf8("电视"));
    EXPECT_EQ(gui::Utf8(Main->SlotName(0, 7)), gui::Utf8("空调"));
    EXPECT_FALSE(Main->PnProcess->Visible());
    EXPECT_FALSE(Main->OperationRunning());
    EXPECT_TRUE(Main->BnRead->Enabled());
    EXPECT_EQ(Codes(1), std::vector<String>(SlotCount)) << "other channels untouched";
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_P(OperationsTest, AFailedReadLeavesTheTableAsItWas)
{
    Store(0, 2, Record(40, 2));
    SetSlot(0, 3, Record(20, 3));
    Name(0, 3, "灯");
    const std::vector<String> before = Codes(0);
    ASSERT_TRUE(Device.CtlOk("fault 26 reply 02 03 always match=FFFFFFFF00"));
    ASSERT_TRUE(Device.CtlOk("fault 26 noreply always skip=1"));

    Press(Main->BnRead);

    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("读取失败！"));
    EXPECT_EQ(Codes(0), before);
    EXPECT_TRUE(SlotChecked(0, 3));
    EXPECT_FALSE(SlotChecked(0, 2));
    EXPECT_EQ(SlotColor(0, 3), 255);
    EXPECT_EQ(gui::Utf8(Main->SlotName(0, 3)), gui::Utf8("灯"));
    EXPECT_FALSE(Main->PnProcess->Visible());
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_P(OperationsTest, DownloadWritesRecordsInPiecesOf245)
{
    Main->RedMems->SetActivePageIndex(1);
    SetSlot(1, 0, Record(600, 1));
    SetSlot(1, 7, Record(600, 7));
    Store(1, 50, Record(30, 50));   // an old record that the download clears
    String during;
    After(30, [&] { during = Status(); });

    Press(Main->BnDown);

    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("下载完成！"));
    if (T() == Transport::Serial) {
        EXPECT_EQ(gui::Utf8(during), gui::Utf8("下载中！"));
    }
    EXPECT_TRUE(Device.CtlOk("slot cmp 1 0 " + HexOf(Record(600, 1))));
    EXPECT_TRUE(Device.CtlOk("slot cmp 1 7 " + HexOf(Record(600, 7))));
    EXPECT_EQ(Device.Ctl("slots 1").substr(0, 7), "OK 0 7\n");
    // Address and count of each write, in order, as the device logged them.
    std::vector<std::string> writes;
    for (const auto& frame : FramesStarting("CA20FE25"))
        if (frame.substr(10, 8) != "FFFFFFFF")
            writes.push_back(frame.substr(10, 10));
    // Slot 0 at 0x36000 and slot 7 at 0x39800: 245, 245 and 110 bytes each.
    EXPECT_EQ(writes, (std::vector<std::string>{"00600300F5", "F5600300F5", "EA6103006E", "00980300F5", "F5980300F5",
                                                "EA9903006E"}));
    EXPECT_EQ(Main->GGProcess->Progress(), 99);
    EXPECT_FALSE(Main->PnProcess->Visible());
}

TEST_P(OperationsTest, DownloadStopsAtASlotWhoseClearFails)
{
    Store(0, 50, Record(30, 50));
    ASSERT_TRUE(Device.CtlOk("fault 25 noreply always match=FFFFFFFF0A00"));
    Press(Main->BnDown);
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("下载失败！"));
    EXPECT_TRUE(Device.CtlOk("slot cmp 0 50 " + HexOf(Record(30, 50)))) << "slots after 10 are not written";
    EXPECT_EQ(Main->GGProcess->Progress(), 9);
}

TEST_P(OperationsTest, ADownloadOfARecordLongerThanABlockSendsNothing)
{
    SetSlot(0, 3, Record(2049, 3));
    Press(Main->BnDown);
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8(vantrel::OversizedRecordStatus(3)));
    EXPECT_NE(gui::Utf8(Status()).find("03"), std::string::npos) << "the status names the slot";
    EXPECT_TRUE(AnsweredFrames().empty());
}

TEST_P(OperationsTest, SendRawTogglesItsLastTagAndSelectsOneCell)
{
    SetSlot(0, 3, Record(600, 3));
    const char* tags[] = {"03", "02", "03"};
    for (const char* tag : tags) {
        // A range whose top-left cell is slot 3's name cell.
        Main->ChannelGrid(0)->SelectCellRange(1, 3, 3, 5);
        Press(Main->ToolButton1);
        EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("发送完成！")) << "tag " << tag;
        const TGridRect r = Main->ChannelGrid(0)->SelectionRect();
        EXPECT_EQ(r, (TGridRect{1, 3, 1, 3})) << "only the top-left cell stays selected";
    }
    const auto tx = TxLog();
    ASSERT_EQ(tx.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(tx[i], std::string(T() == Transport::Serial ? "pty" : "tcp") + " raw tag=" + tags[i] + " " +
                             HexOf(Record(600, 3)))
            << "send " << i;
    const auto frames = FramesStarting("CA20FE27");
    ASSERT_EQ(frames.size(), 12u);
    EXPECT_EQ(frames[3], RequestHex(T(), "CA20FE270103"));
    EXPECT_EQ(frames[7], RequestHex(T(), "CA20FE270102"));
}

TEST_P(OperationsTest, SendRawRefusesEmptyAndOverlongRecords)
{
    SetSlot(0, 5, Record(2049, 5));
    const struct {
        int Slot;
        const char* Status;
    } cases[] = {{4, "发送数据为空！！"}, {5, "发送长度大于2048！！"}};
    for (const auto& c : cases) {
        SelectCell(0, c.Slot);
        Press(Main->ToolButton1);
        EXPECT_EQ(gui::Utf8(Status()), gui::Utf8(c.Status)) << "slot " << c.Slot;
    }
    EXPECT_TRUE(AnsweredFrames().empty()) << "nothing sent";
    // A refused send flips no tag: the next good send of slot 4 ends with 03.
    SetSlot(0, 4, Record(24, 4));
    SelectCell(0, 4);
    Press(Main->ToolButton1);
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("发送完成！"));
    const auto frames = FramesStarting("CA20FE27");
    ASSERT_EQ(frames.size(), 2u) << Device.Ctl("log");
    EXPECT_EQ(frames[1], RequestHex(T(), "CA20FE270103"));
}

TEST_P(OperationsTest, SendNumberAndLearnFramesForSlot17OfTheThirdChannel)
{
    Main->RedMems->SetActivePageIndex(2);
    Store(2, 17, Record(24, 17));
    SetSlot(2, 17, Record(24, 17));
    SelectCell(1, 17);
    Press(Main->tbStartRed);
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("发送完成！"));
    SelectCell(0, 17);
    Press(Main->tbSendNum);
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("发送完成！"));
    // Both transports send the frame with its check byte.
    EXPECT_EQ(AnsweredFrames(), (std::vector<std::string>{"CA20FE32020311CF", "CA20FE31020311D0"}));
    const auto tx = TxLog();
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_NE(tx[0].find("number channel=2 slot=17"), std::string::npos) << tx[0];

    // The menu items run the same handlers; without an answer they fail.
    ASSERT_TRUE(Device.CtlOk("fault 32 noreply"));
    Main->nbStartRed->Click();
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("发送失败！"));
}

TEST_P(OperationsTest, SlotsOutsideTheChannelGetTheirStatusesAndSendNothing)
{
    // A table with a row past the twentieth: its cells name slots above 99.
    TProStringGrid* grid = Main->ChannelGrid(0);
    grid->SetRowCount(21);
    SetSlot(0, 0, Record(24, 0));
    const struct {
        TControl* Control;
        const char* Status;
    } cases[] = {{Main->ToolButton1, "发送代码超出范围！"},
                 {Main->tbSendNum, "发送代码超出范围！"},
                 {Main->tbStartRed, "红外号超出范围！"}};
    for (const auto& c : cases) {
        SelectCell(8, 20);   // slot 100
        Press(c.Control);
        EXPECT_EQ(gui::Utf8(Status()), gui::Utf8(c.Status));
    }
    EXPECT_TRUE(AnsweredFrames().empty());
    grid->SetRowCount(20);
}

// Over TCP an empty or malformed server address is refused with a message
// before anything is sent: the system's resolver would take an empty one for
// this machine. Blanks around a good address do not matter.
TEST_F(VantrelTest, TcpOperationsRefuseAnEmptyOrMalformedServerAddress)
{
    UseTcp();
    Store(0, 4, Record(24, 4));
    Main->SetCode(0, 4, Record(26, 4));
    SelectCell(1, 4);
    const std::string before = Device.Ctl("info");
    const struct {
        const char* Address;
        const char* Message;
    } addresses[] = {
        {"", "IP地址不能为空！"},
        {"   ", "IP地址不能为空！"},
        {"127.0.0", "无效Ip:127.0.0"},
        {"127.0.0.1.1", "无效Ip:127.0.0.1.1"},
        {"127.0.0.256", "无效Ip:127.0.0.256"},
        {" 127. 0.0.1", "无效Ip:127. 0.0.1"},
        {"local_host", "无效Ip:local_host"},
        // Both reach the device on this machine: 0.0.0.0 is taken for it,
        // and 0177 is octal for 127.
        {"0.0.0.0", "无效Ip:0.0.0.0"},
        {"0177.0.0.1", "无效Ip:0177.0.0.1"},
    };
    const struct {
        const char* Name;
        TControl* Control;
        const char* Status;
    } operations[] = {{"read", Main->BnRead, "读取失败！"},
                      {"download", Main->BnDown, "下载失败！"},
                      {"send raw", Main->ToolButton1, "发送失败！"},
                      {"send number", Main->tbSendNum, "发送失败！"},
                      {"learn", Main->tbStartRed, "发送失败！"}};
    for (const auto& a : addresses)
        for (const auto& o : operations) {
            Main->EtServerHost->SetText(a.Address);
            GuardCallback([&] { o.Control->Click(); });
            const std::string trace = "\"" + std::string(a.Address) + "\" with " + o.Name;
            EXPECT_EQ(TakeBoxes(), std::vector<std::string>{gui::Utf8(a.Message)}) << trace;
            EXPECT_EQ(gui::Utf8(Status()), gui::Utf8(o.Status)) << trace;
            EXPECT_FALSE(Main->OperationRunning()) << trace;
        }
    const std::string after = Device.Ctl("info");
    EXPECT_EQ(after.substr(after.find("tcp_accepts")), before.substr(before.find("tcp_accepts")))
        << "no connection was made";
    EXPECT_TRUE(AnsweredFrames().empty());
    EXPECT_EQ(HexOf(Main->Code(0, 4)), HexOf(Record(26, 4))) << "nothing was read";

    Main->EtServerHost->SetText(" 127.0.0.1 ");
    GuardCallback([&] { Main->BnRead->Click(); });
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("读取完成！"));
    EXPECT_EQ(HexOf(Main->Code(0, 4)), HexOf(Record(24, 4)));
    EXPECT_TRUE(TakeBoxes().empty());
}

// The serial port goes away in the middle of a read (the device's end of
// the line is closed): the read fails, and the status says why, in the
// system's words.
TEST_F(VantrelTest, AReadWhosePortVanishesShowsTheSystemsReason)
{
    UseSerial();
    Store(0, 5, Record(600, 5));
    ASSERT_TRUE(Device.CtlOk("fault 26 delay 1500 match=FFFFFFFF"));
    After(300, [&] { Device.Ctl("quit"); });

    GuardCallback([&] { Main->BnRead->Click(); });

    const String Reason = Main->EcComm->ThreadFailure();
    ASSERT_FALSE(Reason.empty()) << "the port's reader or writer noted why it stopped";
    EXPECT_NE(Reason.find("serial port: "), String::npos) << gui::Utf8(Reason) << ": what failed, then the system's text";
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("读取失败！" + Reason));
    EXPECT_EQ(Main->Code(0, 5), String()) << "nothing was read";
    EXPECT_TRUE(TakeBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(BothTransports, OperationsTest, ::testing::Values(Transport::Serial, Transport::Tcp),
                         [](const ::testing::TestParamInfo<Transport>& Info) { return NameOf(Info.param); });

// A serial port that cannot be opened: the error box names it, with the
// system's reason, and nothing is sent.
TEST_F(VantrelTest, APortThatCannotBeOpenedIsNamedWithTheReason)
{
    UseSerial();
    Main->CbCom->SetText("COM251");
    GuardCallback([&] { Main->BnRead->Click(); });
    const std::vector<std::string> boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    const std::string head = "Error opening serial port COM251: ";
    EXPECT_EQ(boxes[0].rfind(head, 0), 0u) << boxes[0];
    EXPECT_GT(boxes[0].size(), head.size()) << "the system's reason";
    EXPECT_TRUE(AnsweredFrames().empty());
}

} // namespace
} // namespace vantrel_test

// The main window while a device operation runs: one operation at a time
// (the others and the link settings are refused or disabled), a device that
// stops answering mid-read leaves a responsive window and an unchanged
// table, and a close asked for meanwhile waits for the operation's end.
// Also the screenshot of the window after a read.
#include "tests/manager/VantrelFixture.h"

#include "framework/Application.h"
#include "framework/StrUtils.h"

namespace vantrel_test {
namespace {

using vantrel::SlotCount;

int timerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }

// Pixels of a control that are clearly red (the numbers of stored slots).
int RedPixels(TControl* Control)
{
    const auto shot = gui::CaptureControl(Control);
    int red = 0;
    for (int y = 0; y < shot->Height(); ++y)
        for (int x = 0; x < shot->Width(); ++x) {
            const COLORREF c = gui::PixelAt(shot.get(), x, y);
            if (GetRValue(c) > 150 && GetGValue(c) < 100 && GetBValue(c) < 100)
                ++red;
        }
    return red;
}

class SoundnessTest : public VantrelTest, public ::testing::WithParamInterface<Transport> {
protected:
    void SetUp() override
    {
        VantrelTest::SetUp();
        if (!HasFatalFailure())
            Use(GetParam());
    }
    Transport T() const { return GetParam(); }
    void Press(TControl* Control)
    {
        GuardCallback([&] { Control->Click(); });
    }
};

TEST_P(SoundnessTest, ADeviceThatStopsAnsweringMidReadLeavesTheWindowWorking)
{
    for (int s = 1; s <= 3; ++s)
        Store(0, s, Record(600, s));
    Main->SetCode(0, 9, Record(20, 9));
    Main->ShowSlotState(Main->ChannelGrid(0), 9, true);
    // The directory and slot 1's three pieces are answered, nothing after.
    ASSERT_TRUE(Device.CtlOk("fault 26 noreply always skip=4"));

    struct {
        bool Seen = false;
        bool Read = true, Down = true, Send = true, Learn = true, Serial = true, Network = true, Com = true,
             Host = true, Port = true;
        bool MenuSend = true;
        bool StillOpen = false;
    } during;
    After(200, [&] {
        during.Seen = true;
        during.Read = Main->BnRead->Enabled() || Main->TbRead->Enabled();
        during.Down = Main->BnDown->Enabled() || Main->TbDown->Enabled();
        during.Send = Main->ToolButton1->Enabled();
        during.Learn = Main->tbStartRed->Enabled();
        during.Serial = Main->RadioButton2->Enabled();
        during.Network = Main->RadioButton1->Enabled();
        during.Com = Main->CbCom->Enabled() || Main->CbBand->Enabled() || Main->CheckBox1->Enabled();
        during.Host = Main->EtServerHost->Enabled();
        during.Port = Main->EtServerPort->Enabled();
        during.MenuSend = Main->nbSend->Enabled;
        // What still asks for an operation is refused: a key, a menu item.
        Main->SetCode(0, 0, Record(24, 0));
        Press(Main->BnDown);
        Press(Main->ToolButton1);
        Main->nbSendNum->Click();
        // A close waits for the read.
        Main->Close();
        during.StillOpen = Main->Visible();
    });
    timerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CountTick);
    Press(Main->BnRead);
    KillTimer(nullptr, timer);

    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("读取失败！"));
    ASSERT_TRUE(during.Seen) << "the window handled its messages during the read";
    // Over the serial port the window waits handling messages all along;
    // over TCP it handles them after each read.
    if (T() == Transport::Serial) {
        EXPECT_GT(timerTicks, 4) << "timers kept running during the read";
    }
    EXPECT_FALSE(during.Read);
    EXPECT_FALSE(during.Down);
    EXPECT_FALSE(during.Send);
    EXPECT_FALSE(during.Learn);
    EXPECT_FALSE(during.Serial);
    EXPECT_FALSE(during.Network);
    EXPECT_FALSE(during.Com);
    EXPECT_FALSE(during.Host);
    EXPECT_FALSE(during.Port);
    EXPECT_FALSE(during.MenuSend);
    EXPECT_TRUE(during.StillOpen);
    EXPECT_TRUE(FramesStarting("CA20FE25").empty()) << "no download started";
    EXPECT_TRUE(FramesStarting("CA20FE27").empty()) << "no raw send started";
    EXPECT_TRUE(FramesStarting("CA20FE31").empty()) << "no number sent";
    // The table is as it was: slot 9 held, slots 1 to 3 not read.
    for (int s = 1; s < SlotCount; ++s) {
        EXPECT_EQ(SlotChecked(0, s), s == 9) << "slot " << s;
        EXPECT_EQ(Main->Code(0, s).empty(), s != 9) << "slot " << s;
    }
    EXPECT_TRUE(TakeBoxes().empty());
    // The close asked for during the read happens once it has ended.
    EXPECT_TRUE(gui::PumpUntil([&] { return Application->Terminated(); }, 10000)) << "the program ends after the read";
    EXPECT_FALSE(Main->OperationRunning());
}

TEST_P(SoundnessTest, TheLinkSettingsReturnWhenTheOperationEnds)
{
    Store(0, 4, Record(30, 4));
    Press(Main->BnRead);
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("读取完成！"));
    const bool serial = T() == Transport::Serial;
    EXPECT_TRUE(Main->BnRead->Enabled());
    EXPECT_TRUE(Main->RadioButton1->Enabled());
    EXPECT_EQ(Main->CbCom->Enabled(), serial);
    EXPECT_EQ(Main->CheckBox1->Enabled(), serial);
    EXPECT_EQ(Main->EtServerHost->Enabled(), !serial);
    EXPECT_TRUE(Main->nbSend->Enabled);
}

TEST_P(SoundnessTest, ScreenshotAfterAReadShowsTheStoredSlots)
{
    for (int s : {0, 3, 7, 22, 45, 99})
        Store(0, s, Record(100 + s, s));
    Main->ChannelGrid(0)->WriteCellText(1, 0, "电视 开");
    Main->ChannelGrid(0)->WriteCellText(1, 3, "空调");
    gui::Settle();
    EXPECT_EQ(RedPixels(Main->ChannelGrid(0)), 0) << "no red number before the read";
    Press(Main->BnRead);
    ASSERT_EQ(gui::Utf8(Status()), gui::Utf8("读取完成！"));
    gui::Settle();
    const std::string path = Application->ExePath() + "vantrel-after-read-" + NameOf(T()) + ".png";
    gui::SaveScreenshot(Main, path);
    // The numbers of the six stored slots are drawn in red, no other text is.
    EXPECT_GT(RedPixels(Main->ChannelGrid(0)), 6 * 4) << "screenshot " << path;
}

INSTANTIATE_TEST_SUITE_P(BothTransports, SoundnessTest, ::testing::Values(Transport::Serial, Transport::Tcp),
                         [](const ::testing::TestParamInfo<Transport>& Info) { return NameOf(Info.param); });

} // namespace
} // namespace vantrel_test

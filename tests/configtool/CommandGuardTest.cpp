// One device command at a time: while a command of the main window runs,
// the other commands are refused and its buttons are disabled; closing the
// main window then waits for the command's end; a command on the serial
// link first closes the test window's hold on it, whatever the port names;
// and a test-window open that is refused or a send that cannot be queued
// says so instead of echoing the frame.
#include "tests/configtool/BrimselFixture.h"

#include "framework/Application.h"

namespace brimsel_test {
namespace {

std::string ButtonsEnabled(TFmKX40* Main)
{
    std::string state;
    for (TButton* b : {Main->Button5, Main->Button3, Main->Button6, Main->Button11})
        state += b->Enabled() ? "1" : "0";
    return state;
}

class CommandGuard : public BrimselTest {
protected:
    void ChooseVersionRead()
    {
        TestWnd->CbCMD->SetItemIndex(TestWnd->CbCMD->Items()->IndexOf("读版本号"));
        TestWnd->SetCmdLayout(TestWnd->CbCMD->Text());
        TestWnd->CbID->SetItemIndex(0xFE);
    }

    void OpenTestWindowSerial(const char* PortText)
    {
        gui::Click(Main->Button8);
        TestWnd->ComboBox6->SetText(PortText);
        gui::Click(TestWnd->BnOpen);
        ASSERT_TRUE(TestWnd->BnClose->Enabled()) << PortText;
    }

    std::vector<std::string> Memo2Lines() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < TestWnd->Memo2->Lines()->Count(); ++i)
            if (!TestWnd->Memo2->Lines()->Strings(i).empty())
                lines.push_back(gui::Utf8(TestWnd->Memo2->Lines()->Strings(i)));
        return lines;
    }
};

const char* const VersionEcho = "CA 00 FE BB AC ";
// A get answered 150 ms late: within the command's polls, and long after the
// 30 ms at which a test acts during the command.
const char* const CommandDelay = "fault 28 delay 150";

} // namespace

TEST_F(CommandGuard, OtherCommandsAreRefusedWhileOneRuns)
{
    struct Case {
        const char* Link;
        bool Serial;
        std::string Frame;
    };
    for (const Case& c : {Case{"串口", true, "pty ok CA2001280130BB"}, Case{"网口", false, "tcp ok CA20FE280130BE"}}) {
        SCOPED_TRACE(gui::Utf8(c.Link));
        Restart(c.Link);
        // The answer comes late enough for the check below to run during the
        // command however fast the machine (over TCP the window handles
        // messages only after the read).
        ASSERT_TRUE(Device.CtlOk(CommandDelay));
        bool ran = false;
        bool busy = false;
        std::string buttons;
        After(30, [&] {
            ran = true;
            busy = Main->Busy();
            buttons = ButtonsEnabled(Main);
            // As a key or any other path to the handlers would run them.
            Main->Button5Click(Main->Button5);
            Main->Button3Click(Main->Button3);
            Main->Button6Click(Main->Button6);
            Main->Button11Click(Main->Button11);
            // The link the command started on is the one closed at its end.
            gui::Click(c.Serial ? Main->RadioButton2 : Main->RadioButton1);
        });
        gui::Click(Main->Button6);
        ASSERT_TRUE(ran) << "the command ended before the check ran";
        EXPECT_TRUE(busy);
        EXPECT_EQ(buttons, "0000") << "set, switches, get and probe are disabled during the command";
        EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"})) << "only the running command reports";
        gui::PumpFor(300);
        EXPECT_EQ(Frames(), std::vector<std::string>{c.Frame}) << "only the running command reached the device";
        EXPECT_FALSE(Main->Busy());
        EXPECT_EQ(ButtonsEnabled(Main), "1111");
        EXPECT_FALSE(Main->EcComm->Opened());
    }
}

TEST_F(CommandGuard, TestWindowCannotOpenTheSerialLinkDuringACommand)
{
    gui::Click(Main->Button8);
    ASSERT_TRUE(Device.CtlOk(CommandDelay));
    bool ran = false;
    After(30, [&] {
        ran = true;
        gui::Click(TestWnd->BnOpen);
    });
    gui::Click(Main->Button6);
    ASSERT_TRUE(ran);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));
    EXPECT_TRUE(TestWnd->BnOpen->Enabled());
    EXPECT_FALSE(TestWnd->BnClose->Enabled());
    EXPECT_EQ(Memo2Lines().size(), 1u) << "the refusal is reported";
    EXPECT_FALSE(Main->EcComm->Opened()) << "the command closed the link at its end";
}

TEST_F(CommandGuard, ClosingTheMainWindowDuringACommandClosesAfterIt)
{
    // The answer shows port A at 115200: the settings written at the close
    // hold it only when the close came after the command.
    ASSERT_TRUE(Device.CtlOk("params 90 30 30 30 30 30 50 05 05 05 05 05 05 01 00 00 00"));
    ASSERT_TRUE(Device.CtlOk(CommandDelay));
    bool ran = false;
    bool closedDuring = true;
    After(30, [&] {
        ran = true;
        PostMessageW(Main->Handle(), WM_CLOSE, 0, 0);
        gui::Settle();
        closedDuring = Application->Terminated();
    });
    gui::Click(Main->Button6);
    ASSERT_TRUE(ran);
    EXPECT_FALSE(closedDuring) << "the window stays open while the command runs";
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));
    EXPECT_TRUE(gui::PumpUntil([] { return Application->Terminated(); }, 10000)) << "the close follows the command";
    EXPECT_NE(ReadBytes(SettingsPath()).find("[Com1]\r\nband=115200\r\n"), std::string::npos);
}

TEST_F(CommandGuard, SerialCommandTakesTheLinkFromTheTestWindowWhateverThePortNames)
{
    SimDevice other("", "COM8");
    ASSERT_TRUE(other.Started()) << other.StartError();
    struct Case {
        const char* Name;
        TButton* TFmKX40::*Button;
        const char* TestPort;
        const char* Box;
        std::string Frame;   // without its check byte
    };
    const std::string setParams = "CA 20 01 29 0F 01 30 30 30 30 30 30 30 01 01 01 01 01 01 01";
    const Case cases[] = {
        {"set parameters, same port", &TFmKX40::Button5, "Com7", "设置成功！", setParams},
        {"set parameters, another port", &TFmKX40::Button5, "Com8", "设置成功！", setParams},
        {"set switches, same port", &TFmKX40::Button3, "Com7", "设置成功！", "CA 20 01 29 04 02 FF FF FF"},
        {"set switches, another port", &TFmKX40::Button3, "Com8", "设置成功！", "CA 20 01 29 04 02 FF FF FF"},
        {"get, same port", &TFmKX40::Button6, "Com7", "获取成功！", "CA 20 01 28 01 30"},
        {"get, another port", &TFmKX40::Button6, "Com8", "获取成功！", "CA 20 01 28 01 30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Restart();
        OpenTestWindowSerial(c.TestPort);
        ClearLog();
        gui::Click(Main->*c.Button);
        EXPECT_EQ(TakeBoxes(), Utf8s({c.Box}));
        EXPECT_EQ(Frames(), std::vector<std::string>{"pty ok " + Compact(WithCheck(c.Frame))});
        EXPECT_TRUE(TestWnd->BnOpen->Enabled()) << "the test window's close step ran";
        EXPECT_FALSE(TestWnd->BnClose->Enabled());
        EXPECT_TRUE(TestWnd->GroupBox2->Enabled());
        EXPECT_FALSE(Main->EcComm->Opened());
        gui::Click(TestWnd->Button1);
        EXPECT_EQ(Memo2Lines(), Utf8s({"发送串口或网口未打开！"}));
    }

    // A command over TCP leaves the test window's serial link alone.
    Restart("网口");
    OpenTestWindowSerial("Com7");
    gui::Click(Main->Button6);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));
    EXPECT_TRUE(TestWnd->BnClose->Enabled());
    EXPECT_TRUE(Main->EcComm->Opened());
    ChooseVersionRead();
    ClearLog();
    gui::Click(TestWnd->Button1);
    EXPECT_EQ(WaitFrames(1), std::vector<std::string>{"pty ok CA00FEBBAC"});
}

TEST_F(CommandGuard, TestWindowSendGoesOutOnlyWhenTheSerialLinkTakesIt)
{
    // A command over TCP does not use the serial link that the test window
    // holds: a send during it goes out.
    Restart("网口");
    OpenTestWindowSerial("Com7");
    ChooseVersionRead();
    ASSERT_TRUE(Device.CtlOk(CommandDelay));
    bool ran = false;
    bool busy = false;
    std::vector<std::string> during;
    After(30, [&] {
        ran = true;
        busy = Main->Busy();
        gui::Click(TestWnd->Button1);
        during = Memo2Lines();
    });
    gui::Click(Main->Button6);
    ASSERT_TRUE(ran);
    EXPECT_TRUE(busy);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));
    EXPECT_EQ(during, std::vector<std::string>{VersionEcho});
    EXPECT_EQ(WaitFrames(2), (std::vector<std::string>{"tcp ok CA20FE280130BE", "pty ok CA00FEBBAC"}));

    // A frame that the serial link does not take is reported, not echoed.
    Main->EcComm->ClosePort();
    ClearLog();
    gui::Click(TestWnd->Button1);
    const std::vector<std::string> notQueued = Memo2Lines();
    EXPECT_EQ(notQueued.size(), 1u);
    EXPECT_NE(notQueued, std::vector<std::string>{VersionEcho});
    gui::PumpFor(300);
    EXPECT_EQ(Frames(), std::vector<std::string>{});
}

} // namespace brimsel_test

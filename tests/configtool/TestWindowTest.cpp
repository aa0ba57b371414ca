// The function-test window against the device: the frame of each test
// command and its hexadecimal echo over the serial port and over TCP, data
// texts that are refused, the bytes received, the layout of each command,
// and the open and closed states of its link.
#include "tests/configtool/BrimselFixture.h"

#include "framework/StrUtils.h"

namespace brimsel_test {
namespace {

// The echo of a frame: each byte as two digits and a blank.
std::string EchoOf(const std::string& HexText) { return ToHex(Hex(HexText)) + " "; }

std::string Repeated(const std::string& Part, int Count)
{
    std::string text;
    for (int i = 0; i < Count; ++i)
        text += Part;
    return text;
}

const char* const VersionReply = "CA B0 FF 0D 45 58 54 2D 53 49 4D 20 56 31 2E 30 30 3D ";

class TestWindow : public BrimselTest {
protected:
    // Chooses a command as the user does: select it and tell the window.
    void ChooseCommand(const char* Command)
    {
        const int index = TestWnd->CbCMD->Items()->IndexOf(Command);
        ASSERT_GE(index, 0) << gui::Utf8(Command);
        SendMessageW(TestWnd->CbCMD->Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(TestWnd->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(TestWnd->CbCMD->Handle()));
    }

    // Shows the window from the main window's button and opens the link.
    void Open(bool Tcp)
    {
        gui::Click(Main->Button8);
        gui::Click(Tcp ? TestWnd->RadioButton2 : TestWnd->RadioButton1);
        gui::Click(TestWnd->BnOpen);
        ASSERT_TRUE(TestWnd->BnClose->Enabled()) << (Tcp ? "TCP" : "serial") << " link did not open";
    }

    bool LinkOpen(bool Tcp) const
    {
        return Tcp ? TestWnd->IdTCPClient->Connected() && TestWnd->Timer1->Enabled() : Main->EcComm->Opened();
    }

    // Open: the link settings locked and "关闭" enabled; closed: the reverse.
    std::string LockState() const
    {
        std::string state;
        for (TControl* c : std::initializer_list<TControl*>{TestWnd->BnOpen, TestWnd->BnClose, TestWnd->GroupBox2,
                                                            TestWnd->RadioButton1, TestWnd->RadioButton2,
                                                            TestWnd->CheckBox1})
            state += c->Enabled() ? "1" : "0";
        return state;
    }

    std::vector<std::string> Memo2Lines() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < TestWnd->Memo2->Lines()->Count(); ++i)
            lines.push_back(gui::Utf8(TestWnd->Memo2->Lines()->Strings(i)));
        while (!lines.empty() && lines.back().empty())
            lines.pop_back();
        return lines;
    }
};

const std::string ClosedState = "101111";
const std::string OpenState = "010000";

} // namespace

TEST_F(TestWindow, EachCommandSendsItsFrameAndEchoesIt)
{
    struct Case {
        const char* Name;
        const char* Command;
        int Id;
        std::function<void(TFmSim*)> Set;
        std::string Frame;
    };
    const std::string many = Repeated("7F ", 248);
    const Case cases[] = {
        {"read version, ID FE", "读版本号", 0xFE, nullptr, "CA 00 FE BB AC"},
        {"infrared send, ID 01, port 03, code 15, repeat 02", "红外发码", 0x01,
         [](TFmSim* w) {
             w->CbPort->SetItemIndex(2);
             w->CbData->SetItemIndex(15);
             w->ComboBox1->SetItemIndex(2);
         },
         "CA 20 01 31 03 03 0F 02 AC"},
        {"forwarding, ID FE, port 0C, 11 22", "数据转发", 0xFE,
         [](TFmSim* w) {
             w->CbPort->SetItemIndex(2);
             w->EtData->SetText("11 22");
         },
         "CA 20 FE 18 03 0C 11 22 AC"},
        {"forwarding, a long part sends its last two digits", "数据转发", 0xFE,
         [](TFmSim* w) { w->EtData->SetText("  1234   aB "); }, "CA 20 FE 18 03 0A 34 AB AC"},
        {"forwarding, 248 parts", "数据转发", 0xFE, [&](TFmSim* w) { w->EtData->SetText(many); },
         "CA 20 FE 18 F9 0A " + many + "AC"},
        {"set ID, ID FE, new 05", "设ID", 0xFE, [](TFmSim* w) { w->CbPort->SetItemIndex(5); },
         "CA 20 FE 33 01 05 AC"},
    };
    for (bool tcp : {false, true}) {
        SCOPED_TRACE(tcp ? "TCP" : "serial");
        Open(tcp);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Name);
            ClearLog();
            ChooseCommand(c.Command);
            TestWnd->CbID->SetItemIndex(c.Id);
            if (c.Set)
                c.Set(TestWnd);
            gui::Click(TestWnd->Button1);
            EXPECT_EQ(Memo2Lines(), std::vector<std::string>{EchoOf(c.Frame)});
            EXPECT_EQ(WaitFrames(1), std::vector<std::string>{std::string(tcp ? "tcp" : "pty") + " ok " + Compact(c.Frame)});
        }
        ASSERT_TRUE(Device.CtlOk("id 01"));
        gui::Click(TestWnd->BnClose);
    }
}

TEST_F(TestWindow, DataThatCannotBeSentIsReportedInsteadOfSent)
{
    gui::Click(Main->Button8);
    gui::Click(TestWnd->Button1);
    EXPECT_EQ(Memo2Lines(), Utf8s({"发送串口或网口未打开！"})) << "发送 before 打开";

    Open(false);
    struct Case {
        const char* Name;
        std::string Data;
        const char* Message;
    };
    const Case cases[] = {
        {"249 parts", Repeated("01 ", 249), "发送数据过长！"},
        {"blanks only", "     ", " 无数据发送！"},
        {"empty", "", " 无数据发送！"},
        {"a part that is not hexadecimal", "12 0g 34", "非十六进制数:0g"},
        {"a part whose last two digits are not hexadecimal", "12 1-1", "非十六进制数:-1"},
    };
    ChooseCommand("数据转发");
    ClearLog();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TestWnd->EtData->SetText(c.Data);
        gui::Click(TestWnd->Button1);
        EXPECT_EQ(Memo2Lines(), Utf8s({c.Message}));
    }
    gui::PumpFor(300);
    EXPECT_EQ(Frames(), std::vector<std::string>{}) << "nothing was sent";
}

TEST_F(TestWindow, ReceivedBytesAreShownInHex)
{
    for (bool tcp : {false, true}) {
        SCOPED_TRACE(tcp ? "TCP" : "serial");
        Open(tcp);
        ChooseCommand("读版本号");
        TestWnd->CbID->SetItemIndex(0xFE);
        gui::Click(TestWnd->Button1);
        EXPECT_TRUE(gui::PumpUntil([&] { return MemoText(TestWnd->Memo1) == VersionReply; }, 10000))
            << MemoText(TestWnd->Memo1);

        // Bytes the device sends unasked.
        TestWnd->Memo1->Lines()->Clear();
        ASSERT_TRUE(Device.CtlOk(std::string("send ") + (tcp ? "tcp" : "pty") + " 01 02 FE"));
        EXPECT_TRUE(gui::PumpUntil([&] { return MemoText(TestWnd->Memo1) == "01 02 FE "; }, 10000))
            << MemoText(TestWnd->Memo1);
        EXPECT_EQ(TestWnd->Memo1->Lines()->Count(), 1);

        if (!tcp) {
            // Serial bytes reach the memo only while the window is shown.
            TestWnd->Hide();
            TestWnd->Memo1->Lines()->Clear();
            ASSERT_TRUE(Device.CtlOk("send pty 55"));
            gui::PumpFor(600);
            EXPECT_EQ(MemoText(TestWnd->Memo1), "") << "hidden window";
            TestWnd->Show();
        }
        gui::Click(TestWnd->BnClose);
        TestWnd->Memo1->Lines()->Clear();
    }
}

TEST_F(TestWindow, OpenAndCloseLockAndUnlockTheLinkSettings)
{
    for (bool tcp : {false, true}) {
        SCOPED_TRACE(tcp ? "TCP" : "serial");
        EXPECT_EQ(LockState(), ClosedState);
        Open(tcp);
        EXPECT_EQ(LockState(), OpenState);
        EXPECT_TRUE(LinkOpen(tcp));
        gui::Click(TestWnd->BnClose);
        EXPECT_EQ(LockState(), ClosedState);
        EXPECT_FALSE(LinkOpen(tcp));

        // Closing the window closes an open link.
        gui::Click(TestWnd->BnOpen);
        ASSERT_EQ(LockState(), OpenState);
        TestWnd->Close();
        EXPECT_FALSE(TestWnd->Visible());
        EXPECT_EQ(LockState(), ClosedState);
        EXPECT_FALSE(LinkOpen(tcp));
        EXPECT_FALSE(Application->Terminated()) << "closing the test window does not end the program";
    }

    // A connection that the other end closes runs the window's close step:
    // the timer stops, the connection is dropped and the window shows the
    // link closed, so that a send says so instead of failing. The device
    // serves one connection at a time, so the main window's get takes it over.
    Open(true);
    gui::Click(Main->RadioButton2);
    gui::Click(Main->Button6);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));
    EXPECT_TRUE(gui::PumpUntil([&] { return LockState() == ClosedState; }, 10000)) << "the close step ran";
    EXPECT_FALSE(TestWnd->Timer1->Enabled());
    EXPECT_FALSE(TestWnd->IdTCPClient->Connected());
    gui::Click(TestWnd->Button1);
    EXPECT_EQ(Memo2Lines(), Utf8s({"发送串口或网口未打开！"}));
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{}) << "no error";

    // The same when the server drops the connection instead of answering.
    Open(true);
    ChooseCommand("读版本号");
    ASSERT_TRUE(Device.CtlOk("fault BB drop"));
    gui::Click(TestWnd->Button1);
    EXPECT_TRUE(gui::PumpUntil([&] { return LockState() == ClosedState; }, 10000)) << "the close step ran";
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{}) << "no error";

    // A refused connection reaches the error dialog; the window stays closed.
    gui::Click(Main->Button8);
    TestWnd->EtServerPort->SetText("1");
    gui::Click(TestWnd->BnOpen);
    EXPECT_EQ(TakeBoxes().size(), 1u);
    EXPECT_EQ(LockState(), ClosedState);
    EXPECT_FALSE(TestWnd->Timer1->Enabled());
}

// A reply that a serial-device server passes on in pieces is shown as one
// line, as it is over the serial port.
TEST_F(TestWindow, ATcpReplyInPiecesIsShownAsOneLine)
{
    Open(true);
    ChooseCommand("读版本号");
    TestWnd->CbID->SetItemIndex(0xFE);
    ASSERT_TRUE(Device.CtlOk("fault BB split 4 60"));
    gui::Click(TestWnd->Button1);
    EXPECT_TRUE(gui::PumpUntil([&] { return MemoText(TestWnd->Memo1) == VersionReply; }, 10000))
        << MemoText(TestWnd->Memo1);
    gui::PumpFor(300);
    EXPECT_EQ(TestWnd->Memo1->Lines()->Count(), 1) << MemoText(TestWnd->Memo1);
    gui::Click(TestWnd->BnClose);
}

// The ID typed into its box is the address sent; one that names no entry
// sends nothing. A blank server address is refused before any connection.
TEST_F(TestWindow, TypedIdAndBlankServerAddress)
{
    Open(false);
    ChooseCommand("读版本号");
    const struct {
        const char* Typed;
        std::vector<std::string> Memo2;
        std::vector<std::string> Frames;
    } cases[] = {
        {"00", {EchoOf("CA 00 00 BB AC")}, {"pty ignored CA0000BBAC"}},   // the device is FE
        {"FE", {EchoOf("CA 00 FE BB AC")}, {"pty ok CA00FEBBAC"}},
        {"fe", Utf8s({"设置参数非法！"}), {}},
        {"100", Utf8s({"设置参数非法！"}), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        ClearLog();
        TypeInto(TestWnd->CbID, c.Typed);
        gui::Click(TestWnd->Button1);
        EXPECT_EQ(Memo2Lines(), c.Memo2);
        if (c.Frames.empty())
            gui::PumpFor(200);
        EXPECT_EQ(c.Frames.empty() ? Frames() : WaitFrames(1), c.Frames);
    }
    gui::Click(TestWnd->BnClose);

    for (const char* blank : {"", "  "}) {
        SCOPED_TRACE(std::string("address \"") + blank + "\"");
        gui::Click(TestWnd->RadioButton2);
        TestWnd->EtServerHost->SetText(blank);
        gui::Click(TestWnd->BnOpen);
        EXPECT_EQ(TakeBoxes(), Utf8s({"IP地址不能为空！"}));
        EXPECT_EQ(LockState(), ClosedState);
        EXPECT_FALSE(TestWnd->IdTCPClient->Connected());
    }
}

TEST_F(TestWindow, ChosenCommandLaysOutTheWindow)
{
    gui::Click(Main->Button8);
    EXPECT_EQ(TestWnd->Top(), Main->Top() + (Main->Height() - TestWnd->Height()) / 2);
    EXPECT_EQ(TestWnd->Left(), Main->Left() + (Main->Width() - TestWnd->Width()) / 2);

    auto items = [](TCustomComboBox* Box) {
        const int n = Box->Items()->Count();
        return n == 0 ? std::string("-")
                      : std::to_string(n) + " " + Box->Items()->Strings(0) + ".." + Box->Items()->Strings(n - 1);
    };
    struct Case {
        const char* Command;
        const char* PortCaption;
        std::string Shown;   // LbPort CbPort LbEtData EtData LbCBData CbData Label3 ComboBox1
        std::string PortItems;
        std::string CodeItems;
    };
    const Case cases[] = {
        {"红外发码", "端口:  ", "11001111", "8 01..08", "100 00..99"},
        {"数据转发", "从控端口:   ", "11110000", "6 0A..0F", ""},
        {"设ID", "New ID: ", "11000000", "256 00..FF", ""},
        {"读版本号", nullptr, "00000000", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(gui::Utf8(c.Command));
        TestWnd->EtData->SetText("11");
        ChooseCommand(c.Command);
        std::string shown;
        for (TControl* control : std::initializer_list<TControl*>{TestWnd->LbPort, TestWnd->CbPort, TestWnd->LbEtData,
                                                                  TestWnd->EtData, TestWnd->LbCBData, TestWnd->CbData,
                                                                  TestWnd->Label3, TestWnd->ComboBox1})
            shown += control->Visible() ? "1" : "0";
        EXPECT_EQ(shown, c.Shown);
        if (c.PortCaption != nullptr) {
            EXPECT_EQ(gui::Utf8(TestWnd->LbPort->Caption()), gui::Utf8(c.PortCaption));
            EXPECT_EQ(items(TestWnd->CbPort), c.PortItems);
            EXPECT_EQ(TestWnd->CbPort->ItemIndex(), 0);
        }
        if (!c.CodeItems.empty()) {
            EXPECT_EQ(items(TestWnd->CbData), c.CodeItems);
        }
        if (c.Shown[3] == '1') {
            EXPECT_EQ(TestWnd->EtData->Text(), "") << "the data text is cleared";
        }

        // What the screen shows agrees: a shown label has ink, a hidden one
        // leaves only the window's background.
        const COLORREF face = ColorToRGB(clBtnFace);
        const std::initializer_list<TControl*> row = {TestWnd->LbPort,  TestWnd->CbPort, TestWnd->LbEtData,
                                                      TestWnd->EtData,  TestWnd->LbCBData, TestWnd->CbData,
                                                      TestWnd->Label3, TestWnd->ComboBox1};
        auto covered = [&](TControl* Hidden) {
            for (TControl* other : row) {
                TRect overlap;
                const TRect a = Hidden->BoundsRect();
                const TRect b = other->BoundsRect();
                if (other != Hidden && other->Visible() && IntersectRect(&overlap, &a, &b))
                    return true;
            }
            return false;
        };
        for (TLabel* label : {TestWnd->LbPort, TestWnd->LbEtData, TestWnd->LbCBData, TestWnd->Label3}) {
            if (!label->Visible() && covered(label))
                continue;   // its place shows another control
            auto pixels = gui::CaptureControl(label);
            const int ink = gui::CountPixelsNot(pixels.get(), face);
            if (label->Visible()) {
                EXPECT_GT(ink, 0) << gui::Utf8(label->Caption()) << " is shown but not drawn";
            }
            else
                EXPECT_EQ(ink, 0) << gui::Utf8(label->Caption()) << " is hidden but still on the screen";
        }
    }
}

} // namespace brimsel_test

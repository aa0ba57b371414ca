// The main window's parameter commands against the device: the frames of
// set parameters, set switches and get all over the serial port (address =
// module ID) and over TCP (address FE), what they change in the device and
// in the window, their result messages and failures, the checks of the
// parameter block, and the baud-rate probe.
#include "tests/configtool/BrimselFixture.h"

namespace brimsel_test {
namespace {

// The device's start-up block as the window shows it.
const char* const DeviceDefaultsShown =
    "A 9600 无校验(-) 100\nB 9600 无校验(-) 100\nC 9600 无校验(-) 100\nD 9600 无校验(-) 100\n"
    "E 9600 无校验(-) 100\nF 9600 无校验(-) 100\nH 38400 无校验(-) 20\n"
    "switches 接收开启(x) 接收开启(x) 接收开启(x)";

// The line settings of each get the device saw, in order: what the program
// had set on the line when the device could not read it, or "answered".
std::vector<std::string> LineSettingsOfGets(const std::vector<std::string>& Lines)
{
    std::vector<std::string> seen;
    for (const std::string& line : Lines) {
        if (line.find(" ok ") != std::string::npos) {
            seen.push_back("answered");
            continue;
        }
        const auto from = line.find("set to ");
        const auto to = line.find(',', from);
        seen.push_back(from == std::string::npos ? line : line.substr(from + 7, to - from - 7));
    }
    return seen;
}

class ParamCommands : public BrimselTest {
protected:
    void Restart(bool Tcp) { BrimselTest::Restart(Tcp ? "网口" : "串口"); }
};

} // namespace

TEST_F(ParamCommands, FramesResultsAndTheDeviceState)
{
    struct Case {
        const char* Name;
        bool Tcp;
        std::function<void()> Prepare;
        TButton* TFmKX40::*Button;
        std::string Frame;
        const char* Box;
        const char* DeviceQuery;   // control command whose reply shows the effect
        std::string DeviceState;
    };
    const Case cases[] = {
        {"get, serial, module 01", false, nullptr, &TFmKX40::Button6, "CA 20 01 28 01 30 BB", "获取成功！", nullptr, ""},
        {"get, serial, module 0A", false,
         [this] {
             Main->MO_ID->SetItemIndex(9);
             ASSERT_TRUE(Device.CtlOk("id 0A"));
         },
         &TFmKX40::Button6, "CA 20 0A 28 01 30 B2", "获取成功！", nullptr, ""},
        {"get, TCP, whatever the module ID", true, [this] { Main->MO_ID->SetItemIndex(9); },
         &TFmKX40::Button6, "CA 20 FE 28 01 30 BE", "获取成功！", nullptr, ""},
        {"set parameters, TCP, the start-up values", true, nullptr, &TFmKX40::Button5,
         "CA 20 FE 29 0F 01 30 30 30 30 30 30 30 01 01 01 01 01 01 01 87", "设置成功！", "params",
         "OK 3030303030303001010101010101000000"},
        {"set parameters, serial", false,
         [this] {
             // Port A 115200 even, time-out 100 ms, host 38400 (the line
             // stays as it is) with an interval of 40 ms.
             Main->ComboBox13->SetItemIndex(9);
             Main->CheckBox9->SetState(cbChecked);
             Main->ComboBox1->SetItemIndex(4);
             Main->ComboBox12->SetItemIndex(5);
             Main->ComboBox5->SetItemIndex(2);
         },
         &TFmKX40::Button5, "CA 20 01 29 0F 01 92 30 30 30 30 30 50 05 01 01 01 01 01 02 FD", "设置成功！", "params",
         "OK 9230303030305005010101010102000000"},
        {"set switches, serial, module 01", false, [this] { Main->CheckBox5->SetChecked(true); },
         &TFmKX40::Button3, "CA 20 01 29 04 02 00 FF FF E7", "设置成功！", "switches", "OK 00FFFF"},
        {"set switches, TCP", true,
         [this] {
             ASSERT_TRUE(Device.CtlOk("switches FF FF FF"));
             for (TCheckBox* box : {Main->CheckBox5, Main->CheckBox6, Main->CheckBox7})
                 box->SetChecked(true);
         },
         &TFmKX40::Button3, "CA 20 FE 29 04 02 00 00 00 E8", "设置成功！", "switches", "OK 000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Restart(c.Tcp);
        if (c.Prepare)
            c.Prepare();
        ClearLog();
        gui::Click(Main->*c.Button);
        EXPECT_EQ(TakeBoxes(), Utf8s({c.Box}));
        EXPECT_EQ(Frames(), std::vector<std::string>{std::string(c.Tcp ? "tcp" : "pty") + " ok " + Compact(c.Frame)});
        if (c.DeviceQuery != nullptr) {
            EXPECT_EQ(Device.Ctl(c.DeviceQuery).substr(0, c.DeviceState.size()), c.DeviceState);
        }
        if (c.Button == &TFmKX40::Button6) {
            EXPECT_EQ(gui::Utf8(PortsText(Main)), gui::Utf8(DeviceDefaultsShown));
        }
        EXPECT_FALSE(Main->EcComm->Opened()) << "the serial link is closed after each command";
    }
}

TEST_F(ParamCommands, ReceivedBlockIsShownInTheControls)
{
    Restart(true);
    // All switches on before, so that a switch byte 01 shows as off.
    for (TCheckBox* box : {Main->CheckBox5, Main->CheckBox6, Main->CheckBox7})
        box->SetChecked(true);
    // Port bytes 9F (115200, parity nibble F) and A1 (no such rate, odd),
    // time-out bytes 00 (none) and FF, switch bytes 00, 01, FF.
    ASSERT_TRUE(Device.CtlOk("params 9F A1 32 41 00 52 90 01 02 FF 00 0A 05 00 00 01 FF"));
    gui::Click(Main->Button6);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));
    EXPECT_EQ(gui::Utf8(PortsText(Main)), gui::Utf8("A 115200 无校验(-) 20\nB  奇校验(?) 40\nC 9600 偶校验(x) 5100\n"
                                                   "D 19200 奇校验(?) \nE 1200 无校验(-) 200\nF 38400 偶校验(x) 100\n"
                                                   "H 115200 无校验(-) 0\n"
                                                   "switches 接收开启(x) 接收关闭(-) 接收关闭(-)"));
    EXPECT_EQ(Main->ComboBox12->ItemIndex(), 9);
    EXPECT_EQ(Main->ComboBox4->ItemIndex(), -1);
    EXPECT_EQ(Main->ComboBox11->ItemIndex(), -1);
}

TEST_F(ParamCommands, AnswerOfAnotherLengthIsAFailedGetThatChangesNothing)
{
    // The data would show every port at 2400 if it were taken.
    const std::string sixteen = "20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20";
    for (bool tcp : {false, true}) {
        for (const std::string& data : {sixteen, sixteen + " 20 20"}) {
            SCOPED_TRACE(std::string(tcp ? "TCP, " : "serial, ") + std::to_string(Hex(data).size()) + " bytes");
            Restart(tcp);
            const String before = PortsText(Main);
            ASSERT_TRUE(Device.CtlOk("fault 28 reply " + data));
            gui::Click(Main->Button6);
            EXPECT_EQ(TakeBoxes(), Utf8s({"获取失败！"}));
            EXPECT_EQ(gui::Utf8(PortsText(Main)), gui::Utf8(before));
            EXPECT_EQ(Frames().size(), 1u);
        }
    }
}

TEST_F(ParamCommands, UnansweredOrWronglyAnsweredCommandsFail)
{
    struct Case {
        const char* Name;
        bool Tcp;
        const char* Fault;
        TButton* TFmKX40::*Button;
        const char* Box;
    };
    const Case cases[] = {
        {"set parameters, serial, no answer", false, "fault 29 noreply", &TFmKX40::Button5, "设置失败！"},
        {"set switches, serial, no answer", false, "fault 29 noreply", &TFmKX40::Button3, "设置失败！"},
        {"get, serial, no answer", false, "fault 28 noreply", &TFmKX40::Button6, "获取失败！"},
        {"get, serial, an acknowledge instead of the data", false, "fault 28 type 90", &TFmKX40::Button6,
         "获取失败！"},
        {"set switches, TCP, a data answer instead of the acknowledge", true, "fault 29 type B0", &TFmKX40::Button3,
         "设置失败！"},
        {"get, TCP, an acknowledge instead of the data", true, "fault 28 type 90", &TFmKX40::Button6, "获取失败！"},
        {"get, TCP, connection dropped", true, "fault 28 drop", &TFmKX40::Button6, "获取失败！"},
        {"get, TCP, wrong check byte", true, "fault 28 badcheck", &TFmKX40::Button6, "获取失败！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Restart(c.Tcp);
        const String before = PortsText(Main);
        ASSERT_TRUE(Device.CtlOk(c.Fault));
        gui::Click(Main->*c.Button);
        EXPECT_EQ(TakeBoxes(), Utf8s({c.Box}));
        EXPECT_EQ(Frames().size(), 1u);
        EXPECT_EQ(gui::Utf8(PortsText(Main)), gui::Utf8(before));
    }

    // Over TCP a read that completes no frame fails, also right after an
    // exchange that succeeded with the same reply type.
    Restart(true);
    gui::Click(Main->Button6);
    ASSERT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));
    ASSERT_TRUE(Device.CtlOk("fault 28 bytes 55 66"));
    Main->ComboBox13->SetItemIndex(0);
    gui::Click(Main->Button6);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取失败！"})) << "bytes that are no frame, after a good get";
    EXPECT_EQ(Main->ComboBox13->Text(), "1200") << "nothing is shown";
}

// A serial port that cannot be opened: the error box names it, with the
// system's reason, and nothing is sent.
TEST_F(ParamCommands, APortThatCannotBeOpenedIsNamedWithTheReason)
{
    Main->ComboBox6->SetText("COM251");
    gui::Click(Main->Button6);
    const std::vector<std::string> boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    const std::string head = "Error opening serial port COM251: ";
    EXPECT_EQ(boxes[0].rfind(head, 0), 0u) << boxes[0];
    EXPECT_GT(boxes[0].size(), head.size()) << "the system's reason";
    EXPECT_TRUE(Frames().empty());
}

TEST_F(ParamCommands, ParameterBlockIsBuiltFromTheControls)
{
    struct Case {
        const char* Name;
        std::function<void(TFmKX40*)> Change;
        std::string Frame;   // empty: the block is refused and nothing is sent
    };
    const std::string head = "CA 20 FE 29 0F 01 ";
    const Case cases[] = {
        {"port E time-out abc", [](TFmKX40* m) { m->ComboBox2->SetText("abc"); }, ""},
        {"port E time-out empty", [](TFmKX40* m) { m->ComboBox2->SetText(""); }, ""},
        {"port A without a baud rate", [](TFmKX40* m) { m->ComboBox13->SetItemIndex(-1); }, ""},
        {"port F time-out abc", [](TFmKX40* m) { m->ComboBox3->SetText("abc"); }, ""},
        // A box's text is the value used: one that names no entry of its
        // list refuses the block, also where the selection would give a byte.
        {"port B time-out abc", [](TFmKX40* m) { m->ComboBox7->SetText("abc"); }, ""},
        {"host without a baud rate, even parity",
         [](TFmKX40* m) {
             m->ComboBox12->SetItemIndex(-1);
             m->CheckBox4->SetState(cbChecked);
         },
         ""},
        {"host interval abc", [](TFmKX40* m) { m->ComboBox5->SetText("abc"); }, ""},
        {"port E time-out typed 020", [](TFmKX40* m) { TypeInto(m->ComboBox2, "020"); }, ""},
        {"port B time-out typed 40", [](TFmKX40* m) { TypeInto(m->ComboBox7, "40"); },
         WithCheck(head + "30 30 30 30 30 30 30 01 02 01 01 01 01 01")},
        {"port A time-out typed 20 over 20", [](TFmKX40* m) { TypeInto(m->ComboBox1, "20"); },
         WithCheck(head + "30 30 30 30 30 30 30 01 01 01 01 01 01 01")},
        {"host interval typed 0", [](TFmKX40* m) { TypeInto(m->ComboBox5, "0"); },
         WithCheck(head + "30 30 30 30 30 30 30 01 01 01 01 01 01 00")},
        {"odd and even ports", [](TFmKX40* m) {
             m->CheckBox1->SetState(cbGrayed);
             m->ComboBox16->SetItemIndex(0);
             m->CheckBox10->SetState(cbChecked);
             m->ComboBox3->SetItemIndex(254);
         },
         WithCheck(head + "30 31 30 30 02 30 30 01 01 01 01 01 FF 01")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Restart(true);
        c.Change(Main);
        gui::Click(Main->Button5);
        if (c.Frame.empty()) {
            EXPECT_EQ(TakeBoxes(), Utf8s({"设置参数非法！", "设置失败！"}));
            gui::PumpFor(200);
            EXPECT_EQ(Frames(), std::vector<std::string>{});
        } else {
            EXPECT_EQ(TakeBoxes(), Utf8s({"设置成功！"}));
            EXPECT_EQ(Frames(), std::vector<std::string>{"tcp ok " + Compact(c.Frame)});
        }
    }
}

// The module ID typed into its box is the address used; a text that names
// no entry refuses the command with the invalid-parameter message.
TEST_F(ParamCommands, TypedModuleIdIsTheAddressSent)
{
    struct Case {
        const char* Name;
        const char* Typed;
        const char* DeviceId;
        TButton* TFmKX40::*Button;
        std::vector<std::string> Boxes;
        std::vector<std::string> Frames;
    };
    const Case cases[] = {
        {"01 over 01", "01", nullptr, &TFmKX40::Button6, Utf8s({"获取成功！"}), {"pty ok " + Compact(WithCheck("CA 20 01 28 01 30"))}},
        {"0A", "0A", "id 0A", &TFmKX40::Button6, Utf8s({"获取成功！"}), {"pty ok " + Compact(WithCheck("CA 20 0A 28 01 30"))}},
        {"switches to 02", "02", "id 02", &TFmKX40::Button3, Utf8s({"设置成功！"}),
         {"pty ok " + Compact(WithCheck("CA 20 02 29 04 02 FF FF FF"))}},
        {"1 names no entry", "1", nullptr, &TFmKX40::Button6, Utf8s({"设置参数非法！", "获取失败！"}), {}},
        {"0a is not as the list writes it", "0a", nullptr, &TFmKX40::Button5, Utf8s({"设置参数非法！", "设置失败！"}), {}},
        {"the probe refuses once", "xx", nullptr, &TFmKX40::Button11, Utf8s({"设置参数非法！", "获取失败！"}), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Restart(false);
        if (c.DeviceId != nullptr) {
            ASSERT_TRUE(Device.CtlOk(c.DeviceId));
        }
        TypeInto(Main->MO_ID, c.Typed);
        gui::Click(Main->*c.Button);
        EXPECT_EQ(TakeBoxes(), c.Boxes);
        if (c.Frames.empty())
            gui::PumpFor(200);
        EXPECT_EQ(Frames(), c.Frames);
        EXPECT_FALSE(Main->EcComm->Opened());
    }
}

// Over TCP a reply may come in several segments; a blank or malformed server
// address is refused before any connection is tried.
TEST_F(ParamCommands, TcpRepliesInPiecesAndBlankServerAddresses)
{
    Restart(true);
    ASSERT_TRUE(Device.CtlOk("fault 28 split 5 80"));
    gui::Click(Main->Button6);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"})) << "a get answered in pieces of 5 bytes";
    EXPECT_EQ(gui::Utf8(PortsText(Main)), gui::Utf8(DeviceDefaultsShown));
    ASSERT_TRUE(Device.CtlOk("fault 29 split 2 80"));
    gui::Click(Main->Button3);
    EXPECT_EQ(TakeBoxes(), Utf8s({"设置成功！"})) << "a set answered in pieces of 2 bytes";

    const struct {
        const char* Address;
        const char* Message;
    } refused[] = {{"", "IP地址不能为空！"}, {"   ", "IP地址不能为空！"}, {"127.0.0", "无效Ip:127.0.0"}};
    for (const auto& r : refused) {
        SCOPED_TRACE(std::string("address \"") + r.Address + "\"");
        Restart(true);
        const std::string before = Device.Ctl("info");
        Main->EtServerHost->SetText(r.Address);
        gui::Click(Main->Button6);
        EXPECT_EQ(TakeBoxes(), Utf8s({r.Message, "获取失败！"}));
        gui::PumpFor(200);
        const std::string after = Device.Ctl("info");
        EXPECT_EQ(after.substr(after.find("tcp_accepts")), before.substr(before.find("tcp_accepts")))
            << "no connection was made";
        EXPECT_FALSE(Main->IdTCPClient->Connected());
    }
}

TEST_F(ParamCommands, ProbeFindsTheDeviceAt4800EvenStartingFrom1200)
{
    Restart(false);
    ASSERT_TRUE(Device.CtlOk("link 4800 E"));
    Main->ComboBox14->SetItemIndex(0);
    gui::Click(Main->Button11);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));
    EXPECT_EQ(LineSettingsOfGets(FrameLines()),
              (std::vector<std::string>{"1200 8N1", "1200 8O1", "1200 8E1", "2400 8N1", "2400 8O1", "2400 8E1",
                                        "4800 8N1", "4800 8O1", "answered"}));
    EXPECT_EQ(Main->ComboBox14->Text(), "4800");
    EXPECT_EQ(Main->CheckBox8->State(), cbChecked);
    EXPECT_EQ(gui::Utf8(Main->CheckBox8->Caption()), gui::Utf8("偶校验"));
    EXPECT_EQ(Main->ComboBox12->Text(), "4800") << "the answer is shown";
    EXPECT_FALSE(Main->EcComm->Opened());
}

TEST_F(ParamCommands, ProbeThatFindsNothingMakesEveryGetAndEndsWhereItStarted)
{
    Restart(false);
    ASSERT_TRUE(Device.CtlOk("link 300 N"));
    Main->ComboBox14->SetItemIndex(3);   // 9600
    gui::Click(Main->Button11);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取失败！"}));
    // Under Wine a program asking for 43000 or 56000 baud gets 38400 on the line.
    std::vector<std::string> expected;
    for (const char* baud : {"9600", "19200", "38400", "38400", "38400", "57600", "115200", "1200", "2400", "4800"})
        for (const char* parity : {"N", "O", "E"})
            expected.push_back(std::string(baud) + " 8" + parity + "1");
    WaitFrames(30);
    EXPECT_EQ(LineSettingsOfGets(FrameLines()), expected) << "30 gets, each one reaching the device";
    EXPECT_EQ(Main->ComboBox14->Text(), "9600");
    EXPECT_EQ(gui::Utf8(Main->CheckBox8->Caption()), gui::Utf8("偶校验"));
    EXPECT_EQ(Main->CheckBox8->State(), cbChecked);
    EXPECT_FALSE(Main->EcComm->Opened());
}

TEST_F(ParamCommands, ProbeOverTcpIsOneGet)
{
    struct Case {
        const char* Name;
        const char* Fault;
        const char* Box;
    };
    for (const Case& c : {Case{"answered", nullptr, "获取成功！"}, Case{"not answered", "fault 28 type 90", "获取失败！"}}) {
        SCOPED_TRACE(c.Name);
        Restart(true);
        if (c.Fault != nullptr) {
            ASSERT_TRUE(Device.CtlOk(c.Fault));
        }
        gui::Click(Main->Button11);
        EXPECT_EQ(TakeBoxes(), Utf8s({c.Box}));
        EXPECT_EQ(Frames(), std::vector<std::string>{"tcp ok CA20FE280130BE"});
    }
}

} // namespace brimsel_test

// Brimsel right after its start: the lists both windows fill, the settings
// reader's defaults when Configure.ini is missing or empty, and the rules
// that the check boxes and the link choice follow when clicked.
#include "tests/configtool/BrimselFixture.h"

#include "tests/support/ProgramRun.h"
#include "tests/support/TempDir.h"

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/StrUtils.h"

namespace brimsel_test {
namespace {

using Strings = std::vector<String>;

Strings Items(TCustomComboBox* Box)
{
    Strings items;
    for (int i = 0; i < Box->Items()->Count(); ++i)
        items.push_back(Box->Items()->Strings(i));
    return items;
}

Strings Decimal(int First, int Step, int Last)
{
    Strings list;
    for (int v = First; v <= Last; v += Step)
        list.push_back(IntToStr(v));
    return list;
}

Strings TwoHexDigits(int First, int Last)
{
    Strings list;
    static const char digits[] = "0123456789ABCDEF";
    for (int v = First; v <= Last; ++v)
        list.push_back(String{digits[v >> 4], digits[v & 15]});
    return list;
}

const Strings BaudRates = {"1200", "2400", "4800", "9600", "19200", "38400", "43000", "56000", "57600", "115200"};
const Strings PortNames = {"Com1", "Com2", "Com3", "Com4", "Com5", "Com6", "Com7", "Com8"};

} // namespace

TEST_F(BrimselTest, WindowsFillTheirListsAtStart)
{
    struct Case {
        const char* Name;
        TCustomComboBox* Box;
        Strings Expected;
    };
    const Strings timeOuts = Decimal(20, 20, 5100);
    const Strings interval = Decimal(0, 20, 5100);
    const Case cases[] = {
        {"A baud", Main->ComboBox13, BaudRates},      {"B baud", Main->ComboBox4, BaudRates},
        {"C baud", Main->ComboBox8, BaudRates},       {"D baud", Main->ComboBox10, BaudRates},
        {"E baud", Main->ComboBox16, BaudRates},      {"F baud", Main->ComboBox19, BaudRates},
        {"host baud", Main->ComboBox12, BaudRates},   {"download baud", Main->ComboBox14, BaudRates},
        {"A time-out", Main->ComboBox1, timeOuts},    {"B time-out", Main->ComboBox7, timeOuts},
        {"C time-out", Main->ComboBox9, timeOuts},    {"D time-out", Main->ComboBox11, timeOuts},
        {"E time-out", Main->ComboBox2, timeOuts},    {"F time-out", Main->ComboBox3, timeOuts},
        {"host interval", Main->ComboBox5, interval}, {"module ID", Main->MO_ID, TwoHexDigits(1, 255)},
        {"port names", Main->ComboBox6, PortNames},   {"test ID", TestWnd->CbID, TwoHexDigits(0, 255)},
        {"test repeat", TestWnd->ComboBox1, TwoHexDigits(0, 255)},
        {"test baud", TestWnd->ComboBox14, BaudRates},
        {"test port names", TestWnd->ComboBox6, PortNames},
        {"test commands", TestWnd->CbCMD, {"数据转发", "读版本号", "红外发码", "设ID"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Items(c.Box), c.Expected) << c.Name;
    EXPECT_EQ(Main->MO_ID->Text(), "01");
    EXPECT_EQ(TestWnd->ComboBox1->Text(), "00");

    EXPECT_EQ(Main->Caption(), "Brimsel V1.30C");
    EXPECT_EQ(Main->ClientWidth(), 686);
    EXPECT_EQ(Main->ClientHeight(), 380);
    EXPECT_EQ(TestWnd->Caption(), String("功能测试"));
    EXPECT_EQ(TestWnd->ClientWidth(), 522);
    EXPECT_EQ(TestWnd->ClientHeight(), 278);
    EXPECT_FALSE(TestWnd->Visible()) << "the test window is created hidden";
}

TEST_F(BrimselTest, MissingOrEmptySettingsGiveTheReadersDefaults)
{
    // Port E's form selection is 1200 and the host port's none: the reader's
    // defaults replace both.
    const String defaults = "A 9600 无校验(-) 20\nB 9600 无校验(-) 20\nC 9600 无校验(-) 20\nD 9600 无校验(-) 20\n"
                            "E 9600 无校验(-) 20\nF 9600 无校验(-) 20\nH 9600 无校验(-) 20\n"
                            "switches 接收关闭(-) 接收关闭(-) 接收关闭(-)";
    const std::string empty;
    struct Case {
        const char* Name;
        const std::string* Settings;
    };
    for (const Case& c : {Case{"no Configure.ini", nullptr}, Case{"empty Configure.ini", &empty}}) {
        SCOPED_TRACE(c.Name);
        DestroyWindows();
        StartWindows(c.Settings);
        EXPECT_EQ(gui::Utf8(PortsText(Main)), gui::Utf8(defaults));
        EXPECT_EQ(Main->ComboBox14->Text(), "9600");
        EXPECT_EQ(Main->ComboBox6->Text(), "Com1");
        EXPECT_EQ(Main->CheckBox8->Caption(), String("无校验"));
        EXPECT_EQ(Main->CheckBox8->State(), cbUnchecked);
        EXPECT_TRUE(Main->RadioButton1->Checked());
        EXPECT_FALSE(Main->RadioButton2->Checked());
        EXPECT_TRUE(Main->ComboBox6->Enabled());
        EXPECT_FALSE(Main->EtServerHost->Enabled());
        EXPECT_EQ(Main->EtServerPort->Text(), "5000");
        EXPECT_EQ(TestWnd->CbID->Text(), "FE");
        EXPECT_EQ(TestWnd->CbCMD->Text(), String("数据转发"));
        EXPECT_TRUE(TestWnd->RadioButton1->Checked());
        EXPECT_EQ(TestWnd->ComboBox14->Text(), "9600");
        EXPECT_EQ(TestWnd->ComboBox6->Text(), "Com1");
        EXPECT_EQ(TestWnd->EtServerPort->Text(), "5000");
        EXPECT_TRUE(TestWnd->BnOpen->Enabled());
        EXPECT_FALSE(TestWnd->BnClose->Enabled());
    }
}

TEST_F(BrimselTest, ClickedCheckBoxesAndLinkChoiceFollowTheirRules)
{
    struct Step {
        TCustomCheckBox* Box;
        TCheckBoxState State;
        const char* Caption;
    };
    // A port's parity box cycles none, even, odd with its caption; a switch
    // box names its state; the download parity box names the parity it uses.
    const Step steps[] = {
        {Main->CheckBox9, cbChecked, "偶校验"},     {Main->CheckBox9, cbGrayed, "奇校验"},
        {Main->CheckBox9, cbUnchecked, "无校验"},   {Main->CheckBox4, cbChecked, "偶校验"},
        {Main->CheckBox5, cbChecked, "接收开启"},   {Main->CheckBox5, cbUnchecked, "接收关闭"},
        {Main->CheckBox7, cbChecked, "接收开启"},   {Main->CheckBox8, cbChecked, "偶校验"},
        {TestWnd->CheckBox1, cbChecked, "偶校验"},  {TestWnd->CheckBox1, cbGrayed, "奇校验"},
    };
    TestWnd->Show();
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        gui::Click(steps[i].Box);
        EXPECT_EQ(steps[i].Box->State(), steps[i].State) << "click " << i;
        EXPECT_EQ(gui::Utf8(steps[i].Box->Caption()), gui::Utf8(steps[i].Caption)) << "click " << i;
    }

    // The state of the download parity box, not its caption, is the parity
    // used: checked is even, at which the device now answers.
    ASSERT_TRUE(Device.CtlOk("link 38400 E"));
    gui::Click(Main->Button6);
    EXPECT_EQ(TakeBoxes(), Utf8s({"获取成功！"}));

    // Saving stores the caption, which names the parity used, so a start
    // from the saved file uses even parity again.
    Main->Close();
    const std::string saved = ReadBytes(SettingsPath());
    const auto download = saved.find("[Dowload]");
    ASSERT_NE(download, std::string::npos);
    const std::string section = saved.substr(download, saved.find("\n[", download) - download);
    EXPECT_NE(section.find("\nCheck=偶校验\r"), std::string::npos) << gui::Utf8(section);
    DestroyWindows();
    gui::Settle();
    Application->ResetTerminated();
    StartWindows(&saved);
    EXPECT_EQ(Main->CheckBox8->State(), cbChecked);
    EXPECT_EQ(gui::Utf8(Main->CheckBox8->Caption()), gui::Utf8("偶校验"));

    gui::Click(Main->RadioButton2);
    EXPECT_FALSE(Main->ComboBox6->Enabled());
    EXPECT_FALSE(Main->ComboBox14->Enabled());
    EXPECT_TRUE(Main->EtServerHost->Enabled());
    EXPECT_TRUE(Main->EtServerPort->Enabled());
    gui::Click(Main->RadioButton1);
    EXPECT_TRUE(Main->ComboBox6->Enabled());
    EXPECT_TRUE(Main->ComboBox14->Enabled());
    EXPECT_FALSE(Main->EtServerHost->Enabled());
    EXPECT_FALSE(Main->EtServerPort->Enabled());
}

// Closing the program as a user does ends its process at once, with exit
// code 0 and without Wine's crash dialog: ten starts closed by the close
// button, two ended with taskkill. The program itself (Brimsel.exe, copied
// into a folder of its own with a Configure.ini) runs; the time of each end
// is printed.
TEST_F(BrimselTest, ClosingTheProgramEndsItCleanly)
{
    testfs::TempDir folder("brimsel-close");
    const String dir = testfs::PathStr(folder.Path()) + "\\";
    ASSERT_TRUE(programrun::CopyProgram(dir, {"Brimsel.exe", "ZNetAdv.dll"}));
    WriteBytes(dir + "Configure.ini", SettingsText());
    for (const programrun::ProgramEnd& end : programrun::CloseRounds(dir, "Brimsel.exe", L"Brimsel V1.30C", 10, 2))
        EXPECT_TRUE(end.Clean()) << end.Describe();
}

// Closing the windows, also with the test window's TCP link open, ends the
// idle worker and reports nothing; the time it took is printed.
TEST_F(BrimselTest, ClosingTheWindowsEndsTheWorker)
{
    for (bool linkOpen : {false, true}) {
        SCOPED_TRACE(linkOpen ? "test window's TCP link open" : "no link open");
        Restart();
        if (linkOpen) {
            gui::Click(Main->Button8);
            gui::Click(TestWnd->RadioButton2);
            gui::Click(TestWnd->BnOpen);
            ASSERT_TRUE(TestWnd->BnClose->Enabled()) << "the TCP link did not open";
        }
        const DWORD start = GetTickCount();
        Main->Close();
        DestroyWindows();
        const DWORD elapsed = GetTickCount() - start;
        std::printf("closing the windows with %s took %lu ms\n", linkOpen ? "the test link open" : "no link open",
                    elapsed);
        EXPECT_EQ(TakeBoxes(), std::vector<std::string>{});
        gui::Settle();
        Application->ResetTerminated();
        StartWindows(nullptr);
    }
}

} // namespace brimsel_test

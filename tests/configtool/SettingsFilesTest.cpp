// Brimsel's settings files: saving and loading through the main window's
// buttons and file dialogs, the ".ini" that replaces a chosen extension,
// values that name no list entry, Configure.ini written at the close with
// the sections of other programs kept as they were, and a Configure.ini
// that cannot be written.
#include "tests/configtool/BrimselFixture.h"

#include <windows.h>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "tests/support/ReplaceWatch.h"

namespace brimsel_test {
namespace {

String StateMark(const TCustomCheckBox* Box)
{
    return Box->State() == cbChecked ? "(x)" : Box->State() == cbGrayed ? "(?)" : "(-)";
}

String YesNo(bool Value) { return Value ? "on" : "off"; }

// Everything the settings files hold, as both windows show it.
String SettingsShown(TFmKX40* M, TFmSim* S)
{
    return PortsText(M) + "\nmain " + (M->RadioButton1->Checked() ? "serial" : "tcp") + " " + M->ComboBox6->Text() +
           "(" + YesNo(M->ComboBox6->Enabled()) + ") " + M->ComboBox14->Text() + "(" +
           YesNo(M->ComboBox14->Enabled()) + ") " + M->CheckBox8->Caption() + StateMark(M->CheckBox8) + " " +
           M->EtServerHost->Text() + "(" + YesNo(M->EtServerHost->Enabled()) + "):" + M->EtServerPort->Text() +
           "\ntest " + S->CbID->Text() + " " + S->CbCMD->Text() + " " +
           (S->RadioButton1->Checked() ? "serial" : "tcp") + (S->RadioButton2->Checked() ? " tcp" : " -") + " " +
           S->ComboBox6->Text() + " " + S->ComboBox14->Text() + " " + S->EtServerHost->Text() + ":" +
           S->EtServerPort->Text();
}

// "[Section]" and the key names of a file, in file order.
std::vector<std::string> SectionsAndKeys(const std::string& Bytes)
{
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < Bytes.size()) {
        std::size_t end = Bytes.find('\n', at);
        if (end == std::string::npos)
            end = Bytes.size();
        std::string line = Bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[')
            names.push_back(line);
        else if (line.find('=') != std::string::npos)
            names.push_back(line.substr(0, line.find('=')));
        at = end + 1;
    }
    return names;
}

class SettingsFiles : public BrimselTest {
protected:
    void SetUp() override
    {
        BrimselTest::SetUp();
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        Folder = WideToStr(temp) + "brimsel-settings-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryW(StrToWide(Folder).c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const char* name : {"saved.ini", "saved.txt", "only.txt", "odd.ini", "typed.ini"})
            RemovePath(Folder + name);
        RemovePath(Folder);
        BrimselTest::TearDown();
    }

    // Runs the save (Button1) or load (Button2) button with the dialog
    // answered by choosing Name in the folder (or cancelled when Name is null).
    void RunFileButton(TButton* Button, const char* Name)
    {
        int asked = 0;
        gui::FileDialogAnswers answers([&](TOpenDialog* Dialog, bool Save) {
            ++asked;
            EXPECT_EQ(Save, Button == Main->Button1);
            EXPECT_EQ(Dialog->Filter, "*.ini|*.ini");
            if (Name == nullptr)
                return false;
            Dialog->FileName = Folder + Name;
            return true;
        });
        gui::Click(Button);
        EXPECT_EQ(asked, 1);
    }

    String Folder;
};

} // namespace

TEST_F(SettingsFiles, SavedFileRestoresBothWindows)
{
    // Every control the files hold, away from what a fresh start shows.
    const int bauds[7] = {9, 0, 3, 3, 5, 3, 8};
    const TCheckBoxState parities[7] = {cbGrayed, cbChecked, cbGrayed, cbUnchecked, cbUnchecked, cbChecked, cbChecked};
    const int timeOuts[7] = {4, 254, 0, 2, 0, 1, 0};
    for (int port = 0; port < 7; ++port) {
        const TFmKX40::TPortControls c = Main->PortControls(port);
        c.Baud->SetItemIndex(bauds[port]);
        c.Parity->SetState(parities[port]);
        c.TimeOut->SetItemIndex(timeOuts[port]);
    }
    Main->CheckBox5->SetChecked(true);
    Main->CheckBox7->SetChecked(true);
    gui::Click(Main->RadioButton2);
    Main->ComboBox6->SetItemIndex(2);
    Main->ComboBox14->SetItemIndex(8);
    Main->CheckBox8->SetCaption("奇校验");   // as the probe leaves it
    Main->CheckBox8->SetState(cbGrayed);
    Main->EtServerHost->SetText("127.0.0.2");
    Main->EtServerPort->SetText("6001");
    TestWnd->CbID->SetItemIndex(0x1F);
    TestWnd->CbCMD->SetItemIndex(2);
    TestWnd->RadioButton2->SetChecked(true);
    TestWnd->ComboBox6->SetItemIndex(1);
    TestWnd->ComboBox14->SetItemIndex(1);
    TestWnd->EtServerHost->SetText("127.0.0.3");
    TestWnd->EtServerPort->SetText("6002");
    const String saved = SettingsShown(Main, TestWnd);

    RunFileButton(Main->Button1, "saved.txt");
    EXPECT_EQ(Main->SaveDialog1->FileName, Folder + "saved.ini") << "the dialog holds the name written";
    EXPECT_FALSE(PathExists(Folder + "saved.txt"));
    const std::string file = ReadBytes(Folder + "saved.ini");
    std::vector<std::string> order;
    for (const char* section : {"[Com1]", "[Com2]", "[Com3]", "[Com4]", "[Com5]", "[Com6]", "[ComHost]"})
        order.insert(order.end(), {section, "band", "FramInv", "Check"});
    order.insert(order.end(), {"[Dowload]", "SelPort", "SerBand", "Usart", "NetIP", "NetPort", "Check", "[OnOFF]",
                               "Com1~4", "Com5", "Com6", "[SimForm]", "Id", "Cmd", "SelPort", "SerBand", "Usart",
                               "NetIP", "NetPort"});
    EXPECT_EQ(SectionsAndKeys(file), order);
    for (const char* line : {"band=115200\r\n", "FramInv=5100\r\n", "Check=奇校验\r\n", "SelPort=网口\r\n",
                             "Usart=Com3\r\n", "Com1~4=接收开启\r\n", "Com5=接收关闭\r\n", "Id=1F\r\n",
                             "Cmd=红外发码\r\n", "NetPort=6002\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << gui::Utf8(line);

    DestroyWindows();
    const std::string fresh = SettingsText();
    StartWindows(&fresh);
    ASSERT_NE(gui::Utf8(SettingsShown(Main, TestWnd)), gui::Utf8(saved));
    // The file changes the test window's link choice: its open link is closed first.
    gui::Click(Main->Button8);
    gui::Click(TestWnd->BnOpen);
    ASSERT_TRUE(Main->EcComm->Opened());
    RunFileButton(Main->Button2, "saved.cfg");
    EXPECT_FALSE(Main->EcComm->Opened());
    EXPECT_TRUE(TestWnd->BnOpen->Enabled());
    EXPECT_EQ(Main->OpenDialog1->FileName, Folder + "saved.ini");
    EXPECT_EQ(gui::Utf8(SettingsShown(Main, TestWnd)), gui::Utf8(saved));
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{});
}

TEST_F(SettingsFiles, LoadingANameWithoutItsIniFileSaysSoAndChangesNothing)
{
    WriteBytes(Folder + "only.txt", "[Com1]\r\nband=1200\r\n");
    const String before = SettingsShown(Main, TestWnd);
    RunFileButton(Main->Button2, "only.txt");
    EXPECT_EQ(TakeBoxes(), Utf8s({"文件不存在！"}));
    EXPECT_EQ(gui::Utf8(SettingsShown(Main, TestWnd)), gui::Utf8(before));

    RunFileButton(Main->Button2, nullptr);
    RunFileButton(Main->Button1, nullptr);
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{}) << "cancelled dialogs";
    EXPECT_FALSE(PathExists(Folder + "only.ini"));
}

TEST_F(SettingsFiles, ValuesThatNameNoEntryLeaveNoSelection)
{
    WriteBytes(Folder + "odd.ini", "[Com1]\r\nCheck=EVEN\r\n[Com2]\r\nband=12345\r\n[Com3]\r\nFramInv=abc\r\n"
                                   "[Com4]\r\nCheck=偶校验\r\n[Com5]\r\nCheck=奇校验\r\n"
                                   "[Dowload]\r\nUsart=COM9\r\nSerBand=300\r\nSelPort=serial\r\n"
                                   "[OnOFF]\r\nCom5=on\r\nCom6=接收开启\r\n"
                                   "[SimForm]\r\nId=zz\r\nUsart=com2\r\nCmd=读版本号\r\n");
    Main->CheckBox9->SetState(cbChecked);
    RunFileButton(Main->Button2, "odd.ini");
    EXPECT_EQ(gui::Utf8(PortsText(Main)), gui::Utf8("A 9600 无校验(-) 20\nB  无校验(-) 20\nC 9600 无校验(-) \n"
                                                   "D 9600 偶校验(x) 20\nE 9600 奇校验(?) 20\nF 9600 无校验(-) 20\n"
                                                   "H 9600 无校验(-) 20\n"
                                                   "switches 接收关闭(-) 接收关闭(-) 接收开启(x)"));
    EXPECT_EQ(Main->ComboBox6->ItemIndex(), -1);
    EXPECT_EQ(Main->ComboBox6->Text(), "") << "a port name not in the list";
    EXPECT_EQ(Main->ComboBox14->ItemIndex(), -1);
    EXPECT_TRUE(Main->RadioButton2->Checked()) << "any choice other than 串口 is the network";
    EXPECT_TRUE(Main->EtServerHost->Enabled());
    EXPECT_EQ(TestWnd->CbID->ItemIndex(), -1);
    EXPECT_EQ(TestWnd->ComboBox6->Text(), "Com2") << "entries are found whatever the letter case";
    EXPECT_EQ(TestWnd->CbCMD->Text(), String("读版本号"));

    // A typed port name is saved as it stands.
    Main->ComboBox6->SetText("COM9");
    RunFileButton(Main->Button1, "typed.ini");
    EXPECT_NE(ReadBytes(Folder + "typed.ini").find("Usart=COM9\r\n"), std::string::npos);
}

TEST_F(SettingsFiles, CloseWritesConfigureIniAndKeepsWhatOthersWrote)
{
    const std::string foreignHead = "; shared with the manager\r\n[Vantrel]\r\nLastProject=C:\\proj\\a.vtp\r\n"
                                    "  a line of no known form\r\n\r\n";
    DestroyWindows();
    const std::string text =
        foreignHead + SettingsText("串口", "串口", "Foreign=kept in the test section\r\n[Zeta]\r\nz=1\r\n");
    StartWindows(&text);
    Main->ComboBox13->SetItemIndex(9);
    TestWnd->CbID->SetItemIndex(0x42);

    Main->Close();
    EXPECT_TRUE(Application->Terminated()) << "closing the main window ends the program";
    const std::string file = ReadBytes(SettingsPath());
    EXPECT_EQ(file.substr(0, foreignHead.size()), foreignHead);
    EXPECT_NE(file.find("[SimForm]\r\nSelPort="), std::string::npos);
    EXPECT_NE(file.find("Foreign=kept in the test section\r\n"), std::string::npos);
    EXPECT_NE(file.find("[Zeta]\r\nz=1\r\n"), std::string::npos);
    EXPECT_NE(file.find("[Com1]\r\nband=115200\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("Id=42\r\n"), std::string::npos) << file;
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{});
}

// The close saves every key in one replace of the file, as a watcher of the
// folder sees it: a kill during the save leaves the old file or the new one.
TEST_F(SettingsFiles, CloseWritesEveryKeyInOneReplace)
{
    Main->ComboBox13->SetItemIndex(9);
    ReplaceWatch watch(SettingsPath());
    ASSERT_TRUE(watch.Watching()) << watch.Error();
    Main->Close();
    EXPECT_EQ(watch.Replacements(), 1) << watch.Error();
    const std::string file = ReadBytes(SettingsPath());
    // The first, a middle and the last key of the save are all there.
    EXPECT_NE(file.find("[Com1]\r\nband=115200\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("[OnOFF]\r\nCom1~4="), std::string::npos) << file;
    const std::size_t download = file.find("[Dowload]\r\n");
    ASSERT_NE(download, std::string::npos) << file;
    EXPECT_LT(file.find("\r\nCheck=", download), file.find("\r\n[", download)) << file;
    EXPECT_FALSE(PathExists(SettingsPath() + ".~tmp"));
}

// A temporary file that a save killed at the last close left behind is
// removed at the start; one that a writer still holds is left to it.
TEST_F(SettingsFiles, AStaleTemporaryGoesAtStartAndAHeldOneStays)
{
    const String temp = SettingsPath() + ".~tmp";
    const std::string text = SettingsText();
    for (const bool held : {false, true}) {
        DestroyWindows();
        WriteBytes(temp, "[Dowload]\r\nNetIP=half a sav");
        // A writer holds its temporary without sharing it for deletion.
        HANDLE writer = held ? CreateFileW(StrToWide(temp).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
        ASSERT_EQ(writer != INVALID_HANDLE_VALUE, held);
        StartWindows(&text);
        EXPECT_EQ(PathExists(temp), held) << (held ? "held" : "stale");
        EXPECT_EQ(Main->EtServerHost->Text(), "127.0.0.1") << "the settings file is read, not the temporary";
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);
        RemovePath(temp);
    }
}

TEST_F(SettingsFiles, ConfigureIniThatCannotBeWrittenIsReportedAndTheProgramStillCloses)
{
    // A folder in the file's place: every write to it fails.
    RemovePath(SettingsPath());
    ASSERT_TRUE(CreateDirectoryW(StrToWide(SettingsPath()).c_str(), nullptr));
    Main->Close();
    const std::vector<std::string> boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Unable to write to"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("Configure.ini"), std::string::npos) << boxes[0];
    EXPECT_TRUE(Application->Terminated()) << "the program closes all the same";
}

} // namespace brimsel_test

namespace brimsel_test {

// A value far longer than any field can use is not pushed into an edit box
// (the platform's edit control spends minutes on a megabyte): the loader
// takes it as invalid and keeps the default. 4096 bytes still pass.
TEST_F(SettingsFiles, ValuesTooLongForAnyFieldKeepTheDefaults)
{
    const std::string fits(4096, '7');
    const std::string megabyte(1 << 20, '1');
    DestroyWindows();
    const std::string text = "[Dowload]\r\nNetIP=" + megabyte + "\r\nNetPort=" + fits + "\r\nUsart=" + megabyte +
                             "\r\n[SimForm]\r\nNetIP=" + std::string(4097, '2') + "\r\nNetPort=" + megabyte + "\r\n";
    const DWORD start = GetTickCount();
    StartWindows(&text);
    // Minutes when the value reaches the edit box; a bound of one minute
    // leaves room for a loaded machine.
    EXPECT_LT(GetTickCount() - start, 60000u) << "the start took minutes";
    EXPECT_EQ(Main->EtServerHost->Text(), "192.168.1.100");
    EXPECT_EQ(Main->EtServerPort->Text(), fits);
    EXPECT_EQ(Main->ComboBox6->Text(), "Com1");
    EXPECT_EQ(TestWnd->EtServerHost->Text(), "192.168.1.100");
    EXPECT_EQ(TestWnd->EtServerPort->Text(), "5000");
}

} // namespace brimsel_test

// Vantrel's start and end: the settings read at start (defaults without
// Configure.ini, the case rules of each key), the fresh channel tables, the
// settings written at exit, the run folder of the undo snapshots, and the
// program itself closed as a user closes it.
#include "tests/manager/VantrelFixture.h"

#include "tests/support/ProgramRun.h"
#include "tests/support/TempDir.h"

#include "framework/Application.h"
#include "framework/IniFile.h"
#include "framework/Stream.h"
#include "framework/StrUtils.h"
#include "tests/support/ReplaceWatch.h"

namespace vantrel_test {
namespace {

String Ini(const String& Path, const char* Key)
{
    TIniFile ini(Path);
    return ini.ReadString("Vantrel", Key, "<missing>");
}

TEST_F(VantrelTest, StartsWithTheDefaultsWhenConfigureIniIsMissing)
{
    DestroyWindows();
    StartWindows(nullptr);
    EXPECT_EQ(Main->Caption(), "Vantrel");
    EXPECT_EQ(Main->EtServerHost->Text(), "192.168.1.145");
    EXPECT_EQ(Main->EtServerPort->Text(), "6000");
    EXPECT_EQ(Main->CbCom->Text(), "Com1");
    EXPECT_EQ(Main->CbBand->Text(), "38400") << "the default overrides the form's 9600";
    EXPECT_TRUE(Main->RadioButton1->Checked()) << "网口";
    EXPECT_FALSE(Main->RadioButton2->Checked());
    ASSERT_EQ(Main->qComboBox1->Items()->Count(), 256);
    EXPECT_EQ(Main->qComboBox1->Items()->Strings(0), "00");
    EXPECT_EQ(Main->qComboBox1->Items()->Strings(255), "FF");
    EXPECT_EQ(Main->qComboBox1->Text(), "FE");
    EXPECT_EQ(Main->SendIdIndex(), 0xFE);
    // Over TCP the serial controls are off and the address edits on.
    EXPECT_FALSE(Main->CbCom->Enabled());
    EXPECT_FALSE(Main->CbBand->Enabled());
    EXPECT_FALSE(Main->CheckBox1->Enabled());
    EXPECT_TRUE(Main->EtServerHost->Enabled());
    EXPECT_TRUE(Main->EtServerPort->Enabled());
    EXPECT_EQ(Main->ActiveChannel(), 0);
    EXPECT_FALSE(Main->TbSet->Visible());
    EXPECT_FALSE(Main->PnProcess->Visible());
}

TEST_F(VantrelTest, ReadsEachKeyWithItsCaseRule)
{
    struct Case {
        const char* Name;
        std::string Lines;
        const char* Com;
        const char* Band;
        bool Network;
        int SendId;
    };
    const Case cases[] = {
        {"as written", "IP=127.0.0.2\r\nPort=47001\r\nCom=Com3\r\nBand=9600\r\nComSel=True\r\nID=1A\r\n", "Com3", "9600",
         true, 0x1A},
        {"port and baud ignore case", "Com=COM5\r\nBand=115200\r\nComSel=False\r\n", "Com5", "115200", false, 0xFE},
        {"ComSel true in lower case is serial", "ComSel=true\r\n", "Com1", "38400", false, 0xFE},
        {"unknown port and baud select nothing", "Com=COM12\r\nBand=300\r\n", "", "", true, 0xFE},
        {"ID is case-sensitive", "ID=fe\r\n", "Com1", "38400", true, -1},
    };
    for (const Case& c : cases) {
        DestroyWindows();
        const std::string text = "[Vantrel]\r\n" + c.Lines;
        StartWindows(&text);
        EXPECT_EQ(Main->CbCom->Text(), c.Com) << c.Name;
        EXPECT_EQ(Main->CbBand->Text(), c.Band) << c.Name;
        EXPECT_EQ(Main->RadioButton1->Checked(), c.Network) << c.Name;
        EXPECT_EQ(Main->RadioButton2->Checked(), !c.Network) << c.Name;
        EXPECT_EQ(Main->SendIdIndex(), c.SendId) << c.Name;
        EXPECT_EQ(Main->CbCom->Enabled(), !c.Network) << c.Name;
        EXPECT_EQ(Main->EtServerHost->Enabled(), c.Network) << c.Name;
    }
    EXPECT_EQ(Main->qComboBox1->Text(), "") << "no send ID selected";
}

// A value too long to be a setting is taken as damaged and gives the
// default, so the window starts as without it; 4096 bytes still pass.
TEST_F(VantrelTest, ValuesTooLongForASettingGiveTheDefaults)
{
    DestroyWindows();
    const std::string fits(4096, '7');
    const std::string text = "[Vantrel]\r\nIP=" + std::string(1 << 20, '1') + "\r\nPort=" + fits +
                             "\r\nCom=" + std::string(4097, 'C') + "\r\nComSel=" + std::string(65536, 'T') + "\r\n";
    StartWindows(&text);
    EXPECT_EQ(Main->EtServerHost->Text(), "192.168.1.145");
    EXPECT_EQ(Main->EtServerPort->Text(), fits);
    EXPECT_EQ(Main->CbCom->Text(), "Com1");
    EXPECT_TRUE(Main->RadioButton1->Checked()) << "the default ComSel, True";
}

TEST_F(VantrelTest, FreshTablesShowTheSlotNumbersUnchecked)
{
    for (int channel = 0; channel < vantrel::ChannelCount; ++channel) {
        TProStringGrid* grid = Main->ChannelGrid(channel);
        ASSERT_EQ(grid->ColCount(), 10);
        ASSERT_EQ(grid->RowCount(), 20);
        for (int slot = 0; slot < 100; ++slot) {
            const int col = (slot / 20) * 2;
            const int row = slot % 20;
            const String number = (slot < 10 ? "0" : "") + IntToStr(slot);
            EXPECT_EQ(grid->ReadCellText(col, row), number) << "channel " << channel << " slot " << slot;
            EXPECT_FALSE(SlotChecked(channel, slot)) << "channel " << channel << " slot " << slot;
            EXPECT_EQ(grid->ReadCellText(col + 1, row), "") << "name of slot " << slot;
        }
    }
    EXPECT_EQ(Main->ChannelGrid(7), Main->ChannelGrid(12)) << "any other channel is the eighth table";
    const int widths[10] = {33, 120, 33, 120, 33, 120, 33, 120, 33, 119};
    for (int col = 0; col < 10; ++col)
        EXPECT_EQ(Main->RedMem[0]->ColWidths(col), widths[col]) << "column " << col;
}

TEST_F(VantrelTest, WritesTheSettingsAtExit)
{
    Main->EtServerHost->SetText("127.0.0.9");
    Main->EtServerPort->SetText("47002");
    Main->CbCom->SetText("COM12");   // typed: not in the list
    Main->CbBand->SetItemIndex(Main->CbBand->Items()->IndexOf("4800"));
    Main->qComboBox1->SetItemIndex(0x2B);
    Main->RadioButton2->SetChecked(true);
    DestroyWindows();
    const String path = SettingsPath();
    EXPECT_EQ(Ini(path, "IP"), "127.0.0.9");
    EXPECT_EQ(Ini(path, "Port"), "47002");
    EXPECT_EQ(Ini(path, "Com"), "COM12");
    EXPECT_EQ(Ini(path, "Band"), "4800");
    EXPECT_EQ(Ini(path, "ID"), "2B");
    EXPECT_EQ(Ini(path, "ComSel"), "False");
    // The order of the keys as written.
    const std::string text = ReadBytes(path);
    EXPECT_LT(text.find("IP="), text.find("ID="));
    // The typed port is not found at the next start.
    StartWindows(&text);
    EXPECT_EQ(Main->CbCom->Text(), "");
    EXPECT_TRUE(Main->RadioButton2->Checked());
}

// The end writes its keys in one replace of the file, as a watcher of the
// folder sees it; a temporary file that a save killed at the last end left
// behind is gone after the start.
TEST_F(VantrelTest, SettingsGoInOneReplaceAtTheEndAndAStaleTemporaryAtTheStart)
{
    DestroyWindows();
    const String temp = SettingsPath() + ".~tmp";
    WriteBytes(temp, "[Vantrel]\r\nIP=half a sav");
    const std::string text = SettingsText();
    StartWindows(&text);
    EXPECT_FALSE(FileExists(temp));
    RemovePath(temp);

    Main->EtServerPort->SetText("47003");
    Main->qComboBox1->SetItemIndex(0x2C);
    ReplaceWatch watch(SettingsPath());
    ASSERT_TRUE(watch.Watching()) << watch.Error();
    DestroyWindows();
    EXPECT_EQ(watch.Replacements(), 1) << watch.Error();
    EXPECT_EQ(Ini(SettingsPath(), "Port"), "47003");
    EXPECT_EQ(Ini(SettingsPath(), "ID"), "2C");
}

TEST_F(VantrelTest, SettingsThatCannotBeWrittenDoNotStopTheEnd)
{
    // A folder where the settings file should be: it reads as empty and
    // takes no writes.
    DestroyWindows();
    const String path = SettingsPath();
    RemovePath(path);
    ASSERT_TRUE(CreateDirectoryW(StrToWide(path).c_str(), nullptr));
    Application->CreateForm(Main);
    Main->Show();
    gui::Settle();
    EXPECT_EQ(Main->EtServerPort->Text(), "6000") << "defaults";
    const String runFolder = Main->RunFolder().Path();
    DestroyWindows();
    EXPECT_EQ(Main, nullptr);
    EXPECT_EQ(TakeBoxes().size(), 1u) << "the failure is reported once";
    EXPECT_FALSE(vantrel::DirectoryExists(runFolder)) << "the end went on: run folder removed";
    RemovePath(path);
}

TEST_F(VantrelTest, RunFolderIsTheFirstFreeNumberAndOnlyItIsRemoved)
{
    DestroyWindows();
    const String base = Application->ExePath();
    // Folders of other runs (or of the user) beside the program.
    std::vector<String> others;
    for (int n = 0; n < 2; ++n) {
        const String folder = base + IntToStr(n);
        if (!vantrel::DirectoryExists(folder)) {
            ASSERT_TRUE(CreateDirectoryW(StrToWide(folder).c_str(), nullptr));
            others.push_back(folder);
        }
    }
    WriteBytes(base + "1\\keep.txt", "user file");
    const std::string text = SettingsText();
    StartWindows(&text);
    const vantrel::TRunFolder& run = Main->RunFolder();
    EXPECT_GE(run.Number(), 2);
    EXPECT_EQ(run.Path(), base + IntToStr(run.Number()) + "\\");
    EXPECT_TRUE(run.Created());
    EXPECT_TRUE(vantrel::DirectoryExists(run.Path()));
    const String path = run.Path();
    WriteBytes(path + "0.bak", "snapshot");
    DestroyWindows();
    EXPECT_FALSE(vantrel::DirectoryExists(path)) << "this run's folder is removed with its files";
    EXPECT_TRUE(vantrel::DirectoryExists(base + "0"));
    EXPECT_EQ(ReadBytes(base + "1\\keep.txt"), "user file");
    for (const String& folder : others)
        RemovePath(folder);
    RemovePath(base + "1\\keep.txt");
    RemovePath(base + "1");
}

TEST(RunFolder, FallsBackToTheTemporaryFolderWhenTheProgramsFolderTakesNone)
{
    // A base that cannot take a folder (its parent does not exist), as a
    // program in a read-only folder has.
    vantrel::TRunFolder run;
    run.Choose("Z:\\no-such-folder-for-vantrel\\deeper\\");
    ASSERT_TRUE(run.Ensure());
    EXPECT_TRUE(run.Created());
    EXPECT_FALSE(run.Unavailable());
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const String tempPath = WideToStr(temp);
    EXPECT_EQ(run.Path().substr(0, tempPath.size()), tempPath) << gui::Utf8(run.Path());
    EXPECT_TRUE(vantrel::DirectoryExists(run.Path()));
    const String path = run.Path();
    run.Remove();
    EXPECT_FALSE(vantrel::DirectoryExists(path));
    // A folder this run did not create is left alone.
    run.Remove();
    EXPECT_TRUE(vantrel::DirectoryExists(tempPath));
}

TEST(RunFolder, AFileBearingTheFirstNumberIsPassedOver)
{
    // A file (not a folder) named "0" in the program's folder: the run
    // folder is the next number there, not the temporary folder's.
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const String base = WideToStr(temp) + "vantrel-run-number-test\\";
    RemovePath(base);
    ASSERT_TRUE(CreateDirectoryW(StrToWide(base).c_str(), nullptr));
    WriteBytes(base + "0", "not a folder");
    vantrel::TRunFolder run;
    run.Choose(base);
    ASSERT_TRUE(run.Ensure());
    EXPECT_EQ(gui::Utf8(run.Path()), gui::Utf8(base + "1\\"));
    EXPECT_EQ(run.Number(), 1);
    run.Remove();
    EXPECT_EQ(ReadBytes(base + "0"), "not a folder") << "the file is left alone";
    RemovePath(base);
}

// Closing the program as a user does ends its process at once, with exit
// code 0 and without Wine's crash dialog: ten starts closed by the close
// button, two ended with taskkill. The program itself (Vantrel.exe, copied
// into a folder of its own with a Configure.ini that points at the device on
// loopback) runs; the time of each end is printed.
TEST_F(VantrelTest, ClosingTheProgramEndsItCleanly)
{
    testfs::TempDir folder("vantrel-close");
    const String dir = testfs::PathStr(folder.Path()) + "\\";
    ASSERT_TRUE(programrun::CopyProgram(dir, {"Vantrel.exe"}));
    WriteBytes(dir + "Configure.ini", SettingsText("False"));
    for (const programrun::ProgramEnd& end : programrun::CloseRounds(dir, "Vantrel.exe", L"Vantrel", 10, 2))
        EXPECT_TRUE(end.Clean()) << end.Describe();
}

} // namespace
} // namespace vantrel_test

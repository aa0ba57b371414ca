// Projects: the code file and name file a save writes, what an open takes
// from them (from the file dialogs and the command line), round trips of
// whole channels, and the projects that cannot be opened or saved leaving
// the channel and the old files as they were.
#include "tests/manager/VantrelFixture.h"

#include <regex>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/StrUtils.h"
#include "manager/ProjectXml.h"

namespace vantrel_test {
namespace {

using vantrel::SlotCount;
using vantrel::TChannelImage;

// Sources are compiled to code page 936: "通道" and "电视" are its bytes.
const String Tongdao = "通道";
const String Dianshi = "电视";

class ProjectTest : public VantrelTest {
protected:
    void SetUp() override
    {
        VantrelTest::SetUp();
        Folder = Application->ExePath() + "projects";
        RemovePath(Folder);
        CreateDirectoryW(StrToWide(Folder).c_str(), nullptr);
        Folder += "\\";
    }
    void TearDown() override
    {
        RemovePath(Folder.substr(0, Folder.size() - 1));
        VantrelTest::TearDown();
    }

    void Put(int Channel, int Slot, const String& Code, const String& Name)
    {
        Main->SetCode(Channel, Slot, Code);
        Main->SetSlotName(Channel, Slot, Name);
        Main->ShowSlotState(Main->ChannelGrid(Channel), Slot, !Code.empty());
    }

    // The name file as code page 936 text (it is UTF-16 with a byte-order mark).
    std::string NameFileText(const String& Path)
    {
        const std::string bytes = ReadBytes(Path);
        if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xFE)
            return "(not UTF-16: " + bytes.substr(0, 40) + ")";
        const std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
        return WideToStr(wide);
    }

    // Every record, name, check box and number colour of a channel.
    void ExpectChannel(int Channel, const TChannelImage& Image, const char* Case)
    {
        for (int s = 0; s < SlotCount; ++s) {
            const auto i = static_cast<std::size_t>(s);
            ASSERT_EQ(HexOf(Main->Code(Channel, s)), HexOf(Image.Codes[i])) << Case << ": record of slot " << s;
            ASSERT_EQ(gui::Utf8(Main->SlotName(Channel, s)), gui::Utf8(Image.Names[i])) << Case << ": name of slot " << s;
            ASSERT_EQ(SlotChecked(Channel, s), !Image.Codes[i].empty()) << Case << ": check box of slot " << s;
            // Red when stored; an empty slot's number keeps the black it had
            // (the table's default text colour when it was never stored).
            ASSERT_EQ(SlotColor(Channel, s) == 255, !Image.Codes[i].empty()) << Case << ": colour of slot " << s;
        }
    }

    String Folder;
};

TEST_F(ProjectTest, SaveWritesTheCodeFileAndTheTrimmedNames)
{
    Put(0, 0, Record(6, 1), "");
    Put(0, 42, Record(4, 2), Tongdao);
    Put(0, 3, "", "  A  ");
    Put(0, 4, "", "   ");
    ASSERT_TRUE(Main->SaveRedMemXml(Folder + "b.ir", 0));

    EXPECT_EQ(HexOf(ReadBytes(Folder + "b.ir")), "080000000A002A001000" + HexOf(Record(6, 1)) + HexOf(Record(4, 2)));
    const std::string xml = NameFileText(Folder + "b.pir");
    EXPECT_NE(xml.find("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"), std::string::npos) << xml;
    EXPECT_TRUE(std::regex_search(
        xml, std::regex("<Project name=\"b\\.pir\" complierVersion=\"Vantrel V1\\.0\" "
                        "buildDate=\"20[0-9]{2}-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]\">")))
        << xml;
    EXPECT_TRUE(std::regex_search(xml, std::regex("<IrPort>\\s*<Name3>A</Name3>\\s*<Name42>通道</Name42>\\s*</IrPort>")))
        << xml;
    EXPECT_EQ(ReadBytes(Folder + "b.ir.tmp"), "") << "no temporary is left";
    EXPECT_EQ(ReadBytes(Folder + "b.pir.tmp"), "") << "no temporary is left";
}

TEST_F(ProjectTest, AnEmptyChannelSavesTwoBytesAndAnEmptyPort)
{
    ASSERT_TRUE(Main->SaveRedMemXml(Folder + "e.pir", 0));
    EXPECT_EQ(HexOf(ReadBytes(Folder + "e.ir")), "0000");
    const std::string xml = NameFileText(Folder + "e.pir");
    EXPECT_TRUE(std::regex_search(xml, std::regex("<IrPort\\s*/>|<IrPort>\\s*</IrPort>"))) << xml;
    EXPECT_EQ(xml.find("<Name"), std::string::npos) << xml;
}

TEST_F(ProjectTest, OpenTakesTheNamesByTheirDigitsAndLeavesTheNameFileAlone)
{
    const String pir = Folder + "n.pir";
    // A name file as another tool might write it: UTF-8, extra elements.
    WriteBytes(pir, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Project name=\"n.pir\"><IrPort>"
                    "<Name7>seven</Name7><Name123>" + StrToUtf8(Dianshi) + "</Name123><Comment>skip</Comment>"
                    "<Namex1>skip</Namex1><Name>skip</Name></IrPort></Project>");
    WriteBytes(Folder + "n.ir", Hex("0800" "05000A00" "07000D00") + Record(3, 5) + Record(2, 7));
    const std::string before = ReadBytes(pir);
    SetFileAttributesW(StrToWide(pir).c_str(), FILE_ATTRIBUTE_READONLY);
    Put(2, 50, Record(9, 50), "old");

    ASSERT_TRUE(Main->LoadRedMemXml(pir, 2));
    TChannelImage expected;
    expected.Codes[5] = Record(3, 5);
    expected.Codes[7] = Record(2, 7);
    expected.Names[7] = "seven";
    expected.Names[12] = Dianshi;
    ExpectChannel(2, expected, "opened");
    EXPECT_EQ(ReadBytes(pir), before) << "the name file is not rewritten";
    EXPECT_FALSE(Main->LoadRedMemXml(pir, 8)) << "no channel 8";
    SetFileAttributesW(StrToWide(pir).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ProjectTest, ChannelsComeBackIntact)
{
    // A full channel (past 65535 bytes), Chinese names, the shortest records.
    TChannelImage full;
    for (int s = 0; s < SlotCount; ++s) {
        const auto i = static_cast<std::size_t>(s);
        full.Codes[i] = Record(s % 7 == 0 ? 2 : 2048 - s, s);
        full.Names[i] = s % 3 == 0 ? String() : Tongdao + IntToStr(s) + Dianshi;
        Put(1, s, full.Codes[i], full.Names[i]);
    }
    ASSERT_TRUE(Main->SaveRedMemXml(Folder + "full.ir", 1));
    EXPECT_GT(ReadBytes(Folder + "full.ir").size(), 65536u * 2) << "offsets wrap twice";
    ASSERT_TRUE(Main->LoadRedMemXml(Folder + "full.pir", 3));
    ExpectChannel(3, full, "full channel");

    // Saving over a project replaces it.
    TChannelImage sparse;
    sparse.Codes[99] = Record(40, 99);
    sparse.Names[0] = "zero";
    for (int s = 0; s < SlotCount; ++s)
        Put(1, s, sparse.Codes[static_cast<std::size_t>(s)], sparse.Names[static_cast<std::size_t>(s)]);
    ASSERT_TRUE(Main->SaveRedMemXml(Folder + "full.ir", 1));
    ASSERT_TRUE(Main->LoadRedMemXml(Folder + "full.pir", 3));
    ExpectChannel(3, sparse, "saved over");
}

TEST_F(ProjectTest, AProjectThatCannotBeOpenedLeavesTheChannel)
{
    vantrel::TSlotRecords full;
    for (int s = 0; s < SlotCount; ++s)
        full[static_cast<std::size_t>(s)] = Record(2048, s);
    const std::string FullCode = vantrel::EncodeCodeFile(full);
    Put(0, 1, Record(10, 1), "kept");
    Put(0, 2, "", Tongdao);
    TChannelImage image = Main->ChannelImage(0);
    Put(4, 4, Record(20, 4), "four");
    ASSERT_TRUE(Main->SaveRedMemXml(Folder + "good.pir", 4));
    const std::string goodCode = ReadBytes(Folder + "good.ir");
    const std::string goodNames = ReadBytes(Folder + "good.pir");

    const struct {
        const char* Case;
        std::string Code;   // "-": no code file
        std::string Names;  // "-": no name file
    } cases[] = {
        {"missing code file", "-", goodNames},
        {"missing name file", goodCode, "-"},
        {"broken XML", goodCode, "<?xml version=\"1.0\"?><Project><IrPort><Name1>x</IrPort>"},
        {"record length 1", Hex("0400" "01000600" "0100"), goodNames},
        {"record past the end", Hex("0400" "01000600" "0900" "0102"), goodNames},
        {"table past the end", Hex("0800" "01000600"), goodNames},
        {"offset 0 (the head as slot 0)", Hex("0400" "00000000" "0600AABBCCDD"), goodNames},
        {"table length 5", Hex("0500" "01000700" "00" "0400AABB"), goodNames},
        {"a byte after the last record", goodCode + std::string(1, '\0'), goodNames},
        {"a full channel cut after its 33rd record, past 64 KiB", FullCode.substr(0, 2 + 400 + 33 * 2048), goodNames},
    };
    for (const auto& c : cases) {
        RemovePath(Folder + "bad.ir");
        RemovePath(Folder + "bad.pir");
        if (c.Code != "-")
            WriteBytes(Folder + "bad.ir", c.Code);
        if (c.Names != "-")
            WriteBytes(Folder + "bad.pir", c.Names);
        bool raised = false;
        try {
            Main->LoadRedMemXml(Folder + "bad.pir", 0);
        } catch (const Exception& e) {
            raised = !e.Message.empty();
        }
        EXPECT_TRUE(raised) << c.Case;
        ExpectChannel(0, image, c.Case);
    }

    // From the open button, the error goes to the error dialog.
    gui::FileDialogAnswers dialogs([&](TOpenDialog* Dialog, bool Save) {
        Dialog->FileName = Folder + "bad.pir";
        return !Save;
    });
    TakeBoxes();
    GuardCallback([&] { Main->TbOpen->Click(); });
    EXPECT_EQ(TakeBoxes().size(), 1u) << "the error is shown";
    ExpectChannel(0, image, "open button");
}

TEST_F(ProjectTest, ASaveThatFailsKeepsTheOldProject)
{
    Put(0, 10, Record(12, 10), "old");
    ASSERT_TRUE(Main->SaveRedMemXml(Folder + "p.pir", 0));
    const std::string oldCode = ReadBytes(Folder + "p.ir");
    const std::string oldNames = ReadBytes(Folder + "p.pir");

    Put(0, 10, Record(30, 11), "new");
    // The name file's temporary cannot be made: a folder holds its name.
    CreateDirectoryW(StrToWide(Folder + "p.pir.tmp").c_str(), nullptr);
    EXPECT_THROW(Main->SaveRedMemXml(Folder + "p.pir", 0), Exception);
    EXPECT_EQ(ReadBytes(Folder + "p.ir"), oldCode);
    EXPECT_EQ(ReadBytes(Folder + "p.pir"), oldNames);
    EXPECT_EQ(ReadBytes(Folder + "p.ir.tmp"), "") << "the code file's temporary is removed";
    RemovePath(Folder + "p.pir.tmp");

    // A name file that another program holds open cannot be replaced: the
    // code file is not replaced either.
    {
        HANDLE held = CreateFileW(StrToWide(Folder + "p.pir").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_THROW(Main->SaveRedMemXml(Folder + "p.pir", 0), Exception);
        CloseHandle(held);
    }
    EXPECT_EQ(ReadBytes(Folder + "p.ir"), oldCode);
    EXPECT_EQ(ReadBytes(Folder + "p.pir"), oldNames);
    EXPECT_EQ(ReadBytes(Folder + "p.ir.old"), "") << "the set-aside code file is back in its place";
    EXPECT_EQ(ReadBytes(Folder + "p.pir.tmp"), "");

    // A read-only old name file is not replaced, nor is the code file.
    SetFileAttributesW(StrToWide(Folder + "p.pir").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(Main->SaveRedMemXml(Folder + "p.pir", 0), Exception);
    EXPECT_EQ(ReadBytes(Folder + "p.ir"), oldCode);
    EXPECT_EQ(ReadBytes(Folder + "p.pir"), oldNames);
    SetFileAttributesW(StrToWide(Folder + "p.pir").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ProjectTest, ACodeThatWouldNotOpenAgainStopsTheSave)
{
    Put(0, 10, Record(12, 10), "old");
    ASSERT_TRUE(Main->SaveRedMemXml(Folder + "q.pir", 0));
    const std::string oldCode = ReadBytes(Folder + "q.ir");
    const std::string oldNames = ReadBytes(Folder + "q.pir");

    // A one-byte code (a device block beginning 01 00) and one holding more
    // bytes than its length says.
    Put(0, 7, "\x01", "one");
    Put(0, 12, Record(6, 12) + Record(6, 13), "twice");
    std::string message;
    try {
        Main->SaveRedMemXml(Folder + "q.pir", 0);
    } catch (const Exception& e) {
        message = e.Message;
    }
    EXPECT_NE(message.find("07, 12"), std::string::npos) << "the message names the slots: " << message;
    EXPECT_EQ(ReadBytes(Folder + "q.ir"), oldCode) << "the old project stays";
    EXPECT_EQ(ReadBytes(Folder + "q.pir"), oldNames) << "the old project stays";
    EXPECT_EQ(ReadBytes(Folder + "q.ir.tmp"), "");
    EXPECT_EQ(ReadBytes(Folder + "q.pir.tmp"), "");

    // From the save button the refusal goes to the error dialog.
    gui::FileDialogAnswers dialogs([&](TOpenDialog* Dialog, bool) {
        Dialog->FileName = Folder + "q.pir";
        return true;
    });
    TakeBoxes();
    GuardCallback([&] { Main->TbSave->Click(); });
    EXPECT_EQ(TakeBoxes().size(), 1u) << "the refusal is shown";
    EXPECT_EQ(ReadBytes(Folder + "q.ir"), oldCode);

    // With those slots emptied the channel saves and opens again as it is.
    Put(0, 7, "", "one");
    Put(0, 12, "", "twice");
    const TChannelImage saved = Main->ChannelImage(0);
    ASSERT_TRUE(Main->SaveRedMemXml(Folder + "q.pir", 0));
    ASSERT_TRUE(Main->LoadRedMemXml(Folder + "q.pir", 1));
    ExpectChannel(1, saved, "saved after the slots were emptied");
}

TEST_F(ProjectTest, TheFileDialogsSaveAndOpenTheActiveChannel)
{
    Main->RedMems->SetActivePageIndex(5);
    int saves = 0, opens = 0;
    Put(5, 33, Record(50, 33), Dianshi);
    gui::FileDialogAnswers dialogs([&](TOpenDialog* Dialog, bool Save) {
        EXPECT_EQ(Dialog->Filter, "*.pir|*.pir");
        Dialog->FileName = Folder + "d.pir";
        ++(Save ? saves : opens);
        return true;
    });
    Main->TbSave->Click();
    EXPECT_EQ(Main->SaveDialog1->FileName, Folder + "d.ir") << "the dialog keeps the code file's name";
    EXPECT_FALSE(ReadBytes(Folder + "d.ir").empty());
    EXPECT_FALSE(ReadBytes(Folder + "d.pir").empty());

    const TChannelImage saved = Main->ChannelImage(5);
    Put(5, 33, "", "");
    Main->RedMems->SetActivePageIndex(6);
    Main->BnOpen->Click();
    ExpectChannel(6, saved, "opened into the active channel");
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(opens, 1);
}

TEST_F(ProjectTest, AUsersChannelComesBackAfterARestart)
{
    // Read a channel from the device.
    UseTcp();
    Store(0, 3, Record(40, 3));
    Store(0, 25, Record(300, 25));
    Main->RedMems->SetActivePageIndex(0);
    Main->BnRead->Click();
    ASSERT_EQ(Status(), "读取完成！");

    // Rename slot 3 and edit slot 25's first feature value.
    {
        gui::ModalScript script([&](TCustomForm* Form) {
            auto* dialog = dynamic_cast<vantrel::TFmEditName*>(Form);
            ASSERT_NE(dialog, nullptr);
            dialog->Edit1->SetText("  " + Dianshi + " ");
            Form->SetModalResult(mrOk);
        });
        Main->RedMem1DblClickCell(Main->ChannelGrid(0), 3, 1);
        ASSERT_EQ(script.Shown, 1);
    }
    SelectCell(3, 5);
    {
        gui::ModalScript script([&](TCustomForm* Form) {
            auto* editor = dynamic_cast<vantrel::TForm1*>(Form);
            ASSERT_NE(editor, nullptr);
            editor->ProStringGrid1->WriteCellText(0, 0, "4660");
            gui::Click(editor->Button2);
        });
        GuardCallback([&] { Main->N1->Click(); });
        ASSERT_EQ(script.Shown, 1);
    }
    String edited = Record(300, 25);
    edited[3] = 0x34;
    edited[4] = 0x12;
    ASSERT_EQ(HexOf(Main->Code(0, 25)), HexOf(edited));

    // Copy slots 3 to 5 and 23 to 25 into the third channel; undo, redo.
    Main->ChannelGrid(0)->SelectCellRange(0, 3, 3, 5);
    Main->TbCopy->Click();
    Main->RedMems->SetActivePageIndex(2);
    Main->ChannelGrid(2)->SelectCellRange(4, 4, 10, 10);
    Main->TbPaste->Click();
    TChannelImage expected;
    expected.Codes[50] = Record(40, 3);
    expected.Names[50] = Dianshi;
    expected.Codes[72] = edited;
    ExpectChannel(2, expected, "pasted");
    Main->TbUnDo->Click();
    ExpectChannel(2, TChannelImage{}, "undone");
    Main->TbReDo->Click();
    ExpectChannel(2, expected, "redone");

    // Save from the dialog, close, start again and open from the dialog.
    gui::FileDialogAnswers dialogs([&](TOpenDialog* Dialog, bool) {
        Dialog->FileName = Folder + "user.pir";
        return true;
    });
    Main->TbSave->Click();
    DestroyWindows();
    const std::string settings = SettingsText();
    StartWindows(&settings);
    Main->RedMems->SetActivePageIndex(2);
    Main->TbOpen->Click();
    ExpectChannel(2, expected, "opened from the dialog after a restart");

    // And from the command line, into the first channel.
    DestroyWindows();
    StartWindows(&settings);
    vantrel::OpenStartupProject(L"Vantrel.exe \"" + StrToWide(Folder + "user.pir") + L"\"");
    ExpectChannel(0, expected, "opened from the command line after a restart");
}

TEST_F(ProjectTest, TheCommandLineOpensAProjectIntoTheFirstChannel)
{
    Put(3, 3, Record(7, 3), "three");
    ASSERT_TRUE(Main->SaveRedMemXml(Folder + "cmd.pir", 3));
    const TChannelImage saved = Main->ChannelImage(3);
    CopyFileW(StrToWide(Folder + "cmd.pir").c_str(), StrToWide(Folder + "UP.PIR").c_str(), FALSE);
    CopyFileW(StrToWide(Folder + "cmd.ir").c_str(), StrToWide(Folder + "UP.ir").c_str(), FALSE);
    CopyFileW(StrToWide(Folder + "cmd.pir").c_str(), StrToWide(Folder + "other.xml").c_str(), FALSE);
    const TChannelImage empty;

    const struct {
        const char* Case;
        String Argument;
        bool Opens;
    } cases[] = {
        {"another extension", Folder + "other.xml", false},
        {"a missing file", Folder + "none.pir", false},
        {"a folder", Folder.substr(0, Folder.size() - 1), false},
        {"upper case extension", Folder + "UP.PIR", true},
    };
    for (const auto& c : cases) {
        vantrel::OpenStartupProject(L"Vantrel.exe \"" + StrToWide(c.Argument) + L"\"");
        ExpectChannel(0, c.Opens ? saved : empty, c.Case);
    }

    // A damaged project is reported and the program goes on.
    WriteBytes(Folder + "UP.ir", "\x01");
    TakeBoxes();
    vantrel::OpenStartupProject(L"Vantrel.exe \"" + StrToWide(Folder + "UP.PIR") + L"\"");
    EXPECT_EQ(TakeBoxes().size(), 1u) << "the error is shown";
    ExpectChannel(0, saved, "damaged project");
}

} // namespace
} // namespace vantrel_test

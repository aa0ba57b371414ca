// The slot clipboard and the undo snapshots: copy, cut, paste and delete of
// whole slots, across channels; the ".bak" files of the run folder; undo and
// redo within the ten states a channel keeps, never past the oldest one and
// never into undone states after a new change; a run folder deleted by hand;
// names cut to what a snapshot keeps.
#include "tests/manager/VantrelFixture.h"

#include "framework/Codepage.h"
#include "framework/StrUtils.h"

namespace vantrel_test {
namespace {

using vantrel::SlotCount;
using vantrel::TChannelImage;

const String Tongdao = "通道";

class SlotClipboardTest : public VantrelTest {
protected:
    void Put(int Channel, int Slot, const String& Code, const String& Name)
    {
        Main->SetCode(Channel, Slot, Code);
        Main->SetSlotName(Channel, Slot, Name);
        Main->ShowSlotState(Main->ChannelGrid(Channel), Slot, !Code.empty());
    }
    void Select(int Channel, int Left, int Right, int Top, int Bottom)
    {
        Main->RedMems->SetActivePageIndex(Channel);
        Main->ChannelGrid(Channel)->SelectCellRange(Left, Right, Top, Bottom);
    }
    // A change as the user makes one: a name typed into slot 0, then a snapshot.
    void Change(int Channel, const String& Name)
    {
        Main->SetSlotName(Channel, 0, Name);
        Main->TakeSnapshot(Channel);
    }
    String Name0(int Channel) { return Main->SlotName(Channel, 0); }
    void Key(Word Key, TShiftState Shift)
    {
        Main->RedMem1KeyDown(Main->ChannelGrid(Main->RedMems->ActivePageIndex()), Key, Shift);
    }
};

TEST_F(SlotClipboardTest, CopyAndPasteWholeSlotsDroppingWhatFallsOutside)
{
    for (int s : {3, 4, 23, 24})
        Put(0, s, Record(10 + static_cast<std::size_t>(s), s), "n" + IntToStr(s));
    Put(0, 77, Record(5, 77), "keep");
    Select(0, 1, 2, 3, 4);
    Main->TbCopy->Click();
    EXPECT_EQ(Main->ClipWidth(), 2);
    EXPECT_EQ(Main->ClipHeight(), 2);

    Select(0, 8, 8, 17, 17);   // the number cell of slot 97
    Main->TbPaste->Click();
    EXPECT_EQ(HexOf(Main->Code(0, 97)), HexOf(Record(13, 3)));
    EXPECT_EQ(HexOf(Main->Code(0, 98)), HexOf(Record(14, 4)));
    EXPECT_EQ(Main->SlotName(0, 97), "n3");
    EXPECT_EQ(Main->SlotName(0, 98), "n4");
    EXPECT_TRUE(SlotChecked(0, 97));
    EXPECT_EQ(SlotColor(0, 98), 255);
    EXPECT_EQ(Main->Code(0, 99), "") << "only the copied height is pasted";
    EXPECT_EQ(Main->SlotName(0, 77), "keep");
    const TGridRect r = Main->ChannelGrid(0)->SelectionRect();
    EXPECT_EQ((std::vector<int>{r.Left, r.Right, r.Top, r.Bottom}), (std::vector<int>{8, 9, 17, 18}));

    // Pasted at the bottom of a column: the rows below row 19 are dropped.
    Select(0, 0, 0, 19, 19);
    Key('V', ssCtrl);
    EXPECT_EQ(HexOf(Main->Code(0, 19)), HexOf(Record(13, 3)));
    EXPECT_EQ(HexOf(Main->Code(0, 39)), HexOf(Record(33, 23)));
    EXPECT_EQ(Main->Code(0, 20), "") << "no row wraps into the next column";
}

TEST_F(SlotClipboardTest, CopyingAcrossChannelsTouchesOnlyTheTargetsHistory)
{
    Put(1, 5, Record(20, 5), Tongdao);
    Put(1, 6, "", "named only");
    Put(3, 6, Record(8, 9), "replaced");
    Main->TakeSnapshot(3);
    Select(1, 1, 1, 5, 6);   // the name cells of slots 5 and 6
    Key('C', ssCtrl);
    const int sourceIndex = Main->UndoHistory().CurrentIndex(1);
    const int targetIndex = Main->UndoHistory().CurrentIndex(3);

    Select(3, 0, 0, 5, 5);
    Main->nbPaste->Click();
    EXPECT_EQ(HexOf(Main->Code(3, 5)), HexOf(Record(20, 5)));
    EXPECT_EQ(Main->SlotName(3, 5), Tongdao);
    EXPECT_EQ(Main->Code(3, 6), "") << "an empty slot is pasted empty";
    EXPECT_FALSE(SlotChecked(3, 6));
    EXPECT_EQ(Main->SlotName(3, 6), "named only");
    EXPECT_EQ(Main->UndoHistory().CurrentIndex(1), sourceIndex);
    EXPECT_EQ(Main->UndoHistory().CurrentIndex(3), (targetIndex + 1) % 10);

    Main->TbUnDo->Click();
    EXPECT_EQ(HexOf(Main->Code(3, 6)), HexOf(Record(8, 9))) << "undo brings the replaced slot back";
    EXPECT_EQ(Main->SlotName(3, 6), "replaced");
    EXPECT_EQ(Main->Code(3, 5), "");
    EXPECT_EQ(HexOf(Main->Code(1, 5)), HexOf(Record(20, 5))) << "the source is untouched";
}

TEST_F(SlotClipboardTest, CutAndDeleteEmptyTheSelectedSlots)
{
    for (int s : {0, 1, 20, 21, 40})
        Put(2, s, Record(6, s), "s" + IntToStr(s));
    Select(2, 1, 2, 0, 1);
    Main->NCut->Click();
    for (int s : {0, 1, 20, 21}) {
        EXPECT_EQ(Main->Code(2, s), "") << s;
        EXPECT_EQ(Main->SlotName(2, s), "") << s;
        EXPECT_FALSE(SlotChecked(2, s)) << s;
        EXPECT_EQ(SlotColor(2, s), 0) << s;
    }
    EXPECT_EQ(Main->SlotName(2, 40), "s40");
    Select(2, 4, 4, 0, 0);
    Key(VK_DELETE, 0);
    EXPECT_EQ(Main->Code(2, 40), "");
    EXPECT_EQ(Main->SlotName(2, 40), "");

    // The cut slots paste back elsewhere.
    Select(2, 6, 6, 10, 10);
    Main->TbPaste->Click();
    EXPECT_EQ(HexOf(Main->Code(2, 70)), HexOf(Record(6, 0)));
    EXPECT_EQ(Main->SlotName(2, 91), "s21");
}

TEST_F(SlotClipboardTest, AClipboardNeverFilledPastesNothingSilently)
{
    Put(0, 0, Record(8, 1), "zero");
    Select(0, 0, 0, 0, 0);
    const String status = Status();
    Main->TbPaste->Click();
    EXPECT_EQ(Status(), status);
    EXPECT_EQ(HexOf(Main->Code(0, 0)), HexOf(Record(8, 1)));
    EXPECT_EQ(Main->SlotName(0, 0), "zero");
}

TEST_F(SlotClipboardTest, SnapshotFilesAreNamedAndLaidOutAsTheChannel)
{
    const String folder = Main->RunFolder().Path();
    for (int c = 0; c < 8; ++c)
        EXPECT_FALSE(ReadBytes(folder + vantrel::SnapshotFileName(c, 1)).empty()) << "start snapshot of channel " << c;
    Put(2, 9, Record(30, 9), Tongdao);
    Put(2, 0, "", "first");
    Main->TakeSnapshot(2);
    EXPECT_EQ(Main->SnapshotPath(2, 2), folder + "0202.bak");
    EXPECT_EQ(HexOf(ReadBytes(folder + "0202.bak")), HexOf(vantrel::EncodeSnapshot(Main->ChannelImage(2))));
    const std::string head = ReadBytes(folder + "0202.bak").substr(0, 14);
    EXPECT_EQ(HexOf(head), "2C000000" "6D000000" "0400" "09000E00");   // names at 44, 100 + 4 + 5 bytes
}

TEST_F(SlotClipboardTest, UndoFilesThatCouldNotBeReadBackAreRefused)
{
    const String folder = Main->RunFolder().Path();
    // A code holding more bytes than its own length says is not written.
    Put(3, 5, Record(6, 5) + "xy", "odd");
    std::string message;
    try {
        Main->SaveSnapshot(folder + "odd.bak", 3);
    } catch (const Exception& e) {
        message = e.Message;
    }
    EXPECT_NE(message.find("slot 05 "), std::string::npos) << "the refusal names the slot: " << message;
    EXPECT_EQ(GetFileAttributesW(StrToWide(folder + "odd.bak").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(StrToWide(folder + "odd.bak.tmp").c_str()), INVALID_FILE_ATTRIBUTES);

    // A full channel reaches past 64 KiB; cut at a record boundary there, or
    // with a byte added, its undo file is refused and the channel stays.
    for (int s = 0; s < SlotCount; ++s)
        Put(3, s, Record(2048, s), "n" + IntToStr(s));
    Main->SaveSnapshot(folder + "full.bak", 3);
    const std::string whole = ReadBytes(folder + "full.bak");
    ASSERT_GT(whole.size(), 65938u + 2048u);
    for (int s = 0; s < SlotCount; ++s)
        Put(3, s, s == 5 ? Record(9, 1) : String(), s == 5 ? "kept" : "");
    const TChannelImage before = Main->ChannelImage(3);
    const struct {
        const char* Case;
        std::string Bytes;
    } damaged[] = {
        {"cut after the 33rd record", whole.substr(0, 10 + 400 + 33 * 2048)},
        {"cut after the 99th record", whole.substr(0, 10 + 400 + 99 * 2048)},
        {"a byte added", whole + std::string(1, '\0')},
    };
    for (const auto& d : damaged) {
        WriteBytes(folder + "damaged.bak", d.Bytes);
        EXPECT_THROW(Main->LoadSnapshot(folder + "damaged.bak", 3), Exception) << d.Case;
        const TChannelImage after = Main->ChannelImage(3);
        EXPECT_TRUE(after.Codes == before.Codes && after.Names == before.Names) << d.Case;
    }
    ASSERT_TRUE(Main->LoadSnapshot(folder + "full.bak", 3));
    EXPECT_EQ(HexOf(Main->Code(3, 99)), HexOf(Record(2048, 99)));
    EXPECT_EQ(Main->SlotName(3, 99), "n99");
}

TEST_F(SlotClipboardTest, UndoAndRedoWalkTheValidStatesOnly)
{
    // After start undo does nothing: only the start state exists.
    Main->RedMems->SetActivePageIndex(4);
    Put(4, 0, Record(4, 1), "");
    Main->TbUnDo->Click();
    EXPECT_EQ(HexOf(Main->Code(4, 0)), HexOf(Record(4, 1)));
    Main->TakeSnapshot(4);
    Main->TbUnDo->Click();
    EXPECT_EQ(Main->Code(4, 0), "") << "undo restores the empty channel";
    EXPECT_FALSE(SlotChecked(4, 0));
    Main->TbReDo->Click();
    EXPECT_EQ(HexOf(Main->Code(4, 0)), HexOf(Record(4, 1))) << "redo the change";
    EXPECT_TRUE(SlotChecked(4, 0));

    // Twelve changes: the ring keeps the newest ten states.
    Main->RedMems->SetActivePageIndex(5);
    for (int i = 1; i <= 12; ++i)
        Change(5, "s" + IntToStr(i));
    for (int i = 11; i >= 3; --i) {
        Main->TbUnDo->Click();
        EXPECT_EQ(Name0(5), "s" + IntToStr(i)) << "undo to state " << i;
    }
    Main->TbUnDo->Click();
    EXPECT_EQ(Name0(5), "s3") << "no step past the oldest state kept";
    for (int i = 4; i <= 12; ++i) {
        Main->TbReDo->Click();
        EXPECT_EQ(Name0(5), "s" + IntToStr(i)) << "redo to state " << i;
    }
    Main->TbReDo->Click();
    EXPECT_EQ(Name0(5), "s12") << "no step past the newest state";

    // A change after an undo drops the undone states.
    Main->TbUnDo->Click();
    Main->TbUnDo->Click();
    EXPECT_EQ(Name0(5), "s10");
    Change(5, "branch");
    Main->TbReDo->Click();
    EXPECT_EQ(Name0(5), "branch") << "nothing to redo after a new change";
    Main->TbUnDo->Click();
    EXPECT_EQ(Name0(5), "s10");
    // Walking back from here reaches the oldest state still kept, not one
    // the ring has since overwritten.
    int steps = 0;
    for (String before; before != Name0(5) && steps < 20; ++steps) {
        before = Name0(5);
        Main->TbUnDo->Click();
    }
    EXPECT_EQ(Name0(5), "s3");
}

TEST_F(SlotClipboardTest, ARunFolderDeletedByHandIsMadeAgain)
{
    Main->RedMems->SetActivePageIndex(6);
    Change(6, "a");
    Change(6, "b");
    const String folder = Main->RunFolder().Path();
    RemovePath(folder.substr(0, folder.size() - 1));
    Main->TbUnDo->Click();
    EXPECT_EQ(Name0(6), "b") << "undo does nothing without the folder";
    Change(6, "c");
    EXPECT_TRUE(vantrel::DirectoryExists(folder)) << "the next snapshot makes the folder again";
    Main->TbUnDo->Click();
    EXPECT_EQ(Name0(6), "c") << "the states before the folder went are gone";
    Change(6, "d");
    Main->TbUnDo->Click();
    EXPECT_EQ(Name0(6), "c");
    Main->TbReDo->Click();
    EXPECT_EQ(Name0(6), "d");
}

TEST_F(SlotClipboardTest, LongNamesAreCutWhereTheyEnter)
{
    String longName;
    for (int i = 0; i < 150; ++i)
        longName += Tongdao.substr(0, 2);   // 300 bytes of two-byte characters
    gui::ModalScript script([&](TCustomForm* Form) {
        auto* dialog = dynamic_cast<vantrel::TFmEditName*>(Form);
        ASSERT_NE(dialog, nullptr);
        dialog->Edit1->SetText("x" + longName);
        Form->SetModalResult(mrOk);
    });
    Main->RedMem1DblClickCell(Main->ChannelGrid(0), 2, 1);
    EXPECT_EQ(script.Shown, 1);
    EXPECT_EQ(HexOf(Main->SlotName(0, 2)), HexOf(("x" + longName).substr(0, 255)));

    // The undo of a later change gives the name back whole as stored.
    Change(0, "other");
    Main->TbUnDo->Click();
    EXPECT_EQ(HexOf(Main->SlotName(0, 2)), HexOf(("x" + longName).substr(0, 255)));
    Main->SetSlotName(0, 3, longName);
    EXPECT_EQ(Main->SlotName(0, 3).size(), 254u) << "never half a character";
}

} // namespace
} // namespace vantrel_test

// The code editor opened from the tables' "编辑" on a real slot: what it
// shows of a record, editing cells with typed keys (the two-digit and hex
// filter, backspace, cells that cannot be edited), storing back, an empty
// slot, a cell that is not a number, and Test sending the edited record
// through the simulated extender.
#include "tests/manager/VantrelFixture.h"

#include "framework/Application.h"
#include "framework/StrUtils.h"

namespace vantrel_test {
namespace {

using vantrel::CodeCellCol;
using vantrel::CodeCellRow;

class CodeEditorTest : public VantrelTest {
protected:
    // Opens the editor on the slot of the current table's selection, as the
    // popup menu's "编辑" does, with Script acting on the shown editor.
    int Edit(const std::function<void(vantrel::TForm1*)>& Script)
    {
        gui::ModalScript modal([&](TCustomForm* Form) {
            auto* editor = dynamic_cast<vantrel::TForm1*>(Form);
            ASSERT_EQ(editor, CodeEditor);
            gui::Settle();
            Script(editor);
        });
        GuardCallback([&] { Main->N1->Click(); });
        EXPECT_EQ(modal.TimedOut, 0);
        return modal.Shown;
    }

    // A real click on a cell, then typed characters as the keyboard sends them.
    static void TypeInto(TProStringGrid* Grid, int Col, int Row, const String& Keys)
    {
        const TRect r = Grid->CellRect(Col, Row);
        gui::ClickAt(Grid, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        gui::TypeText(Keys);
    }

    static unsigned WordAt(const String& Record, std::size_t Offset)
    {
        return static_cast<Byte>(Record[Offset]) | static_cast<unsigned>(static_cast<Byte>(Record[Offset + 1])) << 8;
    }
};

TEST_F(CodeEditorTest, A40ByteRecordShowsFiveCodeBytesAndTypedKeysAreFiltered)
{
    const String record = Record(40, 7);
    Main->SetCode(0, 7, record);
    Main->ChannelGrid(0)->SelectCellRange(1, 2, 7, 9);   // top-left: slot 7's name cell

    String shown37;
    const int shown = Edit([&](vantrel::TForm1* E) {
        EXPECT_EQ(E->Caption(), "Form1");
        for (int row = 0; row < 2; ++row)
            for (int i = 0; i < 8; ++i)
                EXPECT_EQ(E->ProStringGrid1->ReadCellText(i, row), IntToStr(WordAt(record, 3 + 16 * row + 2 * i)))
                    << "feature " << i << "," << row;
        for (int n = 0; n < vantrel::EditedCodeBytes; ++n) {
            const String expected = n < 5 ? IntToHex(static_cast<Byte>(record[35 + n]), 2) : String("0");
            ASSERT_EQ(E->ProStringGrid2->ReadCellText(CodeCellCol(n), CodeCellRow(n)), expected) << "code byte " << n;
            ASSERT_EQ(E->ProStringGrid2->ReadCellText(CodeCellCol(n) - 1, CodeCellRow(n)), IntToStr(n)) << "number " << n;
            ASSERT_EQ(E->ProStringGrid2->EnsureCellProperties(CodeCellCol(n) - 1, CodeCellRow(n))->FontColor,
                      static_cast<TColor>(0xFF0000))
                << "number " << n << " in blue";
        }
        TProStringGrid* code = E->ProStringGrid2;
        shown37 = code->ReadCellText(1, 2);

        // Code byte 2 (record offset 37): full, so a digit is refused until
        // backspace clears it; then two hex digits, never a third or a G.
        const struct {
            const char* Keys;
            const char* Text;
        } steps[] = {{"5", nullptr}, {"\b", ""}, {"a", "a"}, {"G", "a"}, {"b", "ab"}, {"c", "ab"}, {"\b", "a"}, {"F", "aF"}};
        for (const auto& s : steps) {
            if (s.Text == nullptr)
                TypeInto(code, 1, 2, s.Keys);
            else
                gui::TypeText(s.Keys);
            const String expected = s.Text == nullptr ? shown37 : String(s.Text);
            EXPECT_EQ(gui::Utf8(code->ReadCellText(1, 2)), gui::Utf8(expected)) << "after " << gui::Utf8(s.Keys);
        }
        ASSERT_TRUE(code->EditorMode());
        EXPECT_EQ(gui::Utf8(code->InplaceEditor()->Text()), "aF");
        gui::PressKey(VK_RETURN);
        EXPECT_FALSE(code->EditorMode());

        // The byte numbers cannot be edited: no editor opens on them.
        for (const char* keys : {"\b", "1"}) {
            TypeInto(code, 4, 3, keys);
            EXPECT_FALSE(code->EditorMode()) << "key " << gui::Utf8(keys);
            EXPECT_EQ(code->ReadCellText(4, 3), "35");
        }
        gui::PressKey(VK_F2);
        EXPECT_FALSE(code->EditorMode()) << "F2 on a number";
        // A double click opens the editor on a value, never on a number.
        for (const int col : {7, 6}) {
            const TRect r = code->CellRect(col, 9);
            const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            gui::ClickAt(code, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            SendMessageW(code->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            SendMessageW(code->Handle(), WM_LBUTTONUP, 0, at);
            gui::Settle();
            EXPECT_EQ(code->EditorMode(), col % 2 == 1) << "double click on column " << col;
            gui::PressKey(VK_ESCAPE);
        }

        // A feature value above 65535 keeps its low 16 bits.
        TypeInto(E->ProStringGrid1, 2, 1, "70000");
        gui::PressKey(VK_RETURN);
        EXPECT_EQ(E->ProStringGrid1->ReadCellText(2, 1), "70000");

        const std::string path = Application->ExePath() + "vantrel-code-editor.png";
        gui::SaveScreenshot(E, path);
        gui::Click(E->Button2);   // 保存
    });
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(Main->ChannelGrid(0)->SelectionRect(), (TGridRect{1, 7, 1, 7})) << "one cell stays selected";

    String expected = record;
    expected[37] = static_cast<char>(0xAF);
    expected[3 + 16 + 4] = static_cast<char>(70000 & 0xFF);   // 4464 = 0x1170
    expected[3 + 16 + 5] = static_cast<char>((70000 >> 8) & 0xFF);
    EXPECT_EQ(HexOf(Main->Code(0, 7)), HexOf(expected));
    EXPECT_EQ(WordAt(Main->Code(0, 7), 3 + 16 + 4), 4464u);
    EXPECT_EQ(Main->Code(0, 7).size(), 40u);
    EXPECT_FALSE(SlotChecked(0, 7)) << "the editor leaves the slot's check box alone";
}

TEST_F(CodeEditorTest, CancelKeepsTheSlotAndAnEmptySlotIsInvalidData)
{
    const String record = Record(60, 3);
    Main->SetCode(0, 3, record);
    Main->ChannelGrid(0)->SelectCellRange(0, 0, 3, 3);
    Edit([&](vantrel::TForm1* E) {
        E->ProStringGrid2->WriteCellText(1, 0, "00");
        gui::Click(E->Button3);   // 关闭
    });
    EXPECT_EQ(HexOf(Main->Code(0, 3)), HexOf(record)) << "closed without storing";

    // An empty slot: the message, the grids as they were, and OK leaves the slot empty.
    Main->ChannelGrid(0)->SelectCellRange(2, 2, 4, 4);   // slot 24
    Edit([&](vantrel::TForm1* E) {
        EXPECT_EQ(E->ProStringGrid2->ReadCellText(1, 0), "00") << "the grids keep what they showed";
        EXPECT_EQ(E->ProStringGrid2->ReadCellText(1, 1), IntToHex(static_cast<Byte>(record[36]), 2))
            << "the grids keep what they showed";
        gui::Click(E->Button2);
    });
    EXPECT_EQ(TakeBoxes(), (std::vector<std::string>{gui::Utf8("无效数据")}));
    EXPECT_TRUE(Main->Code(0, 24).empty());
}

// An edit left open when the editor closes belongs to the record it was
// typed for: the next slot's values are shown and kept as they are.
TEST_F(CodeEditorTest, AnEditLeftOpenDoesNotSpillIntoTheNextSlot)
{
    const String first = Record(50, 11);
    const String second = Record(50, 12);
    ASSERT_NE(first[35], second[35]);
    ASSERT_NE(first[3], second[3]);
    Main->SetCode(0, 1, first);
    Main->SetCode(0, 2, second);
    const struct {
        const char* Name;
        std::function<void(vantrel::TForm1*)> Leave;
    } closes[] = {{"关闭", [](vantrel::TForm1* E) { gui::Click(E->Button3); }},
                  {"保存", [](vantrel::TForm1* E) { gui::Click(E->Button2); }}};
    for (const auto& c : closes) {
        Main->SetCode(0, 1, first);
        Main->ChannelGrid(0)->SelectCellRange(0, 0, 1, 1);
        Edit([&](vantrel::TForm1* E) {
            TypeInto(E->ProStringGrid2, 1, 0, "\b");
            gui::TypeText("5");
            TypeInto(E->ProStringGrid1, 0, 0, "\b");
            gui::TypeText("9");
            ASSERT_TRUE(E->ProStringGrid1->EditorMode()) << c.Name;
            c.Leave(E);
        });
        Main->ChannelGrid(0)->SelectCellRange(0, 0, 2, 2);
        Edit([&](vantrel::TForm1* E) {
            EXPECT_EQ(E->ProStringGrid2->ReadCellText(1, 0), IntToHex(static_cast<Byte>(second[35]), 2)) << c.Name;
            EXPECT_FALSE(E->ProStringGrid1->EditorMode() && E->ProStringGrid1->InplaceEditor()->Text() == "9")
                << c.Name << ": the old edit is still open";
            // Edits elsewhere close whatever edit is open.
            TypeInto(E->ProStringGrid2, 1, 5, "\b");
            gui::PressKey(VK_RETURN);
            TypeInto(E->ProStringGrid1, 7, 1, "1");
            gui::PressKey(VK_RETURN);
            gui::Click(E->Button2);
        });
        String expected = second;
        expected[35 + 5] = '\0';
        expected[3 + 16 + 14] = 1;
        expected[3 + 16 + 15] = 0;
        EXPECT_EQ(HexOf(Main->Code(0, 2)), HexOf(expected)) << c.Name;
        Main->SetCode(0, 2, second);
    }
}

TEST_F(CodeEditorTest, ACellThatIsNoNumberRaisesAndTheRecordStaysAsItWas)
{
    const String record = Record(300, 5);
    CodeEditor->LoadCode(record);
    const struct {
        TProStringGrid* Grid;
        int Col, Row;
        const char* Text;
    } cases[] = {{CodeEditor->ProStringGrid1, 3, 0, "12x"}, {CodeEditor->ProStringGrid2, 5, 9, "G1"}};
    for (const auto& c : cases) {
        const String before = c.Grid->ReadCellText(c.Col, c.Row);
        c.Grid->WriteCellText(c.Col, c.Row, c.Text);
        EXPECT_THROW(CodeEditor->StoreCode(), EConvertError) << c.Text;
        EXPECT_EQ(HexOf(CodeEditor->EditedRecord()), HexOf(record)) << c.Text;
        c.Grid->WriteCellText(c.Col, c.Row, before);
    }
    // Empty cells are 0; code bytes past the 256 shown keep their values.
    CodeEditor->ProStringGrid1->WriteCellText(0, 0, "");
    CodeEditor->ProStringGrid2->WriteCellText(CodeCellCol(255), CodeCellRow(255), "");
    const String stored = CodeEditor->StoreCode();
    String expected = record;
    expected[3] = expected[4] = '\0';
    expected[35 + 255] = '\0';
    EXPECT_EQ(HexOf(stored), HexOf(expected));
}

TEST_F(CodeEditorTest, TestSendsTheEditedRecordAndLeavesItInTheSlot)
{
    UseTcp();
    const String record = Record(60, 9);
    Main->SetCode(0, 9, record);
    Main->ChannelGrid(0)->SelectCellRange(1, 1, 9, 9);
    String status;
    Edit([&](vantrel::TForm1* E) {
        TypeInto(E->ProStringGrid2, 1, 0, "\b5");
        gui::PressKey(VK_RETURN);
        GuardCallback([&] { E->Button1->Click(); });   // 测试
        status = Status();
        EXPECT_TRUE(E->Visible()) << "the editor stays open";
        gui::Click(E->Button3);   // closed without storing again
    });
    EXPECT_EQ(gui::Utf8(status), gui::Utf8("发送完成！"));
    String expected = record;
    expected[35] = 0x05;
    EXPECT_EQ(HexOf(Main->Code(0, 9)), HexOf(expected)) << "Test stored the edited record";
    EXPECT_EQ(TxLog(), (std::vector<std::string>{"tcp raw tag=03 " + HexOf(expected)}));
}

} // namespace
} // namespace vantrel_test

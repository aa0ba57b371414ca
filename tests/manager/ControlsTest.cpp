// The main window's controls: transport and parity (also against a device
// that listens with parity), the current slot from the selection, the popup
// menu widening the selection to whole slots, and renaming a slot with a
// double click.
#include "tests/manager/VantrelFixture.h"

#include "framework/Application.h"
#include "framework/StrUtils.h"

namespace vantrel_test {
namespace {

using vantrel::TParityState;

TEST_F(VantrelTest, TheTransportChoiceEnablesItsOwnSettings)
{
    gui::Click(Main->RadioButton2);
    gui::Settle();
    EXPECT_TRUE(Main->RadioButton2->Checked());
    EXPECT_TRUE(Main->CbCom->Enabled());
    EXPECT_TRUE(Main->CbBand->Enabled());
    EXPECT_TRUE(Main->CheckBox1->Enabled());
    EXPECT_FALSE(Main->EtServerHost->Enabled());
    EXPECT_FALSE(Main->EtServerPort->Enabled());
    gui::Click(Main->RadioButton1);
    gui::Settle();
    EXPECT_TRUE(Main->RadioButton1->Checked());
    EXPECT_FALSE(Main->RadioButton2->Checked());
    EXPECT_FALSE(Main->CbCom->Enabled());
    EXPECT_FALSE(Main->CbBand->Enabled());
    EXPECT_FALSE(Main->CheckBox1->Enabled());
    EXPECT_TRUE(Main->EtServerHost->Enabled());
    EXPECT_TRUE(Main->EtServerPort->Enabled());
}

TEST_F(VantrelTest, TheParityBoxCyclesItsThreeStatesAndTheLinkUsesThem)
{
    UseSerial();
    gui::Settle();
    EXPECT_EQ(Main->CheckBox1->Caption(), "无校验 ");
    EXPECT_EQ(Main->ParityState(), TParityState::Unchecked);
    const struct {
        const char* Caption;
        TParityState State;
        Byte Code;
    } clicks[] = {{"偶校验", TParityState::Checked, 2}, {"奇校验", TParityState::Grayed, 1},
                  {"无校验", TParityState::Unchecked, 0}};
    for (const auto& c : clicks) {
        gui::Click(Main->CheckBox1);
        gui::Settle();
        EXPECT_EQ(gui::Utf8(Main->CheckBox1->Caption()), gui::Utf8(c.Caption));
        EXPECT_EQ(Main->ParityState(), c.State) << gui::Utf8(c.Caption);
        EXPECT_EQ(vantrel::ParityCode(Main->ParityState()), c.Code) << gui::Utf8(c.Caption);
    }

    // A device that listens with even parity: read with "偶校验" only.
    Store(0, 6, Record(40, 6));
    ASSERT_TRUE(Device.CtlOk("link 38400 E"));
    GuardCallback([&] { Main->BnRead->Click(); });
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("读取失败！")) << "without parity";
    gui::Click(Main->CheckBox1);   // 偶校验
    GuardCallback([&] { Main->BnRead->Click(); });
    EXPECT_EQ(gui::Utf8(Status()), gui::Utf8("读取完成！")) << "with even parity";
    EXPECT_EQ(HexOf(Main->Code(0, 6)), HexOf(Record(40, 6)));
}

TEST_F(VantrelTest, TheCurrentSlotComesFromTheSelectionsTopLeftCell)
{
    const struct {
        int Left, Top, Right, Bottom;
        int Slot;
    } cases[] = {{5, 5, 5, 5, 45}, {4, 5, 4, 5, 45}, {0, 0, 0, 0, 0}, {9, 19, 9, 19, 99}, {3, 2, 6, 7, 22}};
    for (const auto& c : cases) {
        Main->ChannelGrid(0)->SelectCellRange(c.Left, c.Right, c.Top, c.Bottom);
        EXPECT_EQ(Main->CurrentSlot(), c.Slot) << c.Left << "," << c.Top;
    }
    // Each page has its own table and selection.
    Main->RedMems->SetActivePageIndex(4);
    Main->ChannelGrid(4)->SelectCellRange(2, 2, 1, 1);
    EXPECT_EQ(Main->ActiveChannel(), 4);
    EXPECT_EQ(Main->CurrentSlot(), 21);
}

TEST_F(VantrelTest, ThePopupMenuWidensTheSelectionToWholeSlots)
{
    TProStringGrid* grid = Main->ChannelGrid(0);
    grid->SelectCellRange(1, 2, 2, 4);
    std::vector<gui::MenuEntry> entries;
    gui::PopupMenuAnswers answers([&](TPopupMenu*, HMENU Menu, int, int) {
        entries = gui::MenuEntries(Menu);
        return 0u;
    });
    Main->PopupMenu1->Popup(100, 100);
    EXPECT_EQ(grid->SelectionRect(), (TGridRect{0, 2, 3, 4}));
    const std::vector<std::string> captions = {"复制", "粘贴", "删除", "剪切", "编辑", "进入学习", "发送原始码", "发送红外码"};
    ASSERT_EQ(entries.size(), captions.size());
    for (std::size_t i = 0; i < captions.size(); ++i)
        EXPECT_EQ(entries[i].Caption, gui::Utf8(captions[i].c_str())) << "item " << i;
}

// A real right click makes the slot under the mouse current before its
// menu opens.
TEST_F(VantrelTest, ARightClickSelectsTheSlotUnderTheMouse)
{
    TProStringGrid* grid = Main->ChannelGrid(0);
    grid->SelectCellRange(0, 0, 0, 0);
    int menus = 0;
    gui::PopupMenuAnswers answers([&](TPopupMenu*, HMENU, int, int) {
        ++menus;
        return 0u;
    });
    const TRect cell = grid->CellRect(3, 6);
    const TPoint p{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    const TPoint s = grid->ClientToScreen(p);
    SetCursorPos(s.x, s.y);
    gui::ClickAt(grid, p.x, p.y, mbRight);
    gui::Settle();
    EXPECT_EQ(grid->SelectionRect(), (TGridRect{2, 6, 3, 6})) << "the menu widens it to the whole slot";
    EXPECT_EQ(Main->CurrentSlot(), 26);
    EXPECT_EQ(menus, 1);
}

TEST_F(VantrelTest, ADoubleClickRenamesTheSlotWithItsNameTrimmed)
{
    TProStringGrid* grid = Main->ChannelGrid(0);
    String typed;
    TModalResult answer = mrOk;
    gui::ModalScript script([&](TCustomForm* Form) {
        auto* dialog = dynamic_cast<vantrel::TFmEditName*>(Form);
        ASSERT_NE(dialog, nullptr);
        dialog->Edit1->SetText(typed);
        Form->SetModalResult(answer);
    });

    // A real double click on the number cell of slot 24 (column 2, row 4).
    const TRect cell = grid->CellRect(2, 4);
    const int x = (cell.left + cell.right) / 2;
    const int y = (cell.top + cell.bottom) / 2;
    typed = "  电视 开  ";
    gui::ClickAt(grid, x, y);
    SendMessageW(grid->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    gui::Settle();
    EXPECT_EQ(script.Shown, 1);
    EXPECT_EQ(gui::Utf8(Main->SlotName(0, 24)), gui::Utf8("电视 开"));

    const struct {
        const char* Name;
        const char* Typed;
        TModalResult Answer;
        const char* Expected;
    } cases[] = {{"cancel changes nothing", "x", mrCancel, "电视 开"},
                 {"the name cell renames too", "灯", mrOk, "灯"},
                 {"blanks only clear the name", "   ", mrOk, ""}};
    for (const auto& c : cases) {
        typed = c.Typed;
        answer = c.Answer;
        Main->RedMem1DblClickCell(grid, 4, 3);
        EXPECT_EQ(gui::Utf8(Main->SlotName(0, 24)), gui::Utf8(c.Expected)) << c.Name;
    }
    // Outside the cells nothing opens.
    const int shown = script.Shown;
    Main->RedMem1DblClickCell(grid, -1, 3);
    Main->RedMem1DblClickCell(grid, 4, -1);
    EXPECT_EQ(script.Shown, shown);
    EXPECT_EQ(script.TimedOut, 0);
}

TEST_F(VantrelTest, TheHelpButtonShowsTheAboutBox)
{
    gui::ModalScript script([](TCustomForm* Form) { Form->SetModalResult(mrOk); });
    Main->ToolButton9->Click();
    EXPECT_EQ(script.Shown, 1);
    EXPECT_EQ(script.TimedOut, 0);
}

} // namespace
} // namespace vantrel_test

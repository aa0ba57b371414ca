// Pop-up menus (built from the items after OnPopup, shown by a right click
// on a control) and timers.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/Ticks.h"
#include "framework/Timer.h"

namespace {

class Menus : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(120, 120, 300, 200);
        Menu = new TPopupMenu(Form);
        for (const char* caption : {"复制", "-", "粘贴", "删除"}) {
            auto* item = new TMenuItem(Form);
            item->Caption = caption;
            item->OnClick = [this, item](TObject* Sender) {
                EXPECT_EQ(Sender, item);
                Clicked.push_back(item->Caption);
            };
            Menu->Items()->Add(item);
        }
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
    TPopupMenu* Menu = nullptr;
    std::vector<String> Clicked;
};

} // namespace

TEST_F(Menus, OnPopupRunsBeforeTheMenuIsBuilt)
{
    Menu->OnPopup = [this](TObject*) {
        Menu->Items()->Items(2)->Enabled = false;
        Menu->Items()->Items(3)->Checked = true;
        Menu->Items()->Items(0)->Visible = false;
    };
    std::vector<gui::MenuEntry> shown;
    gui::PopupMenuAnswers answers([&](TPopupMenu*, HMENU Handle, int, int) {
        shown = gui::MenuEntries(Handle);
        return Menu->Items()->Items(3)->Command();
    });
    Menu->Popup(10, 10);
    ASSERT_EQ(shown.size(), 3u) << "the hidden item is left out";
    EXPECT_EQ(shown[0].Command, 0u) << "a separator";
    EXPECT_EQ(shown[1].Caption, gui::Utf8("粘贴"));
    EXPECT_TRUE(shown[1].Grayed);
    EXPECT_EQ(shown[2].Caption, gui::Utf8("删除"));
    EXPECT_TRUE(shown[2].Checked);
    EXPECT_EQ(Clicked, std::vector<String>{"删除"});
}

TEST_F(Menus, RightClickShowsTheMenuOfTheControlUnderTheMouse)
{
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(10, 10, 200, 100);
    auto* label = new TLabel(Form);
    label->SetParent(panel);
    label->SetCaption("标签");
    label->SetBounds(20, 20, 60, 20);
    panel->SetPopupMenu(Menu);
    label->SetPopupMenu(Menu);
    Form->Show();
    struct Case {
        const char* Name;
        TControl* Target;
    };
    for (const Case& c : {Case{"windowed control", panel}, Case{"window-less control", label}}) {
        SCOPED_TRACE(c.Name);
        TComponent* popupComponent = nullptr;
        POINT at{};
        gui::PopupMenuAnswers answers([&](TPopupMenu* M, HMENU, int X, int Y) {
            popupComponent = M->PopupComponent();
            at = POINT{X, Y};
            return M->Items()->Items(0)->Command();
        });
        Clicked.clear();
        gui::ClickAt(c.Target, 5, 6, mbRight);
        EXPECT_EQ(popupComponent, c.Target);
        const TPoint expected = c.Target->ClientToScreen(Point(5, 6));
        EXPECT_EQ(at.x, expected.x);
        EXPECT_EQ(at.y, expected.y);
        EXPECT_EQ(Clicked, std::vector<String>{"复制"});
    }
}

TEST_F(Menus, TheKeyboardsContextMenuShowsInTheMiddleOfTheControl)
{
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(10, 10, 200, 100);
    panel->SetPopupMenu(Menu);
    Form->Show();
    // The point (-1, -1): as the system packs it (0xFFFFFFFF, zero-extended
    // on 64-bit Windows) and as -1 itself.
    struct Case {
        const char* Name;
        LPARAM Point;
    };
    for (const Case& c : {Case{"MAKELPARAM(-1, -1)", MAKELPARAM(-1, -1)}, Case{"-1", static_cast<LPARAM>(-1)}}) {
        SCOPED_TRACE(c.Name);
        POINT at{};
        int shown = 0;
        gui::PopupMenuAnswers answers([&](TPopupMenu*, HMENU, int X, int Y) {
            ++shown;
            at = POINT{X, Y};
            return 0u;
        });
        SendMessageW(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()), c.Point);
        ASSERT_EQ(shown, 1);
        const TPoint middle = panel->ClientToScreen(Point(100, 50));
        EXPECT_EQ(at.x, middle.x);
        EXPECT_EQ(at.y, middle.y);
    }
}

TEST(Timers, TickWhileEnabledAtTheirInterval)
{
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    timer.SetInterval(20);
    const Cardinal start = GetTickCount32();
    ASSERT_TRUE(gui::PumpUntil([&] { return ticks >= 5; }, 10000)) << "only " << ticks << " ticks";
    EXPECT_GE(GetTickCount32() - start, 80u) << "five ticks of 20 ms take at least 80 ms";
    timer.SetEnabled(false);
    const int stopped = ticks;
    gui::PumpFor(100);
    EXPECT_EQ(ticks, stopped) << "no ticks while disabled";
}

// The window layer: binding of objects to windows, the replaceable
// WindowProc, reflection of notifications, enabling through parents,
// re-creation of windows, the lifetime of the binding, a focused control
// freed with its container, and mouse enter and leave.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/Edit.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/Panel.h"

namespace {

// Records the first window message its object saw (framework notifications
// sent before the window exists do not count) and whether the object was
// bound to the window by then.
template <class Base>
class TProbe : public Base {
public:
    using Base::Base;
    UINT FirstMessage = 0;
    bool BoundAtFirst = false;
    std::vector<UINT> Seen;

protected:
    void WndProc(TMessage& Message) override
    {
        if (FirstMessage == 0 && Message.Msg < WM_USER) {
            FirstMessage = Message.Msg;
            BoundAtFirst = this->HandleAllocated() && FindControl(this->Handle()) == this;
        }
        Seen.push_back(Message.Msg);
        Base::WndProc(Message);
    }
};

class WindowLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 400, 300);
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
};

} // namespace

TEST_F(WindowLayer, ObjectIsBoundBeforeCreateWindowReturns)
{
    auto* own = new TProbe<TPanel>(Form);
    own->SetParent(Form);
    auto* system = new TProbe<TButton>(Form);
    system->SetParent(Form);
    Form->Show();
    struct Case {
        const char* Name;
        UINT First;
        bool Bound;
    };
    for (const Case& c : {Case{"own class", own->FirstMessage, own->BoundAtFirst},
                          Case{"system class", system->FirstMessage, system->BoundAtFirst}}) {
        SCOPED_TRACE(c.Name);
        EXPECT_TRUE(c.First == WM_NCCREATE || c.First == WM_GETMINMAXINFO) << "first message 0x" << std::hex << c.First;
        EXPECT_TRUE(c.Bound);
    }
    wchar_t name[32] = {};
    GetClassNameW(system->Handle(), name, 32);
    EXPECT_EQ(lstrcmpiW(name, L"Button"), 0) << "a subclassed window keeps its system class";
}

TEST_F(WindowLayer, BindingEndsWithTheWindow)
{
    auto* group = new TGroupBox(Form);
    group->SetParent(Form);
    auto* edit = new TEdit(Form);
    edit->SetParent(group);
    edit->SetText("kept");
    Form->Show();
    HWND editWnd = edit->Handle();
    HWND groupWnd = group->Handle();
    ASSERT_EQ(FindControl(editWnd), edit);

    // Destroying the parent's window destroys the child's first.
    group->DestroyHandle();
    EXPECT_FALSE(edit->HandleAllocated());
    EXPECT_FALSE(IsWindow(editWnd));
    EXPECT_EQ(FindControl(editWnd), nullptr);
    EXPECT_EQ(FindControl(groupWnd), nullptr);
    EXPECT_EQ(edit->Text(), "kept") << "the text survives in the object";

    // A new window is made on demand and bound again.
    HWND again = edit->Handle();
    EXPECT_TRUE(IsWindow(again));
    EXPECT_EQ(FindControl(again), edit);
    wchar_t text[16] = {};
    GetWindowTextW(again, text, 16);
    EXPECT_STREQ(text, L"kept");
}

TEST_F(WindowLayer, ReplacedWindowProcSeesMessagesAndPassesThemOn)
{
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    Form->Show();
    std::vector<UINT> seen;
    TWndMethod previous = edit->WindowProc;
    edit->WindowProc = [&](TMessage& Message) {
        seen.push_back(Message.Msg);
        if (Message.Msg == WM_USER + 77) {
            Message.Result = 1234;
            return;
        }
        previous(Message);
    };
    SetWindowTextW(edit->Handle(), L"abc");
    EXPECT_EQ(edit->Text(), "abc") << "the default handling behind the replacement ran";
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_SETTEXT)), seen.end());
    EXPECT_EQ(SendMessageW(edit->Handle(), WM_USER + 77, 0, 0), 1234);
    EXPECT_EQ(edit->Perform(CM_TEXTCHANGED), 0);
    EXPECT_EQ(seen.back(), CM_TEXTCHANGED) << "Perform goes through the replaced WindowProc too";
    edit->WindowProc = previous;
}

TEST_F(WindowLayer, NotificationsAreReflectedToTheChildThatSentThem)
{
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    auto* button = new TProbe<TButton>(Form);
    button->SetParent(panel);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    Form->Show();
    button->Seen.clear();
    // The panel receives WM_COMMAND from its child; the child gets CN_COMMAND.
    SendMessageW(panel->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button->Handle()));
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(std::find(button->Seen.begin(), button->Seen.end(), CN_COMMAND), button->Seen.end());
    // WM_CTLCOLORBTN comes back as CN_CTLCOLORBTN with the child's brush.
    HDC dc = GetDC(button->Handle());
    const LRESULT brush = SendMessageW(panel->Handle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(button->Handle()));
    ReleaseDC(button->Handle(), dc);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), button->Brush()->Handle());
}

TEST_F(WindowLayer, DisabledContainerDisablesItsChildrenAndRestoresThem)
{
    for (bool usePanel : {false, true}) {
        SCOPED_TRACE(usePanel ? "panel" : "group box");
        TWinControl* box = usePanel ? static_cast<TWinControl*>(new TPanel(Form)) : new TGroupBox(Form);
        box->SetParent(Form);
        auto* edit = new TEdit(box);
        edit->SetParent(box);
        auto* check = new TCheckBox(box);
        check->SetParent(box);
        check->SetEnabled(false);   // disabled on its own
        Form->Show();
        ASSERT_TRUE(IsWindowEnabled(edit->Handle()));

        box->SetEnabled(false);
        EXPECT_FALSE(IsWindowEnabled(edit->Handle()));
        EXPECT_FALSE(IsWindowEnabled(check->Handle()));
        EXPECT_TRUE(edit->Enabled()) << "the child keeps its own property";
        EXPECT_FALSE(edit->EffectivelyEnabled());

        box->SetEnabled(true);
        EXPECT_TRUE(IsWindowEnabled(edit->Handle()));
        EXPECT_FALSE(IsWindowEnabled(check->Handle())) << "a child disabled on its own stays disabled";

        // A window created while the container is disabled starts disabled.
        box->SetEnabled(false);
        box->DestroyHandle();
        box->HandleNeeded();
        EXPECT_FALSE(IsWindowEnabled(edit->Handle()));
        delete box;
    }
}

TEST_F(WindowLayer, AlignedChildrenShareTheClientArea)
{
    Form->SetClientWidth(300);
    Form->SetClientHeight(200);
    auto* top = new TPanel(Form);
    top->SetParent(Form);
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* bottom = new TPanel(Form);
    bottom->SetParent(Form);
    bottom->SetHeight(20);
    bottom->SetAlign(alBottom);
    auto* client = new TPanel(Form);
    client->SetParent(Form);
    client->SetAlign(alClient);
    Form->Show();
    EXPECT_EQ(Form->ClientWidth(), 300);
    EXPECT_EQ(Form->ClientHeight(), 200);
    struct Case {
        const char* Name;
        TControl* Control;
        TRect Expected;
    };
    for (const Case& c : {Case{"top", top, Rect(0, 0, 300, 30)}, Case{"bottom", bottom, Rect(0, 180, 300, 200)},
                          Case{"client", client, Rect(0, 30, 300, 180)}}) {
        SCOPED_TRACE(c.Name);
        const TRect r = c.Control->BoundsRect();
        EXPECT_EQ(r.left, c.Expected.left);
        EXPECT_EQ(r.top, c.Expected.top);
        EXPECT_EQ(r.right, c.Expected.right);
        EXPECT_EQ(r.bottom, c.Expected.bottom);
    }
}

// The focused control sits in a container that is freed. The form forgets
// it; a control that outlives its container (it belongs to the form) gets
// OnExit first, one freed with it gets nothing.
TEST_F(WindowLayer, AFormForgetsAnActiveControlFreedWithItsContainer)
{
    struct Case {
        const char* Name;
        bool OwnedByContainer;
        int Exits;
    };
    for (const Case& c : {Case{"control owned by the container", true, 0}, Case{"control owned by the form", false, 1}}) {
        SCOPED_TRACE(c.Name);
        auto* box = new TPanel(Form);
        box->SetParent(Form);
        auto* edit = new TEdit(c.OwnedByContainer ? static_cast<TComponent*>(box) : Form);
        edit->SetParent(box);
        auto* other = new TEdit(Form);
        other->SetParent(Form);
        other->SetTop(120);
        int exits = 0;
        int enters = 0;
        edit->OnExit = [&](TObject*) { ++exits; };
        other->OnEnter = [&](TObject*) { ++enters; };
        Form->Show();
        edit->SetFocus();
        gui::Settle();
        ASSERT_EQ(Form->ActiveControl(), edit);

        delete box;
        EXPECT_EQ(Form->ActiveControl(), nullptr);
        EXPECT_EQ(exits, c.Exits);
        // A later focus change and activation find no freed control.
        other->SetFocus();
        EXPECT_EQ(Form->ActiveControl(), other);
        EXPECT_EQ(enters, 1);
        SendMessageW(Form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_TRUE(other->Focused());
        if (!c.OwnedByContainer) {
            EXPECT_EQ(edit->Parent(), nullptr);
            delete edit;
        }
        delete other;
    }
}

// The mouse may come in over a window-less child: its parent is entered
// first all the same, once, and left when the mouse leaves its window.
TEST_F(WindowLayer, MouseEnterAndLeaveReachAParentEnteredOverAWindowlessChild)
{
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(10, 10, 200, 100);
    auto* label = new TLabel(Form);
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 60, 20);
    std::vector<std::string> events;
    panel->OnMouseEnter = [&](TObject*) { events.push_back("enter panel"); };
    panel->OnMouseLeave = [&](TObject*) { events.push_back("leave panel"); };
    label->OnMouseEnter = [&](TObject*) { events.push_back("enter label"); };
    label->OnMouseLeave = [&](TObject*) { events.push_back("leave label"); };
    // The real cursor away from the form, so that no real move enters the panel.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Form->Show();
    gui::Settle();
    events.clear();
    // Sent without pumping in between: a WM_MOUSELEAVE that the system posts
    // because the real cursor is elsewhere waits in the queue meanwhile.
    HWND wnd = panel->Handle();
    SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));    // over the label
    SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(150, 60));   // over the panel itself
    SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(12, 10));    // the label again
    SendMessageW(wnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"enter panel", "enter label", "leave label", "enter label",
                                                "leave label", "leave panel"}));
}

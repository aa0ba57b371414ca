// Forms: loading, modal runs and their results, dialog keys, closing with
// its handlers (including one that raises), releasing and the main form.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Memo.h"

namespace {

// A small dialog built the way the program's forms are: components, their
// properties and events, then the loading bracket.
class TDialog : public TForm {
public:
    explicit TDialog(TComponent* AOwner) : TForm(AOwner)
    {
        SetCaption("名称");
        SetBorderStyle(bsDialog);
        SetBounds(100, 100, 260, 140);
        Edit1 = new TEdit(this);
        Edit1->SetParent(this);
        Edit1->SetBounds(10, 10, 200, 21);
        Memo1 = new TMemo(this);
        Memo1->SetParent(this);
        Memo1->SetBounds(10, 40, 200, 30);
        Button1 = new TButton(this);
        Button1->SetParent(this);
        Button1->SetCaption("OK");
        Button1->SetBounds(10, 80, 75, 25);
        Button1->ModalResult = mrOk;
        Button1->SetDefault(true);
        Button2 = new TButton(this);
        Button2->SetParent(this);
        Button2->SetCaption("Cancel");
        Button2->SetBounds(100, 80, 75, 25);
        Button2->ModalResult = mrCancel;
        Button2->Cancel = true;
        OnCreate = [this](TObject*) { ++Created; };
        OnShow = [this](TObject*) { ++Shown; };
        BeginLoading();
        EndLoading();
    }

    TEdit* Edit1;
    TMemo* Memo1;
    TButton* Button1;
    TButton* Button2;
    int Created = 0;
    int Shown = 0;
};

class Forms : public ::testing::Test {
protected:
    void SetUp() override { Dialog = new TDialog(Application); }
    void TearDown() override
    {
        delete Dialog;
        Application->ResetTerminated();
        Application->OnException = nullptr;
    }

    TDialog* Dialog = nullptr;
};

} // namespace

TEST_F(Forms, LoadingRunsOnCreateOnce)
{
    EXPECT_EQ(Dialog->Created, 1);
    EXPECT_FALSE(Dialog->HandleAllocated()) << "the window waits until it is needed";
}

TEST_F(Forms, ModalRunsEndWithTheChosenResult)
{
    struct Case {
        const char* Name;
        std::function<void(TDialog*)> Act;
        TModalResult Expected;
    };
    const Case cases[] = {
        {"OK button clicked", [](TDialog* d) { gui::Click(d->Button1); }, mrOk},
        {"Cancel button clicked", [](TDialog* d) { gui::Click(d->Button2); }, mrCancel},
        {"Esc clicks the Cancel button", [](TDialog*) { gui::PressKey(VK_ESCAPE); }, mrCancel},
        {"Enter in the edit clicks the Default button", [](TDialog* d) { d->Edit1->SetFocus(); gui::PressKey(VK_RETURN); }, mrOk},
        {"Enter on a focused button clicks it", [](TDialog* d) { d->Button2->SetFocus(); gui::PressKey(VK_RETURN); }, mrCancel},
        {"closing the window", [](TDialog* d) { PostMessageW(d->Handle(), WM_CLOSE, 0, 0); }, mrCancel},
        {"result set by code", [](TDialog* d) { d->SetModalResult(mrYes); }, mrYes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        int otherEnabled = -1;
        gui::ModalScript script([&](TCustomForm* f) {
            // The others are disabled while the form is modal.
            otherEnabled = IsWindowEnabled(Application->MainForm != nullptr ? Application->MainForm->Handle() : nullptr);
            c.Act(static_cast<TDialog*>(f));
        });
        auto* owner = new TForm(Application);
        owner->Show();
        Application->MainForm = owner;
        const TModalResult result = Dialog->ShowModal();
        EXPECT_EQ(result, c.Expected);
        EXPECT_EQ(script.TimedOut, 0);
        EXPECT_EQ(otherEnabled, FALSE);
        EXPECT_TRUE(IsWindowEnabled(owner->Handle())) << "enabled again afterwards";
        EXPECT_FALSE(Dialog->Visible());
        Application->MainForm = nullptr;
        delete owner;
    }
    EXPECT_EQ(Dialog->Shown, static_cast<int>(std::size(cases)));
}

TEST_F(Forms, MemoKeepsEnterButNotEsc)
{
    gui::ModalScript script([](TCustomForm* f) {
        auto* d = static_cast<TDialog*>(f);
        d->Memo1->SetFocus();
        gui::PressKey(VK_RETURN);
        EXPECT_EQ(d->ModalResult(), mrNone) << "Enter made a new line instead";
        gui::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
}

TEST_F(Forms, TabMovesTheFocusInTabOrder)
{
    Dialog->Button2->SetTabOrder(0);
    Dialog->Show();
    Dialog->Button2->SetFocus();
    std::vector<TWinControl*> visited;
    for (int i = 0; i < 4; ++i) {
        gui::PressKey(VK_TAB);
        visited.push_back(Dialog->ActiveControl());
    }
    EXPECT_EQ(visited, (std::vector<TWinControl*>{Dialog->Edit1, Dialog->Memo1, Dialog->Button1, Dialog->Button2}));
    EXPECT_TRUE(Dialog->Button2->Focused());
}

TEST_F(Forms, EnterAndExitFollowTheFocus)
{
    std::vector<std::string> events;
    Dialog->Edit1->OnEnter = [&](TObject*) { events.push_back("enter edit"); };
    Dialog->Edit1->OnExit = [&](TObject*) { events.push_back("exit edit"); };
    Dialog->Button1->OnEnter = [&](TObject*) { events.push_back("enter button"); };
    Dialog->Show();
    Dialog->Edit1->SetFocus();
    Dialog->Button1->SetFocus();
    gui::Settle();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(events.end() - 3, events.end()),
              (std::vector<std::string>{"enter edit", "exit edit", "enter button"}));
}

TEST_F(Forms, KeyPreviewSeesKeysFirstAndCanEatThem)
{
    std::vector<std::string> events;
    Dialog->KeyPreview = true;
    Dialog->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        events.push_back("form " + std::to_string(Key));
        if (Key == 'X')
            Key = 0;
    };
    Dialog->Edit1->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { events.push_back("edit " + std::to_string(Key)); };
    Dialog->Show();
    Dialog->Edit1->SetFocus();
    gui::PressKey('A');
    gui::PressKey('X');
    gui::PressKey(VK_ESCAPE);   // a dialog key: the key events run once before it
    EXPECT_EQ(events, (std::vector<std::string>{"form 65", "edit 65", "form 88", "form 27", "edit 27"}));
}

TEST_F(Forms, CloseFollowsCloseQueryAndCloseAction)
{
    struct Case {
        const char* Name;
        bool CanClose;
        TCloseAction Action;
        bool VisibleAfter;
        bool Freed;
    };
    for (const Case& c : {Case{"refused by OnCloseQuery", false, caHide, true, false},
                          Case{"caNone", true, caNone, true, false},
                          Case{"caHide", true, caHide, false, false},
                          Case{"caFree", true, caFree, false, true}}) {
        SCOPED_TRACE(c.Name);
        auto* form = new TForm(Application);
        form->SetBounds(50, 50, 200, 100);
        bool freed = false;
        form->OnDestroy = [&](TObject*) { freed = true; };
        form->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = c.CanClose; };
        form->OnClose = [&](TObject*, TCloseAction& Action) {
            EXPECT_EQ(Action, caHide) << "the default action of a secondary form";
            Action = c.Action;
        };
        form->Show();
        PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
        gui::Settle();
        gui::PumpUntil([&] { return freed; }, c.Freed ? 2000 : 50);
        EXPECT_EQ(freed, c.Freed);
        if (!freed) {
            EXPECT_EQ(form->Visible(), c.VisibleAfter);
            delete form;
        }
    }
}

TEST_F(Forms, AnExceptionInOnCloseIsReportedAndTheProgramGoesOn)
{
    std::vector<String> reported;
    Application->OnException = [&](TObject*, const Exception& E) { reported.push_back(E.Message); };
    Dialog->OnClose = [](TObject*, TCloseAction&) { throw Exception("close failed"); };
    Dialog->Show();
    PostMessageW(Dialog->Handle(), WM_CLOSE, 0, 0);
    gui::Settle();
    EXPECT_EQ(reported, std::vector<String>{"close failed"});
    EXPECT_TRUE(Dialog->Visible()) << "the close did not happen";
    // The form still works.
    int clicks = 0;
    Dialog->Button1->OnClick = [&](TObject*) { ++clicks; };
    gui::Click(Dialog->Button1);
    EXPECT_EQ(clicks, 1);
    Dialog->OnClose = nullptr;
    Dialog->Close();
    EXPECT_FALSE(Dialog->Visible());
}

TEST_F(Forms, ClosingTheMainFormEndsTheMessageLoop)
{
    Application->MainForm = Dialog;
    bool closed = false;
    Dialog->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
    Dialog->Show();
    PostMessageW(Dialog->Handle(), WM_CLOSE, 0, 0);
    // Run would not return if the close did not end it: a timer bounds it,
    // and a run that needed the timer fails.
    const UINT_PTR timer = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) { Application->Terminate(); });
    const Cardinal start = GetTickCount();
    Application->Run();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(closed);
    EXPECT_LT(GetTickCount() - start, 2500u) << "Run ended only by the safety timer";
    Application->MainForm = nullptr;
}

// Forms: loading, modal runs and their results, dialog keys, closing with
// its handlers (including ones that raise), releasing and the main form,
// destruction, re-created windows, windows that cannot be created, the focus
// leaving controls, typed characters, and the harness's own guards (modal
// watchdog, message boxes).
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/AccelSink.h"
#include "tests/support/GuiHarness.h"
#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/Edit.h"
#include "framework/Memo.h"
#include "framework/Panel.h"
#include "framework/Timer.h"

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

bool SafetyTimerFired = false;

void CALLBACK TerminateApplication(HWND, UINT, UINT_PTR, DWORD)
{
    SafetyTimerFired = true;
    Application->Terminate();
}

// A form whose OnDestroy reads a member of its own, as the program's forms
// do; it calls DestroyForm in its destructor (twice: the second does
// nothing) unless told not to.
class TFormWithMembers : public TForm {
public:
    TFormWithMembers(std::vector<std::string>& Log, bool CallDestroyForm) : TForm(Application), FCall(CallDestroyForm)
    {
        SetBounds(60, 60, 200, 120);
        const bool call = CallDestroyForm;
        // The fallback runs after the members are gone: it reads none then.
        OnDestroy = [this, &Log, call](TObject*) { Log.push_back(call ? "destroy with " + Member : "destroy"); };
        OnDeactivate = [&Log](TObject*) { Log.push_back("deactivate"); };
        OnActivate = [&Log](TObject*) { Log.push_back("activate"); };
        OnPaint = [&Log](TObject*) { Log.push_back("paint"); };
    }
    ~TFormWithMembers() override
    {
        if (FCall) {
            DestroyForm();
            DestroyForm();
        }
        Member = "gone";
    }

    std::string Member = "member";

private:
    bool FCall;
};

// A form with a container: an edit inside a panel, and an edit outside.
struct TFocusForm {
    TFocusForm()
    {
        Form = new TForm(Application);
        Form->SetBounds(70, 70, 300, 200);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(10, 10, 200, 60);
        Edit = new TEdit(Form);
        Edit->SetParent(Panel);
        Edit->SetBounds(10, 10, 100, 21);
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 100, 100, 21);
    }
    ~TFocusForm() { delete Form; }

    TForm* Form;
    TPanel* Panel;
    TEdit* Edit;
    TEdit* Other;
};

// While alive, the system refuses to create windows of one class on this
// thread (a creation hook answers no), as it refuses a window it has no
// room for.
class RefusedWindowClass {
public:
    explicit RefusedWindowClass(const wchar_t* ClassName)
        : FHook(SetWindowsHookExW(WH_CBT, Refuse, nullptr, GetCurrentThreadId()))
    {
        Refused = ClassName;
    }
    ~RefusedWindowClass() { UnhookWindowsHookEx(FHook); }
    RefusedWindowClass(const RefusedWindowClass&) = delete;
    RefusedWindowClass& operator=(const RefusedWindowClass&) = delete;

private:
    static LRESULT CALLBACK Refuse(int Code, WPARAM WParam, LPARAM LParam)
    {
        wchar_t name[64] = {};
        if (Code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(WParam), name, 64) != 0
            && _wcsicmp(name, Refused) == 0)
            return 1;
        return CallNextHookEx(nullptr, Code, WParam, LParam);
    }

    static inline const wchar_t* Refused = nullptr;
    HHOOK FHook;
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

// A window that cannot be created fails its form's Show with the reason and
// leaves the form as it was: hidden, without a window, and no control bound
// to a window that is gone. Raised at a callback (a click that opens the
// form), the failure is reported in an error box and the program goes on;
// once windows can be made again the form shows.
TEST_F(Forms, AWindowThatCannotBeCreatedFailsItsFormCleanly)
{
    {
        RefusedWindowClass refused(L"Edit");
        try {
            Dialog->Show();
            ADD_FAILURE() << "the form showed without its edit";
        } catch (const EOSError& e) {
            EXPECT_NE(e.Message.find("Cannot create the window of TEdit"), String::npos) << e.Message;
        }
        EXPECT_FALSE(Dialog->Visible());
        EXPECT_FALSE(Dialog->HandleAllocated()) << "the form's window stayed";
        for (TWinControl* control : std::initializer_list<TWinControl*>{Dialog->Edit1, Dialog->Memo1, Dialog->Button1})
            EXPECT_FALSE(control->HandleAllocated()) << control->ClassName();

        gui::MessageBoxAnswers boxes;
        GuardCallback([&] { Dialog->Show(); });
        ASSERT_EQ(boxes.Boxes.size(), 1u);
        EXPECT_EQ(boxes.Boxes[0].Text.find("Cannot create the window of TEdit"), 0u) << gui::Utf8(boxes.Boxes[0].Text);
        EXPECT_FALSE(Dialog->Visible());

        // A control added to a showing form fails alone.
        std::unique_ptr<TForm> other(new TForm(Application));
        other->Show();
        auto* late = new TEdit(other.get());
        EXPECT_THROW(late->SetParent(other.get()), EOSError);
        EXPECT_FALSE(late->HandleAllocated()) << "bound to a window that is gone";
        EXPECT_TRUE(IsWindowVisible(other->Handle()));
    }
    Dialog->Edit1->SetText("again");
    Dialog->Show();
    gui::Settle();
    EXPECT_TRUE(Dialog->Visible());
    EXPECT_TRUE(IsWindowVisible(Dialog->Handle()));
    EXPECT_TRUE(IsWindowVisible(Dialog->Edit1->Handle()));
    wchar_t text[16] = {};
    GetWindowTextW(Dialog->Edit1->Handle(), text, 16);
    EXPECT_STREQ(text, L"again");
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
    SafetyTimerFired = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10000, TerminateApplication);
    Application->Run();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(SafetyTimerFired) << "Run ended only by the safety timer";
    Application->MainForm = nullptr;
}

TEST_F(Forms, AModalRunCanFollowTheEndOfTheMessageLoop)
{
    Application->Terminate();
    Application->ResetTerminated();
    // The run waits for messages until the timer ends it: a WM_QUIT left
    // over from Terminate would end it first, with mrCancel.
    TTimer closer(nullptr);
    closer.SetInterval(100);
    closer.OnTimer = [&](TObject*) {
        closer.SetEnabled(false);
        Dialog->SetModalResult(mrOk);
    };
    gui::ModalScript script([](TCustomForm*) {});
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(Forms, ACloseHandlerThatRaisesInAModalRunIsReportedAndTheRunGoesOn)
{
    struct Case {
        const char* Name;
        bool InCloseQuery;
    };
    for (const Case& c : {Case{"OnClose", false}, Case{"OnCloseQuery", true}}) {
        SCOPED_TRACE(c.Name);
        std::vector<String> reported;
        Application->OnException = [&](TObject*, const Exception& E) { reported.push_back(E.Message); };
        int calls = 0;
        bool visibleAtRetry = false;
        // Raises the first time; the second close goes through.
        auto handler = [&] {
            if (++calls == 1)
                throw Exception("close failed");
            visibleAtRetry = Dialog->Visible() && Dialog->Modal();
        };
        Dialog->OnClose = nullptr;
        Dialog->OnCloseQuery = nullptr;
        if (c.InCloseQuery)
            Dialog->OnCloseQuery = [&](TObject*, bool&) { handler(); };
        else
            Dialog->OnClose = [&](TObject*, TCloseAction&) { handler(); };
        gui::ModalScript script([](TCustomForm* f) {
            f->SetModalResult(mrOk);
            PostMessageW(f->Handle(), WM_CLOSE, 0, 0);
        });
        TModalResult result = mrNone;
        EXPECT_NO_THROW(result = Dialog->ShowModal());
        EXPECT_EQ(result, mrCancel) << "the second close, by WM_CLOSE";
        EXPECT_EQ(reported, std::vector<String>{"close failed"});
        EXPECT_TRUE(visibleAtRetry) << "the failed close left the form modal";
        EXPECT_EQ(script.TimedOut, 0);
        EXPECT_FALSE(Dialog->Visible());
    }
    Dialog->OnClose = nullptr;
    Dialog->OnCloseQuery = nullptr;
}

// A dialog key that the form takes (Tab moves the focus, Enter and Esc
// click a button) leaves the focused control's next key its events.
TEST_F(Forms, ADialogKeyTakenByTheFormLeavesTheNextKeyItsEvents)
{
    std::vector<std::string> events;
    Dialog->KeyPreview = true;
    Dialog->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { events.push_back("form " + std::to_string(Key)); };
    Dialog->Edit1->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { events.push_back("edit " + std::to_string(Key)); };
    Dialog->Show();
    for (Word key : {VK_TAB, VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE("key " + std::to_string(key));
        Dialog->Edit1->SetFocus();
        gui::PressKey(key);
        Dialog->Edit1->SetFocus();
        events.clear();
        gui::PressKey('A');
        EXPECT_EQ(events, (std::vector<std::string>{"form 65", "edit 65"}));
    }
}

TEST_F(Forms, DestroyFormFiresOnDestroyOnceWithTheMembersAliveAndNoOtherEvents)
{
    struct Case {
        const char* Name;
        bool CallDestroyForm;
        std::vector<std::string> Expected;
    };
    for (const Case& c : {Case{"derived form calls DestroyForm", true, {"destroy with member"}},
                          Case{"~TCustomForm as the fallback", false, {"destroy"}}}) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> log;
        auto* form = new TFormWithMembers(log, c.CallDestroyForm);
        form->Show();
        gui::Settle();
        ASSERT_TRUE(form->Active()) << "an active form would be deactivated by its window's destruction";
        log.clear();
        delete form;
        EXPECT_EQ(log, c.Expected);
    }
}

TEST_F(Forms, BorderChangesKeepAShowingFormShowing)
{
    struct Case {
        const char* Name;
        std::function<void(TForm*)> Change;
        LONG GoneStyle;
    };
    const Case cases[] = {
        {"BorderStyle", [](TForm* f) { f->SetBorderStyle(bsSingle); }, WS_THICKFRAME},
        {"BorderIcons", [](TForm* f) { f->SetBorderIcons(biSystemMenu); }, WS_MAXIMIZEBOX},
    };
    for (const Case& c : cases) {
        for (bool showing : {true, false}) {
            SCOPED_TRACE(std::string(c.Name) + (showing ? ", showing" : ", hidden"));
            TFocusForm f;
            f.Form->Show();
            f.Other->SetFocus();
            if (!showing)
                f.Form->Hide();
            const HWND before = f.Form->Handle();
            c.Change(f.Form);
            EXPECT_NE(f.Form->Handle(), before) << "a new window";
            EXPECT_EQ(GetWindowLongW(f.Form->Handle(), GWL_STYLE) & c.GoneStyle, 0);
            EXPECT_EQ(f.Form->Visible(), showing);
            EXPECT_EQ(IsWindowVisible(f.Form->Handle()) != FALSE, showing);
            if (showing) {
                EXPECT_TRUE(f.Other->Focused()) << "the active control has the focus again";
            }
        }
    }
}

TEST_F(Forms, TheFocusedControlGetsOnExitWhenItGoesAndIsForgottenWhenFreed)
{
    struct Case {
        const char* Name;
        std::function<void(TFocusForm&)> Act;
        int Exits;
        bool FocusOnForm;
    };
    const Case cases[] = {
        {"control hidden", [](TFocusForm& f) { f.Edit->SetVisible(false); }, 1, true},
        {"control disabled", [](TFocusForm& f) { f.Edit->SetEnabled(false); }, 1, true},
        {"container hidden", [](TFocusForm& f) { f.Panel->SetVisible(false); }, 1, true},
        {"container disabled", [](TFocusForm& f) { f.Panel->SetEnabled(false); }, 1, true},
        {"control freed", [](TFocusForm& f) { delete f.Edit; }, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFocusForm f;
        int exits = 0;
        int enters = 0;
        f.Edit->OnExit = [&](TObject*) { ++exits; };
        f.Other->OnEnter = [&](TObject*) { ++enters; };
        f.Form->Show();
        f.Edit->SetFocus();
        gui::Settle();
        ASSERT_EQ(f.Form->ActiveControl(), f.Edit);

        c.Act(f);
        EXPECT_EQ(exits, c.Exits);
        EXPECT_EQ(f.Form->ActiveControl(), nullptr);
        EXPECT_EQ(GetFocus(), f.Form->Handle()) << "the focus went to the form";
        f.Other->SetFocus();
        EXPECT_EQ(f.Form->ActiveControl(), f.Other);
        EXPECT_EQ(enters, 1);
        EXPECT_EQ(exits, c.Exits) << "no second OnExit";
    }
}

// A focused control taken off its form (it lives on) gets OnExit, and the
// form lets it go.
TEST_F(Forms, AFocusedControlTakenOffItsFormGetsOnExit)
{
    TFocusForm f;
    int exits = 0;
    f.Edit->OnExit = [&](TObject*) { ++exits; };
    f.Form->Show();
    f.Edit->SetFocus();
    gui::Settle();
    ASSERT_EQ(f.Form->ActiveControl(), f.Edit);
    f.Edit->SetParent(nullptr);
    EXPECT_EQ(f.Form->ActiveControl(), nullptr);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(GetFocus(), f.Form->Handle());
}

// OnKeyPress may replace the character with another of 936 text; it reaches
// the control as that character. A lead byte alone is no character.
TEST_F(Forms, ACharacterReplacedByOnKeyPressReachesTheControlAsUnicode)
{
    struct Case {
        const char* Name;
        char Replacement;
        WideString Expected;
    };
    for (const Case& c : {Case{"ASCII", 'b', L"b"}, Case{"single-byte 0x80", '\x80', L"\x20AC"},
                          Case{"lead byte alone", '\xB6', L""}}) {
        SCOPED_TRACE(c.Name);
        Dialog->Edit1->SetText("");
        Dialog->Edit1->OnKeyPress = [&](TObject*, char& Key) {
            if (Key == 'a')
                Key = c.Replacement;
        };
        Dialog->Show();
        Dialog->Edit1->SetFocus();
        gui::TypeText("a");
        EXPECT_EQ(StrToWide(Dialog->Edit1->Text()), c.Expected);
    }
}

TEST(Accelerators, IsAccelTakesTheCharacterAfterTheFirstSingleAmpersand)
{
    struct Case {
        Word Char;
        const char* Caption;
        bool Expected;
    };
    const Case Cases[] = {
        {'a', "&Apple", true},   {'A', "&apple", true},  {'p', "&Apple", false}, {'b', "A&&B", false},
        {'b', "A&&&B", true},    {'&', "A&&B", false},   {'x', "Tail&", false},  {'a', "", false},
        {'b', "&a &b", false},   {'2', "Page &2", true},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(IsAccel(c.Char, c.Caption), c.Expected) << c.Caption << " '" << static_cast<char>(c.Char) << "'";
}

namespace {

// A panel that takes the accelerator of its caption and records it.
class TAccelPanel : public TPanel {
public:
    TAccelPanel(TWinControl* Parent, const String& Caption, std::vector<TAccelPanel*>& Log)
        : TPanel(Parent), FLog(Log)
    {
        SetParent(Parent);
        SetCaption(Caption);
        SetBounds(220, 10, 30, 30);
    }

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CM_DIALOGCHAR && IsAccel(static_cast<Word>(Message.WParam), Caption())) {
            FLog.push_back(this);
            Message.Result = 1;
            return;
        }
        TPanel::WndProc(Message);
    }

private:
    std::vector<TAccelPanel*>& FLog;
};

} // namespace

// Alt+letter goes to the form's controls, children included, until one
// takes it; a plain letter does too unless the focused control takes
// characters itself.
TEST_F(Forms, AcceleratorsReachNestedControlsUntilOneTakesThem)
{
    std::vector<TAccelPanel*> taken;
    auto* outer = new TAccelPanel(Dialog, "&Outer", taken);
    auto* inner = new TAccelPanel(outer, "&Inner", taken);
    inner->SetBounds(2, 2, 10, 10);
    new TAccelPanel(Dialog, "&inner too", taken);
    Dialog->Show();
    Dialog->Edit1->SetFocus();
    gui::Settle();
    ASSERT_TRUE(Dialog->Edit1->Focused());

    gui::PressAltKey('I');
    EXPECT_EQ(taken, std::vector<TAccelPanel*>{inner}) << "the first control with the accelerator takes it, once";
    gui::PressAltKey('O');
    EXPECT_EQ(taken, (std::vector<TAccelPanel*>{inner, outer}));
    EXPECT_EQ(Dialog->Edit1->Text(), "");

    // The edit takes characters: a plain letter is typed, no accelerator.
    gui::TypeText("o");
    EXPECT_EQ(taken.size(), 2u);
    EXPECT_EQ(Dialog->Edit1->Text(), "o");
    // A push button takes none: the letter is an accelerator.
    Dialog->Button2->SetFocus();
    gui::TypeText("o");
    EXPECT_EQ(taken, (std::vector<TAccelPanel*>{inner, outer, outer}));
}

namespace {

// An edit that records the Alt characters reaching its window.
class TSysCharEdit : public TEdit {
public:
    using TEdit::TEdit;
    std::wstring SysChars;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_SYSCHAR)
            SysChars += static_cast<wchar_t>(Message.WParam);
        TEdit::WndProc(Message);
    }
};

} // namespace

// What the focused control takes itself is never offered as an accelerator:
// text typed into an edit, a memo or a combo box of either style, and a
// space (a button's own key). An Alt key that no control takes goes on to
// the focused window as it did before accelerators existed.
TEST_F(Forms, KeysOfTheFocusedControlAreNoAccelerators)
{
    auto* sink = new TAccelSink(Dialog, L"x", TRect{220, 40, 240, 60});
    auto* box = new TComboBox(Dialog);
    box->SetParent(Dialog);
    box->SetBounds(10, 110, 100, 21);
    auto* list = new TComboBox(Dialog);
    list->SetParent(Dialog);
    list->SetBounds(120, 110, 100, 21);
    list->SetStyle(csDropDownList);
    list->Items()->Add("apple");
    list->Items()->Add("banana");
    auto* edit = new TSysCharEdit(Dialog);
    edit->SetParent(Dialog);
    edit->SetBounds(10, 140, 100, 21);
    Dialog->SetBounds(100, 100, 260, 220);
    Dialog->Show();
    gui::Settle();

    Dialog->Edit1->SetFocus();
    gui::TypeText("ax");
    EXPECT_EQ(Dialog->Edit1->Text(), "ax");
    Dialog->Memo1->SetFocus();
    gui::TypeText("x");
    EXPECT_EQ(Dialog->Memo1->Text(), "x");
    box->SetFocus();
    gui::TypeText("x");
    EXPECT_EQ(box->Text(), "x");
    list->SetFocus();
    gui::TypeText("b");
    EXPECT_EQ(list->ItemIndex(), 1) << "a letter chooses the list's item";
    Dialog->Button2->SetFocus();
    gui::TypeText(" ");
    EXPECT_EQ(sink->Offered, L"");

    edit->SetFocus();
    gui::Settle();
    ASSERT_TRUE(edit->Focused());
    gui::PressAltKey('Q');
    EXPECT_EQ(sink->Offered, L"q");
    EXPECT_EQ(edit->SysChars, L"q") << "an Alt key no control takes reaches the window";
    gui::PressAltKey('X');
    EXPECT_EQ(sink->Offered, L"qx");
    EXPECT_EQ(edit->SysChars, L"q") << "a taken accelerator goes no further";
}

// A watchdog of a run that ended must not end a later run of the same form.
// The second run starts 1800 ms after the first and ends half a second after
// the first run's bound (2000 ms) has passed, still far from its own bound: a
// loaded machine's late timers only move the end within that room.
TEST_F(Forms, AModalScriptsWatchdogEndsWithItsRun)
{
    DWORD firstShown = 0;
    TTimer closer(nullptr);
    closer.SetEnabled(false);
    closer.SetInterval(50);
    closer.OnTimer = [&](TObject*) {
        if (GetTickCount() - firstShown < 2500)
            return;
        closer.SetEnabled(false);
        Dialog->SetModalResult(mrOk);
    };
    int runs = 0;
    gui::ModalScript script(
        [&](TCustomForm* f) {
            if (++runs == 1) {
                firstShown = GetTickCount();
                f->SetModalResult(mrYes);
            } else {
                closer.SetEnabled(true);   // ends the second run after the first run's bound
            }
        },
        2000);
    EXPECT_EQ(Dialog->ShowModal(), mrYes);
    gui::PumpFor(1800);
    EXPECT_EQ(Dialog->ShowModal(), mrOk) << "the first run's watchdog would end this one at 2000 ms";
    EXPECT_EQ(script.TimedOut, 0);
}

TEST(MessageBoxGuard, AMessageBoxNoTestAnswersFailsTheTestAndIsAnswered)
{
    int answer = 0;
    EXPECT_NONFATAL_FAILURE(answer = Application->MessageBox("意外", "Brimsel", MB_OK), "unexpected message box");
    EXPECT_EQ(answer, IDOK);
    {
        gui::MessageBoxAnswers boxes(IDNO);
        EXPECT_EQ(Application->MessageBox("预期", "Brimsel", MB_YESNO), IDNO);
        EXPECT_EQ(boxes.Boxes.size(), 1u);
    }
    // The guard is back once the answers are gone.
    EXPECT_NONFATAL_FAILURE(Application->MessageBox("意外", "Brimsel", MB_OK), "unexpected message box");
}

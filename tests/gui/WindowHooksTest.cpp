// Hooking a window's messages: links on a framework control's WindowProc,
// on the window procedure of a system edit and of a window of a class the
// framework does not know, taken out in every order; a link that answers,
// one removed while it runs; a window procedure replaced by hand over ours
// and put back later; windows destroyed with links in place; a link that
// throws.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "framework/Edit.h"
#include "framework/WindowHooks.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/LiveMark.h"

namespace {

using TLog = std::vector<std::string>;

// The message every check sends: an edit answers it with its text limit,
// the test class with ForeignAnswer; a link never changes the answer.
constexpr UINT Probe = EM_GETLIMITTEXT;
constexpr LRESULT ForeignAnswer = 4321;

LRESULT CALLBACK ForeignProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == Probe)
        return ForeignAnswer;
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

const wchar_t* ForeignClass()
{
    static const wchar_t* const Name = [] {
        WNDCLASSEXW Wc{};
        Wc.cbSize = sizeof Wc;
        Wc.lpfnWndProc = ForeignProc;
        Wc.hInstance = GetModuleHandleW(nullptr);
        Wc.lpszClassName = L"WindowHooksTestClass";
        RegisterClassExW(&Wc);
        return Wc.lpszClassName;
    }();
    return Name;
}

// A window to hook at one level, and the answer of its own procedure.
class Target {
public:
    virtual ~Target() = default;
    virtual TWindowHook Hook(TWindowHookProc Proc) = 0;
    virtual HWND Wnd() = 0;
    virtual bool WindowLevel() const = 0;

    // Sends the probe; "own" closes the log when the window's own procedure
    // answered it. Returns the answer.
    LRESULT Send(TLog& Log)
    {
        const LRESULT R = SendMessageW(Wnd(), Probe, 0, 0);
        if (R == FOwnAnswer)
            Log.push_back("own");
        return R;
    }

protected:
    LRESULT FOwnAnswer = 0;
};

// A framework control, hooked at its WindowProc.
class ControlTarget : public Target {
public:
    explicit ControlTarget(TForm* Form) : Edit(new TEdit(Form))
    {
        Edit->SetParent(Form);
        FOwnAnswer = SendMessageW(Edit->Handle(), Probe, 0, 0);
    }
    ~ControlTarget() override { delete Edit; }
    TWindowHook Hook(TWindowHookProc Proc) override { return HookWindowProc(Edit, std::move(Proc)); }
    HWND Wnd() override { return Edit->Handle(); }
    bool WindowLevel() const override { return false; }

    TEdit* Edit;
};

// A window made without the framework, hooked at its window procedure.
class WindowTarget : public Target {
public:
    WindowTarget(TForm* Form, const wchar_t* Class)
        : FWnd(CreateWindowExW(0, Class, L"", WS_CHILD, 0, 0, 80, 20, Form->Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr))
    {
        FOwnAnswer = SendMessageW(FWnd, Probe, 0, 0);
        ClassProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(FWnd, GWLP_WNDPROC));
    }
    ~WindowTarget() override
    {
        if (IsWindow(FWnd))
            DestroyWindow(FWnd);
    }
    TWindowHook Hook(TWindowHookProc Proc) override { return HookWndProc(FWnd, std::move(Proc)); }
    HWND Wnd() override { return FWnd; }
    bool WindowLevel() const override { return true; }
    WNDPROC Current() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(FWnd, GWLP_WNDPROC)); }

    WNDPROC ClassProc = nullptr;

private:
    HWND FWnd;
};

struct TargetKind {
    const char* Name;
    std::unique_ptr<Target> (*Make)(TForm* Form);
};

const TargetKind Kinds[] = {
    {"control WindowProc", [](TForm* F) -> std::unique_ptr<Target> { return std::make_unique<ControlTarget>(F); }},
    {"system edit", [](TForm* F) -> std::unique_ptr<Target> { return std::make_unique<WindowTarget>(F, L"EDIT"); }},
    {"unknown class",
     [](TForm* F) -> std::unique_ptr<Target> { return std::make_unique<WindowTarget>(F, ForeignClass()); }},
};

const TargetKind WindowKinds[] = {Kinds[1], Kinds[2]};

// A link that notes Name for every probe, then hands it on.
TWindowHookProc Noting(TLog& Log, std::string Name)
{
    return [&Log, Name](TMessage& Message, const TCallPrevious& Previous) {
        if (Message.Msg == Probe)
            Log.push_back(Name);
        Previous(Message);
    };
}

TLog Sent(Target& T, TLog& Log)
{
    Log.clear();
    T.Send(Log);
    return Log;
}

// A window procedure put over ours by hand, as code outside the mechanism
// does: it notes the probe and calls the procedure it replaced.
WNDPROC HandBelow = nullptr;
TLog* HandLog = nullptr;
bool HookedAfterNcDestroy = true;

LRESULT CALLBACK HandProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == Probe)
        HandLog->push_back("hand");
    const LRESULT R = CallWindowProcW(HandBelow, Wnd, Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY)
        HookedAfterNcDestroy = WindowHooked(Wnd);
    return R;
}

class WindowHooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 300, 200);
        Form->HandleNeeded();
    }
    void TearDown() override
    {
        Application->OnException = nullptr;
        delete Form;
    }

    TForm* Form = nullptr;
};

} // namespace

TEST_F(WindowHooks, LinksComeOffInEveryOrderAndTheRestStayNewestFirst)
{
    const std::array<int, 3> Orders[] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    const char* const Names[] = {"A", "B", "C"};
    for (const TargetKind& Kind : Kinds) {
        for (const auto& Order : Orders) {
            SCOPED_TRACE(std::string(Kind.Name) + ", removed " + Names[Order[0]] + Names[Order[1]] + Names[Order[2]]);
            const std::unique_ptr<Target> T = Kind.Make(Form);
            auto* W = dynamic_cast<WindowTarget*>(T.get());
            const WNDPROC Before = W ? W->Current() : nullptr;
            TLog Log;
            std::array<TWindowHook, 3> Hooks;
            for (int I = 0; I < 3; ++I)
                Hooks[I] = T->Hook(Noting(Log, Names[I]));
            EXPECT_EQ(Sent(*T, Log), (TLog{"C", "B", "A", "own"}));
            TLog Remaining{"C", "B", "A"};
            for (int I : Order) {
                Hooks[I].Remove();
                EXPECT_FALSE(Hooks[I].Installed());
                Remaining.erase(std::find(Remaining.begin(), Remaining.end(), Names[I]));
                TLog Expected = Remaining;
                Expected.push_back("own");
                EXPECT_EQ(Sent(*T, Log), Expected);
            }
            if (W != nullptr) {
                EXPECT_EQ(W->Current(), Before) << "the last link out puts the window procedure back";
                EXPECT_FALSE(WindowHooked(W->Wnd()));
            }
        }
    }
}

TEST_F(WindowHooks, ALinkAnswersOrHandsOnAlsoAfterItWasRemoved)
{
    for (const TargetKind& Kind : Kinds) {
        SCOPED_TRACE(Kind.Name);
        const std::unique_ptr<Target> T = Kind.Make(Form);
        TLog Log;
        TWindowHook A = T->Hook(Noting(Log, "A"));
        // An answer ends the message: older links and the window see nothing.
        TWindowHook B = T->Hook([&Log](TMessage& Message, const TCallPrevious& Previous) {
            if (Message.Msg != Probe)
                return Previous(Message);
            Log.push_back("B");
            Message.Result = 99;
        });
        Log.clear();
        EXPECT_EQ(T->Send(Log), 99);
        EXPECT_EQ(Log, (TLog{"B"}));
        B.Remove();
        // A link that takes itself out while it runs still hands the message
        // on, to the links older than it.
        TWindowHook C;
        C = T->Hook([&Log, &C](TMessage& Message, const TCallPrevious& Previous) {
            if (Message.Msg == Probe) {
                Log.push_back("C");
                C.Remove();
            }
            Previous(Message);
        });
        EXPECT_EQ(Sent(*T, Log), (TLog{"C", "A", "own"}));
        EXPECT_FALSE(C.Installed());
        EXPECT_EQ(Sent(*T, Log), (TLog{"A", "own"}));
        // So does its handle, from outside any message.
        Log.clear();
        const LRESULT Own = SendMessageW(T->Wnd(), Probe, 0, 0);
        Log.clear();
        EXPECT_EQ(C.CallPrevious(Probe, 0, 0), Own);
        EXPECT_EQ(Log, (TLog{"A"}));
    }
}

TEST_F(WindowHooks, AProcedureReplacedByHandOverOursIsNeitherCutOutNorLeftCallingFreedCode)
{
    for (const TargetKind& Kind : WindowKinds) {
        SCOPED_TRACE(Kind.Name);
        const std::unique_ptr<Target> T = Kind.Make(Form);
        auto& W = static_cast<WindowTarget&>(*T);
        const WNDPROC Before = W.Current();
        TLog Log;
        HandLog = &Log;

        // Links installed before and after the hand-made procedure all run;
        // the later one joins ours, below the hand-made one.
        TWindowHook A = T->Hook(Noting(Log, "A"));
        HandBelow = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(W.Wnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HandProc)));
        TWindowHook B = T->Hook(Noting(Log, "B"));
        EXPECT_EQ(Sent(*T, Log), (TLog{"hand", "B", "A", "own"}));
        A.Remove();
        EXPECT_EQ(W.Current(), HandProc) << "taking a link out leaves the hand-made procedure in place";
        EXPECT_EQ(Sent(*T, Log), (TLog{"hand", "B", "own"}));
        // The hand-made procedure puts back the one it saved: ours, with B.
        SetWindowLongPtrW(W.Wnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HandBelow));
        EXPECT_EQ(Sent(*T, Log), (TLog{"B", "own"}));
        B.Remove();
        EXPECT_EQ(W.Current(), Before);
        EXPECT_FALSE(WindowHooked(W.Wnd()));

        // The last link goes while the hand-made procedure is above ours: ours
        // stays as a pass-through, and goes once the hand-made one has put
        // it back and a message has come through.
        A = T->Hook(Noting(Log, "A"));
        HandBelow = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(W.Wnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HandProc)));
        A.Remove();
        EXPECT_TRUE(WindowHooked(W.Wnd()));
        EXPECT_EQ(Sent(*T, Log), (TLog{"hand", "own"}));
        SetWindowLongPtrW(W.Wnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HandBelow));
        EXPECT_EQ(Sent(*T, Log), (TLog{"own"}));
        EXPECT_EQ(W.Current(), Before);
        EXPECT_FALSE(WindowHooked(W.Wnd()));

        // Left as a pass-through until the window goes: freed at WM_NCDESTROY.
        A = T->Hook(Noting(Log, "A"));
        HandBelow = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(W.Wnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HandProc)));
        A.Remove();
        HookedAfterNcDestroy = true;
        DestroyWindow(W.Wnd());
        EXPECT_FALSE(HookedAfterNcDestroy);
        HandLog = nullptr;
    }
}

TEST_F(WindowHooks, AWindowDestroyedWithLinksInPlaceTellsEachOnceAndFreesThem)
{
    struct Seen {
        int NcDestroy = 0;
        int After = 0;   // messages that came after WM_NCDESTROY
    };
    const auto Counting = [](Seen& S, LiveMark Mark) -> TWindowHookProc {
        return [&S, Mark](TMessage& Message, const TCallPrevious& Previous) {
            if (S.NcDestroy > 0)
                ++S.After;
            if (Message.Msg == WM_NCDESTROY)
                ++S.NcDestroy;
            Previous(Message);
        };
    };
    for (const TargetKind& Kind : Kinds) {
        SCOPED_TRACE(Kind.Name);
        std::unique_ptr<Target> T = Kind.Make(Form);
        int Live = 0;
        std::array<Seen, 3> Links;
        std::array<TWindowHook, 3> Hooks;
        for (int I = 0; I < 3; ++I)
            Hooks[I] = T->Hook(Counting(Links[I], LiveMark(Live)));
        EXPECT_EQ(Live, 3);
        if (T->WindowLevel()) {
            // The window's links go with the window.
            DestroyWindow(T->Wnd());
        } else {
            // A control's links stay with the control across its windows...
            auto& C = static_cast<ControlTarget&>(*T);
            C.Edit->DestroyHandle();
            EXPECT_EQ(Live, 3);
            for (const TWindowHook& H : Hooks)
                EXPECT_TRUE(H.Installed());
            TLog Log;
            const TWindowHook Probing = T->Hook(Noting(Log, "new window"));
            EXPECT_EQ(Sent(*T, Log), (TLog{"new window", "own"}));
            for (Seen& S : Links)
                S = {};
            // ...and go with it.
            T.reset();
        }
        for (int I = 0; I < 3; ++I) {
            SCOPED_TRACE(I);
            EXPECT_EQ(Links[I].NcDestroy, 1);
            EXPECT_EQ(Links[I].After, 0);
            EXPECT_FALSE(Hooks[I].Installed());
            EXPECT_EQ(Hooks[I].CallPrevious(Probe, 0, 0), 0);
            Hooks[I].Remove();
        }
        EXPECT_EQ(Live, 0);
    }
}

TEST_F(WindowHooks, AWindowDestroyedByALinkCallsNothingBelowItAfterwards)
{
    for (const TargetKind& Kind : WindowKinds) {
        SCOPED_TRACE(Kind.Name);
        const std::unique_ptr<Target> T = Kind.Make(Form);
        const HWND Wnd = T->Wnd();
        int Live = 0;
        int NcDestroy = 0;
        int After = 0;
        TLog Log;
        TWindowHook A = T->Hook([&, Mark = LiveMark(Live)](TMessage& Message, const TCallPrevious& Previous) {
            if (NcDestroy > 0)
                ++After;
            if (Message.Msg == WM_NCDESTROY)
                ++NcDestroy;
            Previous(Message);
        });
        // The newest link destroys the window in the middle of a message,
        // then hands the message on as if nothing happened.
        TWindowHook B = T->Hook([&, Mark = LiveMark(Live)](TMessage& Message, const TCallPrevious& Previous) {
            if (Message.Msg == Probe)
                DestroyWindow(Wnd);
            Previous(Message);
        });
        EXPECT_EQ(Live, 2);
        EXPECT_EQ(T->Send(Log), 0);
        EXPECT_TRUE(Log.empty()) << "the window's own procedure got the message after WM_NCDESTROY";
        EXPECT_FALSE(IsWindow(Wnd));
        EXPECT_EQ(NcDestroy, 1);
        EXPECT_EQ(After, 0);
        EXPECT_EQ(Live, 0);
    }
}

TEST_F(WindowHooks, AnExceptionInALinkGoesToTheApplicationAndTheWindowGoesOn)
{
    std::vector<String> Reported;
    Application->OnException = [&Reported](TObject*, const Exception& E) { Reported.push_back(E.Message); };
    // B fails before it hands the message on, or after the window has
    // answered it: either way the message answers 0.
    for (const bool FailAfter : {false, true}) {
        for (const TargetKind& Kind : Kinds) {
            SCOPED_TRACE(std::string(Kind.Name) + (FailAfter ? ", failing after" : ", failing before"));
            Reported.clear();
            const std::unique_ptr<Target> T = Kind.Make(Form);
            TLog Log;
            bool Fail = true;
            TWindowHook A = T->Hook(Noting(Log, "A"));
            TWindowHook B = T->Hook([&Log, &Fail, FailAfter](TMessage& Message, const TCallPrevious& Previous) {
                if (Message.Msg != Probe)
                    return Previous(Message);
                Log.push_back("B");
                if (FailAfter)
                    Previous(Message);
                if (Fail)
                    throw Exception("link failed");
                if (!FailAfter)
                    Previous(Message);
            });
            TWindowHook C = T->Hook(Noting(Log, "C"));
            Log.clear();
            EXPECT_EQ(T->Send(Log), 0);
            EXPECT_EQ(Log, FailAfter ? (TLog{"C", "B", "A"}) : (TLog{"C", "B"}));
            EXPECT_EQ(Reported, std::vector<String>{"link failed"});
            Fail = false;
            EXPECT_EQ(Sent(*T, Log), (TLog{"C", "B", "A", "own"}));
        }
    }
}

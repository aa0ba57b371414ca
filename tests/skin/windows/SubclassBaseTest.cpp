// The window-subclass base over real system controls: skin state owned or
// given, the visual style switched off and back on, the messages the base
// answers and those it hands on, detaching at destruction, an inactive
// manager, and unhooking in every order beside the framework's own binding
// and other links of the same window.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "../../support/GuiHarness.h"
#include "SubclassSupport.h"
#include "framework/Form.h"
#include "framework/Memo.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qControlTree.h"
#include "skin/windows/zqMainWnd.h"

using namespace subclasstest;

namespace {

using TLog = std::vector<std::pair<std::string, TMessage>>;

// A subclass that writes what reaches it into a log and counts its colour
// calls.
class TLogWnd : public TzqMainWnd {
public:
    void SubclassWndProc(TMessage& Message) override
    {
        if (Log)
            Log->emplace_back(Name, Message);
        TzqMainWnd::SubclassWndProc(Message);
        if (Message.Msg == WM_DESTROY) {
            PropAfterDestroy = GetPropW(WndHandle, SubclassPropName);
        }
    }
    void RestoreOriginalColors() override
    {
        ++Restores;
        ++AllRestores;
    }
    static inline int AllRestores = 0;
    TLog* Log = nullptr;
    std::string Name = "subclass";
    int Restores = 0;
    HANDLE PropAfterDestroy = nullptr;
};

// SetWindowTheme calls as the subclasses make them: (window, switched off).
std::vector<std::pair<HWND, bool>> ThemeCalls;
HRESULT WINAPI RecordTheme(HWND Wnd, LPCWSTR App, LPCWSTR)
{
    ThemeCalls.emplace_back(Wnd, App != nullptr);
    return S_OK;
}

class SubclassBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(ShippedSkins().empty());
        Manager = ShippedManager(ShippedSkins().front());
        ASSERT_TRUE(Manager->SkinData().Loaded);
        Form.reset(new TForm(Application));
        Form->SetBounds(60, 60, 320, 240);
        Form->Show();
        SavedTheme = SetWindowThemeEntry;
        SetWindowThemeEntry = RecordTheme;
        ThemeCalls.clear();
    }
    void TearDown() override
    {
        SetWindowThemeEntry = SavedTheme;
        AdapterClearing = false;
        Form.reset();
        Manager.reset();
    }
    HWND NewEdit(DWORD Style = ES_MULTILINE)
    {
        return CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"start", WS_CHILD | WS_VISIBLE | Style, 10, 10, 200, 100,
                               Form->Handle(), nullptr, nullptr, nullptr);
    }

    std::unique_ptr<TqSkinManager> Manager;
    std::unique_ptr<TForm> Form;
    TSetWindowThemeEntry SavedTheme = nullptr;
};

}   // namespace

TEST_F(SubclassBase, OwnOrGivenSkinState)
{
    HWND edit = NewEdit();
    TzqMainWndPtr<TLogWnd> own(TzqMainWnd::Create<TLogWnd>(edit, false, "EDIT", Manager.get(), nullptr));
    EXPECT_TRUE(own->OwnsSkinData);
    EXPECT_EQ("EDIT", own->SkinData->SkinSection());
    EXPECT_EQ(Manager.get(), own->Manager);
    EXPECT_EQ(own.get(), GetSubclassObject(edit));
    EXPECT_EQ("start", own->CachedText);
    EXPECT_TRUE(own->PrevWndProc());
    EXPECT_FALSE(own->SavedControlProc());
    own.reset();

    TqCommonData given(nullptr, true);
    given.SetSkinSection("MEMO");
    given.SetSkinManager(Manager.get());
    TzqMainWndPtr<TLogWnd> borrowed(TzqMainWnd::Create<TLogWnd>(edit, false, "EDIT", nullptr, &given));
    EXPECT_FALSE(borrowed->OwnsSkinData);
    EXPECT_EQ(&given, borrowed->SkinData);
    EXPECT_EQ("MEMO", given.SkinSection());
    EXPECT_EQ(Manager.get(), borrowed->Manager);
    borrowed.reset();
    EXPECT_EQ("MEMO", given.SkinSection());   // a given state outlives the object
    DestroyWindow(edit);
}

TEST_F(SubclassBase, VisualStyleOffBySectionAndBackAtDestruction)
{
    struct Case {
        const char* Section;
        bool DestroyObject;   // else a detach only
        std::vector<std::pair<bool, bool>> Calls;   // (window is the edit, switched off)
    };
    const Case cases[] = {
        {"EDIT", true, {{true, true}, {true, false}}},
        {"DIALOG", true, {{true, false}}},
        {"EDIT", false, {{true, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Section) + (c.DestroyObject ? " destroyed" : " detached"));
        ThemeCalls.clear();
        HWND edit = NewEdit();
        TzqMainWnd* w = TzqMainWnd::Create<TLogWnd>(edit, false, c.Section, Manager.get(), nullptr);
        if (!c.DestroyObject)
            DetachPlainSubclass(edit, false, false, w);
        TzqMainWnd::FreeSubclass(w);
        std::vector<std::pair<bool, bool>> calls;
        for (const auto& t : ThemeCalls)
            calls.emplace_back(t.first == edit, t.second);
        EXPECT_EQ(c.Calls, calls);
        EXPECT_EQ(nullptr, GetSubclassObject(edit));
        DestroyWindow(edit);
    }
}

TEST_F(SubclassBase, MessagesAnsweredAndHandedOn)
{
    const LPARAM own = reinterpret_cast<LPARAM>(Manager.get());
    HDC dc = CreateCompatibleDC(nullptr);
    struct Case {
        const char* Name;
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
        bool Active;
        std::vector<UINT> Below;   // what the previous procedure sees, in order
        LRESULT Result;            // -1: not checked
    };
    const Case cases[] = {
        {"print becomes paint", WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT, true, {WM_PAINT}, -1},
        {"refresh repaints at once", SM_ZORVIKCMD, SkinCommandWParam(scmRefresh), own, true, {WM_PAINT}, -1},
        {"refresh of another manager", SM_ZORVIKCMD, SkinCommandWParam(scmRefresh), 12345, true, {SM_ZORVIKCMD}, -1},
        {"skin loaded goes on", SM_ZORVIKCMD, SkinCommandWParam(scmSkinLoaded), own, true, {SM_ZORVIKCMD}, -1},
        {"skin removed goes on", SM_ZORVIKCMD, SkinCommandWParam(scmSkinRemoved), own, true, {SM_ZORVIKCMD}, -1},
        {"is skinned", SM_ZORVIKCMD, SkinCommandWParam(scmIsSkinned), 0, true, {}, 1},
        {"is skinned, manager inactive", SM_ZORVIKCMD, SkinCommandWParam(scmIsSkinned), 0, false, {SM_ZORVIKCMD}, 0},
        {"refresh, manager inactive", SM_ZORVIKCMD, SkinCommandWParam(scmRefresh), own, false, {SM_ZORVIKCMD}, -1},
        {"ui state swallowed", WM_UPDATEUISTATE, 0, 0, true, {}, -1},
        {"colour question without owner control", SM_ZORVIKCMD, SkinCommandWParam(scmGetBgColor), 0, true,
         {SM_ZORVIKCMD}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND edit = NewEdit();
        TLog log;
        Spy below(log, "below");
        below.OnWindow(edit);
        TzqMainWndPtr<TLogWnd> w(TzqMainWnd::Create<TLogWnd>(edit, false, "EDIT", Manager.get(), nullptr));
        w->Log = &log;
        w->SkinData->BGChanged = false;
        Manager->SetActive(c.Active);
        log.clear();
        const LRESULT result = SendMessageW(edit, c.Msg, c.WParam, c.LParam);
        Manager->SetActive(true);
        std::vector<UINT> seen;
        for (const auto& e : log)
            if (e.first == "below")
                seen.push_back(e.second.Msg);
        EXPECT_EQ(c.Below, seen);
        if (c.Result != -1) {
            EXPECT_EQ(c.Result, result);
        }
        if (c.Msg == WM_PRINT) {
            for (const auto& e : log) {
                if (e.first == "below") {
                    EXPECT_EQ(reinterpret_cast<WPARAM>(dc), e.second.WParam);
                }
            }
        }
        if (c.WParam == SkinCommandWParam(scmSkinLoaded) && c.Active) {
            EXPECT_TRUE(w->SkinData->BGChanged);
        }
        if (c.WParam == SkinCommandWParam(scmSkinRemoved) && c.Active) {
            EXPECT_EQ(1, w->Restores);
        }
        w.reset();
        DestroyWindow(edit);
    }
    DeleteDC(dc);
}

TEST_F(SubclassBase, SetTextReachesTheWindowOnceAndIsCached)
{
    HWND edit = NewEdit();
    TLog log;
    Spy below(log, "below");
    below.OnWindow(edit);
    TzqMainWndPtr<TLogWnd> w(TzqMainWnd::Create<TLogWnd>(edit, false, "EDIT", Manager.get(), nullptr));
    SetWindowTextW(edit, L"\x8bfb\x53d6 text");
    EXPECT_EQ(1, Seen(log, "below", WM_SETTEXT));
    EXPECT_EQ(StrToWide(w->CachedText), std::wstring(L"\x8bfb\x53d6 text"));
    w.reset();
    DestroyWindow(edit);
}

TEST_F(SubclassBase, DestroyDetachesAndTheNextMessageReachesThePreviousProcedure)
{
    // Alone on its window: a detach puts the class procedure back; at
    // WM_DESTROY the object detaches itself and the property goes.
    HWND edit = NewEdit();
    const LONG_PTR classProc = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    TzqMainWnd* plain = TzqMainWnd::Create<TLogWnd>(edit, false, "EDIT", Manager.get(), nullptr);
    EXPECT_NE(classProc, GetWindowLongPtrW(edit, GWLP_WNDPROC));
    DetachPlainSubclass(edit, true, false, plain);
    EXPECT_EQ(nullptr, plain);
    EXPECT_EQ(classProc, GetWindowLongPtrW(edit, GWLP_WNDPROC));
    TzqMainWndPtr<TLogWnd> w(TzqMainWnd::Create<TLogWnd>(edit, false, "EDIT", Manager.get(), nullptr));
    DestroyWindow(edit);
    EXPECT_TRUE(w->Detached);
    EXPECT_FALSE(w->HookInstalled());
    EXPECT_EQ(nullptr, w->PropAfterDestroy);
    w.reset();   // the handle is stale now: freeing touches nothing

    // With an older link: WM_NCDESTROY still reaches it, the subclass sees
    // no more than WM_DESTROY.
    HWND edit2 = NewEdit();
    TLog log;
    Spy below(log, "below");
    below.OnWindow(edit2);
    TzqMainWndPtr<TLogWnd> w2(TzqMainWnd::Create<TLogWnd>(edit2, false, "EDIT", Manager.get(), nullptr));
    w2->Log = &log;
    DestroyWindow(edit2);
    EXPECT_EQ(1, Seen(log, "subclass", WM_DESTROY));
    EXPECT_EQ(0, Seen(log, "subclass", WM_NCDESTROY));
    EXPECT_EQ(1, Seen(log, "below", WM_DESTROY));
    EXPECT_EQ(1, Seen(log, "below", WM_NCDESTROY));
    EXPECT_EQ(nullptr, w2->PropAfterDestroy);
}

TEST_F(SubclassBase, DestroyedWhileTheAdapterClearsLeavesTheLookAlone)
{
    HWND edit = NewEdit();
    TLogWnd* w = TzqMainWnd::Create<TLogWnd>(edit, false, "EDIT", Manager.get(), nullptr);
    ThemeCalls.clear();
    TLogWnd::AllRestores = 0;
    AdapterClearing = true;
    TzqMainWnd::FreeSubclass(w);
    AdapterClearing = false;
    EXPECT_TRUE(ThemeCalls.empty());   // the visual style stays off
    EXPECT_EQ(0, TLogWnd::AllRestores);   // and the window's colours as they are
    // Outside the adapter's clearing, destruction gives both back.
    w = TzqMainWnd::Create<TLogWnd>(edit, false, "EDIT", Manager.get(), nullptr);
    TzqMainWnd::FreeSubclass(w);
    EXPECT_EQ(1, TLogWnd::AllRestores);
    ASSERT_EQ(2u, ThemeCalls.size());
    EXPECT_FALSE(ThemeCalls.back().second);
    // No freed object stays reachable from the window.
    EXPECT_EQ(nullptr, GetSubclassObject(edit));
    EXPECT_EQ(0, SendMessageW(edit, SM_ZORVIKCMD, SkinCommandWParam(scmIsSkinned), 0));
    DestroyWindow(edit);
}

namespace {

// A memo whose own message handling (the framework's binding of the
// system edit) writes into a log.
class TLogMemo : public TMemo {
public:
    using TMemo::TMemo;
    TLog* Log = nullptr;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Log)
            Log->emplace_back("memo", Message);
        TMemo::WndProc(Message);
    }
};

}   // namespace

TEST_F(SubclassBase, UnhookingInEveryOrder)
{
    constexpr UINT Probe = WM_APP + 77;
    // The chain of one memo from the newest link: the window-way subclass,
    // an older window link, the framework's window procedure, the
    // framework-way subclass, an older control link, the memo itself.
    const std::vector<std::string> chain = {"window subclass", "window link", "control subclass", "control link",
                                            "memo"};
    std::vector<std::string> removable = {"window subclass", "window link", "control subclass"};
    std::sort(removable.begin(), removable.end());
    do {
        SCOPED_TRACE(removable[0] + ", " + removable[1] + ", " + removable[2]);
        TLog log;
        auto memo = new TLogMemo(Form.get());
        memo->SetParent(Form.get());
        memo->SetBounds(10, 10, 200, 100);
        memo->Log = &log;
        HWND wnd = memo->Handle();
        Spy controlLink(log, "control link");
        controlLink.OnControl(memo);
        Spy windowLink(log, "window link");
        windowLink.OnWindow(wnd);
        TqCommonData data(memo, true);
        data.SetSkinManager(Manager.get());
        std::map<std::string, TLogWnd*> subclasses;
        subclasses["control subclass"] = TzqMainWnd::Create<TLogWnd>(wnd, false, "EDIT", Manager.get(), &data);
        subclasses["window subclass"] = TzqMainWnd::Create<TLogWnd>(wnd, false, "EDIT", Manager.get(), nullptr);
        for (auto& [name, w] : subclasses) {
            w->Log = &log;
            w->Name = name;
        }
        EXPECT_TRUE(subclasses["control subclass"]->SavedControlProc());
        EXPECT_TRUE(subclasses["window subclass"]->PrevWndProc());

        std::vector<std::string> left = chain;
        const auto check = [&] {
            log.clear();
            SendMessageW(wnd, Probe, 0, 0);
            std::vector<std::string> seen;
            for (const auto& e : log)
                if (e.second.Msg == Probe)
                    seen.push_back(e.first);
            EXPECT_EQ(left, seen);
        };
        check();
        for (const std::string& name : removable) {
            if (name == "window link")
                windowLink.Hook.Remove();
            else
                TzqMainWnd::FreeSubclass(subclasses[name]);
            left.erase(std::find(left.begin(), left.end(), name));
            check();
        }
        EXPECT_EQ(nullptr, GetSubclassObject(wnd));
        delete memo;
    } while (std::next_permutation(removable.begin(), removable.end()));
}

TEST_F(SubclassBase, ASkippedPaintValidatesTheWindow)
{
    HWND edit = NewEdit();
    gui::Settle();
    InvalidateRect(edit, nullptr, FALSE);
    ASSERT_TRUE(GetUpdateRect(edit, nullptr, FALSE));
    SkipPaint(edit);
    EXPECT_FALSE(GetUpdateRect(edit, nullptr, FALSE));
    DestroyWindow(edit);
}

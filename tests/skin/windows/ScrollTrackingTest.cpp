// Skinned scroll bars of real system controls driven through the system's
// input queue (SendInput) and by messages: arrow auto-repeat with its
// timing, page steps, thumb drags, a range that does not start at 0, a
// foreign timer, the tracking state let go when its window is destroyed,
// hidden or disabled, and a memo of 10,000 lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "../../support/GuiHarness.h"
#include "SubclassSupport.h"
#include "framework/Form.h"
#include "skin/windows/zqScrollWnd.h"

using namespace subclasstest;

namespace {

// Scroll messages as the window (below the subclass) got them.
struct ScrollEvent {
    UINT Msg;
    int Code;
    int Pos;
    double Ms;   // when it came
};

double NowMs()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

struct Recorder {
    void On(HWND Wnd)
    {
        Hook = HookWndProc(Wnd, [this](TMessage& M, const TCallPrevious& Previous) {
            if (M.Msg == WM_VSCROLL || M.Msg == WM_HSCROLL)
                Events.push_back({M.Msg, LOWORD(M.WParam), static_cast<short>(HIWORD(M.WParam)), NowMs()});
            if (M.Msg == WM_TIMER)
                Timers.push_back(M.WParam);
            Previous(M);
        });
    }
    int Count(int Code) const
    {
        return static_cast<int>(std::count_if(Events.begin(), Events.end(), [&](const ScrollEvent& e) {
            return e.Code == Code;
        }));
    }
    std::vector<ScrollEvent> Events;
    std::vector<WPARAM> Timers;
    TWindowHook Hook;
};

void MouseInput(DWORD Flags, int X = 0, int Y = 0)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Flags;
    if (Flags & MOUSEEVENTF_ABSOLUTE) {
        in.mi.dx = MulDiv(X, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = MulDiv(Y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    SendInput(1, &in, sizeof in);
}

void MoveTo(TPoint P)
{
    MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, P.x, P.y);
    gui::Settle();
}
void Press()
{
    MouseInput(MOUSEEVENTF_LEFTDOWN);
}
void Release()
{
    MouseInput(MOUSEEVENTF_LEFTUP);
    gui::Settle();
}

std::wstring Lines(int N)
{
    std::wstring text;
    text.reserve(static_cast<std::size_t>(N) * 12);
    for (int i = 0; i < N; ++i)
        text += L"Row " + std::to_wstring(i) + L"\r\n";
    return text;
}

class ScrollTracking_ : public ::testing::Test {
protected:
    void SetUp() override
    {
        Manager = ShippedManager(ShippedSkins().front());
        ASSERT_TRUE(Manager->SkinData().Loaded);
        Form.reset(new TForm(Application));
        Form->SetBounds(60, 60, 420, 340);
        Form->Show();
        SetForegroundWindow(Form->Handle());
    }
    void TearDown() override
    {
        MouseInput(MOUSEEVENTF_LEFTUP);
        gui::Settle();
        Subclass.reset();
        Form.reset();
        Manager.reset();
    }
    // A skinned multi-line edit of N rows with a recorder below the subclass.
    HWND NewMemo(int N)
    {
        HWND memo = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", Lines(N).c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 10, 10, 300, 280,
                                    Form->Handle(), nullptr, nullptr, nullptr);
        Rec.On(memo);
        Subclass.reset(TzqMainWnd::Create<TzqScrollWnd>(memo, true, "EDIT", Manager.get(), nullptr));
        gui::Settle();
        return memo;
    }
    TRect VBar() const
    {
        TRect r{};
        TzqScrollWnd::GetVScrollRect(Subclass.get(), Subclass->WndHandle, r);
        return r;
    }
    TPoint DownArrow() const
    {
        const TRect r = VBar();
        return TPoint{(r.left + r.right) / 2, r.bottom - 4};
    }
    // The thumb's middle now.
    TPoint Thumb() const
    {
        TzqScrollWnd::RefreshScrollBars(Subclass.get(), false);
        const TRect r = VBar();
        int length = 0, start = 0;
        CalcThumbSize(Subclass->VertBar.get(), r, length, start);
        return TPoint{(r.left + r.right) / 2, start + length / 2};
    }

    std::unique_ptr<TqSkinManager> Manager;
    std::unique_ptr<TForm> Form;
    Recorder Rec;
    TzqMainWndPtr<TzqScrollWnd> Subclass;
};

}   // namespace

TEST_F(ScrollTracking_, HoldingAnArrowRepeatsStopsOffItAndResumes)
{
    HWND memo = NewMemo(400);
    MoveTo(DownArrow());
    Rec.Events.clear();
    const double pressed = NowMs();
    Press();
    ASSERT_TRUE(gui::PumpUntil([&] { return Rec.Count(SB_LINEDOWN) >= 10; }, 20000));
    std::vector<double> t;
    for (const ScrollEvent& e : Rec.Events)
        if (e.Code == SB_LINEDOWN)
            t.push_back(e.Ms);
    // One at once, the next after the 300 ms delay (and its first 55 ms
    // tick), then one every 55 ms. Timers never come early; late ones are
    // allowed tenfold. A late tick may be followed closely by the next on
    // its schedule, so the repeats are judged by their mean.
    EXPECT_LT(t[0] - pressed, 3000);
    EXPECT_GE(t[1] - t[0], 280);
    EXPECT_LE(t[1] - t[0], 3550);
    const double mean = (t.back() - t[1]) / static_cast<double>(t.size() - 2);
    EXPECT_GE(mean, 40);
    EXPECT_LE(mean, 550);
    for (std::size_t i = 2; i < t.size(); ++i)
        EXPECT_LE(t[i] - t[i - 1], 1500) << i;
    // Off the arrow: no more steps and the arrow drawn unpressed; the press goes on.
    const TRect bar = VBar();
    MoveTo(TPoint{bar.left - 60, bar.top + 40});
    gui::PumpFor(150);
    const int held = Rec.Count(SB_LINEDOWN);
    gui::PumpFor(500);
    EXPECT_EQ(held, Rec.Count(SB_LINEDOWN));
    EXPECT_EQ(-1, ScrollTracking.PressedDrawPart);
    EXPECT_EQ(1, ScrollTracking.PressedPart);
    EXPECT_EQ(0, Rec.Count(SB_ENDSCROLL));
    // Back over it: the steps resume.
    MoveTo(DownArrow());
    EXPECT_TRUE(gui::PumpUntil([&] { return Rec.Count(SB_LINEDOWN) > held + 1; }, 10000));
    Release();
    EXPECT_EQ(1, Rec.Count(SB_ENDSCROLL));
    EXPECT_EQ(SB_ENDSCROLL, Rec.Events.back().Code);
    const int done = Rec.Count(SB_LINEDOWN);
    gui::PumpFor(300);
    EXPECT_EQ(done, Rec.Count(SB_LINEDOWN));
    EXPECT_EQ(-1, ScrollTracking.PressedPart);
    EXPECT_NE(memo, GetCapture());
    // Every step scrolled the edit by one row.
    EXPECT_EQ(done, SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0));
}

TEST_F(ScrollTracking_, PageSteps)
{
    HWND memo = NewMemo(400);
    const TRect bar = VBar();
    const TPoint below{(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2 + 40};
    MoveTo(below);
    Press();
    Release();
    const int pages = Rec.Count(SB_PAGEDOWN);
    ASSERT_GE(pages, 1);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(memo, SB_VERT, &si);
    EXPECT_EQ(pages * static_cast<int>(si.nPage), SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_EQ(SB_ENDSCROLL, Rec.Events.back().Code);
    // And up again from below the thumb's start.
    const TPoint above{(bar.left + bar.right) / 2, bar.top + ScrollArrowSize + 2};
    Rec.Events.clear();
    MoveTo(above);
    Press();
    Release();
    EXPECT_GE(Rec.Count(SB_PAGEUP), 1);
}

TEST_F(ScrollTracking_, ThumbDragSendsChangesThenPositionAndEnd)
{
    HWND memo = NewMemo(10000);
    const TPoint thumb = Thumb();
    const TRect bar = VBar();
    MoveTo(thumb);
    Rec.Events.clear();
    Press();
    gui::Settle();
    for (int y = thumb.y; y < bar.bottom + 40; y += 7)
        MoveTo(TPoint{thumb.x, y});
    // Back to the middle of the travel.
    MoveTo(TPoint{thumb.x, (bar.top + bar.bottom) / 2});
    Release();
    ASSERT_GE(Rec.Events.size(), 3u);
    std::vector<int> track;
    for (const ScrollEvent& e : Rec.Events)
        if (e.Code == SB_THUMBTRACK)
            track.push_back(e.Pos);
    ASSERT_FALSE(track.empty());
    for (std::size_t i = 1; i < track.size(); ++i)
        EXPECT_NE(track[i], track[i - 1]) << i;
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(memo, SB_VERT, &si);
    // Dragged beyond the end: the last position reached the end of the range.
    EXPECT_EQ(si.nMax - static_cast<int>(si.nPage) + 1, *std::max_element(track.begin(), track.end()));
    const ScrollEvent& position = Rec.Events[Rec.Events.size() - 2];
    EXPECT_EQ(SB_THUMBPOSITION, position.Code);
    EXPECT_EQ(track.back(), position.Pos);
    EXPECT_EQ(SB_ENDSCROLL, Rec.Events.back().Code);
    // The memo stands at the row it was dragged to, and its bar says so.
    EXPECT_EQ(position.Pos, SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_EQ(position.Pos, GetScrollPos(memo, SB_VERT));
    EXPECT_FALSE(Subclass->ThumbDragging);
}

namespace {

// A plain window whose vertical range runs from 100 to 300 and which takes
// the positions it is sent.
LRESULT CALLBACK RangeWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_VSCROLL) {
        const int code = LOWORD(WParam);
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)
            SetScrollPos(Wnd, SB_VERT, static_cast<short>(HIWORD(WParam)), TRUE);
        return 0;
    }
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

}   // namespace

TEST_F(ScrollTracking_, DragPositionsAreInTheBarsOwnRange)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = RangeWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ScrollRangeProbe";
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, L"ScrollRangeProbe", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER, 10, 10, 200,
                             260, Form->Handle(), nullptr, nullptr, nullptr);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 100, 300, 20, 150, 0};
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    Rec.On(w);
    Subclass.reset(TzqMainWnd::Create<TzqScrollWnd>(w, true, "EDIT", Manager.get(), nullptr));
    gui::Settle();
    for (const int beyond : {-1, 1}) {
        SCOPED_TRACE(beyond);
        const TPoint thumb = Thumb();
        const TRect bar = VBar();
        MoveTo(thumb);
        Rec.Events.clear();
        Press();
        gui::Settle();
        MoveTo(TPoint{thumb.x, beyond < 0 ? bar.top - 50 : bar.bottom + 50});
        Release();
        ASSERT_GE(Rec.Events.size(), 2u);
        const ScrollEvent& position = Rec.Events[Rec.Events.size() - 2];
        EXPECT_EQ(SB_THUMBPOSITION, position.Code);
        EXPECT_EQ(beyond < 0 ? 100 : 281, position.Pos);
        EXPECT_EQ(position.Pos, GetScrollPos(w, SB_VERT));
    }
}

TEST_F(ScrollTracking_, AForeignTimerReachesTheWindowOnce)
{
    HWND memo = NewMemo(400);
    for (const bool hovering : {false, true}) {
        SCOPED_TRACE(hovering ? "while a bar is hovered" : "no bar timer");
        if (hovering) {
            MoveTo(DownArrow());
            ASSERT_TRUE(gui::PumpUntil([] { return ScrollTracking.HoverTimerId != 0; }, 5000));
        }
        Rec.Timers.clear();
        SendMessageW(memo, WM_TIMER, 4321, 0);
        EXPECT_EQ(std::vector<WPARAM>{4321}, Rec.Timers);
    }
    // A real timer of the window's own, beside the hover timer.
    Rec.Timers.clear();
    SetTimer(memo, 4322, 20, nullptr);
    ASSERT_TRUE(gui::PumpUntil([&] { return Rec.Timers.size() >= 3; }, 10000));
    KillTimer(memo, 4322);
    for (WPARAM id : Rec.Timers)
        EXPECT_EQ(4322u, id);
    MoveTo(TPoint{10, 10});
    EXPECT_TRUE(gui::PumpUntil([] { return ScrollTracking.HoverTimerId == 0; }, 5000));
}

TEST_F(ScrollTracking_, TrackingStateLetGoWhenTheWindowGoesAway)
{
    const char* const ways[] = {"destroyed", "hidden", "disabled"};
    for (const char* way : ways) {
        SCOPED_TRACE(way);
        HWND memo = NewMemo(400);
        MoveTo(DownArrow());
        Rec.Events.clear();
        Press();
        ASSERT_TRUE(gui::PumpUntil([&] { return Rec.Count(SB_LINEDOWN) >= 2; }, 10000));
        ASSERT_EQ(memo, GetCapture());
        if (std::string(way) == "destroyed")
            DestroyWindow(memo);
        else if (std::string(way) == "hidden")
            ShowWindow(memo, SW_HIDE);
        else
            EnableWindow(memo, FALSE);
        const int steps = Rec.Count(SB_LINEDOWN);
        gui::PumpFor(500);
        EXPECT_EQ(steps, Rec.Count(SB_LINEDOWN));
        EXPECT_EQ(nullptr, ScrollTracking.TrackWindow);
        EXPECT_EQ(-1, ScrollTracking.PressedPart);
        EXPECT_EQ(0u, ScrollTracking.RepeatTimerId);
        EXPECT_NE(memo, GetCapture());
        Release();
        Subclass.reset();
        if (IsWindow(memo))
            DestroyWindow(memo);
        Rec.Hook.Remove();
    }
}

TEST_F(ScrollTracking_, MemoOfTenThousandLinesScrollsToTheRightRow)
{
    HWND memo = NewMemo(10000);
    ASSERT_EQ(10001, SendMessageW(memo, EM_GETLINECOUNT, 0, 0));
    // One click on the down arrow: one row.
    MoveTo(DownArrow());
    Press();
    Release();
    const int steps = Rec.Count(SB_LINEDOWN);
    EXPECT_EQ(steps, SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0));
    // The thumb dragged to the middle of its travel: the middle row.
    const TPoint thumb = Thumb();
    const TRect bar = VBar();
    MoveTo(thumb);
    Rec.Events.clear();
    Press();
    gui::Settle();
    const int travel = bar.bottom - bar.top - 2 * ScrollArrowSize;
    MoveTo(TPoint{thumb.x, bar.top + ScrollArrowSize + travel / 2});
    Release();
    ASSERT_GE(Rec.Events.size(), 2u);
    const int row = Rec.Events[Rec.Events.size() - 2].Pos;
    EXPECT_NEAR(5000, row, 200);
    EXPECT_EQ(row, SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0));
    // The text at the top is that row's.
    wchar_t text[32]{};
    *reinterpret_cast<WORD*>(text) = 31;
    const LRESULT n = SendMessageW(memo, EM_GETLINE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(L"Row " + std::to_wstring(row), std::wstring(text, static_cast<std::size_t>(n)));
}

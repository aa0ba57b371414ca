// The skinned scroll bars' geometry without a window: arrow sizes, thumb
// length and position, the part under a point; and with a window, the bars
// on the left and a skin whose arrow pictures are larger than the system's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../../support/GuiHarness.h"
#include "../../support/TempDir.h"
#include "SubclassSupport.h"
#include "framework/Form.h"
#include "skin/windows/zqScrollWnd.h"

using namespace subclasstest;

namespace {

std::unique_ptr<TzqScrollBar> Bar(int Kind, int Min, int Max, int Page, int Pos)
{
    auto b = std::make_unique<TzqScrollBar>();
    b->Kind = static_cast<Word>(Kind);
    b->Info.nMin = Min;
    b->Info.nMax = Max;
    b->Info.nPage = static_cast<UINT>(Page);
    b->Info.nPos = Pos;
    return b;
}

}   // namespace

TEST(ScrollGeometry, ThumbLengthAndPosition)
{
    const int a = ScrollArrowSize;
    const int l = 200;              // work = l - 2a
    const int work = l - 2 * a;
    struct Case {
        const char* Name;
        int Min, Max, Page, Pos;
        int Length, Start;   // Start relative to the bar's start
    };
    const Case cases[] = {
        {"page 0: an arrow's length", 0, 100, 0, 0, a, a},
        {"empty range: no thumb", 0, -1, 10, 0, 0, a},
        {"empty range below: no thumb", 5, 2, 10, 5, 0, a},
        {"proportional", 0, 99, 10, 0, MulDiv(10, work, 100), a},
        {"never below 10 pixels", 0, 9999, 10, 0, 10, a},
        {"at the end", 0, 99, 10, 90, MulDiv(10, work, 100), l - a - MulDiv(10, work, 100)},
        {"beyond the end clamps", 0, 99, 10, 500, MulDiv(10, work, 100), l - a - MulDiv(10, work, 100)},
        {"before the start clamps", 0, 99, 10, -40, MulDiv(10, work, 100), a},
        {"range not from 0", 100, 199, 10, 100, MulDiv(10, work, 100), a},
        {"middle of a range not from 0", 100, 199, 10, 145,
         MulDiv(10, work, 100), a + MulDiv(45, work - MulDiv(10, work, 100), 90)},
    };
    for (int kind = 0; kind < 2; ++kind)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (kind ? " (vertical)" : " (horizontal)"));
            auto b = Bar(kind, c.Min, c.Max, c.Page, c.Pos);
            const TRect r = kind == 0 ? Rect(30, 50, 30 + l, 50 + 17) : Rect(50, 30, 50 + 17, 30 + l);
            int length = -1, start = -1;
            CalcThumbSize(b.get(), r, length, start);
            EXPECT_EQ(c.Length, length);
            EXPECT_EQ(c.Start + 30, start);
        }
}

TEST(ScrollGeometry, PartsUnderAPoint)
{
    const int a = ScrollArrowSize;
    struct Case {
        const char* Name;
        int Length;   // of the bar
        int Min, Max, Page, Pos;
        int Along;    // the point along the bar, from its start
        int Across;   // across, from the bar's top (left)
        int Part;
    };
    const int l = 200, work = l - 2 * a, thumb = MulDiv(10, work, 100);
    const int mid = a + MulDiv(50, work - thumb, 90);   // thumb start at position 50
    const Case cases[] = {
        {"first arrow", l, 0, 99, 10, 50, 0, 3, 0},
        {"first arrow's last pixel", l, 0, 99, 10, 50, a - 1, 3, 0},
        {"second arrow", l, 0, 99, 10, 50, l - 1, 3, 1},
        {"second arrow's first pixel", l, 0, 99, 10, 50, l - a, 3, 1},
        {"track before the thumb", l, 0, 99, 10, 50, a, 3, 2},
        {"thumb", l, 0, 99, 10, 50, mid, 3, 5},
        {"thumb's last pixel", l, 0, 99, 10, 50, mid + thumb - 1, 3, 5},
        {"track after the thumb", l, 0, 99, 10, 50, mid + thumb, 3, 3},
        {"outside across", l, 0, 99, 10, 50, 100, 17, -1},
        {"before the bar across", l, 0, 99, 10, 50, 100, -1, -1},
        {"beyond the bar's end", l, 0, 99, 10, 50, l, 3, -1},
        // The thumb does not fit between the arrows: not hit, nothing between.
        {"no room for the thumb", 2 * a + 9, 0, 9999, 10, 0, a + 3, 3, -1},
        {"no room, first arrow", 2 * a + 9, 0, 9999, 10, 0, 1, 3, 0},
        // Shorter than two arrows: two half-length arrows.
        {"short bar, first half", 20, 0, 99, 10, 0, 9, 3, 0},
        {"short bar, second half", 20, 0, 99, 10, 0, 10, 3, 1},
        {"short bar, odd length", 21, 0, 99, 10, 0, 10, 3, -1},
        {"short bar, odd length end", 21, 0, 99, 10, 0, 11, 3, 1},
    };
    for (int kind = 0; kind < 2; ++kind)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (kind ? " (vertical)" : " (horizontal)"));
            auto b = Bar(kind, c.Min, c.Max, c.Page, c.Pos);
            const TRect r = kind == 0 ? Rect(10, 40, 10 + c.Length, 40 + 17) : Rect(40, 10, 40 + 17, 10 + c.Length);
            const TPoint p = kind == 0 ? TPoint{10 + c.Along, 40 + c.Across} : TPoint{40 + c.Across, 10 + c.Along};
            EXPECT_EQ(c.Part, kind == 0 ? HorzPortionAt(b.get(), r, p) : VertPortionAt(b.get(), r, p));
        }
}

TEST(ScrollGeometry, PartSizes)
{
    auto h = Bar(0, 0, 9, 1, 0);
    auto v = Bar(1, 0, 9, 1, 0);
    EXPECT_EQ(ScrollArrowSize, ScrollBarPartSize(h.get(), 0, false));
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), ScrollBarPartSize(h.get(), 1, false));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), ScrollBarPartSize(v.get(), 1, false));
    h->ButtonLength = -2;
    EXPECT_EQ(2 * ScrollArrowSize, ScrollBarPartSize(h.get(), 0, false));
    h->ButtonLength = 7;
    EXPECT_EQ(7, ScrollBarPartSize(h.get(), 0, true));
    v->BarThickness = 11;
    EXPECT_EQ(11, ScrollBarPartSize(v.get(), 1, false));
    auto other = Bar(2, 0, 9, 1, 0);
    EXPECT_EQ(0, ScrollBarPartSize(other.get(), 0, false));
}

namespace {

// A plain window with both bars, skinned by a scroll subclass.
class ScrollWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Manager = ShippedManager(ShippedSkins().front());
        ASSERT_TRUE(Manager->SkinData().Loaded);
    }
    HWND NewWindow(DWORD ExStyle)
    {
        HWND w = CreateWindowExW(ExStyle, L"EDIT", L"", WS_OVERLAPPED | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL |
                                                           ES_MULTILINE,
                                 100, 100, 240, 180, nullptr, nullptr, nullptr, nullptr);
        return w;
    }
    std::unique_ptr<TqSkinManager> Manager;
};

}   // namespace

TEST_F(ScrollWindow, BarsOnTheLeftFollowTheExtendedStyle)
{
    HWND w = NewWindow(WS_EX_LEFTSCROLLBAR);
    TzqMainWndPtr<TzqScrollWnd> s(TzqMainWnd::Create<TzqScrollWnd>(w, true, "EDIT", Manager.get(), nullptr));
    ASSERT_TRUE(s->VertBar->Shown);
    RECT wr{};
    GetWindowRect(w, &wr);
    RECT client{};
    GetClientRect(w, &client);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    TRect v{};
    TzqScrollWnd::GetVScrollRect(s.get(), w, v);
    EXPECT_EQ(wr.left + s->FrameLeft, v.left);
    EXPECT_EQ(v.right, origin.x);   // the client area starts after the bar
    TRect h{};
    TzqScrollWnd::GetHScrollRect(s.get(), w, h);
    EXPECT_EQ(v.right, h.left);
    // The bar on the left answers the hit test there (once it can scroll;
    // before, it is unavailable and answers nothing).
    EXPECT_EQ(HTNOWHERE, SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(v.left + 2, v.top + 20)));
    std::wstring lines;
    for (int i = 0; i < 60; ++i)
        lines += L"line\r\n";
    SetWindowTextW(w, lines.c_str());
    EXPECT_EQ(HTVSCROLL, SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(v.left + 2, v.top + 20)));

    SetWindowLongPtrW(w, GWL_EXSTYLE, GetWindowLongPtrW(w, GWL_EXSTYLE) & ~WS_EX_LEFTSCROLLBAR);
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_FALSE(s->BarsOnLeft);
    TzqScrollWnd::GetVScrollRect(s.get(), w, v);
    GetWindowRect(w, &wr);
    EXPECT_EQ(wr.right - s->FrameRight, v.right);
    s.reset();
    DestroyWindow(w);
}

TEST_F(ScrollWindow, LargerSkinArrowsAreDrawnButClicksUseTheSystemArrow)
{
    // A copy of a shipped skin whose left arrow asks for its picture's size
    // and whose arrow pictures are wider than the system arrow.
    testfs::TempDir dir{"bigarrows"};
    const std::string from = std::string(SKIN_OUTPUT_DIR) + "/" + StrToUtf8(ShippedSkins().front());
    std::filesystem::copy(from, dir / "Big");
    std::ifstream in(dir / "Big" / "Options.dat", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    std::string options = text.str();
    const int wide = 3 * (ScrollArrowSize + 9);
    const auto widen = [&](const std::string& Section) {
        const auto at = options.find("[" + Section + "]");
        ASSERT_NE(std::string::npos, at);
        const auto mask = options.find("BORDERSMASK=^", at);
        ASSERT_NE(std::string::npos, mask);
        // ^left^top^right^bottom: the rectangle three frames wide and two rows high.
        char rect[64];
        std::snprintf(rect, sizeof rect, "^0000^0000^%04d^%04d", wide, 2 * (ScrollArrowSize + 9));
        options.replace(mask + 12, 20, rect);
        options.insert(options.find('\n', at) + 1, "RESERVEDBOOLEAN=TRUE\r\n");
    };
    widen("SCROLLBTNLEFT");
    widen("SCROLLBTNTOP");
    std::ofstream(dir / "Big" / "Options.dat", std::ios::binary) << options;
    auto manager = std::make_unique<TqSkinManager>(nullptr);
    manager->SetSkinDirectory(testfs::PathStr(dir.Path()));
    manager->SetSkinName("Big");
    ASSERT_TRUE(manager->SkinData().Loaded);

    HWND w = NewWindow(0);
    TzqMainWndPtr<TzqScrollWnd> s(TzqMainWnd::Create<TzqScrollWnd>(w, true, "EDIT", manager.get(), nullptr));
    EXPECT_EQ(ScrollArrowSize + 9, ScrollBarPartSize(s->HorzBar.get(), 0, true));
    EXPECT_EQ(ScrollArrowSize + 9, ScrollBarPartSize(s->VertBar.get(), 0, true));
    EXPECT_EQ(ScrollArrowSize, ScrollBarPartSize(s->HorzBar.get(), 0, false));
    // A point inside the drawn arrow but past the system arrow is track.
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 50, 0};
    SetScrollInfo(w, SB_HORZ, &si, FALSE);
    TzqScrollWnd::RefreshScrollBars(s.get(), false);
    TRect h{};
    TzqScrollWnd::GetHScrollRect(s.get(), w, h);
    const TPoint inSkinArrow{h.left + ScrollArrowSize + 4, h.top + 3};
    EXPECT_EQ(2, HorzPortionAt(s->HorzBar.get(), h, inSkinArrow));
    EXPECT_EQ(0, HorzPortionAt(s->HorzBar.get(), h, TPoint{h.left + ScrollArrowSize - 1, h.top + 3}));
    s.reset();
    DestroyWindow(w);
}

// The scroll-bar bits stay out of the style while skinned; a list box that
// no longer needs its bar loses it as the system would hide it, and gets it
// back when its items need it again; the skin removed, the style has what
// the system would have given it.
TEST_F(ScrollWindow, BarBitsKeptOutOfTheStyleFollowTheNativeRules)
{
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_OVERLAPPED | WS_VISIBLE | WS_VSCROLL, 100, 100, 160, 150,
                                nullptr, nullptr, nullptr, nullptr);
    const auto fill = [&](int N) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < N; ++i)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
    };
    fill(60);
    RECT nativeClient{};
    GetClientRect(list, &nativeClient);
    TzqMainWndPtr<TzqScrollWnd> s(TzqMainWnd::Create<TzqScrollWnd>(list, true, "EDIT", Manager.get(), nullptr));
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_EQ(nativeClient.right, client.right);   // the skinned bar takes the same room
    const auto styleBar = [&] { return (GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) != 0; };
    EXPECT_FALSE(styleBar());
    EXPECT_TRUE(s->VertBar->Shown);
    EXPECT_EQ(static_cast<DWORD>(WS_VSCROLL), s->KeptBarStyle);

    fill(2);
    TzqScrollWnd::RefreshScrollBars(s.get(), true);
    EXPECT_FALSE(s->VertBar->Shown);
    EXPECT_EQ(0u, s->KeptBarStyle);
    EXPECT_FALSE(styleBar());

    fill(60);   // the list box's scroll call shows the bar again
    EXPECT_TRUE(s->VertBar->Shown);
    EXPECT_FALSE(styleBar());
    EXPECT_EQ(static_cast<DWORD>(WS_VSCROLL), s->KeptBarStyle);

    Manager->SetActive(false);
    SendMessageW(list, WM_NULL, 0, 0);
    EXPECT_TRUE(styleBar());
    EXPECT_EQ(0u, s->KeptBarStyle);
    Manager->SetActive(true);
    SendMessageW(list, WM_NULL, 0, 0);
    SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_FALSE(styleBar());
    // Freed, the subclass gives the bit back.
    s.reset();
    EXPECT_TRUE(styleBar());
    GetClientRect(list, &client);
    EXPECT_EQ(nativeClient.right, client.right);
    DestroyWindow(list);
}

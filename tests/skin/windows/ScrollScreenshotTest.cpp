// Skinned scroll bars on the screen: a memo and a list box of a test form
// under each shipped design, and after the skin is removed (native again),
// written to build/screenshots; WM_PRINT images of a bar in each state
// against stored goldens; no GDI object left behind by many repaints.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "../../graphics/PaintProbe.h"
#include "../../support/GuiHarness.h"
#include "SubclassSupport.h"
#include "framework/Form.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/zqScrollWnd.h"

using namespace subclasstest;

namespace {

std::string ScreenshotFolder()
{
    const std::string out = std::string(SKIN_OUTPUT_DIR) + "/../../screenshots";
    std::filesystem::create_directories(out);
    return out;
}

String WinPath(const std::string& UnixPath)
{
    String path = "Z:" + UnixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// A form with a multi-line edit (both bars) and a list box (vertical bar).
struct TestForm {
    TestForm()
    {
        Form.reset(new TForm(Application));
        Form->SetBounds(40, 40, 460, 300);
        Form->SetCaption("Scroll bars");
        Form->Show();
        std::wstring text;
        for (int i = 0; i < 200; ++i)
            text += L"Line " + std::to_wstring(i) + L" of a memo with a long line that needs the horizontal bar\r\n";
        Memo = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE, 10, 10, 250, 220,
                               Form->Handle(), nullptr, nullptr, nullptr);
        List = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY,
                               270, 10, 160, 220, Form->Handle(), nullptr, nullptr, nullptr);
        for (int i = 0; i < 60; ++i)
            SendMessageW(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Item " + std::to_wstring(i)).c_str()));
        gui::Settle();
    }
    std::unique_ptr<TForm> Form;
    HWND Memo = nullptr;
    HWND List = nullptr;
};

}   // namespace

TEST(ScrollScreenshots, EachDesignAndNativeAfterRemoval)
{
    for (const String& name : ShippedSkins()) {
        SCOPED_TRACE(StrToUtf8(name));
        auto manager = ShippedManager(name);
        ASSERT_TRUE(manager->SkinData().Loaded);
        TestForm f;
        TzqMainWndPtr<TzqScrollWnd> memo(
            TzqMainWnd::Create<TzqScrollWnd>(f.Memo, true, "EDIT", manager.get(), nullptr));
        TzqMainWndPtr<TzqScrollWnd> list(
            TzqMainWnd::Create<TzqScrollWnd>(f.List, true, "EDIT", manager.get(), nullptr));
        SendMessageW(f.Memo, EM_LINESCROLL, 0, 40);
        RedrawWindow(f.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        gui::Settle();
        // The bits are out of the style while skinned, the bars still shown.
        EXPECT_EQ(0, GetWindowLongPtrW(f.Memo, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
        EXPECT_TRUE(memo->VertBar->Shown);
        EXPECT_TRUE(memo->HorzBar->Shown);
        EXPECT_TRUE(list->VertBar->Shown);
        gui::SaveScreenshot(f.Form.get(), StrToUtf8(WinPath(ScreenshotFolder() + "/scrollbars-" + StrToUtf8(name) + ".png")));

        // The skin removed: the bits come back and the system draws its bars.
        manager->SetActive(false);
        SendMessageW(f.Memo, WM_NULL, 0, 0);
        SendMessageW(f.List, WM_NULL, 0, 0);
        RedrawWindow(f.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        gui::Settle();
        EXPECT_EQ(WS_VSCROLL | WS_HSCROLL, GetWindowLongPtrW(f.Memo, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
        EXPECT_EQ(WS_VSCROLL, GetWindowLongPtrW(f.List, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
        gui::SaveScreenshot(f.Form.get(),
                            StrToUtf8(WinPath(ScreenshotFolder() + "/scrollbars-" + StrToUtf8(name) + "-removed.png")));
        manager->SetActive(true);
        memo.reset();
        list.reset();
    }
}

namespace {

// The states a bar is painted in, as the tracking state and the window's
// scroll range give them.
struct BarState {
    const char* Name;
    int HoverPart;     // on the vertical bar, -1 none
    int PressedPart;   // drawn pressed, -1 none
    bool Scrollable;   // else the bar is unavailable (disabled look)
};
const BarState States[] = {
    {"normal", -1, -1, true},       {"hot arrow", 0, -1, true},    {"pressed arrow", -1, 1, true},
    {"hot thumb", 5, -1, true},     {"pressed track", -1, 3, true}, {"disabled", -1, -1, false},
};

void SetTracking(HWND Wnd, const BarState& S)
{
    ScrollTracking = TzqScrollTracking{};
    ScrollTracking.TrackWindow = Wnd;
    ScrollTracking.HoverBar = S.HoverPart != -1 ? 1 : -1;
    ScrollTracking.HoverPart = S.HoverPart;
    ScrollTracking.PressedBar = S.PressedPart != -1 ? 1 : -1;
    ScrollTracking.PressedPart = ScrollTracking.PressedDrawPart = S.PressedPart;
}

bool SameBitmaps(TBitmap& A, TBitmap& B)
{
    if (A.Width() != B.Width() || A.Height() != B.Height())
        return false;
    for (int y = 0; y < A.Height(); ++y)
        if (std::memcmp(A.ScanLine(y), B.ScanLine(y), static_cast<std::size_t>(A.Width()) * 3) != 0)
            return false;
    return true;
}

}   // namespace

// Each state of a vertical bar, painted off-screen the way WM_PRINT of the
// window's frame needs it (PaintScrollBars into a given DC), side by side in
// one sheet per design, compared byte for byte with the stored golden.
// Goldens are written again only on purpose: SKIN_GOLDENS=update.
TEST(ScrollPrint, EachStateUnderEachDesignAgainstGoldens)
{
    const bool update = std::getenv("SKIN_GOLDENS") && std::string(std::getenv("SKIN_GOLDENS")) == "update";
    for (const String& name : ShippedSkins()) {
        SCOPED_TRACE(StrToUtf8(name));
        auto manager = ShippedManager(name);
        TestForm f;
        SetWindowPos(f.Memo, nullptr, 0, 0, 120, 124, SWP_NOMOVE | SWP_NOZORDER);
        TzqMainWndPtr<TzqScrollWnd> memo(
            TzqMainWnd::Create<TzqScrollWnd>(f.Memo, true, "EDIT", manager.get(), nullptr));
        std::unique_ptr<TBitmap> sheet;
        int x = 0;
        for (const BarState& s : States) {
            SCOPED_TRACE(s.Name);
            if (!s.Scrollable)
                SetWindowTextW(f.Memo, L"");
            SendMessageW(f.Memo, EM_LINESCROLL, 0, s.Scrollable ? 60 - SendMessageW(f.Memo, EM_GETFIRSTVISIBLELINE, 0, 0) : 0);
            SetTracking(f.Memo, s);
            RECT wr{};
            GetWindowRect(f.Memo, &wr);
            auto window = NewBitmap24(wr.right - wr.left, wr.bottom - wr.top);
            memo->PaintScrollBars(f.Memo, nullptr, window->Canvas()->Handle(), -1);
            ScrollTracking = TzqScrollTracking{};
            TRect bar{};
            TzqScrollWnd::GetVScrollRect(memo.get(), f.Memo, bar);
            const int bw = bar.right - bar.left, bh = bar.bottom - bar.top;
            ASSERT_GT(bw, 0);
            if (!sheet)
                sheet = NewBitmap24(bw * static_cast<int>(std::size(States)), bh);
            BitBlt(sheet->Canvas()->Handle(), x, 0, bw, bh, window->Canvas()->Handle(), bar.left - wr.left,
                   bar.top - wr.top, SRCCOPY);
            x += bw;
        }
        memo.reset();
        const std::string golden = std::string(SKIN_GOLDEN_DIR) + "/scrollbar-" + StrToUtf8(name) + ".bmp";
        if (update) {
            std::filesystem::create_directories(SKIN_GOLDEN_DIR);
            sheet->SaveToFile(WinPath(golden));
            continue;
        }
        ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
        TBitmap expected;
        expected.LoadFromFile(WinPath(golden));
        expected.SetPixelFormat(TPixelFormat::pf24bit);
        if (!SameBitmaps(expected, *sheet)) {
            sheet->SaveToFile(WinPath(ScreenshotFolder() + "/scrollbar-" + StrToUtf8(name) + "-actual.bmp"));
            ADD_FAILURE() << "the bar differs from " << golden;
        }
    }
}

TEST(ScrollPrint, RepaintsLeaveNoGdiObjectBehind)
{
    auto manager = ShippedManager(ShippedSkins().front());
    TestForm f;
    TzqMainWndPtr<TzqScrollWnd> memo(TzqMainWnd::Create<TzqScrollWnd>(f.Memo, true, "EDIT", manager.get(), nullptr));
    for (int i = 0; i < 20; ++i)
        TzqScrollWnd::RefreshScrollBars(memo.get(), true);
    const int before = paint_probe::GdiObjectCount();
    for (int i = 0; i < 1000; ++i) {
        SetTracking(f.Memo, States[i % std::size(States)]);
        TzqScrollWnd::RefreshScrollBars(memo.get(), true);
    }
    ScrollTracking = TzqScrollTracking{};
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
}

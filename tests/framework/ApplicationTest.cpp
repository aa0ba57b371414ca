#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include <windows.h>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Dialogs.h"
#include "framework/MessageWindow.h"
#include "framework/Ticks.h"

namespace {

// Routes the default error dialog into a list instead of the screen.
class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->MessageBoxHook = [this](const String& text, const String&, UINT flags) {
            shown.push_back(text);
            EXPECT_TRUE(flags & MB_ICONSTOP);
            return IDOK;
        };
    }
    void TearDown() override
    {
        Application->MessageBoxHook = nullptr;
        Application->OnException = nullptr;
    }

    std::vector<String> shown;
};

TEST_F(ApplicationTest, ExceptionsAtACallbackBoundaryGoToTheDefaultDialog)
{
    GuardCallback([] { throw Exception("Error opening serial port"); });
    GuardCallback([] { throw std::runtime_error("bad"); });
    const LRESULT r = GuardCallback([]() -> LRESULT { throw 42; }, LRESULT{-7});
    EXPECT_EQ(r, -7);
    const std::vector<String> expected = {"Error opening serial port", "bad", "Unknown exception"};
    EXPECT_EQ(shown, expected);
}

TEST_F(ApplicationTest, OnExceptionReplacesTheDialogAndMayItselfFail)
{
    String seen;
    Application->OnException = [&](TObject*, const Exception& e) {
        seen = e.Message;
        throw Exception("handler failed too");
    };
    GuardCallback([] { throw EConvertError("not a number"); });   // must not escape
    EXPECT_EQ(seen, "not a number");
    EXPECT_TRUE(shown.empty());
}

TEST_F(ApplicationTest, AnExceptionInAWindowProcedureDoesNotCrossIntoWin32)
{
    int handled = 0;
    THiddenWindow window([&](TMessage& m) {
        if (m.Msg == WM_USER + 7) {
            ++handled;
            throw Exception("failed inside the window procedure");
        }
        m.Result = DefWindowProcW(nullptr, m.Msg, m.WParam, m.LParam);
    });
    SendMessageW(window.Handle(), WM_USER + 7, 0, 0);
    EXPECT_EQ(handled, 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "failed inside the window procedure");
}

TEST_F(ApplicationTest, WorkerThreadsHandOverToTheCreatingThreadInOrder)
{
    std::vector<WPARAM> received;
    DWORD receivingThread = 0;
    THiddenWindow window([&](TMessage& m) {
        if (m.Msg == WM_USER + 1) {
            received.push_back(m.WParam);
            receivingThread = GetCurrentThreadId();
            return;
        }
        m.Result = DefWindowProcW(window.Handle(), m.Msg, m.WParam, m.LParam);
    });
    std::thread worker([h = window.Handle()] {
        for (WPARAM i = 0; i < 500; ++i)
            PostMessageW(h, WM_USER + 1, i, 0);
    });
    worker.join();
    const Cardinal start = GetTickCount32();
    while (received.size() < 500 && GetTickCount32() - start < 5000)
        Application->ProcessMessages();
    ASSERT_EQ(received.size(), 500u);
    for (WPARAM i = 0; i < 500; ++i)
        ASSERT_EQ(received[i], i);
    EXPECT_EQ(receivingThread, GetCurrentThreadId());
}

TEST(Codepage, ChineseTextRoundTripsThroughUtf16)
{
    // The literal is stored as code page 936 bytes by the compiler.
    const String text = "读取完成！";
    ASSERT_EQ(text.size(), 10u);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xB6);
    EXPECT_EQ(static_cast<unsigned char>(text[1]), 0xC1);
    const WideString wide = StrToWide(text);
    EXPECT_EQ(wide, L"\u8BFB\u53D6\u5B8C\u6210\uFF01");
    EXPECT_EQ(WideToStr(wide), text);
    EXPECT_EQ(Utf8ToStr("\xE8\xAF\xBB"), String("读"));
    EXPECT_EQ(StrToWide(""), L"");
}

TEST(ApplicationPaths, ExePathEndsWithTheFolderSeparator)
{
    const String path = Application->ExePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.back(), '\\');
    EXPECT_NE(Application->ExeName().find("framework_tests"), String::npos);
}

} // namespace

namespace {

// Message boxes carry the program's name as their caption, as on the
// platform: the application's title, which defaults to the executable's
// name without its extension.
TEST(ApplicationTitle, MessageBoxesCarryTheProgramsName)
{
    std::vector<String> captions;
    Application->MessageBoxHook = [&](const String&, const String& caption, UINT) {
        captions.push_back(caption);
        return IDOK;
    };
    ShowMessage("shown");
    MessageDlg("asked", mtConfirmation, mbYes | mbNo);
    GuardCallback([] { throw Exception("failed"); });
    Application->Title = "Brimsel V1.30C";
    ShowMessage("shown with a title");
    GuardCallback([] { throw Exception("failed with a title"); });
    Application->Title.clear();
    Application->MessageBoxHook = nullptr;
    const std::vector<String> expected = {"framework_tests", "framework_tests", "framework_tests", "Brimsel V1.30C",
                                          "Brimsel V1.30C"};
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(Application->TitleText(), "framework_tests");
}

} // namespace

// The message boxes the programs show (Application->MessageBox, the
// system's box): measured on the real box while it runs, a box is wide
// enough for its caption's text in the system's caption font with the close
// button, and its contents stay centred and whole.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "tests/support/GuiHarness.h"

namespace {

// What a running box showed.
struct BoxSeen {
    bool Found = false;
    RECT Window{};
    RECT Client{};
    RECT Button{};   // the OK button, client coordinates
    RECT Text{};     // the message's text control, client coordinates
};

HWND ThreadDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND Wnd, LPARAM Param) {
            wchar_t name[16] = {};
            GetClassNameW(Wnd, name, 16);
            if (IsWindowVisible(Wnd) && lstrcmpW(name, L"#32770") == 0) {
                *reinterpret_cast<HWND*>(Param) = Wnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

RECT ChildRect(HWND Box, HWND Child)
{
    RECT r{};
    GetWindowRect(Child, &r);
    MapWindowPoints(nullptr, Box, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The box being measured: what it showed, its text, when it was shown.
BoxSeen Seen;
WideString SeenText;
DWORD ShownAt = 0;

// Measures the box once it is there, and closes it; a box not measured
// within 10 s is closed all the same.
void CALLBACK MeasureBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = ThreadDialog();
    if (box == nullptr || Seen.Found)
        return;
    if (GetTickCount() - ShownAt < 10000) {
        Seen.Found = true;
        GetWindowRect(box, &Seen.Window);
        GetClientRect(box, &Seen.Client);
        if (HWND ok = GetDlgItem(box, IDOK))
            Seen.Button = ChildRect(box, ok);
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t caption[256] = {};
            GetWindowTextW(child, caption, 256);
            if (SeenText == caption)
                Seen.Text = ChildRect(box, child);
        }
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// Shows the box through the application (not answered by the tests' hook)
// and measures it from a thread timer, which the box's own loop runs.
BoxSeen ShowAndMeasure(const String& Text, const String& Caption)
{
    Seen = BoxSeen{};
    SeenText = StrToWide(Text);
    ShownAt = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, MeasureBox);
    const TMessageBoxHook saved = Application->MessageBoxHook;
    Application->MessageBoxHook = nullptr;
    Application->MessageBox(Text, Caption, MB_OK);
    Application->MessageBoxHook = saved;
    KillTimer(nullptr, timer);
    return Seen;
}

// The caption's text width in the system's caption font.
int CaptionTextWidth(const String& Caption)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    HGDIOBJ old = SelectObject(dc, font);
    const WideString wide = StrToWide(Caption);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

TEST(MessageBox, IsWideEnoughForItsCaptionWithItsContentsCentred)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    const struct {
        const char* Name;
        String Text;
        String Caption;
    } cases[] = {
        {"short text, the program's title", "无效数据", "Vantrel"},
        {"short text, a long caption", "无效数据", "Brimsel 红外转发器配置工具：端口参数设置"},
        {"long text, short caption", "设置失败！请检查串口、波特率与模块ID是否与设备一致，然后再试一次。", "Brimsel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const BoxSeen box = ShowAndMeasure(c.Text, c.Caption);
        ASSERT_TRUE(box.Found) << "no message box was seen";
        const int width = box.Window.right - box.Window.left;
        // The caption's text and the close button, inside the box's frame.
        const int needed =
            CaptionTextWidth(c.Caption) + metrics.iCaptionWidth + 2 * GetSystemMetrics(SM_CXFIXEDFRAME);
        EXPECT_GE(width, needed) << "box " << width << " px, caption text " << CaptionTextWidth(c.Caption) << " px";
        // The button is centred (the platform's own layout puts it a few
        // pixels off), and the text shows whole.
        const int buttonCentre = (box.Button.left + box.Button.right) / 2;
        EXPECT_NEAR(buttonCentre, box.Client.right / 2, 4) << "client " << box.Client.right << " px wide";
        EXPECT_GE(box.Text.left, 0);
        EXPECT_LE(box.Text.right, box.Client.right);
        EXPECT_GT(box.Text.right, box.Text.left) << "the text control was found";
    }
}

} // namespace

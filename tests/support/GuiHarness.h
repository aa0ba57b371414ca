#pragma once
// Drives real forms in GUI tests: pumps messages with a time bound, clicks
// and types through window messages, reads pixels back, answers message
// boxes, file dialogs, pop-up menus and modal forms from the test instead of
// blocking, and writes screenshots.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "framework/FileDialogs.h"
#include "framework/Form.h"
#include "framework/Menus.h"

namespace gui {

// Handles messages until Done() holds or BoundMs milliseconds passed;
// returns Done().
bool PumpUntil(const std::function<bool()>& Done, Cardinal BoundMs = 10000);
// Handles messages for Ms milliseconds.
void PumpFor(Cardinal Ms);
// Handles the messages that are waiting now, and the painting they cause.
void Settle();

// A left click in the middle of a control: BM_CLICK for a button, else a
// press and release at its centre sent to the window under it.
void Click(TControl* Control);
// A press and release of a mouse button at a point of the control's client area.
void ClickAt(TControl* Control, int X, int Y, TMouseButton Button = mbLeft);
// A key pressed and released, posted to the window with the focus and run
// through the message loop (so that dialog keys work as for the user).
void PressKey(Word Key);
// A key pressed and released with Alt held, through the system's input
// queue (as from the keyboard) to the foreground window, then the messages
// it causes handled.
void PressAltKey(Word Key);
// Characters typed into the window with the focus (936 text, as the
// literals of the tests are).
void TypeText(const String& Text);

// The client area of a window as it is on the screen.
std::unique_ptr<TBitmap> Capture(HWND Wnd);
// The pixels of a control as its form shows them.
std::unique_ptr<TBitmap> CaptureControl(TControl* Control);
COLORREF PixelAt(TBitmap* Bitmap, int X, int Y);
// Pixels of the bitmap (within R) whose colour differs from Background.
int CountPixelsNot(TBitmap* Bitmap, COLORREF Background);
int CountPixelsNot(TBitmap* Bitmap, const TRect& R, COLORREF Background);

// Writes a PNG of the window as it is on the screen (frame included),
// taken with BitBlt from the screen DC. The PNG is written by the test
// itself (stored deflate blocks), so no image tool is needed in the Wine
// process; Path is a Windows path (Z:\... reaches the Unix file system).
void SaveScreenshot(HWND Wnd, const std::string& Path);
void SaveScreenshot(TCustomForm* Form, const std::string& Path);

// 936 text as UTF-8, for the messages of failing checks.
std::string Utf8(const String& Text);

// While alive, message boxes are answered with Answer (IDOK by default)
// and recorded.
class MessageBoxAnswers {
public:
    explicit MessageBoxAnswers(int Answer = IDOK);
    ~MessageBoxAnswers();
    MessageBoxAnswers(const MessageBoxAnswers&) = delete;
    MessageBoxAnswers& operator=(const MessageBoxAnswers&) = delete;

    struct Box {
        String Text;
        String Caption;
        UINT Flags;
    };
    std::vector<Box> Boxes;
    int Answer;

private:
    TMessageBoxHook FSaved;
};

// While alive, each modal form runs Script once it is shown; a form still
// modal BoundMs after that is ended with mrAbort and counted in TimedOut,
// so that a failing test never hangs. The watchdog is a timer on the modal
// form that stops when the run ends, and at the latest with this object.
class ModalScript {
public:
    explicit ModalScript(std::function<void(TCustomForm* Form)> Script, Cardinal BoundMs = 5000);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    int Shown = 0;
    int TimedOut = 0;

private:
    static void CALLBACK Watchdog(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);

    std::function<void(TCustomForm*)> FScript;
    Cardinal FBoundMs;
    std::map<HWND, Cardinal> FStarted;   // watched modal windows and the start of their run
};

// While alive, file dialogs are answered by Answer, which may set FileName.
class FileDialogAnswers {
public:
    explicit FileDialogAnswers(TFileDialogHook Answer);
    ~FileDialogAnswers();
    FileDialogAnswers(const FileDialogAnswers&) = delete;
    FileDialogAnswers& operator=(const FileDialogAnswers&) = delete;
};

// While alive, pop-up menus are answered by Answer (which sees the built
// Win32 menu and returns the command to click, or 0).
class PopupMenuAnswers {
public:
    explicit PopupMenuAnswers(TPopupMenuHook Answer);
    ~PopupMenuAnswers();
    PopupMenuAnswers(const PopupMenuAnswers&) = delete;
    PopupMenuAnswers& operator=(const PopupMenuAnswers&) = delete;
};

// Menu entries of a built Win32 menu, for checks: caption (UTF-8) and state.
struct MenuEntry {
    std::string Caption;
    UINT Command;
    bool Grayed;
    bool Checked;
};
std::vector<MenuEntry> MenuEntries(HMENU Menu);

} // namespace gui

// A message box that no test answers would wait for a click until the test
// program's time-out. While no MessageBoxAnswers (or a test's own hook) is
// in place, every message box is answered with IDOK and fails the running
// test with its text. Every test program that includes this header
// registers it; it is defined here, not in GuiHarness.cpp, because the
// support library is built without the test framework's headers.
#if __has_include(<gtest/gtest.h>)
#include <gtest/gtest.h>

namespace gui {

class UnexpectedMessageBoxes : public ::testing::Environment {
public:
    void SetUp() override
    {
        // The display is shared by the test programs one after another: park
        // the real cursor in the screen's far corner, so that where an
        // earlier program left it never lands over this program's windows.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        Application->MessageBoxHook = [](const String& Text, const String& Caption, UINT) {
            ADD_FAILURE() << "unexpected message box \"" << StrToUtf8(Caption) << "\": " << StrToUtf8(Text);
            return IDOK;
        };
    }
    void TearDown() override { Application->MessageBoxHook = nullptr; }
};

inline ::testing::Environment* const UnexpectedMessageBoxesEnvironment =
    ::testing::AddGlobalTestEnvironment(new UnexpectedMessageBoxes);

} // namespace gui
#endif

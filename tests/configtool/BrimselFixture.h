#pragma once
// Brimsel's two windows against the simulated extender: a fresh
// Configure.ini beside the test executable, the windows created as the
// program creates them, message boxes answered and recorded, and the
// device's frame log read back.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "configtool/UBrimsel.h"
#include "configtool/UKx40Set.h"
#include "tests/device/ByteText.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/SimDevice.h"

namespace brimsel_test {

using brimsel::TFmKX40;
using brimsel::TFmSim;

// The device's COM name: Brimsel's port lists hold only Com1 to Com8.
constexpr const char* DeviceCom = "COM7";
constexpr const char* DevicePortText = "Com7";

// Frame bytes with the check byte that makes the whole frame sum to FF.
std::string WithCheck(const std::string& HexWithoutCheck);

// Hex text without its blanks, as the device's log shows frames.
std::string Compact(const std::string& HexText);

// 936 literals as UTF-8, to compare with TakeBoxes and to print readably.
std::vector<std::string> Utf8s(std::initializer_list<const char*> Texts);

// Whole files by Windows path (Z:\... reaches the Unix file system).
std::string ReadBytes(const String& Path);
void WriteBytes(const String& Path, const std::string& Bytes);
bool PathExists(const String& Path);
void RemovePath(const String& Path);

// What the main window shows for the seven ports and the three switches, one
// line per port: "A 9600 无校验(-) 20" (parity state - unchecked, x
// checked, ? grayed), then "switches 接收关闭(-) ...". 936 text.
String PortsText(TFmKX40* Main);

// Types Text into an editable combo box as the user does: focus, select its
// text, type the characters (the list's selection is then gone, as on the
// platform).
void TypeInto(TComboBox* Box, const String& Text);

// A one-shot thread timer: runs Action from the message loop after Ms,
// also inside the waits of a running command (they handle messages).
void After(unsigned Ms, std::function<void()> Action);

class BrimselTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Configure.ini that points both windows at the device: serial port
    // Com7 at 38400 without parity, or TCP on 127.0.0.1 and the device's
    // port ("串口" or "网口" for each window). Extra lines are appended.
    std::string SettingsText(const char* MainLink = "串口", const char* TestLink = "串口",
                             const std::string& Extra = "") const;
    // Writes Configure.ini (none when Text is null) and creates the windows
    // the way the program does.
    void StartWindows(const std::string* Text);
    void DestroyWindows();
    // Fresh windows (the main window on "串口" or "网口") and a device in
    // its start-up state.
    void Restart(const char* MainLink = "串口");
    String SettingsPath() const;

    // The texts of the message boxes shown so far (UTF-8), then forgets them.
    std::vector<std::string> TakeBoxes();
    // Frames the device received, "LINK STATUS HEX" (connections and other
    // notes left out), oldest first.
    std::vector<std::string> Frames();
    // Waits (bounded) until the device logged at least N frames.
    std::vector<std::string> WaitFrames(std::size_t N, unsigned BoundMs = 10000);
    // The whole log lines of received frames, with their notes.
    std::vector<std::string> FrameLines();
    void ClearLog();

    // The test window's memo as one text (its lines joined without breaks).
    static std::string MemoText(TMemo* Memo);

    SimDevice Device{"", DeviceCom};
    TFmKX40* Main = nullptr;
    TFmSim* TestWnd = nullptr;
    std::unique_ptr<gui::MessageBoxAnswers> Boxes;
};

} // namespace brimsel_test

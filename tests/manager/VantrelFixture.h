#pragma once
// Vantrel's main window against the simulated extender: a Configure.ini
// beside the test executable that points at the device over loopback only,
// the forms created as the program creates them, message boxes answered and
// recorded, and the device's frame log read back.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "manager/UAbout.h"
#include "manager/UEdit.h"
#include "manager/UEditName.h"
#include "manager/URedEdit.h"
#include "tests/device/ByteText.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/SimDevice.h"

namespace vantrel_test {

using vantrel::TFmMain;

enum class Transport { Serial, Tcp };
const char* NameOf(Transport T);

// Whole files by Windows path.
std::string ReadBytes(const String& Path);
void WriteBytes(const String& Path, const std::string& Bytes);
void RemovePath(const String& Path);

// A code record of Length bytes: its own 16-bit length, then a pattern
// that depends on Seed.
String Record(std::size_t Length, int Seed);
std::string HexOf(const String& Bytes);
// The request as the transport sends it: the end byte AC on the serial
// port, the check byte over TCP.
std::string RequestHex(Transport T, const std::string& HeadHex);

// The room the tests add to each serial try's wait for the device's answer
// (see TStmLoad::SetExtraReplyWaitMs).
constexpr Cardinal ReplyRoomMs = 4000;

// A one-shot thread timer: runs Action from the message loop after Ms, also
// inside the waits of a running operation.
void After(unsigned Ms, std::function<void()> Action);

class VantrelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Configure.ini pointing at the device: TCP on 127.0.0.1 and the
    // device's port, serial "Com1" at 38400 (the device's own COM name is
    // typed in by UseSerial), ComSel as given. Extra lines are appended.
    std::string SettingsText(const char* ComSel = "True", const std::string& Extra = "") const;
    // Writes Configure.ini (none when Text is null) and creates the forms.
    void StartWindows(const std::string* Text);
    void DestroyWindows();
    String SettingsPath() const;

    // The transport controls set for the device.
    void UseSerial();
    void UseTcp();
    void Use(Transport T);

    // Loads a record into the device.
    void Store(int Channel, int Slot, const String& Bytes);
    // Selects a cell of the active table.
    void SelectCell(int Col, int Row);
    String Status() const;
    // The frames the device answered (ok or warn), as spaceless hex.
    std::vector<std::string> AnsweredFrames();
    std::vector<std::string> FramesStarting(const std::string& Prefix);
    std::vector<std::string> TxLog();
    std::vector<std::string> TakeBoxes();

    // The check box state and the number colour of a slot's number cell.
    bool SlotChecked(int Channel, int Slot);
    TColor SlotColor(int Channel, int Slot);

    SimDevice Device;
    TFmMain* Main = nullptr;
    vantrel::TFmAbout* About = nullptr;
    vantrel::TFmEditName* EditName = nullptr;
    vantrel::TForm1* CodeEditor = nullptr;
    std::unique_ptr<gui::MessageBoxAnswers> Boxes;
};

} // namespace vantrel_test

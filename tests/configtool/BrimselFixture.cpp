#include "tests/configtool/BrimselFixture.h"

#include <windows.h>

#include <map>
#include <sstream>

#include "configtool/UStmLoad.h"
#include "framework/Application.h"
#include "framework/Codepage.h"

namespace brimsel_test {

std::string WithCheck(const std::string& HexWithoutCheck)
{
    const std::string bytes = Hex(HexWithoutCheck);
    unsigned sum = 0;
    for (unsigned char c : bytes)
        sum += c;
    return ToHex(bytes + static_cast<char>(0xFF - (sum & 0xFF)));
}

std::string Compact(const std::string& HexText)
{
    std::string compact;
    for (char c : HexText)
        if (c != ' ')
            compact.push_back(c);
    return compact;
}

std::vector<std::string> Utf8s(std::initializer_list<const char*> Texts)
{
    std::vector<std::string> texts;
    for (const char* text : Texts)
        texts.push_back(gui::Utf8(text));
    return texts;
}

std::string ReadBytes(const String& Path)
{
    std::string bytes;
    HANDLE file = CreateFileW(StrToWide(Path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const String& Path, const std::string& Bytes)
{
    HANDLE file = CreateFileW(StrToWide(Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << gui::Utf8(Path);
    DWORD written = 0;
    WriteFile(file, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, Bytes.size()) << gui::Utf8(Path);
}

bool PathExists(const String& Path)
{
    return GetFileAttributesW(StrToWide(Path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemovePath(const String& Path)
{
    const WideString wide = StrToWide(Path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        RemoveDirectoryW(wide.c_str());
    else
        DeleteFileW(wide.c_str());
}

String PortsText(TFmKX40* Main)
{
    static const char* const names[7] = {"A", "B", "C", "D", "E", "F", "H"};
    auto state = [](const TCustomCheckBox* Box) {
        return String(Box->State() == cbChecked ? "(x)" : Box->State() == cbGrayed ? "(?)" : "(-)");
    };
    String text;
    for (int port = 0; port < 7; ++port) {
        const TFmKX40::TPortControls c = Main->PortControls(port);
        text += String(names[port]) + " " + c.Baud->Text() + " " + c.Parity->Caption() + state(c.Parity) + " " +
                c.TimeOut->Text() + "\n";
    }
    text += "switches";
    for (TCheckBox* box : {Main->CheckBox5, Main->CheckBox6, Main->CheckBox7}) {
        text += ' ';
        text += box->Caption() + state(box);
    }
    return text;
}

void TypeInto(TComboBox* Box, const String& Text)
{
    SetForegroundWindow(GetAncestor(Box->Handle(), GA_ROOT));
    Box->SetFocus();
    gui::Settle();
    SendMessageW(Box->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    gui::TypeText(Text);
    gui::Settle();
}

namespace {

std::map<UINT_PTR, std::function<void()>>& PendingActions()
{
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    auto found = PendingActions().find(Id);
    if (found == PendingActions().end())
        return;
    const std::function<void()> action = std::move(found->second);
    PendingActions().erase(found);
    action();
}

} // namespace

void After(unsigned Ms, std::function<void()> Action)
{
    const UINT_PTR id = SetTimer(nullptr, 0, Ms, RunPendingAction);
    PendingActions()[id] = std::move(Action);
}

void BrimselTest::SetUp()
{
    ASSERT_TRUE(Device.Started()) << Device.StartError();
    Boxes = std::make_unique<gui::MessageBoxAnswers>();
    // The device's answers reach the program through Wine on a machine that
    // may be loaded many times over: the serial commands get room to wait
    // for them (the program's own waits are the commands' polls alone).
    brimsel::TStmLoad::SetExtraPolls(4000);
    const std::string text = SettingsText();
    StartWindows(&text);
}

void BrimselTest::TearDown()
{
    DestroyWindows();
    // Timers of a test that failed early must not run in the next one.
    for (auto& [id, action] : PendingActions())
        KillTimer(nullptr, id);
    PendingActions().clear();
    RemovePath(SettingsPath());
    // A close of the main window posted a quit message: take it here, so
    // that the next test starts with a running application.
    gui::Settle();
    Application->ResetTerminated();
    Boxes.reset();
}

String BrimselTest::SettingsPath() const { return Application->ExePath() + "Configure.ini"; }

std::string BrimselTest::SettingsText(const char* MainLink, const char* TestLink, const std::string& Extra) const
{
    const std::string port = std::to_string(Device.TcpPort());
    auto link = [&](const char* Section, const char* Choice) {
        return std::string("[") + Section + "]\r\nSelPort=" + Choice + "\r\nSerBand=38400\r\nUsart=" + DevicePortText +
               "\r\nNetIP=127.0.0.1\r\nNetPort=" + port + "\r\n";
    };
    return link("Dowload", MainLink) + link("SimForm", TestLink) + Extra;
}

void BrimselTest::StartWindows(const std::string* Text)
{
    RemovePath(SettingsPath());
    if (Text != nullptr)
        WriteBytes(SettingsPath(), *Text);
    // As the program starts: the main window (the main form), then the
    // hidden test window, which reads the settings into both.
    Application->CreateForm(Main);
    Application->CreateForm(TestWnd);
    Main->Show();
    gui::Settle();
}

void BrimselTest::DestroyWindows()
{
    delete TestWnd;
    TestWnd = nullptr;
    delete Main;
    Main = nullptr;
    Application->MainForm = nullptr;
}

void BrimselTest::Restart(const char* MainLink)
{
    DestroyWindows();
    const std::string text = SettingsText(MainLink);
    StartWindows(&text);
    ASSERT_TRUE(Device.CtlOk("reset"));
    TakeBoxes();
}

std::vector<std::string> BrimselTest::TakeBoxes()
{
    std::vector<std::string> texts;
    for (const auto& box : Boxes->Boxes)
        texts.push_back(gui::Utf8(box.Text));
    Boxes->Boxes.clear();
    return texts;
}

std::vector<std::string> BrimselTest::FrameLines()
{
    // "- T LINK STATUS HEX NOTE"; "info" lines are connections.
    std::vector<std::string> lines;
    std::istringstream in(Device.Ctl("log"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string dash, time, link, status, hex;
        if (!(words >> dash >> time >> link >> status >> hex) || dash != "-" || status == "info" || hex == "-")
            continue;
        lines.push_back(line.substr(line.find(link)));
    }
    return lines;
}

std::vector<std::string> BrimselTest::Frames()
{
    std::vector<std::string> frames;
    for (const std::string& line : FrameLines()) {
        std::istringstream words(line);
        std::string link, status, hex;
        words >> link >> status >> hex;
        frames.push_back(link + " " + status + " " + hex);
    }
    return frames;
}

std::vector<std::string> BrimselTest::WaitFrames(std::size_t N, unsigned BoundMs)
{
    std::vector<std::string> frames;
    gui::PumpUntil([&] { return (frames = Frames()).size() >= N; }, BoundMs);
    return frames;
}

void BrimselTest::ClearLog() { Device.CtlOk("log clear"); }

std::string BrimselTest::MemoText(TMemo* Memo)
{
    std::string text;
    for (int i = 0; i < Memo->Lines()->Count(); ++i)
        text += Memo->Lines()->Strings(i);
    return text;
}

} // namespace brimsel_test

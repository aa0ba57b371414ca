#include "tests/manager/VantrelFixture.h"

#include <windows.h>

#include <map>
#include <sstream>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/StrUtils.h"

namespace vantrel_test {

const char* NameOf(Transport T) { return T == Transport::Serial ? "serial" : "tcp"; }

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

void RemovePath(const String& Path)
{
    const WideString wide = StrToWide(Path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        vantrel::DeleteFolderTree(Path);
    else
        DeleteFileW(wide.c_str());
}

String Record(std::size_t Length, int Seed)
{
    String r(Length, '\0');
    for (std::size_t i = 2; i < Length; ++i)
        r[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(Seed) * 31) & 0xFF);
    if (Length >= 1)
        r[0] = static_cast<char>(Length & 0xFF);
    if (Length >= 2)
        r[1] = static_cast<char>((Length >> 8) & 0xFF);
    return r;
}

std::string HexOf(const String& Bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : Bytes) {
        text.push_back(digits[c >> 4]);
        text.push_back(digits[c & 15]);
    }
    return text;
}

std::string RequestHex(Transport T, const std::string& HeadHex)
{
    if (T == Transport::Serial)
        return HeadHex + "AC";
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < HeadHex.size(); i += 2)
        sum += static_cast<unsigned>(std::stoul(HeadHex.substr(i, 2), nullptr, 16));
    return HeadHex + HexOf(String(1, static_cast<char>(~sum & 0xFF)));
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

void VantrelTest::SetUp()
{
    ASSERT_TRUE(Device.Started()) << Device.StartError();
    Boxes = std::make_unique<gui::MessageBoxAnswers>();
    // The program's state shared with the device link starts afresh, as in
    // a new run.
    vantrel::RawSendToggles.fill(0);
    // The device's answers reach the program through Wine on a machine that
    // may be loaded many times over: the serial tries get room to wait for
    // them (the programs' own waits are the polls and the line time alone).
    vantrel::TStmLoad::SetExtraReplyWaitMs(ReplyRoomMs);
    for (String& entry : vantrel::ReadBuffer)
        entry.clear();
    const std::string text = SettingsText();
    StartWindows(&text);
}

void VantrelTest::TearDown()
{
    DestroyWindows();
    for (auto& [id, action] : PendingActions())
        KillTimer(nullptr, id);
    PendingActions().clear();
    RemovePath(SettingsPath());
    gui::Settle();
    Application->ResetTerminated();
    Boxes.reset();
}

String VantrelTest::SettingsPath() const { return Application->ExePath() + "Configure.ini"; }

std::string VantrelTest::SettingsText(const char* ComSel, const std::string& Extra) const
{
    return "[Vantrel]\r\nIP=127.0.0.1\r\nPort=" + std::to_string(Device.TcpPort()) +
           "\r\nCom=Com1\r\nBand=38400\r\nComSel=" + ComSel + "\r\nID=FE\r\n" + Extra;
}

void VantrelTest::StartWindows(const std::string* Text)
{
    RemovePath(SettingsPath());
    if (Text != nullptr)
        WriteBytes(SettingsPath(), *Text);
    // As the program starts: the main window, the about box, the name
    // dialog, the code editor.
    Application->CreateForm(Main);
    Application->CreateForm(About);
    Application->CreateForm(EditName);
    Application->CreateForm(CodeEditor);
    Main->Show();
    gui::Settle();
}

void VantrelTest::DestroyWindows()
{
    delete CodeEditor;
    CodeEditor = nullptr;
    delete EditName;
    EditName = nullptr;
    delete About;
    About = nullptr;
    // The window writes its address at exit: one still showing the form's
    // default (a real network's address) is pointed at loopback first, so
    // no test leaves a non-loopback address in a settings file.
    if (Main != nullptr && Main->EtServerHost->Text() == "192.168.1.145")
        Main->EtServerHost->SetText("127.0.0.1");
    delete Main;
    Main = nullptr;
    Application->MainForm = nullptr;
}

void VantrelTest::UseSerial()
{
    Main->RadioButton2->SetChecked(true);
    Main->CbCom->SetText(Device.ComName());
    Main->CbBand->SetItemIndex(Main->CbBand->Items()->IndexOf("38400"));
}

void VantrelTest::UseTcp()
{
    Main->RadioButton1->SetChecked(true);
    Main->EtServerHost->SetText("127.0.0.1");
    Main->EtServerPort->SetText(IntToStr(Device.TcpPort()));
}

void VantrelTest::Use(Transport T)
{
    if (T == Transport::Serial)
        UseSerial();
    else
        UseTcp();
}

void VantrelTest::Store(int Channel, int Slot, const String& Bytes)
{
    ASSERT_TRUE(Device.CtlOk("slot set " + std::to_string(Channel) + " " + std::to_string(Slot) + " " + HexOf(Bytes)));
}

void VantrelTest::SelectCell(int Col, int Row)
{
    Main->ChannelGrid(Main->RedMems->ActivePageIndex())->SelectCellRange(Col, Col, Row, Row);
}

String VantrelTest::Status() const { return Main->qStatusBar1->Panels()->Items(0)->Text(); }

std::vector<std::string> VantrelTest::AnsweredFrames()
{
    std::vector<std::string> frames;
    std::istringstream in(Device.Ctl("log"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string dash, time, link, status, hex;
        if (!(words >> dash >> time >> link >> status >> hex) || dash != "-")
            continue;
        if (status == "ok" || status == "warn")
            frames.push_back(hex);
    }
    return frames;
}

std::vector<std::string> VantrelTest::FramesStarting(const std::string& Prefix)
{
    std::vector<std::string> frames;
    for (const std::string& f : AnsweredFrames())
        if (f.rfind(Prefix, 0) == 0)
            frames.push_back(f);
    return frames;
}

std::vector<std::string> VantrelTest::TxLog()
{
    std::vector<std::string> lines;
    std::istringstream in(Device.Ctl("txlog"));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("- ", 0) == 0) {
            const auto at = line.find(' ', 2);
            lines.push_back(at == std::string::npos ? line : line.substr(at + 1));
        }
    return lines;
}

std::vector<std::string> VantrelTest::TakeBoxes()
{
    std::vector<std::string> texts;
    for (const auto& box : Boxes->Boxes)
        texts.push_back(gui::Utf8(box.Text));
    Boxes->Boxes.clear();
    return texts;
}

bool VantrelTest::SlotChecked(int Channel, int Slot)
{
    bool state = false;
    Main->ChannelGrid(Channel)->GetCheckBoxState((Slot / 20) * 2, Slot % 20, state);
    return state;
}

TColor VantrelTest::SlotColor(int Channel, int Slot)
{
    return Main->ChannelGrid(Channel)->EnsureCellProperties((Slot / 20) * 2, Slot % 20)->FontColor;
}

} // namespace vantrel_test

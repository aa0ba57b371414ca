#include "configtool/UKx40Set.h"

#include <shellapi.h>

#include "configtool/ParamBlock.h"
#include "configtool/UBrimsel.h"
#include "configtool/UIniFile.h"
#include "configtool/UNetTask.h"
#include "configtool/UStmLoad.h"
#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Dialogs.h"
#include "framework/StrUtils.h"

namespace brimsel {

TFmKX40* FmKX40 = nullptr;

namespace {

constexpr int SetParamsPolls = 400;
constexpr int SetSwitchesPolls = 400;
constexpr int GetAllPolls = 300;
// After the window's own polls, how long it still waits for a worker that
// is finishing its job, so that no job starts under a running one.
constexpr int WorkerFinishBoundMs = 3000;

bool FileExists(const String& Name)
{
    const DWORD attributes = GetFileAttributesW(StrToWide(Name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

TFmKX40::TFmKX40(TComponent* AOwner) : TForm(AOwner)
{
    FmKX40 = this;
    SetCaption("Brimsel V1.30C");
    SetBorderStyle(bsDialog);
    SetClientSize(686, 380);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    CreateControls();
    BindEvents();
    BeginLoading();
    EndLoading();
}

TFmKX40::~TFmKX40()
{
    // OnDestroy (FormDestroy) runs while the whole window is still alive.
    DestroyForm();
    if (FmKX40 == this)
        FmKX40 = nullptr;
}

TFmKX40::TPortControls TFmKX40::PortControls(int Port) const
{
    const TPortControls ports[7] = {
        {ComboBox13, CheckBox9, ComboBox1},  {ComboBox4, CheckBox1, ComboBox7},   {ComboBox8, CheckBox2, ComboBox9},
        {ComboBox10, CheckBox3, ComboBox11}, {ComboBox16, CheckBox10, ComboBox2}, {ComboBox19, CheckBox11, ComboBox3},
        {ComboBox12, CheckBox4, ComboBox5},
    };
    return ports[Port];
}

void TFmKX40::FormCreate(TObject*)
{
    CheckBox8->SetDoubleBuffered(true);
    TComboBox* lists[7] = {ComboBox1, ComboBox7, ComboBox9, ComboBox11, ComboBox2, ComboBox3, ComboBox5};
    for (int i = 1; i <= 255; ++i) {
        for (TComboBox* list : lists)
            list->Items()->Add(IntToStr(i * 20));
        MO_ID->Items()->Add(IntToHex(static_cast<unsigned>(i), 2));
    }
    ComboBox5->Items()->Insert(0, "0");
    for (TComboBox* list : lists)
        list->SetItemIndex(0);
    MO_ID->SetItemIndex(0);
    EcComm->CreateParser();
    FWorker = TThread::New<TStmLoad>(this);
}

// ---- parameter block ------------------------------------------------------

String TFmKX40::BuildParamData()
{
    const TComboBox* checked[] = {ComboBox13, ComboBox1, ComboBox16, ComboBox2, ComboBox19, ComboBox3};
    for (const TComboBox* box : checked)
        if (!IsNumText(box->Text()))
            return String();
    // The value a box shows is the value sent: a typed text is looked up in
    // the list, and one that names no entry refuses the block rather than
    // sending the value of some other position.
    int baud[7];
    int timeOut[7];
    for (int port = 0; port < 7; ++port) {
        const TPortControls c = PortControls(port);
        baud[port] = ExactItemIndex(c.Baud);
        timeOut[port] = ExactItemIndex(c.TimeOut);
        if (baud[port] < 0 || timeOut[port] < 0)
            return String();
    }
    String data;
    for (int port = 0; port < 7; ++port)
        data.push_back(static_cast<char>(PortByte(baud[port], ParityCode(PortControls(port).Parity->State()))));
    for (int port = 0; port < 6; ++port)
        data.push_back(static_cast<char>(timeOut[port] + 1));
    data.push_back(static_cast<char>(timeOut[6]));
    return data;
}

bool TFmKX40::ModuleAddress(Byte& Address) const
{
    const int index = ExactItemIndex(MO_ID);
    if (index < 0)
        return false;
    Address = static_cast<Byte>(index + 1);
    return true;
}

String TFmKX40::BuildSwitchData()
{
    String data;
    for (TCheckBox* box : {CheckBox5, CheckBox6, CheckBox7})
        data.push_back(static_cast<char>(box->Checked() ? 0x00 : 0xFF));
    return data;
}

void TFmKX40::ShowPortByte(Byte PortByte, TComboBox* Baud, TCheckBox* Parity)
{
    // A high nibble of 10 to 15 names no list entry and leaves no selection.
    const int baud = PortByte >> 4;
    Baud->SetItemIndex(baud < BaudRateCount ? baud : -1);
    switch (PortByte & 0x0F) {
    case 1:
        Parity->SetCaption("奇校验");
        Parity->SetState(cbGrayed);
        break;
    case 2:
        Parity->SetCaption("偶校验");
        Parity->SetState(cbChecked);
        break;
    default:
        Parity->SetState(cbUnchecked);
        Parity->SetCaption("无校验");
        break;
    }
}

void TFmKX40::ShowSwitchByte(Byte SwitchByte, TCheckBox* Switch)
{
    const bool on = SwitchByte == 0;
    Switch->SetChecked(on);
    Switch->SetCaption(on ? "接收开启" : "接收关闭");
}

void TFmKX40::ShowParams(const String& Block)
{
    for (int port = 0; port < 7; ++port) {
        const TPortControls c = PortControls(port);
        ShowPortByte(ByteAt(Block, static_cast<std::size_t>(port)), c.Baud, c.Parity);
    }
    for (int port = 0; port < 6; ++port)
        PortControls(port).TimeOut->SetItemIndex(ByteAt(Block, 7 + static_cast<std::size_t>(port)) - 1);
    ComboBox5->SetItemIndex(ByteAt(Block, 13));
    ShowSwitchByte(ByteAt(Block, 14), CheckBox5);
    ShowSwitchByte(ByteAt(Block, 15), CheckBox6);
    ShowSwitchByte(ByteAt(Block, 16), CheckBox7);
}

// ---- commands ---------------------------------------------------------------

void TFmKX40::ReopenLink(const String& BaudText, Byte Code)
{
    // The serial link is shared with the function-test window: a command
    // here takes it over, so the test window's link is closed first.
    if (FmSim != nullptr && FmSim->HoldsSerialLink())
        FmSim->BnCloseClick(FmSim);
    EcComm->ReopenPort(ComboBox6->Text(), static_cast<Cardinal>(StrToInt(BaudText)), Code);
}

bool TFmKX40::RunSerialJob(Byte Kind, const String& Data, int Polls)
{
    // The module ID is read here, on the main thread (the caller checked
    // it); the worker takes it with the job.
    Byte address = 0;
    ModuleAddress(address);
    TStmLoad& worker = *FWorker;
    worker.WaitIdle(WorkerFinishBoundMs);
    worker.JobKind = Kind;
    worker.JobAddress = address;
    worker.JobData = Data;
    worker.Done = false;
    worker.StartJob();
    const bool ok = worker.WaitDone(Polls);
    worker.WaitIdle(WorkerFinishBoundMs);
    return ok || worker.Done;
}

bool TFmKX40::SendParams(const String& BaudText, Byte Code)
{
    String data = BuildParamData();
    if (data.empty()) {
        ShowMessage("设置参数非法！");
        return false;
    }
    data.insert(data.begin(), static_cast<char>(SetParamsSelector));
    if (RadioButton1->Checked()) {
        if (!CheckModuleId())
            return false;
        ReopenLink(BaudText, Code);
        return RunSerialJob(TStmLoad::JobSetParams, data, SetParamsPolls);
    }
    return NetSetParams(data);
}

bool TFmKX40::SendSwitches(const String& BaudText, Byte Code)
{
    String data = BuildSwitchData();
    data.insert(data.begin(), static_cast<char>(SetSwitchesSelector));
    if (RadioButton1->Checked()) {
        if (!CheckModuleId())
            return false;
        ReopenLink(BaudText, Code);
        return RunSerialJob(TStmLoad::JobSetSwitches, data, SetSwitchesPolls);
    }
    return NetSetSwitches(data);
}

bool TFmKX40::ReadParams(const String& BaudText, Byte Code)
{
    String data;
    bool ok;
    if (RadioButton1->Checked()) {
        if (!CheckModuleId())
            return false;
        ReopenLink(BaudText, Code);
        ok = RunSerialJob(TStmLoad::JobGetAll, String(), GetAllPolls);
        data = FWorker->Reply.SData();
    } else {
        data = NetGetParams();
        ok = !data.empty();
    }
    if (!ok || data.size() != ParamBlockSize)
        return false;
    ShowParams(data);
    return true;
}

bool TFmKX40::CheckModuleId()
{
    Byte address = 0;
    if (ModuleAddress(address))
        return true;
    ShowMessage("设置参数非法！");
    return false;
}

Byte TFmKX40::LinkParityCode() const { return ParityCode(CheckBox8->State()); }

String TFmKX40::LinkBaudText()
{
    if (ComboBox14->ItemIndex() < 0)
        ComboBox14->SetItemIndex(0);
    return ComboBox14->Text();
}

void TFmKX40::SetCommandButtonsEnabled(bool Value)
{
    for (TButton* b : {Button5, Button3, Button6, Button11})
        b->SetEnabled(Value);
}

template <class F>
void TFmKX40::RunDeviceCommand(F Command)
{
    if (FBusy)
        return;
    FBusy = true;
    // The link chosen when the command starts decides what is closed at its
    // end, even if the user changes the choice while the command waits.
    FCommandSerial = RadioButton1->Checked();
    SetCommandButtonsEnabled(false);
    struct TEnd {
        TFmKX40* Window;
        ~TEnd()
        {
            if (Window->FCommandSerial)
                Window->EcComm->ClosePort();
            Window->SetCommandButtonsEnabled(true);
            Window->FBusy = false;
            Window->FCommandSerial = false;
            if (Window->FCloseWhenIdle) {
                Window->FCloseWhenIdle = false;
                PostMessageW(Window->Handle(), WM_CLOSE, 0, 0);
            }
        }
    } end{this};
    Command();
}

void TFmKX40::Button5Click(TObject*)
{
    RunDeviceCommand([this] {
        const Byte code = LinkParityCode();
        const String baud = LinkBaudText();
        ShowMessage(SendParams(baud, code) ? "设置成功！" : "设置失败！");
    });
}

void TFmKX40::Button3Click(TObject*)
{
    RunDeviceCommand([this] {
        const Byte code = LinkParityCode();
        const String baud = LinkBaudText();
        ShowMessage(SendSwitches(baud, code) ? "设置成功！" : "设置失败！");
    });
}

void TFmKX40::Button6Click(TObject*)
{
    RunDeviceCommand([this] {
        const Byte code = LinkParityCode();
        const String baud = LinkBaudText();
        ShowMessage(ReadParams(baud, code) ? "获取成功！" : "获取失败！");
    });
}

void TFmKX40::Button11Click(TObject*)
{
    RunDeviceCommand([this] {
        // A module ID that names no entry is refused once, not at every get.
        if (RadioButton1->Checked() && !CheckModuleId()) {
            ShowMessage("获取失败！");
            return;
        }
        if (ComboBox14->ItemIndex() < 0)
            ComboBox14->SetItemIndex(0);
        const int passes = ComboBox14->Items()->Count();
        for (int pass = 0; pass < passes; ++pass) {
            for (Byte code = 0; code <= 2; ++code) {
                static const TCheckBoxState states[3] = {cbUnchecked, cbGrayed, cbChecked};
                CheckBox8->SetCaption(ParityCaption(states[code]));
                CheckBox8->SetState(states[code]);
                if (ReadParams(ComboBox14->Text(), code)) {
                    ShowMessage("获取成功！");
                    return;
                }
                if (RadioButton2->Checked()) {
                    ShowMessage("获取失败！");
                    return;
                }
            }
            ComboBox14->SetItemIndex((ComboBox14->ItemIndex() + 1) % passes);
        }
        ShowMessage("获取失败！");
    });
}

// ---- caption rules and link choice ------------------------------------------

void TFmKX40::CheckBox9Click(TObject* Sender)
{
    // Also the download link's skinned parity box: its caption names the
    // parity it uses.
    auto* box = dynamic_cast<TCustomCheckBox*>(Sender);
    if (box == nullptr)
        return;
    box->SetCaption(ParityCaption(box->State()));
    box->Repaint();
}

void TFmKX40::CheckBox5Click(TObject* Sender)
{
    auto* box = dynamic_cast<TCheckBox*>(Sender);
    if (box == nullptr)
        return;
    box->SetCaption(box->Checked() ? "接收开启" : "接收关闭");
    box->Repaint();
}

void TFmKX40::RadioButton1Click(TObject*)
{
    const bool serial = RadioButton1->Checked();
    ComboBox6->SetEnabled(serial);
    ComboBox14->SetEnabled(serial);
    EtServerHost->SetEnabled(RadioButton2->Checked());
    EtServerPort->SetEnabled(RadioButton2->Checked());
}

// ---- settings files, other windows and programs ----------------------------

String TFmKX40::WithIniExtension(TOpenDialog* Dialog)
{
    String name = Dialog->FileName;
    const auto slash = name.find_last_of("\\/");
    const auto dot = name.find_last_of('.');
    if (dot != String::npos && (slash == String::npos || dot > slash))
        name.erase(dot);
    name += ".ini";
    Dialog->FileName = name;
    return name;
}

void TFmKX40::Button1Click(TObject*)
{
    if (SaveDialog1->Execute())
        SaveIniFile(WithIniExtension(SaveDialog1));
}

void TFmKX40::Button2Click(TObject*)
{
    if (!OpenDialog1->Execute())
        return;
    const String name = WithIniExtension(OpenDialog1);
    if (!FileExists(name)) {
        ShowMessage("文件不存在！");
        return;
    }
    // Loading changes the test window's link choice: its open link is closed first.
    if (FmSim != nullptr && FmSim->BnClose->Enabled())
        FmSim->BnCloseClick(FmSim);
    LoadIniFile(name);
}

void TFmKX40::Button8Click(TObject*) { FmSim->Show(); }

void TFmKX40::Button7Click(TObject*)
{
    // The manager's executable beside this one; a missing one shows nothing.
    const WideString program = StrToWide(Application->ExePath() + "Vantrel.exe");
    ShellExecuteW(nullptr, nullptr, program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

String TFmKX40::SettingsFileName() const { return Application->ExePath() + "Configure.ini"; }

void TFmKX40::FormCloseQuery(TObject*, bool& CanClose)
{
    // A command still waiting for the device ends first; the window then closes.
    if (FBusy) {
        FCloseWhenIdle = true;
        CanClose = false;
    }
}

void TFmKX40::FormClose(TObject*, TCloseAction&)
{
    // A settings file that cannot be written is reported, and the program
    // still closes.
    try {
        SaveIniFile(SettingsFileName());
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
}

void TFmKX40::FormDestroy(TObject*)
{
    if (FWorker) {
        std::unique_ptr<TThread> worker(FWorker.release());
        TThread::StopAndFree(worker, 2000);
    }
}

// ---- serial link events -------------------------------------------------------

void TFmKX40::EcCommReceiveData(TObject*, void* Buffer, Word BufferLength)
{
    if (FmSim != nullptr && FmSim->Visible() && FmSim->HoldsSerialLink())
        FmSim->ShowReceived(String(static_cast<const char*>(Buffer), BufferLength));
}

void TFmKX40::EcCommAfterReceiveData(TObject*, void* Buffer, Word BufferLength)
{
    EcComm->Parser()->FeedBytes(Buffer, BufferLength);
}

void TFmKX40::EcCommGetFinish(TObject*, Byte Command, const String& SData)
{
    if (FWorker)
        FWorker->Reply.Store(Command, SData);
}

} // namespace brimsel

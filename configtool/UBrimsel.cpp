#include "configtool/UBrimsel.h"

#include "configtool/ParamBlock.h"
#include "configtool/UIniFile.h"
#include "configtool/UKx40Set.h"
#include "configtool/UNetTask.h"
#include "device/ServerAddress.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/IniFile.h"
#include "framework/NewControl.h"
#include "framework/StrUtils.h"
#include "framework/Ticks.h"

namespace brimsel {

TFmSim* FmSim = nullptr;

namespace {

const String CmdForward = "数据转发";
const String CmdVersion = "读版本号";
const String CmdInfrared = "红外发码";
const String CmdSetId = "设ID";
constexpr int MaxForwardBytes = 248;
const String InvalidId = "设置参数非法！";
// How long the bytes of a reply that has begun are gathered into one line
// while its rest is on the way.
constexpr Cardinal ReplyGatherMs = 1000;

String HexByte(int Value) { return IntToHex(static_cast<unsigned>(Value) & 0xFF, 2); }

void AddByte(String& Frame, int Value) { Frame.push_back(static_cast<char>(Value & 0xFF)); }

} // namespace

String BytesToHexText(const String& Bytes)
{
    String text;
    for (char b : Bytes)
        text += HexByte(static_cast<unsigned char>(b)) + " ";
    return text;
}

TFmSim::~TFmSim()
{
    DestroyForm();
    if (FmSim == this)
        FmSim = nullptr;
}

TFmSim::TFmSim(TComponent* AOwner) : TForm(AOwner)
{
    FmSim = this;
    SetCaption("功能测试");
    SetBorderStyle(bsDialog);
    SetClientSize(522, 278);
    CreateControls();
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    CbCMD->OnChange = [this](TObject* s) { CbCMDChange(s); };
    BnOpen->OnClick = [this](TObject* s) { BnOpenClick(s); };
    BnClose->OnClick = [this](TObject* s) { BnCloseClick(s); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
    CheckBox1->OnClick = [this](TObject* s) { CheckBox1Click(s); };
    BeginLoading();
    EndLoading();
}

void TFmSim::CreateControls()
{
    NewControl<TLabel>(this, this, 12, 14, 30, 13, "ID:  ");
    CbID = NewControl<TComboBox>(this, this, 44, 10, 60, 21);
    NewControl<TLabel>(this, this, 116, 14, 40, 13, "指令:  ");
    CbCMD = NewControl<TComboBox>(this, this, 158, 10, 100, 21);
    for (const String& c : {CmdForward, CmdVersion, CmdInfrared, CmdSetId})
        CbCMD->Items()->Add(c);
    CbCMD->SetText(CmdForward);

    LbPort = NewControl<TLabel>(this, this, 12, 44, 76, 13, "从控端口:   ");
    CbPort = NewControl<TComboBox>(this, this, 90, 40, 60, 21);
    CbPort->SetStyle(csDropDownList);
    LbCBData = NewControl<TLabel>(this, this, 162, 44, 48, 13, "数据:   ");
    CbData = NewControl<TComboBox>(this, this, 212, 40, 60, 21);
    CbData->SetStyle(csDropDownList);
    LbEtData = NewControl<TLabel>(this, this, 162, 44, 48, 13, "数据:   ");
    EtData = NewControl<TEdit>(this, this, 212, 40, 300, 21);
    EtData->SetHint("16进制数请用空格隔开");
    EtData->SetShowHint(true);
    Label3 = NewControl<TLabel>(this, this, 284, 44, 90, 13, "循环码次数:   ");
    Label3->SetHint("非循环码无效");
    Label3->SetShowHint(true);
    ComboBox1 = NewControl<TComboBox>(this, this, 376, 40, 60, 21);
    ComboBox1->SetStyle(csDropDownList);

    Memo1 = NewControl<TMemo>(this, this, 12, 72, 340, 130);
    Memo1->SetScrollBars(ssVertical);
    Memo1->SetReadOnly(true);
    Memo2 = NewControl<TMemo>(this, this, 12, 208, 340, 60);
    Memo2->SetScrollBars(ssVertical);
    Memo2->SetReadOnly(true);

    Button1 = NewControl<TButton>(this, this, 364, 243, 70, 25, "发送");
    BnOpen = NewControl<TButton>(this, this, 364, 208, 70, 25, "打开");
    BnClose = NewControl<TButton>(this, this, 442, 208, 70, 25, "关闭");
    BnClose->SetEnabled(false);

    RadioButton1 = NewControl<TRadioButton>(this, this, 364, 74, 60, 17, "串口");
    RadioButton2 = NewControl<TRadioButton>(this, this, 430, 74, 60, 17, "网口");
    RadioButton1->SetChecked(true);
    CheckBox1 = NewControl<TCheckBox>(this, this, 364, 188, 80, 17, "无校验");
    CheckBox1->AllowGrayed = true;

    GroupBox2 = NewControl<TGroupBox>(this, this, 360, 94, 152, 92, "下载设置");
    ComboBox6 = NewControl<TComboBox>(this, GroupBox2, 8, 18, 64, 21);
    for (int i = 1; i <= 8; ++i)
        ComboBox6->Items()->Add("Com" + IntToStr(i));
    ComboBox6->SetText("Com1");
    ComboBox14 = NewControl<TComboBox>(this, GroupBox2, 78, 18, 66, 21);
    ComboBox14->SetStyle(csDropDownList);
    for (const char* rate : BaudRates)
        ComboBox14->Items()->Add(rate);
    NewControl<TLabel>(this, GroupBox2, 8, 46, 30, 13, "IP:  ");
    EtServerHost = NewControl<TEdit>(this, GroupBox2, 44, 42, 100, 21);
    EtServerHost->SetText("192.168.1.100");
    NewControl<TLabel>(this, GroupBox2, 8, 70, 36, 13, "Port:  ");
    EtServerPort = NewControl<TEdit>(this, GroupBox2, 44, 66, 100, 21);
    EtServerPort->SetText("5000");

    IdTCPClient = new TTcpClient(this);
    FReplyParser = new TEcpTime(this);
    Timer1 = new TTimer(this);
    Timer1->SetInterval(20);
    Timer1->SetEnabled(false);
}

void TFmSim::FillHex(TComboBox* Box, int First, int Last)
{
    Box->Items()->Clear();
    for (int i = First; i <= Last; ++i)
        Box->Items()->Add(HexByte(i));
}

void TFmSim::FormCreate(TObject*)
{
    FillHex(CbID, 0, 255);
    FillHex(ComboBox1, 0, 255);
    CbID->SetItemIndex(0);
    ComboBox1->SetItemIndex(0);
    const String settings = Application->ExePath() + "Configure.ini";
    // A temporary file that a save killed at the last close left behind goes.
    TIniFile(settings).RemoveStaleTemporary();
    LoadIniFile(settings);
    SetCmdLayout(CbCMD->Text());
    CheckBox1->Invalidate();
}

void TFmSim::CbCMDChange(TObject*) { SetCmdLayout(CbCMD->Text()); }

void TFmSim::SetCmdLayout(const String& Command)
{
    Label3->SetVisible(false);
    ComboBox1->SetVisible(false);
    if (Command == CmdForward) {
        LbPort->SetCaption("从控端口:   ");
        LbPort->SetVisible(true);
        CbPort->SetVisible(true);
        LbEtData->SetVisible(true);
        EtData->SetVisible(true);
        EtData->SetText("");
        LbCBData->SetVisible(false);
        CbData->SetVisible(false);
        FillHex(CbPort, 0x0A, 0x0F);
        CbPort->SetItemIndex(0);
    } else if (Command == CmdVersion) {
        for (TControl* c : std::initializer_list<TControl*>{LbCBData, CbData, LbEtData, EtData, LbPort, CbPort})
            c->SetVisible(false);
    } else if (Command == CmdInfrared) {
        Label3->SetVisible(true);
        ComboBox1->SetVisible(true);
        LbCBData->SetCaption("数据:   ");
        LbCBData->SetVisible(true);
        CbData->SetVisible(true);
        LbPort->SetCaption("端口:  ");
        LbPort->SetVisible(true);
        CbPort->SetVisible(true);
        LbEtData->SetVisible(false);
        EtData->SetVisible(false);
        FillHex(CbPort, 1, 8);
        CbPort->SetItemIndex(0);
        CbData->Items()->Clear();
        for (int i = 0; i <= 99; ++i) {
            const char digits[3] = {static_cast<char>('0' + i / 10), static_cast<char>('0' + i % 10), '\0'};
            CbData->Items()->Add(digits);
        }
        CbData->SetItemIndex(0);
    } else if (Command == CmdSetId) {
        LbPort->SetCaption("New ID: ");
        LbPort->SetVisible(true);
        CbPort->SetVisible(true);
        LbCBData->SetCaption("数据:   ");
        LbCBData->SetVisible(false);
        CbData->SetVisible(false);
        LbEtData->SetVisible(false);
        EtData->SetVisible(false);
        FillHex(CbPort, 0, 255);
        CbPort->SetItemIndex(0);
    }
}

void TFmSim::GetData(String& Message, String& Data)
{
    Message.clear();
    Data.clear();
    TStringList parts;
    SplitText(EtData->Text(), &parts, ' ');
    for (int i = 0; i < parts.Count(); ++i) {
        String part = parts.Strings(i);
        if (part.size() > 2)
            part = part.substr(part.size() - 2);
        if (!IsHexText(part)) {
            Message = "非十六进制数:" + part;
            Data.clear();
            return;
        }
        Data.push_back(static_cast<char>(StrToInt("$" + part)));
    }
    if (parts.Count() == 0) {
        Message = " 无数据发送！";
    } else if (parts.Count() > MaxForwardBytes) {
        Message = "发送数据过长！";
        Data.clear();
    }
}

String TFmSim::GetCmd()
{
    const String command = CbCMD->Text();
    // The ID the box shows is the address sent: a typed text is looked up
    // in the list, and one that names no entry sends nothing.
    const int id = ExactItemIndex(CbID);
    if (id < 0 && (command == CmdForward || command == CmdVersion || command == CmdInfrared || command == CmdSetId)) {
        Memo2->Lines()->Add(InvalidId);
        return String();
    }
    String frame;
    if (command == CmdForward) {
        String message, data;
        GetData(message, data);
        if (data.empty()) {
            Memo2->Lines()->Add(message);
            return String();
        }
        frame = {char(0xCA), char(0x20)};
        AddByte(frame, id);
        AddByte(frame, 0x18);
        AddByte(frame, static_cast<int>(data.size()) + 1);
        AddByte(frame, 0x0A + CbPort->ItemIndex());
        frame += data;
    } else if (command == CmdVersion) {
        frame = {char(0xCA), char(0x00)};
        AddByte(frame, id);
        AddByte(frame, 0xBB);
    } else if (command == CmdInfrared) {
        frame = {char(0xCA), char(0x20)};
        AddByte(frame, id);
        AddByte(frame, 0x31);
        AddByte(frame, 0x03);
        AddByte(frame, CbPort->ItemIndex() + 1);
        AddByte(frame, CbData->ItemIndex());
        AddByte(frame, ComboBox1->ItemIndex());
    } else if (command == CmdSetId) {
        frame = {char(0xCA), char(0x20)};
        AddByte(frame, id);
        AddByte(frame, 0x33);
        AddByte(frame, 0x01);
        AddByte(frame, CbPort->ItemIndex());
    } else {
        return String();
    }
    AddByte(frame, 0xAC);
    return frame;
}

void TFmSim::SendStr(const String& Frame) { IdTCPClient->Write(Frame); }

bool TFmSim::HoldsSerialLink() const { return RadioButton1->Checked() && BnClose->Enabled(); }

void TFmSim::ShowReceived(const String& Bytes) { Memo1->Lines()->Add(BytesToHexText(Bytes)); }

void TFmSim::Button1Click(TObject*)
{
    Memo2->Lines()->Clear();
    if (BnOpen->Enabled()) {
        Memo2->Lines()->Add("发送串口或网口未打开！");
        return;
    }
    const String frame = GetCmd();
    if (RadioButton1->Checked()) {
        // The serial link is shared with the main window: while one of its
        // commands uses it, or when the frame could not be queued, nothing is
        // sent and the window says so instead of echoing the frame.
        if (FmKX40->SerialBusy()) {
            Memo2->Lines()->Add("串口正忙，未发送！");
            return;
        }
        Memo2->Lines()->Add(BytesToHexText(frame));
        if (!frame.empty() && !FmKX40->EcComm->WritePortData(frame.data(), static_cast<Word>(frame.size()))) {
            Memo2->Lines()->Clear();
            Memo2->Lines()->Add("串口未能发送！");
        }
        return;
    }
    Memo2->Lines()->Add(BytesToHexText(frame));
    // The look for a closed connection also takes what arrived meanwhile.
    TakeReceived(IdTCPClient->ReadAvailable(1));
    // A connection that the other end closed (seen now or by the timer)
    // runs the close step: the window shows the link closed.
    if (!IdTCPClient->Connected()) {
        BnCloseClick(this);
        return;
    }
    if (!frame.empty())
        SendStr(frame);
}

void TFmSim::BnOpenClick(TObject*)
{
    if (RadioButton1->Checked()) {
        if (FmKX40->SerialBusy()) {
            Memo2->Lines()->Clear();
            Memo2->Lines()->Add("串口正忙，未打开！");
            return;
        }
        const String caption = CheckBox1->Caption();
        const Byte code = caption == "奇校验" ? 1 : (caption == "偶校验" ? 2 : 0);
        FmKX40->EcComm->ReopenPort(ComboBox6->Text(), static_cast<Cardinal>(StrToInt(ComboBox14->Text())), code);
    } else {
        if (IdTCPClient->Connected())
            IdTCPClient->Disconnect();
        const String refusal = ServerAddressError(EtServerHost->Text());
        if (!refusal.empty()) {
            ShowMessage(refusal);
            return;
        }
        IdTCPClient->Host = Trim(EtServerHost->Text());
        IdTCPClient->Port = StrToInt(EtServerPort->Text());
        IdTCPClient->Connect(2000);
        if (!IdTCPClient->Connected()) {
            ShowMessage("连接 " + EtServerHost->Text() + "失败");
            return;
        }
        FReplyParser->ResetFrame();
        TakeReceived(IdTCPClient->ReadAvailable(1));
        if (IdTCPClient->PeerClosed()) {
            IdTCPClient->Disconnect();
            return;
        }
        Timer1->SetEnabled(true);
    }
    SetLinkControlsEnabled(true);
}

void TFmSim::BnCloseClick(TObject*)
{
    if (RadioButton1->Checked()) {
        FmKX40->EcComm->ClosePort();
    } else {
        Timer1->SetEnabled(false);
        if (!FTimerReading)
            IdTCPClient->Disconnect();
        FlushReceived();
    }
    SetLinkControlsEnabled(false);
}

void TFmSim::SetLinkControlsEnabled(bool Open)
{
    BnClose->SetEnabled(Open);
    BnOpen->SetEnabled(!Open);
    GroupBox2->SetEnabled(!Open);
    RadioButton1->SetEnabled(!Open);
    RadioButton2->SetEnabled(!Open);
    CheckBox1->SetEnabled(!Open);
}

void TFmSim::Timer1Timer(TObject*)
{
    String bytes;
    bool closed = false;
    if (IdTCPClient->Connected()) {
        FTimerReading = true;
        bytes = IdTCPClient->ReadAvailable(1);
        closed = IdTCPClient->PeerClosed();
        FTimerReading = false;
    }
    TakeReceived(bytes);
    if (!FPending.empty() && GetTickCount32() - FPendingSince > ReplyGatherMs)
        FlushReceived();
    // A connection that the other end closed ends the link: the window runs
    // its close step, which stops the timer and drops the connection.
    if (closed) {
        IdTCPClient->Disconnect();
        if (BnClose->Enabled() && RadioButton2->Checked())
            BnCloseClick(this);
        else
            Timer1->SetEnabled(false);
    }
    if (!Timer1->Enabled() && IdTCPClient->Connected())
        IdTCPClient->Disconnect();
}

void TFmSim::TakeReceived(const String& Bytes)
{
    if (Bytes.empty())
        return;
    if (FPending.empty())
        FPendingSince = GetTickCount32();
    FPending += Bytes;
    FReplyParser->FeedBytes(Bytes);
    // A frame that has begun is shown once it is complete, as one line.
    if (!FReplyParser->CommRec.InFrame)
        FlushReceived();
}

void TFmSim::FlushReceived()
{
    if (!FPending.empty())
        ShowReceived(FPending);
    FPending.clear();
    FReplyParser->ResetFrame();
}

void TFmSim::FormShow(TObject*)
{
    SetTop(FmKX40->Top() + (FmKX40->Height() - Height()) / 2);
    SetLeft(FmKX40->Left() + (FmKX40->Width() - Width()) / 2);
    CheckBox1->Invalidate();
}

void TFmSim::FormClose(TObject*, TCloseAction&)
{
    if (BnClose->Enabled())
        BnCloseClick(this);
}

void TFmSim::CheckBox1Click(TObject* Sender)
{
    if (auto* box = dynamic_cast<TCheckBox*>(Sender)) {
        box->SetCaption(ParityCaption(box->State()));
        box->Repaint();
    }
}

} // namespace brimsel

// The main window's device operations: read the current channel, download
// it, send a slot's record, send an infrared number, start learning; over
// TCP on the main thread, over the serial port through the job worker. One
// operation runs at a time: while it runs, the other operations and the
// transport and port settings are disabled, and anything that asks for one
// all the same (a key, a menu item) is refused.
#include "manager/URedEdit.h"

#include "device/Frames.h"
#include "device/ServerAddress.h"
#include "device/channel/UNetTask.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/StrUtils.h"

namespace vantrel {

// Holds the window's operation for one handler; a handler whose operation
// was refused does nothing.
class TFmMain::TOperation {
public:
    explicit TOperation(TFmMain& Form) : FForm(Form), FOwns(Form.BeginOperation()) {}
    ~TOperation()
    {
        if (FOwns)
            FForm.EndOperation();
    }
    TOperation(const TOperation&) = delete;
    TOperation& operator=(const TOperation&) = delete;
    explicit operator bool() const { return FOwns; }

private:
    TFmMain& FForm;
    bool FOwns;
};

bool TFmMain::BeginOperation()
{
    if (FOperationRunning || (FWorker && FWorker->Busy()))
        return false;
    FOperationRunning = true;
    UpdateOperationControls();
    return true;
}

void TFmMain::EndOperation()
{
    FOperationRunning = false;
    UpdateOperationControls();
    if (FCloseWhenIdle) {
        // A close asked for while the operation ran: it happens now, from
        // the message loop rather than inside the handler.
        FCloseWhenIdle = false;
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
    }
}

bool TFmMain::SerialSelected() const { return !RadioButton1->Checked(); }

bool TFmMain::ServerAddressChecked()
{
    if (SerialSelected())
        return true;
    // The system's resolver would take an empty address for this machine.
    const String refusal = ServerAddressError(EtServerHost->Text());
    if (refusal.empty())
        return true;
    ShowMessage(refusal);
    return false;
}

void TFmMain::UpdateOperationControls()
{
    const bool idle = !FOperationRunning;
    for (TControl* c : std::initializer_list<TControl*>{BnRead, TbRead, BnDown, TbDown, ToolButton1, tbSendNum,
                                                        tbStartRed, RadioButton1, RadioButton2})
        c->SetEnabled(idle);
    for (TMenuItem* item : {nbSend, nbSendNum, nbStartRed})
        item->Enabled = idle;
    const bool serial = SerialSelected();
    CbCom->SetEnabled(idle && serial);
    CbBand->SetEnabled(idle && serial);
    CheckBox1->SetEnabled(idle && serial);
    EtServerHost->SetEnabled(idle && !serial);
    EtServerPort->SetEnabled(idle && !serial);
}

void TFmMain::RadioButton1Click(TObject*) { UpdateOperationControls(); }

void TFmMain::CheckBox1Click(TObject* Sender)
{
    auto* box = dynamic_cast<TCheckBox*>(Sender);
    if (box == nullptr)
        return;
    switch (box->State()) {
    case cbUnchecked: box->SetCaption("无校验"); break;
    case cbChecked: box->SetCaption("偶校验"); break;
    case cbGrayed: box->SetCaption("奇校验"); break;
    }
    box->Invalidate();
}

// ---- the host interface ---------------------------------------------------------

String TFmMain::ServerHost() { return Trim(EtServerHost->Text()); }
String TFmMain::ServerPort() { return EtServerPort->Text(); }
String TFmMain::PortName() { return CbCom->Text(); }
String TFmMain::BaudText() { return CbBand->Text(); }

TParityState TFmMain::ParityState()
{
    // The caption names the parity; the form's own "无校验 " is none.
    const String caption = CheckBox1->Caption();
    if (caption == "奇校验")
        return TParityState::Grayed;
    if (caption == "偶校验")
        return TParityState::Checked;
    return TParityState::Unchecked;
}

int TFmMain::SendIdIndex() { return qComboBox1->ItemIndex(); }
int TFmMain::ActiveChannel() { return RedMems->ActivePageIndex(); }

String TFmMain::CodeRecord(int Channel, int Slot)
{
    if (Channel < 0 || Channel >= ChannelCount || Slot < 0 || Slot >= SlotCount)
        return String();
    return Code(Channel, Slot);
}

void TFmMain::ShowProgress(bool Visible)
{
    PnProcess->SetVisible(Visible);
    if (Visible)
        PnProcess->BringToFront();
}

void TFmMain::SetProgress(int Value) { GGProcess->SetProgress(Value); }

void TFmMain::ProcessMessages() { Application->ProcessMessages(); }

// ---- serial link events -----------------------------------------------------------

void TFmMain::EcCommAfterReceiveData(TObject*, void* Buffer, Word BufferLength)
{
    if (FWorker)
        FWorker->ReceiveBytes(Buffer, BufferLength);
}

void TFmMain::EcCommGetFinish(TObject*, Byte Command, const String& SData)
{
    if (FWorker)
        FWorker->StoreReply(Command, SData);
}

// ---- operations ---------------------------------------------------------------------

bool TFmMain::RunSerialJob(Byte Kind, Byte Slot, const String& Frame, const char* StartedStatus)
{
    // The port belongs to a job until the worker has ended it.
    if (!FWorker || FWorker->Busy())
        return false;
    OpenChannelPort();   // a port or baud rate that fails raises; nothing starts
    if (!FWorker->StartJob(Kind, Slot, Frame)) {
        EcComm->ClosePort();
        return false;
    }
    if (StartedStatus != nullptr)
        ShowStatus(StartedStatus);
    // The worker's limit covers every try of every step at the chosen rate.
    const bool ended = FWorker->WaitDone(FWorker->JobTimeLimitMs());
    return ended && FWorker->Result();
}

String TFmMain::FailureText() const
{
    if (!SerialSelected())
        return NetFailureText();
    return FWorker ? FWorker->FailureText() : String();
}

void TFmMain::ShowOutcome(bool Success, const char* Succeeded, const char* Failed, const String& FailureText)
{
    if (Success)
        ShowStatus(Succeeded);
    else
        ShowStatus(FailureText.empty() ? String(Failed) : FailureText);
}

void TFmMain::BnReadClick(TObject*)
{
    TOperation operation(*this);
    if (!operation)
        return;
    const int channel = RedMems->ActivePageIndex();
    TProStringGrid* grid = ChannelGrid(channel);
    const bool accepted = ServerAddressChecked();
    const bool success = accepted && (SerialSelected() ? RunSerialJob(TStmLoad::JobReadChannel, 0, String(), nullptr)
                                                       : NetReadChannel(channel));
    if (!success) {
        ShowOutcome(false, nullptr, "读取失败！", accepted ? FailureText() : String());
        return;
    }
    for (int slot = 0; slot < SlotCount; ++slot) {
        String& entry = ReadBuffer[static_cast<std::size_t>(slot)];
        SetCode(channel, slot, entry);
        entry.clear();
        ShowSlotState(grid, slot, !Code(channel, slot).empty());
    }
    TakeSnapshot(channel);
    ShowStatus("读取完成！");
}

void TFmMain::BnDownClick(TObject*)
{
    TOperation operation(*this);
    if (!operation)
        return;
    const int channel = RedMems->ActivePageIndex();
    const bool accepted = ServerAddressChecked();
    const bool success = accepted && (SerialSelected()
                                          ? RunSerialJob(TStmLoad::JobDownloadChannel, 0, String(), "下载中！")
                                          : NetDownloadChannel(channel));
    ShowOutcome(success, "下载完成！", "下载失败！", accepted ? FailureText() : String());
}

void TFmMain::nbSendClick(TObject*)
{
    TOperation operation(*this);
    if (!operation)
        return;
    const int slot = CurrentSlot();
    if (slot < 0 || slot >= SlotCount) {
        ShowStatus("发送代码超出范围！");
        return;
    }
    ShowStatus("发送原始码。");
    SelectTopLeftCell();
    const int channel = RedMems->ActivePageIndex();
    // A record that cannot be sent keeps its own status ("发送数据为空！！",
    // "发送长度大于2048！！") rather than the plain failure.
    const String& record = CodeRecord(channel, slot);
    if (record.size() > static_cast<std::size_t>(BlockSize)) {
        ShowStatus("发送长度大于2048！！");
        return;
    }
    if (record.empty()) {
        ShowStatus("发送数据为空！！");
        return;
    }
    const bool accepted = ServerAddressChecked();
    const bool success = accepted && (SerialSelected()
                             ? RunSerialJob(TStmLoad::JobSendRawCode, static_cast<Byte>(slot), String(), nullptr)
                             : NetSendRawCode(channel, slot));
    ShowOutcome(success, "发送完成！", "发送失败！", accepted ? FailureText() : String());
}

void TFmMain::SendSlotRequest(Byte Command, const char* StartedStatus, const char* RangeStatus)
{
    TOperation operation(*this);
    if (!operation)
        return;
    const int slot = CurrentSlot();
    const int channel = RedMems->ActivePageIndex();
    if (slot < 0 || slot >= SlotCount) {
        ShowStatus(RangeStatus);
        return;
    }
    const String frame = BuildNetFrame(Command, SlotRequestData(channel, slot));
    ShowStatus(StartedStatus);
    SelectTopLeftCell();
    const bool accepted = ServerAddressChecked();
    const bool success =
        accepted && (SerialSelected() ? RunSerialJob(TStmLoad::JobSendFrame, 0, frame, nullptr) : NetSendFrame(frame));
    ShowOutcome(success, "发送完成！", "发送失败！", accepted ? FailureText() : String());
}

void TFmMain::tbSendNumClick(TObject*) { SendSlotRequest(CmdSendNumber, "发送红外码。", "发送代码超出范围！"); }

void TFmMain::tbStartRedClick(TObject*) { SendSlotRequest(CmdLearn, "发送学习指令。", "红外号超出范围！"); }

} // namespace vantrel

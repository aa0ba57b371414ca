#include "configtool/UStmLoad.h"

#include "configtool/ParamBlock.h"
#include "configtool/UKx40Set.h"
#include "configtool/UNetTask.h"
#include "framework/Application.h"
#include "framework/Ticks.h"

namespace brimsel {

namespace {
std::atomic<int> ExtraPolls{0};
} // namespace

String TBootRev::SData() const
{
    std::lock_guard<std::mutex> lock(FLock);
    return FData;
}

void TBootRev::Store(Byte ReplyCommand, const String& Data)
{
    {
        std::lock_guard<std::mutex> lock(FLock);
        FData = Data;
    }
    Command = ReplyCommand;
}

TStmLoad::TStmLoad(TFmKX40* Window) : TThread(false), FWindow(Window)
{
}

TStmLoad::~TStmLoad()
{
    Terminate();
    Resume();
    WaitFor(INFINITE);
}

void TStmLoad::Execute()
{
    for (;;) {
        Suspend();
        if (Terminated())
            return;
        Done = false;
        bool result = false;
        switch (JobKind) {
        case JobSetParams: result = ComSetParams(); break;
        case JobSetSwitches: result = ComSetSwitches(); break;
        case JobGetAll: result = ComGetParams(); break;
        default: break;
        }
        Done = result;
        Running = false;
    }
}

void TStmLoad::SetExtraPolls(int Polls) { ExtraPolls = Polls; }

void TStmLoad::StartJob()
{
    FExtraPolls = ExtraPolls.load();
    Running = true;
    Resume();
}

bool TStmLoad::RunCommand(Byte Command, const String& Data, Byte Awaited, int Polls)
{
    Sleep(5);
    Reply.Clear();
    const String frame = BuildComFrame(Command, Data);
    FWindow->EcComm->WritePortData(frame.data(), static_cast<Word>(frame.size()));
    const bool result = WaitAnswer(Awaited, Polls);
    Reply.Clear();
    return result;
}

bool TStmLoad::ComSetParams() { return RunCommand(CmdSet, JobData, 0x90, 290); }

bool TStmLoad::ComSetSwitches() { return RunCommand(CmdSet, JobData, 0x90, 190); }

bool TStmLoad::ComGetParams() { return RunCommand(CmdGetAll, String(1, static_cast<char>(GetAllData)), 0xB0, 290); }

bool TStmLoad::WaitAnswer(Byte Awaited, int Polls)
{
    const int limit = Polls + FExtraPolls;
    for (int count = 1;; ++count) {
        Sleep(1);
        if (count > limit)
            return false;
        if (Reply.Command == Awaited)
            return true;
    }
}

bool TStmLoad::WaitDone(int Polls)
{
    const int limit = Polls + FExtraPolls;
    for (int count = 1;; ++count) {
        Application->ProcessMessages();
        Sleep(1);
        Application->ProcessMessages();
        if (count > limit)
            return false;
        if (Done)
            return true;
    }
}

bool TStmLoad::WaitIdle(int BoundMs)
{
    const Cardinal start = GetTickCount32();
    while (Running) {
        if (GetTickCount32() - start > static_cast<Cardinal>(BoundMs))
            return false;
        Application->ProcessMessages();
        Sleep(1);
    }
    return true;
}

} // namespace brimsel

#include "device/channel/UStmLoad.h"

#include <algorithm>

#include "device/Frames.h"
#include "framework/Application.h"
#include "framework/StrUtils.h"

namespace vantrel {

namespace {

constexpr UINT WM_RUNPOSTS = WM_APP + 1;

constexpr Cardinal RetryPauseMs = 500;
// Draining late replies: the line must have been quiet this long (plus two
// read intervals, the most a reply in transit can pause) ...
constexpr Cardinal DrainQuietMs = 150;
// ... but a line that never goes quiet is drained at most this long.
constexpr Cardinal DrainLimitMs = 1000;
// Closing the port joins its two threads, each for at most 10 s.
constexpr Cardinal PortCloseMs = 2 * TComm::ThreadStopWaitMs;
constexpr Cardinal LimitMarginMs = 5000;

struct TSerialStep {
    int Tries;
    Cardinal Polls;
};

TSerialStep SerialStep(TChannelStep Step)
{
    switch (Step) {
    case TChannelStep::ReadDirectory: return {2, 200};
    case TChannelStep::ReadMemory: return {2, 500};
    case TChannelStep::ClearSlot: return {2, 1000};
    case TChannelStep::WriteMemory: return {3, 1000};
    case TChannelStep::RawFrame: return {1, 300};
    case TChannelStep::SlotRequest: return {1, 800};
    }
    return {1, 800};
}

unsigned long long Now() { return GetTickCount64(); }

std::atomic<Cardinal> ExtraReplyWaitMs{0};

// The window's plain failure status of a job, which a reason follows.
String FailureStatusOf(Byte Kind)
{
    switch (Kind) {
    case TStmLoad::JobReadChannel: return "读取失败！";
    case TStmLoad::JobDownloadChannel: return "下载失败！";
    default: return "发送失败！";
    }
}

int PiecesOf(std::size_t Length, int Piece) { return static_cast<int>((Length + Piece - 1) / Piece); }

} // namespace

// ---------------------------------------------------------------- TBootRev

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
    Marker = 255;
    Command = ReplyCommand;
}

// ------------------------------------------------------- the serial exchange

// The exchange of the channel operations over the serial port, on the worker
// thread. Each try starts from a reset parser and a cleared reply; replies
// that come late for a failed try (or for the earlier tries of an exchange
// that needed more than one) are drained before the next request goes out,
// so they are never taken as its answer. A try waits the step's polls plus
// the time its request and the longest expected reply take on the line.
class TSerialExchanger : public TChannelExchanger {
public:
    explicit TSerialExchanger(TStmLoad& Owner) : FOwner(Owner) {}

    void BeginJob() { FDrainFirst = false; }

    bool Exchange(TChannelStep Step, Byte Command, const String& Data, Byte Awaited) override
    {
        const String frame = RequestHead(FOwner.FAddress, Command, Data) + static_cast<char>(0xAC);
        const TSerialStep step = SerialStep(Step);
        const Cardinal wait = TryWaitMs(Step, frame.size(), Data);
        for (int t = 1; t <= step.Tries; ++t) {
            if (FDrainFirst)
                Drain(0);
            FDrainFirst = false;
            BeginTry();
            const bool sent = FOwner.FLink->WritePortData(frame.data(), static_cast<Word>(frame.size()));
            if (sent && FOwner.WaitAnswer(Awaited, wait)) {
                FReplyData = FOwner.Reply.SData();
                // The replies of the earlier tries may still be on their way.
                FDrainFirst = t > 1;
                return true;
            }
            if (FOwner.FCancel)
                return false;
            if (step.Tries > 1)
                Drain(RetryPauseMs);   // the pause after a failed try
            else
                FDrainFirst = true;
        }
        return false;
    }

    String ReplyData() const override { return FReplyData; }

    void ShowProgress(bool Visible) override
    {
        FOwner.Post([Visible] { Host().ShowProgress(Visible); });
    }
    void SetProgress(int Value) override
    {
        FOwner.Post([Value] { Host().SetProgress(Value); });
    }
    void ShowStatus(const String& Text) override
    {
        FOwner.Post([Text] { Host().ShowStatus(Text); });
    }

    // The wait of one try of a step.
    Cardinal TryWaitMs(TChannelStep Step, std::size_t FrameBytes, const String& Data) const
    {
        const std::size_t bytes = FrameBytes + static_cast<std::size_t>(ExpectedReplyBytes(Step, Data));
        return SerialStep(Step).Polls + AirTimeMs(bytes, FOwner.FBaudRate, FOwner.FBitsPerByte) +
               FOwner.FReadInterval + FOwner.FExtraReplyWaitMs;
    }

    // The most one exchange of a step can take, every try failing.
    Cardinal WorstExchangeMs(TChannelStep Step, std::size_t FrameBytes, const String& Data) const
    {
        const TSerialStep step = SerialStep(Step);
        const Cardinal drain = DrainLimitMs + (step.Tries > 1 ? RetryPauseMs : 0);
        return static_cast<Cardinal>(step.Tries) * (TryWaitMs(Step, FrameBytes, Data) + drain);
    }

    // Starts a try: the parser starts afresh with the next bytes, the reply is cleared.
    void BeginTry()
    {
        FOwner.FResetParser = true;
        FOwner.Reply.Clear();
        FOwner.FDiscard = false;
    }

    // Drops what arrives for at least PauseMs and until the line has been
    // quiet for a while, bounded.
    void Drain(Cardinal PauseMs)
    {
        FOwner.FDiscard = true;
        const unsigned long long start = Now();
        const Cardinal quiet = DrainQuietMs + 2 * FOwner.FReadInterval;
        for (;;) {
            if (!FOwner.Pause(1))
                return;
            const unsigned long long now = Now();
            const unsigned long long last = std::max<unsigned long long>(FOwner.FLastReceived, start);
            if (now - start >= PauseMs && now - last >= quiet)
                return;
            if (now - start >= static_cast<unsigned long long>(PauseMs) + DrainLimitMs)
                return;
        }
    }

private:
    TStmLoad& FOwner;
    String FReplyData;
    bool FDrainFirst = false;   // drain before the next request
};

// ------------------------------------------------------------ opening the port

Cardinal ReadIntervalFor(Cardinal BaudRate)
{
    if (BaudRate == 0)
        return 100;
    const Cardinal twoBytes = (2 * 11 * 1000 + BaudRate - 1) / BaudRate;
    return std::clamp<Cardinal>(twoBytes, 1, 100);
}

void OpenChannelPort()
{
    TChannelHost& host = Host();
    TEcComm& link = host.SerialLink();
    const Cardinal baud = static_cast<Cardinal>(StrToInt(host.BaudText()));
    const String name = host.PortName();
    const Byte parity = ParityCode(host.ParityState());
    link.SetReadIntervalTimeout(ReadIntervalFor(baud));
    link.ReopenPort(name, baud, parity);
}

// ------------------------------------------------------------------ TStmLoad

TStmLoad::TStmLoad() : TThread(false)
{
    FReplyEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    FEndEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (FReplyEvent == nullptr || FEndEvent == nullptr) {
        if (FReplyEvent != nullptr)
            CloseHandle(FReplyEvent);
        if (FEndEvent != nullptr)
            CloseHandle(FEndEvent);
        throw EThread("Cannot create the job worker's events (error " + std::to_string(GetLastError()) + ")");
    }
    FExchanger = std::make_unique<TSerialExchanger>(*this);
    FWindow = std::make_unique<THiddenWindow>([this](TMessage& Msg) { WindowProc(Msg); });
    FWnd = FWindow->Handle();
}

TStmLoad::~TStmLoad()
{
    Stop();
    CloseHandle(FReplyEvent);
    CloseHandle(FEndEvent);
}

void TStmLoad::Stop()
{
    if (Finished())
        return;
    FCancel = true;
    SetEvent(FReplyEvent);   // ends a wait for a reply at once
    Terminate();
    Resume();
    WaitFor(INFINITE);   // every wait of a job ends at once when cancelled
}

void TStmLoad::Execute()
{
    for (;;) {
        Suspend();
        if (Terminated())
            return;
        bool result = false;
        String reason;
        try {
            result = RunJob();
        } catch (const Exception& e) {
            // A failed write to the port, a conversion: the job fails, and says why.
            reason = e.Message;
        } catch (const std::exception& e) {
            reason = e.what();
        } catch (...) {
            reason = "Unknown error";
        }
        ClosePortQuietly();
        // A job that failed on a port whose reader or writer stopped says
        // what stopped them, with the system's text.
        if (!result && reason.empty() && FLink != nullptr)
            reason = FLink->ThreadFailure();
        if (!result && !reason.empty() && FFailureText.empty())
            FFailureText = FailureStatusOf(FKind) + reason;
        FResult = result;
        FDone = true;
        EndDeviceOperation();
        FJobsEnded = FJobsStarted.load();
        SetEvent(FEndEvent);
        PostMessageW(FWnd, WM_RUNPOSTS, 0, 0);   // wakes a waiting window
    }
}

bool TStmLoad::RunJob()
{
    FExchanger->BeginJob();
    FExchanger->FailureText.clear();
    switch (FKind) {
    case JobReadChannel: return ComReadChannel();
    case JobDownloadChannel: return ComDownloadChannel();
    case JobSendRawCode: return ComSendRawCode();
    case JobSendFrame: return ComSendFrame();
    default: return false;
    }
}

bool TStmLoad::ComReadChannel()
{
    const bool ok = ReadChannel(*FExchanger, FChannel, ReadBuffer);
    ClosePortQuietly();
    return ok;
}

bool TStmLoad::ComDownloadChannel()
{
    const bool ok = DownloadChannel(*FExchanger, FChannel, FRecords);
    FFailureText = FExchanger->FailureText;
    ClosePortQuietly();
    return ok;
}

bool TStmLoad::ComSendRawCode()
{
    const String record = FSlot < SlotCount ? FRecords[FSlot] : String();
    if (!CheckRawCode(*FExchanger, FChannel, FSlot, record))
        return false;
    const bool ok = SendRawFrames(*FExchanger, record, NextRawTag(FChannel, FSlot));
    ClosePortQuietly();
    return ok;
}

bool TStmLoad::ComSendFrame()
{
    FExchanger->BeginTry();
    Pause(1);
    Pause(2);
    Pause(2);
    if (!FLink->WritePortData(FFrame.data(), static_cast<Word>(FFrame.size())))
        return false;
    Pause(6);
    const bool ok = WaitAnswer(ReplyAck, FExchanger->TryWaitMs(TChannelStep::SlotRequest, FFrame.size(), String()));
    Pause(6);
    return ok;
}

void TStmLoad::ClosePortQuietly()
{
    try {
        if (FLink != nullptr)
            FLink->ClosePort();
    } catch (...) {
        // Closing releases what it can; the next open starts afresh.
    }
}

bool TStmLoad::WaitAnswer(Byte Awaited, Cardinal Polls)
{
    Reply.Marker = 0;
    const unsigned long long start = Now();
    for (;;) {
        if (FCancel)
            return false;
        if (Reply.Command == Awaited)
            return true;
        const unsigned long long passed = Now() - start;
        if (passed > Polls)
            return false;
        // Asleep until a reply is stored or the polls have passed: a wait
        // woken every millisecond would cost each program a thousand calls to
        // Wine's server a second, which every program on the machine shares.
        WaitForSingleObject(FReplyEvent, static_cast<DWORD>(Polls - passed + 1));
    }
}

bool TStmLoad::Pause(Cardinal Ms)
{
    const unsigned long long start = Now();
    while (!FCancel) {
        const unsigned long long passed = Now() - start;
        if (passed >= Ms)
            return true;
        Sleep(static_cast<DWORD>(std::min<unsigned long long>(Ms - passed, 10)));
    }
    return false;
}

bool TStmLoad::StartJob(Byte Kind, Byte Slot, const String& Frame)
{
    if (Busy() || Finished())
        return false;
    TChannelHost& host = Host();
    if (!TryBeginDeviceOperation())
        return false;
    try {
        TakeJob(host, Kind, Slot, Frame);
    } catch (...) {
        EndDeviceOperation();
        throw;
    }
    ++FJobsStarted;
    // The resume is kept even if the worker has not suspended itself yet.
    Resume();
    return true;
}

void TStmLoad::TakeJob(TChannelHost& Host, Byte Kind, Byte Slot, const String& Frame)
{
    FKind = Kind;
    FSlot = Slot;
    FFrame = Frame;
    FChannel = Host.ActiveChannel();
    FLink = &Host.SerialLink();
    FAddress = FrameAddress();
    FBaudRate = FLink->BaudRate();
    FBitsPerByte = FLink->Parity == TParity::None ? 10 : 11;
    FReadInterval = FLink->ReadIntervalTimeout();
    FExtraReplyWaitMs = ExtraReplyWaitMs;
    for (String& record : FRecords)
        record.clear();
    const bool validChannel = FChannel >= 0 && FChannel < ChannelCount;
    if (Kind == JobDownloadChannel && validChannel)
        for (int s = 0; s < SlotCount; ++s)
            FRecords[static_cast<std::size_t>(s)] = Host.CodeRecord(FChannel, s);
    if (Kind == JobSendRawCode && validChannel && Slot < SlotCount)
        FRecords[Slot] = Host.CodeRecord(FChannel, Slot);
    FTimeLimitMs = TimeLimitOf(Kind);
    FFailureText.clear();
    FResult = false;
    FDone = false;
    Reply.Clear();
    FDiscard = false;
    if (TEcpTime* parser = FLink->Parser())
        parser->ResetFrame();
}

Cardinal TStmLoad::TimeLimitOf(Byte Kind) const
{
    const TSerialExchanger& x = *FExchanger;
    const std::size_t head = 6;   // start, type, address, command, length, end byte
    unsigned long long total = 0;
    switch (Kind) {
    case JobReadChannel: {
        // A directory of up to 255 entries, each a block of up to nine pieces.
        const String read = ReadMemoryData(0, ReadPiece);
        total = x.WorstExchangeMs(TChannelStep::ReadDirectory, head + 5, DirectoryData(0)) +
                255ull * PiecesOf(BlockSize, ReadPiece) *
                    x.WorstExchangeMs(TChannelStep::ReadMemory, head + read.size(), read);
        break;
    }
    case JobDownloadChannel:
        for (const String& record : FRecords) {
            if (record.empty()) {
                total += x.WorstExchangeMs(TChannelStep::ClearSlot, head + 6, String());
                continue;
            }
            const int pieces = PiecesOf(record.size(), WritePiece);
            total += static_cast<unsigned long long>(pieces) *
                     x.WorstExchangeMs(TChannelStep::WriteMemory, head + 5 + WritePiece, String());
        }
        break;
    case JobSendRawCode: {
        const int frames = PiecesOf(FRecords[FSlot < SlotCount ? FSlot : 0].size(), WritePiece) + 1;
        total = static_cast<unsigned long long>(frames) *
                x.WorstExchangeMs(TChannelStep::RawFrame, head + 1 + WritePiece, String());
        break;
    }
    case JobSendFrame:
        total = 20 + x.WorstExchangeMs(TChannelStep::SlotRequest, FFrame.size(), String());
        break;
    default: break;
    }
    total += PortCloseMs + LimitMarginMs;
    return static_cast<Cardinal>(std::min<unsigned long long>(total, 0xFFFFFFF0ull));
}

bool TStmLoad::WaitDone(Cardinal LimitMs)
{
    const unsigned long long start = Now();
    for (;;) {
        if (!Busy())
            break;
        const unsigned long long passed = Now() - start;
        if (passed > LimitMs)
            break;
        // Asleep until a message is waiting, the job ends or the limit has
        // passed (not woken every millisecond, see WaitAnswer).
        MsgWaitForMultipleObjectsEx(1, &FEndEvent, static_cast<DWORD>(LimitMs - passed + 1), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        Application->ProcessMessages();
    }
    RunPosts();
    return !Busy();
}

void TStmLoad::SetExtraReplyWaitMs(Cardinal Ms) { ExtraReplyWaitMs = Ms; }

String TStmLoad::FailureText() const { return Busy() ? String() : FFailureText; }

void TStmLoad::ReceiveBytes(const void* Buffer, Word Length)
{
    FLastReceived = Now();
    if (FDiscard)
        return;
    TEcpTime* parser = FLink != nullptr ? FLink->Parser() : nullptr;
    if (parser == nullptr)
        parser = Host().SerialLink().Parser();
    if (parser == nullptr)
        return;
    if (FResetParser.exchange(false))
        parser->ResetFrame();
    parser->FeedBytes(Buffer, Length);
}

void TStmLoad::StoreReply(Byte Command, const String& SData)
{
    if (Command != ReplyAck && Command != ReplyData && Command != ReplyNoData)
        return;
    if (FDiscard)
        return;
    Reply.Store(Command, SData);
    SetEvent(FReplyEvent);
}

void TStmLoad::Post(std::function<void()> Action)
{
    bool first;
    {
        std::lock_guard<std::mutex> lock(FPostLock);
        first = FPosts.empty();
        FPosts.push_back(std::move(Action));
    }
    if (first)
        PostMessageW(FWnd, WM_RUNPOSTS, 0, 0);
}

void TStmLoad::RunPosts()
{
    std::deque<std::function<void()>> posts;
    {
        std::lock_guard<std::mutex> lock(FPostLock);
        posts.swap(FPosts);
    }
    for (auto& action : posts)
        action();
}

void TStmLoad::WindowProc(TMessage& Msg)
{
    if (Msg.Msg == WM_RUNPOSTS) {
        RunPosts();
        return;
    }
    Msg.Result = FWnd != nullptr ? DefWindowProcW(FWnd, Msg.Msg, Msg.WParam, Msg.LParam) : 0;
}

} // namespace vantrel

#pragma once
// Vantrel's serial job worker: one long-lived thread that runs the channel
// operations over the serial port, so that the main thread keeps handling
// messages (the replies reach the program only through the serial link's
// events, which run on the main thread).
//
// The window opens the port (OpenChannelPort), starts a job (StartJob) and
// waits for it (WaitDone) while its messages keep being handled; its serial
// link handlers pass the received bytes and the parsed frames on
// (ReceiveBytes, StoreReply). The worker sends the frames, waits for the
// replies, stores the result, closes the port and suspends itself. What it
// shows (progress panel, gauge, status texts) is posted to the main thread.

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "device/channel/ChannelCommands.h"
#include "framework/MessageWindow.h"
#include "framework/Thread.h"

namespace vantrel {

// The last reply frame reported by the serial link's parser. Written on the
// main thread by StoreReply: the data, then the marker, then the code, so a
// worker that sees the code it awaits also sees that frame's data.
struct TBootRev {
    std::atomic<Byte> Command{0};   // reply code: the type of the last reply frame, 0 = none
    std::atomic<Byte> Marker{0};    // 255 when a frame arrived; cleared when a wait starts
    String SData() const;
    void Store(Byte ReplyCommand, const String& Data);
    void Clear() { Command = 0; }

private:
    mutable std::mutex FLock;
    String FData;
};

// Opens the host's serial port for an operation: TEcComm::ReopenPort with the
// port name, the baud-rate text as a number and the parity state's code. The
// read interval time-out is set to two byte times at that rate (1 to 100 ms),
// so that a reply is handed over as soon as it is complete rather than after
// a fixed pause. A baud text that is not a number raises EConvertError before
// anything changes; an open failure raises ECommsError with the port closed.
void OpenChannelPort();
// The read interval time-out used at a baud rate.
Cardinal ReadIntervalFor(Cardinal BaudRate);

class TSerialExchanger;

class TStmLoad : public TThread {
public:
    enum : Byte { JobReadChannel = 1, JobDownloadChannel = 2, JobSendRawCode = 3, JobSendFrame = 4 };

    // Create on the main thread with TThread::New<TStmLoad>(): the thread
    // starts and suspends itself at once. The host must be installed.
    TStmLoad();
    // Cancels a running job and ends the thread (see Stop).
    ~TStmLoad() override;

    // --- Main thread ---

    // Starts a job when the worker is idle; false, with nothing started,
    // while a job or a TCP operation runs (one operation at a time). Takes what the job needs
    // from the host now: the current channel, the send-ID address, the
    // serial link and its rate, and for a download a copy of the channel's
    // records (for a raw send, the slot's record). Slot is job 3's slot,
    // Frame job 4's prepared frame.
    bool StartJob(Byte Kind, Byte Slot = 0, const String& Frame = String());
    // Waits, handling messages, until the started job has ended or LimitMs
    // has passed; true when it ended. What the worker posted before it ended
    // has reached the host when this returns.
    bool WaitDone(Cardinal LimitMs);
    // The longest the job started last can legitimately take, every try of
    // every step failing but the last: the limit to give WaitDone.
    Cardinal JobTimeLimitMs() const { return FTimeLimitMs; }
    // A started job has not ended yet.
    bool Busy() const { return FJobsEnded != FJobsStarted; }
    // Outcome of the last job; valid once it has ended.
    bool Result() const { return FResult; }
    bool Done() const { return FDone; }
    // Why the last job failed, when it has a reason of its own to show in
    // place of the plain failure status: a download refused for a record
    // longer than 2048 bytes, a port whose reader or writer stopped (with
    // the system's text) or an error raised in the job, each after the
    // plain status; empty otherwise.
    String FailureText() const;
    // Ends the thread: a running job is cancelled (its waits end at once and
    // it fails), the port closed, and the thread waited for.
    void Stop();

    // The window's serial-link handlers. EcCommAfterReceiveData: feeds the
    // bytes to the link's parser (from a reset parser when a try has just
    // begun; dropped while the worker drains late replies).
    void ReceiveBytes(const void* Buffer, Word Length);
    // EcCommGetFinish: stores a reply frame for the worker. Request frames
    // that the device sends on its own (commands other than the reply types
    // 0x80, 0x90, 0xB0) are not replies and are left out.
    void StoreReply(Byte Command, const String& SData);

    // Room added to every try's wait for its reply, and with it to the jobs'
    // limits, for the jobs started from now on: 0 by default, so that a try
    // waits its polls and the line time alone. Tests set more: their
    // simulated device answers through a machine that may be loaded many
    // times over, where a reply can take far longer than on a real line.
    static void SetExtraReplyWaitMs(Cardinal Ms);

    // --- Worker thread ---

    // Waits up to Polls ms for a reply of the awaited code, ending as soon as
    // one is stored; clears the marker first.
    bool WaitAnswer(Byte Awaited, Cardinal Polls);

    TBootRev Reply;

protected:
    void Execute() override;

private:
    friend class TSerialExchanger;

    // Main thread: copies what the job needs from the host.
    void TakeJob(TChannelHost& Host, Byte Kind, Byte Slot, const String& Frame);
    bool RunJob();
    bool ComReadChannel();
    bool ComDownloadChannel();
    bool ComSendRawCode();
    bool ComSendFrame();
    void ClosePortQuietly();
    Cardinal TimeLimitOf(Byte Kind) const;

    // Hand-over to the main thread: closures run by the hidden window.
    void Post(std::function<void()> Action);
    void RunPosts();
    void WindowProc(TMessage& Msg);
    // Worker: waits up to Ms, ending early when cancelled; false when cancelled.
    bool Pause(Cardinal Ms);

    std::unique_ptr<THiddenWindow> FWindow;   // created on the main thread
    HWND FWnd = nullptr;                      // its handle, for posting from the worker
    std::mutex FPostLock;
    std::deque<std::function<void()>> FPosts;  // written by the worker, run by the main thread

    // The job, written by the main thread before it resumes the worker.
    Byte FKind = 0;
    Byte FSlot = 0;
    String FFrame;
    int FChannel = 0;
    TChannelRecords FRecords;   // job 2: the channel copied at the start; job 3: FRecords[slot]
    TEcComm* FLink = nullptr;
    Byte FAddress = 0xFE;
    Cardinal FBaudRate = 38400;
    int FBitsPerByte = 10;
    Cardinal FReadInterval = 100;
    Cardinal FExtraReplyWaitMs = 0;
    Cardinal FTimeLimitMs = 0;

    std::unique_ptr<TSerialExchanger> FExchanger;

    // Written by the worker.
    std::atomic<bool> FResult{false};
    std::atomic<bool> FDone{false};
    String FFailureText;                    // written before the job's end is published
    std::atomic<Cardinal> FJobsStarted{0};  // written by the main thread
    std::atomic<Cardinal> FJobsEnded{0};    // written by the worker, last
    std::atomic<bool> FCancel{false};

    // Shared with the main thread's serial-link handlers.
    std::atomic<bool> FDiscard{false};      // drop received bytes: late replies being drained
    std::atomic<bool> FResetParser{false};  // reset the parser before feeding the next bytes
    std::atomic<unsigned long long> FLastReceived{0};   // tick of the last received bytes
    HANDLE FReplyEvent = nullptr;           // auto reset: a reply was stored
    HANDLE FEndEvent = nullptr;             // auto reset: a job ended
};

} // namespace vantrel

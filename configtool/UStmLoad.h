#pragma once
// Brimsel's job worker: runs one parameter command at a time over the serial
// link. The window fills the job fields and resumes it; the worker sends the
// frame, waits for the reply that the window's frame handler stores, sets
// done when the job succeeded and suspends itself again.

#include <atomic>
#include <mutex>

#include "framework/Thread.h"

namespace brimsel {

class TFmKX40;

// The last reply frame reported by the serial link's parser. The frame
// handler stores the data first and the code last, so a worker that sees the
// code it awaits also sees that frame's data.
struct TBootRev {
    std::atomic<Byte> Command{0};   // reply type of the last complete reply, 0 = none yet
    String SData() const;
    void Store(Byte Command, const String& Data);
    void Clear() { Command = 0; }

private:
    mutable std::mutex FLock;
    String FData;
};

class TStmLoad : public TThread {
public:
    explicit TStmLoad(TFmKX40* Window);
    ~TStmLoad() override;

    enum : Byte { JobSetParams = 1, JobSetSwitches = 3, JobGetAll = 4 };

    // Written by the window before it resumes the worker.
    std::atomic<Byte> JobKind{0};
    std::atomic<Byte> JobAddress{0};   // the request address: the module ID
    String JobData;                 // the command data with its selector byte
    TBootRev Reply;                 // written by the window's frame handler
    std::atomic<bool> Done{false};  // true only after a job that succeeded
    // From the resume until the job has ended (the worker writes it last).
    std::atomic<bool> Running{false};

    // Starts a job: the fields above must be set. The resume is kept even if
    // the worker has not suspended itself yet.
    void StartJob();
    // Worker side: polls (1 ms each) for a reply of the awaited type.
    bool WaitAnswer(Byte Awaited, int Polls);
    // Window side: polls with message processing until done or the polls run out.
    bool WaitDone(int Polls);
    // Polls added to both waits above, for the jobs started from now on: 0
    // by default, so that the waits are the commands' own polls. Tests set
    // more: their simulated device answers through a machine that may be
    // loaded many times over, where a reply can take far longer than on a
    // real line.
    static void SetExtraPolls(int Polls);
    // Window side: waits (bounded, processing messages) until the worker has
    // finished its job, so that the next job never starts under a running one.
    bool WaitIdle(int BoundMs);

    bool ComSetParams();
    bool ComSetSwitches();
    bool ComGetParams();

protected:
    void Execute() override;

private:
    bool RunCommand(Byte Command, const String& Data, Byte Awaited, int Polls);

    TFmKX40* FWindow;
    std::atomic<int> FExtraPolls{0};   // taken when a job starts
};

} // namespace brimsel

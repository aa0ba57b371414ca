#pragma once
// Threads with suspend and resume. A thread that suspends itself waits for a
// resume permit, so a Resume that comes while the thread is still on its way
// to Suspend is kept rather than lost; a thread suspended from another thread
// is suspended by the system.

#include <atomic>
#include <memory>

#include <windows.h>

#include "framework/Object.h"

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
public:
    // The system thread is always created suspended, since its body is a
    // virtual function that cannot run before the most derived constructor
    // has finished. Create threads with New: it starts the thread after
    // construction unless CreateSuspended. Raises EThread when the system
    // cannot create the thread.
    explicit TThread(bool CreateSuspended);

    template <class T, class... Args>
    static std::unique_ptr<T> New(Args&&... Arguments)
    {
        auto thread = std::make_unique<T>(std::forward<Args>(Arguments)...);
        thread->AfterConstruction();
        return thread;
    }
    // Starts the thread unless it was created suspended; New calls it.
    void AfterConstruction();
    // Asks the thread to end, wakes it and waits for it: the thread uses its
    // object until it ends. A derived class whose body may still run must
    // stop it in its own destructor, before its members are gone; owners
    // that must not wait without a bound stop the thread with StopAndFree.
    ~TThread() override;

    void Resume();
    // From the thread itself: waits until the next Resume (a Resume already
    // given since the last Suspend is used at once). From another thread:
    // suspends the thread where it stands.
    void Suspend();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    // Waits up to TimeoutMs for the thread to end; true when it has ended.
    bool WaitFor(DWORD TimeoutMs);
    bool Finished() const { return FFinished; }
    bool Suspended() const { return FSuspendedBySystem || FWaitingForResume; }

    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority Value);

    HANDLE Handle() const { return FHandle; }
    DWORD ThreadID() const { return FThreadId; }
    // The message of an exception that ended Execute, empty otherwise.
    String FatalException() const { return FFatalMessage; }

    // Terminate, wake the thread (from Suspend or a system suspension) and
    // wait up to TimeoutMs; a thread that ended is freed and Thread cleared.
    // A thread still running then is left running and its object is
    // deliberately not freed, since the thread still uses it. Returns
    // whether the thread ended.
    static bool StopAndFree(std::unique_ptr<TThread>& Thread, DWORD TimeoutMs);

protected:
    virtual void Execute() = 0;

private:
    static DWORD WINAPI ThreadProc(LPVOID Param);

    HANDLE FHandle = nullptr;
    DWORD FThreadId = 0;
    HANDLE FResumeEvent = nullptr;                 // auto-reset: one permit per Resume
    std::atomic<bool> FTerminated{false};          // written by any thread
    std::atomic<bool> FFinished{false};            // written by the thread
    std::atomic<bool> FWaitingForResume{false};    // written by the thread
    std::atomic<bool> FSuspendedBySystem{false};   // written by the controlling thread
    bool FCreateSuspended;
    String FFatalMessage;                          // written by the thread before it finishes
};

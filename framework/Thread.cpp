#include "framework/Thread.h"

#include "framework/Application.h"
#include "framework/Exception.h"

namespace {

int ToWin32Priority(TThreadPriority p)
{
    switch (p) {
    case TThreadPriority::tpIdle: return THREAD_PRIORITY_IDLE;
    case TThreadPriority::tpLowest: return THREAD_PRIORITY_LOWEST;
    case TThreadPriority::tpLower: return THREAD_PRIORITY_BELOW_NORMAL;
    case TThreadPriority::tpNormal: return THREAD_PRIORITY_NORMAL;
    case TThreadPriority::tpHigher: return THREAD_PRIORITY_ABOVE_NORMAL;
    case TThreadPriority::tpHighest: return THREAD_PRIORITY_HIGHEST;
    case TThreadPriority::tpTimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
    }
    return THREAD_PRIORITY_NORMAL;
}

} // namespace

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended)
{
    FResumeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (FResumeEvent == nullptr)
        throw EThread("Thread creation error: cannot create its resume event");
    FHandle = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &FThreadId);
    if (FHandle == nullptr) {
        const DWORD error = GetLastError();
        CloseHandle(FResumeEvent);
        throw EThread("Thread creation error (" + std::to_string(error) + ")");
    }
    FSuspendedBySystem = true;
}

void TThread::AfterConstruction()
{
    if (!FCreateSuspended)
        Resume();
}

TThread::~TThread()
{
    if (!FFinished) {
        Terminate();
        Resume();
        WaitForSingleObject(FHandle, INFINITE);
    }
    CloseHandle(FHandle);
    CloseHandle(FResumeEvent);
}

DWORD WINAPI TThread::ThreadProc(LPVOID Param)
{
    auto* self = static_cast<TThread*>(Param);
    // A thread asked to end before it ever ran does not run its body.
    if (!self->FTerminated) {
        try {
            self->Execute();
        } catch (const std::exception& e) {
            self->FFatalMessage = e.what();
            Application->HandleException(self);
        } catch (...) {
            self->FFatalMessage = "Unknown exception";
            Application->HandleException(self);
        }
    }
    self->FFinished = true;
    return 0;
}

void TThread::Resume()
{
    if (FSuspendedBySystem.exchange(false)) {
        ResumeThread(FHandle);
        return;
    }
    // Self-suspension, now or still to come: one permit.
    SetEvent(FResumeEvent);
}

void TThread::Suspend()
{
    if (GetCurrentThreadId() == FThreadId) {
        FWaitingForResume = true;
        WaitForSingleObject(FResumeEvent, INFINITE);
        FWaitingForResume = false;
        return;
    }
    if (!FFinished && !FSuspendedBySystem.exchange(true))
        SuspendThread(FHandle);
}

bool TThread::WaitFor(DWORD TimeoutMs)
{
    return WaitForSingleObject(FHandle, TimeoutMs) == WAIT_OBJECT_0;
}

TThreadPriority TThread::Priority() const
{
    const int p = GetThreadPriority(FHandle);
    for (auto candidate : {TThreadPriority::tpIdle, TThreadPriority::tpLowest, TThreadPriority::tpLower,
                           TThreadPriority::tpNormal, TThreadPriority::tpHigher, TThreadPriority::tpHighest,
                           TThreadPriority::tpTimeCritical})
        if (ToWin32Priority(candidate) == p)
            return candidate;
    return TThreadPriority::tpNormal;
}

void TThread::SetPriority(TThreadPriority Value)
{
    SetThreadPriority(FHandle, ToWin32Priority(Value));
}

bool TThread::StopAndFree(std::unique_ptr<TThread>& Thread, DWORD TimeoutMs)
{
    if (!Thread)
        return true;
    Thread->Terminate();
    Thread->Resume();
    if (!Thread->WaitFor(TimeoutMs)) {
        // Still running: the thread keeps its object.
        static_cast<void>(Thread.release());
        return false;
    }
    Thread.reset();
    return true;
}

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "framework/Application.h"
#include "framework/Thread.h"
#include "framework/Ticks.h"

namespace {

// Runs one job per resume, suspending itself between jobs, like the
// programs' job workers.
class Worker : public TThread {
public:
    Worker() : TThread(false) {}
    ~Worker() override
    {
        Terminate();
        Resume();
        WaitFor(INFINITE);
    }
    std::atomic<int> jobs{0};
    std::atomic<bool> suspending{false};

protected:
    void Execute() override
    {
        for (;;) {
            suspending = true;
            Suspend();
            suspending = false;
            if (Terminated())
                return;
            ++jobs;
        }
    }
};

bool WaitUntil(const std::function<bool()>& done, Cardinal boundMs)
{
    const Cardinal start = GetTickCount32();
    while (!done()) {
        if (GetTickCount32() - start > boundMs)
            return false;
        Sleep(1);
    }
    return true;
}

TEST(Thread, EachResumeRunsOneJob)
{
    auto worker = TThread::New<Worker>();
    Worker& w = *worker;
    ASSERT_TRUE(WaitUntil([&] { return w.Suspended(); }, 5000));
    for (int i = 1; i <= 50; ++i) {
        w.Resume();
        ASSERT_TRUE(WaitUntil([&] { return w.jobs == i && w.Suspended(); }, 5000)) << "job " << i;
    }
}

TEST(Thread, AResumeBeforeTheThreadSuspendsIsNotLost)
{
    // Resumed at once after creation, before the body reaches Suspend.
    auto worker = TThread::New<Worker>();
    Worker& w = *worker;
    w.Resume();
    ASSERT_TRUE(WaitUntil([&] { return w.jobs == 1; }, 5000)) << "the early resume was lost";
}

TEST(Thread, SuspendFromOutsideStopsTheThreadWhereItStands)
{
    class Counter : public TThread {
    public:
        Counter() : TThread(true) {}
        ~Counter() override
        {
            Terminate();
            Resume();
            WaitFor(INFINITE);
        }
        std::atomic<long> count{0};

    protected:
        void Execute() override
        {
            while (!Terminated())
                ++count;
        }
    };
    auto counter = TThread::New<Counter>();
    Counter& c = *counter;
    Sleep(20);
    EXPECT_EQ(c.count, 0) << "created suspended";
    c.Resume();
    ASSERT_TRUE(WaitUntil([&] { return c.count > 1000; }, 5000));
    c.Suspend();
    const long frozen = c.count;
    Sleep(50);
    EXPECT_EQ(c.count, frozen);
    c.Resume();
    ASSERT_TRUE(WaitUntil([&] { return c.count > frozen; }, 5000));
}

TEST(Thread, PrioritiesAndBoundedWaits)
{
    class Sleeper : public TThread {
    public:
        Sleeper() : TThread(true) {}
        ~Sleeper() override { WaitFor(INFINITE); }

    protected:
        void Execute() override { Sleep(300); }
    };
    auto s = TThread::New<Sleeper>();
    for (auto p : {TThreadPriority::tpHighest, TThreadPriority::tpHigher, TThreadPriority::tpLower}) {
        s->SetPriority(p);
        EXPECT_EQ(s->Priority(), p);
    }
    s->Resume();
    EXPECT_FALSE(s->WaitFor(20));
    EXPECT_TRUE(s->WaitFor(5000));
    EXPECT_TRUE(s->Finished());
}

TEST(Thread, StopAndFreeLeavesAThreadThatDoesNotEndRunning)
{
    class Stubborn : public TThread {
    public:
        explicit Stubborn(std::atomic<bool>& release) : TThread(false), release(release) {}
        std::atomic<bool>& release;
        std::atomic<bool> entered{false};

    protected:
        void Execute() override
        {
            entered = true;
            while (!release)
                Sleep(5);
        }
    };
    static std::atomic<bool> release{false};
    auto stubborn = TThread::New<Stubborn>(release);
    ASSERT_TRUE(WaitUntil([&] { return stubborn->entered.load(); }, 5000));
    std::unique_ptr<TThread> t = std::move(stubborn);
    TThread* raw = t.get();
    EXPECT_FALSE(TThread::StopAndFree(t, 50));
    EXPECT_EQ(t, nullptr);
    // Not freed: the thread still runs and still owns its object.
    EXPECT_FALSE(raw->Finished());
    release = true;
    EXPECT_TRUE(raw->WaitFor(5000));
    std::unique_ptr<TThread> again(raw);
    EXPECT_TRUE(TThread::StopAndFree(again, 1000));
}

TEST(Thread, AnExceptionInTheBodyEndsTheThreadWithItsMessage)
{
    class Failing : public TThread {
    public:
        Failing() : TThread(true) {}
        ~Failing() override { WaitFor(INFINITE); }

    protected:
        void Execute() override { throw Exception("worker failed"); }
    };
    auto failing = TThread::New<Failing>();
    Failing& f = *failing;
    Application->MessageBoxHook = [](const String&, const String&, UINT) { return IDOK; };
    f.Resume();
    ASSERT_TRUE(f.WaitFor(5000));
    Application->MessageBoxHook = nullptr;
    EXPECT_EQ(f.FatalException(), "worker failed");
}

} // namespace

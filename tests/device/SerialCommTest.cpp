// The serial port component and the serial wrapper against the simulated
// extender, through a COM name of the Wine prefix mapped to its pseudo-terminal.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "device/EcComm.h"
#include "device/SerialComm.h"
#include "framework/Ticks.h"
#include "tests/device/ByteText.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/SimDevice.h"
#include "tests/support/UnixCommand.h"

namespace {

using gui::PumpFor;
using gui::PumpUntil;

const std::string GetParams = Hex("CA 20 FE 28 01 30 BE");
// The simulator's default parameter block, as a B0 reply.
const std::string ParamsReplyData = Hex("30 30 30 30 30 30 50 05 05 05 05 05 05 01 00 00 00");

struct Received {
    std::vector<std::string> blocks;        // OnReceiveData
    std::vector<std::string> afterBlocks;   // OnAfterReceiveData
    int emptyEvents = 0;
    std::string All() const
    {
        std::string all;
        for (const auto& b : blocks)
            all += b;
        return all;
    }
};

class SerialCommTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Started()) << sim.StartError();
        std::cout << "simulator on " << sim.ComName() << " (" << sim.PtyPath() << "), TCP port " << sim.TcpPort()
                  << std::endl;
        Bind(comm);
    }

    void Bind(TComm& c)
    {
        c.CommName = sim.ComName();
        c.SetBaudRate(38400);
        c.OnReceiveData = [this](TObject*, void* buffer, Word length) {
            EXPECT_EQ(GetCurrentThreadId(), mainThread);
            got.blocks.emplace_back(static_cast<const char*>(buffer), length);
        };
        c.OnAfterReceiveData = [this](TObject*, void* buffer, Word length) {
            got.afterBlocks.emplace_back(static_cast<const char*>(buffer), length);
        };
        c.OnSendDataEmpty = [this](TObject*) { ++got.emptyEvents; };
    }

    bool Send(TComm& c, const std::string& bytes) { return c.WritePortData(bytes.data(), static_cast<Word>(bytes.size())); }

    SimDevice sim;
    TComm comm{nullptr};
    Received got;
    DWORD mainThread = GetCurrentThreadId();
};

TEST_F(SerialCommTest, OpenErrorsRaiseTheirTextsAndLeaveTheStateAsItWas)
{
    struct Case {
        std::string name;
        const char* message;
    };
    RunUnix("echo not a port > /tmp/serial-test-plain-file", 5000);
    // A port that cannot be opened is named, with the system's reason.
    const Case cases[] = {
        {"COM251", nullptr},
        {"Z:\\tmp\\serial-test-plain-file", "File handle is not a comm handle "},
    };
    for (const Case& c : cases) {
        TComm other(nullptr);
        other.CommName = c.name;
        try {
            other.OpenPort();
            ADD_FAILURE() << c.name << " opened";
        } catch (const ECommsError& e) {
            const String head = "Error opening serial port " + c.name + ": ";
            if (c.message != nullptr) {
                EXPECT_EQ(e.Message, c.message) << c.name;
            } else {
                EXPECT_EQ(e.Message.substr(0, head.size()), head) << c.name;
                const String reason = e.Message.substr(std::min(head.size(), e.Message.size()));
                EXPECT_FALSE(reason.empty() || reason.rfind("System error", 0) == 0) << c.name << ": " << e.Message;
            }
        }
        EXPECT_FALSE(other.Opened()) << c.name;
    }

    comm.OpenPort();
    try {
        comm.OpenPort();
        ADD_FAILURE() << "opened twice";
    } catch (const ECommsError& e) {
        EXPECT_EQ(e.Message, "This serial port already opened");
    }
    EXPECT_TRUE(comm.Opened());
    // Still working after the refused second open.
    ASSERT_TRUE(Send(comm, GetParams));
    EXPECT_TRUE(PumpUntil([&] { return got.All().size() >= 22; }, 10000));
    comm.ClosePort();
    comm.ClosePort();   // closing a closed port does nothing
    EXPECT_FALSE(comm.Opened());
}

TEST_F(SerialCommTest, WritesAreQueuedOnlyOnAnOpenPortAndEmptyIsSignalledOnce)
{
    EXPECT_FALSE(Send(comm, GetParams)) << "closed port";
    comm.OpenPort();
    EXPECT_FALSE(comm.WritePortData(GetParams.data(), 0)) << "length 0";
    PumpFor(300);
    EXPECT_TRUE(got.blocks.empty()) << "nothing was sent, so nothing is answered";
    ASSERT_TRUE(PumpUntil([&] { return got.emptyEvents == 1; }, 10000)) << "the writer's first empty notice";
    got.emptyEvents = 0;

    // Queued back to back, the blocks may be written in one or more runs:
    // one notice per run, never more than one per block.
    ASSERT_TRUE(Send(comm, GetParams));
    ASSERT_TRUE(Send(comm, GetParams));
    ASSERT_TRUE(Send(comm, GetParams));
    ASSERT_TRUE(PumpUntil([&] { return got.All().size() >= 3 * 22; }, 10000)) << "three replies";
    PumpFor(300);
    const int notices = got.emptyEvents;
    EXPECT_GE(notices, 1);
    EXPECT_LE(notices, 3);
    PumpFor(300);
    EXPECT_EQ(got.emptyEvents, notices) << "no further notice without a new block";
    EXPECT_TRUE(comm.SendDataEmpty());
    ASSERT_TRUE(Send(comm, GetParams));
    ASSERT_TRUE(PumpUntil([&] { return got.emptyEvents == notices + 1; }, 10000)) << "one notice for one block";
    PumpFor(300);
    EXPECT_EQ(got.emptyEvents, notices + 1);
    // The device received exactly the four requests, nothing more.
    const std::string log = sim.Ctl("log");
    std::size_t requests = 0;
    for (std::size_t at = log.find("CA20FE280130BE"); at != std::string::npos; at = log.find("CA20FE280130BE", at + 1))
        ++requests;
    EXPECT_EQ(requests, 4u) << log;
}

TEST_F(SerialCommTest, BuffersSeparatedByAPauseArriveAsSeparateEventPairs)
{
    comm.OpenPort();
    PumpFor(100);
    ASSERT_TRUE(sim.CtlOk("send pty 11 22 33"));
    // The pause: the second buffer is sent only once the first has arrived,
    // which it does when the line has been quiet for the 100 ms read interval.
    // A fixed pause instead would let a slow reader find both buffers waiting.
    ASSERT_TRUE(PumpUntil([&] { return !got.blocks.empty(); }, 10000)) << "the first buffer alone";
    ASSERT_TRUE(sim.CtlOk("send pty 44 55"));
    ASSERT_TRUE(PumpUntil([&] { return got.blocks.size() >= 2; }, 10000));
    PumpFor(200);
    ASSERT_EQ(got.blocks.size(), 2u);
    EXPECT_EQ(ToHex(got.blocks[0]), "11 22 33");
    EXPECT_EQ(ToHex(got.blocks[1]), "44 55");
    EXPECT_EQ(got.afterBlocks, got.blocks);
}

TEST_F(SerialCommTest, BaudRateAppliesAtOnceParityOnlyAtTheNextOpen)
{
    ASSERT_TRUE(sim.CtlOk("link 9600 N"));
    comm.OpenPort();
    ASSERT_TRUE(Send(comm, GetParams));
    PumpFor(500);
    EXPECT_TRUE(got.blocks.empty()) << "the device is at 9600, the port at 38400";

    comm.SetBaudRate(9600);
    ASSERT_TRUE(Send(comm, GetParams));
    ASSERT_TRUE(PumpUntil([&] { return got.All().size() >= 22; }, 10000)) << "baud rate changed while open";
    comm.ClosePort();

    ASSERT_TRUE(sim.CtlOk("link 9600 E"));
    got = {};
    comm.OpenPort();
    comm.Parity = TParity::Even;
    ASSERT_TRUE(Send(comm, GetParams));
    PumpFor(500);
    EXPECT_TRUE(got.blocks.empty()) << "parity changed while open must wait for the next open";
    comm.ClosePort();
    comm.OpenPort();
    ASSERT_TRUE(Send(comm, GetParams));
    EXPECT_TRUE(PumpUntil([&] { return got.All().size() >= 22; }, 10000)) << "even parity after reopening";
}

TEST_F(SerialCommTest, ReopenPortTakesEachParityCode)
{
    TEcComm link(nullptr);
    Bind(link);
    struct Case {
        Byte code;
        const char* simLink;
        TParity parity;
        bool parityCheck;
    };
    const Case cases[] = {
        {0, "38400 N", TParity::None, false},
        {2, "38400 E", TParity::Even, true},
        {1, "38400 O", TParity::Odd, true},
        {0, "38400 N", TParity::None, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sim.CtlOk(std::string("link ") + c.simLink));
        got = {};
        link.ReopenPort(sim.ComName(), 38400, c.code);
        EXPECT_EQ(link.Parity, c.parity) << "code " << int(c.code);
        EXPECT_EQ(link.ParityCheck(), c.parityCheck) << "code " << int(c.code);
        EXPECT_EQ(link.ByteSize(), TByteSize::_8);
        ASSERT_TRUE(Send(link, GetParams));
        EXPECT_TRUE(PumpUntil([&] { return got.All().size() >= 22; }, 10000)) << "code " << int(c.code);
    }
    // Mark and space are stored; an unknown code keeps the parity with the check on.
    link.ReopenPort(sim.ComName(), 38400, 3);
    EXPECT_EQ(link.Parity, TParity::Mark);
    link.ReopenPort(sim.ComName(), 38400, 4);
    EXPECT_EQ(link.Parity, TParity::Space);
    link.ReopenPort(sim.ComName(), 38400, 9);
    EXPECT_EQ(link.Parity, TParity::Space);
    EXPECT_TRUE(link.ParityCheck());

    try {
        link.ReopenPort("COM252", 9600, 2);
        ADD_FAILURE() << "COM252 opened";
    } catch (const ECommsError& e) {
        EXPECT_EQ(e.Message.rfind("Error opening serial port COM252: ", 0), 0u) << e.Message;
    }
    EXPECT_FALSE(link.Opened());
    EXPECT_EQ(link.CommName, "COM252");
    EXPECT_EQ(link.BaudRate(), 9600u);
    EXPECT_EQ(link.Parity, TParity::Even);
}

TEST_F(SerialCommTest, OwnedParserReportsRepliesOnTheMainThreadSplitOrGlued)
{
    TEcComm link(nullptr);
    std::vector<std::pair<Byte, std::string>> frames;
    link.OnGetFinish = [&](TObject*, Byte command, const String& data) {
        EXPECT_EQ(GetCurrentThreadId(), mainThread);
        frames.emplace_back(command, data);
    };
    link.CreateParser();
    link.OnGetFinish = nullptr;   // a later change does not reach the parser
    link.OnAfterReceiveData = [&](TObject*, void* buffer, Word length) { link.Parser()->FeedBytes(buffer, length); };
    EXPECT_EQ(link.Parser()->CommRec.MyId, 0xFE);
    link.ReopenPort(sim.ComName(), 38400, 0);

    struct Case {
        const char* fault;
        int events;
    };
    const Case cases[] = {
        {"", 1},
        {"fault 28 split 3 150 once", 1},   // a reply in pieces with gaps
        {"fault 28 dup once", 2},           // the same reply twice, glued
        {"fault 28 badcheck once", 0},
        {"fault 28 trailer once", 1},       // 0xAC instead of the check byte
    };
    for (const Case& c : cases) {
        frames.clear();
        if (*c.fault) {
            ASSERT_TRUE(sim.CtlOk(c.fault)) << c.fault;
        }
        ASSERT_TRUE(Send(link, GetParams));
        PumpUntil([&] { return static_cast<int>(frames.size()) >= c.events && c.events > 0; }, c.events > 0 ? 10000 : 3000);
        PumpFor(300);
        ASSERT_EQ(static_cast<int>(frames.size()), c.events) << c.fault;
        for (const auto& f : frames) {
            EXPECT_EQ(f.first, 0xB0) << c.fault;
            EXPECT_EQ(f.second, ParamsReplyData) << c.fault;
        }
    }
    link.ClosePort();
}

int ThreadsOfThisProcess()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 te{};
    te.dwSize = sizeof te;
    int n = 0;
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == GetCurrentProcessId())
            ++n;
    CloseHandle(snap);
    return n;
}

DWORD HandlesOfThisProcess()
{
    DWORD n = 0;
    GetProcessHandleCount(GetCurrentProcess(), &n);
    return n;
}

TEST_F(SerialCommTest, CloseWhileDataArrivesAndReopenManyTimesLeaksNothing)
{
    comm.OpenPort();
    comm.ClosePort();
    PumpFor(200);
    const int threadsBefore = ThreadsOfThisProcess();
    const DWORD handlesBefore = HandlesOfThisProcess();

    // Close in the middle of a stream of data.
    comm.OpenPort();
    ASSERT_TRUE(sim.CtlOk("stream 20000 pty"));
    ASSERT_TRUE(PumpUntil([&] { return !got.blocks.empty(); }, 10000));
    const Cardinal start = GetTickCount32();
    comm.ClosePort();
    // A reader that missed the close would be waited for ThreadStopWaitMs (10 s)
    // and then abandoned (counted below); a prompt close takes milliseconds.
    EXPECT_LT(GetTickCount32() - start, TComm::ThreadStopWaitMs * 3 / 4) << "closing while bytes arrive";

    for (int i = 0; i < 100; ++i) {
        comm.OpenPort();
        if (i % 10 == 0) {
            ASSERT_TRUE(Send(comm, GetParams)) << "round " << i;
        }
        comm.ClosePort();
    }
    PumpFor(300);
    EXPECT_EQ(TComm::AbandonedThreads(), 0);
    EXPECT_LE(ThreadsOfThisProcess(), threadsBefore) << "threads left behind";
    EXPECT_LE(HandlesOfThisProcess(), handlesBefore + 2) << "handles left behind";
}

TEST_F(SerialCommTest, DestroyingAnOpenComponentClosesItsPort)
{
    {
        TComm other(nullptr);
        other.CommName = sim.ComName();
        other.SetBaudRate(38400);
        other.OpenPort();
    }
    // The port is free again.
    comm.OpenPort();
    EXPECT_TRUE(comm.Opened());
}

} // namespace

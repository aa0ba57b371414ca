#pragma once
// A stand-in for Vantrel's main window in the device-link tests: the host
// interface with a serial link, a TCP client and parser, a code table, and a
// record of what the link showed; plus the serial job worker wired to the
// link as the window wires it, and the simulated extender it talks to.

#include <memory>
#include <string>
#include <vector>

#include "device/channel/UNetTask.h"
#include "device/channel/UStmLoad.h"
#include "tests/support/SimDevice.h"

namespace channeltest {

using vantrel::TChannelRecords;

enum class Transport { Serial, Tcp };
const char* NameOf(Transport T);

class TTestHost : public vantrel::TChannelHost {
public:
    TTestHost();
    ~TTestHost() override;

    TEcComm& SerialLink() override { return Link; }
    TTcpClient& TcpClient() override { return Client; }
    TEcpTime& TcpParser() override { return Parser; }
    String ServerHost() override { return HostText; }
    String ServerPort() override { return PortText; }
    String PortName() override { return ComName; }
    String BaudText() override { return Baud; }
    vantrel::TParityState ParityState() override { return Parity; }
    int SendIdIndex() override { return SendId; }
    int ActiveChannel() override { return Channel; }
    String CodeRecord(int Channel, int Slot) override;
    void ShowProgress(bool Visible) override;
    void SetProgress(int Value) override;
    void ShowStatus(const String& Text) override;
    void ProcessMessages() override;

    // The window's settings.
    String HostText = "127.0.0.1";
    String PortText;
    String ComName;
    String Baud = "38400";
    vantrel::TParityState Parity = vantrel::TParityState::Unchecked;
    int SendId = 0xFE;
    int Channel = 0;
    std::vector<String> Codes = std::vector<String>(800);   // channel * 100 + slot

    // What the link showed, in order.
    std::vector<int> Progress;
    std::vector<bool> PanelChanges;
    bool PanelVisible = false;
    std::vector<String> Statuses;
    int MessageRounds = 0;
    // Host calls made off the main thread (must stay 0).
    int ForeignThreadCalls = 0;
    // Called from ProcessMessages, to act while an operation runs.
    std::function<void()> WhileProcessing;

    TEcComm Link{nullptr};
    TTcpClient Client{nullptr};
    TEcpTime Parser{nullptr};
    std::unique_ptr<vantrel::TStmLoad> Worker;

private:
    void CheckThread();
    DWORD FMainThread;
};

// The simulator's log, one entry per line "- T LINK STATUS HEX NOTE".
struct TSimLogEntry {
    double Time = 0;   // milliseconds since the simulator started, when it read the frame
    std::string Link;
    std::string Status;
    std::string Hex;
    std::string Note;
};
std::vector<TSimLogEntry> SimLog(SimDevice& Sim);
// The frames of the log entries whose status is ok or warn (answered), as hex.
std::vector<std::string> AnsweredFrames(SimDevice& Sim);
std::vector<std::string> TxLog(SimDevice& Sim);

// A code record of Length bytes: its own 16-bit length, then a pattern
// that depends on Seed.
String Record(std::size_t Length, int Seed);
// Spaceless upper-case hexadecimal, as the simulator writes it.
std::string HexOf(const String& Bytes);

// The serial device's frame trailer (AC) or the TCP frame's check byte.
std::string RequestHex(Transport T, const std::string& HeadHex);

// The room the tests add to each serial try's wait for its reply (see
// TStmLoad::SetExtraReplyWaitMs): the simulator's answers reach the worker
// through Wine on a machine that may be loaded many times over, and a test
// that expects an answer must not fail because it came late. Tests whose
// faults delay an answer past a try's wait count it in.
constexpr Cardinal ReplyRoomMs = 4000;

// A test with a host, a worker and a simulated extender.
class ChannelFixture {
public:
    explicit ChannelFixture(const std::string& SimOptions = "");
    ~ChannelFixture();

    bool Ready(std::string* Why) const;
    // Loads records into the device (channel, slot, record).
    void Store(int Channel, int Slot, const String& Bytes);

    // The operations as the window runs them on each transport.
    bool Read(Transport T);
    bool Download(Transport T);
    bool SendRaw(Transport T, int Slot);
    bool SendFrame(Transport T, const String& Frame);
    // A serial job: open the port, start, wait with the job's limit.
    bool RunSerialJob(Byte Kind, Byte Slot = 0, const String& Frame = String());

    SimDevice Sim;
    TTestHost Host;
};

} // namespace channeltest

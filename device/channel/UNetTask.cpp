#include "device/channel/UNetTask.h"

#include <algorithm>

#include "device/Frames.h"
#include "framework/StrUtils.h"

namespace vantrel {

namespace {

constexpr DWORD ConnectTimeoutMs = 2000;
constexpr DWORD ReadBoundMs = 8000;
constexpr Cardinal RetryPauseMs = 500;
// Draining late replies: the connection must have been quiet this long ...
constexpr Cardinal DrainQuietMs = 150;
// ... but one that never goes quiet is drained at most this long.
constexpr Cardinal DrainLimitMs = 1000;

// The reply of the last exchange, on the main thread only. Nothing on this
// path sets the code or the marker beyond clearing them; the result of an
// exchange comes from the parser.
struct TBootRev {
    Byte Command = 0;   // cleared before every exchange
    Byte Marker = 0;    // cleared by each read
    String SData;       // the bytes of the last read, then the data of the frame parsed from them
};

TBootRev netReply;
String netFailureText;

int NetTries(TChannelStep Step)
{
    switch (Step) {
    case TChannelStep::ReadDirectory:
    case TChannelStep::ReadMemory: return 2;
    case TChannelStep::ClearSlot:
    case TChannelStep::WriteMemory: return 3;
    case TChannelStep::RawFrame:
    case TChannelStep::SlotRequest: return 1;
    }
    return 1;
}

bool IsReplyType(Byte Code) { return Code == ReplyAck || Code == ReplyData || Code == ReplyNoData; }

unsigned long long Now() { return GetTickCount64(); }

// Claims the device link for the operation; refused while another runs
// (a serial job, or a TCP operation asked for from a message handled meanwhile).
class TNetOperation {
public:
    TNetOperation() : FOwns(TryBeginDeviceOperation())
    {
        if (FOwns)
            netFailureText.clear();
    }
    ~TNetOperation()
    {
        if (FOwns)
            EndDeviceOperation();
    }
    TNetOperation(const TNetOperation&) = delete;
    TNetOperation& operator=(const TNetOperation&) = delete;
    bool Refused() const { return !FOwns; }

private:
    bool FOwns;
};

// Opens a fresh connection to the host's server. The port text is converted
// first (EConvertError); a failing connect raises ESocketError.
void Connect(TChannelHost& Host, int Port)
{
    TTcpClient& client = Host.TcpClient();
    if (client.Connected())
        client.Disconnect();
    client.Host = Host.ServerHost();
    client.Port = Port;
    client.Connect(ConnectTimeoutMs);
}

// Reads and drops what arrives for at least PauseMs and until the connection
// has been quiet for a while, bounded.
void DrainConnection(TTcpClient& Client, Cardinal PauseMs)
{
    const unsigned long long start = Now();
    unsigned long long last = start;
    for (;;) {
        const unsigned long long now = Now();
        if (now - start >= PauseMs && now - last >= DrainQuietMs)
            return;
        if (now - start >= static_cast<unsigned long long>(PauseMs) + DrainLimitMs)
            return;
        if (!Client.Connected()) {
            Sleep(10);
            continue;
        }
        if (!Client.ReadAvailable(10).empty())
            last = Now();
    }
}

// Each try starts from a reset parser, with what came before its request
// thrown away.
void BeginTry(TChannelHost& Host)
{
    TEcpTime& parser = Host.TcpParser();
    parser.ResetFrame();
    parser.CommRec.Result = 0;
    TTcpClient& client = Host.TcpClient();
    if (client.Connected())
        client.ReadAvailable(0);
    netReply.Command = 0;
}

// The exchange over the TCP connection, on the main thread.
class TNetExchanger : public TChannelExchanger {
public:
    explicit TNetExchanger(TChannelHost& Host) : FHost(Host) {}

    bool Exchange(TChannelStep Step, Byte Command, const String& Data, Byte Awaited) override
    {
        const String frame = BuildNetFrame(Command, Data);
        const int tries = NetTries(Step);
        for (int t = 1; t <= tries; ++t) {
            if (FDrainFirst)
                DrainConnection(FHost.TcpClient(), 0);
            FDrainFirst = false;
            BeginTry(FHost);
            NetSendStr(frame);
            if (NetReceiveAnswer(Awaited)) {
                // The replies of the earlier tries may still be on their way.
                FDrainFirst = t > 1;
                return true;
            }
            if (tries > 1)
                DrainConnection(FHost.TcpClient(), RetryPauseMs);   // the pause after a failed try
            else
                FDrainFirst = true;
        }
        return false;
    }

    String ReplyData() const override { return netReply.SData; }
    void ShowProgress(bool Visible) override { FHost.ShowProgress(Visible); }
    void SetProgress(int Value) override { FHost.SetProgress(Value); }
    void ShowStatus(const String& Text) override { FHost.ShowStatus(Text); }

private:
    TChannelHost& FHost;
    bool FDrainFirst = false;   // drain before the next request
};

TChannelRecords ChannelRecords(TChannelHost& Host, int Channel)
{
    TChannelRecords records;
    if (Channel >= 0 && Channel < ChannelCount)
        for (int s = 0; s < SlotCount; ++s)
            records[static_cast<std::size_t>(s)] = Host.CodeRecord(Channel, s);
    return records;
}

// Runs a channel transfer on a fresh connection: a connection failure fails
// it, an error raised during it too (the transfer hides its progress panel
// however it ends); the connection is closed at the end.
template <class Transfer>
bool RunTransfer(Transfer&& Body)
{
    TNetOperation operation;
    if (operation.Refused())
        return false;
    TChannelHost& host = Host();
    const int port = StrToInt(host.ServerPort());
    try {
        Connect(host, port);
    } catch (const Exception&) {
        return false;
    }
    TNetExchanger link(host);
    bool ok = false;
    try {
        ok = Body(link);
    } catch (...) {
        ok = false;
    }
    host.TcpClient().Disconnect();
    netFailureText = link.FailureText;
    return ok;
}

} // namespace

void NetSendStr(const String& Frame) { Host().TcpClient().Write(Frame); }

bool NetReceiveAnswer(Byte Awaited)
{
    TChannelHost& host = Host();
    TTcpClient& client = host.TcpClient();
    TEcpTime& parser = host.TcpParser();
    netReply.Marker = 0;
    parser.CommRec.Result = 0;
    const unsigned long long start = Now();
    bool ended = false;
    while (!ended) {
        const unsigned long long passed = Now() - start;
        if (passed >= ReadBoundMs)
            break;
        const String bytes = client.ReadAvailable(static_cast<DWORD>(ReadBoundMs - passed));
        if (bytes.empty())
            break;   // the bound passed, or the server closed the connection
        netReply.SData = bytes;
        // Byte by byte, so that the first reply frame ends the read whatever follows it.
        for (char c : bytes) {
            parser.FeedBytes(&c, 1);
            const Byte result = parser.CommRec.Result;
            if (result == 0)
                continue;
            if (IsReplyType(result) || (result == 255 && parser.CommRec.IsAnswer)) {
                ended = true;
                break;
            }
            // A request frame the device sent on its own is not a reply.
            parser.CommRec.Result = 0;
        }
    }
    if (ended)
        netReply.SData = parser.CommRec.SData;
    const bool success = parser.CommRec.Result == Awaited;
    host.ProcessMessages();
    return success;
}

String NetReplyData() { return netReply.SData; }

bool NetReadChannel(int Channel)
{
    return RunTransfer([Channel](TNetExchanger& Link) { return ReadChannel(Link, Channel, ReadBuffer); });
}

bool NetDownloadChannel(int Channel)
{
    if (DeviceOperationRunning())
        return false;
    const TChannelRecords records = ChannelRecords(Host(), Channel);
    return RunTransfer([Channel, &records](TNetExchanger& Link) { return DownloadChannel(Link, Channel, records); });
}

bool NetSendRawCode(int Channel, int Slot)
{
    TNetOperation operation;
    if (operation.Refused())
        return false;
    TChannelHost& host = Host();
    TNetExchanger link(host);
    const bool inRange = Channel >= 0 && Channel < ChannelCount && Slot >= 0 && Slot < SlotCount;
    const String record = inRange ? host.CodeRecord(Channel, Slot) : String();
    if (!CheckRawCode(link, Channel, Slot, record))
        return false;
    Connect(host, StrToInt(host.ServerPort()));
    bool ok = false;
    try {
        ok = SendRawFrames(link, record, NextRawTag(Channel, Slot));
    } catch (...) {
        ok = false;
    }
    host.TcpClient().Disconnect();
    return ok;
}

bool NetSendFrame(const String& Frame)
{
    TNetOperation operation;
    if (operation.Refused())
        return false;
    TChannelHost& host = Host();
    Connect(host, StrToInt(host.ServerPort()));
    bool ok = false;
    try {
        BeginTry(host);
        NetSendStr(Frame);
        ok = NetReceiveAnswer(ReplyAck);
    } catch (...) {
        ok = false;
    }
    host.TcpClient().Disconnect();
    return ok;
}

String NetFailureText() { return netFailureText; }

} // namespace vantrel

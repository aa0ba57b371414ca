#include "tests/device/channel/ChannelTestHost.h"

#include <sstream>

#include "framework/Application.h"

namespace channeltest {

const char* NameOf(Transport T) { return T == Transport::Serial ? "serial" : "tcp"; }

TTestHost::TTestHost() : FMainThread(GetCurrentThreadId())
{
    vantrel::SetChannelHost(this);
    // The window binds its serial-link events to the worker's two handlers.
    Link.OnAfterReceiveData = [this](TObject*, void* Buffer, Word Length) { Worker->ReceiveBytes(Buffer, Length); };
    Link.OnGetFinish = [this](TObject*, Byte Command, const String& Data) { Worker->StoreReply(Command, Data); };
    Link.CreateParser();
    Worker = TThread::New<vantrel::TStmLoad>();
}

TTestHost::~TTestHost()
{
    Worker.reset();
    Link.ClosePort();
    vantrel::SetChannelHost(nullptr);
}

void TTestHost::CheckThread()
{
    if (GetCurrentThreadId() != FMainThread)
        ++ForeignThreadCalls;
}

String TTestHost::CodeRecord(int Channel, int Slot)
{
    CheckThread();
    return Codes.at(static_cast<std::size_t>(Channel * 100 + Slot));
}

void TTestHost::ShowProgress(bool Visible)
{
    CheckThread();
    PanelVisible = Visible;
    PanelChanges.push_back(Visible);
}

void TTestHost::SetProgress(int Value)
{
    CheckThread();
    Progress.push_back(Value);
}

void TTestHost::ShowStatus(const String& Text)
{
    CheckThread();
    Statuses.push_back(Text);
}

void TTestHost::ProcessMessages()
{
    CheckThread();
    ++MessageRounds;
    Application->ProcessMessages();
    if (WhileProcessing)
        WhileProcessing();
}

std::vector<TSimLogEntry> SimLog(SimDevice& Sim)
{
    std::vector<TSimLogEntry> entries;
    std::istringstream in(Sim.Ctl("log"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("- ", 0) != 0)
            continue;
        std::istringstream words(line.substr(2));
        TSimLogEntry e;
        words >> e.Time >> e.Link >> e.Status >> e.Hex;
        std::getline(words, e.Note);
        entries.push_back(e);
    }
    return entries;
}

std::vector<std::string> AnsweredFrames(SimDevice& Sim)
{
    std::vector<std::string> frames;
    for (const auto& e : SimLog(Sim))
        if (e.Status == "ok" || e.Status == "warn")
            frames.push_back(e.Hex);
    return frames;
}

std::vector<std::string> TxLog(SimDevice& Sim)
{
    std::vector<std::string> lines;
    std::istringstream in(Sim.Ctl("txlog"));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("- ", 0) == 0) {
            // "- T LINK TEXT": keep LINK TEXT.
            const auto at = line.find(' ', 2);
            lines.push_back(at == std::string::npos ? line : line.substr(at + 1));
        }
    return lines;
}

String Record(std::size_t Length, int Seed)
{
    String r(Length, '\0');
    for (std::size_t i = 2; i < Length; ++i)
        r[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(Seed) * 31) & 0xFF);
    if (Length >= 1)
        r[0] = static_cast<char>(Length & 0xFF);
    if (Length >= 2)
        r[1] = static_cast<char>((Length >> 8) & 0xFF);
    return r;
}

std::string HexOf(const String& Bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : Bytes) {
        text.push_back(digits[c >> 4]);
        text.push_back(digits[c & 15]);
    }
    return text;
}

std::string RequestHex(Transport T, const std::string& HeadHex)
{
    if (T == Transport::Serial)
        return HeadHex + "AC";
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < HeadHex.size(); i += 2)
        sum += static_cast<unsigned>(std::stoul(HeadHex.substr(i, 2), nullptr, 16));
    static const char digits[] = "0123456789ABCDEF";
    const unsigned check = ~sum & 0xFF;
    return HeadHex + digits[check >> 4] + digits[check & 15];
}

ChannelFixture::ChannelFixture(const std::string& SimOptions) : Sim(SimOptions)
{
    vantrel::TStmLoad::SetExtraReplyWaitMs(ReplyRoomMs);
    if (!Sim.Started())
        return;
    Host.ComName = Sim.ComName();
    Host.PortText = std::to_string(Sim.TcpPort());
}

ChannelFixture::~ChannelFixture() = default;

bool ChannelFixture::Ready(std::string* Why) const
{
    if (!Sim.Started())
        *Why = Sim.StartError();
    return Sim.Started();
}

void ChannelFixture::Store(int Channel, int Slot, const String& Bytes)
{
    Sim.Ctl("slot set " + std::to_string(Channel) + " " + std::to_string(Slot) + " " + HexOf(Bytes));
}

bool ChannelFixture::RunSerialJob(Byte Kind, Byte Slot, const String& Frame)
{
    vantrel::OpenChannelPort();
    if (!Host.Worker->StartJob(Kind, Slot, Frame))
        return false;
    Host.Worker->WaitDone(Host.Worker->JobTimeLimitMs());
    return Host.Worker->Result();
}

bool ChannelFixture::Read(Transport T)
{
    if (T == Transport::Tcp)
        return vantrel::NetReadChannel(Host.Channel);
    return RunSerialJob(vantrel::TStmLoad::JobReadChannel);
}

bool ChannelFixture::Download(Transport T)
{
    if (T == Transport::Tcp)
        return vantrel::NetDownloadChannel(Host.Channel);
    return RunSerialJob(vantrel::TStmLoad::JobDownloadChannel);
}

bool ChannelFixture::SendRaw(Transport T, int Slot)
{
    if (T == Transport::Tcp)
        return vantrel::NetSendRawCode(Host.Channel, Slot);
    return RunSerialJob(vantrel::TStmLoad::JobSendRawCode, static_cast<Byte>(Slot));
}

bool ChannelFixture::SendFrame(Transport T, const String& Frame)
{
    if (T == Transport::Tcp)
        return vantrel::NetSendFrame(Frame);
    return RunSerialJob(vantrel::TStmLoad::JobSendFrame, 0, Frame);
}

} // namespace channeltest

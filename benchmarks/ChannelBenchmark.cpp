// A full channel (100 slots of 2048-byte records) read from the simulated
// extender and downloaded back, with byte pacing on (every byte takes its
// line time both ways, 10 bits a byte at 38400 baud 8N1):
//   - over the serial port through the job worker, printed as the ratio of
//     the measured time to the line time of every byte sent and received;
//   - over loopback TCP, in seconds with the count of round trips, paced as
//     the device server's serial side would be, and unpaced (the link's own
//     cost per round trip).
#include <windows.h>

#include <cstdio>

#include "tests/device/channel/ChannelTestHost.h"

using namespace channeltest;
using namespace vantrel;

namespace {

constexpr Cardinal Baud = 38400;

struct TTraffic {
    std::size_t Requests = 0;
    std::size_t Bytes = 0;   // request and reply bytes together
};

// What crossed the line, from the device's log: each answered request and
// the reply it brings (a directory lists one byte per stored slot).
TTraffic TrafficOf(SimDevice& Sim, std::size_t StoredSlots)
{
    TTraffic t;
    for (const auto& e : SimLog(Sim)) {
        if (e.Status != "ok" && e.Status != "warn")
            continue;
        ++t.Requests;
        const std::size_t request = e.Hex.size() / 2;
        std::size_t reply = 4;
        if (e.Hex.substr(6, 2) == "26")
            reply = e.Hex.substr(10, 8) == "FFFFFFFF" ? 5 + StoredSlots : 5 + std::stoul(e.Hex.substr(18, 2), nullptr, 16);
        t.Bytes += request + reply;
    }
    return t;
}

double LineSeconds(std::size_t Bytes) { return Bytes * 10.0 / Baud; }

// Runs one operation and reports it; false when it failed.
template <class Operation>
bool Measure(const char* What, ChannelFixture& F, bool Ratio, Operation&& Run)
{
    F.Sim.Ctl("log clear");
    const unsigned long long start = GetTickCount64();
    const bool ok = Run();
    const double seconds = (GetTickCount64() - start) / 1000.0;
    const TTraffic t = TrafficOf(F.Sim, SlotCount);
    const double line = LineSeconds(t.Bytes);
    std::printf("  %-34s %s %7.2f s, %4zu round trips, %7zu bytes, line time %6.2f s", What, ok ? "  " : "FAILED",
                seconds, t.Requests, t.Bytes, line);
    if (Ratio && t.Requests > 0)
        std::printf(", ratio %.3f, %.1f ms over the line per round trip", line > 0 ? seconds / line : 0.0,
                    (seconds - line) * 1000 / t.Requests);
    std::printf("\n");
    return ok;
}

bool SameAsStored(const TChannelRecords& Records)
{
    for (int s = 0; s < SlotCount; ++s)
        if (Records[static_cast<std::size_t>(s)] != Record(BlockSize, s))
            return false;
    return true;
}

} // namespace

int main()
{
    ChannelFixture f("--pace");
    std::string why;
    if (!f.Ready(&why)) {
        std::fprintf(stderr, "simulator: %s\n", why.c_str());
        return 1;
    }
    // Channel 0's hundred blocks are contiguous: load them in pieces that fit a command line.
    String memory;
    for (int s = 0; s < SlotCount; ++s)
        memory += Record(BlockSize, s);
    constexpr std::size_t piece = 12000;
    for (std::size_t at = 0; at < memory.size(); at += piece)
        if (!f.Sim.CtlOk("mem write " + std::to_string(SlotAddress(0, 0) + at) + " " + HexOf(memory.substr(at, piece)))) {
            std::fprintf(stderr, "cannot load the channel into the simulator\n");
            return 1;
        }
    for (int s = 0; s < SlotCount; ++s)
        f.Host.Codes[static_cast<std::size_t>(s)] = Record(BlockSize, s);

    bool ok = true;
    std::printf("full channel, 100 slots of 2048 bytes, 38400 baud 8N1, paced both ways\n");
    std::printf("serial port (job worker):\n");
    ok &= Measure("read", f, true, [&] { return f.Read(Transport::Serial) && SameAsStored(ReadBuffer); });
    ok &= Measure("download", f, true, [&] { return f.Download(Transport::Serial); });
    std::printf("loopback TCP, paced like the device server's serial side:\n");
    ok &= Measure("read", f, true, [&] { return f.Read(Transport::Tcp) && SameAsStored(ReadBuffer); });
    ok &= Measure("download", f, true, [&] { return f.Download(Transport::Tcp); });
    f.Sim.Ctl("pace off");
    std::printf("loopback TCP, unpaced:\n");
    ok &= Measure("read", f, false, [&] { return f.Read(Transport::Tcp) && SameAsStored(ReadBuffer); });
    ok &= Measure("download", f, false, [&] { return f.Download(Transport::Tcp); });
    ok &= f.Sim.CtlOk("mem cmp " + std::to_string(SlotAddress(0, 0)) + " " + HexOf(memory.substr(0, piece)));
    std::printf("What limits the serial ratio is a fixed cost per round trip on top of the line\n"
                "time: the simulator's own turn-around (the paced TCP figures show its share),\n"
                "then Wine's pseudo-terminal reads, the read interval time-out (1 ms at this\n"
                "rate) before a reply is handed over, the hand-over from the reader thread to\n"
                "the main thread and on to the worker, and the writer thread's start of the\n"
                "next request. With 900 round trips a channel, each ms costs about 1.6%%; on a\n"
                "busy machine every one of these hand-overs also waits for a free processor.\n");
    return ok ? 0 : 1;
}

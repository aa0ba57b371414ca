// Streams data from the simulated extender through the serial path (pseudo-
// terminal, Wine's serial driver, the reader thread, the hand-over to the
// main thread) at 38400 baud 8N1 and reports the rate achieved against the
// wire's limit of 3840 bytes per second.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "device/SerialComm.h"
#include "framework/Application.h"
#include "framework/Ticks.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/SimDevice.h"

using gui::PumpUntil;

int main(int argc, char** argv)
{
    const unsigned total = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 200 * 1024;
    SimDevice sim("--pace");
    if (!sim.Started()) {
        std::fprintf(stderr, "simulator: %s\n", sim.StartError().c_str());
        return 1;
    }
    TComm comm(nullptr);
    comm.CommName = sim.ComName();
    comm.SetBaudRate(38400);
    unsigned received = 0;
    unsigned firstBlock = 0;
    unsigned events = 0;
    Cardinal first = 0;
    Cardinal last = 0;
    comm.OnReceiveData = [&](TObject*, void*, Word length) {
        if (received == 0) {
            first = GetTickCount32();
            firstBlock = length;
        }
        received += length;
        ++events;
        last = GetTickCount32();
    };
    comm.OpenPort();
    const Cardinal asked = GetTickCount32();
    if (!sim.CtlOk("stream " + std::to_string(total) + " pty")) {
        std::fprintf(stderr, "the simulator refused the stream command\n");
        return 1;
    }
    const double wireSeconds = total / 3840.0;
    const bool complete = PumpUntil([&] { return received >= total; }, static_cast<unsigned>(wireSeconds * 1000 * 1.5) + 10000);
    comm.ClosePort();

    // The first block arrives only once it is complete, so the rate is taken
    // over the bytes that came after it, between the first and the last event.
    const double seconds = (last - first) / 1000.0;
    const double rate = seconds > 0 ? (received - firstBlock) / seconds : 0;
    std::printf("serial stream at 38400 baud 8N1\n");
    std::printf("  bytes received      %u of %u%s\n", received, total, complete ? "" : " (incomplete)");
    std::printf("  receive events      %u (%.0f bytes each on average)\n", events, events ? double(received) / events : 0.0);
    std::printf("  first byte after    %u ms\n", first - asked);
    std::printf("  transfer time       %.2f s (wire time %.2f s)\n", seconds, wireSeconds);
    std::printf("  rate                %.0f B/s, %.1f%% of the wire limit of 3840 B/s\n", rate, rate / 38.40);
    return complete ? 0 : 1;
}

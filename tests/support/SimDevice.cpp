#include "tests/support/SimDevice.h"

#include <windows.h>

#include <atomic>
#include <random>
#include <sstream>

#include "tests/support/UnixCommand.h"

#ifndef SIM_BIN_DIR
#error "SIM_BIN_DIR names the host build's simulator folder"
#endif
#ifndef SIM_FIXTURE
#error "SIM_FIXTURE names the simulator's fixture script"
#endif

namespace {

// How long a shell command that starts, drives or stops the simulator may
// take before it counts as hung: each ends in milliseconds on an idle
// machine, and it returns as soon as it has ended, but on a machine loaded
// many times over a shell started from Wine can take tens of seconds.
constexpr unsigned UnixBoundMs = 120000;

std::string EnvValue(const std::string& env, const std::string& key)
{
    std::istringstream in(env);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + "=", 0) == 0) {
            std::string v = line.substr(key.size() + 1);
            if (v.size() >= 2 && (v.front() == '\'' || v.front() == '"'))
                v = v.substr(1, v.size() - 2);
            return v;
        }
    return "";
}

} // namespace

std::string SimBinDir() { return SIM_BIN_DIR; }

SimDevice::SimDevice(const std::string& Options, const std::string& ComName)
{
    static std::atomic<int> counter{0};
    const int n = counter++;
    const DWORD pid = GetCurrentProcessId();
    // Windows process ids repeat across Wine prefixes, and test runs of other
    // build folders share /tmp: a random part keeps the folders apart.
    std::random_device entropy;
    const unsigned long long salt = (static_cast<unsigned long long>(entropy()) << 32) | entropy();
    FDir = "/tmp/extsim-" + std::to_string(pid) + "-" + std::to_string(n) + "-" + std::to_string(salt);
    // A COM name of its own per process and device, so test executables can run side by side.
    FComName = !ComName.empty() ? ComName : "COM" + std::to_string(20 + (pid * 7 + static_cast<DWORD>(n)) % 230);
    std::string output;
    const std::string start = "EXTENDER_SIM=" + ShellQuote(SimBinDir() + "/extender-sim") + " " +
                              ShellQuote(SIM_FIXTURE) + " start " + ShellQuote(FDir) + " " + Options;
    if (RunUnix(start, UnixBoundMs, &output) != 0) {
        FError = "fixture start failed: " + output;
        return;
    }
    const std::string env = ReadLinuxFile(FDir + "/sim.env");
    FPty = EnvValue(env, "SIM_PTY");
    FCtl = EnvValue(env, "SIM_CTL");
    const std::string port = EnvValue(env, "SIM_TCP_PORT");
    // The prefix's dosdevices link is what Wine opens for a COM name.
    std::string lower = FComName;
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    FComLink = "${WINEPREFIX:-$HOME/.wine}/dosdevices/" + lower;
    if (RunUnix("ln -sfn " + ShellQuote(FPty) + " " + FComLink, UnixBoundMs, &output) != 0) {
        FError = "cannot map " + FComName + ": " + output;
        return;
    }
    FTcpPort = port;
    if (FTcpPort.empty())
        FError = "no sim.env in " + FDir + ": " + env;
}

SimDevice::~SimDevice()
{
    RunUnix(ShellQuote(SIM_FIXTURE) + " stop " + ShellQuote(FDir) + "; rm -f " + FComLink + "; rm -rf " +
                ShellQuote(FDir),
            UnixBoundMs);
}

std::string SimDevice::Ctl(const std::string& Command)
{
    std::string output;
    RunUnix(ShellQuote(SimBinDir() + "/extender-simctl") + " -s " + ShellQuote(FCtl) + " " + Command, UnixBoundMs,
            &output);
    return output;
}

bool SimDevice::CtlOk(const std::string& Command)
{
    const std::string reply = Ctl(Command);
    const auto last = reply.rfind("\nOK");
    return reply.rfind("OK", 0) == 0 || last != std::string::npos;
}

// Each program's start with its skin manager active against inactive: the
// time from the start of the process until its main window shows, for the
// program as shipped (the manager loads and applies its stored skin) and for
// the same program built with no stored skin (the manager finds none and goes
// inactive), as a ratio. Each runs in a folder of its own with settings that
// point at loopback, and is closed by its close button after each start; the
// two alternate, after one start of each that is not counted. Each figure is
// the median of its starts, which a busy moment of a shared machine moves
// less than the mean; the window is polled for every 20 ms or so.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int Rounds = 7;

struct Program {
    const char* Exe;            // in the programs' folder
    const char* InactiveExe;    // the build with no stored skin, beside the benchmark
    const wchar_t* Caption;
    const char* Dll;            // also loaded from the program's folder, or null
    std::string Settings;       // Configure.ini
};

// A folder holding the program (as Exe), its library and its settings.
bool Prepare(const String& Folder, const Program& P, bool Inactive)
{
    const String exe = Folder + P.Exe;
    if (Inactive) {
        const String built = Application->ExePath() + P.InactiveExe;
        if (!CopyFileW(StrToWide(built).c_str(), StrToWide(exe).c_str(), FALSE))
            return false;
    } else if (!programrun::CopyProgram(Folder, {P.Exe})) {
        return false;
    }
    if (P.Dll != nullptr && !programrun::CopyProgram(Folder, {P.Dll}))
        return false;
    testfs::WriteBytes(StrToWide(Folder + "Configure.ini"), P.Settings);
    return true;
}

// Milliseconds until the main window showed; -1 when it did not or the
// program did not end cleanly.
long StartMs(const String& Folder, const Program& P)
{
    const programrun::ProgramEnd end =
        programrun::StartAndClose(Folder, P.Exe, P.Caption, programrun::CloseBy::CloseButton, 60000, 20000);
    return end.Clean() ? static_cast<long>(end.ShowMs) : -1;
}

double Median(std::vector<long> Values)
{
    std::sort(Values.begin(), Values.end());
    const std::size_t n = Values.size();
    return n % 2 == 1 ? static_cast<double>(Values[n / 2]) : (Values[n / 2 - 1] + Values[n / 2]) / 2.0;
}

bool Measure(const Program& P)
{
    testfs::TempDir shippedDir("start-bench-active");
    testfs::TempDir inactiveDir("start-bench-inactive");
    const String shipped = testfs::PathStr(shippedDir.Path()) + "\\";
    const String inactive = testfs::PathStr(inactiveDir.Path()) + "\\";
    if (!Prepare(shipped, P, false) || !Prepare(inactive, P, true)) {
        std::printf("%-8s could not copy the program\n", P.Exe);
        return false;
    }
    std::vector<long> active, idle;
    for (int i = 0; i <= Rounds; ++i) {
        const long a = StartMs(shipped, P);
        const long b = StartMs(inactive, P);
        if (a < 0 || b < 0) {
            std::printf("%-12s did not start and end cleanly (%s)\n", P.Exe, a < 0 ? "manager active" : "inactive");
            return false;
        }
        if (i > 0) {   // the first start of each warms the caches
            active.push_back(a);
            idle.push_back(b);
        }
    }
    const double activeMs = Median(active);
    const double idleMs = Median(idle);
    std::printf("%-12s start to main window: manager active %6.0f ms  inactive %6.0f ms  ratio %5.2f  (median of %d)\n",
                P.Exe, activeMs, idleMs, activeMs / idleMs, Rounds);
    return true;
}

} // namespace

int wmain()
{
    // Loopback addresses only; a port nothing listens on.
    const Program programs[] = {
        {"Vantrel.exe", "vantrel_inactive_skin.exe", L"Vantrel", nullptr,
         "[Vantrel]\r\nIP=127.0.0.1\r\nPort=9\r\nCom=Com1\r\nBand=38400\r\nComSel=False\r\nID=FE\r\n"},
        {"Brimsel.exe", "brimsel_inactive_skin.exe", L"Brimsel V1.30C", "ZNetAdv.dll",
         "[Dowload]\r\nSelPort=串口\r\nSerBand=38400\r\nUsart=Com7\r\nNetIP=127.0.0.1\r\nNetPort=9\r\n"
         "[SimForm]\r\nSelPort=串口\r\nSerBand=38400\r\nUsart=Com7\r\nNetIP=127.0.0.1\r\nNetPort=9\r\n"},
    };
    bool ok = true;
    for (const Program& p : programs)
        ok = Measure(p) && ok;
    return ok ? 0 : 1;
}

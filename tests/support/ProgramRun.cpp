#include "tests/support/ProgramRun.h"

#include <tlhelp32.h>

#include <cstdio>
#include <set>

#include "framework/Application.h"
#include "framework/Codepage.h"

namespace programrun {
namespace {

// The winedbg processes running now: Wine starts one for a program's
// unhandled exception, and it shows the crash dialog.
std::set<DWORD> WinedbgProcesses()
{
    std::set<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, L"winedbg.exe") == 0)
            found.insert(entry.th32ProcessID);
    CloseHandle(snapshot);
    return found;
}

std::set<DWORD> NewSince(const std::set<DWORD>& Before)
{
    std::set<DWORD> added;
    for (DWORD pid : WinedbgProcesses())
        if (Before.count(pid) == 0)
            added.insert(pid);
    return added;
}

void TerminateById(DWORD Pid)
{
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, Pid)) {
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

// The visible top-level window of a process with this caption, or none.
HWND FindProcessWindow(DWORD ProcessId, const wchar_t* Caption)
{
    struct Search {
        DWORD Pid;
        const wchar_t* Caption;
        HWND Found;
    } search{ProcessId, Caption, nullptr};
    EnumWindows(
        [](HWND Wnd, LPARAM Param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(Param);
            DWORD pid = 0;
            GetWindowThreadProcessId(Wnd, &pid);
            wchar_t text[64] = {};
            GetWindowTextW(Wnd, text, 64);
            if (pid != s->Pid || !IsWindowVisible(Wnd) || wcscmp(text, s->Caption) != 0)
                return TRUE;
            s->Found = Wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// Runs a command line and waits for it within the bound; false when it could
// not be started or did not end in time.
bool RunAndWait(WideString Line, DWORD BoundMs)
{
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, Line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    const bool ended = WaitForSingleObject(pi.hProcess, BoundMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    return ended;
}

void Close(HWND Main, DWORD ProcessId, CloseBy How, DWORD BoundMs)
{
    switch (How) {
    case CloseBy::CloseButton: PostMessageW(Main, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case CloseBy::TaskKill: RunAndWait(L"taskkill.exe /PID " + std::to_wstring(ProcessId), BoundMs); break;
    }
}

} // namespace

const char* NameOf(CloseBy How)
{
    return How == CloseBy::CloseButton ? "the close button" : "taskkill";
}

std::string ProgramEnd::Describe() const
{
    if (!WindowShown)
        return Round + (CrashDialog ? ": crash dialog before the main window showed" : ": the main window did not show");
    std::string text = Round + ": " + (Ended ? "ended after " + std::to_string(CloseMs) + " ms with exit code " + std::to_string(ExitCode)
                             : "still running " + std::to_string(CloseMs) + " ms after the close");
    if (CrashDialog)
        text += ", with Wine's crash dialog";
    return text;
}

bool CopyProgram(const String& Folder, const std::vector<const char*>& Files)
{
    const String bin = Application->ExePath() + "..\\bin\\";
    for (const char* file : Files)
        if (!CopyFileW(StrToWide(bin + file).c_str(), StrToWide(Folder + file).c_str(), FALSE))
            return false;
    return true;
}

ProgramEnd StartAndClose(const String& Folder, const String& Exe, const wchar_t* Caption, CloseBy How,
                         DWORD StartBoundMs, DWORD EndBoundMs)
{
    ProgramEnd end;
    const std::set<DWORD> before = WinedbgProcesses();
    const WideString exe = StrToWide(Folder + Exe);
    WideString line = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const DWORD started = GetTickCount();
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, StrToWide(Folder).c_str(), &si,
                        &pi))
        return end;
    CloseHandle(pi.hThread);

    // Waits in steps until Done holds, the process ends, a crash dialog
    // comes up or the bound passes; returns whether Done held.
    auto waitFor = [&](auto Done, DWORD BoundMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            // Read before Done, so that a process ending in between is not
            // taken for one that ended without Done holding.
            const bool processEnded = WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0;
            if (Done())
                return true;
            if (!NewSince(before).empty()) {
                end.CrashDialog = true;
                return false;
            }
            if (processEnded || GetTickCount() - start >= BoundMs)
                return false;
            Sleep(20);
        }
    };
    HWND main = nullptr;
    end.WindowShown = waitFor([&] { return (main = FindProcessWindow(pi.dwProcessId, Caption)) != nullptr; },
                              StartBoundMs);
    end.ShowMs = GetTickCount() - started;
    if (end.WindowShown) {
        const DWORD start = GetTickCount();
        Close(main, pi.dwProcessId, How, EndBoundMs);
        end.Ended = waitFor([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, EndBoundMs);
        end.CloseMs = GetTickCount() - start;
        end.CrashDialog = end.CrashDialog || !NewSince(before).empty();
    }
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, EndBoundMs);
    GetExitCodeProcess(pi.hProcess, &end.ExitCode);
    CloseHandle(pi.hProcess);
    for (DWORD pid : NewSince(before))
        TerminateById(pid);
    return end;
}

std::vector<ProgramEnd> CloseRounds(const String& Folder, const String& Exe, const wchar_t* Caption, int Rounds,
                                    int TaskKillRounds)
{
    std::vector<ProgramEnd> ends;
    for (int i = 0; i < Rounds + TaskKillRounds; ++i) {
        const CloseBy how = i < Rounds ? CloseBy::CloseButton : CloseBy::TaskKill;
        ProgramEnd end = StartAndClose(Folder, Exe, Caption, how, 60000, 20000);
        end.Round = Exe + " start " + std::to_string(i + 1) + ", closed by " + NameOf(how);
        std::printf("%s\n", end.Describe().c_str());
        ends.push_back(end);
    }
    return ends;
}

} // namespace programrun

#include "tests/support/UnixCommand.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string WindowsPathOf(const std::string& LinuxPath)
{
    std::string w = "Z:" + LinuxPath;
    for (char& c : w)
        if (c == '/')
            c = '\\';
    return w;
}

std::string ShellQuote(const std::string& Word)
{
    std::string q = "'";
    for (char c : Word) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

std::string ReadLinuxFile(const std::string& LinuxPath)
{
    std::ifstream in(WindowsPathOf(LinuxPath), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int RunUnix(const std::string& Command, unsigned TimeoutMs, std::string* Output)
{
    // Wine reuses process ids across runs: the tick count keeps names apart.
    static std::atomic<int> counter{0};
    const std::string base = "/tmp/wine-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount()) + "-" + std::to_string(counter++);
    const std::string outFile = base + ".out";
    const std::string rcFile = base + ".rc";
    // The handle Wine returns for a native process cannot be waited on, so
    // the shell reports its end by writing its exit code into a file last.
    const std::string script =
        "(" + Command + ") >" + outFile + " 2>&1 </dev/null; echo $? >" + rcFile + ".tmp; mv " + rcFile + ".tmp " + rcFile;
    // The Windows command line is split by Wine into argv for the Linux
    // program: the shell command goes as one double-quoted argument. Callers
    // quote with single quotes (ShellQuote), so only double quotes need escaping.
    std::string line = "Z:\\bin\\sh -c \"";
    for (char c : script) {
        if (c == '"')
            line += '\\';
        line += c;
    }
    line += "\"";
    std::wstring wide(line.begin(), line.end());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        if (Output != nullptr)
            *Output = "cannot start the shell (error " + std::to_string(GetLastError()) + ")";
        return -1;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    const std::string rcWindows = WindowsPathOf(rcFile);
    const std::wstring rcWide(rcWindows.begin(), rcWindows.end());
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(rcWide.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > TimeoutMs) {
            if (Output != nullptr)
                *Output = ReadLinuxFile(outFile) + "\n(did not end within " + std::to_string(TimeoutMs) + " ms)";
            return -1;
        }
        Sleep(5);
    }
    const int code = std::atoi(ReadLinuxFile(rcFile).c_str());
    if (Output != nullptr)
        *Output = ReadLinuxFile(outFile);
    for (const std::string& f : {outFile, rcFile}) {
        const std::string w = WindowsPathOf(f);
        DeleteFileW(std::wstring(w.begin(), w.end()).c_str());
    }
    return code;
}

#pragma once
// Runs one of the programs as a user does: started in a folder of its own,
// its main window awaited, then ended as a user ends it, and how it ended
// read back: the time until the main window showed, the exit code, the time
// from the close to the end of the process, and whether Wine's crash dialog
// (winedbg) came up.

#include <string>
#include <vector>

#include <windows.h>

#include "framework/Types.h"

namespace programrun {

enum class CloseBy {
    CloseButton,   // WM_SYSCOMMAND SC_CLOSE, as a click on the close button sends
    TaskKill,      // taskkill /PID without /F, which sends WM_CLOSE
};
const char* NameOf(CloseBy How);

struct ProgramEnd {
    std::string Round;           // which start and which way of closing
    bool WindowShown = false;
    DWORD ShowMs = 0;            // from the start of the process to its main window shown
    bool Ended = false;          // within the bound
    DWORD ExitCode = STILL_ACTIVE;
    DWORD CloseMs = 0;           // from the close to the end of the process
    bool CrashDialog = false;    // a winedbg process came up meanwhile
    // Ended within the bound, with exit code 0 and no crash dialog.
    bool Clean() const { return WindowShown && Ended && ExitCode == 0 && !CrashDialog; }
    std::string Describe() const;
};

// Copies the named files from the programs' folder (build/win/bin) into
// Folder (with a trailing backslash); false when one could not be copied.
bool CopyProgram(const String& Folder, const std::vector<const char*>& Files);

// Starts Folder + Exe in Folder, waits up to StartBoundMs for its top-level
// window captioned Caption, ends it by How and waits up to EndBoundMs for the
// process to end. A process still running then, or held by a crash dialog,
// is ended by force, the dialog's winedbg with it.
ProgramEnd StartAndClose(const String& Folder, const String& Exe, const wchar_t* Caption, CloseBy How,
                         DWORD StartBoundMs, DWORD EndBoundMs);

// The rounds a user's closes make: Rounds starts closed by the close button,
// then TaskKillRounds ended with taskkill, each printed with its time. The
// window may take a minute to show on a loaded machine, the end 20 s.
std::vector<ProgramEnd> CloseRounds(const String& Folder, const String& Exe, const wchar_t* Caption, int Rounds,
                                    int TaskKillRounds);

} // namespace programrun

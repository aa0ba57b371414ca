#pragma once
// Counts how often a file is replaced by a rename onto its name (the way a
// safe save puts its new content in place), as the system reports it to
// anyone watching the folder: directory change notifications
// (ReadDirectoryChangesW; under Wine they come from the Linux kernel). The
// count does not depend on the writer's code, only on what reached the disk.

#include <memory>
#include <string>

#include <windows.h>

#include "framework/Types.h"

class ReplaceWatch {
public:
    // Watches the folder of Path from now on.
    explicit ReplaceWatch(const String& Path);
    ~ReplaceWatch();
    ReplaceWatch(const ReplaceWatch&) = delete;
    ReplaceWatch& operator=(const ReplaceWatch&) = delete;

    bool Watching() const { return FDir != INVALID_HANDLE_VALUE; }
    // Renames onto the file's name since the watch began. Notifications are
    // read up to a mark that the watch itself makes after the call (so
    // every earlier change has been reported); -1 when the mark did not
    // come within 10 s or the system lost notifications, with the reason
    // in Error().
    int Replacements();
    const std::string& Error() const { return FError; }

private:
    bool Issue();

    WideString FFolder;
    WideString FName;
    HANDLE FDir = INVALID_HANDLE_VALUE;
    OVERLAPPED FOv{};
    std::unique_ptr<DWORD[]> FBuffer;   // DWORD-aligned, as the notifications need
    int FCount = 0;
    std::string FError;
};

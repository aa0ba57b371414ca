#pragma once
// Routines of the skin library that ask the system: the program folder, the
// caption font, the shell's icon of a file, message records and the
// engine's warning box.

#include <memory>
#include <type_traits>

#include "framework/Messages.h"
#include "framework/Types.h"

// The folder of the running executable with its trailing separator.
String ProgramFolder();

TMessage MakeMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT Result);

// The lfHeight of the caption font of the non-client metrics; 0 when the
// system cannot tell.
int CaptionFontHeight();

struct TIconDeleter {
    void operator()(HICON Icon) const { DestroyIcon(Icon); }
};
using TOwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, TIconDeleter>;

// The shell's icon for an existing file (SHGetFileInfo with SHGFI_ICON added
// to Flags); none when the file is missing, the call fails or the icon is empty.
TOwnedIcon GetShellIcon(const String& FileName, UINT Flags);

#pragma once
// The settings of Brimsel's two windows in INI files: "Configure.ini" beside
// the program (shared with the infrared-code manager, whose section is left
// alone) and the files the user saves and loads. Values are the texts the
// controls show, code page 936.

#include "framework/StringList.h"

namespace brimsel {

// Writes every key of both windows, in the files' key order, in one write
// of the file.
void SaveIniFile(const String& FileName);
// Reads every key into both windows; missing keys, and values too long to be
// settings, give the defaults.
void LoadIniFile(const String& FileName);

// Appends the trimmed, non-empty parts of Text between Separator characters.
void SplitText(const String& Text, TStrings* List, char Separator);
// Not empty, and only the digits 0-9, A-F, a-f.
bool IsHexText(const String& Text);

} // namespace brimsel

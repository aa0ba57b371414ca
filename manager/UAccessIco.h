#pragma once
// The project file type: name files (".pir") open with the running
// executable. At start the shell's keys under HKEY_CLASSES_ROOT are checked
// and written when they do not point at this program:
//
//   .pir                          "Ir Project"
//   Ir Project                    "Ir Project"
//   Ir Project\DefaultIcon        program folder + "Vantrel.ico"
//   Ir Project\Shell              "Open"
//   Ir Project\Shell\Open\Command "<program path>" "%1"

#include "framework/Types.h"

namespace vantrel {

// The open command of a program: the quoted path, a blank, "%1" quoted.
String OpenCommand(const String& ExePath);

// True only when the extension's key exists and the default value of
// TypeKey\Shell\Open\Command is the program's open command, letter case
// included.
bool IsFileTypeRegistered(const String& Extension, const String& ExePath, const String& TypeKey);

// Writes the five keys and tells the shell; false (keys already written
// stay) when any cannot be written, for example without the right to.
bool RegisterFileType(const String& Extension, const String& ExePath, const String& TypeKey,
                      const String& Description, const String& IconPath);

// Registers ".pir" for the running executable unless it is already.
void EnsureFileAssociation();

} // namespace vantrel

#pragma once
// The system's own text for an error code, for messages that say why
// something failed: GetLastError codes on Windows, errno values elsewhere.
// The caller reads the code at once, on the failing thread.

#include "framework/Types.h"

// Code page 936 text without the trailing line end; "System error N" when
// the system has no text for the code.
String SysErrorMessage(unsigned long Code);

#pragma once
// The engine's one-line warning: a message box with the caption "Warning"
// and one OK button (in the host tree, where there are no windows, the text
// is kept for the tests instead; see HostWarnings).

#include <vector>

#include "framework/Types.h"

void ShowWarningBox(const String& Text);

#ifndef _WIN32
// The warnings shown so far, in order (host tree only).
extern std::vector<String> HostWarnings;
#endif

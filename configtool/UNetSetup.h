#pragma once
// Checks of the values written to a serial-device server on the network.
// Each shows its message (followed by the trimmed text for addresses) and
// returns false when the text is not acceptable.

#include "framework/Types.h"

namespace brimsel {

bool CheckIp(const String& Text);
bool CheckMask(const String& Text);
bool CheckGateway(const String& Text);
// Any text that converts to a 32-bit integer (no range check).
bool CheckPort(const String& Text);
// Any text but the empty one.
bool CheckName(const String& Text);

// The login code that every login to a server passes.
extern const char* const ServerLoginCode;

} // namespace brimsel

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

// Part N (from 0) of a dot-separated text, trimmed; empty when there are fewer parts.
String GetDottedPart(int N, const String& Text);
// Digits only, not empty, at most 255. A run of digits too long for any
// integer is simply not a byte.
bool IsByteText(const String& Text);

// The login code that every login to a server passes.
extern const char* const ServerLoginCode;

} // namespace brimsel

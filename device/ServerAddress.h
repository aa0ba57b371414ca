#pragma once
// The address of a serial-device server as the user types it: four decimal
// parts of 0 to 255 separated by dots, or a host name. Both programs check it
// before they connect, so that an empty or malformed text never reaches the
// system's resolver (which takes an empty name for this machine and a
// malformed number for a name to look up); Brimsel also checks the addresses
// it writes to a server with it.

#include "framework/Types.h"

// Part N (from 0) of a dot-separated text, trimmed; empty when there are fewer parts.
String GetDottedPart(int N, const String& Text);
// Digits only, not empty, at most 255. A run of digits too long for any
// integer is simply not a byte.
bool IsByteText(const String& Text);
// The dotted-address check of the values written to a server: without its
// leading and trailing blanks, Text has no blank inside and its parts 0 to 3
// are bytes (a fifth part is not looked at).
bool IsDottedAddress(const String& Text);

// The message that refuses a blank server address.
extern const char* const NoServerAddress;
// Why Text cannot be connected to as a server's address: NoServerAddress
// when it is blank, "无效Ip:" followed by the trimmed text unless it is a
// host name for the resolver or a dotted address of exactly four parts and
// nothing else, none of them with a leading zero, other than 0.0.0.0; empty
// when it can.
String ServerAddressError(const String& Text);

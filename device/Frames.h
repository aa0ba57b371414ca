#pragma once
// Request frames of the manager: 0xCA, 0x20, address, command, data length,
// data, then a check byte or the end byte 0xAC. The address is the index of
// the entry selected in the main window's send-ID list ("00" to "FF"), taken
// through a source that the window installs; no entry selected (-1) is 0xFF.

#include <functional>

#include "framework/Types.h"

// Appends the check byte: the bitwise NOT of the 8-bit sum of all bytes, so
// that the whole frame sums to 0xFF. An empty frame gets 0xFF.
String AddCheckSum(const String& Frame);

// 0xCA, 0x20, address, command, the data length (modulo 256) and the data:
// a request frame without its trailer, for the builders of both programs.
String RequestHead(Byte Address, Byte Command, const String& Data);

// The address source: returns the selected send-ID index (-1 for none).
using TFrameAddressSource = std::function<int()>;
void SetFrameAddressSource(TFrameAddressSource Source);
// The address byte the builders put into a frame (0xFE without a source).
Byte FrameAddress();

// Request with a check byte: every TCP request, and send-number and learn on both transports.
String BuildNetFrame(Byte Command, const String& Data);
// Request with the end byte 0xAC: the serial job worker's channel transfers.
String BuildComFrame(Byte Command, const String& Data);

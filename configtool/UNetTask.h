#pragma once
// Brimsel's frame builders and its parameter commands over TCP, through a
// serial-device server: one connection per command, on the main thread.

#include "framework/Types.h"

namespace brimsel {

// 0xCA, 0x20, the module ID shown in the main window, command, length,
// data, check byte: the serial link's requests.
String BuildComFrame(Byte Command, const String& Data);
// The same to address 0xFE: the TCP requests.
String BuildNetFrame(Byte Command, const String& Data);

// Writes a whole frame to the main window's TCP client in one send.
void NetSendStr(const String& Frame);
// One read of what arrives within 8000 ms, fed to the main window's parser;
// true when these bytes completed a reply of the awaited type.
bool NetReceiveAnswer(Byte Awaited);

bool NetSetParams(const String& Data);
bool NetSetSwitches(const String& Data);
// The reply data of a get, empty on failure.
String NetGetParams();

// The bytes of the last read, then the data of the frame parsed from them.
String NetReplyData();

} // namespace brimsel

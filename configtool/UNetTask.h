#pragma once
// Brimsel's frame builders and its parameter commands over TCP, through a
// serial-device server: one connection per command, on the main thread.

#include "framework/Types.h"

namespace brimsel {

// 0xCA, 0x20, the module ID of the worker's job (the one the main window
// showed when it gave the job), command, length, data, check byte: the
// serial link's requests.
String BuildComFrame(Byte Command, const String& Data);
// The same to address 0xFE: the TCP requests.
String BuildNetFrame(Byte Command, const String& Data);

// Writes a whole frame to the main window's TCP client in one send.
void NetSendStr(const String& Frame);
// Reads what arrives within 8000 ms into the main window's parser, going on
// reading while a frame has begun and is not complete (a device server may
// pass a reply on in several pieces); true when these bytes completed a
// reply of the awaited type.
bool NetReceiveAnswer(Byte Awaited);

// A blank or malformed server address is refused with a message before any
// connection is tried (ServerAddressError).
bool NetSetParams(const String& Data);
bool NetSetSwitches(const String& Data);
// The reply data of a get, empty on failure.
String NetGetParams();

// The bytes of the last read, then the data of the frame parsed from them.
String NetReplyData();

} // namespace brimsel

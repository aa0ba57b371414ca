#pragma once
// Vantrel's channel operations over TCP, through a serial-device server whose
// connection carries the device's serial bytes. Everything runs on the main
// thread with the host's TCP client and TCP parser; each operation opens its
// own connection (host and port read from the window's edits, 2000 ms
// connect time-out) and always closes it when it ends.
//
// A reply may come in several segments: the bytes are read into the parser
// until a reply frame completes or 8000 ms have passed. Each try starts from
// a reset parser with what had arrived before its request thrown away, and
// late replies to a failed try are drained before the next request, so that
// they are never taken as its answer.

#include "device/channel/ChannelCommands.h"

namespace vantrel {

// Writes the whole frame to the TCP client in one send.
void NetSendStr(const String& Frame);
// Reads the answer to the request just sent into the TCP parser; true when a
// reply of the awaited type completed. Request frames that the device sends
// on its own are skipped. Lets the window handle its messages once.
bool NetReceiveAnswer(Byte Awaited);
// The bytes of the last read, then the data of the frame parsed from them.
String NetReplyData();

// Each operation claims the device link (TryBeginDeviceOperation); one asked
// for while another runs (a serial job, or a TCP operation started from a
// message handled during a read) is refused and fails at once.

// Reads the channel into ReadBuffer, or downloads the host's records of the
// channel (copied when the download starts). A connection failure makes them
// fail; a port text that is not a number raises EConvertError.
bool NetReadChannel(int Channel);
bool NetDownloadChannel(int Channel);
// Sends the slot's record for transmission (the checks and status texts of
// CheckRawCode first). A connection failure and a port text that is not a
// number raise.
bool NetSendRawCode(int Channel, int Slot);
// Sends a prepared frame (send number, learn) and waits for its acknowledge.
// A connection failure and a port text that is not a number raise.
bool NetSendFrame(const String& Frame);

// Why the last operation failed, when it has a reason of its own to show in
// place of the plain failure status; empty otherwise.
String NetFailureText();

} // namespace vantrel

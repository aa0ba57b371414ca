#pragma once
// A blocking TCP client for talking to a serial-device server: connect with a
// time-out, write a block as one send, and read what arrives within a
// time-out. Used on the main thread; every wait has a bound.

#include <winsock2.h>

#include "framework/Component.h"
#include "framework/Exception.h"

FRAMEWORK_EXCEPTION(ESocketError, Exception);

class TTcpClient : public TComponent {
public:
    explicit TTcpClient(TComponent* AOwner);
    ~TTcpClient() override;

    String Host;
    int Port = 0;
    DWORD ConnectTimeout = 2000;
    DWORD ReadTimeout = 8000;

    // Raises ESocketError when the host is blank or cannot be resolved, the
    // connection is refused, or it is not made within ConnectTimeout ms.
    void Connect();
    void Connect(DWORD TimeoutMs);
    void Disconnect();
    // A socket is open and the peer has not been seen closing it.
    bool Connected() const { return FSocket != INVALID_SOCKET && !FPeerClosed; }
    bool PeerClosed() const { return FPeerClosed; }

    // Sends the whole block; raises ESocketError when not connected or on error.
    void Write(const String& Bytes);
    // Waits at most TimeoutMs for the first bytes, then returns all that has
    // arrived; returns empty, without error, when nothing arrives. A peer that
    // closed the connection is remembered (PeerClosed) and yields empty.
    String ReadAvailable(DWORD TimeoutMs);

private:
    SOCKET FSocket = INVALID_SOCKET;
    bool FPeerClosed = false;
};

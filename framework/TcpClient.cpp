#include "framework/TcpClient.h"

#include <ws2tcpip.h>

#include <memory>

namespace {

// Winsock is started once for the process and never stopped.
void EnsureWinsock()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        throw ESocketError("Cannot start Windows Sockets");
}

String SocketErrorText(const String& what, int code)
{
    switch (code) {
    case WSAECONNREFUSED: return what + ": connection refused";
    case WSAETIMEDOUT: return what + ": connect timed out";
    case WSAEHOSTUNREACH:
    case WSAENETUNREACH: return what + ": host unreachable";
    case WSAECONNRESET: return what + ": connection reset by peer";
    default: return what + ": socket error " + std::to_string(code);
    }
}

timeval ToTimeval(DWORD ms)
{
    timeval tv;
    tv.tv_sec = static_cast<long>(ms / 1000);
    tv.tv_usec = static_cast<long>((ms % 1000) * 1000);
    return tv;
}

} // namespace

TTcpClient::TTcpClient(TComponent* AOwner) : TComponent(AOwner)
{
}

TTcpClient::~TTcpClient()
{
    Disconnect();
}

void TTcpClient::Connect()
{
    Connect(ConnectTimeout);
}

void TTcpClient::Connect(DWORD TimeoutMs)
{
    EnsureWinsock();
    Disconnect();
    const String target = Host + ":" + std::to_string(Port);
    if (Port <= 0 || Port > 65535)
        throw ESocketError("Cannot connect to " + target + ": invalid port");
    // The system's resolver takes an empty name for this machine.
    if (Host.find_first_not_of(" \t") == String::npos)
        throw ESocketError("Cannot connect to port " + std::to_string(Port) + ": no host given");

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(Host.c_str(), std::to_string(Port).c_str(), &hints, &found) != 0 || found == nullptr)
        throw ESocketError("Host not found: " + Host);
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, &freeaddrinfo);

    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        throw ESocketError(SocketErrorText("Cannot create a socket", WSAGetLastError()));
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);

    int error = 0;
    if (connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) == SOCKET_ERROR) {
        error = WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval tv = ToTimeval(TimeoutMs);
            const int r = select(0, nullptr, &writable, &failed, &tv);
            if (r == 0) {
                error = WSAETIMEDOUT;
            } else if (r < 0) {
                error = WSAGetLastError();
            } else {
                int soError = 0;
                int len = sizeof soError;
                getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &len);
                error = FD_ISSET(s, &failed) && soError == 0 ? WSAECONNREFUSED : soError;
            }
        }
    }
    if (error != 0) {
        closesocket(s);
        throw ESocketError(SocketErrorText("Cannot connect to " + target, error));
    }
    nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    FSocket = s;
    FPeerClosed = false;
}

void TTcpClient::Disconnect()
{
    if (FSocket == INVALID_SOCKET)
        return;
    shutdown(FSocket, SD_BOTH);
    closesocket(FSocket);
    FSocket = INVALID_SOCKET;
    FPeerClosed = false;
}

void TTcpClient::Write(const String& Bytes)
{
    if (FSocket == INVALID_SOCKET)
        throw ESocketError("Not connected");
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const int n = send(FSocket, Bytes.data() + done, static_cast<int>(Bytes.size() - done), 0);
        if (n == SOCKET_ERROR)
            throw ESocketError(SocketErrorText("Cannot send", WSAGetLastError()));
        done += static_cast<std::size_t>(n);
    }
}

String TTcpClient::ReadAvailable(DWORD TimeoutMs)
{
    String result;
    if (FSocket == INVALID_SOCKET || FPeerClosed)
        return result;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(FSocket, &readable);
    timeval tv = ToTimeval(TimeoutMs);
    if (select(0, &readable, nullptr, nullptr, &tv) <= 0)
        return result;
    // Take everything that is there now, without waiting for more.
    char buffer[4096];
    for (;;) {
        u_long pending = 0;
        const int n = recv(FSocket, buffer, sizeof buffer, 0);
        if (n == 0) {
            FPeerClosed = true;
            break;
        }
        if (n == SOCKET_ERROR) {
            if (WSAGetLastError() == WSAECONNRESET || WSAGetLastError() == WSAECONNABORTED)
                FPeerClosed = true;
            break;
        }
        result.append(buffer, static_cast<std::size_t>(n));
        if (ioctlsocket(FSocket, FIONREAD, &pending) != 0 || pending == 0)
            break;
    }
    return result;
}

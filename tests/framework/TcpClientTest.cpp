#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <thread>
#include <vector>

#include "framework/TcpClient.h"
#include "framework/Ticks.h"

namespace {

// A loopback listener made with plain sockets, so the client is tested
// against something it shares no code with.
class Listener {
public:
    explicit Listener(int backlog = 4)
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        sock = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        bind(sock, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(sock, backlog);
        int len = sizeof a;
        getsockname(sock, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Listener()
    {
        for (SOCKET s : accepted)
            closesocket(s);
        closesocket(sock);
    }
    SOCKET Accept()
    {
        SOCKET s = accept(sock, nullptr, nullptr);
        accepted.push_back(s);
        return s;
    }
    SOCKET sock;
    int port;
    std::vector<SOCKET> accepted;
};

std::string ReceiveSome(SOCKET s)
{
    char buffer[256];
    const int n = recv(s, buffer, sizeof buffer, 0);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

TEST(TcpClient, ConnectWriteReadAndPeerClose)
{
    Listener server;
    TTcpClient client(nullptr);
    client.Host = "127.0.0.1";
    client.Port = server.port;
    client.Connect();
    ASSERT_TRUE(client.Connected());
    SOCKET peer = server.Accept();

    client.Write(std::string("\xCA\x20\xFE\x28\x01\x30\xBE", 7));
    EXPECT_EQ(ReceiveSome(peer), std::string("\xCA\x20\xFE\x28\x01\x30\xBE", 7));

    // Nothing sent: an empty read after the bound, without error.
    const Cardinal start = GetTickCount32();
    EXPECT_EQ(client.ReadAvailable(300), "");
    const Cardinal waited = GetTickCount32() - start;
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 6000u) << "the read waited for more than its bound";

    // Two sends that have both arrived come back in one read.
    send(peer, "\xCA\x90", 2, 0);
    send(peer, "\xFF\xA6", 2, 0);
    Sleep(50);
    EXPECT_EQ(client.ReadAvailable(1000), std::string("\xCA\x90\xFF\xA6", 4));

    closesocket(peer);
    server.accepted.clear();
    EXPECT_EQ(client.ReadAvailable(1000), "");
    EXPECT_TRUE(client.PeerClosed());
    EXPECT_FALSE(client.Connected());
    client.Disconnect();
    EXPECT_FALSE(client.PeerClosed());
}

TEST(TcpClient, RefusedPortRaises)
{
    int port;
    {
        Listener closed;
        port = closed.port;
    }
    TTcpClient client(nullptr);
    client.Host = "127.0.0.1";
    client.Port = port;
    EXPECT_THROW(client.Connect(), ESocketError);
    EXPECT_FALSE(client.Connected());
}

TEST(TcpClient, ConnectTimesOutWhenTheListenerNeverAccepts)
{
    // A backlog of 0 holds one pending connection; once it is full, new
    // connection requests go unanswered.
    Listener server(0);
    std::vector<std::unique_ptr<TTcpClient>> fillers;
    bool timedOut = false;
    Cardinal waited = 0;
    for (int i = 0; i < 8 && !timedOut; ++i) {
        auto c = std::make_unique<TTcpClient>(nullptr);
        c->Host = "127.0.0.1";
        c->Port = server.port;
        // A default far above the bound given: a connect that ignored the
        // bound would wait a minute.
        c->ConnectTimeout = 60000;
        const Cardinal start = GetTickCount32();
        try {
            c->Connect(500);
        } catch (const ESocketError& e) {
            waited = GetTickCount32() - start;
            timedOut = true;
            EXPECT_NE(e.Message.find("timed out"), String::npos) << e.Message;
        }
        fillers.push_back(std::move(c));
    }
    ASSERT_TRUE(timedOut) << "the full backlog never made a connect wait";
    EXPECT_GE(waited, 450u);
    EXPECT_LT(waited, 10000u) << "the connect waited for more than its bound";
}

TEST(TcpClient, ABlankHostIsNotTakenForThisMachine)
{
    Listener server;
    for (const char* blank : {"", "  "}) {
        TTcpClient client(nullptr);
        client.Host = blank;
        client.Port = server.port;
        EXPECT_THROW(client.Connect(), ESocketError) << '"' << blank << '"';
        EXPECT_FALSE(client.Connected());
    }
    // A connection made would be waiting on the listener by now.
    fd_set waiting;
    FD_ZERO(&waiting);
    FD_SET(server.sock, &waiting);
    timeval now{0, 0};
    EXPECT_EQ(select(0, &waiting, nullptr, nullptr, &now), 0) << "no connection reached the listener";
}

TEST(TcpClient, BadPortRaisesBeforeAnyTraffic)
{
    TTcpClient client(nullptr);
    client.Host = "127.0.0.1";
    client.Port = 0;
    EXPECT_THROW(client.Connect(), ESocketError);
    EXPECT_THROW(client.Write("x"), ESocketError);
    EXPECT_EQ(client.ReadAvailable(10), "");
}

} // namespace

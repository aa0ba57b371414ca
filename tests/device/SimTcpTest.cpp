// The TCP client against the simulated extender's TCP end, as a serial-device
// server: one exchange per connection, a reply that does not come, a peer
// that drops the connection.
#include <gtest/gtest.h>

#include "device/UEcpTime.h"
#include "framework/TcpClient.h"
#include "framework/Ticks.h"
#include "tests/device/ByteText.h"
#include "tests/support/SimDevice.h"

namespace {

class SimTcpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Started()) << sim.StartError();
        std::cout << "simulator TCP port " << sim.TcpPort() << std::endl;
        client.Host = "127.0.0.1";
        client.Port = sim.TcpPort();
    }

    SimDevice sim;
    TTcpClient client{nullptr};
};

TEST_F(SimTcpTest, ExchangeOneRequestPerConnection)
{
    for (int round = 0; round < 3; ++round) {
        client.Connect();
        ASSERT_TRUE(client.Connected()) << "round " << round;
        client.Write(Hex("CA 20 FE 28 01 30 BE"));
        const std::string reply = client.ReadAvailable(8000);
        TEcpTime parser(nullptr);
        parser.FeedBytes(reply);
        EXPECT_EQ(parser.CommRec.Result, 0xB0) << "round " << round << ": " << ToHex(reply);
        EXPECT_EQ(parser.CommRec.SData.size(), 17u) << "round " << round;
        client.Disconnect();
    }
}

TEST_F(SimTcpTest, NoReplyReadsEmptyAfterTheBound)
{
    ASSERT_TRUE(sim.CtlOk("fault 28 noreply once"));
    client.Connect();
    client.Write(Hex("CA 20 FE 28 01 30 BE"));
    const Cardinal start = GetTickCount32();
    EXPECT_EQ(client.ReadAvailable(600), "");
    EXPECT_GE(GetTickCount32() - start, 550u);
    EXPECT_TRUE(client.Connected());
}

TEST_F(SimTcpTest, APeerThatDropsTheConnectionIsSeenAsClosed)
{
    ASSERT_TRUE(sim.CtlOk("fault 28 drop once"));
    client.Connect();
    client.Write(Hex("CA 20 FE 28 01 30 BE"));
    EXPECT_EQ(client.ReadAvailable(3000), "");
    EXPECT_TRUE(client.PeerClosed());
    EXPECT_FALSE(client.Connected());
    // The next connection works again.
    client.Connect();
    client.Write(Hex("CA 20 FE 28 01 30 BE"));
    EXPECT_FALSE(client.ReadAvailable(8000).empty());
}

} // namespace

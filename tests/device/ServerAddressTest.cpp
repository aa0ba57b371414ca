// The server address check both programs make before they connect: dotted
// parts, byte texts, and the message for a blank or malformed address.
#include <gtest/gtest.h>

#include "device/ServerAddress.h"
#include "framework/Codepage.h"

namespace {

TEST(ServerAddress, DottedPartsAndByteTexts)
{
    struct Part {
        int n;
        const char* text;
        const char* part;
    };
    const Part parts[] = {{0, "255.255.255.0", "255"}, {3, "255.255.255.0", "0"}, {3, "1.2.3", ""},
                          {1, " 1 . 2 .3", "2 "},  // trimmed before the cut, as the check does it
                          {4, "1.2.3.4.5", "5"},      {0, "", ""}};
    for (const Part& p : parts)
        EXPECT_EQ(GetDottedPart(p.n, p.text), p.part) << p.n << " of '" << p.text << "'";
    struct ByteText {
        const char* text;
        bool ok;
    };
    const ByteText bytes[] = {{"0", true},   {"255", true}, {"0255", true}, {"256", false},
                              {"", false},   {"-1", false}, {"1a", false},  {"99999999999999999999", false}};
    for (const ByteText& b : bytes)
        EXPECT_EQ(IsByteText(b.text), b.ok) << "'" << b.text << "'";
}

// The check of the values written to a server passes a fifth part (and a
// trailing dot) and leading zeros; an address connected to is the four parts
// and nothing else, each as the resolver reads it, and names a machine;
// a host name is looked up.
TEST(ServerAddress, OnlyFourDottedBytesAreConnectedTo)
{
    const struct {
        const char* Text;
        bool Dotted;
        const char* Error;   // empty: can be connected to
    } cases[] = {
        {"127.0.0.1", true, ""},
        {" 192.168.1.145 ", true, ""},
        {"10.0.0.1", true, ""},
        // The resolver reads a leading zero as octal: 0127 would be 87.
        {"0127.0.0.1", true, "无效Ip:0127.0.0.1"},
        {"127.0.0.010", true, "无效Ip:127.0.0.010"},
        {"127.00.0.1", true, "无效Ip:127.00.0.1"},
        // No machine; a connect to it reaches this one.
        {"0.0.0.0", true, "无效Ip:0.0.0.0"},
        {"", false, "IP地址不能为空！"},
        {" \t ", false, "IP地址不能为空！"},
        {"127.0.0", false, "无效Ip:127.0.0"},
        {"127.0.0.1.", true, "无效Ip:127.0.0.1."},
        {"1.2.3.4.5", true, "无效Ip:1.2.3.4.5"},
        {"1..2.3", false, "无效Ip:1..2.3"},
        {"127.0.0.256", false, "无效Ip:127.0.0.256"},
        {"127. 0.0.1", false, "无效Ip:127. 0.0.1"},
        {"127.0\t.0.1", false, "无效Ip:127.0\t.0.1"},
        // A host name is the resolver's to look up.
        {"localhost", false, ""},
        {"extender-1.lan", false, ""},
        {"local host", false, "无效Ip:local host"},
        {"host_1", false, "无效Ip:host_1"},
        {"-1.0.0.1", false, "无效Ip:-1.0.0.1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDottedAddress(c.Text), c.Dotted) << '"' << c.Text << '"';
        EXPECT_EQ(StrToUtf8(ServerAddressError(c.Text)), StrToUtf8(c.Error)) << '"' << c.Text << '"';
    }
}

} // namespace

// ZNetAdv.dll driven through its exported functions, as a program uses it, on
// networks described by files written here.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <windows.h>

#include "ZNetAdv.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

const char* const Code = "30571";

// Three servers as a person writes them, with a comment and CRLF line ends.
const std::string ThreeServers =
    "; the test bench\r\n"
    "[server1]\r\n"
    "NAME=box-1\r\n"
    "IP=127.0.1.11\r\n"
    "MARK=255.255.255.0\r\n"
    "GATEWAY=127.0.1.1\r\n"
    "C1_PORT=4001\r\n"
    "C1_CLI_IP1=127.0.1.100\r\n"
    "LOGIN=30571\r\n"
    "\r\n"
    "[server2]\r\n"
    "NAME = box two \r\n"
    "IP=127.0.1.12\r\n"
    "MARK=255.255.0.0\r\n"
    "GATEWAY=127.0.1.2\r\n"
    "C1_PORT=4002\r\n"
    "C1_CLI_IP1=127.0.1.101\r\n"
    "LOGIN=30571\r\n"
    "\r\n"
    "[server3]\r\n"
    "NAME=机房一号\r\n"
    "IP=127.0.2.3\r\n"
    "MARK=255.0.0.0\r\n"
    "GATEWAY=127.0.3.1\r\n"
    "C1_PORT=5000\r\n"
    "C1_CLI_IP1=127.0.3.100\r\n"
    "LOGIN=30571\r\n";

// One server with extra lines (faults, a longer value) in its section.
std::string OneServer(const std::string& Extra)
{
    return "[solo]\r\nNAME=solo\r\nIP=172.16.0.9\r\nMARK=255.255.0.0\r\nGATEWAY=172.16.0.1\r\n"
           "C1_PORT=4001\r\nLOGIN=30571\r\n"
        + Extra;
}

std::string ReadBytes(const fs::path& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& Path, const std::string& Bytes)
{
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out << Bytes;
}

std::string Replaced(std::string Text, const std::string& From, const std::string& To)
{
    const std::size_t at = Text.find(From);
    EXPECT_NE(at, std::string::npos) << From;
    if (at != std::string::npos)
        Text.replace(at, From.size(), To);
    return Text;
}

// What one ZN_GetSearchDev delivered.
struct Delivery {
    std::string Ip, Name, Mask;
    unsigned char Index = 0, Ports = 0;
    unsigned int Ticket = 0;
};

std::optional<Delivery> NextDevice()
{
    char ip[ZN_SEARCH_TEXT_SIZE] = {}, name[ZN_SEARCH_TEXT_SIZE] = {}, mask[ZN_SEARCH_TEXT_SIZE] = {};
    Delivery d;
    if (ZN_GetSearchDev(ip, name, mask, &d.Index, &d.Ports, &d.Ticket) != 1)
        return std::nullopt;
    d.Ip = ip;
    d.Name = name;
    d.Mask = mask;
    return d;
}

// Addresses delivered after ZN_SearchAll until the first miss.
Lines SearchAllIps()
{
    EXPECT_EQ(ZN_SearchAll(), 1);
    Lines ips;
    for (int i = 0; i < 20; ++i) {
        const auto d = NextDevice();
        if (!d)
            break;
        ips.push_back(d->Ip);
    }
    return ips;
}

// The connect sequence of a program: where an attempt stopped.
enum class Step { SearchFailed, DeliveryFailed, LoginFailed, LoggedIn };

const char* StepName(Step S)
{
    switch (S) {
    case Step::SearchFailed: return "search failed";
    case Step::DeliveryFailed: return "delivery failed";
    case Step::LoginFailed: return "login failed";
    case Step::LoggedIn: return "logged in";
    }
    return "?";
}

Step Connect(const std::string& Ip, const char* LoginCode = Code)
{
    if (ZN_Search(Ip.c_str()) != 1)
        return Step::SearchFailed;
    const auto d = NextDevice();
    if (!d)
        return Step::DeliveryFailed;
    return ZN_LoginTCP(d->Index, Ip.c_str(), d->Ticket, LoginCode) == 1 ? Step::LoggedIn : Step::LoginFailed;
}

std::string ReadConfig(const char* Key, int* Result = nullptr)
{
    char value[ZN_CONFIG_VALUE_SIZE];
    std::memset(value, 'x', sizeof value);
    const int r = ZN_GetDevConfigTCP(Key, value);
    if (Result)
        *Result = r;
    EXPECT_NE(std::memchr(value, '\0', sizeof value), nullptr) << Key;
    return std::string(value, strnlen(value, sizeof value));
}

void SetEnv(const wchar_t* Name, const fs::path& Value)
{
    SetEnvironmentVariableW(Name, Value.empty() ? nullptr : Value.c_str());
}

// Every test has its own folder, network file and call log. A new network
// file path also gives the library a fresh network state.
class ZNetAdvTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device random;
        FDir = fs::temp_directory_path() / ("znetadv-" + std::to_string(random()));
        fs::create_directories(FDir);
        UseNetwork("network.ini", ThreeServers);
        FLog = FDir / "calls.log";
        SetEnv(L"ZNETADV_LOG", FLog);
    }
    void TearDown() override
    {
        ZN_ExitTCP();
        SetEnv(L"ZNETADV_NETWORK", {});
        SetEnv(L"ZNETADV_LOG", {});
        std::error_code ignored;
        fs::remove_all(FDir, ignored);
    }

    void UseNetwork(const std::string& FileName, const std::string& Text)
    {
        FNetwork = FDir / FileName;
        WriteBytes(FNetwork, Text);
        SetEnv(L"ZNETADV_NETWORK", FNetwork);
    }

    Lines LogLines() const
    {
        Lines lines;
        std::ifstream in(FLog, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    fs::path FDir, FNetwork, FLog;
};

TEST_F(ZNetAdvTest, SearchAllDeliversEachServerOnceThenNothing)
{
    ASSERT_EQ(ZN_SearchAll(), 1);
    const auto first = NextDevice();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Ip, "127.0.1.11");
    EXPECT_EQ(first->Name, "box-1");
    EXPECT_EQ(first->Mask, "255.255.255.0");
    EXPECT_EQ(first->Index, 1);
    EXPECT_EQ(first->Ports, 1);
    const auto second = NextDevice();
    const auto third = NextDevice();
    ASSERT_TRUE(second && third);
    EXPECT_EQ(second->Ip, "127.0.1.12");
    EXPECT_EQ(second->Name, "box two");
    EXPECT_EQ(third->Ip, "127.0.2.3");
    EXPECT_EQ(third->Index, 3);
    for (int miss = 0; miss < 10; ++miss)
        EXPECT_FALSE(NextDevice()) << "call " << miss + 4;

    // A new search starts over.
    EXPECT_EQ(SearchAllIps(), (Lines{"127.0.1.11", "127.0.1.12", "127.0.2.3"}));
}

TEST_F(ZNetAdvTest, AMissLeavesTheCallersBuffersAlone)
{
    char ip[ZN_SEARCH_TEXT_SIZE] = "unchanged";
    unsigned char index = 77, ports = 77;
    unsigned int ticket = 77;
    EXPECT_EQ(ZN_GetSearchDev(ip, nullptr, nullptr, &index, &ports, &ticket), 0); // no search yet
    EXPECT_STREQ(ip, "unchanged");
    EXPECT_EQ(index, 77);
    EXPECT_EQ(ticket, 77u);
}

TEST_F(ZNetAdvTest, SearchSeesWhichServersAnswer)
{
    struct Case {
        const char* Fault; // added to server2's section
        Lines SearchAll;
        int SearchServer2;
    };
    const Case cases[] = {
        {"", {"127.0.1.11", "127.0.1.12", "127.0.2.3"}, 1},
        {"HIDDEN=1\r\n", {"127.0.1.11", "127.0.2.3"}, 1}, // out of reach of the whole-network search only
        {"OFFLINE=1\r\n", {"127.0.1.11", "127.0.2.3"}, 0},
        {"HIDDEN=0\r\nOFFLINE=0\r\n", {"127.0.1.11", "127.0.1.12", "127.0.2.3"}, 1},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Fault);
        UseNetwork("network" + std::to_string(n++) + ".ini",
                   Replaced(ThreeServers, "C1_PORT=4002\r\n", std::string("C1_PORT=4002\r\n") + c.Fault));
        EXPECT_EQ(SearchAllIps(), c.SearchAll);
        EXPECT_EQ(ZN_Search("127.0.1.12"), c.SearchServer2);
        const auto d = NextDevice();
        EXPECT_EQ(d.has_value(), c.SearchServer2 == 1);
        if (d) {
            EXPECT_EQ(d->Ip, "127.0.1.12");
        }
        EXPECT_FALSE(NextDevice());
    }
}

TEST_F(ZNetAdvTest, SearchForAnAddressDeliversOnlyThatServer)
{
    ASSERT_EQ(ZN_SearchAll(), 1);
    ASSERT_EQ(ZN_Search("127.0.2.3"), 1);
    const auto d = NextDevice(); // the directed search replaced the open one
    ASSERT_TRUE(d);
    EXPECT_EQ(d->Ip, "127.0.2.3");
    EXPECT_EQ(d->Index, 3);
    EXPECT_FALSE(NextDevice());

    for (const char* absent : {"127.0.3.4", " 127.0.2.3", "127.0.2.3 ", ""}) {
        SCOPED_TRACE(absent);
        EXPECT_EQ(ZN_Search(absent), 0);
        EXPECT_FALSE(NextDevice());
    }
}

TEST_F(ZNetAdvTest, ASlowServerAnswersTheSearchLate)
{
    UseNetwork("slow.ini", Replaced(ThreeServers, "LOGIN=30571\r\n", "LOGIN=30571\r\nDELAY_MS=400\r\n"));
    const auto start = Clock::now();
    ASSERT_EQ(ZN_SearchAll(), 1);
    Lines early;
    for (auto d = NextDevice(); d; d = NextDevice())
        early.push_back(d->Ip);
    EXPECT_EQ(early, (Lines{"127.0.1.12", "127.0.2.3"}));

    std::optional<Delivery> late;
    while (!late && Clock::now() - start < std::chrono::seconds(5)) {
        Sleep(10);
        late = NextDevice();
    }
    ASSERT_TRUE(late);
    EXPECT_EQ(late->Ip, "127.0.1.11");
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(390));

    // A directed search and a login wait for its answer.
    for (const auto& call : std::vector<std::function<void()>>{
             [] { EXPECT_EQ(ZN_Search("127.0.1.11"), 1); },
             [] {
                 const auto d = NextDevice();
                 ASSERT_TRUE(d);
                 EXPECT_EQ(ZN_LoginTCP(d->Index, "127.0.1.11", d->Ticket, Code), 1);
             }}) {
        const auto before = Clock::now();
        call();
        EXPECT_GE(Clock::now() - before, std::chrono::milliseconds(390));
    }
}

TEST_F(ZNetAdvTest, ConnectAndRead)
{
    ASSERT_EQ(Connect("127.0.1.12"), Step::LoggedIn);
    EXPECT_EQ(ReadConfig("NAME"), "box two");
    EXPECT_EQ(ZN_ExitTCP(), 1);
}

TEST_F(ZNetAdvTest, LoginNeedsWhatTheDeliveryHandedOutAndTheCode)
{
    struct Case {
        const char* Name;
        std::function<void(Delivery&, std::string& Ip, std::string& LoginCode)> Change;
        int Expected;
    };
    const Case cases[] = {
        {"as delivered", [](Delivery&, std::string&, std::string&) {}, 1},
        {"wrong code", [](Delivery&, std::string&, std::string& c) { c = "30572"; }, 0},
        {"empty code", [](Delivery&, std::string&, std::string& c) { c.clear(); }, 0},
        {"wrong index byte", [](Delivery& d, std::string&, std::string&) { d.Index = 1; }, 0},
        {"wrong ticket", [](Delivery& d, std::string&, std::string&) { d.Ticket ^= 1; }, 0},
        {"another server's address", [](Delivery&, std::string& ip, std::string&) { ip = "127.0.1.11"; }, 0},
        {"address with a blank", [](Delivery&, std::string& ip, std::string&) { ip += " "; }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_EQ(ZN_Search("127.0.1.12"), 1);
        auto d = NextDevice();
        ASSERT_TRUE(d);
        std::string ip = "127.0.1.12", code = Code;
        c.Change(*d, ip, code);
        EXPECT_EQ(ZN_LoginTCP(d->Index, ip.c_str(), d->Ticket, code.c_str()), c.Expected);
        EXPECT_EQ(ZN_ExitTCP(), c.Expected);
    }
}

TEST_F(ZNetAdvTest, OnlyTheLatestTicketOfAServerLogsIn)
{
    ASSERT_EQ(ZN_Search("127.0.2.3"), 1);
    const auto old = NextDevice();
    ASSERT_EQ(ZN_Search("127.0.2.3"), 1);
    const auto fresh = NextDevice();
    ASSERT_TRUE(old && fresh);
    EXPECT_NE(old->Ticket, fresh->Ticket);
    EXPECT_EQ(ZN_LoginTCP(old->Index, "127.0.2.3", old->Ticket, Code), 0);
    EXPECT_EQ(ZN_LoginTCP(fresh->Index, "127.0.2.3", fresh->Ticket, Code), 1);
}

TEST_F(ZNetAdvTest, OneLoginAtATime)
{
    ASSERT_EQ(Connect("127.0.1.11"), Step::LoggedIn);
    EXPECT_EQ(Connect("127.0.2.3"), Step::LoginFailed);
    EXPECT_EQ(ReadConfig("NAME"), "box-1");
    EXPECT_EQ(ZN_ExitTCP(), 1);
    EXPECT_EQ(Connect("127.0.2.3"), Step::LoggedIn);
    EXPECT_EQ(ReadConfig("NAME"), "机房一号");
}

TEST_F(ZNetAdvTest, AServerWithoutLoginCodeTakesAny)
{
    UseNetwork("open.ini", "[open]\r\nIP=10.1.1.1\r\nNAME=open\r\n");
    EXPECT_EQ(Connect("10.1.1.1", "anything"), Step::LoggedIn);
}

TEST_F(ZNetAdvTest, FaultsMakeAttemptsFail)
{
    using enum Step;
    struct Case {
        const char* Fault;
        std::vector<Step> Attempts; // one connect attempt each, ending with ZN_ExitTCP
    };
    const Case cases[] = {
        {"", {LoggedIn, LoggedIn}},
        {"REFUSE_LOGIN=2\r\n", {LoginFailed, LoginFailed, LoggedIn, LoggedIn}},
        {"REFUSE_LOGIN=always\r\n", {LoginFailed, LoginFailed, LoginFailed, LoginFailed, LoginFailed, LoginFailed}},
        {"REFUSE_LOGIN=ALWAYS\r\n", {LoginFailed, LoginFailed}},
        {"REFUSE_LOGIN=0\r\n", {LoggedIn}},
        {"REFUSE_LOGIN=some\r\n", {LoggedIn}},
        {"SEARCH_MISS=2\r\n", {SearchFailed, SearchFailed, LoggedIn, LoggedIn}},
        {"SEARCH_MISS=always\r\n", {SearchFailed, SearchFailed, SearchFailed}},
        {"DELIVER_MISS=1\r\n", {DeliveryFailed, LoggedIn, LoggedIn}},
        {"SEARCH_MISS=1\r\nDELIVER_MISS=1\r\nREFUSE_LOGIN=1\r\n", {SearchFailed, DeliveryFailed, LoginFailed, LoggedIn}},
        {"OFFLINE=1\r\n", {SearchFailed, SearchFailed}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Fault);
        UseNetwork("faults" + std::to_string(n++) + ".ini", OneServer(c.Fault));
        for (std::size_t i = 0; i < c.Attempts.size(); ++i) {
            EXPECT_STREQ(StepName(Connect("172.16.0.9")), StepName(c.Attempts[i])) << "attempt " << i + 1;
            ZN_ExitTCP();
        }
    }
}

TEST_F(ZNetAdvTest, AFaultCountStartsAgainWhenItsValueChanges)
{
    UseNetwork("refuse.ini", OneServer("REFUSE_LOGIN=1\r\n"));
    EXPECT_EQ(Connect("172.16.0.9"), Step::LoginFailed);
    EXPECT_EQ(Connect("172.16.0.9"), Step::LoggedIn);
    ZN_ExitTCP();
    WriteBytes(FNetwork, OneServer("REFUSE_LOGIN=2\r\n"));
    EXPECT_EQ(Connect("172.16.0.9"), Step::LoginFailed);
    EXPECT_EQ(Connect("172.16.0.9"), Step::LoginFailed);
    EXPECT_EQ(Connect("172.16.0.9"), Step::LoggedIn);
}

TEST_F(ZNetAdvTest, ReadsTheKeysOfTheLoggedInServer)
{
    UseNetwork("keys.ini", OneServer("C1_CLI_IP1=172.16.0.100\r\nC1_EMPTY=\r\nREFUSE_LOGIN=0\r\nSEARCH_MISS=0\r\n"));
    ASSERT_EQ(Connect("172.16.0.9"), Step::LoggedIn);
    struct Case {
        const char* Key;
        const char* Value;
        int Result;
    };
    const Case cases[] = {
        {"NAME", "solo", 1},
        {"IP", "172.16.0.9", 1},
        {"MARK", "255.255.0.0", 1},
        {"GATEWAY", "172.16.0.1", 1},
        {"C1_PORT", "4001", 1},
        {"C1_CLI_IP1", "172.16.0.100", 1},
        {"C1_EMPTY", "", 1},
        {"mark", "", 0}, // keys are matched exactly
        {"C1_BAUD", "", 0},
        {"", "", 0},
        {"LOGIN", "", 0}, // the simulation's own keys are not settings
        {"REFUSE_LOGIN", "", 0},
        {"SEARCH_MISS", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Key);
        int result = -1;
        EXPECT_EQ(ReadConfig(c.Key, &result), c.Value);
        EXPECT_EQ(result, c.Result);
    }
}

TEST_F(ZNetAdvTest, BuffersNeverOverrun)
{
    const std::string longName(150, 'n');
    const std::string longIp = "192.168.100.100.100.100"; // 23 characters
    UseNetwork("long.ini", "[long]\r\nNAME=" + longName + "\r\nIP=" + longIp + "\r\nMARK=255.255.255.255.255\r\n");

    // Text buffers followed by guard bytes that must stay as they are.
    struct Guarded {
        char Text[ZN_SEARCH_TEXT_SIZE];
        char Guard[8];
    } ip, name, mask;
    for (Guarded* g : {&ip, &name, &mask})
        std::memset(g, '#', sizeof *g);
    unsigned char index = 0, ports = 0;
    unsigned int ticket = 0;
    ASSERT_EQ(ZN_SearchAll(), 1);
    ASSERT_EQ(ZN_GetSearchDev(ip.Text, name.Text, mask.Text, &index, &ports, &ticket), 1);
    EXPECT_EQ(std::string(ip.Text), longIp.substr(0, 20));
    EXPECT_EQ(std::string(name.Text), longName.substr(0, 20));
    EXPECT_EQ(std::string(mask.Text), "255.255.255.255.255");
    for (Guarded* g : {&ip, &name, &mask})
        EXPECT_EQ(std::string(g->Guard, sizeof g->Guard), std::string(8, '#'));

    // The full address is unknown to a program that got the truncated text.
    EXPECT_EQ(ZN_LoginTCP(index, ip.Text, ticket, "x"), 0);
    EXPECT_EQ(ZN_LoginTCP(index, longIp.c_str(), ticket, "x"), 1);
    struct {
        char Text[ZN_CONFIG_VALUE_SIZE];
        char Guard[8];
    } value;
    std::memset(&value, '#', sizeof value);
    EXPECT_EQ(ZN_GetDevConfigTCP("NAME", value.Text), 1);
    EXPECT_EQ(std::string(value.Text), longName.substr(0, 100));
    EXPECT_EQ(std::string(value.Guard, sizeof value.Guard), std::string(8, '#'));
}

TEST_F(ZNetAdvTest, ResetWritesTheStagedValuesAndANewSearchSeesThem)
{
    ASSERT_EQ(Connect("127.0.1.12"), Step::LoggedIn);
    const std::pair<const char*, const char*> changes[] = {
        {"MARK", "255.255.255.0"}, {"IP", "127.0.1.22"}, {"NAME", ""},
        {"C1_PORT", "-1"},         {"GATEWAY", "127.0.1.254"}, {"C1_PORT", "4012"}, // the last value staged counts
    };
    for (const auto& [key, value] : changes)
        EXPECT_EQ(ZN_ModifyDevConfigTCP(key, value), 1) << key;
    EXPECT_EQ(ReadConfig("MARK"), "255.255.0.0"); // staged, not taken yet
    EXPECT_EQ(ReadBytes(FNetwork), ThreeServers);
    EXPECT_EQ(ZN_ResetDevTCP(), 1);
    EXPECT_EQ(ZN_ExitTCP(), 1);

    // Only the values of the server's lines changed, the rest is as written.
    std::string expected = ThreeServers;
    const std::size_t section = expected.find("[server2]");
    const auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t at = expected.find(from, section);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace("NAME = box two \r\n", "NAME=\r\n");
    replace("IP=127.0.1.12\r\n", "IP=127.0.1.22\r\n");
    replace("MARK=255.255.0.0\r\n", "MARK=255.255.255.0\r\n");
    replace("GATEWAY=127.0.1.2\r\n", "GATEWAY=127.0.1.254\r\n");
    replace("C1_PORT=4002\r\n", "C1_PORT=4012\r\n");
    EXPECT_EQ(ReadBytes(FNetwork), expected);

    EXPECT_EQ(SearchAllIps(), (Lines{"127.0.1.11", "127.0.1.22", "127.0.2.3"}));
    EXPECT_EQ(Connect("127.0.1.12"), Step::SearchFailed);
    ASSERT_EQ(Connect("127.0.1.22"), Step::LoggedIn);
    EXPECT_EQ(ReadConfig("NAME"), "");
    EXPECT_EQ(ReadConfig("MARK"), "255.255.255.0");
    EXPECT_EQ(ReadConfig("C1_PORT"), "4012");
}

TEST_F(ZNetAdvTest, ExitWithoutResetDropsTheStagedValues)
{
    ASSERT_EQ(Connect("127.0.1.11"), Step::LoggedIn);
    EXPECT_EQ(ZN_ModifyDevConfigTCP("IP", "127.0.1.99"), 1);
    EXPECT_EQ(ZN_ModifyDevConfigTCP("NAME", "renamed"), 1);
    EXPECT_EQ(ZN_ExitTCP(), 1);
    ASSERT_EQ(Connect("127.0.1.11"), Step::LoggedIn);
    EXPECT_EQ(ZN_ResetDevTCP(), 1); // nothing staged in this login
    EXPECT_EQ(ZN_ExitTCP(), 1);
    EXPECT_EQ(ReadBytes(FNetwork), ThreeServers);
    EXPECT_EQ(SearchAllIps(), (Lines{"127.0.1.11", "127.0.1.12", "127.0.2.3"}));
}

TEST_F(ZNetAdvTest, ChangesThatADeviceDoesNotTakeAreRefused)
{
    ASSERT_EQ(Connect("127.0.1.11"), Step::LoggedIn);
    const std::pair<const char*, const char*> refused[] = {
        {"C1_BAUD", "9600"},          // a setting the device does not have
        {"LOGIN", "1"},               // the simulation's own key
        {"DELAY_MS", "1000"},
        {"NAME", "two\r\nlines"},     // would break the file
        {"NAME", "line\nend"},
        {nullptr, "x"},
        {"NAME", nullptr},
    };
    for (const auto& [key, value] : refused)
        EXPECT_EQ(ZN_ModifyDevConfigTCP(key, value), 0) << (key ? key : "(null)") << " " << (value ? value : "(null)");
    EXPECT_EQ(ZN_ResetDevTCP(), 1);
    EXPECT_EQ(ReadBytes(FNetwork), ThreeServers);
}

TEST_F(ZNetAdvTest, CallsOutOfOrderFailHarmlessly)
{
    char buffer[ZN_CONFIG_VALUE_SIZE];
    const auto checkIdle = [&](const char* when) {
        SCOPED_TRACE(when);
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(ZN_GetDevConfigTCP("NAME", buffer), 0);
        EXPECT_STREQ(buffer, "");
        EXPECT_EQ(ZN_ModifyDevConfigTCP("NAME", "x"), 0);
        EXPECT_EQ(ZN_ResetDevTCP(), 0);
        EXPECT_EQ(ZN_ExitTCP(), 0);
    };
    checkIdle("before any login");
    EXPECT_EQ(ZN_GetSearchDev(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(ZN_LoginTCP(1, "127.0.1.11", 0, Code), 0); // nothing delivered yet

    // Null pointers are refused, or skipped where they are outputs.
    EXPECT_EQ(ZN_Search(nullptr), 0);
    ASSERT_EQ(ZN_Search("127.0.1.11"), 1);
    EXPECT_EQ(ZN_GetSearchDev(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(Connect("127.0.1.11"), Step::LoggedIn);
    EXPECT_EQ(ZN_GetDevConfigTCP(nullptr, buffer), 0);
    EXPECT_EQ(ZN_GetDevConfigTCP("NAME", nullptr), 0);

    // After the device restarted only the exit is left.
    EXPECT_EQ(ZN_ResetDevTCP(), 1);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(ZN_GetDevConfigTCP("NAME", buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(ZN_ModifyDevConfigTCP("NAME", "x"), 0);
    EXPECT_EQ(ZN_ResetDevTCP(), 0);
    EXPECT_EQ(ZN_ExitTCP(), 1);
    checkIdle("after the exit");
    EXPECT_EQ(ReadBytes(FNetwork), ThreeServers);
}

TEST_F(ZNetAdvTest, TheCallLogListsEveryCallInOrder)
{
    UseNetwork("logged.ini", OneServer("C1_CLI_IP1=172.16.0.100\r\n"));
    ZN_SearchAll();
    const auto found = NextDevice();
    ASSERT_TRUE(found);
    NextDevice();
    ZN_Search("172.16.0.9");
    const auto d = NextDevice();
    ASSERT_TRUE(d);
    ZN_LoginTCP(d->Index, "172.16.0.9", d->Ticket, Code);
    ReadConfig("MARK");
    ReadConfig("C1_BAUD");
    ZN_ModifyDevConfigTCP("NAME", "box one");
    ZN_ModifyDevConfigTCP("GATEWAY", "");
    ZN_ModifyDevConfigTCP("C1_PORT", "a\"b\\c\td");
    ZN_ResetDevTCP();
    ZN_ExitTCP();
    ZN_ExitTCP();
    ZN_Search(nullptr);

    const std::string first = std::to_string(found->Ticket), second = std::to_string(d->Ticket);
    EXPECT_EQ(LogLines(), (Lines{
                              "ZN_SearchAll -> 1",
                              "ZN_GetSearchDev -> 1 172.16.0.9 solo 255.255.0.0 1 1 " + first,
                              "ZN_GetSearchDev -> 0",
                              "ZN_Search 172.16.0.9 -> 1",
                              "ZN_GetSearchDev -> 1 172.16.0.9 solo 255.255.0.0 1 1 " + second,
                              "ZN_LoginTCP 1 172.16.0.9 " + second + " 30571 -> 1",
                              "ZN_GetDevConfigTCP MARK -> 1 255.255.0.0",
                              "ZN_GetDevConfigTCP C1_BAUD -> 0",
                              "ZN_ModifyDevConfigTCP NAME \"box one\" -> 1",
                              "ZN_ModifyDevConfigTCP GATEWAY \"\" -> 1",
                              "ZN_ModifyDevConfigTCP C1_PORT \"a\\\"b\\\\c\\x09d\" -> 1",
                              "ZN_ResetDevTCP -> 1",
                              "ZN_ExitTCP -> 1",
                              "ZN_ExitTCP -> 0",
                              "ZN_Search (null) -> 0",
                          }));
    // The value with quotes and a tab was written to the file as it was staged.
    EXPECT_NE(ReadBytes(FNetwork).find("C1_PORT=a\"b\\c\td\r\n"), std::string::npos);
}

TEST_F(ZNetAdvTest, FilesDefaultToTheFolderOfTheLibrary)
{
    // Without ZNETADV_LOG the log lies beside the network file.
    SetEnv(L"ZNETADV_LOG", {});
    ZN_SearchAll();
    EXPECT_EQ(ReadBytes(FDir / "ZNetAdv-calls.log"), "ZN_SearchAll -> 1\r\n");

    // Without ZNETADV_NETWORK the network file lies beside the DLL, which
    // lies beside this program.
    wchar_t exe[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    const fs::path beside = fs::path(exe).parent_path() / "ZNetAdv-network.ini";
    WriteBytes(beside, "[here]\r\nIP=10.9.9.9\r\n");
    SetEnv(L"ZNETADV_NETWORK", {});
    SetEnv(L"ZNETADV_LOG", FLog);
    const Lines found = SearchAllIps();
    std::error_code ignored;
    fs::remove(beside, ignored);
    EXPECT_EQ(found, Lines{"10.9.9.9"});

    // A missing network file is a network without servers.
    SetEnv(L"ZNETADV_NETWORK", FDir / "missing.ini");
    EXPECT_EQ(SearchAllIps(), Lines{});
    EXPECT_EQ(ZN_Search("10.9.9.9"), 0);
}

} // namespace

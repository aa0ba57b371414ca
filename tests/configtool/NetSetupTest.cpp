// The network device set-up of Brimsel's main window against the stand-in
// network library's simulated network: search, read, write and the checks.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "configtool/UBrimsel.h"
#include "configtool/UKx40Set.h"
#include "configtool/UNetSetup.h"
#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Ticks.h"
#include "tests/support/GuiHarness.h"

namespace {

using namespace brimsel;

const char* const ThreeServers =
    "[server1]\r\nNAME=box-1\r\nIP=127.0.1.11\r\nMARK=255.255.255.0\r\nGATEWAY=127.0.1.1\r\n"
    "C1_PORT=4001\r\nC1_CLI_IP1=127.0.0.1\r\nLOGIN=30571\r\n"
    "[server2]\r\nNAME=box-2\r\nIP=127.0.1.12\r\nMARK=255.255.0.0\r\nGATEWAY=127.0.1.2\r\n"
    "C1_PORT=4002\r\nC1_CLI_IP1=127.0.0.1\r\nLOGIN=30571\r\n"
    "[server3]\r\nNAME=box-3\r\nIP=127.0.1.13\r\nMARK=255.0.0.0\r\nGATEWAY=127.0.1.3\r\n"
    "C1_PORT=4003\r\nC1_CLI_IP1=127.0.0.1\r\nLOGIN=30571\r\n";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The library's calls of the log, without their arguments and results.
std::vector<std::string> CallNames(const std::string& log)
{
    std::vector<std::string> names;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line))
        names.push_back(line.substr(0, line.find(' ')));
    return names;
}

class NetSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string dir = Application->ExePath();
        network = dir + "netsetup-network.ini";
        log = dir + "netsetup-calls.log";
        WriteFile(network, ThreeServers);
        std::remove(log.c_str());
        SetEnvironmentVariableW(L"ZNETADV_NETWORK", StrToWide(network).c_str());
        SetEnvironmentVariableW(L"ZNETADV_LOG", StrToWide(log).c_str());
        // The program's settings point at loopback only.
        WriteFile(dir + "Configure.ini",
                  "[Dowload]\r\nNetIP=127.0.0.1\r\nNetPort=1\r\n[SimForm]\r\nNetIP=127.0.0.1\r\nNetPort=1\r\n");
        Application->CreateForm(main);
        Application->CreateForm(sim);
    }
    void TearDown() override
    {
        delete sim;
        delete main;
        Application->MainForm = nullptr;
        SetEnvironmentVariableW(L"ZNETADV_NETWORK", nullptr);
        SetEnvironmentVariableW(L"ZNETADV_LOG", nullptr);
    }

    String Row(const char* key) { return main->ValueListEditor1->Values(key); }
    void SetRow(const char* key, const String& value) { main->ValueListEditor1->SetValues(key, value); }
    std::vector<std::string> Items()
    {
        std::vector<std::string> items;
        for (int i = 0; i < main->ComboBox15->Items()->Count(); ++i)
            items.push_back(main->ComboBox15->Items()->Strings(i));
        return items;
    }

    std::string network, log;
    TFmKX40* main = nullptr;
    TFmSim* sim = nullptr;
};

TEST_F(NetSetup, SearchFindsEveryServerThenStopsAfterTenMisses)
{
    const Cardinal start = GetTickCount32();
    main->Button4Click(main);
    const Cardinal took = GetTickCount32() - start;
    EXPECT_EQ(Items(), (std::vector<std::string>{"127.0.1.11", "127.0.1.12", "127.0.1.13"}));
    EXPECT_EQ(main->ComboBox15->Text(), "127.0.1.11");
    EXPECT_GE(took, 1450u) << "500 ms, then ten waits of 100 ms";
    const auto calls = CallNames(ReadFile(log));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "ZN_SearchAll");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ZN_GetSearchDev"), 3 + 10);
}

TEST_F(NetSetup, ReadFillsTheFiveRowsAndWriteAppliesThemInOrder)
{
    main->Button4Click(main);
    main->ComboBox15->SetItemIndex(1);
    std::remove(log.c_str());
    main->Button10Click(main);
    EXPECT_EQ(Row("设备名"), "box-2");
    EXPECT_EQ(Row("IP"), "127.0.1.12");
    EXPECT_EQ(Row("掩码"), "255.255.0.0");
    EXPECT_EQ(Row("网关"), "127.0.1.2");
    EXPECT_EQ(Row("工作端口"), "4002");
    const auto readCalls = CallNames(ReadFile(log));
    const std::vector<std::string> expectedRead = {"ZN_Search", "ZN_GetSearchDev", "ZN_LoginTCP",
        "ZN_GetDevConfigTCP", "ZN_GetDevConfigTCP", "ZN_GetDevConfigTCP", "ZN_GetDevConfigTCP",
        "ZN_GetDevConfigTCP", "ZN_ExitTCP"};
    EXPECT_EQ(readCalls, expectedRead);
    const std::string readLog = ReadFile(log);
    EXPECT_LT(readLog.find("MARK"), readLog.find("C1_CLI_IP1"));
    EXPECT_LT(readLog.find("C1_CLI_IP1"), readLog.find("NAME"));
    EXPECT_LT(readLog.find("NAME"), readLog.find("C1_PORT"));
    EXPECT_LT(readLog.find("C1_PORT"), readLog.find("GATEWAY"));
    EXPECT_NE(readLog.find("30571"), std::string::npos) << "the login code";

    SetRow("IP", " 127.0.1.42 ");
    SetRow("设备名", "box-new");
    SetRow("工作端口", "5001");
    std::remove(log.c_str());
    {
        gui::MessageBoxAnswers boxes;
        main->Button9Click(main);
        ASSERT_EQ(boxes.Boxes.size(), 1u);
        EXPECT_EQ(boxes.Boxes[0].Text, "设置成功！") << gui::Utf8(boxes.Boxes[0].Text);
    }
    const std::string writeLog = ReadFile(log);
    std::vector<std::string> modified;
    std::istringstream in(writeLog);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("ZN_ModifyDevConfigTCP ", 0) == 0)
            modified.push_back(line.substr(22, line.find(' ', 22) - 22));
    EXPECT_EQ(modified, (std::vector<std::string>{"MARK", "IP", "NAME", "C1_PORT", "GATEWAY"}));
    const auto writeCalls = CallNames(writeLog);
    ASSERT_GE(writeCalls.size(), 2u);
    EXPECT_EQ(writeCalls[writeCalls.size() - 2], "ZN_ResetDevTCP");
    EXPECT_EQ(writeCalls.back(), "ZN_ExitTCP");
    EXPECT_NE(writeLog.find("IP 127.0.1.42"), std::string::npos) << "values are written trimmed";

    main->Button4Click(main);
    EXPECT_EQ(Items(), (std::vector<std::string>{"127.0.1.11", "127.0.1.42", "127.0.1.13"}));
}

TEST_F(NetSetup, EachCheckStopsTheWriteWithItsMessage)
{
    main->Button4Click(main);
    main->Button10Click(main);
    struct Case {
        const char* row;
        const char* value;
        const char* message;   // empty: the write goes on
    };
    const Case cases[] = {
        {"IP", "127.0.1", "无效Ip:127.0.1"},
        {"IP", "127.0. 1.11", "无效Ip:127.0. 1.11"},
        {"掩码", "255.255.255", "无效掩码:255.255.255"},
        {"掩码", "256.0.0.0", "无效掩码:256.0.0.0"},
        {"掩码", "255.255.255.99999999999999999999", "无效掩码:255.255.255.99999999999999999999"},
        {"工作端口", "abc", "无效端口!"},
        {"设备名", "", "无效名！"},
        {"网关", " 127.0.x.1 ", "无效网关:127.0.x.1"},
        {"掩码", "255.255.255.0.7", ""},
        {"工作端口", "-1", ""},
    };
    for (const Case& c : cases) {
        main->Button10Click(main);
        SetRow(c.row, c.value);
        gui::MessageBoxAnswers boxes;
        main->Button9Click(main);
        ASSERT_EQ(boxes.Boxes.size(), 1u) << c.row << " = " << c.value;
        EXPECT_EQ(boxes.Boxes[0].Text, String(*c.message ? c.message : "设置成功！")) << c.row << " = " << c.value << ": " << gui::Utf8(boxes.Boxes[0].Text);
    }
}

TEST_F(NetSetup, ALoginRefusedSixTimesFailsTheWriteAndShowsNothingOnRead)
{
    main->Button4Click(main);
    main->Button10Click(main);
    const String before = Row("设备名");
    WriteFile(network, std::string(ThreeServers) + "");
    std::string refusing = ThreeServers;
    refusing.insert(refusing.find("[server2]"), "REFUSE_LOGIN=always\r\n");
    WriteFile(network, refusing);
    std::remove(log.c_str());
    {
        gui::MessageBoxAnswers boxes;
        main->Button9Click(main);
        ASSERT_EQ(boxes.Boxes.size(), 1u);
        EXPECT_EQ(boxes.Boxes[0].Text, "设置失败！") << gui::Utf8(boxes.Boxes[0].Text);
    }
    const auto calls = CallNames(ReadFile(log));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ZN_LoginTCP"), 6);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ZN_ModifyDevConfigTCP"), 0);
    {
        gui::MessageBoxAnswers boxes;
        main->Button10Click(main);
        EXPECT_TRUE(boxes.Boxes.empty());
    }
    EXPECT_EQ(Row("设备名"), "") << "the read blanks the rows and finds nothing";
    EXPECT_FALSE(before.empty());
}

} // namespace

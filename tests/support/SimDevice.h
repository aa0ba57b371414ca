#pragma once
// The simulated extender for tests under Wine: started through its fixture
// script, its pseudo-terminal mapped to a COM name of the Wine prefix, its
// TCP end on loopback, and its control commands run with extender-simctl.

#include <string>

class SimDevice {
public:
    // Options go to the simulator (e.g. "--baud 9600 --parity E"). Without a
    // COM name the device gets one of its own (COM20 and up), so that test
    // executables can run side by side; a program whose port list holds only
    // Com1 to Com8 needs one of those.
    explicit SimDevice(const std::string& Options = "", const std::string& ComName = "");
    ~SimDevice();
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    bool Started() const { return !FTcpPort.empty(); }
    // Why the start failed, for the test's message.
    const std::string& StartError() const { return FError; }

    const std::string& ComName() const { return FComName; }
    int TcpPort() const { return std::stoi(FTcpPort); }
    const std::string& PtyPath() const { return FPty; }

    // One control line; returns the whole reply ("- ..." lines, then "OK ..." or "ERR ...").
    std::string Ctl(const std::string& Command);
    // True when the reply's last line starts with OK.
    bool CtlOk(const std::string& Command);

private:
    std::string FDir;
    std::string FComName;
    std::string FComLink;
    std::string FPty;
    std::string FTcpPort;
    std::string FCtl;
    std::string FError;
};

// The folder with the host tree's simulator binaries and its fixture script.
std::string SimBinDir();

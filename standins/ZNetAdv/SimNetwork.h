#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "NetworkFile.h"

// What ZN_GetSearchDev hands out for one device.
struct DeviceAnswer {
    std::string Ip;
    std::string Name;
    std::string Mask;
    unsigned char Index = 0; // the server's position in the network file
    unsigned char Ports = 1; // serial ports of the server: always one here
    std::uint32_t Ticket = 0;
};

// The simulated network behind the library's functions: the servers of the
// network file, the answers of the last search, the login tickets handed out,
// the fault counters and the one login session. Every call first reads the
// network file again, so that a change to it shows at the next call; a
// different network file (another path) starts from a clean state.
//
// Not thread-safe: the library's entry points serialise the calls.
class SimNetwork {
public:
    // Reads the network file named by the environment (see NetworkPath).
    void Sync();
    const std::filesystem::path& LogPath() const { return FLogPath; }

    int SearchAll();
    int GetSearchDev(DeviceAnswer& Answer);
    int Search(const std::string& Ip);
    int Login(unsigned char Index, const std::string& Ip, std::uint32_t Ticket, const std::string& Code);
    int GetConfig(const std::string& Key, std::string& Value);
    int ModifyConfig(const std::string& Key, const std::string& Value);
    int Reset();
    int Exit();

private:
    using Clock = std::chrono::steady_clock;

    struct Pending {
        std::string Section;
        Clock::time_point ReadyAt;
    };
    struct FaultCount {
        std::string Setting; // the fault key's value the count belongs to
        long Used = 0;
    };
    struct Session {
        std::string Section;
        KeyValues Staged;
        bool Restarted = false; // ZN_ResetDevTCP done: only ZN_ExitTCP is left
    };

    bool TakeFault(const ServerEntry& Server, const std::string& Key);
    const ServerEntry* SessionServer() const;
    std::uint32_t NewTicket();

    std::filesystem::path FNetworkPath;
    std::filesystem::path FLogPath;
    NetworkFile FFile;
    std::deque<Pending> FAnswers;                  // of the last search, in delivery order
    std::map<std::string, std::uint32_t> FTickets; // by section: the last ticket handed out
    std::map<std::pair<std::string, std::string>, FaultCount> FFaults; // by section and fault key
    std::optional<Session> FSession;
    std::uint32_t FTicketCount = 0;
};

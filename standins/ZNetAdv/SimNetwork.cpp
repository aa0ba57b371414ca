#include "SimNetwork.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include <windows.h>

namespace {

// Keys of the network file that describe the simulation, not the device's
// configuration: a login never reads or writes them.
const char* const LoginKey = "LOGIN";
const char* const RefuseLoginKey = "REFUSE_LOGIN";
const char* const SearchMissKey = "SEARCH_MISS";
const char* const DeliverMissKey = "DELIVER_MISS";
const char* const HiddenKey = "HIDDEN";
const char* const OfflineKey = "OFFLINE";
const char* const DelayKey = "DELAY_MS";

// Upper bound of a server's answer delay, so that no call blocks for long.
constexpr unsigned long MaxDelayMs = 5000;

bool IsControlKey(const std::string& Key)
{
    for (const char* control : {LoginKey, RefuseLoginKey, SearchMissKey, DeliverMissKey, HiddenKey, OfflineKey, DelayKey})
        if (Key == control)
            return true;
    return false;
}

bool IsDigits(const std::string& Text)
{
    return !Text.empty() && Text.size() <= 9
        && std::all_of(Text.begin(), Text.end(), [](unsigned char c) { return c >= '0' && c <= '9'; });
}

bool Flag(const ServerEntry& Server, const char* Key)
{
    return Server.Value(Key) == "1";
}

bool Reachable(const ServerEntry& Server)
{
    return !Flag(Server, OfflineKey);
}

unsigned long DelayMs(const ServerEntry& Server)
{
    const std::string text = Server.Value(DelayKey);
    return IsDigits(text) ? std::min(std::stoul(text), MaxDelayMs) : 0;
}

// A slow server: the call takes as long as its answer.
void AwaitAnswer(const ServerEntry& Server)
{
    if (const unsigned long ms = DelayMs(Server))
        Sleep(ms);
}

std::wstring EnvironmentText(const wchar_t* Name)
{
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(Name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0)
            return {};
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
}

// The folder of this DLL (not of the program that loaded it).
std::filesystem::path ModuleFolder()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ModuleFolder), &module);
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

std::filesystem::path NetworkPath()
{
    const std::wstring named = EnvironmentText(L"ZNETADV_NETWORK");
    return named.empty() ? ModuleFolder() / L"ZNetAdv-network.ini" : std::filesystem::path(named);
}

std::filesystem::path CallLogPath(const std::filesystem::path& Network)
{
    const std::wstring named = EnvironmentText(L"ZNETADV_LOG");
    return named.empty() ? Network.parent_path() / L"ZNetAdv-calls.log" : std::filesystem::path(named);
}

} // namespace

void SimNetwork::Sync()
{
    const std::filesystem::path network = NetworkPath();
    if (network != FNetworkPath) {
        FAnswers.clear();
        FTickets.clear();
        FFaults.clear();
        FSession.reset();
        FNetworkPath = network;
    }
    FLogPath = CallLogPath(network);
    FFile = NetworkFile::Load(network);
}

// A fault key holds a count ("3": the next three times) or "always". The count
// restarts when the key's value in the file changes.
bool SimNetwork::TakeFault(const ServerEntry& Server, const std::string& Key)
{
    std::string setting = Server.Value(Key);
    std::transform(setting.begin(), setting.end(), setting.begin(), [](unsigned char c) { return std::tolower(c); });
    if (setting == "always")
        return true;
    if (!IsDigits(setting))
        return false;
    FaultCount& count = FFaults[{Server.Section, Key}];
    if (count.Setting != setting)
        count = FaultCount{setting, 0};
    if (count.Used >= std::stol(setting))
        return false;
    ++count.Used;
    return true;
}

std::uint32_t SimNetwork::NewTicket()
{
    // Spread over the whole 32-bit range, so that a caller that does not pass
    // on the value it was given fails its login.
    std::uint32_t ticket = 0;
    while (ticket == 0)
        ticket = 0x3C5A0001u + ++FTicketCount * 0x9E3779B1u;
    return ticket;
}

const ServerEntry* SimNetwork::SessionServer() const
{
    if (!FSession || FSession->Restarted)
        return nullptr;
    const ServerEntry* server = FFile.FindSection(FSession->Section);
    return server && Reachable(*server) ? server : nullptr;
}

int SimNetwork::SearchAll()
{
    const Clock::time_point now = Clock::now();
    std::vector<const ServerEntry*> found;
    for (const auto& server : FFile.Servers())
        if (Reachable(server) && !Flag(server, HiddenKey))
            found.push_back(&server);
    // Slow servers answer later: deliver in order of arrival.
    std::stable_sort(found.begin(), found.end(),
                     [](const ServerEntry* a, const ServerEntry* b) { return DelayMs(*a) < DelayMs(*b); });
    FAnswers.clear();
    for (const ServerEntry* server : found)
        FAnswers.push_back({server->Section, now + std::chrono::milliseconds(DelayMs(*server))});
    return 1;
}

int SimNetwork::GetSearchDev(DeviceAnswer& Answer)
{
    while (!FAnswers.empty()) {
        const Pending next = FAnswers.front();
        const ServerEntry* server = FFile.FindSection(next.Section);
        if (server && Reachable(*server) && Clock::now() < next.ReadyAt)
            return 0;
        FAnswers.pop_front();
        if (!server || !Reachable(*server))
            continue; // gone since the search
        if (TakeFault(*server, DeliverMissKey))
            return 0;
        Answer.Ip = server->Value("IP");
        Answer.Name = server->Value("NAME");
        Answer.Mask = server->Value("MARK");
        Answer.Index = static_cast<unsigned char>(server->Position);
        Answer.Ports = 1;
        Answer.Ticket = NewTicket();
        FTickets[server->Section] = Answer.Ticket;
        return 1;
    }
    return 0;
}

int SimNetwork::Search(const std::string& Ip)
{
    FAnswers.clear();
    unsigned long slowest = 0;
    for (const auto& server : FFile.Servers()) {
        if (!Reachable(server) || server.Value("IP") != Ip || TakeFault(server, SearchMissKey))
            continue;
        FAnswers.push_back({server.Section, Clock::now()});
        slowest = std::max(slowest, DelayMs(server));
    }
    if (slowest)
        Sleep(slowest);
    return FAnswers.empty() ? 0 : 1;
}

int SimNetwork::Login(unsigned char Index, const std::string& Ip, std::uint32_t Ticket, const std::string& Code)
{
    if (FSession)
        return 0;
    const ServerEntry* server = nullptr;
    for (const auto& candidate : FFile.Servers())
        if (static_cast<unsigned char>(candidate.Position) == Index && candidate.Value("IP") == Ip && Reachable(candidate))
            server = &candidate;
    if (!server)
        return 0;
    AwaitAnswer(*server);
    const auto ticket = FTickets.find(server->Section);
    if (ticket == FTickets.end() || ticket->second != Ticket)
        return 0;
    if (server->Has(LoginKey) && server->Value(LoginKey) != Code)
        return 0;
    if (TakeFault(*server, RefuseLoginKey))
        return 0;
    FSession = Session{server->Section, {}, false};
    return 1;
}

int SimNetwork::GetConfig(const std::string& Key, std::string& Value)
{
    Value.clear();
    const ServerEntry* server = SessionServer();
    if (!server)
        return 0;
    AwaitAnswer(*server);
    if (IsControlKey(Key) || !server->Has(Key))
        return 0;
    Value = server->Value(Key);
    return 1;
}

int SimNetwork::ModifyConfig(const std::string& Key, const std::string& Value)
{
    const ServerEntry* server = SessionServer();
    if (!server)
        return 0;
    AwaitAnswer(*server);
    // The device has a fixed set of settings, and a line break would end the
    // value's line in the network file.
    if (IsControlKey(Key) || !server->Has(Key) || Value.find_first_of("\r\n") != std::string::npos)
        return 0;
    KeyValues& staged = FSession->Staged;
    const auto same = std::find_if(staged.begin(), staged.end(), [&](const auto& kv) { return kv.first == Key; });
    if (same != staged.end())
        same->second = Value;
    else
        staged.emplace_back(Key, Value);
    return 1;
}

int SimNetwork::Reset()
{
    const ServerEntry* server = SessionServer();
    if (!server)
        return 0;
    AwaitAnswer(*server);
    const std::string section = server->Section;
    if (!FSession->Staged.empty()) {
        FFile.SetValues(section, FSession->Staged);
        if (!FFile.Save(FNetworkPath)) {
            FFile = NetworkFile::Load(FNetworkPath);
            return 0;
        }
    }
    // The device restarts: its login ends with ZN_ExitTCP, and a ticket handed
    // out before the restart no longer logs in.
    FTickets.erase(section);
    FSession->Staged.clear();
    FSession->Restarted = true;
    return 1;
}

int SimNetwork::Exit()
{
    if (!FSession)
        return 0;
    FSession.reset();
    return 1;
}

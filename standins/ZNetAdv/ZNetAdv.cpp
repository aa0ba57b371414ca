// The exported functions: each checks its pointers, runs on the simulated
// network under one lock and writes its line to the call log.

#include "ZNetAdv.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <mutex>

#include "CallLog.h"
#include "SimNetwork.h"

namespace {

std::mutex NetworkLock; // the library may be called from any thread of the program

SimNetwork& Network()
{
    static SimNetwork network;
    return network;
}

// Copies at most Size - 1 bytes and always ends the text with a NUL.
void CopyText(char* Buffer, std::size_t Size, const std::string& Text)
{
    if (!Buffer)
        return;
    const std::size_t length = std::min(Text.size(), Size - 1);
    std::memcpy(Buffer, Text.data(), length);
    Buffer[length] = '\0';
}

// Runs one call and logs it. No C++ exception may leave the DLL, whose callers
// know only the C interface: a failure inside is a result of 0.
template <typename Body>
int RunCall(const char* Function, Body&& Call)
{
    try {
        CallLine line(Function);
        std::lock_guard lock(NetworkLock);
        SimNetwork& network = Network();
        int result = 0;
        try {
            network.Sync();
            result = Call(network, line);
        } catch (const std::exception& error) {
            result = 0;
            line.Out(std::string("failed: ") + error.what());
        }
        line.SetResult(result);
        AppendCallLine(network.LogPath(), line.Text());
        return result;
    } catch (...) {
        return 0;
    }
}

} // namespace

extern "C" {

int WINAPI ZN_SearchAll(void)
{
    return RunCall("ZN_SearchAll", [](SimNetwork& network, CallLine&) { return network.SearchAll(); });
}

int WINAPI ZN_GetSearchDev(char* ip, char* name, char* mask, unsigned char* index, unsigned char* ports,
                           unsigned int* ticket)
{
    return RunCall("ZN_GetSearchDev", [&](SimNetwork& network, CallLine& line) {
        DeviceAnswer answer;
        if (!network.GetSearchDev(answer))
            return 0;
        CopyText(ip, ZN_SEARCH_TEXT_SIZE, answer.Ip);
        CopyText(name, ZN_SEARCH_TEXT_SIZE, answer.Name);
        CopyText(mask, ZN_SEARCH_TEXT_SIZE, answer.Mask);
        if (index)
            *index = answer.Index;
        if (ports)
            *ports = answer.Ports;
        if (ticket)
            *ticket = answer.Ticket;
        line.Out(answer.Ip);
        line.Out(answer.Name);
        line.Out(answer.Mask);
        line.Out(answer.Index);
        line.Out(answer.Ports);
        line.Out(answer.Ticket);
        return 1;
    });
}

int WINAPI ZN_Search(const char* ip)
{
    return RunCall("ZN_Search", [&](SimNetwork& network, CallLine& line) {
        line.Arg(ip);
        return ip ? network.Search(ip) : 0;
    });
}

int WINAPI ZN_LoginTCP(unsigned char index, const char* ip, unsigned int ticket, const char* code)
{
    return RunCall("ZN_LoginTCP", [&](SimNetwork& network, CallLine& line) {
        line.Arg(index);
        line.Arg(ip);
        line.Arg(ticket);
        line.Arg(code);
        return ip && code ? network.Login(index, ip, ticket, code) : 0;
    });
}

int WINAPI ZN_GetDevConfigTCP(const char* key, char* value)
{
    return RunCall("ZN_GetDevConfigTCP", [&](SimNetwork& network, CallLine& line) {
        line.Arg(key);
        std::string text;
        const int result = key && value ? network.GetConfig(key, text) : 0;
        CopyText(value, ZN_CONFIG_VALUE_SIZE, text);
        if (result)
            line.Out(text);
        return result;
    });
}

int WINAPI ZN_ModifyDevConfigTCP(const char* key, const char* value)
{
    return RunCall("ZN_ModifyDevConfigTCP", [&](SimNetwork& network, CallLine& line) {
        line.Arg(key);
        line.Arg(value);
        return key && value ? network.ModifyConfig(key, value) : 0;
    });
}

int WINAPI ZN_ResetDevTCP(void)
{
    return RunCall("ZN_ResetDevTCP", [](SimNetwork& network, CallLine&) { return network.Reset(); });
}

int WINAPI ZN_ExitTCP(void)
{
    return RunCall("ZN_ExitTCP", [](SimNetwork& network, CallLine&) { return network.Exit(); });
}

} // extern "C"

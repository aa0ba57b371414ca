#include "NetworkFile.h"

#include <fstream>
#include <iterator>

#include <windows.h>

namespace {

std::string Trim(const std::string& Text)
{
    const char* blanks = " \t";
    const std::size_t first = Text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return Text.substr(first, Text.find_last_not_of(blanks) - first + 1);
}

bool ParseSectionLine(const std::string& Line, std::string& Name)
{
    const std::string t = Trim(Line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    Name = Trim(t.substr(1, t.size() - 2));
    return true;
}

bool ParseKeyLine(const std::string& Line, std::string& Key, std::string& Value)
{
    const std::string t = Trim(Line);
    if (t.empty() || t[0] == ';' || t[0] == '#' || t[0] == '[')
        return false;
    const std::size_t eq = t.find('=');
    if (eq == std::string::npos)
        return false;
    Key = Trim(t.substr(0, eq));
    Value = Trim(t.substr(eq + 1));
    return !Key.empty();
}

} // namespace

bool ServerEntry::Has(const std::string& Key) const
{
    for (const auto& kv : Keys)
        if (kv.first == Key)
            return true;
    return false;
}

std::string ServerEntry::Value(const std::string& Key) const
{
    for (const auto& kv : Keys)
        if (kv.first == Key)
            return kv.second;
    return {};
}

NetworkFile NetworkFile::Load(const std::filesystem::path& Path)
{
    NetworkFile file;
    std::ifstream in(Path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!bytes.empty() && bytes.find("\r\n") == std::string::npos)
        file.FCrLf = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        file.FLines.push_back(std::move(line));
        start = end + 1;
    }
    file.Parse();
    return file;
}

void NetworkFile::Parse()
{
    FServers.clear();
    FHeaderLines.clear();
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        std::string name, key, value;
        if (ParseSectionLine(FLines[i], name)) {
            ServerEntry entry;
            entry.Section = name;
            entry.Position = static_cast<int>(FServers.size()) + 1;
            FServers.push_back(std::move(entry));
            FHeaderLines.push_back(i);
        } else if (!FServers.empty() && ParseKeyLine(FLines[i], key, value) && !FServers.back().Has(key)) {
            FServers.back().Keys.emplace_back(std::move(key), std::move(value));
        }
    }
}

const ServerEntry* NetworkFile::FindSection(const std::string& Section) const
{
    for (const auto& server : FServers)
        if (server.Section == Section)
            return &server;
    return nullptr;
}

void NetworkFile::SetValues(const std::string& Section, const KeyValues& Values)
{
    const ServerEntry* server = FindSection(Section);
    if (!server)
        return;
    const std::size_t index = static_cast<std::size_t>(server->Position - 1);
    const std::size_t first = FHeaderLines[index] + 1;
    const std::size_t end = index + 1 < FHeaderLines.size() ? FHeaderLines[index + 1] : FLines.size();
    for (const auto& [wanted, value] : Values) {
        for (std::size_t i = first; i < end; ++i) {
            std::string key, old;
            if (ParseKeyLine(FLines[i], key, old) && key == wanted) {
                FLines[i] = key + "=" + value;
                break;
            }
        }
    }
    Parse();
}

bool NetworkFile::Save(const std::filesystem::path& Path) const
{
    std::filesystem::path temporary = Path;
    temporary += L".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const auto& line : FLines)
            out << line << (FCrLf ? "\r\n" : "\n");
        out.close();
        if (!out)
            return false;
    }
    // MoveFileExW replaces the old file in one step; std::filesystem::rename
    // is not guaranteed to replace an existing file on Windows.
    if (!MoveFileExW(temporary.c_str(), Path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// One server of the simulated network: one section of the network file.
struct ServerEntry {
    std::string Section; // the section name, the server's identity
    int Position = 0;    // 1-based order of the section in the file
    KeyValues Keys;      // in file order; of a key set twice the first counts

    bool Has(const std::string& Key) const;
    std::string Value(const std::string& Key) const; // empty when not set
};

// The file that describes the simulated network: INI-style sections, one per
// server, with "KEY=value" lines; lines starting with ';' or '#' are comments.
// Names and keys are matched exactly; values lose leading and trailing blanks.
// The lines are kept as read, so that a rewrite changes only the values set.
class NetworkFile {
public:
    // A file that is missing or unreadable is an empty network.
    static NetworkFile Load(const std::filesystem::path& Path);

    const std::vector<ServerEntry>& Servers() const { return FServers; }
    const ServerEntry* FindSection(const std::string& Section) const;

    // Replaces the values of keys that the section has; keys it lacks are left out.
    void SetValues(const std::string& Section, const KeyValues& Values);

    // Writes the file through a temporary file beside it, so that a reader
    // never sees half of it.
    bool Save(const std::filesystem::path& Path) const;

private:
    void Parse();

    std::vector<std::string> FLines;
    bool FCrLf = true; // line ends of the file as read: CR LF, or LF alone
    std::vector<ServerEntry> FServers;
    std::vector<std::size_t> FHeaderLines; // line of each server's "[name]"
};

#include "CallLog.h"

#include <windows.h>

namespace {

bool NeedsQuotes(const std::string& Text)
{
    if (Text.empty())
        return true;
    for (unsigned char c : Text)
        if (c <= ' ' || c == '"' || c == '\\' || c == 0x7F)
            return true;
    return false;
}

std::string Quoted(const std::string& Text)
{
    static const char* const Hex = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (unsigned char c : Text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < ' ' || c == 0x7F) {
            quoted += "\\x";
            quoted += Hex[c >> 4];
            quoted += Hex[c & 0xF];
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

} // namespace

void CallLine::Add(std::string& Fields, const char* Text)
{
    Fields += ' ';
    if (!Text) {
        Fields += "(null)";
        return;
    }
    const std::string text(Text);
    Fields += NeedsQuotes(text) ? Quoted(text) : text;
}

void CallLine::Add(std::string& Fields, unsigned long Number)
{
    Fields += ' ';
    Fields += std::to_string(Number);
}

std::string CallLine::Text() const
{
    return FFunction + FArgs + " -> " + std::to_string(FResult) + FOuts;
}

void AppendCallLine(const std::filesystem::path& Path, const std::string& Line)
{
    if (Path.empty())
        return;
    HANDLE file = CreateFileW(Path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string bytes = Line + "\r\n";
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

#pragma once
// Byte strings written as hex text in tests: Hex("CA 90 FF A6").

#include <cstdlib>
#include <string>

inline std::string Hex(const std::string& text)
{
    std::string bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        bytes.push_back(static_cast<char>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

inline std::string ToHex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) {
        if (!text.empty())
            text.push_back(' ');
        text.push_back(digits[c >> 4]);
        text.push_back(digits[c & 15]);
    }
    return text;
}

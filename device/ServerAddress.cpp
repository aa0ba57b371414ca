#include "device/ServerAddress.h"

#include <algorithm>
#include <cctype>

#include "framework/StrUtils.h"

const char* const NoServerAddress = "IP地址不能为空！";

String GetDottedPart(int N, const String& Text)
{
    String work = Text + ".";
    for (int i = 0; i < N; ++i) {
        work = Trim(work);
        const auto dot = work.find('.');
        work = dot == String::npos ? String() : work.substr(dot + 1);
    }
    work = Trim(work);
    return work.substr(0, work.find('.'));
}

bool IsByteText(const String& Text)
{
    if (Text.empty() || Text.find_first_not_of("0123456789") != String::npos)
        return false;
    // Leading zeros do not count; more digits than a byte has are no byte.
    const auto first = Text.find_first_not_of('0');
    if (first == String::npos)
        return true;
    const String digits = Text.substr(first);
    return digits.size() <= 3 && std::stoi(digits) <= 255;
}

bool IsDottedAddress(const String& Text)
{
    const String trimmed = Trim(Text);
    if (trimmed.find(' ') != String::npos)
        return false;
    for (int part = 0; part < 4; ++part)
        if (!IsByteText(GetDottedPart(part, trimmed)))
            return false;
    return true;
}

String ServerAddressError(const String& Text)
{
    const String trimmed = Trim(Text);
    if (trimmed.empty())
        return NoServerAddress;
    // A host name (letters, digits, hyphens and dots, with at least one
    // letter) goes to the resolver, which says when it knows no such host.
    if (trimmed.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") ==
            String::npos &&
        std::any_of(trimmed.begin(), trimmed.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
        return String();
    // Anything else is connected to as the text itself: nothing may stand
    // beside the four parts (a fifth part, a tab) that would change it.
    const bool fourParts = trimmed.find_first_not_of("0123456789.") == String::npos &&
                           std::count(trimmed.begin(), trimmed.end(), '.') == 3;
    bool plain = true;
    for (int part = 0; fourParts && part < 4; ++part) {
        // The resolver reads a part with a leading zero as octal ("010" is 8,
        // "0127" is 87), which would reach another machine than the one shown.
        const String digits = GetDottedPart(part, trimmed);
        plain = plain && !(digits.size() > 1 && digits[0] == '0');
    }
    // 0.0.0.0 names no machine; the system's connect takes it for this one.
    const bool anyAddress = trimmed.find_first_not_of("0.") == String::npos;
    return fourParts && plain && !anyAddress && IsDottedAddress(trimmed) ? String() : "无效Ip:" + trimmed;
}

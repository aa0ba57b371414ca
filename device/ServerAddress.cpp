#include "device/ServerAddress.h"

#include <algorithm>

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
    // What is connected to is the text itself: nothing may stand beside the
    // four parts (a fifth part, a tab) that would make it a name to look up.
    const bool fourParts = trimmed.find_first_not_of("0123456789.") == String::npos &&
                           std::count(trimmed.begin(), trimmed.end(), '.') == 3;
    return fourParts && IsDottedAddress(trimmed) ? String() : "无效Ip:" + trimmed;
}

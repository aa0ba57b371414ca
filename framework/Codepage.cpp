#include "framework/Codepage.h"

#include <windows.h>

namespace {

WideString ToWide(unsigned codePage, const std::string& s)
{
    if (s.empty())
        return WideString();
    const int n = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    WideString w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string FromWide(unsigned codePage, const WideString& w)
{
    if (w.empty())
        return std::string();
    const int n = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

} // namespace

WideString StrToWide(const String& S) { return ToWide(SystemCodePage, S); }
String WideToStr(const WideString& W) { return FromWide(SystemCodePage, W); }

bool ByteToWide(char Byte, wchar_t& Unit)
{
    return MultiByteToWideChar(SystemCodePage, MB_ERR_INVALID_CHARS, &Byte, 1, &Unit, 1) == 1;
}

String Utf8ToStr(const std::string& Utf8) { return WideToStr(ToWide(CP_UTF8, Utf8)); }
std::string StrToUtf8(const String& S) { return FromWide(CP_UTF8, StrToWide(S)); }

#pragma once
// The one conversion between the system's 8-bit text (code page 936) and the
// UTF-16 text of the W functions of Win32. Every caption, item, file name and
// drawn text crosses here, so text shows the same whatever the machine's
// ANSI code page is.

#include "framework/Types.h"

constexpr unsigned SystemCodePage = 936;

WideString StrToWide(const String& S);
String WideToStr(const WideString& W);
// The UTF-16 unit of one byte of 936 text: an ASCII or other single-byte
// character. False for the lead byte of a two-byte character alone.
bool ByteToWide(char Byte, wchar_t& Unit);
// UTF-8 (for tests and logs) to and from code page 936.
String Utf8ToStr(const std::string& Utf8);
std::string StrToUtf8(const String& S);

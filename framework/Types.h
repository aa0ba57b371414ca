#pragma once
// Basic value types of the framework layer.
//
// String holds 8-bit text in code page 936 or raw bytes (frames, code
// records); WideString holds UTF-16 text for the W functions of Win32.

#include <cstdint>
#include <functional>
#include <string>

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using DWord = std::uint32_t;
using Integer = std::int32_t;
using Int64 = std::int64_t;

using String = std::string;
using WideString = std::wstring;

class TObject;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Byte at position i of a byte string, as an unsigned value.
inline Byte ByteAt(const String& s, std::size_t i) { return static_cast<Byte>(s[i]); }

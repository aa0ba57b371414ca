// Byte strings, hexadecimal text and the monotonic clock shared by the
// simulator, its control tool and its tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace extsim {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;

// "CA20FE" style: two upper-case digits per byte, no separators.
std::string to_hex(const std::uint8_t* p, std::size_t n);
inline std::string to_hex(const Bytes& b) { return to_hex(b.data(), b.size()); }

// Accepts pairs of hexadecimal digits, optionally separated by blanks
// ("CA 20 fe", "CA20FE"). Returns nothing on an odd digit count or a
// character that is not a digit or a blank.
std::optional<Bytes> from_hex(std::string_view text);

// Milliseconds between two time points, with microsecond resolution.
double ms_between(TimePoint from, TimePoint to);

}  // namespace extsim

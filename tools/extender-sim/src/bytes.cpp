#include "bytes.hpp"

namespace extsim {

std::string to_hex(const std::uint8_t* p, std::size_t n) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(n * 2);
  for (std::size_t i = 0; i < n; ++i) {
    out.push_back(digits[p[i] >> 4]);
    out.push_back(digits[p[i] & 0x0F]);
  }
  return out;
}

static int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<Bytes> from_hex(std::string_view text) {
  Bytes out;
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      if (high >= 0) return std::nullopt;  // a blank inside a pair
      continue;
    }
    int d = hex_digit(c);
    if (d < 0) return std::nullopt;
    if (high < 0) {
      high = d;
    } else {
      out.push_back(static_cast<std::uint8_t>(high << 4 | d));
      high = -1;
    }
  }
  if (high >= 0) return std::nullopt;
  return out;
}

double ms_between(TimePoint from, TimePoint to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace extsim

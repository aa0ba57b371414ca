// The serial frame protocol as the device sees it: request frames arrive from
// the host, reply frames go back.
//
// Request: CA, type (20 = with data, 00 = without), address, command,
//          [length, data...] (type 20 only), trailer.
// Reply:   CA, type (90 ack, B0 data, 80 no data), FF, [length, data...]
//          (type B0 only), trailer.
// The trailer is either the check byte (the bitwise NOT of the 8-bit sum of all
// bytes before it, so the whole frame sums to FF) or the fixed end byte AC.
#pragma once

#include <string>
#include <vector>

#include "bytes.hpp"

namespace extsim {

inline constexpr std::uint8_t kStartByte = 0xCA;
inline constexpr std::uint8_t kEndByte = 0xAC;
inline constexpr std::uint8_t kRequestWithData = 0x20;
inline constexpr std::uint8_t kRequestNoData = 0x00;
inline constexpr std::uint8_t kReplyAck = 0x90;
inline constexpr std::uint8_t kReplyData = 0xB0;
inline constexpr std::uint8_t kReplyNoData = 0x80;
inline constexpr std::uint8_t kBroadcastAddress = 0xFE;

// Bitwise NOT of the 8-bit sum of the bytes.
std::uint8_t check_byte(const std::uint8_t* p, std::size_t n);
inline std::uint8_t check_byte(const Bytes& b) { return check_byte(b.data(), b.size()); }

// A reply before it is put on the wire. Faults may alter any field.
struct Reply {
  std::uint8_t type = kReplyAck;
  Bytes data;               // carried only by type B0
  int length_delta = 0;     // added to the length byte (B0 only)
  enum class Trailer { Check, WrongCheck, EndByte } trailer = Trailer::Check;
};

Bytes encode_reply(const Reply& r);
inline Bytes ack_frame() { return encode_reply(Reply{}); }
Bytes data_frame(const Bytes& data);

// Builds a request frame; with end_byte the trailer is AC instead of the
// check byte. Type 00 frames carry no length and no data.
Bytes request_frame(std::uint8_t type, std::uint8_t address, std::uint8_t command,
                    const Bytes& data, bool end_byte = false);

struct Request {
  std::uint8_t type = 0;
  std::uint8_t address = 0;
  std::uint8_t command = 0;
  Bytes data;
};

// Finds request frames in the byte stream, one byte at a time. Bytes outside
// a frame, frames of an unknown type and frames whose trailer is neither the
// right check byte nor AC are reported as bad, with the reason.
class RequestParser {
 public:
  struct Event {
    bool good = false;
    Request request;    // when good
    Bytes raw;          // the bytes of the frame (or of the noise)
    std::string reason; // when bad
  };

  void feed(std::uint8_t b, std::vector<Event>& out);
  // True while a frame has begun but not ended, or noise is pending.
  bool pending() const { return state_ != State::Hunt || !noise_.empty(); }
  // Ends a partial frame as truncated (and reports pending noise).
  void flush(std::vector<Event>& out);
  void reset();

 private:
  enum class State { Hunt, Type, Address, Command, Length, Data, Trailer };
  void flush_noise(std::vector<Event>& out);
  void bad(std::vector<Event>& out, std::string reason);

  State state_ = State::Hunt;
  Bytes raw_;
  Request req_;
  std::size_t length_ = 0;
  Bytes noise_;
  std::size_t noise_count_ = 0;
};

}  // namespace extsim

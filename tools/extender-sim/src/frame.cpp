#include "frame.hpp"

#include <cstdio>

namespace extsim {

std::uint8_t check_byte(const std::uint8_t* p, std::size_t n) {
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum = static_cast<std::uint8_t>(sum + p[i]);
  return static_cast<std::uint8_t>(~sum);
}

Bytes encode_reply(const Reply& r) {
  Bytes f{kStartByte, r.type, 0xFF};
  if (r.type == kReplyData) {
    f.push_back(static_cast<std::uint8_t>(static_cast<int>(r.data.size()) + r.length_delta));
    f.insert(f.end(), r.data.begin(), r.data.end());
  }
  std::uint8_t chk = check_byte(f);
  switch (r.trailer) {
    case Reply::Trailer::Check:
      f.push_back(chk);
      break;
    case Reply::Trailer::WrongCheck: {
      // Any other value, but never AC, which a receiver accepts in any case.
      std::uint8_t wrong = static_cast<std::uint8_t>(chk + 1);
      if (wrong == kEndByte) wrong = static_cast<std::uint8_t>(chk + 2);
      f.push_back(wrong);
      break;
    }
    case Reply::Trailer::EndByte:
      f.push_back(kEndByte);
      break;
  }
  return f;
}

Bytes data_frame(const Bytes& data) {
  Reply r;
  r.type = kReplyData;
  r.data = data;
  return encode_reply(r);
}

Bytes request_frame(std::uint8_t type, std::uint8_t address, std::uint8_t command,
                    const Bytes& data, bool end_byte) {
  Bytes f{kStartByte, type, address, command};
  if (type != kRequestNoData) {
    f.push_back(static_cast<std::uint8_t>(data.size()));
    f.insert(f.end(), data.begin(), data.end());
  }
  f.push_back(end_byte ? kEndByte : check_byte(f));
  return f;
}

void RequestParser::reset() {
  state_ = State::Hunt;
  raw_.clear();
  noise_.clear();
  noise_count_ = 0;
}

void RequestParser::flush_noise(std::vector<Event>& out) {
  if (noise_count_ == 0) return;
  Event e;
  e.raw = noise_;
  e.reason = std::to_string(noise_count_) + " byte(s) outside a frame";
  out.push_back(std::move(e));
  noise_.clear();
  noise_count_ = 0;
}

void RequestParser::bad(std::vector<Event>& out, std::string reason) {
  Event e;
  e.raw = raw_;
  e.reason = std::move(reason);
  out.push_back(std::move(e));
  raw_.clear();
  state_ = State::Hunt;
}

void RequestParser::flush(std::vector<Event>& out) {
  flush_noise(out);
  if (state_ != State::Hunt) bad(out, "truncated frame");
}

void RequestParser::feed(std::uint8_t b, std::vector<Event>& out) {
  if (state_ == State::Hunt) {
    if (b != kStartByte) {
      // Noise is kept for the log, but only its first 64 bytes are shown.
      if (noise_.size() < 64) noise_.push_back(b);
      ++noise_count_;
      return;
    }
    flush_noise(out);
    raw_.assign(1, b);
    req_ = Request{};
    state_ = State::Type;
    return;
  }
  raw_.push_back(b);
  switch (state_) {
    case State::Hunt:
      break;
    case State::Type:
      if (b != kRequestWithData && b != kRequestNoData) {
        char why[48];
        std::snprintf(why, sizeof why, "unknown frame type %02X", b);
        // A start byte in place of the type may begin the next frame.
        if (b == kStartByte) raw_.pop_back();
        bad(out, why);
        if (b == kStartByte) feed(b, out);
        return;
      }
      req_.type = b;
      state_ = State::Address;
      break;
    case State::Address:
      req_.address = b;
      state_ = State::Command;
      break;
    case State::Command:
      req_.command = b;
      state_ = req_.type == kRequestWithData ? State::Length : State::Trailer;
      break;
    case State::Length:
      length_ = b;
      state_ = length_ ? State::Data : State::Trailer;
      break;
    case State::Data:
      req_.data.push_back(b);
      if (req_.data.size() == length_) state_ = State::Trailer;
      break;
    case State::Trailer: {
      std::uint8_t sum = 0;
      for (std::uint8_t x : raw_) sum = static_cast<std::uint8_t>(sum + x);
      if (sum != 0xFF && b != kEndByte) {
        char why[64];
        std::snprintf(why, sizeof why, "wrong check byte %02X (expected %02X or AC)", b,
                      check_byte(raw_.data(), raw_.size() - 1));
        bad(out, why);
        return;
      }
      Event e;
      e.good = true;
      e.request = std::move(req_);
      e.raw = std::move(raw_);
      out.push_back(std::move(e));
      raw_.clear();
      req_ = Request{};
      state_ = State::Hunt;
      break;
    }
  }
}

}  // namespace extsim

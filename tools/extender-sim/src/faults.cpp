#include "faults.hpp"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdio>

namespace extsim {

namespace {

struct KindName {
  FaultKind kind;
  const char* name;
};
constexpr KindName kNames[] = {
    {FaultKind::NoReply, "noreply"}, {FaultKind::Delay, "delay"},     {FaultKind::Split, "split"},
    {FaultKind::BadCheck, "badcheck"}, {FaultKind::Trailer, "trailer"}, {FaultKind::BadLen, "badlen"},
    {FaultKind::LenByte, "lenbyte"}, {FaultKind::Type, "type"},       {FaultKind::Dup, "dup"},
    {FaultKind::Stale, "stale"},     {FaultKind::Unsolicited, "unsolicited"}, {FaultKind::Drop, "drop"},
    {FaultKind::ReplyData, "reply"}, {FaultKind::RawBytes, "bytes"},
};

const char* kind_name(FaultKind k) {
  for (const auto& n : kNames)
    if (n.kind == k) return n.name;
  return "?";
}

bool parse_int(const std::string& s, int& out, int base = 10) {
  const char* b = s.data();
  const char* e = b + s.size();
  if (base == 16 && s.size() > 2 && (s.rfind("0x", 0) == 0 || s.rfind("0X", 0) == 0)) b += 2;
  if (b != e && *b == '+') ++b;
  auto r = std::from_chars(b, e, out, base);
  return r.ec == std::errc() && r.ptr == e;
}

bool is_option_word(const std::string& w) {
  return w == "once" || w == "always" || w.rfind("times=", 0) == 0 || w.rfind("skip=", 0) == 0 ||
         w.rfind("match=", 0) == 0;
}

}  // namespace

std::string FaultRule::text(bool with_count) const {
  char head[16];
  if (command < 0)
    std::snprintf(head, sizeof head, "*");
  else
    std::snprintf(head, sizeof head, "%02X", command);
  std::string s = std::string(head) + " " + kind_name(kind);
  switch (kind) {
    case FaultKind::Delay:
    case FaultKind::BadLen:
    case FaultKind::LenByte:
      s += " " + std::to_string(value);
      break;
    case FaultKind::Split:
      s += " " + std::to_string(value) + " " + std::to_string(gap_ms);
      break;
    case FaultKind::Type: {
      char t[4];
      std::snprintf(t, sizeof t, "%02X", value);
      s += std::string(" ") + t;
      break;
    }
    case FaultKind::Unsolicited:
    case FaultKind::RawBytes:
      s += " " + to_hex(bytes);
      break;
    case FaultKind::ReplyData:
      s += " " + (bytes.empty() ? std::string("-") : to_hex(bytes));
      break;
    default:
      break;
  }
  if (!match.empty()) s += " match=" + to_hex(match);
  if (skip > 0) s += " skip=" + std::to_string(skip);
  if (with_count) s += remaining < 0 ? " always" : " left=" + std::to_string(remaining);
  return s;
}

std::string FaultTable::add(const std::vector<std::string>& words) {
  if (words.size() < 2) return "usage: fault CMD KIND [ARGS] [once|always|times=N] [skip=K] [match=HEX]";
  FaultRule r;
  if (words[0] == "*") {
    r.command = -1;
  } else if (!parse_int(words[0], r.command, 16) || r.command < 0 || r.command > 0xFF) {
    return "bad command byte '" + words[0] + "'";
  }
  const FaultKind* kind = nullptr;
  for (const auto& n : kNames)
    if (words[1] == n.name) kind = &n.kind;
  if (!kind) return "unknown fault kind '" + words[1] + "'";
  r.kind = *kind;

  std::vector<std::string> args;
  std::size_t i = 2;
  for (; i < words.size() && !is_option_word(words[i]); ++i) args.push_back(words[i]);
  bool have_count = false, have_skip = false, have_match = false;
  for (; i < words.size(); ++i) {
    const std::string& o = words[i];
    if (!is_option_word(o)) return "unexpected '" + o + "' among the options";
    if (o.rfind("skip=", 0) == 0) {
      if (have_skip) return "skip= given twice";
      have_skip = true;
      if (!parse_int(o.substr(5), r.skip) || r.skip < 0) return "bad skip count '" + o + "'";
    } else if (o.rfind("match=", 0) == 0) {
      if (have_match) return "match= given twice";
      have_match = true;
      auto m = from_hex(o.substr(6));
      if (!m || m->empty()) return "match= needs the leading data bytes in hexadecimal";
      r.match = *m;
    } else {
      if (have_count) return "more than one count (once, always, times=N)";
      have_count = true;
      if (o == "once") {
        r.remaining = 1;
      } else if (o == "always") {
        r.remaining = -1;
      } else if (!parse_int(o.substr(6), r.remaining) || r.remaining < 1) {
        return "bad count '" + o + "'";
      }
    }
  }

  auto want = [&](std::size_t n) -> std::string {
    if (args.size() == n) return "";
    return std::string(kind_name(r.kind)) + " takes " + std::to_string(n) + " argument(s)";
  };
  std::string err;
  switch (r.kind) {
    case FaultKind::Delay:
      if (!(err = want(1)).empty()) return err;
      if (!parse_int(args[0], r.value) || r.value < 0 || r.value > 600000) return "bad delay '" + args[0] + "'";
      break;
    case FaultKind::Split:
      if (!(err = want(2)).empty()) return err;
      if (!parse_int(args[0], r.value) || r.value < 1) return "bad piece size '" + args[0] + "'";
      if (!parse_int(args[1], r.gap_ms) || r.gap_ms < 0 || r.gap_ms > 600000) return "bad gap '" + args[1] + "'";
      break;
    case FaultKind::BadLen:
    case FaultKind::LenByte:
      if (!(err = want(1)).empty()) return err;
      if (!parse_int(args[0], r.value) || r.value == 0 || r.value < -255 || r.value > 255)
        return "bad length change '" + args[0] + "'";
      break;
    case FaultKind::Type:
      if (!(err = want(1)).empty()) return err;
      if (!parse_int(args[0], r.value, 16) || r.value < 0 || r.value > 0xFF) return "bad reply type '" + args[0] + "'";
      break;
    case FaultKind::Unsolicited:
    case FaultKind::RawBytes:
    case FaultKind::ReplyData: {
      std::string joined;
      for (const auto& a : args) joined += a;
      // "reply" alone or "reply -" is an answer without data.
      if (r.kind == FaultKind::ReplyData && (joined.empty() || joined == "-")) break;
      auto b = from_hex(joined);
      if (!b || b->empty()) return std::string(kind_name(r.kind)) + " needs the bytes in hexadecimal";
      if (r.kind == FaultKind::ReplyData && b->size() > 255) return "reply data is at most 255 bytes";
      r.bytes = *b;
      break;
    }
    default:
      if (!(err = want(0)).empty()) return err;
      break;
  }
  rules_.push_back(std::move(r));
  return "";
}

void FaultTable::clear() { rules_.clear(); }

void FaultTable::clear(int command) {
  std::erase_if(rules_, [&](const FaultRule& r) { return r.command == command; });
}

std::vector<std::string> FaultTable::list() const {
  std::vector<std::string> out;
  for (const auto& r : rules_) out.push_back(r.text());
  return out;
}

ReplyPlan FaultTable::plan(std::uint8_t command, const Bytes& data, Reply reply, const Bytes& previous) {
  std::vector<FaultRule> hits;
  for (auto& r : rules_) {
    if (r.command != -1 && r.command != command) continue;
    if (data.size() < r.match.size() || !std::equal(r.match.begin(), r.match.end(), data.begin())) continue;
    if (r.skip > 0) {
      --r.skip;
      continue;
    }
    hits.push_back(r);
    if (r.remaining > 0) --r.remaining;
  }
  std::erase_if(rules_, [](const FaultRule& r) { return r.remaining == 0; });

  ReplyPlan p;
  auto has = [&](FaultKind k) {
    return std::any_of(hits.begin(), hits.end(), [&](const FaultRule& r) { return r.kind == k; });
  };
  // First what the answer holds (chosen content before changes to it), then
  // how it travels.
  for (const auto& h : hits) {
    if (h.kind == FaultKind::ReplyData) {
      reply.type = kReplyData;
      reply.data = h.bytes;
    }
  }
  for (const auto& h : hits) {
    switch (h.kind) {
      case FaultKind::Type:
        reply.type = static_cast<std::uint8_t>(h.value);
        break;
      case FaultKind::BadLen:
        if (h.value > 0)
          reply.data.insert(reply.data.end(), static_cast<std::size_t>(h.value), 0xEE);
        else {
          // Fewer bytes: the last ones go (erase rather than resize, which
          // GCC takes for a possible growth by nearly 2^64 bytes).
          const auto cut = std::min(reply.data.size(), static_cast<std::size_t>(-h.value));
          reply.data.erase(reply.data.end() - static_cast<std::ptrdiff_t>(cut), reply.data.end());
        }
        break;
      case FaultKind::LenByte:
        reply.length_delta += h.value;
        break;
      case FaultKind::BadCheck:
        reply.trailer = Reply::Trailer::WrongCheck;
        break;
      case FaultKind::Trailer:
        reply.trailer = Reply::Trailer::EndByte;
        break;
      default:
        break;
    }
    p.applied.push_back(h.text(false));
  }
  p.bytes = encode_reply(reply);
  for (const auto& h : hits)
    if (h.kind == FaultKind::RawBytes) p.bytes = h.bytes;
  if (has(FaultKind::Stale)) {
    p.bytes = previous;
    if (previous.empty()) p.send = false;
  }
  if (has(FaultKind::Dup)) {
    Bytes once = p.bytes;
    p.bytes.insert(p.bytes.end(), once.begin(), once.end());
  }
  for (const auto& h : hits) {
    switch (h.kind) {
      case FaultKind::Unsolicited:
        p.bytes.insert(p.bytes.begin(), h.bytes.begin(), h.bytes.end());
        p.send = true;
        break;
      case FaultKind::Delay:
        p.delay_ms += h.value;
        break;
      case FaultKind::Split:
        p.piece = static_cast<std::size_t>(h.value);
        p.gap_ms = h.gap_ms;
        break;
      default:
        break;
    }
  }
  if (has(FaultKind::NoReply) || has(FaultKind::Drop)) {
    p.send = false;
    p.bytes.clear();
  }
  p.drop = has(FaultKind::Drop);
  return p;
}

}  // namespace extsim

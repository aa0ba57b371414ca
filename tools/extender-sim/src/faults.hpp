// Scriptable faults that change how the device answers a command: no answer,
// a late answer, an answer in pieces, a corrupted answer, a stale or doubled
// answer, an answer with chosen content, an unsolicited frame before it, or a
// dropped connection. A rule may wait for a number of answers to pass and may
// apply only to requests whose data starts with given bytes.
#pragma once

#include <string>
#include <vector>

#include "frame.hpp"

namespace extsim {

enum class FaultKind {
  NoReply,      // noreply
  Delay,        // delay MS
  Split,        // split SIZE GAP_MS
  BadCheck,     // badcheck
  Trailer,      // trailer
  BadLen,       // badlen DELTA
  LenByte,      // lenbyte DELTA
  Type,         // type HH
  Dup,          // dup
  Stale,        // stale
  Unsolicited,  // unsolicited HEX...
  Drop,         // drop
  ReplyData,    // reply [HEX...]: a B0 answer with this data
  RawBytes,     // bytes HEX...: these bytes instead of the answer frame
};

struct FaultRule {
  int command = -1;  // -1: every command
  FaultKind kind = FaultKind::NoReply;
  int value = 0;     // delay, piece size, length delta or reply type
  int gap_ms = 0;    // split
  Bytes bytes;       // unsolicited, reply, bytes
  Bytes match;       // applies only to requests whose data starts with these
  int skip = 0;      // matching answers still to let pass untouched
  int remaining = 1; // answers still to be hit; -1: permanent
  // "26 delay 200 match=FFFF skip=3 left=2"; without the count: "26 delay 200".
  std::string text(bool with_count = true) const;
};

// What the transport sends for one answer.
struct ReplyPlan {
  Bytes bytes;            // all frames, in order
  bool send = true;       // false: nothing is sent (noreply, drop, stale with no earlier reply)
  int delay_ms = 0;       // before the first byte
  std::size_t piece = 0;  // split into pieces of this size (0: in one piece)
  int gap_ms = 0;         // between pieces
  bool drop = false;      // close the connection instead of answering
  std::vector<std::string> applied;
};

class FaultTable {
 public:
  // words: CMD KIND [ARGS...] [OPTIONS...]. CMD is a hexadecimal command
  // byte or "*". The options, in any order: once, always or times=N (the
  // count), skip=K, match=HEX. Returns an error text, or an empty string.
  std::string add(const std::vector<std::string>& words);
  // Removes every rule, or the rules of one command (-1 for the "*" rules).
  void clear();
  void clear(int command);
  std::vector<std::string> list() const;
  // Applies the active rules that match the request (command and data) to
  // its answer; previous is the correct answer the transport sent before (for
  // "stale"). Counts down skips and the rules it applies, and drops the rules
  // used up.
  ReplyPlan plan(std::uint8_t command, const Bytes& data, Reply reply, const Bytes& previous);

 private:
  std::vector<FaultRule> rules_;
};

}  // namespace extsim

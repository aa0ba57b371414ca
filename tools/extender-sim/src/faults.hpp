// Scriptable faults that change how the device answers a command: no answer,
// a late answer, an answer in pieces, a corrupted answer, a stale or doubled
// answer, an unsolicited frame before it, or a dropped connection.
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
};

struct FaultRule {
  int command = -1;  // -1: every command
  FaultKind kind = FaultKind::NoReply;
  int value = 0;     // delay, piece size, length delta or reply type
  int gap_ms = 0;    // split
  Bytes bytes;       // unsolicited
  int remaining = 1; // answers still to be hit; -1: permanent
  // "26 delay 200 left=2"; without the count: "26 delay 200".
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
  // words: CMD KIND [ARGS...] [once|always|times=N]. CMD is a hexadecimal
  // command byte or "*". Returns an error text, or an empty string.
  std::string add(const std::vector<std::string>& words);
  // Removes every rule, or the rules of one command (-1 for the "*" rules).
  void clear();
  void clear(int command);
  std::vector<std::string> list() const;
  // Applies the active rules of the command to its answer; previous is the
  // correct answer the transport sent before (for "stale"). Counts down the
  // rules it applies and drops those used up.
  ReplyPlan plan(std::uint8_t command, Reply reply, const Bytes& previous);

 private:
  std::vector<FaultRule> rules_;
};

}  // namespace extsim

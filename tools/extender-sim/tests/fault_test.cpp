// Fault rules: their syntax, what each does to an answer, and their counts.
#include <gtest/gtest.h>

#include <sstream>

#include "faults.hpp"
#include "sim_peer.hpp"

namespace {

using extsim::FaultTable;
using extsim::Reply;
using simtest::hex;

std::vector<std::string> words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> w;
  std::string x;
  while (in >> x) w.push_back(x);
  return w;
}

Reply data_reply(const char* data) {
  Reply r;
  r.type = 0xB0;
  r.data = hex(data);
  return r;
}

TEST(Faults, RejectsMalformedRules) {
  const char* bad[] = {
      "26",                      // no kind
      "26 bogus",                // unknown kind
      "ZZ noreply",              // bad command
      "126 noreply",             // command out of range
      "26 delay",                // missing argument
      "26 delay x",              // not a number
      "26 delay -5",             // negative
      "26 noreply 5",            // extra argument
      "26 split 0 10",           // empty pieces
      "26 split 4",              // missing gap
      "26 badlen 0",             // no change
      "26 lenbyte 300",          // out of range
      "26 type GG",              // not hexadecimal
      "26 unsolicited",          // no bytes
      "26 unsolicited CAB",      // odd digit count
      "26 noreply times=0",      // count below 1
      "26 noreply times=x",      // count not a number
      "26 noreply always once",  // two counts
  };
  for (const char* rule : bad) {
    SCOPED_TRACE(rule);
    FaultTable t;
    EXPECT_NE(t.add(words(rule)), "");
    EXPECT_TRUE(t.list().empty());
  }
}

TEST(Faults, EachKindChangesTheAnswer) {
  struct Case {
    const char* rule;
    Reply reply;
    const char* previous;
    const char* bytes;  // what is sent
    bool send;
    int delay;
    std::size_t piece;
    int gap;
    bool drop;
  } cases[] = {
      {"26 noreply", Reply{}, "", "", false, 0, 0, 0, false},
      {"26 delay 150", Reply{}, "", "CA90FFA6", true, 150, 0, 0, false},
      {"26 split 2 30", Reply{}, "", "CA90FFA6", true, 0, 2, 30, false},
      {"26 badcheck", Reply{}, "", "CA90FFA7", true, 0, 0, 0, false},
      {"26 trailer", data_reply("112233"), "", "CAB0FF03112233AC", true, 0, 0, 0, false},
      {"26 badlen 1", data_reply("112233"), "", "CAB0FF04112233EE2E", true, 0, 0, 0, false},
      {"26 badlen -1", data_reply("112233"), "", "CAB0FF02112251", true, 0, 0, 0, false},
      {"26 badlen -9", data_reply("112233"), "", "CAB0FF0086", true, 0, 0, 0, false},
      {"26 lenbyte 1", data_reply("112233"), "", "CAB0FF041122331C", true, 0, 0, 0, false},
      {"26 lenbyte -3", data_reply("112233"), "", "CAB0FF0011223320", true, 0, 0, 0, false},
      {"26 type 80", data_reply("112233"), "", "CA80FFB6", true, 0, 0, 0, false},
      {"26 type B0", Reply{}, "", "CAB0FF0086", true, 0, 0, 0, false},
      {"26 dup", Reply{}, "", "CA90FFA6CA90FFA6", true, 0, 0, 0, false},
      {"26 stale", Reply{}, "CAB0FF0086", "CAB0FF0086", true, 0, 0, 0, false},
      {"26 stale", Reply{}, "", "", false, 0, 0, 0, false},
      {"26 unsolicited CA B0 FF 00 86", Reply{}, "", "CAB0FF0086CA90FFA6", true, 0, 0, 0, false},
      {"26 drop", Reply{}, "", "", false, 0, 0, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.rule) + " after '" + c.previous + "'");
    FaultTable t;
    ASSERT_EQ(t.add(words(c.rule)), "");
    auto p = t.plan(0x26, c.reply, hex(c.previous));
    EXPECT_EQ(p.send, c.send);
    if (c.send) {
      EXPECT_EQ(hex(p.bytes), c.bytes);
    }
    EXPECT_EQ(p.delay_ms, c.delay);
    EXPECT_EQ(p.piece, c.piece);
    EXPECT_EQ(p.gap_ms, c.gap);
    EXPECT_EQ(p.drop, c.drop);
    EXPECT_EQ(p.applied.size(), 1u);
  }
}

TEST(Faults, CountsAndCommandsDecideWhichAnswersAreHit) {
  struct Case {
    const char* rule;
    std::vector<std::uint8_t> commands;  // answers in order
    std::vector<bool> hit;
  } cases[] = {
      {"26 badcheck", {0x26, 0x26, 0x26}, {true, false, false}},
      {"26 badcheck once", {0x26, 0x26}, {true, false}},
      {"26 badcheck times=2", {0x26, 0x26, 0x26}, {true, true, false}},
      {"26 badcheck always", {0x26, 0x26, 0x26, 0x26}, {true, true, true, true}},
      {"26 badcheck times=2", {0x28, 0x26, 0x29, 0x26, 0x26}, {false, true, false, true, false}},
      {"0x29 badcheck", {0x28, 0x29}, {false, true}},
      {"* badcheck times=2", {0x28, 0x31, 0x26}, {true, true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    FaultTable t;
    ASSERT_EQ(t.add(words(c.rule)), "");
    for (std::size_t i = 0; i < c.commands.size(); ++i) {
      auto p = t.plan(c.commands[i], Reply{}, {});
      EXPECT_EQ(hex(p.bytes) == "CA90FFA7", c.hit[i]) << "answer " << i;
    }
  }
}

TEST(Faults, RulesCombineAndClearByCommand) {
  FaultTable t;
  ASSERT_EQ(t.add(words("26 delay 100")), "");
  ASSERT_EQ(t.add(words("26 badcheck")), "");
  ASSERT_EQ(t.add(words("* split 3 20 always")), "");
  ASSERT_EQ(t.add(words("28 noreply always")), "");
  EXPECT_EQ(t.list(), (std::vector<std::string>{"26 delay 100 left=1", "26 badcheck left=1", "* split 3 20 always",
                                                "28 noreply always"}));
  auto p = t.plan(0x26, Reply{}, {});
  EXPECT_EQ(hex(p.bytes), "CA90FFA7");
  EXPECT_EQ(p.delay_ms, 100);
  EXPECT_EQ(p.piece, 3u);
  EXPECT_EQ(t.list().size(), 2u);  // the two one-shot rules are used up
  t.clear(0x28);
  EXPECT_EQ(t.list(), std::vector<std::string>{"* split 3 20 always"});
  t.clear(-1);
  EXPECT_TRUE(t.list().empty());
}

}  // namespace

// Fault rules: their syntax, what each does to an answer, and their counts.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "faults.hpp"
#include "sim_peer.hpp"

namespace {

using extsim::FaultTable;
using extsim::Reply;
using simtest::chk;
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
      "26 bytes",                // no bytes
      "26 reply 0G",             // not hexadecimal
      "26 noreply skip=-1",      // negative skip
      "26 noreply skip=x",       // skip not a number
      "26 noreply skip=1 skip=2",  // two skips
      "26 noreply match=",       // no bytes to match
      "26 noreply match=ABC",    // odd digit count
      "26 noreply once 05",      // an argument among the options
  };
  for (const char* rule : bad) {
    SCOPED_TRACE(rule);
    FaultTable t;
    EXPECT_NE(t.add(words(rule)), "");
    EXPECT_TRUE(t.list().empty());
  }
  FaultTable t;
  EXPECT_NE(t.add(words("26 reply " + std::string(512, 'A'))), "") << "a B0 answer holds at most 255 bytes";
  EXPECT_EQ(t.add(words("26 reply " + std::string(510, 'A'))), "");
}

TEST(Faults, EachKindChangesTheAnswer) {
  struct Case {
    const char* rule;
    Reply reply;
    const char* previous;
    std::string bytes;  // what is sent
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
      {"26 reply 05 69", data_reply("00"), "", chk("CAB0FF020569"), true, 0, 0, 0, false},
      {"26 reply 0505", Reply{}, "", chk("CAB0FF020505"), true, 0, 0, 0, false},
      {"26 reply", data_reply("112233"), "", "CAB0FF0086", true, 0, 0, 0, false},
      {"26 reply -", data_reply("112233"), "", "CAB0FF0086", true, 0, 0, 0, false},
      {"26 bytes CA 90 FF", data_reply("112233"), "", "CA90FF", true, 0, 0, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.rule) + " after '" + c.previous + "'");
    FaultTable t;
    ASSERT_EQ(t.add(words(c.rule)), "");
    auto p = t.plan(0x26, hex("FFFFFFFF00"), c.reply, hex(c.previous));
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

TEST(Faults, CountsSkipsCommandsAndDataDecideWhichAnswersAreHit) {
  struct Answer {
    std::uint8_t command;
    std::string data;
  };
  const Answer clear9{0x25, "FFFFFFFF0900"}, clear10{0x25, "FFFFFFFF0A00"}, write{0x25, "00400000" "01AA"};
  const Answer dir{0x26, "FFFFFFFF00"}, get{0x28, "30"}, set{0x29, "0200FFFF"}, number{0x31, "0105"};
  std::vector<Answer> eleven_clears;
  for (int slot = 0; slot <= 10; ++slot) {
    char d[16];
    std::snprintf(d, sizeof d, "FFFFFFFF%02X00", slot);
    eleven_clears.push_back({0x25, d});
    eleven_clears.push_back(write);  // downloads of stored slots in between
  }
  std::vector<bool> only_the_eleventh_clear(eleven_clears.size(), false);
  only_the_eleventh_clear[20] = true;
  struct Case {
    const char* rule;
    std::vector<Answer> answers;  // in order
    std::vector<bool> hit;
  } cases[] = {
      {"26 badcheck", {dir, dir, dir}, {true, false, false}},
      {"26 badcheck once", {dir, dir}, {true, false}},
      {"26 badcheck times=2", {dir, dir, dir}, {true, true, false}},
      {"26 badcheck always", {dir, dir, dir, dir}, {true, true, true, true}},
      {"26 badcheck times=2", {get, dir, set, dir, dir}, {false, true, false, true, false}},
      {"0x29 badcheck", {get, set}, {false, true}},
      {"* badcheck times=2", {get, number, dir}, {true, true, false}},
      {"26 badcheck skip=2", {dir, dir, dir, dir}, {false, false, true, false}},
      {"26 badcheck skip=1 always", {dir, dir, dir}, {false, true, true}},
      {"26 badcheck skip=0", {dir, dir}, {true, false}},
      {"26 badcheck skip=1", {get, dir, get, dir}, {false, false, false, true}},
      {"25 badcheck match=FFFFFFFF0A00 times=2", {clear9, clear10, write, clear10, clear10},
       {false, true, false, true, false}},
      {"25 badcheck match=ffffffff0a00", {clear10}, {true}},
      {"* badcheck match=30", {number, get, set}, {false, true, false}},
      {"26 badcheck match=FFFFFFFF0000", {dir}, {false}},  // longer than the data
      {"25 badcheck match=FFFFFFFF skip=1", {write, clear9, write, clear10}, {false, false, false, true}},
      {"25 badcheck match=FFFFFFFF skip=10 times=3", eleven_clears, only_the_eleventh_clear},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    FaultTable t;
    ASSERT_EQ(t.add(words(c.rule)), "");
    for (std::size_t i = 0; i < c.answers.size(); ++i) {
      auto p = t.plan(c.answers[i].command, hex(c.answers[i].data), Reply{}, {});
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
  ASSERT_EQ(t.add(words("25 reply 05 69 always match=FFFFFFFF skip=10")), "");
  EXPECT_EQ(t.list(), (std::vector<std::string>{"26 delay 100 left=1", "26 badcheck left=1", "* split 3 20 always",
                                                "28 noreply always", "25 reply 0569 match=FFFFFFFF skip=10 always"}));
  auto p = t.plan(0x26, hex("FFFFFFFF00"), Reply{}, {});
  EXPECT_EQ(hex(p.bytes), "CA90FFA7");
  EXPECT_EQ(p.delay_ms, 100);
  EXPECT_EQ(p.piece, 3u);
  EXPECT_EQ(t.list().size(), 3u);  // the two one-shot rules are used up
  t.clear(0x25);
  t.clear(0x28);
  EXPECT_EQ(t.list(), std::vector<std::string>{"* split 3 20 always"});
  t.clear(-1);
  EXPECT_TRUE(t.list().empty());

  // Chosen content is changed further by the other rules.
  ASSERT_EQ(t.add(words("26 reply 0569")), "");
  ASSERT_EQ(t.add(words("26 lenbyte 1")), "");
  ASSERT_EQ(t.add(words("26 dup")), "");
  p = t.plan(0x26, hex("FFFFFFFF00"), Reply{}, {});
  EXPECT_EQ(hex(p.bytes), chk("CAB0FF030569") + chk("CAB0FF030569"));
  EXPECT_EQ(p.applied, (std::vector<std::string>{"26 reply 0569", "26 lenbyte 1", "26 dup"}));
}

}  // namespace

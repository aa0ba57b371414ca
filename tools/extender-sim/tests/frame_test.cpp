// Check byte, reply encoding, request building and the device-side request
// parser.
#include <gtest/gtest.h>

#include "frame.hpp"
#include "sim_peer.hpp"

namespace {

using extsim::Bytes;
using extsim::Reply;
using simtest::hex;

TEST(Frame, CheckByteMakesTheFrameSumToFF) {
  struct Case {
    const char* bytes;
    std::uint8_t check;
  } cases[] = {
      {"CA20FE2605FFFFFFFF00", 0xF0},  // directory of channel 0, to FE
      {"CA20FE31020105", 0xDE},        // send number channel 0 slot 5
      {"CA90FF", 0xA6},                // acknowledge
      {"CAB0FF03112233", 0x1D},
      {"", 0xFF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(extsim::check_byte(hex(c.bytes)), c.check);
  }
}

TEST(Frame, EncodesReplies) {
  auto reply = [](std::uint8_t type, const char* data, int delta = 0,
                  Reply::Trailer t = Reply::Trailer::Check) {
    Reply r;
    r.type = type;
    r.data = hex(data);
    r.length_delta = delta;
    r.trailer = t;
    return r;
  };
  struct Case {
    const char* name;
    Reply reply;
    const char* expect;
  } cases[] = {
      {"ack", reply(0x90, ""), "CA90FFA6"},
      {"ack carries no data", reply(0x90, "1122"), "CA90FFA6"},
      {"no data", reply(0x80, ""), "CA80FFB6"},
      {"data", reply(0xB0, "112233"), "CAB0FF031122331D"},
      {"empty data", reply(0xB0, ""), "CAB0FF0086"},
      {"wrong check", reply(0x90, "", 0, Reply::Trailer::WrongCheck), "CA90FFA7"},
      // The right check byte here is AB; the wrong one must not be AC.
      {"wrong check skips AC", reply(0xB0, "DA", 0, Reply::Trailer::WrongCheck), "CAB0FF01DAAD"},
      {"end byte", reply(0xB0, "112233", 0, Reply::Trailer::EndByte), "CAB0FF03112233AC"},
      {"length byte off", reply(0xB0, "112233", 1), "CAB0FF041122331C"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(hex(extsim::encode_reply(c.reply)), c.expect);
  }
}

TEST(Frame, BuildsRequests) {
  EXPECT_EQ(hex(extsim::request_frame(0x20, 0xFE, 0x31, hex("0105"))), "CA20FE31020105DE");
  EXPECT_EQ(hex(extsim::request_frame(0x20, 0xFE, 0x26, hex("00680000FA"), true)), "CA20FE260500680000FAAC");
  EXPECT_EQ(hex(extsim::request_frame(0x00, 0xFE, 0xBB, hex("1122"), true)), "CA00FEBBAC");
}

// Events as text: "ok CMD DATA" or "bad REASON".
std::vector<std::string> parse(const std::string& input, bool flush = false) {
  extsim::RequestParser p;
  std::vector<extsim::RequestParser::Event> ev;
  for (auto b : hex(input)) p.feed(b, ev);
  if (flush) p.flush(ev);
  std::vector<std::string> out;
  for (const auto& e : ev) {
    if (e.good) {
      char head[16];
      std::snprintf(head, sizeof head, "ok %02X %02X %02X", e.request.type, e.request.address, e.request.command);
      out.push_back(std::string(head) + " " + hex(e.request.data));
    } else {
      out.push_back("bad " + e.reason + " [" + hex(e.raw) + "]");
    }
  }
  return out;
}

TEST(RequestParser, FindsFramesAndReportsBadOnes) {
  using V = std::vector<std::string>;
  struct Case {
    const char* name;
    const char* input;
    bool flush;
    V expect;
  } cases[] = {
      {"check byte", "CA20FE280130BE", false, {"ok 20 FE 28 30"}},
      {"end byte", "CA20FE18030C1122AC", false, {"ok 20 FE 18 0C1122"}},
      {"no data type", "CA00FEBBAC", false, {"ok 00 FE BB "}},
      {"zero length", "CA20FE1800FF", false, {"ok 20 FE 18 "}},
      {"two in a row", "CA20FE280130BECA00FEBBAC", false, {"ok 20 FE 28 30", "ok 00 FE BB "}},
      {"wrong check", "CA20FE280130BD", false, {"bad wrong check byte BD (expected BE or AC) [CA20FE280130BD]"}},
      {"unknown type, then a frame", "CA55CA20FE280130BE", false,
       {"bad unknown frame type 55 [CA55]", "ok 20 FE 28 30"}},
      {"start byte as type restarts", "CACA20FE280130BE", false,
       {"bad unknown frame type CA [CA]", "ok 20 FE 28 30"}},
      {"noise before a frame", "0011CA20FE280130BE", false,
       {"bad 2 byte(s) outside a frame [0011]", "ok 20 FE 28 30"}},
      {"truncated", "CA20FE2801", true, {"bad truncated frame [CA20FE2801]"}},
      {"noise alone", "0102", true, {"bad 2 byte(s) outside a frame [0102]"}},
      // A length byte that claims more data swallows the trailer and waits.
      {"length too long", "CA20FE280230BE", true, {"bad truncated frame [CA20FE280230BE]"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(parse(c.input, c.flush), c.expect);
  }
}

TEST(RequestParser, PendingOnlyInsideAFrame) {
  extsim::RequestParser p;
  std::vector<extsim::RequestParser::Event> ev;
  EXPECT_FALSE(p.pending());
  for (auto b : hex("CA20FE28")) p.feed(b, ev);
  EXPECT_TRUE(p.pending());
  for (auto b : hex("0130BE")) p.feed(b, ev);
  EXPECT_FALSE(p.pending());
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_TRUE(ev[0].good);
}

}  // namespace

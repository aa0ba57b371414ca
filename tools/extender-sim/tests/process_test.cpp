// The simulator as a real process, driven over its pseudo-terminal, its TCP
// port and its control socket.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "sim_peer.hpp"
#include "simulator.hpp"

namespace {

using extsim::LinkSettings;
using simtest::Bytes;
using simtest::chk;
using simtest::hex;
using simtest::Peer;
using simtest::record;
using simtest::SimProcess;
using Ms = std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

const std::string kAck = "CA90FFA6";
const std::string kGet = "CA20FE280130BE";
const std::string kBlock = "303030303030" "50" "050505050505" "01" "000000";
const std::string kGetReply = chk("CAB0FF11" + kBlock);
// The answer to a get with the host-port byte (block byte 6) given in hexadecimal.
std::string get_reply(const std::string& host) {
  return chk("CAB0FF11" + kBlock.substr(0, 12) + host + kBlock.substr(14));
}
const std::string kSetSwitches = "CA20012904" "0200FFFF" "E7";

enum class Via { Pty, Tcp };
const char* name(Via v) { return v == Via::Pty ? "pty" : "tcp"; }

double ms_since(SteadyClock::time_point t) {
  return std::chrono::duration<double, std::milli>(SteadyClock::now() - t).count();
}

bool file_exists(const std::string& p) {
  struct stat st {};
  return lstat(p.c_str(), &st) == 0;
}

// Polls until the condition holds or ms have passed; returns the condition.
bool wait_until(const std::function<bool()>& done, int ms) {
  auto deadline = SteadyClock::now() + Ms(ms);
  while (!done()) {
    if (SteadyClock::now() >= deadline) return false;
    std::this_thread::sleep_for(Ms(20));
  }
  return true;
}

// A non-blocking socket connected to the control socket at path (tried for
// at most 2 s), or -1.
int connect_control(const std::string& path) {
  sockaddr_un sa{};
  sa.sun_family = AF_UNIX;
  std::strncpy(sa.sun_path, path.c_str(), sizeof sa.sun_path - 1);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  auto deadline = SteadyClock::now() + Ms(2000);
  while (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    if ((errno != EAGAIN && errno != EINTR) || SteadyClock::now() >= deadline) {
      close(fd);
      return -1;
    }
    std::this_thread::sleep_for(Ms(10));
  }
  return fd;
}

// A non-blocking TCP connection to the simulator with a small receive buffer,
// so that output it does not read soon fills the buffers; or -1.
int connect_tcp_small(int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int small = 4096;
  setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<std::uint16_t>(port));
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    close(fd);
    return -1;
  }
  if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  return fd;
}

// Resident memory of a process in KiB (0 when unknown).
long resident_kib(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    ASSERT_TRUE(sim.start({}, &err)) << err;
  }

  std::unique_ptr<Peer> open(Via via, LinkSettings s = {}) {
    std::string err;
    auto p = via == Via::Pty ? Peer::open_serial(sim.pty, s, &err) : Peer::connect_tcp(sim.tcp_port, &err);
    EXPECT_TRUE(p) << name(via) << ": " << err;
    return p;
  }

  // Sends a request and checks that exactly the expected bytes come back.
  void exchange(Peer& p, const std::string& request, const std::string& expect) {
    ASSERT_TRUE(p.send(hex(request)));
    Bytes want = hex(expect);
    EXPECT_EQ(hex(p.read_exact(want.size(), 2000)), expect) << "request " << request;
    EXPECT_EQ(hex(p.read_for(30)), "") << "extra bytes after the reply to " << request;
  }

  std::string log_text(const char* which = "log") {
    auto r = sim.control(which);
    std::string s;
    for (const auto& l : r.lines) s += l + "\n";
    return s;
  }

  SimProcess sim;
};

TEST_F(SimTest, AnswersEveryCommandOverBothTransports) {
  const Bytes rec = record(600);
  const std::string first250 = hex(Bytes(rec.begin(), rec.begin() + 250));
  struct Check {
    std::string line, contains;
  };
  struct Case {
    const char* name;
    std::vector<std::string> setup;
    std::vector<std::pair<std::string, std::string>> exchanges;
    std::vector<Check> checks;
  } cases[] = {
      {"directory", {"slot set 0 5 " + hex(rec), "slot set 0 7 0600AABBCCDD"},
       {{chk("CA20FE2605FFFFFFFF00"), chk("CAB0FF020507")}, {chk("CA20FE2605FFFFFFFF01"), "CAB0FF0086"}}, {}},
      {"memory read", {"slot set 0 5 " + hex(rec)},
       {{chk("CA20FE260500680000FA"), chk("CAB0FFFA" + first250)},
        {"CA20FE260500680000FAAC", chk("CAB0FFFA" + first250)}},
       {}},
      {"memory write", {}, {{chk("CA20FE250800400000" "03AABBCC"), kAck}}, {{"mem read 0x4000 4", "OK AABBCCFF"}}},
      {"slot clear", {"slot set 0 5 0400AABB"}, {{chk("CA20FE2506FFFFFFFF0500"), kAck}}, {{"slot get 0 5", "OK empty"}}},
      {"raw code", {},
       {{chk("CA20FE2703" "01AABB"), kAck}, {chk("CA20FE2702" "04CC"), kAck}, {chk("CA20FE2701" "03"), kAck}},
       {{"txlog", " raw tag=03 AABBCC\n"}}},
      {"send number", {"slot set 0 5 0400AABB"}, {{"CA20FE31020105DE", kAck}},
       {{"txlog", " number channel=0 slot=5 record=0400AABB\n"}}},
      {"learn", {}, {{chk("CA20FE32020109"), kAck}}, {}},
      {"get all", {}, {{kGet, kGetReply}, {"CA2001280130BB", kGetReply}}, {}},
      {"set parameters",
       {},
       {{"CA20FE290F0130303030303030010101010101" "0187", kAck}},
       {{"params", "OK 30303030303030010101010101" "01000000"}}},
      {"set switches", {}, {{kSetSwitches, kAck}}, {{"switches", "OK 00FFFF"}}},
      {"data forwarding", {}, {{"CA20FE18030C1122AC", kAck}}, {{"txlog", " forward port=0C data=1122\n"}}},
      {"read version", {}, {{"CA00FEBBAC", chk("CAB0FF0D" + hex(Bytes{'E', 'X', 'T', '-', 'S', 'I', 'M', ' ', 'V', '1', '.', '0', '0'}))}}, {}},
      {"infrared send", {}, {{"CA20013103030F02AC", kAck}}, {{"txlog", " ir port=3 code=15 repeat=2 record=empty\n"}}},
      {"set ID", {}, {{"CA20FE330105AC", kAck}, {chk("CA20052801" "30"), kGetReply}}, {{"id", "OK 05"}}},
  };
  for (Via via : {Via::Pty, Via::Tcp}) {
    auto peer = open(via);
    ASSERT_TRUE(peer);
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(name(via)) + ": " + c.name);
      sim.ctl("reset");
      sim.ctl("txlog clear");
      for (const auto& s : c.setup) sim.ctl(s);
      for (const auto& [req, expect] : c.exchanges) exchange(*peer, req, expect);
      for (const auto& ch : c.checks) {
        std::string got = ch.line == "txlog" ? log_text("txlog") : sim.ctl(ch.line).insert(0, "OK ");
        EXPECT_NE(got.find(ch.contains), std::string::npos) << ch.line << " gave:\n" << got;
      }
    }
  }
}

TEST_F(SimTest, IgnoresBadRequestsAndLogsWhy) {
  struct Case {
    const char* name;
    std::string request;
    std::string logged;
  } cases[] = {
      {"wrong check byte", "CA20FE280130BD", "bad CA20FE280130BD wrong check byte BD (expected BE or AC)"},
      {"unknown command", chk("CA20FE4400"), "ignored " + chk("CA20FE4400") + " unknown command 44"},
      {"wrong length", chk("CA20FE260400400000"), "wrong data length 4 for command 26"},
      {"other address", chk("CA20052801" "30"), "addressed to 05, module ID is 01"},
      {"truncated", "CA20FE2801", "bad CA20FE2801 truncated frame"},
      {"unknown frame type", "CA55", "bad CA55 unknown frame type 55"},
      {"noise", "0102", "bad 0102 2 byte(s) outside a frame"},
  };
  auto peer = open(Via::Tcp);
  ASSERT_TRUE(peer);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ctl("log clear");
    ASSERT_TRUE(peer->send(hex(c.request)));
    EXPECT_EQ(hex(peer->read_for(extsim::kFrameTimeoutMs + 200)), "");
    std::string log = log_text();
    EXPECT_NE(log.find(c.logged), std::string::npos) << log;
    exchange(*peer, kGet, kGetReply);  // the device is not confused afterwards
  }
}

TEST_F(SimTest, FaultsChangeTheAnswer) {
  const std::string wrong_check = "CAB0FF11" + kBlock + "E7";
  struct Case {
    const char* name;
    std::string fault;
    std::string before;   // a request answered first
    std::string request;
    std::string expect;   // empty: silence
    double min_ms = 0;    // the answer's last byte comes no earlier
    std::size_t first_piece = 0;
    bool drop = false;
  } cases[] = {
      {"no reply", "28 noreply", "", kGet, ""},
      {"late reply", "28 delay 300", "", kGet, kGetReply, 290},
      {"split reply", "28 split 8 150", "", kGet, kGetReply, 290, 8},
      {"wrong check byte", "28 badcheck", "", kGet, wrong_check},
      {"end byte trailer", "28 trailer", "", kGet, "CAB0FF11" + kBlock + "AC"},
      {"short data", "28 badlen -1", "", kGet, chk("CAB0FF10" + kBlock.substr(0, 32))},
      {"long data", "28 badlen 1", "", kGet, chk("CAB0FF12" + kBlock + "EE")},
      {"wrong length byte", "28 lenbyte 1", "", kGet, chk("CAB0FF12" + kBlock)},
      {"wrong reply type", "29 type 80", "", kSetSwitches, "CA80FFB6"},
      {"duplicated reply", "29 dup", "", kSetSwitches, kAck + kAck},
      {"stale reply", "29 stale", kGet, kSetSwitches, kGetReply},
      {"unsolicited frame first", "29 unsolicited CAB0FF0086", "", kSetSwitches, "CAB0FF0086" + kAck},
      {"any command", "* badcheck", "", kGet, wrong_check},
      {"dropped connection", "29 drop", "", kSetSwitches, "", 0, 0, true},
      {"chosen data", "28 reply 05 69", "", kGet, chk("CAB0FF020569")},
      {"chosen bytes", "29 bytes CA90FF", "", kSetSwitches, "CA90FF"},
  };
  for (Via via : {Via::Pty, Via::Tcp}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(name(via)) + ": " + c.name);
      auto peer = open(via);
      ASSERT_TRUE(peer);
      sim.ctl("reset");
      if (!c.before.empty()) exchange(*peer, c.before, kGetReply);
      sim.ctl("fault " + c.fault);
      auto t0 = SteadyClock::now();
      ASSERT_TRUE(peer->send(hex(c.request)));
      if (c.drop) {
        if (via == Via::Tcp) {
          EXPECT_TRUE(peer->sees_eof(2000));
        } else {
          EXPECT_EQ(hex(peer->read_for(400)), "");
          EXPECT_NE(log_text().find("a serial line cannot be dropped"), std::string::npos);
        }
        continue;
      }
      if (c.expect.empty()) {
        EXPECT_EQ(hex(peer->read_for(400)), "");
        continue;
      }
      Bytes got;
      if (c.first_piece) {
        got = peer->read_some(2000);
        EXPECT_EQ(got.size(), c.first_piece);
      }
      Bytes rest = peer->read_exact(hex(c.expect).size() - got.size(), 3000);
      got.insert(got.end(), rest.begin(), rest.end());
      double ms = ms_since(t0);
      EXPECT_EQ(hex(got), c.expect);
      EXPECT_GE(ms, c.min_ms);
      EXPECT_EQ(hex(peer->read_for(50)), "");
      // A one-shot fault is used up: the next answer is right.
      if (c.fault[0] != '*') exchange(*peer, c.request, c.request == kGet ? kGetReply : kAck);
    }
  }
}

TEST_F(SimTest, CountedFaultsWearOff) {
  auto peer = open(Via::Tcp);
  ASSERT_TRUE(peer);
  sim.ctl("fault 28 badcheck times=2");
  EXPECT_NE(log_text("faults").find("- 28 badcheck left=2"), std::string::npos);
  const std::string bad = "CAB0FF11" + kBlock + "E7";
  for (const std::string& expect : {bad, bad, kGetReply, kGetReply}) exchange(*peer, kGet, expect);
  sim.ctl("fault 28 noreply always");
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(peer->send(hex(kGet)));
    EXPECT_EQ(hex(peer->read_for(150)), "") << "request " << i;
  }
  sim.ctl("fault clear");
  exchange(*peer, kGet, kGetReply);
}

TEST_F(SimTest, FaultsHitTheChosenRequests) {
  auto peer = open(Via::Tcp);
  ASSERT_TRUE(peer);
  auto clear = [](int slot) {
    char f[32];
    std::snprintf(f, sizeof f, "CA20FE2506FFFFFFFF%02X00", slot);
    return chk(f);
  };
  const std::string write = chk("CA20FE2506" "00400000" "01AA");
  // A download whose clear of slot 10 (the 11th clear) fails on both tries,
  // with writes of stored slots in between.
  sim.ctl("fault 25 noreply match=FFFFFFFF skip=10 times=2");
  for (int slot = 0; slot < 10; ++slot) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    exchange(*peer, clear(slot), kAck);
    exchange(*peer, write, kAck);
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    ASSERT_TRUE(peer->send(hex(clear(10))));
    EXPECT_EQ(hex(peer->read_for(150)), "") << "attempt " << attempt;
  }
  exchange(*peer, write, kAck);
  exchange(*peer, clear(10), kAck);
  // A directory that lists slot 5 twice, for channel 0 only.
  sim.ctl("fault 26 reply 05 69 match=FFFFFFFF00");
  exchange(*peer, chk("CA20FE2605FFFFFFFF01"), "CAB0FF0086");
  exchange(*peer, chk("CA20FE2605FFFFFFFF00"), chk("CAB0FF020569"));
  exchange(*peer, chk("CA20FE2605FFFFFFFF00"), chk("CAB0FF0100"));  // the true one: slot 0 was written
  EXPECT_EQ(sim.ctl("faults"), "0");
}

TEST_F(SimTest, RequestsBeyondTheProgramsLimitsAreAnsweredWithAWarning) {
  auto peer = open(Via::Tcp);
  ASSERT_TRUE(peer);
  const std::string ff250 = hex(Bytes(250, 0xFF));
  exchange(*peer, chk("CA20FE260500400000FA"), chk("CAB0FFFA" + ff250));
  exchange(*peer, chk("CA20FE18030C1122"), kAck);
  EXPECT_EQ(sim.ctl("warnings"), "0");
  exchange(*peer, chk("CA20FE260500400000FB"), chk("CAB0FFFB" + ff250 + "FF"));
  exchange(*peer, chk("CA20FE2507FF470000" "02AABB"), kAck);
  auto r = sim.control("warnings");
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_NE(r.lines[0].find(" tcp warn " + chk("CA20FE260500400000FB") + " read 251 byte(s) at 004000 [warn: a read of more than 250 bytes]"),
            std::string::npos) << r.lines[0];
  EXPECT_NE(r.lines[1].find(" warn " + chk("CA20FE2507FF470000" "02AABB") + " write 2 byte(s) at 0047FF [warn: a write across"),
            std::string::npos) << r.lines[1];
  EXPECT_EQ(r.lines[2], "OK 2");
  EXPECT_EQ(sim.ctl("mem read 0x47FF 2"), "AABB");
  sim.ctl("log clear");
  EXPECT_EQ(sim.ctl("warnings"), "0");
}

TEST_F(SimTest, PtyAnswersOnlyWhenTheLineSettingsMatch) {
  struct Case {
    const char* device;
    LinkSettings line;
    const char* host;  // the host-port byte of the answer; empty: no answer
  } cases[] = {
      {"38400 N", {38400, 'N'}, "50"}, {"38400 N", {9600, 'N'}, ""},   {"38400 N", {38400, 'E'}, ""},
      {"38400 N", {38400, 'O'}, ""},   {"9600 E", {9600, 'E'}, "32"},  {"9600 E", {9600, 'O'}, ""},
      {"9600 E", {9600, 'N'}, ""},     {"9600 E", {19200, 'E'}, ""},   {"43000 N", {43000, 'N'}, "60"},
      {"115200 O", {115200, 'O'}, "91"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("device ") + c.device + ", line " + extsim::describe(c.line));
    sim.ctl(std::string("link ") + c.device);
    sim.ctl("log clear");
    auto peer = open(Via::Pty, c.line);
    ASSERT_TRUE(peer);
    if (*c.host) {
      exchange(*peer, kGet, get_reply(c.host));
    } else {
      ASSERT_TRUE(peer->send(hex(kGet)));
      EXPECT_EQ(hex(peer->read_for(300)), "");
      EXPECT_NE(log_text().find("garbled: the line is set to " + extsim::describe(c.line)), std::string::npos);
    }
  }
}

TEST_F(SimTest, BaudRateProbeFindsTheDevice) {
  sim.ctl("link 4800 E");
  std::string answered;
  for (unsigned baud : {1200u, 2400u, 4800u, 9600u}) {
    for (char parity : {'N', 'O', 'E'}) {
      auto peer = open(Via::Pty, {baud, parity});
      ASSERT_TRUE(peer);
      ASSERT_TRUE(peer->send(hex(kGet)));
      if (hex(peer->read_exact(hex(kGetReply).size(), 150)) == get_reply("22"))
        answered += extsim::describe({baud, parity}) + ";";
    }
  }
  EXPECT_EQ(answered, "4800 8E1;");
}

TEST_F(SimTest, PtyKeepsWorkingWhileTheClientOpensAndCloses) {
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE("open " + std::to_string(i));
    auto peer = open(Via::Pty);
    ASSERT_TRUE(peer);
    exchange(*peer, kGet, kGetReply);
  }
  {
    // Closed with the answer unread, then closed in the middle of a frame.
    auto peer = open(Via::Pty);
    ASSERT_TRUE(peer->send(hex(kGet)));
  }
  std::this_thread::sleep_for(Ms(100));
  {
    auto peer = open(Via::Pty);
    ASSERT_TRUE(peer->send(hex("CA20FE28")));
  }
  std::this_thread::sleep_for(Ms(extsim::kFrameTimeoutMs + 100));
  auto peer = open(Via::Pty);
  ASSERT_TRUE(peer);
  exchange(*peer, kGet, kGetReply);
  EXPECT_NE(log_text().find("bad CA20FE28 truncated frame"), std::string::npos);
}

TEST_F(SimTest, TcpServesOneClientAtATime) {
  auto first = open(Via::Tcp);
  ASSERT_TRUE(first);
  exchange(*first, kGet, kGetReply);
  auto second = open(Via::Tcp);
  ASSERT_TRUE(second);
  EXPECT_TRUE(first->sees_eof(2000)) << "the older connection is closed when a new one arrives";
  exchange(*second, kGet, kGetReply);
  // A client that leaves in the middle of a frame does not disturb the next.
  ASSERT_TRUE(second->send(hex("CA20FE2801")));
  second.reset();
  auto third = open(Via::Tcp);
  ASSERT_TRUE(third);
  exchange(*third, kGet, kGetReply);
  EXPECT_NE(sim.ctl("info").find("tcp_client=yes tcp_accepts=3"), std::string::npos);
  third.reset();
  auto deadline = SteadyClock::now() + Ms(2000);
  while (sim.ctl("info").find("tcp_client=no") == std::string::npos && SteadyClock::now() < deadline)
    std::this_thread::sleep_for(Ms(10));
  EXPECT_NE(sim.ctl("info").find("tcp_client=no"), std::string::npos);
}

TEST(SimBind, RefusesAddressesOutsideLoopback) {
  struct Case {
    const char* address;
    bool accepted;
  } cases[] = {
      {"192.168.1.100", false}, {"10.0.0.1", false}, {"0.0.0.0", false}, {"8.8.8.8", false},
      {"::1", false},           {"sim.example", false}, {"localhost", true}, {"127.0.0.1", true},
      {"127.0.0.2", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    if (c.accepted) {
      SimProcess sim;
      std::string err;
      EXPECT_TRUE(sim.start({"--bind", c.address}, &err)) << err;
      EXPECT_EQ(sim.stop(), 0);
    } else {
      auto r = simtest::run_program({EXTENDER_SIM_BIN, "--tcp", "0", "--bind", c.address}, 3000);
      EXPECT_EQ(r.status, 2) << r.output;
      EXPECT_TRUE(r.output.find("refusing") != std::string::npos ||
                  r.output.find("not a dotted IPv4 address") != std::string::npos)
          << r.output;
    }
  }
}

TEST_F(SimTest, StreamIsPacedAtTheLinkSpeed) {
  struct Case {
    const char* link;
    std::size_t bytes;
    double expect_ms;
  } cases[] = {
      {"9600 N", 960, 1000},     // 10 bits a byte
      {"9600 E", 960, 1100},     // 11 bits a byte with parity
      {"115200 N", 11520, 1000},
  };
  auto peer = open(Via::Tcp);
  ASSERT_TRUE(peer);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.link);
    sim.ctl(std::string("link ") + c.link);
    sim.ctl("stream " + std::to_string(c.bytes) + " tcp");
    auto t0 = SteadyClock::now();
    Bytes got = peer->read_exact(c.bytes, static_cast<int>(c.expect_ms) + 3000);
    double ms = ms_since(t0);
    ASSERT_EQ(got.size(), c.bytes);
    for (std::size_t i = 0; i < got.size(); ++i)
      if (got[i] != static_cast<std::uint8_t>(i)) FAIL() << "stream byte " << i << " is " << int(got[i]);
    EXPECT_GE(ms, c.expect_ms * 0.97);
    EXPECT_LE(ms, c.expect_ms + 700);
  }
}

TEST_F(SimTest, PacingDelaysAnswers) {
  sim.ctl("link 9600 N");
  const std::string read250 = chk("CA20FE260500400000FA");
  const std::size_t reply_len = 255;  // 250 data bytes and 5 of framing
  const double wire_ms = reply_len * 10 * 1000.0 / 9600;
  enum class First { Any, Whole, Early };
  struct Case {
    Via via;
    const char* pace;
    double min_ms, max_ms;  // when the answer is complete
    First first;            // what the first read brings
  } cases[] = {
      {Via::Tcp, "off", 0, 100, First::Any},
      // A device server gathers the serial bytes: all of them, at once, after their wire time.
      {Via::Tcp, "on", wire_ms * 0.97, wire_ms + 300, First::Whole},
      {Via::Pty, "off", 0, 100, First::Any},
      // A serial line: the first bytes arrive long before the last.
      {Via::Pty, "on", wire_ms * 0.97, wire_ms + 300, First::Early},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(name(c.via)) + ", pace " + c.pace);
    auto peer = open(c.via, {9600, 'N'});
    ASSERT_TRUE(peer);
    sim.ctl(std::string("pace ") + c.pace);
    auto t0 = SteadyClock::now();
    ASSERT_TRUE(peer->send(hex(read250)));
    Bytes got = peer->read_some(3000);
    double first_ms = ms_since(t0);
    std::size_t first = got.size();
    Bytes rest = peer->read_exact(reply_len - std::min(reply_len, got.size()), 3000);
    got.insert(got.end(), rest.begin(), rest.end());
    double ms = ms_since(t0);
    EXPECT_EQ(got.size(), reply_len);
    EXPECT_GE(ms, c.min_ms);
    EXPECT_LE(ms, c.max_ms);
    if (c.first == First::Whole) {
      EXPECT_EQ(first, reply_len) << "the answer is handed to TCP in one piece";
      EXPECT_GE(first_ms, c.min_ms);
    } else if (c.first == First::Early) {
      EXPECT_LT(first, reply_len / 2);
      EXPECT_LT(first_ms, wire_ms / 2);
    }
  }
}

TEST_F(SimTest, PacingHoldsEachRequestUntilItsBytesHaveArrived) {
  sim.ctl("link 9600 N");
  // A memory write of 245 bytes: a frame of 256 bytes, answered by a 4-byte acknowledge.
  const std::string write = chk("CA20FE25FA" "00400000" "F5" + std::string(245 * 2, '1'));
  const double byte_ms = 10 * 1000.0 / 9600;
  const double request_ms = 256 * byte_ms, ack_ms = 4 * byte_ms;
  struct Case {
    Via via;
    const char* pace;
    int requests;           // sent back to back in one write
    double min_ms, max_ms;  // when every acknowledge is complete
  } cases[] = {
      {Via::Pty, "off", 1, 0, 100},
      {Via::Tcp, "off", 1, 0, 100},
      {Via::Pty, "on", 1, (request_ms + ack_ms) * 0.97, request_ms + ack_ms + 300},
      {Via::Tcp, "on", 1, (request_ms + ack_ms) * 0.97, request_ms + ack_ms + 300},
      // The second request's bytes follow the first's on the wire.
      {Via::Pty, "on", 2, (2 * request_ms + ack_ms) * 0.97, 2 * request_ms + ack_ms + 300},
      {Via::Tcp, "on", 2, (2 * request_ms + ack_ms) * 0.97, 2 * request_ms + ack_ms + 300},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(name(c.via)) + ", pace " + c.pace + ", " + std::to_string(c.requests) + " request(s)");
    auto peer = open(c.via, {9600, 'N'});
    ASSERT_TRUE(peer);
    sim.ctl(std::string("pace ") + c.pace);
    Bytes frames;
    for (int i = 0; i < c.requests; ++i) {
      Bytes one = hex(write);
      frames.insert(frames.end(), one.begin(), one.end());
    }
    auto t0 = SteadyClock::now();
    ASSERT_TRUE(peer->send(frames));
    Bytes got = peer->read_exact(4 * static_cast<std::size_t>(c.requests), 3000);
    double ms = ms_since(t0);
    EXPECT_EQ(hex(got), c.requests == 1 ? kAck : kAck + kAck);
    EXPECT_GE(ms, c.min_ms);
    EXPECT_LE(ms, c.max_ms);
  }
}

TEST_F(SimTest, SetParametersSwitchesTheHostPortAfterItsAnswer) {
  // Host port byte 32: 9600 baud, even parity.
  const std::string set = chk("CA20FE290F01" "303030303030" "32" "01010101010101");
  struct Case {
    const char* name;
    Via via;
    bool lock;
    LinkSettings after;
  } cases[] = {
      {"over the pty", Via::Pty, false, {9600, 'E'}},
      {"over TCP", Via::Tcp, false, {9600, 'E'}},
      {"with the link locked", Via::Pty, true, {38400, 'N'}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ctl("reset");
    if (c.lock) {
      EXPECT_EQ(sim.ctl("link lock on"), "on");
    }
    sim.ctl("fault 29 delay 300");
    auto peer = open(c.via);
    ASSERT_TRUE(peer);
    ASSERT_TRUE(peer->send(hex(set)));
    std::this_thread::sleep_for(Ms(100));
    EXPECT_EQ(sim.ctl("link"), "38400 N") << "not before the answer has gone out";
    EXPECT_EQ(hex(peer->read_exact(4, 2000)), kAck) << "answered at the old settings";
    EXPECT_TRUE(wait_until([&] { return sim.ctl("link") == std::to_string(c.after.baud) + " " + c.after.parity; }, 1000))
        << sim.ctl("link");
    // The block holds the byte written; a get at the new settings shows it.
    EXPECT_EQ(sim.ctl("params"), "303030303030" "32" "01010101010101" "000000");
    auto serial = open(Via::Pty, c.after);
    ASSERT_TRUE(serial);
    exchange(*serial, kGet, chk("CAB0FF11" "303030303030" "32" "01010101010101" "000000"));
    if (!c.lock) {
      auto old = open(Via::Pty);
      ASSERT_TRUE(old->send(hex(kGet)));
      EXPECT_EQ(hex(old->read_for(300)), "") << "the old settings are garbled now";
    }
  }
  sim.ctl("reset");
  EXPECT_EQ(sim.ctl("link lock"), "off");
  EXPECT_EQ(sim.ctl("params"), kBlock);
}

TEST_F(SimTest, LearnStoresTheRecordAfterTheDelay) {
  sim.ctl("learn delay 300");
  sim.ctl("learn record 0600A1B2C3D4");
  auto peer = open(Via::Tcp);
  ASSERT_TRUE(peer);
  auto t0 = SteadyClock::now();
  exchange(*peer, chk("CA20FE32020309"), kAck);
  EXPECT_EQ(sim.ctl("slot get 2 9"), "empty");
  std::string got;
  while (ms_since(t0) < 3000 && (got = sim.ctl("slot get 2 9")) == "empty") std::this_thread::sleep_for(Ms(20));
  EXPECT_EQ(got, "0600A1B2C3D4");
  EXPECT_GE(ms_since(t0), 290);
}

TEST_F(SimTest, SendsUnsolicitedBytes) {
  auto tcp = open(Via::Tcp);
  auto pty = open(Via::Pty);
  ASSERT_TRUE(tcp && pty);
  sim.ctl("send tcp CAB0FF0086");
  EXPECT_EQ(hex(tcp->read_exact(5, 2000)), "CAB0FF0086");
  EXPECT_EQ(hex(pty->read_for(100)), "");
  sim.ctl("send CA 90 FF A6");
  EXPECT_EQ(hex(tcp->read_exact(4, 2000)), kAck);
  EXPECT_EQ(hex(pty->read_exact(4, 2000)), kAck);
  tcp.reset();
  auto deadline = SteadyClock::now() + Ms(2000);
  while (sim.control("send tcp 00").ok() && SteadyClock::now() < deadline) std::this_thread::sleep_for(Ms(10));
  EXPECT_EQ(sim.control("send tcp 00").last(), "ERR tcp is not connected");
}

TEST_F(SimTest, ControlCommandsCheckTheirArguments) {
  // In order: later lines see the effects of earlier ones.
  struct Case {
    std::string line;
    std::string reply;  // the reply's last line starts with this
  } cases[] = {
      {"", "ERR empty command"},
      {"bogus", "ERR unknown command 'bogus'"},
      {"ping", "OK pong"},
      {"slot get 8 0", "ERR usage"},
      {"slot get 0 100", "ERR usage"},
      {"slot set 0 1 0300AA", "OK"},
      {"slot get 0 1", "OK 0300AA"},
      {"slot cmp 0 1 03 00 AA", "OK same"},
      {"slot cmp 0 1 0300AB", "ERR first difference at byte 2: AA, expected AB"},
      {"slot cmp 0 1 0300", "ERR length 3, expected 2"},
      {"slot set 0 1 " + std::string(4098, 'A'), "ERR the record is 1 to 2048 bytes"},
      {"slots 0", "OK 1"},
      {"mem read 0x4800 3", "OK 0300AA"},
      {"mem read 18432 3", "OK 0300AA"},
      {"mem cmp 0x4800 0300", "OK same"},
      {"mem write 0x193FFF AABB", "ERR the range is outside memory"},
      {"mem read 0x193FFF 2", "ERR the range is outside memory"},
      {"mem write 0x193FFF AA", "OK"},
      {"slot clear 0 1", "OK"},
      {"slots 0", "OK"},
      {"params 00", "ERR params takes 17 bytes"},
      {"params 3232323232323201010101010101 00 FFFF", "OK 3232323232323201010101010101" "00FFFF"},
      {"switches 01 00 00", "OK 010000"},
      {"params", "OK 3232323232323201010101010101" "010000"},
      {"link 9600 X", "ERR parity is N, O or E"},
      {"link 10", "ERR usage"},
      {"link 9600 E", "OK 9600 E"},
      {"link 19200", "OK 19200 E"},
      {"params", "OK 323232323232" "42" "01010101010101" "010000"},  // the host-port byte follows the link
      {"link 230400", "OK 230400 E"},
      {"params", "OK 323232323232" "F2" "01010101010101" "010000"},  // a rate outside the list
      {"link lock", "OK off"},
      {"link lock maybe", "ERR usage: link lock [on|off]"},
      {"link lock on", "OK on"},
      {"link", "OK 230400 E"},
      {"id 5", "OK 05"},
      {"id 1FF", "ERR usage"},
      {"pace maybe", "ERR usage"},
      {"pace on", "OK on"},
      {"fault 26 nope", "ERR unknown fault kind 'nope'"},
      {"fault 26 noreply times=3", "OK"},
      {"faults", "OK 1"},
      {"fault clear 28", "OK"},
      {"faults", "OK 1"},
      {"fault clear 26", "OK"},
      {"faults", "OK 0"},
      {"fault 25 reply 05 69 match=FFFFFFFF skip=10 times=2", "OK"},
      {"fault 25 noreply match=XYZ", "ERR match= needs the leading data bytes"},
      {"fault 25 noreply skip=1 once 05", "ERR unexpected '05' among the options"},
      {"faults", "OK 1"},
      {"fault clear", "OK"},
      {"warnings", "OK 0"},
      {"warnings all", "ERR usage: warnings"},
      {"learn delay x", "ERR delay is 0 to 600000 ms"},
      {"learn delay 50", "OK delay=50 record="},
      {"learn record 0400AABB", "OK delay=50 record=0400AABB"},
      {"send tcp CA", "ERR tcp is not connected"},
      {"send pty", "ERR usage"},
      {"stream 0", "ERR usage"},
      {"stream 10 serial", "ERR usage"},
      {"reset", "OK"},
      {"info", "OK pty=" + sim.pty + " tcp=" + std::to_string(sim.tcp_port) + " ctl=" + sim.ctl_path},
      {"id", "OK 01"},
      {"link", "OK 38400 N"},
      {"link lock", "OK off"},
      {"params", "OK " + kBlock},
      {"pace", "OK off"},
      {"learn", "OK delay=1000 record=1800"},
      {"help", "OK"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    auto r = sim.control(c.line);
    ASSERT_TRUE(r.delivered) << r.error;
    EXPECT_EQ(r.last().rfind(c.reply, 0), 0u) << r.last();
  }
}

TEST_F(SimTest, ControlRunsTheLinesThatCameWithTheEnd) {
  std::string many, many_replies;
  for (int i = 0; i < 2000; ++i) {
    many += "id\n";
    many_replies += "OK 01\n";
  }
  struct Case {
    const char* name;
    std::string sent;
    std::string replies;
  } cases[] = {
      {"two lines", "ping\nid\n", "OK pong\nOK 01\n"},
      {"a last line without its newline", "ping\nid", "OK pong\nOK 01\n"},
      {"nothing", "", ""},
      {"many lines", many, many_replies},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int fd = connect_control(sim.ctl_path);
    ASSERT_GE(fd, 0);
    Peer peer(fd);
    ASSERT_TRUE(peer.send(Bytes(c.sent.begin(), c.sent.end())));
    shutdown(fd, SHUT_WR);
    std::string got;
    auto deadline = SteadyClock::now() + Ms(3000);
    bool eof = false;
    while (!eof && SteadyClock::now() < deadline) {
      Bytes b = peer.read_some(100);
      if (b.empty()) {
        char x;
        eof = recv(fd, &x, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
      }
      got.append(b.begin(), b.end());
    }
    EXPECT_TRUE(eof) << "the connection is closed after the replies";
    EXPECT_EQ(got, c.replies);
  }
}

TEST_F(SimTest, ClientsThatDoNotReadAreDroppedAndMemoryStaysBounded) {
  // A control client that sends commands with large replies and reads none.
  int ctl = connect_control(sim.ctl_path);
  ASSERT_GE(ctl, 0);
  Peer ctl_peer(ctl);
  std::string lines;
  for (int i = 0; i < 400; ++i) lines += "mem read 0 262144\n";  // 512 KiB of reply each
  ASSERT_TRUE(ctl_peer.send(Bytes(lines.begin(), lines.end())));
  auto ctl_sent = SteadyClock::now();
  // Once another client has been served, the lines that arrived have been
  // seen; only a bounded part of their replies may have been built.
  std::this_thread::sleep_for(Ms(100));
  EXPECT_EQ(sim.ctl("ping"), "pong");
  EXPECT_LT(resident_kib(sim.pid), 64 * 1024) << "KiB resident";

  // A TCP client that sends requests and reads no answer: its answers pile up.
  int tcp = connect_tcp_small(sim.tcp_port);
  ASSERT_GE(tcp, 0);
  Peer tcp_peer(tcp);
  Bytes requests;
  for (int i = 0; i < 1000; ++i) {
    Bytes r = hex(chk("CA20FE260500400000FA"));
    requests.insert(requests.end(), r.begin(), r.end());
  }
  bool closed = false;
  auto deadline = SteadyClock::now() + Ms(10000);
  while (!closed && SteadyClock::now() < deadline) {
    ssize_t n = ::send(tcp, requests.data(), requests.size(), MSG_NOSIGNAL);
    closed = n < 0 && errno != EAGAIN;
    if (!closed) std::this_thread::sleep_for(Ms(5));
  }
  EXPECT_TRUE(closed) << "the TCP client is dropped";
  EXPECT_NE(log_text().find("connection closed: more than 1048576 bytes of answers waiting, the client does not read"),
            std::string::npos)
      << log_text();

  // A TCP client that reads nothing of a stream: its output stalls.
  int stalled = connect_tcp_small(sim.tcp_port);
  ASSERT_GE(stalled, 0);
  Peer stalled_peer(stalled);
  sim.ctl("link 4000000");
  sim.ctl("stream 16000000 tcp");
  auto stream_start = SteadyClock::now();
  EXPECT_TRUE(wait_until([&] { return sim.ctl("info").find("tcp_client=no") != std::string::npos; },
                         extsim::kTcpStallMs + 5000));
  EXPECT_GE(ms_since(stream_start), extsim::kTcpStallMs);
  EXPECT_NE(log_text().find("no byte taken for 3000 ms, the client does not read"), std::string::npos) << log_text();

  EXPECT_TRUE(wait_until([&] { return log_text().find("control client dropped") != std::string::npos; },
                         extsim::kControlStallMs + 3000));
  EXPECT_GE(ms_since(ctl_sent), extsim::kControlStallMs);
  EXPECT_EQ(sim.ctl("ping"), "pong") << "other control clients are served";
}

TEST(SimStop, EndsCleanlyWithConnectedClients) {
  struct Case {
    const char* how;
  } cases[] = {{"SIGTERM"}, {"SIGINT"}, {"quit"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    SimProcess sim;
    std::string err;
    ASSERT_TRUE(sim.start({}, &err)) << err;
    std::string e1, e2;
    auto tcp = Peer::connect_tcp(sim.tcp_port, &e1);
    auto pty = Peer::open_serial(sim.pty, {}, &e2);
    ASSERT_TRUE(tcp && pty) << e1 << e2;
    ASSERT_TRUE(tcp->send(hex("CA20FE28")));  // a frame left unfinished
    ASSERT_TRUE(pty->send(hex("CA20")));
    std::string how = c.how;
    if (how == "quit") EXPECT_EQ(sim.ctl("quit"), "bye");
    else kill(sim.pid, how == "SIGTERM" ? SIGTERM : SIGINT);
    // stop() sends SIGTERM too; the process must already be on its way out.
    auto t0 = SteadyClock::now();
    EXPECT_EQ(sim.stop(3000), 0);
    EXPECT_LT(ms_since(t0), 2000);
    EXPECT_FALSE(file_exists(sim.pty)) << "the pty link is removed";
    EXPECT_FALSE(file_exists(sim.ctl_path)) << "the control socket is removed";
    EXPECT_TRUE(tcp->sees_eof(1000));
  }
}

TEST_F(SimTest, ControlToolPrintsTheReply) {
  struct Case {
    std::vector<std::string> args;
    bool env;  // give the socket through SIM_CTL
    int status;
    std::string output;
  } cases[] = {
      {{"-s", sim.ctl_path, "ping"}, false, 0, "OK pong\n"},
      {{"id"}, true, 0, "OK 01\n"},
      {{"-s", sim.ctl_path, "link", "9600", "E"}, false, 0, "OK 9600 E\n"},
      {{"-s", sim.ctl_path, "faults"}, false, 0, "OK 0\n"},
      {{"-s", sim.ctl_path, "bogus"}, false, 1, "ERR unknown command 'bogus' (try help)\n"},
      {{"-s", sim.dir + "/none.sock", "ping"}, false, 2, "extender-simctl: connect "},
      {{}, true, 2, "usage: extender-simctl"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv{EXTENDER_SIMCTL_BIN};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(argv.size() > 1 ? argv.back() : "(no command)");
    std::map<std::string, std::string> env;
    if (c.env) env["SIM_CTL"] = sim.ctl_path;
    auto r = simtest::run_program(argv, 5000, env);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.output.rfind(c.output, 0), 0u) << r.output;
  }
}

// Reads NAME=VALUE lines.
std::map<std::string, std::string> read_env(const std::string& path) {
  std::map<std::string, std::string> m;
  std::ifstream f(path);
  std::string line;
  while (std::getline(f, line)) {
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string v = line.substr(eq + 1);
    if (v.size() >= 2 && v.front() == '\'' && v.back() == '\'') v = v.substr(1, v.size() - 2);
    m[line.substr(0, eq)] = v;
  }
  return m;
}

bool process_gone(pid_t pid) {
  if (kill(pid, 0) != 0) return true;
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string s;
  std::getline(f, s);
  auto p = s.rfind(')');
  return p != std::string::npos && p + 2 < s.size() && s[p + 2] == 'Z';
}

TEST(SimFixture, StartsAndStopsTheSimulator) {
  std::string dir = simtest::make_temp_dir();
  ASSERT_FALSE(dir.empty());
  std::map<std::string, std::string> env{{"EXTENDER_SIM", EXTENDER_SIM_BIN}};
  auto r = simtest::run_program({"bash", EXTENDER_SIM_FIXTURE, "start", dir}, 15000, env);
  ASSERT_EQ(r.status, 0) << r.output;
  auto vars = read_env(dir + "/sim.env");
  for (const char* k : {"SIM_PTY", "SIM_TCP_PORT", "SIM_CTL", "SIM_PID"}) EXPECT_EQ(vars.count(k), 1u) << k;
  pid_t pid = static_cast<pid_t>(std::stol(vars["SIM_PID"]));
  EXPECT_FALSE(process_gone(pid));
  EXPECT_EQ(vars["SIM_PTY"].rfind(dir, 0), 0u);
  EXPECT_EQ(extsim::control_request(vars["SIM_CTL"], "ping", 3000).last(), "OK pong");
  std::string err;
  auto tcp = Peer::connect_tcp(std::stoi(vars["SIM_TCP_PORT"]), &err);
  ASSERT_TRUE(tcp) << err;
  auto pty = Peer::open_serial(vars["SIM_PTY"], {}, &err);
  ASSERT_TRUE(pty) << err;
  ASSERT_TRUE(tcp->send(hex(kGet)));
  EXPECT_EQ(hex(tcp->read_exact(hex(kGetReply).size(), 2000)), kGetReply);
  ASSERT_TRUE(pty->send(hex(kGet)));
  EXPECT_EQ(hex(pty->read_exact(hex(kGetReply).size(), 2000)), kGetReply);

  r = simtest::run_program({"bash", EXTENDER_SIM_FIXTURE, "stop", dir}, 15000);
  EXPECT_EQ(r.status, 0) << r.output;
  auto deadline = SteadyClock::now() + Ms(3000);
  while (!process_gone(pid) && SteadyClock::now() < deadline) std::this_thread::sleep_for(Ms(10));
  EXPECT_TRUE(process_gone(pid));
  EXPECT_FALSE(file_exists(dir + "/sim.env"));
  if (!process_gone(pid)) kill(pid, SIGKILL);
  simtest::remove_tree(dir);
}

TEST(SimDemo, TheReadmeSessionRuns) {
  if (simtest::run_program({"python3", "--version"}, 5000).status != 0) GTEST_SKIP() << "python3 is not available";
  auto r = simtest::run_program({"python3", EXTENDER_SIM_DEMO, "--sim", EXTENDER_SIM_BIN, "--ctl-tool", EXTENDER_SIMCTL_BIN},
                                60000);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("all answers as expected"), std::string::npos) << r.output;
}

}  // namespace

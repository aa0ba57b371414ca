#include "simulator.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "serial_settings.hpp"

namespace extsim {

namespace {

using std::chrono::milliseconds;

std::string errno_text(const std::string& what) { return what + ": " + std::strerror(errno); }

void set_nonblocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

std::vector<std::string> split_words(const std::string& line) {
  std::vector<std::string> w;
  std::istringstream in(line);
  std::string s;
  while (in >> s) w.push_back(s);
  return w;
}

std::string join(const std::vector<std::string>& w, std::size_t from) {
  std::string s;
  for (std::size_t i = from; i < w.size(); ++i) s += w[i];
  return s;
}

bool parse_number(const std::string& s, unsigned long long max, unsigned long long& out) {
  if (s.empty() || s[0] == '-' || s[0] == '+') return false;
  bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(s.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  out = v;
  return true;
}

bool parse_hex_byte(const std::string& s, std::uint8_t& out) {
  auto b = from_hex(s.size() == 1 ? "0" + s : s);
  if (!b || b->size() != 1) return false;
  out = (*b)[0];
  return true;
}

std::string hex2(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02X", v & 0xFF);
  return b;
}

std::string ok(const std::string& text = "") { return text.empty() ? "OK\n" : "OK " + text + "\n"; }
std::string err(const std::string& text) { return "ERR " + text + "\n"; }

const char kHelp[] =
    "- ping | info | help | reset | quit\n"
    "- id [HH] | link [BAUD [N|O|E]] | link lock [on|off] | pace [on|off]\n"
    "- params [HEX x17] | switches [HEX x3]\n"
    "- slot get|clear C S | slot set|cmp C S HEX | slots C\n"
    "- mem read ADDR COUNT | mem write|cmp ADDR HEX | erase\n"
    "- learn [delay MS | record HEX]\n"
    "- fault CMD KIND [ARGS] [once|always|times=N] [skip=K] [match=HEX] | fault clear [CMD|*] | faults\n"
    "-   kinds: noreply, delay MS, split SIZE GAP_MS, badcheck, trailer, badlen DELTA,\n"
    "-          lenbyte DELTA, type HH, dup, stale, unsolicited HEX, drop, reply [HEX], bytes HEX\n"
    "- log [clear] | warnings | txlog [clear]\n"
    "- send [pty|tcp] HEX | stream N [pty|tcp]\n";

}  // namespace

std::optional<in_addr> loopback_address(const std::string& text, std::string* error) {
  in_addr a{};
  if (text == "localhost") {
    a.s_addr = htonl(INADDR_LOOPBACK);
    return a;
  }
  if (inet_pton(AF_INET, text.c_str(), &a) != 1) {
    if (error) *error = "bind address '" + text + "' is not a dotted IPv4 address or localhost";
    return std::nullopt;
  }
  if ((ntohl(a.s_addr) >> 24) != 127) {
    if (error) *error = "refusing to bind to '" + text + "': only loopback addresses (127.x.x.x, localhost) are allowed";
    return std::nullopt;
  }
  return a;
}

Simulator::Simulator(Options options)
    : opt_(std::move(options)), epoch_(Clock::now()), device_(epoch_), pace_(opt_.pace) {
  device_.set_link(opt_.link);
  device_.module_id = opt_.module_id;
  pty_.name = "pty";
  pty_.is_pty = true;
  tcp_.name = "tcp";
}

Simulator::~Simulator() {
  if (tcp_.fd >= 0) close(tcp_.fd);
  if (tcp_listen_ >= 0) close(tcp_listen_);
  if (pty_.fd >= 0) close(pty_.fd);
  if (pty_slave_ >= 0) close(pty_slave_);
  if (pty_link_made_) unlink(opt_.pty_path.c_str());
  for (auto& c : ctl_clients_) close(c.fd);
  if (ctl_listen_ >= 0) close(ctl_listen_);
  if (ctl_made_) unlink(opt_.control_path.c_str());
  if (!opt_.ready_file.empty()) unlink(opt_.ready_file.c_str());
}

std::string Simulator::open() {
  if (opt_.pty_path.empty() && opt_.tcp_port < 0) return "nothing to serve: give --pty and/or --tcp";
  std::string e;
  if (!opt_.pty_path.empty() && !(e = open_pty()).empty()) return e;
  if (opt_.tcp_port >= 0 && !(e = open_tcp()).empty()) return e;
  if (!opt_.control_path.empty() && !(e = open_control()).empty()) return e;
  if (!opt_.ready_file.empty()) write_ready_file();
  return "";
}

// Replaces an old symlink or socket left at a path; refuses anything else.
static std::string clear_path(const std::string& path, mode_t kind) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return "";
  if ((st.st_mode & S_IFMT) != kind) return path + " exists and is not a " + (kind == S_IFLNK ? "symlink" : "socket");
  if (unlink(path.c_str()) != 0) return errno_text("unlink " + path);
  return "";
}

std::string Simulator::open_pty() {
  int m = posix_openpt(O_RDWR | O_NOCTTY);
  if (m < 0) return errno_text("posix_openpt");
  pty_.fd = m;
  fcntl(m, F_SETFD, FD_CLOEXEC);
  set_nonblocking(m);
  if (grantpt(m) != 0 || unlockpt(m) != 0) return errno_text("unlockpt");
  char name[128];
  if (ptsname_r(m, name, sizeof name) != 0) return errno_text("ptsname");
  pty_name_ = name;
  // Holding the slave open keeps the master from seeing a hang-up each time
  // the program closes its port, and keeps the line settings between opens.
  pty_slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (pty_slave_ < 0) return errno_text("open " + pty_name_);
  if (!set_line_settings(pty_slave_, device_.link)) return errno_text("line settings of " + pty_name_);
  std::string e = clear_path(opt_.pty_path, S_IFLNK);
  if (!e.empty()) return e;
  if (symlink(name, opt_.pty_path.c_str()) != 0) return errno_text("symlink " + opt_.pty_path);
  pty_link_made_ = true;
  return "";
}

std::string Simulator::open_tcp() {
  std::string why;
  auto addr = loopback_address(opt_.bind_address, &why);
  if (!addr) return why;
  if (opt_.tcp_port > 65535) return "bad TCP port";
  int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (s < 0) return errno_text("socket");
  tcp_listen_ = s;
  int one = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr = *addr;
  sa.sin_port = htons(static_cast<std::uint16_t>(opt_.tcp_port));
  if (bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
    return errno_text("bind " + opt_.bind_address + ":" + std::to_string(opt_.tcp_port));
  if (listen(s, 4) != 0) return errno_text("listen");
  socklen_t len = sizeof sa;
  getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len);
  tcp_port_ = ntohs(sa.sin_port);
  return "";
}

std::string Simulator::open_control() {
  sockaddr_un sa{};
  sa.sun_family = AF_UNIX;
  if (opt_.control_path.size() >= sizeof sa.sun_path) return "control socket path too long";
  std::string e = clear_path(opt_.control_path, S_IFSOCK);
  if (!e.empty()) return e;
  std::memcpy(sa.sun_path, opt_.control_path.c_str(), opt_.control_path.size() + 1);
  int s = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (s < 0) return errno_text("socket");
  ctl_listen_ = s;
  if (bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) return errno_text("bind " + opt_.control_path);
  ctl_made_ = true;
  if (listen(s, 8) != 0) return errno_text("listen");
  return "";
}

std::string Simulator::ready_line() const {
  std::ostringstream s;
  s << "READY pty=" << (opt_.pty_path.empty() ? "-" : opt_.pty_path)
    << " tcp=" << (tcp_port_ < 0 ? "-" : std::to_string(tcp_port_))
    << " ctl=" << (opt_.control_path.empty() ? "-" : opt_.control_path) << " pid=" << getpid();
  return s.str();
}

void Simulator::write_ready_file() {
  std::string tmp = opt_.ready_file + ".tmp";
  {
    std::ofstream f(tmp);
    f << ready_line() << "\n";
  }
  std::rename(tmp.c_str(), opt_.ready_file.c_str());
}

void Simulator::log(TimePoint now, const std::string& link, const char* status, const Bytes& raw, std::string note) {
  if (log_.size() >= kLogCapacity) log_.pop_front();
  log_.push_back({ms_between(epoch_, now), link, status, raw.empty() ? "-" : to_hex(raw), std::move(note)});
}

std::chrono::nanoseconds Simulator::byte_time() const {
  long long bits = device_.link.parity == 'N' ? 10 : 11;
  return std::chrono::nanoseconds(bits * 1000000000LL / std::max(1u, device_.link.baud));
}

bool Simulator::pty_line_matches(std::string* peer) const {
  auto s = read_line_settings(pty_.fd);
  if (peer) *peer = s ? describe(*s) : "unknown";
  return s && *s == device_.link;
}

void Simulator::switch_link(const LinkSettings& s, TimePoint now) {
  device_.set_link(s);
  log(now, "dev", "info", {}, "host port switched to " + describe(s) + " by a set-parameters request");
}

void Simulator::discard_output(Link& l, TimePoint now) {
  for (const auto& c : l.out)
    if (c.switch_link) switch_link(*c.switch_link, now);
  l.out.clear();
  l.answer_bytes = 0;
  l.blocked = false;
}

void Simulator::close_tcp_client(const std::string& why) {
  if (tcp_.fd < 0) return;
  close(tcp_.fd);
  tcp_.fd = -1;
  TimePoint now = Clock::now();
  discard_output(tcp_, now);
  std::vector<RequestParser::Event> ev;
  tcp_.parser.flush(ev);
  for (auto& e : ev) log(now, tcp_.name, "bad", e.raw, e.reason + " (connection closed)");
  log(now, tcp_.name, "info", {}, "connection closed: " + why);
}

void Simulator::on_readable(Link& l, TimePoint now) {
  std::uint8_t buf[4096];
  // At most 64 KiB per wake-up, so that a client that never stops sending
  // cannot hold up everything else.
  for (int reads = 0; reads < 16; ++reads) {
    ssize_t n = read(l.fd, buf, sizeof buf);
    if (n > 0) {
      on_bytes(l, buf, static_cast<std::size_t>(n), now);
      if (l.fd < 0) return;
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (l.is_pty) {
      // No slave open (EIO) cannot last while the simulator holds its own,
      // but should it happen, pause reading instead of spinning.
      l.retry_at = now + milliseconds(100);
      return;
    }
    close_tcp_client(n == 0 ? "by the client" : std::strerror(errno));
    return;
  }
}

void Simulator::on_bytes(Link& l, const std::uint8_t* p, std::size_t n, TimePoint now) {
  if (l.is_pty) {
    std::string peer;
    if (!pty_line_matches(&peer)) {
      log(now, l.name, "bad", Bytes(p, p + std::min<std::size_t>(n, 64)),
          "garbled: the line is set to " + peer + ", the device runs at " + describe(device_.link));
      l.parser.reset();
      return;
    }
  }
  l.last_rx = now;
  // With pacing, what the host sends crosses the wire too: each byte arrives
  // one byte time after the one before it (and not before it was written),
  // and a request counts as received only once its last byte has arrived.
  const auto bt = byte_time();
  if (pace_) l.rx_wire = std::max(l.rx_wire, now);
  std::vector<RequestParser::Event> events;
  std::vector<TimePoint> arrived;
  for (std::size_t i = 0; i < n; ++i) {
    if (pace_) l.rx_wire += bt;
    l.parser.feed(p[i], events);
    arrived.resize(events.size(), pace_ ? l.rx_wire : now);
  }
  for (std::size_t i = 0; i < events.size(); ++i) {
    on_event(l, events[i], now, arrived[i]);
    if (l.fd < 0) return;
  }
}

void Simulator::on_event(Link& l, RequestParser::Event& e, TimePoint now, TimePoint arrived) {
  if (!e.good) {
    log(now, l.name, "bad", e.raw, e.reason);
    return;
  }
  Device::Outcome out = device_.handle(e.request, now, l.name);
  if (!out.reply) {
    log(now, l.name, "ignored", e.raw, out.note);
    return;
  }
  ReplyPlan plan = faults_.plan(e.request.command, e.request.data, *out.reply, last_reply_);
  last_reply_ = encode_reply(*out.reply);
  std::string note = out.note;
  if (!plan.applied.empty()) {
    note += " [fault";
    for (const auto& a : plan.applied) note += ": " + a;
    note += "]";
  }
  if (!out.warning.empty()) note += " [warn: " + out.warning + "]";
  log(now, l.name, out.warning.empty() ? "ok" : "warn", e.raw, note);
  queue_plan(l, plan, out.new_link, now, arrived);
}

Simulator::Pacing Simulator::answer_pacing(const Link& l) const {
  if (!pace_) return Pacing::Off;
  return l.is_pty ? Pacing::Trickle : Pacing::Whole;
}

void Simulator::queue_plan(Link& l, const ReplyPlan& p, std::optional<LinkSettings> new_link, TimePoint now,
                           TimePoint arrived) {
  std::size_t waiting = l.answer_bytes;
  if (waiting + p.bytes.size() > kAnswerBacklogMax) {
    std::string why = "more than " + std::to_string(kAnswerBacklogMax) + " bytes of answers waiting, the client does not read";
    if (l.is_pty) {
      log(now, l.name, "info", {}, std::to_string(waiting) + " byte(s) of output discarded: " + why);
      discard_output(l, now);
    } else {
      close_tcp_client(why);
      if (new_link) switch_link(*new_link, now);
      return;
    }
  }
  TimePoint start = std::max(now, arrived) + milliseconds(p.delay_ms);
  if (p.send && !p.bytes.empty()) {
    std::size_t piece = p.piece ? p.piece : p.bytes.size();
    for (std::size_t at = 0; at < p.bytes.size(); at += piece) {
      Chunk c;
      c.bytes.assign(p.bytes.begin() + static_cast<long>(at),
                     p.bytes.begin() + static_cast<long>(std::min(p.bytes.size(), at + piece)));
      c.pacing = answer_pacing(l);
      c.answer = true;
      l.answer_bytes += c.bytes.size();
      if (at == 0)
        c.not_before = start;
      else
        c.gap_ms = p.gap_ms;
      l.out.push_back(std::move(c));
    }
  }
  if (new_link) {
    // The device switches its host port once the answer has left it (or at
    // once, after the delay, when there is nothing to send).
    Chunk c;
    c.not_before = start;
    c.switch_link = new_link;
    l.out.push_back(std::move(c));
  }
  if (p.drop) {
    if (!l.is_pty) {
      Chunk c;
      c.not_before = start;
      c.close_after = true;
      l.out.push_back(std::move(c));
    } else {
      log(now, l.name, "info", {}, "drop fault: a serial line cannot be dropped, the answer is left out");
    }
  }
}

void Simulator::queue(Link& l, Bytes bytes, Pacing pacing, TimePoint now) {
  Chunk c;
  c.bytes = std::move(bytes);
  c.pacing = pacing;
  c.not_before = now;
  l.out.push_back(std::move(c));
}

std::optional<TimePoint> Simulator::pump(Link& l, TimePoint now) {
  if (l.fd < 0) {
    if (!l.out.empty()) discard_output(l, now);
    return std::nullopt;
  }
  while (!l.out.empty()) {
    Chunk& c = l.out.front();
    const auto bt = byte_time();
    if (!c.armed) {
      c.ready = std::max(c.not_before, l.prev_done + milliseconds(c.gap_ms));
      if (c.pacing == Pacing::Trickle) l.wire = std::max(l.wire, c.ready);
      if (c.pacing == Pacing::Whole) {
        // Its bytes cross the wire one after the other, behind any before it.
        c.ready = std::max(c.ready, l.wire) + bt * static_cast<long>(c.bytes.size());
        l.wire = c.ready;
      }
      c.armed = true;
    }
    if (now < c.ready) return c.ready;
    std::size_t want = c.bytes.size() - c.pos;
    if (c.pacing == Pacing::Trickle && want > 0) {
      // A byte is handed over once its time on the wire has passed. On TCP
      // (a stream) the bytes go in batches of about 2 ms of wire time.
      auto due = now > l.wire ? static_cast<std::size_t>((now - l.wire) / bt) : 0;
      std::size_t batch = l.is_pty ? 1 : std::max<std::size_t>(1, static_cast<std::size_t>(milliseconds(2) / bt));
      batch = std::min(batch, want);
      if (due < batch) return l.wire + bt * static_cast<long>(batch);
      want = std::min(want, due);
    }
    std::size_t done = 0;
    if (want > 0) {
      ssize_t n;
      if (l.is_pty && !pty_line_matches()) {
        n = static_cast<ssize_t>(want);  // lost on a line with other settings
      } else if (l.is_pty) {
        n = write(l.fd, c.bytes.data() + c.pos, want);
      } else {
        n = send(l.fd, c.bytes.data() + c.pos, want, MSG_NOSIGNAL);
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) {
        if (!l.is_pty) {
          close_tcp_client(std::strerror(errno));
          return std::nullopt;
        }
        n = 0;
      }
      done = n > 0 ? static_cast<std::size_t>(n) : 0;
      c.pos += done;
      if (c.answer) l.answer_bytes -= done;
      if (c.pacing == Pacing::Trickle) l.wire += bt * static_cast<long>(done);
    }
    if (done < want) {
      // Stalled: the time counts from the last byte the descriptor took.
      if (!l.blocked || done > 0) l.blocked_since = now;
      l.blocked = true;
      if (c.pacing == Pacing::Trickle) l.wire = now;
      int limit = l.is_pty ? kPtyStallMs : kTcpStallMs;
      if (now - l.blocked_since >= milliseconds(limit)) {
        std::string why = "no byte taken for " + std::to_string(limit) + " ms";
        if (!l.is_pty) {
          close_tcp_client(why + ", the client does not read");
          return std::nullopt;
        }
        std::size_t lost = 0;
        for (const auto& q : l.out) lost += q.bytes.size() - q.pos;
        log(now, l.name, "info", {},
            std::to_string(lost) + " byte(s) of output lost: the serial port was not read (" + why + ")");
        discard_output(l, now);
        return std::nullopt;
      }
      return now + milliseconds(50);  // also woken by POLLOUT
    }
    l.blocked = false;
    if (c.pos < c.bytes.size()) return l.wire + bt;  // trickled, more to come
    l.prev_done = c.pacing == Pacing::Trickle ? l.wire : now;
    bool close_after = c.close_after;
    auto next_link = c.switch_link;
    l.out.pop_front();
    if (next_link) switch_link(*next_link, now);
    if (close_after) {
      close_tcp_client("dropped by a fault");
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void Simulator::accept_control() {
  for (;;) {
    int fd = accept4(ctl_listen_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    ControlClient c;
    c.fd = fd;
    ctl_clients_.push_back(std::move(c));
  }
}

void Simulator::close_control(ControlClient& c, TimePoint now, const std::string& why) {
  if (c.fd < 0) return;
  close(c.fd);
  c.fd = -1;
  if (!why.empty()) log(now, "ctl", "info", {}, "control client dropped: " + why);
}

void Simulator::on_control_readable(ControlClient& c) {
  char buf[65536];
  // Reading stops at a bound; the rest waits in the socket until the lines
  // already read have run.
  while (!c.eof && c.in.size() <= kControlLineMax) {
    ssize_t n = read(c.fd, buf, sizeof buf);
    if (n > 0) {
      c.in.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0) {
      c.eof = true;  // the lines that came with it still run and get their replies
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EAGAIN) {
      break;
    } else {
      close_control(c, Clock::now(), "");
      return;
    }
  }
}

void Simulator::run_control_lines(ControlClient& c, TimePoint now) {
  while (c.fd >= 0 && c.out.size() < kControlOutputHigh) {
    std::size_t nl = c.in.find('\n');
    std::string line;
    if (nl != std::string::npos) {
      line = c.in.substr(0, nl);
      c.in.erase(0, nl + 1);
      if (c.skipping) {  // the end of an over-long line
        c.skipping = false;
        continue;
      }
    } else if (c.in.size() > kControlLineMax) {
      if (!c.skipping) c.out += err("line too long");
      c.skipping = true;
      c.in.clear();
      continue;
    } else if (c.eof && !c.in.empty() && !c.skipping) {
      line.swap(c.in);  // a last line without its newline
    } else {
      if (c.eof) c.in.clear();
      break;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (c.out.empty()) c.waiting_since = now;
    c.out += control(line);
  }
}

void Simulator::flush_control(ControlClient& c, TimePoint now) {
  while (c.fd >= 0 && !c.out.empty()) {
    ssize_t n = send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
    if (n > 0) {
      c.out.erase(0, static_cast<std::size_t>(n));
      c.waiting_since = now;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      close_control(c, now, "");
      return;
    }
    break;
  }
  if (c.fd < 0) return;
  if (!c.out.empty() && now - c.waiting_since >= milliseconds(kControlStallMs)) {
    close_control(c, now,
                  std::to_string(c.out.size()) + " byte(s) of replies unread for " + std::to_string(kControlStallMs) +
                      " ms");
    return;
  }
  // A client that has ended its side is closed once everything has run and
  // every reply has gone out.
  if (c.eof && c.in.empty() && c.out.empty()) close_control(c, now, "");
}

void Simulator::run(const volatile sig_atomic_t* stop, const sigset_t* wait_mask) {
  while (!*stop && !quit_) {
    TimePoint now = Clock::now();
    TimePoint wake = now + std::chrono::seconds(1);
    auto earliest = [&](std::optional<TimePoint> t) {
      if (t && *t < wake) wake = *t;
    };

    device_.tick(now);
    earliest(device_.next_deadline());
    for (Link* l : {&pty_, &tcp_}) {
      if (l->fd >= 0 && l->parser.pending()) {
        TimePoint due = l->last_rx + milliseconds(kFrameTimeoutMs);
        if (due <= now) {
          std::vector<RequestParser::Event> ev;
          l->parser.flush(ev);
          for (auto& e : ev) log(now, l->name, "bad", e.raw, e.reason);
        } else {
          earliest(due);
        }
      }
      earliest(pump(*l, now));
    }

    std::vector<pollfd> fds;
    enum Role { PtyRole, ListenRole, TcpRole, CtlListenRole, CtlRole };
    std::vector<std::pair<Role, std::size_t>> roles;
    auto add = [&](int fd, short ev, Role r, std::size_t i = 0) {
      fds.push_back({fd, ev, 0});
      roles.push_back({r, i});
    };
    if (pty_.fd >= 0) {
      short ev = 0;
      if (now >= pty_.retry_at) ev |= POLLIN;
      else earliest(pty_.retry_at);
      if (pty_.blocked) ev |= POLLOUT;
      if (ev) add(pty_.fd, ev, PtyRole);
    }
    if (tcp_listen_ >= 0) add(tcp_listen_, POLLIN, ListenRole);
    if (tcp_.fd >= 0) add(tcp_.fd, static_cast<short>(POLLIN | (tcp_.blocked ? POLLOUT : 0)), TcpRole);
    if (ctl_listen_ >= 0) add(ctl_listen_, POLLIN, CtlListenRole);
    for (std::size_t i = 0; i < ctl_clients_.size(); ++i) {
      const ControlClient& c = ctl_clients_[i];
      short ev = 0;
      if (!c.eof && c.out.size() < kControlOutputHigh) ev |= POLLIN;
      if (!c.out.empty()) {
        ev |= POLLOUT;
        earliest(c.waiting_since + milliseconds(kControlStallMs));
      }
      add(c.fd, ev, CtlRole, i);
    }

    auto wait = std::max(std::chrono::nanoseconds(0), wake - Clock::now());
    timespec ts{static_cast<time_t>(wait.count() / 1000000000), static_cast<long>(wait.count() % 1000000000)};
    // A time-out or a signal leaves every revents zero (signals are checked
    // at the top).
    if (ppoll(fds.data(), fds.size(), &ts, wait_mask) < 0)
      for (auto& p : fds) p.revents = 0;

    now = Clock::now();
    for (std::size_t i = 0; i < fds.size(); ++i) {
      short re = fds[i].revents;
      if (!re) continue;
      switch (roles[i].first) {
        case PtyRole:
          if (re & (POLLIN | POLLHUP | POLLERR)) on_readable(pty_, now);
          break;
        case ListenRole: {
          int fd = accept4(tcp_listen_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
          if (fd >= 0) {
            // A serial-device server serves one client; a new one takes over.
            if (tcp_.fd >= 0) close_tcp_client("replaced by a new connection");
            int one = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            // Small buffers, as in a device server: output that the client
            // does not read soon stalls (and the client is dropped).
            int sndbuf = kTcpSendBuffer;
            setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof sndbuf);
            tcp_.fd = fd;
            tcp_.parser.reset();
            discard_output(tcp_, now);
            ++tcp_accepts_;
            log(now, tcp_.name, "info", {}, "connection accepted");
          }
          break;
        }
        case TcpRole:
          if (tcp_.fd >= 0 && (re & (POLLIN | POLLHUP | POLLERR))) on_readable(tcp_, now);
          break;
        case CtlListenRole:
          accept_control();
          break;
        case CtlRole: {
          ControlClient& c = ctl_clients_[roles[i].second];
          if ((re & (POLLIN | POLLHUP | POLLERR)) && !c.eof) on_control_readable(c);
          break;
        }
      }
    }
    // Control commands run as their lines arrive and as their clients take
    // the replies; a client that leaves its replies unread is dropped.
    for (auto& c : ctl_clients_) {
      flush_control(c, now);
      run_control_lines(c, now);
      flush_control(c, now);
    }
    std::erase_if(ctl_clients_, [](const ControlClient& c) { return c.fd < 0; });
  }
  // Let the answer to "quit" reach its client (bounded).
  TimePoint limit = Clock::now() + milliseconds(500);
  for (auto& c : ctl_clients_) {
    while (!c.out.empty() && Clock::now() < limit) {
      pollfd p{c.fd, POLLOUT, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      ssize_t n = send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
      if (n <= 0) break;
      c.out.erase(0, static_cast<std::size_t>(n));
    }
  }
}

std::string Simulator::control(const std::string& line) {
  auto w = split_words(line);
  if (w.empty()) return err("empty command");
  const std::string& cmd = w[0];
  TimePoint now = Clock::now();
  unsigned long long a = 0, b = 0;

  auto channel_slot = [&](std::size_t at, int& ch, int& slot) {
    if (w.size() <= at + 1 || !parse_number(w[at], kChannels - 1, a) || !parse_number(w[at + 1], kSlotsPerChannel - 1, b))
      return false;
    ch = static_cast<int>(a);
    slot = static_cast<int>(b);
    return true;
  };
  auto compare = [](const Bytes& have, const Bytes& want) -> std::string {
    if (have.size() != want.size())
      return err("length " + std::to_string(have.size()) + ", expected " + std::to_string(want.size()));
    for (std::size_t i = 0; i < have.size(); ++i)
      if (have[i] != want[i])
        return err("first difference at byte " + std::to_string(i) + ": " + hex2(have[i]) + ", expected " + hex2(want[i]));
    return ok("same");
  };

  if (cmd == "ping") return ok("pong");
  if (cmd == "help") return kHelp + ok();
  if (cmd == "quit") {
    quit_ = true;
    return ok("bye");
  }
  if (cmd == "info") {
    std::string peer = "-";
    if (pty_.fd >= 0) pty_line_matches(&peer);
    for (auto& ch : peer)
      if (ch == ' ') ch = '/';
    return ok(ready_line().substr(6) + " id=" + hex2(device_.module_id) + " link=" + std::to_string(device_.link.baud) +
              "/" + device_.link.parity + " lock=" + (device_.link_locked ? "on" : "off") + " pace=" + (pace_ ? "on" : "off") + " peer=" + peer +
              " tcp_client=" + (tcp_.fd >= 0 ? "yes" : "no") + " tcp_accepts=" + std::to_string(tcp_accepts_));
  }
  if (cmd == "reset") {
    device_.reset();
    device_.set_link(opt_.link);
    device_.module_id = opt_.module_id;
    pace_ = opt_.pace;
    faults_.clear();
    log_.clear();
    last_reply_.clear();
    for (Link* l : {&pty_, &tcp_}) {
      l->out.clear();  // pending link switches are void too
      l->answer_bytes = 0;
      l->parser.reset();
      l->blocked = false;
      l->rx_wire = {};
    }
    return ok();
  }
  if (cmd == "id") {
    if (w.size() == 1) return ok(hex2(device_.module_id));
    std::uint8_t id;
    if (w.size() != 2 || !parse_hex_byte(w[1], id)) return err("usage: id [HH]");
    device_.module_id = id;
    return ok(hex2(id));
  }
  if (cmd == "link" && w.size() > 1 && w[1] == "lock") {
    if (w.size() == 3 && (w[2] == "on" || w[2] == "off")) device_.link_locked = w[2] == "on";
    else if (w.size() != 2) return err("usage: link lock [on|off]");
    return ok(device_.link_locked ? "on" : "off");
  }
  if (cmd == "link") {
    if (w.size() > 1) {
      LinkSettings s = device_.link;
      if (w.size() > 3 || !parse_number(w[1], 4000000, a) || a < 50) return err("usage: link [BAUD [N|O|E]]");
      s.baud = static_cast<unsigned>(a);
      if (w.size() == 3) {
        if (w[2] != "N" && w[2] != "O" && w[2] != "E") return err("parity is N, O or E");
        s.parity = w[2][0];
      }
      device_.set_link(s);
    }
    return ok(std::to_string(device_.link.baud) + " " + device_.link.parity);
  }
  if (cmd == "pace") {
    if (w.size() == 2 && (w[1] == "on" || w[1] == "off")) pace_ = w[1] == "on";
    else if (w.size() != 1) return err("usage: pace [on|off]");
    return ok(pace_ ? "on" : "off");
  }
  if (cmd == "params" || cmd == "switches") {
    bool all = cmd == "params";
    std::size_t from = all ? 0 : 14, count = all ? kParamBlockSize : 3;
    if (w.size() > 1) {
      auto v = from_hex(join(w, 1));
      if (!v || v->size() != count) return err(cmd + " takes " + std::to_string(count) + " bytes in hexadecimal");
      std::copy(v->begin(), v->end(), device_.params.begin() + static_cast<long>(from));
    }
    return ok(to_hex(device_.params.data() + from, count));
  }
  if (cmd == "slot") {
    int ch, slot;
    if (w.size() < 4 || !channel_slot(2, ch, slot)) return err("usage: slot get|set|clear|cmp CHANNEL(0-7) SLOT(0-99) [HEX]");
    const std::string& sub = w[1];
    if (sub == "get" && w.size() == 4) {
      Bytes r = device_.slot_record(ch, slot);
      return ok(r.empty() ? "empty" : to_hex(r));
    }
    if (sub == "clear" && w.size() == 4) {
      device_.clear_slot(ch, slot);
      return ok();
    }
    if ((sub == "set" || sub == "cmp") && w.size() > 4) {
      auto v = from_hex(join(w, 4));
      if (!v || v->empty() || v->size() > kBlockSize) return err("the record is 1 to 2048 bytes in hexadecimal");
      if (sub == "cmp") return compare(device_.slot_record(ch, slot), *v);
      device_.store_slot(ch, slot, *v);
      return ok();
    }
    return err("usage: slot get|set|clear|cmp CHANNEL SLOT [HEX]");
  }
  if (cmd == "slots") {
    if (w.size() != 2 || !parse_number(w[1], kChannels - 1, a)) return err("usage: slots CHANNEL(0-7)");
    std::string s;
    for (int x : device_.stored_slots(static_cast<int>(a))) s += (s.empty() ? "" : " ") + std::to_string(x);
    return ok(s);
  }
  if (cmd == "mem") {
    if (w.size() < 4 || !parse_number(w[2], kMemorySize, a)) return err("usage: mem read ADDR COUNT | mem write|cmp ADDR HEX");
    if (w[1] == "read" && w.size() == 4) {
      if (!parse_number(w[3], kMemorySize - a, b)) return err("the range is outside memory");
      return ok(to_hex(device_.memory.data() + a, b));
    }
    if (w[1] == "write" || w[1] == "cmp") {
      auto v = from_hex(join(w, 3));
      if (!v) return err("bad hexadecimal data");
      if (v->size() > kMemorySize - a) return err("the range is outside memory");
      if (w[1] == "cmp") return compare(Bytes(device_.memory.begin() + static_cast<long>(a),
                                              device_.memory.begin() + static_cast<long>(a + v->size())),
                                        *v);
      std::copy(v->begin(), v->end(), device_.memory.begin() + static_cast<long>(a));
      return ok();
    }
    return err("usage: mem read ADDR COUNT | mem write|cmp ADDR HEX");
  }
  if (cmd == "erase") {
    std::fill(device_.memory.begin(), device_.memory.end(), 0xFF);
    return ok();
  }
  if (cmd == "learn") {
    if (w.size() == 3 && w[1] == "delay") {
      if (!parse_number(w[2], 600000, a)) return err("delay is 0 to 600000 ms");
      device_.learn_delay_ms = static_cast<int>(a);
    } else if (w.size() >= 3 && w[1] == "record") {
      auto v = from_hex(join(w, 2));
      if (!v || v->empty() || v->size() > kBlockSize) return err("the record is 1 to 2048 bytes in hexadecimal");
      device_.learn_record = *v;
    } else if (w.size() != 1) {
      return err("usage: learn [delay MS | record HEX]");
    }
    return ok("delay=" + std::to_string(device_.learn_delay_ms) + " record=" + to_hex(device_.learn_record));
  }
  if (cmd == "fault") {
    if (w.size() >= 2 && w[1] == "clear") {
      if (w.size() == 2) {
        faults_.clear();
      } else {
        std::uint8_t c;
        if (w[2] == "*") faults_.clear(-1);
        else if (w.size() == 3 && parse_hex_byte(w[2], c)) faults_.clear(c);
        else return err("usage: fault clear [CMD|*]");
      }
      return ok();
    }
    std::string e = faults_.add(std::vector<std::string>(w.begin() + 1, w.end()));
    return e.empty() ? ok() : err(e);
  }
  if (cmd == "faults") {
    std::string s;
    for (const auto& f : faults_.list()) s += "- " + f + "\n";
    return s + ok(std::to_string(faults_.list().size()));
  }
  if (cmd == "warnings") {
    if (w.size() != 1) return err("usage: warnings");
    std::string s;
    std::size_t n = 0;
    char t[32];
    for (const auto& e : log_) {
      if (e.status != "warn") continue;
      std::snprintf(t, sizeof t, "%.3f", e.t_ms);
      s += std::string("- ") + t + " " + e.link + " " + e.status + " " + e.hex + " " + e.note + "\n";
      ++n;
    }
    return s + ok(std::to_string(n));
  }
  if (cmd == "log" || cmd == "txlog") {
    bool tx = cmd == "txlog";
    if (w.size() == 2 && w[1] == "clear") {
      if (tx) device_.tx_log.clear();
      else log_.clear();
      return ok();
    }
    if (w.size() != 1) return err("usage: " + cmd + " [clear]");
    std::string s;
    char t[32];
    if (tx) {
      for (const auto& e : device_.tx_log) {
        std::snprintf(t, sizeof t, "%.3f", e.t_ms);
        s += std::string("- ") + t + " " + e.link + " " + e.text + "\n";
      }
      return s + ok(std::to_string(device_.tx_log.size()));
    }
    for (const auto& e : log_) {
      std::snprintf(t, sizeof t, "%.3f", e.t_ms);
      s += std::string("- ") + t + " " + e.link + " " + e.status + " " + e.hex + " " + e.note + "\n";
    }
    return s + ok(std::to_string(log_.size()));
  }
  if (cmd == "send" || cmd == "stream") {
    std::size_t at = 1;
    Link* target = nullptr;
    Bytes data;
    bool all = false;
    if (cmd == "send") {
      if (w.size() > 1 && (w[1] == "pty" || w[1] == "tcp")) target = w[at++] == "pty" ? &pty_ : &tcp_;
      else all = true;
      auto v = from_hex(join(w, at));
      if (!v || v->empty()) return err("usage: send [pty|tcp] HEX");
      data = *v;
    } else {
      if (w.size() < 2 || w.size() > 3 || !parse_number(w[1], 64u << 20, a) || a == 0)
        return err("usage: stream BYTES(1-67108864) [pty|tcp]");
      if (w.size() == 3 && w[2] != "pty" && w[2] != "tcp") return err("usage: stream BYTES [pty|tcp]");
      target = w.size() == 3 ? (w[2] == "pty" ? &pty_ : &tcp_) : (pty_.fd >= 0 ? &pty_ : &tcp_);
      data.resize(a);
      for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    }
    std::vector<Link*> targets;
    if (all) {
      for (Link* l : {&pty_, &tcp_})
        if (l->fd >= 0) targets.push_back(l);
    } else if (target->fd >= 0) {
      targets.push_back(target);
    }
    if (targets.empty()) return err(all ? "no transport is connected" : target->name + " is not connected");
    for (Link* l : targets) queue(*l, data, cmd == "stream" ? Pacing::Trickle : answer_pacing(*l), now);
    if (cmd == "stream") {
      auto ms = std::chrono::duration_cast<milliseconds>(byte_time() * static_cast<long>(data.size())).count();
      return ok(std::to_string(data.size()) + " bytes to " + targets[0]->name + " in about " + std::to_string(ms) + " ms");
    }
    return ok(std::to_string(data.size()) + " bytes");
  }
  return err("unknown command '" + cmd + "' (try help)");
}

}  // namespace extsim

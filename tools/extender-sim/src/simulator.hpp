// The simulated extender behind its transports: a pseudo-terminal whose slave
// a program opens as its serial port, a TCP server on the loopback interface
// that behaves like a serial-device server, and a control socket for tests.
// Everything runs on one thread around ppoll().
#pragma once

#include <netinet/in.h>
#include <signal.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device.hpp"
#include "faults.hpp"

namespace extsim {

struct Options {
  std::string pty_path;       // symlink to the slave; empty: no pseudo-terminal
  int tcp_port = -1;          // -1: no TCP server; 0: any free port
  std::string bind_address = "127.0.0.1";
  std::string control_path;   // empty: no control socket
  std::string ready_file;     // empty: the ready line goes to stdout only
  LinkSettings link;
  std::uint8_t module_id = Device::kDefaultId;
  bool pace = false;
};

// The IPv4 address for a bind address text: "localhost" or a dotted address
// in 127.0.0.0/8. Anything else is refused with a message.
std::optional<in_addr> loopback_address(const std::string& text, std::string* error);

// Time without a byte after which a partial request frame is dropped.
inline constexpr int kFrameTimeoutMs = 200;
// Time a full pseudo-terminal may hold up the device's output before the
// waiting bytes are discarded, as a serial line would lose them.
inline constexpr int kPtyStallMs = 1000;
// Time a TCP client may leave the device's output unread (no byte accepted)
// before the connection is closed.
inline constexpr int kTcpStallMs = 3000;
// The send buffer of a TCP client's socket (fixed, not grown by the kernel).
inline constexpr int kTcpSendBuffer = 64 * 1024;
// Answers waiting for a transport beyond this many bytes mean that the client
// does not read: a TCP client is dropped, a pty's waiting output discarded.
inline constexpr std::size_t kAnswerBacklogMax = 1u << 20;
// A control client's commands are run only while less than this much of its
// replies waits to be sent; meanwhile its further input is not read.
inline constexpr std::size_t kControlOutputHigh = 1u << 20;
// A control line longer than this is refused.
inline constexpr std::size_t kControlLineMax = 8u << 20;
// Time a control client may leave its replies unread before it is dropped.
inline constexpr int kControlStallMs = 5000;

class Simulator {
 public:
  explicit Simulator(Options options);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Opens the transports and the control socket; returns an error text or an
  // empty string. Writes the ready file when one is set.
  std::string open();
  // READY pty=PATH tcp=PORT ctl=PATH pid=PID ('-' for an absent part).
  std::string ready_line() const;
  // Serves until *stop becomes non-zero or a control "quit" arrives. While
  // waiting, the signal mask is wait_mask.
  void run(const volatile sig_atomic_t* stop, const sigset_t* wait_mask);

 private:
  // How a chunk's bytes meet the link's speed. Trickle: each byte is handed
  // over once its time on the wire has passed (a serial line). Whole: the
  // chunk is handed over in one piece once all its bytes would have crossed
  // the wire (a serial-device server that gathers the device's bytes).
  enum class Pacing { Off, Trickle, Whole };
  struct Chunk {
    Bytes bytes;
    std::size_t pos = 0;
    TimePoint not_before{};
    int gap_ms = 0;      // after the previous chunk has gone out
    Pacing pacing = Pacing::Off;
    bool answer = false;  // part of an answer (counts towards the backlog)
    bool close_after = false;
    std::optional<LinkSettings> switch_link;  // applied once the chunk is out
    bool armed = false;
    TimePoint ready{};
  };
  struct Link {
    std::string name;
    int fd = -1;
    bool is_pty = false;
    RequestParser parser;
    TimePoint last_rx{};
    std::deque<Chunk> out;
    std::size_t answer_bytes = 0;  // bytes of answers in out, not yet sent
    TimePoint wire{};          // when the last paced byte left the line
    TimePoint rx_wire{};       // paced: when the last received byte had fully arrived
    TimePoint prev_done{};     // when the last chunk was finished
    bool blocked = false;      // waiting for the descriptor to take bytes
    TimePoint blocked_since{};
    TimePoint retry_at{};      // pty: reads paused after a hang-up or error
  };
  struct ControlClient {
    int fd = -1;
    std::string in;
    std::string out;
    bool eof = false;       // the client has ended its side; run what came, reply, close
    bool skipping = false;  // discarding the rest of an over-long line
    TimePoint waiting_since{};  // replies wait unsent since then (reset on progress)
  };
  struct LogEntry {
    double t_ms;
    std::string link;
    std::string status;
    std::string hex;
    std::string note;
  };

  std::string open_pty();
  std::string open_tcp();
  std::string open_control();
  void close_tcp_client(const std::string& why);
  // Empties the link's output queue; link switches waiting in it still apply.
  void discard_output(Link& l, TimePoint now);
  void switch_link(const LinkSettings& s, TimePoint now);

  void on_readable(Link& l, TimePoint now);
  void on_bytes(Link& l, const std::uint8_t* p, std::size_t n, TimePoint now);
  // arrived: when the request's last byte would have crossed the wire (now
  // without pacing); its answer starts no earlier.
  void on_event(Link& l, RequestParser::Event& e, TimePoint now, TimePoint arrived);
  void queue_plan(Link& l, const ReplyPlan& p, std::optional<LinkSettings> new_link, TimePoint now,
                  TimePoint arrived);
  void queue(Link& l, Bytes bytes, Pacing pacing, TimePoint now);
  Pacing answer_pacing(const Link& l) const;
  // Sends what is due; returns when it next has something to do.
  std::optional<TimePoint> pump(Link& l, TimePoint now);
  std::chrono::nanoseconds byte_time() const;
  bool pty_line_matches(std::string* peer = nullptr) const;

  void accept_control();
  void on_control_readable(ControlClient& c);
  // Runs the complete lines that have arrived, as far as the output allows.
  void run_control_lines(ControlClient& c, TimePoint now);
  // Sends what the socket takes; drops a client whose replies stay unread.
  void flush_control(ControlClient& c, TimePoint now);
  void close_control(ControlClient& c, TimePoint now, const std::string& why);
  std::string control(const std::string& line);
  void log(TimePoint now, const std::string& link, const char* status, const Bytes& raw, std::string note);
  void write_ready_file();

  Options opt_;
  TimePoint epoch_;
  Device device_;
  FaultTable faults_;
  bool pace_;
  Bytes last_reply_;
  std::deque<LogEntry> log_;

  Link pty_;
  int pty_slave_ = -1;
  std::string pty_name_;
  bool pty_link_made_ = false;

  Link tcp_;
  int tcp_listen_ = -1;
  int tcp_port_ = -1;
  unsigned tcp_accepts_ = 0;

  int ctl_listen_ = -1;
  bool ctl_made_ = false;
  std::vector<ControlClient> ctl_clients_;
  bool quit_ = false;
};

}  // namespace extsim

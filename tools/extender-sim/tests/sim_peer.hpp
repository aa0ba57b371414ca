// Test helpers: a byte-stream peer of the simulator (its pseudo-terminal or
// a TCP connection), the simulator as a child process, and running programs
// with a bounded time.
#pragma once

#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "control_client.hpp"
#include "device.hpp"

namespace simtest {

using extsim::Bytes;

// Hexadecimal text to bytes; an invalid text is a broken test.
Bytes hex(const std::string& text);
std::string hex(const Bytes& b);

class Peer {
 public:
  explicit Peer(int fd) : fd_(fd) {}
  ~Peer();
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;

  // The pseudo-terminal's slave, opened like a serial port: raw, the given
  // line settings, old input discarded.
  static std::unique_ptr<Peer> open_serial(const std::string& path, const extsim::LinkSettings& s, std::string* error);
  static std::unique_ptr<Peer> connect_tcp(int port, std::string* error);

  bool send(const Bytes& b);
  // Bytes until n have arrived or timeout_ms has passed.
  Bytes read_exact(std::size_t n, int timeout_ms);
  // Everything that arrives within ms.
  Bytes read_for(int ms);
  // What one read returns once something has arrived (at most timeout_ms).
  Bytes read_some(int timeout_ms);
  // True when the other end closes the connection within timeout_ms.
  bool sees_eof(int timeout_ms);
  int fd() const { return fd_; }

 private:
  int fd_;
};

class SimProcess {
 public:
  SimProcess();
  ~SimProcess();  // stops the process and removes its folder
  // Starts the simulator with a pseudo-terminal, a TCP port and a control
  // socket in a fresh folder, plus extra arguments; waits (bounded) until ready.
  bool start(const std::vector<std::string>& extra = {}, std::string* error = nullptr);
  // SIGTERM, then SIGKILL after timeout_ms; returns the exit status, or -1
  // when the process had to be killed.
  int stop(int timeout_ms = 3000);
  bool running() const { return pid > 0; }

  extsim::ControlReply control(const std::string& line);
  // The text after "OK " of a command that must succeed (a test failure otherwise).
  std::string ctl(const std::string& line);

  std::string dir;
  std::string pty;
  std::string ctl_path;
  int tcp_port = -1;
  pid_t pid = -1;
};

struct RunResult {
  int status = -1;  // exit status; -1 when killed after the time-out
  std::string output;  // standard output and error
};
RunResult run_program(const std::vector<std::string>& argv, int timeout_ms,
                      const std::map<std::string, std::string>& env = {});

// Appends the check byte to a frame given in hexadecimal; the tests' own
// implementation, so that expected frames do not come from the code under test.
std::string chk(const std::string& frame_hex);
// A code record of len bytes: its length word, then a byte pattern.
Bytes record(std::size_t len);

std::string make_temp_dir();
void remove_tree(const std::string& path);

}  // namespace simtest

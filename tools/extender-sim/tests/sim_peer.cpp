#include "sim_peer.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "serial_settings.hpp"

namespace simtest {

namespace {

using Ms = std::chrono::milliseconds;

int ms_left(std::chrono::steady_clock::time_point deadline) {
  auto d = std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now()).count();
  return d > 0 ? static_cast<int>(d) : 0;
}

// Waits for a child with a bound; kills it when the bound passes.
int wait_child(pid_t pid, int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + Ms(timeout_ms);
  for (;;) {
    int st = 0;
    pid_t r = waitpid(pid, &st, WNOHANG);
    if (r == pid) return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    if (r < 0) return -2;
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &st, 0);
      return -1;
    }
    std::this_thread::sleep_for(Ms(5));
  }
}

}  // namespace

Bytes hex(const std::string& text) {
  auto b = extsim::from_hex(text);
  if (!b) {
    ADD_FAILURE() << "bad hexadecimal text in the test: " << text;
    return {};
  }
  return *b;
}

std::string hex(const Bytes& b) { return extsim::to_hex(b); }

std::string chk(const std::string& frame_hex) {
  unsigned sum = 0;
  for (auto b : hex(frame_hex)) sum += b;
  char t[4];
  std::snprintf(t, sizeof t, "%02X", ~sum & 0xFF);
  std::string out;
  for (char c : frame_hex)
    if (c != ' ') out += c;
  return out + t;
}

Bytes record(std::size_t len) {
  Bytes r{static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(len >> 8)};
  for (std::size_t i = 2; i < len; ++i) r.push_back(static_cast<std::uint8_t>(i * 7));
  return r;
}

Peer::~Peer() {
  if (fd_ >= 0) close(fd_);
}

std::unique_ptr<Peer> Peer::open_serial(const std::string& path, const extsim::LinkSettings& s, std::string* error) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 || !extsim::set_line_settings(fd, s)) {
    if (error) *error = "open " + path + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return nullptr;
  }
  tcflush(fd, TCIOFLUSH);
  return std::make_unique<Peer>(fd);
}

std::unique_ptr<Peer> Peer::connect_tcp(int port, std::string* error) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<std::uint16_t>(port));
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    if (error) *error = "connect: " + std::string(std::strerror(errno));
    if (fd >= 0) close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  return std::make_unique<Peer>(fd);
}

bool Peer::send(const Bytes& b) {
  std::size_t done = 0;
  auto deadline = std::chrono::steady_clock::now() + Ms(2000);
  while (done < b.size()) {
    ssize_t n = write(fd_, b.data() + done, b.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd p{fd_, POLLOUT, 0};
    if (poll(&p, 1, ms_left(deadline)) <= 0) return false;
  }
  return true;
}

Bytes Peer::read_exact(std::size_t n, int timeout_ms) {
  Bytes out;
  auto deadline = std::chrono::steady_clock::now() + Ms(timeout_ms);
  while (out.size() < n) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, ms_left(deadline)) <= 0) break;
    std::uint8_t buf[4096];
    ssize_t r = read(fd_, buf, std::min(sizeof buf, n - out.size()));
    if (r == 0) break;
    if (r < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      break;
    }
    out.insert(out.end(), buf, buf + r);
  }
  return out;
}

Bytes Peer::read_for(int ms) {
  Bytes out;
  auto deadline = std::chrono::steady_clock::now() + Ms(ms);
  for (;;) {
    pollfd p{fd_, POLLIN, 0};
    int left = ms_left(deadline);
    if (poll(&p, 1, left) <= 0) break;
    std::uint8_t buf[4096];
    ssize_t r = read(fd_, buf, sizeof buf);
    if (r == 0) break;
    if (r < 0) {
      if (errno == EAGAIN || errno == EINTR) {
        if (left == 0) break;
        continue;
      }
      break;
    }
    out.insert(out.end(), buf, buf + r);
  }
  return out;
}

Bytes Peer::read_some(int timeout_ms) {
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, timeout_ms) <= 0) return {};
  std::uint8_t buf[4096];
  ssize_t r = read(fd_, buf, sizeof buf);
  return r > 0 ? Bytes(buf, buf + r) : Bytes{};
}

bool Peer::sees_eof(int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + Ms(timeout_ms);
  for (;;) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, ms_left(deadline)) <= 0) return false;
    std::uint8_t buf[256];
    ssize_t r = read(fd_, buf, sizeof buf);
    if (r == 0 || (r < 0 && errno == ECONNRESET)) return true;
    if (r < 0 && errno != EAGAIN && errno != EINTR) return false;
  }
}

std::string make_temp_dir() {
  char tmpl[] = "/tmp/extsim-test-XXXXXX";
  const char* d = mkdtemp(tmpl);
  return d ? d : "";
}

void remove_tree(const std::string& path) {
  std::error_code ec;
  if (!path.empty()) std::filesystem::remove_all(path, ec);
}

SimProcess::SimProcess() = default;

SimProcess::~SimProcess() {
  stop();
  remove_tree(dir);
}

bool SimProcess::start(const std::vector<std::string>& extra, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  dir = make_temp_dir();
  if (dir.empty()) return fail("mkdtemp failed");
  std::string ready = dir + "/ready";
  std::vector<std::string> args{EXTENDER_SIM_BIN, "--pty", dir + "/ttyEXT", "--tcp", "0",
                                "--ctl", dir + "/ctl.sock", "--ready-file", ready};
  args.insert(args.end(), extra.begin(), extra.end());
  std::string out = dir + "/sim.out";
  pid = fork();
  if (pid < 0) return fail("fork failed");
  if (pid == 0) {
    int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    dup2(fd, 2);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  auto deadline = std::chrono::steady_clock::now() + Ms(5000);
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream f(ready);
    std::string line;
    if (std::getline(f, line) && line.rfind("READY ", 0) == 0) {
      std::istringstream in(line.substr(6));
      std::string kv;
      while (in >> kv) {
        auto eq = kv.find('=');
        std::string k = kv.substr(0, eq), v = kv.substr(eq + 1);
        if (k == "pty") pty = v;
        else if (k == "ctl") ctl_path = v;
        else if (k == "tcp") tcp_port = std::stoi(v);
      }
      return true;
    }
    int st;
    if (waitpid(pid, &st, WNOHANG) == pid) {
      pid = -1;
      std::ifstream o(out);
      std::stringstream s;
      s << o.rdbuf();
      return fail("the simulator ended before it was ready: " + s.str());
    }
    std::this_thread::sleep_for(Ms(10));
  }
  stop(100);
  return fail("the simulator was not ready within 5 s");
}

int SimProcess::stop(int timeout_ms) {
  if (pid <= 0) return -3;
  kill(pid, SIGTERM);
  int st = wait_child(pid, timeout_ms);
  pid = -1;
  return st;
}

extsim::ControlReply SimProcess::control(const std::string& line) {
  return extsim::control_request(ctl_path, line, 5000);
}

std::string SimProcess::ctl(const std::string& line) {
  auto r = control(line);
  if (!r.ok()) {
    ADD_FAILURE() << "control '" << line << "' failed: " << (r.delivered ? r.last() : r.error);
    return "";
  }
  const std::string& l = r.last();
  return l.size() > 3 ? l.substr(3) : "";
}

RunResult run_program(const std::vector<std::string>& argv_in, int timeout_ms,
                      const std::map<std::string, std::string>& env) {
  RunResult res;
  int p[2];
  if (pipe2(p, O_CLOEXEC) != 0) return res;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(p[1], 1);
    dup2(p[1], 2);
    for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    std::vector<std::string> args = argv_in;
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(p[1]);
  auto deadline = std::chrono::steady_clock::now() + Ms(timeout_ms);
  for (;;) {
    pollfd pf{p[0], POLLIN, 0};
    int left = ms_left(deadline);
    if (poll(&pf, 1, left) <= 0) break;
    char buf[4096];
    ssize_t n = read(p[0], buf, sizeof buf);
    if (n <= 0) break;
    res.output.append(buf, static_cast<std::size_t>(n));
  }
  close(p[0]);
  res.status = wait_child(pid, std::max(ms_left(deadline), 100));
  return res;
}

}  // namespace simtest

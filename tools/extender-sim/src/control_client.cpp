#include "control_client.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace extsim {

ControlReply control_request(const std::string& socket_path, const std::string& line, int timeout_ms) {
  ControlReply r;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (socket_path.size() >= sizeof addr.sun_path) {
    r.error = "socket path too long";
    return r;
  }
  std::memcpy(addr.sun_path, socket_path.c_str(), socket_path.size() + 1);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    r.error = std::strerror(errno);
    return r;
  }
  auto fail = [&](std::string why) {
    r.error = std::move(why);
    close(fd);
    return r;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  auto left_ms = [&] {
    auto d = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, d.count()));
  };
  // Non-blocking, so that a server whose queue of new connections is full
  // (EAGAIN) cannot hold the caller beyond the time-out.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  while (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return fail("connect " + socket_path + ": " + std::strerror(errno));
    if (left_ms() == 0) return fail("connect " + socket_path + ": timed out (the server does not accept)");
    poll(nullptr, 0, 10);
  }

  std::string out = line + "\n";
  std::size_t sent = 0;
  while (sent < out.size()) {
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, left_ms()) <= 0) return fail("timed out sending");
    ssize_t n = send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno != EINTR && errno != EAGAIN) return fail(std::string("send: ") + std::strerror(errno));
    if (n > 0) sent += static_cast<std::size_t>(n);
  }
  std::string buf;
  for (;;) {
    std::size_t nl;
    while ((nl = buf.find('\n')) != std::string::npos) {
      std::string l = buf.substr(0, nl);
      buf.erase(0, nl + 1);
      bool last = l.rfind("OK", 0) == 0 || l.rfind("ERR", 0) == 0;
      r.lines.push_back(std::move(l));
      if (last) {
        r.delivered = true;
        close(fd);
        return r;
      }
    }
    pollfd p{fd, POLLIN, 0};
    int pr = poll(&p, 1, left_ms());
    if (pr == 0) return fail("timed out waiting for the reply");
    if (pr < 0) {
      if (errno == EINTR) continue;
      return fail(std::string("poll: ") + std::strerror(errno));
    }
    char chunk[65536];
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n == 0) return fail("connection closed before the reply ended");
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return fail(std::string("read: ") + std::strerror(errno));
    }
    buf.append(chunk, static_cast<std::size_t>(n));
  }
}

}  // namespace extsim

// extender-simctl: sends one control line to a running extender-sim and prints
// the reply. Exit status: 0 for OK, 1 for ERR, 2 when no reply came.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "control_client.hpp"

int main(int argc, char** argv) {
  std::string socket_path;
  if (const char* env = std::getenv("SIM_CTL")) socket_path = env;
  int timeout_ms = 10000;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "-s" || a == "-t") && i + 1 < argc) {
      if (a == "-s") socket_path = argv[++i];
      else timeout_ms = static_cast<int>(std::strtod(argv[++i], nullptr) * 1000);
    } else {
      break;
    }
  }
  if (i >= argc || socket_path.empty() || timeout_ms <= 0) {
    std::fprintf(stderr,
                 "usage: extender-simctl [-s SOCKET] [-t SECONDS] COMMAND [ARGS...]\n"
                 "  SOCKET defaults to $SIM_CTL; SECONDS (default 10) bounds the wait for the reply\n");
    return 2;
  }
  std::string line;
  for (; i < argc; ++i) line += (line.empty() ? "" : " ") + std::string(argv[i]);
  extsim::ControlReply r = extsim::control_request(socket_path, line, timeout_ms);
  if (!r.delivered) {
    std::fprintf(stderr, "extender-simctl: %s\n", r.error.c_str());
    return 2;
  }
  for (const auto& l : r.lines) std::printf("%s\n", l.c_str());
  return r.ok() ? 0 : 1;
}

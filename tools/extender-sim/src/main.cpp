// extender-sim: the simulated infrared extender. See README.md.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "simulator.hpp"

namespace {

volatile sig_atomic_t g_stop = 0;

void on_signal(int) { g_stop = 1; }

const char kUsage[] =
    "usage: extender-sim [--pty PATH] [--tcp PORT] [--bind ADDR] [--ctl PATH]\n"
    "                    [--ready-file PATH] [--id HH] [--baud N] [--parity N|O|E] [--pace]\n"
    "  --pty PATH         make a pseudo-terminal and put a symlink to its slave at PATH\n"
    "  --tcp PORT         serve TCP on PORT (0: any free port)\n"
    "  --bind ADDR        TCP address: localhost or 127.x.x.x (default 127.0.0.1)\n"
    "  --ctl PATH         control socket (Unix domain) at PATH\n"
    "  --ready-file PATH  also write the READY line to PATH\n"
    "  --id HH            module ID in hexadecimal (default 01)\n"
    "  --baud N           the device's link baud rate (default 38400)\n"
    "  --parity N|O|E     the device's link parity (default N)\n"
    "  --pace             send every byte at the link's speed\n";

int usage_error(const std::string& why) {
  std::fprintf(stderr, "extender-sim: %s\n%s", why.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  extsim::Options opt;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--pace") {
      opt.pace = true;
    } else if (!value(v)) {
      return usage_error(a.rfind("--", 0) == 0 ? a + " needs a value" : "unexpected argument " + a);
    } else if (a == "--pty") {
      opt.pty_path = v;
    } else if (a == "--tcp") {
      char* end;
      long p = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end || p < 0 || p > 65535) return usage_error("bad TCP port " + v);
      opt.tcp_port = static_cast<int>(p);
    } else if (a == "--bind") {
      std::string why;
      if (!extsim::loopback_address(v, &why)) {
        std::fprintf(stderr, "extender-sim: %s\n", why.c_str());
        return 2;
      }
      opt.bind_address = v;
    } else if (a == "--ctl") {
      opt.control_path = v;
    } else if (a == "--ready-file") {
      opt.ready_file = v;
    } else if (a == "--id") {
      auto b = extsim::from_hex(v.size() == 1 ? "0" + v : v);
      if (!b || b->size() != 1) return usage_error("bad module ID " + v);
      opt.module_id = (*b)[0];
    } else if (a == "--baud") {
      char* end;
      long b = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end || b < 50 || b > 4000000) return usage_error("bad baud rate " + v);
      opt.link.baud = static_cast<unsigned>(b);
    } else if (a == "--parity") {
      if (v != "N" && v != "O" && v != "E") return usage_error("parity is N, O or E");
      opt.link.parity = v[0];
    } else {
      return usage_error("unknown option " + a);
    }
  }

  // SIGTERM and SIGINT are blocked except while the simulator waits in
  // ppoll(), so a stop request is never missed between checks.
  sigset_t block, wait_mask;
  sigemptyset(&block);
  sigaddset(&block, SIGTERM);
  sigaddset(&block, SIGINT);
  sigprocmask(SIG_BLOCK, &block, &wait_mask);
  sigdelset(&wait_mask, SIGTERM);
  sigdelset(&wait_mask, SIGINT);
  struct sigaction sa {};
  sa.sa_handler = on_signal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  int rc = 0;
  {
    extsim::Simulator sim(opt);
    std::string e = sim.open();
    if (!e.empty()) {
      std::fprintf(stderr, "extender-sim: %s\n", e.c_str());
      rc = 1;
    } else {
      std::printf("%s\n", sim.ready_line().c_str());
      std::fflush(stdout);
      sim.run(&g_stop, &wait_mask);
    }
  }
  return rc;
}

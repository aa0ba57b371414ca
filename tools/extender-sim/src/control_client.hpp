// Client side of the control socket: sends one command line and collects the
// reply, which ends with the first line that starts with "OK" or "ERR".
#pragma once

#include <string>
#include <vector>

namespace extsim {

struct ControlReply {
  bool delivered = false;          // false: no connection or no complete reply in time
  std::string error;               // why it was not delivered
  std::vector<std::string> lines;  // every reply line; the last is the OK/ERR line
  bool ok() const { return delivered && !lines.empty() && lines.back().rfind("OK", 0) == 0; }
  const std::string& last() const { return lines.back(); }
};

ControlReply control_request(const std::string& socket_path, const std::string& line, int timeout_ms);

}  // namespace extsim

// Reading and setting the line settings of a terminal device with the Linux
// termios2 interface, which carries any baud rate.
//
// On a pseudo-terminal, the settings read on the master side are the ones
// the program set on the slave. The pty driver forces 8 data bits and clears
// PARENB whatever the program asked for, so parity is taken from the flags it
// keeps: INPCK (input parity checking, which a program enables together with
// parity) and PARODD.
#pragma once

#include <optional>

#include "device.hpp"

namespace extsim {

// Parity is 'N', 'O', 'E', 'M' (mark) or 'S' (space).
std::optional<LinkSettings> read_line_settings(int fd);

// Raw mode, 8 data bits, 1 stop bit, receiver on, no modem control, the baud
// rate and the parity ('N', 'O' or 'E'). Returns false when the device refuses.
bool set_line_settings(int fd, const LinkSettings& s);

}  // namespace extsim

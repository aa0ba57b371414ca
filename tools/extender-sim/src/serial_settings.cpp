// Uses the kernel's own termios2 definitions; <termios.h> must stay out of
// this file because it declares a conflicting struct termios.
#include "serial_settings.hpp"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace extsim {

namespace {

unsigned speed_from_cbaud(unsigned cbaud) {
  struct Map {
    unsigned code, rate;
  };
  static const Map table[] = {
      {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
      {B200, 200},       {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
      {B2400, 2400},     {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
      {B57600, 57600},   {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
  };
  for (const auto& m : table)
    if (m.code == cbaud) return m.rate;
  return 0;
}

}  // namespace

std::optional<LinkSettings> read_line_settings(int fd) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return std::nullopt;
  LinkSettings s;
  s.baud = t.c_ospeed ? t.c_ospeed : speed_from_cbaud(t.c_cflag & CBAUD);
  bool parity = (t.c_cflag & PARENB) || (t.c_iflag & INPCK);
  if (!parity)
    s.parity = 'N';
  else if (t.c_cflag & CMSPAR)
    s.parity = (t.c_cflag & PARODD) ? 'M' : 'S';
  else
    s.parity = (t.c_cflag & PARODD) ? 'O' : 'E';
  return s;
}

bool set_line_settings(int fd, const LinkSettings& s) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                      INPCK | IGNPAR);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CBAUD | CIBAUD | CRTSCTS | HUPCL);
  t.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER;
  if (s.parity == 'O' || s.parity == 'E') {
    t.c_cflag |= PARENB;
    t.c_iflag |= INPCK;
    if (s.parity == 'O') t.c_cflag |= PARODD;
  }
  t.c_ispeed = t.c_ospeed = s.baud;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  return ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace extsim

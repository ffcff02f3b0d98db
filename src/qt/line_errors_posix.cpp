#include "qt/line_errors.h"

#include <termios.h>

namespace vor3::qt {

bool drop_bytes_with_line_errors(qintptr handle) {
    const int fd = static_cast<int>(handle);
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return false;
    // INPCK checks the parity of each byte, IGNPAR drops a byte that fails
    // it (or arrives with a framing error); without PARMRK nothing marks it.
    settings.c_iflag |= INPCK | IGNPAR;
    settings.c_iflag &= ~static_cast<tcflag_t>(PARMRK);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

}  // namespace vor3::qt

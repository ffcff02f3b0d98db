#pragma once
#include <QtGlobal>

namespace vor3::qt {

// Has the driver of an open serial port drop every byte that arrives with
// a parity or framing error, rather than pass it on as data. Qt's own
// settings turn the driver's parity check off (it keeps IGNPAR without
// INPCK), so this is applied after each change of settings. `handle` is the
// port's native handle; false where the platform cannot do it.
bool drop_bytes_with_line_errors(qintptr handle);

}  // namespace vor3::qt

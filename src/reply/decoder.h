#pragma once
#include <string>

#include "form/context.h"

namespace vor3::reply {

// Puts a reply (hex text: address, function, data, checksum) into the
// window's fields and the register image, by the kind of the request last
// sent, and moves the transfer on. Throws on a fault; the reader's error
// trap handles it.
void decode(Context& c, const std::string& rx_text);

}  // namespace vor3::reply

#include "ops/read_device.h"

#include <algorithm>

#include "link/hex.h"
#include "link/transmit.h"
#include "model/transfer_order.h"
#include "ops/requests.h"

namespace vor3::ops {

void Timer6_Timer(Context& c) {
    auto& t = c.g.transfer;
    auto& f = c.frm;
    const auto addr = address_part(c);
    if (!addr || !t.bus_ready) return;
    // The block runs from reg_address to the end of its range (at most a
    // read block), so a block whose reply was rejected is simply asked for
    // again and the chain always reaches the end of the range.
    if (const auto* part = model::part_of(model::kReadRegisterBlock, t.reg_address))
        f.countReadRegister = static_cast<std::int16_t>(std::min(t.read_block, part->end - t.reg_address));
    f.alreadyRead = static_cast<std::int16_t>(f.alreadyRead + f.countReadRegister);
    t.request_frame = *addr + "03" + link::LongToHexStr(static_cast<std::uint16_t>(t.reg_address), 2) +
                      link::LongToHexStr(f.countReadRegister, 2);
    link::send(c);
    t.bus_ready = false;
}

}  // namespace vor3::ops

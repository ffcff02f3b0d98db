#include "ops/requests.h"

#include "link/hex.h"
#include "link/transfer_reset.h"
#include "link/transmit.h"
#include "model/numbers.h"
#include "model/transfer_order.h"

namespace vor3::ops {

using link::LongToHexStr;

std::optional<std::string> address_part(const Context& c) {
    if (c.g.image.lent_address == 0 && c.frm.txt_Modbus_adress.text().empty()) return std::nullopt;
    return LongToHexStr(link::device_address(c), 1);
}

namespace {

// Function `function` over the range of the request kind's part of the
// transfer order: its start and quantity as hex text.
std::string over_part(const std::string& address, const char* function, std::int32_t kind) {
    const model::TransferPart& p = *model::part_of(kind, 0);
    return address + function + LongToHexStr(p.first, 2) + LongToHexStr(p.end - p.first, 2);
}

void transmit(Context& c, const std::string& request) {
    c.g.transfer.request_frame = request;
    link::send(c);
    c.g.transfer.bus_ready = false;
}

// One data byte from check boxes: box first + i is bit i, least
// significant first; a box the window does not have counts as cleared.
template <class Boxes>
std::string coil_byte(Boxes& boxes, int first, int count) {
    int value = 0;
    for (int i = 0; i < count && i < 8; ++i)
        if (boxes.has(first + i) && boxes(first + i).value() == 1) value += 1 << i;
    return LongToHexStr(value, 1);
}

}  // namespace

void cmd_read_device_Click(Context& c) {
    auto& t = c.g.transfer;
    t.request_kind = model::kReadRegister6;
    const auto addr = address_part(c);
    if (!addr) return;
    link::transfer_begun(c);
    t.reg_address = 6;
    link::restart_block_read(c);
    transmit(c, *addr + "03" + LongToHexStr(t.reg_address, 2) + "0001");
    // The window waits for the first answer as for the others: a sensor of
    // unknown speed may take seconds to answer, or not answer at all.
    if (link::line_busy(c)) c.events->show_status_window();
}

void ReadConfigCoils(Context& c) {
    auto& t = c.g.transfer;
    t.request_kind = model::kReadConfigCoils;
    t.reg_address = 0;
    t.bus_ready = true;
    const auto addr = address_part(c);
    if (!addr) return;
    transmit(c, over_part(*addr, "01", model::kReadConfigCoils));
}

void WriteConfigCoils(Context& c) {
    auto& t = c.g.transfer;
    auto& f = c.frm;
    t.bus_ready = true;
    t.request_kind = model::kWriteConfigCoils;
    const auto addr = address_part(c);
    if (!addr) return;
    const int quantity = std::min(8, 8 - f.alreadyWriteCoils);
    const std::string request = *addr + "0F" + LongToHexStr(f.alreadyWriteCoils, 2) + LongToHexStr(quantity, 2) + "01" +
                                coil_byte(f.chk_cfg, 8 * f.alreadyWriteBytes, quantity);
    f.alreadyWriteCoils = static_cast<std::int16_t>(f.alreadyWriteCoils + 8);
    f.alreadyWriteBytes = static_cast<std::int16_t>(f.alreadyWriteBytes + 1);
    transmit(c, request);
}

void WriteLedCoils(Context& c) {
    auto& t = c.g.transfer;
    t.bus_ready = true;
    t.request_kind = model::kWriteLedCoils;
    const auto addr = address_part(c);
    if (!addr) return;
    transmit(c, over_part(*addr, "0F", model::kWriteLedCoils) + "01" +
                    coil_byte(c.frm.chk_inp_bit, 0, model::kLedCoilCount));
}

void ReadExternalValues(Context& c) {
    auto& t = c.g.transfer;
    t.request_kind = model::kReadExternalValues;
    const auto addr = address_part(c);
    if (!addr || !t.bus_ready) return;
    transmit(c, over_part(*addr, "03", model::kReadExternalValues));
}

void ReadLedCoils(Context& c) {
    auto& t = c.g.transfer;
    t.request_kind = model::kReadLedCoils;
    const auto addr = address_part(c);
    if (!addr || !t.bus_ready) return;
    transmit(c, over_part(*addr, "01", model::kReadLedCoils));
}

}  // namespace vor3::ops

#include "model/transfer_order.h"

namespace vor3::model {

namespace {

bool names(const TransferPart& p, std::int32_t kind, int reg) {
    return p.request_kind == kind && (!p.paced || (reg >= p.first && reg < p.end));
}

const std::span<const TransferPart> kOrders[] = {kReadOrder, kWriteOrder};

}  // namespace

std::span<const TransferPart> read_chain() { return std::span(kReadOrder).subspan(1); }

const TransferPart* part_of(std::int32_t kind, int reg) {
    for (const auto order : kOrders)
        for (const auto& p : order)
            if (names(p, kind, reg)) return &p;
    return nullptr;
}

const TransferPart* part_after(const TransferPart& part) {
    for (const auto order : kOrders)
        for (std::size_t i = 0; i < order.size(); ++i)
            if (&order[i] == &part) return i + 1 < order.size() ? &order[i + 1] : nullptr;
    return nullptr;
}

bool is_write(const TransferPart& part) {
    switch (part.request_kind) {
    case kWriteConfigBlock:
    case kWriteConfigCoils:
    case kWriteExternalBlock:
    case kWriteLedCoils: return true;
    default: return false;
    }
}

}  // namespace vor3::model

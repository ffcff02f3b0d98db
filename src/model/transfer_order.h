#pragma once
#include <cstdint>
#include <span>

#include "model/register_map.h"

// The order the requests of each transfer go out in, written once: the
// decoder moves a transfer on by it, and the status window shows its steps
// from it.
namespace vor3::model {

// One part of a transfer: a request kind over a range of registers or
// coils (end exclusive). A paced part goes out in blocks at a block
// timer's ticks; any other is one request, sent as soon as the answer
// before it is taken.
struct TransferPart {
    std::int32_t request_kind;
    Block block;
    int first, end;
    bool paced;
};

// Writes of the configuration begin at register 2: 0 and 1 are the
// sensor's own.
inline constexpr int kConfigWriteFirst = 2;

// "Gerät auslesen": register 6 (the block pace), then the read chain,
// which the read-back after a write and a re-read run alone.
inline constexpr TransferPart kReadOrder[] = {
    {kReadRegister6, Block::ConfigRegisters, 6, 7, false},
    {kReadRegisterBlock, Block::ConfigRegisters, kConfigFirst, kConfigEnd, true},
    {kReadRegisterBlock, Block::MeasuredValues, kMeasuredFirst, kMeasuredEnd, true},
    {kReadConfigCoils, Block::ConfigCoils, 0, kConfigCoilCount, false},
    {kReadExternalValues, Block::ExternalValues, kExternalFirst, kExternalEnd, false},
    {kReadLedCoils, Block::LedCoils, kLedCoilFirst, kLedCoilFirst + kLedCoilCount, false},
};
// A write: the configuration part, then the external part, each whole;
// a write leaves out the part with nothing to write.
inline constexpr TransferPart kWriteOrder[] = {
    {kWriteConfigBlock, Block::ConfigRegisters, kConfigWriteFirst, kConfigEnd, true},
    {kWriteConfigCoils, Block::ConfigCoils, 0, kConfigCoilCount, false},
    {kWriteExternalBlock, Block::ExternalValues, kExternalFirst, kExternalEnd, true},
    {kWriteLedCoils, Block::LedCoils, kLedCoilFirst, kLedCoilFirst + kLedCoilCount, false},
};

std::span<const TransferPart> read_chain();

// The part a request of `kind` whose block starts at `reg` belongs to: a
// paced part is told from its neighbours by the register, every other by
// its kind alone. Null for none.
const TransferPart* part_of(std::int32_t kind, int reg);
// The part that follows in its order; null after the last.
const TransferPart* part_after(const TransferPart& part);

bool is_write(const TransferPart& part);

}  // namespace vor3::model

#pragma once
#include <cstdint>
#include <string>

namespace vor3::sim {

// Misbehaviour of the simulated sensor, switched on in tests, on the
// command line of vor3-sensor-sim, or while it runs.
struct Faults {
    bool silent = false;        // take requests in (they are recorded) but neither act nor answer
    bool bad_checksum = false;  // replies carry a checksum that does not match
    std::string noise_before;   // bytes sent ahead of each reply
    int split_parts = 1;        // each reply leaves in this many pieces...
    int split_gap_ms = 0;       // ...with this pause between them
    int exception_code = 0;     // nonzero: refuse every request with this exception, acting on none
    int refuse_writes = 0;      // nonzero: refuse writes (functions 0F, 10) with this exception; reads go on
    int extra_delay_ms = 0;     // added to the minimum response time
    bool duplicate = false;     // every reply is sent twice
    // A write of this holding register is acknowledged, but the sensor
    // keeps the value sent plus one (-1: none).
    int misstored_register = -1;
    bool echo = false;  // the request comes back ahead of the reply, as from an adapter that hears itself
    // A second device at the same address answers too, a little later, with
    // the last data bit of every read answer the other way round.
    bool twin = false;
    // A repeater that buffers: the answer to a coil read from this address
    // goes out once more, ahead of the answer to the next coil read (-1: none).
    int late_coil_copy_from = -1;
    // Nonzero: answers carry this address byte instead of the sensor's own.
    int answer_as = 0;
    // On a network connection: it closes when half of a reply has gone out.
    bool close_mid_reply = false;
    // Answer times that wander, as from a sensor busy with its own work: each
    // answer leaves answer_ms plus a random part of answer_spread_ms after
    // the request (instead of the minimum response time), an answer to a
    // request heard again right after itself (a master's repeat) after
    // repeat_answer_ms where that is set, and lost_percent of the answers
    // are never sent. The randomness follows `seed`.
    int answer_ms = -1;  // -1: the minimum response time plus extra_delay_ms
    int answer_spread_ms = 0;
    int repeat_answer_ms = -1;  // -1: as any other answer
    int lost_percent = 0;
    std::uint32_t seed = 1;
};

}  // namespace vor3::sim

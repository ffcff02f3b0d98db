#pragma once
// A sensor whose answer times wander anywhere from 0 to 3 s answers some
// copies of a request after the next request has gone out, and leaves
// others unanswered. Several pairs of requests have answers of the same
// shape, so such an answer could pass for the next one. Whatever the
// timing, a transfer must end with exactly the sensor's values, or with the
// failure shown and whatever was not confirmed still marked: never with a
// wrong value. Shared by the scenario test and the fuzz target.
#include <cstdint>
#include <map>
#include <random>
#include <string>

#include "app/field_entry.h"
#include "model/register_map.h"
#include "support/harness.h"

namespace vor3::test {

struct Wandering {
    int answer_ms = 0;
    int spread_ms = 0;
    int repeat_ms = -1;  // -1: a repeat is answered like any request
    int lost_percent = 0;
    std::uint32_t seed = 1;
};

// Each seed picks its own wandering within 0 to 3 s: a mean, a spread,
// sometimes a time of its own for a repeat, and some answers lost.
inline Wandering wandering_of(std::uint32_t seed) {
    std::minstd_rand pick(seed);
    Wandering w;
    w.answer_ms = static_cast<int>(pick() % 1500);
    w.spread_ms = static_cast<int>(pick() % static_cast<unsigned>(3001 - w.answer_ms));
    w.repeat_ms = pick() % 3 == 0 ? static_cast<int>(pick() % static_cast<unsigned>(3001 - w.spread_ms)) : -1;
    w.lost_percent = static_cast<int>(pick() % 20);
    w.seed = seed;
    return w;
}

enum class Job { Read, Write, ReadOut };

struct Outcome {
    bool complete = false;  // ended without a failure shown
    int readings = 0;       // complete readings of the measured values
    std::string wrong;      // what was wrong, if anything
};

namespace wandering_detail {

// Every register and coil distinct, so a value in the wrong field shows.
inline void give_every_register_its_own_value(sim::SimulatedSensor& s) {
    const std::uint16_t cfg[] = {4660, 105, 7, 3, 800, 1200, 100, 20, 0xFFFB, 25, 0xFF38};
    const std::uint16_t measured[] = {231, 455, 612}, external[] = {0xFFF6, 333, 777};
    for (int i = 0; i < 11; ++i) s.set_holding(i, cfg[i]);
    for (int i = 0; i < 3; ++i) {
        s.set_holding(0x100 + i, measured[i]);
        s.set_holding(0x200 + i, external[i]);
    }
    for (int n = 0; n < 8; ++n) s.set_coil(n, (0xA5 >> n) & 1);
    for (int n = 0; n < 5; ++n) s.set_coil(0x100 + n, (0x06 >> n) & 1);
}

struct Shown {
    std::string text;
    bool marked = false;
};

inline std::string key_of(const model::FieldSpec& entry) {
    return std::string(model::array_name(entry.array)) + "(" + std::to_string(entry.index) + ")";
}

// What each field shows, by the register or coil it belongs to.
inline std::map<std::string, Shown> fields(SimHarness& h) {
    std::map<std::string, Shown> out;
    for (const auto& entry : model::field_map()) {
        const std::string key = key_of(entry);
        out[key] = {app::field_value(h.prog, key).value_or(""), app::field_marked(h.prog, key)};
    }
    return out;
}

// What each field shows when it holds the sensor's value.
inline std::map<std::string, std::string> sensor_texts(SimHarness& h) {
    std::map<std::string, std::string> out;
    for (const auto& entry : model::field_map())
        out[key_of(entry)] =
            entry.encoding == model::Encoding::Coil ? std::to_string(h.sensor.coil(entry.address) ? 1 : 0)
            : entry.block == model::Block::MeasuredValues
                ? model::measured_text(h.sensor.holding(entry.address), entry.encoding, h.c.g.lang.decimal_sep)
                : model::register_text(h.sensor.holding(entry.address), entry.encoding, h.c.g.lang.decimal_sep);
    return out;
}

inline void wander(SimHarness& h, const Wandering& w) {
    h.sensor.faults() = {.noise_before = {},
                         .answer_ms = w.answer_ms,
                         .answer_spread_ms = w.spread_ms,
                         .repeat_answer_ms = w.repeat_ms,
                         .lost_percent = w.lost_percent,
                         .seed = w.seed};
}

// A read shows every value of the sensor, or says it failed and shows, in
// each field, the sensor's value or what the field held before.
inline void read(SimHarness& h, Outcome& o) {
    const auto before = fields(h);
    h.f.cmd_read_device.press();
    if (!h.settle(600000)) {
        o.wrong = "the read never ended";
        return;
    }
    o.complete = !warning_shown(h);
    const auto expected = sensor_texts(h);
    for (const auto& [key, s] : fields(h))
        if (s.text != expected.at(key) && (o.complete || s.text != before.at(key).text))
            o.wrong += key + " shows " + s.text + "; ";
}

// A write of both parts ends with the sensor holding exactly what was asked
// for (and the fields showing it), or says it failed, with every value the
// sensor did not confirm still marked; nothing the user did not touch
// changes.
inline void write(SimHarness& h, const Wandering& w, Outcome& o) {
    if (!h.read_device()) {
        o.wrong = "the read before the write failed on a sound line";
        return;
    }
    const auto was = sensor_texts(h);
    const std::map<std::string, std::string> edits = {{"txt_data_cfg(4)", "900"},
                                                      {"txt_data_cfg(9)", "-1,5"},
                                                      {"txt_data_in(1)", "44,5"},
                                                      {"chk_cfg(1)", "1"},
                                                      {"chk_inp_bit(3)", "1"}};
    for (const auto& [key, value] : edits)
        if (app::enter_value(h.prog, key, value)) o.wrong += key + " refused " + value + "; ";
    wander(h, w);
    h.f.set_parameter.press();
    if (!h.settle(600000)) {
        o.wrong = "the write never ended";
        return;
    }
    o.complete = !warning_shown(h);
    const auto now = sensor_texts(h);
    const auto shown = fields(h);
    for (const auto& [key, before] : was) {
        const auto edit = edits.find(key);
        const std::string& held = now.at(key);
        if (edit == edits.end()) {
            if (held != before) o.wrong += key + " changed to " + held + " untouched; ";
        } else if (held != before && held != edit->second) {
            o.wrong += key + " became " + held + "; ";
        } else if (o.complete && held != edit->second) {
            o.wrong += key + " was not written, yet no failure is shown; ";
        } else if (!shown.at(key).marked && held != shown.at(key).text) {
            o.wrong += key + " is unmarked but the sensor holds " + held + "; ";
        }
        if (o.complete && shown.at(key).text != held) o.wrong += key + " shows " + shown.at(key).text + "; ";
    }
}

// The cyclic read-out only ever reports the sensor's measured values.
inline void read_out(SimHarness& h, const Wandering& w, Outcome& o) {
    if (!h.read_device()) {
        o.wrong = "the read before the read-out failed on a sound line";
        return;
    }
    h.c.measured_values_read.push_back([&](const model::MeasuredReading& r) {
        ++o.readings;
        if (r.values[0] != 23.1 || r.values[1] != 45.5 || r.values[2] != 612)
            o.wrong += "a reading of " + std::to_string(r.values[0].value_or(-1)) + ", " +
                       std::to_string(r.values[1].value_or(-1)) + ", " + std::to_string(r.values[2].value_or(-1)) +
                       "; ";
    });
    wander(h, w);
    h.f.chk_read_out.set_value(1);
    h.clock.advance(120000);
    h.f.chk_read_out.set_value(0);
    if (!h.settle(600000)) o.wrong += "the read-out never ended";
    o.complete = !warning_shown(h);
}

}  // namespace wandering_detail

inline Outcome run_wandering(const char* mode, Job job, const Wandering& w, model::Pace pace = model::Pace::Schedule) {
    using namespace wandering_detail;
    SimHarness h(mode);
    h.c.g.link.pace = pace;
    give_every_register_its_own_value(h.sensor);
    Outcome o;
    switch (job) {
    case Job::Read:
        wander(h, w);
        read(h, o);
        break;
    case Job::Write: write(h, w, o); break;
    case Job::ReadOut: read_out(h, w, o); break;
    }
    return o;
}

}  // namespace vor3::test

// Answer times that wander anywhere from 0 to 3 s, chosen by the input:
// whatever they are and at either pace, a read, a write or the cyclic
// read-out ends with the sensor's values or with the failure shown, never
// with a wrong value.

#include "support/wandering.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vor3::test;
    FuzzedDataProvider in(data, size);
    const char* mode = in.ConsumeBool() ? "ASCII" : "RTU";
    const auto job = static_cast<Job>(in.ConsumeIntegralInRange(0, 2));
    Wandering w;
    w.answer_ms = in.ConsumeIntegralInRange(0, 3000);
    w.spread_ms = in.ConsumeIntegralInRange(0, 3000 - w.answer_ms);
    w.repeat_ms = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 3000 - w.spread_ms) : -1;
    w.lost_percent = in.ConsumeIntegralInRange(0, 100);
    w.seed = in.ConsumeIntegral<std::uint32_t>();
    const auto pace = in.ConsumeBool() ? vor3::model::Pace::Answer : vor3::model::Pace::Schedule;
    const Outcome o = run_wandering(mode, job, w, pace);
    FUZZ_CHECK(o.wrong.empty(), o.wrong);
    return 0;
}

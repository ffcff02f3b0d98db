#include <gtest/gtest.h>

#include "support/wandering.h"

namespace vor3::test {
namespace {

struct Seeds {
    const char* mode;
    Job job;
    std::uint32_t first_seed;
    int seeds;
    int least_complete;  // transfers that must still get through, so both outcomes are checked
    model::Pace pace = model::Pace::Schedule;
};

void PrintTo(const Seeds& s, std::ostream* os) { *os << s.mode << " seeds " << s.first_seed << "+"; }
std::string name_of(const Seeds& s) {
    const char* job[] = {"read", "write", "read_out"};
    return std::string(s.mode) + "_" + job[static_cast<int>(s.job)] +
           (s.pace == model::Pace::Answer ? "_answer_paced" : "");
}
class WanderingSensor : public ::testing::TestWithParam<Seeds> {};

TEST_P(WanderingSensor, NeverEndsWithAWrongValue) {
    const Seeds& run = GetParam();
    int complete = 0, readings = 0;
    for (std::uint32_t seed = run.first_seed; seed < run.first_seed + static_cast<std::uint32_t>(run.seeds); ++seed) {
        const Outcome o = run_wandering(run.mode, run.job, wandering_of(seed), run.pace);
        ASSERT_EQ(o.wrong, "") << "seed " << seed;
        complete += o.complete;
        readings += o.readings;
    }
    EXPECT_GE(complete, run.least_complete);
    if (run.job == Job::ReadOut) {
        EXPECT_GT(readings, 10 * run.seeds) << "most polls should still get through";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, WanderingSensor,
    ::testing::Values(Seeds{"RTU", Job::Read, 1, 1000, 100}, Seeds{"ASCII", Job::Read, 1001, 1000, 100},
                      Seeds{"RTU", Job::Write, 2001, 1000, 50}, Seeds{"ASCII", Job::Write, 3001, 1000, 50},
                      Seeds{"RTU", Job::ReadOut, 4001, 250, 0}, Seeds{"ASCII", Job::ReadOut, 5001, 250, 0},
                      Seeds{"RTU", Job::Read, 6001, 500, 50, model::Pace::Answer},
                      Seeds{"ASCII", Job::Read, 6501, 500, 50, model::Pace::Answer},
                      Seeds{"RTU", Job::Write, 7001, 500, 25, model::Pace::Answer},
                      Seeds{"ASCII", Job::Write, 7501, 500, 25, model::Pace::Answer},
                      Seeds{"RTU", Job::ReadOut, 8001, 100, 0, model::Pace::Answer}),
    [](const auto& info) { return name_of(info.param); });

}  // namespace
}  // namespace vor3::test

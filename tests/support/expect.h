#pragma once
#include <gtest/gtest.h>

#include "form/timer.h"

namespace vor3::test {

// Nothing of a transfer is left running: no write, repeat, give-up or block
// timer, the status window closed and the main window taking input again.
template <class Program>
void expect_idle(const Program& p) {
    for (const form::Timer* t : {&p.f.Timer1, &p.f.Timer3, &p.f.Timer5, &p.f.Timer6, &p.f.TimerPace})
        EXPECT_FALSE(t->enabled()) << t->name();
    EXPECT_FALSE(p.prog.frmState.loaded());
    EXPECT_TRUE(p.f.enabled());
}

}  // namespace vor3::test

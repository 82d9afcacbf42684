// The clock's end: `wait` and a followed clock stop at 4294967295 ms, where the program's 32-bit
// tick count would wrap, and a long wait costs a step per thing that falls due, not one a
// millisecond.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "tools/lumiset-sim/clock_follower.h"
#include "tools/lumiset-sim/console.h"

namespace {

constexpr sim::Millis kEnd = 4294967295;
constexpr sim::Millis kPeriod = 1000000;

TEST(ClockEnd, WaitGoesToTheEndInAStepPerWakeUp) {
    sim::Machine machine;
    sim::Kernel& kernel = machine.kernel();
    std::ostringstream out;
    int wakeups = 0;
    long deadline_reads = 0;
    // A program thread that wakes every kPeriod ms, counting how often the kernel asks for its
    // deadline.
    console::Console console(
        machine,
        [&] {
            while (true) {
                const sim::Millis due = kernel.Now() + kPeriod;
                kernel.Block({[&kernel, due] { return kernel.Now() >= due; },
                              [&deadline_reads, due] {
                                  ++deadline_reads;
                                  return std::optional<sim::Millis>(due);
                              }});
                ++wakeups;
            }
        },
        out);
    console.StartLumiset();
    auto run = [&](const char* line) {
        out.str("");
        const bool done = console.Execute(line);
        return (done ? "" : "failed: ") + out.str();
    };

    EXPECT_EQ(run("wait 4294967296"),
              "failed: error: usage: wait MS (MS 0 to 4294967295 now: the 32-bit clock ends at "
              "4294967295 ms)\n");
    EXPECT_EQ(run("wait 99999999999999"),
              "failed: error: usage: wait MS (MS 0 to 4294967295 now: the 32-bit clock ends at "
              "4294967295 ms)\n");
    EXPECT_EQ(kernel.Now(), 0u);
    EXPECT_EQ(wakeups, 0);

    EXPECT_EQ(run("wait 1000"), "");
    EXPECT_EQ(run("wait 4294967295"),
              "failed: error: usage: wait MS (MS 0 to 4294966295 now: the 32-bit clock ends at "
              "4294967295 ms)\n");
    EXPECT_EQ(run("wait 4294966295"), "");
    EXPECT_EQ(kernel.Now(), kEnd);
    EXPECT_EQ(wakeups, static_cast<int>(kEnd / kPeriod));
    // A few reads per wake-up; a walk millisecond by millisecond would read billions.
    EXPECT_LT(deadline_reads, 10L * wakeups);

    EXPECT_EQ(run("wait 0"), "");
    EXPECT_EQ(run("wait 1"),
              "failed: error: usage: wait MS (MS 0 to 0 now: the 32-bit clock ends at 4294967295 "
              "ms)\n");
    EXPECT_EQ(kernel.Now(), kEnd);
}

TEST(ClockEnd, AFollowedClockStopsAtTheEnd) {
    sim::Machine machine;
    std::chrono::steady_clock::time_point wall{};
    console::ClockFollower follower(machine.kernel(), [&wall] { return wall; });
    wall += std::chrono::milliseconds(kEnd - 10);
    follower.CatchUp();
    EXPECT_EQ(machine.kernel().Now(), kEnd - 10);
    wall += std::chrono::hours(24 * 365);
    follower.CatchUp();
    EXPECT_EQ(machine.kernel().Now(), kEnd);
    wall += std::chrono::milliseconds(5);
    follower.CatchUp();
    EXPECT_EQ(machine.kernel().Now(), kEnd);
}

}  // namespace

// The simulated kernel: one thread runs at a time, and time passes only when the driver says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/win32.h"

namespace {

class KernelTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Kernel& kernel = machine.kernel();
    std::vector<std::string> log;
};

TEST_F(KernelTest, SleepersWakeInClockOrderOnlyWhenTheClockMoves) {
    const auto process = kernel.NewProcess();
    kernel.StartThread(process, [&] {
        log.push_back("a start");
        Sleep(300);
        log.push_back("a " + std::to_string(GetTickCount()));
    });
    kernel.StartThread(process, [&] {
        log.push_back("b start");
        Sleep(100);
        log.push_back("b " + std::to_string(GetTickCount()));
        Sleep(100);
        log.push_back("b " + std::to_string(GetTickCount()));
    });
    EXPECT_TRUE(log.empty()) << "threads run only when the driver settles";
    kernel.Settle();
    EXPECT_EQ(log, (std::vector<std::string>{"a start", "b start"}));
    EXPECT_EQ(kernel.RunningThreads(process), 2u) << "asleep is running";

    kernel.Advance(99);
    EXPECT_EQ(log.size(), 2u);
    kernel.Advance(50);
    EXPECT_EQ(kernel.RunningThreads(process), 2u);
    kernel.Advance(100);
    EXPECT_EQ(kernel.RunningThreads(process), 1u) << "b has ended";
    kernel.Advance(850);
    EXPECT_EQ(log, (std::vector<std::string>{"a start", "b start", "b 100", "b 200", "a 300"}));
    EXPECT_EQ(kernel.Now(), 1099u);
    EXPECT_FALSE(kernel.ProcessRunning(process));
}

TEST_F(KernelTest, DriverSleepMovesTheClockAndProcessExitIsReported) {
    std::vector<sim::ProcessId> exited;
    kernel.OnProcessExit([&](sim::ProcessId process) { exited.push_back(process); });
    const auto process = kernel.NewProcess();
    bool worker_went_on = false;
    kernel.StartThread(process, [&] { Sleep(50); });
    kernel.StartThread(process, [&] {
        Sleep(500);
        worker_went_on = true;
    });
    Sleep(60);  // from the driver: the clock moves and the first thread ends the process
    EXPECT_EQ(GetTickCount(), 60u);
    EXPECT_EQ(exited, std::vector<sim::ProcessId>{process});
    kernel.Advance(1000);
    EXPECT_FALSE(worker_went_on) << "a process's other threads end with it";
}

TEST_F(KernelTest, ReadyConditionIsCheckedAtEverySettle) {
    const auto process = kernel.NewProcess();
    bool signalled = false;
    kernel.StartThread(process, [&] {
        kernel.Block(sim::WaitCondition{[&] { return signalled; }, nullptr});
        log.push_back("woke at " + std::to_string(GetTickCount()));
    });
    kernel.Settle();
    kernel.Advance(5000);
    EXPECT_TRUE(log.empty());
    signalled = true;
    kernel.Settle();
    EXPECT_EQ(log, std::vector<std::string>{"woke at 5000"});
}

TEST_F(KernelTest, ThreadsLeftBlockedAtTeardownAreAbandoned) {
    const auto process = kernel.NewProcess();
    kernel.StartThread(process, [] { Sleep(1000000); });
    kernel.Settle();
    // The fixture's machine goes away with the thread still asleep; nothing may hang or crash.
}

}  // namespace

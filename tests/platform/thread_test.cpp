// Threads a program makes with CreateThread: they run on the simulated kernel's turns, waits and
// sleeps go by the virtual clock, and their handles are counted until closed.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

// What a worker does and what it saw; shared with the thread through its parameter.
struct Work {
    std::vector<std::string> log;
    int steps = 0;         // sleeps of 5000 ms to make; -1 for ever
    int done = 0;          // sleeps made
    DWORD exit_code = 0;   // the worker's return value
    DWORD thread_id = 0;   // as the worker saw itself
    DWORD process_id = 0;  // the same
    HRESULT com = -1;      // CoInitialize on the worker, when asked
    bool use_com = false;
};

DWORD WINAPI Worker(LPVOID parameter) {
    auto* work = static_cast<Work*>(parameter);
    work->thread_id = GetCurrentThreadId();
    work->process_id = GetCurrentProcessId();
    work->log.push_back("worker " + std::to_string(GetTickCount()));
    if (work->use_com) {
        work->com = CoInitialize(nullptr);
    }
    for (; work->steps < 0 || work->done < work->steps; ++work->done) {
        Sleep(5000);
    }
    if (work->use_com) {
        CoUninitialize();
    }
    work->log.push_back("worker ends " + std::to_string(GetTickCount()));
    return work->exit_code;
}

class ThreadTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    Work work;
    std::vector<std::string>& log = work.log;

    int Handles() { return machine.resources().Open("thread handle"); }
};

TEST_F(ThreadTest, WorkerRunsWhileTheCreatorWaitsAndReturnsItsExitCode) {
    work.exit_code = 42;
    DWORD created_id = 0;
    const auto process = desktop.Start([&] {
        const HANDLE thread = CreateThread(nullptr, 0, Worker, &work, 0, &created_id);
        ASSERT_NE(thread, nullptr);
        log.push_back("created");
        EXPECT_EQ(Handles(), 1);
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeThread(thread, &code));
        EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));

        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
        log.push_back("waited");
        EXPECT_TRUE(GetExitCodeThread(thread, &code));
        EXPECT_EQ(code, 42u);
        EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_OBJECT_0))
            << "a finished thread stays signalled";

        EXPECT_TRUE(CloseHandle(thread));
        EXPECT_EQ(Handles(), 0);
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(thread));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_FAILED);
        EXPECT_FALSE(GetExitCodeThread(thread, &code));
        EXPECT_EQ(Handles(), 0);
    });
    EXPECT_EQ(log, (std::vector<std::string>{"created", "worker 0", "worker ends 0", "waited"}))
        << "the new thread runs only once its creator gives up the turn";
    EXPECT_NE(created_id, 0u);
    EXPECT_EQ(work.thread_id, created_id);
    EXPECT_EQ(work.process_id, process);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

TEST_F(ThreadTest, WaitsTimeOutAndSleepsEndOnTheVirtualClock) {
    work.steps = 1;
    desktop.Start([&] {
        const HANDLE thread = CreateThread(nullptr, 0, Worker, &work, 0, nullptr);
        EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        log.push_back("polled " + std::to_string(GetTickCount()));
        EXPECT_EQ(WaitForSingleObject(thread, 1000), static_cast<DWORD>(WAIT_TIMEOUT));
        log.push_back("timed out " + std::to_string(GetTickCount()));
        EXPECT_EQ(WaitForSingleObject(thread, 60000), static_cast<DWORD>(WAIT_OBJECT_0));
        log.push_back("joined " + std::to_string(GetTickCount()));
        CloseHandle(thread);
    });
    EXPECT_EQ(log, (std::vector<std::string>{"polled 0", "worker 0"}))
        << "a zero wait does not give up the turn";
    desktop.Wait(999);
    EXPECT_EQ(log.size(), 2u);
    desktop.Wait(1);
    EXPECT_EQ(log.back(), "timed out 1000");
    desktop.Wait(3999);
    EXPECT_EQ(log.back(), "timed out 1000");
    desktop.Wait(1);
    EXPECT_EQ(log, (std::vector<std::string>{"polled 0", "worker 0", "timed out 1000",
                                             "worker ends 5000", "joined 5000"}));
    EXPECT_EQ(Handles(), 0);
}

TEST_F(ThreadTest, TwentySevenEffectStepsRunAsTheDriverMovesTheClock) {
    work.steps = 27;
    work.use_com = true;
    HRESULT main_com = -1;
    sim::ThreadId main_thread = 0;
    desktop.Start([&] {
        main_thread = GetCurrentThreadId();
        main_com = CoInitialize(nullptr);
        const HANDLE thread = CreateThread(nullptr, 0, Worker, &work, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CoUninitialize();
    });
    EXPECT_EQ(main_com, S_OK);
    EXPECT_EQ(work.com, S_OK) << "every thread has its own apartment";
    EXPECT_EQ(machine.apartments().Count(work.thread_id), 1);
    EXPECT_EQ(machine.apartments().Count(main_thread), 1);

    desktop.Wait(12000);
    EXPECT_EQ(work.done, 2) << "the sleeps due at 5000 and 10000 have ended";
    desktop.Wait(27 * 5000 - 12000 - 1);
    EXPECT_EQ(work.done, 26);
    desktop.Wait(1);
    EXPECT_EQ(work.done, 27);
    EXPECT_EQ(log.back(), "worker ends 135000");
    EXPECT_EQ(machine.apartments().Outstanding(), 0);
    EXPECT_EQ(Handles(), 0);
}

TEST_F(ThreadTest, ClosingTheHandleLeavesTheThreadRunningUntilItsProcessEnds) {
    work.steps = -1;
    const auto process = desktop.Start([&] {
        const HANDLE thread = CreateThread(nullptr, 0, Worker, &work, 0, nullptr);
        EXPECT_TRUE(CloseHandle(thread));
        Sleep(12000);
    });
    EXPECT_TRUE(desktop.Running(process));
    desktop.Wait(11999);
    EXPECT_EQ(work.done, 2);
    desktop.Wait(1);
    EXPECT_FALSE(desktop.Running(process)) << "the process ends with its first thread";
    const int steps = work.done;
    desktop.Wait(60000);
    EXPECT_EQ(work.done, steps) << "a thread of an ended process never runs again";
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(Handles(), 0);
}

TEST_F(ThreadTest, FailuresBadHandlesAndOtherProcessesHandles) {
    HANDLE first_process_handle = nullptr;
    desktop.Start([&] {
        first_process_handle = CreateThread(nullptr, 0, Worker, &work, 0, nullptr);
        WaitForSingleObject(first_process_handle, INFINITE);
        Sleep(100000);
    });
    EXPECT_EQ(Handles(), 1);

    std::vector<DWORD> errors;
    desktop.Start([&] {
        auto error = [&] { errors.push_back(GetLastError()); };
        machine.faults().Fail("CreateThread");
        EXPECT_EQ(CreateThread(nullptr, 0, Worker, &work, 0, nullptr), nullptr);
        error();
        EXPECT_EQ(CreateThread(nullptr, 0, Worker, &work, CREATE_SUSPENDED, nullptr), nullptr);
        error();
        EXPECT_EQ(CreateThread(nullptr, 0, nullptr, &work, 0, nullptr), nullptr);
        error();
        EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
        error();
        EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x4243)));
        error();
        // Handles belong to the process that holds them.
        EXPECT_EQ(WaitForSingleObject(first_process_handle, INFINITE), WAIT_FAILED);
        error();
        EXPECT_FALSE(CloseHandle(first_process_handle));
        error();
        DWORD code = 0;
        EXPECT_FALSE(GetExitCodeThread(first_process_handle, &code));
        error();
    });
    EXPECT_EQ(errors, (std::vector<DWORD>{ERROR_NOT_ENOUGH_MEMORY, ERROR_INVALID_PARAMETER,
                                          ERROR_INVALID_PARAMETER, ERROR_INVALID_HANDLE,
                                          ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE,
                                          ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE}));
    EXPECT_EQ(log.size(), 2u) << "only the first process's worker ran";
    EXPECT_EQ(Handles(), 1) << "the first process still holds its handle";
    EXPECT_TRUE(sim::FaultInjector::IsKnownOperation("CreateThread"));
}

}  // namespace

// The platform's slim lock: threads take it in turn; holding it across a wait would hang a real
// machine as it would this one, so the machine stops at once.
DWORD WINAPI Locker(LPVOID parameter) {
    auto* shared = static_cast<std::pair<SRWLOCK*, std::vector<std::string>*>*>(parameter);
    for (int round = 0; round < 3; ++round) {
        AcquireSRWLockExclusive(shared->first);
        shared->second->push_back("worker " + std::to_string(round));
        ReleaseSRWLockExclusive(shared->first);
        Sleep(10);
    }
    return 0;
}

TEST_F(ThreadTest, SlimLockPassesBetweenThreadsAndMustNotBeHeldAcrossAWait) {
    SRWLOCK lock = SRWLOCK_INIT;
    std::pair<SRWLOCK*, std::vector<std::string>*> shared{&lock, &log};
    desktop.Start([&] {
        const HANDLE thread = CreateThread(nullptr, 0, Locker, &shared, 0, nullptr);
        for (int round = 0; round < 3; ++round) {
            AcquireSRWLockExclusive(&lock);
            log.push_back("main " + std::to_string(round));
            ReleaseSRWLockExclusive(&lock);
            Sleep(10);
        }
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    });
    desktop.Wait(100);
    EXPECT_EQ(log, (std::vector<std::string>{"main 0", "worker 0", "main 1", "worker 1", "main 2",
                                             "worker 2"}));
    InitializeSRWLock(&lock);
    AcquireSRWLockExclusive(&lock);  // the driver may use one too, while the machine is quiet
    ReleaseSRWLockExclusive(&lock);

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            SRWLOCK held = SRWLOCK_INIT;
            desktop.Start([&] {
                AcquireSRWLockExclusive(&held);
                Sleep(10);
                ReleaseSRWLockExclusive(&held);
            });
            desktop.Start([&] { AcquireSRWLockExclusive(&held); });
            desktop.Wait(20);
        },
        "a lock is held across a wait");
}

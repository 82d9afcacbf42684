// The machine's records keep only their latest entries and their counts, so that a simulated
// week of use runs in flat memory while tests still read what they ask for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/sim/recent_records.h"
#include "platform/win32.h"

namespace {

TEST(RecentRecords, KeepTheLatestInOrderAndCountEveryEntry) {
    sim::RecentRecords<int> records(4);
    for (int i = 0; i < 3; ++i) {
        records.Add(i);
    }
    EXPECT_EQ(records.Entries(), (std::vector<int>{0, 1, 2})) << "all while fewer were added";
    for (int i = 3; i < 1000; ++i) {
        records.Add(i);
        ASSERT_LE(records.Entries().size(), 8u);
        ASSERT_GE(records.Entries().size(), 4u);
        ASSERT_EQ(records.Entries().back(), i);
        // In order, without gaps, ending with the latest.
        const std::vector<int>& kept = records.Entries();
        for (size_t k = 1; k < kept.size(); ++k) {
            ASSERT_EQ(kept[k], kept[k - 1] + 1);
        }
    }
    EXPECT_EQ(records.Added(), 1000u);

    sim::Machine machine;
    const size_t kept = sim::CallTrace::kKept;
    for (size_t i = 0; i < 3 * kept; ++i) {
        machine.trace().Record(i % 2 ? "RegCloseKey" : "RegOpenKeyExA");
    }
    machine.trace().Record("KillTimer 1");
    EXPECT_LE(machine.trace().Entries().size(), 2 * kept);
    EXPECT_EQ(machine.trace().Entries().back(), "KillTimer 1");
    EXPECT_EQ(machine.trace().Count("RegOpenKeyExA"), static_cast<int>(3 * kept / 2))
        << "counts cover every call, not just the kept lines";
    EXPECT_EQ(machine.trace().Count("KillTimer 1"), 1);
}

TEST(RecentRecords, TrayRequestsAndFinishedThreadsStayBounded) {
    sim::Machine machine;
    sim::Desktop desktop{machine};
    const int requests = 3 * static_cast<int>(sim::Tray::kKeptRequests);
    std::vector<DWORD> exit_codes;
    desktop.Start([&] {
        HWND window = machine.windows().Create(u"TrayOwner", u"", WS_POPUP, 0, nullptr, 0,
                                               RECT{0, 0, 1, 1}, DefWindowProcA);
        NOTIFYICONDATAA data{};
        data.cbSize = sizeof(data);
        data.hWnd = window;
        data.uID = 1;
        Shell_NotifyIconA(NIM_ADD, &data);
        for (int i = 1; i < requests; ++i) {
            Shell_NotifyIconA(NIM_MODIFY, &data);
        }
        // Threads come and go; the latest stay known with their exit codes.
        for (DWORD i = 0; i < 1500; ++i) {
            const HANDLE thread = CreateThread(
                nullptr, 0,
                [](LPVOID p) -> DWORD {
                    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(p));
                },
                reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(i)), 0, nullptr);
            WaitForSingleObject(thread, INFINITE);
            DWORD code = 0;
            GetExitCodeThread(thread, &code);
            exit_codes.push_back(code);
            CloseHandle(thread);
        }
    });
    EXPECT_LE(machine.tray().Requests().size(), 2 * sim::Tray::kKeptRequests);
    EXPECT_EQ(machine.tray().RequestCount(NIM_ADD), 1);
    EXPECT_EQ(machine.tray().RequestCount(NIM_MODIFY), requests - 1);
    EXPECT_EQ(machine.tray().Requests().back().message, static_cast<DWORD>(NIM_MODIFY));
    ASSERT_EQ(exit_codes.size(), 1500u);
    EXPECT_EQ(exit_codes.back(), 1499u);
    EXPECT_EQ(exit_codes[750], 750u);
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

}  // namespace

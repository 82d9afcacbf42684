// The clock of a person's console: it follows an (injected) wall clock, telling how long input
// may be waited for; what a person is told when Lumiset waits for a still clock; and the
// desktop's changes reported as they happen.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "platform/win32.h"
#include "tools/lumiset-sim/clock_follower.h"
#include "tools/lumiset-sim/clock_notes.h"
#include "tools/lumiset-sim/desktop_watch.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(ClockFollower, FollowsTheWallClockAndShowsWhatHappens) {
    sim::Machine machine;
    sim::Desktop desktop(machine);
    Clock::time_point wall{};
    console::ClockFollower follower(machine.kernel(), [&wall] { return wall; });
    EXPECT_EQ(follower.IdleTimeout(), std::nullopt);  // nothing waits: input may take forever

    const HWND window = desktop.OpenWindow(u"", u"Lumiset's window");
    desktop.Start([window] {
        Sleep(1000);
        NOTIFYICONDATAA data{};
        data.cbSize = sizeof data;
        data.hWnd = window;
        data.uID = 148;
        data.uFlags = NIF_TIP;
        std::strcpy(data.szTip, "CV Lumen Webcam");
        Shell_NotifyIconA(NIM_ADD, &data);
        Sleep(1000);
    });
    console::DesktopWatch watch(machine, true);
    EXPECT_EQ(follower.IdleTimeout(), 1000);

    wall += 999ms + 600us;
    follower.CatchUp();
    EXPECT_EQ(machine.kernel().Now(), 999u);  // whole milliseconds; the rest counts next time
    EXPECT_TRUE(watch.Changes(true).empty());
    EXPECT_EQ(follower.IdleTimeout(), 1);

    wall += 400us;
    follower.CatchUp();
    EXPECT_EQ(machine.kernel().Now(), 1000u);
    EXPECT_EQ(
        watch.Changes(true),
        std::vector<std::string>{"* the notification area shows icon 148 \"CV Lumen Webcam\""});
    EXPECT_EQ(follower.IdleTimeout(), 1000);

    wall += 5s;  // the program ends at 2000 and nothing waits after
    follower.CatchUp();
    EXPECT_EQ(machine.kernel().Now(), 6000u);
    EXPECT_EQ(follower.IdleTimeout(), std::nullopt);
    desktop.CloseWindow(window);
    EXPECT_EQ(watch.Changes(false),
              (std::vector<std::string>{"* window \"Lumiset's window\" closed",
                                        "* Lumiset has ended (\"start\" starts it again)"}));
}

TEST(ClockNotes, PausesAndTimersOfAStillOrAFollowedClock) {
    sim::Machine machine;
    sim::Desktop desktop(machine);
    // A pause in one thread, a message loop with a timer in another: the kernel tells them apart.
    desktop.Start([] {
        SetTimer(nullptr, 1, 1000, nullptr);
        CreateThread(
            nullptr, 0,
            [](LPVOID) -> DWORD {
                Sleep(10);
                return 0;
            },
            nullptr, 0, nullptr);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0)) {
        }
    });
    const auto waits = machine.kernel().ClockWaits();
    ASSERT_EQ(waits.size(), 2u);
    const auto timer = waits[0].for_messages ? waits[0] : waits[1];
    const auto pause = waits[0].for_messages ? waits[1] : waits[0];
    EXPECT_TRUE(timer.for_messages);
    EXPECT_EQ(timer.due, 1000u);
    EXPECT_FALSE(pause.for_messages);
    EXPECT_EQ(pause.due, 10u);

    using console::ClockNote;
    // A still clock: a pause holds the program until `wait`, even one older than the command.
    EXPECT_EQ(ClockNote({waits, waits, 0, false, false}),
              "note: Lumiset pauses for 10 ms and the clock is still: \"wait 10\" lets it go on");
    EXPECT_EQ(ClockNote({{}, {timer}, 0, false, false}),
              "note: Lumiset's timer is due in 1000 ms and the clock is still: \"wait 1000\" lets "
              "it run");
    EXPECT_EQ(ClockNote({{timer}, {timer}, 0, false, false}), std::nullopt);
    // A sooner timer gone (a window closed, say) leaves a later one first: no news.
    const sim::ClockWait sooner{timer.thread, 20, true};
    EXPECT_EQ(ClockNote({{sooner}, {timer}, 0, false, false}), std::nullopt);
    EXPECT_EQ(ClockNote({{timer}, {sooner}, 0, false, false}),
              "note: Lumiset's timer is due in 20 ms and the clock is still: \"wait 20\" lets it "
              "run");
    EXPECT_EQ(ClockNote({{}, {timer}, 0, false, true}), std::nullopt);  // after a `wait`
    // A followed clock: only a long pause the command started is worth a word.
    EXPECT_EQ(ClockNote({{}, waits, 0, true, false}), std::nullopt);
    const sim::ClockWait long_pause{pause.thread, 5000, false};
    EXPECT_EQ(ClockNote({{}, {long_pause}, 0, true, false}),
              "note: Lumiset pauses for 5000 ms; it goes on by itself");
    EXPECT_EQ(ClockNote({{long_pause}, {long_pause}, 0, true, false}), std::nullopt);
}

}  // namespace

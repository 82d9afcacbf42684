// The console's `send` and `post`: numbers ranged before anything is sent, messages whose data
// the system copies refused when the console would have to invent a pointer, posts of them
// failing as on Windows, and every other message arriving with the numbers typed.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "res/resource_bytes.h"
#include "tests/console/stand_in_host.h"

namespace {

struct Arrived {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    bool operator==(const Arrived&) const = default;
};

std::vector<Arrived>* arrived = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETTEXT || message == WM_NOTIFY || message == WM_TIMER ||
        message >= WM_USER) {
        arrived->push_back(Arrived{message, wparam, lparam});
    }
    if (message == WM_SETTEXT) {
        return TRUE;  // keeps its title, by which the console finds it
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

TEST(SendPostCommand, NumbersAreRangedAndCopiedMessagesNeedTheirData) {
    std::vector<Arrived> log;
    arrived = &log;
    sim::Machine machine;
    ASSERT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
    StandInHostConsole console(machine, HostProc);
    const std::string bad_message =
        "error: MSG must be a number from 0 to 0xFFFF (greater ones are the system's)\n";
    EXPECT_EQ(console.Run("send 0x10000 0 0"), bad_message);
    EXPECT_EQ(console.Run("post -1 0 0"), bad_message);
    EXPECT_EQ(console.Run("send 0x100000000 0 0"), bad_message);
    EXPECT_EQ(console.Run("post 0x8001 -1 0"),
              "error: WPARAM must be a number from 0 to 0xFFFFFFFFFFFFFFFF\n");
    EXPECT_EQ(console.Run("send 0x8001 0 0x10000000000000000"),
              "error: LPARAM must be a number from -0x8000000000000000 to 0xFFFFFFFFFFFFFFFF\n");
    EXPECT_EQ(console.Run("send 0x8001 0 x"),
              "error: LPARAM must be a number from -0x8000000000000000 to 0xFFFFFFFFFFFFFFFF\n");
    EXPECT_TRUE(log.empty()) << "nothing is sent for numbers out of range";

    EXPECT_EQ(console.Run("send 0x8001 0xFFFFFFFFFFFFFFFF -1"), "");
    EXPECT_EQ(console.Run("post 0xFFFF 18446744073709551615 -9223372036854775808"), "");
    EXPECT_EQ(console.Run("post 0x004E 1 4"), "") << "WM_NOTIFY is not copied: the number arrives";
    EXPECT_EQ(log,
              (std::vector<Arrived>{{0x8001, ~WPARAM{0}, -1},
                                    {0xFFFF, ~WPARAM{0}, static_cast<LPARAM>(0x8000000000000000u)},
                                    {WM_NOTIFY, 1, 4}}));

    log.clear();
    EXPECT_EQ(console.Run("send 0x000C 0 5"),
              "error: message 0x000C carries a pointer to data that the system copies; the "
              "console cannot supply the data (send it with a null pointer)\n");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(console.Run("send 0x000C 0 0"), "");
    EXPECT_EQ(log, (std::vector<Arrived>{{WM_SETTEXT, 0, 0}}));
    EXPECT_EQ(console.Run("post 0x000C 0 0"),
              "error: the system refuses to post message 0x000C: its data is copied only when it "
              "is sent (ERROR_MESSAGE_SYNC_ONLY)\n");
    EXPECT_EQ(console.Run("post 0x0046 0 7"),
              "error: the system refuses to post message 0x0046: its data is copied only when it "
              "is sent (ERROR_MESSAGE_SYNC_ONLY)\n");

    // A posted timer message with a number that is no timer procedure is dropped, not called.
    log.clear();
    EXPECT_EQ(console.Run("post 0x0113 0 4"), "");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(console.Run("post 0x0113 5 0"), "");
    EXPECT_EQ(log, (std::vector<Arrived>{{WM_TIMER, 5, 0}}));
    arrived = nullptr;
}

}  // namespace

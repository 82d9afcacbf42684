// Messages from another program as Windows carries them: the copied family arrives as the
// receiver's own copy (or the send fails in the sender), cannot be posted, and passes a null
// pointer as null; every other message arrives with the sender's raw values.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

constexpr UINT kCopyData = 0x004A;
constexpr UINT kNcCalcSize = 0x0083;
constexpr UINT kDeviceChange = 0x0219;

struct Received {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    std::string text;  // WM_SETTEXT's text, WM_COPYDATA's payload
};

std::vector<Received>* received = nullptr;
int timer_calls = 0;

// The copy of COPYDATASTRUCT as the receiver sees it.
struct CopyData {
    ULONG_PTR dwData;
    DWORD cbData;
    void* lpData;
};

LRESULT CALLBACK ReceivingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Received entry{message, wparam, lparam, {}};
    if (message == WM_SETTEXT && lparam) {
        entry.text = reinterpret_cast<const char*>(lparam);
    }
    if (message == kCopyData && lparam) {
        const auto* data = reinterpret_cast<const CopyData*>(lparam);
        entry.text.assign(static_cast<const char*>(data->lpData), data->cbData);
        entry.wparam = data->dwData;
    }
    if (message == WM_WINDOWPOSCHANGING && lparam) {
        // The receiver changes the structure; the sender gets the change back.
        reinterpret_cast<WINDOWPOS*>(lparam)->flags |= SWP_NOMOVE;
    }
    if (message == kNcCalcSize && wparam && lparam) {
        // The position pointer inside the copy points at the copy's own WINDOWPOS.
        auto* base = reinterpret_cast<std::uint8_t*>(lparam);
        WINDOWPOS* position = *reinterpret_cast<WINDOWPOS**>(base + 48);
        entry.text = position == reinterpret_cast<WINDOWPOS*>(base + 56) ? "inside" : "outside";
        entry.wparam = static_cast<WPARAM>(position->cx);
    }
    if (message != WM_PAINT && message != WM_SHOWWINDOW && message != WM_WINDOWPOSCHANGED) {
        received->push_back(entry);
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

void CALLBACK CountingTimer(HWND, UINT, UINT_PTR, DWORD) {
    ++timer_calls;
}

class OtherProgramMessagesTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Received> log;
    HWND window = nullptr;

    void SetUp() override {
        received = &log;
        timer_calls = 0;
        desktop.Start([this] {
            window = machine.windows().Create(u"Receiver", u"Before", WS_POPUP, 0, nullptr, 0,
                                              RECT{0, 0, 100, 100}, ReceivingProc);
            SetTimer(nullptr, 0, 1000, CountingTimer);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        });
    }
    void TearDown() override { received = nullptr; }
};

TEST_F(OtherProgramMessagesTest, CopiedTextsArriveAsTheReceiversCopy) {
    const sim::MessageData text = sim::MessageData::Text("After");
    const auto set = desktop.SendFromOtherProgram(window, WM_SETTEXT, 0, 0x1234, text);
    ASSERT_TRUE(set.delivered);
    EXPECT_EQ(set.answer, TRUE);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, "After");
    EXPECT_NE(log[0].lparam, 0x1234) << "the receiver never sees the sender's pointer";
    EXPECT_EQ(machine.windows().Find(window)->title, u"After");

    // A text read back lands in the sender's buffer, cut to its size.
    const auto get =
        desktop.SendFromOtherProgram(window, WM_GETTEXT, 4, 0x1234, sim::MessageData::Buffer(4));
    ASSERT_TRUE(get.delivered);
    EXPECT_EQ(get.answer, 3);
    EXPECT_EQ(std::string(get.returned.begin(), get.returned.end()), std::string("Aft\0", 4));

    // Data that cannot be read makes the send fail in the sender; nothing arrives.
    log.clear();
    for (const auto& [message, wparam, data] :
         std::vector<std::tuple<UINT, WPARAM, std::optional<sim::MessageData>>>{
             {WM_SETTEXT, 0, std::nullopt},
             {WM_SETTEXT, 0, sim::MessageData{{'n', 'o', 'e', 'n', 'd'}}},
             {WM_GETTEXT, 64, sim::MessageData::Buffer(16)},
             {WM_WINDOWPOSCHANGING, 0, sim::MessageData::Buffer(8)},
             {kCopyData, 0, std::nullopt}}) {
        const auto failed = desktop.SendFromOtherProgram(window, message, wparam, 0x1234, data);
        EXPECT_FALSE(failed.delivered) << message;
        EXPECT_EQ(failed.error, static_cast<DWORD>(ERROR_NOACCESS)) << message;
    }
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(machine.windows().Find(window)->title, u"After");

    // A null pointer passes as null.
    const auto null_text = desktop.SendFromOtherProgram(window, WM_SETTEXT, 0, 0);
    EXPECT_TRUE(null_text.delivered);
    const auto null_position = desktop.SendFromOtherProgram(window, WM_WINDOWPOSCHANGING, 0, 0);
    EXPECT_TRUE(null_position.delivered);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].lparam, 0);
    EXPECT_EQ(log[1].lparam, 0);
    EXPECT_EQ(machine.windows().Find(window)->title, u"");

    EXPECT_FALSE(desktop.SendFromOtherProgram(nullptr, WM_SETTEXT, 0, 0).delivered);
    EXPECT_EQ(desktop.SendFromOtherProgram(nullptr, WM_SETTEXT, 0, 0).error,
              static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(OtherProgramMessagesTest, CopiedStructuresGoThereAndBack) {
    WINDOWPOS position{window, nullptr, 1, 2, 3, 4, SWP_NOZORDER};
    sim::MessageData bytes;
    bytes.bytes.resize(sizeof(position));
    std::memcpy(bytes.bytes.data(), &position, sizeof(position));
    const auto changing =
        desktop.SendFromOtherProgram(window, WM_WINDOWPOSCHANGING, 0, 0x10, bytes);
    ASSERT_TRUE(changing.delivered);
    ASSERT_EQ(changing.returned.size(), sizeof(WINDOWPOS));
    WINDOWPOS back{};
    std::memcpy(&back, changing.returned.data(), sizeof(back));
    EXPECT_EQ(back.flags, static_cast<UINT>(SWP_NOZORDER | SWP_NOMOVE));
    EXPECT_EQ(back.cx, 3);

    // NCCALCSIZE_PARAMS carries its WINDOWPOS along, and points at the copy of it.
    sim::MessageData calc;
    calc.bytes.resize(56 + sizeof(WINDOWPOS));
    position.cx = 77;
    std::memcpy(calc.bytes.data() + 56, &position, sizeof(position));
    ASSERT_TRUE(desktop.SendFromOtherProgram(window, kNcCalcSize, TRUE, 0x10, calc).delivered);

    sim::MessageData payload = sim::MessageData::Text("bytes");
    payload.id = 42;
    ASSERT_TRUE(desktop.SendFromOtherProgram(window, kCopyData, 0, 0x10, payload).delivered);

    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].text, "inside");
    EXPECT_EQ(log[1].wparam, 77u);
    EXPECT_EQ(log[2].text, std::string("bytes\0", 6));
    EXPECT_EQ(log[2].wparam, 42u);
}

TEST_F(OtherProgramMessagesTest, CopiedMessagesCannotBePostedOthersArriveRaw) {
    for (const auto& [message, wparam] : std::vector<std::pair<UINT, WPARAM>>{
             {WM_SETTEXT, 0}, {WM_WINDOWPOSCHANGING, 0}, {kCopyData, 0}, {kDeviceChange, 0x8000}}) {
        const auto posted = desktop.PostFromOtherProgram(window, message, wparam, 0);
        EXPECT_FALSE(posted.delivered) << message;
        EXPECT_EQ(posted.error, static_cast<DWORD>(ERROR_MESSAGE_SYNC_ONLY)) << message;
    }
    EXPECT_TRUE(log.empty());

    // Not copied: notifications, owner-draw messages, dialog initialisation, device events
    // without data, the program's own messages: the sender's numbers, sent or posted.
    const UINT registered = RegisterWindowMessageA("SomeoneElsesMessage");
    const std::vector<std::pair<UINT, LPARAM>> raw = {
        {WM_NOTIFY, 0x1234},  {WM_DRAWITEM, 0x5678}, {WM_INITDIALOG, 0x9ABC},
        {kDeviceChange, 0x7}, {WM_USER + 5, -1},     {WM_APP + 5, 0x7FFF'FFFF'FFFF},
        {registered, 0x1111}};
    for (const auto& [message, lparam] : raw) {
        EXPECT_TRUE(desktop.SendFromOtherProgram(window, message, 3, lparam).delivered);
        EXPECT_TRUE(desktop.PostFromOtherProgram(window, message, 3, lparam).delivered);
    }
    ASSERT_EQ(log.size(), raw.size() * 2);
    for (size_t i = 0; i < raw.size(); ++i) {
        for (const Received& got : {log[2 * i], log[2 * i + 1]}) {
            EXPECT_EQ(got.message, raw[i].first);
            EXPECT_EQ(got.wparam, 3u);
            EXPECT_EQ(got.lparam, raw[i].second);
        }
    }

    // The program's own posts of the copied family fail alike.
    log.clear();
    BOOL posted = TRUE;
    DWORD error = 0;
    desktop.Start([&] {
        posted = PostMessageA(window, WM_SETTEXT, 0, 0);
        error = GetLastError();
    });
    EXPECT_FALSE(posted);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MESSAGE_SYNC_ONLY));
}

TEST_F(OtherProgramMessagesTest, PostedTimerCallsOnlyTheProgramsOwnTimerProcedure) {
    desktop.Wait(1000);
    EXPECT_EQ(timer_calls, 1);
    // Another program's number in lParam is never called: the message is dropped.
    ASSERT_TRUE(desktop.PostFromOtherProgram(window, WM_TIMER, 0, 4).delivered);
    EXPECT_EQ(timer_calls, 1);
    EXPECT_TRUE(log.empty());
    // The program's own timer procedure is called, as its own timer would call it.
    ASSERT_TRUE(
        desktop.PostFromOtherProgram(window, WM_TIMER, 0, reinterpret_cast<LPARAM>(&CountingTimer))
            .delivered);
    EXPECT_EQ(timer_calls, 2);
    // Without a procedure the window's own procedure takes it.
    ASSERT_TRUE(desktop.PostFromOtherProgram(window, WM_TIMER, 9, 0).delivered);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(log[0].wparam, 9u);
}

}  // namespace

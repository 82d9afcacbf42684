// Where a message comes from, as a window procedure and a message hook see it: InSendMessageEx
// for sent, notified and posted messages, and WH_GETMESSAGE hooks in every loop that takes
// messages from the queue.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

constexpr UINT kRecord = WM_APP + 1;      // records how it arrived
constexpr UINT kSendInside = WM_APP + 2;  // records, then sends kRecord to itself, then records
constexpr UINT kOpenMenu = WM_APP + 3;    // tracks a popup menu on the window
constexpr UINT kUnhook = WM_APP + 4;      // unhooks the recording hook
constexpr UINT kOpenFile = WM_APP + 5;    // asks for a file with the file dialog
constexpr UINT kReplyAndOpenMenu = WM_APP + 6;  // answers its sender with 7, then as kOpenMenu

struct Seen {
    UINT message;
    DWORD how;  // InSendMessageEx
    bool operator==(const Seen&) const = default;
};

std::vector<Seen>* seen = nullptr;
std::vector<UINT>* hooked = nullptr;
std::vector<WPARAM>* hook_removes = nullptr;
HMENU* open_menu = nullptr;
HHOOK* installed = nullptr;
std::vector<BOOL>* unhooks = nullptr;
std::vector<DWORD>* unhook_codes = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case kRecord:
            seen->push_back(Seen{message, InSendMessageEx(nullptr)});
            return 0;
        case kSendInside:
            seen->push_back(Seen{message, InSendMessageEx(nullptr)});
            SendMessageA(hwnd, kRecord, 0, 0);
            seen->push_back(Seen{message, InSendMessageEx(nullptr)});
            return 0;
        case kReplyAndOpenMenu:
            seen->push_back(Seen{message, static_cast<DWORD>(ReplyMessage(7))});
            seen->push_back(Seen{message, static_cast<DWORD>(ReplyMessage(8))});
            seen->push_back(Seen{message, InSendMessageEx(nullptr)});
            TrackPopupMenu(*open_menu, 0, 0, 0, 0, hwnd, nullptr);
            return 9;
        case kOpenMenu:
            TrackPopupMenu(*open_menu, 0, 0, 0, 0, hwnd, nullptr);
            return 0;
        case kOpenFile: {
            char file[MAX_PATH] = "";
            OPENFILENAMEA request{};
            request.lStructSize = sizeof(request);
            request.hwndOwner = hwnd;
            request.lpstrFile = file;
            request.nMaxFile = MAX_PATH;
            GetOpenFileNameA(&request);
            return 0;
        }
        case kUnhook:
            SetLastError(0);
            unhooks->push_back(UnhookWindowsHookEx(*installed));
            unhook_codes->push_back(GetLastError());
            return 0;
        case WM_TIMER:
            seen->push_back(Seen{message, InSendMessageEx(nullptr)});
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

LRESULT CALLBACK RecordingHook(int code, WPARAM wparam, LPARAM lparam) {
    EXPECT_EQ(code, HC_ACTION);
    auto* msg = reinterpret_cast<MSG*>(lparam);
    hooked->push_back(msg->message);
    hook_removes->push_back(wparam);
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// An older hook in the chain: turns every kRecord into WM_NULL, as a program's guard would.
LRESULT CALLBACK SilencingHook(int code, WPARAM wparam, LPARAM lparam) {
    auto* msg = reinterpret_cast<MSG*>(lparam);
    if (msg->message == kRecord) {
        msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

class MessageSourceTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Seen> log;
    std::vector<UINT> hook_log;
    std::vector<WPARAM> remove_log;
    HMENU menu = nullptr;
    HHOOK hook = nullptr;
    std::vector<BOOL> unhook_results;
    std::vector<DWORD> unhook_errors;
    HWND window = nullptr;
    DWORD window_thread = 0;

    void SetUp() override {
        seen = &log;
        hooked = &hook_log;
        hook_removes = &remove_log;
        open_menu = &menu;
        installed = &hook;
        unhooks = &unhook_results;
        unhook_codes = &unhook_errors;
    }
    void TearDown() override {
        seen = nullptr;
        hooked = nullptr;
        hook_removes = nullptr;
        open_menu = nullptr;
        installed = nullptr;
        unhooks = nullptr;
        unhook_codes = nullptr;
    }

    // A program whose main thread makes one window, runs `before_loop` and pumps messages.
    sim::ProcessId StartPumping(std::function<void()> before_loop = nullptr) {
        return desktop.Start([this, before_loop] {
            window_thread = GetCurrentThreadId();
            window = machine.windows().Create(u"SourceWindow", u"Source", WS_POPUP, 0, nullptr, 0,
                                              RECT{0, 0, 100, 100}, RecordingProc);
            if (before_loop) {
                before_loop();
            }
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        });
    }
    // Another program, whose thread runs `body` once.
    void FromAnotherProgram(std::function<void()> body) { desktop.Start(std::move(body)); }
};

TEST_F(MessageSourceTest, InSendMessageExTellsHowTheMessageCame) {
    StartPumping([this] { SetTimer(window, 1, 100, nullptr); });
    EXPECT_EQ(InSendMessageEx(nullptr), static_cast<DWORD>(ISMEX_NOSEND)) << "nothing is handled";

    desktop.Send(window, kRecord, 0, 0);
    desktop.Post(window, kRecord, 0, 0);
    FromAnotherProgram([this] { SendMessageA(window, kRecord, 0, 0); });
    FromAnotherProgram([this] { machine.windows().SendNotify(window, kRecord, 0, 0); });
    desktop.Wait(100);
    EXPECT_EQ(log, (std::vector<Seen>{{kRecord, ISMEX_SEND},
                                      {kRecord, ISMEX_NOSEND},
                                      {kRecord, ISMEX_SEND},
                                      {kRecord, ISMEX_NOTIFY},
                                      {WM_TIMER, ISMEX_NOSEND}}))
        << "the driver's send, a post, another program's send and notification, a timer";

    // As on Windows, the answer is the thread's: what the handler of another thread's message
    // sends itself is reported as that message.
    log.clear();
    desktop.Send(window, kSendInside, 0, 0);
    EXPECT_EQ(log,
              (std::vector<Seen>{
                  {kSendInside, ISMEX_SEND}, {kRecord, ISMEX_SEND}, {kSendInside, ISMEX_SEND}}));
    log.clear();
    desktop.Post(window, kSendInside, 0, 0);
    desktop.Settle();
    EXPECT_EQ(log, (std::vector<Seen>{{kSendInside, ISMEX_NOSEND},
                                      {kRecord, ISMEX_NOSEND},
                                      {kSendInside, ISMEX_NOSEND}}));
}

TEST_F(MessageSourceTest, ModalLoopInsideASentMessageReportsItUntilReplied) {
    StartPumping([this] {
        menu = machine.menus().CreatePopup();
        AppendMenuA(menu, MF_STRING, 42, "Item");
    });
    bool answered = false;
    FromAnotherProgram([this, &answered] {
        SendMessageA(window, kOpenMenu, 0, 0);
        answered = true;
    });
    ASSERT_TRUE(desktop.MenuOpen());
    desktop.Post(window, kRecord, 0, 0);
    desktop.Send(window, kRecord, 0, 0);
    desktop.Settle();
    // The posted message, dispatched by the menu's loop, is reported as the send the loop runs
    // in; the driver's send as itself.
    EXPECT_EQ(log, (std::vector<Seen>{{kRecord, ISMEX_SEND}, {kRecord, ISMEX_SEND}}));
    EXPECT_FALSE(answered);
    desktop.DismissMenu();
    EXPECT_TRUE(answered);
}

TEST_F(MessageSourceTest, ReplyMessageLetsTheSenderGoOn) {
    StartPumping([this] {
        menu = machine.menus().CreatePopup();
        AppendMenuA(menu, MF_STRING, 42, "Item");
        seen->push_back(Seen{0, static_cast<DWORD>(ReplyMessage(1))});
    });
    LRESULT answer = 0;
    bool answered = false;
    FromAnotherProgram([this, &answer, &answered] {
        answer = SendMessageA(window, kReplyAndOpenMenu, 0, 0);
        answered = true;
    });
    ASSERT_TRUE(desktop.MenuOpen());
    EXPECT_TRUE(answered) << "the sender has its answer while the loop runs";
    EXPECT_EQ(answer, 7) << "the first reply stands";
    desktop.Post(window, kRecord, 0, 0);
    desktop.DismissMenu();
    EXPECT_EQ(log, (std::vector<Seen>{{0, FALSE},
                                      {kReplyAndOpenMenu, TRUE},
                                      {kReplyAndOpenMenu, FALSE},
                                      {kReplyAndOpenMenu, ISMEX_SEND | ISMEX_REPLIED},
                                      {kRecord, ISMEX_SEND | ISMEX_REPLIED}}))
        << "nothing to answer outside a send; once replied, the thread says so";
}

TEST_F(MessageSourceTest, HooksSeeEveryMessageTakenInAnyLoop) {
    StartPumping([&] {
        hook = SetWindowsHookExA(WH_GETMESSAGE, RecordingHook, nullptr, GetCurrentThreadId());
        menu = machine.menus().CreatePopup();
        AppendMenuA(menu, MF_STRING, 42, "Item");
        SetTimer(window, 7, 100, nullptr);
        InvalidateRect(window, nullptr, TRUE);
    });
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(machine.resources().Open("hook"), 1);
    desktop.ShowWindow(window, SW_SHOW);
    desktop.Post(window, kRecord, 0, 0);
    desktop.Wait(100);
    EXPECT_EQ(hook_log, (std::vector<UINT>{WM_PAINT, kRecord, WM_TIMER}));
    EXPECT_EQ(remove_log, (std::vector<WPARAM>{PM_REMOVE, PM_REMOVE, PM_REMOVE}));

    // The popup menu's own loop takes messages through the hook too; sent messages pass by it.
    hook_log.clear();
    desktop.Post(window, kOpenMenu, 0, 0);
    desktop.Settle();
    ASSERT_TRUE(desktop.MenuOpen());
    desktop.Post(window, kRecord, 0, 0);
    desktop.Send(window, kRecord, 0, 0);
    desktop.Settle();
    EXPECT_EQ(hook_log, (std::vector<UINT>{kOpenMenu, kRecord}));
    desktop.DismissMenu();

    // So does the file dialog's, a repaint of the owner included.
    hook_log.clear();
    desktop.Post(window, kOpenFile, 0, 0);
    ASSERT_TRUE(desktop.FileDialogOpen());
    desktop.Post(window, kRecord, 0, 0);
    EXPECT_EQ(hook_log, (std::vector<UINT>{kOpenFile, WM_PAINT, kRecord}));
    desktop.AnswerFileDialog(std::nullopt);

    // Unhooked, it sees nothing more and is no longer counted; a second unhook fails.
    desktop.Post(window, kUnhook, 0, 0);
    desktop.Settle();
    EXPECT_EQ(unhook_results, (std::vector<BOOL>{TRUE}));
    EXPECT_EQ(machine.resources().Open("hook"), 0);
    hook_log.clear();
    desktop.Post(window, kRecord, 0, 0);
    desktop.Post(window, kUnhook, 0, 0);
    desktop.Settle();
    EXPECT_TRUE(hook_log.empty());
    EXPECT_EQ(unhook_results, (std::vector<BOOL>{TRUE, FALSE}));
    EXPECT_EQ(unhook_errors.back(), static_cast<DWORD>(ERROR_INVALID_HOOK_HANDLE));
}

TEST_F(MessageSourceTest, HookChainRunsNewestFirstAndItsChangeIsDispatched) {
    HHOOK silencing = nullptr;
    BOOL peeked = FALSE;
    MSG peek{};
    StartPumping([&] {
        silencing = SetWindowsHookExA(WH_GETMESSAGE, SilencingHook, nullptr, GetCurrentThreadId());
        hook = SetWindowsHookExA(WH_GETMESSAGE, RecordingHook, nullptr, GetCurrentThreadId());
        PostMessageA(window, kRecord, 0, 0);
        peeked = PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE);
    });
    ASSERT_NE(silencing, nullptr);
    EXPECT_TRUE(peeked);
    EXPECT_EQ(peek.message, static_cast<UINT>(WM_NULL)) << "PeekMessage returns the changed copy";
    EXPECT_EQ(hook_log, (std::vector<UINT>{kRecord, kRecord}));
    EXPECT_EQ(remove_log, (std::vector<WPARAM>{PM_NOREMOVE, PM_REMOVE}));
    EXPECT_TRUE(log.empty()) << "the loop dispatched WM_NULL in its place";
    EXPECT_EQ(machine.resources().Open("hook"), 2) << "hooks left in place show as held";

    // Hooks only for the caller's own thread, and the injected failure.
    FromAnotherProgram([this] {
        SetLastError(0);
        EXPECT_EQ(SetWindowsHookExA(WH_GETMESSAGE, RecordingHook, nullptr, window_thread), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        machine.faults().Fail("SetWindowsHookExA");
        EXPECT_EQ(SetWindowsHookExA(WH_GETMESSAGE, RecordingHook, nullptr, GetCurrentThreadId()),
                  nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    });
    EXPECT_EQ(machine.resources().Open("hook"), 2);
    EXPECT_TRUE(sim::FaultInjector::IsKnownOperation("SetWindowsHookExA"));
}

}  // namespace

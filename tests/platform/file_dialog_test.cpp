// GetOpenFileNameA on the simulated machine: a modal "Open" window over its owner that keeps the
// calling thread's messages flowing until the desktop's user picks a file or cancels.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

constexpr UINT kQuit = WM_APP + 8;
constexpr UINT kDestroy = WM_APP + 9;

struct Logged {
    UINT message;
    WPARAM wparam;
    bool operator==(const Logged&) const = default;
};

std::vector<Logged>* host_log = nullptr;

// A program's main window: logs what the test watches, quits when destroyed, and on request
// destroys itself or quits.
LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER || message == WM_ENABLE || (message >= WM_APP && message < kQuit)) {
        host_log->push_back(Logged{message, wparam});
    }
    switch (message) {
        case kQuit:
            PostQuitMessage(0);
            return 0;
        case kDestroy:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

// What one call returned and left in the caller's structure.
struct Outcome {
    BOOL result = FALSE;
    DWORD error = 0;
    std::string file;
    std::string title;
    WORD offset = 0;
    WORD extension = 0;
    WORD first_two_bytes = 0;
};

class FileDialogTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Logged> log;
    HWND host = nullptr;
    std::optional<Outcome> outcome;  // set once the call has returned

    void SetUp() override { host_log = &log; }
    void TearDown() override { host_log = nullptr; }

    // A program with a hidden main window (ticking every second) that asks for a file, owned by
    // its main window unless `owner` says otherwise, then runs its message loop.
    sim::ProcessId Open(DWORD max_file = MAX_PATH, std::optional<HWND> owner = std::nullopt,
                        std::function<void(OPENFILENAMEA&)> adjust = nullptr) {
        outcome.reset();
        return desktop.Start([this, max_file, owner, adjust] {
            host = machine.windows().Create(u"TestHost", u"Host", WS_POPUP, 0, nullptr, 0,
                                            RECT{0, 0, 100, 100}, HostProc);
            SetTimer(host, 5, 1000, nullptr);
            char file[400] = "initial.txt";
            char title[8] = "";
            OPENFILENAMEA ofn{};
            ofn.lStructSize = sizeof ofn;
            ofn.hwndOwner = owner.value_or(host);
            ofn.lpstrFilter = "Bitmaps\0*.bmp\0All files\0*.*\0";
            ofn.lpstrFile = file;
            ofn.nMaxFile = max_file;
            ofn.lpstrFileTitle = title;
            ofn.nMaxFileTitle = sizeof title;
            ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;
            if (adjust) {
                adjust(ofn);
            }
            Outcome result;
            result.result = GetOpenFileNameA(&ofn);
            result.error = CommDlgExtendedError();
            result.file = file;
            result.title = title;
            result.offset = ofn.nFileOffset;
            result.extension = ofn.nFileExtension;
            std::memcpy(&result.first_two_bytes, file, 2);
            outcome = result;
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        });
    }

    std::optional<sim::WindowView> View(HWND hwnd) const {
        for (const auto& view : desktop.TopLevelWindows()) {
            if (view.hwnd == hwnd) {
                return view;
            }
        }
        return std::nullopt;
    }

    void EndProgram() { desktop.Post(host, kDestroy, 0, 0); }
};

TEST_F(FileDialogTest, ModalOverItsOwnerUntilTheUserPicksAFile) {
    const auto process = Open();
    ASSERT_TRUE(desktop.FileDialogOpen());
    const HWND dialog = desktop.ActiveWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(outcome.has_value()) << "the call lasts while the dialog is open";
    const auto view = View(dialog);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->class_name, u"#32770");
    EXPECT_EQ(view->title, u"Open");
    EXPECT_TRUE(view->visible);
    EXPECT_TRUE(view->enabled);
    EXPECT_EQ(view->process, process);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), host);
    EXPECT_FALSE(IsWindowEnabled(host));
    EXPECT_EQ(machine.resources().Open("window"), 2);

    // The thread's messages keep flowing meanwhile.
    desktop.Wait(2000);
    desktop.Post(host, WM_APP + 1, 7, 0);
    EXPECT_EQ(desktop.Send(host, WM_APP + 2, 0, 0), 0) << "sent messages are answered";
    EXPECT_FALSE(outcome.has_value());

    EXPECT_FALSE(desktop.AnswerFileDialog("")) << "an empty name picks nothing";
    EXPECT_TRUE(desktop.FileDialogOpen());
    ASSERT_TRUE(desktop.AnswerFileDialog("C:\\Pictures\\frame 1.bmp"));
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->result);
    EXPECT_EQ(outcome->error, 0u);
    EXPECT_EQ(outcome->file, "C:\\Pictures\\frame 1.bmp");
    EXPECT_EQ(outcome->offset, 12);
    EXPECT_EQ(outcome->extension, 20);
    EXPECT_EQ(outcome->title, "frame 1") << "the file title is cut to its buffer";
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(log, (std::vector<Logged>{{WM_ENABLE, FALSE},
                                        {WM_TIMER, 5},
                                        {WM_TIMER, 5},
                                        {WM_APP + 1, 7},
                                        {WM_APP + 2, 0},
                                        {WM_ENABLE, TRUE}}));
    EXPECT_FALSE(desktop.FileDialogOpen());
    EXPECT_FALSE(desktop.AnswerFileDialog("C:\\again.bmp"));
    EXPECT_FALSE(desktop.AnswerFileDialog(std::nullopt));
    EXPECT_EQ(machine.resources().Open("window"), 1);
    EXPECT_TRUE(desktop.Running(process));
    EndProgram();
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

TEST_F(FileDialogTest, OffsetsCountAnsiBytesOfTheChosenPath) {
    struct Case {
        unsigned code_page;
        const char* path;  // UTF-8
        std::string ansi;
        WORD offset;
        WORD extension;
    };
    const std::vector<Case> cases = {
        {1252, "C:\\a.b\\readme", "C:\\a.b\\readme", 7, 0},
        {1252, "C:\\data\\archive.", "C:\\data\\archive.", 8, 0},
        {1252, "shot.jpeg", "shot.jpeg", 0, 5},
        {1252, "D:/x/y.z.png", "D:/x/y.z.png", 5, 9},
        {936, "C:\\\u56FE\u7247\\a.bmp", "C:\\\xCD\xBC\xC6\xAC\\a.bmp", 8, 10},
        // The second byte of this character is a backslash's.
        {950, "C:\\dir\\\u8A31.txt", "C:\\dir\\\xB3\x5C.txt", 7, 10},
        {1252, "C:\\\u8A31.txt", "C:\\?.txt", 3, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        machine.locale().ansi_code_page = c.code_page;
        Open();
        ASSERT_TRUE(desktop.AnswerFileDialog(c.path));
        ASSERT_TRUE(outcome);
        EXPECT_TRUE(outcome->result);
        EXPECT_EQ(outcome->file, c.ansi);
        EXPECT_EQ(outcome->offset, c.offset);
        EXPECT_EQ(outcome->extension, c.extension);
        EndProgram();
    }
}

TEST_F(FileDialogTest, BufferTooSmallEndsTheDialogWithTheSizeNeeded) {
    const std::string path = "C:\\Pictures\\frame.bmp";  // 21 bytes and the terminator
    Open(21);
    ASSERT_TRUE(desktop.AnswerFileDialog(path));
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->result);
    EXPECT_EQ(outcome->error, static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    EXPECT_EQ(outcome->first_two_bytes, 22);
    EXPECT_FALSE(desktop.FileDialogOpen());
    EXPECT_TRUE(IsWindowEnabled(host));
    EndProgram();

    Open(22);
    ASSERT_TRUE(desktop.AnswerFileDialog(path));
    EXPECT_TRUE(outcome->result);
    EXPECT_EQ(outcome->file, path);
    EndProgram();

    Open(1);
    ASSERT_TRUE(desktop.AnswerFileDialog(path));
    EXPECT_FALSE(outcome->result);
    EXPECT_EQ(outcome->error, static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    EXPECT_EQ(outcome->file, "initial.txt") << "no room even for the size";
    EndProgram();
}

TEST_F(FileDialogTest, EveryWayOfCancellingEndsTheCallAndReleasesAll) {
    struct Way {
        std::string name;
        std::function<void(HWND dialog)> cancel;
        bool ends_program;  // the main window is gone or the quit reached the program's loop
    };
    const std::vector<Way> ways = {
        {"cancel", [this](HWND) { EXPECT_TRUE(desktop.AnswerFileDialog(std::nullopt)); }, false},
        {"close box", [this](HWND) { EXPECT_TRUE(desktop.CloseActiveWindow()); }, false},
        {"Esc", [this](HWND dialog) { desktop.PressKey(dialog, VK_ESCAPE); }, false},
        {"Cancel", [this](HWND dialog) { desktop.Post(dialog, WM_COMMAND, IDCANCEL, 0); }, false},
        {"WM_CLOSE", [this](HWND dialog) { desktop.Post(dialog, WM_CLOSE, 0, 0); }, false},
        {"owner destroyed", [this](HWND) { desktop.Post(host, kDestroy, 0, 0); }, true},
        {"WM_QUIT", [this](HWND) { desktop.Post(host, kQuit, 0, 0); }, true},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        const auto process = Open();
        const HWND dialog = desktop.ActiveWindow();
        ASSERT_TRUE(desktop.FileDialogOpen());
        desktop.Post(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(desktop.FileDialogOpen()) << "Open with no file picked does nothing";
        way.cancel(dialog);
        ASSERT_TRUE(outcome);
        EXPECT_FALSE(outcome->result);
        EXPECT_EQ(outcome->error, 0u);
        EXPECT_EQ(outcome->file, "initial.txt");
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_FALSE(desktop.FileDialogOpen());
        if (!way.ends_program) {
            EXPECT_TRUE(IsWindowEnabled(host));
            EXPECT_TRUE(desktop.Running(process));
            EndProgram();
        }
        // A quit seen by the dialog's loop is left for the program's own loop, which ends.
        EXPECT_FALSE(desktop.Running(process));
        EXPECT_EQ(machine.resources().Open("window"), 0);
    }
}

TEST_F(FileDialogTest, TitlesOwnersAndFailures) {
    const std::vector<std::pair<unsigned short, std::u16string>> titles = {
        {2052, u"\u6253\u5F00"}, {1028, u"\u958B\u555F"}, {1031, u"Open"}};
    for (const auto& [language, title] : titles) {
        SCOPED_TRACE(language);
        machine.locale().ui_language = language;
        Open(MAX_PATH, nullptr);
        const HWND dialog = desktop.ActiveWindow();
        EXPECT_EQ(View(dialog)->title, title);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
        EXPECT_TRUE(IsWindowEnabled(host)) << "without an owner nothing is disabled";
        desktop.AnswerFileDialog(std::nullopt);
        EndProgram();
    }
    machine.locale().ui_language = 1033;

    // The caller's own title, and the structure of older callers.
    Open(MAX_PATH, std::nullopt, [](OPENFILENAMEA& ofn) {
        ofn.lpstrTitle = "Choose a frame";
        ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    });
    EXPECT_EQ(View(desktop.ActiveWindow())->title, u"Choose a frame");
    desktop.AnswerFileDialog("C:\\f.bmp");
    EXPECT_TRUE(outcome->result);
    EndProgram();

    // An owner that stays disabled, of another program.
    const HWND other = desktop.OpenWindow(u"", u"Other");
    EnableWindow(other, FALSE);
    Open(MAX_PATH, other);
    EXPECT_EQ(GetWindow(desktop.ActiveWindow(), GW_OWNER), other);
    desktop.AnswerFileDialog(std::nullopt);
    EXPECT_FALSE(IsWindowEnabled(other)) << "an owner disabled before stays disabled";
    EndProgram();

    // Failures before anything opens.
    const std::vector<std::pair<std::function<void(OPENFILENAMEA&)>, DWORD>> failures = {
        {[](OPENFILENAMEA& ofn) { ofn.lStructSize = 0; }, CDERR_STRUCTSIZE},
        {[](OPENFILENAMEA& ofn) { ofn.lStructSize += 4; }, CDERR_STRUCTSIZE},
        {[](OPENFILENAMEA& ofn) { ofn.hwndOwner = reinterpret_cast<HWND>(0x4242); },
         CDERR_DIALOGFAILURE},
        {[this](OPENFILENAMEA&) { machine.faults().Fail("GetOpenFileNameA"); },
         CDERR_DIALOGFAILURE},
        {[this](OPENFILENAMEA&) { machine.faults().Fail("GetOpenFileNameA", 1, 0x0009); }, 0x0009},
    };
    for (const auto& [adjust, error] : failures) {
        SCOPED_TRACE(error);
        Open(MAX_PATH, std::nullopt, adjust);
        ASSERT_TRUE(outcome);
        EXPECT_FALSE(outcome->result);
        EXPECT_EQ(outcome->error, error);
        EXPECT_FALSE(desktop.FileDialogOpen());
        EXPECT_TRUE(IsWindowEnabled(host));
        EndProgram();
    }
    EXPECT_TRUE(sim::FaultInjector::IsKnownOperation("GetOpenFileNameA"));
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

}  // namespace

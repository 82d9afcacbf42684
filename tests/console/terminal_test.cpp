// lumiset-sim for a person, on a pseudo-terminal: the welcome, the prompt, help, a mistyped
// command, line editing, history and completion, desktop changes told as they happen, a pause that
// waits for a still clock, and quit. The clock is kept still (--virtual) so nothing depends on how
// fast the machine runs; the followed clock has its own tests with an injected wall clock.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

class Terminal {
public:
    explicit Terminal(std::vector<std::string> options) {
        pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
        if (pid_ == 0) {
            setenv("TERM", "xterm", 1);
            setenv("HOME", "/nonexistent", 1);  // no editor settings of the user's own
            unsetenv("EDITRC");
            std::vector<char*> argv{const_cast<char*>(LUMISET_SIM)};
            for (auto& option : options) {
                argv.push_back(option.data());
            }
            argv.push_back(nullptr);
            execv(LUMISET_SIM, argv.data());
            _exit(127);
        }
    }
    ~Terminal() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) {
            close(master_);
        }
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool started() const { return pid_ > 0 && master_ >= 0; }

    void Type(std::string_view keys) {
        ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Reads until `text` appears in what has not been matched yet; false when it has not come
    // within the bound (which only a failing run reaches).
    bool Shows(std::string_view text) {
        constexpr int kBoundMs = 20000;
        while (true) {
            const size_t found = output_.find(text, matched_);
            if (found != std::string::npos) {
                matched_ = found + text.size();
                return true;
            }
            pollfd ready{master_, POLLIN, 0};
            if (poll(&ready, 1, kBoundMs) <= 0) {
                return false;
            }
            char buffer[4096];
            const ssize_t count = read(master_, buffer, sizeof buffer);
            if (count <= 0) {
                return false;
            }
            output_.append(buffer, static_cast<size_t>(count));
        }
    }
    // Everything not matched yet, read so far.
    std::string Unmatched() const { return output_.substr(matched_); }

    // The exit status once it has ended on its own.
    int ExitStatus() {
        // The terminal's output must be drained for the program to finish writing.
        while (Shows("\x01never printed\x01")) {
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int master_ = -1;
    bool exited_ = false;
    std::string output_;
    size_t matched_ = 0;
};

constexpr std::string_view kPrompt = "lumiset> ";

TEST(Terminal, APersonsSessionOnAStillClock) {
    Terminal terminal({"--virtual"});
    ASSERT_TRUE(terminal.started());
    ASSERT_TRUE(
        terminal.Shows("(the clock is still: \"wait MS\" moves it); \"help\" lists the "
                       "commands, \"quit\" ends.\r\n"));
    ASSERT_TRUE(
        terminal.Shows("note: Lumiset's timer is due in 1000 ms and the clock is still: "
                       "\"wait 1000\" lets it run\r\n"));
    ASSERT_TRUE(terminal.Shows(kPrompt));

    terminal.Type("hepl\r");
    EXPECT_TRUE(terminal.Shows("error: unknown command: hepl (did you mean \"help\"?"));
    terminal.Type("help wait\r");
    EXPECT_TRUE(terminal.Shows("usage: wait MS\r\nexample: wait 1000\r\n"));
    terminal.Type("tray\r");
    EXPECT_TRUE(terminal.Shows("\r\nno icons\r\n"));

    terminal.Type("wait 1000\r");
    EXPECT_TRUE(terminal.Shows("* the notification area shows icon 148 \"CV Lumen Webcam\""));
    // Line editing: to the start of the line, the stray letter deleted; then the line again from
    // the history.
    // Editing keys reach the editor only once it has the terminal again: at its prompt.
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("xtray\x01\x04\r");
    EXPECT_TRUE(terminal.Shows("\r\nicon 148 \"CV Lumen Webcam\"\r\n"));
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("\x10\r");
    EXPECT_TRUE(terminal.Shows("\r\nicon 148 \"CV Lumen Webcam\"\r\n"));
    // Tab completes a command's name.
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("stat\t\r");
    EXPECT_TRUE(terminal.Shows("\r\nrunning\r\n"));

    // Choosing 50Hz leaves Lumiset in its pause; the console says so, and a click waits for it.
    terminal.Type("tray rbuttonup\r");
    EXPECT_TRUE(terminal.Shows("* a menu opened"));
    terminal.Type("choose 50Hz\r");
    EXPECT_TRUE(
        terminal.Shows("* the menu closed\r\n* camera: power-line frequency 50 Hz\r\nnote: Lumiset "
                       "pauses for 10 ms and the clock "
                       "is still: \"wait 10\" lets it go on\r\n"));
    terminal.Type("tray rbuttonup\r");
    EXPECT_TRUE(terminal.Shows("note: Lumiset pauses for 10 ms"));
    terminal.Type("wait 10\r");
    EXPECT_TRUE(terminal.Shows("* a menu opened"));

    terminal.Type("quit\r");
    EXPECT_EQ(terminal.ExitStatus(), 0);
    EXPECT_EQ(terminal.Unmatched().find("error"), std::string::npos) << terminal.Unmatched();
}

// A person is told what a command changed in the camera, the words of other programs point to
// the command that does it, and Ctrl-C, even on a half-typed line, ends the console as quit does.
TEST(Terminal, CameraNewsFriendlyWordsAndCtrlC) {
    Terminal terminal({"--virtual"});
    ASSERT_TRUE(terminal.started());
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("exit\r");
    EXPECT_TRUE(
        terminal.Shows("error: exit is not a console command: quit ends the console; "
                       "lumisetctl exit ends Lumiset\r\n"));
    terminal.Type("settings\r");
    EXPECT_TRUE(terminal.Shows("error: settings is not a console command: page image opens"));
    terminal.Type("wait 1000\r");
    ASSERT_TRUE(terminal.Shows("* the notification area shows icon 148"));
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("tray rbuttonup\r");
    ASSERT_TRUE(terminal.Shows("* a menu opened"));
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("choose 50hz\r");
    EXPECT_TRUE(terminal.Shows("* the menu closed\r\n* camera: power-line frequency 50 Hz\r\n"));
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("device disable 1\r");
    EXPECT_TRUE(terminal.Shows("\r\n* camera: device 1 disabled\r\n"));
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("device enable 1\r");
    EXPECT_TRUE(terminal.Shows("\r\n* camera: device 1 started\r\n"));
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("stat");
    terminal.Type("\x03");
    EXPECT_EQ(terminal.ExitStatus(), 0);
    EXPECT_EQ(terminal.Unmatched().find("error"), std::string::npos) << terminal.Unmatched();
}

TEST(Terminal, WelcomeOnTheFollowedClockAndTheEndOfInput) {
    Terminal terminal({});
    ASSERT_TRUE(terminal.started());
    ASSERT_TRUE(
        terminal.Shows("Lumiset is running on a simulated Windows desktop with a camera; "
                       "\"help\" lists the commands, \"quit\" ends.\r\n"));
    ASSERT_TRUE(terminal.Shows(kPrompt));
    terminal.Type("\x04");  // the end of input ends it as quit does
    EXPECT_EQ(terminal.ExitStatus(), 0);
}

}  // namespace

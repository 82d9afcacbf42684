// Every message id below WM_USER, sent and posted by another program with wParam and lParam each
// one of a few telling values, to each window of Lumiset's, with the message hook in place and
// refused: nothing crashes or hangs, Lumiset answers a WM_NULL after each case and still runs at
// the end; what ends it by its own rules ends it the orderly way.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/outside_messages.h"
#include "framework/wnd.h"
#include "res/resource.h"
#include "tests/reliability/lumiset_rig.h"

namespace reliability {
namespace {

constexpr UINT kLastId = 0x3FF;
constexpr LPARAM kValues[] = {0, 1, 0x10, -1, 0x7fffffff};
constexpr const char16_t* kAboutTitle = u"\u5173\u4e8e Lumiset";

enum class Target { kHost, kSettings, kImagePage, kEffectPage, kZoom, kAbout, kPropertyFrame };

struct SweepCase {
    Target target;
    bool hook_refused;
    std::string name;
};

class Sweep {
public:
    explicit Sweep(const SweepCase& sweep) : sweep_(sweep) {
        if (sweep_.hook_refused) {
            rig_.machine.faults().Fail("SetWindowsHookExA", sim::FaultInjector::kAlways);
        }
        rig_.Start();
        Prepare();
    }

    // The case's window: sent (through the system, which copies what it copies and fails a
    // send whose data it cannot read) or posted (which the system refuses for the copied family).
    // A message the window does not take from outside reaches neither the dialog manager's
    // default processing (sent) nor the window at all (posted); what went wrong, if anything.
    std::string Deliver(UINT message, WPARAM wParam, LPARAM lParam, bool post) {
        const HWND target = target_;
        const sim::MessageCounts before = Counts(target, message);
        // The system's property frame takes what the system lets it.
        const bool ours = CWnd::FromHandlePermanent(target) != nullptr;
        if (post) {
            rig_.desktop.PostFromOtherProgram(target, message, wParam, lParam);
            const MSG msg{target, message, wParam, lParam, 0, {}};
            if (ours && !framework::MayDispatch(msg) &&
                Counts(target, message).dispatched != before.dispatched) {
                return "dispatched";
            }
        } else {
            rig_.desktop.SendFromOtherProgram(target, message, wParam, lParam, std::nullopt);
            if (ours && !framework::AcceptsSentFromOutside(target, message, wParam) &&
                !AnsweredByItsDefault(message) &&
                Counts(target, message).defaulted != before.defaulted) {
                return "left to the default processing";
            }
        }
        return {};
    }

    // What went wrong after a case, and the rig made ready for the next one.
    std::vector<std::string> CheckAndRestore(UINT message, WPARAM wParam, bool post) {
        std::vector<std::string> problems;
        if (!rig_.Running()) {
            // Commands 1 and 2 end the host as specified, with what it holds gone. Without the
            // message hook, the system's frame ends its own loop on another program's WM_QUIT
            // and hands the quit on to the host's, as every modal loop does: the program ends,
            // the orderly way.
            const bool as_specified = (sweep_.target == Target::kHost && message == WM_COMMAND &&
                                       (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) ||
                                      (sweep_.target == Target::kPropertyFrame &&
                                       sweep_.hook_refused && message == WM_QUIT && post);
            if (!as_specified) {
                problems.push_back("the program ended");
            }
            for (const std::string& left : rig_.Leftovers()) {
                problems.push_back("left behind: " + left);
            }
            rig_.Restart();
            Prepare();
            return problems;
        }
        if (!rig_.desktop.Send(rig_.Host(), WM_NULL, 0, 0)) {
            problems.push_back("no answer to WM_NULL");
        }
        if (OwnWindows() != baseline_ || rig_.desktop.MenuOpen()) {
            // A close, a command or the About rule changed what is open: start again.
            ++restarts_;
            if (!rig_.End()) {
                problems.push_back("the program did not end at Exit");
            }
            rig_.Restart();
            Prepare();
        }
        return problems;
    }

    bool EndsAtExit() { return rig_.End() && rig_.Leftovers().empty(); }
    bool Running() const { return rig_.Running(); }
    int restarts() const { return restarts_; }

private:
    void Prepare() {
        rig_.desktop.Wait(1000);
        target_ = OpenTarget();
        baseline_ = OwnWindows();
    }

    HWND OpenTarget() {
        switch (sweep_.target) {
            case Target::kHost:
                return rig_.Host();
            case Target::kSettings:
                rig_.OpenSettings(0);
                return rig_.Settings();
            case Target::kImagePage:
                rig_.OpenSettings(0);
                return VisiblePage();
            case Target::kEffectPage:
                rig_.OpenSettings(1);
                return VisiblePage();
            case Target::kZoom:
                rig_.Command(ID_ZOOM);
                return rig_.Zoom();
            case Target::kAbout:
                rig_.desktop.Post(rig_.Host(), WM_SYSCOMMAND, 0x0010, 0);
                return rig_.desktop.FindTopLevel(u"#32770", kAboutTitle);
            case Target::kPropertyFrame:
                rig_.Command(ID_OPEN_PROPERTY_PAGE);
                return rig_.PropertyFrame();
        }
        return nullptr;
    }

    sim::MessageCounts Counts(HWND window, UINT message) {
        const sim::Window* found = rig_.machine.windows().Find(window);
        if (found == nullptr || !found->counts.contains(message)) {
            return {};
        }
        return found->counts.at(message);
    }

    // Whose answer is the dialog procedure's own result, where refusing means the default.
    static bool AnsweredByItsDefault(UINT message) {
        return message == WM_QUERYDRAGICON || message == WM_COMPAREITEM || message == 0x002E ||
               message == 0x002F || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
    }

    HWND VisiblePage() {
        for (HWND child : rig_.machine.windows().Children(rig_.Settings())) {
            const sim::Window* window = rig_.machine.windows().Find(child);
            if (window->class_name == u"#32770" && window->Visible()) {
                return child;
            }
        }
        return nullptr;
    }

    // Lumiset's windows on the screen, with the page shown.
    std::set<HWND> OwnWindows() {
        std::set<HWND> open;
        for (const sim::WindowView& window : rig_.desktop.TopLevelWindows()) {
            if (window.process != 0 && window.visible) {
                open.insert(window.hwnd);
            }
        }
        if (rig_.Settings() != nullptr) {
            open.insert(VisiblePage());
        }
        return open;
    }

    const SweepCase& sweep_;
    LumisetRig rig_;
    HWND target_ = nullptr;
    std::set<HWND> baseline_;
    int restarts_ = 0;
};

void PrintTo(const SweepCase& sweep, std::ostream* out) {
    *out << sweep.name;
}

class OutsideMessageSweep : public ::testing::TestWithParam<SweepCase> {};

TEST_P(OutsideMessageSweep, EveryMessageSentAndPosted) {
    Sweep sweep(GetParam());
    int cases = 0;
    int failures = 0;
    for (UINT message = 0; message <= kLastId; ++message) {
        for (const bool post : {false, true}) {
            for (const LPARAM wParam : kValues) {
                for (const LPARAM lParam : kValues) {
                    ++cases;
                    std::vector<std::string> problems;
                    if (std::string refusal =
                            sweep.Deliver(message, static_cast<WPARAM>(wParam), lParam, post);
                        !refusal.empty()) {
                        problems.push_back(std::move(refusal));
                    }
                    for (std::string& problem :
                         sweep.CheckAndRestore(message, static_cast<WPARAM>(wParam), post)) {
                        problems.push_back(std::move(problem));
                    }
                    for (const std::string& problem : problems) {
                        if (++failures <= 20) {
                            ADD_FAILURE()
                                << (post ? "post " : "send ") << std::hex << "0x" << message
                                << " 0x" << wParam << " 0x" << lParam << ": " << problem;
                        }
                    }
                }
            }
        }
    }
    EXPECT_TRUE(sweep.Running());
    EXPECT_TRUE(sweep.EndsAtExit()) << "everything released at Exit";
    EXPECT_EQ(failures, 0);
    std::printf("%s: %d cases, %d restarts\n", GetParam().name.c_str(), cases, sweep.restarts());
}

std::vector<SweepCase> AllSweeps() {
    const std::pair<Target, const char*> targets[] = {
        {Target::kHost, "Host"},
        {Target::kSettings, "Settings"},
        {Target::kImagePage, "ImagePage"},
        {Target::kEffectPage, "EffectPage"},
        {Target::kZoom, "Zoom"},
        {Target::kAbout, "About"},
        {Target::kPropertyFrame, "PropertyFrame"},
    };
    std::vector<SweepCase> sweeps;
    for (const bool refused : {false, true}) {
        for (const auto& [target, name] : targets) {
            sweeps.push_back({target, refused, std::string(name) + (refused ? "HookRefused" : "")});
        }
    }
    return sweeps;
}

INSTANTIATE_TEST_SUITE_P(Windows, OutsideMessageSweep, ::testing::ValuesIn(AllSweeps()),
                         [](const ::testing::TestParamInfo<SweepCase>& param) {
                             return param.param.name;
                         });

}  // namespace
}  // namespace reliability

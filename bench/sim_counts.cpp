// lumiset_sim_counts: what Lumiset asks of the simulated machine for its everyday actions, and
// how long a simulated day of ticks takes in real time. `make bench` prints it; the numbers are
// counts, exact on every run, except the day's time.
//
//   lumiset_sim_counts [--days N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <string_view>

#include "framework/win_app.h"
#include "platform/sim/desktop.h"
#include "res/resource.h"
#include "res/resource_bytes.h"

namespace {

constexpr UINT kTrayIconId = 148;
constexpr sim::Millis kSecond = 1000;
constexpr sim::Millis kZoomTick = 20;
constexpr sim::Millis kDay = 24 * 60 * 60 * kSecond;

int Total(const std::map<std::string, int, std::less<>>& calls) {
    int total = 0;
    for (const auto& [name, count] : calls) {
        total += count;
    }
    return total;
}

int CountOf(const std::map<std::string, int, std::less<>>& calls, std::string_view name) {
    const auto found = calls.find(name);
    return found != calls.end() ? found->second : 0;
}

std::string List(const std::map<std::string, int, std::less<>>& calls) {
    std::string text;
    for (const auto& [name, count] : calls) {
        text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
    }
    return text;
}

int CountPrefix(const std::vector<std::string>& log, std::string_view prefix) {
    int count = 0;
    for (const std::string& line : log) {
        count += line.starts_with(prefix) ? 1 : 0;
    }
    return count;
}

class Session {
public:
    Session() {
        if (!machine_.program().LoadResources(LumisetResourceBytes())) {
            std::fputs("lumiset_sim_counts: the program's resources could not be loaded\n", stderr);
            std::exit(1);
        }
        camera_ = &machine_.video().PlugInCamera(sim::CameraModel::A);
        camera_->driver.ConfigurePowerLine(2);
        desktop_.Start([] {
            char command_line[] = "";
            AfxWinMain(GetModuleHandleA(nullptr), nullptr, command_line, SW_SHOWDEFAULT);
        });
        desktop_.Wait(kSecond + kSecond / 2);  // the first tick has added the icon
    }
    ~Session() {
        desktop_.Post(Host(), WM_COMMAND, ID_EXIT, 0);
        for (int open = 0; open < 8 && Host() && desktop_.CloseActiveWindow(); ++open) {
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    HWND Host() const { return desktop_.FindTopLevel(u"#32770", u"Property"); }

    // The platform calls made while `action` runs, by operation.
    template <typename Action>
    std::map<std::string, int, std::less<>> Calls(Action action) {
        const sim::FaultInjector& faults = machine_.faults();
        std::map<std::string, int, std::less<>> before;
        for (const std::string_view operation : sim::FaultInjector::KnownOperations()) {
            before[std::string(operation)] = faults.Calls(operation);
        }
        action();
        std::map<std::string, int, std::less<>> made;
        for (const auto& [operation, count] : before) {
            if (const int more = faults.Calls(operation) - count; more > 0) {
                made[operation] = more;
            }
        }
        return made;
    }

    void Tick() {
        const auto calls = Calls([&] { desktop_.Wait(kSecond); });
        std::printf("one tick: %d platform calls (%s); goal 4\n", Total(calls),
                    List(calls).c_str());
    }

    void TrayMenu() {
        const auto calls = Calls([&] { desktop_.TrayEvent(Host(), kTrayIconId, WM_RBUTTONUP); });
        std::printf(
            "one tray-menu opening: %d device walks, %d capture-filter bindings (%d platform "
            "calls); goal 1 and 1\n",
            CountOf(calls, "SetupDiGetClassDevsA"), CountOf(calls, "IMoniker::BindToObject"),
            Total(calls));
        desktop_.DismissMenu();
    }

    void ZoomTick() {
        desktop_.Post(Host(), WM_COMMAND, ID_ZOOM, 0);
        const HWND zoom = desktop_.ActiveWindow();
        desktop_.ClickControl(desktop_.VisibleControl(zoom, IDC_ZOOM_ENABLE));
        camera_->driver.ClearLog();
        desktop_.Wait(kZoomTick);
        const auto& log = camera_->driver.Log();
        std::printf(
            "one Zoom tick with zoom on: %zu driver requests (%d reads, %d writes); goal 5\n",
            log.size(), CountPrefix(log, "get "), CountPrefix(log, "set "));
        desktop_.CloseActiveWindow();
    }

    void ImageControlRepaint() {
        desktop_.Post(Host(), machine_.windows().RegisterMessage(u"LumisetShowSettings"), 0, 0);
        const HWND settings = desktop_.ActiveWindow();
        camera_->driver.ClearLog();
        desktop_.Repaint(settings);
        const auto& log = camera_->driver.Log();
        std::printf("one Image Control repaint: %d driver reads (%zu requests); goal 20\n",
                    CountPrefix(log, "get "), log.size());
        desktop_.CloseActiveWindow();
    }

    void Days(int days) {
        camera_->driver.ClearLog();
        machine_.trace().Clear();
        const auto started = std::chrono::steady_clock::now();
        const std::clock_t cpu_started = std::clock();
        for (int day = 0; day < days; ++day) {
            desktop_.Wait(kDay);
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        const double cpu = static_cast<double>(std::clock() - cpu_started) / CLOCKS_PER_SEC;
        // On a busy machine the real time is mostly waiting for a core; the CPU time tells.
        std::printf(
            "a simulated day of ticks (86400): %.2f s real time, %.2f s CPU time (%d day%s); "
            "goal under 2 s\n",
            took.count() / days, cpu / days, days, days == 1 ? "" : "s");
    }

private:
    sim::Machine machine_;
    sim::Desktop desktop_{machine_};
    sim::CaptureDevice* camera_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    int days = 1;
    if (argc == 3 && std::strcmp(argv[1], "--days") == 0 && std::atoi(argv[2]) > 0) {
        days = std::atoi(argv[2]);
    } else if (argc != 1) {
        std::fputs("usage: lumiset_sim_counts [--days N]\n", stderr);
        return 2;
    }
    {
        Session session;
        session.Tick();
        session.TrayMenu();
        session.ZoomTick();
        session.ImageControlRepaint();
    }
    Session day;
    day.Days(days);
    return 0;
}

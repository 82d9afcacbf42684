// A simulated day of desktop use: a person and other programs do random things to Lumiset for 24
// hours of virtual time, from a seed that is printed (LUMISET_DAY_SEED replays one). Nothing
// leaks (the counts of every handle kind and reference are the same at every hour), and the
// program runs all day except after its stored value is deleted, when it ends within one tick.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "res/resource.h"
#include "tests/reliability/lumiset_rig.h"
#include "tests/reliability/scenarios.h"

namespace reliability {
namespace {

constexpr sim::Millis kSecond = 1000;
constexpr sim::Millis kHour = 3600 * kSecond;
constexpr unsigned kDefaultSeed = 20261208;

unsigned DaySeed() {
    if (const char* text = std::getenv("LUMISET_DAY_SEED")) {
        return static_cast<unsigned>(std::strtoul(text, nullptr, 0));
    }
    return kDefaultSeed;
}

class SimulatedDay {
public:
    explicit SimulatedDay(unsigned seed) : random_(seed) {}

    void Run() {
        rig_.Start();
        rig_.desktop.Wait(kSecond);
        std::map<std::string, int> first_hour;
        for (int hour = 1; hour <= 24; ++hour) {
            const sim::Millis hour_ends = hour * kHour;
            while (Now() < hour_ends && !::testing::Test::HasFatalFailure()) {
                Act();
                const sim::Millis step = Pause();
                rig_.desktop.Wait(std::min(step, hour_ends - Now()));
                ASSERT_TRUE(rig_.Running()) << "at " << Now() << " ms, after " << last_;
            }
            std::map<std::string, int> counts = Quiet();
            // The effect cycle keeps its stop event from its first run to the exit, and the last
            // worker's handle until the next cycle starts or stops: at most one of each.
            for (const char* kept : {"event handle", "thread handle"}) {
                EXPECT_LE(counts[kept], 1) << "hour " << hour << ": " << kept;
                counts.erase(kept);
            }
            if (hour == 1) {
                first_hour = counts;
            }
            EXPECT_EQ(counts, first_hour) << "hour " << hour << ": " << DescribeCounts(counts)
                                          << "; hour 1: " << DescribeCounts(first_hour);
        }
        EXPECT_GT(deletions_, 0) << "the day deletes the stored value at least once";
        EXPECT_GT(wake_ups_, 0) << "the machine sleeps and wakes at least once";
        EXPECT_TRUE(rig_.SettingViolations().empty())
            << ::testing::PrintToString(rig_.SettingViolations());
        EXPECT_TRUE(rig_.End());
        EXPECT_TRUE(rig_.Leftovers().empty()) << ::testing::PrintToString(rig_.Leftovers());
        std::printf(
            "simulated day: %d actions, %d deletions of the stored value, %d wake-ups, "
            "%llu balloons\n",
            actions_, deletions_, wake_ups_,
            static_cast<unsigned long long>(rig_.machine.tray().BalloonCount()));
    }

private:
    sim::Millis Now() const { return const_cast<sim::Machine&>(rig_.machine).kernel().Now(); }
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    template <typename T>
    T PickOf(std::initializer_list<T> items) {
        return *(items.begin() + Pick(static_cast<int>(items.size())));
    }

    // Between actions the person is away for a second to half an hour, mostly a few minutes.
    sim::Millis Pause() {
        const double minutes = std::exponential_distribution<double>(1.0 / 4.0)(random_);
        return std::clamp<sim::Millis>(static_cast<sim::Millis>(minutes * 60 * kSecond), kSecond,
                                       1800 * kSecond);
    }

    void Act() {
        ++actions_;
        switch (Pick(12)) {
            case 0:
            case 1:
                last_ = "the tray menu";
                rig_.TrayEvent(WM_RBUTTONUP);
                rig_.desktop.Wait(Pick(3) * kSecond);
                if (Pick(5) == 0) {
                    rig_.desktop.DismissMenu();
                } else {
                    // Now and then a copy with a standard user's rights: On and Off get a
                    // balloon instead.
                    rig_.machine.rights().administrator = Pick(6) != 0;
                    rig_.ChooseFromTray(PickOf({u"50Hz", u"60Hz", u"On", u"Off"}));
                    rig_.machine.rights().administrator = true;
                }
                break;
            case 2:
                last_ = "window commands";
                for (int count = 1 + Pick(4); count > 0; --count) {
                    rig_.Command(PickOf<WORD>({32774, 32777, 32785, 32792, 32793, 32802, 32803,
                                               32806, 32807, 32808, 32809, 32810, 32813, 32818,
                                               32821, 32827, 32828, 32829, 32830, 32831, 40000}));
                }
                break;
            case 3:
                last_ = "the property frame";
                rig_.Command(32773);
                rig_.desktop.Wait(Pick(30) * kSecond);
                rig_.CloseBox(rig_.PropertyFrame());
                break;
            case 4:
                last_ = "the Zoom dialog";
                rig_.Command(32817);
                DriveZoomDialog(rig_);
                rig_.desktop.Wait(Pick(60) * kSecond);
                rig_.CloseBox(rig_.Zoom());
                break;
            case 5: {
                last_ = "the settings window";
                const int tab = Pick(2);
                rig_.OpenSettings(static_cast<WPARAM>(tab));
                tab == 0 ? UseImageControlPage(rig_) : UseEffectPage(rig_);
                rig_.desktop.Wait(Pick(60) * kSecond);
                if (Pick(2) == 0) {
                    rig_.Click(rig_.Settings(), IDC_SETTINGS_CLOSE);
                } else {
                    rig_.CloseBox(rig_.Settings());
                }
                break;
            }
            case 6:
                last_ = "effect cycling";
                rig_.OpenSettings(1);
                rig_.Click(rig_.Settings(), IDC_AUTO_CHANGE);
                rig_.desktop.Wait(Pick(20) * kSecond);
                if (Pick(2) == 0) {
                    rig_.Click(rig_.Settings(), IDC_EFFECT_WIND);  // stops it
                }
                rig_.CloseBox(rig_.Settings());  // otherwise it goes on by itself
                break;
            case 7:
                PlugOrUnplug();
                break;
            case 8:
                last_ = "the shell restarting";
                rig_.desktop.ShellRestart();
                rig_.desktop.Settle();
                break;
            case 9:
                EditStoredValue();
                break;
            case 10:
                SleepAndWake();
                break;
            default:
                if (Pick(4) == 0) {
                    DeleteStoredValue();
                } else {
                    last_ = "a quiet moment";
                }
                break;
        }
    }

    // The camera unplugged or plugged in again, or plugged into another port (a new node that
    // starts enabled) and taken out again; Windows tells every window.
    void PlugOrUnplug() {
        if (other_port_ != 0) {
            last_ = "the camera taken out of another port";
            rig_.desktop.RemoveDevice(other_port_);
            other_port_ = 0;
        } else if (Pick(3) == 0) {
            last_ = "the camera plugged into another port";
            other_port_ = rig_.desktop.AddDevice(sim::ModelAHardwareIds());
        } else {
            last_ = "the camera unplugged or plugged";
            if (plugged_) {
                rig_.desktop.UnplugDevice(rig_.camera_node);
            } else {
                rig_.desktop.PlugDevice(rig_.camera_node);
            }
            plugged_ = !plugged_;
        }
        rig_.desktop.Settle();
    }

    // The machine sleeps for up to ten minutes; the camera may come back with another frequency.
    void SleepAndWake() {
        last_ = "the machine asleep and awake";
        rig_.desktop.Suspend();
        rig_.desktop.Wait(Pick(600) * kSecond);
        if (Pick(2) == 0) {
            rig_.camera->driver.SetPowerLine(1 + Pick(2));
        }
        rig_.desktop.Resume();
        ++wake_ups_;
    }

    // Another program edits the value to one the program still reads, and later puts it back.
    void EditStoredValue() {
        last_ = "the stored value edited and put back";
        const auto before = rig_.machine.registry().GetValue(
            HKEY_LOCAL_MACHINE, "SOFTWARE\\Corvance\\CV Lumen Webcam", "DeviceEnable");
        if (Pick(2) == 0) {
            rig_.StoreSettingFromOutside(7);
        } else {
            rig_.machine.registry().SetValue(HKEY_LOCAL_MACHINE,
                                             "SOFTWARE\\Corvance\\CV Lumen Webcam", "DeviceEnable",
                                             REG_BINARY, {0x01, 0x00});
        }
        rig_.desktop.Wait(Pick(120) * kSecond);
        if (before) {
            rig_.machine.registry().SetValue(HKEY_LOCAL_MACHINE,
                                             "SOFTWARE\\Corvance\\CV Lumen Webcam", "DeviceEnable",
                                             before->type, before->data);
        }
        EXPECT_EQ(rig_.StoredValueProblem(), "");
    }

    // The value deleted: the program ends at its next tick, releases everything, and the person
    // starts it again (after putting the value back, or letting start-up write the default).
    void DeleteStoredValue() {
        last_ = "the stored value deleted";
        ++deletions_;
        const auto before = rig_.machine.registry().GetValue(
            HKEY_LOCAL_MACHINE, "SOFTWARE\\Corvance\\CV Lumen Webcam", "DeviceEnable");
        rig_.DeleteStoredSetting();
        rig_.desktop.Wait(kSecond);
        EXPECT_FALSE(rig_.Running()) << "at " << Now() << " ms: it runs a tick after the deletion";
        if (rig_.Running()) {
            return;
        }
        EXPECT_TRUE(rig_.Leftovers().empty()) << ::testing::PrintToString(rig_.Leftovers());
        if (before && Pick(2) == 0) {
            rig_.machine.registry().SetValue(HKEY_LOCAL_MACHINE,
                                             "SOFTWARE\\Corvance\\CV Lumen Webcam", "DeviceEnable",
                                             before->type, before->data);
        }
        rig_.desktop.Wait(Pick(600) * kSecond);
        rig_.Restart();
        rig_.desktop.Wait(kSecond);
    }

    // At the hour: the person closes what is open and stops a cycle; what the program then
    // holds is compared from hour to hour.
    std::map<std::string, int> Quiet() {
        if (rig_.desktop.MenuOpen()) {
            rig_.desktop.DismissMenu();
        }
        rig_.Command(32803);
        rig_.desktop.Wait(6 * kSecond);
        std::map<std::string, int> counts = rig_.machine.resources().Outstanding();
        counts["COM initialisation"] = rig_.machine.apartments().Outstanding();
        counts["tray icon"] = static_cast<int>(rig_.desktop.TrayIcons().size());
        return counts;
    }

    LumisetRig rig_;
    std::mt19937 random_;
    bool plugged_ = true;
    int other_port_ = 0;
    int wake_ups_ = 0;
    int actions_ = 0;
    int deletions_ = 0;
    std::string last_ = "start-up";
};

TEST(SimulatedDay, TwentyFourHoursOfRandomUseLeakNothing) {
    const unsigned seed = DaySeed();
    std::printf("simulated day seed %u (set LUMISET_DAY_SEED to replay another)\n", seed);
    SimulatedDay day(seed);
    day.Run();
}

}  // namespace
}  // namespace reliability

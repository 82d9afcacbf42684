// The Effect page and the automatic effect cycle, in virtual time.
#include <gtest/gtest.h>

#include <numeric>

#include "res/resource.h"
#include "tests/dialogs/settings_test_fixture.h"

namespace {

using Values = std::vector<int>;

class EffectPageTest : public SettingsTest {
protected:
    void SetUp() override {
        Start();
        OpenAndClearLog(1);
    }

    // The effect channel's writes while the clock runs on for `ms`.
    Values WritesDuring(sim::Millis ms) {
        desktop.Wait(ms);
        return Writes(CameraLog(), "image.33");
    }
};

// 1 from the click, then the worker's 1, 2, …, 26 and 0, one every 5000 ms.
Values FullCycle() {
    Values cycle{1};
    for (int effect = 1; effect <= 26; ++effect) {
        cycle.push_back(effect);
    }
    cycle.push_back(0);
    return cycle;
}

TEST_F(EffectPageTest, AutoChangeShowsEveryEffectAndFrameOnceAndEnds) {
    Click(IDC_AUTO_CHANGE);
    Values writes = Writes(CameraLog(), "image.33");
    for (int step = 0; step < 30; ++step) {
        const Values more = WritesDuring(5000);
        writes.insert(writes.end(), more.begin(), more.end());
    }
    EXPECT_EQ(writes, FullCycle());
    EXPECT_EQ(camera->driver.Image(33), 0);
    // The radio buttons follow the camera at the next paint only.
    desktop.Repaint(Settings());
    EXPECT_TRUE(Checked(IDC_NO_EFFECT));
    EXPECT_FALSE(Checked(IDC_AUTO_CHANGE));
}

TEST_F(EffectPageTest, ChoosingOnThePageStopsTheCycleAfterItsSleep) {
    Click(IDC_AUTO_CHANGE);
    EXPECT_EQ(WritesDuring(12000), (Values{1, 1, 2, 3}));
    Click(IDC_EFFECT_MOSAIC);
    EXPECT_EQ(Writes(CameraLog(), "image.33"), Values{15});
    EXPECT_EQ(WritesDuring(60000), Values{}) << "no worker write follows";
    EXPECT_EQ(camera->driver.Image(33), 15);
    EXPECT_TRUE(Checked(IDC_EFFECT_MOSAIC));

    // "No effect&&frame" stops it as well.
    Click(IDC_AUTO_CHANGE);
    WritesDuring(5000);
    Click(IDC_NO_EFFECT);
    EXPECT_EQ(Writes(CameraLog(), "image.33"), Values{0});
    EXPECT_EQ(WritesDuring(60000), Values{});
    EXPECT_EQ(camera->driver.Image(33), 0);
}

TEST_F(EffectPageTest, HostCommandsDuringACycle) {
    // An effect command is overwritten at the next step.
    Click(IDC_AUTO_CHANGE);
    WritesDuring(6000);
    Command(ID_FRAME_AIM);
    EXPECT_EQ(Writes(CameraLog(), "image.33"), Values{23});
    EXPECT_EQ(WritesDuring(4000), Values{3});
    // "No Effect" ends the worker at its next step, which reads the 0 back.
    Command(ID_NO_EFFECT);
    EXPECT_EQ(Writes(CameraLog(), "image.33"), Values{0});
    EXPECT_EQ(WritesDuring(60000), Values{});

    // Chosen while the last frame shows, the worker's next step writes 0 once more without
    // reading, and the one after ends it.
    Click(IDC_AUTO_CHANGE);
    EXPECT_EQ(WritesDuring(25 * 5000 + 1000).back(), 26);
    Command(ID_NO_EFFECT);
    EXPECT_EQ(Writes(CameraLog(), "image.33"), Values{0});
    EXPECT_EQ(WritesDuring(5000), Values{0});
    EXPECT_EQ(WritesDuring(60000), Values{});
}

TEST_F(EffectPageTest, SecondAutoChangeRestartsAndNeverTwoWorkersWrite) {
    Click(IDC_AUTO_CHANGE);
    EXPECT_EQ(WritesDuring(7000), (Values{1, 1, 2}));
    Click(IDC_AUTO_CHANGE);
    // The new worker starts over; the old one ends after its sleep without writing.
    EXPECT_EQ(Writes(CameraLog(), "image.33"), (Values{1, 1}));
    EXPECT_EQ(WritesDuring(3000), Values{});
    EXPECT_EQ(WritesDuring(2000), Values{2});
    EXPECT_EQ(WritesDuring(5000), Values{3});
}

TEST_F(EffectPageTest, ClicksInARowLeaveOneWorker) {
    // Threads, not handles: a worker whose handle is closed runs on unseen by a handle count.
    const std::size_t without_worker = machine.kernel().RunningThreads(process);
    for (int click = 0; click < 300; ++click) {
        Click(IDC_AUTO_CHANGE);
        ASSERT_EQ(machine.kernel().RunningThreads(process), without_worker + 1)
            << "click " << click;
        ASSERT_LE(machine.resources().Open(sim::kinds::kThreadHandle), 1) << "click " << click;
    }
    // The click's write and its worker's first step, each a 1.
    EXPECT_EQ(Writes(CameraLog(), "image.33"), Values(600, 1));
    EXPECT_EQ(WritesDuring(5000), Values{2}) << "one worker writes the next step";
}

TEST_F(EffectPageTest, CycleOutlivesTheWindowAndEndsWithTheProgram) {
    Click(IDC_AUTO_CHANGE);
    WritesDuring(5000);
    EXPECT_TRUE(desktop.CloseActiveWindow());
    EXPECT_EQ(Settings(), nullptr);
    EXPECT_EQ(WritesDuring(10000), (Values{3, 4})) << "the cycle goes on without the page";

    // Exit wakes the sleeping worker and waits for its end before COM goes away.
    const sim::TrayIcon icon = desktop.TrayIcons().at(0);
    desktop.TrayEvent(icon.hwnd, icon.id, WM_RBUTTONUP);
    ASSERT_TRUE(desktop.ChooseMenuItem(u"Exit"));
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_EQ(WritesDuring(60000), Values{});
    EXPECT_TRUE(machine.resources().Outstanding().empty());
    EXPECT_EQ(machine.apartments().Outstanding(), 0);
}

TEST_F(EffectPageTest, RefreshChecksTheCameraEffectOnly) {
    const std::vector<std::pair<int, int>> cases = {{0, IDC_NO_EFFECT},
                                                    {16, IDC_EFFECT_TV},
                                                    {17, IDC_FRAME_POST_CARD},
                                                    {26, IDC_FRAME_MAGNIFIER},
                                                    {27, 0},
                                                    {-1, 0}};
    for (const auto& [value, checked] : cases) {
        camera->driver.SetImage(33, value);
        desktop.Repaint(Settings());
        int checked_count = 0;
        for (const sim::ControlView& view : desktop.VisibleControls(Settings())) {
            if (view.kind == "radio" && view.checked) {
                ++checked_count;
                EXPECT_EQ(view.id, checked) << "effect " << value;
            }
        }
        EXPECT_EQ(checked_count, checked != 0 ? 1 : 0) << "effect " << value;
    }
    EXPECT_EQ(CameraLog(), std::vector<std::string>(cases.size(), "get image.33"))
        << "one read a paint";
}

TEST_F(EffectPageTest, FrameFileIsPickedAndHeldOnly) {
    Click(IDC_BROWSE_FRAME);
    ASSERT_TRUE(desktop.FileDialogOpen());
    desktop.AnswerFileDialog(std::string("C:\\Frames\\heart.bmp"));
    EXPECT_EQ(Text(IDC_FRAME_PATH), u"C:\\Frames\\heart.bmp");
    Click(IDC_BROWSE_FRAME);
    desktop.AnswerFileDialog(std::nullopt);
    EXPECT_EQ(Text(IDC_FRAME_PATH), u"C:\\Frames\\heart.bmp") << "cancel changes nothing";
    Click(IDC_LOAD_FILE);
    Click(IDC_FRAME_FILE);
    EXPECT_EQ(Writes(CameraLog(), "image.33"), Values{});
    desktop.Repaint(Settings());
    EXPECT_EQ(Text(IDC_FRAME_PATH), u"C:\\Frames\\heart.bmp");
}

TEST_F(EffectPageTest, EscLeavesTheWindowOpen) {
    desktop.PressKey(Settings(), VK_ESCAPE);
    EXPECT_NE(Settings(), nullptr);
    desktop.PressKeyOn(Control(IDC_EFFECT_WIND), VK_ESCAPE);
    EXPECT_NE(Settings(), nullptr);
}

TEST_F(EffectPageTest, WithoutACameraNothingIsWrittenAndTheWorkerEndsAtOnce) {
    desktop.CloseActiveWindow();
    machine.devices().Unplug(camera_node);
    OpenSettings(1);
    EXPECT_TRUE(Checked(IDC_NO_EFFECT));
    Click(IDC_AUTO_CHANGE);
    EXPECT_EQ(WritesDuring(20000), Values{});
    EXPECT_EQ(machine.resources().Open("COM reference"), 0);
}

}  // namespace

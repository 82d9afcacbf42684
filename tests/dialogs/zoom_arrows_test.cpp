// The arrow buttons of the Zoom dialog against every zoom level and view-position code.
#include "dialogs/zoom_arrows.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

// "LRTB" with '-' for a disabled button and '.' for one left as it is.
std::string Shown(const ArrowStates& states) {
    std::string shown;
    for (const auto& [state, letter] :
         {std::pair{states.left, 'L'}, std::pair{states.right, 'R'}, std::pair{states.top, 'T'},
          std::pair{states.bottom, 'B'}}) {
        shown += !state ? '.' : (*state ? letter : '-');
    }
    return shown;
}

TEST(ZoomArrowsTest, EveryLevelAndCode) {
    struct Case {
        std::int32_t level;
        std::int32_t code;
        const char* shown;
    };
    const Case cases[] = {
        // No zoom: nothing to pan.
        {0, 0, "----"},
        {0, 5, "----"},
        {0, 37, "----"},
        // The first step tells only left and right.
        {1, 1, "L-.."},
        {1, 13, "L-.."},
        {1, 2, "-R.."},
        {1, 14, "-R.."},
        {1, 0, "LR.."},
        {1, 5, "LR.."},
        {1, 33, "LR.."},
        // Between, the code's sides are off; codes naming no side or corner enable all.
        {40, 5, "L-T-"},
        {2, 1, "L-TB"},
        {2, 2, "-RTB"},
        {63, 4, "LRT-"},
        {20, 6, "-RT-"},
        {20, 8, "LR-B"},
        {20, 9, "L--B"},
        {20, 10, "-R-B"},
        {20, 3, "LRTB"},
        {20, 7, "LRTB"},
        {20, 0, "LRTB"},
        {20, 11, "LRTB"},
        {20, 12, "LRTB"},
        {20, 37, "LRTB"},
        {20, -1, "LRTB"},
        {20, INT_MIN, "LRTB"},
        {65, 9, "L--B"},
        {INT_MAX, 10, "-R-B"},
        // The largest level adds 32 to the code.
        {64, 5, "LRTB"},
        {64, 37, "L-T-"},
        {64, 33, "L-TB"},
        {64, 34, "-RTB"},
        {64, 36, "LRT-"},
        {64, 38, "-RT-"},
        {64, 40, "LR-B"},
        {64, 41, "L--B"},
        {64, 42, "-R-B"},
        {64, 32, "LRTB"},
        {64, 35, "LRTB"},
        {64, 39, "LRTB"},
        {64, INT_MIN, "LRTB"},
        // A level below 0 changes nothing.
        {-1, 5, "...."},
        {INT_MIN, 0, "...."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Shown(ArrowStatesFor(c.level, c.code)), c.shown)
            << "level " << c.level << ", code " << c.code;
    }
}

}  // namespace

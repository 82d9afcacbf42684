// The user's profile through GetProfileStringA: the value or the default, cut to the buffer,
// names in any case, texts in the ANSI code page, and an injected failure.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/sim/machine.h"
#include "platform/win32.h"

namespace {

struct Read {
    DWORD count;
    std::string text;
    bool operator==(const Read&) const = default;
};
void PrintTo(const Read& read, std::ostream* out) {
    *out << read.count << " \"" << read.text << "\"";
}

Read Get(const char* section, const char* name, const char* fallback, DWORD size = 256) {
    std::string buffer(size + 1, 'X');
    const DWORD count = GetProfileStringA(section, name, fallback, buffer.data(), size);
    return Read{count, buffer.c_str()};
}

TEST(ProfileTest, ValueOrDefaultCutToTheBuffer) {
    sim::Machine machine;
    EXPECT_EQ(Get("annie", "CaptureFile", "none"), (Read{4, "none"})) << "no section";
    machine.profile().Set("Annie", "CaptureFile", "C:\\capture.avi");
    EXPECT_EQ(Get("ANNIE", "capturefile", "none"), (Read{14, "C:\\capture.avi"}));
    EXPECT_EQ(Get("annie", "Other", nullptr), (Read{0, ""})) << "no value, no default";
    EXPECT_EQ(Get("annie", "Other", "  a b  "), (Read{5, "  a b"})) << "trailing blanks go";
    EXPECT_EQ(Get("annie", "Other", "   "), (Read{0, ""}));

    // Cut to nSize - 1 and terminated; nothing at all into no room.
    EXPECT_EQ(Get("annie", "CaptureFile", "", 5), (Read{4, "C:\\c"}));
    EXPECT_EQ(Get("annie", "Other", "default", 3), (Read{2, "de"}));
    char untouched[2] = {'X', 'X'};
    EXPECT_EQ(GetProfileStringA("annie", "CaptureFile", "", untouched, 0), 0u);
    EXPECT_EQ(untouched[0], 'X');

    machine.profile().Set("annie", "CAPTUREFILE", "");
    EXPECT_EQ(Get("annie", "CaptureFile", "none"), (Read{0, ""})) << "an empty value is a value";
    EXPECT_TRUE(machine.profile().Delete("ANNIE", "capturefile"));
    EXPECT_FALSE(machine.profile().Delete("annie", "CaptureFile"));
    EXPECT_EQ(Get("annie", "CaptureFile", "none"), (Read{4, "none"}));

    // Lists of names are not simulated: nothing comes back.
    EXPECT_EQ(Get("annie", nullptr, "none"), (Read{0, ""}));
}

TEST(ProfileTest, TextsPassTheCodePageAndAFailureReadsAsMissing) {
    sim::Machine machine;
    machine.locale().ansi_code_page = 936;
    machine.profile().Set("annie", "CaptureFile", "D:\\\u7f29\u653e.avi");  // 缩放
    EXPECT_EQ(Get("annie", "CaptureFile", ""), (Read{11, "D:\\\xcb\xf5\xb7\xc5.avi"}));
    machine.faults().Fail("GetProfileStringA");
    EXPECT_EQ(Get("annie", "CaptureFile", "none"), (Read{4, "none"}));
    EXPECT_EQ(Get("annie", "CaptureFile", ""), (Read{11, "D:\\\xcb\xf5\xb7\xc5.avi"}));
}

}  // namespace

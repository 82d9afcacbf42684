#include "camera/driver_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "camera_test_fixture.h"

namespace {

constexpr const char* kDriverKey = "SOFTWARE\\KESTRA\\LUMCAM\\KLV2DRV";

class DriverDescriptionTest : public CameraTest {
protected:
    void SetUp() override {
        CameraTest::SetUp();
        machine.registry().DeleteKey(HKEY_LOCAL_MACHINE, kDriverKey);
    }

    sim::Registry& registry() { return machine.registry(); }

    void SetCount(DWORD count) {
        registry().SetDword(HKEY_LOCAL_MACHINE, kDriverKey, "InstanceIndex", count);
    }
    void SetInstance(const char* name, std::string_view path) {
        registry().SetString(HKEY_LOCAL_MACHINE, kDriverKey, name, path);
    }
    void SetDescription(std::string_view instance_key, std::string_view text) {
        registry().SetString(HKEY_LOCAL_MACHINE, instance_key, "DriverDesc", text);
    }

    // Reads into a buffer filled with a marker, so that what was written shows. The handles the
    // lookup opened must all be closed again.
    std::pair<int, std::string> Read() {
        std::memset(out_, '#', sizeof out_);
        const int result = ReadDriverDescription(out_);
        EXPECT_EQ(machine.resources().Open("registry key"), 0);
        if (Untouched()) {
            return {result, "<untouched>"};
        }
        if (std::memchr(out_, '\0', sizeof out_) == nullptr) {
            ADD_FAILURE() << "the description is not terminated";
            return {result, "<unterminated>"};
        }
        return {result, std::string(out_)};
    }
    bool Untouched() const {
        return std::all_of(std::begin(out_), std::end(out_), [](char c) { return c == '#'; });
    }

    char out_[kDriverDescriptionSize] = {};
};

TEST_F(DriverDescriptionTest, TheCameraDriverDescribesItself) {
    video.PlugInCamera();
    EXPECT_EQ(Read(), std::make_pair(1, std::string("CV Lumen Webcam Driver")));
}

TEST_F(DriverDescriptionTest, KernelPathsNameTheInstanceKey) {
    struct Case {
        std::string path;
        std::string instance_key;
    };
    const Case cases[] = {
        {"\\Registry\\MACHINE\\SYSTEM\\Cam\\0000\\Settings", "SYSTEM\\Cam\\0000"},
        {"\\Registry\\MACHINE\\SYSTEM\\Cam\\0001", "SYSTEM\\Cam\\0001"},
        {"\\Registry\\MACHINE\\SYSTEM\\Cam\\0002\\SettingsOld\\Settings", "SYSTEM\\Cam\\0002"},
        {"\\??\\\\Registry\\MACHINE\\SYSTEM\\Cam\\0003\\Settings", "SYSTEM\\Cam\\0003"},
        // Without the kernel's root the text is used whole, "\Settings" included.
        {"SYSTEM\\Cam\\0004\\Settings", "SYSTEM\\Cam\\0004\\Settings"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        registry().DeleteKey(HKEY_LOCAL_MACHINE, kDriverKey);
        SetCount(1);
        SetInstance("ii0001", c.path);
        SetDescription(c.instance_key, "Driver at " + c.instance_key);
        EXPECT_EQ(Read(), std::make_pair(1, "Driver at " + c.instance_key));
    }
}

TEST_F(DriverDescriptionTest, FirstExistingInstanceDecides) {
    SetDescription("SYSTEM\\Cam\\0000", "Second");
    SetDescription("SYSTEM\\Cam\\0001", "Third");
    SetCount(3);
    SetInstance("ii0003", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0001");
    SetInstance("ii0002", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0000\\Settings");
    EXPECT_EQ(Read(), std::make_pair(1, std::string("Second")));

    // Names compare without case; names that "ii%04d" never makes, and indexes past the count,
    // do not count.
    registry().DeleteValue(HKEY_LOCAL_MACHINE, kDriverKey, "ii0002");
    SetInstance("ii2", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0000");
    SetInstance("ii00002", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0000");
    SetInstance("ii0000", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0000");
    SetInstance("ii000x", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0000");
    SetInstance("ii0004", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0000");
    SetInstance("an instance value name that is far too long to be one", "x");
    EXPECT_EQ(Read(), std::make_pair(1, std::string("Third")));
    SetInstance("II0002", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0000");
    EXPECT_EQ(Read(), std::make_pair(1, std::string("Second")));

    // An empty first instance ends the search all the same.
    SetInstance("ii0001", "");
    EXPECT_EQ(Read().first, 1);
    EXPECT_TRUE(Untouched());
}

TEST_F(DriverDescriptionTest, HugeCountCostsOnlyTheValuesThatExist) {
    SetDescription("SYSTEM\\Cam\\0000", "Far away");
    SetCount(0xFFFFFFFF);
    SetInstance("ii4294967295", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0000");
    EXPECT_EQ(Read(), std::make_pair(1, std::string("Far away")));
    SetInstance("ii123456", "\\Registry\\MACHINE\\SYSTEM\\Cam\\0001");
    SetDescription("SYSTEM\\Cam\\0001", "Nearer");
    EXPECT_EQ(Read(), std::make_pair(1, std::string("Nearer")));

    registry().DeleteKey(HKEY_LOCAL_MACHINE, kDriverKey);
    SetCount(0xFFFFFFFF);
    EXPECT_EQ(Read().first, 1);
    EXPECT_TRUE(Untouched());
}

TEST_F(DriverDescriptionTest, MissingPiecesLeaveTheBufferAlone) {
    EXPECT_EQ(Read().first, 0) << "no driver key";
    EXPECT_TRUE(Untouched());

    registry().SetString(HKEY_LOCAL_MACHINE, kDriverKey, "other", "x");
    EXPECT_EQ(Read().first, 1) << "no count";
    EXPECT_TRUE(Untouched());
    SetCount(0);
    EXPECT_EQ(Read().first, 1);
    EXPECT_TRUE(Untouched());
    SetCount(2);
    EXPECT_EQ(Read().first, 1) << "no instance value";
    EXPECT_TRUE(Untouched());

    SetInstance("ii0002", "\\Registry\\MACHINE\\SYSTEM\\Missing\\Settings");
    EXPECT_EQ(Read().first, 0) << "the instance key cannot be opened";
    EXPECT_TRUE(Untouched());

    // An instance key without a description gives the empty text.
    registry().SetDword(HKEY_LOCAL_MACHINE, "SYSTEM\\Missing", "other", 1);
    EXPECT_EQ(Read(), std::make_pair(1, std::string()));

    machine.faults().Fail("RegEnumValueA");
    EXPECT_EQ(Read().first, 1) << "without the list of values no instance is known";
    EXPECT_TRUE(Untouched());
}

TEST_F(DriverDescriptionTest, EveryCopyIsBounded) {
    SetCount(1);
    const std::string long_key = "SYSTEM\\" + std::string(100, 'a') + "\\" + std::string(100, 'b') +
                                 "\\" + std::string(60, 'c');
    ASSERT_GT(long_key.size(), 255u);
    const std::string opened = long_key.substr(0, 255);
    SetDescription(opened, "Cut path");

    // A path of 260 bytes with its terminator fits; without the kernel's root it is used whole,
    // cut to 255 characters.
    SetInstance("ii0001", long_key.substr(0, 259));
    EXPECT_EQ(Read(), std::make_pair(1, std::string("Cut path")));
    // 260 bytes without a terminator are read as text and never past.
    registry().SetValue(HKEY_LOCAL_MACHINE, kDriverKey, "ii0001", REG_BINARY,
                        std::vector<BYTE>(long_key.begin(), long_key.begin() + 260));
    EXPECT_EQ(Read(), std::make_pair(1, std::string("Cut path")));
    // A longer one does not fit: the search ends without a description.
    SetInstance("ii0001", long_key);
    EXPECT_EQ(Read().first, 1);
    EXPECT_TRUE(Untouched());

    SetInstance("ii0001", "\\Registry\\MACHINE\\SYSTEM\\Cam");
    const std::string longest(255, 'd');
    SetDescription("SYSTEM\\Cam", longest);
    EXPECT_EQ(Read(), std::make_pair(1, longest));
    SetDescription("SYSTEM\\Cam", longest + "d");
    EXPECT_EQ(Read(), std::make_pair(1, std::string())) << "too long to read";
    registry().SetValue(HKEY_LOCAL_MACHINE, "SYSTEM\\Cam", "DriverDesc", REG_BINARY,
                        std::vector<BYTE>(256, 'e'));
    EXPECT_EQ(Read(), std::make_pair(1, std::string(255, 'e')));
    registry().SetDword(HKEY_LOCAL_MACHINE, "SYSTEM\\Cam", "DriverDesc", 0x00434241);
    EXPECT_EQ(Read(), std::make_pair(1, std::string("ABC")));
}

}  // namespace

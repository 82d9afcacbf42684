#include "device/hardware_id_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Entries(const std::string& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::vector<std::string> result;
    for (auto entry : device::HardwareIdEntries({data, bytes.size()})) {
        result.emplace_back(entry);
    }
    return result;
}

using Strings = std::vector<std::string>;

TEST(HardwareIdEntries, StopsAtTheEmptyEntryAndAtTheEndOfTheBytes) {
    EXPECT_EQ(Entries(std::string("AB\0CD\0\0EF\0\0", 11)), (Strings{"AB", "CD"}));
    EXPECT_EQ(Entries(std::string("\0AB\0\0", 5)), Strings{});
    EXPECT_EQ(Entries(""), Strings{});
    // No closing empty entry within the bytes: the list ends at the last complete entry.
    EXPECT_EQ(Entries(std::string("AB\0CD\0", 6)), (Strings{"AB", "CD"}));
    // An entry cut off by the end of the bytes is left out.
    EXPECT_EQ(Entries(std::string("AB\0USB\\VID_F3A7&PID_5D2", 23)), Strings{"AB"});
    EXPECT_EQ(Entries("USB\\VID_F3A7&PID_5D20"), Strings{});
}

TEST(HardwareIdMatches, UpperCasesLettersOnlyAndTestsTheStart) {
    const std::string_view prefix = "USB\\VID_F3A7&PID_5D20";
    EXPECT_TRUE(device::HardwareIdMatches("USB\\VID_F3A7&PID_5D20", prefix));
    EXPECT_TRUE(device::HardwareIdMatches("usb\\vid_f3a7&pid_5d20&rev_0100", prefix));
    EXPECT_TRUE(device::HardwareIdMatches("Usb\\Vid_F3a7&Pid_5D20&MI_00", prefix));
    EXPECT_FALSE(device::HardwareIdMatches("HID\\USB\\VID_F3A7&PID_5D20", prefix));
    EXPECT_FALSE(device::HardwareIdMatches("USB\\VID_F3A7&PID_5D2", prefix));
    EXPECT_FALSE(device::HardwareIdMatches("USB/VID_F3A7&PID_5D20", prefix));
    // Only a to z change: bytes above 0x7F are not folded into letters.
    EXPECT_FALSE(device::HardwareIdMatches("\xD5SB\\VID_F3A7&PID_5D20", prefix));
}

}  // namespace

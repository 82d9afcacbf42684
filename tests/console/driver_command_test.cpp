// The console's driver commands change the driver's registry content, and only when they are
// well formed.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/sim/camera/driver_registry.h"
#include "platform/win32.h"
#include "tools/lumiset-sim/console.h"

namespace {

namespace driver = sim::driver_registry;

TEST(DriverCommand, SetsTheDriversValuesAndBadFormsChangeNothing) {
    sim::Machine machine;
    machine.video().PlugInCamera();
    std::ostringstream out;
    console::Console console(
        machine, [] {}, out);
    sim::Registry& registry = machine.registry();
    auto value = [&](std::string_view key, std::string_view name) {
        return registry.GetValue(HKEY_LOCAL_MACHINE, key, name);
    };

    for (const char* line : {"driver count -1", "driver count 4294967296", "driver desc",
                             "driver desc \"a\" b", "driver none now", "driver"}) {
        EXPECT_FALSE(console.Execute(line)) << line;
    }
    EXPECT_EQ(value(driver::kDriverKey, driver::kInstanceCountValue)->AsDword(), 1u);
    EXPECT_EQ(value(driver::kInstanceKey, driver::kDriverDescValue)->AsString(),
              driver::kDriverDesc);

    out.str("");
    EXPECT_TRUE(console.Execute("driver count 4294967295"));
    EXPECT_TRUE(console.Execute("driver desc \"  Other Camera  \""));
    EXPECT_TRUE(console.Execute("driver path \\Registry\\MACHINE\\X y"));
    EXPECT_EQ(out.str(), "") << "the driver commands print nothing";
    EXPECT_EQ(value(driver::kDriverKey, driver::kInstanceCountValue)->AsDword(), 0xFFFFFFFFu);
    const auto desc = value(driver::kInstanceKey, driver::kDriverDescValue);
    EXPECT_EQ(desc->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(desc->AsString(), "  Other Camera  ");
    const auto path = value(driver::kDriverKey, driver::kFirstInstanceValue);
    EXPECT_EQ(path->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(path->AsString(), "\\Registry\\MACHINE\\X y");

    // The driver key goes with everything under it; the instance's class key stays.
    registry.SetDword(HKEY_LOCAL_MACHINE, std::string(driver::kDriverKey) + "\\Sub", "V", 1);
    EXPECT_TRUE(console.Execute("driver none"));
    EXPECT_FALSE(registry.KeyExists(HKEY_LOCAL_MACHINE, driver::kDriverKey));
    EXPECT_TRUE(registry.KeyExists(HKEY_LOCAL_MACHINE, driver::kInstanceKey));
    EXPECT_TRUE(console.Execute("driver none"));
}

}  // namespace

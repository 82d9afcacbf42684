// The report of the answers in which Wine departs from Windows: one line as each is seen, and
// the list again at the end of the run, so that none passes unnoticed.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/platform/calls/calls_test.h"

namespace calls {
namespace {

std::vector<std::string>& Departures() {
    static std::vector<std::string> departures;
    return departures;
}

class DepartureReport : public ::testing::Environment {
public:
    void TearDown() override {
        if (Departures().empty()) {
            return;
        }
        std::printf("Wine departs from Windows in %zu check(s):\n", Departures().size());
        for (const std::string& departure : Departures()) {
            std::printf("  %s\n", departure.c_str());
        }
        std::fflush(stdout);
    }
};

[[maybe_unused]] const auto* const kReport =
    ::testing::AddGlobalTestEnvironment(new DepartureReport);

}  // namespace

void ExpectWindowsAnswer(long long actual, long long windows, long long wine,
                         const char* expression, const char* reason, const char* file, int line) {
    if (actual == windows) {
        return;
    }
    if (UnderWine() && actual == wine) {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string entry = std::string(test->test_suite_name()) + "." + test->name() + ": " +
                            expression + " is " + std::to_string(actual) + ", Windows " +
                            std::to_string(windows) + " (" + reason + ")";
        std::printf("[ WINE     ] %s\n", entry.c_str());
        std::fflush(stdout);
        Departures().push_back(std::move(entry));
        return;
    }
    ADD_FAILURE_AT(file, line) << expression << " is " << actual << ", Windows answers " << windows
                               << (UnderWine() ? ", Wine is known to answer " : "")
                               << (UnderWine() ? std::to_string(wine) : std::string());
}

}  // namespace calls

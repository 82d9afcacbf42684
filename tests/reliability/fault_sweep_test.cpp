// Every platform operation the program calls, made to fail at each of its calls in turn (the
// first, the second, the third, the last, and every call) while Lumiset does each of its main
// scenarios: nothing crashes or hangs, everything is released, the stored setting changes only as
// the program's rules allow, and the program goes on or ends as it should.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/reliability/lumiset_rig.h"
#include "tests/reliability/scenarios.h"

namespace reliability {
namespace {

// Single calls failed in turn, before every call fails.
constexpr int kSingleCalls = 3;
constexpr int kEveryCall = sim::FaultInjector::kAlways;

// Operations whose failure ends the program by its own rules, and in which scenarios: the
// setting cannot be read (the next tick ends the program), start-up could neither open its read
// handle nor write the default, or the host window cannot be made (start-up ends).
bool MayEndTheProgram(std::string_view operation, const Scenario& scenario) {
    if (operation == "RegQueryValueExA") {
        return true;  // every tick reads the setting; a failed read is taken as its loss
    }
    if (operation == "GetMessageA") {
        return true;  // a queue that fails at every call is gone: the program ends
    }
    if (!scenario.started_before) {
        // Without a value written at start-up the first tick finds none.
        return operation == "RegOpenKeyExA" || operation == "CreateDialogParamA" ||
               operation == "RegCreateKeyExA" || operation == "RegSetValueExA";
    }
    return false;
}

struct FaultPoint {
    std::string operation;
    int call;  // 1-based, counted from the action on (the exit after it included), or kEveryCall
};

std::string Describe(const Scenario& scenario, const FaultPoint& point) {
    return scenario.name + " with " + point.operation + " failing at " +
           (point.call == kEveryCall ? std::string("every call")
                                     : "call " + std::to_string(point.call));
}

void PrepareScenario(LumisetRig& rig, const Scenario& scenario) {
    if (scenario.started_before) {
        rig.Start();
        rig.desktop.Wait(1000);
    }
}

// The calls of every operation the scenario's action and the exit after it make when nothing
// fails.
std::map<std::string, int> CallsOf(const Scenario& scenario) {
    LumisetRig rig;
    PrepareScenario(rig, scenario);
    std::map<std::string, int> before;
    for (std::string_view operation : sim::FaultInjector::KnownOperations()) {
        before[std::string(operation)] = rig.machine.faults().Calls(operation);
    }
    scenario.action(rig);
    rig.End();
    std::map<std::string, int> calls;
    for (auto& [operation, count] : before) {
        const int made = rig.machine.faults().Calls(operation) - count;
        if (made > 0) {
            calls[operation] = made;
        }
    }
    return calls;
}

// One run: the fault goes in after the preparation and stays for the rest of the run, exit
// included; returns what went wrong, one line each.
std::vector<std::string> RunWithFault(const Scenario& scenario, const FaultPoint& point) {
    std::vector<std::string> problems;
    LumisetRig rig;
    PrepareScenario(rig, scenario);
    if (point.call == kEveryCall) {
        rig.machine.faults().Fail(point.operation, kEveryCall);
        if (point.operation == "RegQueryValueExA") {
            rig.AllowDefaultOverStoredValue();
        }
    } else {
        rig.machine.faults().Fail(point.operation, 1, {}, point.call - 1);
    }
    scenario.action(rig);

    const bool may_end = scenario.ends || MayEndTheProgram(point.operation, scenario);
    if (!rig.Running() && !may_end) {
        problems.push_back("the program ended");
    }
    const auto& needed = scenario.needed_to_end;
    if (rig.Running() && scenario.ends &&
        std::find(needed.begin(), needed.end(), point.operation) == needed.end()) {
        problems.push_back("the program did not end");
    }
    if (rig.Running() && !rig.Host()) {
        problems.push_back("the program runs without its host window");
    }
    if (rig.Running()) {
        for (const std::string& held : rig.HeldBetweenActions(point.operation)) {
            problems.push_back("held after the action: " + held);
        }
    }
    if (!rig.End()) {
        problems.push_back("the program did not end at Exit");
    }
    for (const std::string& left : rig.Leftovers(point.operation)) {
        problems.push_back("left behind: " + left);
    }
    for (const std::string& violation : rig.SettingViolations()) {
        problems.push_back("setting: " + violation);
    }
    if (const std::string problem = rig.StoredValueProblem(); !problem.empty()) {
        problems.push_back(problem);
    }
    return problems;
}

class FaultSweep : public ::testing::TestWithParam<Scenario> {};

TEST_P(FaultSweep, EveryOperationFailingAtEachCall) {
    const Scenario& scenario = GetParam();
    const std::map<std::string, int> calls = CallsOf(scenario);
    ASSERT_FALSE(calls.empty());
    int runs = 0;
    for (const auto& [operation, count] : calls) {
        std::vector<FaultPoint> points;
        for (int call = 1; call <= std::min(count, kSingleCalls); ++call) {
            points.push_back({operation, call});
        }
        if (count > kSingleCalls) {
            points.push_back({operation, count});  // the last, often on the way out
        }
        points.push_back({operation, kEveryCall});
        for (const FaultPoint& point : points) {
            ++runs;
            for (const std::string& problem : RunWithFault(scenario, point)) {
                ADD_FAILURE() << Describe(scenario, point) << ": " << problem;
            }
        }
    }
    std::printf("%s: %zu operations called, %d fault points run\n", scenario.name.c_str(),
                calls.size(), runs);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, FaultSweep, ::testing::ValuesIn(MainScenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& param) {
                             return param.param.name;
                         });

// Every operation the injector knows that the program calls is called in some scenario, so none
// escapes the sweep.
TEST(FaultSweepCoverage, EveryKnownOperationIsReached) {
    // Known to the injector for other callers; AppendMenuA would add the About item to the
    // host's system menu, but the resources have no text for it.
    // The process token and another process's handle tell lumisetctl whether Lumiset could
    // switch the camera; Lumiset itself learns that from the device operation's refusal.
    const std::set<std::string> not_called = {"IKsPropertySet::QuerySupported",
                                              "MultiByteToWideChar", "AppendMenuA", "OpenProcess",
                                              "OpenProcessToken", "GetTokenInformation",
                                              // For the word on screen, which the program does
                                              // not show yet.
                                              "RegisterClassA", "CreateWindowExA"};
    std::set<std::string> reached;
    for (const Scenario& scenario : MainScenarios()) {
        for (const auto& [operation, count] : CallsOf(scenario)) {
            reached.insert(operation);
        }
    }
    std::vector<std::string> missed;
    for (std::string_view operation : sim::FaultInjector::KnownOperations()) {
        if (!reached.contains(std::string(operation)) &&
            !not_called.contains(std::string(operation))) {
            missed.emplace_back(operation);
        }
    }
    EXPECT_TRUE(missed.empty()) << ::testing::PrintToString(missed);
}

}  // namespace
}  // namespace reliability

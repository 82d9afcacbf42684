// The checks' fixture on the simulated machine: a fresh machine with Lumiset's resources, each
// check's body a program of its own.
#include <string>

#include "platform/sim/desktop.h"
#include "res/resource_bytes.h"
#include "tests/platform/calls/calls_test.h"

namespace calls {
namespace {

std::u16string Wide(const char* text) {
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::string ScratchPath(const char* path) {
    return std::string(kScratchKey) + "\\" + path;
}

}  // namespace

struct CallsTest::Host {
    sim::Machine machine;
    sim::Desktop desktop{machine};
};

CallsTest::CallsTest() : host_(std::make_unique<Host>()) {
    EXPECT_TRUE(host_->machine.program().LoadResources(LumisetResourceBytes()));
}

CallsTest::~CallsTest() = default;

void CallsTest::RunProgram(const std::function<void()>& body) {
    const sim::ProcessId program = host_->desktop.Start(body);
    EXPECT_FALSE(host_->desktop.Running(program)) << "the check's body blocked";
}

HWND CallsTest::CreateTestWindow(const char* title, DWORD style, HWND parent, int id,
                                 WNDPROC proc) {
    return host_->machine.windows().Create(Wide(kTestClass), Wide(title), style, 0, parent, id,
                                           RECT{0, 0, 300, 200}, proc);
}

void CallsTest::DeleteScratchKey(const char* path) {
    EXPECT_TRUE(host_->machine.registry().DeleteKey(HKEY_CURRENT_USER, ScratchPath(path)));
}

void CallsTest::DeleteScratchValue(const char* path, const char* name) {
    EXPECT_TRUE(host_->machine.registry().DeleteValue(HKEY_CURRENT_USER, ScratchPath(path), name));
}

bool UnderWine() {
    return false;
}

}  // namespace calls

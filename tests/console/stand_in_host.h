// A console whose "Lumiset" is a stand-in of the test's own: the host window "#32770" "Property"
// with the test's procedure and a plain message loop, so that the test sees exactly what the
// console delivers to it.
#pragma once

#include <sstream>
#include <string>

#include "platform/win32.h"
#include "tools/lumiset-sim/console.h"

class StandInHostConsole {
public:
    StandInHostConsole(sim::Machine& machine, WNDPROC procedure)
        : console_(
              machine,
              [this, &machine, procedure] {
                  host_ = machine.windows().Create(u"#32770", u"Property", WS_POPUP, 0, nullptr, 0,
                                                   RECT{0, 0, 10, 10}, procedure);
                  MSG msg;
                  while (GetMessageA(&msg, nullptr, 0, 0)) {
                      DispatchMessageA(&msg);
                  }
              },
              out_) {
        console_.StartLumiset();
    }

    // Runs one line of the console; what it printed.
    std::string Run(const std::string& line) {
        out_.str("");
        console_.Execute(line);
        return out_.str();
    }
    HWND host() const { return host_; }

private:
    std::ostringstream out_;
    HWND host_ = nullptr;
    console::Console console_;
};

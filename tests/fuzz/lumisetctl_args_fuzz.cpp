// Any arguments lumisetctl may be given (NUL bytes separate them): it posts only a command it
// knows, and anything else is a usage error of one line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/camera_key_setting.h"
#include "res/resource.h"
#include "tools/lumisetctl/lumisetctl_commands.h"

namespace {

constexpr unsigned kCommandWords[] = {
    ID_FLICKER_50HZ, ID_FLICKER_60HZ,       ID_CAMERA_ON, ID_CAMERA_OFF,    ID_EXIT,
    ID_ZOOM,         ID_OPEN_PROPERTY_PAGE, ID_SNAP_SHOT, ID_FACE_TRACKING, ID_NO_EFFECT,
};

bool IsKnownCommand(unsigned command) {
    return std::find(std::begin(kCommandWords), std::end(kCommandWords), command) !=
               std::end(kCommandWords) ||
           std::any_of(lumisetctl::kEffectNames.begin(), lumisetctl::kEffectNames.end(),
                       [command](const auto& effect) { return effect.command == command; });
}

// A machine with Lumiset running that accepts every command and checks it.
class CheckingMachine : public lumisetctl::Machine {
public:
    bool LumisetRunning() override { return true; }
    Result Post(unsigned command) override {
        if (!IsKnownCommand(command)) {
            std::abort();
        }
        return {};
    }
    Result StartSettings() override { return {}; }
    bool SettingReadable() override { return true; }
    bool WaitForNoLumiset(unsigned) override { std::abort(); }
    // Lumiset runs, and so does its camera.
    lumisetctl::Report ReadReport() override {
        lumisetctl::Report report;
        report.running = true;
        report.cameras.push_back(
            {"CV Lumen Webcam", lumisetctl::Report::Camera::State::Started, 0});
        return report;
    }
    // The default keys, each held; a key may be stored and Lumiset told.
    lumisetctl::KeysReport ReadKeys() override {
        lumisetctl::KeysReport report;
        report.running = true;
        for (const CameraKeySlot slot : kCameraKeySlots) {
            report.keys[static_cast<std::size_t>(slot)] = {DefaultCameraKey(slot),
                                                           CameraKeyState::Held};
        }
        return report;
    }
    Result StoreKey(CameraKeySlot, CameraKey) override { return {}; }
    Result PostKeysChanged() override { return {}; }
};

// One line, and short: a quoted word is cut at 64 characters (each at most 4 when escaped).
bool IsOneLine(const std::string& text) {
    return !text.empty() && text.size() <= 2 * 4 * lumisetctl::kLongestQuote &&
           std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    const auto* text = reinterpret_cast<const char*>(data);
    for (std::size_t start = 0; start <= size;) {
        const auto* end = std::find(text + start, text + size, '\0');
        args.emplace_back(text + start, end);
        start = static_cast<std::size_t>(end - text) + 1;
    }
    if (size == 0) {
        args.clear();
    }
    CheckingMachine machine;
    const lumisetctl::Outcome outcome = lumisetctl::Run(args, machine);
    const bool fits = outcome.status == lumisetctl::kUsageError
                          ? outcome.output.empty() && IsOneLine(outcome.error)
                          : (outcome.status == lumisetctl::kDone && outcome.error.empty());
    if (!fits || (!outcome.output.empty() && outcome.output.back() != '\n')) {
        std::abort();
    }
    return 0;
}

#include "tools/lumiset-sim/desktop_watch.h"

#include <algorithm>

#include "platform/sim/codepage.h"

namespace console {

namespace {

template <typename Key, typename Value>
const Value* Find(const std::vector<std::pair<Key, Value>>& entries, const Key& key) {
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&key](const auto& entry) { return entry.first == key; });
    return found == entries.end() ? nullptr : &found->second;
}

std::string Quoted(const std::u16string& text) {
    return "\"" + sim::Utf16ToUtf8(text) + "\"";
}

}  // namespace

DesktopWatch::DesktopWatch(sim::Machine& machine, bool lumiset_running)
    : desktop_(machine), last_(LookNow(lumiset_running)) {}

DesktopWatch::Look DesktopWatch::LookNow(bool lumiset_running) const {
    Look look;
    for (const sim::TrayIcon& icon : desktop_.TrayIcons()) {
        look.icons.emplace_back(icon.id, icon.tip);
    }
    for (const sim::WindowView& window : desktop_.TopLevelWindows()) {
        if (window.visible) {
            look.windows.emplace_back(window.hwnd, window.title);
        }
    }
    look.balloons = desktop_.BalloonCount();
    look.menu_open = desktop_.MenuOpen();
    look.lumiset_running = lumiset_running;
    return look;
}

std::vector<std::string> DesktopWatch::Changes(bool lumiset_running) {
    const Look now = LookNow(lumiset_running);
    std::vector<std::string> changes;
    for (const auto& [id, tip] : last_.icons) {
        if (!Find(now.icons, id)) {
            changes.push_back("* icon " + std::to_string(id) + " left the notification area");
        }
    }
    for (const auto& [id, tip] : now.icons) {
        const std::u16string* old_tip = Find(last_.icons, id);
        if (!old_tip) {
            changes.push_back("* the notification area shows icon " + std::to_string(id) + " " +
                              Quoted(tip));
        } else if (*old_tip != tip) {
            changes.push_back("* icon " + std::to_string(id) + " now reads " + Quoted(tip));
        }
    }
    // A balloon may come and go between two looks: the shown ones are counted, not looked at.
    const auto& balloons = desktop_.Balloons();
    const auto shown = std::min<std::uint64_t>(now.balloons - last_.balloons, balloons.size());
    for (auto it = balloons.end() - static_cast<std::ptrdiff_t>(shown); it != balloons.end();
         ++it) {
        changes.push_back("* icon " + std::to_string(it->id) + " shows a balloon " +
                          Quoted(it->balloon.title) + " " + Quoted(it->balloon.text));
    }
    for (const auto& [hwnd, title] : last_.windows) {
        if (!Find(now.windows, hwnd)) {
            changes.push_back("* window " + Quoted(title) + " closed");
        }
    }
    for (const auto& [hwnd, title] : now.windows) {
        if (!Find(last_.windows, hwnd)) {
            changes.push_back("* window " + Quoted(title) +
                              " opened (\"show\" lists its controls)");
        }
    }
    if (now.menu_open != last_.menu_open) {
        changes.push_back(now.menu_open ? "* a menu opened (\"menu\" lists its items)"
                                        : "* the menu closed");
    }
    if (last_.lumiset_running && !now.lumiset_running) {
        changes.push_back("* Lumiset has ended (\"start\" starts it again)");
    }
    last_ = now;
    return changes;
}

}  // namespace console

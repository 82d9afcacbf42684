#include "tools/lumiset-sim/control_labels.h"

#include <algorithm>
#include <cstdlib>

namespace console {

namespace {

// A rectangle in the top-level window's client coordinates.
struct Box {
    long left, top, right, bottom;
    long MiddleX() const { return (left + right) / 2; }
    long MiddleY() const { return (top + bottom) / 2; }
};

Box BoxOf(const sim::WindowManager& windows, HWND hwnd) {
    const sim::Window& window = *windows.Find(hwnd);
    Box box{window.rect.left, window.rect.top, window.rect.right, window.rect.bottom};
    // A page's controls sit in the page: its origin is added until the top-level window.
    for (const sim::Window* parent = windows.Find(window.parent); parent && !parent->TopLevel();
         parent = windows.Find(parent->parent)) {
        box.left += parent->rect.left;
        box.right += parent->rect.left;
        box.top += parent->rect.top;
        box.bottom += parent->rect.top;
    }
    return box;
}

struct Text {
    Box box;
    std::u16string text;
};

// The static texts a person sees in the window, pages that are hidden left out.
void CollectTexts(const sim::WindowManager& windows, HWND parent, std::vector<Text>& texts) {
    for (HWND child : windows.Children(parent)) {
        const sim::Window& window = *windows.Find(child);
        if (!window.Visible()) {
            continue;
        }
        if (sim::SameTextIgnoringCase(window.class_name, u"#32770")) {
            CollectTexts(windows, child, texts);
        } else if (sim::SameTextIgnoringCase(window.class_name, u"Static") &&
                   !window.title.empty()) {
            texts.push_back({BoxOf(windows, child), window.title});
        }
    }
}

// The text whose vertical middle lies within the control's rows, nearest on its left; failing
// that (a vertical trackbar, say), the nearest texts over and under it, as "OVER / UNDER".
std::optional<std::u16string> TextBeside(const Box& control, const std::vector<Text>& texts) {
    const Text* left = nullptr;
    const Text* over = nullptr;
    const Text* under = nullptr;
    for (const Text& text : texts) {
        const Box& box = text.box;
        if (box.MiddleY() >= control.top && box.MiddleY() < control.bottom &&
            box.MiddleX() < control.left) {
            if (!left || box.right > left->box.right) {
                left = &text;
            }
        }
        if (box.MiddleX() >= control.left && box.MiddleX() < control.right) {
            if (box.bottom <= control.top && (!over || box.bottom > over->box.bottom)) {
                over = &text;
            }
            if (box.top >= control.bottom && (!under || box.top < under->box.top)) {
                under = &text;
            }
        }
    }
    if (left) {
        return left->text;
    }
    if (over && under) {
        return over->text + u" / " + under->text;
    }
    return over ? std::optional(over->text) : under ? std::optional(under->text) : std::nullopt;
}

// An icon button's arrow, told by where it sits among the window's icon buttons: the way it
// lies from their middle. A lone icon button points nowhere.
std::optional<std::u16string> ArrowOf(const Box& button, const Box& all) {
    const long dx = button.MiddleX() - all.MiddleX();
    const long dy = button.MiddleY() - all.MiddleY();
    if (dx == 0 && dy == 0) {
        return std::nullopt;
    }
    if (std::abs(dx) > std::abs(dy)) {
        return dx < 0 ? u"left" : u"right";
    }
    return dy < 0 ? u"up" : u"down";
}

}  // namespace

std::vector<std::optional<std::u16string>> ControlLabels(
    const sim::WindowManager& windows, HWND top_level,
    const std::vector<sim::ControlView>& controls) {
    std::vector<Text> texts;
    CollectTexts(windows, top_level, texts);
    std::optional<Box> icon_buttons;
    for (const sim::ControlView& control : controls) {
        if (control.kind == "iconbutton") {
            const Box box = BoxOf(windows, control.hwnd);
            icon_buttons = !icon_buttons ? box
                                         : Box{std::min(icon_buttons->left, box.left),
                                               std::min(icon_buttons->top, box.top),
                                               std::max(icon_buttons->right, box.right),
                                               std::max(icon_buttons->bottom, box.bottom)};
        }
    }
    std::vector<std::optional<std::u16string>> labels;
    for (const sim::ControlView& control : controls) {
        const Box box = BoxOf(windows, control.hwnd);
        if (control.kind == "trackbar" || control.kind == "edit" || control.kind == "hotkey") {
            labels.push_back(TextBeside(box, texts));
        } else if (control.kind == "iconbutton") {
            labels.push_back(ArrowOf(box, *icon_buttons));
        } else {
            labels.push_back(std::nullopt);  // its own text says what it is
        }
    }
    return labels;
}

}  // namespace console

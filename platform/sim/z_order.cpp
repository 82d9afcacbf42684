// The z-order of child windows. Children keep their creation order (the order of Children()) for
// everything else; only what walks the z-order (GetWindow, the dialog manager's tab order) sees
// where SetWindowPos put them.
#include <algorithm>

#include "platform/sim/window_manager.h"

namespace sim {

std::vector<HWND> WindowManager::ChildrenInZOrder(HWND parent) const {
    const std::vector<HWND> children = Children(parent);
    const auto moved = z_order_.find(parent);
    if (moved == z_order_.end()) {
        return children;
    }
    std::vector<HWND> ordered;
    for (HWND child : moved->second) {
        if (std::find(children.begin(), children.end(), child) != children.end()) {
            ordered.push_back(child);
        }
    }
    // Children made since go below the others, as new children do.
    for (HWND child : children) {
        if (std::find(ordered.begin(), ordered.end(), child) == ordered.end()) {
            ordered.push_back(child);
        }
    }
    return ordered;
}

void WindowManager::MoveInZOrder(HWND child, HWND insert_after) {
    const Window* window = Find(child);
    if (!window || window->TopLevel() || insert_after == child) {
        return;
    }
    // The orders of parents that have gone are dropped on the way.
    for (auto it = z_order_.begin(); it != z_order_.end();) {
        it = Find(it->first) ? std::next(it) : z_order_.erase(it);
    }
    std::vector<HWND> order = ChildrenInZOrder(window->parent);
    order.erase(std::remove(order.begin(), order.end(), child), order.end());
    if (insert_after == HWND_TOP) {
        order.insert(order.begin(), child);
    } else if (insert_after == HWND_BOTTOM) {
        order.push_back(child);
    } else {
        const auto sibling = std::find(order.begin(), order.end(), insert_after);
        if (sibling == order.end()) {
            return;  // not a sibling: the order stays
        }
        order.insert(std::next(sibling), child);
    }
    z_order_[window->parent] = std::move(order);
}

}  // namespace sim

#include "platform/sim/gdi.h"

#include "platform/sim/resource_counter.h"

namespace sim {

namespace {
constexpr std::string_view KindName(GdiObject::Kind kind) {
    return kind == GdiObject::Kind::Icon ? "icon" : "bitmap";
}
}  // namespace

ULONG_PTR Gdi::Add(GdiObject object) {
    const ULONG_PTR handle = next_handle_;
    next_handle_ += 4;
    resources_.Acquired(KindName(object.kind));
    objects_[handle] = object;
    return handle;
}

HICON Gdi::AddIcon(int resource_id, int width, int height, int bit_count) {
    return reinterpret_cast<HICON>(
        Add(GdiObject{GdiObject::Kind::Icon, resource_id, width, height, bit_count}));
}

HBITMAP Gdi::AddBitmap(int resource_id, int width, int height, int bit_count) {
    return reinterpret_cast<HBITMAP>(
        Add(GdiObject{GdiObject::Kind::Bitmap, resource_id, width, height, bit_count}));
}

bool Gdi::DestroyIcon(HICON icon) {
    auto it = objects_.find(Key(icon));
    if (it == objects_.end() || it->second.kind != GdiObject::Kind::Icon) {
        return false;
    }
    resources_.Released(KindName(it->second.kind));
    objects_.erase(it);
    return true;
}

bool Gdi::DeleteObject(HGDIOBJ object) {
    auto it = objects_.find(Key(object));
    if (it == objects_.end() || it->second.kind != GdiObject::Kind::Bitmap) {
        return false;
    }
    resources_.Released(KindName(it->second.kind));
    objects_.erase(it);
    return true;
}

std::optional<GdiObject> Gdi::Find(const void* handle) const {
    auto it = objects_.find(Key(handle));
    if (it == objects_.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace sim

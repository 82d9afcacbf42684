// Icons and bitmaps the program loads from its resources, by handle.
#pragma once

#include <map>
#include <optional>

#include "platform/sim/api/win32_user.h"

namespace sim {

class ResourceCounter;

struct GdiObject {
    enum class Kind { Icon, Bitmap };
    Kind kind;
    int resource_id;
    int width;
    int height;
    int bit_count;
};

class Gdi {
public:
    explicit Gdi(ResourceCounter& resources) : resources_(resources) {}

    HICON AddIcon(int resource_id, int width, int height, int bit_count);
    HBITMAP AddBitmap(int resource_id, int width, int height, int bit_count);
    bool DestroyIcon(HICON icon);
    bool DeleteObject(HGDIOBJ object);
    bool Exists(const void* handle) const { return objects_.count(Key(handle)) > 0; }
    std::optional<GdiObject> Find(const void* handle) const;

private:
    static ULONG_PTR Key(const void* handle) { return reinterpret_cast<ULONG_PTR>(handle); }
    ULONG_PTR Add(GdiObject object);

    ResourceCounter& resources_;
    std::map<ULONG_PTR, GdiObject> objects_;
    ULONG_PTR next_handle_ = 0x50010;
};

}  // namespace sim

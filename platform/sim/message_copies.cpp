#include "platform/sim/message_copies.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

// How the system carries a message's pointed-at data to another program.
enum class Copy {
    kText,             // a zero-terminated text in lParam
    kStruct,           // a structure of at least `size` bytes in lParam, copied back
    kCharBuffer,       // a buffer of wParam characters in lParam, filled by the receiver
    kWparamDwords,     // an array of wParam 32-bit values in lParam
    kTwoDwords,        // wParam and lParam each point at a 32-bit value the receiver fills
    kCopyData,         // COPYDATASTRUCT and its payload
    kNcCalcSize,       // RECT, or with wParam TRUE NCCALCSIZE_PARAMS with its WINDOWPOS
    kDeviceBroadcast,  // a DEV_BROADCAST_HDR structure of dbch_size bytes
    kLineBuffer,       // EM_GETLINE: the first WORD gives the buffer's size
    kNotCarried,       // the system cannot carry these to another program
};

struct CopiedMessage {
    UINT message;
    Copy copy;
    std::size_t size;
};

constexpr std::size_t kRect = 16;
constexpr std::size_t kWindowPos = 40;
constexpr std::size_t kNcCalcSizeParams = 56;  // three RECTs and the WINDOWPOS pointer

// The messages whose data Windows copies between programs (the owner-draw messages, WM_NOTIFY and
// WM_DPICHANGED are not among them: they arrive with the sender's raw pointer).
constexpr CopiedMessage kCopied[] = {
    {0x0001, Copy::kNotCarried, 0},        // WM_CREATE
    {0x000C, Copy::kText, 0},              // WM_SETTEXT
    {0x000D, Copy::kCharBuffer, 0},        // WM_GETTEXT
    {0x001A, Copy::kText, 0},              // WM_WININICHANGE
    {0x001B, Copy::kText, 0},              // WM_DEVMODECHANGE
    {0x0024, Copy::kStruct, 40},           // WM_GETMINMAXINFO
    {0x0046, Copy::kStruct, kWindowPos},   // WM_WINDOWPOSCHANGING
    {0x0047, Copy::kStruct, kWindowPos},   // WM_WINDOWPOSCHANGED
    {0x004A, Copy::kCopyData, 0},          // WM_COPYDATA
    {0x0053, Copy::kStruct, 40},           // WM_HELP
    {0x007C, Copy::kStruct, 8},            // WM_STYLECHANGING
    {0x007D, Copy::kStruct, 8},            // WM_STYLECHANGED
    {0x0081, Copy::kNotCarried, 0},        // WM_NCCREATE
    {0x0083, Copy::kNcCalcSize, 0},        // WM_NCCALCSIZE
    {0x0087, Copy::kStruct, 48},           // WM_GETDLGCODE
    {0x00B0, Copy::kTwoDwords, 0},         // EM_GETSEL
    {0x00B2, Copy::kStruct, kRect},        // EM_GETRECT
    {0x00B3, Copy::kStruct, kRect},        // EM_SETRECT
    {0x00B4, Copy::kStruct, kRect},        // EM_SETRECTNP
    {0x00C2, Copy::kText, 0},              // EM_REPLACESEL
    {0x00C4, Copy::kLineBuffer, 0},        // EM_GETLINE
    {0x00CB, Copy::kWparamDwords, 0},      // EM_SETTABSTOPS
    {0x00E3, Copy::kTwoDwords, 0},         // SBM_GETRANGE
    {0x00E9, Copy::kStruct, 28},           // SBM_SETSCROLLINFO
    {0x00EA, Copy::kStruct, 28},           // SBM_GETSCROLLINFO
    {0x00EB, Copy::kStruct, 60},           // SBM_GETSCROLLBARINFO
    {0x0140, Copy::kTwoDwords, 0},         // CB_GETEDITSEL
    {0x0143, Copy::kText, 0},              // CB_ADDSTRING
    {0x0145, Copy::kText, 0},              // CB_DIR
    {0x0148, Copy::kStruct, 1},            // CB_GETLBTEXT
    {0x014A, Copy::kText, 0},              // CB_INSERTSTRING
    {0x014C, Copy::kText, 0},              // CB_FINDSTRING
    {0x014D, Copy::kText, 0},              // CB_SELECTSTRING
    {0x0152, Copy::kStruct, kRect},        // CB_GETDROPPEDCONTROLRECT
    {0x0158, Copy::kText, 0},              // CB_FINDSTRINGEXACT
    {0x0164, Copy::kStruct, 64},           // CB_GETCOMBOBOXINFO
    {0x0180, Copy::kText, 0},              // LB_ADDSTRING
    {0x0181, Copy::kText, 0},              // LB_INSERTSTRING
    {0x0189, Copy::kStruct, 1},            // LB_GETTEXT
    {0x018C, Copy::kText, 0},              // LB_SELECTSTRING
    {0x018D, Copy::kText, 0},              // LB_DIR
    {0x018F, Copy::kText, 0},              // LB_FINDSTRING
    {0x0191, Copy::kWparamDwords, 0},      // LB_GETSELITEMS
    {0x0192, Copy::kWparamDwords, 0},      // LB_SETTABSTOPS
    {0x0196, Copy::kText, 0},              // LB_ADDFILE
    {0x0198, Copy::kStruct, kRect},        // LB_GETITEMRECT
    {0x01A2, Copy::kText, 0},              // LB_FINDSTRINGEXACT
    {0x0213, Copy::kStruct, 24},           // WM_NEXTMENU
    {0x0214, Copy::kStruct, kRect},        // WM_SIZING
    {0x0216, Copy::kStruct, kRect},        // WM_MOVING
    {0x0219, Copy::kDeviceBroadcast, 12},  // WM_DEVICECHANGE, events with data
    {0x0220, Copy::kNotCarried, 0},        // WM_MDICREATE
    {0x0229, Copy::kStruct, 4},            // WM_MDIGETACTIVE
    {0x022A, Copy::kNotCarried, 0},        // WM_DROPOBJECT
    {0x022B, Copy::kNotCarried, 0},        // WM_QUERYDROPOBJECT
    {0x022D, Copy::kNotCarried, 0},        // WM_DRAGLOOP
    {0x022E, Copy::kNotCarried, 0},        // WM_DRAGSELECT
    {0x022F, Copy::kNotCarried, 0},        // WM_DRAGMOVE
    {0x030C, Copy::kCharBuffer, 0},        // WM_ASKCBFORMATNAME
};

constexpr UINT kDeviceChange = 0x0219;
constexpr WPARAM kDeviceEventWithData = 0x8000;

const CopiedMessage* Find(UINT message, WPARAM wparam) {
    if (message == kDeviceChange && !(wparam & kDeviceEventWithData)) {
        return nullptr;
    }
    const auto* it =
        std::find_if(std::begin(kCopied), std::end(kCopied),
                     [message](const CopiedMessage& m) { return m.message == message; });
    return it == std::end(kCopied) ? nullptr : it;
}

// The copy's layout of COPYDATASTRUCT.
struct CopyDataLayout {
    ULONG_PTR dwData;
    DWORD cbData;
    void* lpData;
};

}  // namespace

MessageData MessageData::Text(std::string_view ansi) {
    MessageData data;
    data.bytes.assign(ansi.begin(), ansi.end());
    data.bytes.push_back(0);
    return data;
}

bool IsCopiedMessage(UINT message, WPARAM wparam) {
    return Find(message, wparam) != nullptr;
}

bool CarriesCopiedData(UINT message, WPARAM wparam, LPARAM lparam) {
    const CopiedMessage* copied = Find(message, wparam);
    if (!copied) {
        return false;
    }
    return lparam != 0 || (copied->copy == Copy::kTwoDwords && wparam != 0);
}

std::vector<std::uint8_t> MessageCopy::Bytes() const {
    if (!storage_) {
        return {};
    }
    const auto* begin = reinterpret_cast<const std::uint8_t*>(storage_->data());
    return std::vector<std::uint8_t>(begin, begin + size_);
}

std::optional<MessageCopy> MessageCopy::Make(UINT message, WPARAM wparam, LPARAM lparam,
                                             const std::optional<MessageData>& data, DWORD& error) {
    MessageCopy copy;
    copy.wparam_ = wparam;
    copy.lparam_ = lparam;
    const CopiedMessage* copied = Find(message, wparam);
    // Raw messages, and null pointers, pass as they are.
    if (!copied || !CarriesCopiedData(message, wparam, lparam)) {
        return copy;
    }
    error = ERROR_NOACCESS;
    if (!data || copied->copy == Copy::kNotCarried) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t>& bytes = data->bytes;
    std::size_t size = bytes.size();
    switch (copied->copy) {
        case Copy::kText:
            if (std::find(bytes.begin(), bytes.end(), 0) == bytes.end()) {
                return std::nullopt;
            }
            break;
        case Copy::kStruct:
        case Copy::kDeviceBroadcast:
            if (size < copied->size) {
                return std::nullopt;
            }
            break;
        case Copy::kCharBuffer:
            if (wparam > size) {
                return std::nullopt;
            }
            size = wparam;
            break;
        case Copy::kWparamDwords:
            if (wparam > size / 4) {
                return std::nullopt;
            }
            break;
        case Copy::kTwoDwords:
            size = 8;
            break;
        case Copy::kCopyData:
            size = sizeof(CopyDataLayout) + bytes.size();
            break;
        case Copy::kNcCalcSize:
            if (size < (wparam ? kNcCalcSizeParams + kWindowPos : kRect)) {
                return std::nullopt;
            }
            break;
        case Copy::kLineBuffer:
            if (size < 2) {
                return std::nullopt;
            }
            break;
        case Copy::kNotCarried:
            return std::nullopt;
    }
    // One spare zero word: a receiver reading a text to its end stays inside the copy.
    copy.storage_ = std::make_shared<std::vector<std::uint64_t>>(size / 8 + 2, 0);
    copy.size_ = size;
    auto* buffer = reinterpret_cast<std::uint8_t*>(copy.storage_->data());
    if (copied->copy == Copy::kCopyData) {
        auto* header = reinterpret_cast<CopyDataLayout*>(buffer);
        std::memcpy(buffer + sizeof(CopyDataLayout), bytes.data(), bytes.size());
        header->dwData = data->id;
        header->cbData = static_cast<DWORD>(bytes.size());
        header->lpData = bytes.empty() ? nullptr : buffer + sizeof(CopyDataLayout);
    } else {
        std::memcpy(buffer, bytes.data(), std::min(size, bytes.size()));
    }
    if (copied->copy == Copy::kNcCalcSize && wparam) {
        auto** position = reinterpret_cast<std::uint8_t**>(buffer + kNcCalcSizeParams - 8);
        *position = buffer + kNcCalcSizeParams;
    }
    if (copied->copy == Copy::kTwoDwords) {
        copy.wparam_ = wparam ? reinterpret_cast<WPARAM>(buffer) : 0;
        copy.lparam_ = lparam ? reinterpret_cast<LPARAM>(buffer + 4) : 0;
    } else {
        copy.lparam_ = reinterpret_cast<LPARAM>(buffer);
    }
    error = 0;
    return copy;
}

}  // namespace sim

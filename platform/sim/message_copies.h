// Messages between programs as Windows carries them: the system copies the data of a known
// family of messages (texts, WINDOWPOS, NCCALCSIZE, COPYDATA …) into the receiving program,
// refuses to post them, and passes every other message with its raw values.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/sim/api/win32_types.h"
#include "platform/sim/api/win32_user.h"

namespace sim {

// What another program hands over with a message of the copied family: the bytes its pointer
// parameter points at, in the sender's memory (an ANSI text with its terminating zero, a
// structure, a buffer to be filled). For WM_COPYDATA, the bytes are the payload and `id` its
// dwData.
struct MessageData {
    std::vector<std::uint8_t> bytes;
    ULONG_PTR id = 0;

    static MessageData Text(std::string_view ansi);
    static MessageData Buffer(std::size_t size) {
        return MessageData{std::vector<std::uint8_t>(size)};
    }
};

// How a message from another program went.
struct OutsideMessageResult {
    bool delivered = false;  // posted, or sent to the window
    DWORD error =
        0;  // why not: ERROR_INVALID_WINDOW_HANDLE, ERROR_MESSAGE_SYNC_ONLY, ERROR_NOACCESS
    // A send's answer; nullopt when the window had not answered by the time the machine settled.
    std::optional<LRESULT> answer;
    // The data as the receiver left it, copied back to the sender (a WM_GETTEXT buffer, a
    // WINDOWPOS).
    std::vector<std::uint8_t> returned;
};

// Whether Windows copies the message's data between programs; such a message cannot be posted
// (ERROR_MESSAGE_SYNC_ONLY).
bool IsCopiedMessage(UINT message, WPARAM wparam);
// Whether a message of the copied family points at data (a nonzero pointer parameter), which
// another program must hand over for the message to be sent.
bool CarriesCopiedData(UINT message, WPARAM wparam, LPARAM lparam);

// The receiving program's copy of a message's data, alive while the message is handled.
class MessageCopy {
public:
    // Builds the copy from what the sender handed over; nullopt with `error` set when the data
    // cannot be read (none given for a nonzero pointer, too short, a text without its end).
    static std::optional<MessageCopy> Make(UINT message, WPARAM wparam, LPARAM lparam,
                                           const std::optional<MessageData>& data, DWORD& error);

    WPARAM wparam() const { return wparam_; }
    LPARAM lparam() const { return lparam_; }
    // The copied data as it is now, for copying back to the sender.
    std::vector<std::uint8_t> Bytes() const;

private:
    std::shared_ptr<std::vector<std::uint64_t>> storage_;  // aligned for any structure
    std::size_t size_ = 0;
    WPARAM wparam_ = 0;
    LPARAM lparam_ = 0;
};

}  // namespace sim

#include "framework/cmd_target.h"

using framework::detail::EntryKind;

namespace {

template <typename Match>
const CMessageEntry* FindEntry(const CMessageMap* map, Match match) {
    for (; map != nullptr; map = map->baseMap != nullptr ? map->baseMap() : nullptr) {
        for (const CMessageEntry& entry : map->entries) {
            if (entry.kind != EntryKind::End && match(entry)) {
                return &entry;
            }
        }
    }
    return nullptr;
}

bool InRange(const CMessageEntry& entry, UINT id) {
    return entry.firstId <= id && id <= entry.lastId;
}

}  // namespace

const CMessageMap* CCmdTarget::GetThisMessageMap() {
    static constexpr CMessageMap kMap{nullptr, {}};
    return &kMap;
}

const CMessageMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nCode) {
    const CMessageEntry* entry = FindCommandEntry(nID, nCode);
    if (entry == nullptr) {
        return FALSE;
    }
    entry->thunk(*this, nID, 0);
    return TRUE;
}

const CMessageEntry* CCmdTarget::FindMessageEntry(UINT message) const {
    return FindEntry(GetMessageMap(), [message](const CMessageEntry& entry) {
        if (entry.kind == EntryKind::Message) {
            return entry.message == message;
        }
        // A registered message that could not be registered has id 0 and matches nothing.
        return entry.kind == EntryKind::RegisteredMessage && *entry.registeredMessage != 0 &&
               *entry.registeredMessage == message;
    });
}

const CMessageEntry* CCmdTarget::FindCommandEntry(UINT nID, UINT nCode) const {
    return FindEntry(GetMessageMap(), [nID, nCode](const CMessageEntry& entry) {
        return entry.kind == EntryKind::Command && entry.code == nCode && InRange(entry, nID);
    });
}

const CMessageEntry* CCmdTarget::FindNotifyEntry(UINT nID, UINT nCode) const {
    return FindEntry(GetMessageMap(), [nID, nCode](const CMessageEntry& entry) {
        return entry.kind == EntryKind::Notify && entry.code == nCode && InRange(entry, nID);
    });
}

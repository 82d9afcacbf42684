// The common file dialog, on the current machine: the dialog itself is sim::FileDialogs; this
// checks the caller's structure and hands the chosen path back through it.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/sim/api/win32_commdlg.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"

namespace {

using sim::api::M;

// Each thread has its own, as comdlg32 keeps it.
thread_local DWORD extended_error = 0;

// The system's own title for the dialog, in the user's UI language.
std::u16string OpenTitle(unsigned short ui_language) {
    switch (ui_language) {
        case 2052:
            return u"\u6253\u5F00";
        case 1028:
            return u"\u958B\u555F";
        default:
            return u"Open";
    }
}

BOOL Fail(DWORD error) {
    extended_error = error;
    return FALSE;
}

}  // namespace

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA lpofn) {
    sim::Machine& machine = M();
    extended_error = 0;
    if (!lpofn || (lpofn->lStructSize != sizeof(OPENFILENAMEA) &&
                   lpofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
        return Fail(CDERR_STRUCTSIZE);
    }
    if (auto code = machine.faults().Take("GetOpenFileNameA")) {
        return Fail(*code != 0 ? *code : CDERR_DIALOGFAILURE);
    }
    // The dialog cannot be created over an owner that is not a window.
    if (lpofn->hwndOwner && !machine.windows().Find(lpofn->hwndOwner)) {
        return Fail(CDERR_DIALOGFAILURE);
    }
    const unsigned code_page = machine.locale().ansi_code_page;
    std::u16string title = lpofn->lpstrTitle ? sim::AnsiToUtf16(lpofn->lpstrTitle, code_page)
                                             : OpenTitle(machine.locale().ui_language);
    const auto path = machine.file_dialogs().Run(lpofn->hwndOwner, std::move(title));
    if (!path) {
        return FALSE;
    }

    const std::string ansi = sim::Utf16ToAnsi(*path, code_page);
    const size_t needed = ansi.size() + 1;
    if (needed > lpofn->nMaxFile) {
        // The size the caller needs goes in the buffer's first two bytes.
        if (lpofn->lpstrFile && lpofn->nMaxFile >= 2) {
            const auto size = static_cast<WORD>(std::min<size_t>(needed, 0xFFFF));
            std::memcpy(lpofn->lpstrFile, &size, sizeof size);
        }
        return Fail(FNERR_BUFFERTOOSMALL);
    }
    if (lpofn->lpstrFile) {
        std::memcpy(lpofn->lpstrFile, ansi.c_str(), needed);
    }

    // Offsets are counted in the ANSI text; they are found in the UTF-16 path, because a
    // double-byte character's second byte may look like a backslash.
    const size_t name = path->find_last_of(u"\\/:") + 1;  // 0 when there is no folder
    const size_t dot = path->find_last_of(u'.');
    auto ansi_offset = [&](size_t index) {
        return static_cast<WORD>(sim::Utf16ToAnsi(path->substr(0, index), code_page).size());
    };
    lpofn->nFileOffset = ansi_offset(name);
    const bool has_extension = dot != std::u16string::npos && dot >= name && dot + 1 < path->size();
    lpofn->nFileExtension = has_extension ? ansi_offset(dot + 1) : 0;
    if (lpofn->lpstrFileTitle && lpofn->nMaxFileTitle > 0) {
        sim::api::CopyAnsi(path->substr(name), lpofn->lpstrFileTitle,
                           static_cast<int>(lpofn->nMaxFileTitle));
    }
    return TRUE;
}

DWORD WINAPI CommDlgExtendedError() {
    return extended_error;
}

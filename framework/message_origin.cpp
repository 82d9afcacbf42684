#include "framework/message_origin.h"

#include "framework/outside_messages.h"

namespace framework {

namespace {

// Not declared by every build's headers.
constexpr UINT kMeasureItem = 0x002C;  // WM_MEASUREITEM
constexpr UINT kDeleteItem = 0x002D;   // WM_DELETEITEM
constexpr UINT kDpiChanged = 0x02E0;   // WM_DPICHANGED

LRESULT CALLBACK FilterPostedMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        if (auto* msg = reinterpret_cast<MSG*>(lParam); msg != nullptr && !MayDispatch(*msg)) {
            msg->message = WM_NULL;
            msg->wParam = 0;
            msg->lParam = 0;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool SentFromAnotherThread() {
    const DWORD how = InSendMessageEx(nullptr);
    return (how & (ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK)) != 0 && (how & ISMEX_REPLIED) == 0;
}

void AnswerWaitingSender() {
    if (SentFromAnotherThread()) {
        ReplyMessage(0);
    }
}

bool CarriesSendersPointer(UINT message) {
    switch (message) {
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case kMeasureItem:
        case WM_COMPAREITEM:
        case kDeleteItem:
        case kDpiChanged:  // its suggested rectangle: not copied between programs
            return true;
        default:
            return false;
    }
}

bool IsPositionWithoutRecord(UINT message, LPARAM lParam) {
    return (message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED) && lParam == 0;
}

bool IsNeverPosted(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_DESTROY:
        case WM_NCDESTROY:
        case WM_SETTEXT:
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED:
            return true;
        default:
            return CarriesSendersPointer(message);
    }
}

PostedMessageFilter::PostedMessageFilter()
    : m_hook(
          SetWindowsHookExA(WH_GETMESSAGE, &FilterPostedMessage, nullptr, GetCurrentThreadId())) {}

}  // namespace framework

// Message maps: one small table per class binds a handler to a message, or
// to a command or notification of one control id. Dispatch runs on the
// thread that owns the window.
#pragma once

#include <windows.h>

namespace tracewick {

inline constexpr UINT kAnyCode = 0xFFFFFFFFu;

template <class T>
struct MessageEntry {
    using Handler = INT_PTR (T::*)(WPARAM, LPARAM);

    UINT message;  // 0 ends the table
    UINT id;       // control id for WM_COMMAND and WM_NOTIFY, else unused
    UINT code;     // notification code, or kAnyCode
    Handler handler;
};

template <class T>
constexpr MessageEntry<T> OnMsg(UINT message, typename MessageEntry<T>::Handler handler) {
    return {message, 0, kAnyCode, handler};
}

// A command from control `id`; `code` 0 is a button click (and a posted or
// sent WM_COMMAND with no notification).
template <class T>
constexpr MessageEntry<T> OnCommand(UINT id, typename MessageEntry<T>::Handler handler,
                                    UINT code = 0) {
    return {WM_COMMAND, id, code, handler};
}

template <class T>
constexpr MessageEntry<T> EndOfMessageMap() {
    return {0, 0, 0, nullptr};
}

// Runs the first entry of `map` that matches; false when none does.
template <class T>
bool DispatchMessageMap(T& target, const MessageEntry<T>* map, UINT message, WPARAM wparam,
                        LPARAM lparam, INT_PTR& result) {
    UINT id = 0;
    UINT code = 0;
    if (message == WM_COMMAND) {
        id = LOWORD(wparam);
        code = HIWORD(wparam);
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        id = static_cast<UINT>(header->idFrom);
        code = header->code;
    }
    for (const MessageEntry<T>* entry = map; entry->message != 0; ++entry) {
        if (entry->message != message) continue;
        if (message == WM_COMMAND || message == WM_NOTIFY) {
            if (entry->id != id) continue;
            if (entry->code != kAnyCode && entry->code != code) continue;
        }
        result = (target.*(entry->handler))(wparam, lparam);
        return true;
    }
    return false;
}

// Gives a window class `T` derived from `Base` its table `T::kMessageMap`,
// consulted before the base class's own handling.
template <class T, class Base>
class WithMessageMap : public Base {
public:
    using Base::Base;

protected:
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override {
        if (DispatchMessageMap(static_cast<T&>(*this), T::kMessageMap, message, wparam, lparam,
                               result)) {
            return true;
        }
        return Base::OnMessage(message, wparam, lparam, result);
    }
};

}  // namespace tracewick

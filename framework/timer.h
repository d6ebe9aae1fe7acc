// A window timer with a fixed id, stopped when its owner goes. UI thread only.
#pragma once

#include <windows.h>

namespace tracewick {

class WindowTimer {
public:
    explicit WindowTimer(UINT_PTR id) noexcept : id_(id) {}
    ~WindowTimer() { Stop(); }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    // Starts (or restarts) the timer on `window`; false when it could not.
    [[nodiscard]] bool Start(HWND window, UINT milliseconds) noexcept {
        Stop();
        if (::SetTimer(window, id_, milliseconds, nullptr) == 0) return false;
        window_ = window;
        return true;
    }
    void Stop() noexcept {
        if (window_) ::KillTimer(window_, id_);
        window_ = nullptr;
    }

private:
    UINT_PTR id_;
    HWND window_ = nullptr;
};

}  // namespace tracewick

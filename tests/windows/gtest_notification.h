// Forced into every file that includes GoogleTest in the Windows build. The win32 thread
// model's C++ runtime has no std::mutex or std::condition_variable, and GoogleTest's
// Notification (a start signal for the threads of GoogleTest's own thread helpers) is built on
// them; GoogleTest takes this one instead. Its mutexes and thread-local storage use the
// Windows API directly and need nothing else.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true, std::memory_order_release); }
    // Only threads of GoogleTest's helpers wait, and only for the moment until they may start.
    void WaitForNotification() {
        while (!notified_.load(std::memory_order_acquire)) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal

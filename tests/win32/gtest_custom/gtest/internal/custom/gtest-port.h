// GoogleTest's customisation header, for the mingw-w64 build only: its
// Notification wants std::mutex, which the win32 thread model lacks.
#pragma once

#include <atomic>

// Only GoogleTest's own thread helpers wait on a Notification; these tests
// never start a thread, so a spinning wait is enough.
#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true, std::memory_order_release); }
    void WaitForNotification() {
        while (!notified_.load(std::memory_order_acquire)) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

} // namespace testing::internal

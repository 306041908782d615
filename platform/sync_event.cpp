// Auto-reset events: one lock and one condition for all of them, so that a thread can wait for
// any of several. There are few events and few waiters (one per playing stream).
#include "platform/sync_event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {
std::mutex& eventMutex() {
    static std::mutex mutex;
    return mutex;
}
std::condition_variable& eventSignalled() {
    static std::condition_variable condition;
    return condition;
}
}  // namespace

void SyncEvent::set() {
    {
        std::lock_guard<std::mutex> lock(eventMutex());
        signalled_ = true;
    }
    eventSignalled().notify_all();
}

void SyncEvent::reset() {
    std::lock_guard<std::mutex> lock(eventMutex());
    signalled_ = false;
}

int waitForAny(SyncEvent* const* events, int count, int timeoutMs) {
    if (!events || count <= 0) return kWaitFailed;
    for (int i = 0; i < count; ++i)
        if (!events[i]) return kWaitFailed;
    int found = kWaitFailed;
    auto take = [&] {
        for (int i = 0; i < count; ++i) {
            if (events[i]->signalled_) {
                events[i]->signalled_ = false;
                found = i;
                return true;
            }
        }
        return false;
    };
    std::unique_lock<std::mutex> lock(eventMutex());
    if (timeoutMs < 0) {
        eventSignalled().wait(lock, take);
    } else {
        eventSignalled().wait_for(lock, std::chrono::milliseconds(timeoutMs), take);
    }
    return found;
}

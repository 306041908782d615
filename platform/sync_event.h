// An auto-reset event and a wait for any of several, standing in for Win32 events.
#pragma once

constexpr int kWaitForever = -1;
constexpr int kWaitFailed = -1;  // what waitForAny returns on a time-out or bad arguments

class SyncEvent {
  public:
    SyncEvent() = default;
    SyncEvent(const SyncEvent&) = delete;
    SyncEvent& operator=(const SyncEvent&) = delete;

    // Signals the event; it stays signalled until one wait takes it.
    void set();
    // Clears a pending signal.
    void reset();

  private:
    friend int waitForAny(SyncEvent* const* events, int count, int timeoutMs);
    bool signalled_ = false;
};

// Blocks until one of the events is signalled, resets it and returns its index (the lowest when
// several are); kWaitFailed after timeoutMs milliseconds (kWaitForever: no limit) or when the
// list is empty or holds a null event.
int waitForAny(SyncEvent* const* events, int count, int timeoutMs = kWaitForever);

#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// An event that stays signalled until one wait consumes it, then resets itself. Any thread may
// set, reset or wait.
class CAutoResetEvent {
public:
    explicit CAutoResetEvent(bool signalled = false) : m_signalled(signalled) {}
    CAutoResetEvent(const CAutoResetEvent&) = delete;
    CAutoResetEvent& operator=(const CAutoResetEvent&) = delete;

    // Signals the event; one waiting thread (or the next wait) takes the signal.
    void Set();
    void Reset();
    // Waits up to timeout; true when the signal was taken (the event is then reset). A zero
    // timeout polls without blocking.
    bool Wait(std::chrono::milliseconds timeout);
    void Wait();

private:
    std::mutex m_mutex;
    std::condition_variable m_condition;
    bool m_signalled;
};

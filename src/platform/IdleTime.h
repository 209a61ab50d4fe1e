#pragma once

#include <cstdint>

// How long the user has left keyboard and mouse alone.
class IIdleTime {
public:
    virtual ~IIdleTime() = default;

    // Whole seconds since the last input; 0 when that cannot be told.
    virtual uint32_t GetIdleSeconds() = 0;
};

// An idle probe whose answer the test sets.
class CFakeIdleTime : public IIdleTime {
public:
    uint32_t GetIdleSeconds() override { return m_seconds; }
    void SetIdleSeconds(uint32_t seconds) { m_seconds = seconds; }

private:
    uint32_t m_seconds = 0;
};

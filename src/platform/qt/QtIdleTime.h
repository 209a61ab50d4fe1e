#pragma once

#include "platform/IdleTime.h"

#include <QObject>

#include <cstdint>
#include <functional>

class QEvent;

// Idle time on the desktop. On X11 it is the system-wide time since the last input (the
// screen saver extension); elsewhere, and when that is missing, the time since the last
// input event reached any window of the program.
class CQtIdleTime : public QObject, public IIdleTime {
    Q_OBJECT

public:
    // Milliseconds of a monotonic clock.
    using CLOCK = std::function<int64_t()>;

    // systemWide false keeps to the program's own input even on X11; clock null takes the
    // steady clock.
    explicit CQtIdleTime(bool systemWide = true, CLOCK clock = {}, QObject* parent = nullptr);
    ~CQtIdleTime() override;
    CQtIdleTime(const CQtIdleTime&) = delete;
    CQtIdleTime& operator=(const CQtIdleTime&) = delete;

    uint32_t GetIdleSeconds() override;
    bool IsSystemWide() const { return m_x11 != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CLOCK m_clock;
    int64_t m_lastInput = 0;
    void* m_x11 = nullptr;
};

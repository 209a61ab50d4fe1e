#include "platform/qt/QtIdleTime.h"

#include "platform/qt/QtIdleTimeX11.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <chrono>

namespace {

int64_t SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The X display, only where asking for it is safe: other platforms (offscreen among them)
// hand out a null display, and the extension would crash on it.
void* X11Display() {
#if QT_CONFIG(xcb)
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* app = qGuiApp;
    if (!app)
        return nullptr;
    if (auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>())
        return x11->display();
#endif
    return nullptr;
}

bool IsInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
        return true;
    default:
        return false;
    }
}

} // namespace

CQtIdleTime::CQtIdleTime(bool systemWide, CLOCK clock, QObject* parent)
    : QObject(parent), m_clock(clock ? std::move(clock) : CLOCK(SteadyMs)) {
    m_lastInput = m_clock();
    if (systemWide)
        m_x11 = txx11::OpenIdleQuery(X11Display());
    // Kept even with the extension: a failing query falls back on the program's own input.
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

CQtIdleTime::~CQtIdleTime() {
    txx11::CloseIdleQuery(m_x11);
}

uint32_t CQtIdleTime::GetIdleSeconds() {
    uint64_t ms = 0;
    if (m_x11 && txx11::QueryIdleMs(m_x11, ms))
        return static_cast<uint32_t>(ms / 1000);
    const int64_t elapsed = m_clock() - m_lastInput;
    return elapsed > 0 ? static_cast<uint32_t>(elapsed / 1000) : 0;
}

bool CQtIdleTime::eventFilter(QObject* watched, QEvent* event) {
    if (IsInput(event->type()))
        m_lastInput = m_clock();
    return QObject::eventFilter(watched, event);
}

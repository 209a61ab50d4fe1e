#include "platform/qt/WaitCursor.h"

#include <QGuiApplication>

CWaitCursor::CWaitCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor() {
    QGuiApplication::restoreOverrideCursor();
}

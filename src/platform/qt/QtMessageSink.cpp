#include "platform/qt/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <vector>

namespace {

QMessageBox::Icon IconOf(unsigned flags) {
    switch (flags & 0xF0) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

struct BUTTON {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<BUTTON> ButtonsOf(unsigned flags) {
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNOCANCEL:
        return {
            {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

} // namespace

int CQtMessageSink::Show(const std::string& text, const std::string& caption, unsigned flags) {
    // The search reports database errors from its worker, but widgets live on the window
    // thread. Waiting there could deadlock with a window thread that joins the worker, so the
    // box is queued and the worker goes on with the style's first button.
    if (QCoreApplication::instance() && QThread::currentThread() != qApp->thread()) {
        QMetaObject::invokeMethod(
            qApp, [this, text, caption, flags] { Show(text, caption, flags); },
            Qt::QueuedConnection);
        return ButtonsOf(flags).front().answer;
    }
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent =
            m_mainWindow && m_mainWindow->isVisible() ? m_mainWindow : QApplication::activeWindow();
    QMessageBox box(IconOf(flags), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, parent);
    const std::vector<BUTTON> buttons = ButtonsOf(flags);
    for (const BUTTON& b : buttons)
        box.addButton(b.button);
    std::size_t defaultIndex = (flags & kMbDefButton3) ? 2 : (flags & kMbDefButton2) ? 1 : 0;
    if (defaultIndex < buttons.size())
        box.setDefaultButton(buttons[defaultIndex].button);
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    for (const BUTTON& b : buttons)
        if (b.button == pressed)
            return b.answer;
    // Closed with Escape or the title bar: the cancelling answer of the style.
    if ((flags & 0x0F) == MB_YESNO)
        return IDNO;
    return (flags & 0x0F) == MB_OK ? IDOK : IDCANCEL;
}

#include "app/TresorixApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kiv Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Tresorix Pro"));
    // The main window may hide in the notification area while a dialog closes: the program
    // ends when the main window really closes (it quits then), not with the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    int result = 0;
    {
        CTresorixApp app;
        if (app.InitInstance(QCoreApplication::arguments()))
            result = QApplication::exec();
        app.ExitInstance();
    }
    return result;
}

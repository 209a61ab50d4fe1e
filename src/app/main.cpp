#include "app/TresorixApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kiv Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Tresorix Pro"));
    int result = 0;
    {
        CTresorixApp app;
        if (app.InitInstance(QCoreApplication::arguments()))
            result = QApplication::exec();
        app.ExitInstance();
    }
    return result;
}

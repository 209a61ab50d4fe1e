// Draws the main window, the login dialog and the creation wizard on a copy of a fixture
// vault and saves each as PNG into the folder named on the command line.
#include "AppTestSupport.h"

#include "app/CreationWizard.h"
#include "app/LeftFrame.h"
#include "app/MainFrame.h"
#include "app/MainTreeView.h"
#include "app/PasswordDlg.h"
#include "app/RightFrame.h"
#include "app/TxListView.h"
#include "ui/ModalRunner.h"
#include "ui/PasswordEdit.h"

#include <QDir>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

namespace {

bool Save(QWidget& widget, const QString& path) {
    widget.repaint();
    QCoreApplication::processEvents();
    const bool ok = widget.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kiv Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Tresorix Pro"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    apptest::CAppHarness h;
    const QString vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
    if (vault.isEmpty()) {
        std::printf("fixture vault missing\n");
        return 1;
    }
    bool ok = true;
    SetModalHook([&](QDialog& dialog) {
        auto& login = dynamic_cast<CPasswordDlg&>(dialog);
        dialog.show();
        login.UsernameBox()->setText(QStringLiteral("carol"));
        login.PasswordBox()->setText(QStringLiteral("S3cret!pass"));
        ok = Save(dialog, out + QStringLiteral("/login-dialog.png")) && ok;
        login.accept();
        return dialog.result();
    });
    CTresorixApp app(h.Options());
    if (!app.InitInstance({QStringLiteral("tresorix"), vault}))
        return 1;
    SetModalHook({});
    CMainFrame& frame = *app.GetMainFrame();
    frame.setGeometry(40, 40, 1000, 640);
    QCoreApplication::processEvents();
    frame.Left()->Tree()->SelectFolder(6, true);
    frame.Right()->List()->SelectId(13);
    frame.Right()->RefreshHeaderAndPreview();
    ok = Save(frame, out + QStringLiteral("/main-window.png")) && ok;

    CCreationWizard wizard;
    wizard.show();
    wizard.next();
    wizard.next();
    ok = Save(wizard, out + QStringLiteral("/creation-wizard.png")) && ok;
    wizard.reject();
    app.ExitInstance();
    return ok ? 0 : 1;
}

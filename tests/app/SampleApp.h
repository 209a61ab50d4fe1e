#pragma once

#include "AppTestSupport.h"

#include "app/LeftFrame.h"
#include "app/MainFrame.h"
#include "app/MainTreeView.h"
#include "app/PasswordDlg.h"
#include "app/RightFrame.h"
#include "app/TxListView.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "ui/PasswordEdit.h"

#include <QAction>
#include <QLineEdit>

#include <memory>

namespace apptest {

// The sample vault copied and logged in, with the main window shown.
struct CSampleApp {
    explicit CSampleApp(apptest::CAppHarness& harness) : h(harness) {
        vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
    }
    bool Start() {
        if (vault.isEmpty())
            return false;
        script = std::make_unique<apptest::CModalScript>();
        script->Add([](QDialog& d) {
            auto& login = dynamic_cast<CPasswordDlg&>(d);
            login.UsernameBox()->setText(QStringLiteral("carol"));
            login.PasswordBox()->setText(QStringLiteral("S3cret!pass"));
            login.accept();
            return apptest::Finish(d);
        });
        app = std::make_unique<CTresorixApp>(h.Options());
        if (!app->InitInstance({QStringLiteral("tresorix"), vault}))
            return false;
        QCoreApplication::processEvents();
        return true;
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CMainTreeView& Tree() { return *Frame().Left()->Tree(); }
    CTxListView& List() { return *Frame().Right()->List(); }
    CTxDoc& Doc() { return *app->GetDocument(); }
    void Open(int id) {
        Tree().SelectFolder(id, true);
        QCoreApplication::processEvents();
    }
    // Selects the list row of record id and gives the list the focus, as a click does.
    bool SelectRecord(int id) {
        Frame().activateWindow();
        List().SelectId(id);
        List().CurrentView()->setFocus();
        QCoreApplication::processEvents();
        return Frame().CommandSelection() == std::vector<int>{id};
    }
    // Gives the folder tree the focus back (the folder is the selection again).
    void FocusTree() {
        Tree().setFocus();
        QCoreApplication::processEvents();
    }
    int Parent(int id) { return Doc().GetNode(id)->GetParentID(); }
    bool Enabled(int id) { return Frame().Action(id)->isEnabled(); }

    apptest::CAppHarness& h;
    QString vault;
    std::unique_ptr<apptest::CModalScript> script;
    std::unique_ptr<CTresorixApp> app;
};

// Answers a login dialog with username and password.
inline CModalScript::STEP LoginStep(const QString& username, const QString& password) {
    return [username, password](QDialog& d) {
        auto& login = dynamic_cast<CPasswordDlg&>(d);
        login.UsernameBox()->setText(username);
        login.PasswordBox()->setText(password);
        login.accept();
        return Finish(d);
    };
}

} // namespace apptest

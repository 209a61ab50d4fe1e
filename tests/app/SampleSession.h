#pragma once

#include "AppTestSupport.h"

#include "app/LeftFrame.h"
#include "app/MainFrame.h"
#include "app/MainTreeView.h"
#include "app/PasswordDlg.h"
#include "app/RightFrame.h"
#include "app/TxListModel.h"
#include "app/TxListView.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "ui/PasswordEdit.h"

#include <QLineEdit>

#include <memory>
#include <vector>

namespace apptest {

// Logs in as the sample vault's user when the login dialog comes.
inline int LoginAsCarol(QDialog& d) {
    auto& login = dynamic_cast<CPasswordDlg&>(d);
    login.UsernameBox()->setText(QStringLiteral("carol"));
    login.PasswordBox()->setText(QStringLiteral("S3cret!pass"));
    login.accept();
    return Finish(d);
}

// The program on a private copy of the sample vault, logged in, main window shown.
struct CSampleSession {
    explicit CSampleSession(CAppHarness& harness)
        : h(harness), vault(CopyVault(h.dir, QStringLiteral("sample.tpx"))) {}

    bool Start() {
        if (vault.isEmpty())
            return false;
        CModalScript script;
        script.Add(LoginAsCarol);
        app = std::make_unique<CTresorixApp>(h.Options());
        if (!app->InitInstance({QStringLiteral("tresorix"), vault}))
            return false;
        QCoreApplication::processEvents();
        return script.Done() && script.Unexpected() == 0;
    }
    // Logout and Login through their commands, as the menu runs them.
    bool Relogin() {
        Frame().OnCommand(32817);
        QCoreApplication::processEvents();
        if (Doc().IsAuthorised())
            return false;
        CModalScript script;
        script.Add(LoginAsCarol);
        Frame().OnCommand(32818);
        QCoreApplication::processEvents();
        return Doc().IsAuthorised() && script.Done();
    }

    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CMainTreeView& Tree() { return *Frame().Left()->Tree(); }
    CTxListView& List() { return *Frame().Right()->List(); }
    CTxListModel& Model() { return List().Model(); }
    CTxDoc& Doc() { return *app->GetDocument(); }

    void Open(int folder) {
        Tree().SelectFolder(folder, true);
        QCoreApplication::processEvents();
    }
    std::vector<int> Ids() {
        std::vector<int> ids;
        for (int r = 0; r < Model().rowCount(); ++r)
            ids.push_back(Model().Row(r).id);
        return ids;
    }

    CAppHarness& h;
    QString vault;
    std::unique_ptr<CTresorixApp> app;
};

} // namespace apptest

// Draws the program's windows on a copy of a fixture vault and saves each as PNG into the
// folder named on the command line. A window that cannot be made is reported and skipped, so
// one broken window never costs the others their pictures.
#include "AppTestSupport.h"

#include "app/CreationWizard.h"
#include "app/CsvImportWizard.h"
#include "app/EditPanel.h"
#include "app/EditorFrame.h"
#include "app/EditorManager.h"
#include "app/ExportWizard.h"
#include "app/FavTreeView.h"
#include "app/FileRecordDlg.h"
#include "app/HelpWindow.h"
#include "app/LeftFrame.h"
#include "app/MainFrame.h"
#include "app/MainTreeView.h"
#include "app/PasGenDlg.h"
#include "app/PasswordDlg.h"
#include "app/RightFrame.h"
#include "app/SearchLeftPane.h"
#include "app/SearchOptionsPanel.h"
#include "app/TipOfTheDayDlg.h"
#include "app/TxListView.h"
#include "model/TxDoc.h"
#include "platform/TresorixSettings.h"
#include "ui/ModalRunner.h"
#include "ui/PasswordEdit.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <functional>

namespace {

// Records of sample.tpx shown in the editors.
constexpr int kPasswordRecord = 11; // "Gmail", with custom fields
constexpr int kUrlRecord = 17;
constexpr int kCreditCardRecord = 19;
constexpr int kNoteRecord = 21;
constexpr int kFileRecord = 24; // "Passport scan"
constexpr int kMainWindowFolder = 6;
constexpr int kMainWindowRecord = 13;

class CShots {
public:
    explicit CShots(QString out) : m_out(std::move(out)) {}

    // Saves widget as name.png; a null widget counts as a failure.
    bool Save(QWidget* widget, const char* name) {
        const QString path =
            m_out + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
        if (!widget) {
            std::printf("MISSING %s\n", qPrintable(path));
            ++m_failed;
            return false;
        }
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        widget->repaint();
        const QPixmap picture = widget->grab();
        const bool ok = !picture.isNull() && picture.save(path, "PNG");
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
        if (!ok)
            ++m_failed;
        return ok;
    }

    // Runs one picture's steps; whatever they throw fails that picture alone.
    void Take(const char* name, const std::function<void()>& steps) {
        try {
            steps();
        } catch (const std::exception& e) {
            std::printf("FAILED %s: %s\n", name, e.what());
            ++m_failed;
        } catch (...) {
            std::printf("FAILED %s\n", name);
            ++m_failed;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int Failed() const { return m_failed; }

private:
    QString m_out;
    int m_failed = 0;
};

// Opens the editor of record id as the list's Open command does; null when none opened.
CEditorFrame* OpenEditor(CTresorixApp& app, int id) {
    app.Editors().OpenItem(id);
    CEditorFrame* frame = app.Editors().Find(id);
    if (frame) {
        frame->resize(715, 565);
        QCoreApplication::processEvents();
    }
    return frame;
}

void CloseEditor(CEditorFrame* frame) {
    if (frame)
        frame->Close();
    QCoreApplication::processEvents();
}

void EditorShot(CShots& shots, CTresorixApp& app, int id, const char* name) {
    shots.Take(name, [&] {
        CEditorFrame* frame = OpenEditor(app, id);
        shots.Save(frame, name);
        CloseEditor(frame);
    });
}

void EditorShots(CShots& shots, CTresorixApp& app) {
    EditorShot(shots, app, kPasswordRecord, "editor-password");
    EditorShot(shots, app, kUrlRecord, "editor-url");
    EditorShot(shots, app, kCreditCardRecord, "editor-credit-card");
    EditorShot(shots, app, kNoteRecord, "editor-note");
    shots.Take("editor-custom-fields", [&] {
        CEditorFrame* frame = OpenEditor(app, kPasswordRecord);
        if (frame && frame->Panel())
            frame->Panel()->Tabs()->setCurrentIndex(CEditPanel::kAdvancedTab);
        shots.Save(frame, "editor-custom-fields");
        if (frame && frame->Panel())
            frame->Panel()->Tabs()->setCurrentIndex(CEditPanel::kCommentsTab);
        CloseEditor(frame);
    });
}

void FileRecordShot(CShots& shots, CTresorixApp& app) {
    shots.Take("file-record-dialog", [&] {
        // It is registered with the window manager while it exists, so it stays scoped here.
        CFileRecordDlg dialog(*app.GetDocument(), kFileRecord, 0, app.GetMainFrame());
        dialog.show();
        shots.Save(&dialog, "file-record-dialog");
        dialog.Close();
    });
}

void FavoritesShot(CShots& shots, CMainFrame& frame) {
    shots.Take("favorites-view", [&] {
        CLeftFrame* left = frame.Left();
        if (!left || !left->Favorites()) {
            shots.Save(nullptr, "favorites-view");
            return;
        }
        left->SwitchView(CLeftFrame::kFavorites);
        const std::vector<int> ids = left->Favorites()->Ids();
        if (!ids.empty())
            left->Favorites()->SelectFavorite(ids.size() > 1 ? ids[1] : ids.front());
        frame.Right()->RefreshHeaderAndPreview();
        shots.Save(&frame, "favorites-view");
        left->SwitchView(CLeftFrame::kTree);
    });
}

// The search view with the results of a finished search for "mail".
void SearchShot(CShots& shots, CMainFrame& frame) {
    shots.Take("search-view", [&] {
        CLeftFrame* left = frame.Left();
        CSearchOptionsPanel* search = left && left->Search() ? left->Search()->Panel() : nullptr;
        if (!search) {
            shots.Save(nullptr, "search-view");
            return;
        }
        left->SwitchView(CLeftFrame::kSearch, false);
        search->SearchForBox()->setEditText(QStringLiteral("mail"));
        search->OnStartStop();
        // The worker wakes the loop when it ends; the ticks only bound a search that hangs.
        QTimer tick;
        tick.start(100);
        const QDeadlineTimer deadline(60000);
        while (search->IsRunning() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (search->IsRunning()) {
            search->OnStartStop();
            std::printf("search did not end\n");
            shots.Save(nullptr, "search-view");
        } else {
            frame.Right()->RefreshHeaderAndPreview();
            shots.Save(&frame, "search-view");
        }
        left->SwitchView(CLeftFrame::kTree, false);
    });
}

void HelpShots(CShots& shots) {
    shots.Take("help-window", [&] {
        ShowHelpTopic(QStringLiteral("search.htm"), nullptr);
        shots.Save(OpenHelpWindow(), "help-window");
        CloseHelpWindow();
    });
    shots.Take("tip-of-the-day", [&] {
        CTipOfTheDayDlg tip;
        tip.show();
        shots.Save(&tip, "tip-of-the-day");
        tip.reject();
    });
}

void ToolShots(CShots& shots, CTresorixApp& app, CMainFrame& frame) {
    CTxDoc& doc = *app.GetDocument();
    shots.Take("password-generator", [&] {
        CPasGenDlg dialog(TresorixSettings(), &frame);
        dialog.show();
        dialog.Generate();
        shots.Save(&dialog, "password-generator");
        dialog.reject();
    });
    shots.Take("csv-import-wizard", [&] {
        CCsvImportWizard wizard(doc, TresorixSettings(), doc.GetCurrentFolder(), &frame);
        wizard.show();
        shots.Save(&wizard, "csv-import-wizard");
        wizard.reject();
    });
    shots.Take("export-wizard", [&] {
        CExportWizard wizard(doc, TresorixSettings(), &frame);
        wizard.show();
        shots.Save(&wizard, "export-wizard");
        wizard.reject();
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kiv Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Tresorix Pro"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    CShots shots(out);
    apptest::CAppHarness h;
    const QString vault = apptest::CopyVault(h.dir, QStringLiteral("sample.tpx"));
    if (vault.isEmpty()) {
        std::printf("fixture vault missing\n");
        return 1;
    }
    SetModalHook([&](QDialog& dialog) {
        auto* login = dynamic_cast<CPasswordDlg*>(&dialog);
        if (!login) {
            std::printf("unexpected dialog %s\n", qPrintable(dialog.objectName()));
            return static_cast<int>(QDialog::Rejected);
        }
        dialog.show();
        login->UsernameBox()->setText(QStringLiteral("carol"));
        login->PasswordBox()->setText(QStringLiteral("S3cret!pass"));
        shots.Save(&dialog, "login-dialog");
        login->accept();
        return dialog.result();
    });
    CTresorixApp app(h.Options());
    if (!app.InitInstance({QStringLiteral("tresorix"), vault}) || !app.GetMainFrame()) {
        std::printf("login to the sample vault failed\n");
        return 1;
    }
    // Anything modal from here on is not part of a picture.
    SetModalHook([](QDialog& dialog) {
        std::printf("unexpected dialog %s\n", qPrintable(dialog.objectName()));
        return static_cast<int>(QDialog::Rejected);
    });
    CMainFrame& frame = *app.GetMainFrame();
    frame.setGeometry(40, 40, 1000, 640);
    QCoreApplication::processEvents();
    shots.Take("main-window", [&] {
        frame.Left()->Tree()->SelectFolder(kMainWindowFolder, true);
        frame.Right()->List()->SelectId(kMainWindowRecord);
        frame.Right()->RefreshHeaderAndPreview();
        shots.Save(&frame, "main-window");
    });
    EditorShots(shots, app);
    FileRecordShot(shots, app);
    FavoritesShot(shots, frame);
    SearchShot(shots, frame);
    ToolShots(shots, app, frame);
    HelpShots(shots);

    shots.Take("creation-wizard", [&] {
        CCreationWizard wizard;
        wizard.show();
        wizard.next();
        wizard.next();
        shots.Save(&wizard, "creation-wizard");
        wizard.reject();
    });
    SetModalHook({});
    app.ExitInstance();
    return shots.Failed() == 0 ? 0 : 1;
}

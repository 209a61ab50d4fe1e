#include "app/TresorixApp.h"

#include "app/AppStrings.h"
#include "app/AutoLogoutTray.h"
#include "app/DesktopRegistration.h"
#include "app/FileProgress.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/Messages.h"
#include "app/MoveToFolderDlg.h"
#include "app/NewFolderDlg.h"
#include "app/PasGenDlg.h"
#include "app/PasswordEditPanel.h"
#include "app/ProgressDlg.h"
#include "app/SingleInstance.h"
#include "app/StartupDlg.h"
#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/ProfileStore.h"
#include "platform/QSettingsProfileStore.h"
#include "platform/Shell.h"
#include "storage/BackupDialogs.h"
#include "storage/BackupReminder.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QApplication>
#include <QPointer>
#include <QSessionManager>

#include <sys/stat.h>

namespace {

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

CTresorixApp::CTresorixApp() : CTresorixApp(OPTIONS{}) {}

CTresorixApp::CTresorixApp(OPTIONS options) : m_options(std::move(options)) {
    m_previousSettings = SetTresorixSettings(&m_settings);
}

CTresorixApp::~CTresorixApp() {
    qApp->removeEventFilter(&m_helpKeys);
    CloseHelpWindow();
    CFileParts::SetProgressSource({});
    m_backupDialogs.SetParent(nullptr);
    m_fileChangedPrompt.SetParent(nullptr);
    m_frame.reset();
    if (m_doc)
        m_doc->SetEditorOpener(nullptr);
    m_editors.reset();
    m_doc.reset();
    m_guard.reset();
    if (m_servicesInstalled) {
        SetMessageSink(m_previousSink);
        SetClipboard(m_previousClipboard);
        SetShell(m_previousShell);
    }
    if (m_backupDialogsInstalled)
        SetBackupDialogs(m_previousBackupDialogs);
    if (m_storeInstalled)
        SetProfileStore(m_previousStore);
    m_ownStore.reset();
    SetTresorixSettings(m_previousSettings);
}

std::string CTresorixApp::CommandLinePath(const QStringList& arguments) {
    // The program takes one data-file path; options of the toolkit were removed before.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg.isEmpty() || arg.startsWith(u'-'))
            continue;
        return ToBytes(arg);
    }
    return {};
}

bool CTresorixApp::InitInstance(const QStringList& arguments) {
    qApp->installEventFilter(&m_helpKeys);
    if (m_options.desktopServices) {
        m_previousSink = SetMessageSink(&m_messageSink);
        m_previousClipboard = SetClipboard(&m_clipboard);
        m_previousShell = SetShell(&m_shell);
        m_servicesInstalled = true;
    }
    // The reminder after each logout shows the program's own backup dialog.
    m_previousBackupDialogs = SetBackupDialogs(&m_backupDialogs);
    m_backupDialogsInstalled = true;
    const std::string path = CommandLinePath(arguments);

    const QString name = m_options.instanceName.isEmpty() ? CKivSingleInstance::DefaultName()
                                                          : m_options.instanceName;
    m_guard = std::make_unique<CKivSingleInstance>(name);
    if (m_guard->IsAnotherInstanceRunning() && path.empty()) {
        m_guard->SetActivationMessage(msg::kActivate, 0, 0);
        if (m_guard->ActivateRunningInstance())
            return false;
    }
    connect(m_guard.get(), &CKivSingleInstance::ActivationRequested, this,
            [this](unsigned message, int, int) { OnActivationRequested(message); });
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!QueryEndSession())
            manager.cancel();
    });

    IProfileStore* store = m_options.store;
    if (!store) {
        m_ownStore = std::make_unique<CQSettingsProfileStore>();
        store = m_ownStore.get();
    }
    m_previousStore = SetProfileStore(store);
    m_storeInstalled = true;
    m_settings.Load();
    ImageList().Load();
    QApplication::setWindowIcon(ImageList().Icon(CTrxImageList::kProgram));
    if (m_options.registerTypes)
        RegisterDocumentTypes(QCoreApplication::applicationFilePath(), m_options.dataHome);

    if (!path.empty()) {
        m_settings.App_ConnectionString = path;
        m_settings.App_SuccesOnOpen = 1;
    }

    m_doc = std::make_unique<CTxDoc>();
    m_doc->SetHost(this);
    m_doc->SetWindowManager(&m_windowManager);
    m_doc->SetDataFileCreator(&m_creator);
    m_doc->SetLoginDialog(&m_loginDialog);
    m_doc->SetFileChangedAction(&m_settings.Files_FileChangedAction);
    m_doc->SetFileChangedPrompt(&m_fileChangedPrompt);
    m_editors = std::make_unique<CEditorManager>(*m_doc, m_windowManager,
                                                 [this](unsigned message, int wParam) {
                                                     QPointer<CMainFrame> frame = m_frame.get();
                                                     if (!frame)
                                                         return;
                                                     QMetaObject::invokeMethod(
                                                         frame.data(),
                                                         [frame, message, wParam] {
                                                             if (frame)
                                                                 frame->OnMessage(message, wParam);
                                                         },
                                                         Qt::QueuedConnection);
                                                 });
    m_doc->SetEditorOpener(m_editors.get());
    // Big attachments stored or saved outside the file record dialog show their progress.
    CFileParts::SetProgressSource(FileProgressSource());
    SetPasswordGenerator(RunPasswordGeneratorFor);

    if (!SelectAndOpen(m_settings.App_ConnectionString, m_settings.App_SuccesOnOpen))
        return false;

    m_frame = std::make_unique<CMainFrame>(
        *this, *m_doc,
        CMainFrame::GUARD{m_options.idleTime, m_options.screenLock, m_options.trayIcon});
    m_messageSink.SetMainWindow(m_frame.get());
    m_creator.SetParent(m_frame.get());
    m_backupDialogs.SetParent(m_frame.get());
    m_fileChangedPrompt.SetParent(m_frame.get());
    m_doc->GetAutorizator().SetParent(m_frame.get());
    m_frame->show();
    // The views were made after the login: they fill themselves now.
    m_doc->UpdateAllViews(nullptr, CTxDoc::kHintLoginChanged);
    m_doc->UpdateAllViews(nullptr, CTxDoc::kHintReloadAll);
    return true;
}

void CTresorixApp::ExitInstance() {
    if (m_exited)
        return;
    m_exited = true;
    // The windows write their layout as they go, before the settings are saved.
    m_frame.reset();
    if (m_doc)
        m_doc->CloseContents();
    CAutoLogoutTray::OnExit(m_settings);
    m_settings.Save();
    if (auto* qsettings = dynamic_cast<CQSettingsProfileStore*>(&ProfileStore()))
        qsettings->Flush();
}

bool CTresorixApp::SelectAndOpen(std::string& path, int& lastOpenSucceeded) {
    if (path.empty() || !FileExists(path))
        lastOpenSucceeded = 0;
    for (;;) {
        if (!lastOpenSucceeded) {
            CStartupDlg dialog(m_frame.get());
            if (RunModal(dialog) != QDialog::Accepted)
                return false;
            const int choice = dialog.GetChoice();
            if (choice == CStartupDlg::kCreate) {
                if (m_doc->NewDataFile()) {
                    if (TComPtr<ITresorix> tresorix = m_doc->GetTresorix())
                        path = tresorix->GetFileName();
                    break;
                }
                continue;
            }
            if (choice != CStartupDlg::kOpen)
                continue;
            path = ToBytes(dialog.GetPath());
        }
        if (FileExists(path)) {
            if (m_doc->OpenDataFile(path))
                break;
            lastOpenSucceeded = 0;
            continue;
        }
        lastOpenSucceeded = 0;
        TxInfoBox(ids::kFileNotExists);
    }
    lastOpenSucceeded = 1;
    return true;
}

bool CTresorixApp::SwitchDataFile(const std::string& requested) {
    if (!m_doc || !m_doc->Logout())
        return false;
    std::string path = requested;
    int ok = 1;
    if (!SelectAndOpen(path, ok)) {
        m_settings.App_SuccesOnOpen = 0;
        return false;
    }
    m_settings.App_ConnectionString = path;
    m_settings.App_SuccesOnOpen = ok;
    m_doc->UpdateAllViews(nullptr, CTxDoc::kHintLoginChanged);
    m_doc->UpdateAllViews(nullptr, CTxDoc::kHintReloadAll);
    return true;
}

bool CTresorixApp::QueryEndSession() {
    // Long work holds a transaction or the connection itself; closing editors under it would
    // undo what they reported saved.
    if (CProgressDlg::IsAnyActive()) {
        PostMainWindowMessage(msg::kEndSessionRefused);
        return false;
    }
    if (!m_doc || m_doc->CloseAllQuietly())
        return true;
    PostMainWindowMessage(msg::kEndSessionRefused);
    return false;
}

void CTresorixApp::PostMainWindowMessage(unsigned message) {
    QPointer<CMainFrame> frame = m_frame.get();
    if (!frame)
        return;
    QMetaObject::invokeMethod(
        frame.data(),
        [frame, message] {
            if (frame)
                frame->OnMessage(message);
        },
        Qt::QueuedConnection);
}

void CTresorixApp::OfferBackupReminder(const std::string& path) {
    RemindOrBackUp(path);
}

bool CTresorixApp::AskNewFolder(int& parent, std::string& name) {
    if (!m_doc)
        return false;
    CNewFolderDlg dialog(*m_doc, parent, name, m_frame.get());
    if (RunModal(dialog) != QDialog::Accepted)
        return false;
    parent = dialog.GetParentFolder();
    name = dialog.GetName();
    return true;
}

bool CTresorixApp::SelectFolder(const std::vector<int>& selection, int& target) {
    if (!m_doc || selection.empty())
        return false;
    // Every selected node is checked, not only the first: no folder may end up below itself.
    CTxDoc& doc = *m_doc;
    CMoveToFolderDlg dialog(doc, selection.front(), m_frame.get(), [&doc, &selection](int folder) {
        return doc.IsValidMoveTarget(selection, folder);
    });
    if (RunModal(dialog) != QDialog::Accepted || dialog.GetFolder() <= 0)
        return false;
    target = dialog.GetFolder();
    return true;
}

void CTresorixApp::OnActivationRequested(unsigned message) {
    if (message != msg::kActivate)
        return;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        return;
    }
    if (m_frame)
        m_frame->OnMessage(msg::kActivate);
}

#pragma once

#include "app/BackupDlg.h"
#include "app/CreationWizard.h"
#include "app/EditorManager.h"
#include "app/FileChangedDlg.h"
#include "app/HelpTopics.h"
#include "app/PasswordDlg.h"
#include "model/TxDocHost.h"
#include "model/WindowManager.h"
#include "platform/TresorixSettings.h"
#include "platform/qt/QtMessageSink.h"
#include "platform/qt/QtSecretClipboard.h"
#include "platform/qt/QtShell.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class CKivSingleInstance;
class CMainFrame;
class CTxDoc;
class IProfileStore;
class IMessageSink;
class IClipboard;
class IIdleTime;
class IScreenLock;
class IShell;
class ITrayIcon;

// The application object: starts the program in its fixed order, owns the settings, the
// open editors, the single-instance guard, the document and the main window, and runs the
// loop that picks a data file and logs in.
class CTresorixApp : public QObject, public ITxDocHost {
    Q_OBJECT

public:
    struct OPTIONS {
        // Name of the single-instance guard (the program's own by default).
        QString instanceName;
        // The profile store; null: the user's settings file.
        IProfileStore* store = nullptr;
        // Install the desktop's message boxes, clipboard and shell (tests keep recorders).
        bool desktopServices = true;
        // Write the .desktop entry and MIME type (into dataHome, or the XDG data home).
        bool registerTypes = true;
        QString dataHome;
        // The main window's idle time, screen-lock source and notification area; null: the
        // desktop's (tests pass fakes). Not owned.
        IIdleTime* idleTime = nullptr;
        IScreenLock* screenLock = nullptr;
        ITrayIcon* trayIcon = nullptr;
    };

    CTresorixApp();
    explicit CTresorixApp(OPTIONS options);
    ~CTresorixApp() override;

    // Start-up; false when the program should end at once (ExitInstance still runs).
    bool InitInstance(const QStringList& arguments);
    // Clears the clipboard when so configured and writes the settings back.
    void ExitInstance();

    // The selection loop: the choice dialog, creation wizard and login dialog until a data
    // file is open or the user gives up. Both arguments are read and updated.
    bool SelectAndOpen(std::string& path, int& lastOpenSucceeded);
    // Logs out, then runs the selection loop for path (the Login command).
    bool SwitchDataFile(const std::string& path);
    // The desktop session is about to end: true when it may (no attached file is still open
    // outside and every editor agreed to close); otherwise 1124 goes to the main window.
    bool QueryEndSession();

    CTresorixSettings& Settings() { return m_settings; }
    CWindowManager& WindowManager() { return m_windowManager; }
    CTxDoc* GetDocument() const { return m_doc.get(); }
    CMainFrame* GetMainFrame() const { return m_frame.get(); }
    CEditorManager& Editors() { return *m_editors; }
    CKivSingleInstance* GetGuard() const { return m_guard.get(); }
    // The path a file-open request on the command line named (empty: none).
    static std::string CommandLinePath(const QStringList& arguments);

    // ITxDocHost
    void PostMainWindowMessage(unsigned message) override;
    void OfferBackupReminder(const std::string& path) override;
    bool AskNewFolder(int& parent, std::string& name) override;
    bool SelectFolder(const std::vector<int>& selection, int& target) override;

private:
    void OnActivationRequested(unsigned message);

    OPTIONS m_options;
    CTresorixSettings m_settings;
    CTresorixSettings* m_previousSettings = nullptr;
    CWindowManager m_windowManager;
    std::unique_ptr<CKivSingleInstance> m_guard;
    std::unique_ptr<IProfileStore> m_ownStore;
    IProfileStore* m_previousStore = nullptr;
    bool m_storeInstalled = false;
    CQtMessageSink m_messageSink;
    CQtSecretClipboard m_clipboard;
    CQtShell m_shell;
    IMessageSink* m_previousSink = nullptr;
    IClipboard* m_previousClipboard = nullptr;
    IShell* m_previousShell = nullptr;
    bool m_servicesInstalled = false;
    CQtBackupDialogs m_backupDialogs;
    CQtFileChangedPrompt m_fileChangedPrompt;
    IBackupDialogs* m_previousBackupDialogs = nullptr;
    bool m_backupDialogsInstalled = false;
    CTxLoginDialog m_loginDialog;
    CWizardDataFileCreator m_creator;
    std::unique_ptr<CTxDoc> m_doc;
    std::unique_ptr<CEditorManager> m_editors;
    std::unique_ptr<CMainFrame> m_frame;
    // F1 in any window of the program opens that window's help topic.
    CHelpKeyFilter m_helpKeys;
    bool m_exited = false;
};

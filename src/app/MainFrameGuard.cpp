#include "app/AutoLogout.h"
#include "app/AutoLogoutTray.h"
#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/PasswordDlg.h"
#include "app/ProgressDlg.h"
#include "app/TresorixApp.h"
#include "app/TxTrayIcon.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "model/WindowManager.h"
#include "platform/LastInputInfo.h"
#include "platform/TresorixSettings.h"
#include "platform/qt/QtIdleTime.h"
#include "platform/qt/QtScreenLock.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QTimer>

#include <algorithm>
#include <set>
#include <utility>

namespace {

// How soon a logout that waited for a progress window tries again.
constexpr int kLogoutRetryMs = 500;
// How long a logout waits for rejected dialogs to return from their runs (a dialog that
// outlives its run must not hold it up for good).
constexpr int kUnwindPollMs = 10;
constexpr int kUnwindWaits = 50;

// A modal window left open under a logout would go on with a closed vault: they are rejected
// first, innermost first, so each caller sees a cancel. The login dialog belongs to the next
// session and stays; so does whatever lies under it.
std::vector<QPointer<QDialog>> RejectModalWindows() {
    std::vector<QPointer<QDialog>> rejected;
    std::set<QWidget*> tried;
    while (QWidget* modal = QApplication::activeModalWidget()) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || dynamic_cast<CPasswordDlg*>(dialog) || !tried.insert(dialog).second)
            break;
        rejected.emplace_back(dialog);
        dialog->reject();
    }
    return rejected;
}

} // namespace

void CMainFrame::CreateGuard(const GUARD& guard) {
    IIdleTime* idle = guard.idle;
    if (!idle) {
        m_ownIdle = std::make_unique<CQtIdleTime>();
        idle = m_ownIdle.get();
    }
    IScreenLock* screenLock = guard.screenLock;
    if (!screenLock) {
        m_ownScreenLock = std::make_unique<CQtScreenLock>();
        screenLock = m_ownScreenLock.get();
    }
    m_probe = std::make_unique<CLastInputInfo>(idle, screenLock);

    auto loggedIn = [this] { return m_doc.IsAuthorised(); };
    // Every logout takes the Logout command's way, between two messages.
    auto postLogout = [this] {
        QMetaObject::invokeMethod(
            this, [this] { OnCommand(cmd::kLogout); }, Qt::QueuedConnection);
    };
    auto autoLogout = [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_autoLogoutPosted = true;
                OnCommand(cmd::kLogout);
            },
            Qt::QueuedConnection);
    };
    // The icon queues its commands itself.
    // While a modal or progress window runs, the icon only brings that window forward: a login
    // or restore under it would act on the vault the window is working on.
    auto trayCommand = [this](int id) {
        QWidget* modal = QApplication::activeModalWidget();
        if ((id == cmd::kLogin || id == cmd::kRestoreFromTray) &&
            (modal || CProgressDlg::IsAnyActive())) {
            if (modal) {
                modal->raise();
                modal->activateWindow();
            }
            return;
        }
        OnCommand(id);
    };
    m_trayIcon = std::make_unique<CTxTrayIcon>(windowIcon(),
                                               CTxTrayIcon::HOOKS{trayCommand, loggedIn, [this] {
                                                                      raise();
                                                                      activateWindow();
                                                                  }});
    ITrayIcon& tray = guard.trayIcon ? *guard.trayIcon : static_cast<ITrayIcon&>(*m_trayIcon);
    CTresorixSettings& settings = TresorixSettings();
    m_tray = std::make_unique<CAutoLogoutTray>(
        settings, tray,
        CAutoLogoutTray::HOOKS{
            [this] { hide(); },
            [this] {
                if (isMinimized())
                    showNormal();
                else
                    show();
                raise();
                activateWindow();
            },
            loggedIn, postLogout,
            [this] { m_app.SwitchDataFile(TresorixSettings().App_ConnectionString); }});
    m_autoLogout =
        std::make_unique<CAutoLogout>(settings, *m_probe, CAutoLogout::HOOKS{loggedIn, autoLogout});
    m_tray->UpdateTrayIcon();
    m_autoLogout->StartAutoLogoutTimer();
}

bool CMainFrame::IsHiddenToTray() const {
    return m_tray->IsHidden();
}

void CMainFrame::RestoreFromTray() {
    m_tray->RestoreFromTray();
}

void CMainFrame::OnSysMinimize() {
    // Not hidden: the window simply stays minimised.
    if (isMinimized())
        m_tray->OnSysMinimize();
}

void CMainFrame::Logout() {
    const bool fromAutoLogout = m_autoLogoutPosted;
    m_autoLogoutPosted = false;
    // A progress window means work inside a transaction on the document's connection (it
    // lets messages through to paint): closing the database under it would break the work.
    if (CProgressDlg::IsAnyActive()) {
        if (fromAutoLogout)
            m_autoLogout->StartAutoLogoutTimer();
        else
            QTimer::singleShot(kLogoutRetryMs, this, [this] { OnCommand(cmd::kLogout); });
        return;
    }
    if (m_doc.IsAuthorised() && !m_doc.WouldRefuseClose() && UnwindModals([this, fromAutoLogout] {
            m_autoLogoutPosted = fromAutoLogout;
            OnCommand(cmd::kLogout);
        }))
        return;
    // A refusal (61325 shown) must not end the auto-logout for good; the command's own refusal
    // leaves the running timer alone.
    if (!m_doc.Logout() && fromAutoLogout)
        m_autoLogout->OnLogoutRefused();
}

bool CMainFrame::UnwindModals(std::function<void()> next) {
    if (std::exchange(m_modalsUnwound, false))
        return false;
    std::vector<QPointer<QDialog>> rejected = RejectModalWindows();
    if (rejected.empty())
        return false;
    // A dialog's caller may still be inside its run (and the dialog a child of an editor the
    // logout closes): the logout comes once the runs have returned, on a still open vault.
    AfterUnwinding(std::move(rejected), std::move(next), kUnwindWaits);
    return true;
}

void CMainFrame::AfterUnwinding(std::vector<QPointer<QDialog>> rejected, std::function<void()> next,
                                int waits) {
    QTimer::singleShot(waits == kUnwindWaits ? 0 : kUnwindPollMs, this,
                       [this, rejected = std::move(rejected), next = std::move(next), waits] {
                           const bool running =
                               std::any_of(rejected.begin(), rejected.end(),
                                           [](const QPointer<QDialog>& d) { return !d.isNull(); });
                           if (running && waits > 0) {
                               AfterUnwinding(rejected, next, waits - 1);
                               return;
                           }
                           m_modalsUnwound = true;
                           next();
                           m_modalsUnwound = false;
                       });
}

void CMainFrame::Exit() {
    // Exit closes for real, even where closing the window would only hide it.
    m_exiting = true;
    close();
    m_exiting = false;
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Not during a progress window: a changed attachment stored now would land inside the
    // running work's transaction. The next activation checks.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        !CProgressDlg::IsAnyActive())
        m_doc.CheckWatches();
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        // Queued: hiding inside the state change confuses some window managers.
        QMetaObject::invokeMethod(
            this, [this] { OnSysMinimize(); }, Qt::QueuedConnection);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_exiting && m_tray->OnSysClose()) {
        event->ignore();
        return;
    }
    if (CProgressDlg::IsAnyActive()) {
        event->ignore();
        return;
    }
    // Exit from the tray menu can come while a dialog of ours runs.
    if (!m_doc.WouldRefuseClose() && UnwindModals([this, exiting = m_exiting] {
            if (exiting)
                Exit();
            else
                close();
        })) {
        event->ignore();
        return;
    }
    if (!m_doc.Logout()) {
        event->ignore();
        return;
    }
    SaveLayout();
    event->accept();
    // The program ends with its main window, not with whichever window happens to close
    // last while this one is hidden.
    QCoreApplication::quit();
}

#include "app/TxTrayIcon.h"

#include "app/Commands.h"
#include "platform/StringTable.h"

#include <QCursor>
#include <QMenu>

namespace {

constexpr unsigned kIdAppName = 57344;

} // namespace

CTxTrayIcon::CTxTrayIcon(const QIcon& icon, HOOKS hooks, QObject* parent)
    : QObject(parent), m_icon(icon), m_hooks(std::move(hooks)),
      m_tooltip(QString::fromStdString(LoadString(kIdAppName))) {
    m_clickTimer.setSingleShot(true);
    m_clickTimer.setInterval(kClickTimerMs);
    connect(&m_clickTimer, &QTimer::timeout, this, &CTxTrayIcon::OnClickTimer);
    BuildMenu();
}

CTxTrayIcon::~CTxTrayIcon() {
    RemoveIcon();
}

void CTxTrayIcon::BuildMenu() {
    m_menu = std::make_unique<QMenu>();
    m_menu->setObjectName(QStringLiteral("TrayMenu"));
    auto add = [this](const QString& text, int command) {
        QAction* action = m_menu->addAction(text);
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { Post(command); });
        return action;
    };
    m_menu->setDefaultAction(add(QStringLiteral("&Main Window"), cmd::kRestoreFromTray));
    add(QStringLiteral("&About Tresorix Pro"), cmd::kAbout);
    m_menu->addSeparator();
    m_login = add(QStringLiteral("&Login"), cmd::kLogin);
    m_logout = add(QStringLiteral("Log&out"), cmd::kLogout);
    m_menu->addSeparator();
    add(QStringLiteral("&Exit"), cmd::kExit);
    connect(m_menu.get(), &QMenu::aboutToShow, this, &CTxTrayIcon::UpdateMenu);
}

void CTxTrayIcon::UpdateMenu() {
    const bool loggedIn = m_hooks.isLoggedIn && m_hooks.isLoggedIn();
    m_login->setEnabled(!loggedIn);
    m_logout->setEnabled(loggedIn);
}

bool CTxTrayIcon::IsAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void CTxTrayIcon::AddIcon() {
    if (m_shown || !IsAvailable())
        return;
    if (!m_trayIcon) {
        m_trayIcon = std::make_unique<QSystemTrayIcon>(m_icon);
        m_trayIcon->setToolTip(m_tooltip);
        // The desktop shows this menu itself on the right button (and where the icon is
        // drawn by another process, only that way).
        m_trayIcon->setContextMenu(m_menu.get());
        connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this, &CTxTrayIcon::OnActivated);
    }
    UpdateMenu();
    m_trayIcon->show();
    m_shown = true;
}

void CTxTrayIcon::RemoveIcon() {
    if (!m_shown)
        return;
    if (m_trayIcon)
        m_trayIcon->hide();
    m_shown = false;
}

void CTxTrayIcon::SetTooltipText(const QString& text) {
    m_tooltip = text;
    if (m_trayIcon)
        m_trayIcon->setToolTip(text);
}

void CTxTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        m_clickTimer.start();
        break;
    case QSystemTrayIcon::DoubleClick:
        m_doubleClicked = true;
        Post(cmd::kRestoreFromTray);
        break;
    case QSystemTrayIcon::Context:
        // The context menu is already on its way (see AddIcon).
        UpdateMenu();
        break;
    default:
        break;
    }
}

void CTxTrayIcon::OnClickTimer() {
    m_clickTimer.stop();
    if (m_doubleClicked)
        m_doubleClicked = false;
    else
        ShowMenu();
}

void CTxTrayIcon::OnActivate() {
    Post(cmd::kRestoreFromTray);
}

void CTxTrayIcon::ShowMenu() {
    if (m_hooks.activateOwner)
        m_hooks.activateOwner();
    m_menu->popup(QCursor::pos(), m_menu->defaultAction());
}

void CTxTrayIcon::Post(int command) {
    if (!m_hooks.postCommand)
        return;
    // Queued: the menu or the icon's signal must be done before the window acts.
    QMetaObject::invokeMethod(
        this, [hook = m_hooks.postCommand, command] { hook(command); }, Qt::QueuedConnection);
}

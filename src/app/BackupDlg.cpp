#include "app/BackupDlg.h"

#include "app/BackupOptinsDlg.h"
#include "app/WiringStrings.h"
#include "platform/TresorixSettings.h"
#include "storage/BackupReminder.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

CBackupDlg::CBackupDlg(const std::string& path, bool allowedNow, bool countdown, QWidget* parent)
    : QDialog(parent), m_path(path), m_allowedNow(allowedNow),
      m_save(new QPushButton(Tr(wids::kSaveBackup))),
      m_options(new QPushButton(Tr(wids::kBackupOptionsButton))), m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("BackupDlg"));
    setWindowTitle(Tr(wids::kBackupTitle));
    m_save->setObjectName(QStringLiteral("SaveBackup"));
    m_options->setObjectName(QStringLiteral("BackupOptions"));
    auto* cancel = new QPushButton(Tr(wids::kCancel));
    auto* pathLabel = new QLabel;
    pathLabel->setObjectName(QStringLiteral("BackupPath"));
    const QString full = FromBytes(path);
    pathLabel->setText(pathLabel->fontMetrics().elidedText(full, Qt::ElideMiddle, 360));
    pathLabel->setToolTip(full);
    auto* last = new QLabel(FromBytes(LastBackupDisplayText(TresorixSettings().Backup_LastBackup)));
    last->setObjectName(QStringLiteral("LastBackup"));

    auto* grid = new QGridLayout;
    grid->addWidget(pathLabel, 0, 0, 1, 2);
    grid->addWidget(new QLabel(Tr(wids::kLastBackup)), 1, 0);
    grid->addWidget(last, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    buttons->addWidget(m_options);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    m_save->setDefault(true);

    connect(m_save, &QPushButton::clicked, this, &CBackupDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_options, &QPushButton::clicked, this, &CBackupDlg::OnOptions);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &CBackupDlg::Tick);
    if (countdown) {
        m_countdown.Start();
        m_timer->start();
    }
    UpdateCaption();
}

void CBackupDlg::UpdateCaption() {
    m_save->setText(FromBytes(m_countdown.Caption(ToBytes(Tr(wids::kSaveBackup)))));
}

void CBackupDlg::Tick() {
    const bool press = m_countdown.Tick();
    UpdateCaption();
    if (!m_countdown.IsRunning())
        m_timer->stop();
    if (press)
        m_save->click();
}

void CBackupDlg::OnSave() {
    m_countdown.Stop();
    m_timer->stop();
    UpdateCaption();
    SaveBackup(m_path, m_allowedNow);
    accept();
}

void CBackupDlg::OnOptions() {
    m_countdown.Stop();
    m_timer->stop();
    UpdateCaption();
    CBackupOptinsDlg options(m_path, this);
    RunModal(options);
}

void CQtBackupDialogs::ShowBackupDialog(const std::string& path, bool allowedNow, bool countdown) {
    CBackupDlg dialog(path, allowedNow, countdown, m_parent);
    RunModal(dialog);
}

#include "app/BackupOptinsDlg.h"

#include "app/WiringStrings.h"
#include "platform/TresorixSettings.h"
#include "storage/BackupDialogs.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

CBackupOptinsDlg::CBackupOptinsDlg(const std::string& path, QWidget* parent)
    : QDialog(parent), m_remind(new QCheckBox(Tr(wids::kRemindEvery))), m_days(new QSpinBox),
      m_folder(new QLineEdit), m_append(new QCheckBox(Tr(wids::kAppendTimestamp))),
      m_format(new QLineEdit), m_formats(new QPushButton(Tr(wids::kFormats))), m_test(new QLabel) {
    setObjectName(QStringLiteral("BackupOptinsDlg"));
    setWindowTitle(Tr(wids::kBackupOptionsTitle));
    const CTresorixSettings& settings = TresorixSettings();
    m_days->setRange(kMinBackupReminderDays, kMaxBackupReminderDays);
    m_days->setValue(settings.Backup_RemaindDays);
    m_remind->setChecked(settings.Backup_RemaindDaysEnable != 0);
    m_folder->setText(FromBytes(settings.BackupToFolder));
    m_append->setChecked(settings.Backup_AppendTimestamp != 0);
    m_format->setText(FromBytes(settings.Backup_Timestamp));
    m_test->setObjectName(QStringLiteral("FormatTest"));
    auto* file = new QLineEdit(FromBytes(path));
    file->setReadOnly(true);
    auto* browse = new QPushButton(Tr(wids::kBrowse));

    auto* grid = new QGridLayout;
    auto* remindRow = new QHBoxLayout;
    remindRow->addWidget(m_remind);
    remindRow->addWidget(m_days);
    remindRow->addWidget(new QLabel(Tr(wids::kDays)));
    remindRow->addStretch();
    grid->addLayout(remindRow, 0, 0, 1, 3);
    grid->addWidget(new QLabel(Tr(wids::kBackupThisFile)), 1, 0, 1, 3);
    grid->addWidget(file, 2, 0, 1, 3);
    grid->addWidget(new QLabel(Tr(wids::kBackupFolder)), 3, 0, 1, 3);
    grid->addWidget(m_folder, 4, 0, 1, 2);
    grid->addWidget(browse, 4, 2);
    grid->addWidget(m_append, 5, 0, 1, 3);
    grid->addWidget(new QLabel(Tr(wids::kTimestampFormat)), 6, 0);
    grid->addWidget(m_format, 6, 1);
    grid->addWidget(m_formats, 6, 2);
    grid->addWidget(new QLabel(Tr(wids::kFormatTest)), 7, 0);
    grid->addWidget(m_test, 7, 1, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CBackupOptinsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &CBackupOptinsDlg::OnBrowse);
    connect(m_formats, &QPushButton::clicked, this, [] { ShowTimestampFormats(); });
    connect(m_format, &QLineEdit::textChanged, this,
            [this] { m_test->setText(FromBytes(TimestampFormatTest(ToBytes(m_format->text())))); });
    connect(m_append, &QCheckBox::toggled, this, &CBackupOptinsDlg::UpdateControls);
    m_test->setText(FromBytes(TimestampFormatTest(ToBytes(m_format->text()))));
    UpdateControls();
}

void CBackupOptinsDlg::UpdateControls() {
    m_format->setEnabled(m_append->isChecked());
    m_formats->setEnabled(m_append->isChecked());
}

void CBackupOptinsDlg::OnBrowse() {
    QFileDialog dialog(this, Tr(wids::kBackupFolderTitle), m_folder->text());
    dialog.setObjectName(QStringLiteral("BackupFolderBrowser"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_folder->setText(dialog.selectedFiles().front());
}

void CBackupOptinsDlg::accept() {
    CTresorixSettings& settings = TresorixSettings();
    settings.Backup_RemaindDaysEnable = m_remind->isChecked() ? 1 : 0;
    settings.Backup_RemaindDays = m_days->value();
    settings.BackupToFolder = ToBytes(m_folder->text());
    settings.Backup_AppendTimestamp = m_append->isChecked() ? 1 : 0;
    settings.Backup_Timestamp = ToBytes(m_format->text());
    QDialog::accept();
}

#pragma once

#include "storage/BackupDialogs.h"

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;
class QTimer;

// "Tresorix Pro Backup": the data file, the last backup and "Save Backup", which counts down
// from ten and presses itself when the countdown flag is set.
class CBackupDlg : public QDialog {
    Q_OBJECT

public:
    CBackupDlg(const std::string& path, bool allowedNow, bool countdown, QWidget* parent = nullptr);

    QPushButton* SaveButton() const { return m_save; }
    QPushButton* OptionsButton() const { return m_options; }
    const CBackupCountdown& Countdown() const { return m_countdown; }
    // One second of the countdown (the timer's tick).
    void Tick();
    void OnSave();
    void OnOptions();

private:
    void UpdateCaption();

    std::string m_path;
    bool m_allowedNow;
    CBackupCountdown m_countdown;
    QPushButton* m_save;
    QPushButton* m_options;
    QTimer* m_timer;
};

// The program's backup dialog for the reminder and the backup command.
class CQtBackupDialogs : public IBackupDialogs {
public:
    void SetParent(QWidget* parent) { m_parent = parent; }
    void ShowBackupDialog(const std::string& path, bool allowedNow, bool countdown) override;

private:
    QWidget* m_parent = nullptr;
};

#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Tresorix Pro Datafile Backup...": reminder days, backup folder and timestamp, stored into
// the settings on OK only.
class CBackupOptinsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CBackupOptinsDlg(const std::string& path, QWidget* parent = nullptr);

    QCheckBox* RemindBox() const { return m_remind; }
    QSpinBox* DaysBox() const { return m_days; }
    QLineEdit* FolderBox() const { return m_folder; }
    QCheckBox* TimestampBox() const { return m_append; }
    QLineEdit* FormatBox() const { return m_format; }
    QLabel* FormatTest() const { return m_test; }
    QPushButton* FormatsButton() const { return m_formats; }

    void OnBrowse();
    void accept() override;

private:
    void UpdateControls();

    QCheckBox* m_remind;
    QSpinBox* m_days;
    QLineEdit* m_folder;
    QCheckBox* m_append;
    QLineEdit* m_format;
    QPushButton* m_formats;
    QLabel* m_test;
};

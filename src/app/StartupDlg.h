#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

// The start-up choice (create a data file, open an existing one), shown before the main
// window exists and after a refused login.
class CStartupDlg : public QDialog {
    Q_OBJECT

public:
    enum CHOICE { kCreate = 1, kOpen = 2, kDemo = 3 };

    explicit CStartupDlg(QWidget* parent = nullptr);

    int GetChoice() const;
    void SetChoice(int choice);
    QString GetPath() const;
    void SetPath(const QString& path);

    QRadioButton* CreateButton() const { return m_create; }
    QRadioButton* OpenButton() const { return m_open; }
    QLineEdit* PathBox() const { return m_path; }
    QPushButton* BrowseButton() const { return m_browse; }

    void accept() override;
    // Cancel asks whether to quit; only Yes closes the dialog.
    void reject() override;

private:
    void UpdateControls();
    void Browse();

    QRadioButton* m_create;
    QRadioButton* m_open;
    QRadioButton* m_demo;
    QLineEdit* m_path;
    QPushButton* m_browse;
};

#pragma once

#include <QDialog>

#include <functional>

class CFolderTree;
class CTxDoc;
class QPushButton;

// The folder selection dialog of "Move to": the folder tree with one folder preselected. A
// rule refuses some folders; OK is enabled only while an allowed folder is selected.
class CMoveToFolderDlg : public QDialog {
    Q_OBJECT

public:
    using RULE = std::function<bool(int folder)>;

    CMoveToFolderDlg(CTxDoc& doc, int preselected, QWidget* parent = nullptr, RULE rule = {});

    // The chosen folder (valid after OK), 0 when none.
    int GetFolder() const { return m_folder; }
    CFolderTree* Tree() const { return m_tree; }
    QPushButton* OkButton() const { return m_ok; }

    void accept() override;

private:
    void UpdateOk();

    CFolderTree* m_tree;
    QPushButton* m_ok;
    RULE m_rule;
    int m_folder = 0;
};

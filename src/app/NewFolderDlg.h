#pragma once

#include <QDialog>

#include <string>

class CFolderTree;
class CTxDoc;
class QLineEdit;

// The new-folder dialog: the name and the parent folder, the current folder preselected.
// An empty name is the document's to refuse (it asks again).
class CNewFolderDlg : public QDialog {
    Q_OBJECT

public:
    CNewFolderDlg(CTxDoc& doc, int parent, const std::string& name, QWidget* owner = nullptr);

    int GetParentFolder() const { return m_parent; }
    std::string GetName() const;
    QLineEdit* NameBox() const { return m_name; }
    CFolderTree* Tree() const { return m_tree; }

    void accept() override;

private:
    CFolderTree* m_tree;
    QLineEdit* m_name;
    int m_parent;
};

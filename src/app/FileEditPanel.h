#pragma once

#include "app/EditPanel.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The fields of a file record: its file name (the name a copy on disk gets) and extension,
// with the buttons that choose another file, write the stored one to disk and open it.
class CFileEditPanel : public CEditPanel {
    Q_OBJECT

public:
    explicit CFileEditPanel(QWidget* parent = nullptr);

    QLineEdit* FileNameBox() const { return m_fileName; }
    QLabel* ExtensionLabel() const { return m_extension; }
    QPushButton* BrowseButton() const { return m_browse; }
    QPushButton* SaveToDiskButton() const { return m_saveToDisk; }
    QPushButton* OpenButton() const { return m_open; }

    std::string FileName() const;
    void SetFileName(const std::string& name);
    void SetExtension(const std::string& extension);

protected:
    void LoadType(ICommonProperties* record) override;
    bool StoreType(ICommonProperties* record) override;

private:
    QLineEdit* m_fileName;
    QLabel* m_extension;
    QPushButton* m_browse;
    QPushButton* m_saveToDisk;
    QPushButton* m_open;
};

#pragma once

#include "model/FileChangedPrompt.h"

#include <QDialog>

#include <string>

class QRadioButton;
class QWidget;

// "File Changed...": what to do with a changed temporary copy of an opened attachment.
class CFileChangedDlg : public QDialog {
    Q_OBJECT

public:
    CFileChangedDlg(const std::string& fileName, int choice, QWidget* parent = nullptr);

    int GetChoice() const;
    QRadioButton* Choice(int index) const { return m_choices[index]; }

private:
    QRadioButton* m_choices[3] = {};
};

// The document's question, asked with the dialog above.
class CQtFileChangedPrompt : public IFileChangedPrompt {
public:
    void SetParent(QWidget* parent) { m_parent = parent; }
    bool Ask(const std::string& fileName, int& choice) override;

private:
    QWidget* m_parent = nullptr;
};

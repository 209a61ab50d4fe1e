#pragma once

#include <QDialog>

class CTxDoc;
class QLineEdit;
class QPlainTextEdit;

// Command 32806: what the folder's record holds (name, comments, times), read-only; renaming
// has its own command.
class CFolderPropertiesDlg : public QDialog {
    Q_OBJECT

public:
    CFolderPropertiesDlg(CTxDoc& doc, int folder, QWidget* parent = nullptr);

    QLineEdit* NameBox() const { return m_name; }
    QPlainTextEdit* CommentsBox() const { return m_comments; }
    QLineEdit* ModifiedBox() const { return m_modified; }
    QLineEdit* CreatedBox() const { return m_created; }

private:
    QLineEdit* m_name;
    QPlainTextEdit* m_comments;
    QLineEdit* m_modified;
    QLineEdit* m_created;
};

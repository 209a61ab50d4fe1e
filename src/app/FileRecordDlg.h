#pragma once

#include "model/WindowManager.h"

#include <QDialog>

#include <string>

class CFileEditPanel;
class CTxDoc;
class QDialogButtonBox;
class QPushButton;

// The modal dialog of a file record: name, comments, icon and custom fields as in the
// editors, plus the file itself, which can be replaced by another one, written to disk or
// opened through a watched copy. OK saves (creating the record first when it is new, all in
// one transaction); leaving with unsaved changes asks first. While open it is registered
// with the window manager like an editor, so a logout cannot close the data file under it
// while it holds changes.
class CFileRecordDlg : public QDialog, public IEditorWindow {
    Q_OBJECT

public:
    // Record id, or a new record (id 0) for folder parent.
    CFileRecordDlg(CTxDoc& doc, int id, int parent, QWidget* parentWidget = nullptr);
    ~CFileRecordDlg() override;

    // The file whose bytes the next save stores (its name and extension replace the record's).
    void SetChosenFile(const std::string& path);
    const std::string& ChosenFile() const { return m_chosenPath; }
    bool IsFileChanged() const { return m_fileChanged; }

    // Writes the dialog into the data file; false leaves the data file as it was.
    bool Save();
    bool IsModified() const;
    int GetItemId() const { return m_id; }
    bool IsNew() const { return m_new; }

    // The buttons: another file, "Save file on disk...", and open through a watched copy.
    bool ChangeFile();
    bool SaveFileOnDisk();
    bool OpenFile();

    CFileEditPanel* Panel() const { return m_panel; }
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;

    // IEditorWindow: a logout may close the dialog only without unsaved changes, and then
    // without a question.
    bool QueryClose() override;
    void Close() override;
    void Activate() override;

public slots:
    void accept() override;
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void Load();
    void UpdateTitle();
    void UpdateButtons();
    void Register();

    CTxDoc& m_doc;
    CFileEditPanel* m_panel;
    QDialogButtonBox* m_buttons;
    int m_id;
    int m_parent;
    bool m_new;
    bool m_fileChanged = false;
    bool m_closing = false;
    // Set while bytes move: the progress window's event loop must not start a change check
    // inside the transfer's transaction.
    bool m_busy = false;
    std::string m_chosenPath;
};

#pragma once

#include <QDialog>

#include <string>

class CTxDoc;

// "Database management...": the open data file with change password, compaction, locating,
// and the switch to a new or another data file (reported by the result).
class CDatabaseManagerDlg : public QDialog {
    Q_OBJECT

public:
    enum RESULT { kNothing = 0, kCreate = 1, kOpen = 2, kPasswordChanged = 3 };

    CDatabaseManagerDlg(CTxDoc& doc, const std::string& path, QWidget* parent = nullptr);

    // The file to open (kOpen) or to log in to again (kPasswordChanged).
    const std::string& GetPath() const { return m_result; }

    void OnChangePassword();
    void OnCompress();
    void OnLocate();
    void OnOpenExisting();
    // Closes with the open result for path (the file dialog's choice).
    void OpenFile(const std::string& path);

private:
    CTxDoc& m_doc;
    std::string m_path;
    std::string m_result;
};

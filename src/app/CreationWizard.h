#pragma once

#include "model/DataFileCreator.h"
#include "storage/CreatorPages.h"
#include "ui/PelvanLPropertySheet.h"

#include <string>

class CCreateFilenamePropPage;
class CCreatePasswordPropPage;
class CCreatePreFillPropPage;
class CCreateFinishPropPage;

// The five-page wizard that makes a new data file. The file is created when the last page
// opens; going back from there is not offered. The password stays in its boxes only while
// the wizard runs; what leaves it is the record key text.
class CCreationWizard : public CPelvanLPropertySheet {
    Q_OBJECT

public:
    enum PAGE { kWelcome, kFileName, kPassword, kPreFill, kFinish };

    explicit CCreationWizard(QWidget* parent = nullptr);
    ~CCreationWizard() override;

    bool IsCreated() const { return m_created; }
    std::string GetPath() const;
    std::string GetUsername() const;
    // The record key text of the chosen password; empty until the file was created.
    const std::string& GetKeyText() const { return m_keyText; }

    // Runs the creation (the finish page calls it once).
    bool Create();
    const CFinishPageResult& GetResult() const { return m_result; }

    CCreateFilenamePropPage* FileNamePage() const { return m_fileName; }
    CCreatePasswordPropPage* PasswordPage() const { return m_password; }
    CCreatePreFillPropPage* PreFillPage() const { return m_preFill; }
    CCreateFinishPropPage* FinishPage() const { return m_finish; }

    void done(int result) override;

private:
    CCreateFilenamePropPage* m_fileName;
    CCreatePasswordPropPage* m_password;
    CCreatePreFillPropPage* m_preFill;
    CCreateFinishPropPage* m_finish;
    bool m_created = false;
    std::string m_keyText;
    CFinishPageResult m_result;
};

// The document's creator of new data files: runs the wizard.
class CWizardDataFileCreator : public IDataFileCreator {
public:
    bool CreateDataFile(std::string& path, std::string& userName, std::string& keyText) override;
    void SetParent(QWidget* parent) { m_parent = parent; }

private:
    QWidget* m_parent = nullptr;
};

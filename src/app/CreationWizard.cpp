#include "app/CreationWizard.h"

#include "app/AppStrings.h"
#include "app/CreationPages.h"
#include "app/TrxImageList.h"
#include "security/LoginText.h"
#include "security/SecureZero.h"
#include "ui/ModalRunner.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <QLineEdit>

CCreationWizard::CCreationWizard(QWidget* parent)
    : CPelvanLPropertySheet(Tr(ids::kWizardTitle), parent) {
    setObjectName(QStringLiteral("CreationWizard"));
    setWindowIcon(ImageList().Icon(CTrxImageList::kProgram));
    setPage(kWelcome, new CCreateWelcomePropPage);
    m_fileName = new CCreateFilenamePropPage;
    setPage(kFileName, m_fileName);
    m_password = new CCreatePasswordPropPage;
    setPage(kPassword, m_password);
    m_preFill = new CCreatePreFillPropPage;
    // Leaving this page creates the file, so there is no way back from the last page; its
    // button still reads "Next".
    m_preFill->setCommitPage(true);
    setButtonText(QWizard::CommitButton, buttonText(QWizard::NextButton));
    setPage(kPreFill, m_preFill);
    m_finish = new CCreateFinishPropPage(*this);
    setPage(kFinish, m_finish);
    setStartId(kWelcome);
    setMinimumSize(520, 380);
}

CCreationWizard::~CCreationWizard() {
    SecureZero(m_keyText);
}

std::string CCreationWizard::GetPath() const {
    return ToBytes(m_fileName->GetPath());
}

std::string CCreationWizard::GetUsername() const {
    return ToBytes(m_password->UsernameBox()->text());
}

bool CCreationWizard::Create() {
    if (m_created)
        return true;
    std::string password = ToBytes(m_password->PasswordBox()->text());
    m_result =
        RunFinishPage(GetPath(), GetUsername(), password, ToBytes(m_password->HintBox()->text()),
                      m_preFill->GetCreateCategories(), m_preFill->GetCategories());
    m_created = m_result.created;
    if (m_created) {
        SecureZero(m_keyText);
        m_keyText = MakeKeyText(password);
    }
    SecureZero(password);
    m_password->WipePasswords();
    return m_created;
}

void CCreationWizard::done(int result) {
    m_password->WipePasswords();
    CPelvanLPropertySheet::done(result);
}

bool CWizardDataFileCreator::CreateDataFile(std::string& path, std::string& userName,
                                            std::string& keyText) {
    CCreationWizard wizard(m_parent);
    const int result = RunModal(wizard);
    if (result != QDialog::Accepted || !wizard.IsCreated())
        return false;
    path = wizard.GetPath();
    userName = wizard.GetUsername();
    keyText = wizard.GetKeyText();
    return true;
}

#include "app/FileChangedDlg.h"

#include "app/AppStrings.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr unsigned kTitle = 62710;
constexpr unsigned kQuestion = 62703;
constexpr unsigned kChoiceTexts[3] = {62704, 62705, 62706};

} // namespace

CFileChangedDlg::CFileChangedDlg(const std::string& fileName, int choice, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FileChangedDlg"));
    setWindowTitle(Tr(kTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Tr(kQuestion).replace(QStringLiteral("%1"), FromBytes(fileName))));
    for (int i = 0; i < 3; ++i) {
        m_choices[i] = new QRadioButton(Tr(kChoiceTexts[i]));
        layout->addWidget(m_choices[i]);
    }
    // An out-of-range stored setting falls back to the first action.
    m_choices[choice >= 0 && choice < 3 ? choice : 0]->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int CFileChangedDlg::GetChoice() const {
    for (int i = 0; i < 3; ++i)
        if (m_choices[i]->isChecked())
            return i;
    return 0;
}

bool CQtFileChangedPrompt::Ask(const std::string& fileName, int& choice) {
    CFileChangedDlg dialog(fileName, choice, m_parent);
    if (RunModal(dialog) != QDialog::Accepted)
        return false;
    choice = dialog.GetChoice();
    return true;
}

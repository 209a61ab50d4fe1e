#include "app/ChangePaswordDlg.h"

#include "app/ProgressDlg.h"
#include "app/ProgressStrings.h"
#include "app/WiringStrings.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "security/PasswordChange.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Overwrites a copy of typed secret text before it is released.
void Wipe(std::string& text) {
    volatile char* p = text.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        p[i] = 0;
    text.clear();
}

} // namespace

CChangePaswordDlg::CChangePaswordDlg(CTxDoc& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_current(new CKivPasswordEdit), m_username(new QLineEdit),
      m_new(new CKivPasswordEdit), m_again(new CKivPasswordEdit), m_hint(new QLineEdit) {
    setObjectName(QStringLiteral("ChangePaswordDlg"));
    setWindowTitle(Tr(wids::kChangeTitle));
    std::string username;
    if (doc.IsAuthorised())
        doc.GetAutorizator().GetUsername(username);
    m_username->setText(FromBytes(username));
    auto* form = new QFormLayout;
    form->addRow(Tr(wids::kCurrentPassword), m_current);
    form->addRow(Tr(wids::kNewUsername), m_username);
    form->addRow(Tr(wids::kNewPassword), m_new);
    form->addRow(Tr(wids::kNewPasswordAgain), m_again);
    form->addRow(Tr(wids::kPasswordHint), m_hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    QPushButton* change =
        buttons->addButton(Tr(wids::kChangePassword), QDialogButtonBox::ActionRole);
    change->setObjectName(QStringLiteral("ChangePassword"));
    change->setDefault(true);
    connect(change, &QPushButton::clicked, this, &CChangePaswordDlg::OnChange);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_current->setFocus();
}

void CChangePaswordDlg::OnChange() {
    if (!m_doc.IsAuthorised())
        return;
    PASSWORD_CHANGE_VALUES values{ToBytes(m_current->text()), ToBytes(m_username->text()),
                                  ToBytes(m_new->text()), ToBytes(m_again->text()),
                                  ToBytes(m_hint->text())};
    const PASSWORD_CHANGE_CHECK check = ValidatePasswordChange(m_doc.GetAutorizator(), values);
    Wipe(values.currentPassword);
    Wipe(values.newPassword);
    Wipe(values.newPasswordAgain);
    if (check.clearCurrentPassword)
        m_current->clear();
    if (check.clearNewPasswords) {
        m_new->clear();
        m_again->clear();
    }
    switch (check.focus) {
    case PASSWORD_CHANGE_CHECK::kCurrentPassword:
        m_current->setFocus();
        break;
    case PASSWORD_CHANGE_CHECK::kUsername:
        m_username->setFocus();
        break;
    case PASSWORD_CHANGE_CHECK::kNewPassword:
        m_new->setFocus();
        break;
    default:
        break;
    }
    if (!check.passed)
        return;
    TComPtr<ITresorix> tresorix = m_doc.GetTresorix();
    if (!tresorix)
        return;
    const std::string path = tresorix->GetFileName();
    tresorix = nullptr;
    // The change needs the file to itself: the document's connection goes first.
    if (!m_doc.Logout())
        return;
    // Runs here with the window painting between payloads: the connection is the change's
    // own and the document is logged out. A half-done change cannot be cancelled.
    bool changed = false;
    {
        CProgressDlg progress(windowTitle(), Tr(pids::kChangingPassword), false, this);
        progress.Begin();
        changed = ApplyPasswordChange(path, check.oldKeyText, check.newKeyText, values.newUsername,
                                      values.hint, progress.Callback());
        progress.End();
    }
    if (!changed)
        return;
    m_current->clear();
    m_new->clear();
    m_again->clear();
    m_changedPath = path;
    accept();
}

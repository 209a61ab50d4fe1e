#include "app/PasswordDlg.h"

#include "app/AppStrings.h"
#include "app/Commands.h"
#include "app/TrxImageList.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "security/Login.h"
#include "security/LoginText.h"
#include "security/SecureZero.h"
#include "ui/ModalRunner.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

CPasswordDlg::CPasswordDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(Tr(ids::kEnterPassword));
    setWindowIcon(ImageList().Icon(CTrxImageList::kProgram));

    m_username = new QLineEdit;
    m_password = new CKivPasswordEdit;
    // The login box stays masked whatever App_ShowPasswords says.
    m_password->SetShowPassword(false);
    m_username->setText(FromBytes(TresorixSettings().App_LastUsername));

    auto* form = new QFormLayout;
    form->addRow(Tr(ids::kLabelUsername), m_username);
    form->addRow(Tr(ids::kLabelPassword), m_password);

    m_more = new QPushButton(Tr(ids::kMore));
    auto* menu = new QMenu(m_more);
    const struct {
        unsigned text;
        int command;
    } items[] = {{ids::kMenuHint, cmd::kPasswordHint},
                 {ids::kMenuCreate, cmd::kCreateNewStorage},
                 {ids::kMenuOpenAnother, cmd::kOpenAnotherStorage},
                 {ids::kMenuAbout, cmd::kAbout}};
    for (const auto& item : items) {
        QAction* action = menu->addAction(Tr(item.text));
        action->setData(item.command);
        connect(action, &QAction::triggered, this, [this, c = item.command] { OnMoreCommand(c); });
    }
    m_more->setMenu(menu);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(m_more, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPasswordDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPasswordDlg::reject);

    auto* picture = new QLabel;
    picture->setPixmap(windowIcon().pixmap(48, 48));
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(form, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(380);

    if (m_username->text().isEmpty())
        m_username->setFocus();
    else
        m_password->setFocus();
}

CPasswordDlg::~CPasswordDlg() {
    SecureZero(m_keyText);
}

std::string CPasswordDlg::GetUsername() const {
    return ToBytes(m_username->text());
}

void CPasswordDlg::OnMoreCommand(int command) {
    switch (command) {
    case cmd::kPasswordHint:
        ShowPasswordHint(m_path);
        break;
    case cmd::kCreateNewStorage:
    case cmd::kOpenAnotherStorage:
        m_command = command;
        QDialog::reject();
        break;
    case cmd::kAbout:
        KivMessageBox(FormatString(LoadString(ids::kAboutText), "1.0"), MB_OK | MB_ICONINFORMATION);
        break;
    default:
        break;
    }
}

void CPasswordDlg::accept() {
    std::string typed = ToBytes(m_password->text());
    std::vector<std::string> keys = PasswordKeyTexts(typed);
    SecureZero(typed);
    const bool accepted = m_check && m_check(m_path, GetUsername(), keys);
    if (accepted) {
        SecureZero(m_keyText);
        m_keyText = keys.empty() ? std::string() : keys.front();
    }
    WipeTexts(keys);
    if (accepted) {
        QDialog::accept();
        return;
    }
    m_password->Wipe();
    m_password->setFocus();
}

void CPasswordDlg::done(int result) {
    m_password->Wipe();
    TresorixSettings().App_LastUsername = GetUsername();
    QDialog::done(result);
}

bool CTxLoginDialog::DoModal(const std::string& path, const CHECK& check, void* parent) {
    CPasswordDlg dialog(static_cast<QWidget*>(parent));
    dialog.SetPath(path);
    dialog.SetCheck(check);
    const bool ok = RunModal(dialog) == QDialog::Accepted;
    m_lastCommand = dialog.GetCommand();
    return ok;
}

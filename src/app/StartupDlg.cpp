#include "app/StartupDlg.h"

#include "app/AppStrings.h"
#include "app/TrxImageList.h"
#include "platform/MessageBox.h"
#include "platform/TresorixSettings.h"
#include "ui/FileDialogFilters.h"
#include "ui/TextBytes.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CStartupDlg::CStartupDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("StartupDlg"));
    setWindowTitle(Tr(ids::kAppTitle));
    const QIcon icon = ImageList().Icon(CTrxImageList::kProgram);
    setWindowIcon(icon);

    auto* hint = new QHBoxLayout;
    auto* picture = new QLabel;
    picture->setPixmap(icon.pixmap(48, 48));
    hint->addWidget(picture, 0, Qt::AlignTop);
    hint->addWidget(new QLabel(Tr(ids::kChoiceText)), 1);

    m_create = new QRadioButton(Tr(ids::kChoiceCreate));
    m_open = new QRadioButton(Tr(ids::kChoiceOpen));
    m_demo = new QRadioButton(Tr(ids::kChoiceDemo));
    m_demo->setVisible(false);
    auto* group = new QButtonGroup(this);
    group->addButton(m_create, kCreate);
    group->addButton(m_open, kOpen);
    group->addButton(m_demo, kDemo);
    m_path = new QLineEdit;
    m_browse = new QPushButton(Tr(ids::kBrowse));

    auto* pathRow = new QHBoxLayout;
    pathRow->addSpacing(20);
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_browse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CStartupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CStartupDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(hint);
    layout->addSpacing(8);
    layout->addWidget(m_create);
    layout->addWidget(m_open);
    layout->addLayout(pathRow);
    layout->addWidget(m_demo);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setMinimumWidth(460);

    connect(group, &QButtonGroup::idToggled, this, [this] { UpdateControls(); });
    connect(m_browse, &QPushButton::clicked, this, &CStartupDlg::Browse);

    CTresorixSettings& settings = TresorixSettings();
    SetChoice(settings.App_StartupOptionsSelected);
    SetPath(FromBytes(settings.App_ExistedDatafile));
}

int CStartupDlg::GetChoice() const {
    if (m_open->isChecked())
        return kOpen;
    if (m_demo->isChecked())
        return kDemo;
    return kCreate;
}

void CStartupDlg::SetChoice(int choice) {
    QRadioButton* button = choice == kOpen ? m_open : choice == kDemo ? m_demo : m_create;
    button->setChecked(true);
    button->setFocus();
    UpdateControls();
}

QString CStartupDlg::GetPath() const {
    return m_path->text().trimmed();
}

void CStartupDlg::SetPath(const QString& path) {
    m_path->setText(path);
}

void CStartupDlg::UpdateControls() {
    const bool open = m_open->isChecked();
    m_path->setEnabled(open);
    m_browse->setEnabled(open);
}

void CStartupDlg::Browse() {
    const QString path = QFileDialog::getOpenFileName(
        this, Tr(ids::kOpenTitle), GetPath(),
        FileDialogFilters(Tr(ids::kOpenFilter)).join(QStringLiteral(";;")), nullptr,
        QFileDialog::ReadOnly | QFileDialog::HideNameFilterDetails);
    if (path.isEmpty())
        return;
    SetPath(path);
    TresorixSettings().App_ExistedDatafile = ToBytes(path);
}

void CStartupDlg::accept() {
    CTresorixSettings& settings = TresorixSettings();
    settings.App_StartupOptionsSelected = GetChoice();
    settings.App_ExistedDatafile = ToBytes(GetPath());
    QDialog::accept();
}

void CStartupDlg::reject() {
    if (TxQuestionBox(ids::kSureToQuit) == IDYES)
        QDialog::reject();
}

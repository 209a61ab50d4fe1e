#include "app/CreationPages.h"

#include "app/AppStrings.h"
#include "app/CreationWizard.h"
#include "app/TrxImageList.h"
#include "storage/CreatorPages.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CCreateWelcomePropPage::CCreateWelcomePropPage() {
    setTitle(Tr(ids::kWizardWelcome));
    auto* text = new QLabel(Tr(ids::kWizardWelcomeText));
    text->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addStretch(1);
}

CCreateFilenamePropPage::CCreateFilenamePropPage() {
    setTitle(Tr(ids::kWizardFileName));
    m_path = new QLineEdit;
    auto* browse = new QPushButton(QStringLiteral("..."));
    browse->setObjectName(QStringLiteral("BrowseButton"));
    connect(browse, &QPushButton::clicked, this, &CCreateFilenamePropPage::Browse);
    auto* row = new QHBoxLayout;
    row->addWidget(m_path, 1);
    row->addWidget(browse);
    auto* warning = new QLabel(Tr(ids::kOverwriteNote));
    warning->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Tr(ids::kLabelFileName));
    label->setBuddy(m_path);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->addWidget(warning);
    layout->addStretch(1);
}

QString CCreateFilenamePropPage::GetPath() const {
    return m_path->text();
}

void CCreateFilenamePropPage::Browse() {
    const QString filter = QStringLiteral("Tresorix Pro Files (*.tpx *.trx);;All Files (*)");
    QFileDialog dialog(this, Tr(ids::kSaveTitle), m_path->text(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("tpx"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_path->setText(dialog.selectedFiles().front());
}

bool CCreateFilenamePropPage::validatePage() {
    const CFileNamePageCheck check = CheckFileNamePage(ToBytes(m_path->text().trimmed()));
    if (!check.path.empty())
        m_path->setText(FromBytes(check.path));
    if (check.selectPath) {
        m_path->selectAll();
        m_path->setFocus();
    }
    return check.moveOn;
}

CCreatePasswordPropPage::CCreatePasswordPropPage() {
    setTitle(Tr(ids::kWizardPassword));
    m_username = new QLineEdit;
    m_password = new CKivPasswordEdit;
    m_retype = new CKivPasswordEdit;
    m_hint = new QLineEdit;
    auto* form = new QFormLayout(this);
    form->addRow(Tr(ids::kLabelUsername), m_username);
    form->addRow(Tr(ids::kLabelPassword), m_password);
    form->addRow(Tr(ids::kLabelRetype), m_retype);
    form->addRow(Tr(ids::kLabelHint), m_hint);
}

CCreatePasswordPropPage::~CCreatePasswordPropPage() {
    WipePasswords();
}

void CCreatePasswordPropPage::WipePasswords() {
    m_password->Wipe();
    m_retype->Wipe();
}

bool CCreatePasswordPropPage::validatePage() {
    const CPasswordPageCheck check = CheckPasswordPage(
        ToBytes(m_username->text()), ToBytes(m_password->text()), ToBytes(m_retype->text()));
    if (check.clearPasswords)
        WipePasswords();
    if (check.focus == CPasswordPageCheck::kFocusUsername)
        m_username->setFocus();
    else if (check.focus == CPasswordPageCheck::kFocusPassword)
        m_password->setFocus();
    return check.moveOn;
}

CCreatePreFillPropPage::CCreatePreFillPropPage() {
    setTitle(Tr(ids::kWizardPreFill));
    m_leaveEmpty = new QRadioButton(Tr(ids::kLeaveEmpty));
    m_create = new QRadioButton(Tr(ids::kCreateCategories));
    m_tree = new QTreeWidget;
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    const QIcon folder = ImageList().Icon(CTrxImageList::kFolderClosed);
    for (unsigned id : VisibleDefaultCategories()) {
        auto* item = new QTreeWidgetItem(m_tree, QStringList(Tr(id)));
        item->setIcon(0, folder);
        item->setData(0, Qt::UserRole, id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
    }
    connect(m_create, &QRadioButton::toggled, m_tree, &QWidget::setEnabled);
    m_create->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_leaveEmpty);
    layout->addWidget(m_create);
    layout->addWidget(m_tree, 1);
}

bool CCreatePreFillPropPage::GetCreateCategories() const {
    return m_create->isChecked();
}

bool CCreatePreFillPropPage::validatePage() {
    m_categories.clear();
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_tree->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            m_categories.push_back(item->data(0, Qt::UserRole).toUInt());
    }
    return true;
}

CCreateFinishPropPage::CCreateFinishPropPage(CCreationWizard& wizard) : m_wizard(wizard) {
    setTitle(Tr(ids::kWizardFinish));
    setFinalPage(true);
    m_title = new QLabel;
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_text = new QLabel;
    m_text->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_text);
    layout->addStretch(1);
}

void CCreateFinishPropPage::initializePage() {
    m_created = m_wizard.Create();
    const CFinishPageResult& result = m_wizard.GetResult();
    m_title->setText(Tr(result.titleId));
    m_text->setText(Tr(result.textId));
    emit completeChanged();
}

bool CCreateFinishPropPage::isComplete() const {
    return m_created;
}

QString CCreateFinishPropPage::ResultTitle() const {
    return m_title->text();
}

QString CCreateFinishPropPage::ResultText() const {
    return m_text->text();
}

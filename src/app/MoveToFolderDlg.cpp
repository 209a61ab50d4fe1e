#include "app/MoveToFolderDlg.h"

#include "app/FolderTree.h"
#include "app/WiringStrings.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CMoveToFolderDlg::CMoveToFolderDlg(CTxDoc& doc, int preselected, QWidget* parent, RULE rule)
    : QDialog(parent), m_tree(new CFolderTree(doc)), m_rule(std::move(rule)) {
    setObjectName(QStringLiteral("MoveToFolderDlg"));
    setWindowTitle(Tr(wids::kSelectFolderTitle));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMoveToFolderDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Tr(wids::kSelectFolderPrompt)));
    layout->addWidget(m_tree, 1);
    layout->addWidget(buttons);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CMoveToFolderDlg::UpdateOk);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &CMoveToFolderDlg::UpdateOk);
    if (!m_tree->Select(preselected))
        m_tree->Select(1);
    UpdateOk();
    resize(320, 400);
}

void CMoveToFolderDlg::UpdateOk() {
    const int id = m_tree->SelectedId();
    m_ok->setEnabled(id > 0 && (!m_rule || m_rule(id)));
}

void CMoveToFolderDlg::accept() {
    const int id = m_tree->SelectedId();
    if (id <= 0 || (m_rule && !m_rule(id)))
        return;
    m_folder = id;
    QDialog::accept();
}

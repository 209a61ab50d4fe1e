#include "app/NewFolderDlg.h"

#include "app/FolderTree.h"
#include "app/WiringStrings.h"
#include "ui/TextBytes.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CNewFolderDlg::CNewFolderDlg(CTxDoc& doc, int parent, const std::string& name, QWidget* owner)
    : QDialog(owner), m_tree(new CFolderTree(doc)), m_name(new QLineEdit(FromBytes(name))),
      m_parent(parent) {
    setObjectName(QStringLiteral("NewFolderDlg"));
    setWindowTitle(Tr(wids::kNewFolderTitle));
    m_name->setObjectName(QStringLiteral("FolderName"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewFolderDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Tr(wids::kNewFolderName)));
    layout->addWidget(m_name);
    layout->addWidget(new QLabel(Tr(wids::kNewFolderParent)));
    layout->addWidget(m_tree, 1);
    layout->addWidget(buttons);
    if (!m_tree->Select(parent))
        m_tree->Select(1);
    // Without a selected parent there is nowhere to put the folder.
    auto update = [this, ok = buttons->button(QDialogButtonBox::Ok)] {
        ok->setEnabled(m_tree->SelectedId() > 0);
    };
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, update);
    update();
    m_name->setFocus();
    resize(320, 420);
}

std::string CNewFolderDlg::GetName() const {
    return ToBytes(m_name->text().trimmed());
}

void CNewFolderDlg::accept() {
    const int id = m_tree->SelectedId();
    if (id <= 0)
        return;
    m_parent = id;
    QDialog::accept();
}

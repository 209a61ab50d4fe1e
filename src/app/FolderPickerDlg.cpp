#include "app/FolderPickerDlg.h"

#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QDialogButtonBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>

namespace {

constexpr int kRootId = 1;
// A damaged tree may loop; no real vault nests folders this deep.
constexpr int kMaxDepth = 256;

} // namespace

CFolderPickerDlg::CFolderPickerDlg(CTxDoc& doc, int selected, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_tree(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("FolderPickerDlg"));
    setWindowTitle(QStringLiteral("Select Folder"));
    m_tree->setHeaderHidden(true);
    if (TComPtr<ICommonProperties> root = m_doc.GetRecord(kRootId)) {
        auto* item = new QTreeWidgetItem(m_tree, {FromBytes(root->GetName())});
        item->setIcon(0, ImageList().Icon(root->GetImage()));
        item->setData(0, Qt::UserRole, kRootId);
        AddChildren(item, kRootId, 0);
        item->setExpanded(true);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);
    if (!Select(selected))
        Select(kRootId);
    resize(320, 400);
}

void CFolderPickerDlg::AddChildren(QTreeWidgetItem* parent, int id, int depth) {
    if (depth > kMaxDepth)
        return;
    TComPtr<ITreeItem> node = m_doc.GetNode(id);
    if (!node)
        return;
    TComPtr<ITreeIterator> it = node->GetIterator(ITreeItem::kChildren);
    if (!it)
        return;
    for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next()) {
        const int childId = child->GetID();
        TComPtr<ICommonProperties> record = m_doc.GetRecord(childId);
        if (!record || !record->IsFolder() || childId == id)
            continue;
        auto* item = new QTreeWidgetItem(parent, {FromBytes(record->GetName())});
        item->setIcon(0, ImageList().Icon(record->GetImage()));
        item->setData(0, Qt::UserRole, childId);
        AddChildren(item, childId, depth + 1);
    }
}

int CFolderPickerDlg::SelectedFolder() const {
    QTreeWidgetItem* item = m_tree->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

bool CFolderPickerDlg::Select(int id) {
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toInt() == id) {
            m_tree->setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

int PickFolder(CTxDoc& doc, int current, QWidget* parent) {
    CFolderPickerDlg dialog(doc, current, parent);
    if (RunModal(dialog) != QDialog::Accepted)
        return 0;
    return dialog.SelectedFolder();
}

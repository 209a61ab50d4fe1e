#include "app/FolderTree.h"

#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "ui/TextBytes.h"

#include <QTreeWidgetItemIterator>

namespace {

// A damaged tree may loop; no real data file nests folders this deep.
constexpr int kMaxDepth = 256;

} // namespace

CFolderTree::CFolderTree(CTxDoc& doc, QWidget* parent) : QTreeWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FolderTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    Reload();
}

void CFolderTree::Reload() {
    clear();
    TComPtr<ICommonProperties> root = m_doc.GetRecord(kRootFolderId);
    if (!root)
        return;
    auto* item = new QTreeWidgetItem(QStringList(FromBytes(root->GetName())));
    item->setIcon(0, ImageList().Icon(root->GetImage()));
    item->setData(0, kIdRole, kRootFolderId);
    addTopLevelItem(item);
    AddChildren(item, kRootFolderId, 0);
    item->setExpanded(true);
}

void CFolderTree::AddChildren(QTreeWidgetItem* item, int id, int depth) {
    if (depth >= kMaxDepth)
        return;
    TComPtr<ITreeItem> node = m_doc.GetNode(id);
    TComPtr<ITreeIterator> it =
        node ? node->GetIterator(ITreeItem::kChildren) : TComPtr<ITreeIterator>();
    if (!it)
        return;
    for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next()) {
        const int childId = child->GetID();
        if (childId == id || ItemOf(childId))
            continue;
        TComPtr<ICommonProperties> record = m_doc.GetRecord(childId);
        if (!record || !record->IsFolder())
            continue;
        auto* childItem = new QTreeWidgetItem(item, QStringList(FromBytes(record->GetName())));
        childItem->setIcon(0, ImageList().Icon(record->GetImage()));
        childItem->setData(0, kIdRole, childId);
        AddChildren(childItem, childId, depth + 1);
    }
}

QTreeWidgetItem* CFolderTree::ItemOf(int id) const {
    for (QTreeWidgetItemIterator it(const_cast<CFolderTree*>(this)); *it; ++it)
        if ((*it)->data(0, kIdRole).toInt() == id)
            return *it;
    return nullptr;
}

bool CFolderTree::Select(int id) {
    QTreeWidgetItem* item = ItemOf(id);
    if (!item)
        return false;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

int CFolderTree::SelectedId() const {
    const QTreeWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->data(0, kIdRole).toInt() : 0;
}

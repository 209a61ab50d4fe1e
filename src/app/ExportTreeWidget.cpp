#include "app/ExportTreeWidget.h"

#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "ui/TextBytes.h"

namespace {

constexpr int kRootId = 1;
// A damaged tree may loop; no real vault nests this deep.
constexpr int kMaxDepth = 256;

} // namespace

CExportTreeWidget::CExportTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    connect(this, &QTreeWidget::itemChanged, this, &CExportTreeWidget::OnItemChanged);
}

void CExportTreeWidget::Fill(CTxDoc& doc) {
    m_spreading = true;
    clear();
    if (TComPtr<ICommonProperties> root = doc.GetRecord(kRootId)) {
        auto* item = new QTreeWidgetItem(this, {FromBytes(root->GetName())});
        item->setIcon(0, ImageList().Icon(root->GetImage()));
        item->setData(0, Qt::UserRole, kRootId);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        AddChildren(doc, item, kRootId, 0);
    }
    expandAll();
    m_spreading = false;
}

void CExportTreeWidget::AddChildren(CTxDoc& doc, QTreeWidgetItem* parent, int id, int depth) {
    if (depth > kMaxDepth)
        return;
    TComPtr<ITreeItem> node = doc.GetNode(id);
    TComPtr<ITreeIterator> it =
        node ? node->GetIterator(ITreeItem::kChildren) : TComPtr<ITreeIterator>();
    if (!it)
        return;
    for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next()) {
        const int childId = child->GetID();
        TComPtr<ICommonProperties> record = doc.GetRecord(childId);
        if (!record || childId == id)
            continue;
        auto* item = new QTreeWidgetItem(parent, {FromBytes(record->GetName())});
        item->setIcon(0, ImageList().Icon(record->GetImage()));
        item->setData(0, Qt::UserRole, childId);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        if (record->IsFolder())
            AddChildren(doc, item, childId, depth + 1);
    }
}

void CExportTreeWidget::OnItemChanged(QTreeWidgetItem* item, int column) {
    if (m_spreading || !m_cascade || column != 0)
        return;
    m_spreading = true;
    CascadeCheck(*this, Handle(item), item->checkState(0) == Qt::Checked);
    m_spreading = false;
}

QTreeWidgetItem* CExportTreeWidget::FindItem(int id) const {
    for (QTreeWidgetItemIterator it(const_cast<CExportTreeWidget*>(this)); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == id)
            return *it;
    return nullptr;
}

IExportTree::HNODE CExportTreeWidget::GetRootNode() const {
    return Handle(topLevelItem(0));
}

IExportTree::HNODE CExportTreeWidget::GetChildNode(HNODE node) const {
    QTreeWidgetItem* item = Item(node);
    return item && item->childCount() > 0 ? Handle(item->child(0)) : kNoNode;
}

IExportTree::HNODE CExportTreeWidget::GetNextSiblingNode(HNODE node) const {
    QTreeWidgetItem* item = Item(node);
    if (!item)
        return kNoNode;
    if (QTreeWidgetItem* parent = item->parent()) {
        const int next = parent->indexOfChild(item) + 1;
        return next < parent->childCount() ? Handle(parent->child(next)) : kNoNode;
    }
    const int next = indexOfTopLevelItem(item) + 1;
    return next < topLevelItemCount() ? Handle(topLevelItem(next)) : kNoNode;
}

IExportTree::HNODE CExportTreeWidget::GetParentNode(HNODE node) const {
    QTreeWidgetItem* item = Item(node);
    return item ? Handle(item->parent()) : kNoNode;
}

int CExportTreeWidget::GetNodeId(HNODE node) const {
    QTreeWidgetItem* item = Item(node);
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

bool CExportTreeWidget::GetCheck(HNODE node) const {
    QTreeWidgetItem* item = Item(node);
    return item && item->checkState(0) == Qt::Checked;
}

void CExportTreeWidget::SetCheck(HNODE node, bool checked) {
    if (QTreeWidgetItem* item = Item(node))
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

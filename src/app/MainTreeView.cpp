#include "app/MainTreeView.h"

#include "app/AppStrings.h"
#include "app/TrxImageList.h"
#include "app/TxListModel.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "model/TxDragDrop.h"
#include "platform/qt/WaitCursor.h"
#include "ui/TextBytes.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QStandardItemModel>

namespace {

// A placeholder child that gives a node its expand button before its children are read.
constexpr int kPlaceholderId = -1;

class CBusy {
public:
    explicit CBusy(int& counter) : m_counter(counter) { ++m_counter; }
    ~CBusy() { --m_counter; }
    CBusy(const CBusy&) = delete;
    CBusy& operator=(const CBusy&) = delete;

private:
    int& m_counter;
};

} // namespace

class CMainTreeView::CBuild {
public:
    explicit CBuild(CMainTreeView& view) : m_view(view) { ++m_view.m_builds; }
    ~CBuild() {
        if (--m_view.m_builds == 0) {
            m_view.m_children.clear();
            m_view.m_records.clear();
        }
    }
    CBuild(const CBuild&) = delete;
    CBuild& operator=(const CBuild&) = delete;

private:
    CMainTreeView& m_view;
};

CMainTreeView::CMainTreeView(CTxDoc& doc, QWidget* parent)
    : QTreeView(parent), m_doc(doc), m_model(new QStandardItemModel(this)) {
    setObjectName(QStringLiteral("MainTreeView"));
    setModel(m_model);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& i) { OnExpanded(i, true); });
    connect(this, &QTreeView::collapsed, this,
            [this](const QModelIndex& i) { OnExpanded(i, false); });
    connect(m_model, &QStandardItemModel::itemChanged, this, &CMainTreeView::OnItemChanged);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { OnCurrentChanged(current); });
    m_doc.AddView(this);
    Reload();
}

CMainTreeView::~CMainTreeView() {
    m_doc.RemoveView(this);
}

QStandardItem* CMainTreeView::MakeItem(int id, const QString& name, int image) {
    auto* item = new QStandardItem(ImageList().Icon(image), name);
    item->setData(id, kIdRole);
    item->setData(image, kIdRole + 1);
    item->setEditable(id > 0);
    item->setDragEnabled(id > 0);
    item->setDropEnabled(id > 0);
    return item;
}

void CMainTreeView::Reload() {
    CBusy busy(m_busy);
    CBuild build(*this);
    const int selected = SelectedId();
    m_model->clear();
    m_showsData = m_doc.IsAuthorised();
    if (!m_showsData) {
        m_model->appendRow(MakeItem(0, Tr(ids::kPleaseLogin), CTrxImageList::kRootFolder));
        return;
    }
    TComPtr<ICommonProperties> root = m_doc.GetRecord(kRootFolderId);
    if (!root)
        return;
    QStandardItem* item = MakeItem(kRootFolderId, FromBytes(root->GetName()), root->GetImage());
    m_model->appendRow(item);
    if (HasSubFolders(kRootFolderId))
        item->appendRow(MakeItem(kPlaceholderId, QString(), CTrxImageList::kFolderClosed));
    TComPtr<ITreeItem> node = m_doc.GetNode(kRootFolderId);
    if (node && node->IsExpanded())
        expand(item->index());
    const int want = m_doc.GetCurrentFolder() ? m_doc.GetCurrentFolder() : selected;
    if (!SelectFolder(want))
        selectionModel()->setCurrentIndex(item->index(), QItemSelectionModel::ClearAndSelect);
}

const std::vector<TComPtr<ITreeItem>>& CMainTreeView::ChildrenOf(int id) {
    auto found = m_children.find(id);
    if (found != m_children.end())
        return found->second;
    std::vector<TComPtr<ITreeItem>>& children = m_children[id];
    TComPtr<ITreeItem> node = m_doc.GetNode(id);
    TComPtr<ITreeIterator> it =
        node ? node->GetIterator(ITreeItem::kChildren) : TComPtr<ITreeIterator>();
    if (it)
        for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next())
            children.push_back(std::move(child));
    return children;
}

const CMainTreeView::RECORDINFO* CMainTreeView::InfoOf(ITreeItem& node) {
    const int id = node.GetID();
    auto found = m_records.find(id);
    if (found == m_records.end()) {
        // An unreadable record is remembered too (as no folder): it is not asked for again.
        RECORDINFO info;
        if (TComPtr<ICommonProperties> record = GetCommonProperties(node.GetData())) {
            info.isFolder = record->IsFolder();
            if (info.isFolder) {
                info.name = FromBytes(record->GetName());
                info.image = record->GetImage();
            }
        }
        found = m_records.emplace(id, std::move(info)).first;
    }
    return &found->second;
}

bool CMainTreeView::HasSubFolders(int id) {
    CBuild build(*this);
    for (const TComPtr<ITreeItem>& child : ChildrenOf(id))
        if (InfoOf(*child)->isFolder)
            return true;
    return false;
}

void CMainTreeView::LoadChildren(QStandardItem* item) {
    CBusy busy(m_busy);
    CBuild build(*this);
    const int id = item->data(kIdRole).toInt();
    item->removeRows(0, item->rowCount());
    // The memo's entries stay in place while the expansions below add to it.
    const std::vector<TComPtr<ITreeItem>>& nodes = ChildrenOf(id);
    std::vector<std::pair<QStandardItem*, ITreeItem*>> children;
    for (const TComPtr<ITreeItem>& child : nodes) {
        const RECORDINFO* info = InfoOf(*child);
        if (!info->isFolder)
            continue;
        const int childId = child->GetID();
        QStandardItem* childItem = MakeItem(childId, info->name, info->image);
        const bool subFolders = HasSubFolders(childId);
        if (subFolders)
            childItem->appendRow(MakeItem(kPlaceholderId, QString(), CTrxImageList::kFolderClosed));
        item->appendRow(childItem);
        // The stored flag matters only where there is something to expand.
        if (subFolders)
            children.emplace_back(childItem, child.Get());
    }
    for (const auto& [childItem, node] : children)
        if (node->IsExpanded())
            expand(childItem->index());
}

void CMainTreeView::OnExpanded(const QModelIndex& index, bool expanded) {
    QStandardItem* item = m_model->itemFromIndex(index);
    if (!item)
        return;
    const int id = item->data(kIdRole).toInt();
    if (id <= 0)
        return;
    if (expanded)
        LoadChildren(item);
    if (m_busy == 0)
        if (TComPtr<ITreeItem> node = m_doc.GetNode(id))
            if (node->IsExpanded() != expanded)
                node->SetExpanded(expanded);
    const int image = item->data(kIdRole + 1).toInt();
    if (image != CTrxImageList::kFolderClosed && image != CTrxImageList::kFolderOpen)
        return;
    item->setIcon(
        ImageList().Icon(expanded ? CTrxImageList::kFolderOpen : CTrxImageList::kFolderClosed));
}

QStandardItem* CMainTreeView::ItemOf(int id) const {
    if (id <= 0)
        return nullptr;
    const QModelIndexList found =
        m_model->match(m_model->index(0, 0), kIdRole, id, 1, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : m_model->itemFromIndex(found.front());
}

bool CMainTreeView::SelectFolder(int id, bool announce) {
    QStandardItem* item = ItemOf(id);
    if (!item) {
        // Load the branch down to id: its ancestors, top first.
        std::vector<int> path;
        for (int cur = id, guard = 0; cur > 0 && guard < 10000; ++guard) {
            TComPtr<ITreeItem> node = m_doc.GetNode(cur);
            if (!node)
                return false;
            path.push_back(cur);
            cur = node->GetParentID();
        }
        for (auto it = path.rbegin(); it != path.rend(); ++it)
            if (QStandardItem* ancestor = ItemOf(*it); ancestor && *it != id)
                expand(ancestor->index());
        item = ItemOf(id);
        if (!item)
            return false;
    }
    {
        CBusy busy(m_busy);
        for (QStandardItem* p = item->parent(); p; p = p->parent())
            expand(p->index());
        if (!announce)
            selectionModel()->setCurrentIndex(item->index(), QItemSelectionModel::ClearAndSelect);
    }
    if (announce)
        selectionModel()->setCurrentIndex(item->index(), QItemSelectionModel::ClearAndSelect);
    scrollTo(item->index());
    return true;
}

int CMainTreeView::SelectedId() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.data(kIdRole).toInt() : 0;
}

void CMainTreeView::OnCurrentChanged(const QModelIndex& current) {
    if (m_busy > 0 || !m_doc.IsAuthorised() || !current.isValid())
        return;
    const int id = current.data(kIdRole).toInt();
    if (id <= 0 || id == m_doc.GetCurrentFolder())
        return;
    m_doc.Push(id);
    m_doc.UpdateAllViews(this, CTxDoc::kHintShowFolder, id);
}

void CMainTreeView::OnUpdate(CKivDoc&, IKivView*, int hint, const void*) {
    switch (hint) {
    case CTxDoc::kHintShowFolder:
        if (m_showsData != m_doc.IsAuthorised())
            Reload();
        else if (m_doc.GetCurrentFolder() && m_doc.GetCurrentFolder() != SelectedId())
            SelectFolder(m_doc.GetCurrentFolder());
        break;
    case CTxDoc::kHintRecordsChanged:
    case CTxDoc::kHintFavoriteSelected:
    case CTxDoc::kHintSearchResults:
    case CTxDoc::kHintFileAdded:
        break;
    default:
        // Reload, login changes, moves, deletions and new folders change the tree's shape.
        Reload();
        break;
    }
}

bool CMainTreeView::RenameFolder(int id, const QString& name) {
    QStandardItem* item = ItemOf(id);
    TComPtr<ITreeItem> node = m_doc.GetNode(id);
    TComPtr<ICommonProperties> record = m_doc.GetRecord(id);
    if (!node || !record)
        return false;
    const std::string old = record->GetName();
    std::string unique = ToBytes(name);
    if (!unique.empty()) {
        m_doc.MakeUniqueName(id, node->GetParentID(), unique);
        record->SetName(unique);
    }
    // An empty name, or one the file refused: the label keeps the old text.
    if (unique.empty() || !node->SetData(record.Get())) {
        if (item) {
            CBusy busy(m_busy);
            item->setText(FromBytes(old));
        }
        return false;
    }
    if (item) {
        CBusy busy(m_busy);
        item->setText(FromBytes(unique));
    }
    m_doc.UpdateAllViews(this, CTxDoc::kHintShowFolder, id);
    return true;
}

void CMainTreeView::BeginRename() {
    if (currentIndex().isValid() && SelectedId() > 0)
        edit(currentIndex());
}

void CMainTreeView::OnItemChanged(QStandardItem* item) {
    if (m_busy > 0 || !item)
        return;
    const int id = item->data(kIdRole).toInt();
    if (id > 0)
        RenameFolder(id, item->text().trimmed());
}

bool CMainTreeView::CanDropIds(const std::vector<int>& ids, int target) const {
    if (ids.empty() || target <= 0 || !m_doc.IsAuthorised())
        return false;
    CTxDragDrop drag(m_doc);
    drag.BeginDrag(ids, this);
    return drag.CanDrop(target);
}

bool CMainTreeView::DropIds(const std::vector<int>& ids, int target) {
    if (!CanDropIds(ids, target))
        return false;
    CWaitCursor wait;
    CTxDragDrop drag(m_doc);
    drag.BeginDrag(ids, this);
    return drag.Drop(target);
}

int CMainTreeView::IdAtPos(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? index.data(kIdRole).toInt() : 0;
}

void CMainTreeView::startDrag(Qt::DropActions) {
    const int id = SelectedId();
    if (id <= 0 || !m_doc.CanMoveItems({id}))
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(MakeIdsMimeData({id}));
    if (QStandardItem* item = ItemOf(id))
        drag->setPixmap(item->icon().pixmap(16, 16));
    drag->exec(Qt::MoveAction);
}

void CMainTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(QString::fromLatin1(kIdsMimeType)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CMainTreeView::dragMoveEvent(QDragMoveEvent* event) {
    const std::vector<int> ids = ReadIdsMimeData(event->mimeData());
    if (CanDropIds(ids, IdAtPos(event->position().toPoint()))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainTreeView::dropEvent(QDropEvent* event) {
    const std::vector<int> ids = ReadIdsMimeData(event->mimeData());
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    DropIds(ids, IdAtPos(event->position().toPoint()));
}

void CMainTreeView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid() || index.data(kIdRole).toInt() <= 0)
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    emit ContextMenuRequested(event->globalPos(), index.data(kIdRole).toInt());
}

#include "app/FavTreeView.h"

#include "app/Commands.h"
#include "app/TrxImageList.h"
#include "app/TxListModel.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "model/TxDragDrop.h"
#include "platform/TresorixSettings.h"
#include "platform/qt/WaitCursor.h"
#include "ui/TextBytes.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

CFavTreeView::CFavTreeView(CTxDoc& doc, QWidget* parent) : QTreeWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FavTreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    ApplyIconSize();
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CFavTreeView::OnSelected);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this] { emit CommandRequested(cmd::kOpenItem); });
    m_doc.AddView(this);
    Reload();
}

CFavTreeView::~CFavTreeView() {
    m_doc.RemoveView(this);
}

void CFavTreeView::ApplyIconSize() {
    const int size = TresorixSettings().View_FavViewLargeIcons == 1 ? 32 : 16;
    setIconSize(QSize(size, size));
}

void CFavTreeView::OnUpdate(CKivDoc&, IKivView*, int hint, const void*) {
    switch (hint) {
    case CTxDoc::kHintShowFolder:
    case CTxDoc::kHintFavoriteSelected:
    case CTxDoc::kHintSearchResults:
    case CTxDoc::kHintFileAdded:
        return;
    default:
        Reload();
    }
}

void CFavTreeView::Reload() {
    ++m_busy;
    const int selected = m_doc.GetSelectedFavorite();
    clear();
    if (m_doc.IsAuthorised()) {
        CFavManager& favorites = m_doc.GetFavorites();
        favorites.Reset();
        while (favorites.MoveNext()) {
            const int id = favorites.GetCurrent();
            auto* item = new QTreeWidgetItem;
            item->setData(0, kIdRole, id);
            if (TComPtr<ICommonProperties> record = m_doc.GetRecord(id)) {
                item->setText(0, FromBytes(record->GetName()));
                item->setIcon(0, ImageList().Icon(record->GetImage()));
            } else {
                // The record went away behind the list's back; it stays until removed.
                item->setText(0, QStringLiteral("#%1").arg(id));
                item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
            }
            addTopLevelItem(item);
            if (id == selected)
                setCurrentItem(item);
        }
    }
    --m_busy;
}

std::vector<int> CFavTreeView::Ids() const {
    std::vector<int> ids;
    for (int i = 0; i < topLevelItemCount(); ++i)
        ids.push_back(topLevelItem(i)->data(0, kIdRole).toInt());
    return ids;
}

bool CFavTreeView::SelectFavorite(int id) {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->data(0, kIdRole).toInt() == id) {
            setCurrentItem(topLevelItem(i));
            topLevelItem(i)->setSelected(true);
            return true;
        }
    return false;
}

void CFavTreeView::ClearChoice() {
    ++m_busy;
    clearSelection();
    setCurrentItem(nullptr);
    --m_busy;
    m_doc.SetSelectedFavorite(0);
}

void CFavTreeView::OnSelected() {
    if (m_busy || !m_doc.IsAuthorised())
        return;
    const QList<QTreeWidgetItem*> items = selectedItems();
    m_doc.SetSelectedFavorite(items.isEmpty() ? 0 : items.front()->data(0, kIdRole).toInt());
    m_doc.UpdateAllViews(this, CTxDoc::kHintFavoriteSelected);
}

bool CFavTreeView::CanDropIds(const std::vector<int>& ids) const {
    if (ids.empty() || !m_doc.IsAuthorised())
        return false;
    CTxDragDrop drag(m_doc);
    drag.BeginDrag(ids, this);
    return drag.CanDropOnFavorites();
}

bool CFavTreeView::DropIds(const std::vector<int>& ids) {
    if (!CanDropIds(ids))
        return false;
    CWaitCursor wait;
    CTxDragDrop drag(m_doc);
    drag.BeginDrag(ids, this);
    return drag.DropOnFavorites();
}

void CFavTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (CanDropIds(ReadIdsMimeData(event->mimeData())))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CFavTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (CanDropIds(ReadIdsMimeData(event->mimeData())))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CFavTreeView::dropEvent(QDropEvent* event) {
    if (DropIds(ReadIdsMimeData(event->mimeData())))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CFavTreeView::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* item =
        event->reason() == QContextMenuEvent::Mouse ? itemAt(event->pos()) : currentItem();
    if (!item)
        return;
    if (!item->isSelected())
        SelectFavorite(item->data(0, kIdRole).toInt());
    const QPoint pos = event->reason() == QContextMenuEvent::Mouse
                           ? event->globalPos()
                           : viewport()->mapToGlobal(visualItemRect(item).center());
    emit ContextMenuRequested(pos, item->data(0, kIdRole).toInt());
}

#include "app/TxListView.h"

#include "app/TxListModel.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "model/TxDragDrop.h"
#include "platform/ProfileStore.h"
#include "platform/TresorixSettings.h"
#include "platform/qt/WaitCursor.h"
#include "ui/HeaderState.h"

#include <QContextMenuEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QListView>
#include <QMimeData>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
constexpr int kInitialWidths[] = {250, 250, 100, 100};
}

CTxListView::CTxListView(CTxDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_model(new CTxListModel(this)) {
    setObjectName(QStringLiteral("TxListView"));
    m_details = new QTreeView;
    m_details->setRootIsDecorated(false);
    m_details->setItemsExpandable(false);
    m_details->setUniformRowHeights(true);
    m_details->setModel(m_model);
    m_details->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_details->header()->setSectionsMovable(true);
    m_details->header()->setSortIndicatorShown(true);
    m_details->header()->setSectionsClickable(true);
    for (int i = 0; i < CTxListModel::kColumnCount; ++i)
        m_details->header()->resizeSection(i, kInitialWidths[i]);
    m_icons = new QListView;
    m_icons->setModel(m_model);
    m_icons->setSelectionModel(m_details->selectionModel());
    m_icons->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_selection = m_details->selectionModel();
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_details), static_cast<QAbstractItemView*>(m_icons)}) {
        view->setDragEnabled(true);
        view->setAcceptDrops(true);
        view->setDropIndicatorShown(true);
        view->setDragDropMode(QAbstractItemView::DragDrop);
        view->setDefaultDropAction(Qt::MoveAction);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            emit ItemActivated(index.data(CTxListModel::kIdRole).toInt());
        });
    }
    m_stack = new QStackedWidget;
    m_stack->addWidget(m_details);
    m_stack->addWidget(m_icons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);

    connect(m_details->header(), &QHeaderView::sectionClicked, this, &CTxListView::OnHeaderClicked);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
            [this] { emit SelectionChanged(); });
    m_details->header()->setSortIndicator(CTxListModel::kName, Qt::AscendingOrder);
    LoadState();
    m_doc.AddView(this);
}

CTxListView::~CTxListView() {
    m_doc.RemoveView(this);
    SaveState();
}

QAbstractItemView* CTxListView::CurrentView() const {
    return m_style == kDetails ? static_cast<QAbstractItemView*>(m_details) : m_icons;
}

void CTxListView::OnUpdate(CKivDoc&, IKivView*, int hint, const void* argument) {
    if (!m_doc.IsAuthorised() || hint == CTxDoc::kHintLoginChanged ||
        hint == CTxDoc::kHintFavoriteSelected) {
        m_model->Clear();
        NotifyRefilled(hint == CTxDoc::kHintFavoriteSelected ? hint : CTxDoc::kHintShowFolder);
        return;
    }
    if (hint == CTxDoc::kHintSearchResults) {
        m_model->FillIds(m_doc, m_doc.GetSearchResults());
        NotifyRefilled(hint);
        return;
    }
    if (hint == CTxDoc::kHintNodeDeleted) {
        if (argument)
            m_model->RemoveId(static_cast<const CKivDoc::HINTDATA*>(argument)->id);
        NotifyRefilled(CTxDoc::kHintShowFolder);
        return;
    }
    // Under the search's header a folder's items would pass for results.
    if (m_searchShown && m_searchShown()) {
        m_model->FillIds(m_doc, m_doc.GetSearchResults());
        NotifyRefilled(CTxDoc::kHintSearchResults);
        return;
    }
    RefillFolder();
}

void CTxListView::RefillFolder() {
    if (!m_doc.IsAuthorised())
        m_model->Clear();
    else
        m_model->FillFolder(m_doc, m_doc.GetCurrentFolder(),
                            TresorixSettings().View_ShowFoldersInListView != 0);
    NotifyRefilled(CTxDoc::kHintShowFolder);
}

void CTxListView::NotifyRefilled(int hint) {
    if (m_onRefilled)
        m_onRefilled(hint);
}

void CTxListView::OnHeaderClicked(int column) {
    Qt::SortOrder order = Qt::AscendingOrder;
    if (column == m_model->SortColumn())
        order =
            m_model->SortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_model->sort(column, order);
    m_details->header()->setSortIndicator(column, order);
}

void CTxListView::SetViewStyle(int style) {
    if (style < kLargeIcons || style > kList)
        style = kDetails;
    m_style = style;
    switch (style) {
    case kLargeIcons:
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        break;
    case kSmallIcons:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        break;
    case kList:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setFlow(QListView::TopToBottom);
        m_icons->setWrapping(true);
        break;
    default:
        break;
    }
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setMovement(QListView::Static);
    m_icons->setDragDropMode(QAbstractItemView::DragDrop);
    m_stack->setCurrentWidget(style == kDetails ? static_cast<QWidget*>(m_details) : m_icons);
}

void CTxListView::SetGridLines(bool on) {
    m_gridLines = on;
    m_details->setAlternatingRowColors(on);
    m_details->setStyleSheet(
        on ? QStringLiteral("QTreeView::item { border-bottom: 1px solid palette(mid); "
                            "border-right: 1px solid palette(mid); }")
           : QString());
}

void CTxListView::SetFullRowSelect(bool on) {
    m_fullRowSelect = on;
    m_details->setSelectionBehavior(on ? QAbstractItemView::SelectRows
                                       : QAbstractItemView::SelectItems);
    m_details->setAllColumnsShowFocus(on);
}

std::vector<int> CTxListView::SelectedIds() const {
    std::vector<int> ids;
    QModelIndexList rows = m_selection->selectedIndexes();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& index : rows) {
        const int id = m_model->Row(index.row()).id;
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    return ids;
}

void CTxListView::SelectAll() {
    CurrentView()->selectAll();
}

void CTxListView::SelectId(int id) {
    const int row = m_model->RowOf(id);
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, 0);
    m_selection->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

bool CTxListView::CanDropIds(const std::vector<int>& ids, int itemUnderCursor) const {
    if (ids.empty() || !m_doc.IsAuthorised())
        return false;
    CTxDragDrop drag(m_doc);
    drag.BeginDrag(ids, this);
    return drag.CanDrop(drag.ListTarget(itemUnderCursor));
}

bool CTxListView::DropIds(const std::vector<int>& ids, int itemUnderCursor) {
    if (!CanDropIds(ids, itemUnderCursor))
        return false;
    CWaitCursor wait;
    CTxDragDrop drag(m_doc);
    drag.BeginDrag(ids, this);
    return drag.Drop(drag.ListTarget(itemUnderCursor));
}

int CTxListView::IdAt(QAbstractItemView* view, const QPoint& pos) const {
    const QModelIndex index = view->indexAt(pos);
    return index.isValid() ? m_model->Row(index.row()).id : 0;
}

bool CTxListView::eventFilter(QObject* watched, QEvent* event) {
    QAbstractItemView* view =
        watched == m_details->viewport() ? static_cast<QAbstractItemView*>(m_details)
        : watched == m_icons->viewport() ? static_cast<QAbstractItemView*>(m_icons)
                                         : nullptr;
    if (!view)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        const std::vector<int> ids = ReadIdsMimeData(e->mimeData());
        if (CanDropIds(ids, IdAt(view, e->position().toPoint()))) {
            e->setDropAction(Qt::MoveAction);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const std::vector<int> ids = ReadIdsMimeData(e->mimeData());
        // The model is refilled by the move's hints; the view must not remove rows itself.
        e->setDropAction(Qt::IgnoreAction);
        e->accept();
        DropIds(ids, IdAt(view, e->position().toPoint()));
        return true;
    }
    case QEvent::ContextMenu: {
        auto* e = static_cast<QContextMenuEvent*>(event);
        const QModelIndex index = view->indexAt(e->pos());
        if (index.isValid() && !m_selection->isSelected(index))
            SelectId(m_model->Row(index.row()).id);
        if (!index.isValid())
            m_selection->clearSelection();
        emit ContextMenuRequested(e->globalPos(), index.isValid());
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void CTxListView::LoadState() {
    IProfileStore& store = ProfileStore();
    SetGridLines(store.GetProfileInt(kSection, "GridLines", 0) != 0);
    SetFullRowSelect(store.GetProfileInt(kSection, "FullRowSelect", 0) != 0);
    SetViewStyle(store.GetProfileInt(kSection, "ViewStyle", kDetails));
    CHeaderState state;
    if (state.Parse(store.GetProfileString(kSection, "Columns", ""), CTxListModel::kColumnCount)) {
        state.Apply(*m_details->header());
        const Qt::SortOrder order = state.sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder;
        m_model->sort(state.sortColumn, order);
        m_details->header()->setSortIndicator(state.sortColumn, order);
    }
}

void CTxListView::SaveState() const {
    IProfileStore& store = ProfileStore();
    store.WriteProfileInt(kSection, "GridLines", m_gridLines ? 1 : 0);
    store.WriteProfileInt(kSection, "FullRowSelect", m_fullRowSelect ? 1 : 0);
    store.WriteProfileInt(kSection, "ViewStyle", m_style);
    store.WriteProfileString(
        kSection, "Columns",
        CHeaderState::Capture(*m_details->header(), m_model->SortColumn(), m_model->SortOrder())
            .Format());
}

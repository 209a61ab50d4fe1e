#include "app/TxListModel.h"

#include "app/AppStrings.h"
#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/FileTime.h"
#include "ui/TextBytes.h"

#include <QMimeData>

#include <algorithm>

CTxListModel::CTxListModel(QObject* parent) : QAbstractTableModel(parent) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
}

QString CTxListModel::FlatComments(const QString& comments) {
    QString flat = comments;
    for (QChar& c : flat)
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    return flat;
}

bool CTxListModel::ReadRow(CTxDoc& doc, int id, bool withFolders, ROW& row) const {
    TComPtr<ICommonProperties> record = doc.GetRecord(id);
    if (!record)
        return false;
    row.isFolder = record->IsFolder();
    if (row.isFolder && !withFolders)
        return false;
    row.id = id;
    row.name = FromBytes(record->GetName());
    row.comments = FlatComments(FromBytes(record->GetComments()));
    row.image = record->GetImage();
    record->GetClassID(row.clsid);
    FILETIME64 time = 0;
    row.modified = record->GetModified(time) ? time : 0;
    time = 0;
    row.created = record->GetCreated(time) ? time : 0;
    return true;
}

const CTxListModel::ROW& CTxListModel::Formatted(const ROW& row) {
    if (!row.timesFormatted) {
        row.modifiedText =
            row.modified ? QString::fromStdString(FileTimeToLocalText(row.modified)) : QString();
        row.createdText =
            row.created ? QString::fromStdString(FileTimeToLocalText(row.created)) : QString();
        row.timesFormatted = true;
    }
    return row;
}

void CTxListModel::Clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void CTxListModel::FillFolder(CTxDoc& doc, int folder, bool withFolders) {
    beginResetModel();
    m_rows.clear();
    TComPtr<ITreeItem> node = folder > 0 ? doc.GetNode(folder) : TComPtr<ITreeItem>();
    TComPtr<ITreeIterator> it =
        node ? node->GetIterator(ITreeItem::kChildren) : TComPtr<ITreeIterator>();
    if (it) {
        for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next()) {
            ROW row;
            if (ReadRow(doc, child->GetID(), withFolders, row))
                m_rows.push_back(std::move(row));
        }
    }
    SortRows();
    endResetModel();
}

void CTxListModel::FillIds(CTxDoc& doc, const std::vector<int>& ids) {
    beginResetModel();
    m_rows.clear();
    for (int id : ids) {
        ROW row;
        if (ReadRow(doc, id, true, row))
            m_rows.push_back(std::move(row));
    }
    SortRows();
    endResetModel();
}

void CTxListModel::RemoveId(int id) {
    const int row = RowOf(id);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

int CTxListModel::RowOf(int id) const {
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == id)
            return static_cast<int>(i);
    return -1;
}

bool CTxListModel::Less(const ROW& a, const ROW& b) const {
    int c = 0;
    switch (m_sortColumn) {
    case kComments:
        c = m_collator.compare(a.comments, b.comments);
        break;
    case kModified:
        c = a.modified < b.modified ? -1 : a.modified > b.modified ? 1 : 0;
        break;
    case kCreated:
        c = a.created < b.created ? -1 : a.created > b.created ? 1 : 0;
        break;
    default:
        break;
    }
    // Name is the sort key of its column and the tie-break of the others.
    if (c == 0)
        c = m_collator.compare(a.name, b.name);
    return m_sortOrder == Qt::AscendingOrder ? c < 0 : c > 0;
}

void CTxListModel::SortRows() {
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [this](const ROW& a, const ROW& b) { return Less(a, b); });
}

void CTxListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount)
        column = kName;
    emit layoutAboutToBeChanged();
    m_sortColumn = column;
    m_sortOrder = order;
    SortRows();
    emit layoutChanged();
}

int CTxListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CTxListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CTxListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size()))
        return {};
    const ROW& row = m_rows[static_cast<std::size_t>(index.row())];
    if (role == kIdRole)
        return row.id;
    if (role == Qt::DecorationRole && index.column() == kName)
        return ImageList().Icon(row.image);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case kName:
        return row.name;
    case kComments:
        return row.comments;
    case kModified:
        return Formatted(row).modifiedText;
    case kCreated:
        return Formatted(row).createdText;
    default:
        return {};
    }
}

QVariant CTxListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const unsigned kHeaders[] = {ids::kColumnName, ids::kColumnComments,
                                        ids::kColumnModified, ids::kColumnCreated};
    return section >= 0 && section < kColumnCount ? Tr(kHeaders[section]) : QVariant();
}

Qt::ItemFlags CTxListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid())
        f |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    else
        f |= Qt::ItemIsDropEnabled;
    return f;
}

QStringList CTxListModel::mimeTypes() const {
    return {QString::fromLatin1(kIdsMimeType)};
}

QMimeData* CTxListModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<int> ids;
    for (const QModelIndex& index : indexes) {
        if (index.column() != kName)
            continue;
        const int id = index.data(kIdRole).toInt();
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    return MakeIdsMimeData(ids);
}

QMimeData* MakeIdsMimeData(const std::vector<int>& ids) {
    QStringList parts;
    for (int id : ids)
        parts << QString::number(id);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kIdsMimeType), parts.join(u' ').toLatin1());
    return data;
}

std::vector<int> ReadIdsMimeData(const QMimeData* data) {
    std::vector<int> ids;
    if (!data || !data->hasFormat(QString::fromLatin1(kIdsMimeType)))
        return ids;
    const QStringList parts = QString::fromLatin1(data->data(QString::fromLatin1(kIdsMimeType)))
                                  .split(u' ', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const int id = part.toInt(&ok);
        if (ok && id > 0)
            ids.push_back(id);
    }
    return ids;
}

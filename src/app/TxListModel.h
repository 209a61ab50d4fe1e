#pragma once

#include "model/Guid.h"

#include <QAbstractTableModel>
#include <QCollator>

#include <cstdint>
#include <vector>

class CTxDoc;

// The rows of the item list: one per record of the current folder (or of the search
// results), with the texts of the four columns read once when the list is filled.
class CTxListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum COLUMN { kName, kComments, kModified, kCreated, kColumnCount };
    // Role of the row's node identifier.
    static constexpr int kIdRole = Qt::UserRole + 1;

    struct ROW {
        int id = 0;
        QString name;
        QString comments;
        // The shown times, formatted when first asked for: most rows of a long folder are
        // never on screen.
        mutable QString modifiedText;
        mutable QString createdText;
        mutable bool timesFormatted = false;
        std::uint64_t modified = 0;
        std::uint64_t created = 0;
        int image = 0;
        bool isFolder = false;
        CLSID clsid{};
    };

    explicit CTxListModel(QObject* parent = nullptr);

    // Empties the list.
    void Clear();
    // The children of folder in storage order, folders only when withFolders is set; then
    // sorted by the current sort column.
    void FillFolder(CTxDoc& doc, int folder, bool withFolders);
    // The given nodes (search results), then sorted.
    void FillIds(CTxDoc& doc, const std::vector<int>& ids);
    // Removes the row of id, if any.
    void RemoveId(int id);

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

    const ROW& Row(int row) const { return m_rows.at(static_cast<std::size_t>(row)); }
    int RowOf(int id) const;
    // Whether a comes before b under the current sort.
    bool Less(const ROW& a, const ROW& b) const;

    // Comments as the list shows them: line feeds, carriage returns and tabs as blanks.
    static QString FlatComments(const QString& comments);

private:
    bool ReadRow(CTxDoc& doc, int id, bool withFolders, ROW& row) const;
    static const ROW& Formatted(const ROW& row);
    void SortRows();

    std::vector<ROW> m_rows;
    int m_sortColumn = kName;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // Made once: creating collators per comparison costs more than the comparison.
    QCollator m_collator;
};

// The drag format of node identifiers between the views.
inline constexpr const char* kIdsMimeType = "application/x-tresorix-ids";
QMimeData* MakeIdsMimeData(const std::vector<int>& ids);
std::vector<int> ReadIdsMimeData(const QMimeData* data);

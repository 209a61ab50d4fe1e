#pragma once

#include "model/KivCustomFields.h"

#include <QTreeWidget>

#include <string>
#include <vector>

class QMenu;

// The two-column list of a record's custom fields (name, value; masked values hidden) with
// the commands to add, change, remove, reorder and copy them. The display may be sorted by
// CustomFields_SortColumn / CustomFields_SortOrder; that never changes the stored order.
class CCustomFieldsList : public QTreeWidget {
    Q_OBJECT

public:
    // Commands of the list's menu.
    enum COMMAND {
        kAdd = 32812,
        kRemove = 32813,
        kMoveUp = 32814,
        kMoveDown = 32815,
        kCopyName = 32838,
        kCopyValue = 32839,
        kCopyBoth = 32840,
        kProperties = 32841,
        kSortByName = 32842,
        kSortByValue = 32843,
        kDefaultOrder = 32844,
    };
    static constexpr const char* kMask = "************";

    explicit CCustomFieldsList(QWidget* parent = nullptr);

    // Shows a copy of fields; the list then edits its own copy.
    void SetFields(const CKivCustomFields& fields);
    const CKivCustomFields& Fields() const { return m_fields; }

    // The identifier of the current row's field, 0 when none; selects by identifier.
    int CurrentId() const;
    void SelectId(int id);
    // The field identifiers in display order.
    std::vector<int> DisplayOrder() const;

    // The commands; each works on the current field where it needs one. The edits report
    // whether the list changed.
    bool AddField();
    bool EditField();
    bool RemoveField();
    bool MoveUp();
    bool MoveDown();
    bool CopyName();
    bool CopyValue();
    bool CopyBoth();
    // Sorting by column 0 (name) or 1 (value): a new column sorts ascending, the same one
    // again reverses; DefaultOrder shows the stored order. All are stored in the settings.
    void SortBy(int column);
    void DefaultOrder();
    void OnCommand(int command);
    QMenu* BuildMenu();

    // What a row shows as its value, and its tool tip.
    static QString DisplayValue(const CKivCustomFields::CUSTOMFIELD& field);
    static QString ToolTip(const CKivCustomFields::CUSTOMFIELD& field);

    // Rebuilds the rows from the fields and the sort settings, keeping the current field.
    void Refill();

signals:
    void FieldsChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const CKivCustomFields::CUSTOMFIELD* Current() const;
    // Masked values go as secrets, so clipboard managers do not keep them.
    bool Copy(const std::string& text, bool secret = false);
    void Changed(int select);

    CKivCustomFields m_fields;
};

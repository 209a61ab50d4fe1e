#include "app/CustomFieldsList.h"

#include "app/CustomFieldDlg.h"
#include "app/EditorStrings.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/SecretClipboard.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "security/SecureZero.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

namespace {

constexpr unsigned kIdSureToDelete = 63000;
constexpr unsigned kIdCannotCopy = 61272;
constexpr int kIdRole = Qt::UserRole;

} // namespace

CCustomFieldsList::CCustomFieldsList(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(2);
    QString name = EdText(63032), value = EdText(63003);
    setHeaderLabels(
        {name.remove(QLatin1Char(':')), value.remove(QLatin1Char('&')).remove(QLatin1Char(':'))});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(true);
    header()->resizeSection(0, 160);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) { SortBy(column); });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { EditField(); });
}

void CCustomFieldsList::SetFields(const CKivCustomFields& fields) {
    m_fields.Assign(fields);
    Refill();
}

QString CCustomFieldsList::DisplayValue(const CKivCustomFields::CUSTOMFIELD& field) {
    return field.masked ? QString::fromLatin1(kMask) : FromBytes(field.value);
}

QString CCustomFieldsList::ToolTip(const CKivCustomFields::CUSTOMFIELD& field) {
    return FromBytes(field.name) + QStringLiteral(":\r\n ") + DisplayValue(field);
}

std::vector<int> CCustomFieldsList::DisplayOrder() const {
    std::vector<int> ids;
    for (int r = 0; r < topLevelItemCount(); ++r)
        ids.push_back(topLevelItem(r)->data(0, kIdRole).toInt());
    return ids;
}

void CCustomFieldsList::Refill() {
    const int current = CurrentId();
    std::vector<const CKivCustomFields::CUSTOMFIELD*> rows;
    for (int i = 0; i < m_fields.GetCount(); ++i)
        rows.push_back(&m_fields.GetAt(i));
    const CTresorixSettings& settings = TresorixSettings();
    const int column = settings.CustomFields_SortColumn;
    const int order = settings.CustomFields_SortOrder;
    if ((column == 0 || column == 1) && order != 1) {
        // Byte-wise comparison: case-sensitive, and masked values by their real value.
        auto key = [column](const CKivCustomFields::CUSTOMFIELD* f) -> const std::string& {
            return column == 0 ? f->name : f->value;
        };
        std::stable_sort(rows.begin(), rows.end(), [&](const auto* a, const auto* b) {
            return order == 2 ? key(a) < key(b) : key(b) < key(a);
        });
    }
    clear();
    for (const auto* f : rows) {
        auto* item = new QTreeWidgetItem(this, {FromBytes(f->name), DisplayValue(*f)});
        item->setData(0, kIdRole, f->id);
        item->setToolTip(0, ToolTip(*f));
        item->setToolTip(1, ToolTip(*f));
    }
    header()->setSortIndicatorShown((column == 0 || column == 1) && order != 1);
    if (column == 0 || column == 1)
        header()->setSortIndicator(column, order == 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
    SelectId(current);
}

int CCustomFieldsList::CurrentId() const {
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, kIdRole).toInt() : 0;
}

void CCustomFieldsList::SelectId(int id) {
    for (int r = 0; r < topLevelItemCount(); ++r)
        if (topLevelItem(r)->data(0, kIdRole).toInt() == id) {
            setCurrentItem(topLevelItem(r));
            return;
        }
}

const CKivCustomFields::CUSTOMFIELD* CCustomFieldsList::Current() const {
    const int id = CurrentId();
    return id ? m_fields.Find(id) : nullptr;
}

void CCustomFieldsList::Changed(int select) {
    Refill();
    SelectId(select);
    emit FieldsChanged();
}

bool CCustomFieldsList::AddField() {
    CCustomFieldDlg dialog(this);
    if (RunModal(dialog) != QDialog::Accepted)
        return false;
    Changed(m_fields.AddNew(dialog.Name(), dialog.Value(), dialog.Masked() ? 1 : 0));
    return true;
}

bool CCustomFieldsList::EditField() {
    const int id = CurrentId();
    CKivCustomFields::CUSTOMFIELD* field = id ? m_fields.Find(id) : nullptr;
    if (!field)
        return false;
    CCustomFieldDlg dialog(this);
    dialog.SetField(field->name, field->value, field->masked != 0);
    if (RunModal(dialog) != QDialog::Accepted)
        return false;
    field->name = dialog.Name();
    field->value = dialog.Value();
    field->masked = dialog.Masked() ? 1 : 0;
    Changed(id);
    return true;
}

bool CCustomFieldsList::RemoveField() {
    const CKivCustomFields::CUSTOMFIELD* field = Current();
    if (!field)
        return false;
    const std::string question = FormatString(EdString(kIdSureToDelete), field->name);
    if (KivMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    // The row after the removed one takes the selection.
    const std::vector<int> order = DisplayOrder();
    auto at = std::find(order.begin(), order.end(), field->id);
    int next = 0;
    if (at != order.end())
        next = at + 1 != order.end() ? *(at + 1) : (at != order.begin() ? *(at - 1) : 0);
    m_fields.Remove(field->id);
    Changed(next);
    return true;
}

bool CCustomFieldsList::MoveUp() {
    const int id = CurrentId();
    if (!id || m_fields.GetCount() < 2 || m_fields.GetAt(0).id == id)
        return false;
    m_fields.MoveUp(id);
    Changed(id);
    return true;
}

bool CCustomFieldsList::MoveDown() {
    const int id = CurrentId();
    if (!id || m_fields.GetCount() < 2 || m_fields.GetAt(m_fields.GetCount() - 1).id == id)
        return false;
    m_fields.MoveDown(id);
    Changed(id);
    return true;
}

bool CCustomFieldsList::Copy(const std::string& text, bool secret) {
    if (secret ? CopySecretTextToClipboard(text) : CopyTextToClipboard(text))
        return true;
    KivMessageBox(EdString(kIdCannotCopy), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CCustomFieldsList::CopyName() {
    const auto* field = Current();
    return field && Copy(field->name);
}

bool CCustomFieldsList::CopyValue() {
    const auto* field = Current();
    return field && Copy(field->value, field->masked != 0);
}

bool CCustomFieldsList::CopyBoth() {
    const auto* field = Current();
    if (!field)
        return false;
    std::string both = field->name + ": " + field->value;
    const bool copied = Copy(both, field->masked != 0);
    SecureZero(both);
    return copied;
}

void CCustomFieldsList::SortBy(int column) {
    if (column != 0 && column != 1)
        return;
    CTresorixSettings& settings = TresorixSettings();
    if (settings.CustomFields_SortColumn == column && settings.CustomFields_SortOrder == 2)
        settings.CustomFields_SortOrder = 0;
    else
        settings.CustomFields_SortOrder = 2;
    settings.CustomFields_SortColumn = column;
    Refill();
}

void CCustomFieldsList::DefaultOrder() {
    CTresorixSettings& settings = TresorixSettings();
    settings.CustomFields_SortColumn = -1;
    settings.CustomFields_SortOrder = 1;
    Refill();
}

void CCustomFieldsList::OnCommand(int command) {
    switch (command) {
    case kAdd:
        AddField();
        break;
    case kRemove:
        RemoveField();
        break;
    case kMoveUp:
        MoveUp();
        break;
    case kMoveDown:
        MoveDown();
        break;
    case kCopyName:
        CopyName();
        break;
    case kCopyValue:
        CopyValue();
        break;
    case kCopyBoth:
        CopyBoth();
        break;
    case kProperties:
        EditField();
        break;
    case kSortByName:
        SortBy(0);
        break;
    case kSortByValue:
        SortBy(1);
        break;
    case kDefaultOrder:
        DefaultOrder();
        break;
    default:
        break;
    }
}

QMenu* CCustomFieldsList::BuildMenu() {
    auto* menu = new QMenu(this);
    const bool onField = Current() != nullptr;
    auto add = [&](int command, bool enabled) {
        QAction* action = menu->addAction(EdShortText(static_cast<unsigned>(command)));
        action->setStatusTip(EdLongText(static_cast<unsigned>(command)));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    };
    add(kAdd, true);
    add(kProperties, onField);
    add(kRemove, onField);
    menu->addSeparator();
    add(kMoveUp, onField);
    add(kMoveDown, onField);
    menu->addSeparator();
    add(kCopyName, onField);
    add(kCopyValue, onField);
    add(kCopyBoth, onField);
    menu->addSeparator();
    add(kSortByName, true);
    add(kSortByValue, true);
    add(kDefaultOrder, true);
    return menu;
}

void CCustomFieldsList::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = BuildMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CCustomFieldsList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        RemoveField();
        return;
    }
    if (event->key() == Qt::Key_Insert) {
        AddField();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

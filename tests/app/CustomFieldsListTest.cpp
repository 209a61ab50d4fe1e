#include "EditorTestSupport.h"

#include "app/CustomFieldDlg.h"
#include "app/CustomFieldsList.h"
#include "app/EditPanel.h"
#include "app/EditorFrames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

using apptest::CModalScript;
using edtest::CEditorVault;

namespace {

constexpr unsigned kIdCannotCopy = 61272;

// A dialog step that fills in a field and confirms.
CModalScript::STEP Fill(QString name, QString value, bool masked) {
    return [=](QDialog& d) {
        auto& dialog = dynamic_cast<CCustomFieldDlg&>(d);
        dialog.NameBox()->setEditText(name);
        dialog.ValueBox()->setText(value);
        dialog.MaskBox()->setChecked(masked);
        dialog.accept();
        return dialog.result();
    };
}

QStringList Column(const CCustomFieldsList& list, int column) {
    QStringList texts;
    for (int r = 0; r < list.topLevelItemCount(); ++r)
        texts << list.topLevelItem(r)->text(column);
    return texts;
}

std::vector<std::string> StoredNames(const CKivCustomFields& fields) {
    std::vector<std::string> names;
    for (int i = 0; i < fields.GetCount(); ++i)
        names.push_back(fields.GetAt(i).name);
    return names;
}

CKivCustomFields Sample() {
    CKivCustomFields fields;
    fields.AddNew("b", "2", 0);
    fields.AddNew("A", "3", 0);
    fields.AddNew("a", "1", 1);
    return fields;
}

struct CSettingsGuard {
    CSettingsGuard() {
        TresorixSettings().CustomFields_SortColumn = -1;
        TresorixSettings().CustomFields_SortOrder = 0;
    }
    ~CSettingsGuard() {
        TresorixSettings().CustomFields_SortColumn = -1;
        TresorixSettings().CustomFields_SortOrder = 0;
    }
};

} // namespace

class CustomFieldsListTest : public QObject {
    Q_OBJECT

private slots:
    void DialogOffersTheCaptionsAndMasksTheValue();
    void AddEditAndRemoveWithTheQuestion();
    void SortingLeavesTheStoredOrder();
    void MovingChangesTheStoredOrder();
    void CopyCommandsUseTheRealValue();
    void EditorStoresTheFieldsText();
};

void CustomFieldsListTest::DialogOffersTheCaptionsAndMasksTheValue() {
    CCustomFieldDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Custom Field..."));
    QCOMPARE(dialog.NameBox()->count(), 43);
    QCOMPARE(dialog.NameBox()->itemText(0), QStringLiteral("First Name"));
    QCOMPARE(dialog.NameBox()->itemText(27), QStringLiteral("Bank Information"));
    QCOMPARE(dialog.NameBox()->itemText(40), QStringLiteral("Proxy Server Login"));
    QCOMPARE(dialog.NameBox()->itemText(42), QStringLiteral("Proxy Server Login"));
    QCOMPARE(dialog.MaskBox()->text(), QStringLiteral("Mask the value"));
    QCOMPARE(dialog.ValueBox()->echoMode(), QLineEdit::Normal);
    dialog.MaskBox()->setChecked(true);
    QCOMPARE(dialog.ValueBox()->echoMode(), QLineEdit::Password);
    dialog.MaskBox()->setChecked(false);
    QCOMPARE(dialog.ValueBox()->echoMode(), QLineEdit::Normal);
    // Any typed name is taken; a tab or line feed cannot split the stored line.
    dialog.NameBox()->setEditText(QStringLiteral("My\tName"));
    dialog.ValueBox()->setText(QStringLiteral("v\t1"));
    QCOMPARE(dialog.Name(), std::string("My Name"));
    QCOMPARE(dialog.Value(), std::string("v\t1"));
    dialog.SetField("n", "line1\nline2", true);
    QCOMPARE(dialog.Value(), std::string("line1 line2"));
    QVERIFY(dialog.Masked());
    QCOMPARE(dialog.ValueBox()->echoMode(), QLineEdit::Password);
}

void CustomFieldsListTest::AddEditAndRemoveWithTheQuestion() {
    CSettingsGuard guard;
    CScopedMessageRecorder messages;
    CCustomFieldsList list;
    int changes = 0;
    connect(&list, &CCustomFieldsList::FieldsChanged, [&] { ++changes; });
    CModalScript script;
    script.Add(Fill(QStringLiteral("PIN"), QStringLiteral("1234"), true));
    script.Add(Fill(QStringLiteral("Web"), QStringLiteral("example.org"), false));
    QVERIFY(list.AddField());
    QVERIFY(list.AddField());
    QCOMPARE(changes, 2);
    QCOMPARE(Column(list, 0), QStringList({QStringLiteral("PIN"), QStringLiteral("Web")}));
    QCOMPARE(Column(list, 1),
             QStringList({QStringLiteral("************"), QStringLiteral("example.org")}));
    QCOMPARE(list.topLevelItem(0)->toolTip(0), QStringLiteral("PIN:\r\n ************"));
    QCOMPARE(list.topLevelItem(1)->toolTip(1), QStringLiteral("Web:\r\n example.org"));
    QCOMPARE(list.Fields().GetAt(0).value, std::string("1234"));

    // Cancel adds nothing.
    script.Add([](QDialog&) { return int(QDialog::Rejected); });
    QVERIFY(!list.AddField());
    QCOMPARE(list.Fields().GetCount(), 2);

    // Editing opens on the field and unmasking shows the value.
    list.SelectId(list.Fields().GetAt(0).id);
    script.Add([](QDialog& d) {
        auto& dialog = dynamic_cast<CCustomFieldDlg&>(d);
        if (dialog.NameBox()->currentText() != QStringLiteral("PIN") || !dialog.Masked() ||
            dialog.ValueBox()->text() != QStringLiteral("1234"))
            return int(QDialog::Rejected);
        dialog.MaskBox()->setChecked(false);
        dialog.ValueBox()->setText(QStringLiteral("9876"));
        dialog.accept();
        return dialog.result();
    });
    QVERIFY(list.EditField());
    QCOMPARE(Column(list, 1).front(), QStringLiteral("9876"));
    QCOMPARE(list.Fields().GetAt(0).masked, 0);
    QCOMPARE(changes, 3);

    // Removing asks with the field's name; No keeps it.
    messages.Script({IDNO, IDYES});
    QVERIFY(!list.RemoveField());
    QCOMPARE(list.Fields().GetCount(), 2);
    QCOMPARE(messages.Messages().back().text,
             std::string("Are you sure want to delete field PIN?"));
    QVERIFY(list.RemoveField());
    QCOMPARE(list.Fields().GetCount(), 1);
    QCOMPARE(Column(list, 0), QStringList({QStringLiteral("Web")}));
    QCOMPARE(list.CurrentId(), list.Fields().GetAt(0).id);
    QCOMPARE(changes, 4);
    QCOMPARE(script.Unexpected(), 0);
}

void CustomFieldsListTest::SortingLeavesTheStoredOrder() {
    CSettingsGuard guard;
    CTresorixSettings& settings = TresorixSettings();
    CCustomFieldsList list;
    list.SetFields(Sample());
    QCOMPARE(Column(list, 0), QStringList({"b", "A", "a"}));

    // Case-sensitive, ascending first, the same column again reverses.
    list.SortBy(0);
    QCOMPARE(settings.CustomFields_SortColumn, 0);
    QCOMPARE(settings.CustomFields_SortOrder, 2);
    QCOMPARE(Column(list, 0), QStringList({"A", "a", "b"}));
    list.SortBy(0);
    QCOMPARE(settings.CustomFields_SortOrder, 0);
    QCOMPARE(Column(list, 0), QStringList({"b", "a", "A"}));
    // Masked values sort by their real value.
    list.SortBy(1);
    QCOMPARE(settings.CustomFields_SortColumn, 1);
    QCOMPARE(Column(list, 0), QStringList({"a", "b", "A"}));
    QCOMPARE(Column(list, 1), QStringList({"************", "2", "3"}));
    QCOMPARE(StoredNames(list.Fields()), std::vector<std::string>({"b", "A", "a"}));
    // A list opened later follows the stored settings.
    CCustomFieldsList other;
    other.SetFields(Sample());
    QCOMPARE(Column(other, 0), QStringList({"a", "b", "A"}));
    list.DefaultOrder();
    QCOMPARE(settings.CustomFields_SortOrder, 1);
    QCOMPARE(Column(list, 0), QStringList({"b", "A", "a"}));
    // Order 1 shows the stored order whatever the column.
    settings.CustomFields_SortColumn = 0;
    list.Refill();
    QCOMPARE(Column(list, 0), QStringList({"b", "A", "a"}));
    // The sort commands are in the menu as well.
    std::unique_ptr<QMenu> menu(list.BuildMenu());
    QVERIFY(menu->actions().size() >= 11);
}

void CustomFieldsListTest::MovingChangesTheStoredOrder() {
    CSettingsGuard guard;
    CCustomFieldsList list;
    list.SetFields(Sample());
    const int a = list.Fields().GetAt(2).id;
    list.SelectId(a);
    QVERIFY(list.MoveUp());
    QCOMPARE(StoredNames(list.Fields()), std::vector<std::string>({"b", "a", "A"}));
    QVERIFY(list.MoveUp());
    QVERIFY(!list.MoveUp());
    QCOMPARE(StoredNames(list.Fields()), std::vector<std::string>({"a", "b", "A"}));
    QCOMPARE(list.CurrentId(), a);
    QCOMPARE(Column(list, 0), QStringList({"a", "b", "A"}));
    list.SelectId(list.Fields().GetAt(2).id);
    QVERIFY(!list.MoveDown());
    list.SelectId(a);
    QVERIFY(list.MoveDown());
    QCOMPARE(StoredNames(list.Fields()), std::vector<std::string>({"b", "a", "A"}));
    // Without a current field nothing moves.
    list.setCurrentItem(nullptr);
    QVERIFY(!list.MoveUp());
}

void CustomFieldsListTest::CopyCommandsUseTheRealValue() {
    CSettingsGuard guard;
    CScopedMessageRecorder messages;
    CScopedMemoryClipboard clipboard;
    CCustomFieldsList list;
    CKivCustomFields fields;
    const int secret = fields.AddNew("Secret Word", "swordfish", 1);
    list.SetFields(fields);
    list.SelectId(list.Fields().GetAt(0).id);
    QVERIFY(secret > 0);
    QVERIFY(list.CopyName());
    QCOMPARE(clipboard.Text(), std::string("Secret Word"));
    QVERIFY(list.CopyValue());
    QCOMPARE(clipboard.Text(), std::string("swordfish"));
    list.OnCommand(CCustomFieldsList::kCopyBoth);
    QCOMPARE(clipboard.Text(), std::string("Secret Word: swordfish"));
    QCOMPARE(messages.Messages().size(), std::size_t(0));
    clipboard.SetFails(true);
    QVERIFY(!list.CopyValue());
    QCOMPARE(messages.Messages().size(), std::size_t(1));
    QCOMPARE(messages.Messages()[0].text, std::string("Error: Cannot copy data to clipboard"));
    // Nothing selected: nothing copied, nothing shown.
    list.setCurrentItem(nullptr);
    QVERIFY(!list.CopyName());
    QCOMPARE(messages.Messages().size(), std::size_t(1));
}

void CustomFieldsListTest::EditorStoresTheFieldsText() {
    CSettingsGuard guard;
    CEditorVault v;
    QVERIFY(v.Open());
    CKivCustomFields before;
    v.doc.GetRecord(11)->GetCustomFields(before);
    QCOMPARE(before.GetCount(), 2);
    v.editors->OpenItem(11);
    CEditorFrame* editor = v.editors->Find(11);
    QVERIFY(editor);
    CCustomFieldsList* list = editor->Panel()->CustomFields();
    QCOMPARE(list->Fields().ToText(), before.ToText());
    // A sorted view, a new masked field moved to the front, then a save.
    list->SortBy(0);
    CModalScript script;
    script.Add(Fill(QStringLiteral("Recovery"), QStringLiteral("r-123"), true));
    QVERIFY(list->AddField());
    QVERIFY(editor->Panel()->IsCustomFieldsModified());
    QVERIFY(!editor->Panel()->IsFieldsModified());
    list->MoveUp();
    list->MoveUp();
    QVERIFY(!editor->QueryClose());
    QVERIFY(editor->Save());
    QVERIFY(editor->QueryClose());
    CKivCustomFields stored;
    v.Stored(11)->GetCustomFields(stored);
    const std::string expected = "0001\tRecovery\tr-123\n" + before.ToText();
    QCOMPARE(stored.ToText(), expected);
    QCOMPARE(stored.GetCount(), 3);
}

TX_APP_TEST_MAIN(CustomFieldsListTest)
#include "CustomFieldsListTest.moc"

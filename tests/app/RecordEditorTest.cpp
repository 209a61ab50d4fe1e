#include "EditorTestSupport.h"

#include "app/ChangeIconDlg.h"
#include "app/CreditCardEditPanel.h"
#include "app/CustomFieldsList.h"
#include "app/EditorFrames.h"
#include "app/HyperlinkBox.h"
#include "app/LinkEditorDlg.h"
#include "app/Messages.h"
#include "app/NoteEditPanel.h"
#include "app/PasGenDlg.h"
#include "app/PasswordEditPanel.h"
#include "app/UrlEditPanel.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>

using apptest::CModalScript;
using edtest::CEditorVault;

namespace {

constexpr int kEmailFolder = 3;
constexpr int kGmail = 11;
constexpr int kWorkVpn = 12;
constexpr int kExampleDocs = 17;
constexpr unsigned kIdDataChanged = 61266;
constexpr unsigned kIdCloseAllItems = 61325;

CPasswordFrame* PasswordEditor(CEditorVault& v, int id) {
    return dynamic_cast<CPasswordFrame*>(v.editors->Find(id));
}

std::string Login(const TComPtr<ICommonProperties>& record) {
    TComPtr<IPasswordProperties> p = record ? record.As<IPasswordProperties>() : nullptr;
    return p ? p->GetLogin() : std::string("<none>");
}

} // namespace

class RecordEditorTest : public QObject {
    Q_OBJECT

private slots:
    void EmptyNameSavesAndTitlesAsUntitled();
    void SaveAndCreateTwiceGivesTwoRecordsAndAnEmptyEditor();
    void OneEditorPerItemAndClosingQuestion();
    void UrlEditorWritesOnlyTheUrl();
    void RememberedTabs();
    void EscapeInEveryBoxClosesThroughTheQuestion();
    void LogoutWithUnsavedChangesIsRefusedAndLosesNothing();
    void ChangeIconDialogChoosesAnImage();
    void CreditCardAndNoteEditorsStoreTheirFields();
    void HyperlinkBoxTellsLinksAndReportsFailures();
    void UnknownLinkOpensTheLinkEditorOnLeavingTheBox();
    void AddToFavoritesFromANewRecordAsksFirst();
    void GeneratorOkReplacesThePasswordAndCancelLeavesIt();
};

void RecordEditorTest::EmptyNameSavesAndTitlesAsUntitled() {
    CEditorVault v;
    QVERIFY(v.Open());
    const std::vector<int> before = v.Children(kEmailFolder);
    v.doc.Push(kEmailFolder);
    QVERIFY(v.editors->OnNewItemCommand(32778));
    CPasswordFrame* editor = PasswordEditor(v, 0);
    QVERIFY(editor);
    QVERIFY(editor->IsNew());
    QCOMPARE(editor->Panel()->Image(), 3);
    QCOMPARE(editor->windowTitle(), QStringLiteral("Untitled - Password"));
    QCOMPARE(v.windows.Find(0), static_cast<IEditorWindow*>(editor));

    editor->Fields()->LoginBox()->setText(QStringLiteral("someone"));
    QVERIFY(editor->IsModified());
    editor->OnCommand(3);
    QVERIFY(!editor->IsNew());
    QVERIFY(!editor->IsModified());
    const int id = editor->GetItemId();
    QVERIFY(id > 0);
    QCOMPARE(editor->windowTitle(), QStringLiteral("Untitled - Password"));
    QVERIFY(v.Posted(msg::kReloadAll));
    // Registered under its node now, so opening the record finds this editor.
    QVERIFY(!v.windows.Find(0));
    QCOMPARE(v.windows.Find(id), static_cast<IEditorWindow*>(editor));

    std::vector<int> after = v.Children(kEmailFolder);
    QCOMPARE(after.size(), before.size() + 1);
    TComPtr<ICommonProperties> stored = v.Stored(id);
    QVERIFY(stored);
    QCOMPARE(stored->GetName(), std::string());
    QCOMPARE(Login(stored), std::string("someone"));
    FILETIME64 created = 0;
    QVERIFY(stored->GetCreated(created) && created != 0);
    CLSID clsid;
    stored->GetClassID(clsid);
    QVERIFY(clsid == CLSID_PasswordItem);
}

void RecordEditorTest::SaveAndCreateTwiceGivesTwoRecordsAndAnEmptyEditor() {
    CEditorVault v;
    QVERIFY(v.Open());
    const std::vector<int> before = v.Children(kEmailFolder);
    CEditorFrame* frame = v.editors->NewItem(CLSID_PasswordItem, kEmailFolder);
    auto* editor = dynamic_cast<CPasswordFrame*>(frame);
    QVERIFY(editor);
    editor->Panel()->NameBox()->setText(QStringLiteral("First"));
    editor->OnCommand(174);
    const int first = v.Children(kEmailFolder).back();
    editor->Panel()->NameBox()->setText(QStringLiteral("Second"));
    editor->Fields()->PasswordBox()->setText(QStringLiteral("pw2"));
    editor->OnCommand(174);

    const std::vector<int> after = v.Children(kEmailFolder);
    QCOMPARE(after.size(), before.size() + 2);
    QCOMPARE(v.Stored(first)->GetName(), std::string("First"));
    QCOMPARE(v.Stored(after.back())->GetName(), std::string("Second"));
    QVERIFY(first != after.back());
    // The editor stays open on a third, empty record of the same folder.
    QVERIFY(editor->IsNew());
    QVERIFY(!editor->IsModified());
    QCOMPARE(editor->GetParentId(), kEmailFolder);
    QVERIFY(editor->Panel()->NameBox()->text().isEmpty());
    QVERIFY(editor->Fields()->PasswordBox()->text().isEmpty());
    QCOMPARE(editor->windowTitle(), QStringLiteral("Untitled - Password"));
    QCOMPARE(v.windows.GetCount(), 1);
    QCOMPARE(v.windows.Find(0), static_cast<IEditorWindow*>(editor));
    // The command became the tool bar's save command.
    QCOMPARE(TresorixSettings().View_ToolbarBtnSave, 174);
    QCOMPARE(editor->SaveButton()->text(), QStringLiteral("Save and Create"));
    QCOMPARE(v.Count(kIdDataChanged), 0);
}

void RecordEditorTest::OneEditorPerItemAndClosingQuestion() {
    CEditorVault v;
    QVERIFY(v.Open());
    v.editors->OpenItem(kGmail);
    CPasswordFrame* editor = PasswordEditor(v, kGmail);
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QStringLiteral("Gmail - Password"));
    QCOMPARE(editor->Fields()->LoginBox()->text(), QStringLiteral("carol.smith@gmail.com"));
    v.editors->OpenItem(kGmail);
    QCOMPARE(v.windows.GetCount(), 1);
    QCOMPARE(v.editors->Editors().size(), std::size_t(1));

    // Unchanged: no question, the window manager forgets it, the main window hears 1044.
    QVERIFY(editor->CloseEditor());
    QCOMPARE(v.messages.Messages().size(), std::size_t(0));
    QCOMPARE(v.windows.GetCount(), 0);
    QVERIFY(v.Posted(msg::kEditorClosed));
    QVERIFY(v.editors->Editors().empty());

    // Changed: Cancel keeps it open with the change, No discards.
    v.editors->OpenItem(kGmail);
    editor = PasswordEditor(v, kGmail);
    QVERIFY(editor);
    editor->Fields()->LoginBox()->setText(QStringLiteral("changed"));
    v.messages.Script({IDCANCEL});
    QVERIFY(!editor->CloseEditor());
    QCOMPARE(v.Count(kIdDataChanged), 1);
    QCOMPARE(v.messages.Messages().back().flags, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
    QCOMPARE(editor->Fields()->LoginBox()->text(), QStringLiteral("changed"));
    QCOMPARE(v.windows.GetCount(), 1);
    v.messages.Script({IDNO});
    QVERIFY(editor->CloseEditor());
    QCOMPARE(v.windows.GetCount(), 0);
    QCOMPARE(Login(v.Stored(kGmail)), std::string("carol.smith@gmail.com"));

    // Yes saves, then closes.
    v.editors->OpenItem(kGmail);
    editor = PasswordEditor(v, kGmail);
    editor->Fields()->EmailBox()->setText(QStringLiteral("new@example.org"));
    v.messages.Script({IDYES});
    QVERIFY(editor->CloseEditor());
    TComPtr<IPasswordProperties> p = v.Stored(kGmail).As<IPasswordProperties>();
    QCOMPARE(p->GetEmail(), std::string("new@example.org"));

    // The window's own close (system menu) asks the same question.
    v.editors->OpenItem(kGmail);
    editor = PasswordEditor(v, kGmail);
    editor->Panel()->NameBox()->setText(QStringLiteral("Renamed"));
    v.messages.Script({IDCANCEL});
    QVERIFY(!editor->close());
    QVERIFY(PasswordEditor(v, kGmail));
    v.messages.Script({IDNO});
    QVERIFY(editor->close());
    QVERIFY(!v.editors->Find(kGmail));
}

void RecordEditorTest::UrlEditorWritesOnlyTheUrl() {
    CEditorVault v;
    QVERIFY(v.Open());
    {
        // Give the URL record login, password and e-mail values of its own first.
        TComPtr<ICommonProperties> record = v.doc.GetRecord(kExampleDocs);
        TComPtr<IPasswordProperties> p = record.As<IPasswordProperties>();
        p->SetLogin("urluser");
        p->SetPassword("urlpass");
        p->SetEmail("url@example.org");
        v.doc.GetNode(kExampleDocs)->SetData(record.Get());
    }
    v.editors->OpenItem(kExampleDocs);
    auto* editor = dynamic_cast<CUrlFrame*>(v.editors->Find(kExampleDocs));
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QStringLiteral("Example docs - URL"));
    QCOMPARE(editor->Fields()->UrlBox()->text(),
             QStringLiteral("https://docs.example.org/start?x=1&y=2"));
    QVERIFY(editor->Fields()->findChildren<QLineEdit*>().size() >= 2);
    editor->Fields()->UrlBox()->setText(QStringLiteral("https://docs.example.org/v2"));
    QVERIFY(editor->Save());
    TComPtr<IPasswordProperties> stored = v.Stored(kExampleDocs).As<IPasswordProperties>();
    QVERIFY(stored);
    QCOMPARE(stored->GetURL(), std::string("https://docs.example.org/v2"));
    QCOMPARE(stored->GetLogin(), std::string("urluser"));
    QCOMPARE(stored->GetPassword(), std::string("urlpass"));
    QCOMPARE(stored->GetEmail(), std::string("url@example.org"));
    CLSID clsid;
    v.Stored(kExampleDocs)->GetClassID(clsid);
    QVERIFY(clsid == CLSID_UrlItem);

    // A new URL record starts with the web-link image.
    CEditorFrame* created = v.editors->NewItem(CLSID_UrlItem, kEmailFolder);
    QVERIFY(dynamic_cast<CUrlFrame*>(created));
    QCOMPARE(created->Panel()->Image(), 242);
    QCOMPARE(created->windowTitle(), QStringLiteral("Untitled - URL"));
}

void RecordEditorTest::RememberedTabs() {
    CEditorVault v;
    QVERIFY(v.Open());
    v.editors->OpenItem(kGmail);
    CPasswordFrame* editor = PasswordEditor(v, kGmail);
    QCOMPARE(editor->Panel()->Tabs()->currentIndex(), 0);
    editor->Panel()->Tabs()->setCurrentIndex(CEditPanel::kAdvancedTab);
    QCOMPARE(TresorixSettings().View_TabSelectedPasswordEdit, 1);
    QVERIFY(editor->CloseEditor());

    v.editors->OpenItem(kWorkVpn);
    editor = PasswordEditor(v, kWorkVpn);
    QCOMPARE(editor->Panel()->Tabs()->currentIndex(), int(CEditPanel::kAdvancedTab));
    // Other record types keep their own tab.
    v.editors->OpenItem(kExampleDocs);
    QCOMPARE(v.editors->Find(kExampleDocs)->Panel()->Tabs()->currentIndex(), 0);
    // Without the option the choice is neither restored nor stored.
    QVERIFY(editor->CloseEditor());
    TresorixSettings().View_RememberTabs = 0;
    v.editors->OpenItem(kGmail);
    editor = PasswordEditor(v, kGmail);
    QCOMPARE(editor->Panel()->Tabs()->currentIndex(), 0);
    editor->Panel()->Tabs()->setCurrentIndex(CEditPanel::kAdvancedTab);
    editor->Panel()->Tabs()->setCurrentIndex(CEditPanel::kCommentsTab);
    QCOMPARE(TresorixSettings().View_TabSelectedPasswordEdit, 1);
    // Switching tabs is no change of the record.
    QVERIFY(!editor->IsModified());
}

void RecordEditorTest::EscapeInEveryBoxClosesThroughTheQuestion() {
    CEditorVault v;
    QVERIFY(v.Open());
    v.editors->OpenItem(kGmail);
    CPasswordFrame* editor = PasswordEditor(v, kGmail);
    editor->show();
    editor->Fields()->LoginBox()->setText(QStringLiteral("edited"));
    std::vector<QWidget*> boxes = {
        editor->Panel()->NameBox(),      editor->Fields()->LoginBox(),
        editor->Fields()->PasswordBox(), editor->Fields()->UrlBox(),
        editor->Fields()->EmailBox(),    editor->Panel()->CommentsBox(),
        editor->Panel()->CustomFields(), editor->Panel()->ChangeButton()};
    int asked = 0;
    for (QWidget* box : boxes) {
        v.messages.Script({IDCANCEL});
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(v.Count(kIdDataChanged), ++asked);
        QVERIFY(PasswordEditor(v, kGmail));
    }
    // Enter in a plain box acts as Tab and never reaches the box; the comments keep theirs.
    QSignalSpy returns(editor->Fields()->LoginBox(), &QLineEdit::returnPressed);
    editor->Fields()->LoginBox()->setFocus();
    QTest::keyClick(editor->Fields()->LoginBox(), Qt::Key_Return);
    QCOMPARE(returns.count(), 0);
    QVERIFY(editor->focusWidget() != editor->Fields()->LoginBox());
    QTest::keyClick(editor->Panel()->CommentsBox(), Qt::Key_Return);
    QVERIFY(editor->Panel()->CommentsBox()->toPlainText().contains(QLatin1Char('\n')));
    // Escape answered No closes and discards.
    QVERIFY(editor->IsModified());
    v.messages.Script({IDNO});
    QTest::keyClick(editor->Fields()->EmailBox(), Qt::Key_Escape);
    QVERIFY(!v.editors->Find(kGmail));
    QCOMPARE(Login(v.Stored(kGmail)), std::string("carol.smith@gmail.com"));

    // An unchanged editor closes on Escape without a question.
    v.editors->OpenItem(kWorkVpn);
    v.messages.Clear();
    QTest::keyClick(PasswordEditor(v, kWorkVpn)->Fields()->LoginBox(), Qt::Key_Escape);
    QVERIFY(!v.editors->Find(kWorkVpn));
    QCOMPARE(v.messages.Messages().size(), std::size_t(0));
}

void RecordEditorTest::LogoutWithUnsavedChangesIsRefusedAndLosesNothing() {
    CEditorVault v;
    QVERIFY(v.Open());
    v.editors->OpenItem(kGmail);
    v.editors->OpenItem(kWorkVpn);
    CPasswordFrame* changed = PasswordEditor(v, kWorkVpn);
    changed->Fields()->LoginBox()->setText(QStringLiteral("vpn-user-2"));
    QVERIFY(!changed->QueryClose());

    QVERIFY(!v.doc.Logout());
    QCOMPARE(v.Count(kIdCloseAllItems), 1);
    QCOMPARE(v.Count(kIdDataChanged), 0);
    QVERIFY(v.doc.IsAuthorised());
    // The unchanged editor may go; the changed one stays with its text.
    QVERIFY(!v.editors->Find(kGmail));
    QCOMPARE(PasswordEditor(v, kWorkVpn), changed);
    QCOMPARE(changed->Fields()->LoginBox()->text(), QStringLiteral("vpn-user-2"));
    QVERIFY(changed->IsModified());

    // After saving, the logout goes through and every editor closes.
    v.editors->OpenItem(kGmail);
    QVERIFY(changed->Save());
    QVERIFY(v.doc.Logout());
    QVERIFY(!v.doc.IsAuthorised());
    QCOMPARE(v.windows.GetCount(), 0);
    QVERIFY(v.editors->Editors().empty());
    QVERIFY(v.Reopen());
    QCOMPARE(Login(v.Stored(kWorkVpn)), std::string("vpn-user-2"));
}

void RecordEditorTest::ChangeIconDialogChoosesAnImage() {
    CEditorVault v;
    QVERIFY(v.Open());
    v.editors->OpenItem(kWorkVpn);
    CPasswordFrame* editor = PasswordEditor(v, kWorkVpn);
    QCOMPARE(editor->Panel()->Image(), 27);
    CModalScript script;
    script.Add([](QDialog& d) {
        auto& dialog = dynamic_cast<CChangeIconDlg&>(d);
        // The record's image is selected; captions count from one.
        if (dialog.Image() != 27 || dialog.List()->item(27)->text() != QStringLiteral("28"))
            return int(QDialog::Rejected);
        dialog.List()->clearSelection();
        if (dialog.OkButton()->isEnabled())
            return int(QDialog::Rejected);
        emit dialog.List()->itemDoubleClicked(dialog.List()->item(6));
        return dialog.result();
    });
    QVERIFY(editor->Panel()->ChangeIcon());
    QVERIFY(script.Done());
    QCOMPARE(script.Unexpected(), 0);
    QCOMPARE(editor->Panel()->Image(), 6);
    QVERIFY(editor->IsModified());
    QVERIFY(editor->Save());
    QCOMPARE(v.Stored(kWorkVpn)->GetImage(), 6);
    // Cancel changes nothing.
    script.Add([](QDialog&) { return int(QDialog::Rejected); });
    QVERIFY(!editor->Panel()->ChangeIcon());
    QVERIFY(!editor->IsModified());
}

void RecordEditorTest::CreditCardAndNoteEditorsStoreTheirFields() {
    CEditorVault v;
    QVERIFY(v.Open());
    QCOMPARE(CCreditCardEditPanel::Countries().size(), 194);
    QCOMPARE(CCreditCardEditPanel::Countries().front(), QStringLiteral("Afghanistan"));
    QCOMPARE(CCreditCardEditPanel::Countries().indexOf(QStringLiteral("Côte d'Ivoire")), 45);
    QCOMPARE(CCreditCardEditPanel::CardTypes(),
             QStringList({QStringLiteral("Visa"), QStringLiteral("Master Card"),
                          QStringLiteral("American Express"), QStringLiteral("Euro Card"),
                          QStringLiteral("ATM card")}));

    v.doc.Push(4);
    QVERIFY(v.editors->OnNewItemCommand(32782));
    auto* card = dynamic_cast<CCreditCardFrame*>(v.editors->Find(0));
    QVERIFY(card);
    QCOMPARE(card->Panel()->Image(), 4);
    CCreditCardEditPanel* f = card->Fields();
    QCOMPARE(f->CountryBox()->count(), 194);
    card->Panel()->NameBox()->setText(QStringLiteral("Travel card"));
    f->Box(CCreditCardEditPanel::kNumber)->setText(QStringLiteral("4111 1111 1111 1111"));
    f->CardTypeBox()->setCurrentIndex(2);
    f->Box(CCreditCardEditPanel::kExpirationMonth)->setText(QStringLiteral("07"));
    f->Box(CCreditCardEditPanel::kExpirationYear)->setText(QStringLiteral("2029"));
    f->Box(CCreditCardEditPanel::kBankInfo)->setText(QStringLiteral("Big Bank"));
    f->CountryBox()->setEditText(QStringLiteral("Atlantis"));
    card->OnCommand(32784);
    QVERIFY(!v.editors->Find(0));
    const int id = v.Children(4).back();
    TComPtr<ICommonProperties> stored = v.Stored(id);
    QCOMPARE(stored->GetName(), std::string("Travel card"));
    TComPtr<ICreditCardProperties> c = stored.As<ICreditCardProperties>();
    QVERIFY(c);
    QCOMPARE(c->GetNumber(), std::string("4111 1111 1111 1111"));
    QCOMPARE(c->GetCardType(), std::string("American Express"));
    QCOMPARE(c->GetExpirationDate(), std::string("07\n2029"));
    QCOMPARE(c->GetBankInfo(), std::string("Big Bank"));
    QCOMPARE(c->GetCountry(), std::string("Atlantis"));
    QCOMPARE(TresorixSettings().View_ToolbarBtnSave, 32784);

    // Reopened, the date splits back into month and year.
    v.editors->OpenItem(id);
    card = dynamic_cast<CCreditCardFrame*>(v.editors->Find(id));
    QCOMPARE(card->windowTitle(), QStringLiteral("Travel card - Credit Card"));
    QCOMPARE(card->Fields()->Box(CCreditCardEditPanel::kExpirationYear)->text(),
             QStringLiteral("2029"));
    QVERIFY(!card->IsModified());

    CEditorFrame* note = v.editors->NewItem(CLSID_Note, 6);
    QVERIFY(dynamic_cast<CNoteFrame*>(note));
    QCOMPARE(note->Panel()->Image(), 63);
    note->Panel()->NameBox()->setText(QStringLiteral("Todo"));
    note->Panel()->CommentsBox()->setPlainText(QStringLiteral("line 1\nline 2"));
    QVERIFY(note->Save());
    QCOMPARE(note->windowTitle(), QStringLiteral("Todo - Note"));
    TComPtr<ICommonProperties> text = v.Stored(note->GetItemId());
    QCOMPARE(text->GetComments(), std::string("line 1\nline 2"));
    CLSID clsid;
    text->GetClassID(clsid);
    QVERIFY(clsid == CLSID_Note);

    // A text beyond the file's row limit: the save fails, nothing is lost or half-stored.
    const std::size_t shown = v.messages.Messages().size();
    // Short lines: one line of that length takes the text box minutes to lay out.
    note->Panel()->CommentsBox()->setPlainText(
        (QString(79, QLatin1Char('x')) + QLatin1Char('\n')).repeated(2 * 1024 * 1024 / 80));
    QVERIFY(!note->Save());
    QVERIFY(note->IsModified());
    QVERIFY(v.messages.Messages().size() > shown);
    QCOMPARE(v.Stored(note->GetItemId())->GetComments(), std::string("line 1\nline 2"));
}

void RecordEditorTest::HyperlinkBoxTellsLinksAndReportsFailures() {
    for (const char* link :
         {"www.example.org", "  HTTP://x", "file:///tmp", "mailto:a@b", "ftp://f", "https://s",
          "gopher://g", "nntp:n", "prospero:p", "telnet:t", "news:n", "wais:w"})
        QVERIFY2(CHyperlinkBox::IsLink(QString::fromLatin1(link)), link);
    for (const char* text : {"", "example.org", "http:/x", "ww.example", "javascript:x"})
        QVERIFY2(!CHyperlinkBox::IsLink(QString::fromLatin1(text)), text);
    QCOMPARE(CHyperlinkBox::FailureReason(2), QStringLiteral("The specified file was not found."));
    QCOMPARE(CHyperlinkBox::FailureReason(26), QStringLiteral("A sharing violation occurred. "));
    QCOMPARE(CHyperlinkBox::FailureReason(7), QStringLiteral("Unknown Error (7) occurred."));

    CScopedMessageRecorder messages;
    CScopedShellRecorder shell;
    CHyperlinkBox box;
    box.setText(QStringLiteral(" https://example.org "));
    QVERIFY(box.OpenLink());
    QCOMPARE(shell.Calls().back().target, std::string("https://example.org"));
    QCOMPARE(messages.Messages().size(), std::size_t(0));
    shell.SetOpenResult(false);
    QVERIFY(!box.OpenLink());
    QCOMPARE(messages.Messages().size(), std::size_t(1));
    QCOMPARE(messages.Messages()[0].text,
             std::string("Unable to open hyperlink:\n\nThere is no application associated\nwith "
                         "the given filename extension."));
    QCOMPARE(messages.Messages()[0].flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
}

void RecordEditorTest::UnknownLinkOpensTheLinkEditorOnLeavingTheBox() {
    CEditorVault v;
    QVERIFY(v.Open());
    TresorixSettings().View_EditUnknownLinks = 1;
    v.editors->OpenItem(kWorkVpn);
    CPasswordFrame* editor = PasswordEditor(v, kWorkVpn);
    editor->show();
    CModalScript script;
    script.Add([](QDialog& d) {
        auto& dialog = dynamic_cast<CLinkEditorDlg&>(d);
        if (dialog.UrlBox()->text() != QStringLiteral("vpn.example.com"))
            return int(QDialog::Rejected);
        dialog.TypeBox()->setCurrentText(QStringLiteral("https://"));
        dialog.accept();
        return dialog.result();
    });
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(editor->Fields()->UrlBox(), &out);
    QCoreApplication::processEvents();
    QVERIFY(script.Done());
    QCOMPARE(editor->Fields()->UrlBox()->text(), QStringLiteral("https://vpn.example.com"));
    QVERIFY(editor->IsModified());
    // A link, or the option off, opens nothing.
    QCoreApplication::sendEvent(editor->Fields()->UrlBox(), &out);
    QCoreApplication::processEvents();
    editor->Fields()->UrlBox()->setText(QStringLiteral("plain"));
    TresorixSettings().View_EditUnknownLinks = 0;
    QCoreApplication::sendEvent(editor->Fields()->UrlBox(), &out);
    QCoreApplication::processEvents();
    QCOMPARE(script.Unexpected(), 0);
}

void RecordEditorTest::AddToFavoritesFromANewRecordAsksFirst() {
    CEditorVault v;
    QVERIFY(v.Open());
    const int favorites = v.doc.GetFavorites().GetCount();
    CEditorFrame* editor = v.editors->NewItem(CLSID_PasswordItem, kEmailFolder);
    // Nothing typed: nothing to add, no question.
    QVERIFY(!editor->Action(32795)->isEnabled());
    editor->OnCommand(32795);
    QCOMPARE(v.doc.GetFavorites().GetCount(), favorites);
    editor->Panel()->NameBox()->setText(QStringLiteral("Fav"));
    QVERIFY(editor->Action(32795)->isEnabled());
    v.messages.Script({IDNO});
    editor->OnCommand(32795);
    QCOMPARE(v.Count(kIdDataChanged), 1);
    QCOMPARE(v.doc.GetFavorites().GetCount(), favorites);
    QVERIFY(editor->IsNew());
    v.messages.Script({IDYES});
    editor->OnCommand(32795);
    QVERIFY(!editor->IsNew());
    QCOMPARE(v.doc.GetFavorites().GetCount(), favorites + 1);
    QVERIFY(v.doc.GetFavorites().Find(editor->GetItemId()) >= 0);
    // A saved record is added at once.
    v.editors->OpenItem(kWorkVpn);
    v.editors->Find(kWorkVpn)->OnCommand(32795);
    QVERIFY(v.doc.GetFavorites().Find(kWorkVpn) >= 0);
    QCOMPARE(v.Count(kIdDataChanged), 2);
}

void RecordEditorTest::GeneratorOkReplacesThePasswordAndCancelLeavesIt() {
    CEditorVault v;
    QVERIFY(v.Open());
    const PASSWORD_GENERATOR previous = SetPasswordGenerator(RunPasswordGeneratorFor);
    v.editors->OpenItem(kGmail);
    CPasswordFrame* editor = PasswordEditor(v, kGmail);
    QVERIFY(editor);
    const QString stored = editor->Fields()->PasswordBox()->text();
    QVERIFY(!editor->IsModified());
    {
        CModalScript script;
        script.Add([](QDialog& d) {
            d.reject();
            return d.result();
        });
        editor->Fields()->GenerateButton()->click();
        QVERIFY(script.Done());
    }
    QCOMPARE(editor->Fields()->PasswordBox()->text(), stored);
    QVERIFY(!editor->IsModified());
    {
        CModalScript script;
        script.Add([](QDialog& d) {
            auto& dialog = dynamic_cast<CPasGenDlg&>(d);
            dialog.PasswordEdit()->setText(QStringLiteral("Gen3rated!pw"));
            dialog.accept();
            return dialog.result();
        });
        editor->Fields()->GenerateButton()->click();
        QVERIFY(script.Done());
    }
    QCOMPARE(editor->Fields()->PasswordBox()->text(), QStringLiteral("Gen3rated!pw"));
    QVERIFY(editor->IsModified());
    SetPasswordGenerator(previous);
    v.messages.Script({IDNO});
    QVERIFY(editor->CloseEditor());
}

TX_APP_TEST_MAIN(RecordEditorTest)
#include "RecordEditorTest.moc"

#include "AppTestSupport.h"
#include "SampleSession.h"

#include "app/BackupDlg.h"
#include "app/BackupOptinsDlg.h"
#include "app/ChangeIconDlg.h"
#include "app/ChangePaswordDlg.h"
#include "app/CreationWizard.h"
#include "app/CsvImportWizard.h"
#include "app/CustomFieldDlg.h"
#include "app/DatabaseManagerDlg.h"
#include "app/EditorFrame.h"
#include "app/ExportWizard.h"
#include "app/FavTreeView.h"
#include "app/FileChangedDlg.h"
#include "app/FileRecordDlg.h"
#include "app/FolderPickerDlg.h"
#include "app/FolderPropertiesDlg.h"
#include "app/HelpTopics.h"
#include "app/HelpWindow.h"
#include "app/LinkEditorDlg.h"
#include "app/MoveToFolderDlg.h"
#include "app/NewFolderDlg.h"
#include "app/OptionsSheet.h"
#include "app/PasGenDlg.h"
#include "app/PasswordDlg.h"
#include "app/SearchLeftPane.h"
#include "app/StartupDlg.h"
#include "app/TipOfTheDayDlg.h"
#include "platform/TresorixSettings.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>
#include <QTreeWidget>

#include <memory>

using apptest::CAppHarness;
using apptest::CSampleSession;

namespace {

QString Shown() {
    CHelpWindow* window = OpenHelpWindow();
    return window ? window->CurrentTopic() : QString();
}

QString Selected() {
    CHelpWindow* window = OpenHelpWindow();
    QTreeWidgetItem* item = window ? window->Contents()->currentItem() : nullptr;
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

// The ids and names a page declares as link targets.
QSet<QString> Anchors(const QString& text) {
    static const QRegularExpression anchor(QStringLiteral("\\s(?:id|name)=\"([^\"]+)\""));
    QSet<QString> anchors;
    for (const QRegularExpressionMatch& m : anchor.globalMatch(text))
        anchors.insert(m.captured(1));
    return anchors;
}

// Presses F1 in widget as the user would, through the shortcut machinery.
QString PressF1(QWidget* widget) {
    widget->activateWindow();
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_F1);
    return Shown();
}

} // namespace

// The help pages, the help window and the F1 key.
class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void EveryMappedTopicIsAPage();
    void PagesLinkOnlyToPagesAndAnchorsThatExist();
    void ContentsListEveryPageOnceIndexFirst();
    void UnknownOrUnsafeTopicsShowTheIndex();
    void LinksContentsAndHistoryStayInStep();
    void LinksOutsideThePagesAreIgnored();
    void F1OpensTheTopicOfTheWindowPressedIn();
    void F1WinsOverAWindowsOwnF1Shortcut();
    void F1InAModalDialogGivesAHelpWindowItCanUse();
    void EveryWindowOfTheProgramHasItsPage();
    void TipsGoRoundAndContinueWhereTheyStopped();

private:
    std::unique_ptr<CHelpKeyFilter> m_filter;
};

void HelpTest::initTestCase() {
    m_filter = std::make_unique<CHelpKeyFilter>();
    qApp->installEventFilter(m_filter.get());
}

void HelpTest::cleanup() {
    CloseHelpWindow();
    QVERIFY(!OpenHelpWindow());
}

void HelpTest::EveryMappedTopicIsAPage() {
    const QStringList pages = CHelpWindow::Pages();
    QVERIFY(pages.contains(HelpIndexTopic()));
    for (const QString& topic : MappedHelpTopics())
        QVERIFY2(pages.contains(topic), qPrintable(topic));
    // The names other windows and documents rely on.
    for (const char* fixed : {"index.htm", "passwords.htm", "url.htm", "search.htm",
                              "login_logout.htm", "datafile.htm", "favlist.htm"})
        QVERIFY2(pages.contains(QString::fromLatin1(fixed)), fixed);
}

void HelpTest::PagesLinkOnlyToPagesAndAnchorsThatExist() {
    static const QRegularExpression link(QStringLiteral("\\shref=\"([^\"]*)\""),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression unsafe(
        QStringLiteral("<script|<iframe|<object|<img|\\ssrc=|\\son[a-z]+="),
        QRegularExpression::CaseInsensitiveOption);
    int links = 0;
    for (const QString& page : CHelpWindow::Pages()) {
        const QString text = CHelpWindow::PageText(page);
        QVERIFY2(!text.isEmpty(), qPrintable(page));
        QVERIFY2(!unsafe.match(text).hasMatch(), qPrintable(page));
        QVERIFY2(CHelpWindow::PageTitle(page) != page, qPrintable(page + " has no title"));
        for (const QRegularExpressionMatch& m : link.globalMatch(text)) {
            const QString href = m.captured(1);
            const qsizetype hash = href.indexOf(QLatin1Char('#'));
            const QString target = hash < 0 ? href : href.left(hash);
            const QString anchor = hash < 0 ? QString() : href.mid(hash + 1);
            const QString where = page + QStringLiteral(" -> ") + href;
            QVERIFY2(target.isEmpty() || CHelpWindow::IsPage(target), qPrintable(where));
            if (!anchor.isEmpty())
                QVERIFY2(Anchors(CHelpWindow::PageText(target.isEmpty() ? page : target))
                             .contains(anchor),
                         qPrintable(where));
            ++links;
        }
    }
    QVERIFY(links > 40);
}

void HelpTest::ContentsListEveryPageOnceIndexFirst() {
    ShowHelpTopic(HelpIndexTopic(), nullptr);
    QTreeWidget* contents = OpenHelpWindow()->Contents();
    const QStringList pages = CHelpWindow::Pages();
    QCOMPARE(contents->topLevelItemCount(), pages.size());
    QCOMPARE(contents->topLevelItem(0)->data(0, Qt::UserRole).toString(), HelpIndexTopic());
    QSet<QString> seen;
    for (int i = 0; i < contents->topLevelItemCount(); ++i) {
        const QString page = contents->topLevelItem(i)->data(0, Qt::UserRole).toString();
        QVERIFY(!seen.contains(page));
        seen.insert(page);
        QCOMPARE(contents->topLevelItem(i)->text(0), CHelpWindow::PageTitle(page));
    }
}

void HelpTest::UnknownOrUnsafeTopicsShowTheIndex() {
    for (const char* topic : {"nosuch.htm", "", "../index.htm", ":/help/search.htm", "/etc/passwd",
                              "qrc:/help/search.htm", "search"}) {
        ShowHelpTopic(QString::fromLatin1(topic), nullptr);
        QVERIFY2(Shown() == HelpIndexTopic(), topic);
        QCOMPARE(Selected(), HelpIndexTopic());
    }
    // Topic names are file names: letter case and blanks around them do not matter.
    ShowHelpTopic(QStringLiteral(" SEARCH.HTM "), nullptr);
    QCOMPARE(Shown(), QStringLiteral("search.htm"));
    ShowHelpTopic(QStringLiteral("login_logout.htm#logout"), nullptr);
    QCOMPARE(Shown(), QStringLiteral("login_logout.htm"));
    QCOMPARE(Selected(), QStringLiteral("login_logout.htm"));
}

void HelpTest::LinksContentsAndHistoryStayInStep() {
    ShowHelpTopic(HelpIndexTopic(), nullptr);
    CHelpWindow* window = OpenHelpWindow();
    QTextBrowser* browser = window->Browser();
    // One window: asking again reuses it.
    ShowHelpTopic(QStringLiteral("options.htm"), nullptr);
    QCOMPARE(OpenHelpWindow(), window);

    emit browser->anchorClicked(QUrl(QStringLiteral("search.htm")));
    QCOMPARE(Shown(), QStringLiteral("search.htm"));
    QCOMPARE(Selected(), QStringLiteral("search.htm"));
    QVERIFY(window->windowTitle().contains(CHelpWindow::PageTitle(QStringLiteral("search.htm"))));

    // Choosing in the contents shows the page.
    QTreeWidget* contents = window->Contents();
    for (int i = 0; i < contents->topLevelItemCount(); ++i)
        if (contents->topLevelItem(i)->data(0, Qt::UserRole).toString() ==
            QLatin1String("backup.htm"))
            contents->setCurrentItem(contents->topLevelItem(i));
    QCOMPARE(Shown(), QStringLiteral("backup.htm"));

    // Back and Forward move the selection with them.
    QVERIFY(browser->isBackwardAvailable());
    browser->backward();
    QCOMPARE(Shown(), QStringLiteral("search.htm"));
    QCOMPARE(Selected(), QStringLiteral("search.htm"));
    browser->forward();
    QCOMPARE(Selected(), QStringLiteral("backup.htm"));

    // An anchor on the same page stays on it.
    ShowHelpTopic(QStringLiteral("login_logout.htm"), nullptr);
    emit browser->anchorClicked(QUrl(QStringLiteral("#logout")));
    QCOMPARE(Shown(), QStringLiteral("login_logout.htm"));
    emit browser->anchorClicked(QUrl(QStringLiteral("url.htm#link")));
    QCOMPARE(Shown(), QStringLiteral("url.htm"));
    QCOMPARE(browser->source().fragment(), QStringLiteral("link"));
}

void HelpTest::LinksOutsideThePagesAreIgnored() {
    CScopedShellRecorder shell;
    ShowHelpTopic(QStringLiteral("export.htm"), nullptr);
    QTextBrowser* browser = OpenHelpWindow()->Browser();
    for (const char* url : {"https://example.org/index.htm", "file:///etc/passwd", "mailto:a@b.org",
                            "qrc:/other/index.htm", "../secret.htm", "javascript:alert(1)"}) {
        emit browser->anchorClicked(QUrl(QString::fromLatin1(url)));
        QVERIFY2(Shown() == QLatin1String("export.htm"), url);
    }
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Choose Data")));
}

void HelpTest::F1OpensTheTopicOfTheWindowPressedIn() {
    CAppHarness h;
    {
        CStartupDlg choice;
        choice.show();
        QCOMPARE(PressF1(choice.PathBox()), QStringLiteral("datafile.htm"));
    }
    {
        CPasswordDlg login;
        login.show();
        QCOMPARE(PressF1(login.PasswordBox()), QStringLiteral("login_logout.htm"));
    }
    {
        // A widget without a topic of its own takes its window's, even inside a child window.
        CPasGenDlg generator(TresorixSettings());
        generator.show();
        QDialog inner(&generator);
        auto* box = new QLineEdit(&inner);
        inner.show();
        QCOMPARE(PressF1(box), QStringLiteral("pasgen.htm"));
    }
    {
        QWidget stranger;
        auto* box = new QLineEdit(&stranger);
        stranger.show();
        QCOMPARE(PressF1(box), HelpIndexTopic());
    }
    // Other keys and F1 with a modifier are left to the window.
    CloseHelpWindow();
    CStartupDlg choice;
    choice.show();
    QTest::keyClick(choice.PathBox(), Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(choice.PathBox(), Qt::Key_F2);
    QVERIFY(!OpenHelpWindow());
}

void HelpTest::F1WinsOverAWindowsOwnF1Shortcut() {
    QMainWindow frame;
    frame.setObjectName(QStringLiteral("MainFrame"));
    auto* box = new QLineEdit;
    frame.setCentralWidget(box);
    auto* topics = new QAction(&frame);
    topics->setShortcut(Qt::Key_F1);
    frame.addAction(topics);
    int triggered = 0;
    connect(topics, &QAction::triggered, this, [&triggered] { ++triggered; });
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    // Without the filter the key reaches the window's shortcut.
    qApp->removeEventFilter(m_filter.get());
    PressF1(box);
    qApp->installEventFilter(m_filter.get());
    QCOMPARE(triggered, 1);
    QVERIFY(!OpenHelpWindow());

    QCOMPARE(PressF1(box), HelpIndexTopic());
    // One press, one help window: the window's own shortcut did not fire as well.
    QCOMPARE(triggered, 1);
}

void HelpTest::F1InAModalDialogGivesAHelpWindowItCanUse() {
    ShowHelpTopic(QStringLiteral("options.htm"), nullptr);
    QPointer<CHelpWindow> before = OpenHelpWindow();
    QVERIFY(before);
    {
        CStartupDlg choice;
        choice.setWindowModality(Qt::ApplicationModal);
        choice.show();
        QCOMPARE(QApplication::activeModalWidget(), &choice);
        QCOMPARE(PressF1(choice.PathBox()), QStringLiteral("datafile.htm"));
        // The open window moved under the dialog, where the dialog does not block it.
        QCOMPARE(OpenHelpWindow(), before.data());
        QCOMPARE(OpenHelpWindow()->parentWidget(), &choice);
        QVERIFY(OpenHelpWindow()->isVisible());
        QVERIFY(OpenHelpWindow()->isWindow());
    }
    // It went with the dialog; the next request makes a new one without trouble.
    QVERIFY(!before);
    QVERIFY(!OpenHelpWindow());
    ShowHelpTopic(QStringLiteral("search.htm"), nullptr);
    QCOMPARE(Shown(), QStringLiteral("search.htm"));
    QVERIFY(!OpenHelpWindow()->parentWidget());
}

void HelpTest::EveryWindowOfTheProgramHasItsPage() {
    CAppHarness h;
    CSampleSession s(h);
    if (!s.Start())
        QSKIP("sample vault missing");
    CTxDoc& doc = s.Doc();
    const std::string path = s.vault.toStdString();
    auto expect = [](QWidget* window, const char* topic) {
        QVERIFY2(window, topic);
        const QString found = HelpTopicFor(window);
        QVERIFY2(
            found == QLatin1String(topic),
            qPrintable(QString::fromLatin1(window->metaObject()->className()) + " -> " + found));
        QVERIFY(CHelpWindow::IsPage(found));
    };

    expect(&s.Frame(), "index.htm");
    expect(&s.List(), "index.htm");
    expect(&s.Tree(), "index.htm");
    expect(s.Frame().Left()->Favorites(), "favlist.htm");
    expect(s.Frame().Left()->Search(), "search.htm");
    expect(s.Frame().Left()->Search()->findChild<QWidget*>(QStringLiteral("SearchFor")),
           "search.htm");

    const struct {
        int id;
        const char* topic;
    } records[] = {
        {11, "passwords.htm"}, {17, "url.htm"}, {19, "creditcard.htm"}, {21, "note.htm"}};
    for (const auto& r : records) {
        doc.OpenItem(r.id);
        QCoreApplication::processEvents();
        CEditorFrame* editor = s.app->Editors().Find(r.id);
        expect(editor, r.topic);
        if (editor)
            expect(editor->focusWidget() ? editor->focusWidget() : editor, r.topic);
    }

    CFileRecordDlg file(doc, 24, 6);
    expect(&file, "files.htm");
    CFileChangedDlg changed("scan.pdf", 0);
    expect(&changed, "files.htm");
    CNewFolderDlg newFolder(doc, 1, "");
    expect(&newFolder, "folders.htm");
    CMoveToFolderDlg move(doc, 3);
    expect(&move, "folders.htm");
    CFolderPickerDlg picker(doc, 1);
    expect(&picker, "folders.htm");
    CFolderPropertiesDlg properties(doc, 3);
    expect(&properties, "folders.htm");
    CChangeIconDlg icon(3);
    expect(&icon, "editors.htm");
    CCustomFieldDlg field;
    expect(&field, "customfields.htm");
    CLinkEditorDlg link(QStringLiteral("example.org"));
    expect(&link, "url.htm");
    CPasGenDlg generator(TresorixSettings());
    expect(&generator, "pasgen.htm");
    CBackupDlg backup(path, false, false);
    expect(&backup, "backup.htm");
    CBackupOptinsDlg backupOptions(path);
    expect(&backupOptions, "backup.htm");
    CDatabaseManagerDlg manager(doc, path);
    expect(&manager, "database.htm");
    CChangePaswordDlg password(doc);
    expect(&password, "database.htm");
    CCreationWizard creation;
    expect(&creation, "newfile.htm");
    CCsvImportWizard import(doc, TresorixSettings(), 1);
    expect(&import, "import.htm");
    CExportWizard exporter(doc, TresorixSettings());
    expect(&exporter, "export.htm");
    COptionsSheet options(false);
    expect(&options, "options.htm");
    for (const char* page : {"AutoLogoutPage", "TrayPage", "ClipboardPage"})
        expect(options.findChild<QWidget*>(QString::fromLatin1(page)), "protection.htm");
    expect(options.findChild<QWidget*>(QStringLiteral("AppearancePage")), "options.htm");
    CTipOfTheDayDlg tip;
    expect(&tip, "index.htm");
}

void HelpTest::TipsGoRoundAndContinueWhereTheyStopped() {
    const int count = CTipOfTheDayDlg::TipCount();
    QVERIFY(count >= 5);
    int last = 0;
    {
        CTipOfTheDayDlg tip;
        QSet<QString> texts;
        const int first = tip.CurrentTip();
        for (int i = 0; i < count; ++i) {
            QVERIFY(!tip.TipText().isEmpty());
            texts.insert(tip.TipText());
            QTest::mouseClick(tip.NextButton(), Qt::LeftButton);
        }
        QCOMPARE(texts.size(), count);
        QCOMPARE(tip.CurrentTip(), first);
        last = tip.CurrentTip();
    }
    CTipOfTheDayDlg again;
    QCOMPARE(again.CurrentTip(), (last + 1) % count);
    auto* close = again.findChild<QPushButton*>(QStringLiteral("CloseTip"));
    QVERIFY(close);
    again.show();
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!again.isVisible());
    QCOMPARE(again.result(), int(QDialog::Rejected));
}

TX_APP_TEST_MAIN(HelpTest)
#include "HelpTest.moc"

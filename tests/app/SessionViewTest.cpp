#include "SampleSession.h"

#include "app/Messages.h"
#include "platform/TresorixSettings.h"
#include "ui/HeaderState.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>

#include <string>

using apptest::CAppHarness;
using apptest::CSampleSession;

namespace {

// Widths 120..150, columns shown in reverse, sorted by Date Modified descending.
const std::string kGoodColumns = "0120 0130 0140 0150 0003 0002 0001 0000 0002 0000";

const QString kNotLoggedIn = QStringLiteral("You are not logged in...");

} // namespace

// The stored list state, the logged-out views and the window title.
class SessionViewTest : public QObject {
    Q_OBJECT

private slots:
    void StoredColumnsOfTheRightLengthAreApplied();
    void StoredColumnsOfAnyOtherLengthAreIgnored_data();
    void StoredColumnsOfAnyOtherLengthAreIgnored();
    void LoggedOutViewsSayNotLoggedIn();
    void TitleFollowsAdvancedCaption();
};

void SessionViewTest::StoredColumnsOfTheRightLengthAreApplied() {
    CAppHarness h;
    h.store.WriteProfileString("MainListView", "Columns", kGoodColumns);
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QHeaderView* header = s.List().Details()->header();
    QCOMPARE(header->logicalIndex(0), 3);
    QCOMPARE(header->logicalIndex(3), 0);
    // Name is shown last, where the header stretches it; the others keep their widths.
    QCOMPARE(header->sectionSize(1), 130);
    QCOMPARE(header->sectionSize(2), 140);
    QCOMPARE(header->sectionSize(3), 150);
    QCOMPARE(s.Model().SortColumn(), int(CTxListModel::kModified));
    QCOMPARE(s.Model().SortOrder(), Qt::DescendingOrder);
    QCOMPARE(header->sortIndicatorSection(), int(CTxListModel::kModified));
    s.Open(7); // Router admin, Example docs, Wi-Fi by modification time, newest first
    QCOMPARE(s.Ids(), (std::vector<int>{22, 17, 14}));
}

void SessionViewTest::StoredColumnsOfAnyOtherLengthAreIgnored_data() {
    QTest::addColumn<QString>("columns");
    const QString good = QString::fromStdString(kGoodColumns);
    QTest::newRow("one short") << good.left(good.size() - 1);
    QTest::newRow("trailing blank") << good + QLatin1Char(' ');
    QTest::newRow("five columns") << QStringLiteral("0120 0130 0140 0150 0160 0004 0003 0002 "
                                                    "0001 0000 0002 0000");
    QTest::newRow("three columns") << QStringLiteral("0120 0130 0140 0002 0001 0000 0002 0000");
    QTest::newRow("empty") << QString();
}

void SessionViewTest::StoredColumnsOfAnyOtherLengthAreIgnored() {
    QFETCH(QString, columns);
    CAppHarness h;
    h.store.WriteProfileString("MainListView", "Columns", columns.toStdString());
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QHeaderView* header = s.List().Details()->header();
    // Initial widths, natural order, Name ascending.
    for (int i = 0; i < CTxListModel::kColumnCount; ++i)
        QCOMPARE(header->logicalIndex(i), i);
    QCOMPARE(header->sectionSize(0), 250);
    QCOMPARE(header->sectionSize(1), 250);
    QCOMPARE(header->sectionSize(2), 100);
    QCOMPARE(s.Model().SortColumn(), int(CTxListModel::kName));
    QCOMPARE(s.Model().SortOrder(), Qt::AscendingOrder);
    // What is written back at the end is a sound state again.
    s.Frame().close();
    s.app->ExitInstance();
    const std::string saved = h.store.GetProfileString("MainListView", "Columns", "");
    QCOMPARE(saved.size(), std::size_t(49));
    CHeaderState state;
    QVERIFY(state.Parse(saved, CTxListModel::kColumnCount));
    QCOMPARE(state.widths[0], 250);
    QCOMPARE(state.order, (std::vector<int>{0, 1, 2, 3}));
    QCOMPARE(state.sortColumn, int(CTxListModel::kName));
    QCOMPARE(state.sortAscending, 1);
}

void SessionViewTest::LoggedOutViewsSayNotLoggedIn() {
    CAppHarness h;
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Open(3);
    s.List().SelectId(11);
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->HeaderText(), QStringLiteral("Email Accounts"));

    s.Frame().OnCommand(32817);
    QCoreApplication::processEvents();
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(s.Frame().isVisible());
    QCOMPARE(s.Model().rowCount(), 0);
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->HeaderText(), kNotLoggedIn);
    QVERIFY(s.List().SelectedIds().empty());
    // Views asked to refill while logged out stay empty.
    s.List().RefillFolder();
    s.Doc().UpdateAllViews(nullptr, CTxDoc::kHintReloadAll);
    QCoreApplication::processEvents();
    QCOMPARE(s.Model().rowCount(), 0);
    QCOMPARE(s.Tree().Model()->rowCount(), 1);
    QCOMPARE(s.Tree().Model()->item(0)->text(), QStringLiteral("Please login..."));
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->HeaderText(), kNotLoggedIn);

    // Logging in again brings the folder header back.
    QVERIFY(s.Relogin());
    s.Open(3);
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->HeaderText(), QStringLiteral("Email Accounts"));
}

void SessionViewTest::TitleFollowsAdvancedCaption() {
    CAppHarness h;
    h.store.WriteProfileInt("Settings", "View_AdvancedCaption", 1);
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const QString prefix = QStringLiteral("Tresorix Pro - ");
    // Shown with the path from the start, without being asked.
    QCOMPARE(s.Frame().windowTitle(), prefix + s.vault);

    s.Frame().OnCommand(32817);
    QCoreApplication::processEvents();
    QCOMPARE(s.Frame().windowTitle(), prefix + kNotLoggedIn);
    // The Layout page's change code re-reads the setting.
    TresorixSettings().View_AdvancedCaption = 0;
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeLayout);
    QCOMPARE(s.Frame().windowTitle(), QStringLiteral("Tresorix Pro"));
    TresorixSettings().View_AdvancedCaption = 1;
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeLayout);
    QCOMPARE(s.Frame().windowTitle(), prefix + kNotLoggedIn);

    // Logging in to another file names that file.
    const QString other = h.dir.filePath(QStringLiteral("other.tpx"));
    QVERIFY(QFile::copy(s.vault, other));
    QFile::setPermissions(other, QFile::ReadOwner | QFile::WriteOwner);
    {
        apptest::CModalScript script;
        script.Add(apptest::LoginAsCarol);
        QVERIFY(s.app->SwitchDataFile(other.toStdString()));
        QCoreApplication::processEvents();
    }
    QCOMPARE(s.Frame().windowTitle(), prefix + other);
    TresorixSettings().View_AdvancedCaption = 0;
    s.Frame().OnMessage(msg::kOptionChanged, msg::kChangeLayout);
    QCOMPARE(s.Frame().windowTitle(), QStringLiteral("Tresorix Pro"));
}

TX_APP_TEST_MAIN(SessionViewTest)
#include "SessionViewTest.moc"

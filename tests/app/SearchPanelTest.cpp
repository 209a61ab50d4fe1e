// The search view of the main window over copies of the fixture vaults.
#include "SampleSession.h"

#include "app/FolderPickerDlg.h"
#include "app/HelpWindow.h"
#include "app/SearchLeftPane.h"
#include "app/SearchOptionsPanel.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>

#include <algorithm>
#include <atomic>
#include <memory>

using namespace apptest;

namespace {

constexpr unsigned kIdNoSearchOption = 62220;
constexpr unsigned kIdNoResults = 62224;
constexpr unsigned kIdNotLoggedIn = 61333;
// Generous bounds for a debug or sanitizer build; they only limit a failing wait.
constexpr int kSearchTimeoutMs = 120000;

// The program logged in to a copy of a fixture vault, the search view shown.
struct CSearchSession {
    CSearchSession(CAppHarness& harness, const QString& file, const QString& user,
                   const QString& password)
        : h(harness), vault(CopyVault(h.dir, file)), m_user(user), m_password(password) {}

    bool Start() {
        if (vault.isEmpty())
            return false;
        CModalScript script;
        script.Add([this](QDialog& d) {
            auto& login = dynamic_cast<CPasswordDlg&>(d);
            login.UsernameBox()->setText(m_user);
            login.PasswordBox()->setText(m_password);
            login.accept();
            return Finish(d);
        });
        app = std::make_unique<CTresorixApp>(h.Options());
        if (!app->InitInstance({QStringLiteral("tresorix"), vault}))
            return false;
        Frame().Left()->SwitchView(CLeftFrame::kSearch);
        QCoreApplication::processEvents();
        return script.Done() && script.Unexpected() == 0;
    }

    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CTxDoc& Doc() { return *app->GetDocument(); }
    CSearchOptionsPanel& Panel() { return *Frame().Left()->Search()->Panel(); }
    std::vector<int> Results() { return Doc().GetSearchResults(); }
    std::vector<int> ListIds() {
        std::vector<int> ids;
        CTxListModel& model = Frame().Right()->List()->Model();
        for (int r = 0; r < model.rowCount(); ++r)
            ids.push_back(model.Row(r).id);
        return ids;
    }

    // Checks exactly the given field boxes (sub-folders separately).
    void SetFields(std::initializer_list<int> fields, bool subfolders = true) {
        for (int i = 0; i < CSearchOptionsPanel::kSubfolders; ++i)
            Panel().FieldBox(i)->setChecked(std::find(fields.begin(), fields.end(), i) !=
                                            fields.end());
        Panel().FieldBox(CSearchOptionsPanel::kSubfolders)->setChecked(subfolders);
    }
    void SetType(int filter) {
        Panel().TypeBox()->setCurrentIndex(Panel().TypeBox()->findData(filter));
    }
    // Presses the start button and waits for the end of the search.
    bool Search(const QString& text) {
        Panel().SearchForBox()->setEditText(text);
        QTest::mouseClick(Panel().StartButton(), Qt::LeftButton);
        return QTest::qWaitFor(
            [this] { return !Panel().IsRunning() && !Panel().Machine().IsRunning(); },
            kSearchTimeoutMs);
    }

    CAppHarness& h;
    QString vault;
    std::unique_ptr<CTresorixApp> app;

private:
    QString m_user;
    QString m_password;
};

// Holds the worker inside its first report of a result, so that a test can look at the
// window while the search is still running. Opened (at the latest) when it goes.
class CWorkerGate {
public:
    explicit CWorkerGate(CSearchOptionsPanel& panel) : m_state(std::make_shared<STATE>()) {
        std::shared_ptr<STATE> state = m_state;
        panel.Machine().SetWakeCallback([state, &panel] {
            panel.QueueDelivery();
            if (state->wakes.fetch_add(1) == 0)
                state->semaphore.acquire();
        });
    }
    ~CWorkerGate() { Open(); }
    void Open() {
        if (!m_state->opened.exchange(true))
            m_state->semaphore.release(1);
    }

private:
    struct STATE {
        QSemaphore semaphore;
        std::atomic<int> wakes{0};
        std::atomic<bool> opened{false};
    };
    std::shared_ptr<STATE> m_state;
};

// A session on sample.tpx or big.tpx, the search view shown; skipped without fixtures.
#define START_SESSION(s, h, file, user, password)                                                  \
    CSearchSession s(h, QStringLiteral(file), QStringLiteral(user), QStringLiteral(password));     \
    if (s.vault.isEmpty())                                                                         \
        QSKIP("fixtures missing");                                                                 \
    QVERIFY(s.Start())
#define START_SAMPLE(s, h) START_SESSION(s, h, "sample.tpx", "carol", "S3cret!pass")
#define START_BIG(s, h) START_SESSION(s, h, "big.tpx", "dave", "big")

std::vector<int> Sorted(std::vector<int> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

class SearchPanelTest : public QObject {
    Q_OBJECT

private slots:
    void FormStartsWithItsListsAndTheStoredOptions();
    void EachFieldBoxIsBoundToItsSetting();
    void TypeOfItemFiltersTheResults();
    void LookInBrowsesForAFolderAndKeepsItListed();
    void MissingFieldOptionAndEmptyResultAreReported();
    void SearchWithoutLoginReportsBothBoxes();
    void HistoryIsSortedStoredAndForgetsOldTexts();
    void TypingCompletesFromTheHistory();
    void EnterMovesToTheNextControl();
    void ResultsArriveWhileTheWorkerRuns();
    void StopFreesTheButtonAndTheNextSearchWaitsForTheOldWorker();
    void ResultsWaitWhileAnotherViewFillsTheList();
    void LogoutDuringASearchEndsItQuietly();
    void HelpOpensTheSearchTopic();
    void StoredSearchViewShowsItsResultsAtStart();
};

void SearchPanelTest::FormStartsWithItsListsAndTheStoredOptions() {
    CAppHarness h;
    // Stored options, not the defaults, come into the check boxes.
    h.store.WriteProfileInt("Settings", "Search_AddressChecked", 1);
    h.store.WriteProfileInt("Settings", "Search_LoginCheked", 0);
    START_SAMPLE(s, h);
    CSearchOptionsPanel& p = s.Panel();

    QCOMPARE(p.StartButton()->text(), QStringLiteral("Start Search"));
    const std::vector<std::pair<QString, int>> types = {
        {QStringLiteral("Any Type"), 0},    {QStringLiteral("Password"), 1},
        {QStringLiteral("Credit Card"), 2}, {QStringLiteral("Note"), 4},
        {QStringLiteral("File"), 3},        {QStringLiteral("URL (Web Link)"), 5}};
    QCOMPARE(p.TypeBox()->count(), int(types.size()));
    for (int i = 0; i < p.TypeBox()->count(); ++i) {
        QCOMPARE(p.TypeBox()->itemText(i), types[i].first);
        QCOMPARE(p.TypeBox()->itemData(i).toInt(), types[i].second);
        QCOMPARE(p.TypeBox()->itemIcon(i).isNull(), i == 0);
    }
    QCOMPARE(p.TypeFilter(), 0);

    QCOMPARE(p.LookInBox()->count(), 2);
    QCOMPARE(p.LookInBox()->itemText(0), QStringLiteral("My Passwords"));
    QVERIFY(!p.LookInBox()->itemIcon(0).isNull());
    QCOMPARE(p.LookInBox()->itemText(1), QStringLiteral("Browse..."));
    QCOMPARE(p.LookInBox()->currentIndex(), 0);
    QCOMPARE(p.LookInFolder(), 1);

    const bool expected[] = {true, false, true, true, false, true, false, true};
    for (int i = 0; i < CSearchOptionsPanel::kFieldCount; ++i)
        QCOMPARE(p.FieldBox(i)->isChecked(), expected[i]);

    // Results of the view and its header.
    QVERIFY(s.Search(QStringLiteral("gmail")));
    QCOMPARE(s.Results(), (std::vector<int>{11}));
    QCOMPARE(s.ListIds(), (std::vector<int>{11}));
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->HeaderText(), QStringLiteral("Search Results..."));

    // Other notifications keep the results under that header, not the folder's items.
    s.Doc().UpdateAllViews(nullptr, CTxDoc::kHintRecordsChanged);
    s.Doc().UpdateAllViews(nullptr, CTxDoc::kHintReloadAll);
    QCOMPARE(s.ListIds(), (std::vector<int>{11}));
}

void SearchPanelTest::EachFieldBoxIsBoundToItsSetting() {
    CAppHarness h;
    START_SAMPLE(s, h);
    using O = CSearchMachine::OPTIONS;
    const struct {
        const char* text;
        int CTresorixSettings::*setting;
        bool O::*option;
    } boxes[] = {
        {"Item's name", &CTresorixSettings::Search_NameChecked, &O::name},
        {"Login (for passwords)", &CTresorixSettings::Search_LoginCheked, &O::login},
        {"URL / E-mail", &CTresorixSettings::Search_URLChecked, &O::url},
        {"Comments", &CTresorixSettings::Search_CommentsChecked, &O::comments},
        {"Cardholder's name (for credit cards)", &CTresorixSettings::Search_CardholderChecked,
         &O::cardholder},
        {"Billing address (for credit cards)", &CTresorixSettings::Search_AddressChecked,
         &O::address},
        {"Filename (for files)", &CTresorixSettings::Search_FilenameChecked, &O::filename},
    };
    CTresorixSettings& settings = s.app->Settings();
    for (int i = 0; i < CSearchOptionsPanel::kSubfolders; ++i) {
        QCOMPARE(s.Panel().FieldBox(i)->text(), QString::fromUtf8(boxes[i].text));
        s.SetFields({i}, false);
        QVERIFY(s.Search(QStringLiteral("no such text anywhere")));
        for (int j = 0; j < CSearchOptionsPanel::kSubfolders; ++j) {
            QCOMPARE(settings.*boxes[j].setting, i == j ? 1 : 0);
            QCOMPARE(s.Panel().Machine().GetOptions().*boxes[j].option, i == j);
        }
        QCOMPARE(settings.Search_SubfoldersChecked, 0);
        QVERIFY(!s.Panel().Machine().GetOptions().subfolders);
    }
    QCOMPARE(s.Panel().FieldBox(CSearchOptionsPanel::kSubfolders)->text(),
             QStringLiteral("Search in subfolders"));

    // The fields reach the search: the cardholder's name, then the city of the address.
    s.SetFields({CSearchOptionsPanel::kCardholder});
    QVERIFY(s.Search(QStringLiteral("smith")));
    QCOMPARE(s.Results(), (std::vector<int>{19, 20}));
    s.SetFields({CSearchOptionsPanel::kAddress});
    QVERIFY(s.Search(QStringLiteral("abidjan")));
    QCOMPARE(s.Results(), (std::vector<int>{20}));
}

void SearchPanelTest::TypeOfItemFiltersTheResults() {
    CAppHarness h;
    START_SAMPLE(s, h);
    s.SetFields({CSearchOptionsPanel::kName});
    // Depth first from the root: the recycle bin (child 2) comes first.
    s.SetType(CSearchMachine::kNoteType);
    QVERIFY(s.Search(QString()));
    QCOMPARE(s.Results(), (std::vector<int>{23, 21, 22}));
    QCOMPARE(Sorted(s.ListIds()), (std::vector<int>{21, 22, 23}));
    s.SetType(CSearchMachine::kUrlType);
    QVERIFY(s.Search(QString()));
    QCOMPARE(s.Results(), (std::vector<int>{18, 17}));
    s.SetType(CSearchMachine::kPasswordType);
    QVERIFY(s.Search(QString()));
    QCOMPARE(s.Results(), (std::vector<int>{16, 11, 15, 18, 12, 13, 14, 17}));
    s.SetType(CSearchMachine::kCreditCardType);
    QVERIFY(s.Search(QString()));
    QCOMPARE(s.Results(), (std::vector<int>{19, 20}));
    s.SetType(CSearchMachine::kFileType);
    QVERIFY(s.Search(QString()));
    QCOMPARE(s.Results(), (std::vector<int>{25, 24}));
}

void SearchPanelTest::LookInBrowsesForAFolderAndKeepsItListed() {
    CAppHarness h;
    START_SAMPLE(s, h);
    CSearchOptionsPanel& p = s.Panel();
    QComboBox* lookIn = p.LookInBox();
    auto pick = [](int folder) {
        return [folder](QDialog& d) {
            auto& picker = dynamic_cast<CFolderPickerDlg&>(d);
            if (folder > 0) {
                picker.Select(folder);
                picker.accept();
            } else {
                picker.reject();
            }
            return Finish(d);
        };
    };
    {
        CModalScript script;
        script.Add(pick(5));
        lookIn->setCurrentIndex(1);
        emit lookIn->activated(1);
        QVERIFY(script.Done());
    }
    QCOMPARE(lookIn->count(), 3);
    QCOMPARE(lookIn->itemText(1), QStringLiteral("Business"));
    QCOMPARE(lookIn->itemText(2), QStringLiteral("Browse..."));
    QCOMPARE(p.LookInFolder(), 5);

    s.SetFields({CSearchOptionsPanel::kName});
    QVERIFY(s.Search(QString()));
    QCOMPARE(s.Results(), (std::vector<int>{15, 18, 25, 12}));
    s.SetFields({CSearchOptionsPanel::kName}, false);
    QVERIFY(s.Search(QString()));
    QCOMPARE(s.Results(), (std::vector<int>{12}));

    // Cancel goes back to the first entry; a folder listed already is not added twice.
    {
        CModalScript script;
        script.Add(pick(0));
        script.Add(pick(5));
        lookIn->setCurrentIndex(2);
        emit lookIn->activated(2);
        QCOMPARE(lookIn->currentIndex(), 0);
        lookIn->setCurrentIndex(2);
        emit lookIn->activated(2);
        QVERIFY(script.Done());
    }
    QCOMPARE(lookIn->count(), 3);
    QCOMPARE(p.LookInFolder(), 5);

    // Renamed folders are renamed in the list; folders gone for good leave it.
    QVERIFY(p.SelectLookInFolder(10));
    QCOMPARE(lookIn->count(), 4);
    TComPtr<ITreeItem> node = s.Doc().GetNode(5);
    TComPtr<ICommonProperties> business = s.Doc().GetRecord(5);
    business->SetName("Work");
    node->SetData(business.Get());
    s.Doc().UpdateAllViews(nullptr, CTxDoc::kHintShowFolder, 5);
    QCOMPARE(lookIn->itemText(lookIn->findData(5)), QStringLiteral("Work"));
    h.messages.Script({IDYES});
    QVERIFY(s.Doc().EmptyRecycleBin());
    QCOMPARE(lookIn->findData(10), -1);
    QCOMPARE(lookIn->currentIndex(), 0);
    QCOMPARE(lookIn->count(), 3);
}

void SearchPanelTest::MissingFieldOptionAndEmptyResultAreReported() {
    CAppHarness h;
    START_SAMPLE(s, h);
    s.SetFields({CSearchOptionsPanel::kName});
    QVERIFY(s.Search(QStringLiteral("gmail")));
    QCOMPARE(h.Count(kIdNoResults), 0);

    // Only "Search in subfolders": nothing starts, the last results stay.
    h.messages.Clear();
    s.SetFields({}, true);
    QTest::mouseClick(s.Panel().StartButton(), Qt::LeftButton);
    QCOMPARE(s.Panel().StartButton()->text(), QStringLiteral("Start Search"));
    QVERIFY(!s.Panel().Machine().IsRunning());
    QCOMPARE(s.Results(), (std::vector<int>{11}));
    QCOMPARE(int(h.messages.Messages().size()), 1);
    QCOMPARE(h.messages.Messages()[0].text, LoadString(kIdNoSearchOption));
    QCOMPARE(h.messages.Messages()[0].caption, AppCaption());

    h.messages.Clear();
    s.SetFields({CSearchOptionsPanel::kName, CSearchOptionsPanel::kComments});
    QVERIFY(s.Search(QStringLiteral("zzyzx")));
    QVERIFY(s.Results().empty());
    QCOMPARE(int(h.messages.Messages().size()), 1);
    QCOMPARE(h.messages.Messages()[0].text, LoadString(kIdNoResults));
    QCOMPARE(h.messages.Messages()[0].caption, std::string("Search Results..."));
}

void SearchPanelTest::SearchWithoutLoginReportsBothBoxes() {
    CAppHarness h;
    START_SAMPLE(s, h);
    s.Frame().OnCommand(32817);
    QVERIFY(!s.Doc().IsAuthorised());
    h.messages.Clear();
    QVERIFY(s.Search(QStringLiteral("gmail")));
    QTRY_COMPARE(int(h.messages.Messages().size()), 2);
    QCOMPARE(h.messages.Messages()[0].text, LoadString(kIdNotLoggedIn));
    QCOMPARE(h.messages.Messages()[0].caption, std::string("Search"));
    QCOMPARE(h.messages.Messages()[1].text, LoadString(kIdNoResults));
    QCOMPARE(s.Panel().StartButton()->text(), QStringLiteral("Start Search"));
}

void SearchPanelTest::HistoryIsSortedStoredAndForgetsOldTexts() {
    CAppHarness h;
    START_SAMPLE(s, h);
    s.SetFields({CSearchOptionsPanel::kName});
    QComboBox* box = s.Panel().SearchForBox();
    QVERIFY(s.Search(QStringLiteral("Oldest")));
    for (const char* text :
         {"kilo", "bravo", "juliett", "echo", "golf", "alfa", "india", "delta", "hotel"})
        QVERIFY(s.Search(QString::fromLatin1(text)));
    // Known again (in any case): nothing ages.
    QVERIFY(s.Search(QStringLiteral("OLDEST")));
    QCOMPARE(box->count(), 10);
    QCOMPARE(box->itemText(0), QStringLiteral("alfa"));
    QCOMPARE(box->itemText(8), QStringLiteral("kilo"));
    QCOMPARE(box->itemText(9), QStringLiteral("Oldest"));
    QCOMPARE(box->currentText(), QStringLiteral("OLDEST"));

    // The eleventh text pushes the oldest out, and the box is stored as it is shown.
    QVERIFY(s.Search(QStringLiteral("charlie")));
    QCOMPARE(box->count(), 10);
    QCOMPARE(box->findText(QStringLiteral("Oldest")), -1);
    QCOMPARE(box->itemText(box->currentIndex()), QStringLiteral("charlie"));
    QCOMPARE(h.store.GetProfileInt("SearchLookIn", "Count", -1), 10);
    for (int i = 0; i < box->count(); ++i)
        QCOMPARE(
            QString::fromStdString(h.store.GetProfileString("SearchLookIn", std::to_string(i), {})),
            box->itemText(i));
    QCOMPARE(h.store.GetProfileInt("SearchLookIn", "2.DATA", -1), 0); // charlie
    QCOMPARE(h.store.GetProfileInt("SearchLookIn", "9.DATA", -1), 9); // kilo
    QCOMPARE(h.store.GetProfileString("SearchLookIn", "", {}), std::string("charlie"));

    // A new form reads it back, with the last text in the box.
    CSearchOptionsPanel again(s.Doc());
    QCOMPARE(again.SearchForBox()->count(), 10);
    QCOMPARE(again.SearchForBox()->itemText(0), QStringLiteral("alfa"));
    QCOMPARE(again.SearchForBox()->currentText(), QStringLiteral("charlie"));
}

void SearchPanelTest::TypingCompletesFromTheHistory() {
    CAppHarness h;
    START_SAMPLE(s, h);
    s.SetFields({CSearchOptionsPanel::kName});
    QVERIFY(s.Search(QStringLiteral("Gmail")));
    QVERIFY(s.Search(QStringLiteral("gamma")));
    // Keys go to the box, which has the focus, and on to its edit.
    QComboBox* box = s.Panel().SearchForBox();
    QLineEdit* edit = box->lineEdit();
    edit->clear();
    QTest::keyClicks(box, QStringLiteral("gm"));
    QCOMPARE(edit->text(), QStringLiteral("Gmail"));
    QCOMPARE(edit->selectedText(), QStringLiteral("ail"));
    // Backspace takes the completion away and is not completed again.
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("Gm"));
    QVERIFY(!edit->hasSelectedText());
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("G"));
    // Typing on completes again, with the first entry in the list's order.
    QTest::keyClicks(box, QStringLiteral("a"));
    QCOMPARE(edit->text(), QStringLiteral("gamma"));
    QCOMPARE(edit->selectedText(), QStringLiteral("mma"));
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, QStringLiteral("x"));
    QCOMPARE(edit->text(), QStringLiteral("gammax"));
}

void SearchPanelTest::EnterMovesToTheNextControl() {
    CAppHarness h;
    START_SAMPLE(s, h);
    s.Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.Frame()));
    CSearchOptionsPanel& p = s.Panel();
    // Showing the view puts the focus into the text.
    s.Frame().Left()->SwitchView(CLeftFrame::kTree);
    s.Frame().Left()->SwitchView(CLeftFrame::kSearch);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(p.SearchForBox()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(p.FieldBox(0)));
    p.TypeBox()->setFocus();
    QTest::keyClick(p.TypeBox(), Qt::Key_Enter);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(p.LookInBox()));
    QVERIFY(!p.Machine().IsRunning());

    // On the button Enter presses it.
    s.SetFields({CSearchOptionsPanel::kName});
    p.SearchForBox()->setEditText(QStringLiteral("gmail"));
    p.StartButton()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(p.StartButton()));
    QTest::keyClick(p.StartButton(), Qt::Key_Return);
    QTRY_COMPARE(s.Results(), (std::vector<int>{11}));
    QTRY_COMPARE(p.StartButton()->text(), QStringLiteral("Start Search"));
}

void SearchPanelTest::ResultsArriveWhileTheWorkerRuns() {
    CAppHarness h;
    START_BIG(s, h);
    CSearchOptionsPanel& p = s.Panel();
    s.SetFields({CSearchOptionsPanel::kName});
    p.SearchForBox()->setEditText(QString());
    CWorkerGate gate(p);
    QTest::mouseClick(p.StartButton(), Qt::LeftButton);
    QCOMPARE(p.StartButton()->text(), QStringLiteral("Stop"));
    // The first result is listed while the worker is held inside the search.
    QTRY_VERIFY(!s.ListIds().empty());
    QVERIFY(p.Machine().IsRunning());
    QCOMPARE(p.StartButton()->text(), QStringLiteral("Stop"));
    QCOMPARE(s.ListIds().size(), s.Results().size());
    gate.Open();
    QTRY_VERIFY_WITH_TIMEOUT(!p.IsRunning(), kSearchTimeoutMs);
    QCOMPARE(p.StartButton()->text(), QStringLiteral("Start Search"));
    // Every record of the file, each once.
    std::vector<int> all = Sorted(s.Results());
    QCOMPARE(int(all.size()), 3000);
    QVERIFY(std::adjacent_find(all.begin(), all.end()) == all.end());
    QCOMPARE(int(s.ListIds().size()), 3000);
    QCOMPARE(h.Count(kIdNoResults), 0);
}

void SearchPanelTest::StopFreesTheButtonAndTheNextSearchWaitsForTheOldWorker() {
    CAppHarness h;
    START_BIG(s, h);
    CSearchOptionsPanel& p = s.Panel();
    s.SetFields({CSearchOptionsPanel::kName});
    p.SearchForBox()->setEditText(QString());
    auto gate = std::make_unique<CWorkerGate>(p);
    QTest::mouseClick(p.StartButton(), Qt::LeftButton);
    QTRY_VERIFY(!s.Results().empty());

    // Stop: the button is free at once, although the worker has not ended yet.
    QTest::mouseClick(p.StartButton(), Qt::LeftButton);
    QCOMPARE(p.StartButton()->text(), QStringLiteral("Start Search"));
    QVERIFY(!p.IsRunning());
    QVERIFY(p.Machine().IsRunning());

    // The next search waits for the old worker; nothing of the old one reaches its list.
    gate->Open();
    QVERIFY(s.Search(QStringLiteral("0009")));
    QCOMPARE(s.Results(), (std::vector<int>{52}));
    QCOMPARE(s.ListIds(), (std::vector<int>{52}));
    QCoreApplication::processEvents();
    QCOMPARE(s.Results(), (std::vector<int>{52}));
    QCOMPARE(h.Count(kIdNoResults), 0);
}

void SearchPanelTest::ResultsWaitWhileAnotherViewFillsTheList() {
    CAppHarness h;
    START_BIG(s, h);
    CSearchOptionsPanel& p = s.Panel();
    s.SetFields({CSearchOptionsPanel::kName});
    p.SearchForBox()->setEditText(QString());
    CWorkerGate gate(p);
    QTest::mouseClick(p.StartButton(), Qt::LeftButton);
    QTRY_VERIFY(!s.Results().empty());
    const std::size_t early = s.Results().size();

    // The folder tree takes the list; the search goes on but keeps its finds to itself.
    s.Frame().Left()->Tree()->SelectFolder(3, true);
    s.Frame().Left()->SwitchView(CLeftFrame::kTree);
    QCoreApplication::processEvents();
    const std::vector<int> folderList = s.ListIds();
    gate.Open();
    QTRY_VERIFY_WITH_TIMEOUT(!p.Machine().IsRunning(), kSearchTimeoutMs);
    QCoreApplication::processEvents();
    QCOMPARE(s.ListIds(), folderList);
    QCOMPARE(s.Results().size(), early);
    QVERIFY(p.IsRunning());

    // Back in the search view the rest and the end arrive.
    s.Frame().Left()->SwitchView(CLeftFrame::kSearch);
    QTRY_VERIFY(!p.IsRunning());
    QCOMPARE(int(s.Results().size()), 3000);
    QCOMPARE(int(s.ListIds().size()), 3000);
}

void SearchPanelTest::LogoutDuringASearchEndsItQuietly() {
    CAppHarness h;
    START_BIG(s, h);
    CSearchOptionsPanel& p = s.Panel();
    s.SetFields({CSearchOptionsPanel::kName});
    p.SearchForBox()->setEditText(QStringLiteral("zzyzx"));
    QTest::mouseClick(p.StartButton(), Qt::LeftButton);
    QVERIFY(p.IsRunning());
    h.messages.Clear();
    s.Frame().OnCommand(32817);
    QVERIFY(!s.Doc().IsAuthorised());
    QVERIFY(!p.Machine().IsRunning());
    QCOMPARE(p.StartButton()->text(), QStringLiteral("Start Search"));
    QCoreApplication::processEvents();
    QCOMPARE(h.Count(kIdNoResults), 0);
    QVERIFY(s.Results().empty());
    QVERIFY(!p.Machine().IsConnectionOpen());
}

void SearchPanelTest::HelpOpensTheSearchTopic() {
    CAppHarness h;
    START_SAMPLE(s, h);
    s.Frame().Left()->Search()->OnHelp();
    QVERIFY(OpenHelpWindow());
    QCOMPARE(OpenHelpWindow()->CurrentTopic(), QStringLiteral("search.htm"));
    CloseHelpWindow();
}

void SearchPanelTest::StoredSearchViewShowsItsResultsAtStart() {
    CAppHarness h;
    h.store.WriteProfileInt("Settings", "View_SelectedView", 2);
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QCoreApplication::processEvents();
    QCOMPARE(s.Frame().Left()->CurrentView(), int(CLeftFrame::kSearch));
    // No search has run: the list is empty, not the folder's.
    QVERIFY(s.Ids().empty());
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->HeaderText(), QStringLiteral("Search Results..."));

    // The commands switch the view and store the choice; the check mark follows.
    s.Frame().OnCommand(32771);
    QCOMPARE(s.Frame().Left()->CurrentView(), int(CLeftFrame::kTree));
    s.Open(6);
    QVERIFY(!s.Ids().empty());
    s.Frame().OnCommand(32772);
    QCOMPARE(s.Frame().Left()->CurrentView(), int(CLeftFrame::kSearch));
    QCOMPARE(s.app->Settings().View_SelectedView, 2);
    QVERIFY(s.Frame().Action(32772)->isChecked());
    QVERIFY(s.Ids().empty());
}

TX_APP_TEST_MAIN(SearchPanelTest)
#include "SearchPanelTest.moc"

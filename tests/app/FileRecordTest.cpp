#include "SampleApp.h"

#include "app/AddFile.h"
#include "app/AppStrings.h"
#include "app/FileChangedDlg.h"
#include "app/FileEditPanel.h"
#include "app/FileRecordDlg.h"
#include "app/ProgressDlg.h"
#include "model/FileParts.h"
#include "platform/Shell.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"
#include "ui/FileDialogFilters.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

using apptest::CAppHarness;
using apptest::CSampleApp;

namespace {

constexpr int kFolder = 6;    // a folder of the sample
constexpr int kPassport = 24; // a file record in it
constexpr qint64 kBig = 10 * 1024 * 1024;

QByteArray Pattern(qint64 length, int seed) {
    QByteArray bytes(length, Qt::Uninitialized);
    quint32 state = 2166136261u ^ static_cast<quint32>(seed);
    for (qint64 i = 0; i < length; ++i) {
        state = state * 16777619u + 7u;
        bytes[i] = static_cast<char>(state >> 24);
    }
    return bytes;
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

int Count(CTxDoc& doc, const char* sql) {
    CursorPtr cursor(doc.GetDatabase()->Query(sql));
    CRow* raw = nullptr;
    if (!cursor || cursor->Fetch(raw) != 0 || !raw)
        return -1;
    RowPtr row(raw);
    FieldPtr field(row->GetField(0));
    return field->AsInt();
}

// What the stored bytes of record id are, read back through the core.
QByteArray Stored(CTxDoc& doc, const QString& scratch, int id) {
    const QString out = scratch + QStringLiteral("/stored.out");
    if (!CFileParts::SaveFileTo(out.toStdString(), id, doc.GetTresorix().Get()))
        return "<not stored>";
    return Read(out);
}

// Every progress window that opens: its label, the furthest the bar went, and optionally a
// click on Cancel as soon as it shows.
class CProgressWatch : public QObject {
public:
    explicit CProgressWatch(bool cancel = false) : m_cancel(cancel) {
        qApp->installEventFilter(this);
    }
    ~CProgressWatch() override { qApp->removeEventFilter(this); }

    QStringList labels;
    int furthest = -1;
    int maximum = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<CProgressDlg*>(watched);
        if (dialog && event->type() == QEvent::Show && !m_seen.contains(dialog)) {
            m_seen << dialog;
            labels << dialog->Label()->text();
            QObject::connect(dialog->Bar(), &QProgressBar::valueChanged, this,
                             [this, dialog](int v) {
                                 furthest = std::max(furthest, v);
                                 maximum = dialog->Bar()->maximum();
                             });
            if (m_cancel && dialog->CancelButton())
                dialog->CancelButton()->click();
        }
        return false;
    }

private:
    bool m_cancel;
    QList<QObject*> m_seen;
};

// Types path into a file dialog's name box and presses its accept button.
int TypeFile(QDialog& d, const QString& path) {
    auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!name)
        return -2;
    name->setText(path);
    d.accept();
    return apptest::Finish(d);
}

// Picks path in the add-file dialog (optionally with filter number filter, 1-based).
apptest::CModalScript::STEP PickFile(const QString& path, int filter = 0) {
    return [path, filter](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        if (filter > 0)
            dialog.selectNameFilter(dialog.nameFilters().at(filter - 1));
        return TypeFile(d, path);
    };
}

CFileRecordDlg& RecordDlg(QDialog& d) {
    return dynamic_cast<CFileRecordDlg&>(d);
}

} // namespace

class FileRecordTest : public QObject {
    Q_OBJECT

private slots:
    void FilterListKeepsLabelsAndMatchesEveryPattern();
    void BigFileIsAddedWithProgressAndSavedBackIdentical();
    void FolderAndFilterAreRemembered();
    void CancelledOrFailedStoreAddsNothing();
    void OpenedCopyChangesFollowTheChosenAction();
    void UnsavedChangesAreAskedAboutAndBlockLogout();
};

void FileRecordTest::FilterListKeepsLabelsAndMatchesEveryPattern() {
    const QStringList filters = FileDialogFilters(LoadString(63401));
    QCOMPARE(filters.size(), 8);
    QCOMPARE(filters[0], QStringLiteral("All Files (*.*) (*)"));
    // The music label lists fewer patterns than the filter matches.
    QCOMPARE(filters[2], QStringLiteral("Music Files (*.mp3;*.wav;*.mid;*.snd;*.au) "
                                        "(*.mp3 *.wav *.mid *.midi *.mp2 *.mp1 *.snd *.au)"));
    QVERIFY(filters[7].startsWith(QStringLiteral("Archives (")));
    QCOMPARE(FileDialogFilters(LoadString(63402)),
             QStringList{QStringLiteral("All Files (*.*) (*)")});
    QVERIFY(FileDialogFilters(QString()).isEmpty());
    QVERIFY(FileDialogFilters(QStringLiteral("Broken|")).size() == 1);
    // A label listing its patterns with commas must not hide the files they name.
    const QStringList html = FileDialogFilters(LoadString(62410));
    QVERIFY(!html.isEmpty());
    QVERIFY(html[0].endsWith(QStringLiteral("(*.htm *.html)")));
}

void FileRecordTest::BigFileIsAddedWithProgressAndSavedBackIdentical() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const QString source = h.dir.filePath(QStringLiteral("holiday.video.avi"));
    const QByteArray bytes = Pattern(kBig, 1);
    QVERIFY(Write(source, bytes));
    const int records = Count(s.Doc(), "select count(*) from tresorix_main");

    QString title;
    bool saveToDiskEnabled = true;
    s.script->Add([&](QDialog& d) {
        title = d.windowTitle();
        return PickFile(source)(d);
    });
    s.script->Add([&](QDialog& d) {
        CFileRecordDlg& dialog = RecordDlg(d);
        CFileEditPanel* panel = dialog.Panel();
        if (panel->NameBox()->text() != QStringLiteral("holiday.video.avi") ||
            panel->FileNameBox()->text() != QStringLiteral("holiday.video.avi") ||
            panel->ExtensionLabel()->text() != QStringLiteral(".avi"))
            return -2;
        saveToDiskEnabled = panel->SaveToDiskButton()->isEnabled();
        panel->NameBox()->setText(QStringLiteral("Holiday"));
        panel->CommentsBox()->setPlainText(QStringLiteral("summer"));
        dialog.OkButton()->click();
        return apptest::Finish(d);
    });
    int id = 0;
    {
        CProgressWatch watch;
        id = RunAddFile(s.Doc(), kFolder, &s.Frame());
        QCOMPARE(watch.labels, QStringList{Tr(63201)});
        QVERIFY(watch.maximum > 0);
        QCOMPARE(watch.furthest, watch.maximum);
    }
    QVERIFY(s.script->Done());
    QCOMPARE(title, QStringLiteral("Select file for adding"));
    QVERIFY(!saveToDiskEnabled);
    QVERIFY(id > 0);
    QCOMPARE(Count(s.Doc(), "select count(*) from tresorix_main"), records + 1);
    QCOMPARE(s.Parent(id), kFolder);
    TComPtr<ICommonProperties> record = s.Doc().GetRecord(id);
    TComPtr<IFileProperties> file = record.As<IFileProperties>();
    QVERIFY(file);
    QCOMPARE(record->GetName(), std::string("Holiday"));
    QCOMPARE(record->GetComments(), std::string("summer"));
    QCOMPARE(file->GetFileName(), std::string("holiday.video.avi"));
    QCOMPARE(file->GetExtension(), std::string(".avi"));
    QCOMPARE(CFileParts::CountParts(id, *s.Doc().GetDatabase()), 20);

    // "Save file on disk...": named after the record, with progress, identical bytes; an
    // existing target is replaced only after a Yes.
    const QString target = h.dir.filePath(QStringLiteral("out/copy"));
    QVERIFY(QDir().mkpath(h.dir.filePath(QStringLiteral("out"))));
    QString proposed;
    QString suffix;
    auto saveStep = [&](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        proposed = dialog.selectedFiles().value(0);
        suffix = dialog.defaultSuffix();
        return TypeFile(d, target);
    };
    s.script->Add([&](QDialog& d) {
        RecordDlg(d).Panel()->SaveToDiskButton()->click();
        RecordDlg(d).Panel()->SaveToDiskButton()->click();
        d.reject();
        return apptest::Finish(d);
    });
    s.script->Add(saveStep);
    s.script->Add(saveStep);
    h.messages.Script({IDNO});
    {
        CProgressWatch watch;
        RunFileRecordDialog(s.Doc(), id, &s.Frame());
        QCOMPARE(watch.labels, QStringList{Tr(63202)});
    }
    QVERIFY(s.script->Done());
    QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("holiday.video.avi"));
    QCOMPARE(suffix, QStringLiteral("avi"));
    QCOMPARE(h.Count(63409), 1);
    QVERIFY(Read(target + QStringLiteral(".avi")) == bytes);
    QCOMPARE(s.script->Unexpected(), 0);
}

void FileRecordTest::FolderAndFilterAreRemembered() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    CTresorixSettings& settings = s.app->Settings();
    const QString folder = h.dir.filePath(QStringLiteral("pictures"));
    QVERIFY(QDir().mkpath(folder));
    const QString picture = folder + QStringLiteral("/cat.jpg");
    QVERIFY(Write(picture, Pattern(3000, 2)));

    // The stored "C:\" is no folder here: the dialog starts at home with the first filter.
    QString start;
    QString filter;
    s.script->Add([&](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        start = dialog.directory().absolutePath();
        filter = dialog.selectedNameFilter();
        return PickFile(picture, 5)(d);
    });
    s.script->Add([](QDialog& d) {
        RecordDlg(d).OkButton()->click();
        return apptest::Finish(d);
    });
    {
        CProgressWatch watch;
        QVERIFY(RunAddFile(s.Doc(), kFolder, &s.Frame()) > 0);
        QVERIFY(watch.labels.isEmpty());
    }
    QCOMPARE(start, QDir::homePath());
    QVERIFY(filter.startsWith(QStringLiteral("All Files")));
    QCOMPARE(QString::fromStdString(settings.Files_LastSelectedFolderAddFile), folder);
    QCOMPARE(settings.Files_LastSelectedFilterAddFile, 5);

    // The next time starts there; cancelling adds nothing and keeps what was stored.
    s.script->Add([&](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        start = dialog.directory().absolutePath();
        filter = dialog.selectedNameFilter();
        d.reject();
        return apptest::Finish(d);
    });
    QCOMPARE(RunAddFile(s.Doc(), kFolder, &s.Frame()), 0);
    QCOMPARE(start, folder);
    QVERIFY(filter.startsWith(QStringLiteral("Pictures (")));
    QCOMPARE(settings.Files_LastSelectedFilterAddFile, 5);
    QVERIFY(s.script->Done());
    QCOMPARE(s.script->Unexpected(), 0);
}

void FileRecordTest::CancelledOrFailedStoreAddsNothing() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    const int records = Count(s.Doc(), "select count(*) from tresorix_main");
    const int parts = Count(s.Doc(), "select count(*) from tresorix_data");

    // Cancel in the progress window: the save fails quietly and the dialog keeps its changes.
    const QString big = h.dir.filePath(QStringLiteral("big.bin"));
    QVERIFY(Write(big, Pattern(kBig, 3)));
    bool stayedOpen = false;
    s.script->Add(PickFile(big));
    s.script->Add([&](QDialog& d) {
        RecordDlg(d).OkButton()->click();
        stayedOpen = d.isVisible() && RecordDlg(d).IsModified() && RecordDlg(d).IsNew();
        h.messages.Script({IDNO});
        d.reject();
        return apptest::Finish(d);
    });
    {
        CProgressWatch watch(true);
        QCOMPARE(RunAddFile(s.Doc(), kFolder, &s.Frame()), 0);
        QCOMPARE(watch.labels.size(), 1);
    }
    QVERIFY(stayedOpen);
    QCOMPARE(h.Count(62711), 0);
    QCOMPARE(h.Count(61266), 1);

    // A file that cannot be read any more when the dialog saves: the read error is shown and
    // neither the record nor any part of it is left behind.
    const QString gone = h.dir.filePath(QStringLiteral("gone.txt"));
    QVERIFY(Write(gone, Pattern(600000, 4)));
    s.script->Add(PickFile(gone));
    s.script->Add([&](QDialog& d) {
        QFile::remove(gone);
        RecordDlg(d).OkButton()->click();
        stayedOpen = d.isVisible() && RecordDlg(d).IsNew();
        h.messages.Script({IDNO});
        d.reject();
        return apptest::Finish(d);
    });
    QCOMPARE(RunAddFile(s.Doc(), kFolder, &s.Frame()), 0);
    QVERIFY(stayedOpen);
    QCOMPARE(h.Count(62711), 1);
    QCOMPARE(Count(s.Doc(), "select count(*) from tresorix_main"), records);
    QCOMPARE(Count(s.Doc(), "select count(*) from tresorix_data"), parts);
    QVERIFY(s.script->Done());

    // Replacing the file of an existing record fails the same way: the old bytes stay.
    const QByteArray before = Stored(s.Doc(), h.dir.path(), kPassport);
    s.script->Add([&](QDialog& d) {
        RecordDlg(d).SetChosenFile(gone.toStdString());
        RecordDlg(d).OkButton()->click();
        h.messages.Script({IDNO});
        d.reject();
        return apptest::Finish(d);
    });
    RunFileRecordDialog(s.Doc(), kPassport, &s.Frame());
    QCOMPARE(h.Count(62711), 2);
    QCOMPARE(Stored(s.Doc(), h.dir.path(), kPassport), before);
    QCOMPARE(s.Doc().GetRecord(kPassport).As<IFileProperties>()->GetExtension(),
             std::string(".bin"));
}

void FileRecordTest::OpenedCopyChangesFollowTheChosenAction() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Doc().SetTempFolderBase(h.dir.filePath(QStringLiteral("tmp")).toStdString());
    const QByteArray original = Stored(s.Doc(), h.dir.path(), kPassport);
    QString copy;
    int preselected = -1;
    auto choose = [&](int choice) {
        return [&, choice](QDialog& d) {
            auto& dialog = dynamic_cast<CFileChangedDlg&>(d);
            preselected = dialog.GetChoice();
            dialog.Choice(choice)->setChecked(true);
            d.accept();
            return d.result();
        };
    };
    auto change = [&](const QByteArray& tail) {
        QFile file(copy);
        return file.open(QIODevice::Append) && file.write(tail) == tail.size();
    };

    // Open through the dialog; coming back to the dialog checks the copy.
    s.app->Settings().Files_FileChangedAction = 2;
    s.script->Add([&](QDialog& d) {
        if (!RecordDlg(d).OpenFile())
            return -2;
        for (const auto& call : h.shell.Calls())
            if (call.action == CRecordingShell::kOpen)
                copy = QString::fromStdString(call.target);
        // Only the dialog's own activation can see this change.
        QApplication::setActiveWindow(&s.Frame());
        change("one");
        QApplication::setActiveWindow(&d);
        d.reject();
        return apptest::Finish(d);
    });
    s.script->Add(choose(IFileChangedPrompt::kContinueMonitoring));
    RunFileRecordDialog(s.Doc(), kPassport, &s.Frame());
    QVERIFY(s.script->Done());
    QCOMPARE(preselected, 2);
    QVERIFY(QFile::exists(copy));
    QCOMPARE(Stored(s.Doc(), h.dir.path(), kPassport), original);

    // Upload and keep monitoring: stored, the copy stays watched.
    QVERIFY(change("two"));
    s.script->Add(choose(IFileChangedPrompt::kUploadAndMonitor));
    s.Doc().CheckWatches();
    QCOMPARE(preselected, 2);
    QCOMPARE(s.app->Settings().Files_FileChangedAction, 1);
    QVERIFY(QFile::exists(copy));
    QVERIFY(s.Doc().GetFileWatcher().FindWatch(copy.toStdString()));
    QCOMPARE(Stored(s.Doc(), h.dir.path(), kPassport), Read(copy));

    // Upload and delete: stored, the copy and its watch go.
    QVERIFY(change("three"));
    const QByteArray last = Read(copy);
    s.script->Add(choose(IFileChangedPrompt::kUploadAndDelete));
    s.Doc().CheckWatches();
    QCOMPARE(preselected, 1);
    QVERIFY(!QFile::exists(copy));
    QVERIFY(!s.Doc().GetFileWatcher().FindWatch(copy.toStdString()));
    QCOMPARE(Stored(s.Doc(), h.dir.path(), kPassport), last);

    // An unchanged copy asks nothing and is deleted at logout.
    QVERIFY(s.Doc().OpenFileItem(kPassport));
    QVERIFY(QFile::exists(copy));
    QVERIFY(s.Doc().Logout());
    QVERIFY(!QFile::exists(copy));
    QVERIFY(s.Doc().GetFileWatcher().GetWatches().empty());
    QVERIFY(s.script->Done());
    QCOMPARE(s.script->Unexpected(), 0);
}

void FileRecordTest::UnsavedChangesAreAskedAboutAndBlockLogout() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());

    // Cancel stays, Yes saves and closes; a logout meanwhile is refused.
    bool refused = false;
    bool stayed = false;
    s.script->Add([&](QDialog& d) {
        RecordDlg(d).Panel()->NameBox()->setText(QStringLiteral("Passport (renewed)"));
        refused = !s.Doc().Logout() && s.Doc().IsAuthorised();
        h.messages.Script({IDCANCEL, IDYES});
        d.reject();
        stayed = d.isVisible();
        d.reject();
        return apptest::Finish(d);
    });
    RunFileRecordDialog(s.Doc(), kPassport, &s.Frame());
    QVERIFY(refused);
    QVERIFY(stayed);
    QCOMPARE(h.Count(61325), 1);
    QCOMPARE(h.Count(61266), 2);
    QCOMPARE(s.Doc().GetRecord(kPassport)->GetName(), std::string("Passport (renewed)"));
    QVERIFY(s.Doc().GetWindowManager().GetEntries().empty());

    // No discards; an unchanged dialog is closed by the logout without a question.
    s.script->Add([&](QDialog& d) {
        RecordDlg(d).Panel()->CommentsBox()->setPlainText(QStringLiteral("lost"));
        h.messages.Script({IDNO});
        d.reject();
        return apptest::Finish(d);
    });
    s.script->Add([&](QDialog& d) {
        refused = !s.Doc().Logout();
        return apptest::Finish(d);
    });
    RunFileRecordDialog(s.Doc(), kPassport, &s.Frame());
    QVERIFY(s.Doc().GetRecord(kPassport)->GetComments() != "lost");
    RunFileRecordDialog(s.Doc(), kPassport, &s.Frame());
    QVERIFY(!refused);
    QVERIFY(!s.Doc().IsAuthorised());
    QCOMPARE(h.Count(61266), 3);
    QVERIFY(s.script->Done());
}

TX_APP_TEST_MAIN(FileRecordTest)
#include "FileRecordTest.moc"

#include "SampleApp.h"

#include "app/FileChangedDlg.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QRadioButton>

using apptest::CAppHarness;
using apptest::CSampleApp;

namespace {

constexpr int kPassport = 24; // a file record of the sample

// Appends to the opened copy so that its size changes.
bool ChangeCopy(const QString& path, const QByteArray& tail) {
    QFile file(path);
    return file.open(QIODevice::Append) && file.write(tail) == tail.size();
}

// The one copy the shell was asked to open.
QString OpenedCopy(const CAppHarness& h) {
    for (const auto& call : h.shell.Calls())
        if (call.action == CRecordingShell::kOpen)
            return QString::fromStdString(call.target);
    return {};
}

} // namespace

class AttachmentPromptTest : public QObject {
    Q_OBJECT

private slots:
    void ChangedCopyAsksWithTheStoredChoice();
};

void AttachmentPromptTest::ChangedCopyAsksWithTheStoredChoice() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Doc().SetTempFolderBase(h.dir.filePath(QStringLiteral("tmp")).toStdString());
    s.app->Settings().Files_FileChangedAction = 2;
    QVERIFY(s.Doc().OpenFileItem(kPassport));
    const QString copy = OpenedCopy(h);
    QVERIFY(QFile::exists(copy));

    // Untouched copies ask nothing.
    s.Doc().CheckWatches();
    QVERIFY(s.script->Done());
    QCOMPARE(s.script->Unexpected(), 0);

    // "Continue monitoring" is preselected from the setting; choosing it keeps the copy and
    // leaves the stored file alone; the next change asks again.
    int preselected = -1;
    QString text;
    s.script->Add([&](QDialog& d) {
        auto& dialog = dynamic_cast<CFileChangedDlg&>(d);
        preselected = dialog.GetChoice();
        text = dialog.Choice(1)->text();
        d.accept();
        return d.result();
    });
    QVERIFY(ChangeCopy(copy, "one"));
    s.Doc().CheckWatches();
    QCOMPARE(preselected, 2);
    QCOMPARE(text, QStringLiteral("Upload file and continue &monitoring"));
    QVERIFY(QFile::exists(copy));

    // "Upload file and delete it from the disk": stored, the copy goes, the choice is kept.
    s.script->Add([](QDialog& d) {
        dynamic_cast<CFileChangedDlg&>(d).Choice(0)->setChecked(true);
        d.accept();
        return d.result();
    });
    QVERIFY(ChangeCopy(copy, "two"));
    QFile changed(copy);
    QVERIFY(changed.open(QIODevice::ReadOnly));
    const QByteArray expected = changed.readAll();
    changed.close();
    s.Doc().CheckWatches();
    QVERIFY(s.script->Done());
    QCOMPARE(s.app->Settings().Files_FileChangedAction, 0);
    QVERIFY(!QFile::exists(copy));
    const QString back = h.dir.filePath(QStringLiteral("back.bin"));
    TComPtr<IFileProperties> file = s.Doc().GetRecord(kPassport).As<IFileProperties>();
    QVERIFY(file);
    QVERIFY(file->SaveFileTo(back.toStdString(), kPassport, s.Doc().GetTresorix().Get()));
    QFile stored(back);
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), expected);
}

TX_APP_TEST_MAIN(AttachmentPromptTest)
#include "AttachmentPromptTest.moc"

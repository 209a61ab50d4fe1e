#include "AppTestSupport.h"

#include "app/DesktopRegistration.h"
#include "app/SingleInstance.h"
#include "app/TrxImageList.h"
#include "platform/qt/QtShell.h"
#include "ui/HeaderState.h"
#include "ui/TextBytes.h"

#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTreeView>

class UiPartsTest : public QObject {
    Q_OBJECT

private slots:
    void ColumnsStateRoundTripsAndRefusesBadStrings();
    void ColumnsStateAppliesToAHeader();
    void ImageListHasAnIconForEveryIndex();
    void StoredTextsDecodeAsUtf8OrWindows1252();
    void SecondInstanceFindsTheFirstAndActivatesIt();
    void DocumentTypesAreRegisteredForTheUser();
    void UrlsAreToldFromPaths();
};

void UiPartsTest::ColumnsStateRoundTripsAndRefusesBadStrings() {
    CHeaderState state;
    state.widths = {250, 250, 100, 100};
    state.order = {0, 2, 1, 3};
    state.sortColumn = 2;
    state.sortAscending = 0;
    const std::string text = state.Format();
    QCOMPARE(text.size(), std::size_t(10 * 4 + 9));
    QCOMPARE(text, std::string("0250 0250 0100 0100 0000 0002 0001 0003 0002 0000"));
    CHeaderState parsed;
    QVERIFY(parsed.Parse(text, 4));
    QCOMPARE(parsed.widths, state.widths);
    QCOMPARE(parsed.order, state.order);
    QCOMPARE(parsed.sortColumn, 2);
    QCOMPARE(parsed.sortAscending, 0);
    // Wrong length, a broken field, or an order that is no permutation: refused, unchanged.
    CHeaderState untouched = parsed;
    QVERIFY(!parsed.Parse(text + " ", 4));
    QVERIFY(!parsed.Parse(text, 3));
    QVERIFY(!parsed.Parse("0250 0250 0100 01x0 0000 0002 0001 0003 0002 0000", 4));
    QVERIFY(!parsed.Parse("0250 0250 0100 0100 0000 0002 0002 0003 0002 0000", 4));
    QVERIFY(!parsed.Parse("", 4));
    QCOMPARE(parsed.widths, untouched.widths);
    // An out-of-range sort column falls back to the first.
    QVERIFY(parsed.Parse("0250 0250 0100 0100 0000 0001 0002 0003 0009 0001", 4));
    QCOMPARE(parsed.sortColumn, 0);
}

void UiPartsTest::ColumnsStateAppliesToAHeader() {
    QStandardItemModel model(0, 4);
    QTreeView view;
    view.setModel(&model);
    view.header()->setSectionsMovable(true);
    CHeaderState state;
    QVERIFY(state.Parse("0111 0222 0033 0044 0003 0001 0002 0000 0001 0001", 4));
    state.Apply(*view.header());
    QCOMPARE(view.header()->sectionSize(1), 222);
    QCOMPARE(view.header()->logicalIndex(0), 3);
    QCOMPARE(view.header()->logicalIndex(3), 0);
    const CHeaderState back = CHeaderState::Capture(*view.header(), 1, Qt::AscendingOrder);
    QCOMPARE(back.Format(), std::string("0111 0222 0033 0044 0003 0001 0002 0000 0001 0001"));
}

void UiPartsTest::ImageListHasAnIconForEveryIndex() {
    CTrxImageList list;
    list.Load();
    QVERIFY(list.GetCount() >= 256);
    for (int i = 0; i < list.GetCount(); ++i) {
        const QIcon icon = list.Icon(i);
        QVERIFY2(!icon.isNull(), qPrintable(QString::number(i)));
        // Never an empty square: some pixel is painted.
        const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; ++y)
            for (int x = 0; x < image.width() && !painted; ++x)
                painted = qAlpha(image.pixel(x, y)) > 0;
        QVERIFY2(painted, qPrintable(QString::number(i)));
    }
    QCOMPARE(CTrxImageList::IconName(CTrxImageList::kFolderClosed), QStringLiteral("folder"));
    QCOMPARE(CTrxImageList::IconName(CTrxImageList::kFolderOpen), QStringLiteral("folder-open"));
    QCOMPARE(CTrxImageList::IconName(CTrxImageList::kRecycleBin), QStringLiteral("user-trash"));
    QCOMPARE(CTrxImageList::IconName(CTrxImageList::kSearch), QStringLiteral("system-search"));
    QCOMPARE(CTrxImageList::IconName(CTrxImageList::kWebLink), QStringLiteral("insert-link"));
    QCOMPARE(CTrxImageList::IconName(CTrxImageList::kNote),
             QStringLiteral("accessories-text-editor"));
    // Indices from damaged or foreign records still show the generic record icon.
    QCOMPARE(list.Icon(-3).cacheKey(), list.Icon(CTrxImageList::kGenericRecord).cacheKey());
    QCOMPARE(list.Icon(100000).cacheKey(), list.Icon(CTrxImageList::kGenericRecord).cacheKey());
    // The program icon exists at the sizes a desktop asks for.
    const QIcon program = CTrxImageList::ProgramIcon();
    for (int size : {16, 32, 48, 128, 256})
        QCOMPARE(program.pixmap(size, size).width(), size);
}

void UiPartsTest::StoredTextsDecodeAsUtf8OrWindows1252() {
    QCOMPARE(FromBytes("Caf\xC3\xA9"), QStringLiteral("Caf\u00E9"));
    QCOMPARE(FromBytes("Caf\xE9 Cr\xE8me"), QStringLiteral("Caf\u00E9 Cr\u00E8me"));
    QCOMPARE(FromBytes("\x80 \x93x\x94"), QStringLiteral("\u20AC \u201Cx\u201D"));
    QCOMPARE(ToBytes(QStringLiteral("\u20AC")), std::string("\xE2\x82\xAC"));
    QCOMPARE(FromBytes(ToBytes(QStringLiteral("fa\u00E7ade"))), QStringLiteral("fa\u00E7ade"));
}

void UiPartsTest::SecondInstanceFindsTheFirstAndActivatesIt() {
    const QString name = QStringLiteral("tx-guard-test-%1").arg(QCoreApplication::applicationPid());
    CKivSingleInstance first(name);
    QVERIFY(!first.IsAnotherInstanceRunning());
    QVERIFY(first.GetServerName().startsWith(name + u'-'));
    QSignalSpy spy(&first, &CKivSingleInstance::ActivationRequested);
    {
        CKivSingleInstance second(name);
        QVERIFY(second.IsAnotherInstanceRunning());
        second.SetActivationMessage(1144, 0, 0);
        QVERIFY(second.ActivateRunningInstance());
    }
    QVERIFY(spy.wait());
    QCOMPARE(spy.first().at(0).toUInt(), 1144u);
    // Another name is another program.
    CKivSingleInstance other(name + QStringLiteral("-other"));
    QVERIFY(!other.IsAnotherInstanceRunning());
}

void UiPartsTest::DocumentTypesAreRegisteredForTheUser() {
    QTemporaryDir dir;
    const QString program = QStringLiteral("/opt/tx pro/tresorix");
    QVERIFY(RegisterDocumentTypes(program, dir.path()));
    QFile desktop(dir.filePath(QStringLiteral("applications/tresorix.desktop")));
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    QVERIFY(entry.contains(QStringLiteral("Exec=\"/opt/tx pro/tresorix\" %f")));
    QVERIFY(entry.contains(QStringLiteral("MimeType=application/x-tresorix-datafile;")));
    QFile mime(dir.filePath(QStringLiteral("mime/packages/tresorix.xml")));
    QVERIFY(mime.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(mime.readAll());
    QVERIFY(xml.contains(QStringLiteral("*.tpx")) && xml.contains(QStringLiteral("*.trx")));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("icons/hicolor/48x48/apps/tresorix.png"))));
    // A second run finds everything in place.
    QVERIFY(RegisterDocumentTypes(program, dir.path()));
}

void UiPartsTest::UrlsAreToldFromPaths() {
    QVERIFY(LooksLikeUrl("https://example.org/"));
    QVERIFY(LooksLikeUrl("mailto:a@b.c"));
    QVERIFY(!LooksLikeUrl("/home/u/file.txt"));
    QVERIFY(!LooksLikeUrl("C:\\file.txt"));
    QVERIFY(!LooksLikeUrl("1http://x"));
}

TX_APP_TEST_MAIN(UiPartsTest)
#include "UiPartsTest.moc"

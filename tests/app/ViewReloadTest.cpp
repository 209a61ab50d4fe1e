#include "SampleSession.h"

#include "model/Interfaces.h"
#include "platform/FileTime.h"
#include "ui/TextBytes.h"

#include <QStandardItem>
#include <QStandardItemModel>

#include <string>

using apptest::CAppHarness;
using apptest::CSampleSession;

namespace {

// Whether folder id has a sub-folder, asked of the file through the document.
bool FileHasSubFolders(CTxDoc& doc, int id) {
    TComPtr<ITreeItem> node = doc.GetNode(id);
    TComPtr<ITreeIterator> it = node ? node->GetIterator(ITreeItem::kChildren) : nullptr;
    if (!it)
        return false;
    for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next())
        if (TComPtr<ICommonProperties> record = doc.GetRecord(child->GetID()))
            if (record->IsFolder())
                return true;
    return false;
}

// Compares every node the tree has loaded with the file: label, expand button, stored
// expanded state, and the loaded children being the folder's sub-folders in storage order.
QString CompareWithFile(CSampleSession& s, QStandardItem* item) {
    const int id = item->data(CMainTreeView::kIdRole).toInt();
    TComPtr<ICommonProperties> record = s.Doc().GetRecord(id);
    if (!record || !record->IsFolder())
        return QStringLiteral("node %1 is no folder").arg(id);
    if (item->text() != FromBytes(record->GetName()))
        return QStringLiteral("node %1 shows \"%2\"").arg(id).arg(item->text());
    const bool sub = FileHasSubFolders(s.Doc(), id);
    if (item->hasChildren() != sub)
        return QStringLiteral("node %1: expand button %2").arg(id).arg(item->hasChildren());
    if (!sub)
        return {};
    const bool expanded = s.Tree().isExpanded(item->index());
    if (expanded != s.Doc().GetNode(id)->IsExpanded())
        return QStringLiteral("node %1: expanded %2").arg(id).arg(expanded);
    if (!expanded)
        return {};
    std::vector<int> want;
    TComPtr<ITreeIterator> it = s.Doc().GetNode(id)->GetIterator(ITreeItem::kChildren);
    for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next())
        if (TComPtr<ICommonProperties> r = s.Doc().GetRecord(child->GetID()); r && r->IsFolder())
            want.push_back(child->GetID());
    std::vector<int> shown;
    for (int r = 0; r < item->rowCount(); ++r)
        shown.push_back(item->child(r)->data(CMainTreeView::kIdRole).toInt());
    if (shown != want)
        return QStringLiteral("node %1: wrong children").arg(id);
    for (int r = 0; r < item->rowCount(); ++r)
        if (QString error = CompareWithFile(s, item->child(r)); !error.isEmpty())
            return error;
    return {};
}

QString CompareTreeWithFile(CSampleSession& s) {
    QStandardItemModel* model = s.Tree().Model();
    if (model->rowCount() != 1)
        return QStringLiteral("%1 top-level nodes").arg(model->rowCount());
    return CompareWithFile(s, model->item(0));
}

void ReloadAll(CSampleSession& s) {
    s.Doc().UpdateAllViews(nullptr, CTxDoc::kHintReloadAll);
    QCoreApplication::processEvents();
}

} // namespace

// The views' reload ("reload everything") after changes made behind their back.
class ViewReloadTest : public QObject {
    Q_OBJECT

private slots:
    void TreeMatchesTheFileAfterEveryReload();
    void ReloadSeesFoldersChangedSinceTheLastOne();
    void DateTextsStayWithTheirRowsThroughSorts();
};

void ViewReloadTest::TreeMatchesTheFileAfterEveryReload() {
    CAppHarness h;
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QCOMPARE(CompareTreeWithFile(s), QString());
    // Opening a stored-collapsed branch stores its flag; the next reload opens it again.
    s.Tree().expand(s.Tree().ItemOf(5)->index());
    ReloadAll(s);
    QCOMPARE(CompareTreeWithFile(s), QString());
    QVERIFY(s.Tree().ItemOf(8));
    // With the cache cleared the tree is read from the file alone, and comes out the same.
    s.Doc().ClearCache();
    ReloadAll(s);
    QCOMPARE(CompareTreeWithFile(s), QString());
}

void ViewReloadTest::ReloadSeesFoldersChangedSinceTheLastOne() {
    CAppHarness h;
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QVERIFY(s.Tree().ItemOf(3));
    QVERIFY(!s.Tree().ItemOf(3)->hasChildren());

    // A sub-folder appears below a folder that had none, and that folder is renamed, both
    // without telling the views: the next reload shows both.
    const int sub = s.Doc().CreateNewObject(CLSID_Folder, 3, "Fresh");
    QVERIFY(sub > 0);
    TComPtr<ICommonProperties> record = s.Doc().GetRecord(3);
    QVERIFY(record);
    record->SetName("Renamed");
    QVERIFY(s.Doc().GetNode(3)->SetData(record.Get()));
    ReloadAll(s);
    QVERIFY(s.Tree().ItemOf(3));
    QCOMPARE(s.Tree().ItemOf(3)->text(), QStringLiteral("Renamed"));
    QVERIFY(s.Tree().ItemOf(3)->hasChildren());
    s.Tree().expand(s.Tree().ItemOf(3)->index());
    QVERIFY(s.Tree().ItemOf(sub));
    QCOMPARE(CompareTreeWithFile(s), QString());

    // And gone again: the button goes with it.
    s.Doc().GetNode(sub)->Delete();
    ReloadAll(s);
    QVERIFY(!s.Tree().ItemOf(sub));
    QVERIFY(!s.Tree().ItemOf(3)->hasChildren());
    QCOMPARE(CompareTreeWithFile(s), QString());
}

void ViewReloadTest::DateTextsStayWithTheirRowsThroughSorts() {
    CAppHarness h;
    CSampleSession s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    // The folder with the most records of the sample.
    int folder = 0;
    int most = 0;
    for (int id : {kRootFolderId, 3, 4, 5, 6, 7, 8, 9, 10}) {
        if (!s.Tree().ItemOf(id) && !s.Tree().SelectFolder(id))
            continue;
        s.Open(id);
        if (s.Model().rowCount() > most) {
            most = s.Model().rowCount();
            folder = id;
        }
    }
    QVERIFY(most >= 2);
    s.Open(folder);
    CTxListModel& model = s.Model();
    auto check = [&model]() -> QString {
        for (int r = 0; r < model.rowCount(); ++r) {
            const CTxListModel::ROW& row = model.Row(r);
            const QString modified =
                row.modified ? QString::fromStdString(FileTimeToLocalText(row.modified)) : "";
            const QString created =
                row.created ? QString::fromStdString(FileTimeToLocalText(row.created)) : "";
            if (model.index(r, CTxListModel::kModified).data().toString() != modified ||
                model.index(r, CTxListModel::kCreated).data().toString() != created)
                return QStringLiteral("row %1 (%2)").arg(r).arg(row.name);
        }
        return {};
    };
    // Some rows asked for before a sort, the others only after it.
    model.index(0, CTxListModel::kModified).data();
    model.sort(CTxListModel::kModified, Qt::DescendingOrder);
    QCOMPARE(check(), QString());
    model.sort(CTxListModel::kCreated, Qt::AscendingOrder);
    QCOMPARE(check(), QString());
    // A refill reads the times afresh.
    ReloadAll(s);
    QCOMPARE(check(), QString());
}

QTEST_MAIN(ViewReloadTest)
#include "ViewReloadTest.moc"

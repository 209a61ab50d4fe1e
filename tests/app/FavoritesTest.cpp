#include "SampleApp.h"

#include "app/Commands.h"
#include "app/FavTreeView.h"
#include "app/PreviewPanels.h"

#include <QMenu>

#include <algorithm>

using apptest::CAppHarness;
using apptest::CSampleApp;

namespace {

CFavTreeView& Favorites(CSampleApp& s) {
    return *s.Frame().Left()->Favorites();
}

} // namespace

class FavoritesTest : public QObject {
    Q_OBJECT

private slots:
    void ViewListsTheStoredOrderAndFollowsTheLogin();
    void ChoosingAFavoriteShowsItAndTheMenuRemovesIt();
    void AddingAndDroppingTakeRecordsOnly();
};

void FavoritesTest::ViewListsTheStoredOrderAndFollowsTheLogin() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    QVERIFY(s.Enabled(cmd::kShowFavorites));
    s.Frame().OnCommand(cmd::kShowFavorites);
    QCOMPARE(s.Frame().Left()->CurrentView(), int(CLeftFrame::kFavorites));
    QVERIFY(s.Frame().Action(cmd::kShowFavorites)->isChecked());
    QCOMPARE(Favorites(s).Ids(), (std::vector<int>{19, 11, 25, 21}));
    QCOMPARE(Favorites(s).topLevelItem(1)->text(0), QStringLiteral("Gmail"));
    // A folder change elsewhere does not rebuild the view (the selection survives it).
    QVERIFY(Favorites(s).SelectFavorite(25));
    s.Doc().UpdateAllViews(nullptr, CTxDoc::kHintShowFolder, 3);
    QCOMPARE(Favorites(s).currentItem()->data(0, CFavTreeView::kIdRole).toInt(), 25);

    s.Frame().OnCommand(cmd::kLogout);
    QCOMPARE(Favorites(s).topLevelItemCount(), 0);
    s.script->Add(apptest::LoginStep(QStringLiteral("carol"), QStringLiteral("S3cret!pass")));
    s.Frame().OnCommand(cmd::kLogin);
    QVERIFY(s.Doc().IsAuthorised());
    QCOMPARE(Favorites(s).Ids(), (std::vector<int>{19, 11, 25, 21}));
    // Switching to the view by command forgets the chosen favorite.
    s.Frame().OnCommand(cmd::kShowTree);
    QVERIFY(Favorites(s).SelectFavorite(11));
    s.Frame().OnCommand(cmd::kShowFavorites);
    QCOMPARE(s.Doc().GetSelectedFavorite(), 0);
    QVERIFY(Favorites(s).selectedItems().isEmpty());
}

void FavoritesTest::ChoosingAFavoriteShowsItAndTheMenuRemovesIt() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Frame().OnCommand(cmd::kShowFavorites);
    QCoreApplication::processEvents();
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->HeaderText(), QStringLiteral("Favorites"));
    QVERIFY(!s.Enabled(cmd::kRemoveFromFavorites));
    QVERIFY(Favorites(s).SelectFavorite(11));
    QCoreApplication::processEvents();
    QCOMPARE(s.Doc().GetSelectedFavorite(), 11);
    QVERIFY(s.Enabled(cmd::kRemoveFromFavorites));
    // The list stays empty in this mode; the preview shows the chosen favorite (a password).
    s.Frame().Right()->RefreshHeaderAndPreview();
    QCOMPARE(s.Frame().Right()->Preview()->Current(), CPreviewContainer::kPassword);
    std::unique_ptr<QMenu> menu(s.Frame().BuildFavoritesMenu());
    QCOMPARE(menu->defaultAction()->data().toInt(), int(cmd::kOpenItem));
    QAction* remove = nullptr;
    for (QAction* a : menu->actions())
        if (a->data().toInt() == cmd::kRemoveFromFavorites)
            remove = a;
    QVERIFY(remove && remove->text() == QStringLiteral("&Remove from This List"));
    remove->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(Favorites(s).Ids(), (std::vector<int>{19, 25, 21}));
    QCOMPARE(s.Doc().GetSelectedFavorite(), 0);
    QVERIFY(s.Doc().GetRecord(11)); // the record itself stays
}

void FavoritesTest::AddingAndDroppingTakeRecordsOnly() {
    CAppHarness h;
    CSampleApp s(h);
    if (s.vault.isEmpty())
        QSKIP("fixtures missing");
    QVERIFY(s.Start());
    s.Open(7);
    QVERIFY(s.SelectRecord(17));
    s.Frame().OnCommand(cmd::kAddToFavorites);
    QVERIFY(s.SelectRecord(14));
    s.Frame().OnCommand(cmd::kAddToFavorites);
    QCOMPARE(Favorites(s).Ids(), (std::vector<int>{19, 11, 25, 21, 17, 14}));
    QVERIFY(!Favorites(s).DropIds({12, 5})); // a folder among them
    QVERIFY(Favorites(s).DropIds({13, 11, 12}));
    QCOMPARE(Favorites(s).Ids(), (std::vector<int>{19, 11, 25, 21, 17, 14, 13, 12}));
    // Emptying the recycle bin drops its direct children from the list.
    QVERIFY(Favorites(s).DropIds({16}));
    s.h.messages.Script({IDYES});
    s.Frame().OnCommand(cmd::kEmptyRecycleBin);
    const std::vector<int> ids = Favorites(s).Ids();
    QVERIFY(std::find(ids.begin(), ids.end(), 16) == ids.end());
    QCOMPARE(ids.size(), std::size_t(8));
}

TX_APP_TEST_MAIN(FavoritesTest)
#include "FavoritesTest.moc"

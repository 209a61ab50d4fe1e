#include "app/CommandTable.h"

#include "app/AppStrings.h"
#include "app/Commands.h"
#include "app/TrxImageList.h"

#include <QAction>

namespace {

QList<QKeySequence> Keys(std::initializer_list<QKeySequence> keys) {
    return QList<QKeySequence>(keys);
}

} // namespace

const std::vector<COMMAND>& CommandTable() {
    using K = QKeySequence;
    static const std::vector<COMMAND> table = {
        {cmd::kShowTree, 0, Keys({K(Qt::CTRL | Qt::Key_W)}), CTrxImageList::kFolderClosed, nullptr,
         true},
        {cmd::kShowFavorites, 0, Keys({K(Qt::CTRL | Qt::Key_I)}), CTrxImageList::kFavorites,
         nullptr, true},
        {cmd::kRemoveFromFavorites, 62989, {}, -1, "list-remove", false},
        {cmd::kShowSearch, 62877,
         Keys({K(Qt::CTRL | Qt::Key_E), K(Qt::CTRL | Qt::Key_F), K(Qt::Key_F3)}),
         CTrxImageList::kSearch, nullptr, true},
        {cmd::kBack, 0, {}, -1, "go-previous", false},
        {cmd::kForward, 0, {}, -1, "go-next", false},
        {cmd::kOptions, 62879, {}, -1, "preferences-system", false},
        {cmd::kNewPassword, 0, Keys({K(Qt::Key_F11)}), CTrxImageList::kPassword, nullptr, false},
        {cmd::kDelete, 62869, Keys({K(Qt::CTRL | Qt::Key_D), K(Qt::Key_Delete)}), -1, "edit-delete",
         false},
        {cmd::kMoveTo, 62871, {}, -1, "go-jump", false},
        {cmd::kNewFolder, 0, Keys({K(Qt::Key_F7)}), CTrxImageList::kFolderClosed, nullptr, false},
        {cmd::kNewCreditCard, 0, Keys({K(Qt::Key_F12)}), CTrxImageList::kCreditCard, nullptr,
         false},
        {cmd::kNewNote, 0, Keys({K(Qt::Key_F6)}), CTrxImageList::kNote, nullptr, false},
        {cmd::kNewUrl, 62887, Keys({K(Qt::Key_F4)}), CTrxImageList::kWebLink, nullptr, false},
        {cmd::kAddFile, 0, Keys({K(Qt::Key_F9)}), CTrxImageList::kFile, nullptr, false},
        {cmd::kLayout, 62874, {}, -1, nullptr, false},
        {cmd::kRename, 62883, Keys({K(Qt::Key_F2)}), -1, nullptr, false},
        {cmd::kOpenItem, 62868, {}, -1, "document-open", false},
        {cmd::kAddToFavorites, 62872, {}, CTrxImageList::kFavorites, nullptr, false},
        {cmd::kBackupOptions, 62863, {}, -1, "document-save", false},
        {cmd::kDatabaseManagement, 62864, {}, -1, "drive-harddisk", false},
        {cmd::kEmptyRecycleBin, 0, {}, CTrxImageList::kRecycleBin, nullptr, false},
        {cmd::kFolderProperties, 62884, {}, -1, "document-properties", false},
        {cmd::kViewStyleMenu, 0, {}, -1, "view-restore", false},
        {cmd::kLogout, 62866, Keys({K(Qt::CTRL | Qt::Key_F12)}), -1, "system-lock-screen", false},
        {cmd::kLogin, 62865, Keys({K(Qt::CTRL | Qt::Key_F11)}), -1, "dialog-password", false},
        {cmd::kImportCsv, 62885, {}, -1, nullptr, false},
        {cmd::kExport, 62886, {}, -1, nullptr, false},
        {cmd::kClearClipboard, 62876, Keys({K(Qt::CTRL | Qt::Key_F5)}), -1, "edit-clear", false},
        {cmd::kPasswordGenerator, 62878, {}, -1, nullptr, false},
        {cmd::kRefresh, 62875, Keys({K(Qt::Key_F5)}), -1, "view-refresh", false},
        {cmd::kDuplicate, 62870, Keys({K(Qt::CTRL | Qt::Key_C)}), -1, "edit-copy", false},
        {cmd::kSelectAll, 62873, Keys({K(Qt::CTRL | Qt::Key_A)}), -1, "edit-select-all", false},
        {cmd::kAbout, 62882, {}, -1, "help-about", false},
        {cmd::kExit, 62867, {}, -1, "application-exit", false},
        {cmd::kToolbar, 62861, {}, -1, nullptr, true},
        {cmd::kStatusBar, 62862, {}, -1, nullptr, true},
        {cmd::kViewSmallIcons, 0, {}, -1, nullptr, true},
        {cmd::kViewLargeIcons, 0, {}, -1, nullptr, true},
        {cmd::kViewList, 0, {}, -1, nullptr, true},
        {cmd::kViewDetails, 0, {}, -1, nullptr, true},
        {cmd::kHelpTopics, 62880, Keys({K(Qt::Key_F1)}), -1, "help-browser", false},
        {cmd::kTipOfTheDay, 62881, {}, -1, nullptr, false},
    };
    return table;
}

std::map<int, QAction*> MakeCommandActions(QObject* parent) {
    std::map<int, QAction*> actions;
    for (const COMMAND& c : CommandTable()) {
        const unsigned textId = c.menuText ? c.menuText : static_cast<unsigned>(c.id);
        QString text = c.menuText ? Tr(c.menuText) : ShortText(textId);
        if (c.id == cmd::kShowTree)
            text = Tr(ids::kFolders);
        auto* action = new QAction(text, parent);
        action->setObjectName(QStringLiteral("cmd%1").arg(c.id));
        action->setData(c.id);
        action->setToolTip(ShortText(static_cast<unsigned>(c.id)));
        action->setStatusTip(LongText(static_cast<unsigned>(c.id)));
        action->setShortcuts(c.shortcuts);
        action->setCheckable(c.checkable);
        if (c.image >= 0)
            action->setIcon(ImageList().Icon(c.image));
        else if (c.themeIcon)
            action->setIcon(QIcon::fromTheme(QString::fromLatin1(c.themeIcon)));
        actions[c.id] = action;
    }
    return actions;
}

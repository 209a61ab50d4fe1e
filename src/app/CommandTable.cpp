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
         true, true},
        {cmd::kShowFavorites, 0, Keys({K(Qt::CTRL | Qt::Key_I)}), CTrxImageList::kFavorites,
         nullptr, true, true},
        {cmd::kRemoveFromFavorites, 62989, {}, -1, "list-remove", true, false},
        {cmd::kShowSearch, 62877,
         Keys({K(Qt::CTRL | Qt::Key_E), K(Qt::CTRL | Qt::Key_F), K(Qt::Key_F3)}),
         CTrxImageList::kSearch, nullptr, true, true},
        {cmd::kBack, 0, {}, -1, "go-previous", true, false},
        {cmd::kForward, 0, {}, -1, "go-next", true, false},
        {cmd::kOptions, 62879, {}, -1, "preferences-system", true, false},
        {cmd::kNewPassword, 0, Keys({K(Qt::Key_F11)}), CTrxImageList::kPassword, nullptr, true,
         false},
        {cmd::kDelete, 62869, Keys({K(Qt::CTRL | Qt::Key_D), K(Qt::Key_Delete)}), -1, "edit-delete",
         true, false},
        {cmd::kMoveTo, 62871, {}, -1, "go-jump", true, false},
        {cmd::kNewFolder, 0, Keys({K(Qt::Key_F7)}), CTrxImageList::kFolderClosed, nullptr, true,
         false},
        {cmd::kNewCreditCard, 0, Keys({K(Qt::Key_F12)}), CTrxImageList::kCreditCard, nullptr, true,
         false},
        {cmd::kNewNote, 0, Keys({K(Qt::Key_F6)}), CTrxImageList::kNote, nullptr, true, false},
        {cmd::kNewUrl, 62887, Keys({K(Qt::Key_F4)}), CTrxImageList::kWebLink, nullptr, true, false},
        {cmd::kAddFile, 0, Keys({K(Qt::Key_F9)}), CTrxImageList::kFile, nullptr, true, false},
        {cmd::kLayout, 62874, {}, -1, nullptr, true, false},
        {cmd::kRename, 62883, Keys({K(Qt::Key_F2)}), -1, nullptr, true, false},
        {cmd::kOpenItem, 62868, {}, -1, "document-open", true, false},
        {cmd::kAddToFavorites, 62872, {}, CTrxImageList::kFavorites, nullptr, true, false},
        {cmd::kBackupOptions, 62863, {}, -1, "document-save", true, false},
        {cmd::kDatabaseManagement, 62864, {}, -1, "drive-harddisk", true, false},
        {cmd::kEmptyRecycleBin, 0, {}, CTrxImageList::kRecycleBin, nullptr, true, false},
        {cmd::kFolderProperties, 62884, {}, -1, "document-properties", true, false},
        {cmd::kViewStyleMenu, 0, {}, -1, "view-restore", true, false},
        {cmd::kLogout, 62866, Keys({K(Qt::CTRL | Qt::Key_F12)}), -1, "system-lock-screen", true,
         false},
        {cmd::kLogin, 62865, Keys({K(Qt::CTRL | Qt::Key_F11)}), -1, "dialog-password", true, false},
        {cmd::kImportCsv, 62885, {}, -1, nullptr, true, false},
        {cmd::kExport, 62886, {}, -1, nullptr, true, false},
        {cmd::kClearClipboard, 62876, Keys({K(Qt::CTRL | Qt::Key_F5)}), -1, "edit-clear", true,
         false},
        {cmd::kPasswordGenerator, 62878, {}, -1, nullptr, true, false},
        {cmd::kRefresh, 62875, Keys({K(Qt::Key_F5)}), -1, "view-refresh", true, false},
        {cmd::kDuplicate, 62870, Keys({K(Qt::CTRL | Qt::Key_C)}), -1, "edit-copy", true, false},
        {cmd::kSelectAll, 62873, Keys({K(Qt::CTRL | Qt::Key_A)}), -1, "edit-select-all", true,
         false},
        {cmd::kAbout, 62882, {}, -1, "help-about", true, false},
        {cmd::kExit, 62867, {}, -1, "application-exit", true, false},
        {cmd::kToolbar, 62861, {}, -1, nullptr, true, true},
        {cmd::kStatusBar, 62862, {}, -1, nullptr, true, true},
        {cmd::kViewSmallIcons, 0, {}, -1, nullptr, true, true},
        {cmd::kViewLargeIcons, 0, {}, -1, nullptr, true, true},
        {cmd::kViewList, 0, {}, -1, nullptr, true, true},
        {cmd::kViewDetails, 0, {}, -1, nullptr, true, true},
        {cmd::kHelpTopics, 62880, Keys({K(Qt::Key_F1)}), -1, "help-browser", true, false},
        {cmd::kTipOfTheDay, 62881, {}, -1, nullptr, true, false},
    };
    return table;
}

const COMMAND* FindCommand(int id) {
    for (const COMMAND& c : CommandTable())
        if (c.id == id)
            return &c;
    return nullptr;
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
        action->setEnabled(c.available);
        actions[c.id] = action;
    }
    return actions;
}

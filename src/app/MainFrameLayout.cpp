#include "app/AppStrings.h"
#include "app/Commands.h"
#include "app/LeftFrame.h"
#include "app/MainFrame.h"
#include "app/MainTreeView.h"
#include "app/RightFrame.h"
#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/ProfileStore.h"
#include "platform/TresorixSettings.h"
#include "ui/KivSplitter.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>

void CMainFrame::BuildMenus() {
    QMenuBar* bar = menuBar();
    auto add = [this](QMenu* menu, std::initializer_list<int> commands) {
        for (int id : commands) {
            if (id == 0)
                menu->addSeparator();
            else if (QAction* a = Action(id))
                menu->addAction(a);
        }
    };
    QMenu* file = bar->addMenu(Tr(62852));
    QMenu* create = file->addMenu(Tr(62857));
    add(create, {cmd::kNewFolder, cmd::kNewPassword, cmd::kNewCreditCard, cmd::kNewNote,
                 cmd::kNewUrl, cmd::kAddFile});
    add(file, {cmd::kBackupOptions});
    QMenu* exchange = file->addMenu(Tr(62858));
    add(exchange, {cmd::kImportCsv, cmd::kExport});
    add(file, {cmd::kDatabaseManagement, 0, cmd::kLogin, cmd::kLogout, 0, cmd::kExit});

    QMenu* edit = bar->addMenu(Tr(62853));
    add(edit, {cmd::kOpenItem, cmd::kDelete, cmd::kDuplicate, cmd::kMoveTo, cmd::kAddToFavorites, 0,
               cmd::kSelectAll});

    QMenu* view = bar->addMenu(Tr(62854));
    Action(cmd::kToolbar)->setChecked(true);
    Action(cmd::kStatusBar)->setChecked(true);
    add(view, {cmd::kToolbar, cmd::kStatusBar, 0, cmd::kLayout});
    QMenu* panels = view->addMenu(Tr(62859));
    add(panels, {cmd::kShowTree, cmd::kShowFavorites, cmd::kShowSearch});
    QMenu* go = view->addMenu(Tr(62860));
    add(go, {cmd::kBack, cmd::kForward});
    add(view, {0, cmd::kViewLargeIcons, cmd::kViewSmallIcons, cmd::kViewList, cmd::kViewDetails, 0,
               cmd::kRefresh});

    QMenu* service = bar->addMenu(Tr(62855));
    add(service, {cmd::kEmptyRecycleBin, cmd::kClearClipboard, 0, cmd::kShowSearch,
                  cmd::kPasswordGenerator, 0, cmd::kOptions});
    QMenu* help = bar->addMenu(Tr(62856));
    add(help, {cmd::kHelpTopics, cmd::kTipOfTheDay, 0, cmd::kAbout});
    for (QMenu* menu : bar->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
}

void CMainFrame::BuildToolBars() {
    auto make = [this](const char* name) {
        auto* bar = new QToolBar(QString::fromLatin1(name), this);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setIconSize(QSize(24, 24));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        addToolBar(Qt::TopToolBarArea, bar);
        m_toolBars.push_back(bar);
        return bar;
    };
    auto textButton = [](QToolBar* bar, QAction* action) {
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    };

    QToolBar* main = make("MainToolBar");
    auto* newMenu = new QMenu(this);
    for (int id : {cmd::kNewPassword, cmd::kNewCreditCard, cmd::kNewNote, cmd::kNewUrl,
                   cmd::kNewFolder, cmd::kAddFile})
        newMenu->addAction(Action(id));
    main->addAction(Action(cmd::kNewPassword));
    if (auto* button =
            qobject_cast<QToolButton*>(main->widgetForAction(Action(cmd::kNewPassword)))) {
        button->setMenu(newMenu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    textButton(main, Action(cmd::kNewPassword));
    main->addAction(Action(cmd::kDelete));
    main->addAction(Action(cmd::kMoveTo));

    QToolBar* navigation = make("NavigationToolBar");
    navigation->addAction(Action(cmd::kBack));
    textButton(navigation, Action(cmd::kBack));
    navigation->addAction(Action(cmd::kForward));

    QToolBar* options = make("OptionsToolBar");
    auto* styles = new QMenu(this);
    for (int id : {cmd::kViewLargeIcons, cmd::kViewSmallIcons, cmd::kViewList, cmd::kViewDetails})
        styles->addAction(Action(id));
    Action(cmd::kViewStyleMenu)->setMenu(styles);
    options->addAction(Action(cmd::kViewStyleMenu));
    if (auto* button =
            qobject_cast<QToolButton*>(options->widgetForAction(Action(cmd::kViewStyleMenu))))
        button->setPopupMode(QToolButton::InstantPopup);
    options->addAction(Action(cmd::kOptions));
    options->addAction(Action(cmd::kAbout));
    options->addAction(Action(cmd::kLogout));
    RestoreToolBars();
}

QMenu* CMainFrame::BuildListMenu(bool onItem) {
    UpdateCommands();
    auto* menu = new QMenu(this);
    menu->setObjectName(onItem ? QStringLiteral("Menu298") : QStringLiteral("Menu297"));
    if (onItem) {
        for (int id :
             {cmd::kOpenItem, cmd::kAddToFavorites, cmd::kDuplicate, cmd::kDelete, cmd::kMoveTo})
            menu->addAction(Action(id));
        menu->setDefaultAction(Action(cmd::kOpenItem));
    } else {
        for (int id :
             {cmd::kBack, cmd::kForward, 0, cmd::kNewFolder, cmd::kNewPassword, cmd::kNewCreditCard,
              cmd::kNewNote, cmd::kNewUrl, cmd::kAddFile, 0, cmd::kSelectAll})
            id ? static_cast<void>(menu->addAction(Action(id)))
               : static_cast<void>(menu->addSeparator());
    }
    return menu;
}

QMenu* CMainFrame::BuildFolderMenu(int id) {
    UpdateCommands();
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("Menu294"));
    QMenu* create = menu->addMenu(Tr(62857));
    for (int c : {cmd::kNewFolder, cmd::kNewPassword, cmd::kNewCreditCard, cmd::kNewNote,
                  cmd::kNewUrl, cmd::kAddFile})
        create->addAction(Action(c));
    const bool root = id == kRootFolderId;
    const bool bin = id == kDeletedFolderId;
    if (!root && !bin)
        menu->addAction(Action(cmd::kDelete));
    if (bin)
        menu->addAction(Action(cmd::kEmptyRecycleBin));
    if (!root)
        menu->addAction(Action(cmd::kMoveTo));
    menu->addAction(Action(cmd::kRename));
    menu->addAction(Action(cmd::kFolderProperties));
    if (bin)
        menu->setDefaultAction(Action(cmd::kEmptyRecycleBin));
    else if (!root)
        menu->setDefaultAction(Action(cmd::kFolderProperties));
    return menu;
}

void CMainFrame::SaveToolBars() {
    IProfileStore& store = ProfileStore();
    store.WriteProfileInt(kSection, "ReBarBandCount", static_cast<int>(m_toolBars.size()));
    char name[64];
    for (std::size_t n = 0; n < m_toolBars.size(); ++n) {
        QToolBar* bar = m_toolBars[n];
        const auto key = [&](const char* field) {
            std::snprintf(name, sizeof name, "%s%i_%s", "ReBar", static_cast<int>(n), field);
            return std::string(name);
        };
        store.WriteProfileInt(kSection, key("ID"), static_cast<int>(n));
        store.WriteProfileInt(kSection, key("CX"), bar->width());
        store.WriteProfileInt(kSection, key("BreakLine"), toolBarBreak(bar) ? 1 : 0);
    }
}

void CMainFrame::RestoreToolBars() {
    IProfileStore& store = ProfileStore();
    const int count = store.GetProfileInt(kSection, "ReBarBandCount", 0);
    if (count != static_cast<int>(m_toolBars.size()))
        return;
    char name[64];
    for (int n = 0; n < count; ++n) {
        std::snprintf(name, sizeof name, "%s%i_%s", "ReBar", n, "BreakLine");
        if (store.GetProfileInt(kSection, name, 0) && n > 0)
            insertToolBarBreak(m_toolBars[static_cast<std::size_t>(n)]);
    }
}

void CMainFrame::LoadPlacement() {
    IProfileStore& store = ProfileStore();
    const std::string position = store.GetProfileString(kSection, "Position", "");
    int left = 0, top = 0, right = 0, bottom = 0;
    if (std::sscanf(position.c_str(), "%d %d %d %d", &left, &top, &right, &bottom) == 4 &&
        right - left > 100 && bottom - top > 100)
        setGeometry(left, top, right - left, bottom - top);
    else
        resize(900, 600);
    if (store.GetProfileInt(kSection, "State", 0) == 1)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::SaveLayout() {
    if (m_layoutSaved)
        return;
    m_layoutSaved = true;
    // The tree is the left view the next start begins with, and the pane heights are its own.
    m_left->SwitchView(CLeftFrame::kTree, false);
    SaveToolBars();
    CTresorixSettings& settings = TresorixSettings();
    if (m_splitter->isVisible())
        settings.WndM_SplitterWidth = m_splitter->FirstPaneSize();
    m_right->StoreLayout();
    IProfileStore& store = ProfileStore();
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    char position[64];
    std::snprintf(position, sizeof position, "%04d %04d %04d %04d", normal.left(), normal.top(),
                  normal.left() + normal.width(), normal.top() + normal.height());
    store.WriteProfileString(kSection, "Position", position);
    store.WriteProfileInt(kSection, "State", isMaximized() ? 1 : 0);
}

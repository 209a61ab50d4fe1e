#include "app/MainFrame.h"

#include "app/AddFile.h"
#include "app/AppStrings.h"
#include "app/AutoLogout.h"
#include "app/AutoLogoutTray.h"
#include "app/CommandTable.h"
#include "app/Commands.h"
#include "app/CsvImportWizard.h"
#include "app/DatabaseManagerDlg.h"
#include "app/EditorFrame.h"
#include "app/EditorManager.h"
#include "app/ExportWizard.h"
#include "app/FavTreeView.h"
#include "app/FolderPropertiesDlg.h"
#include "app/HelpWindow.h"
#include "app/LeftFrame.h"
#include "app/MainTreeView.h"
#include "app/Messages.h"
#include "app/OptionsSheet.h"
#include "app/PasGenDlg.h"
#include "app/RightFrame.h"
#include "app/SearchLeftPane.h"
#include "app/TipOfTheDayDlg.h"
#include "app/TresorixApp.h"
#include "app/TrxImageList.h"
#include "app/TxListView.h"
#include "app/TxTrayIcon.h"
#include "app/WiringStrings.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/IdleTime.h"
#include "platform/LastInputInfo.h"
#include "platform/MessageBox.h"
#include "platform/ProfileStore.h"
#include "platform/ScreenLock.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "platform/qt/WaitCursor.h"
#include "storage/BackupDialogs.h"
#include "ui/KivSplitter.h"
#include "ui/ModalRunner.h"
#include "ui/PasswordEdit.h"
#include "ui/TextBytes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>

#include <cstdio>

CMainFrame::CMainFrame(CTresorixApp& app, CTxDoc& doc, GUARD guard) : m_app(app), m_doc(doc) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(ImageList().Icon(CTrxImageList::kProgram));
    m_actions = MakeCommandActions(this);
    for (const auto& [id, action] : m_actions) {
        addAction(action);
        connect(action, &QAction::triggered, this, [this, id = id] { OnCommand(id); });
    }

    CTresorixSettings& settings = TresorixSettings();
    m_splitter = new CKivSplitter(Qt::Horizontal);
    m_left = new CLeftFrame(doc);
    m_right = new CRightFrame(doc);
    m_right->SetLeftViewGetter([this] { return m_left->CurrentView(); });
    m_splitter->addWidget(m_left);
    m_splitter->addWidget(m_right);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);
    m_splitter->SetFirstPaneSize(settings.WndM_SplitterWidth);

    BuildToolBars();
    BuildMenus();
    statusBar();

    connect(m_left->Tree(), &CMainTreeView::ContextMenuRequested, this,
            [this](const QPoint& pos, int id) {
                QMenu* menu = BuildFolderMenu(id);
                menu->exec(pos);
                menu->deleteLater();
            });
    connect(m_right->List(), &CTxListView::ContextMenuRequested, this,
            [this](const QPoint& pos, bool onItem) {
                QMenu* menu = BuildListMenu(onItem);
                menu->exec(pos);
                menu->deleteLater();
            });
    connect(m_left->Favorites(), &CFavTreeView::ContextMenuRequested, this,
            [this](const QPoint& pos, int) {
                QMenu* menu = BuildFavoritesMenu();
                menu->exec(pos);
                menu->deleteLater();
            });
    connect(m_left->Favorites(), &CFavTreeView::CommandRequested, this, [this](int id) {
        QMetaObject::invokeMethod(
            this, [this, id] { OnCommand(id); }, Qt::QueuedConnection);
    });
    connect(m_left->Favorites(), &QTreeWidget::itemSelectionChanged, this,
            &CMainFrame::UpdateCommands);
    connect(m_right->List(), &CTxListView::SelectionChanged, this, &CMainFrame::UpdateCommands);
    connect(m_left, &CLeftFrame::ViewChanged, this, &CMainFrame::UpdateCommands);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now)
            return;
        if (m_right->List()->isAncestorOf(now))
            m_listHadFocus = true;
        else if (m_left->isAncestorOf(now))
            m_listHadFocus = false;
        UpdateCommands();
    });

    ApplyTreeIconSize();
    CreateGuard(guard);
    m_doc.AddView(this);
    LoadPlacement();
    UpdateTitle();
    UpdateCommands();
}

CMainFrame::~CMainFrame() {
    m_doc.RemoveView(this);
    SaveLayout();
}

QAction* CMainFrame::Action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::OnUpdate(CKivDoc&, IKivView*, int, const void*) {
    UpdateCommands();
}

void CMainFrame::UpdateTitle() {
    const CTresorixSettings& settings = TresorixSettings();
    QString title = Tr(ids::kAppTitle);
    if (settings.View_AdvancedCaption)
        title = Tr(ids::kAppTitleWithFile)
                    .replace(QStringLiteral("%1"), m_doc.IsAuthorised()
                                                       ? FromBytes(settings.App_ConnectionString)
                                                       : Tr(ids::kNotLoggedIn));
    setWindowTitle(title);
}

std::vector<int> CMainFrame::CommandSelection() const {
    std::vector<int> list = m_right->List()->SelectedIds();
    if (!list.empty() && (m_listHadFocus || m_left->Tree()->SelectedId() <= 0))
        return list;
    const int folder = m_left->Tree()->SelectedId();
    return folder > 0 ? std::vector<int>{folder} : std::vector<int>{};
}

void CMainFrame::UpdateCommands() {
    const bool logged = m_doc.IsAuthorised();
    const std::vector<int> selection = logged ? CommandSelection() : std::vector<int>{};
    const std::vector<int> listSelection =
        logged ? m_right->List()->SelectedIds() : std::vector<int>{};
    const int left = m_left->CurrentView();
    auto set = [this](int id, bool on) {
        if (QAction* a = Action(id))
            a->setEnabled(on);
    };
    set(cmd::kLogout, logged);
    set(cmd::kLogin, !logged);
    set(cmd::kBack, logged && m_doc.CanBack());
    set(cmd::kForward, logged && m_doc.CanForward());
    set(cmd::kDelete, !selection.empty() && m_doc.CanDeleteItems(selection));
    set(cmd::kMoveTo, !selection.empty() && m_doc.CanMoveItems(selection));
    set(cmd::kDuplicate, !listSelection.empty() && m_doc.CanDeleteItems(listSelection));
    set(cmd::kAddToFavorites, !listSelection.empty());
    set(cmd::kEmptyRecycleBin, logged && !m_doc.IsRecycleBinEmpty());
    set(cmd::kRefresh, logged);
    set(cmd::kShowFavorites, true);
    set(cmd::kShowSearch, true);
    set(cmd::kRemoveFromFavorites,
        logged && left == CLeftFrame::kFavorites && m_doc.GetSelectedFavorite() > 0);
    set(cmd::kBackupOptions, logged);
    // Creating or opening another file is what a logged-out user may well want.
    set(cmd::kDatabaseManagement, true);
    // The new-item commands act on the current folder; without one a record would have no
    // parent and never show.
    const bool folder = logged && m_doc.GetCurrentFolder() > 0;
    for (int id : {cmd::kNewFolder, cmd::kNewPassword, cmd::kNewCreditCard, cmd::kNewNote,
                   cmd::kNewUrl, cmd::kAddFile})
        set(id, folder);
    set(cmd::kRename, logged && m_left->Tree()->SelectedId() > 0);
    set(cmd::kFolderProperties, logged && m_left->Tree()->SelectedId() > 0);
    set(cmd::kSelectAll, logged);
    set(cmd::kViewStyleMenu, left == CLeftFrame::kTree || left == CLeftFrame::kSearch);
    for (int id : {cmd::kImportCsv, cmd::kExport})
        set(id, logged);
    set(cmd::kOpenItem, logged && (left == CLeftFrame::kFavorites ? m_doc.GetSelectedFavorite() > 0
                                                                  : listSelection.size() == 1));
    set(cmd::kPasswordGenerator, true);
    set(cmd::kHelpTopics, true);
    set(cmd::kTipOfTheDay, true);
    const int style = m_right->List()->GetViewStyle();
    const std::pair<int, int> styles[] = {{cmd::kViewLargeIcons, CTxListView::kLargeIcons},
                                          {cmd::kViewDetails, CTxListView::kDetails},
                                          {cmd::kViewSmallIcons, CTxListView::kSmallIcons},
                                          {cmd::kViewList, CTxListView::kList}};
    for (const auto& [id, value] : styles)
        if (QAction* a = Action(id))
            a->setChecked(style == value);
    if (QAction* a = Action(cmd::kShowTree))
        a->setChecked(left == CLeftFrame::kTree);
    if (QAction* a = Action(cmd::kShowFavorites))
        a->setChecked(left == CLeftFrame::kFavorites);
    if (QAction* a = Action(cmd::kShowSearch))
        a->setChecked(left == CLeftFrame::kSearch);
}

void CMainFrame::OnMessage(unsigned message, int wParam) {
    switch (message) {
    case msg::kLoggedIn:
        m_autoLogout->StartAutoLogoutTimer();
        UpdateTitle();
        UpdateCommands();
        break;
    case msg::kLoggedOut:
        m_autoLogout->StopAutoLogoutTimer();
        UpdateTitle();
        UpdateCommands();
        break;
    case msg::kOptionChanged:
        OnOptionChanged(wParam);
        break;
    case msg::kEditorClosed:
    case msg::kReloadAll:
        m_doc.UpdateAllViews(nullptr, CTxDoc::kHintReloadAll);
        break;
    case msg::kFocusRightPane:
        m_right->List()->CurrentView()->setFocus();
        break;
    case msg::kActivate:
        m_trayIcon->OnActivate();
        break;
    case msg::kNewDataFile:
        m_doc.NewDataFile();
        break;
    case msg::kEndSessionRefused:
        TxInfoBox(ids::kCloseSessionFirst);
        break;
    default:
        break;
    }
}

void CMainFrame::OnOptionChanged(int code) {
    CTresorixSettings& settings = TresorixSettings();
    switch (code) {
    case msg::kChangeLayout:
        m_right->SetPreviewVisible(settings.View_ShowPreviewPanel != 0);
        UpdateTitle();
        break;
    case msg::kChangeAppearance:
        m_right->List()->SetGridLines(settings.View_ShowGridLines != 0);
        m_right->List()->SetFullRowSelect(settings.View_FullRowSelect != 0);
        m_left->Favorites()->ApplyIconSize();
        ApplyTreeIconSize();
        for (CKivPasswordEdit* box : findChildren<CKivPasswordEdit*>())
            box->SetShowPassword(CKivPasswordEdit::kFromSettings);
        // Editors are top-level windows of their own, not children of this one.
        for (CEditorFrame* editor : m_app.Editors().Editors())
            for (CKivPasswordEdit* box : editor->findChildren<CKivPasswordEdit*>())
                box->SetShowPassword(CKivPasswordEdit::kFromSettings);
        m_doc.UpdateAllViews(nullptr, CTxDoc::kHintReloadAll);
        break;
    case msg::kChangeTray:
        m_tray->UpdateTrayIcon();
        break;
    case msg::kChangeAutoLogout:
        m_autoLogout->StartAutoLogoutTimer();
        break;
    case msg::kChangeCache:
        m_doc.ClearCache();
        break;
    default:
        break;
    }
}

void CMainFrame::OnCommand(int id) {
    const std::vector<int> selection = CommandSelection();
    switch (id) {
    case cmd::kShowTree:
        m_left->SwitchView(CLeftFrame::kTree);
        break;
    case cmd::kShowSearch:
        m_left->SwitchView(CLeftFrame::kSearch);
        break;
    case cmd::kShowFavorites:
        m_left->Favorites()->ClearChoice();
        m_left->SwitchView(CLeftFrame::kFavorites);
        // The list and preview empty themselves for the favorites view.
        if (m_doc.IsAuthorised())
            m_doc.UpdateAllViews(nullptr, CTxDoc::kHintFavoriteSelected);
        break;
    case cmd::kOpenItem: {
        const int item = m_left->CurrentView() == CLeftFrame::kFavorites
                             ? m_doc.GetSelectedFavorite()
                             : (m_right->List()->SelectedIds().size() == 1
                                    ? m_right->List()->SelectedIds().front()
                                    : 0);
        if (item > 0)
            m_doc.OpenItem(item);
        break;
    }
    case cmd::kNewPassword:
    case cmd::kNewCreditCard:
    case cmd::kNewNote:
    case cmd::kNewUrl:
        if (m_doc.IsAuthorised() && m_doc.GetCurrentFolder() > 0)
            m_app.Editors().OnNewItemCommand(id);
        break;
    case cmd::kAddFile:
        if (m_doc.IsAuthorised() && m_doc.GetCurrentFolder() > 0)
            RunAddFile(m_doc, m_doc.GetCurrentFolder(), this);
        break;
    case cmd::kPasswordGenerator:
        RunPasswordGenerator(this);
        break;
    case cmd::kImportCsv:
        if (m_doc.IsAuthorised())
            RunCsvImport(m_doc, this);
        break;
    case cmd::kExport:
        if (m_doc.IsAuthorised())
            RunExportWizard(m_doc, this);
        break;
    case cmd::kRemoveFromFavorites:
        if (const int favorite = m_doc.GetSelectedFavorite()) {
            m_doc.RemoveFavorite(favorite);
            m_doc.SetSelectedFavorite(0);
            m_doc.UpdateAllViews(nullptr, CTxDoc::kHintRecordsChanged);
        }
        break;
    case cmd::kBack:
    case cmd::kForward:
        m_left->SwitchView(CLeftFrame::kTree, false);
        if (id == cmd::kBack)
            m_doc.Back();
        else
            m_doc.Forward();
        break;
    case cmd::kOptions:
    case cmd::kLayout:
        ShowOptions(id == cmd::kLayout);
        break;
    case cmd::kDelete:
        if (m_doc.CanDeleteItems(selection))
            m_doc.DeleteItems(selection);
        break;
    case cmd::kDuplicate: {
        const std::vector<int> list = m_right->List()->SelectedIds();
        if (!list.empty() && m_doc.CanDeleteItems(list)) {
            CWaitCursor wait;
            m_doc.CopyItems(list);
        }
        break;
    }
    case cmd::kAddToFavorites:
        m_doc.AddFavorites(m_right->List()->SelectedIds());
        break;
    case cmd::kMoveTo:
        if (m_doc.CanMoveItems(selection))
            m_doc.MoveItems(selection);
        break;
    case cmd::kBackupOptions:
        if (m_doc.IsAuthorised())
            BackupDialogs().ShowBackupDialog(OpenPath(), false, false);
        break;
    case cmd::kDatabaseManagement:
        DatabaseManagement();
        break;
    case cmd::kEmptyRecycleBin:
        m_doc.EmptyRecycleBin();
        break;
    case cmd::kRefresh:
        if (m_doc.IsAuthorised())
            m_doc.Refresh();
        break;
    case cmd::kNewFolder:
        NewFolder();
        break;
    case cmd::kRename:
        m_left->Tree()->BeginRename();
        break;
    case cmd::kFolderProperties:
        if (const int folder = m_doc.IsAuthorised() ? m_left->Tree()->SelectedId() : 0) {
            CFolderPropertiesDlg dialog(m_doc, folder, this);
            RunModal(dialog);
        }
        break;
    case cmd::kSelectAll:
        m_right->List()->SelectAll();
        break;
    case cmd::kLogout:
        Logout();
        break;
    case cmd::kLogin:
        if (m_app.SwitchDataFile(TresorixSettings().App_ConnectionString) && m_tray->IsHidden())
            m_tray->RestoreFromTray();
        break;
    case cmd::kRestoreFromTray:
        m_tray->RestoreFromTray();
        break;
    case cmd::kClearClipboard:
        CAutoLogoutTray::OnClearClipboardCommand();
        break;
    case cmd::kHelpTopics:
        if (m_left->CurrentView() == CLeftFrame::kSearch &&
            m_left->isAncestorOf(QApplication::focusWidget()))
            m_left->Search()->OnHelp();
        else
            ShowHelpTopic(QStringLiteral("index.htm"), this);
        break;
    case cmd::kTipOfTheDay: {
        CTipOfTheDayDlg tip(this);
        RunModal(tip);
        break;
    }
    case cmd::kAbout:
        KivMessageBox(FormatString(LoadString(ids::kAboutText), "1.0"), MB_OK | MB_ICONINFORMATION);
        break;
    case cmd::kExit:
        Exit();
        break;
    case cmd::kToolbar:
        for (QToolBar* bar : m_toolBars)
            bar->setVisible(Action(cmd::kToolbar)->isChecked());
        break;
    case cmd::kStatusBar:
        statusBar()->setVisible(Action(cmd::kStatusBar)->isChecked());
        break;
    case cmd::kViewLargeIcons:
        m_right->List()->SetViewStyle(CTxListView::kLargeIcons);
        break;
    case cmd::kViewSmallIcons:
        m_right->List()->SetViewStyle(CTxListView::kSmallIcons);
        break;
    case cmd::kViewList:
        m_right->List()->SetViewStyle(CTxListView::kList);
        break;
    case cmd::kViewDetails:
        m_right->List()->SetViewStyle(CTxListView::kDetails);
        break;
    default:
        break;
    }
    UpdateCommands();
}

void CMainFrame::ApplyTreeIconSize() {
    const int size = TresorixSettings().View_TreeViewLargeIcons == 1 ? 32 : 16;
    m_left->Tree()->setIconSize(QSize(size, size));
}

std::string CMainFrame::OpenPath() const {
    TComPtr<ITresorix> tresorix = m_doc.GetTresorix();
    return tresorix ? tresorix->GetFileName() : std::string();
}

void CMainFrame::DatabaseManagement() {
    const std::string path =
        m_doc.IsAuthorised() ? OpenPath() : TresorixSettings().App_ConnectionString;
    CDatabaseManagerDlg dialog(m_doc, path, this);
    const int result = RunModal(dialog);
    switch (result) {
    case CDatabaseManagerDlg::kCreate:
        QMetaObject::invokeMethod(
            this, [this] { OnMessage(msg::kNewDataFile); }, Qt::QueuedConnection);
        break;
    case CDatabaseManagerDlg::kOpen:
    case CDatabaseManagerDlg::kPasswordChanged:
        // After a password change the document is logged out already: the login asks for
        // the new credentials.
        if (m_app.SwitchDataFile(dialog.GetPath()) && m_tray->IsHidden())
            m_tray->RestoreFromTray();
        break;
    default:
        break;
    }
}

QMenu* CMainFrame::BuildFavoritesMenu() {
    auto* menu = new QMenu(this);
    if (QAction* open = Action(cmd::kOpenItem)) {
        QAction* item = menu->addAction(open->icon(), Tr(wids::kOpenMenu));
        item->setData(cmd::kOpenItem);
        item->setEnabled(open->isEnabled());
        connect(item, &QAction::triggered, open, &QAction::trigger);
        menu->setDefaultAction(item);
    }
    menu->addSeparator();
    if (QAction* remove = Action(cmd::kRemoveFromFavorites)) {
        QAction* item = menu->addAction(remove->icon(), Tr(wids::kRemoveFromList));
        item->setData(cmd::kRemoveFromFavorites);
        item->setEnabled(remove->isEnabled());
        connect(item, &QAction::triggered, remove, &QAction::trigger);
    }
    return menu;
}

void CMainFrame::NewFolder() {
    const int parent = m_doc.GetCurrentFolder();
    if (parent <= 0)
        return;
    const int folder = m_doc.NewFolder(parent);
    if (folder > 0)
        m_doc.UpdateAllViews(nullptr, CTxDoc::kHintFolderCreated, folder);
}

void CMainFrame::ShowOptions(bool layoutOnly) {
    COptionsSheet sheet(layoutOnly, this);
    if (RunModal(sheet) != QDialog::Accepted)
        return;
    for (int code : sheet.ChangeCodes())
        QMetaObject::invokeMethod(
            this, [this, code] { OnMessage(msg::kOptionChanged, code); }, Qt::QueuedConnection);
}

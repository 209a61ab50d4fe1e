#include "app/EditorFrame.h"

#include "app/CustomFieldsList.h"
#include "app/EditPanel.h"
#include "app/EditorStrings.h"
#include "app/HelpTopics.h"
#include "app/HelpWindow.h"
#include "app/Messages.h"
#include "app/TrxImageList.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "model/TransactionScope.h"
#include "model/TxDoc.h"
#include "platform/FileTime.h"
#include "platform/MessageBox.h"
#include "platform/ProfileStore.h"
#include "platform/StringTable.h"
#include "storage/SQLiteException.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QMenu>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>

namespace {

constexpr int kCommandSave = 3;
constexpr int kCommandSaveAndCreate = 174;
constexpr int kCommandSaveAndClose = 32784;
constexpr int kCommandDelete = 32779;
constexpr int kCommandMoveTo = 32780;
constexpr int kCommandAddToFavorites = 32795;
constexpr int kCommandHelp = 57669;
constexpr unsigned kIdHelpTopics = 62880;
constexpr unsigned kIdDataChanged = 61266;
constexpr unsigned kIdUntitled = 61265;
// Left, top, right, bottom as stored: right and bottom lie just outside the window.
const QRect kDefaultPlacement(100, 80, 815 - 100, 645 - 80);

} // namespace

CEditorFrame::CEditorFrame(CTxDoc& doc, const EDITOR_TYPE& type, CEditPanel* panel, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_type(type), m_panel(panel) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QString::fromLatin1(type.section) + QStringLiteral("Editor"));
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(m_panel);
    setCentralWidget(scroll);
    BuildToolBar();
    m_panel->InstallKeyHandling();
    connect(m_panel, &CEditPanel::CloseRequested, this, [this] { CloseEditor(); });
    connect(m_panel, &CEditPanel::Modified, this, [this] { UpdateCommands(); });
    connect(m_panel->Tabs(), &QTabWidget::currentChanged, this, [this](int index) {
        CTresorixSettings& settings = TresorixSettings();
        if (settings.View_RememberTabs && !m_panel->IsLoading())
            settings.*m_type.tab = index;
    });
    LoadPlacement();
}

CEditorFrame::~CEditorFrame() {
    // The panel goes after this body; what it signals on its way out is no edit.
    QObject::disconnect(m_panel, nullptr, this, nullptr);
    QObject::disconnect(m_panel->Tabs(), nullptr, this, nullptr);
    // Destroyed without a close (the program ending): the manager must still forget it.
    if (!m_closed && m_onClosed) {
        m_closed = true;
        m_onClosed(*this);
    }
}

void CEditorFrame::BuildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Editor"));
    bar->setObjectName(QStringLiteral("EditorToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto add = [this](int command, unsigned textId, const char* icon) {
        auto* action =
            new QAction(QIcon::fromTheme(QString::fromLatin1(icon)), EdShortText(textId), this);
        action->setToolTip(EdLongText(textId));
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
        m_actions[command] = action;
        return action;
    };
    QAction* save = add(kCommandSave, kCommandSave, "document-save");
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addAction(save);
    add(kCommandSaveAndCreate, kCommandSaveAndCreate, "document-new");
    add(kCommandSaveAndClose, kCommandSaveAndClose, "document-save-as");
    auto* menu = new QMenu(this);
    for (int command : {kCommandSave, kCommandSaveAndCreate, kCommandSaveAndClose})
        menu->addAction(m_actions[command]);
    m_saveButton = new QToolButton(bar);
    m_saveButton->setObjectName(QStringLiteral("SaveButton"));
    m_saveButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_saveButton->setPopupMode(QToolButton::MenuButtonPopup);
    m_saveButton->setMenu(menu);
    connect(m_saveButton, &QToolButton::clicked, this, [this] { OnCommand(SaveCommand()); });
    bar->addWidget(m_saveButton);
    bar->addSeparator();
    bar->addAction(add(kCommandAddToFavorites, kCommandAddToFavorites, "bookmark-new"));
    bar->addAction(add(kCommandMoveTo, kCommandMoveTo, "go-jump"));
    bar->addAction(add(kCommandDelete, kCommandDelete, "edit-delete"));
    bar->addSeparator();
    bar->addAction(add(kCommandClose, m_type.closeCommand, "window-close"));
    auto* help = new QAction(QIcon::fromTheme(QStringLiteral("help-contents")),
                             QString::fromStdString(LoadString(kIdHelpTopics)), this);
    connect(help, &QAction::triggered, this, [this] { OnCommand(kCommandHelp); });
    m_actions[kCommandHelp] = help;
    bar->addAction(help);
    SetSaveCommand(SaveCommand());
}

QAction* CEditorFrame::Action(int command) const {
    auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

int CEditorFrame::SaveCommand() const {
    const int stored = TresorixSettings().View_ToolbarBtnSave;
    return stored == kCommandSave || stored == kCommandSaveAndCreate ? stored
                                                                     : kCommandSaveAndClose;
}

void CEditorFrame::SetSaveCommand(int command) {
    TresorixSettings().View_ToolbarBtnSave = command;
    if (!m_saveButton)
        return;
    QAction* action = Action(command);
    m_saveButton->setText(EdShortText(static_cast<unsigned>(command)));
    m_saveButton->setToolTip(EdLongText(static_cast<unsigned>(command)));
    if (action)
        m_saveButton->setIcon(action->icon());
}

bool CEditorFrame::IsModified() const {
    return m_panel->IsModified();
}

void CEditorFrame::Open(int id, int parent) {
    const int old = m_id;
    m_id = id;
    m_parent = parent;
    TComPtr<ICommonProperties> record;
    if (id != 0) {
        record = m_doc.GetRecord(id);
        if (TComPtr<ITreeItem> node = m_doc.GetNode(id))
            m_parent = node->GetParentID();
    }
    m_new = id == 0;
    m_panel->Load(record.Get(), m_type.defaultImage);
    RestoreTab();
    UpdateTitle();
    UpdateCommands();
    if (old != id && m_onIdChanged)
        m_onIdChanged(*this, old);
}

void CEditorFrame::RestoreTab() {
    const CTresorixSettings& settings = TresorixSettings();
    if (!settings.View_RememberTabs)
        return;
    const int tab = settings.*m_type.tab;
    if (tab >= 0 && tab < m_panel->Tabs()->count())
        m_panel->Tabs()->setCurrentIndex(tab);
}

bool CEditorFrame::Save() {
    CKivDatabase* db = m_doc.IsAuthorised() ? m_doc.GetDatabase() : nullptr;
    TComPtr<ITresorix> tresorix = m_doc.GetTresorix();
    if (!db || !tresorix)
        return false;
    int id = m_id;
    const bool first = m_new;
    bool saved = false;
    try {
        CTransactionScope transaction(*db);
        if (first)
            id = m_doc.CreateNewObject(m_type.clsid, m_parent, LoadString(m_type.temporaryName));
        TComPtr<ITreeItem> node = id ? MakeTreeItem(tresorix.Get(), id) : TComPtr<ITreeItem>();
        TComPtr<ICommonProperties> record =
            node ? GetCommonProperties(node->GetData()) : TComPtr<ICommonProperties>();
        if (record && m_panel->Store(record.Get())) {
            if (first)
                record->SetCreated(CurrentFileTime());
            saved = node->SetData(record.Get()) && transaction.Commit();
        }
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        saved = false;
    }
    if (!saved) {
        // The cached record may hold the panel's values that never reached the file.
        if (id)
            tresorix->RemoveCachedItem(id);
        return false;
    }
    const int old = m_id;
    m_id = id;
    m_new = false;
    m_panel->ClearModified();
    if (old != id && m_onIdChanged)
        m_onIdChanged(*this, old);
    UpdateTitle();
    UpdateCommands();
    return true;
}

void CEditorFrame::OnCommand(int command) {
    switch (command) {
    case kCommandSave:
        SetSaveCommand(command);
        if (Save()) {
            Post(msg::kReloadAll);
            Open(m_id, m_parent);
        }
        break;
    case kCommandSaveAndClose:
        SetSaveCommand(command);
        if (Save())
            FinishClose();
        break;
    case kCommandSaveAndCreate:
        SetSaveCommand(command);
        if (Save()) {
            Open(0, m_parent);
            Post(msg::kReloadAll);
        }
        break;
    case kCommandClose:
        CloseEditor();
        break;
    case kCommandMoveTo:
        if (!m_new && m_doc.MoveItems({m_id}))
            m_parent = m_doc.GetNode(m_id) ? m_doc.GetNode(m_id)->GetParentID() : m_parent;
        break;
    case kCommandDelete:
        if (!m_new && m_doc.CanDeleteItems({m_id}) && m_doc.DeleteItems({m_id}))
            CloseEditor();
        break;
    case kCommandAddToFavorites:
        AddToFavorites();
        break;
    case kCommandHelp:
        ShowHelpTopic(HelpTopicFor(this), this);
        break;
    default:
        break;
    }
}

void CEditorFrame::AddToFavorites() {
    if (m_new) {
        if (!IsModified() || !AskToSave() || m_new)
            return;
    }
    m_doc.AddFavorites({m_id});
}

bool CEditorFrame::AskToSave() {
    if (!IsModified())
        return true;
    const int answer = KivMessageBox(EdString(kIdDataChanged), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES)
        return Save();
    return answer == IDNO;
}

bool CEditorFrame::CloseEditor() {
    if (m_closing)
        return false;
    m_closing = true;
    m_panel->SetClosing(true);
    const bool go = AskToSave();
    m_closing = false;
    m_panel->SetClosing(false);
    if (!go)
        return false;
    FinishClose();
    return true;
}

void CEditorFrame::FinishClose() {
    m_closing = true;
    m_panel->SetClosing(true);
    close();
}

bool CEditorFrame::QueryClose() {
    return !IsModified();
}

void CEditorFrame::Close() {
    FinishClose();
}

void CEditorFrame::Activate() {
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void CEditorFrame::closeEvent(QCloseEvent* event) {
    // The system-menu close goes through the question; our own closes have asked already.
    if (!m_closing && !CloseEditor()) {
        event->ignore();
        return;
    }
    if (m_closed) {
        event->accept();
        return;
    }
    SavePlacement();
    m_closed = true;
    if (m_onClosed)
        m_onClosed(*this);
    Post(msg::kEditorClosed);
    event->accept();
}

void CEditorFrame::Post(unsigned message) {
    if (m_post)
        m_post(message, m_id);
}

void CEditorFrame::UpdateTitle() {
    std::string name = m_panel->Name();
    if (name.empty())
        name = EdString(kIdUntitled);
    setWindowTitle(QString::fromStdString(FormatString(EdString(m_type.title), name)));
    setWindowIcon(ImageList().Icon(m_panel->Image()));
}

void CEditorFrame::UpdateCommands() {
    const bool stored = !m_new && m_doc.IsAuthorised();
    if (QAction* a = Action(kCommandDelete))
        a->setEnabled(stored);
    if (QAction* a = Action(kCommandMoveTo))
        a->setEnabled(stored);
    // A new record with nothing typed has nothing to add.
    if (QAction* a = Action(kCommandAddToFavorites))
        a->setEnabled(m_doc.IsAuthorised() && (!m_new || IsModified()));
}

void CEditorFrame::LoadPlacement() {
    IProfileStore& store = ProfileStore();
    const std::string position = store.GetProfileString(m_type.section, "Position", "");
    int left = 0, top = 0, right = 0, bottom = 0;
    if (std::sscanf(position.c_str(), "%d %d %d %d", &left, &top, &right, &bottom) == 4 &&
        right - left > 100 && bottom - top > 100)
        setGeometry(left, top, right - left, bottom - top);
    else
        setGeometry(kDefaultPlacement);
    if (store.GetProfileInt(m_type.section, "State", 0) == 1)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CEditorFrame::SavePlacement() {
    IProfileStore& store = ProfileStore();
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    char position[64];
    std::snprintf(position, sizeof position, "%04d %04d %04d %04d", normal.left(), normal.top(),
                  normal.left() + normal.width(), normal.top() + normal.height());
    store.WriteProfileString(m_type.section, "Position", position);
    store.WriteProfileInt(m_type.section, "State", isMaximized() ? 1 : 0);
}

#include "app/SearchOptionsPanel.h"

#include "app/AppStrings.h"
#include "app/ProgressDlg.h"
#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/ProfileStore.h"
#include "platform/TresorixSettings.h"
#include "ui/TextBytes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int kRootFolder = 1;

constexpr unsigned kIdStartSearch = 62225;
constexpr unsigned kIdStop = 62226;
constexpr unsigned kIdBrowse = 62232;
constexpr unsigned kIdSearchFor = 62233;
constexpr unsigned kIdSearchFields = 62234;
constexpr unsigned kIdTypeOfItem = 62235;
constexpr unsigned kIdLookIn = 62236;

struct FIELD_BOX {
    unsigned text;
    int CTresorixSettings::*setting;
};

// In the order of CSearchOptionsPanel::FIELD.
constexpr FIELD_BOX kFieldBoxes[CSearchOptionsPanel::kFieldCount] = {
    {62237, &CTresorixSettings::Search_NameChecked},
    {62238, &CTresorixSettings::Search_LoginCheked},
    {62239, &CTresorixSettings::Search_URLChecked},
    {62252, &CTresorixSettings::Search_CommentsChecked},
    {62253, &CTresorixSettings::Search_CardholderChecked},
    {62254, &CTresorixSettings::Search_AddressChecked},
    {62255, &CTresorixSettings::Search_FilenameChecked},
    {62256, &CTresorixSettings::Search_SubfoldersChecked},
};

} // namespace

CSearchOptionsPanel::CSearchOptionsPanel(CTxDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_folderPicker(PickFolder) {
    setObjectName(QStringLiteral("SearchOptionsPanel"));
    BuildControls();
    m_machine.SetDocument(&m_doc);
    m_machine.SetNotifyWindow(this);
    m_machine.SetWakeCallback([this] { QueueDelivery(); });
    m_doc.AddView(this);

    WriteControls();
    m_history.Load(ProfileStore());
    FillHistory();
    m_searchFor->setEditText(FromBytes(m_history.GetLastText()));
    ResetLookIn();
    SetRunning(false);
}

CSearchOptionsPanel::~CSearchOptionsPanel() {
    m_doc.RemoveView(this);
    // The worker must be gone before this object: its wake call queues work on it.
    m_machine.SetWakeCallback({});
    m_machine.Stop();
    m_machine.Wait();
    m_machine.SetNotifyWindow(nullptr);
    m_machine.SetDocument(nullptr);
}

void CSearchOptionsPanel::BuildControls() {
    auto* searchForLabel = new QLabel(Tr(kIdSearchFor), this);
    m_searchFor = new QComboBox(this);
    m_searchFor->setObjectName(QStringLiteral("SearchFor"));
    m_searchFor->setEditable(true);
    m_searchFor->setInsertPolicy(QComboBox::NoInsert);
    // Completion follows the history's own rule, not the box's.
    m_searchFor->setCompleter(nullptr);
    searchForLabel->setBuddy(m_searchFor);
    connect(m_searchFor->lineEdit(), &QLineEdit::textEdited, this,
            &CSearchOptionsPanel::OnSearchTextEdited);

    auto* group = new QGroupBox(Tr(kIdSearchFields), this);
    auto* groupLayout = new QVBoxLayout(group);
    for (int i = 0; i < kSubfolders; ++i) {
        m_fields[i] = new QCheckBox(Tr(kFieldBoxes[i].text), group);
        groupLayout->addWidget(m_fields[i]);
    }

    auto* typeLabel = new QLabel(Tr(kIdTypeOfItem), this);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("TypeOfItem"));
    for (const CSearchMachine::TYPE_ENTRY& entry : CSearchMachine::kTypeList)
        m_type->addItem(entry.image >= 0 ? ImageList().Icon(entry.image) : QIcon(),
                        Tr(entry.textId), entry.filter);
    m_type->setCurrentIndex(0);
    typeLabel->setBuddy(m_type);

    auto* lookInLabel = new QLabel(Tr(kIdLookIn), this);
    m_lookIn = new QComboBox(this);
    m_lookIn->setObjectName(QStringLiteral("LookIn"));
    lookInLabel->setBuddy(m_lookIn);
    connect(m_lookIn, &QComboBox::activated, this, &CSearchOptionsPanel::OnLookInActivated);

    m_fields[kSubfolders] = new QCheckBox(Tr(kFieldBoxes[kSubfolders].text), this);

    m_start = new QPushButton(this);
    m_start->setObjectName(QStringLiteral("StartSearch"));
    // Enter on the button presses it; elsewhere Enter moves on.
    m_start->setAutoDefault(true);
    connect(m_start, &QPushButton::clicked, this, &CSearchOptionsPanel::OnStartStop);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(searchForLabel);
    layout->addWidget(m_searchFor);
    layout->addWidget(group);
    layout->addWidget(typeLabel);
    layout->addWidget(m_type);
    layout->addWidget(lookInLabel);
    layout->addWidget(m_lookIn);
    layout->addWidget(m_fields[kSubfolders]);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_start);
    layout->addLayout(buttonRow);
    layout->addStretch(1);

    QWidget* order[] = {m_searchFor,        m_fields[kName],       m_fields[kLogin],
                        m_fields[kUrl],     m_fields[kComments],   m_fields[kCardholder],
                        m_fields[kAddress], m_fields[kFilename],   m_type,
                        m_lookIn,           m_fields[kSubfolders], m_start};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    for (QWidget* w : order)
        w->installEventFilter(this);
    m_searchFor->lineEdit()->installEventFilter(this);
    setFocusProxy(m_searchFor);
}

void CSearchOptionsPanel::ReadControls() {
    CTresorixSettings& settings = TresorixSettings();
    for (int i = 0; i < kFieldCount; ++i)
        settings.*kFieldBoxes[i].setting = m_fields[i]->isChecked() ? 1 : 0;
}

void CSearchOptionsPanel::WriteControls() {
    const CTresorixSettings& settings = TresorixSettings();
    for (int i = 0; i < kFieldCount; ++i)
        m_fields[i]->setChecked(settings.*kFieldBoxes[i].setting != 0);
}

void CSearchOptionsPanel::FillHistory() {
    const QString text = m_searchFor->currentText();
    m_searchFor->clear();
    for (const CSearchHistory::ENTRY& entry : m_history.GetEntries())
        m_searchFor->addItem(FromBytes(entry.text));
    const int index = m_searchFor->findText(text, Qt::MatchExactly);
    if (index >= 0)
        m_searchFor->setCurrentIndex(index);
    else
        m_searchFor->setEditText(text);
}

void CSearchOptionsPanel::OnStartStop() {
    if (m_running) {
        m_machine.Stop();
        // The worker ends at its next poll; the form is free at once.
        SetRunning(false);
        return;
    }
    ReadControls();
    const QString text = m_searchFor->currentText();
    const std::string pattern = ToBytes(text);
    if (m_history.Add(pattern)) {
        FillHistory();
        m_history.Save(ProfileStore());
    }

    m_machine.SetDocument(&m_doc);
    m_machine.SetPattern(pattern);
    m_machine.SetOptions(TresorixSettings());
    m_machine.SetStartFolder(LookInFolder());
    m_machine.SetNotifyWindow(this);
    m_machine.SetTypeFilter(TypeFilter());
    if (!m_machine.HasFieldOption()) {
        m_machine.BeginSearch(); // tells the user and starts nothing
        return;
    }
    m_quietEnd = false;
    SetRunning(true);
    m_machine.BeginSearch();
}

void CSearchOptionsPanel::SetRunning(bool running) {
    m_running = running;
    m_start->setText(Tr(running ? kIdStop : kIdStartSearch));
}

void CSearchOptionsPanel::QueueDelivery() {
    QMetaObject::invokeMethod(
        this, [this] { Deliver(); }, Qt::QueuedConnection);
}

void CSearchOptionsPanel::SetDeliveryPaused(bool paused) {
    m_paused = paused;
    if (!m_paused && m_deliveryWaiting)
        Deliver();
}

void CSearchOptionsPanel::Deliver() {
    if (m_paused) {
        m_deliveryWaiting = true;
        return;
    }
    // Long work may hold the document's connection closed (compaction): the finds wait on a
    // real timer, which only fires once that work has ended.
    if (CProgressDlg::IsAnyActive()) {
        QTimer::singleShot(50, this, [this] { Deliver(); });
        return;
    }
    m_deliveryWaiting = false;
    m_machine.DeliverPending();
    // What a search found before a logout belongs to no open file.
    if (!m_doc.IsAuthorised() && !m_doc.GetSearchResults().empty())
        m_doc.SetSearchResults({});
}

void CSearchOptionsPanel::OnSearchEnded() {
    SetRunning(false);
    if (std::exchange(m_quietEnd, false))
        return;
    CSearchMachine::ReportSearchEnded(m_doc);
}

void CSearchOptionsPanel::OnUpdate(CKivDoc&, IKivView*, int hint, const void*) {
    if (hint == CTxDoc::kHintLoginChanged) {
        if (m_doc.IsAuthorised()) {
            // Another file may be open: its folders are not the old ones.
            ResetLookIn();
        } else {
            // The machine has stopped its worker; its end is no completion.
            m_quietEnd = true;
            SetRunning(false);
        }
        return;
    }
    if (hint != CTxDoc::kHintSearchResults)
        RefreshLookIn();
}

int CSearchOptionsPanel::TypeFilter() const {
    return m_type->currentData().toInt();
}

int CSearchOptionsPanel::LookInFolder() const {
    const int id = m_lookIn->currentData().toInt();
    return id > 0 ? id : kRootFolder;
}

void CSearchOptionsPanel::ResetLookIn() {
    m_lookIn->clear();
    m_lookIn->addItem(Tr(kIdBrowse), kBrowseEntry);
    m_pickerFolder = kRootFolder;
    if (TComPtr<ICommonProperties> root = m_doc.GetRecord(kRootFolder))
        AddLookInEntry(kRootFolder, FromBytes(root->GetName()), root->GetImage());
    m_lookIn->setCurrentIndex(0);
}

void CSearchOptionsPanel::AddLookInEntry(int id, const QString& name, int image) {
    // Folders go before "Browse...", which stays last.
    m_lookIn->insertItem(m_lookIn->count() - 1, ImageList().Icon(image), name, id);
}

bool CSearchOptionsPanel::SelectLookInFolder(int id) {
    const int listed = m_lookIn->findData(id);
    if (id > 0 && listed >= 0) {
        m_lookIn->setCurrentIndex(listed);
        m_pickerFolder = id;
        return true;
    }
    TComPtr<ICommonProperties> record = id > 0 ? m_doc.GetRecord(id) : nullptr;
    if (!record || !record->IsFolder())
        return false;
    AddLookInEntry(id, FromBytes(record->GetName()), record->GetImage());
    m_lookIn->setCurrentIndex(m_lookIn->findData(id));
    m_pickerFolder = id;
    return true;
}

void CSearchOptionsPanel::OnLookInActivated(int index) {
    const int id = m_lookIn->itemData(index).toInt();
    if (id != kBrowseEntry) {
        m_pickerFolder = id;
        return;
    }
    const int chosen =
        m_folderPicker && m_doc.IsAuthorised() ? m_folderPicker(m_doc, m_pickerFolder, this) : 0;
    if (chosen <= 0 || !SelectLookInFolder(chosen))
        m_lookIn->setCurrentIndex(0);
}

void CSearchOptionsPanel::RefreshLookIn() {
    if (!m_doc.IsAuthorised())
        return;
    for (int i = m_lookIn->count() - 1; i >= 0; --i) {
        const int id = m_lookIn->itemData(i).toInt();
        if (id == kBrowseEntry)
            continue;
        TComPtr<ICommonProperties> record = m_doc.GetRecord(id);
        if (!record) {
            // The root is never deleted; an unreadable root keeps its entry.
            if (id != kRootFolder)
                m_lookIn->removeItem(i);
            continue;
        }
        m_lookIn->setItemText(i, FromBytes(record->GetName()));
        m_lookIn->setItemIcon(i, ImageList().Icon(record->GetImage()));
    }
    if (m_lookIn->currentData().toInt() == kBrowseEntry || m_lookIn->currentIndex() < 0)
        m_lookIn->setCurrentIndex(0);
    if (m_lookIn->findData(m_pickerFolder) < 0)
        m_pickerFolder = kRootFolder;
}

void CSearchOptionsPanel::OnSearchTextEdited(const QString& text) {
    if (m_lastKey == Qt::Key_Backspace || m_lastKey == Qt::Key_Delete)
        return;
    const QString completed = FromBytes(m_history.Complete(ToBytes(text)));
    if (completed.length() <= text.length())
        return;
    QLineEdit* edit = m_searchFor->lineEdit();
    edit->setText(completed);
    edit->setSelection(static_cast<int>(text.length()),
                       static_cast<int>(completed.length() - text.length()));
}

void CSearchOptionsPanel::FocusSearchText() {
    m_searchFor->setFocus();
    m_searchFor->lineEdit()->selectAll();
}

bool CSearchOptionsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // The box has the focus and hands its keys to its edit.
        if (watched == m_searchFor || watched == m_searchFor->lineEdit())
            m_lastKey = key;
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched != m_start) {
            focusNextPrevChild(true);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

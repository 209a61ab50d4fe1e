#include "app/RightFrame.h"

#include "app/AppStrings.h"
#include "app/Messages.h"
#include "app/PreviewPanels.h"
#include "app/TrxImageList.h"
#include "app/TxListView.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/TresorixSettings.h"
#include "ui/KivSplitter.h"
#include "ui/TextBytes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CRightFrame::CRightFrame(CTxDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("RightFrame"));
    m_headerIcon = new QLabel;
    m_headerText = new QLabel;
    QFont bold = m_headerText->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_headerText->setFont(bold);
    auto* header = new QWidget;
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Mid);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(6, 3, 6, 3);
    headerLayout->addWidget(m_headerIcon);
    headerLayout->addWidget(m_headerText, 1);

    m_list = new CTxListView(doc);
    m_preview = new CPreviewContainer;
    m_splitter = new CKivSplitter(Qt::Vertical);
    m_splitter->addWidget(m_list);
    m_splitter->addWidget(m_preview);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);

    CTresorixSettings& settings = TresorixSettings();
    m_splitter->SetFirstPaneSize(settings.WndM_SplitterHeight);
    if (!settings.View_ShowPreviewPanel)
        m_preview->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(m_splitter, 1);

    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(timer::kHeaderRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &CRightFrame::RefreshHeaderAndPreview);
    m_list->SetRefilledHandler([this](int hint) {
        // Posted, as the message is: the refill finishes before anything reacts to it.
        QMetaObject::invokeMethod(
            this, [this, hint] { OnListRefilled(hint); }, Qt::QueuedConnection);
    });
    connect(m_list, &CTxListView::SelectionChanged, this, [this] { OnListRefilled(m_lastHint); });
    RefreshHeader();
}

CRightFrame::~CRightFrame() = default;

void CRightFrame::OnListRefilled(int hint) {
    m_lastHint = hint;
    m_refreshTimer.start();
}

void CRightFrame::RefreshHeaderAndPreview() {
    m_refreshTimer.stop();
    RefreshHeader();
    RefreshPreview();
}

QString CRightFrame::HeaderText() const {
    return m_headerText->text();
}

void CRightFrame::RefreshHeader() {
    const int leftView = m_leftView ? m_leftView() : 0;
    int image = CTrxImageList::kProgram;
    QString text;
    if (!m_doc.IsAuthorised()) {
        text = Tr(ids::kNotLoggedIn);
    } else if (leftView == 2) {
        image = CTrxImageList::kSearch;
        text = Tr(ids::kSearchResults);
    } else if (leftView == 1 && m_doc.GetSelectedFavorite() == 0) {
        image = CTrxImageList::kFavorites;
        text = Tr(ids::kFavorites);
    } else if (TComPtr<ICommonProperties> folder = m_doc.GetRecord(m_doc.GetCurrentFolder())) {
        image = folder->GetImage();
        text = FromBytes(folder->GetName());
    }
    m_headerIcon->setPixmap(ImageList().Icon(image).pixmap(24, 24));
    m_headerText->setText(text);
}

void CRightFrame::RefreshPreview() {
    const int leftView = m_leftView ? m_leftView() : 0;
    if (leftView != 1 && !TresorixSettings().View_ShowPreviewPanel) {
        m_preview->Clear();
        return;
    }
    if (!m_doc.IsAuthorised()) {
        m_preview->Clear();
        return;
    }
    // The list is empty in favorites mode: its rows cannot say what to preview there.
    int id = leftView == 1 ? m_doc.GetSelectedFavorite() : 0;
    if (leftView != 1) {
        const std::vector<int> selected = m_list->SelectedIds();
        if (selected.size() == 1)
            id = selected.front();
    }
    if (id <= 0) {
        m_preview->Clear();
        return;
    }
    m_preview->ShowRecord(m_doc.GetRecord(id));
}

void CRightFrame::SetLeftViewGetter(std::function<int()> getter) {
    m_leftView = std::move(getter);
    // 2: the search view.
    m_list->SetSearchShownGetter([this] { return m_leftView && m_leftView() == 2; });
}

void CRightFrame::SetPreviewVisible(bool visible) {
    CTresorixSettings& settings = TresorixSettings();
    if (!visible && m_splitter->IsSecondPaneVisible() && m_splitter->SecondPaneSize() > 0)
        settings.WndM_Splitter3Height = m_splitter->SecondPaneSize();
    m_splitter->SetSecondPaneVisible(visible, settings.WndM_Splitter3Height);
}

bool CRightFrame::IsPreviewVisible() const {
    return m_splitter->IsSecondPaneVisible();
}

void CRightFrame::StoreLayout() {
    // A pane that was never laid out has no height of its own to store.
    if (!m_splitter->isVisible())
        return;
    CTresorixSettings& settings = TresorixSettings();
    int height = m_splitter->FirstPaneSize();
    // While the preview is hidden the list fills the pane; its own height excludes the
    // hidden preview's.
    if (!IsPreviewVisible())
        height -= settings.WndM_Splitter3Height;
    if (height > 0)
        settings.WndM_SplitterHeight = height;
}

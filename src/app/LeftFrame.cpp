#include "app/LeftFrame.h"

#include "app/AppStrings.h"
#include "app/Commands.h"
#include "app/FavTreeView.h"
#include "app/MainTreeView.h"
#include "app/SearchLeftPane.h"
#include "app/SearchOptionsPanel.h"
#include "app/TrxImageList.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/TresorixSettings.h"

#include <QActionGroup>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

CLeftFrame::CLeftFrame(CTxDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("LeftFrame"));
    m_toolBar = new QToolBar;
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->setIconSize(QSize(16, 16));
    auto* group = new QActionGroup(this);
    const struct {
        unsigned text;
        int command;
        int image;
    } buttons[] = {{ids::kFolders, cmd::kShowTree, CTrxImageList::kFolderClosed},
                   {ids::kFavorites, cmd::kShowFavorites, CTrxImageList::kFavorites},
                   {ids::kSearch, cmd::kShowSearch, CTrxImageList::kSearch}};
    for (int i = 0; i < 3; ++i) {
        QAction* action =
            m_toolBar->addAction(ImageList().Icon(buttons[i].image), Tr(buttons[i].text));
        action->setCheckable(true);
        action->setData(buttons[i].command);
        action->setToolTip(LongText(static_cast<unsigned>(buttons[i].command)));
        action->setEnabled(HasView(i));
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] { SwitchView(i); });
        m_actions[i] = action;
    }
    m_tree = new CMainTreeView(doc);
    m_stack = new QStackedWidget;
    m_favorites = new CFavTreeView(doc);
    m_stack->addWidget(m_tree);
    m_search = new CSearchLeftPane(doc);
    m_stack->addWidget(m_favorites);
    m_stack->addWidget(m_search);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_stack, 1);
    SwitchView(TresorixSettings().View_SelectedView, false);
}

bool CLeftFrame::HasView(int index) const {
    return index == kTree || index == kFavorites || index == kSearch;
}

void CLeftFrame::SwitchView(int index, bool store) {
    if (!HasView(index))
        index = kTree;
    const bool changed = index != m_current;
    m_current = index;
    m_actions[index]->setChecked(true);
    QWidget* const views[] = {m_tree, m_favorites, m_search};
    m_stack->setCurrentWidget(views[index]);
    if (store)
        TresorixSettings().View_SelectedView = index;
    // Results found while another view fills the list wait until the search shows again.
    if (index != kSearch)
        m_search->Panel()->SetDeliveryPaused(true);
    if (index == kTree && m_doc.IsAuthorised())
        m_doc.UpdateAllViews(nullptr, CTxDoc::kHintShowFolder, m_doc.GetCurrentFolder());
    if (index == kSearch) {
        if (m_doc.IsAuthorised())
            m_doc.UpdateAllViews(nullptr, CTxDoc::kHintSearchResults);
        m_search->Panel()->SetDeliveryPaused(false);
        // A command asking for the search (Ctrl+F, F3) means typing a text next.
        if (changed || store)
            m_search->Panel()->FocusSearchText();
    }
    if (changed)
        emit ViewChanged(index);
}

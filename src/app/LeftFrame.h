#pragma once

#include <QWidget>

class CFavTreeView;
class CMainTreeView;
class CSearchLeftPane;
class CTxDoc;
class QStackedWidget;
class QToolBar;
class QAction;

// The left pane: its tool bar (Folders, Favorites, Search) and the view chosen there.
class CLeftFrame : public QWidget {
    Q_OBJECT

public:
    enum VIEW { kTree = 0, kFavorites = 1, kSearch = 2 };

    explicit CLeftFrame(CTxDoc& doc, QWidget* parent = nullptr);

    // Message 1094 / the three commands: shows view index; store false keeps
    // View_SelectedView as it is.
    void SwitchView(int index, bool store = true);
    int CurrentView() const { return m_current; }
    // Whether the view of index exists yet.
    bool HasView(int index) const;

    CMainTreeView* Tree() const { return m_tree; }
    CFavTreeView* Favorites() const { return m_favorites; }
    CSearchLeftPane* Search() const { return m_search; }
    QToolBar* ToolBar() const { return m_toolBar; }

signals:
    void ViewChanged(int index);

private:
    CTxDoc& m_doc;
    QToolBar* m_toolBar;
    QStackedWidget* m_stack;
    CMainTreeView* m_tree;
    CFavTreeView* m_favorites;
    CSearchLeftPane* m_search;
    QAction* m_actions[3] = {};
    int m_current = kTree;
};

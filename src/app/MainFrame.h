#pragma once

#include "model/KivDoc.h"

#include <QMainWindow>

#include <map>
#include <string>
#include <vector>

class CKivSplitter;
class CLeftFrame;
class CRightFrame;
class CTresorixApp;
class CTxDoc;
class QAction;
class QMenu;
class QToolBar;

// The main window: the folder tree on the left, header, list and preview on the right, the
// menus, three tool bars and the command handlers. It exists from the first login to the
// end of the program; logging out empties its views and keeps it.
class CMainFrame : public QMainWindow, public IKivView {
    Q_OBJECT

public:
    static constexpr const char* kSection = "Main Window";

    CMainFrame(CTresorixApp& app, CTxDoc& doc);
    ~CMainFrame() override;

    void OnUpdate(CKivDoc& doc, IKivView* sender, int hint, const void* argument) override;

    // Private messages (always queued by their senders).
    void OnMessage(unsigned message, int wParam = 0);
    void OnCommand(int id);
    void OnOptionChanged(int code);
    void UpdateTitle();
    void UpdateCommands();

    // Hides the window to the notification area; refused (false) when there is none, since
    // nothing would bring the window back.
    bool HideToTray();
    bool IsHiddenToTray() const { return m_hidden; }
    void RestoreFromTray();

    // The selection the record commands act on: the list's when it has the focus (or the
    // list alone has one), else the tree's folder.
    std::vector<int> CommandSelection() const;

    // Stores splitter, tool bars and placement (once, before the window goes).
    void SaveLayout();
    void LoadPlacement();

    QAction* Action(int id) const;
    // The path of the open data file (empty while logged out).
    std::string OpenPath() const;
    CLeftFrame* Left() const { return m_left; }
    CRightFrame* Right() const { return m_right; }
    CKivSplitter* Splitter() const { return m_splitter; }

    // The context menus, built for the current selection (for tests and the views).
    QMenu* BuildListMenu(bool onItem);
    QMenu* BuildFolderMenu(int id);
    // Menu 309 of the favorites view.
    QMenu* BuildFavoritesMenu();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBars();
    void SaveToolBars();
    void RestoreToolBars();
    void ShowOptions(bool layoutOnly);
    void NewFolder();
    void DatabaseManagement();

    CTresorixApp& m_app;
    CTxDoc& m_doc;
    std::map<int, QAction*> m_actions;
    CKivSplitter* m_splitter;
    CLeftFrame* m_left;
    CRightFrame* m_right;
    std::vector<QToolBar*> m_toolBars;
    bool m_hidden = false;
    bool m_layoutSaved = false;
    bool m_listHadFocus = false;
};

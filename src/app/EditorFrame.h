#pragma once

#include "model/Guid.h"
#include "model/WindowManager.h"
#include "platform/TresorixSettings.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <string>

class CEditPanel;
class CTxDoc;
class QAction;
class QToolButton;

// What tells the four editors apart.
struct EDITOR_TYPE {
    CLSID clsid;
    unsigned temporaryName; // string id of a new node's name until the first save completes
    int defaultImage;
    unsigned title;              // string id of "%1 - ..."
    const char* section;         // profile section of the window placement
    int CTresorixSettings::*tab; // View_TabSelected...Edit
    unsigned closeCommand;       // string id of the Close command's texts
};

// The window around a record's edit panel: the tool bar with the save commands, the save
// procedure, the question before unsaved changes are lost and the placement per record type.
class CEditorFrame : public QMainWindow, public IEditorWindow {
    Q_OBJECT

public:
    static constexpr int kCommandClose = 32783;

    CEditorFrame(CTxDoc& doc, const EDITOR_TYPE& type, CEditPanel* panel,
                 QWidget* parent = nullptr);
    ~CEditorFrame() override;

    // Shows record id (0: a new record for folder parent).
    void Open(int id, int parent);
    // Writes the panel to the data file in one transaction; false leaves everything as it was.
    bool Save();
    void OnCommand(int command);
    // The Close command: asks about unsaved changes, then closes. True when it closed.
    bool CloseEditor();

    // IEditorWindow: message 1125 asks no question; Close closes without one.
    bool QueryClose() override;
    void Close() override;
    void Activate() override;

    int GetItemId() const { return m_id; }
    int GetParentId() const { return m_parent; }
    bool IsNew() const { return m_new; }
    bool IsModified() const;
    const EDITOR_TYPE& Type() const { return m_type; }
    CEditPanel* Panel() const { return m_panel; }
    // The command the main save button carries (3, 174 or 32784).
    int SaveCommand() const;
    QToolButton* SaveButton() const { return m_saveButton; }
    QAction* Action(int command) const;

    // Told once when the window closes (before it goes away).
    void SetClosedHandler(std::function<void(CEditorFrame&)> handler) {
        m_onClosed = std::move(handler);
    }
    // Told when the editor's record changes (a new record got its node, or "Save and Create"
    // started a new one), with the identifier it had before.
    void SetIdChangedHandler(std::function<void(CEditorFrame&, int)> handler) {
        m_onIdChanged = std::move(handler);
    }
    // Queues a message for the main window (1044, 1045).
    void SetMainWindowPost(std::function<void(unsigned, int)> post) { m_post = std::move(post); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildToolBar();
    void SetSaveCommand(int command);
    void UpdateTitle();
    void UpdateCommands();
    void LoadPlacement();
    void SavePlacement();
    void RestoreTab();
    void Post(unsigned message);
    // The closing question; false when the editor has to stay open.
    bool AskToSave();
    void FinishClose();
    void AddToFavorites();

    CTxDoc& m_doc;
    EDITOR_TYPE m_type;
    CEditPanel* m_panel;
    int m_id = 0;
    int m_parent = 0;
    bool m_new = true;
    bool m_closing = false;
    bool m_closed = false;
    QToolButton* m_saveButton = nullptr;
    std::map<int, QAction*> m_actions;
    std::function<void(CEditorFrame&)> m_onClosed;
    std::function<void(CEditorFrame&, int)> m_onIdChanged;
    std::function<void(unsigned, int)> m_post;
};

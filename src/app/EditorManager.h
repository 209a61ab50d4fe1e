#pragma once

#include "model/Guid.h"
#include "model/ItemEditorOpener.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class CEditorFrame;
class CTxDoc;
class CWindowManager;

// Opens the record editors for the main window: one editor per record (an open one comes to
// the front), empty editors for the new-record commands, and the bookkeeping when one
// closes: it leaves the window manager and the main window hears message 1044. The document
// asks the same window manager before a logout, so an editor with unsaved changes stops it.
class CEditorManager : public QObject, public IItemEditorOpener {
    Q_OBJECT

public:
    // Queues a message (1044, 1045) for the main window; wParam is the record's identifier.
    using POST = std::function<void(unsigned message, int wParam)>;

    CEditorManager(CTxDoc& doc, CWindowManager& windows, POST post = {});
    ~CEditorManager() override;

    // Opens the editor of record id, or brings its open editor to the front.
    void OpenItem(int id);
    // The new-record commands 32778, 32782, 32822 and 32834: an empty editor for the current
    // folder. False for other commands or when there is no current folder.
    bool OnNewItemCommand(int command);
    // An empty editor of class clsid for a new record in folder parent (registered under 0
    // until its first save).
    CEditorFrame* NewItem(const CLSID& clsid, int parent);

    // The open editor of record id (new records: 0), or null.
    CEditorFrame* Find(int id) const;
    std::vector<CEditorFrame*> Editors() const;

    // IItemEditorOpener
    IEditorWindow* OpenEditor(int id, const CLSID& clsid) override;
    // Runs the file record dialog (over the active window) unless another one was set.
    void RunFileDialog(int id) override;
    void SetFileDialog(std::function<void(int)> dialog) { m_fileDialog = std::move(dialog); }

private:
    CEditorFrame* Make(const CLSID& clsid);
    void OnClosed(CEditorFrame& frame);
    void OnIdChanged(CEditorFrame& frame, int oldId);

    CTxDoc& m_doc;
    CWindowManager& m_windows;
    POST m_post;
    std::function<void(int)> m_fileDialog;
    std::vector<QPointer<CEditorFrame>> m_frames;
};

#pragma once

#include <utility>
#include <vector>

// An open record editor as the window manager sees it.
class IEditorWindow {
public:
    virtual ~IEditorWindow() = default;
    // Message 1125: may the editor close? An editor with unsaved changes may ask the user and
    // refuse.
    virtual bool QueryClose() = 0;
    // Closes the window (WM_CLOSE); it may unregister itself from the manager meanwhile.
    virtual void Close() = 0;
    // Brings the window to the front.
    virtual void Activate() = 0;
};

// The open record editors as (item identifier, window) pairs, in the order they were opened.
// Windows are not owned.
class CWindowManager {
public:
    using ENTRY = std::pair<int, IEditorWindow*>;

    void Add(int id, IEditorWindow* window);
    // Removes every entry with this identifier and window.
    void Remove(int id, IEditorWindow* window);
    // Removes every entry of this window, whatever its identifier.
    void Remove(IEditorWindow* window);
    // The editor open for id, or null.
    IEditorWindow* Find(int id) const;
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const std::vector<ENTRY>& GetEntries() const { return m_entries; }

    // Asks the first editor whether it may close and closes it, until none is left; the first
    // refusal stops with false (the editors asked before it are closed). Empty: true.
    bool CloseAll();

private:
    std::vector<ENTRY> m_entries;
};

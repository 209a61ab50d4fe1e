#pragma once

#include "model/ComPtr.h"
#include "model/FavManager.h"
#include "model/Guid.h"
#include "model/KivDoc.h"
#include "model/KivNavigation.h"
#include "model/TempCopyFolder.h"
#include "model/TxFileWatcher.h"
#include "model/WindowManager.h"
#include "security/Autorizator.h"

#include <string>
#include <vector>

class CKivDatabase;
class ICommonProperties;
class IDataFileCreator;
class IFileChangedPrompt;
class IItemEditorOpener;
class ITreeItem;
class ITresorix;
class ITxDocHost;

// The one document of the program: owns the open data file between login and logout, with
// the credentials, favorites, navigation history and the watcher of opened attachments. Views,
// editors and tools reach the data file only through it, and it tells every view what changed
// by a hint number.
class CTxDoc : public CKivDoc {
public:
    // Hints of UpdateAllViews. Hints 1 and 1067 carry HINTDATA with the folder's id, 1065
    // (id, 0, 0), 1066 (id, old parent, new parent); the others carry nothing.
    enum HINT {
        kHintReloadAll = 0,
        kHintShowFolder = 1,
        kHintRecordsChanged = 5,
        kHintFavoriteSelected = 6,
        kHintSearchResults = 8,
        kHintFileAdded = 1064,
        kHintNodeDeleted = 1065,
        kHintNodeMoved = 1066,
        kHintFolderCreated = 1067,
        kHintLoginChanged = 1134,
    };

    CTxDoc();
    ~CTxDoc() override;

    // The windows around the document; none are owned. Without them the document runs
    // headless: no dialogs, no editors, no messages.
    void SetHost(ITxDocHost* host);
    void SetEditorOpener(IItemEditorOpener* opener) { m_editorOpener = opener; }
    void SetDataFileCreator(IDataFileCreator* creator) { m_creator = creator; }
    void SetFileChangedPrompt(IFileChangedPrompt* prompt) { m_fileWatcher.SetPrompt(prompt); }
    // The Files_FileChangedAction setting the "File Changed..." question remembers.
    void SetFileChangedAction(int* action) { m_fileWatcher.SetActionSetting(action); }
    // The application's list of open editors; the document keeps its own until one is given.
    void SetWindowManager(CWindowManager* manager);
    CWindowManager& GetWindowManager() { return *m_windowManager; }
    // Where temporary copies of opened attachments go (a folder "TRX10" under base).
    void SetTempFolderBase(const std::string& base) { m_tempFolder = CTempCopyFolder(base); }
    const CTempCopyFolder& GetTempFolder() const { return m_tempFolder; }

    // Opening and closing.
    bool OpenDataFile(const std::string& path);
    bool NewDataFile();
    bool Logout();
    // Closes the editors unless one holds unsaved changes or a watched copy has changed (then
    // message 61325); true when nothing is left open, as always while logged out.
    bool CanClose();
    // The same without a message.
    bool CloseAllQuietly();
    // Whether CanClose would refuse, asking the editors without closing any.
    bool WouldRefuseClose();
    // Closes the data file without the checks of Logout (favorites are written first).
    void CloseContents();

    bool IsAuthorised() const { return m_authorised; }
    TComPtr<ITresorix> GetTresorix() const { return m_tresorix; }
    // The open connection, or null.
    CKivDatabase* GetDatabase() const;
    CAutorizator& GetAutorizator() { return m_autorizator; }
    // The login dialog OpenDataFile shows (not owned).
    void SetLoginDialog(ILoginDialog* dialog) { m_autorizator.SetLoginDialog(dialog); }

    // Records and folders.
    int CreateNewObject(const CLSID& clsid, int parent, const std::string& name);
    int NewFolder(int parent);
    void OpenItem(int id);
    void MakeUniqueName(int id, int folder, std::string& name);
    void ClearCache();
    // The "Refresh" command: ClearCache, then every view reloads (hint 0).
    void Refresh();

    // A handle for node id of the open data file (none while closed).
    TComPtr<ITreeItem> GetNode(int id) const;
    // The record of node id (none while closed or when it cannot be read).
    TComPtr<ICommonProperties> GetRecord(int id) const;

    // Moving, copying, deleting.
    bool MoveItem(int id, int newParent);
    bool MoveItems(const std::vector<int>& selection);
    bool DeleteItems(const std::vector<int>& selection);
    bool EmptyRecycleBin();
    bool IsRecycleBinEmpty() const;
    bool CopyItems(const std::vector<int>& selection);
    // The copy's identifier, 0 on failure.
    int CopyItem(int id);
    // True when moving every node of selection into target keeps the tree a tree: target is
    // an existing folder and neither it nor any of its ancestors is one of the nodes.
    bool IsValidMoveTarget(const std::vector<int>& selection, int target) const;
    // Command availability: every selected record allows it, and the document is open.
    bool CanMoveItems(const std::vector<int>& selection) const;
    bool CanDeleteItems(const std::vector<int>& selection) const;

    // Attachments.
    bool OpenFileItem(int id);
    // The change check of the opened attachments (window activation and the like).
    void CheckWatches() { m_fileWatcher.CheckWatches(); }
    CTxFileWatcher& GetFileWatcher() { return m_fileWatcher; }

    // Favorites.
    bool SaveFavorites();
    bool LoadFavorites();
    void AddFavorite(int id) { m_favorites.Add(id); }
    void RemoveFavorite(int id) { m_favorites.Remove(id); }
    // Adds the items in order and tells the views (hint 5).
    void AddFavorites(const std::vector<int>& ids);
    CFavManager& GetFavorites() { return m_favorites; }
    int GetSelectedFavorite() const { return m_selectedFavorite; }
    void SetSelectedFavorite(int id) { m_selectedFavorite = id; }

    // Navigation history of the folder views.
    void Push(int folder) { m_navigation.Push(folder); }
    void Back();
    void Forward();
    bool CanBack() const { return m_authorised && m_navigation.CanBack(); }
    bool CanForward() const { return m_authorised && m_navigation.CanForward(); }
    // The folder shown now (the current history entry), 0 when none.
    int GetCurrentFolder() const;
    const CKivNavigation<int>& GetNavigation() const { return m_navigation; }

    // Results of the last search (hint 8 when they change).
    void SetSearchResults(std::vector<int> ids);
    const std::vector<int>& GetSearchResults() const { return m_searchResults; }

private:
    ITxDocHost& Host() const { return *m_host; }
    // The identifiers of node id and all nodes below it (each once, even in a damaged tree).
    std::vector<int> CollectSubtree(int id) const;
    // Whether record id is a folder; false when it cannot be read.
    bool IsFolder(int id) const;

    CAutorizator m_autorizator;
    CTxFileWatcher m_fileWatcher;
    TComPtr<ITresorix> m_tresorix;
    bool m_authorised = false;
    bool m_presetCredentials = false;
    CKivNavigation<int> m_navigation;
    CFavManager m_favorites;
    int m_selectedFavorite = 0;
    std::vector<int> m_searchResults;
    CTempCopyFolder m_tempFolder;

    ITxDocHost* m_host;
    IItemEditorOpener* m_editorOpener = nullptr;
    IDataFileCreator* m_creator = nullptr;
    CWindowManager m_ownWindowManager;
    CWindowManager* m_windowManager = &m_ownWindowManager;
};

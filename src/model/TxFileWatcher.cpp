#include "model/TxFileWatcher.h"

#include "model/FileChangedPrompt.h"
#include "model/FileParts.h"
#include "model/Interfaces.h"
#include "platform/TresorixSettings.h"

CTxFileWatcher::CTxFileWatcher() = default;

CTxFileWatcher::~CTxFileWatcher() = default;

void CTxFileWatcher::SetTresorix(ITresorix* tresorix) {
    m_tresorix = TComPtr<ITresorix>(tresorix);
}

int& CTxFileWatcher::Action() const {
    return m_action ? *m_action : TresorixSettings().Files_FileChangedAction;
}

void CTxFileWatcher::OnFileChanged(const WATCHENTRY& entry) {
    if (!m_prompt)
        return;
    std::size_t slash = entry.path.rfind('/');
    std::string name = slash == std::string::npos ? entry.path : entry.path.substr(slash + 1);
    int choice = Action();
    if (choice < IFileChangedPrompt::kUploadAndDelete ||
        choice > IFileChangedPrompt::kContinueMonitoring)
        choice = IFileChangedPrompt::kUploadAndDelete;
    if (!m_prompt->Ask(name, choice))
        return;
    Action() = choice;
    if (choice == IFileChangedPrompt::kContinueMonitoring || !m_tresorix)
        return;
    if (!CFileParts::StoreFile(entry.path, entry.id, m_tresorix.Get()))
        return;
    if (choice == IFileChangedPrompt::kUploadAndDelete && DeleteCopy(entry.path))
        RemoveWatch(entry.path);
}

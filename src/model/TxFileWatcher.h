#pragma once

#include "model/ComPtr.h"
#include "model/KivFileWatch.h"

class IFileChangedPrompt;
class ITresorix;

// The document's watcher of opened attachments: when a copy changed, asks the user whether to
// upload it (and delete the copy) or to keep monitoring, and stores it into its record.
class CTxFileWatcher : public CKivFileWatch {
public:
    CTxFileWatcher();
    ~CTxFileWatcher() override;

    // The open data file the copies are uploaded into (null while logged out).
    void SetTresorix(ITresorix* tresorix);
    // The question shown for a changed copy; without one the copy is kept and watched.
    void SetPrompt(IFileChangedPrompt* prompt) { m_prompt = prompt; }
    // Where the remembered choice lives; preselected and written back on OK. The program's
    // Files_FileChangedAction setting unless another is given (null restores it).
    void SetActionSetting(int* action) { m_action = action; }

protected:
    void OnFileChanged(const WATCHENTRY& entry) override;

private:
    int& Action() const;

    TComPtr<ITresorix> m_tresorix;
    IFileChangedPrompt* m_prompt = nullptr;
    int* m_action = nullptr;
};

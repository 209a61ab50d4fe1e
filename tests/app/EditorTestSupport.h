#pragma once

#include "AppTestSupport.h"
#include "app/EditorManager.h"
#include "app/EditorStrings.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "model/WindowManager.h"
#include "platform/Clipboard.h"
#include "platform/MemoryProfileStore.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/TresorixSettings.h"
#include "security/LoginText.h"

#include <QTemporaryDir>

#include <memory>
#include <utility>
#include <vector>

namespace edtest {

// A copy of the sample vault opened by the document as carol, with an editor manager on it,
// an in-memory profile, recorded message boxes, a memory clipboard and a recording shell.
// The settings the editors read are reset to their defaults (link editor off).
class CEditorVault {
public:
    CEditorVault();
    ~CEditorVault();

    // False (and the test should fail) when the fixture is missing or the login failed.
    bool Open();
    // Logs in again after a logout, to read what reached the file.
    bool Reopen();

    CTxDoc doc;
    CWindowManager windows;
    CMemoryProfileStore store;
    CScopedMessageRecorder messages;
    CScopedMemoryClipboard clipboard;
    CScopedShellRecorder shell;
    QTemporaryDir dir;
    QString path;
    // Messages the editors queued for the main window.
    std::vector<std::pair<unsigned, int>> posted;
    std::unique_ptr<CEditorManager> editors;

    // The number of message boxes whose text starts with that of string id (up to its first
    // argument).
    int Count(unsigned id) const;
    // The record as the file holds it now (the cache is emptied first).
    TComPtr<ICommonProperties> Stored(int id);
    // The children of folder, in storage order.
    std::vector<int> Children(int folder);
    bool Posted(unsigned message) const;

private:
    IProfileStore* m_previousStore;
};

class CCarolLogin : public ILoginDialog {
public:
    bool DoModal(const std::string& path, const CHECK& check, void*) override {
        return check(path, "carol", PasswordKeyTexts("S3cret!pass"));
    }
};

inline CCarolLogin g_login;

inline CEditorVault::CEditorVault() : m_previousStore(SetProfileStore(&store)) {
    CTresorixSettings& s = TresorixSettings();
    s.View_RememberTabs = 1;
    s.View_EditUnknownLinks = 0;
    s.View_ToolbarBtnSave = 0;
    s.View_TabSelectedPasswordEdit = 0;
    s.View_TabSelectedUrlEdit = 0;
    s.View_TabSelectedCreditCardEdit = 0;
    s.View_TabSelectedNoteEdit = 0;
    s.CustomFields_SortColumn = -1;
    s.CustomFields_SortOrder = 0;
    s.App_ShowPasswords = 0;
    doc.SetWindowManager(&windows);
    doc.SetLoginDialog(&g_login);
    editors = std::make_unique<CEditorManager>(doc, windows, [this](unsigned message, int wParam) {
        posted.emplace_back(message, wParam);
    });
    doc.SetEditorOpener(editors.get());
}

inline CEditorVault::~CEditorVault() {
    editors.reset();
    // Closed editors wait for the event loop to delete them; tests run none.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    doc.SetEditorOpener(nullptr);
    doc.CloseContents();
    SetProfileStore(m_previousStore);
}

inline bool CEditorVault::Open() {
    path = apptest::CopyVault(dir, QStringLiteral("sample.tpx"));
    return !path.isEmpty() && Reopen();
}

inline bool CEditorVault::Reopen() {
    return doc.OpenDataFile(path.toStdString()) && doc.IsAuthorised();
}

inline int CEditorVault::Count(unsigned id) const {
    std::string text = EdString(id);
    const std::size_t arg = text.find('%');
    if (arg != std::string::npos)
        text.resize(arg);
    int n = 0;
    for (const auto& m : messages.Messages())
        if (m.text.compare(0, text.size(), text) == 0)
            ++n;
    return n;
}

inline TComPtr<ICommonProperties> CEditorVault::Stored(int id) {
    doc.ClearCache();
    return doc.GetRecord(id);
}

inline std::vector<int> CEditorVault::Children(int folder) {
    std::vector<int> ids;
    TComPtr<ITreeItem> node = doc.GetNode(folder);
    TComPtr<ITreeIterator> it = node ? node->GetIterator(ITreeItem::kChildren) : nullptr;
    if (!it)
        return ids;
    for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next())
        ids.push_back(child->GetID());
    return ids;
}

inline bool CEditorVault::Posted(unsigned message) const {
    for (const auto& p : posted)
        if (p.first == message)
            return true;
    return false;
}

} // namespace edtest

#pragma once

// Header-only: the test programs here are one source file each.

#include "AppTestSupport.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "platform/StringTable.h"
#include "security/Autorizator.h"
#include "security/LoginText.h"
#include "ui/TextBytes.h"

#include <QStringList>
#include <QTemporaryDir>

#include <string>
#include <utility>
#include <vector>

namespace apptest {

// Types a username and password (by default the sample vault's) into the login check.
class CSampleLogin : public ILoginDialog {
public:
    explicit CSampleLogin(std::string user = "carol", std::string password = "S3cret!pass")
        : m_user(std::move(user)), m_password(std::move(password)) {}
    bool DoModal(const std::string& path, const CHECK& check, void*) override {
        std::vector<std::string> keys = PasswordKeyTexts(m_password);
        const bool accepted = check(path, m_user, keys);
        WipeTexts(keys);
        return accepted;
    }

private:
    std::string m_user;
    std::string m_password;
};

// The sample vault copied into a temporary folder and opened by a headless document.
class CSampleVault {
public:
    CSampleVault() {
        const QString path = CopyVault(m_dir, QStringLiteral("sample.tpx"));
        if (path.isEmpty())
            return;
        m_doc.SetLoginDialog(&m_login);
        m_open = m_doc.OpenDataFile(ToBytes(path));
    }
    ~CSampleVault() {
        if (m_doc.IsAuthorised())
            m_doc.CloseContents();
    }
    CSampleVault(const CSampleVault&) = delete;
    CSampleVault& operator=(const CSampleVault&) = delete;

    bool IsOpen() const { return m_open; }
    CTxDoc& Doc() { return m_doc; }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

    // The names of the records directly in folder id, read again from the file.
    QStringList ChildNames(int id) {
        QStringList names;
        m_doc.ClearCache();
        TComPtr<ITreeItem> node = m_doc.GetNode(id);
        TComPtr<ITreeIterator> it =
            node ? node->GetIterator(ITreeItem::kChildren) : TComPtr<ITreeIterator>();
        if (!it)
            return names;
        for (TComPtr<ITreeItem> child = it->First(); child; child = it->Next())
            if (TComPtr<ICommonProperties> record = m_doc.GetRecord(child->GetID()))
                names << FromBytes(record->GetName());
        return names;
    }

private:
    QTemporaryDir m_dir;
    CSampleLogin m_login;
    CTxDoc m_doc;
    bool m_open = false;
};

// Whether a box with string id's text (with %1 filled in) was recorded.
inline bool WasShown(const CRecordingMessageSink& sink, unsigned id, const std::string& arg = {}) {
    const std::string text = FormatString(LoadString(id), arg);
    for (const auto& message : sink.Messages())
        if (message.text == text)
            return true;
    return false;
}

} // namespace apptest

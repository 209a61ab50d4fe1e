#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliRows.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/Interfaces.h"
#include "platform/MemFile.h"
#include "security/SecureZero.h"
#include "storage/KivDatabase.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <cstdlib>
#include <map>
#include <set>

namespace {

struct PROBLEM {
    const char* table;
    int id;
    std::string text;
};

struct NODE {
    int parent = 0;
    bool readable = false;
    CLSID clsid{};
};

class CChecker {
public:
    CChecker(CKivDatabase& db, std::string key) : m_db(db), m_key(std::move(key)) {}
    ~CChecker() { SecureZero(m_key); }
    CChecker(const CChecker&) = delete;
    CChecker& operator=(const CChecker&) = delete;

    void Run() {
        Engine();
        Records();
        Tree();
        Parts();
    }

    const std::vector<PROBLEM>& Problems() const { return m_problems; }
    int RecordCount() const { return static_cast<int>(m_nodes.size()); }
    int Folders() const { return m_folders; }
    int Files() const { return m_files; }
    int PartCount() const { return m_parts; }

private:
    void Problem(const char* table, int id, std::string text) {
        m_problems.push_back({table, id, std::move(text)});
    }

    void Engine() {
        ForEachRow(m_db, "PRAGMA integrity_check", [&](const std::vector<const char*>& c) {
            const std::string line = c.empty() || !c[0] ? "" : c[0];
            if (line != "ok")
                Problem("file", 0, line);
        });
    }

    void Records() {
        std::vector<std::pair<int, STOREDDATA>> rows;
        ForEachRow(m_db, "select id, id_parent, data from tresorix_main order by id",
                   [&](const std::vector<const char*>& c) {
                       const int id = c[0] ? std::atoi(c[0]) : 0;
                       m_nodes[id].parent = c[1] ? std::atoi(c[1]) : 0;
                       rows.emplace_back(id, DecodeStoredData(c[2]));
                   });
        for (const auto& [id, data] : rows) {
            if (data.isNull || data.ciphertext.empty()) {
                Problem("tree", id,
                        data.malformed ? "the stored text is malformed" : "no record is stored");
                continue;
            }
            CMemFile plain;
            TComPtr<ICommonProperties> record;
            if (!DecryptStoredData(data.ciphertext, m_key, plain)) {
                Problem("tree", id, "the record cannot be decrypted");
                continue;
            }
            if (LoadItem(plain, record) != S_OK || !record) {
                Problem("tree", id, "the record cannot be read");
                continue;
            }
            NODE& node = m_nodes[id];
            node.readable = true;
            record->GetClassID(node.clsid);
            if (record->IsFolder())
                ++m_folders;
            if (node.clsid == CLSID_FileItem)
                ++m_files;
        }
    }

    bool IsFolderNode(int id) const {
        auto it = m_nodes.find(id);
        if (it == m_nodes.end() || !it->second.readable)
            return false;
        const CLSID& c = it->second.clsid;
        return c == CLSID_Folder || c == CLSID_RootFolder || c == CLSID_DeletedFolder;
    }

    void Fixed(int id, const CLSID& clsid, int parent, const char* what) {
        auto it = m_nodes.find(id);
        if (it == m_nodes.end())
            Problem("tree", id, std::string("the ") + what + " is missing");
        else if (it->second.readable &&
                 (!(it->second.clsid == clsid) || it->second.parent != parent))
            Problem("tree", id, std::string("is not the ") + what);
    }

    void Tree() {
        Fixed(kRootFolderId, CLSID_RootFolder, 0, "root folder");
        Fixed(kDeletedFolderId, CLSID_DeletedFolder, kRootFolderId, "recycle bin");
        for (const auto& [id, node] : m_nodes) {
            if (id == kRootFolderId)
                continue;
            if (!m_nodes.count(node.parent)) {
                Problem("tree", id, "its parent #" + std::to_string(node.parent) + " is missing");
                continue;
            }
            if (m_nodes.at(node.parent).readable && !IsFolderNode(node.parent))
                Problem("tree", id,
                        "its parent #" + std::to_string(node.parent) + " is not a folder");
            std::set<int> seen{id};
            for (int up = node.parent; up != 0;) {
                if (!seen.insert(up).second) {
                    Problem("tree", id, "its parents form a loop");
                    break;
                }
                auto it = m_nodes.find(up);
                up = it == m_nodes.end() ? 0 : it->second.parent;
            }
        }
    }

    void Parts() {
        struct PARTROW {
            int id;
            int owner;
            int part;
        };
        std::vector<PARTROW> rows;
        ForEachRow(m_db, "select id, id_parent, part from tresorix_data order by id",
                   [&](const std::vector<const char*>& c) {
                       rows.push_back({c[0] ? std::atoi(c[0]) : 0, c[1] ? std::atoi(c[1]) : 0,
                                       c[2] ? std::atoi(c[2]) : 0});
                   });
        std::map<int, std::map<int, int>> byOwner; // owner -> part number -> row
        for (const PARTROW& row : rows) {
            ++m_parts;
            auto owner = m_nodes.find(row.owner);
            if (owner == m_nodes.end() || !(owner->second.clsid == CLSID_FileItem))
                Problem("data", row.id,
                        "belongs to #" + std::to_string(row.owner) +
                            ", which is not a file record");
            if (!byOwner[row.owner].emplace(row.part, row.id).second)
                Problem("data", row.id,
                        "repeats part " + std::to_string(row.part) + " of #" +
                            std::to_string(row.owner));
        }
        for (const auto& [owner, parts] : byOwner) {
            int expected = 1;
            for (const auto& [number, rowId] : parts) {
                if (number != expected)
                    Problem("data", rowId,
                            "is part " + std::to_string(number) + " of #" + std::to_string(owner) +
                                " where part " + std::to_string(expected) + " belongs");
                expected = number + 1;
                const bool last = number == parts.rbegin()->first;
                CheckPart(rowId, owner, last);
            }
        }
    }

    void CheckPart(int rowId, int owner, bool last) {
        CSQLiteBuffer sql;
        STOREDDATA data;
        ForEachRow(m_db, sql.Format(tx::sql::kSelectFilePart, rowId),
                   [&](const std::vector<const char*>& c) { data = DecodeStoredData(c[1]); });
        const std::string where = " (file of #" + std::to_string(owner) + ")";
        if (data.isNull || data.malformed || data.ciphertext.empty()) {
            Problem("data", rowId, "holds no readable bytes" + where);
            return;
        }
        CMemFile plain;
        if (!DecryptStoredData(data.ciphertext, m_key, plain)) {
            Problem("data", rowId, "cannot be decrypted" + where);
            return;
        }
        const std::uint64_t length = plain.GetLength();
        if (length == 0 || length > CFileParts::kPartSize ||
            (!last && length != CFileParts::kPartSize))
            Problem("data", rowId, "decrypts to " + std::to_string(length) + " bytes" + where);
    }

    CKivDatabase& m_db;
    std::string m_key;
    std::map<int, NODE> m_nodes;
    std::vector<PROBLEM> m_problems;
    int m_folders = 0;
    int m_files = 0;
    int m_parts = 0;
};

int RunCheck(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(1, 1, code))
        return code;
    CCliVault vault(context);
    if ((code = vault.Open(context.Args().Positionals()[0])) != kExitOk)
        return code;
    CChecker checker(*vault.Doc().GetDatabase(), vault.Tresorix()->GetPassword());
    // The checker reports every problem itself, once.
    context.Sink().SetMuted(true);
    try {
        checker.Run();
    } catch (const CSQLiteException& e) {
        context.Sink().SetMuted(false);
        return context.Fail(kExitDataError, vault.GetPath() + ": " + e.GetText());
    }
    context.Sink().SetMuted(false);
    const auto& problems = checker.Problems();
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("ok", problems.empty());
        json.Field("records", checker.RecordCount());
        json.Field("folders", checker.Folders());
        json.Field("files", checker.Files());
        json.Field("parts", checker.PartCount());
        json.Key("problems");
        json.BeginArray();
        for (const PROBLEM& problem : problems) {
            json.BeginObject();
            json.Field("table", problem.table);
            json.Field("id", problem.id);
            json.Field("problem", problem.text);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
        json.Finish();
    } else {
        for (const PROBLEM& problem : problems)
            context.Out() << problem.table << " #" << problem.id << ": " << problem.text << '\n';
        context.Out() << vault.GetPath() << ": " << checker.RecordCount() << " records ("
                      << checker.Folders() << " folders, " << checker.Files() << " files in "
                      << checker.PartCount() << " parts): "
                      << (problems.empty() ? std::string("ok")
                                           : std::to_string(problems.size()) + " problems")
                      << '\n';
    }
    return problems.empty() ? kExitOk : kExitDataError;
}

} // namespace

void AddCheckCommands(std::vector<CLICOMMAND>& commands) {
    commands.push_back(
        {"check",
         "VAULT",
         "Check that everything stored can be read",
         "Logs in, then decrypts and reads every record and every part of every attached\n"
         "file, and checks the tree and the file parts fit together. Exit status 3 when\n"
         "anything is unreadable.",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {},
         RunCheck});
}

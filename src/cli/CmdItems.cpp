#include "cli/CliChange.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliRecord.h"
#include "cli/CliText.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "model/Factory.h"
#include "model/Interfaces.h"

#include <cstdio>
#include <set>

namespace {

struct LISTENTRY {
    int id;
    int parent;
    int depth;
    std::string type;
    std::string name;
};

void Collect(CCliVault& vault, int id, int depth, bool recursive, std::set<int>& seen,
             std::vector<LISTENTRY>& entries) {
    for (int child : vault.Children(id)) {
        // A damaged tree whose parents loop must not make the listing endless.
        if (!seen.insert(child).second)
            continue;
        TComPtr<ICommonProperties> record = vault.Record(child);
        entries.push_back({child, id, depth, record ? record->GetTypeName() : "?",
                           record ? record->GetName() : "(unreadable)"});
        if (recursive && record && record->IsFolder())
            Collect(vault, child, depth + 1, recursive, seen, entries);
    }
}

int OpenVault(CCliContext& context, CCliVault& vault, int minArgs, int maxArgs) {
    int code = kExitOk;
    if (!context.CheckPositionals(minArgs, maxArgs, code))
        return code;
    return vault.Open(context.Args().Positionals()[0]);
}

int RunLs(CCliContext& context) {
    CCliVault vault(context);
    int code = OpenVault(context, vault, 1, 2);
    if (code != kExitOk)
        return code;
    const auto& words = context.Args().Positionals();
    std::vector<LISTENTRY> entries;
    std::set<int> seen;
    if (words.size() == 1) {
        TComPtr<ICommonProperties> root = vault.Record(kRootFolderId);
        entries.push_back({kRootFolderId, 0, 0, root ? root->GetTypeName() : "?",
                           root ? root->GetName() : "(unreadable)"});
        seen.insert(kRootFolderId);
        Collect(vault, kRootFolderId, 1, true, seen, entries);
    } else {
        int folder = 0;
        if ((code = vault.Find(words[1], folder)) != kExitOk)
            return code;
        seen.insert(folder);
        if (vault.IsFolder(folder)) {
            Collect(vault, folder, 0, context.Args().Has("recursive"), seen, entries);
        } else {
            TComPtr<ICommonProperties> record = vault.Record(folder);
            entries.push_back(
                {folder, vault.ParentOf(folder), 0, record->GetTypeName(), record->GetName()});
        }
    }
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginArray();
        for (const LISTENTRY& entry : entries) {
            json.BeginObject();
            json.Field("id", entry.id);
            json.Field("parent", entry.parent);
            json.Field("type", entry.type);
            json.Field("name", entry.name);
            json.Field("path", vault.PathOf(entry.id));
            json.EndObject();
        }
        json.EndArray();
        json.Finish();
        return kExitOk;
    }
    for (const LISTENTRY& entry : entries) {
        char head[40];
        std::snprintf(head, sizeof head, "#%-6d %-12s ", entry.id, entry.type.c_str());
        context.Out() << head << std::string(static_cast<std::size_t>(entry.depth) * 2, ' ')
                      << DisplayText(entry.name) << '\n';
    }
    return kExitOk;
}

// The items of words[first, last) as identifiers.
int FindAll(CCliVault& vault, const std::vector<std::string>& words, std::size_t first,
            std::size_t last, std::vector<int>& ids) {
    for (std::size_t i = first; i < last; ++i) {
        int id = 0;
        if (const int code = vault.Find(words[i], id); code != kExitOk)
            return code;
        ids.push_back(id);
    }
    return kExitOk;
}

int RunShow(CCliContext& context) {
    CCliVault vault(context);
    int code = OpenVault(context, vault, 2, -1);
    if (code != kExitOk)
        return code;
    const auto& words = context.Args().Positionals();
    std::vector<int> ids;
    if ((code = FindAll(vault, words, 1, words.size(), ids)) != kExitOk)
        return code;
    const bool reveal = context.Args().Has("reveal");
    CJsonWriter json(context.Out());
    if (context.Json() && ids.size() > 1)
        json.BeginArray();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        TComPtr<ICommonProperties> record = vault.Record(ids[i]);
        if (!record)
            return context.Fail(kExitDataError, "#" + std::to_string(ids[i]) + " cannot be read");
        if (context.Json()) {
            WriteRecordJson(vault, ids[i], *record, reveal, json);
        } else {
            if (i > 0)
                context.Out() << '\n';
            PrintRecord(vault, ids[i], *record, reveal, context.Out());
        }
    }
    if (context.Json()) {
        if (ids.size() > 1)
            json.EndArray();
        json.Finish();
    }
    return kExitOk;
}

int RunMkdir(CCliContext& context) {
    CCliVault vault(context);
    int code = OpenVault(context, vault, 2, 2);
    if (code != kExitOk)
        return code;
    std::vector<std::string> names;
    const std::string& wanted = context.Args().Positionals()[1];
    if (!CCliVault::SplitPath(wanted, names))
        return context.Fail(kExitDataError, "'" + wanted + "' is not a path of names");
    int root = 0;
    if ((code = vault.Find(CCliVault::EscapeName(names[0]), root)) != kExitOk)
        return code;
    std::vector<int> made;
    int current = root;
    CCliChange change(vault);
    for (std::size_t i = 1; i < names.size(); ++i) {
        const std::vector<int> found = vault.ChildrenNamed(current, names[i]);
        std::vector<int> folders;
        for (int id : found)
            if (vault.IsFolder(id))
                folders.push_back(id);
        if (folders.size() > 1)
            return context.Fail(kExitDataError, "'" + names[i] + "' names several folders in '" +
                                                    vault.PathOf(current) + "'");
        if (folders.size() == 1) {
            current = folders.front();
            continue;
        }
        if (!found.empty())
            return context.Fail(kExitDataError,
                                vault.PathOf(found.front()) + " exists and is not a folder");
        const int id = vault.Doc().CreateNewObject(CLSID_Folder, current, names[i]);
        if (id == 0)
            return context.Fail(kExitDataError, "the folder '" + names[i] + "' was not created");
        made.push_back(id);
        current = id;
    }
    if (!change.Commit())
        return context.Fail(kExitDataError, "nothing was created");
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("id", current);
        json.Field("path", vault.PathOf(current));
        json.Key("created");
        json.BeginArray();
        for (int id : made)
            json.Int(id);
        json.EndArray();
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << '#' << current << ' ' << vault.PathOf(current) << '\n';
    }
    return kExitOk;
}

int RunMv(CCliContext& context) {
    CCliVault vault(context);
    int code = OpenVault(context, vault, 3, -1);
    if (code != kExitOk)
        return code;
    const auto& words = context.Args().Positionals();
    std::vector<int> ids;
    int target = 0;
    if ((code = FindAll(vault, words, 1, words.size() - 1, ids)) != kExitOk ||
        (code = vault.FindFolder(words.back(), target)) != kExitOk)
        return code;
    for (int id : ids) {
        TComPtr<ICommonProperties> record = vault.Record(id);
        if (!record || !record->CanMove())
            return context.Fail(kExitDataError, vault.PathOf(id) + " cannot be moved");
        if (!vault.Doc().IsValidMoveTarget({id}, target))
            return context.Fail(kExitDataError,
                                vault.PathOf(id) + " cannot be moved into " + vault.PathOf(target));
    }
    CCliChange change(vault);
    for (int id : ids)
        if (!vault.Doc().MoveItem(id, target))
            return context.Fail(kExitDataError, vault.PathOf(id) + " was not moved");
    if (!change.Commit())
        return context.Fail(kExitDataError, "nothing was moved");
    return kExitOk;
}

int RunCp(CCliContext& context) {
    CCliVault vault(context);
    int code = OpenVault(context, vault, 2, 3);
    if (code != kExitOk)
        return code;
    const auto& words = context.Args().Positionals();
    int source = 0;
    int target = 0;
    if ((code = vault.Find(words[1], source)) != kExitOk)
        return code;
    if (words.size() > 2 && (code = vault.FindFolder(words[2], target)) != kExitOk)
        return code;
    TComPtr<ICommonProperties> record = vault.Record(source);
    if (!record || !record->CanDelete() || record->IsFolder())
        return context.Fail(kExitDataError, vault.PathOf(source) + " cannot be copied");
    const std::string originalName = record->GetName();
    record = nullptr;
    CCliChange change(vault);
    const int copy = vault.Doc().CopyItem(source);
    if (copy == 0)
        return context.Fail(kExitDataError, vault.PathOf(source) + " was not copied");
    if (target != 0 && target != vault.ParentOf(copy)) {
        if (!vault.Doc().MoveItem(copy, target))
            return context.Fail(kExitDataError, "the copy was not moved");
        // In its new folder the copy keeps the source's name unless a sibling bears it.
        std::string name = originalName;
        vault.Doc().MakeUniqueName(copy, target, name);
        TComPtr<ITreeItem> node = vault.Doc().GetNode(copy);
        TComPtr<ICommonProperties> copied = vault.Record(copy);
        if (!node || !copied)
            return context.Fail(kExitDataError, "the copy cannot be read");
        copied->SetName(name);
        if (!node->SetData(copied.Get()))
            return context.Fail(kExitDataError, "nothing was copied");
    }
    if (!change.Commit())
        return context.Fail(kExitDataError, "nothing was copied");
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("id", copy);
        json.Field("path", vault.PathOf(copy));
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << '#' << copy << ' ' << vault.PathOf(copy) << '\n';
    }
    return kExitOk;
}

int RunRm(CCliContext& context) {
    CCliVault vault(context);
    int code = OpenVault(context, vault, 2, -1);
    if (code != kExitOk)
        return code;
    const auto& words = context.Args().Positionals();
    std::vector<int> ids;
    if ((code = FindAll(vault, words, 1, words.size(), ids)) != kExitOk)
        return code;
    if (!vault.Doc().CanDeleteItems(ids)) {
        for (int id : ids) {
            TComPtr<ICommonProperties> record = vault.Record(id);
            if (!record || !record->CanDelete())
                return context.Fail(kExitDataError, vault.PathOf(id) + " cannot be deleted");
        }
    }
    CCliChange change(vault);
    if (!vault.Doc().DeleteItems(ids))
        return context.Fail(kExitDataError, "not every item was moved into the recycle bin");
    if (!change.Commit())
        return context.Fail(kExitDataError, "nothing was deleted");
    return kExitOk;
}

int RunEmptyTrash(CCliContext& context) {
    CCliVault vault(context);
    int code = OpenVault(context, vault, 1, 1);
    if (code != kExitOk)
        return code;
    if (vault.Doc().IsRecycleBinEmpty())
        return kExitOk;
    // Running the command is the confirmation the question asks for.
    context.Sink().SetQuestionAnswer(IDYES);
    CCliChange change(vault);
    const bool emptied = vault.Doc().EmptyRecycleBin();
    if (!emptied || !change.Commit())
        return context.Fail(kExitDataError, "the recycle bin was not emptied");
    return kExitOk;
}

} // namespace

void AddItemCommands(std::vector<CLICOMMAND>& commands) {
    commands.push_back({"ls",
                        "VAULT [FOLDER]",
                        "List the whole tree or the items of a folder",
                        "Each line shows the identifier, the type and the name of an item.",
                        CLICOMMAND::kLogin | CLICOMMAND::kJson,
                        {{"recursive", 'R', nullptr, "list the folders below FOLDER too"}},
                        RunLs});
    commands.push_back({"show",
                        "VAULT ITEM...",
                        "Show every field of records",
                        nullptr,
                        CLICOMMAND::kLogin | CLICOMMAND::kJson,
                        {{"reveal", 0, nullptr, "show passwords and masked values"}},
                        RunShow});
    commands.push_back({"mkdir",
                        "VAULT PATH",
                        "Create a folder, and its parents as needed",
                        nullptr,
                        CLICOMMAND::kLogin | CLICOMMAND::kJson,
                        {},
                        RunMkdir});
    commands.push_back({"mv",
                        "VAULT ITEM... FOLDER",
                        "Move items into a folder",
                        nullptr,
                        CLICOMMAND::kLogin,
                        {},
                        RunMv});
    commands.push_back(
        {"cp",
         "VAULT ITEM [FOLDER]",
         "Copy a record (into its own folder or into FOLDER)",
         "The copy is named like the record, with \" (2)\", \" (3)\"... where the name is taken.",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {},
         RunCp});
    commands.push_back({"rm",
                        "VAULT ITEM...",
                        "Move items into the recycle bin (\"Deleted\")",
                        nullptr,
                        CLICOMMAND::kLogin,
                        {},
                        RunRm});
    commands.push_back({"empty-trash",
                        "VAULT",
                        "Delete the contents of the recycle bin for good",
                        nullptr,
                        CLICOMMAND::kLogin,
                        {},
                        RunEmptyTrash});
}

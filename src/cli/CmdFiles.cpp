#include "cli/CliChange.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "model/Factory.h"
#include "model/Interfaces.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// The extension as the record keeps it: from the last dot of the file name on, "" when none.
std::string ExtensionOf(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? std::string() : fileName.substr(dot);
}

// The stored file name as a name inside a folder: a name written elsewhere may hold either
// kind of separator, and it must not lead the file out of the folder it is written to.
std::string SafeFileName(const std::string& stored) {
    const std::size_t separator = stored.find_last_of("/\\");
    std::string name = separator == std::string::npos ? stored : stored.substr(separator + 1);
    return name == "." || name == ".." ? std::string() : name;
}

int RunAttach(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(2, 2, code))
        return code;
    const CCliArgs& args = context.Args();
    if (args.Has("item") && args.Has("folder"))
        return context.Usage("give either --folder (a new record) or --item (replace a file)");
    if (args.Has("comments") && args.Has("comments-file"))
        return context.Usage("give either --comments or --comments-file");
    const std::string source = args.Positionals()[1];
    std::error_code error;
    if (!fs::is_regular_file(source, error))
        return context.Fail(kExitDataError, source + ": no such file");
    if (std::ifstream probe(source, std::ios::binary); !probe)
        return context.Fail(kExitDataError, source + ": cannot be read");
    std::string comments;
    if (args.Has("comments-file")) {
        std::ifstream in(args.Get("comments-file"), std::ios::binary);
        if (!in)
            return context.Fail(kExitDataError, args.Get("comments-file") + ": cannot be read");
        comments.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    CCliVault vault(context);
    if ((code = vault.Open(args.Positionals()[0])) != kExitOk)
        return code;
    const std::string fileName = fs::path(source).filename().string();
    int id = 0;
    int folder = kRootFolderId;
    if (args.Has("item")) {
        if ((code = vault.Find(args.Get("item"), id)) != kExitOk)
            return code;
        TComPtr<ICommonProperties> existing = vault.Record(id);
        CLSID clsid;
        existing->GetClassID(clsid);
        if (!(clsid == CLSID_FileItem))
            return context.Fail(kExitDataError, vault.PathOf(id) + " is not a file record");
    } else if (args.Has("folder") &&
               (code = vault.FindFolder(args.Get("folder"), folder)) != kExitOk) {
        return code;
    }

    CCliChange change(vault);
    if (id == 0)
        id = vault.Doc().CreateNewObject(CLSID_FileItem, folder, args.Get("name", fileName));
    TComPtr<ITreeItem> node = id ? vault.Doc().GetNode(id) : nullptr;
    TComPtr<ICommonProperties> record = id ? vault.Record(id) : nullptr;
    TComPtr<IFileProperties> file = record.As<IFileProperties>();
    if (!node || !file)
        return context.Fail(kExitDataError, "the file record was not created");
    if (args.Has("name"))
        record->SetName(args.Get("name"));
    if (args.Has("comments"))
        record->SetComments(args.Get("comments"));
    else if (args.Has("comments-file"))
        record->SetComments(comments);
    file->SetFileName(fileName);
    file->SetExtension(ExtensionOf(fileName));
    if (!file->StoreFile(source, id, vault.Tresorix()))
        return context.Fail(kExitDataError, source + ": the file was not stored");
    if (!node->SetData(record.Get()) || !change.Commit())
        return context.Fail(kExitDataError, source + ": the file was not stored");
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("id", id);
        json.Field("path", vault.PathOf(id));
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << '#' << id << ' ' << vault.PathOf(id) << '\n';
    }
    return kExitOk;
}

int RunExtract(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(2, 3, code))
        return code;
    const CCliArgs& args = context.Args();
    CCliVault vault(context);
    if ((code = vault.Open(args.Positionals()[0])) != kExitOk)
        return code;
    int id = 0;
    if ((code = vault.Find(args.Positionals()[1], id)) != kExitOk)
        return code;
    TComPtr<ICommonProperties> record = vault.Record(id);
    TComPtr<IFileProperties> file = record.As<IFileProperties>();
    if (!file)
        return context.Fail(kExitDataError, vault.PathOf(id) + " is not a file record");
    const std::string storedName = SafeFileName(file->GetFileName());
    fs::path target =
        args.Positionals().size() > 2 ? fs::path(args.Positionals()[2]) : fs::path(storedName);
    std::error_code error;
    if (fs::is_directory(target, error))
        target = storedName.empty() ? fs::path() : target / storedName;
    if (target.empty() || target.filename().empty())
        return context.Fail(kExitDataError, "the record has no file name; give a target");
    if (fs::exists(fs::symlink_status(target, error)) && !args.Has("force"))
        return context.Fail(kExitDataError,
                            target.string() + ": exists (give --force to replace it)");
    if (!file->SaveFileTo(target.string(), id, vault.Tresorix()))
        return context.Fail(kExitDataError, target.string() + ": the file was not written");
    const auto size = fs::file_size(target, error);
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("path", target.string());
        json.Key("length");
        json.UInt(size);
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << "wrote " << size << " bytes to " << target.string() << '\n';
    }
    return kExitOk;
}

} // namespace

void AddFileCommands(std::vector<CLICOMMAND>& commands) {
    commands.push_back(
        {"attach",
         "VAULT FILE",
         "Keep a file inside the data file",
         "Makes a new file record (named after the file unless --name is given), or with\n"
         "--item replaces the stored file of an existing file record.",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {{"folder", 0, "FOLDER", "where the new record goes (default: the root folder)"},
          {"item", 0, "ITEM", "the file record whose file is replaced"},
          {"name", 0, "NAME", "the record's name"},
          {"comments", 0, "TEXT", "the record's comments"},
          {"comments-file", 0, "FILE", "the comments from a file"}},
         RunAttach});
    commands.push_back(
        {"extract",
         "VAULT ITEM [TARGET]",
         "Write the file of a file record to disk",
         "TARGET defaults to the stored file name in the current folder; a folder as TARGET\n"
         "receives the file under its stored name. The file appears complete or not at all.",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {{"force", 'f', nullptr, "replace an existing TARGET"}},
         RunExtract});
}

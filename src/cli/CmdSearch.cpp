#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliText.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "tools/SearchMachine.h"

#include <cstdio>
#include <sstream>

namespace {

struct SEARCHTYPE {
    const char* name;
    int filter;
};

const SEARCHTYPE kSearchTypes[] = {
    {"any", CSearchMachine::kAnyType},         {"password", CSearchMachine::kPasswordType},
    {"card", CSearchMachine::kCreditCardType}, {"credit-card", CSearchMachine::kCreditCardType},
    {"file", CSearchMachine::kFileType},       {"note", CSearchMachine::kNoteType},
    {"url", CSearchMachine::kUrlType},
};

// The fields of --in: the search dialog's check boxes.
bool SetField(CSearchMachine::OPTIONS& options, const std::string& field) {
    if (field == "name")
        options.name = true;
    else if (field == "login")
        options.login = true;
    else if (field == "comments")
        options.comments = true;
    else if (field == "url")
        options.url = true;
    else if (field == "cardholder")
        options.cardholder = true;
    else if (field == "filename")
        options.filename = true;
    else if (field == "address")
        options.address = true;
    else if (field == "all")
        options.name = options.login = options.comments = options.url = options.cardholder =
            options.filename = options.address = true;
    else
        return false;
    return true;
}

int RunSearch(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(2, 2, code))
        return code;
    const CCliArgs& args = context.Args();
    // The dialog's defaults: name, login, URL and comments, sub-folders included.
    CSearchMachine::OPTIONS options;
    options.name = options.login = options.url = options.comments = true;
    if (args.Has("in")) {
        options = {};
        for (const std::string& list : args.GetAll("in")) {
            std::istringstream fields(list);
            for (std::string field; std::getline(fields, field, ',');)
                if (!SetField(options, field))
                    return context.Usage("unknown field '" + field +
                                         "' (name, login, comments, url, cardholder, filename, "
                                         "address or all)");
        }
    }
    options.subfolders = !args.Has("no-subfolders");
    int filter = -1;
    const std::string typeName = args.Get("type", "any");
    for (const SEARCHTYPE& type : kSearchTypes)
        if (typeName == type.name)
            filter = type.filter;
    if (filter < 0)
        return context.Usage("unknown type '" + typeName +
                             "' (any, password, card, file, note or url)");

    CCliVault vault(context);
    if ((code = vault.Open(args.Positionals()[0])) != kExitOk)
        return code;
    int folder = kRootFolderId;
    if (args.Has("folder") && (code = vault.FindFolder(args.Get("folder"), folder)) != kExitOk)
        return code;

    CSearchMachine search;
    search.SetDocument(&vault.Doc());
    search.SetPattern(args.Positionals()[1]);
    search.SetOptions(options);
    search.SetTypeFilter(filter);
    search.SetStartFolder(folder);
    const int errorsBefore = context.Sink().GetErrorCount();
    if (!search.BeginSearch())
        return kExitUsage;
    search.Wait();
    search.DeliverPending();
    search.SetDocument(nullptr);
    if (context.Sink().GetErrorCount() > errorsBefore)
        return context.Fail(kExitDataError, "the search did not complete");

    const std::vector<int>& results = vault.Doc().GetSearchResults();
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginArray();
        for (int id : results) {
            TComPtr<ICommonProperties> record = vault.Record(id);
            json.BeginObject();
            json.Field("id", id);
            json.Field("type", record ? record->GetTypeName() : std::string("?"));
            json.Field("name", record ? record->GetName() : std::string());
            json.Field("path", vault.PathOf(id));
            json.EndObject();
        }
        json.EndArray();
        json.Finish();
    } else {
        for (int id : results) {
            TComPtr<ICommonProperties> record = vault.Record(id);
            char head[40];
            std::snprintf(head, sizeof head, "#%-6d %-12s ", id,
                          record ? record->GetTypeName().c_str() : "?");
            context.Out() << head << vault.PathOf(id) << '\n';
        }
    }
    return kExitOk;
}

} // namespace

void AddSearchCommands(std::vector<CLICOMMAND>& commands) {
    commands.push_back(
        {"search",
         "VAULT PATTERN",
         "Find records whose fields match a pattern",
         "PATTERN holds alternatives separated by blanks; within one, * stands for any text and\n"
         "? for one character; \"quoted phrases\" keep their blanks. Letter case is ignored and a\n"
         "pattern matches anywhere in a field.",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {{"in", 0, "FIELDS",
           "where to look, comma-separated: name, login, comments, url, cardholder, filename, "
           "address or all (default name,login,url,comments)"},
          {"type", 't', "TYPE",
           "only records of this type: password (URL records included), card, file, note or url"},
          {"folder", 0, "FOLDER", "where to start (default: the root folder)"},
          {"no-subfolders", 0, nullptr, "only the records directly in FOLDER"}},
         RunSearch});
}

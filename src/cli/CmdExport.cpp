#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliPassword.h"
#include "cli/CliText.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "model/Interfaces.h"
#include "platform/StringTable.h"
#include "security/LoginText.h"
#include "security/SecureZero.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"
#include "tools/ExportCheckTree.h"
#include "tools/ExportColumns.h"
#include "tools/ReportOutputCsv.h"
#include "tools/ReportOutputHtml.h"
#include "tools/ReportOutputXml.h"
#include "tools/TxExport.h"

#include <filesystem>
#include <sstream>

namespace {

constexpr unsigned kIdDefaultTitle = 61233;

// The --columns names, in the order of the export's column table.
const char* const kColumnNames[kColumnCount] = {
    "name",         "login",       "password", "email",     "url", "comments",
    "name-on-card", "card-number", "expires",  "card-type", "pin", "security-code",
    "address1",     "address2",    "city",     "state",     "zip", "country",
    "bank-info",    "file-name",   "location", "type",
};

int ColumnOf(const std::string& name) {
    for (int i = 0; i < kColumnCount; ++i)
        if (name == kColumnNames[i])
            return i;
    return -1;
}

struct FORMAT {
    const char* name;
    int type;
};

const FORMAT kFormats[] = {{"csv", CTxExport::kCsv},
                           {"html", CTxExport::kHtml},
                           {"xml", CTxExport::kXml},
                           {"trx", CTxExport::kTrx}};

// Checks the nodes of the tree to export: the folder and everything below it, or only the
// folder itself; the recycle bin's branch is left unchecked when asked.
void CheckBranch(CExportCheckTree& tree, IExportTree::HNODE node, bool deep, bool skipDeleted) {
    if (skipDeleted && tree.GetNodeId(node) == kDeletedFolderId)
        return;
    tree.SetCheck(node, true);
    if (!deep)
        return;
    for (auto child = tree.GetChildNode(node); child != IExportTree::kNoNode;
         child = tree.GetNextSiblingNode(child))
        CheckBranch(tree, child, deep, skipDeleted);
}

// Which options belong to which format, so that a misplaced one is not silently ignored.
int CheckFormatOptions(CCliContext& context, int type) {
    struct OWNER {
        const char* option;
        int type;
    };
    const OWNER owners[] = {
        {"separator", CTxExport::kCsv},
        {"header", CTxExport::kCsv},
        {"quotes", CTxExport::kCsv},
        {"keep-line-breaks", CTxExport::kCsv},
        {"look", CTxExport::kHtml},
        {"narrow", CTxExport::kHtml},
        {"variegated", CTxExport::kHtml},
        {"search-field", CTxExport::kHtml},
        {"no-custom-fields", CTxExport::kXml},
        {"new-user", CTxExport::kTrx},
        {"new-hint", CTxExport::kTrx},
        {"new-password", CTxExport::kTrx},
        {"empty-password", CTxExport::kTrx},
    };
    for (const OWNER& owner : owners)
        if (context.Args().Has(owner.option) && owner.type != type)
            return context.Usage(std::string("--") + owner.option +
                                 " does not apply to this format");
    if (type == CTxExport::kTrx && (context.Args().Has("columns") || context.Args().Has("sort")))
        return context.Usage("a data file copy has no columns");
    return kExitOk;
}

int ReadColumns(CCliContext& context, std::vector<int>& columns, int& sort) {
    columns = CExportColumns::CheckedColumns(CExportColumns::Default());
    if (context.Args().Has("columns")) {
        columns.clear();
        for (const std::string& list : context.Args().GetAll("columns")) {
            std::istringstream names(list);
            for (std::string name; std::getline(names, name, ',');) {
                const int column = ColumnOf(name);
                if (column < 0)
                    return context.Usage("unknown column '" + name + "'");
                columns.push_back(column);
            }
        }
        if (columns.empty())
            return context.Usage("at least one column is needed");
    }
    sort = kColumnName;
    if (context.Args().Has("sort") && (sort = ColumnOf(context.Args().Get("sort"))) < 0)
        return context.Usage("unknown column '" + context.Args().Get("sort") + "'");
    return kExitOk;
}

std::string StoredHint(CCliVault& vault) {
    std::string hint;
    try {
        CursorPtr cursor(vault.Doc().GetDatabase()->Query(tx::sql::kSelectSecretWord));
        CRow* raw = nullptr;
        if (cursor && cursor->Fetch(raw) == 0 && raw) {
            RowPtr row(raw);
            FieldPtr field(row->GetField(0));
            if (const char* text = field ? field->AsString() : nullptr)
                hint = text;
        }
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    }
    return hint;
}

int RunExport(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(2, 2, code))
        return code;
    const CCliArgs& args = context.Args();
    int type = -1;
    const std::string formatName = args.Get("format", "csv");
    for (const FORMAT& format : kFormats)
        if (formatName == format.name)
            type = format.type;
    if (type < 0)
        return context.Usage("unknown format '" + formatName + "' (csv, html, xml or trx)");
    if ((code = CheckFormatOptions(context, type)) != kExitOk)
        return code;
    std::vector<int> columns;
    int sort = kColumnName;
    if ((code = ReadColumns(context, columns, sort)) != kExitOk)
        return code;
    const std::string separator = args.Get("separator", ";");
    if (separator.empty())
        return context.Usage("the separator may not be empty");
    const std::string look = args.Get("look", "classic");
    if (look != "classic" && look != "simple")
        return context.Usage("--look is classic or simple");
    const std::string target = args.Positionals()[1];
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, error)) &&
        !args.Has("force"))
        return context.Fail(kExitDataError, target + ": exists (give --force to replace it)");

    CCliVault vault(context);
    if ((code = vault.Open(args.Positionals()[0])) != kExitOk)
        return code;
    CExportCheckTree tree;
    if (!tree.Fill(vault.Tresorix(), kRootFolderId))
        return context.Fail(kExitDataError, "the root folder cannot be read");
    std::vector<std::string> folders = args.GetAll("folder");
    if (folders.empty())
        folders.push_back("#" + std::to_string(kRootFolderId));
    for (const std::string& spec : folders) {
        int id = 0;
        if ((code = vault.FindFolder(spec, id)) != kExitOk)
            return code;
        CheckBranch(tree, tree.FindNode(id), !args.Has("no-subfolders"), args.Has("skip-deleted"));
    }

    CTxExport exporter(vault.Tresorix());
    exporter.SetType(type);
    exporter.SetFileName(target);
    CReportOutput::REPORTINFO info;
    info.title = args.Get("title", LoadString(kIdDefaultTitle));
    info.subtitle = args.Get("subtitle");
    info.lines = args.GetAll("line");
    exporter.SetReportInfo(info);
    exporter.SetDataSource(std::make_unique<CExportDataSource>(&tree));
    CReportOutput* output = exporter.GetOutput();
    output->SetColumns(columns, CExportColumns::TitleId(sort));
    CSecretText newPassword;
    std::string keyText;
    if (auto* csv = dynamic_cast<CReportOutputCsv*>(output)) {
        CReportOutputCsv::OPTIONS options;
        options.separator = separator;
        options.header = args.Has("header");
        options.quotes = args.Has("quotes");
        options.changeCrLf = !args.Has("keep-line-breaks");
        csv->SetOptions(options);
    } else if (auto* html = dynamic_cast<CReportOutputHtml*>(output)) {
        CReportOutputHtml::OPTIONS options;
        options.look = look == "simple" ? CReportOutputHtml::kSimple : CReportOutputHtml::kClassic;
        options.fullWidth = !args.Has("narrow");
        options.variegatedRows = args.Has("variegated");
        options.searchField = args.Has("search-field");
        html->SetOptions(options);
    } else if (auto* xml = dynamic_cast<CReportOutputXml*>(output)) {
        xml->SetCustomFields(!args.Has("no-custom-fields"));
    } else if (type == CTxExport::kTrx) {
        // The copy opens with the source's credentials unless new ones are given.
        keyText = vault.Tresorix()->GetPassword();
        if (args.Has("new-password")) {
            if (!ReadNewSecret(context, args.Has("empty-password"), newPassword.Get()))
                return kExitUsage;
            SecureZero(keyText);
            keyText = MakeKeyText(newPassword.Get());
        }
        const std::string user = args.Get("new-user", vault.GetUserName());
        if (user.empty())
            return context.Usage("the username may not be empty");
        exporter.SetOptionStrings(user, keyText, args.Get("new-hint", StoredHint(vault)));
        SecureZero(keyText);
    }
    const bool written = exporter.Run();
    exporter.SetOptionStrings({}, {}, {});
    if (!written)
        return context.Fail(kExitDataError, target + ": the export was not written");
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("path", target);
        json.Field("format", formatName);
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << "exported to " << target << '\n';
    }
    return kExitOk;
}

} // namespace

void AddExportCommands(std::vector<CLICOMMAND>& commands) {
    commands.push_back(
        {"export",
         "VAULT TARGET",
         "Export records to CSV, HTML, XML or a new data file",
         "Every folder given with --folder (default: the root folder) is exported with its\n"
         "records and the folders below it. Columns: name, login, password, email, url,\n"
         "comments, name-on-card, card-number, expires, card-type, pin, security-code,\n"
         "address1, address2, city, state, zip, country, bank-info, file-name, location, type\n"
         "(default name to comments). The file appears complete or not at all.\n"
         "A trx export is a new data file with the same username, password and hint unless\n"
         "--new-user, --new-password (read like a password) or --new-hint are given.",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {{"format", 'f', "FORMAT", "csv (default), html, xml or trx"},
          {"folder", 0, "FOLDER", "a folder to export (repeatable)"},
          {"no-subfolders", 0, nullptr, "only the items directly in each FOLDER"},
          {"skip-deleted", 0, nullptr, "leave out the recycle bin"},
          {"columns", 0, "LIST", "comma-separated columns in output order"},
          {"sort", 0, "COLUMN", "the column the items are sorted by (default name)"},
          {"title", 0, "TEXT", "html and xml: the report title"},
          {"subtitle", 0, "TEXT", "the report subtitle"},
          {"line", 0, "TEXT", "a further line of report information (repeatable)"},
          {"separator", 0, "TEXT", "csv: the field separator (default ';')"},
          {"header", 0, nullptr, "csv: a first row of column titles"},
          {"quotes", 0, nullptr, "csv: values in double quotes"},
          {"keep-line-breaks", 0, nullptr, "csv: line breaks in values are kept, not written \\n"},
          {"look", 0, "LOOK", "html: classic (default) or simple"},
          {"narrow", 0, nullptr, "html: not the full page width"},
          {"variegated", 0, nullptr, "html: rows in alternating colours"},
          {"search-field", 0, nullptr, "html: a search field on the page"},
          {"no-custom-fields", 0, nullptr, "xml: leave out the custom fields"},
          {"new-user", 0, "USER", "trx: the username of the new data file"},
          {"new-password", 0, nullptr, "trx: ask for a password for the new data file"},
          {"empty-password", 0, nullptr, "trx: allow an empty new password"},
          {"new-hint", 0, "TEXT", "trx: the password hint of the new data file"},
          {"force", 0, nullptr, "replace an existing TARGET"}},
         RunExport});
}

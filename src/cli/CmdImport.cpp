#include "cli/CliChange.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliText.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "model/Interfaces.h"
#include "tools/CsvImport.h"
#include "tools/KivCsvRow.h"
#include "tools/Utf8Text.h"

#include <QString>

#include <fstream>
#include <sstream>

namespace {

const char* const kTargetNames[CCsvImport::kTargetCount] = {"name",  "login", "password",
                                                            "email", "url",   "comments"};

int TargetOf(const std::string& name) {
    for (int t = 0; t < CCsvImport::kTargetCount; ++t)
        if (name == kTargetNames[t])
            return t;
    return -1;
}

bool SameText(const std::string& a, const std::string& b) {
    return QString::fromStdString(DisplayText(a))
               .trimmed()
               .compare(QString::fromStdString(DisplayText(b)).trimmed(), Qt::CaseInsensitive) == 0;
}

// The reader stops at the first empty line; lines with text after it would be lost without
// a word. The number of that empty line, or 0 when nothing follows it.
int EmptyLineBeforeText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    int number = 0;
    int firstEmpty = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty()) {
            if (firstEmpty == 0)
                firstEmpty = number;
        } else if (firstEmpty != 0) {
            return firstEmpty;
        }
    }
    return 0;
}

// Reads the --map options against the first row: "target=N" (from 1) or, with a header row,
// "target=Column title". Without --map a header row maps the columns named like the targets.
int ReadMapping(CCliContext& context, const CKivCsvRow& first, bool header,
                std::array<int, CCsvImport::kTargetCount>& columns) {
    columns.fill(-1);
    const CCliArgs& args = context.Args();
    if (!args.Has("map")) {
        if (!header)
            return context.Usage("a column mapping is needed (--map name=1,login=2,...)");
        for (int c = 0; c < first.GetFieldCount(); ++c)
            for (int t = 0; t < CCsvImport::kTargetCount; ++t)
                if (columns[t] < 0 && SameText(first.GetField(c), kTargetNames[t]))
                    columns[t] = c;
        for (int column : columns)
            if (column >= 0)
                return kExitOk;
        return context.Usage("no header column is named like a field; give --map");
    }
    for (const std::string& list : args.GetAll("map")) {
        std::istringstream entries(list);
        for (std::string entry; std::getline(entries, entry, ',');) {
            std::string target, column;
            if (!SplitAssignment(entry, target, column))
                return context.Usage("'" + entry + "' is no mapping (FIELD=COLUMN)");
            const int t = TargetOf(target);
            if (t < 0)
                return context.Usage("unknown field '" + target +
                                     "' (name, login, password, email, url or comments)");
            long long number = 0;
            if (ParseInteger(column, number)) {
                if (number < 1 || number > first.GetFieldCount())
                    return context.Usage("the first row has no column " + column + " (it has " +
                                         std::to_string(first.GetFieldCount()) + ")");
                columns[t] = static_cast<int>(number - 1);
                continue;
            }
            for (int c = 0; header && c < first.GetFieldCount() && columns[t] < 0; ++c)
                if (SameText(first.GetField(c), column))
                    columns[t] = c;
            if (columns[t] < 0)
                return context.Usage(header ? "the header row has no column '" + column + "'"
                                            : "'" + column + "' is no column number");
        }
    }
    return kExitOk;
}

int RunImport(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(2, 2, code))
        return code;
    const CCliArgs& args = context.Args();
    std::string separator = args.Get("separator", ";");
    if (separator == "\\t" || separator == "tab")
        separator = "\t";
    if (separator.size() != 1)
        return context.Usage("the separator must be one character");
    if (args.Has("skip-invalid") && args.Has("keep-invalid"))
        return context.Usage("give either --skip-invalid or --keep-invalid");
    const bool header = args.Has("header");
    const std::string source = args.Positionals()[1];

    CCliVault vault(context);
    if ((code = vault.Open(args.Positionals()[0])) != kExitOk)
        return code;
    int folder = kRootFolderId;
    if (args.Has("folder") && (code = vault.FindFolder(args.Get("folder"), folder)) != kExitOk)
        return code;

    CCsvImport import(&vault.Doc());
    CKivCsvFile& reader = import.GetReader();
    reader.SetSeparator(separator[0]);
    reader.SetStripQuotes(args.Has("strip-quotes"));
    if (!reader.Open(source))
        return context.Fail(kExitDataError, source + ": cannot be read");
    std::unique_ptr<CKivCsvRow> first = reader.ReadRow();
    if (!first)
        return context.Fail(kExitDataError, source + ": holds no rows");
    std::array<int, CCsvImport::kTargetCount> columns{};
    if ((code = ReadMapping(context, *first, header, columns)) != kExitOk)
        return code;
    first.reset();
    if (const int empty = EmptyLineBeforeText(source))
        return context.Fail(kExitDataError,
                            source + ": line " + std::to_string(empty) +
                                " is empty and the lines after it would not be read; nothing "
                                "was imported");
    for (int t = 0; t < CCsvImport::kTargetCount; ++t)
        import.SetColumn(t, columns[t]);
    import.SetSkipHeader(header);
    import.SetTargetFolder(folder);
    const int count = import.ReadAll();
    if (count == 0)
        return context.Fail(kExitDataError, source + ": holds no records");

    // Rows that lack a mapped value, with the fields they lack and their line numbers.
    std::vector<int> invalidLines;
    reader.Rewind();
    if (header)
        reader.ReadRow();
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<CKivCsvRow> row = reader.ReadRow();
        if (import.IsValid(i) || !row)
            continue;
        const int line = i + 1 + (header ? 1 : 0);
        invalidLines.push_back(line);
        std::string missing;
        for (int t = 0; t < CCsvImport::kTargetCount; ++t) {
            bool ok = true;
            CCsvImport::GetValue(*row, columns[t], ok);
            if (!ok)
                missing += std::string(missing.empty() ? "" : ", ") + kTargetNames[t];
        }
        context.Err() << "tresorix-cli: " << source << ": line " << line << " has no value for "
                      << missing << '\n';
    }
    if (!invalidLines.empty() && !args.Has("skip-invalid") && !args.Has("keep-invalid"))
        return context.Fail(kExitDataError, "nothing was imported (give --skip-invalid or "
                                            "--keep-invalid to import the other rows)");
    if (args.Has("keep-invalid"))
        import.SetSelection(std::vector<bool>(static_cast<std::size_t>(count), true));
    const int selected = import.GetSelectedCount();
    int stored = 0;
    if (selected > 0) {
        CCliChange change(vault);
        stored = import.Commit();
        if (stored != selected || !change.Commit())
            return context.Fail(kExitDataError, "nothing was imported");
    }
    if (context.Json()) {
        CJsonWriter json(context.Out());
        json.BeginObject();
        json.Field("imported", stored);
        json.Field("folder", vault.PathOf(folder));
        json.Key("skipped_lines");
        json.BeginArray();
        if (!args.Has("keep-invalid"))
            for (int line : invalidLines)
                json.Int(line);
        json.EndArray();
        json.EndObject();
        json.Finish();
    } else {
        context.Out() << "imported " << stored << " records into " << vault.PathOf(folder) << '\n';
    }
    return kExitOk;
}

} // namespace

void AddImportCommands(std::vector<CLICOMMAND>& commands) {
    commands.push_back(
        {"import-csv",
         "VAULT FILE",
         "Import password records from delimited text",
         "Each line of FILE becomes a password record. --map names the column of each field:\n"
         "--map name=1,login=2,password=3 (columns count from 1) or, with --header, by the\n"
         "titles of the first row (--map \"password=Pass Word\"); with --header and no --map\n"
         "the columns titled name, login, password, email, url and comments are taken. A\n"
         "backslash in a value protects the separator; \\n and \\t stand for a line feed and a\n"
         "tab. Rows that lack a mapped value stop the import unless told otherwise; all rows\n"
         "are stored, or none.",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {{"map", 0, "FIELD=COLUMN,...", "which column holds which field (repeatable)"},
          {"separator", 's', "C", "the field separator (default ';'; 'tab' for a tab)"},
          {"header", 0, nullptr, "the first row holds column titles and is not imported"},
          {"strip-quotes", 0, nullptr, "remove double quotes around values"},
          {"folder", 0, "FOLDER", "where the records go (default: the root folder)"},
          {"skip-invalid", 0, nullptr, "import the other rows when some lack a value"},
          {"keep-invalid", 0, nullptr, "import rows that lack a value as they are"}},
         RunImport});
}

#include "cli/CliChange.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliRecord.h"
#include "cli/CliText.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "model/KivCustomFields.h"
#include "security/SecureZero.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

struct RECORDTYPE {
    const char* name;
    const CLSID* clsid;
};

const RECORDTYPE kRecordTypes[] = {
    {"password", &CLSID_PasswordItem},
    {"url", &CLSID_UrlItem},
    {"card", &CLSID_CreditCardItem},
    {"credit-card", &CLSID_CreditCardItem},
    {"note", &CLSID_Note},
};

const char* const kPasswordKeys[] = {"login", "password", "url", "email"};
const char* const kCardKeys[] = {
    "name-on-card", "number",   "security-code", "pin",   "card-type", "expires", "bank-info",
    "address1",     "address2", "city",          "state", "zip",       "country"};

bool IsTypeField(const std::string& key) {
    for (const char* each : kPasswordKeys)
        if (key == each)
            return true;
    for (const char* each : kCardKeys)
        if (key == each)
            return true;
    return key == "password-file";
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Sets one type-specific field; false when the record has no field of that name.
bool SetTypeField(ICommonProperties& record, const std::string& key, const std::string& value) {
    TComPtr<ICommonProperties> holder(&record);
    if (TComPtr<IPasswordProperties> p = holder.As<IPasswordProperties>()) {
        if (key == "login")
            p->SetLogin(value);
        else if (key == "password")
            p->SetPassword(value);
        else if (key == "url")
            p->SetURL(value);
        else if (key == "email")
            p->SetEmail(value);
        else
            return false;
        return true;
    }
    TComPtr<ICreditCardProperties> c = holder.As<ICreditCardProperties>();
    if (!c)
        return false;
    if (key == "name-on-card") {
        c->SetNameOnCard(value);
    } else if (key == "number") {
        c->SetNumber(value);
    } else if (key == "security-code") {
        c->SetSecurityCode(value);
    } else if (key == "pin") {
        c->SetPIN(value);
    } else if (key == "card-type") {
        c->SetCardType(value);
    } else if (key == "expires") {
        // Month and year are stored on two lines.
        std::string stored = value;
        if (const std::size_t slash = stored.find('/'); slash != std::string::npos)
            stored[slash] = '\n';
        c->SetExpirationDate(stored);
    } else if (key == "bank-info") {
        c->SetBankInfo(value);
    } else if (key == "address1") {
        c->SetAddress1(value);
    } else if (key == "address2") {
        c->SetAddress2(value);
    } else if (key == "city") {
        c->SetCity(value);
    } else if (key == "state") {
        c->SetState(value);
    } else if (key == "zip") {
        c->SetZip(value);
    } else if (key == "country") {
        c->SetCountry(value);
    } else {
        return false;
    }
    return true;
}

// Checks what the command line gives before anything is written.
int CheckOptions(CCliContext& context) {
    const CCliArgs& args = context.Args();
    if (args.Has("comments") && args.Has("comments-file"))
        return context.Usage("give either --comments or --comments-file");
    if (args.Has("password") && args.Has("password-file"))
        return context.Usage("give either --password or --password-file");
    if (args.Has("image")) {
        long long image = 0;
        if (!ParseInteger(args.Get("image"), image) || image < 0 || image > 0x7FFFFFFF)
            return context.Usage("--image needs a number of 0 or more");
    }
    for (const auto& [key, value] : args.Occurrences()) {
        if (key != "field" && key != "masked-field")
            continue;
        std::string name, text;
        if (!SplitAssignment(value, name, text))
            return context.Usage("--" + key + " needs NAME=VALUE");
        // Custom fields are stored one per line with a tab after the name.
        if (name.find_first_of("\t\n\r") != std::string::npos)
            return context.Usage("a custom field name may not hold a tab or a line break");
        if (text.find_first_of("\n\r") != std::string::npos)
            return context.Usage("a custom field value may not hold a line break");
    }
    return kExitOk;
}

// Applies every option to the record, in command-line order.
int ApplyOptions(CCliContext& context, ICommonProperties& record) {
    const CCliArgs& args = context.Args();
    if (args.Has("name"))
        record.SetName(args.Get("name"));
    if (args.Has("comments"))
        record.SetComments(args.Get("comments"));
    if (args.Has("comments-file")) {
        std::string text;
        if (!ReadWholeFile(args.Get("comments-file"), text))
            return context.Fail(kExitDataError, args.Get("comments-file") + ": cannot be read");
        record.SetComments(text);
    }
    if (args.Has("image")) {
        long long image = 0;
        ParseInteger(args.Get("image"), image);
        record.SetImage(static_cast<int>(image));
    }
    CKivCustomFields fields;
    record.GetCustomFields(fields);
    bool fieldsChanged = false;
    for (const auto& [key, value] : args.Occurrences()) {
        if (key == "field" || key == "masked-field") {
            std::string name, text;
            SplitAssignment(value, name, text);
            const int masked = key == "masked-field" ? 1 : 0;
            bool replaced = false;
            for (int i = 0; i < fields.GetCount() && !replaced; ++i) {
                if (fields.GetAt(i).name == name) {
                    fields.GetAt(i).value = text;
                    fields.GetAt(i).masked = masked;
                    replaced = true;
                }
            }
            if (!replaced)
                fields.AddNew(name, text, masked);
            fieldsChanged = true;
        } else if (key == "remove-field") {
            bool removed = false;
            for (int i = 0; i < fields.GetCount(); ++i) {
                if (fields.GetAt(i).name == value) {
                    removed = fields.Remove(fields.GetAt(i).id);
                    break;
                }
            }
            if (!removed)
                return context.Fail(kExitDataError, "no custom field '" + value + "'");
            fieldsChanged = true;
        } else if (IsTypeField(key)) {
            std::string text = value;
            std::string field = key;
            if (key == "password-file") {
                field = "password";
                if (!ReadWholeFile(value, text))
                    return context.Fail(kExitDataError, value + ": cannot be read");
                // The file holds the password as its first line.
                text = text.substr(0, text.find_first_of("\r\n"));
            }
            const bool set = SetTypeField(record, field, text);
            SecureZero(text);
            if (!set)
                return context.Usage("a " + record.GetTypeName() + " record has no field --" +
                                     field);
        }
    }
    if (fieldsChanged)
        record.SetCustomFields(fields);
    return kExitOk;
}

void PrintResult(CCliContext& context, CCliVault& vault, int id) {
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
}

int RunAdd(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(1, 1, code))
        return code;
    const CCliArgs& args = context.Args();
    const std::string typeName = args.Get("type", "password");
    const CLSID* clsid = nullptr;
    for (const RECORDTYPE& type : kRecordTypes)
        if (typeName == type.name)
            clsid = type.clsid;
    if (!clsid)
        return context.Usage("unknown record type '" + typeName +
                             "' (password, url, card or note)");
    if ((code = CheckOptions(context)) != kExitOk)
        return code;
    if (args.Has("remove-field"))
        return context.Usage("--remove-field is for edit");

    CCliVault vault(context);
    if ((code = vault.Open(args.Positionals()[0])) != kExitOk)
        return code;
    int folder = kRootFolderId;
    if (args.Has("folder") && (code = vault.FindFolder(args.Get("folder"), folder)) != kExitOk)
        return code;
    CCliChange change(vault);
    const int id = vault.Doc().CreateNewObject(*clsid, folder, args.Get("name"));
    TComPtr<ITreeItem> node = id ? vault.Doc().GetNode(id) : nullptr;
    TComPtr<ICommonProperties> record = id ? vault.Record(id) : nullptr;
    if (!node || !record)
        return context.Fail(kExitDataError, "the record was not created");
    if ((code = ApplyOptions(context, *record)) != kExitOk)
        return code;
    if (!node->SetData(record.Get()) || !change.Commit())
        return context.Fail(kExitDataError, "the record was not stored");
    PrintResult(context, vault, id);
    return kExitOk;
}

int RunEdit(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(2, 2, code))
        return code;
    if ((code = CheckOptions(context)) != kExitOk)
        return code;
    CCliVault vault(context);
    if ((code = vault.Open(context.Args().Positionals()[0])) != kExitOk)
        return code;
    int id = 0;
    if ((code = vault.Find(context.Args().Positionals()[1], id)) != kExitOk)
        return code;
    TComPtr<ITreeItem> node = vault.Doc().GetNode(id);
    TComPtr<ICommonProperties> record = vault.Record(id);
    if (!node || !record)
        return context.Fail(kExitDataError, "#" + std::to_string(id) + " cannot be read");
    CCliChange change(vault);
    if ((code = ApplyOptions(context, *record)) != kExitOk)
        return code;
    if (!node->SetData(record.Get()) || !change.Commit())
        return context.Fail(kExitDataError, "the record was not stored");
    PrintResult(context, vault, id);
    return kExitOk;
}

std::vector<CLIOPTION> FieldOptions() {
    return {
        {"name", 0, "NAME", "the record's name"},
        {"comments", 0, "TEXT", "the comments (a note's text)"},
        {"comments-file", 0, "FILE", "the comments from a file, line breaks kept"},
        {"image", 0, "N", "the icon number"},
        {"field", 0, "NAME=VALUE", "a custom field (repeatable; replaces one of that name)"},
        {"masked-field", 0, "NAME=VALUE", "a custom field shown masked (repeatable)"},
        {"login", 0, "TEXT", "password and URL records: the login"},
        {"password", 0, "TEXT", "password and URL records: the password"},
        {"password-file", 0, "FILE", "the password as the first line of a file"},
        {"url", 0, "URL", "password and URL records: the address"},
        {"email", 0, "ADDRESS", "password and URL records: the e-mail address"},
        {"name-on-card", 0, "TEXT", "cards: the name on the card"},
        {"number", 0, "TEXT", "cards: the card number"},
        {"security-code", 0, "TEXT", "cards: the security code"},
        {"pin", 0, "TEXT", "cards: the PIN"},
        {"card-type", 0, "TEXT", "cards: the card type (Visa, Master Card...)"},
        {"expires", 0, "MM/YYYY", "cards: the expiration month and year"},
        {"bank-info", 0, "TEXT", "cards: the bank information"},
        {"address1", 0, "TEXT", "cards: the first address line"},
        {"address2", 0, "TEXT", "cards: the second address line"},
        {"city", 0, "TEXT", "cards: the city"},
        {"state", 0, "TEXT", "cards: the state"},
        {"zip", 0, "TEXT", "cards: the ZIP code"},
        {"country", 0, "TEXT", "cards: the country"},
    };
}

} // namespace

void AddEditCommands(std::vector<CLICOMMAND>& commands) {
    std::vector<CLIOPTION> addOptions = {
        {"type", 't', "TYPE", "password (default), url, card or note"},
        {"folder", 0, "FOLDER", "where the record goes (default: the root folder)"}};
    for (const CLIOPTION& option : FieldOptions())
        addOptions.push_back(option);
    commands.push_back({"add", "VAULT", "Add a password, URL, credit card or note record",
                        "Attached files are added with 'attach'.",
                        CLICOMMAND::kLogin | CLICOMMAND::kJson, addOptions, RunAdd});
    std::vector<CLIOPTION> editOptions = FieldOptions();
    editOptions.push_back({"remove-field", 0, "NAME", "remove a custom field (repeatable)"});
    commands.push_back({"edit", "VAULT ITEM", "Change the fields of a record",
                        "Only the fields given change; the modification time is set to now.",
                        CLICOMMAND::kLogin | CLICOMMAND::kJson, editOptions, RunEdit});
}

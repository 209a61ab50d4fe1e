#include "cli/CliRecord.h"

#include "cli/CliText.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/Interfaces.h"
#include "model/KivCustomFields.h"
#include "platform/FileTime.h"

#include <ostream>

namespace {

struct CLASSNAME {
    const CLSID* clsid;
    const char* name;
};

const CLASSNAME kClassNames[] = {
    {&CLSID_Folder, "CFolder"},
    {&CLSID_RootFolder, "CRootFolder"},
    {&CLSID_DeletedFolder, "CDeletedFolder"},
    {&CLSID_PasswordItem, "CPasswordItem"},
    {&CLSID_CreditCardItem, "CCreditCardItem"},
    {&CLSID_Note, "CNote"},
    {&CLSID_UrlItem, "CUrlItem"},
    {&CLSID_FileItem, "CFileItem"},
};

// Expiration dates are stored as month and year on two lines.
std::string ShownValue(const RECORDFIELD& field) {
    std::string value = DisplayText(field.value);
    if (std::string(field.key) == "expires") {
        for (char& c : value)
            if (c == '\n')
                c = '/';
    }
    return value;
}

void PrintMultiline(std::ostream& out, const std::string& label, const std::string& text) {
    out << label << ':';
    if (text.find('\n') == std::string::npos) {
        out << (text.empty() ? "" : " ") << text << '\n';
        return;
    }
    out << '\n';
    std::string line;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            out << "    " << line << '\n';
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty())
        out << "    " << line << '\n';
}

void Padded(std::ostream& out, const std::string& label, const std::string& value) {
    std::string heading = label + ":";
    if (heading.size() < 16)
        heading.resize(16, ' ');
    else
        heading += ' ';
    out << heading << value << '\n';
}

int PartCount(CCliVault& vault, int id) {
    CKivDatabase* db = vault.Doc().GetDatabase();
    return db ? CFileParts::CountParts(id, *db) : -1;
}

} // namespace

std::string ClassName(const CLSID& clsid) {
    for (const CLASSNAME& entry : kClassNames)
        if (*entry.clsid == clsid)
            return entry.name;
    return "unknown";
}

std::string ClassName(ICommonProperties& record) {
    CLSID clsid;
    record.GetClassID(clsid);
    return ClassName(clsid);
}

std::vector<RECORDFIELD> TypeFields(ICommonProperties& record) {
    TComPtr<ICommonProperties> holder(&record);
    std::vector<RECORDFIELD> fields;
    CLSID clsid;
    record.GetClassID(clsid);
    if (TComPtr<IPasswordProperties> p = holder.As<IPasswordProperties>()) {
        fields = {{"login", "Login", p->GetLogin(), false},
                  {"password", "Password", p->GetPassword(), true},
                  {"url", "URL", p->GetURL(), false},
                  {"email", "Email", p->GetEmail(), false}};
    } else if (TComPtr<ICreditCardProperties> c = holder.As<ICreditCardProperties>()) {
        fields = {{"name-on-card", "Name on card", c->GetNameOnCard(), false},
                  {"number", "Number", c->GetNumber(), false},
                  {"security-code", "Security code", c->GetSecurityCode(), true},
                  {"pin", "PIN", c->GetPIN(), true},
                  {"card-type", "Card type", c->GetCardType(), false},
                  {"expires", "Expires", c->GetExpirationDate(), false},
                  {"bank-info", "Bank info", c->GetBankInfo(), false},
                  {"address1", "Address 1", c->GetAddress1(), false},
                  {"address2", "Address 2", c->GetAddress2(), false},
                  {"city", "City", c->GetCity(), false},
                  {"state", "State", c->GetState(), false},
                  {"zip", "ZIP", c->GetZip(), false},
                  {"country", "Country", c->GetCountry(), false}};
    } else if (TComPtr<IFileProperties> f = holder.As<IFileProperties>()) {
        fields = {{"file-name", "File name", f->GetFileName(), false},
                  {"extension", "Extension", f->GetExtension(), false}};
    }
    return fields;
}

void PrintRecord(CCliVault& vault, int id, ICommonProperties& record, bool reveal,
                 std::ostream& out) {
    Padded(out, "ID", "#" + std::to_string(id));
    Padded(out, "Path", vault.PathOf(id));
    Padded(out, "Type", record.GetTypeName());
    Padded(out, "Name", DisplayText(record.GetName()));
    for (const RECORDFIELD& field : TypeFields(record))
        Padded(out, field.label, field.secret && !reveal ? kHiddenValue : ShownValue(field));
    CLSID clsid;
    record.GetClassID(clsid);
    if (clsid == CLSID_FileItem)
        Padded(out, "Parts", std::to_string(PartCount(vault, id)));
    FILETIME64 time = 0;
    if (record.GetCreated(time))
        Padded(out, "Created", FileTimeToLocalText(time));
    if (record.GetModified(time))
        Padded(out, "Modified", FileTimeToLocalText(time));
    Padded(out, "Image", std::to_string(record.GetImage()));
    PrintMultiline(out, clsid == CLSID_Note ? "Text" : "Comments",
                   DisplayText(record.GetComments()));
    CKivCustomFields custom;
    record.GetCustomFields(custom);
    if (custom.GetCount() > 0) {
        out << "Custom fields:\n";
        for (int i = 0; i < custom.GetCount(); ++i) {
            const auto& field = custom.GetAt(i);
            out << "    " << DisplayText(field.name) << ": "
                << (field.masked && !reveal ? kHiddenValue : DisplayText(field.value))
                << (field.masked ? " (masked)" : "") << '\n';
        }
    }
}

void WriteRecordJson(CCliVault& vault, int id, ICommonProperties& record, bool reveal,
                     CJsonWriter& json) {
    json.BeginObject();
    json.Field("id", id);
    json.Field("parent", vault.ParentOf(id));
    json.Field("path", vault.PathOf(id));
    json.Field("type", record.GetTypeName());
    json.Field("class", ClassName(record));
    json.Field("name", record.GetName());
    json.Field("comments", record.GetComments());
    FILETIME64 time = 0;
    record.GetCreated(time);
    json.Field("created", FileTimeUtcText(time));
    time = 0;
    record.GetModified(time);
    json.Field("modified", FileTimeUtcText(time));
    json.Field("image", record.GetImage());
    json.Key("fields");
    json.BeginObject();
    for (const RECORDFIELD& field : TypeFields(record)) {
        json.Key(field.key);
        if (field.secret && !reveal)
            json.Null();
        else
            json.String(field.value);
    }
    CLSID clsid;
    record.GetClassID(clsid);
    if (clsid == CLSID_FileItem)
        json.Field("parts", PartCount(vault, id));
    json.EndObject();
    json.Key("custom_fields");
    json.BeginArray();
    CKivCustomFields custom;
    record.GetCustomFields(custom);
    for (int i = 0; i < custom.GetCount(); ++i) {
        const auto& field = custom.GetAt(i);
        json.BeginObject();
        json.Field("name", field.name);
        json.Key("value");
        if (field.masked && !reveal)
            json.Null();
        else
            json.String(field.value);
        json.Field("masked", field.masked != 0);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliRecord.h"
#include "cli/CliRows.h"
#include "cli/CliText.h"
#include "cli/CliVault.h"
#include "cli/JsonWriter.h"
#include "cli/RawRecord.h"
#include "model/Factory.h"
#include "model/Interfaces.h"
#include "model/KivCustomFields.h"
#include "platform/MemFile.h"
#include "security/Crc32.h"
#include "security/LoginText.h"
#include "security/SecureZero.h"
#include "storage/KivDatabase.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteException.h"

#include <QCryptographicHash>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

namespace {

// What our engine writes: the on-disk format of that library version, in its 8-bit encoding.
constexpr const char* kFormatVersion = "2.8.13";
constexpr const char* kFormatEncoding = "iso8859";
constexpr std::size_t kMaxSerialisedHex = 4096;

struct TREEROW {
    int id;
    int parent;
    std::optional<std::string> expanded;
    STOREDDATA data;
};

struct PARTROW {
    int rowId;
    int parent;
    int part;
};

int ToInt(const char* text) {
    return text ? std::atoi(text) : 0;
}

std::string_view Bytes(const CMemFile& file) {
    return {reinterpret_cast<const char*>(file.GetData()),
            static_cast<std::size_t>(file.GetLength())};
}

std::int32_t Int32At(std::string_view bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && offset + i < bytes.size(); ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    return static_cast<std::int32_t>(value);
}

void WriteBytes(CJsonWriter& json, std::string_view key, std::string_view bytes) {
    json.Key(key);
    json.BeginObject();
    json.Field("hex", HexText(bytes));
    json.Key("text");
    json.Latin1(bytes);
    json.EndObject();
}

void WriteTime(CJsonWriter& json, std::string_view key, std::uint64_t fileTime) {
    json.Key(key);
    json.BeginObject();
    json.Key("filetime");
    json.UInt(fileTime);
    json.Field("hex", FileTimeHex(fileTime));
    json.Field("utc", FileTimeUtcText(fileTime));
    json.EndObject();
}

void WriteWords(CJsonWriter& json, std::string_view key, const std::uint32_t (&words)[5]) {
    json.Key(key);
    json.BeginArray();
    for (std::uint32_t word : words)
        json.UInt(word);
    json.EndArray();
}

class CDumper {
public:
    CDumper(CCliVault& vault, CJsonWriter& json)
        : m_vault(vault), m_json(json), m_db(*vault.Doc().GetDatabase()),
          m_key(vault.Tresorix()->GetPassword()) {}
    ~CDumper() { SecureZero(m_key); }
    CDumper(const CDumper&) = delete;
    CDumper& operator=(const CDumper&) = delete;

    void Run(bool withPassword);

private:
    void Credentials(bool withPassword);
    void Engine();
    void Schema();
    void Header();
    void Tree();
    void Record(const TREEROW& row);
    void Fields(ICommonProperties& record, const RAWRECORD& raw);
    void Attachment(int id);
    void StrayParts();

    CCliVault& m_vault;
    CJsonWriter& m_json;
    CKivDatabase& m_db;
    std::string m_key;
    std::map<int, CLSID> m_classes;
};

void CDumper::Run(bool withPassword) {
    m_json.BeginObject();
    m_json.Field("manifest_version", 1);
    m_json.Field("file", std::filesystem::path(m_vault.GetPath()).filename().string());
    Credentials(withPassword);
    Engine();
    Schema();
    Header();
    Tree();
    StrayParts();
    m_json.EndObject();
    m_json.Finish();
}

void CDumper::Credentials(bool withPassword) {
    m_json.Key("credentials");
    m_json.BeginObject();
    WriteBytes(m_json, "username", m_vault.GetUserName());
    if (withPassword) {
        // The form of the typed password the file accepted (as typed, or its Windows-1252 form).
        std::string accepted = m_vault.GetPassword();
        for (const std::string& form : TextForms(m_vault.GetPassword()))
            if (MakeKeyText(form) == m_key)
                accepted = form;
        WriteBytes(m_json, "password", accepted);
        SecureZero(accepted);
        m_json.Field("password_encoding",
                     "cp1252 bytes as given (hex); text is their latin-1 view");
    }
    m_json.Field("key_text", m_key);
    std::string hint;
    ForEachRow(m_db, "SELECT SECRET_WORD FROM TRESORIX_TRESORIX WHERE ID=1",
               [&](const std::vector<const char*>& c) { hint = c[0] ? c[0] : ""; });
    WriteBytes(m_json, "hint", hint);
    m_json.EndObject();
}

void CDumper::Engine() {
    std::string integrity;
    ForEachRow(m_db, "PRAGMA integrity_check", [&](const std::vector<const char*>& c) {
        if (!integrity.empty())
            integrity += '\n';
        integrity += c.empty() || !c[0] ? "" : c[0];
    });
    m_json.Key("sqlite");
    m_json.BeginObject();
    m_json.Field("library_version", kFormatVersion);
    m_json.Field("encoding", kFormatEncoding);
    m_json.Field("integrity_check", integrity);
    m_json.EndObject();
}

void CDumper::Schema() {
    m_json.Key("schema");
    m_json.BeginArray();
    ForEachRow(m_db, "SELECT type, name, tbl_name, sql FROM sqlite_master",
               [&](const std::vector<const char*>& c) {
                   m_json.BeginObject();
                   const char* keys[] = {"type", "name", "tbl_name", "sql"};
                   for (std::size_t i = 0; i < 4; ++i) {
                       m_json.Key(keys[i]);
                       if (i < c.size() && c[i])
                           m_json.Latin1(c[i]);
                       else
                           m_json.Null();
                   }
                   m_json.EndObject();
               });
    m_json.EndArray();
}

void CDumper::Header() {
    std::vector<int> ids;
    std::optional<std::vector<std::optional<std::string>>> first;
    ForEachRow(m_db,
               "SELECT ID, USERNAME, PASSWORD_REQUIRED, SECRET_WORD, DATA FROM TRESORIX_TRESORIX",
               [&](const std::vector<const char*>& c) {
                   ids.push_back(ToInt(c[0]));
                   if (first || ToInt(c[0]) != 1)
                       return;
                   first.emplace();
                   for (const char* each : c)
                       first->push_back(each ? std::optional<std::string>(each) : std::nullopt);
               });
    m_json.Key("header");
    m_json.BeginObject();
    m_json.Key("row_ids");
    m_json.BeginArray();
    for (int id : ids)
        m_json.Int(id);
    m_json.EndArray();
    if (first && first->size() >= 5) {
        const auto& row = *first;
        WriteBytes(m_json, "username", row[1].value_or(""));
        m_json.Key("password_required");
        if (row[2])
            m_json.Latin1(*row[2]);
        else
            m_json.Null();
        WriteBytes(m_json, "secret_word", row[3].value_or(""));
        const STOREDDATA data = DecodeStoredData(row[4] ? row[4]->c_str() : nullptr);
        m_json.Key("data_text");
        m_json.BeginObject();
        m_json.Field("length", static_cast<std::int64_t>(data.text.size()));
        m_json.Field("sha256", Sha256Text(data.text));
        m_json.EndObject();
        m_json.Field("ciphertext_length", static_cast<std::int64_t>(data.ciphertext.size()));
        CMemFile payload;
        if (DecryptStoredData(data.ciphertext, m_key, payload)) {
            const std::string_view bytes = Bytes(payload);
            m_json.Field("payload_length", static_cast<std::int64_t>(bytes.size()));
            m_json.Field("payload_sha256", Sha256Text(bytes));
            const std::int32_t count = Int32At(bytes, 0);
            m_json.Field("favorites_count", static_cast<std::int64_t>(count));
            m_json.Key("favorites");
            m_json.BeginArray();
            for (std::int64_t i = 0;
                 i < count && 4 + 4 * i + 4 <= static_cast<std::int64_t>(bytes.size()); ++i)
                m_json.Int(Int32At(bytes, static_cast<std::size_t>(4 + 4 * i)));
            m_json.EndArray();
            m_json.Field("seal", static_cast<std::int64_t>(
                                     bytes.size() >= 4 ? Int32At(bytes, bytes.size() - 4) : 0));
            payload.SeekToBegin();
            m_json.Field("seal_ok", bytes.size() >= 4 && CheckCRC32(payload));
        }
    }
    m_json.EndObject();
}

void CDumper::Tree() {
    std::vector<TREEROW> rows;
    ForEachRow(m_db, "select id, id_parent, expanded, data from tresorix_main order by id",
               [&](const std::vector<const char*>& c) {
                   rows.push_back({ToInt(c[0]), ToInt(c[1]),
                                   c[2] ? std::optional<std::string>(c[2]) : std::nullopt,
                                   DecodeStoredData(c[3])});
               });
    m_json.Key("tree");
    m_json.BeginArray();
    for (const TREEROW& row : rows) {
        m_json.BeginObject();
        m_json.Field("id", row.id);
        m_json.Field("parent", row.parent);
        m_json.Key("expanded");
        if (row.expanded)
            m_json.Latin1(*row.expanded);
        else
            m_json.Null();
        m_json.Field("is_expanded", row.expanded && *row.expanded == "1");
        m_json.Key("data");
        m_json.BeginObject();
        m_json.Field("text_length", static_cast<std::int64_t>(row.data.text.size()));
        m_json.Field("text_sha256", Sha256Text(row.data.text));
        m_json.Field("ciphertext_length", static_cast<std::int64_t>(row.data.ciphertext.size()));
        m_json.Field("malformed", row.data.malformed);
        m_json.EndObject();
        Record(row);
        m_json.EndObject();
    }
    m_json.EndArray();
}

void CDumper::Record(const TREEROW& row) {
    m_json.Key("record");
    CMemFile plain;
    RAWRECORD raw;
    TComPtr<ICommonProperties> record;
    if (row.data.ciphertext.empty() || !DecryptStoredData(row.data.ciphertext, m_key, plain) ||
        !ParseRawRecord(plain.GetData(), static_cast<std::size_t>(plain.GetLength()), raw) ||
        LoadItem(plain, record) != S_OK || !record) {
        m_json.Null();
        return;
    }
    m_classes[row.id] = raw.clsid;
    const std::string_view bytes = Bytes(plain);
    m_json.BeginObject();
    m_json.Field("class", ClassName(raw.clsid));
    m_json.Field("clsid", GuidToString(raw.clsid));
    m_json.Field("type_name", record->GetTypeName());
    WriteBytes(m_json, "name", record->GetName());
    WriteBytes(m_json, "comments", record->GetComments());
    FILETIME64 time = 0;
    record->GetCreated(time);
    WriteTime(m_json, "created", time);
    time = 0;
    record->GetModified(time);
    WriteTime(m_json, "modified", time);
    m_json.Key("image");
    m_json.UInt(raw.image);
    WriteWords(m_json, "reserved", raw.reserved);
    WriteBytes(m_json, "custom_fields_text", raw.customFieldsText);
    m_json.Key("custom_fields");
    m_json.BeginArray();
    CKivCustomFields custom;
    record->GetCustomFields(custom);
    for (int i = 0; i < custom.GetCount(); ++i) {
        m_json.BeginObject();
        m_json.Field("masked", custom.GetAt(i).masked);
        WriteBytes(m_json, "name", custom.GetAt(i).name);
        WriteBytes(m_json, "value", custom.GetAt(i).value);
        m_json.EndObject();
    }
    m_json.EndArray();
    m_json.Key("serialised");
    m_json.BeginObject();
    m_json.Field("length", static_cast<std::int64_t>(bytes.size()));
    m_json.Field("sha256", Sha256Text(bytes));
    if (bytes.size() <= kMaxSerialisedHex)
        m_json.Field("hex", HexText(bytes));
    m_json.EndObject();
    Fields(*record, raw);
    if (raw.clsid == CLSID_FileItem)
        Attachment(row.id);
    m_json.EndObject();
}

void CDumper::Fields(ICommonProperties& record, const RAWRECORD& raw) {
    TComPtr<ICommonProperties> holder(&record);
    m_json.Key("fields");
    m_json.BeginObject();
    if (record.IsFolder()) {
        m_json.Key("folder_word");
        m_json.UInt(raw.folderWord);
    } else if (TComPtr<IPasswordProperties> p = holder.As<IPasswordProperties>()) {
        WriteBytes(m_json, "login", p->GetLogin());
        WriteBytes(m_json, "password", p->GetPassword());
        WriteBytes(m_json, "url", p->GetURL());
        WriteBytes(m_json, "email", p->GetEmail());
    } else if (TComPtr<ICreditCardProperties> c = holder.As<ICreditCardProperties>()) {
        WriteBytes(m_json, "name_on_card", c->GetNameOnCard());
        WriteBytes(m_json, "number", c->GetNumber());
        WriteBytes(m_json, "security_code", c->GetSecurityCode());
        WriteBytes(m_json, "pin", c->GetPIN());
        WriteBytes(m_json, "card_type", c->GetCardType());
        WriteBytes(m_json, "expiration_date", c->GetExpirationDate());
        WriteBytes(m_json, "bank_info", c->GetBankInfo());
        WriteBytes(m_json, "address1", c->GetAddress1());
        WriteBytes(m_json, "address2", c->GetAddress2());
        WriteBytes(m_json, "city", c->GetCity());
        WriteBytes(m_json, "state", c->GetState());
        WriteBytes(m_json, "zip", c->GetZip());
        WriteBytes(m_json, "country", c->GetCountry());
        WriteBytes(m_json, "country_bank_joined",
                   raw.cardTexts.size() > kCardJoinedText ? raw.cardTexts[kCardJoinedText] : "");
    } else if (TComPtr<IFileProperties> f = holder.As<IFileProperties>()) {
        WriteBytes(m_json, "file_name", f->GetFileName());
        WriteBytes(m_json, "extension", f->GetExtension());
        m_json.Key("number_a");
        m_json.UInt(f->GetNumberA());
        m_json.Key("number_b");
        m_json.UInt(f->GetNumberB());
        WriteTime(m_json, "time_a", f->GetTimeA());
        WriteTime(m_json, "time_b", f->GetTimeB());
        WriteWords(m_json, "reserved", raw.fileReserved);
    }
    m_json.EndObject();
}

void CDumper::Attachment(int id) {
    struct PART {
        int rowId;
        int part;
        std::size_t length;
        std::string sha256;
        std::size_t textLength;
        std::string textSha256;
    };
    std::vector<PART> parts;
    QCryptographicHash whole(QCryptographicHash::Sha256);
    std::size_t total = 0;
    CSQLiteBuffer sql;
    ForEachRow(m_db,
               sql.Format("select id, part, data from tresorix_data where id_parent = %d "
                          "order by part asc",
                          id),
               [&](const std::vector<const char*>& c) {
                   const STOREDDATA data = DecodeStoredData(c[2]);
                   CMemFile plain;
                   DecryptStoredData(data.ciphertext, m_key, plain);
                   const std::string_view bytes = Bytes(plain);
                   whole.addData(
                       QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
                   total += bytes.size();
                   parts.push_back({ToInt(c[0]), ToInt(c[1]), bytes.size(), Sha256Text(bytes),
                                    data.text.size(), Sha256Text(data.text)});
               });
    const QByteArray digest = whole.result();
    m_json.Key("attachment");
    m_json.BeginObject();
    m_json.Field("length", static_cast<std::int64_t>(total));
    m_json.Field("sha256", HexText(digest.constData(), static_cast<std::size_t>(digest.size())));
    m_json.Field("part_count", static_cast<std::int64_t>(parts.size()));
    m_json.Key("parts");
    m_json.BeginArray();
    for (const PART& part : parts) {
        m_json.BeginObject();
        m_json.Field("row_id", part.rowId);
        m_json.Field("part", part.part);
        m_json.Field("length", static_cast<std::int64_t>(part.length));
        m_json.Field("sha256", part.sha256);
        m_json.Field("text_length", static_cast<std::int64_t>(part.textLength));
        m_json.Field("text_sha256", part.textSha256);
        m_json.EndObject();
    }
    m_json.EndArray();
    m_json.EndObject();
}

void CDumper::StrayParts() {
    std::vector<PARTROW> stray;
    ForEachRow(m_db, "select id, id_parent, part from tresorix_data order by id",
               [&](const std::vector<const char*>& c) {
                   const int parent = ToInt(c[1]);
                   auto owner = m_classes.find(parent);
                   if (owner == m_classes.end() || !(owner->second == CLSID_FileItem))
                       stray.push_back({ToInt(c[0]), parent, ToInt(c[2])});
               });
    m_json.Key("stray_parts");
    m_json.BeginArray();
    for (const PARTROW& part : stray) {
        m_json.BeginObject();
        m_json.Field("row_id", part.rowId);
        m_json.Field("parent", part.parent);
        m_json.Field("part", part.part);
        m_json.EndObject();
    }
    m_json.EndArray();
}

int RunDump(CCliContext& context) {
    int code = kExitOk;
    if (!context.CheckPositionals(1, 1, code))
        return code;
    CCliVault vault(context);
    if ((code = vault.Open(context.Args().Positionals()[0])) != kExitOk)
        return code;
    try {
        CJsonWriter json(context.Out());
        CDumper dumper(vault, json);
        dumper.Run(context.Args().Has("reveal"));
    } catch (const CSQLiteException& e) {
        context.Out().flush();
        return context.Fail(kExitDataError, e.GetText());
    }
    return kExitOk;
}

} // namespace

void AddDumpCommands(std::vector<CLICOMMAND>& commands) {
    commands.push_back(
        {"dump",
         "VAULT",
         "Write the whole decoded data file as JSON",
         "Everything stored is written, record passwords included, in the layout of the vault\n"
         "manifests. The master password itself is only written with --reveal.",
         CLICOMMAND::kLogin | CLICOMMAND::kJson,
         {{"reveal", 0, nullptr, "also write the master password"}},
         RunDump});
}

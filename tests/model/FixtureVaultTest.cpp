#include "model/CommonItem.h"
#include "model/CreditCardItem.h"
#include "model/Factory.h"
#include "model/KivCustomFields.h"
#include "model/ModelTestUtil.h"
#include "platform/MessageBox.h"
#include "security/Login.h"
#include "security/LoginText.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

using namespace txtest;

namespace {

const char* const kVaults[] = {"new-empty", "new-categories", "sample", "big"};

std::string Field(const QJsonObject& object, const char* name) {
    return ManifestBytes(object.value(name).toObject());
}

FILETIME64 FileTime(const QJsonObject& object, const char* name) {
    std::string bytes =
        FromHex(object.value(name).toObject().value("hex").toString().toStdString());
    FILETIME64 value = 0;
    for (int i = 7; i >= 0 && bytes.size() == 8; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]);
    return value;
}

const std::map<std::string, CLSID>& ClassIds() {
    static const std::map<std::string, CLSID> ids = {
        {"CFolder", CLSID_Folder},
        {"CRootFolder", CLSID_RootFolder},
        {"CDeletedFolder", CLSID_DeletedFolder},
        {"CPasswordItem", CLSID_PasswordItem},
        {"CCreditCardItem", CLSID_CreditCardItem},
        {"CNote", CLSID_Note},
        {"CUrlItem", CLSID_UrlItem},
        {"CFileItem", CLSID_FileItem},
    };
    return ids;
}

void ExpectClassFields(ICommonProperties* record, const QJsonObject& fields) {
    TComPtr<ICommonProperties> holder(record);
    if (auto p = holder.As<IPasswordProperties>()) {
        EXPECT_EQ(p->GetLogin(), Field(fields, "login"));
        EXPECT_EQ(p->GetPassword(), Field(fields, "password"));
        EXPECT_EQ(p->GetURL(), Field(fields, "url"));
        EXPECT_EQ(p->GetEmail(), Field(fields, "email"));
    }
    if (auto c = holder.As<ICreditCardProperties>()) {
        EXPECT_EQ(c->GetNameOnCard(), Field(fields, "name_on_card"));
        EXPECT_EQ(c->GetNumber(), Field(fields, "number"));
        EXPECT_EQ(c->GetSecurityCode(), Field(fields, "security_code"));
        EXPECT_EQ(c->GetPIN(), Field(fields, "pin"));
        EXPECT_EQ(c->GetCardType(), Field(fields, "card_type"));
        EXPECT_EQ(c->GetExpirationDate(), Field(fields, "expiration_date"));
        EXPECT_EQ(c->GetBankInfo(), Field(fields, "bank_info"));
        EXPECT_EQ(c->GetAddress1(), Field(fields, "address1"));
        EXPECT_EQ(c->GetAddress2(), Field(fields, "address2"));
        EXPECT_EQ(c->GetCity(), Field(fields, "city"));
        EXPECT_EQ(c->GetState(), Field(fields, "state"));
        EXPECT_EQ(c->GetZip(), Field(fields, "zip"));
        EXPECT_EQ(c->GetCountry(), Field(fields, "country"));
        EXPECT_EQ(CCreditCardItem::JoinCountryAndBank(c->GetCountry(), c->GetBankInfo()),
                  Field(fields, "country_bank_joined"));
    }
    if (auto f = holder.As<IFileProperties>()) {
        EXPECT_EQ(f->GetFileName(), Field(fields, "file_name"));
        EXPECT_EQ(f->GetExtension(), Field(fields, "extension"));
        EXPECT_EQ(f->GetNumberA(), static_cast<std::uint32_t>(fields.value("number_a").toDouble()));
        EXPECT_EQ(f->GetNumberB(), static_cast<std::uint32_t>(fields.value("number_b").toDouble()));
        EXPECT_EQ(f->GetTimeA(), FileTime(fields, "time_a"));
        EXPECT_EQ(f->GetTimeB(), FileTime(fields, "time_b"));
    }
    if (record->IsFolder()) {
        std::string bytes = Serialise(record);
        std::uint32_t word = fields.value("folder_word").toInt();
        EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string(reinterpret_cast<char*>(&word), 4));
    }
}

void ExpectRecordMatches(ITresorix* tresorix, const QJsonObject& row, const ScratchDir& dir) {
    const int id = row.value("id").toInt();
    SCOPED_TRACE("node " + std::to_string(id));
    const QJsonObject m = row.value("record").toObject();
    TComPtr<ITreeItem> node = MakeTreeItem(tresorix, id);
    EXPECT_EQ(node->GetParentID(), row.value("parent").toInt());
    EXPECT_EQ(node->IsExpanded(), row.value("is_expanded").toBool());
    TComPtr<ICommonProperties> record = GetCommonProperties(node->GetData());
    ASSERT_TRUE(record);

    CLSID clsid{};
    record->GetClassID(clsid);
    EXPECT_EQ(GuidToString(clsid), m.value("clsid").toString().toStdString());
    auto known = ClassIds().find(m.value("class").toString().toStdString());
    ASSERT_NE(known, ClassIds().end());
    EXPECT_EQ(clsid, known->second);
    EXPECT_EQ(record->GetTypeName(), m.value("type_name").toString().toStdString());
    EXPECT_EQ(record->GetName(), Field(m, "name"));
    EXPECT_EQ(record->GetComments(), Field(m, "comments"));
    FILETIME64 created = 0, modified = 0;
    record->GetCreated(created);
    record->GetModified(modified);
    EXPECT_EQ(created, FileTime(m, "created"));
    EXPECT_EQ(modified, FileTime(m, "modified"));
    EXPECT_EQ(dynamic_cast<CCommonItem*>(record.Get())->GetStoredImage(), m.value("image").toInt());

    CKivCustomFields fields;
    record->GetCustomFields(fields);
    EXPECT_EQ(fields.ToText(), Field(m, "custom_fields_text"));
    const QJsonArray expected = m.value("custom_fields").toArray();
    ASSERT_EQ(fields.GetCount(), expected.size());
    for (int i = 0; i < fields.GetCount(); ++i) {
        const QJsonObject e = expected.at(i).toObject();
        EXPECT_EQ(fields.GetAt(i).masked, e.value("masked").toInt());
        EXPECT_EQ(fields.GetAt(i).name, Field(e, "name"));
        EXPECT_EQ(fields.GetAt(i).value, Field(e, "value"));
    }

    ExpectClassFields(record.Get(), m.value("fields").toObject());

    // Written back, the record is the very bytes that were stored.
    const QJsonObject serialised = m.value("serialised").toObject();
    std::string bytes = Serialise(record.Get());
    EXPECT_EQ(static_cast<int>(bytes.size()), serialised.value("length").toInt());
    EXPECT_EQ(Sha256Hex(bytes), serialised.value("sha256").toString().toStdString());
    if (serialised.contains("hex")) {
        EXPECT_EQ(ToHex(bytes), serialised.value("hex").toString().toStdString());
    }

    if (m.contains("attachment")) {
        const QJsonObject attachment = m.value("attachment").toObject();
        auto file = record.As<IFileProperties>();
        ASSERT_TRUE(file);
        std::filesystem::path out = dir / ("attachment-" + std::to_string(id));
        ASSERT_TRUE(file->SaveFileTo(out.string(), id, tresorix));
        std::string content = ReadFile(out);
        EXPECT_EQ(static_cast<double>(content.size()), attachment.value("length").toDouble());
        EXPECT_EQ(Sha256Hex(content), attachment.value("sha256").toString().toStdString());
        std::filesystem::remove(out);
    }
}

class FixtureVault : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(FixtureVault, LoginAcceptsTheManifestCredentialsOnly) {
    TX_REQUIRE_FIXTURES();
    ScratchDir dir;
    const QJsonObject manifest = LoadManifest(GetParam());
    const QJsonObject credentials = manifest.value("credentials").toObject();
    const std::string username = Field(credentials, "username");
    const std::string password = Field(credentials, "password");
    const std::string key = credentials.value("key_text").toString().toStdString();
    const auto path = CopyVault(GetParam(), dir).string();

    EXPECT_EQ(MakeKeyText(password), key);
    CScopedMessageRecorder messages;
    EXPECT_EQ(CheckLogin(path, username, key), 1);
    EXPECT_TRUE(messages.Messages().empty());

    EXPECT_EQ(CheckLogin(path, username, MakeKeyText(password + "x")), 0);
    std::string upper = username;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(CheckLogin(path, upper, key), 0);

    // A header that asks for no password accepts nobody.
    ExecuteSql(path, "update tresorix_tresorix set password_required = 0 where id = 1");
    EXPECT_EQ(CheckLogin(path, username, key), 0);
    ASSERT_EQ(messages.Messages().size(), 3u);
    for (const auto& message : messages.Messages()) {
        EXPECT_EQ(message.text.rfind("Did you forget your username or password?", 0), 0u);
        EXPECT_EQ(message.flags, static_cast<unsigned>(MB_ICONSTOP));
    }
}

TEST_P(FixtureVault, EveryRecordMatchesTheManifest) {
    TX_REQUIRE_FIXTURES();
    ScratchDir dir;
    const QJsonObject manifest = LoadManifest(GetParam());
    const std::string key =
        manifest.value("credentials").toObject().value("key_text").toString().toStdString();
    const auto path = CopyVault(GetParam(), dir);
    CScopedMessageRecorder messages;
    TComPtr<ITresorix> tresorix = OpenTresorix(path, key);
    ASSERT_TRUE(tresorix);

    std::set<int> expectedIds;
    for (const auto& value : manifest.value("tree").toArray()) {
        ExpectRecordMatches(tresorix.Get(), value.toObject(), dir);
        expectedIds.insert(value.toObject().value("id").toInt());
    }

    // The same rows again by walking the tree from the root.
    std::set<int> reached;
    std::vector<TComPtr<ITreeItem>> pending{MakeTreeItem(tresorix.Get(), kRootFolderId)};
    while (!pending.empty()) {
        TComPtr<ITreeItem> node = pending.back();
        pending.pop_back();
        ASSERT_TRUE(reached.insert(node->GetID()).second);
        TComPtr<ITreeIterator> children = node->GetIterator(ITreeItem::kChildren);
        ASSERT_TRUE(children);
        for (auto child = children->First(); child; child = children->Next())
            pending.push_back(child);
        EXPECT_TRUE(children->IsDone());
    }
    EXPECT_EQ(reached, expectedIds);

    std::vector<int> favorites;
    for (const auto& value : manifest.value("header").toObject().value("favorites").toArray())
        favorites.push_back(value.toInt());
    EXPECT_EQ(ReadFavorites(path, key), favorites);
    EXPECT_TRUE(messages.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Vaults, FixtureVault, ::testing::ValuesIn(kVaults), [](const auto& info) {
    std::string name = info.param;
    name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
    return name;
});

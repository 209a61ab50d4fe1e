#include "model/CommonItem.h"
#include "model/CreditCardItem.h"
#include "model/Factory.h"
#include "model/KivCustomFields.h"
#include "model/ModelTestUtil.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

using txtest::FromHex;
using txtest::NewRecord;
using txtest::Serialise;

namespace {

TComPtr<ICommonProperties> Load(const std::string& bytes, HRESULT* result = nullptr) {
    CMemFile file(bytes.data(), bytes.size());
    TComPtr<ICommonProperties> record;
    HRESULT hr = LoadItem(file, record);
    if (result)
        *result = hr;
    return record;
}

std::string Le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

std::string Text(const std::string& t) {
    return Le32(static_cast<std::uint32_t>(t.size())) + t;
}

const CLSID* const kRecordClasses[] = {
    &CLSID_Folder,         &CLSID_RootFolder, &CLSID_DeletedFolder, &CLSID_PasswordItem,
    &CLSID_CreditCardItem, &CLSID_Note,       &CLSID_UrlItem,       &CLSID_FileItem};

} // namespace

TEST(RecordSerialization, FolderWorkedLayoutIs76Bytes) {
    auto folder = NewRecord(CLSID_Folder);
    folder->SetName("Mail");
    std::string bytes = Serialise(folder.Get());
    auto clsid = GuidToBytes(CLSID_Folder);
    std::string expected(clsid.begin(), clsid.end());
    expected += Le32(4) + "Mail" + Le32(0) + std::string(16, '\0') + Le32(5) +
                std::string(20, '\0') + Le32(0) + Le32(1);
    ASSERT_EQ(bytes.size(), 76u);
    EXPECT_EQ(bytes, expected);
}

TEST(RecordSerialization, EveryClassRoundTripsToTheSameBytes) {
    for (const CLSID* clsid : kRecordClasses) {
        auto record = NewRecord(*clsid);
        ASSERT_TRUE(record) << GuidToString(*clsid);
        record->SetName("N\xe4me");
        record->SetComments("line 1\r\nline 2");
        record->SetCreated(0x0102030405060708ULL);
        record->SetModified(0x1112131415161718ULL);
        record->SetImage(42);
        CKivCustomFields fields;
        fields.AddNew("Phone", "+1 555", 0);
        fields.AddNew("PIN", "1234", 1);
        record->SetCustomFields(fields);
        if (auto p = record.As<IPasswordProperties>()) {
            p->SetLogin("me");
            p->SetPassword("s3cret");
            p->SetURL("https://example.org");
            p->SetEmail("me@example.org");
        }
        if (auto c = record.As<ICreditCardProperties>()) {
            c->SetNameOnCard("A B");
            c->SetNumber("4111");
            c->SetCountry("Land");
            c->SetBankInfo("Bank");
            c->SetExpirationDate("07\n2027");
            c->SetZip("12345");
        }
        if (auto f = record.As<IFileProperties>()) {
            f->SetFileName("a.bin");
            f->SetExtension(".bin");
            f->SetNumberA(7);
            f->SetNumberB(9);
            f->SetTimeA(11);
            f->SetTimeB(13);
        }
        std::string bytes = Serialise(record.Get());
        auto loaded = Load(bytes);
        ASSERT_TRUE(loaded) << GuidToString(*clsid);
        CLSID loadedClass{};
        loaded->GetClassID(loadedClass);
        EXPECT_EQ(loadedClass, *clsid);
        EXPECT_EQ(Serialise(loaded.Get()), bytes) << GuidToString(*clsid);
        EXPECT_EQ(loaded->GetName(), "N\xe4me");
        FILETIME64 created = 0;
        loaded->GetCreated(created);
        EXPECT_EQ(created, 0x0102030405060708ULL);
        CKivCustomFields loadedFields;
        loaded->GetCustomFields(loadedFields);
        ASSERT_EQ(loadedFields.GetCount(), 2);
        EXPECT_EQ(loadedFields.GetAt(1).masked, 1);
        if (auto f = loaded.As<IFileProperties>()) {
            EXPECT_EQ(f->GetNumberA(), 7u);
            EXPECT_EQ(f->GetNumberB(), 9u);
            EXPECT_EQ(f->GetTimeA(), 11u);
            EXPECT_EQ(f->GetTimeB(), 13u);
        }
    }
}

TEST(RecordSerialization, UrlDiffersFromPasswordOnlyInItsClassIdentifier) {
    auto password = NewRecord(CLSID_PasswordItem);
    auto url = NewRecord(CLSID_UrlItem);
    for (auto* record : {password.Get(), url.Get()}) {
        record->SetName("site");
        record->SetComments("c");
        TComPtr<ICommonProperties> holder(record);
        auto p = holder.As<IPasswordProperties>();
        ASSERT_TRUE(p);
        p->SetLogin("l");
        p->SetPassword("p");
        p->SetURL("u");
        p->SetEmail("e");
    }
    std::string a = Serialise(password.Get());
    std::string b = Serialise(url.Get());
    ASSERT_EQ(a.size(), b.size());
    EXPECT_NE(a.substr(0, 16), b.substr(0, 16));
    EXPECT_EQ(a.substr(16), b.substr(16));
    EXPECT_EQ(url->GetTypeName(), "URL");
    EXPECT_EQ(password->GetTypeName(), "Password");
}

TEST(RecordSerialization, CreditCardJoinsCountryAndBankInfo) {
    auto card = NewRecord(CLSID_CreditCardItem);
    auto c = card.As<ICreditCardProperties>();
    c->SetCountry("France");
    c->SetBankInfo("");
    c->SetExpirationDate("07");
    std::string bytes = Serialise(card.Get());
    // Ten texts, then the joined one, then the expiration date at the very end.
    EXPECT_EQ(bytes.substr(bytes.size() - 17), Text("France\n") + Text("07"));

    auto loaded = Load(bytes).As<ICreditCardProperties>();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetCountry(), "France");
    EXPECT_EQ(loaded->GetBankInfo(), "");
    EXPECT_EQ(loaded->GetExpirationDate(), "07");
}

TEST(RecordSerialization, CreditCardJoinedTextWithoutLineFeedIsCountryOnly) {
    std::string country, bank = "old";
    CCreditCardItem::SplitCountryAndBank("Spain", country, bank);
    EXPECT_EQ(country, "Spain");
    EXPECT_EQ(bank, "");
    CCreditCardItem::SplitCountryAndBank("", country, bank);
    EXPECT_EQ(country, "");
    EXPECT_EQ(bank, "");
}

TEST(RecordSerialization, CreditCardBankInfoOfSeveralLinesSurvives) {
    auto card = NewRecord(CLSID_CreditCardItem);
    card.As<ICreditCardProperties>()->SetCountry("DE");
    card.As<ICreditCardProperties>()->SetBankInfo("Bank\nBranch 7\n");
    auto loaded = Load(Serialise(card.Get())).As<ICreditCardProperties>();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetCountry(), "DE");
    EXPECT_EQ(loaded->GetBankInfo(), "Bank\nBranch 7\n");
}

TEST(RecordSerialization, NoteTextIsTheComments) {
    auto note = NewRecord(CLSID_Note);
    note->SetComments("milk\r\neggs");
    EXPECT_EQ(note->GetImage(), 63);
    auto loaded = Load(Serialise(note.Get()));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetComments(), "milk\r\neggs");
}

TEST(RecordSerialization, FolderWithAnyClassWordStillLoads) {
    std::string bytes = Serialise(NewRecord(CLSID_Folder).Get());
    bytes.replace(bytes.size() - 4, 4, Le32(0xDEADBEEF));
    EXPECT_TRUE(Load(bytes));
    bytes.resize(bytes.size() - 4); // no word at all
    EXPECT_TRUE(Load(bytes));
}

TEST(RecordSerialization, ReservedWordsAreZeroAndIgnoredOnReading) {
    auto file = NewRecord(CLSID_FileItem);
    std::string bytes = Serialise(file.Get());
    // Common part: 16 + 4 + 4 + 16 + 4, then five reserved words.
    EXPECT_EQ(bytes.substr(44, 20), std::string(20, '\0'));
    EXPECT_EQ(bytes.substr(bytes.size() - 20), std::string(20, '\0'));
    bytes.replace(44, 4, Le32(77));
    bytes.replace(bytes.size() - 8, 4, Le32(99));
    auto loaded = Load(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Serialise(loaded.Get()), Serialise(file.Get()));
}

TEST(RecordSerialization, TextLongerThanTheBytesLeftIsAStreamError) {
    CScopedMessageRecorder messages;
    auto record = NewRecord(CLSID_PasswordItem);
    record->SetName("abc");
    record.As<IPasswordProperties>()->SetEmail("e@x");
    std::string bytes = Serialise(record.Get());
    // The name's count claims far more than the record holds; nothing may be allocated for it.
    bytes.replace(16, 4, Le32(0xFFFFFFF0));
    HRESULT hr = S_OK;
    EXPECT_FALSE(Load(bytes, &hr));
    EXPECT_EQ(hr, E_FAIL);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].flags & 0xF0, static_cast<unsigned>(MB_ICONEXCLAMATION));

    // One byte short in the last text (the e-mail) fails the same way.
    std::string full = Serialise(record.Get());
    EXPECT_FALSE(Load(full.substr(0, full.size() - 1)));
    EXPECT_EQ(messages.Messages().size(), 2u);
}

TEST(RecordSerialization, ReadingPastTheEndKeepsDefaults) {
    CScopedMessageRecorder messages;
    auto record = NewRecord(CLSID_PasswordItem);
    record->SetName("x");
    std::string bytes = Serialise(record.Get());
    // Cut right after the custom-field text: the four password texts read as empty.
    std::size_t commonPart = 16 + 5 + 4 + 16 + 4 + 20 + 4;
    auto loaded = Load(bytes.substr(0, commonPart));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetName(), "x");
    EXPECT_EQ(loaded.As<IPasswordProperties>()->GetLogin(), "");
    // Cut inside the image: the image keeps the class default.
    auto cut = Load(bytes.substr(0, 16 + 5 + 4 + 16 + 2));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->GetImage(), 3);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(RecordSerialization, UnknownClassDoesNotLoad) {
    std::string bytes = Serialise(NewRecord(CLSID_Note).Get());
    bytes[0] ^= 0x5A;
    HRESULT hr = S_OK;
    EXPECT_FALSE(Load(bytes, &hr));
    EXPECT_EQ(hr, E_NOINTERFACE);
    EXPECT_EQ(static_cast<std::uint32_t>(hr), 0x80004002u);
    // Neither the tree node nor the data-file object are records.
    auto tree = GuidToBytes(CLSID_TreeItem);
    EXPECT_FALSE(Load(std::string(tree.begin(), tree.end()) + bytes.substr(16), &hr));
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_FALSE(Load("", &hr));
    EXPECT_EQ(hr, E_NOINTERFACE);
}

TEST(RecordSerialization, LoadItemStartsAtTheStreamPosition) {
    std::string record = Serialise(NewRecord(CLSID_Note).Get());
    std::string bytes = "prefix" + record;
    CMemFile file(bytes.data(), bytes.size());
    file.Seek(6, CMemFile::begin);
    TComPtr<ICommonProperties> loaded;
    ASSERT_EQ(LoadItem(file, loaded), S_OK);
    EXPECT_EQ(file.GetPosition(), bytes.size());
}

TEST(RecordSerialization, ImagesAndPermissionsPerClass) {
    struct CASE {
        const CLSID* clsid;
        int image, selected, stored;
        bool folder, canMove;
        const char* type;
    } cases[] = {
        {&CLSID_Folder, 1, 2, 5, true, true, "Folder"},
        {&CLSID_RootFolder, 0, 0, 5, true, false, "Folder"},
        {&CLSID_DeletedFolder, 9, 9, 5, true, false, "Folder"},
        {&CLSID_PasswordItem, 3, 3, 3, false, true, "Password"},
        {&CLSID_UrlItem, 3, 3, 3, false, true, "URL"},
        {&CLSID_CreditCardItem, 5, 5, 5, false, true, "Credit Card"},
        {&CLSID_Note, 63, 63, 63, false, true, "Note"},
        {&CLSID_FileItem, 11, 11, 11, false, true, "File"},
    };
    for (const CASE& c : cases) {
        auto record = NewRecord(*c.clsid);
        EXPECT_EQ(record->GetImage(), c.image) << c.type;
        EXPECT_EQ(record->GetSelectedImage(), c.selected) << c.type;
        EXPECT_EQ(dynamic_cast<CCommonItem*>(record.Get())->GetStoredImage(), c.stored);
        EXPECT_EQ(record->IsFolder(), c.folder) << c.type;
        EXPECT_EQ(record->CanMove(), c.canMove) << c.type;
        EXPECT_EQ(record->CanDelete(), c.canMove) << c.type;
        EXPECT_FALSE(record->Reserved2());
        EXPECT_EQ(record->GetTypeName(), c.type);
        record->SetImage(77);
        // Folders keep showing their fixed images.
        EXPECT_EQ(record->GetImage(), c.folder ? c.image : 77) << c.type;
        EXPECT_EQ(dynamic_cast<CCommonItem*>(record.Get())->GetStoredImage(), 77);
    }
}

#include "tools/CsvImport.h"
#include "model/Factory.h"
#include "platform/MessageBox.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"
#include "storage/SQLiteEngine.h"
#include "tools/SearchImportFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace txtest;

namespace {

// Reads the text as a file source into a fresh import with the given column map.
class CsvImportReadTest : public ::testing::Test {
protected:
    int Read(const std::string& text, std::vector<int> columns, bool skipHeader = false) {
        WriteTextFile(m_dir / "in.csv", text);
        EXPECT_TRUE(m_import.GetReader().Open((m_dir / "in.csv").string()));
        for (int t = 0; t < CCsvImport::kTargetCount; ++t)
            m_import.SetColumn(t, t < static_cast<int>(columns.size())
                                      ? columns[static_cast<std::size_t>(t)]
                                      : -1);
        m_import.SetSkipHeader(skipHeader);
        return m_import.ReadAll();
    }

    std::string Name(int i) const { return m_import.GetValues(i)[CCsvImport::kName]; }

    CScopedMessageRecorder m_messages;
    ScratchDir m_dir;
    CCsvImport m_import;
};

TEST_F(CsvImportReadTest, EveryRowBecomesAPasswordRecordWithTheMappedValues) {
    ASSERT_EQ(Read("Bank;jo;pw1;jo@x.org;https://bank;main account\n"
                   "Mail;ann;pw2;ann@y.org;https://mail;\n",
                   {0, 1, 2, 3, 4, 5}),
              2);
    IPasswordProperties* first = m_import.GetRecord(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->GetLogin(), "jo");
    EXPECT_EQ(first->GetPassword(), "pw1");
    EXPECT_EQ(first->GetEmail(), "jo@x.org");
    EXPECT_EQ(first->GetURL(), "https://bank");
    TComPtr<ICommonProperties> common = TComPtr<IPasswordProperties>(first).As<ICommonProperties>();
    EXPECT_EQ(common->GetName(), "Bank");
    EXPECT_EQ(common->GetComments(), "main account");
    CLSID clsid{};
    common->GetClassID(clsid);
    EXPECT_TRUE(clsid == CLSID_PasswordItem);

    EXPECT_TRUE(m_import.IsValid(0));
    EXPECT_FALSE(m_import.IsValid(1)) << "its mapped comment is empty";
    EXPECT_TRUE(m_import.IsSelected(0));
    EXPECT_FALSE(m_import.IsSelected(1));
    EXPECT_EQ(m_import.GetRecord(2), nullptr);
}

TEST_F(CsvImportReadTest, NamelessRowsAreNumberedByTheRecordsMadeBeforeThem) {
    ASSERT_EQ(Read(";a\nNamed;b\n;c\n;d\n", {0, 1}), 4);
    EXPECT_EQ(Name(0), "Password (0)");
    EXPECT_EQ(Name(1), "Named");
    EXPECT_EQ(Name(2), "Password (2)");
    EXPECT_EQ(Name(3), "Password (3)");
    EXPECT_FALSE(m_import.IsValid(0));
    EXPECT_TRUE(m_import.IsValid(1));
}

TEST_F(CsvImportReadTest, ShortRowsAreInvalidAndTheirMissingValuesEmpty) {
    ASSERT_EQ(Read("Bank;jo;pw\nMail;ann\nx\n", {0, 1, 2}), 3);
    EXPECT_TRUE(m_import.IsValid(0));
    EXPECT_FALSE(m_import.IsValid(1));
    EXPECT_EQ(m_import.GetValues(1)[CCsvImport::kPassword], "");
    EXPECT_FALSE(m_import.IsValid(2));
    EXPECT_EQ(m_import.GetValues(2)[CCsvImport::kName], "x");
    // Invalid rows may still be chosen.
    EXPECT_TRUE(m_import.SetSelection({false, true, true}));
    EXPECT_EQ(m_import.GetSelectedCount(), 2);
    EXPECT_FALSE(m_import.SetSelection({true}));
    EXPECT_EQ(m_import.GetSelectedCount(), 2);
}

TEST_F(CsvImportReadTest, ReadingStopsAtTheFirstEmptyLineAndCanBeRepeated) {
    ASSERT_EQ(Read("a;1\nb;2\n\nc;3\n", {0, 1}), 2);
    EXPECT_EQ(m_import.ReadAll(), 2) << "each pass reads the source from its start";
    m_import.Clear();
    EXPECT_EQ(m_import.GetRecordCount(), 0);
    EXPECT_EQ(m_import.GetSelectedCount(), 0);
}

TEST(CsvImportValueTest, GetValueTellsMissingFromUnmapped) {
    CKivCsvRow row(';', false, "a;;c");
    row.Parse();
    bool ok = true;
    EXPECT_EQ(CCsvImport::GetValue(row, -1, ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(CCsvImport::GetValue(row, 0, ok), "a");
    EXPECT_TRUE(ok);
    EXPECT_EQ(CCsvImport::GetValue(row, 1, ok), "");
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(CCsvImport::GetValue(row, 3, ok), "");
    EXPECT_FALSE(ok);
    ok = false;
    EXPECT_EQ(CCsvImport::GetValue(row, 2, ok), "c");
    EXPECT_FALSE(ok) << "a found value does not set the flag again";
}

// Fails the n-th statement that starts with a given text, through the real engine otherwise.
class CFailingStatement {
public:
    CFailingStatement(const char* prefix, int n) {
        s_prefix = prefix;
        s_left = n;
        SQLITE_ENGINE engine = RealSQLiteEngine();
        engine.exec = &Exec;
        m_previous = SetSQLiteEngine(engine);
    }
    ~CFailingStatement() { SetSQLiteEngine(m_previous); }

private:
    static int Exec(sqlite* db, const char* sql, sqlite_callback cb, void* arg, char** error) {
        if (std::strncmp(sql, s_prefix, std::strlen(s_prefix)) == 0 && --s_left == 0) {
            if (error)
                *error = nullptr;
            return SQLITE_FULL;
        }
        return RealSQLiteEngine().exec(db, sql, cb, arg, error);
    }

    static inline const char* s_prefix = "";
    static inline int s_left = 0;
    SQLITE_ENGINE m_previous;
};

class CsvImportCommitTest : public ::testing::Test {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        ASSERT_TRUE(m_vault.Open());
        m_import.SetDocument(&m_vault.doc);
        WriteTextFile(m_dir / "in.csv", "Bank;jo;pw1\n;ann;pw2\nShop;;pw3\nLast;kim;pw4\n");
        ASSERT_TRUE(m_import.GetReader().Open((m_dir / "in.csv").string()));
        for (int t = 0; t < 3; ++t)
            m_import.SetColumn(t, t);
        ASSERT_EQ(m_import.ReadAll(), 4);
        m_import.SetTargetFolder(kFolder);
        m_before = ReadTreeRows(m_vault.doc);
        m_messages.Clear();
    }

    // The records under the target folder, read back from the data file.
    std::vector<int> Children() {
        std::vector<int> ids;
        for (const auto& [id, parent] : ReadTreeRows(m_vault.doc))
            if (parent == kFolder)
                ids.push_back(id);
        return ids;
    }

    static constexpr int kFolder = 6;
    CScopedMessageRecorder m_messages;
    ScratchDir m_dir;
    CVaultDocument m_vault{m_dir, "sample", "carol", "S3cret!pass"};
    CCsvImport m_import;
    std::map<int, int> m_before;
};

TEST_F(CsvImportCommitTest, TheSelectedRecordsAreStoredInTheTargetFolder) {
    ASSERT_TRUE(m_import.SetSelection({true, true, false, true}));
    EXPECT_EQ(m_import.Commit(), 3);
    EXPECT_TRUE(m_messages.Messages().empty());

    const std::vector<int> children = Children();
    ASSERT_EQ(children.size(), 6u) << "three records were there already";
    std::vector<std::string> names;
    m_vault.doc.ClearCache();
    for (int id : std::vector<int>(children.end() - 3, children.end())) {
        TComPtr<ICommonProperties> record = m_vault.doc.GetRecord(id);
        ASSERT_TRUE(record) << id;
        names.push_back(record->GetName());
        FILETIME64 created = 0;
        record->GetCreated(created);
        EXPECT_NE(created, 0u);
        ASSERT_TRUE(record.As<IPasswordProperties>());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Bank", "Password (1)", "Last"}));
    TComPtr<IPasswordProperties> last =
        m_vault.doc.GetRecord(children.back()).As<IPasswordProperties>();
    EXPECT_EQ(last->GetLogin(), "kim");
    EXPECT_EQ(last->GetPassword(), "pw4");
}

TEST_F(CsvImportCommitTest, NothingSelectedOrNoLoginStoresNothing) {
    ASSERT_TRUE(m_import.SetSelection({false, false, false, false}));
    EXPECT_EQ(m_import.Commit(), 0);
    ASSERT_TRUE(m_import.SetSelection({true, true, true, true}));
    CCsvImport detached;
    EXPECT_EQ(detached.Commit(), 0);
    m_vault.doc.CloseContents();
    EXPECT_EQ(m_import.Commit(), 0);
}

TEST_F(CsvImportCommitTest, AFailedCreationLeavesTheDataFileAsItWas) {
    ASSERT_TRUE(m_import.SetSelection({true, true, true, true}));
    {
        CFailingStatement fail("insert into tresorix_main", 3);
        EXPECT_EQ(m_import.Commit(), 0);
    }
    EXPECT_EQ(ReadTreeRows(m_vault.doc), m_before);
    EXPECT_FALSE(m_messages.Messages().empty());

    // The data file still takes the whole import afterwards.
    m_messages.Clear();
    EXPECT_EQ(m_import.Commit(), 4);
    EXPECT_EQ(Children().size(), 7u);
}

TEST_F(CsvImportCommitTest, AFailedWriteOfARecordUndoesTheWholeImport) {
    ASSERT_TRUE(m_import.SetSelection({true, true, true, true}));
    {
        // Each record is written twice: by the document's create step, then with its values.
        CFailingStatement fail("update tresorix_main set data", 6);
        EXPECT_EQ(m_import.Commit(), 0);
    }
    EXPECT_EQ(ReadTreeRows(m_vault.doc), m_before);
    ASSERT_FALSE(m_messages.Messages().empty());
    EXPECT_EQ(m_messages.Messages().back().flags & 0xF0, unsigned(MB_ICONSTOP));

    // A second connection agrees: the rollback reached the disk.
    TComPtr<ITresorix> other = CreateObjectAs<ITresorix>(CLSID_Tresorix);
    ASSERT_TRUE(other && other->Open(m_vault.Path().string()));
    CursorPtr cursor(other->GetDatabase()->Query("select count(*) from tresorix_main"));
    CRow* raw = nullptr;
    ASSERT_TRUE(cursor && cursor->Fetch(raw) == 0);
    RowPtr row(raw);
    FieldPtr count(row->GetField(0));
    EXPECT_EQ(count->AsInt(), static_cast<int>(m_before.size()));
}

TEST_F(CsvImportCommitTest, ATargetThatIsNoFolderStoresNothing) {
    for (int target : {4242, 11, 0}) {
        m_import.SetTargetFolder(target);
        EXPECT_EQ(m_import.Commit(), 0) << target;
    }
    EXPECT_EQ(ReadTreeRows(m_vault.doc), m_before);
    // The recycle bin is a folder like any other.
    m_import.SetTargetFolder(2);
    EXPECT_EQ(m_import.Commit(), 2);
}

} // namespace

#include "ExportTestSupport.h"

#include "model/Factory.h"
#include "tools/ExportColumns.h"
#include "tools/FieldHelper.h"

namespace {

using namespace txexport;

class ExportFieldHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        m_vault = OpenVault(CopyVault("sample", m_dir), SampleKey());
        ASSERT_TRUE(m_vault);
        m_helper.SetTresorix(m_vault.Get());
    }

    std::string Value(int id, int column) {
        EXPECT_TRUE(m_helper.SetItem(id)) << id;
        return m_helper.GetColumnValue(CExportColumns::TitleId(column));
    }

    CScopedSettings m_settings;
    txtest::ScratchDir m_dir;
    TComPtr<ITresorix> m_vault;
    CFieldHelper m_helper;
};

TEST_F(ExportFieldHelperTest, ColumnsOfEachRecordClass) {
    struct CASE {
        int id;
        int column;
        std::string expected;
    } cases[] = {
        {11, kColumnLogin, "carol.smith@gmail.com"},
        {11, kColumnPassword, "Gm@il-2024!!"},
        {11, kColumnType, "Password"},
        {11, kColumnNameOnCard, ""}, // no card interface
        {19, kColumnExpirationDate, "07/2027"},
        {19, kColumnCountry, "United States"},
        {19, kColumnBankInfo, "First Example Bank, +1 555 0199"},
        {19, kColumnState, "IL"},
        {19, kColumnType, "Credit Card"},
        {19, kColumnLogin, ""},
        {24, kColumnFileName, "passport.bin"},
        {21, kColumnType, "Note"},
        {21, kColumnComments,
         "milk\r\neggs\r\nbread\r\ncr\xe8me fra\xee"
         "che\r\n"},
        {8, kColumnType, "Folder"},
        {8, kColumnPassword, ""},
        {11, -1, ""},
    };
    for (const CASE& c : cases)
        EXPECT_EQ(Value(c.id, c.column), c.expected) << c.id << " column " << c.column;
}

TEST_F(ExportFieldHelperTest, LocationStartsWithTwoBackslashesAndTheRoot) {
    EXPECT_EQ(Value(11, kColumnLocation), "\\\\My Passwords\\Email Accounts\\Gmail");
    EXPECT_EQ(Value(15, kColumnLocation),
              "\\\\My Passwords\\Business\\Projekte\\Caf\xe9 Cr\xe8me\\Forum fa\xe7"
              "ade");
    EXPECT_EQ(Value(23, kColumnLocation), "\\\\My Passwords\\Deleted\\Old stuff\\Ideas (old)");
    EXPECT_EQ(Value(1, kColumnLocation), "\\\\My Passwords");
}

TEST_F(ExportFieldHelperTest, LocationOfATreeWithACycleEnds) {
    const int a = AddRecord(m_vault.Get(), 1, CLSID_Folder, "A");
    const int b = AddRecord(m_vault.Get(), a, CLSID_Folder, "B");
    MakeTreeItem(m_vault.Get(), b)->AddChild(MakeTreeItem(m_vault.Get(), a).Get());
    EXPECT_EQ(Value(b, kColumnLocation), "\\\\A\\B");
}

TEST_F(ExportFieldHelperTest, MissingRecordGivesEmptyValues) {
    EXPECT_FALSE(m_helper.SetItem(9999));
    EXPECT_EQ(m_helper.GetValue(kColumnName), "");
    EXPECT_EQ(m_helper.GetLocation(), "");
}

} // namespace

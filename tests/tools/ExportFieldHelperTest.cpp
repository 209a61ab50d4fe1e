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

TEST_F(ExportFieldHelperTest, PasswordRecordColumns) {
    EXPECT_EQ(Value(11, kColumnName), "Gmail");
    EXPECT_EQ(Value(11, kColumnLogin), "carol.smith@gmail.com");
    EXPECT_EQ(Value(11, kColumnPassword), "Gm@il-2024!!");
    EXPECT_EQ(Value(11, kColumnUrl), "https://mail.google.com");
    EXPECT_EQ(Value(11, kColumnType), "Password");
    // A record without the card interface has empty card columns.
    EXPECT_EQ(Value(11, kColumnNameOnCard), "");
    EXPECT_EQ(Value(11, kColumnFileName), "");
}

TEST_F(ExportFieldHelperTest, CreditCardColumnsAndTheExpirationDate) {
    EXPECT_EQ(Value(19, kColumnExpirationDate), "07/2027");
    EXPECT_EQ(Value(19, kColumnCardNumber), "4111 1111 1111 1111");
    EXPECT_EQ(Value(19, kColumnCountry), "United States");
    EXPECT_EQ(Value(19, kColumnBankInfo), "First Example Bank, +1 555 0199");
    EXPECT_EQ(Value(19, kColumnState), "IL");
    EXPECT_EQ(Value(19, kColumnType), "Credit Card");
    EXPECT_EQ(Value(19, kColumnLogin), "");
}

TEST_F(ExportFieldHelperTest, FileNoteAndFolderColumns) {
    EXPECT_EQ(Value(24, kColumnFileName), "passport.bin");
    EXPECT_EQ(Value(24, kColumnType), "File");
    EXPECT_EQ(Value(21, kColumnType), "Note");
    EXPECT_EQ(Value(21, kColumnComments).substr(0, 6), "milk\r\n");
    EXPECT_EQ(Value(8, kColumnType), "Folder");
    EXPECT_EQ(Value(8, kColumnPassword), "");
}

TEST_F(ExportFieldHelperTest, LocationStartsWithTwoBackslashesAndTheRoot) {
    EXPECT_EQ(Value(11, kColumnLocation), "\\\\My Passwords\\Email Accounts\\Gmail");
    EXPECT_EQ(Value(15, kColumnLocation),
              "\\\\My Passwords\\Business\\Projekte\\Caf\xe9 Cr\xe8me\\Forum fa\xe7" "ade");
    EXPECT_EQ(Value(23, kColumnLocation), "\\\\My Passwords\\Deleted\\Old stuff\\Ideas (old)");
    EXPECT_EQ(Value(1, kColumnLocation), "\\\\My Passwords");
}

TEST_F(ExportFieldHelperTest, LocationOfATreeWithACycleEnds) {
    const int a = AddRecord(m_vault.Get(), 1, CLSID_Folder, "A");
    const int b = AddRecord(m_vault.Get(), a, CLSID_Folder, "B");
    MakeTreeItem(m_vault.Get(), b)->AddChild(MakeTreeItem(m_vault.Get(), a).Get());
    EXPECT_EQ(Value(b, kColumnLocation), "\\\\A\\B");
}

TEST_F(ExportFieldHelperTest, UnknownTitleAndMissingRecordGiveEmptyValues) {
    EXPECT_EQ(Value(11, -1), "");
    EXPECT_EQ(m_helper.GetColumnValue(12345), "");
    EXPECT_FALSE(m_helper.SetItem(9999));
    EXPECT_EQ(m_helper.GetValue(kColumnName), "");
    EXPECT_EQ(m_helper.GetLocation(), "");
}

} // namespace

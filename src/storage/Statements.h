#pragma once

// Every statement run against a data file, in one place. The texts are byte-exact copies of
// what existing data files were written with; do not reformat them (tabs, double spaces and
// the missing space before DATA in TRESORIX_MAIN are all deliberate).

namespace tx::sql {

// Schema, run in this order inside the creation transaction.
inline constexpr const char kCreateHeaderTable[] =
    "CREATE TABLE TRESORIX_TRESORIX (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, USERNAME CHAR(255), "
    "PASSWORD_REQUIRED CHAR(1), SECRET_WORD VARCHAR, DATA VARCHAR);";
inline constexpr const char kCreateMainTable[] =
    "CREATE TABLE TRESORIX_MAIN (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, ID_PARENT INTEGER, "
    "EXPANDED CHAR(1),DATA VARCHAR);";
inline constexpr const char kCreateMainParentIndex[] =
    "CREATE INDEX TRESORIX_MAIN_ID_PARENT ON TRESORIX_MAIN (ID_PARENT);";
// Fourteen tabs before VALUES.
inline constexpr const char kInsertEmptyHeader[] =
    "INSERT INTO TRESORIX_TRESORIX (ID, USERNAME, PASSWORD_REQUIRED, SECRET_WORD, DATA)"
    "\t\t\t\t\t\t\t\t\t\t\t\t\t\t"
    "VALUES (1, \"\", 0, \"\", \"\");";
inline constexpr const char kCreateDataTable[] =
    "CREATE TABLE TRESORIX_DATA (ID INTEGER NOT NULL PRIMARY KEY UNIQUE, ID_PARENT INTEGER, "
    "PART NUMERIC,  DATA VARCHAR);";
inline constexpr const char kCreateDataParentIndex[] =
    "CREATE INDEX TRESORIX_DATA_ID_PARENT ON TRESORIX_DATA (ID_PARENT);";
inline constexpr const char kCreateDataPartIndex[] =
    "CREATE INDEX TRESORIX_DATA_PART ON TRESORIX_DATA (PART);";

inline constexpr const char* const kCreationStatements[] = {
    kCreateHeaderTable, kCreateMainTable,       kCreateMainParentIndex, kInsertEmptyHeader,
    kCreateDataTable,   kCreateDataParentIndex, kCreateDataPartIndex,
};

// Header row (login, hint, creation, password change, favorites).
inline constexpr const char kSelectHeader[] =
    "SELECT ID, USERNAME, PASSWORD_REQUIRED, SECRET_WORD, DATA FROM TRESORIX_TRESORIX WHERE ID=1";
inline constexpr const char kSelectSecretWord[] =
    "SELECT SECRET_WORD FROM TRESORIX_TRESORIX WHERE ID=1";
// %Q username, %Q hint, %Q header payload.
inline constexpr const char kFillHeader[] =
    "update tresorix_tresorix set username = %Q, password_required = 1, "
    "secret_word = %Q, data = %Q where id = 1";
// %Q username, %Q hint, %d password required (always 1).
inline constexpr const char kUpdateHeaderCredentials[] =
    "update tresorix_tresorix \t\t\tset username = %Q, secret_word = %Q, \t\t\tpassword_required = "
    "%d where id = 1";
// %d header id (1).
inline constexpr const char kSelectHeaderData[] = "select data from tresorix_tresorix where id=%d";
// %Q header payload.
inline constexpr const char kUpdateHeaderData[] =
    "update tresorix_tresorix set data = %Q where id = 1";

// Re-encryption on a password change; %s is one of the table names below.
inline constexpr const char kSelectTableIds[] = "select id from %s";
inline constexpr const char kSelectTableData[] = "select data from %s where id=%d";
inline constexpr const char kUpdateTableData[] = "update %s set data = %Q where id = %d";
inline constexpr const char kHeaderTableName[] = "tresorix_tresorix";
inline constexpr const char kMainTableName[] = "tresorix_main";
inline constexpr const char kDataTableName[] = "tresorix_data";
inline constexpr const char* const kPayloadTables[] = {kHeaderTableName, kMainTableName,
                                                       kDataTableName};

// Tree rows.
inline constexpr const char kInsertTreeRow[] =
    "insert into tresorix_main (ID_PARENT, EXPANDED) values (0, 1)";
inline constexpr const char kSelectItemData[] = "select data from tresorix_main where id=%d";
inline constexpr const char kUpdateItemData[] = "update tresorix_main set data = %Q where id = %d";
inline constexpr const char kSelectItemParent[] = "select ID_PARENT from tresorix_main where id=%d";
inline constexpr const char kIterateParent[] = "select id_parent from tresorix_main where id = %d";
inline constexpr const char kIterateChildren[] =
    "select id from tresorix_main where id_parent = %d";
inline constexpr const char kIterateSiblings[] =
    "select id from tresorix_main where id_parent = (select id_parent from tresorix_main where id "
    "= %d)";
inline constexpr const char kCountChildren[] =
    "select count(*) from tresorix_main where id_parent=%d";
// %d new parent, %d item.
inline constexpr const char kMoveItem[] = "update tresorix_main set id_parent=%d where id=%d";
inline constexpr const char kSelectExpanded[] = "select EXPANDED from tresorix_main where id=%d";
// %Q "1" or "0", %d item.
inline constexpr const char kUpdateExpanded[] = "update tresorix_main set EXPANDED =%Q where id=%d";
inline constexpr const char kDeleteTreeRow[] = "delete from TRESORIX_MAIN where id=%d";

// File parts.
inline constexpr const char kDeleteFileParts[] = "delete from tresorix_data where id_parent = %d";
// %d file item, %d part number (from 1), %Q encrypted part.
inline constexpr const char kInsertFilePart[] =
    "insert into tresorix_data (id_parent, part, data) values (%d, %d, %Q)";
inline constexpr const char kSelectFileParts[] =
    "select data from tresorix_data where id_parent = %d order by part asc";
inline constexpr const char kDeleteItemFileParts[] = "delete from TRESORIX_DATA where id_parent=%d";
// Copying a file item's parts one at a time.
inline constexpr const char kSelectFilePartIds[] =
    "select id from tresorix_data where id_parent = %d order by part asc";
inline constexpr const char kSelectFilePart[] =
    "select part, data from tresorix_data where id = %d";
inline constexpr const char kCountFileParts[] =
    "select count(*) from tresorix_data where id_parent = %d";

// Compaction, run in this order.
inline constexpr const char kVacuumMain[] = "vacuum tresorix_main";
inline constexpr const char kVacuumData[] = "vacuum tresorix_data";
inline constexpr const char kVacuumDataPart[] = "vacuum tresorix_data_part";
inline constexpr const char kVacuumDataParent[] = "vacuum tresorix_data_id_parent";
inline constexpr const char kVacuumMainParent[] = "vacuum tresorix_main_id_parent";
inline constexpr const char* const kVacuumStatements[] = {
    kVacuumMain, kVacuumData, kVacuumDataPart, kVacuumDataParent, kVacuumMainParent,
};

// Transactions.
inline constexpr const char kBeginTransaction[] = "BEGIN TRANSACTION ON CONFLICT ROLLBACK";
inline constexpr const char kCommitTransaction[] = "COMMIT TRANSACTION";
inline constexpr const char kRollbackTransaction[] = "ROLLBACK TRANSACTION";

} // namespace tx::sql

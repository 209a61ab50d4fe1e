#pragma once

#include <string>
#include <vector>

// The columns an export can write, identified by their index in the column table. Each has a
// title from the string table; the outputs and the sort name a column by that title's id.
enum EXPORTCOLUMN : int {
    kColumnName = 0,
    kColumnLogin,
    kColumnPassword,
    kColumnEmail,
    kColumnUrl,
    kColumnComments,
    kColumnNameOnCard,
    kColumnCardNumber,
    kColumnExpirationDate,
    kColumnCardType,
    kColumnPin,
    kColumnSecurityCode,
    kColumnAddress1,
    kColumnAddress2,
    kColumnCity,
    kColumnState,
    kColumnZip,
    kColumnCountry,
    kColumnBankInfo,
    kColumnFileName,
    kColumnLocation,
    kColumnType,
    kColumnCount
};

class CExportColumns {
public:
    // One entry of the columns page: a column and whether it is checked.
    struct ENTRY {
        int index = 0;
        bool checked = false;
        bool operator==(const ENTRY&) const = default;
    };

    // Length of the stored text when it lists every column.
    static constexpr std::size_t kStoredLength = 219;

    // The title's string id of column index (0 for an index outside the table).
    static unsigned TitleId(int index);
    // The column whose title has that string id, or -1.
    static int IndexOfTitle(unsigned titleId);
    static std::string Title(int index);

    // All columns in table order, Name to Comments checked.
    static std::vector<ENTRY> Default();

    // The text of Export_ExportColumns: per entry the index and the check state, each as a
    // four-digit number followed by a blank, with trailing blanks removed.
    static std::string Format(const std::vector<ENTRY>& entries);
    // The entries of a stored text; the default unless the text lists every column exactly
    // once in the stored form.
    static std::vector<ENTRY> Parse(const std::string& text);

    // The checked columns in list order, as the outputs take them.
    static std::vector<int> CheckedColumns(const std::vector<ENTRY>& entries);
};

#pragma once

#include <string>
#include <vector>

// One line of delimited text split into fields. Quotes have no meaning to the splitter; a
// backslash protects the separator or a double quote, and backslash-n and backslash-t stand
// for a line feed and a tab.
class CKivCsvRow {
public:
    CKivCsvRow(char separator, bool stripQuotes, std::string line);
    ~CKivCsvRow();
    CKivCsvRow(const CKivCsvRow&) = delete;
    CKivCsvRow& operator=(const CKivCsvRow&) = delete;

    // Fills the fields from the line; a line with n separators gives n + 1 fields.
    void Parse();

    int GetFieldCount() const { return static_cast<int>(m_fields.size()); }
    // A copy of the field; an index outside the row gives an empty text.
    std::string GetField(int index) const;
    const std::string& GetLine() const { return m_line; }

private:
    void FinishField(std::vector<int>& units);

    std::string m_line;
    std::vector<std::string> m_fields;
    char m_separator;
    bool m_stripQuotes;
};

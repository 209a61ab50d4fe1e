#include "tools/KivCsvRow.h"

#include "security/SecureZero.h"

namespace {

// A backslash escape is kept as a unit of its own until the field is finished, so that quote
// stripping and splitting see it as neither quote nor separator. Plain bytes are 0..255.
constexpr int kEscapedSeparator = 256;
constexpr int kEscapedQuote = 257;

void Wipe(std::vector<int>& units) {
    SecureZero(units.data(), units.size() * sizeof(int));
    units.clear();
}

} // namespace

CKivCsvRow::CKivCsvRow(char separator, bool stripQuotes, std::string line)
    : m_line(std::move(line)), m_separator(separator), m_stripQuotes(stripQuotes) {}

CKivCsvRow::~CKivCsvRow() {
    SecureZero(m_line);
    for (std::string& field : m_fields)
        SecureZero(field);
}

// Escapes are recognised in one pass, without placeholder texts, so a field that happens to
// contain such a text keeps it, and any character may serve as the separator.
void CKivCsvRow::Parse() {
    for (std::string& field : m_fields)
        SecureZero(field);
    m_fields.clear();

    const std::string& line = m_line;
    const std::size_t n = line.size();
    std::vector<int> units;
    std::size_t i = 0;
    for (;;) {
        const bool atEnd = i >= n;
        if (atEnd || line[i] == m_separator) {
            FinishField(units);
            if (atEnd)
                break;
            ++i;
        } else if (line[i] == '\\' && i + 1 < n && line[i + 1] == m_separator) {
            units.push_back(kEscapedSeparator);
            i += 2;
        } else if (line[i] == '\\' && i + 1 < n && line[i + 1] == '"') {
            units.push_back(kEscapedQuote);
            i += 2;
        } else {
            units.push_back(static_cast<unsigned char>(line[i]));
            ++i;
        }
    }
    Wipe(units);
}

void CKivCsvRow::FinishField(std::vector<int>& units) {
    std::size_t begin = 0;
    std::size_t end = units.size();
    if (m_stripQuotes) {
        while (begin < end && units[begin] == '"')
            ++begin;
        while (end > begin && units[end - 1] == '"')
            --end;
    }
    std::string field;
    field.reserve(end - begin);
    for (std::size_t k = begin; k < end; ++k) {
        const int unit = units[k];
        if (unit == kEscapedSeparator) {
            field += m_separator;
        } else if (unit == kEscapedQuote) {
            field += '"';
        } else if (unit == '\\' && k + 1 < end && (units[k + 1] == 'n' || units[k + 1] == 't')) {
            field += units[k + 1] == 'n' ? '\n' : '\t';
            ++k;
        } else {
            field += static_cast<char>(unit);
        }
    }
    m_fields.push_back(std::move(field));
    Wipe(units);
}

std::string CKivCsvRow::GetField(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_fields.size())
        return {};
    return m_fields[static_cast<std::size_t>(index)];
}

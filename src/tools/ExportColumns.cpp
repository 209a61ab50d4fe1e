#include "tools/ExportColumns.h"

#include "platform/StringTable.h"

#include <cstdio>

namespace {

constexpr unsigned kFirstTitleId = 62420;
constexpr int kDefaultCheckedCount = 6;
constexpr std::size_t kEntryLength = 10;

// Four decimal digits at text[pos]; -1 when they are not.
int ReadNumber(const std::string& text, std::size_t pos) {
    int value = 0;
    for (std::size_t i = pos; i < pos + 4; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

unsigned CExportColumns::TitleId(int index) {
    if (index < 0 || index >= kColumnCount)
        return 0;
    return kFirstTitleId + static_cast<unsigned>(index);
}

int CExportColumns::IndexOfTitle(unsigned titleId) {
    if (titleId < kFirstTitleId || titleId >= kFirstTitleId + kColumnCount)
        return -1;
    return static_cast<int>(titleId - kFirstTitleId);
}

std::string CExportColumns::Title(int index) {
    const unsigned id = TitleId(index);
    return id ? LoadString(id) : std::string();
}

std::vector<CExportColumns::ENTRY> CExportColumns::Default() {
    std::vector<ENTRY> entries;
    for (int i = 0; i < kColumnCount; ++i)
        entries.push_back({i, i < kDefaultCheckedCount});
    return entries;
}

std::string CExportColumns::Format(const std::vector<ENTRY>& entries) {
    std::string text;
    char buffer[32];
    for (const ENTRY& entry : entries) {
        std::snprintf(buffer, sizeof buffer, "%04d %04d ", entry.index, entry.checked ? 1 : 0);
        text += buffer;
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::vector<CExportColumns::ENTRY> CExportColumns::Parse(const std::string& text) {
    if (text.size() != kStoredLength)
        return Default();
    // The trailing blank was cut when the text was stored.
    const std::string padded = text + ' ';
    std::vector<ENTRY> entries;
    std::vector<bool> seen(kColumnCount, false);
    for (std::size_t pos = 0; pos + kEntryLength <= padded.size(); pos += kEntryLength) {
        const int index = ReadNumber(padded, pos);
        const int check = ReadNumber(padded, pos + 5);
        // A damaged text must not name a column twice or one outside the table.
        if (index < 0 || index >= kColumnCount || seen[static_cast<std::size_t>(index)] ||
            check < 0 || check > 1 || padded[pos + 4] != ' ' || padded[pos + 9] != ' ')
            return Default();
        seen[static_cast<std::size_t>(index)] = true;
        entries.push_back({index, check == 1});
    }
    return entries;
}

std::vector<int> CExportColumns::CheckedColumns(const std::vector<ENTRY>& entries) {
    std::vector<int> columns;
    for (const ENTRY& entry : entries) {
        if (entry.checked)
            columns.push_back(entry.index);
    }
    return columns;
}

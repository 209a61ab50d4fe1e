#include "ui/HeaderState.h"

#include <QHeaderView>

#include <algorithm>
#include <cstdio>

namespace {

bool ParseField(const std::string& text, std::size_t pos, int& value) {
    // Each field is four characters: digits, or a minus sign and three digits.
    int sign = 1;
    int v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const char c = text[pos + i];
        if (i == 0 && c == '-') {
            sign = -1;
            continue;
        }
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = sign * v;
    return true;
}

} // namespace

std::string CHeaderState::Format() const {
    std::string out;
    char buffer[16];
    for (int w : widths) {
        std::snprintf(buffer, sizeof buffer, "%04d ", std::clamp(w, 0, 9999));
        out += buffer;
    }
    for (int o : order) {
        std::snprintf(buffer, sizeof buffer, "%04d ", o);
        out += buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%04d %04d", sortColumn, sortAscending);
    out += buffer;
    return out;
}

bool CHeaderState::Parse(const std::string& text, int columns) {
    if (columns <= 0 || text.size() != static_cast<std::size_t>(10 * columns + 9))
        return false;
    CHeaderState parsed;
    std::size_t pos = 0;
    for (int i = 0; i < 2 * columns + 2; ++i, pos += 5) {
        int value = 0;
        if (!ParseField(text, pos, value))
            return false;
        if (i < 2 * columns + 1 && text[pos + 4] != ' ')
            return false;
        if (i < columns)
            parsed.widths.push_back(value);
        else if (i < 2 * columns)
            parsed.order.push_back(value);
        else if (i == 2 * columns)
            parsed.sortColumn = value;
        else
            parsed.sortAscending = value;
    }
    std::vector<int> sorted = parsed.order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < columns; ++i)
        if (sorted[static_cast<std::size_t>(i)] != i)
            return false;
    if (parsed.sortColumn < 0 || parsed.sortColumn >= columns)
        parsed.sortColumn = 0;
    parsed.sortAscending = parsed.sortAscending ? 1 : 0;
    for (int& w : parsed.widths)
        w = std::max(w, 0);
    *this = std::move(parsed);
    return true;
}

CHeaderState CHeaderState::Capture(const QHeaderView& header, int sortColumn, Qt::SortOrder order) {
    CHeaderState state;
    const int n = header.count();
    for (int i = 0; i < n; ++i)
        state.widths.push_back(header.sectionSize(i));
    for (int visual = 0; visual < n; ++visual)
        state.order.push_back(header.logicalIndex(visual));
    state.sortColumn = sortColumn;
    state.sortAscending = order == Qt::AscendingOrder ? 1 : 0;
    return state;
}

void CHeaderState::Apply(QHeaderView& header) const {
    const int n = std::min<int>(header.count(), static_cast<int>(widths.size()));
    for (int i = 0; i < n; ++i)
        header.resizeSection(i, widths[static_cast<std::size_t>(i)]);
    for (int visual = 0; visual < n && visual < static_cast<int>(order.size()); ++visual) {
        const int logical = order[static_cast<std::size_t>(visual)];
        header.moveSection(header.visualIndex(logical), visual);
    }
}

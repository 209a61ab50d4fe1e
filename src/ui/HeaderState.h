#pragma once

#include <Qt>

#include <string>
#include <vector>

class QHeaderView;

// The "Columns" state string of a list: n widths as "%04d " each, the n column positions in
// display order as "%04d " each, then the sort column and direction as "%04d %04d" — 10n + 9
// characters. A string of any other length, or one that does not describe a permutation of
// the columns, is refused.
struct CHeaderState {
    std::vector<int> widths;
    std::vector<int> order; // logical column at each visual position
    int sortColumn = 0;
    int sortAscending = 1; // 1 ascending, 0 descending

    std::string Format() const;
    // False (and this unchanged) for a string that does not fit columns columns.
    bool Parse(const std::string& text, int columns);

    // The header's current widths and order (sorting is the caller's).
    static CHeaderState Capture(const QHeaderView& header, int sortColumn, Qt::SortOrder order);
    void Apply(QHeaderView& header) const;
};

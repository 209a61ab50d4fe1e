#pragma once

#include <cstddef>
#include <vector>

// The favorites of the open data file: item identifiers in the order the user added them,
// each at most once. The document reads them from the header payload at login and writes
// them back when the file is closed.
class CFavManager {
public:
    // Appends id unless it is already present.
    void Add(int id);
    // Removes id keeping the order of the others; an absent id is ignored.
    void Remove(int id);
    // Position of id, or -1.
    int Find(int id) const;
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    void Clear();

    // Iteration: Reset puts the cursor before the first entry; MoveNext advances and tells
    // whether it stands on an entry; GetCurrent is valid only after a successful MoveNext.
    void Reset() { m_cursor = -1; }
    bool MoveNext();
    int GetCurrent() const;

    const std::vector<int>& GetEntries() const { return m_entries; }

private:
    std::vector<int> m_entries;
    int m_cursor = -1;
};

#pragma once

#include <vector>

// A browser-like history of positions: Push drops the forward entries and appends; Back and
// Forward move the current index and hand out the entry they land on. Unlimited in size.
template <class T> class CKivNavigation {
public:
    void Push(const T& entry) {
        m_entries.resize(static_cast<std::size_t>(m_index + 1));
        m_entries.push_back(entry);
        m_index = static_cast<int>(m_entries.size()) - 1;
    }

    // Steps back; false (nothing changes) at the first entry or when empty.
    bool Back(T& entry) {
        if (m_index <= 0)
            return false;
        entry = m_entries[static_cast<std::size_t>(--m_index)];
        return true;
    }

    // Steps forward; false when there is no later entry.
    bool Forward(T& entry) {
        if (!CanForward())
            return false;
        entry = m_entries[static_cast<std::size_t>(++m_index)];
        return true;
    }

    bool CanBack() const { return m_index > 0; }
    bool CanForward() const { return m_index + 1 < static_cast<int>(m_entries.size()); }

    // The entry at the current index; false when empty.
    bool GetCurrent(T& entry) const {
        if (m_index < 0)
            return false;
        entry = m_entries[static_cast<std::size_t>(m_index)];
        return true;
    }

    void Clear() {
        m_entries.clear();
        m_index = -1;
    }

    int GetIndex() const { return m_index; }
    int GetCount() const { return static_cast<int>(m_entries.size()); }

private:
    std::vector<T> m_entries;
    int m_index = -1;
};

#include "model/FavManager.h"

#include <algorithm>

void CFavManager::Add(int id) {
    if (Find(id) < 0)
        m_entries.push_back(id);
}

void CFavManager::Remove(int id) {
    int position = Find(id);
    if (position < 0)
        return;
    m_entries.erase(m_entries.begin() + position);
    // Keep an iteration in progress on the entry that followed the removed one.
    if (position <= m_cursor)
        --m_cursor;
}

int CFavManager::Find(int id) const {
    auto it = std::find(m_entries.begin(), m_entries.end(), id);
    return it == m_entries.end() ? -1 : static_cast<int>(it - m_entries.begin());
}

void CFavManager::Clear() {
    m_entries.clear();
    m_cursor = -1;
}

bool CFavManager::MoveNext() {
    if (m_cursor < GetCount())
        ++m_cursor;
    return m_cursor < GetCount();
}

int CFavManager::GetCurrent() const {
    return m_cursor >= 0 && m_cursor < GetCount() ? m_entries[m_cursor] : 0;
}

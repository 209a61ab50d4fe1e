#include "model/WindowManager.h"

#include <algorithm>

void CWindowManager::Add(int id, IEditorWindow* window) {
    if (window)
        m_entries.emplace_back(id, window);
}

void CWindowManager::Remove(int id, IEditorWindow* window) {
    m_entries.erase(std::remove(m_entries.begin(), m_entries.end(), ENTRY(id, window)),
                    m_entries.end());
}

void CWindowManager::Remove(IEditorWindow* window) {
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [window](const ENTRY& e) { return e.second == window; }),
                    m_entries.end());
}

IEditorWindow* CWindowManager::Find(int id) const {
    for (const ENTRY& e : m_entries)
        if (e.first == id)
            return e.second;
    return nullptr;
}

bool CWindowManager::CloseAll() {
    while (!m_entries.empty()) {
        ENTRY first = m_entries.front();
        if (!first.second->QueryClose())
            return false;
        first.second->Close();
        // The window may already have unregistered itself while closing.
        Remove(first.first, first.second);
    }
    return true;
}

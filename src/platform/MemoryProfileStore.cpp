#include "platform/MemoryProfileStore.h"

int CMemoryProfileStore::GetProfileInt(const std::string& section, const std::string& entry,
                                       int defaultValue) {
    auto it = m_values.find({section, entry});
    if (it == m_values.end() || !it->second.isNumber)
        return defaultValue;
    return static_cast<int>(it->second.number);
}

std::string CMemoryProfileStore::GetProfileString(const std::string& section,
                                                  const std::string& entry,
                                                  const std::string& defaultValue) {
    auto it = m_values.find({section, entry});
    if (it == m_values.end() || it->second.isNumber)
        return defaultValue;
    return it->second.text;
}

bool CMemoryProfileStore::WriteProfileInt(const std::string& section, const std::string& entry,
                                          int value) {
    if (!MayWrite())
        return false;
    m_values[{section, entry}] = VALUE{true, static_cast<std::uint32_t>(value), {}};
    m_writes.emplace_back(section, entry);
    return true;
}

bool CMemoryProfileStore::WriteProfileString(const std::string& section, const std::string& entry,
                                             const std::string& value) {
    if (!MayWrite())
        return false;
    m_values[{section, entry}] = VALUE{false, 0, value};
    m_writes.emplace_back(section, entry);
    return true;
}

std::optional<CMemoryProfileStore::VALUE>
CMemoryProfileStore::Find(const std::string& section, const std::string& entry) const {
    auto it = m_values.find({section, entry});
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

void CMemoryProfileStore::Clear() {
    m_values.clear();
    m_writes.clear();
    m_writesLeft = -1;
}

bool CMemoryProfileStore::MayWrite() {
    if (m_writesLeft == 0)
        return false;
    if (m_writesLeft > 0)
        --m_writesLeft;
    return true;
}

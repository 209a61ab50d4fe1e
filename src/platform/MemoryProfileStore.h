#pragma once

#include "platform/ProfileStore.h"

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

// A profile held in memory, typed like the registry (a number is a 32-bit word, a text a
// string; reading a value as the other type yields the default). For tests and headless use.
class CMemoryProfileStore : public IProfileStore {
public:
    struct VALUE {
        bool isNumber = false;
        std::uint32_t number = 0;
        std::string text;
    };

    int GetProfileInt(const std::string& section, const std::string& entry,
                      int defaultValue) override;
    std::string GetProfileString(const std::string& section, const std::string& entry,
                                 const std::string& defaultValue) override;
    bool WriteProfileInt(const std::string& section, const std::string& entry, int value) override;
    bool WriteProfileString(const std::string& section, const std::string& entry,
                            const std::string& value) override;

    // The stored value, if any.
    std::optional<VALUE> Find(const std::string& section, const std::string& entry) const;
    // The entries written, in order (section, entry).
    const std::vector<std::pair<std::string, std::string>>& Writes() const { return m_writes; }
    // Lets the next count writes succeed and fails every later one; negative: never fail.
    void FailWritesAfter(int count) { m_writesLeft = count; }
    void Clear();

private:
    std::map<std::pair<std::string, std::string>, VALUE> m_values;
    std::vector<std::pair<std::string, std::string>> m_writes;
    int m_writesLeft = -1;

    bool MayWrite();
};

// Installs a fresh in-memory store for the lifetime of the object (tests).
class CScopedMemoryProfile : public CMemoryProfileStore {
public:
    CScopedMemoryProfile() : m_previous(SetProfileStore(this)) {}
    ~CScopedMemoryProfile() override { SetProfileStore(m_previous); }
    CScopedMemoryProfile(const CScopedMemoryProfile&) = delete;
    CScopedMemoryProfile& operator=(const CScopedMemoryProfile&) = delete;

private:
    IProfileStore* m_previous;
};

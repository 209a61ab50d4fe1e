#pragma once

#include <string>

// The user's profile: named values grouped in sections, numbers stored as 32-bit words and
// texts as strings. A value that is missing or unreadable yields the caller's default.
class IProfileStore {
public:
    virtual ~IProfileStore() = default;

    virtual int GetProfileInt(const std::string& section, const std::string& entry,
                              int defaultValue) = 0;
    virtual std::string GetProfileString(const std::string& section, const std::string& entry,
                                         const std::string& defaultValue) = 0;
    // Both return false when the value could not be written.
    virtual bool WriteProfileInt(const std::string& section, const std::string& entry,
                                 int value) = 0;
    virtual bool WriteProfileString(const std::string& section, const std::string& entry,
                                    const std::string& value) = 0;
};

// The store every profile access of the process goes to; never null (an in-memory store
// until the program installs the persistent one).
IProfileStore& ProfileStore();
// Installs a store (not owned); null restores the default. Returns the previous one.
IProfileStore* SetProfileStore(IProfileStore* store);

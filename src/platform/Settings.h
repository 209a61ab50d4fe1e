#pragma once

#include <string>
#include <vector>

class IProfileStore;

// A table of named options, each bound to a member variable of the derived class, loaded
// from and saved to one section of the profile store.
class CSettings {
public:
    enum TYPE { kNumber = 0, kString = 1 };

    struct SETTING {
        std::string name;
        int* number = nullptr;       // the member of a number entry
        std::string* text = nullptr; // the member of a string entry
        std::string defaultText;
        int defaultNumber = 0;
        int type = kNumber;
    };

    explicit CSettings(std::string section = "Settings") : m_section(std::move(section)) {}
    virtual ~CSettings() = default;
    // The entries point into this object, so a copy would write into the original.
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    // Reads every entry, in order; missing or unreadable values give the defaults.
    void Load();
    void Load(IProfileStore& store);
    // Writes every entry, in order; stops at the first failed write and returns false.
    bool Save();
    bool Save(IProfileStore& store);

    const std::vector<SETTING>& GetSettings() const { return m_settings; }
    const std::string& GetSection() const { return m_section; }
    // The entry of that exact name, or null.
    const SETTING* Find(const std::string& name) const;

protected:
    // Register an entry and put its default into the member.
    void AddNumber(const char* name, int& member, int defaultValue);
    void AddString(const char* name, std::string& member, std::string defaultValue);

private:
    std::vector<SETTING> m_settings;
    std::string m_section;
};

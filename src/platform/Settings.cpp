#include "platform/Settings.h"

#include "platform/ProfileStore.h"

void CSettings::Load() {
    Load(ProfileStore());
}

void CSettings::Load(IProfileStore& store) {
    for (const SETTING& setting : m_settings) {
        if (setting.type == kNumber && setting.number)
            *setting.number = store.GetProfileInt(m_section, setting.name, setting.defaultNumber);
        else if (setting.type == kString && setting.text)
            *setting.text = store.GetProfileString(m_section, setting.name, setting.defaultText);
    }
}

bool CSettings::Save() {
    return Save(ProfileStore());
}

bool CSettings::Save(IProfileStore& store) {
    for (const SETTING& setting : m_settings) {
        bool written = true;
        if (setting.type == kNumber && setting.number)
            written = store.WriteProfileInt(m_section, setting.name, *setting.number);
        else if (setting.type == kString && setting.text)
            written = store.WriteProfileString(m_section, setting.name, *setting.text);
        if (!written)
            return false;
    }
    return true;
}

const CSettings::SETTING* CSettings::Find(const std::string& name) const {
    for (const SETTING& setting : m_settings) {
        if (setting.name == name)
            return &setting;
    }
    return nullptr;
}

void CSettings::AddNumber(const char* name, int& member, int defaultValue) {
    member = defaultValue;
    SETTING setting;
    setting.name = name;
    setting.number = &member;
    setting.defaultNumber = defaultValue;
    setting.type = kNumber;
    m_settings.push_back(std::move(setting));
}

void CSettings::AddString(const char* name, std::string& member, std::string defaultValue) {
    member = defaultValue;
    SETTING setting;
    setting.name = name;
    setting.text = &member;
    setting.defaultText = std::move(defaultValue);
    setting.type = kString;
    m_settings.push_back(std::move(setting));
}

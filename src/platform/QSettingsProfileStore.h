#pragma once

#include "platform/ProfileStore.h"

#include <memory>

class QSettings;

// The persistent profile: an INI file, by default the user's one for organisation
// "Kiv Software" and application "Tresorix Pro" (sections are INI groups). The file is kept
// private to the user (mode 0600).
class CQSettingsProfileStore : public IProfileStore {
public:
    CQSettingsProfileStore();
    // A store over the given INI file (tests, portable installs).
    explicit CQSettingsProfileStore(const std::string& iniPath);
    ~CQSettingsProfileStore() override;
    CQSettingsProfileStore(const CQSettingsProfileStore&) = delete;
    CQSettingsProfileStore& operator=(const CQSettingsProfileStore&) = delete;

    int GetProfileInt(const std::string& section, const std::string& entry,
                      int defaultValue) override;
    std::string GetProfileString(const std::string& section, const std::string& entry,
                                 const std::string& defaultValue) override;
    bool WriteProfileInt(const std::string& section, const std::string& entry, int value) override;
    bool WriteProfileString(const std::string& section, const std::string& entry,
                            const std::string& value) override;

    // Writes pending changes to the file; false when that failed.
    bool Flush();
    std::string FilePath() const;

private:
    void MakePrivate();

    std::unique_ptr<QSettings> m_settings;
    bool m_private = false;
};

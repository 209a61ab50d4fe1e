#include "storage/BackupDialogs.h"

#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "storage/BackupReminder.h"
#include "storage/KivBackup.h"

#include <atomic>
#include <ctime>

namespace {

CSilentBackupDialogs g_silentDialogs;
std::atomic<IBackupDialogs*> g_dialogs{nullptr};

} // namespace

IBackupDialogs& BackupDialogs() {
    IBackupDialogs* dialogs = g_dialogs.load();
    return dialogs ? *dialogs : g_silentDialogs;
}

IBackupDialogs* SetBackupDialogs(IBackupDialogs* dialogs) {
    return g_dialogs.exchange(dialogs);
}

void CUntouchedBackupDialogs::ShowBackupDialog(const std::string& path, bool allowedNow,
                                               bool countdown) {
    if (countdown)
        SaveBackup(path, allowedNow);
}

void CRecordingBackupDialogs::ShowBackupDialog(const std::string& path, bool allowedNow,
                                               bool countdown) {
    m_shown.push_back({path, allowedNow, countdown});
    if (m_pressSave)
        SaveBackup(path, allowedNow);
}

void ShowTimestampFormats() {
    KivMessageBox(LoadString(61430) + LoadString(61431), MB_OK | MB_ICONINFORMATION);
}

std::string TimestampFormatTest(const std::string& format) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FormatTimestamp(format, local);
}

bool CBackupCountdown::Tick() {
    if (m_remaining <= 0)
        return false;
    return --m_remaining == 0;
}

std::string CBackupCountdown::Caption(const std::string& caption) const {
    if (m_remaining <= 0)
        return caption;
    return caption + " (" + std::to_string(m_remaining) + ")";
}

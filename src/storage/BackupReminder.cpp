#include "storage/BackupReminder.h"

#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "storage/BackupDialogs.h"
#include "storage/KivBackup.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <cstdio>

namespace {

constexpr unsigned kNeedsLogoutText = 61383;
constexpr unsigned kNeverText = 61385;
constexpr std::size_t kLastBackupLength = 29;
// A profile may hold any number; a century keeps the arithmetic in range.
constexpr int kMaxReminderDays = 36500;

bool ReadField(const std::string& text, std::size_t offset, int low, int high, int* value) {
    int result = 0;
    for (std::size_t i = offset; i < offset + 4; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        result = result * 10 + (text[i] - '0');
    }
    if (result < low || result > high)
        return false;
    *value = result;
    return true;
}

} // namespace

std::string FormatLastBackup(const std::tm& localTime) {
    char text[80];
    std::snprintf(text, sizeof text, "%04d %04d %04d %04d %04d %04d", localTime.tm_year + 1900,
                  localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour, localTime.tm_min,
                  localTime.tm_sec);
    return text;
}

bool ParseLastBackup(const std::string& text, std::tm* localTime) {
    if (text.size() != kLastBackupLength)
        return false;
    for (std::size_t gap = 4; gap < kLastBackupLength; gap += 5) {
        if (text[gap] != ' ')
            return false;
    }
    int year, month, day, hour, minute, second;
    if (!ReadField(text, 0, 1900, 9999, &year) || !ReadField(text, 5, 1, 12, &month) ||
        !ReadField(text, 10, 1, 31, &day) || !ReadField(text, 15, 0, 23, &hour) ||
        !ReadField(text, 20, 0, 59, &minute) || !ReadField(text, 25, 0, 59, &second))
        return false;
    if (!QDate::isValid(year, month, day))
        return false;
    std::tm result{};
    result.tm_year = year - 1900;
    result.tm_mon = month - 1;
    result.tm_mday = day;
    result.tm_hour = hour;
    result.tm_min = minute;
    result.tm_sec = second;
    result.tm_isdst = -1;
    if (localTime)
        *localTime = result;
    return true;
}

std::string LastBackupDisplayText(const std::string& lastBackup) {
    std::tm local{};
    if (!ParseLastBackup(lastBackup, &local))
        return LoadString(kNeverText);
    const QLocale locale = QLocale::system();
    const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const QTime time(local.tm_hour, local.tm_min, local.tm_sec);
    // The long time format names the time zone as well; the dialog shows the clock only.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return (locale.toString(date, QLocale::LongFormat) + QLatin1Char(' ') +
            locale.toString(time, timeFormat.trimmed()))
        .toStdString();
}

bool IsBackupDue(const CTresorixSettings& settings, std::time_t now) {
    if (settings.Backup_NextTime)
        return true;
    if (!settings.Backup_RemaindDaysEnable)
        return false;
    std::tm last{};
    if (!ParseLastBackup(settings.Backup_LastBackup, &last))
        return true;
    const std::time_t lastTime = std::mktime(&last);
    if (lastTime == static_cast<std::time_t>(-1))
        return true;
    const int days = std::clamp(settings.Backup_RemaindDays, 0, kMaxReminderDays);
    return !(lastTime + static_cast<std::time_t>(days) * 86400 > now);
}

bool RemindOrBackUp(const std::string& path) {
    return RemindOrBackUp(path, TresorixSettings(), std::time(nullptr));
}

bool RemindOrBackUp(const std::string& path, CTresorixSettings& settings, std::time_t now) {
    if (path.empty() || !IsBackupDue(settings, now))
        return false;
    BackupDialogs().ShowBackupDialog(path, true, true);
    return true;
}

bool SaveBackup(const std::string& path, bool allowedNow) {
    return SaveBackup(path, allowedNow, TresorixSettings(), std::time(nullptr));
}

bool SaveBackup(const std::string& path, bool allowedNow, CTresorixSettings& settings,
                std::time_t now) {
    if (!allowedNow) {
        TxInfoBox(kNeedsLogoutText);
        settings.Backup_NextTime = 1;
        return false;
    }
    settings.Backup_NextTime = 0;
    CKivBackup backup(path, settings.BackupToFolder, settings.Backup_Timestamp,
                      settings.Backup_AppendTimestamp != 0);
    if (!backup.RunAt(now))
        return false;
    std::tm local{};
    localtime_r(&now, &local);
    settings.Backup_LastBackup = FormatLastBackup(local);
    return true;
}

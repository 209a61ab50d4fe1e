#pragma once

#include <ctime>
#include <string>

class CTresorixSettings;

// Backup_LastBackup holds the local time of the last successful backup as six numbers,
// "%04d %04d %04d %04d %04d %04d" (year, month, day, hour, minute, second: 29 characters).
std::string FormatLastBackup(const std::tm& localTime);
// Reads such a text; false (no backup recorded) for any other length or for numbers that do
// not make a time.
bool ParseLastBackup(const std::string& text, std::tm* localTime);
// The time for the backup dialog: the long date and the time in the user's locale, or
// "Never" when no backup is recorded.
std::string LastBackupDisplayText(const std::string& lastBackup);

// Whether the reminder after a logout shows the backup dialog at time now: a postponed
// backup is waiting, or the reminder is on and no backup is recorded or the last one is at
// least Backup_RemaindDays days old.
bool IsBackupDue(const CTresorixSettings& settings, std::time_t now);

// Called after every logout with the data file just closed: shows the backup dialog (file
// closed, with the countdown) when a backup is due. Returns whether it was shown.
bool RemindOrBackUp(const std::string& path);
bool RemindOrBackUp(const std::string& path, CTresorixSettings& settings, std::time_t now);

// "Save Backup" of the backup dialog. While the file is open (allowedNow false) the backup is
// postponed to the next logout with a notice. Otherwise the copy is made into the backup
// folder and, when it succeeds, its time recorded; the postponed flag is cleared either way.
// Returns whether a copy was made.
bool SaveBackup(const std::string& path, bool allowedNow);
bool SaveBackup(const std::string& path, bool allowedNow, CTresorixSettings& settings,
                std::time_t now);

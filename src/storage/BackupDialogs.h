#pragma once

#include <string>
#include <vector>

// The backup dialog ("Tresorix Pro Backup") as the core sees it. The windowed program installs
// its dialog; tests install a recorder. By default nothing is shown, so code running without
// windows never copies files unasked.
class IBackupDialogs {
public:
    virtual ~IBackupDialogs() = default;
    // Shows the backup dialog for the data file at path, modally. allowedNow: the file is
    // closed, so "Save Backup" may copy it now; countdown: "Save Backup" presses itself after
    // ten seconds unless the user intervenes. "Save Backup" runs SaveBackup (BackupReminder.h).
    virtual void ShowBackupDialog(const std::string& path, bool allowedNow, bool countdown) = 0;
};

// The dialogs every reminder goes to; never null.
IBackupDialogs& BackupDialogs();
// Installs dialogs (not owned); null restores the default. Returns the previous ones.
IBackupDialogs* SetBackupDialogs(IBackupDialogs* dialogs);

// Shows nothing.
class CSilentBackupDialogs : public IBackupDialogs {
public:
    void ShowBackupDialog(const std::string&, bool, bool) override {}
};

// Behaves as a dialog nobody touches: with the countdown it saves the backup at once (the
// ten seconds add nothing without a window), without it nothing happens. For the command line.
class CUntouchedBackupDialogs : public IBackupDialogs {
public:
    void ShowBackupDialog(const std::string& path, bool allowedNow, bool countdown) override;
};

// Records every dialog and, when asked to, presses "Save Backup" in it; for tests.
class CRecordingBackupDialogs : public IBackupDialogs {
public:
    struct SHOWN {
        std::string path;
        bool allowedNow;
        bool countdown;
    };
    void ShowBackupDialog(const std::string& path, bool allowedNow, bool countdown) override;

    void SetPressSave(bool press) { m_pressSave = press; }
    const std::vector<SHOWN>& Shown() const { return m_shown; }

private:
    std::vector<SHOWN> m_shown;
    bool m_pressSave = false;
};

class CScopedBackupDialogsRecorder : public CRecordingBackupDialogs {
public:
    CScopedBackupDialogsRecorder() : m_previous(SetBackupDialogs(this)) {}
    ~CScopedBackupDialogsRecorder() override { SetBackupDialogs(m_previous); }
    CScopedBackupDialogsRecorder(const CScopedBackupDialogsRecorder&) = delete;
    CScopedBackupDialogsRecorder& operator=(const CScopedBackupDialogsRecorder&) = delete;

private:
    IBackupDialogs* m_previous;
};

// The options dialog ("Tresorix Pro Datafile Backup..."): the days box ranges over these.
inline constexpr int kMinBackupReminderDays = 1;
inline constexpr int kMaxBackupReminderDays = 30;
// "Formats...": the list of timestamp conversion codes in an information box.
void ShowTimestampFormats();
// "Format test:": the current local time in the format being typed.
std::string TimestampFormatTest(const std::string& format);

// The countdown of "Save Backup": ten ticks of one second, shown as " (n)" after the caption;
// at zero the caption is restored and the button presses itself.
class CBackupCountdown {
public:
    static constexpr int kSeconds = 10;

    void Start() { m_remaining = kSeconds; }
    // Stops without pressing ("Options..." or any other intervention).
    void Stop() { m_remaining = 0; }
    bool IsRunning() const { return m_remaining > 0; }
    int Remaining() const { return m_remaining; }
    // One second passed; true when the countdown has just reached zero (press now).
    bool Tick();
    // The button's caption for the current state.
    std::string Caption(const std::string& caption) const;

private:
    int m_remaining = 0;
};

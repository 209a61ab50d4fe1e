#pragma once

#include <ctime>
#include <string>

// One backup copy of a closed data file into the backup folder, optionally with the local
// time appended to its base name. The copy goes through the shell, which picks a new name
// instead of overwriting and reports failures itself.
class CKivBackup {
public:
    CKivBackup(std::string sourcePath, std::string destinationFolder, std::string timestampFormat,
               bool appendTimestamp);
    virtual ~CKivBackup();

    // Copies the source now; true when the copy succeeded.
    bool Run();
    // The same at the given time (the time only names the copy).
    bool RunAt(std::time_t now);

    // The target handed to the shell by the last run: a file path with a timestamp, or the
    // folder (with a trailing separator) when the copy keeps its name.
    const std::string& GetDestination() const { return m_destination; }
    // The path the shell actually wrote (it differs from the target on a name collision).
    const std::string& GetCopiedTo() const { return m_copiedTo; }

    // The target for a copy made at the given local time.
    std::string MakeDestination(const std::tm& localTime) const;

private:
    std::string m_source;
    std::string m_folder;
    std::string m_timestampFormat;
    bool m_appendTimestamp;
    std::string m_destination;
    std::string m_copiedTo;
};

// strftime of format at the given time; separators turned into '-' so that a stamp cannot
// send the copy into another folder. Empty for an empty format or one too long to expand.
std::string FormatTimestamp(const std::string& format, const std::tm& localTime);

#pragma once

#include <string>

// The "File Changed..." question: what to do with an opened attachment whose temporary copy
// was changed by another application.
class IFileChangedPrompt {
public:
    enum CHOICE {
        kUploadAndDelete = 0,    // "&Upload file and delete it from the disk"
        kUploadAndMonitor = 1,   // "Upload file and continue &monitoring"
        kContinueMonitoring = 2, // "&Continue monitoring"
    };

    virtual ~IFileChangedPrompt() = default;
    // Shows the question for fileName (without folder) with choice preselected. On OK returns
    // true with the chosen action in choice; false when the user cancelled.
    virtual bool Ask(const std::string& fileName, int& choice) = 0;
};

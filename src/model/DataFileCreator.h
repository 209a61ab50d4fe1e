#pragma once

#include <string>

// Runs the creation of a new data file (the wizard in the program). The document uses it for
// NewDataFile and then opens the new file with the credentials it returns.
class IDataFileCreator {
public:
    virtual ~IDataFileCreator() = default;
    // True when a data file was created: path, the user name and the record key text of the
    // new file are filled in. False when the user cancelled or creation failed.
    virtual bool CreateDataFile(std::string& path, std::string& userName, std::string& keyText) = 0;
};

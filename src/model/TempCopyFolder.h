#pragma once

#include <string>

// The per-user folder "TRX10" that holds the temporary copies of attached files opened in
// other applications. Decrypted copies live there, so the folder is kept at mode 0700 and
// copies are created 0600 (CFileParts does that), and a record's file name is turned into a
// single safe path component before it reaches the file system.
class CTempCopyFolder {
public:
    static constexpr const char kSubFolder[] = "TRX10";

    // The folder under the default per-user cache location.
    CTempCopyFolder();
    // The folder under base (tests, or a configured location).
    explicit CTempCopyFolder(std::string base);

    // Creates the base folder if needed and "TRX10" inside it, and makes sure "TRX10" is a
    // real folder (not a link) owned by this user with mode 0700. On failure returns false
    // with the system error number in error.
    bool Prepare(int& error) const;

    // base + "/TRX10"; no file system access.
    std::string GetPath() const;

    // Where the copy of a file record goes: the record's file name, followed by its extension
    // unless the name already ends with it, made safe; always directly inside GetPath().
    std::string PathFor(const std::string& fileName, const std::string& extension) const;

    // The name made into one harmless path component: path separators, "..", control
    // characters and leading dots become '_', an empty name becomes "file", and the result
    // is at most 255 bytes (the end, where the extension is, is kept).
    static std::string SafeFileName(const std::string& name);

    // The default per-user cache location used as base.
    static std::string DefaultBase();

private:
    std::string m_base;
};

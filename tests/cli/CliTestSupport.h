#pragma once

#include "common/Fixtures.h"

#include <QJsonDocument>

#include <filesystem>
#include <string>
#include <vector>

namespace txtest {

// What one run of the command line gave.
struct CLIRUN {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs tresorix-cli in this process with words (the command line without the program name)
// and input as its standard input.
CLIRUN RunCli(const std::vector<std::string>& words, const std::string& input = {});

// A scratch folder with a new vault "v.tpx" of user "erin", password "pw", hint "the hint",
// made by the command line itself.
class CliVaultDir {
public:
    CliVaultDir();

    const std::filesystem::path& Dir() const { return m_dir.Path(); }
    std::string Vault() const { return (m_dir.Path() / "v.tpx").string(); }
    std::string operator/(const std::string& name) const { return (m_dir / name).string(); }

    // Runs a command on the vault as erin: words[0] is the command, the vault goes after it
    // and the password on standard input.
    CLIRUN Run(const std::vector<std::string>& words, const std::string& password = "pw") const;
    // The same with --json, parsed.
    QJsonDocument Json(const std::vector<std::string>& words) const;
    // The identifier a command that makes one item printed ("#N path").
    static int IdOf(const CLIRUN& run);

private:
    ScratchDir m_dir;
};

// A private, writable copy of a vault fixture ("sample" for sample.tpx).
std::filesystem::path CopyFixtureVault(const std::string& name, const ScratchDir& dir);

// The first place where two JSON values differ ("" when they are equal).
std::string JsonDifference(const QJsonValue& a, const QJsonValue& b, const std::string& path = "");

// The SHA-256 of a file's bytes, to compare files without printing them.
std::string FileDigest(const std::filesystem::path& path);

void WriteFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace txtest

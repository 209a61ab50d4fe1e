#include "cli/CliTestSupport.h"

#include "cli/Cli.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonObject>

#include <fstream>
#include <sstream>

namespace txtest {

CLIRUN RunCli(const std::vector<std::string>& words, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CLIRUN run;
    run.code = ::RunCli(words, in, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

CliVaultDir::CliVaultDir() {
    const CLIRUN run = txtest::RunCli(
        {"create", "-u", "erin", "--password-stdin", "--hint", "the hint", Vault()}, "pw\n");
    EXPECT_EQ(run.code, 0) << run.err;
}

CLIRUN CliVaultDir::Run(const std::vector<std::string>& words, const std::string& password) const {
    std::vector<std::string> all{words.front(), "-u", "erin", "--password-stdin", Vault()};
    all.insert(all.end(), words.begin() + 1, words.end());
    return txtest::RunCli(all, password + "\n");
}

QJsonDocument CliVaultDir::Json(const std::vector<std::string>& words) const {
    std::vector<std::string> all = words;
    all.push_back("--json");
    const CLIRUN run = Run(all);
    EXPECT_EQ(run.code, 0) << run.err;
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out;
    return document;
}

int CliVaultDir::IdOf(const CLIRUN& run) {
    if (run.out.size() < 2 || run.out[0] != '#')
        return 0;
    return std::atoi(run.out.c_str() + 1);
}

std::filesystem::path CopyFixtureVault(const std::string& name, const ScratchDir& dir) {
    const std::filesystem::path target = dir / (name + ".tpx");
    std::filesystem::copy_file(FixturesDir() / "vaults" / (name + ".tpx"), target);
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
    return target;
}

std::string JsonDifference(const QJsonValue& a, const QJsonValue& b, const std::string& path) {
    if (a.type() != b.type())
        return path + ": types differ";
    if (a.isObject()) {
        const QJsonObject x = a.toObject();
        const QJsonObject y = b.toObject();
        for (auto it = x.begin(); it != x.end(); ++it) {
            if (!y.contains(it.key()))
                return path + "/" + it.key().toStdString() + ": only in the first";
            const std::string d =
                JsonDifference(it.value(), y.value(it.key()), path + "/" + it.key().toStdString());
            if (!d.empty())
                return d;
        }
        for (auto it = y.begin(); it != y.end(); ++it)
            if (!x.contains(it.key()))
                return path + "/" + it.key().toStdString() + ": only in the second";
        return {};
    }
    if (a.isArray()) {
        const QJsonArray x = a.toArray();
        const QJsonArray y = b.toArray();
        if (x.size() != y.size())
            return path + ": lengths differ";
        for (qsizetype i = 0; i < x.size(); ++i) {
            const std::string d = JsonDifference(x[i], y[i], path + "/" + std::to_string(i));
            if (!d.empty())
                return d;
        }
        return {};
    }
    if (a != b)
        return path + ": " +
               QJsonDocument(QJsonArray{a}).toJson(QJsonDocument::Compact).toStdString() + " vs " +
               QJsonDocument(QJsonArray{b}).toJson(QJsonDocument::Compact).toStdString();
    return {};
}

std::string FileDigest(const std::filesystem::path& path) {
    return QCryptographicHash::hash(QByteArray::fromStdString(ReadFile(path)),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

} // namespace txtest

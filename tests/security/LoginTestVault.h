#pragma once

#include "common/Fixtures.h"

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace logintest {

// A small data file made without the item model: the schema, a sealed header payload with
// the given favorites, and tree and file-part rows with the given payloads (encrypted under
// the same key). A payload of "<null>" leaves the row's DATA NULL.
struct VAULT {
    std::string username = "user";
    std::string password = "pw";
    std::string hint;
    std::vector<int> favorites;
    std::vector<std::string> treePayloads;
    std::vector<std::string> partPayloads;
};

void CreateVault(const std::filesystem::path& path, const VAULT& vault);

// Every payload of the file decrypted under keyText, by table and row id; "<null>" for NULL.
// Tables that are missing are left out.
using PAYLOADS = std::map<std::pair<std::string, int>, std::string>;
PAYLOADS DecryptAll(const std::filesystem::path& path, const std::string& keyText);

void ExecuteSql(const std::filesystem::path& path, const std::string& sql);
// Column 0 of the first row of a query, as text ("<null>" for NULL, "<none>" without a row).
std::string QueryText(const std::filesystem::path& path, const std::string& sql);

// A private, writable copy of a vault fixture ("sample" for sample.tpx).
std::filesystem::path CopyVault(const std::string& vault, const txtest::ScratchDir& dir);

} // namespace logintest

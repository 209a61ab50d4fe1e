#pragma once

#include "common/Fixtures.h"
#include "model/Interfaces.h"

#include <QJsonArray>
#include <QJsonObject>

#include <filesystem>
#include <string>
#include <vector>

namespace txtest {

// Bytes from a hexadecimal text.
std::string FromHex(const std::string& hex);
std::string ToHex(const std::string& bytes);
std::string Sha256Hex(const std::string& bytes);

// The manifest of a vault fixture ("sample" for sample.tpx.json).
QJsonObject LoadManifest(const std::string& vault);
// A private copy of a vault fixture in dir.
std::filesystem::path CopyVault(const std::string& vault, const ScratchDir& dir);
// The bytes of a manifest text field ({"hex", "text"}).
std::string ManifestBytes(const QJsonObject& field);

// A data file object opened on path and given the key text, as the document does after a
// login; none when the file cannot be opened.
TComPtr<ITresorix> OpenTresorix(const std::filesystem::path& path, const std::string& keyText);

// A new data file holding the root folder (1) and the recycle bin (2), as created.
void CreateVault(const std::filesystem::path& path, const std::string& username,
                 const std::string& password, const std::string& hint = {});

// The serialised form of a record.
std::string Serialise(ICommonProperties* record);
// A record of class clsid made by the factory.
TComPtr<ICommonProperties> NewRecord(const CLSID& clsid);
// Inserts a node under parent holding a new record of class clsid named name; its id.
int AddNode(ITresorix* tresorix, int parent, const CLSID& clsid, const std::string& name);

// Runs statements on the file with a connection of its own.
void ExecuteSql(const std::filesystem::path& path, const std::string& sql);
// Column 0 of the rows of a query, as text ("<null>" for NULL).
std::vector<std::string> QueryColumn(const std::filesystem::path& path, const std::string& sql);

// The favorites stored in the header payload of the file under keyText.
std::vector<int> ReadFavorites(const std::filesystem::path& path, const std::string& keyText);

} // namespace txtest

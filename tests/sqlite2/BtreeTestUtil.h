#pragma once
// Helpers for the storage tests: opening files, reading whole trees, the schema roots, and an
// independent walk of the raw file that checks the shape rules the engine's check leaves out.

#include "sqlite2/btree.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sqlite2test {

std::unique_ptr<sqlite2::Btree> OpenOrDie(const std::filesystem::path& path);

// Every entry of the tree, in cursor order.
std::vector<std::pair<std::string, std::string>> ReadTree(sqlite2::Btree& bt, int root,
                                                          bool backwards = false);

// (name, root page) of every sqlite_master row (the tree at root 2).
std::vector<std::pair<std::string, int>> MasterEntries(sqlite2::Btree& bt);
// Root pages named in sqlite_master, plus 2 itself.
std::vector<int> SchemaRoots(sqlite2::Btree& bt);

// Integrity messages for the given roots (empty when fine).
std::vector<std::string> Check(sqlite2::Btree& bt, const std::vector<int>& roots);

// Walks the tree in the file bytes (either byte order): uniform leaf depth, no empty non-root
// page, leaf/interior consistency. Returns problems found.
std::vector<std::string> ShapeProblems(const std::string& file, int root);

std::string RowidKey(int rowid);

// Which pages are free-list leaves in a little-endian file image (indexed by page number).
std::vector<bool> FreeListLeaves(const std::string& file);

void CopyFile(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace sqlite2test

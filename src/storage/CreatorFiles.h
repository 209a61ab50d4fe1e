#pragma once

#include <string>

// The file handling around data-file creation: moving an old file aside and building the new
// one under a temporary name beside it.

// The n-th backup name of path: path followed by ".bak%02d" (.bak01 ... .bak99, .bak100).
std::string BackupName(const std::string& path, int n);

// Moves a file existing at path aside, to the first BackupName(path, n), n = 1, 2, ..., that
// is free. Returns true when nothing exists at path or the move succeeded (*backupPath then
// holds the name used, empty when nothing existed). Returns false with a reason in *error
// when the file could not be moved or path names a folder; the old file is then left exactly
// as it was.
bool BackUpExisting(const std::string& path, std::string* backupPath, std::string* error);

// Creates an empty file of mode 0600 in the folder of path under a new temporary name and
// returns that name; empty (with a reason in *error) when it cannot.
std::string CreateTempFileBeside(const std::string& path, std::string* error);

// Removes a temporary database file and the engine's journal beside it.
void RemoveTempDatabase(const std::string& tempPath);

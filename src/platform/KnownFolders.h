#pragma once

#include <string>

// The user's documents folder with a trailing "/"; empty when there is none.
std::string DocumentsFolder();

// Where backups go unless the user chose another folder: "Tresorix Pro Backups/" inside
// the documents folder; empty when there is no documents folder.
std::string DefaultBackupFolder();

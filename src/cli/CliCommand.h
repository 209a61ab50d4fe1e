#pragma once

#include "cli/CliArgs.h"

#include <vector>

class CCliContext;

// One command of tresorix-cli: its help and the function that runs it.
struct CLICOMMAND {
    // What the command line adds to the command's own options.
    enum TRAITS : unsigned {
        kNone = 0,
        kLogin = 1, // -u USER and --password-stdin
        kJson = 2,  // --json
    };

    const char* name;
    const char* arguments; // the positional words, as the usage line shows them
    const char* summary;
    const char* details; // further help paragraphs, or null
    unsigned traits;
    std::vector<CLIOPTION> options;
    int (*run)(CCliContext& context);
};

// Each command group adds its commands to the table.
void AddVaultCommands(std::vector<CLICOMMAND>& commands);
void AddCheckCommands(std::vector<CLICOMMAND>& commands);
void AddItemCommands(std::vector<CLICOMMAND>& commands);
void AddEditCommands(std::vector<CLICOMMAND>& commands);
void AddFileCommands(std::vector<CLICOMMAND>& commands);
void AddSearchCommands(std::vector<CLICOMMAND>& commands);
void AddImportCommands(std::vector<CLICOMMAND>& commands);
void AddExportCommands(std::vector<CLICOMMAND>& commands);
void AddGenerateCommands(std::vector<CLICOMMAND>& commands);
void AddDumpCommands(std::vector<CLICOMMAND>& commands);

// Every command, in the order the help lists them.
const std::vector<CLICOMMAND>& CliCommands();

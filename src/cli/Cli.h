#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// The whole of tresorix-cli: words is the command line without the program name. Returns
// the exit code: 0 success, 1 usage, 2 login refused, 3 data error.
int RunCli(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
           std::ostream& err);

// The same over the process's own arguments and standard streams.
int RunCli(int argc, char** argv);

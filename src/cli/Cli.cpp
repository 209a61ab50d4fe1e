#include "cli/Cli.h"

#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include <QCoreApplication>

#include <iostream>
#include <new>
#include <stdexcept>
#include <sys/stat.h>

namespace {

const CLIOPTION kHelpOption = {"help", 'h', nullptr, "show this help and exit"};
const CLIOPTION kUserOption = {"user", 'u', "USER", "the username of the data file"};
const CLIOPTION kStdinOption = {"password-stdin", 0, nullptr,
                                "read the password as a line of standard input instead of "
                                "from the terminal"};
const CLIOPTION kJsonOption = {"json", 0, nullptr, "write the result as JSON"};

std::vector<CLIOPTION> OptionsOf(const CLICOMMAND& command) {
    std::vector<CLIOPTION> options;
    if (command.traits & CLICOMMAND::kLogin) {
        options.push_back(kUserOption);
        options.push_back(kStdinOption);
    }
    if (command.traits & CLICOMMAND::kJson)
        options.push_back(kJsonOption);
    options.insert(options.end(), command.options.begin(), command.options.end());
    options.push_back(kHelpOption);
    return options;
}

void PrintOverview(std::ostream& out) {
    out << "Usage: tresorix-cli COMMAND [OPTIONS] VAULT [ARGUMENTS]\n"
           "       tresorix-cli COMMAND --help\n\n"
           "Works on a Tresorix Pro data file from the command line.\n\n"
           "Commands:\n";
    for (const CLICOMMAND& command : CliCommands()) {
        std::string name = command.name;
        name.resize(std::max<std::size_t>(name.size() + 2, 14), ' ');
        out << "  " << name << command.summary << '\n';
    }
    out << "\nA FOLDER or ITEM is a path of names from the root folder (\"My "
           "Passwords/Work/Mail\";\n"
           "write \\/ for a slash inside a name) or an identifier (\"#17\"). Options may stand\n"
           "before or after the other arguments.\n\n"
           "Exit status: 0 success, 1 usage error, 2 login refused, 3 data error.\n";
}

// Writes text in lines of at most 80 characters, each after indent blanks; the first line
// follows what the caller wrote already.
void PrintWrapped(std::ostream& out, const std::string& text, std::size_t indent) {
    constexpr std::size_t kWidth = 80;
    std::size_t column = indent;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (column > indent && column + 1 + word.size() > kWidth) {
            out << '\n' << std::string(indent, ' ');
            column = indent;
        } else if (column > indent) {
            out << ' ';
            ++column;
        }
        out << word;
        column += word.size();
        start = end + 1;
    }
    out << '\n';
}

void PrintCommandHelp(const CLICOMMAND& command, std::ostream& out) {
    out << "Usage: tresorix-cli " << command.name << " [OPTIONS]";
    if (command.arguments && *command.arguments)
        out << ' ' << command.arguments;
    out << "\n\n" << command.summary << ".\n";
    if (command.details)
        out << '\n' << command.details << '\n';
    out << "\nOptions:\n";
    for (const CLIOPTION& option : OptionsOf(command)) {
        std::string form = option.shortName ? std::string("-") + option.shortName + ", " : "    ";
        form += std::string("--") + option.name;
        if (option.valueName)
            form += std::string(" ") + option.valueName;
        if (form.size() < 28)
            form.resize(28, ' ');
        else
            form += "\n" + std::string(30, ' ');
        out << "  " << form;
        PrintWrapped(out, option.help, 30);
    }
}

const CLICOMMAND* FindCommand(const std::string& name) {
    for (const CLICOMMAND& command : CliCommands())
        if (name == command.name)
            return &command;
    return nullptr;
}

int RunCommand(const CLICOMMAND& command, const std::vector<std::string>& words, std::istream& in,
               std::ostream& out, std::ostream& err) {
    CCliArgs args;
    std::string error;
    if (!args.Parse(words, OptionsOf(command), error)) {
        err << "tresorix-cli " << command.name << ": " << error << "\nTry 'tresorix-cli "
            << command.name << " --help'.\n";
        return kExitUsage;
    }
    if (args.Has("help")) {
        PrintCommandHelp(command, out);
        return kExitOk;
    }
    CCliContext context(in, out, err, command.name, std::move(args));
    try {
        return command.run(context);
    } catch (const std::bad_alloc&) {
        return context.Fail(kExitDataError, "out of memory");
    } catch (const std::exception& e) {
        return context.Fail(kExitDataError, e.what());
    }
}

} // namespace

const std::vector<CLICOMMAND>& CliCommands() {
    static const std::vector<CLICOMMAND> commands = [] {
        std::vector<CLICOMMAND> table;
        AddVaultCommands(table);
        AddCheckCommands(table);
        AddItemCommands(table);
        AddEditCommands(table);
        AddFileCommands(table);
        AddSearchCommands(table);
        AddImportCommands(table);
        AddExportCommands(table);
        AddGenerateCommands(table);
        AddDumpCommands(table);
        return table;
    }();
    return commands;
}

int RunCli(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
           std::ostream& err) {
    if (words.empty()) {
        PrintOverview(err);
        return kExitUsage;
    }
    const std::string& first = words.front();
    if (first == "--help" || first == "-h") {
        PrintOverview(out);
        return kExitOk;
    }
    if (first == "help") {
        if (words.size() == 1) {
            PrintOverview(out);
            return kExitOk;
        }
        const CLICOMMAND* command = FindCommand(words[1]);
        if (!command) {
            err << "tresorix-cli: unknown command '" << words[1] << "'\n";
            return kExitUsage;
        }
        PrintCommandHelp(*command, out);
        return kExitOk;
    }
    const CLICOMMAND* command = FindCommand(first);
    if (!command) {
        err << "tresorix-cli: unknown command '" << first << "'\nTry 'tresorix-cli --help'.\n";
        return kExitUsage;
    }
    return RunCommand(*command, std::vector<std::string>(words.begin() + 1, words.end()), in, out,
                      err);
}

int RunCli(int argc, char** argv) {
    // Files the program makes are for the user alone.
    ::umask(077);
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i)
        words.emplace_back(argv[i]);
    QCoreApplication application(argc, argv);
    std::ios::sync_with_stdio(true);
    return RunCli(words, std::cin, std::cout, std::cerr);
}

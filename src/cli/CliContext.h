#pragma once

#include "cli/CliArgs.h"
#include "cli/CliMessageSink.h"

#include <istream>
#include <ostream>
#include <string>

// Exit codes of every command.
enum : int {
    kExitOk = 0,
    kExitUsage = 1,
    kExitLoginRefused = 2,
    kExitDataError = 3,
};

// What one command runs with: its streams, its parsed words and the message sink that is
// installed while it runs.
class CCliContext {
public:
    CCliContext(std::istream& in, std::ostream& out, std::ostream& err, std::string command,
                CCliArgs args);
    CCliContext(const CCliContext&) = delete;
    CCliContext& operator=(const CCliContext&) = delete;

    std::istream& In() { return m_in; }
    std::ostream& Out() { return m_out; }
    std::ostream& Err() { return m_err; }
    const std::string& Command() const { return m_command; }
    const CCliArgs& Args() const { return m_args; }
    CCliMessageSink& Sink() { return m_sink; }
    bool Json() const { return m_args.Has("json"); }

    // Writes "tresorix-cli: message" to the error stream and returns code.
    int Fail(int code, const std::string& message);
    // A usage error: the message and where the command's help is.
    int Usage(const std::string& message);
    // True when the number of positional words lies in [min, max] (max < 0: no limit); else
    // reports a usage error.
    bool CheckPositionals(int min, int max, int& exitCode);

private:
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_command;
    CCliArgs m_args;
    CCliMessageSink m_sink;
};

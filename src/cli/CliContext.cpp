#include "cli/CliContext.h"

CCliContext::CCliContext(std::istream& in, std::ostream& out, std::ostream& err,
                         std::string command, CCliArgs args)
    : m_in(in), m_out(out), m_err(err), m_command(std::move(command)), m_args(std::move(args)),
      m_sink(err) {}

int CCliContext::Fail(int code, const std::string& message) {
    m_err << "tresorix-cli: " << message << '\n';
    return code;
}

int CCliContext::Usage(const std::string& message) {
    m_err << "tresorix-cli " << m_command << ": " << message << "\nTry 'tresorix-cli " << m_command
          << " --help'.\n";
    return kExitUsage;
}

bool CCliContext::CheckPositionals(int min, int max, int& exitCode) {
    const int count = static_cast<int>(m_args.Positionals().size());
    if (count < min) {
        exitCode = Usage("missing arguments");
        return false;
    }
    if (max >= 0 && count > max) {
        exitCode = Usage("too many arguments (unexpected '" +
                         m_args.Positionals()[static_cast<std::size_t>(max)] + "')");
        return false;
    }
    return true;
}

#include "cli/CliPassword.h"

#include "cli/CliContext.h"
#include "security/SecureZero.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace {

// The terminal state to restore when a signal ends the program while echo is off.
int g_terminalFd = -1;
termios g_savedTerminal{};

void RestoreTerminalAndDie(int signal) {
    if (g_terminalFd >= 0)
        ::tcsetattr(g_terminalFd, TCSAFLUSH, &g_savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Restores the terminal and closes it however reading ends.
class CTerminal {
public:
    CTerminal() : m_fd(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~CTerminal() {
        if (m_echoOff)
            ::tcsetattr(m_fd, TCSAFLUSH, &m_saved);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CTerminal(const CTerminal&) = delete;
    CTerminal& operator=(const CTerminal&) = delete;

    bool IsOpen() const { return m_fd >= 0; }

    bool ReadHidden(const char* prompt, std::string& line) {
        Write(prompt);
        if (::tcgetattr(m_fd, &m_saved) != 0)
            return false;
        termios quiet = m_saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHONL));
        quiet.c_lflag |= ICANON;
        g_savedTerminal = m_saved;
        g_terminalFd = m_fd;
        auto previousInt = std::signal(SIGINT, RestoreTerminalAndDie);
        auto previousTerm = std::signal(SIGTERM, RestoreTerminalAndDie);
        auto previousHup = std::signal(SIGHUP, RestoreTerminalAndDie);
        if (::tcsetattr(m_fd, TCSAFLUSH, &quiet) != 0) {
            Restore(previousInt, previousTerm, previousHup);
            return false;
        }
        m_echoOff = true;
        line.clear();
        bool complete = false;
        for (char c; ::read(m_fd, &c, 1) == 1;) {
            if (c == '\n') {
                complete = true;
                break;
            }
            line.push_back(c);
            c = 0;
        }
        ::tcsetattr(m_fd, TCSAFLUSH, &m_saved);
        m_echoOff = false;
        Restore(previousInt, previousTerm, previousHup);
        Write("\n");
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return complete;
    }

private:
    using HANDLER = void (*)(int);

    static void Restore(HANDLER previousInt, HANDLER previousTerm, HANDLER previousHup) {
        std::signal(SIGINT, previousInt);
        std::signal(SIGTERM, previousTerm);
        std::signal(SIGHUP, previousHup);
        g_terminalFd = -1;
    }

    void Write(const char* text) {
        const std::size_t length = std::strlen(text);
        if (::write(m_fd, text, length) < 0)
            return;
    }

    int m_fd;
    termios m_saved{};
    bool m_echoOff = false;
};

bool FromStdin(CCliContext& context) {
    return context.Args().Has("password-stdin");
}

} // namespace

CSecretText::~CSecretText() {
    SecureZero(m_text);
}

bool ReadSecret(CCliContext& context, const char* prompt, std::string& secret) {
    SecureZero(secret);
    if (FromStdin(context)) {
        if (!std::getline(context.In(), secret)) {
            context.Fail(kExitUsage, "no password on standard input");
            return false;
        }
        if (!secret.empty() && secret.back() == '\r')
            secret.pop_back();
        return true;
    }
    CTerminal terminal;
    if (!terminal.IsOpen()) {
        context.Fail(kExitUsage, "no terminal to read the password from (use --password-stdin)");
        return false;
    }
    if (!terminal.ReadHidden(prompt, secret)) {
        SecureZero(secret);
        context.Fail(kExitUsage, "the password could not be read from the terminal");
        return false;
    }
    return true;
}

bool ReadNewSecret(CCliContext& context, bool allowEmpty, std::string& secret) {
    if (!ReadSecret(context, "New password: ", secret))
        return false;
    if (!FromStdin(context)) {
        CSecretText again;
        if (!ReadSecret(context, "Retype new password: ", again.Get()))
            return false;
        if (again.Get() != secret) {
            SecureZero(secret);
            context.Fail(kExitUsage, "the two passwords differ");
            return false;
        }
    }
    if (secret.empty() && !allowEmpty) {
        context.Fail(kExitUsage, "refusing an empty password (give --empty-password to allow it)");
        return false;
    }
    return true;
}
